#pragma once

#include <cstdint>
#include <optional>

namespace tarvenko {

// A rectangle in twips (1/1440 inch), the unit of the window layout.
struct RectTwips {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const RectTwips &) const = default;
};

// What the layout reads of the window, in twips.
struct MesuresFenetre {
    std::int32_t innerWidth = 0;
    std::int32_t innerHeight = 0;
    bool toolbarVisible = true;
    std::int32_t toolbarHeight = 0;
    bool statusBarVisible = true;
    std::int32_t statusBarHeight = 0;
    std::int32_t robotLeft = 35; // the drawing's current left edge
    std::int32_t barreDeterWidth = 0;
    std::int32_t barreQuestionWidth = 0;
    std::int32_t barreVerticaleWidth = 0;
    std::int32_t panel1Width = 0; // first and second panels of the status bar
    std::int32_t panel2Width = 0;
    double twipsPerPixelX = 15.0;
    double twipsPerPixelY = 15.0;
};

// Where each pane goes, and which panes the layout shows or hides (unset: left as it is).
struct Disposition {
    struct Pane {
        std::optional<RectTwips> rect;
        std::optional<bool> visible;
    };
    Pane Robot, Pic_Choix, Small_Robot, Liste_Esp, Tree_esp, Barre_Verticale, WebTexte, Barre_Deter,
        Barre_Question;
    RectTwips Resultat;
    // The drawing's size: the largest 4:3 rectangle that fits the available space.
    std::int32_t H = 0, L = 0, Hr = 0, M = 0;
};

// The layout of the main window for view `Vue_Courante` (1 identification, 2 question,
// 3 results, 4 species; any other value only places the results box).
Disposition Calcule_Disposition(const MesuresFenetre &f, int Vue_Courante);
// The results box alone: over the status bar's second panel, whatever the view.
RectTwips Rect_Resultat(const MesuresFenetre &f);

} // namespace tarvenko
