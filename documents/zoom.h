#pragma once

#include <cstdint>

namespace tarvenko {

// The full-size drawing of a species, in pixels; its drawing page shows it at a quarter.
inline constexpr int kLargeurDessin = 2200;
inline constexpr int kHauteurDessin = 3300;
// Where the reduced drawing lies in its page, in page pixels.
inline constexpr std::int32_t kDecalageDessinX = 12;
inline constexpr std::int32_t kDecalageDessinY = 72;

// The zoom state shared by the page's image reports and the zoom window. Decalage and Souris are
// page pixels; Zoom_X and Zoom_Y are twips of the full-size drawing (the corner shown at the
// zoom window's top left).
struct EtatZoom {
    std::int32_t Decalage_X = 0, Decalage_Y = 0;
    std::int32_t Souris_X = 0, Souris_Y = 0;
    std::int32_t Zoom_X = 0, Zoom_Y = 0;
};

// The zoom window's client area in twips, and the screen's twips per pixel.
struct MesureZoom {
    double largeur = 0; // inner width
    double hauteur = 0; // inner height
    double tppX = 15.0;
    double tppY = 15.0;
};

// Keeps the view inside the drawing along one direction: while the view ends inside the drawing
// only a negative corner is raised to 0; otherwise the view is brought back to end on the
// drawing's far edge.
std::int32_t Limite_Zoom(double zoom, int taillePixels, double tpp, double interieur);

// Zoom placement: the page point (Souris_X, Souris_Y) at the centre of the zoom window, four
// times larger than on the page, then the limits. Changes Zoom_X and Zoom_Y.
void Place_Zoom(EtatZoom &z, const MesureZoom &m);

// Panning inside the zoom window: the drawing follows a drag from (Appui_X, Appui_Y) to (x, y),
// twips of the zoom window. A window larger than the drawing in one direction shows it from 0.
void Deplace_Zoom(EtatZoom &z, const MesureZoom &m, std::int32_t Appui_X, std::int32_t Appui_Y, double x, double y);

// Where the legend window goes beside the splitter: left by two thirds of its width, down by two
// thirds of the splitter's height (twips, integer division as in the layout).
struct PositionTwips {
    std::int32_t left = 0;
    std::int32_t top = 0;
    bool operator==(const PositionTwips &) const = default;
};
PositionTwips Place_Legende(std::int32_t barreLeft, std::int32_t barreTop, double barreHauteur, double legendeLargeur);

} // namespace tarvenko
