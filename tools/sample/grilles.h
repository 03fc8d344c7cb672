#pragma once

#include <string>

#include "tools/sample/pictos.h"
#include "tools/sample/sources.h"

namespace tarvenko::sample {

// The frame of a question grid: the 4:3 shape of the box it is shown in.
inline constexpr int kGrilleL = 2400;
inline constexpr int kGrilleH = 1800;

// The picture of one state of a character, in the 1000 x 1000 box of the current transform.
void dessineEtat(Toile &t, const Theme &th, const std::string &ligne, const std::string &cle);
// The question picture of an object row: one cell per state, its drawing and its name.
Toile grille(const LigneObjet &o);

// Size of a species plate (the full drawing of a species page).
inline constexpr int kPlancheL = 2200;
inline constexpr int kPlancheH = 3300;
// The plate of a species: habit, leaf, fruit, bark, twig and flowers, numbered as its legend says.
Toile planche(const Sources &s, const Espece &e);
std::string legende(const Espece &e);

// A bar button picture (square, 1000 units): "leaf", "search", "validate" ...; with `contradiction`
// a red cross over it.
Toile icone(const std::string &dessin, bool contradiction = false);

} // namespace tarvenko::sample
