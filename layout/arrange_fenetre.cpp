#include "layout/arrange_fenetre.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include "knowledge/numeric.h"
#include "layout/ajuste_barre.h"
#include "layout/barre_verticale.h"
#include "layout/disposition.h"

namespace tarvenko {

double twipsParPixelX(const QWidget *w) { return w->logicalDpiX() > 0 ? 1440.0 / w->logicalDpiX() : 15.0; }
double twipsParPixelY(const QWidget *w) { return w->logicalDpiY() > 0 ? 1440.0 / w->logicalDpiY() : 15.0; }

namespace {

int pixels(double twips, double perPixel) { return static_cast<int>(arrondiPair(twips / perPixel)); }
std::int32_t twips(int pixels, double perPixel) { return static_cast<std::int32_t>(arrondiPair(pixels * perPixel)); }

// Converts client-area twips to the pane's parent and moves it; a zero height gives the pane the
// height it asks for (the bars are as tall as their buttons).
class Placeur {
public:
    explicit Placeur(const Panneaux &p, bool visibilite = true)
        : m_p(p), m_tppX(twipsParPixelX(p.fenetre)), m_tppY(twipsParPixelY(p.fenetre)), m_visibilite(visibilite)
    {
        const QWidget *menu = p.fenetre->menuWidget();
        m_origine = QPoint(0, menu && menu->isVisible() ? menu->height() : 0);
    }

    void place(QWidget *w, const RectTwips &r) const
    {
        if (!w)
            return;
        const QPoint client(pixels(r.left, m_tppX), pixels(r.top, m_tppY));
        const QPoint inWindow = client + m_origine;
        const QPoint local = w->parentWidget() == m_p.fenetre ? inWindow : w->parentWidget()->mapFrom(m_p.fenetre, inWindow);
        const int height = r.height > 0 ? pixels(r.height, m_tppY) : w->sizeHint().height();
        w->setGeometry(local.x(), local.y(), std::max(0, pixels(r.width, m_tppX)), std::max(0, height));
    }
    void apply(QWidget *w, const Disposition::Pane &pane) const
    {
        if (!w)
            return;
        if (pane.rect)
            place(w, *pane.rect);
        if (pane.visible && m_visibilite)
            w->setVisible(*pane.visible);
    }

    RectTwips lit(const QWidget *w) const
    {
        const QPoint inWindow = w->parentWidget() == m_p.fenetre ? w->pos() : w->parentWidget()->mapTo(m_p.fenetre, w->pos());
        const QPoint client = inWindow - m_origine;
        return {twips(client.x(), m_tppX), twips(client.y(), m_tppY), twips(w->width(), m_tppX), twips(w->height(), m_tppY)};
    }

