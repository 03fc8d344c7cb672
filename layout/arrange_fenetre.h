#pragma once

class QLabel;
class QMainWindow;
class QStatusBar;
class QToolBar;
class QWidget;

namespace tarvenko {

// The panes of the main window that the layout places.
struct Panneaux {
    QMainWindow *fenetre = nullptr;
    QWidget *Robot = nullptr, *Pic_Choix = nullptr, *Small_Robot = nullptr, *Liste_Esp = nullptr, *Tree_esp = nullptr,
            *Barre_Verticale = nullptr, *WebTexte = nullptr;
    QToolBar *Barre_Deter = nullptr, *Barre_Question = nullptr, *tbToolBar = nullptr;
    QStatusBar *sbStatusBar = nullptr;
    QWidget *panneau2 = nullptr; // the status bar's second panel, under the results box
    QWidget *Resultat = nullptr;
    QLabel *Legende = nullptr;
};

// Places the panes for view Vue_Courante. Positions are worked out in twips over the window's
// client area (below the menu bar, toolbar and status bar included) and converted to pixels of
// each pane's parent.
void Arrange_Fenetre(const Panneaux &p, int Vue_Courante);

struct RectTwips;

// A pane's rectangle in twips of the window's client area, and the move to such a rectangle:
// the coordinates of the layout, for the few handlers that move panes themselves.
RectTwips Lit_Panneau(QMainWindow *fenetre, const QWidget *w);
void Place_Panneau(QMainWindow *fenetre, QWidget *w, const RectTwips &r);

// Twips per pixel of a widget's screen, horizontally and vertically.
double twipsParPixelX(const QWidget *w);
double twipsParPixelY(const QWidget *w);

} // namespace tarvenko
