#pragma once

#include <optional>

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

// What brings a layout about. Start-up, the View commands and a change of the desktop follow the
// layout rules to the letter: the panes of the view are shown or hidden, the focus given, pending
// events let through. A change of the window's size only moves the panes, so that nothing
// flickers, the focus stays where it is and no other handler runs in the middle of the resize.
enum class Occasion { Commande, Redimensionnement };

// Places the panes for view Vue_Courante. Positions are worked out in twips over the window's
// client area (below the menu bar, toolbar and status bar included) and converted to pixels of
// each pane's parent. `proportionBarre`: where the user dropped the splitter, as a proportion of
// the inner width, for the column to keep across a resize.
void Arrange_Fenetre(const Panneaux &p, int Vue_Courante, Occasion occasion = Occasion::Commande,
                     std::optional<double> proportionBarre = std::nullopt);

// The results box alone, over the status bar's second panel where it now is (the panel grows and
// shrinks with the legend).
void Place_Resultat(const Panneaux &p);

// Opens the window maximized over the work area of its screen: its frame inside the area, not its
// client area over all of it.
void Place_Sur_Bureau(QMainWindow *fenetre);

struct RectTwips;

// A pane's rectangle in twips of the window's client area, and the move to such a rectangle:
// the coordinates of the layout, for the few handlers that move panes themselves.
RectTwips Lit_Panneau(QMainWindow *fenetre, const QWidget *w);
void Place_Panneau(QMainWindow *fenetre, QWidget *w, const RectTwips &r);

// Twips per pixel of a widget's screen, horizontally and vertically.
double twipsParPixelX(const QWidget *w);
double twipsParPixelY(const QWidget *w);

} // namespace tarvenko
