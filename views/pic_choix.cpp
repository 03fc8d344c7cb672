#include "views/pic_choix.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <cmath>
#include <utility>

#include "knowledge/key_model.h"
#include "knowledge/numeric.h"
#include "platform/qt_text.h"
#include "resources/string_table.h"

namespace tarvenko {

namespace {

std::int32_t entier(double value) { return static_cast<std::int32_t>(arrondiPair(value)); }

double twipsPerPixel(const QWidget *w, bool horizontal)
{
    const int dpi = horizontal ? w->logicalDpiX() : w->logicalDpiY();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

} // namespace

int Case_Sous(double x, double y, double largeur, double hauteur, int colonnes, int lignes)
{
    if (colonnes <= 0 || lignes <= 0 || largeur <= 0 || hauteur <= 0)
        return -1;
    const int column = static_cast<int>(std::floor(x / (largeur / colonnes)));
    const int row = static_cast<int>(std::floor(y / (hauteur / lignes)));
    if (column < 0 || row < 0 || column >= colonnes || row >= lignes)
        return -1;
    return row * colonnes + column;
}

RectTwips Rectangle_Case(int k, double W, double H, int colonnes, int lignes, int epaisseur, double tppX, double tppY)
{
    const int row = k / colonnes;
    const int column = k % colonnes;
    const double x1 = column * W / colonnes;
    const double y1 = row * H / lignes;
    const double x2 = column == colonnes - 1 ? W - (epaisseur - 1) * tppX : (column + 1) * W / colonnes;
    const double y2 = row == lignes - 1 ? H - (epaisseur - 1) * tppY : (row + 1) * H / lignes;
    return {entier(x1), entier(y1), entier(x2) - entier(x1), entier(y2) - entier(y1)};
}

std::int16_t Choisit_Case(std::int16_t selection, int k, int nbCar)
{
    if (k < 0 || k >= nbCar)
        return selection;
    if (selection == k)
        return -1;
    return static_cast<std::int16_t>(k);
}

int Case_Voisine(int k, int dx, int dy, int colonnes, int nbCar)
{
    if (colonnes <= 0 || k < 0 || k >= nbCar)
        return k;
    const int column = k % colonnes + dx;
    const int voisine = k + dy * colonnes + dx;
    if (column < 0 || column >= colonnes || voisine < 0 || voisine >= nbCar)
        return k;
    return voisine;
}

PicChoixView::PicChoixView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

void PicChoixView::setModele(KeyModel *m) { m_modele = m; }

void PicChoixView::setImage(Metafile picture)
{
    m_picture = std::move(picture);
    m_imageValide = false;
    // A new question: the keyboard starts on the chosen state, or on the first.
    m_case = -1;
    if (m_modele && m_modele->Descripteur_Courant.Nb_Car > 0)
        m_case = std::max<int>(m_modele->Descripteur_Courant.Selection, 0);
    nommeCase();
    update();
}

const QImage &PicChoixView::imageLisse()
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize().expandedTo(QSize(1, 1));
    if (!m_imageValide || m_image.size() != pixels || m_image.devicePixelRatio() != ratio) {
        // Played in device pixels, so pens and text keep their share of the box at any ratio.
        if (m_image.size() != pixels)
            m_image = QImage(pixels, QImage::Format_RGB32);
        m_image.setDevicePixelRatio(1);
        m_image.fill(Qt::white);
        QPainter painter(&m_image);
        m_picture.play(painter, QRectF(QPointF(), QSizeF(pixels)), Metafile::Edges::Smooth);
        painter.end();
        m_image.setDevicePixelRatio(ratio);
        m_imageValide = true;
    }
    return m_image;
}

QString PicChoixView::Bulle(int k) const
{
    if (!m_modele)
        return {};
    const Descripteur &d = m_modele->Descripteur_Courant;
    if (k < 0 || k >= d.Nb_Car)
        return {};
    const CaractereRow *row = m_modele->Base_Donnees.caractere(d.Index_Car + k);
    return row && row->TipText ? qs(*row->TipText) : QString();
}

QString PicChoixView::Bulle_Case(double x, double y) const
{
    if (!m_modele)
        return {};
    const Descripteur &d = m_modele->Descripteur_Courant;
    return Bulle(Case_Sous(x, y, width(), height(), d.Colonnes, d.Lignes));
}

void PicChoixView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, imageLisse());
    if (!m_modele)
        return;
    const Descripteur &d = m_modele->Descripteur_Courant;
    if (d.Colonnes <= 0 || d.Lignes <= 0)
        return;
    const double tppX = twipsPerPixel(this, true);
    const double tppY = twipsPerPixel(this, false);
    const auto contour = [&](int k) {
        const RectTwips cell = Rectangle_Case(k, width() * tppX, height() * tppY, d.Colonnes, d.Lignes, kEpaisseur, tppX, tppY);
        // The pen is centred on the outline's path: inset by half its width keeps it in the cell.
        const double half = kEpaisseur / 2.0;
        return QRectF(cell.left / tppX + half, cell.top / tppY + half, cell.width / tppX - kEpaisseur + 1,
                      cell.height / tppY - kEpaisseur + 1);
    };
    painter.setBrush(Qt::NoBrush);
    if (d.Selection >= 0) {
        painter.setPen(QPen(QColor(0, 0, 255), kEpaisseur));
        painter.drawRect(contour(d.Selection));
    }
    // The keyboard's outline, dashed and inside the chosen one, only while the keys act here.
    if (hasFocus() && m_case >= 0 && m_case < d.Lignes * d.Colonnes) {
        QPen pen(QColor(0, 0, 255), 2, Qt::DashLine);
        painter.setPen(pen);
        painter.drawRect(contour(m_case).adjusted(kEpaisseur + 1, kEpaisseur + 1, -kEpaisseur - 1, -kEpaisseur - 1));
    }
}

