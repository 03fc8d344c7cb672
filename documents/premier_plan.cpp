#include "documents/premier_plan.h"

#include <QWidget>

namespace tarvenko {

void Premier_Plan(QWidget *Fenetre, bool Actif)
{
    if (!Fenetre)
        return;
    const bool visible = Fenetre->isVisible();
    if (Fenetre->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != Actif) {
        // Changing a window's flags makes a new native window, hidden, wherever the system likes.
        const QRect place = Fenetre->geometry();
        Fenetre->setWindowFlag(Qt::WindowStaysOnTopHint, Actif);
        Fenetre->setGeometry(place);
    }
    if (visible) {
        Fenetre->show();
        Fenetre->raise();
        Fenetre->activateWindow();
    }
}

} // namespace tarvenko
