#pragma once

#include <string>

#include "tools/key/key_session.h"

namespace tarvenko::key {

// The shortest text that reads back as the same double.
std::string Sortie_Nombre(double value);

// Plain text: the species lines, the Legende text, a "tolerance: ..." line when the tolerance of
// mismatches leaves no species, one "value: OBJET NUMBER UNIT" line per numeric
// answer, then "question: OBJET MEASURE STATE..." ("question: OBJET MEASURE number MIN MAX UNIT"
// for a numeric character, "question: none" when nothing is left to ask) and one
// "contradiction: OBJET STATE" line per contradiction (the answer in place of the state for a
// number the species' range does not hold).
std::string Sortie_Texte(const Rapport &rapport);

// With a comparison, its text alone (Texte_Comparaison).
// One JSON object: lines, nb_esp_max, legende, question ({objet, measure, states}, with unit and
// range for a numeric character, or null), contradictions ([{objet, state}], or null when no
// species was named), values ([{objet, value, unit}], the numeric answers applied), mismatches
// (one number per line, in the order of lines) and tolerance_leaves_none.
// With a comparison, Json_Comparaison alone.
std::string Sortie_Json(const Rapport &rapport);

// {species: [names], differences: [{objet, question, weight, numeric, states: [[names] per
// species]} or, for a numeric character, {..., unit, ranges: [[min, max] or null per species]}]}
std::string Json_Comparaison(const Comparaison &c);

} // namespace tarvenko::key
