#include "engine/contradictions.h"

#include "engine/answering.h"

#include <algorithm>

#include "knowledge/file_lookup.h"
#include "knowledge/key_texts.h"
#include "resources/string_table.h"

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

namespace {

// Each answer once, in the order met.
std::vector<std::string> descriptionsUniques(const KeyModel &m, const std::vector<const Contradiction *> &contradictions)
{
    std::vector<std::string> out;
    for (const Contradiction *c : contradictions) {
        std::string d = Description_Contradiction(m, *c);
        if (std::find(out.begin(), out.end(), d) == out.end())
            out.push_back(std::move(d));
    }
    return out;
}

std::string joint(const std::vector<std::string> &parts)
{
    std::string out;
    for (const std::string &p : parts)
        out += (out.empty() ? "" : "; ") + p;
    return out;
}

} // namespace

std::string Description_Contradiction(const KeyModel &m, const Contradiction &c)
{
    std::string question = c.ligne ? Texte_Question(m.Base_Donnees, *c.ligne, m.Num_Langue).value_or("") : std::string();
    if (question.empty())
        question = c.objet;
    std::string reponse;
    if (const CaractereRow *car = m.Base_Donnees.caractere(c.etat))
        reponse = Nom_Etat_Langue(m.Base_Donnees, *car, m.Num_Langue).value_or("");
    if (reponse.empty())
        reponse = c.idCarac;
    return question + " \u2014 " + reponse;
}

std::string Texte_Contradictions(const KeyModel &m, int espece, const std::vector<Contradiction> &contradictions)
{
    if (espece < 0 || espece >= m.Nb_Esp || static_cast<std::size_t>(espece) >= m.Nom_Esp.size())
        return {};
    const std::string &nom = m.Nom_Esp[static_cast<std::size_t>(espece)];
    if (contradictions.empty())
        return nom + Texte_Ou_Anglais(m.Num_Langue, 1503);
    std::vector<const Contradiction *> toutes;
    for (const Contradiction &c : contradictions)
        toutes.push_back(&c);
    return nom + Texte_Ou_Anglais(m.Num_Langue, 1502) + joint(descriptionsUniques(m, toutes));
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
    int espece = -1;
    if (ligne && *ligne >= 0 && static_cast<std::size_t>(*ligne) < m.Classement[1].size()) {
        espece = static_cast<int>(m.Classement[1][static_cast<std::size_t>(*ligne)]);
        result.contradictions = Cherche_Contradictions(m, espece);
    }
    result.texte = Texte_Contradictions(m, espece, result.contradictions);
    m.Nb_Contradictions = static_cast<std::int16_t>(std::min<std::size_t>(result.contradictions.size(), 32767));

    const Tables &t = m.Base_Donnees;
    for (const Contradiction &c : result.contradictions) {
        // Without an overlay of its own, the answer is marked on the drawing where it was given.
        if (!c.signal || !c.signal->Bouton || *c.signal->Bouton != -1) {
            const auto deja = std::find_if(result.marques.begin(), result.marques.end(),
                                           [&](const MarqueDessin &d) { return d.objet == c.objet; });
            if (deja == result.marques.end() && !c.objet.empty()) {
                MarqueDessin marque;
                marque.objet = c.objet;
                for (const ClicZoneRow &zone : t.Clic_Zone.rows) {
                    if (zone.Nom.value_or("") == c.objet)
                        marque.zones.push_back({zone.X1.value_or(0), zone.X2.value_or(0), zone.Y1.value_or(0), zone.Y2.value_or(0)});
                }
                result.marques.push_back(std::move(marque));
            }
        }
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

    for (int b = 1; b <= m.Nb_But_Deter; ++b) {
        const ButDeterRow *row = t.butDeter(b);
        if (!row)
            continue;
        IconeBouton icone;
        icone.numero = b;
        icone.contradiction = std::find(result.Boutons_Contra.begin(), result.Boutons_Contra.end(), b) != result.Boutons_Contra.end();
        if (!icone.contradiction) {
            icone.chemin = resoutChemin(m.Chemin_Data + row->File.value_or(""));
        } else {
            std::vector<const Contradiction *> surBouton;
            for (const Contradiction &c : result.contradictions)
                if (c.signal && c.signal->Bouton && *c.signal->Bouton == b)
                    surBouton.push_back(&c);
            icone.tip = joint(descriptionsUniques(m, surBouton));
            if (const ContradictionRow *contra = t.contradiction(row->Key.value_or("")))
                icone.chemin = resoutChemin(m.Chemin_Robot + "contra\\" + contra->Popup.value_or("") + ".ico");
        }
        result.icones.push_back(std::move(icone));
    }
    return result;
}

} // namespace tarvenko
