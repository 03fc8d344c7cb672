#pragma once

#include <string>
#include <vector>

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

// The width of a text at a type height in the grids' type (DejaVu Sans, as the metafile player
// draws it), in the same units.
double largeurTexte(const std::string &utf8, double hauteur, bool gras = false);
// A state's name in its cell: on one line at the cell's type height, smaller when it is too wide;
// on two lines, split at a space, when one line would have to shrink below four fifths of that
// height and two lines read larger. The lines stay below the picture.
struct NomCase {
    std::vector<std::string> lignes;
    std::vector<Pt> ancres; // centre of each line's baseline
    double taille = 0;      // type height
};
NomCase placeNom(const CaseGrille &c, const std::string &nom);
void dessineNom(Toile &t, const CaseGrille &c, const std::string &nom);

// The languages whose grids and drawing files with words are drawn beside the English ones, and
// the file of such a picture: "feuille.wmf" in French is "feuille_fr.wmf", the name the program
// looks for in that language.
inline constexpr const char *kLanguesGrilles[] = {"fr", "es"};
std::string nomLangue(const std::string &fichier, const std::string &langue);

// The question picture of an object row: one cell per state, its drawing and its name in the
// language ("en", "fr", "es").
Toile grille(const LigneObjet &o, const std::string &langue = "en");

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
