#pragma once

namespace tarvenko {

// Rows and columns of a question's grid.
struct DispositionGrille {
    int lignes = 0;
    int colonnes = 0;
};

// The grid the program draws for a question of `nbCar` states over a pane of `largeur` x
// `hauteur`: the key's `lignes` x `colonnes` when they hold every state, else the layout whose
// cells are the largest squares the pane allows (fewer empty cells, then fewer rows, on a tie).
// Nothing (0 x 0) for a question without states.
DispositionGrille Disposition_Grille(int nbCar, int lignes, int colonnes, double largeur, double hauteur);

} // namespace tarvenko
