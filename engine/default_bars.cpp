#include "engine/default_bars.h"

#include <array>

namespace tarvenko {

namespace {

constexpr std::array<BoutonParDefaut, 2> kDeter{{
    {1140, 1141, "barre-chercher", "Search"},
    {1142, 1143, "barre-resultats", "Results"},
}};

constexpr std::array<BoutonParDefaut, 3> kQuestion{{
    {1144, 1145, "barre-valider", ""},
    {1146, 1147, "barre-quitter", ""},
    {1148, 1149, "barre-passer", ""},
}};

} // namespace

bool Barre_Par_Defaut(const KeyModel &m, bool deter)
{
    return deter ? m.Base_Donnees.But_Deter.rows.empty() : m.Base_Donnees.But_Quest.rows.empty();
}

std::span<const BoutonParDefaut> Boutons_Par_Defaut(bool deter)
{
    if (deter)
        return kDeter;
    return kQuestion;
}

int Nb_Boutons_Question(const KeyModel &m)
{
    return Barre_Par_Defaut(m, false) ? static_cast<int>(kQuestion.size()) : m.Nb_But_Quest;
}

} // namespace tarvenko
