#include "engine/conditions.h"

namespace tarvenko {

VerdictConditions Verifie_Conditions(const KeyModel &m, const Contraintes &colonnes)
{
    using Etat = VerdictConditions::Etat;
    for (int i = 0; i < m.Nb_Contraintes; ++i) {
        const auto n = static_cast<std::size_t>(i);
        if (n >= colonnes.size() || !colonnes[n])
            return {Etat::Rejetees, {}};
        const std::string &code = *colonnes[n];
        if (code == "Fin")
            return {Etat::Remplies, {}};
        const CaractereRow *car = m.Base_Donnees.caractereParId(code);
        if (!car)
            return {Etat::EtatInconnu, code};
        if (car->NUM < 0 || static_cast<std::size_t>(car->NUM) >= m.Etat_Choisi.size() ||
            m.Etat_Choisi[static_cast<std::size_t>(car->NUM)] != 1)
            return {Etat::Rejetees, {}};
    }
    return {Etat::Rejetees, {}};
}

std::string Message_Etat_Inconnu(const std::string &code)
{
    return "Erreur : l'état du Caractère '" + code + "' n'existe pas dans la Table 'Caractères'";
}

} // namespace tarvenko
