#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "knowledge/key_model.h"

namespace tarvenko {

// What a key's author must fix, found in a loaded key.
struct Constat {
    enum class Genre {
        EspecesInseparables,    // two species no answer can separate
        QuestionSansPartage,    // every species has the same states (or range)
        EtatSansEspece,         // a state no species has
        EspeceSansDonnees,      // a species with no state and no range
        QuestionJamaisProposee, // the search may never propose it
        CycleDependances,       // Descendance leads from a question back to itself
        ImageManquante,         // a picture the key names is not there
        PageManquante,          // a species page (or an error page) is not there
    };
    Genre genre;
    bool grave = true;  // false: a warning that does not fail the key
    std::string sujet;  // what it is about: keys and names, joined by " / "
    std::string texte;  // one English sentence
};

// The name of a kind of finding, as the checker prints it ("inseparable-species", ...).
std::string Nom_Genre(Constat::Genre genre);

// Checks the key. Pictures are looked for under Chemin_Data, Chemin_Descripteurs and
// Chemin_Robot, pages under Adresse_Documents when it is a folder (a web address is not checked;
// an empty one gives a warning). Pairs of species are found by splitting the species question by
// question, so a key of 10,000 species is checked in seconds, not by comparing every pair. Species
// without data on a question go with each of its states, so a very sparse key could make that
// split endless: after `budget` species visited it stops, keeps the pairs found and says so in a
// warning.
inline constexpr std::size_t kBudgetPaires = 200'000'000;
std::vector<Constat> Verifie_Cle(const KeyModel &m, std::size_t budget = kBudgetPaires);

} // namespace tarvenko
