#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "knowledge/key_model.h"

namespace tarvenko {

// The loading stages that fill the key model from the tables in memory, in the order start-up
// runs them. Each stage only reads what the earlier ones filled; a missing table, field or row
// leaves the values concerned at zero or empty, as the start-up rules say.

// Value of a parameter of table Parametres: the number at the start of its Etat, rounded to a
// 16-bit integer (halves to even). Nothing when the row is missing or the number is out of range.
std::optional<std::int16_t> Lit_Parametre(const Tables &tables, std::string_view name);

// Nb_Couleurs and Version_Database (300 when missing).
void Lit_Parametres_Palette(KeyModel &m);
// Sizes the palette arrays to Nb_Couleurs and copies Code_Couleur from table Couleurs (rows
// 1 ... Nb_Couleurs). The colours themselves are sampled from the colour chart by the window.
void Lit_Codes_Couleur(KeyModel &m);
// The other eight parameters.
void Lit_Parametres(KeyModel &m);
// Sizes the species-, state- and group-indexed arrays; ranking in species order; groups cleared.
void Dimensionne_Modele(KeyModel &m);
// Joker(Desc_Num) = field Joker for every row of Objets_Fic; the array has one flag per row.
void Lit_Jokers(KeyModel &m);
// Nom_Esp from table Flore in key order; returns the initial lines of the species list.
std::vector<std::string> Lit_Noms_Especes(KeyModel &m);
// The species tree: families, the alphabetical list and the common names of every language.
// Root texts are in the language Num_Langue (English where that language has none).
void Construit_Arbre(KeyModel &m);

} // namespace tarvenko
