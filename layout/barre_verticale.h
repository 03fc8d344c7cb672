#pragma once

#include <cstdint>

#include "layout/disposition.h"

namespace tarvenko {

// The left column and the browser around the splitter Barre_Verticale, in twips of the window's
// client area.
struct ColonneGauche {
    std::int32_t barreLeft = 0;
    std::int32_t barreWidth = 0;
    RectTwips Small_Robot, Liste_Esp, Tree_esp, WebTexte;
    bool operator==(const ColonneGauche &) const = default;
};

// Where everything goes when the splitter is dropped at c.barreLeft: never past the middle of the
// window (its outer width), never closer to the left edge than its own width. The thumbnail takes
// the column's width with the drawing's 4:3 shape, the list and the tree fill the column below it
// down to the browser's bottom (none left when the thumbnail is taller than the browser), and the
// browser takes the rest of the inner width less 35.
ColonneGauche Depose_Barre(ColonneGauche c, std::int32_t largeurFenetre, std::int32_t largeurInterieure);

// The left column of a layout for a splitter that the user dropped at `proportion` of the inner
// width: the splitter keeps that proportion and the panes around it follow as after a drop.
void Garde_Proportion(Disposition &d, double proportion, std::int32_t largeurFenetre, std::int32_t largeurInterieure);

} // namespace tarvenko
