#include "engine/report.h"

#include <algorithm>
#include <set>

#include "knowledge/key_texts.h"

namespace tarvenko {

namespace {

std::string nomEtat(const KeyModel &m, int e)
{
    const std::string nom = Nom_Etat_Langue(m.Base_Donnees, e, m.Num_Langue);
    return nom.empty() ? std::to_string(e) : nom;
}

} // namespace

RapportIdentification Rapport_Identification(const KeyModel &m, std::size_t maximum)
{
    RapportIdentification rapport;
    // A constrained character has several rows over the same states: it is told once.
    std::set<std::int16_t> dits;
    for (const ObjetRow &row : m.Base_Donnees.Objets_Fic.rows) {
        if (!row.Index_Car || !row.Nb_Car || !dits.insert(*row.Index_Car).second)
            continue;
        ReponseRapport reponse;
        for (int e = *row.Index_Car; e < *row.Index_Car + *row.Nb_Car; ++e) {
            if (e >= 0 && static_cast<std::size_t>(e) < m.Etat_Choisi.size() && m.Etat_Choisi[static_cast<std::size_t>(e)] == 1)
                reponse.etats.push_back(nomEtat(m, e));
        }
        if (reponse.etats.empty())
            continue;
        const Champ<std::string> question = Texte_Question(m.Base_Donnees, row, m.Num_Langue);
        reponse.question = question && !question->empty() ? *question : row.Objet.value_or("");
        rapport.reponses.push_back(std::move(reponse));
    }

    const std::size_t rangs = std::min(m.Pourcent_Esp.size(), m.Classement[1].size());
    for (std::size_t r = 0; r < rangs && rapport.especes.size() < maximum; ++r) {
        if (m.Pourcent_Esp[r] < m.Seuil_Affichage)
            continue;
        const auto s = m.Classement[1][r];
        if (s < 0 || static_cast<std::size_t>(s) >= m.Nom_Esp.size())
            continue;
        rapport.especes.push_back({m.Nom_Esp[static_cast<std::size_t>(s)], m.Pourcent_Esp[r]});
    }
    return rapport;
}

} // namespace tarvenko
