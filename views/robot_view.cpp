#include "views/robot_view.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "knowledge/key_model.h"
#include "platform/metafile/metafile_picture.h"

namespace tarvenko {

RobotView::RobotView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void RobotView::setModele(const KeyModel *m, bool avecSurcouches)
{
    m_modele = m;
    m_avecSurcouches = avecSurcouches;
    invalide();
}

void RobotView::invalide()
{
    m_valide = false;
    update();
}

void RobotView::rend()
{
    const QSize size = this->size().expandedTo(QSize(1, 1));
    if (m_image.size() != size)
        m_image = QImage(size, QImage::Format_RGB32);
    m_image.fill(Qt::white);
    if (m_modele) {
        QPainter painter(&m_image);
        // The overlays are those of the last contradiction check only: entries past its count
        // are not shown, whatever Robots still holds.
        const int shown = m_modele->Nb_Robot + (m_avecSurcouches ? m_modele->Nb_Contradictions : 0);
        const std::size_t layers =
            std::min<std::size_t>(m_modele->Robots.size(), static_cast<std::size_t>(std::max(0, shown)));
        for (std::size_t i = 0; i < layers; ++i) {
            // An empty entry, or a picture of another kind, paints nothing.
            const auto *picture = dynamic_cast<const MetafilePicture *>(m_modele->Robots[i].Image.get());
            if (picture)
                picture->metafile().play(painter, QRectF(QPointF(0, 0), QSizeF(size)), Metafile::Edges::Exact);
        }
    }
    m_valide = true;
}

const QImage &RobotView::image()
{
    if (!m_valide || m_image.size() != size().expandedTo(QSize(1, 1)))
        rend();
    return m_image;
}

std::int32_t RobotView::couleur(int x, int y)
{
    const QImage &shown = image();
    if (!shown.valid(x, y))
        return 0xFFFFFF;
    const QRgb rgb = shown.pixel(x, y);
    return qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16);
}

void RobotView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, image());
}

void RobotView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_valide = false;
}

void RobotView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_appuiDedans = true;
    Q_EMIT pressed(event->button(), event->position());
}

void RobotView::mouseReleaseEvent(QMouseEvent *event)
{
    // A click is a left-button press and release over the box; the other buttons never click.
    if (event->button() != Qt::LeftButton)
        return;
    if (m_appuiDedans && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    m_appuiDedans = false;
}

void RobotView::mouseMoveEvent(QMouseEvent *event) { Q_EMIT moved(event->buttons(), event->position()); }

} // namespace tarvenko
