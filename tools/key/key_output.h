#pragma once

#include <string>

#include "tools/key/key_session.h"

namespace tarvenko::key {

// Plain text: the species lines, the Legende text, then "question: OBJET MEASURE STATE..." (or
// "question: none") and one "contradiction: OBJET STATE" line per contradiction.
std::string Sortie_Texte(const Rapport &rapport);

// One JSON object: lines, nb_esp_max, legende, question ({objet, measure, states} or null) and
// contradictions ([{objet, state}], or null when no species was named).
std::string Sortie_Json(const Rapport &rapport);

} // namespace tarvenko::key
