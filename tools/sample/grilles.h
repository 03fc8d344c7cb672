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
// Where state k of a question grid goes: its card's frame, the square its picture is drawn in
// and, below that square, its name.
struct CaseGrille {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0; // the card's frame
    double imageX = 0, imageY = 0, cote = 0; // the picture's square
    Pt nom;                                  // the name's anchor (centre of its baseline)
    double texte = 0;                        // the name's type height, before long names shrink it
    double largeurNom = 0;                   // the width the name may take
};
CaseGrille caseGrille(const LigneObjet &o, std::size_t k);
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
