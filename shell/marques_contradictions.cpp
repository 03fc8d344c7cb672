#include "shell/marques_contradictions.h"

#include <QEvent>
#include <QPainter>

#include <unordered_map>

#include "engine/zone_scan.h"
#include "knowledge/key_model.h"
#include "knowledge/palette.h"
#include "views/robot_view.h"

namespace tarvenko {

namespace {

const QColor kRouge(220, 0, 0);

} // namespace

MarquesContradictions::MarquesContradictions(RobotView *robot, KeyModel &modele)
    : QWidget(robot), m_robot(robot), m(modele)
{
    setObjectName(QStringLiteral("Marques_Contra"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    robot->installEventFilter(this);
    setGeometry(robot->rect());
    hide();
}

void MarquesContradictions::setMarques(std::vector<MarqueDessin> marques)
{
    m_marques = std::move(marques);
    m_hachures = QImage();
    setVisible(!m_marques.empty());
    if (!m_marques.empty()) {
        setGeometry(m_robot->rect());
        raise();
    }
    update();
}

QImage MarquesContradictions::hachures()
{
    if (!m_robot || m_marques.empty())
        return {};
    const QImage &dessin = m_robot->image();
    if (!m_hachures.isNull() && m_cleDessin == dessin.cacheKey() && m_hachures.size() == dessin.size())
        return m_hachures;
    m_cleDessin = dessin.cacheKey();
    m_hachures = QImage(dessin.size(), QImage::Format_ARGB32_Premultiplied);
    m_hachures.fill(Qt::transparent);
    // A drawing has few colours: each is looked up in the palette once.
    std::unordered_map<QRgb, bool> marquee;
    const QRgb rouge = kRouge.rgba();
    for (int y = 0; y < dessin.height(); ++y) {
        for (int x = 0; x < dessin.width(); ++x) {
            // Diagonal stripes leave the part itself visible between them.
            if ((x + y) % 8 >= 3)
                continue;
            const QRgb pixel = dessin.pixel(x, y);
            auto it = marquee.find(pixel);
            if (it == marquee.end()) {
                const std::int32_t couleur = qRed(pixel) | (qGreen(pixel) << 8) | (qBlue(pixel) << 16);
                const std::string objet = Cherche_Couleur(m, couleur);
                bool oui = false;
                for (const MarqueDessin &marque : m_marques)
                    oui = oui || marque.objet == objet;
                it = marquee.emplace(pixel, oui).first;
            }
            if (it->second)
                m_hachures.setPixel(x, y, rouge);
        }
    }
    return m_hachures;
}

void MarquesContradictions::paintEvent(QPaintEvent *)
{
    if (m_marques.empty())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, hachures());
    painter.setPen(QPen(kRouge, 3));
    painter.setBrush(Qt::NoBrush);
    const double sx = double(width()) / Largeur_Reference, sy = double(height()) / Hauteur_Reference;
    for (const MarqueDessin &marque : m_marques) {
        for (const MarqueDessin::Rect &z : marque.zones)
            painter.drawRect(QRectF(z.X1 * sx, z.Y1 * sy, (z.X2 - z.X1) * sx, (z.Y2 - z.Y1) * sy));
    }
}

bool MarquesContradictions::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_robot && event->type() == QEvent::Resize)
        setGeometry(m_robot->rect());
    return QWidget::eventFilter(watched, event);
}

} // namespace tarvenko
