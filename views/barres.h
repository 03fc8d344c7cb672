#pragma once

#include <QString>

#include <vector>

class QAction;
class QIcon;
class QToolBar;

namespace tarvenko {

struct KeyModel;

// One picture button of a bar, as its table row gives it.
struct BoutonBarre {
    QString caption; // the button's text
    QString image;   // full path of its picture
    QString tip;
    QString key; // the object or command it opens (determination bar only)
};

// The buttons of a bar in button-number order: rows 1, 2, 3 ... of But_Deter (`deter` true) or
// But_Quest, up to Nb_But_Deter or Nb_But_Quest. A missing button number ends the list there,
// since the bar cannot have a gap. A table without rows gives the program's own buttons, in the
// interface language, with pictures from the program's resources (":/icons/...").
std::vector<BoutonBarre> Boutons_Barre(const KeyModel &m, bool deter);

// Fills a vertical bar: button k at position 2k - 1 and a separator after each, so the picture
// buttons have the odd positions. A picture that cannot be loaded leaves its button with its text
// alone. Button keys go into the action's "tag" property. The buttons of an earlier filling are
// removed and deleted once control returns to the event loop.
void Remplit_Barre(QToolBar *barre, const std::vector<BoutonBarre> &boutons);

// The picture of a button: every size the file holds; empty when none can be read.
QIcon Icone_Bouton(const QString &chemin);

// Makes every button of a bar reachable with Tab (Space presses it) and names it for a screen
// reader: its text, or its tool tip when it has none.
void Boutons_Au_Clavier(QToolBar *barre);

// Position of a button on a bar, counted from 1 with the separators, or 0.
int Position_Bouton(const QToolBar *barre, const QAction *bouton);
// The button at a position, or nullptr.
QAction *Bouton_A(const QToolBar *barre, int position);

} // namespace tarvenko
