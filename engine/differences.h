#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "knowledge/key_model.h"

namespace tarvenko {

// How two to five species differ: the questions on which at least two of them have no state in
// common (or numeric ranges that do not overlap), species without data on a question being no
// witness either way.
struct Difference {
    std::string objet;    // the Objets_Fic or Caracteres_Num key
    std::string question; // TipText of the object's first row; the numeric character's name
    std::int64_t poids = 0; // the heaviest of its states' weights; the numeric character's
    bool numerique = false;
    std::string unite;
    // Per species compared, in the order given: the names of its states (TipText, else ID_CARAC;
    // empty for no data), or its usual range for a numeric character (none for no data).
    std::vector<std::vector<std::string>> etats;
    std::vector<std::optional<std::pair<double, double>>> plages;
};

struct Comparaison {
    std::vector<int> especes;
    std::vector<std::string> noms;
    // Heaviest first; equal weights in the key's order (objects, then numeric characters).
    std::vector<Difference> differences;
};

// The differences between `especes` (species numbers, each once, 2 to 5 of them; numbers out of
// range are left out). Reads only the compared species' cells of the matrix.
Comparaison Compare_Especes(const KeyModel &m, const std::vector<int> &especes);

// The comparison as plain text: a title line naming the species, then per question its name and
// weight and one indented line per species.
std::string Texte_Comparaison(const KeyModel &m, const Comparaison &c);

// The comparison as an HTML page for the browser pane, in the style of the species pages: a
// table with a column per species and a row per question.
std::string Html_Comparaison(const KeyModel &m, const Comparaison &c);

// Text made safe inside HTML.
std::string Echappe_Html(const std::string &texte);
// The head of a page of the program's own (title and style of the species pages), up to <body>.
std::string Entete_Html(const KeyModel &m, const std::string &titre);

// A number as plain text: shortest form that reads back the same.
std::string Texte_Reel(double valeur);

} // namespace tarvenko
