#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "knowledge/key_model.h"

namespace tarvenko {

// One answered character: its question and the states chosen for it, as the interface names
// them (TipText, else the code).
struct ReponseRapport {
    std::string question;
    std::vector<std::string> etats;
};

struct EspeceRapport {
    std::string nom;
    std::int64_t pourcent = 0;
};

// What a printed identification says, taken from the current answers and ranking.
struct RapportIdentification {
    std::vector<ReponseRapport> reponses; // in the order of Objets_Fic
    std::vector<EspeceRapport> especes;   // by rank
};

// A printout lists at most this many species: past that the percentages no longer help.
inline constexpr std::size_t kEspecesRapport = 20;

// The answers and the listed ranks (those reaching Seuil_Affichage), the first `maximum` of them,
// from the last scoring.
RapportIdentification Rapport_Identification(const KeyModel &m, std::size_t maximum = kEspecesRapport);

} // namespace tarvenko
