#include "views/liste_especes.h"

#include "knowledge/numeric.h"

namespace tarvenko {

LigneEspece Analyse_Ligne(std::string_view ligne)
{
    const std::size_t p = ligne.find('%');
    if (p == std::string_view::npos)
        return {};
    LigneEspece l;
    l.pourcent = valeurNumerique(ligne.substr(0, p));
    if (p + 4 <= ligne.size())
        l.nom = ligne.substr(p + 4);
    return l;
}

bool Erreurs_Visibles(double pourcentLigne, std::int64_t meilleurPourcent)
{
    return pourcentLigne != 100 && meilleurPourcent > 0;
}

} // namespace tarvenko
