#include "views/legende_statut.h"

#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace tarvenko {

LegendeStatut::LegendeStatut(QWidget *parent) : QLabel(parent) {}

QString LegendeStatut::texteAffiche() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width() - 2 * margin());
}

void LegendeStatut::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect zone = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, zone, static_cast<int>(alignment()), palette(), isEnabled(), texteAffiche(),
                          foregroundRole());
}

PlaceLegende::PlaceLegende(QWidget *parent) : QLabel(parent) {}

void PlaceLegende::setLegende(QWidget *legende, int marge)
{
    m_legende = legende;
    m_marge = marge;
    updateGeometry();
}

QSize PlaceLegende::sizeHint() const
{
    QSize taille = QLabel::sizeHint();
    if (!m_legende)
        return taille;
    // The messages keep two fifths of the bar at least.
    int largeur = m_legende->sizeHint().width() + m_marge;
    if (const QWidget *barre = parentWidget())
        largeur = std::min(largeur, barre->width() * 3 / 5);
    taille.setWidth(std::max(minimumWidth(), largeur));
    return taille;
}

} // namespace tarvenko
