#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "knowledge/key_model.h"

namespace tarvenko {

// Mismatches of each species with the answers, and the species kept in the ranking.

// Ecarts_Esp(s): the chosen states of the questions (rows of Objets_Fic) that species s lacks,
// each state once even when two rows of one object hold it, plus the answered numeric characters
// whose widened range does not hold the answer. Reads only the chosen states' matrix columns:
// the cost of Calcule_Scores.
void Calcule_Ecarts(KeyModel &m);

// Is species s in play: in the group the identification is kept within, if any, and with no
// more mismatches than Ecarts_Toleres when that is set (Ecarts_Esp as last computed).
bool Espece_En_Jeu(const KeyModel &m, std::size_t s);

// Species of the group in play, whatever their mismatches; and the fewest mismatches among them
// (-1 when there is none).
std::size_t Especes_Du_Groupe_En_Jeu(const KeyModel &m);
std::int32_t Ecart_Minimal(const KeyModel &m);

// The question the window asks when the tolerance leaves no species: string 1182 with the
// tolerance in place of "%1".
std::string Message_Tolerance(const KeyModel &m);

} // namespace tarvenko
