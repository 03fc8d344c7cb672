#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "knowledge/key_model.h"

namespace tarvenko {

// Identifying within a family or a genus: only the group's species are ranked, listed and
// counted by the search (Espece_En_Jeu).

// The family of species s (field Famille of its Flore row); empty when it has none.
std::string Famille_Espece(const KeyModel &m, std::size_t s);
// The genus of species s: the first word of its name; empty for a name of one word.
std::string Genre_Espece(const KeyModel &m, std::size_t s);
// Does the key have genera: every species' name has at least two words.
bool Genres_Connus(const KeyModel &m);

// 1 for each species of the group (names compared without regard to case), else 0.
std::vector<std::uint8_t> Especes_Du_Groupe(const KeyModel &m, const Groupe_Especes &groupe);

// Keeps the identification within `groupe` (its name then spelt as the key spells it), or lifts
// the group with nothing. False, and nothing changes, for a group without species (or a genus in
// a key without genera). The window then refreshes the ranking.
bool Identifie_Dans_Groupe(KeyModel &m, const std::optional<Groupe_Especes> &groupe);

} // namespace tarvenko
