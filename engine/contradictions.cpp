#include "engine/contradictions.h"

#include "engine/answering.h"

#include <algorithm>

#include "knowledge/file_lookup.h"

namespace tarvenko {

std::vector<Contradiction> Cherche_Contradictions(const KeyModel &m, int espece)
{
    std::vector<Contradiction> out;
    if (espece < 0 || espece >= m.Nb_Esp)
        return out;
    const Tables &t = m.Base_Donnees;
    const auto especes = static_cast<std::size_t>(m.Nb_Esp);
    int n = 0;
    for (std::size_t i : t.Objets_Fic_Objet.order) {
        const ObjetRow &row = t.Objets_Fic.rows[i];
        const PlageEtats etats = Etats_De(row);
        for (int k = etats.premier; k < etats.premier + etats.nombre; ++k) {
            if (k < 0 || static_cast<std::size_t>(k) >= m.Etat_Choisi.size() || m.Etat_Choisi[static_cast<std::size_t>(k)] == 0)
                continue;
            const std::size_t cellule = static_cast<std::size_t>(espece) + static_cast<std::size_t>(k) * especes;
            if (cellule < m.Matrice.size() && m.Matrice[cellule] == 1)
                continue;
            Contradiction c;
            c.ligne = &row;
            c.objet = row.Objet.value_or("");
            c.etat = k;
            if (const CaractereRow *car = t.caractere(k))
                c.idCarac = car->ID_CARAC.value_or("");
            c.position = m.Nb_Robot + ++n;
            c.signal = t.contradiction(c.objet);
            out.push_back(std::move(c));
        }
    }
    return out;
}

bool Efface_Contradictions(KeyModel &m)
{
    const auto couches = static_cast<std::size_t>(std::max<int>(m.Nb_Robot, 0));
    if (m.Robots.size() > couches)
        m.Robots.resize(couches);
    const bool affichees = m.Nb_Contradictions != 0;
    m.Nb_Contradictions = 0;
    return affichees;
}

AffichageContradictions Montre_Contradictions(KeyModel &m, std::optional<int> ligne, const Charge_Image &charge)
{
    AffichageContradictions result;
    // Each check shows its own overlays only: an entry left by an earlier one and not overwritten
    // would otherwise stay among the painted ones.
    Efface_Contradictions(m);
    if (ligne && *ligne >= 0 && static_cast<std::size_t>(*ligne) < m.Classement[1].size())
        result.contradictions = Cherche_Contradictions(m, static_cast<int>(m.Classement[1][static_cast<std::size_t>(*ligne)]));
    m.Nb_Contradictions = static_cast<std::int16_t>(std::min<std::size_t>(result.contradictions.size(), 32767));

    for (const Contradiction &c : result.contradictions) {
        if (!c.signal || !c.signal->Bouton)
            continue;
        if (*c.signal->Bouton != -1) {
            result.Boutons_Contra.push_back(*c.signal->Bouton);
            continue;
        }
        const std::string chemin = m.Chemin_Robot + "CONTRA\\" + c.signal->Popup.value_or("") + ".wmf";
        if (!Ajoute_Calque(m, c.position, chemin, charge))
            result.calquesManquants.push_back(resoutChemin(chemin));
    }

    const Tables &t = m.Base_Donnees;
    for (int b = 1; b <= m.Nb_But_Deter; ++b) {
        const ButDeterRow *row = t.butDeter(b);
        if (!row)
            continue;
        IconeBouton icone;
        icone.numero = b;
        icone.contradiction = std::find(result.Boutons_Contra.begin(), result.Boutons_Contra.end(), b) != result.Boutons_Contra.end();
        if (!icone.contradiction) {
            icone.chemin = resoutChemin(m.Chemin_Data + row->File.value_or(""));
        } else if (const ContradictionRow *contra = t.contradiction(row->Key.value_or(""))) {
            icone.chemin = resoutChemin(m.Chemin_Robot + "contra\\" + contra->Popup.value_or("") + ".ico");
        }
        result.icones.push_back(std::move(icone));
    }
    return result;
}

} // namespace tarvenko
