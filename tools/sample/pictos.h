#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/sample/toile.h"

namespace tarvenko::sample {

// What a shape stands for. The schematic drawing paints every role with the palette colour of the
// object it opens; the question grids and the species plates paint them in natural colours.
enum class Role {
    Ciel, Sol, Regle, Couronne, Conifere, Ecorce, CarteFeuille, CarteFruit, CarteRameau, TypeFeuille,
    Limbe, Marge, Nervure, Petiole, Base, Dessous, Axe, Disposition, Lobe, Aiguille, TailleAiguille,
    CoupeAiguille, Attache, Ecaille, Fruit, CouleurFruit, TailleFruit, Fleur, Cone, ConeBranche, Bourgeon,
    Epine, Rameau, Decor,
};
// The role's name in palette.csv.
const char *nomRole(Role r);

class Theme {
public:
    virtual ~Theme() = default;
    // Fill of a shape of role r whose natural colour is `naturelle`.
    virtual Couleur fond(Role r, Couleur naturelle) const = 0;
    // Its outline.
    virtual Couleur contour(Role r, Couleur naturelle) const = 0;
    // Whether fine details (veins, teeth lines, texture strokes) are drawn in a darker shade.
    virtual bool palette() const { return false; }
};

class ThemeNaturel final : public Theme {
public:
    Couleur fond(Role, Couleur naturelle) const override { return naturelle; }
    Couleur contour(Role, Couleur naturelle) const override { return assombrit(naturelle, 0.55); }
};

// Natural colours of the pictograms.
namespace nat {
inline constexpr Couleur feuille = rgb(96, 168, 64);
inline constexpr Couleur feuilleFoncee = rgb(46, 112, 52);
inline constexpr Couleur nervure = rgb(200, 224, 140);
inline constexpr Couleur dessous = rgb(190, 212, 196);
inline constexpr Couleur dessousBlanc = rgb(236, 240, 236);
inline constexpr Couleur bois = rgb(128, 88, 52);
inline constexpr Couleur rameau = rgb(120, 96, 70);
inline constexpr Couleur aiguille = rgb(36, 110, 62);
inline constexpr Couleur ecaille = rgb(70, 140, 96);
inline constexpr Couleur brun = rgb(140, 94, 50);
inline constexpr Couleur vert = rgb(150, 190, 70);
inline constexpr Couleur rouge = rgb(204, 40, 40);
inline constexpr Couleur noir = rgb(50, 36, 60);
inline constexpr Couleur bleu = rgb(80, 96, 170);
inline constexpr Couleur cone = rgb(170, 120, 66);
inline constexpr Couleur blanc = rgb(248, 248, 240);
inline constexpr Couleur rose = rgb(240, 170, 200);
inline constexpr Couleur jaune = rgb(240, 210, 60);
inline constexpr Couleur gris = rgb(150, 150, 146);
inline constexpr Couleur ciel = rgb(190, 222, 246);
inline constexpr Couleur herbe = rgb(150, 198, 100);
inline constexpr Couleur texte = rgb(40, 40, 40);
} // namespace nat

// A broad leaf, drawn standing in the 1000 x 1000 box: stalk at the bottom, tip at the top.
struct SpecFeuille {
    std::string forme = "ovate";     // narrow elliptic ovate obovate round triangular heart fan
    std::string base = "rounded";    // tapering rounded heart straight unequal
    std::string marge = "entire";    // entire wavy toothed double spiny
    std::string lobes = "none";      // none pinnate palmate
    std::string composition = "simple"; // simple pinnate palmate
    std::string nervation = "branching"; // parallel branching palmate
    std::string petiole = "long";    // short long flat glands
    bool dessous = false;            // a corner turned over shows the underside
    Couleur limbe = nat::feuille;
    Couleur couleurDessous = nat::dessous;
    bool axe = false; // a piece of twig under the stalk (the drawing's composition part)
};

// The pictograms, by family: leaves here and in pictos.cpp; needles, scales and cones in
// pictos_aiguilles.cpp; fruits and flowers in pictos_fruits.cpp; bark, buds, thorns, twigs, whole
// trees, the landscape and the ruler in pictos_arbres.cpp.
void feuille(Toile &t, const Theme &th, const SpecFeuille &s);
// The outline alone of a leaf blade, base at (0, 0) and tip at (0, -1), in leaf units.
std::vector<Pt> contourLimbe(const SpecFeuille &s);

void brinAiguilles(Toile &t, const Theme &th, const std::string &groupement, Couleur c = nat::aiguille);
void rameauEcailles(Toile &t, const Theme &th, const std::string &forme, Couleur c = nat::ecaille);
void coupeAiguille(Toile &t, const Theme &th, const std::string &forme);
void attacheAiguille(Toile &t, const Theme &th, const std::string &attache);
void aiguilleMesuree(Toile &t, const Theme &th, const std::string &longueur);
void fruit(Toile &t, const Theme &th, const std::string &genre, Couleur c);
// Default natural colour of a kind of fruit.
Couleur couleurFruit(const std::string &genre);
void cone(Toile &t, const Theme &th, const std::string &forme, const std::string &port);
void fleur(Toile &t, const Theme &th, const std::string &genre);
void ecorce(Toile &t, const Theme &th, const std::string &motif, Couleur c);
Couleur couleurEcorce(const std::string &motif);
void bourgeon(Toile &t, const Theme &th, const std::string &genre);
void epines(Toile &t, const Theme &th, const std::string &genre);
void jeuneRameau(Toile &t, const Theme &th, const std::string &genre);
// A tree: crown of the given shape over its trunk(s), standing on the bottom of the box.
void arbre(Toile &t, const Theme &th, const std::string &port, bool conifere, Couleur couronne, Couleur tronc,
           bool tronc_visible = true);
std::vector<Pt> contourCouronne(const std::string &port, bool conifere);
void paysage(Toile &t, const Theme &th, const std::string &habitat);
void regle(Toile &t, const Theme &th, int graduations);

} // namespace tarvenko::sample
