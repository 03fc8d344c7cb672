#include "documents/frm_zoom.h"

#include <QMouseEvent>
#include <QPainter>

#include "knowledge/numeric.h"
#include "ui_frmZoom.h"

namespace tarvenko {

namespace {

double tppX(const QWidget *w) { return w->logicalDpiX() > 0 ? 1440.0 / w->logicalDpiX() : 15.0; }
double tppY(const QWidget *w) { return w->logicalDpiY() > 0 ? 1440.0 / w->logicalDpiY() : 15.0; }
int entier(double value) { return static_cast<int>(arrondiPair(value)); }

} // namespace

void Dessine_Zoom(QPainter &painter, const QImage &Image_Dessin, const EtatZoom &z, QSize client, double tppX,
                  double tppY)
{
    if (client.height() == 0 || Image_Dessin.isNull())
        return;
    const QRect source(entier(z.Zoom_X / tppX), entier(z.Zoom_Y / tppY), client.width(), client.height());
    painter.drawImage(QPoint(0, 0), Image_Dessin, source);
}

frmZoom::frmZoom(EtatZoom &etat, const QImage &Image_Dessin, QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::frmZoom>()), m_etat(etat), m_dessin(Image_Dessin)
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Tool);
    setMouseTracking(true);
}

frmZoom::~frmZoom() = default;

void frmZoom::Dessine_Zoom() { update(); }

MesureZoom frmZoom::mesure() const
{
    const double tx = tppX(this), ty = tppY(this);
    return {width() * tx, height() * ty, tx, ty};
}

void frmZoom::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    ::tarvenko::Dessine_Zoom(painter, m_dessin, m_etat, size(), tppX(this), tppY(this));
}

void frmZoom::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const MesureZoom m = mesure();
    Appui_X = entier(event->position().x() * m.tppX);
    Appui_Y = entier(event->position().y() * m.tppY);
}

void frmZoom::mouseMoveEvent(QMouseEvent *event)
{
    const MesureZoom m = mesure();
    const double x = event->position().x() * m.tppX, y = event->position().y() * m.tppY;
    if (event->buttons() & Qt::LeftButton) {
        Deplace_Zoom(m_etat, m, Appui_X, Appui_Y, x, y);
        Dessine_Zoom();
    }
    Appui_X = entier(x);
    Appui_Y = entier(y);
}

} // namespace tarvenko
