#pragma once

#include <string>

#include "tools/key/key_session.h"

namespace tarvenko::key {

// The shortest text that reads back as the same double.
std::string Sortie_Nombre(double value);

// Plain text: the species lines, the Legende text, one "value: OBJET NUMBER UNIT" line per numeric
// answer, then "question: OBJET MEASURE STATE..." ("question: OBJET MEASURE number MIN MAX UNIT"
// for a numeric character, "question: none" when nothing is left to ask) and one
// "contradiction: OBJET STATE" line per contradiction (the answer in place of the state for a
// number the species' range does not hold).
std::string Sortie_Texte(const Rapport &rapport);

// One JSON object: lines, nb_esp_max, legende, question ({objet, measure, states}, with unit and
// range for a numeric character, or null), contradictions ([{objet, state}], or null when no
// species was named) and values ([{objet, value, unit}], the numeric answers applied).
std::string Sortie_Json(const Rapport &rapport);

} // namespace tarvenko::key
