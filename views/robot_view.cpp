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
    m_exacteValide = false;
    update();
}

namespace {

std::size_t prefixeCommun(const std::vector<std::shared_ptr<const Picture>> &a,
                          const std::vector<std::shared_ptr<const Picture>> &b)
{
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

} // namespace

void RobotView::rend(QImage &image, QSize taille, qreal ratio, bool lisse, Reprise *reprise) const
{
    // Played in device pixels over the whole image, so a screen of ratio 2 gets the drawing of a
    // box twice as large, not this box's drawing enlarged.
    const QSize pixels = (QSizeF(taille) * ratio).toSize().expandedTo(QSize(1, 1));
    Couches couches;
    if (m_modele) {
        // The overlays are those of the last contradiction check only: entries past its count
        // are not shown, whatever Robots still holds.
        const int shown = m_modele->Nb_Robot + (m_avecSurcouches ? m_modele->Nb_Contradictions : 0);
        const std::size_t layers =
            std::min<std::size_t>(m_modele->Robots.size(), static_cast<std::size_t>(std::max(0, shown)));
        couches.reserve(layers);
        for (std::size_t i = 0; i < layers; ++i)
            couches.push_back(m_modele->Robots[i].Image);
    }

    // Pictures never change once loaded: the same layers give the same pixels, and the layers
    // under the first one that changed need not be played again.
    std::size_t debut = 0, changement = 0;
    if (reprise) {
        if (reprise->pixels != pixels) {
            *reprise = Reprise{};
            reprise->pixels = pixels;
        } else if (image.size() == pixels && couches == reprise->derniere) {
            image.setDevicePixelRatio(ratio);
            return;
        }
        changement = prefixeCommun(couches, reprise->derniere);
        if (!reprise->base.isNull() && prefixeCommun(couches, reprise->couches) == reprise->couches.size())
            debut = reprise->couches.size();
        reprise->derniere = couches;
    }

    if (debut > 0) {
        image = reprise->base;
    } else {
        if (image.size() != pixels)
            image = QImage(pixels, QImage::Format_RGB32);
        image.setDevicePixelRatio(1);
        image.fill(Qt::white);
    }
    const auto edges = lisse ? Metafile::Edges::Smooth : Metafile::Edges::Exact;
    QPainter painter(&image);
    for (std::size_t i = debut; i < couches.size(); ++i) {
        if (reprise && i == changement && i > debut) {
            // Each layer leaves the painter as it found it, so a new painter goes on alike.
            painter.end();
            reprise->base = image.copy();
            reprise->couches.assign(couches.begin(), couches.begin() + static_cast<std::ptrdiff_t>(i));
            painter.begin(&image);
        }
        // An empty entry, or a picture of another kind, paints nothing.
        if (const auto *picture = dynamic_cast<const MetafilePicture *>(couches[i].get()))
            picture->metafile().play(painter, QRectF(QPointF(0, 0), QSizeF(pixels)), edges);
    }
    painter.end();
    image.setDevicePixelRatio(ratio);
}

const QImage &RobotView::image()
{
    const QSize taille = size().expandedTo(QSize(1, 1));
    const qreal ratio = devicePixelRatioF();
    if (!m_valide || m_image.deviceIndependentSize() != QSizeF(taille) || m_image.devicePixelRatio() != ratio) {
        rend(m_image, taille, ratio, true, &m_reprise);
        m_valide = true;
    }
    return m_image;
}

const QImage &RobotView::imageExacte()
{
    const QSize taille = size().expandedTo(QSize(1, 1));
    if (!m_exacteValide || m_exacte.size() != taille) {
        rend(m_exacte, taille, 1, false, nullptr);
        m_exacteValide = true;
    }
    return m_exacte;
}

std::int32_t RobotView::couleur(int x, int y)
{
    const QImage &exacte = imageExacte();
    if (!exacte.valid(x, y))
        return 0xFFFFFF;
    const QRgb rgb = exacte.pixel(x, y);
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
    m_exacteValide = false;
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
