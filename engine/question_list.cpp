#include "engine/question_list.h"

#include <algorithm>
#include <map>

#include "engine/answering.h"
#include "engine/numeric_characters.h"
#include "knowledge/text.h"

namespace tarvenko {

std::vector<GroupeQuestions> Liste_Questions(const KeyModel &m)
{
    // -1 sorts first in the map; it is moved to the end below.
    std::map<int, GroupeQuestions> groupes;
    const auto groupe = [&](int cadre) -> GroupeQuestions & {
        auto [it, nouveau] = groupes.try_emplace(cadre);
        if (nouveau) {
            it->second.cadre = cadre;
            it->second.nom = cadre >= 0 ? Nom_Cadre(m, cadre) : std::string();
        }
        return it->second;
    };
    const Tables &t = m.Base_Donnees;
    const std::string *precedent = nullptr;
    for (std::size_t i = 0; i < t.Objets_Fic_Objet.order.size(); ++i) {
        const ObjetRow &row = t.Objets_Fic.rows[t.Objets_Fic_Objet.order[i]];
        const std::string &cle = t.Objets_Fic_Objet.keys[i];
        if (cle.empty() || (precedent && clesEgales(*precedent, cle)))
            continue;
        precedent = &cle;
        EntreeQuestion q{cle, row.TipText.value_or(cle), false, false};
        for (const ObjetRow *variante : t.objets(cle)) {
            const PlageEtats etats = Etats_De(*variante);
            for (int k = etats.premier; k < etats.premier + etats.nombre; ++k)
                q.repondue = q.repondue || (k >= 0 && static_cast<std::size_t>(k) < m.Etat_Choisi.size() &&
                                            m.Etat_Choisi[static_cast<std::size_t>(k)] != 0);
        }
        groupe(std::max<int>(row.Cadre.value_or(-1), -1)).questions.push_back(std::move(q));
    }
    for (std::size_t c = 0; c < m.Caracteres_Num.size(); ++c) {
        const Question_Num n = Decrit_Question_Num(m, static_cast<int>(c));
        groupe(std::max<int>(n.cadre, -1)).questions.push_back({n.objet, n.nom, true, n.valeur.has_value()});
    }
    std::vector<GroupeQuestions> out;
    for (auto &[cadre, g] : groupes) {
        if (cadre >= 0)
            out.push_back(std::move(g));
    }
    if (const auto sans = groupes.find(-1); sans != groupes.end())
        out.push_back(std::move(sans->second));
    return out;
}

} // namespace tarvenko
