#pragma once

#include "tools/kbbuilder/kb_builder.h"
#include "tools/sample/sources.h"

namespace tarvenko::sample {

// Languages of the common names, as Communs_Langues names them, with their source columns.
inline constexpr std::pair<const char *, const char *> kLangues[] = {{"English", "en"}, {"Français", "fr"}, {"Español", "es"}};

// Declares the whole knowledge base to the builder: species with their legends, the objects and
// their states (weights from their objects), the matrix, the dependencies, the drawing's layers,
// colours and zones, the two bars, the contradiction displays and the common names.
void declareBase(tools::KbBuilder &kb, const Sources &s);
// Everything but the species, the matrix and the common names: what a generated key of another
// size shares with the bundled one.
void declareStructure(tools::KbBuilder &kb, const Sources &s);

} // namespace tarvenko::sample
