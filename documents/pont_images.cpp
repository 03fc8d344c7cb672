#include "documents/pont_images.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "knowledge/numeric.h"

namespace tarvenko {

PontImages::PontImages(Rapport rapport, std::function<void()> pret, QObject *parent)
    : QObject(parent), m_rapport(std::move(rapport)), m_pret(std::move(pret))
{
}

qint32 PontImages::position(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double limite = std::clamp(arrondiPair(value), double(std::numeric_limits<qint32>::min()),
                                     double(std::numeric_limits<qint32>::max()));
    return static_cast<qint32>(limite);
}

void PontImages::rapporte(GenreImage genre, const QString &href, double x, double y, double scrollLeft,
                          double scrollTop)
{
    if (m_rapport)
        m_rapport(genre, href, position(x), position(y), position(scrollLeft), position(scrollTop));
}

void PontImages::ImgClicked(const QString &href, double x, double y, double scrollLeft, double scrollTop)
{
    rapporte(GenreImage::Clicked, href, x, y, scrollLeft, scrollTop);
}

void PontImages::ImgMouseDown(const QString &href, double x, double y, double scrollLeft, double scrollTop)
{
    rapporte(GenreImage::MouseDown, href, x, y, scrollLeft, scrollTop);
}

void PontImages::ImgMouseMove(const QString &href, double x, double y, double scrollLeft, double scrollTop)
{
    rapporte(GenreImage::MouseMove, href, x, y, scrollLeft, scrollTop);
}

void PontImages::pret()
{
    if (m_pret)
        m_pret();
}

} // namespace tarvenko
