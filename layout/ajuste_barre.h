#pragma once

class QToolBar;

namespace tarvenko {

// Fits a vertical button bar between its top and the bottom of its parent: while every button
// fits, the buttons keep the look the window design gives them; past that they lose their texts
// (the tool tips keep them), then their pictures shrink. A bar is never left with buttons in an
// overflow menu unless even the smallest pictures do not fit.
void Ajuste_Barre(QToolBar *barre);

// The height the bar takes with its smallest pictures, every shown button included.
int Hauteur_Minimale_Barre(QToolBar *barre);

// Fits the bar again whenever its buttons change (rebuilt, shown or hidden), once the bar has
// taken the change into account.
void Suit_Barre(QToolBar *barre);

} // namespace tarvenko
