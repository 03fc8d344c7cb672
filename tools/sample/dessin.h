#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/sample/pictos.h"
#include "tools/sample/sources.h"

namespace tarvenko::sample {

// Size of the schematic drawing's space.
inline constexpr int kLargeur = 2400;
inline constexpr int kHauteur = 1800;

// The drawing's palette: every shape of a role is painted with the role's palette colour nearest
// to its natural colour, and its outline with a darker shade that still falls nearest to a
// colour opening the same object, so that the colour hit test finds the part wherever it is
// clicked. Built from palette.csv; throws when two colours are too close to tell apart.
class ThemePalette final : public Theme {
public:
    explicit ThemePalette(const std::vector<EntreePalette> &entrees);

    Couleur fond(Role r, Couleur naturelle) const override;
    Couleur contour(Role r, Couleur naturelle) const override;
    bool palette() const override { return true; }

    // The object the hit test finds for a screen colour (nearest palette colour).
    const std::string &objetDe(Couleur c) const;
    std::vector<Couleur> couleurs() const;
    // Smallest distance between two palette colours.
    double ecartMinimal() const;

private:
    std::vector<EntreePalette> m_entrees;
};

inline constexpr double kEcartMinimal = 40.0;

double distance(Couleur a, Couleur b);
Couleur couleurDe(const EntreePalette &e);

// Draws one layer file from its description in layers.csv ("fond woods", "fruit acorn", ...), the
// cards' titles in `titres` (card -> title, see Sources::titresCartes).
void dessineCalque(Toile &t, const Theme &th, const std::string &dessin, const std::map<std::string, std::string> &titres);

// Where a card's title is written, in the drawing's space: centred on the band, on the line
// `ligne`, its type height kTitre or less where the title would be wider than the band; the type
// stays within the rectangle.
struct BandeTitre {
    std::string carte; // "leaf", "fruit", "twig"
    double x1, y1, x2, y2;
    double ligne;
};
inline constexpr double kTitre = 50;
const std::vector<BandeTitre> &bandesTitres();
// The type height of a title in its band.
double hauteurTitre(const BandeTitre &b, const std::string &titre);
// A contradiction overlay: a red frame round a part of the drawing.
void dessineSurcouche(Toile &t, int x1, int x2, int y1, int y2);
// The colour chart: one equal cell per palette colour, left to right.
void dessineNuancier(Toile &t, const std::vector<Couleur> &couleurs);

} // namespace tarvenko::sample