void PicChoixView::mousePressEvent(QMouseEvent *event)
{
    m_Choix_X = qRound(event->position().x());
    m_Choix_Y = qRound(event->position().y());
    if (event->button() == Qt::LeftButton)
        m_appui = true;
}

void PicChoixView::mouseReleaseEvent(QMouseEvent *event)
{
    // Only a left-button click picks a cell; every press still records its position.
    if (event->button() != Qt::LeftButton)
        return;
    const bool appui = std::exchange(m_appui, false);
    if (!appui || !rect().contains(event->position().toPoint()) || !m_modele)
        return;
    QCoreApplication::processEvents();
    Descripteur &d = m_modele->Descripteur_Courant;
    const int k = Case_Sous(m_Choix_X, m_Choix_Y, width(), height(), d.Colonnes, d.Lignes);
    if (k >= 0 && k < d.Nb_Car)
        m_case = k;
    choisit(k);
}

void PicChoixView::choisit(int k)
{
    Descripteur &d = m_modele->Descripteur_Courant;
    d.Selection = Choisit_Case(d.Selection, k, d.Nb_Car);
    nommeCase();
    update();
    Q_EMIT selectionChanged(d.Selection);
}

void PicChoixView::placeCase(int k)
{
    if (k == m_case)
        return;
    m_case = k;
    nommeCase();
    update();
    Q_EMIT caseClavierChanged(k, Bulle(k));
}

void PicChoixView::nommeCase()
{
    // A screen reader follows the keyboard's outline: the state, then whether it is chosen.
    if (!m_modele || m_case < 0)
        return; // the grid keeps its own name
    const bool choisie = m_modele->Descripteur_Courant.Selection == m_case;
    setAccessibleName(QStringLiteral("%1, %2").arg(Bulle(m_case),
                                                   qs(Texte_Ou_Anglais(m_modele->Num_Langue, choisie ? 1600 : 1601))));
    setAccessibleDescription(qs(m_modele->Descripteur_Courant.TipText));
}

void PicChoixView::keyPressEvent(QKeyEvent *event)
{
    if (!m_modele || m_case < 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    const Descripteur &d = m_modele->Descripteur_Courant;
    const auto deplace = [&](int dx, int dy) { placeCase(Case_Voisine(m_case, dx, dy, d.Colonnes, d.Nb_Car)); };
    switch (event->key()) {
    case Qt::Key_Left: deplace(-1, 0); break;
    case Qt::Key_Right: deplace(1, 0); break;
    case Qt::Key_Up: deplace(0, -1); break;
    case Qt::Key_Down: deplace(0, 1); break;
    case Qt::Key_Space: choisit(m_case); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The first Enter chooses the cell; Enter on the chosen cell validates.
        if (d.Selection == m_case)
            Q_EMIT valide();
        else
            choisit(m_case);
        break;
    case Qt::Key_Escape: Q_EMIT quitte(); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void PicChoixView::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void PicChoixView::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

void PicChoixView::mouseMoveEvent(QMouseEvent *event)
{
    const QString tip = Bulle_Case(event->position().x(), event->position().y());
    setToolTip(tip);
    if (tip.isEmpty())
        QToolTip::hideText();
}

} // namespace tarvenko