    double tppX() const { return m_tppX; }
    double tppY() const { return m_tppY; }
    QSize client() const { return m_p.fenetre->size() - QSize(0, m_origine.y()); }

private:
    const Panneaux &m_p;
    double m_tppX, m_tppY;
    bool m_visibilite; // panes shown or hidden as the layout says
    QPoint m_origine;
};

// The results box over the status bar's second panel, shown whether or not the status bar is.
void placeResultat(const Placeur &placeur, const Panneaux &p, const RectTwips &r)
{
    placeur.place(p.Resultat, r);
    p.Resultat->setToolTip(QString());
    QFont font = p.Legende->font();
    font.setPointSize(9);
    font.setBold(true);
    p.Legende->setFont(font);
    p.Legende->setGeometry(0, 0, p.Resultat->width(), p.Resultat->height());
    p.Resultat->show();
    p.Resultat->raise();
}

} // namespace

RectTwips Lit_Panneau(QMainWindow *fenetre, const QWidget *w)
{
    Panneaux p;
    p.fenetre = fenetre;
    return Placeur(p).lit(w);
}

void Place_Panneau(QMainWindow *fenetre, QWidget *w, const RectTwips &r)
{
    Panneaux p;
    p.fenetre = fenetre;
    Placeur(p).place(w, r);
}

void Arrange_Fenetre(const Panneaux &p, int vue, Occasion occasion, std::optional<double> proportionBarre)
{
    const bool commande = occasion == Occasion::Commande;
    // A toolbar or status bar just shown or hidden moves the central area only when the window's
    // own layout next runs: the panes are placed in the area as it is about to be.
    if (QLayout *layout = p.fenetre->layout())
        layout->activate();
    const Placeur placeur(p, commande);
    const double tx = placeur.tppX(), ty = placeur.tppY();
    MesuresFenetre f;
    f.innerWidth = twips(placeur.client().width(), tx);
    f.innerHeight = twips(placeur.client().height(), ty);
    f.toolbarVisible = p.tbToolBar->isVisible();
    f.toolbarHeight = twips(p.tbToolBar->height(), ty);
    f.statusBarVisible = p.sbStatusBar->isVisible();
    // A hidden status bar keeps its height: the results box stays where its panel would be.
    f.statusBarHeight = twips(p.sbStatusBar->height(), ty);
    f.robotLeft = twips(p.Robot->x(), tx);
    f.barreDeterWidth = twips(p.Barre_Deter->width(), tx);
    f.barreQuestionWidth = twips(p.Barre_Question->width(), tx);
    f.barreVerticaleWidth = twips(p.Barre_Verticale->width(), tx);
    f.panel1Width = twips(p.panneau2->x(), tx);
    f.panel2Width = twips(p.panneau2->width(), tx);
    f.twipsPerPixelX = tx;
    f.twipsPerPixelY = ty;
    // The drawing's left edge is 35 twips once laid out; before the first layout it is wherever
    // the design put it.
    if (f.robotLeft <= 0)
        f.robotLeft = 35;
    Disposition d = Calcule_Disposition(f, vue);
    if (proportionBarre)
        Garde_Proportion(d, *proportionBarre, twips(p.fenetre->frameGeometry().width(), tx), f.innerWidth);

    if (commande && vue == 2)
        p.Pic_Choix->hide();
    if (commande && vue == 3) {
        p.Liste_Esp->hide();
        p.Barre_Verticale->hide();
        p.WebTexte->hide();
    }
    if (commande && vue == 4) {
        p.Tree_esp->hide();
        p.Barre_Verticale->hide();
        p.WebTexte->hide();
    }
    placeur.apply(p.Robot, d.Robot);
    if (commande && d.Robot.visible)
        QCoreApplication::processEvents();
    placeur.apply(p.Pic_Choix, d.Pic_Choix);
    placeur.apply(p.Small_Robot, d.Small_Robot);
    placeur.apply(p.Liste_Esp, d.Liste_Esp);
    placeur.apply(p.Tree_esp, d.Tree_esp);
    placeur.apply(p.Barre_Verticale, d.Barre_Verticale);
    placeur.apply(p.WebTexte, d.WebTexte);
    placeur.apply(p.Barre_Deter, d.Barre_Deter);
    placeur.apply(p.Barre_Question, d.Barre_Question);
    if (vue == 1)
        p.Barre_Deter->raise();
    if (commande && vue == 3 && p.Barre_Verticale->isVisible())
        p.Barre_Verticale->setFocus();
    if (commande && vue == 4 && p.WebTexte->isVisible())
        p.WebTexte->setFocus();

    // Every button of both bars stays within reach: the bars pack their buttons to fit, and the
    // window cannot be made lower than the most packed bars.
    Ajuste_Barre(p.Barre_Deter);
    Ajuste_Barre(p.Barre_Question);
    if (QWidget *central = p.Barre_Deter->parentWidget()) {
        const int minimum = std::max(p.Barre_Deter->y() + Hauteur_Minimale_Barre(p.Barre_Deter),
                                     p.Barre_Question->y() + Hauteur_Minimale_Barre(p.Barre_Question));
        if (central->minimumHeight() != minimum)
            central->setMinimumHeight(minimum);
    }

    placeResultat(placeur, p, d.Resultat);
}

void Place_Resultat(const Panneaux &p)
{
    const Placeur placeur(p, false);
    const double tx = placeur.tppX(), ty = placeur.tppY();
    MesuresFenetre f;
    f.innerHeight = twips(placeur.client().height(), ty);
    f.statusBarHeight = twips(p.sbStatusBar->height(), ty);
    f.panel1Width = twips(p.panneau2->x(), tx);
    f.panel2Width = twips(p.panneau2->width(), tx);
    f.twipsPerPixelX = tx;
    f.twipsPerPixelY = ty;
    placeResultat(placeur, p, Rect_Resultat(f));
}

void Place_Sur_Bureau(QMainWindow *fenetre)
{
    if (fenetre->isMinimized())
        fenetre->showNormal();
    // The window's size when it is restored: the work area less the frame, once the frame is known.
    const QRect zone = fenetre->screen()->availableGeometry();
    const QRect cadre = fenetre->frameGeometry(), client = fenetre->geometry();
    fenetre->setGeometry(zone.adjusted(client.left() - cadre.left(), client.top() - cadre.top(),
                                       client.right() - cadre.right(), client.bottom() - cadre.bottom()));
    fenetre->showMaximized();
}

} // namespace tarvenko
