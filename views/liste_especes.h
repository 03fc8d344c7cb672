#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvenko {

// A line of Liste_Esp turned back into its species: the percentage is the number before the
// first "%" (leading blanks skipped), the name everything after the "% - " that follows it.
// A line without "%" gives 0 and no name.
struct LigneEspece {
    double pourcent = 0;
    std::string nom;
};
LigneEspece Analyse_Ligne(std::string_view ligne);

// The Errors button is shown for a species that does not match every answer, unless no species
// matches any (best percentage 0).
bool Erreurs_Visibles(double pourcentLigne, std::int64_t meilleurPourcent);

} // namespace tarvenko
