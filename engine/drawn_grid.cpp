#include "engine/drawn_grid.h"

#include <algorithm>
#include <cmath>

namespace tarvenko {

DispositionGrille Disposition_Grille(int nbCar, int lignes, int colonnes, double largeur, double hauteur)
{
    if (nbCar <= 0)
        return {};
    if (lignes > 0 && colonnes > 0 && static_cast<long>(lignes) * colonnes >= nbCar)
        return {lignes, colonnes};
    largeur = std::max(largeur, 1.0);
    hauteur = std::max(hauteur, 1.0);
    DispositionGrille best;
    double bestCote = -1;
    int bestVides = 0;
    for (int c = 1; c <= nbCar; ++c) {
        const int r = (nbCar + c - 1) / c;
        const double cote = std::min(largeur / c, hauteur / r);
        const int vides = r * c - nbCar;
        // Columns go up and rows down: on a tie a later layout has fewer rows.
        const bool egal = std::abs(cote - bestCote) <= 1e-9 * std::max(largeur, hauteur);
        if ((!egal && cote > bestCote) || (egal && vides <= bestVides)) {
            best = {r, c};
            bestCote = cote;
            bestVides = vides;
        }
    }
    return best;
}

} // namespace tarvenko
