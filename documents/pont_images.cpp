#include "documents/pont_images.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "knowledge/numeric.h"

namespace tarvenko {

namespace {

// Longer than any address of the document collection, short enough to cost nothing.
constexpr qsizetype kHrefMax = 4096;

} // namespace

PontImages::PontImages(Rapport rapport, QObject *parent) : QObject(parent), m_rapport(std::move(rapport)) {}

qint32 PontImages::position(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double limite = std::clamp(arrondiPair(value), double(std::numeric_limits<qint32>::min()),
                                     double(std::numeric_limits<qint32>::max()));
    return static_cast<qint32>(limite);
}

std::optional<RapportImage> PontImages::verifie(GenreImage genre, const QJsonValue &href, const QJsonValue &x,
                                                const QJsonValue &y, const QJsonValue &scrollLeft,
                                                const QJsonValue &scrollTop)
{
    if (!href.isString() || href.toString().size() > kHrefMax)
        return std::nullopt;
    for (const QJsonValue *v : {&x, &y, &scrollLeft, &scrollTop}) {
        if (!v->isDouble() || !std::isfinite(v->toDouble()))
            return std::nullopt;
    }
    return RapportImage{genre, href.toString(), position(x.toDouble()), position(y.toDouble()),
                        position(scrollLeft.toDouble()), position(scrollTop.toDouble())};
}

void PontImages::rapporte(GenreImage genre, const QJsonValue &href, const QJsonValue &x, const QJsonValue &y,
                          const QJsonValue &scrollLeft, const QJsonValue &scrollTop)
{
    if (const std::optional<RapportImage> r = verifie(genre, href, x, y, scrollLeft, scrollTop); r && m_rapport)
        m_rapport(*r);
}

void PontImages::ImgClicked(const QJsonValue &href, const QJsonValue &x, const QJsonValue &y,
                            const QJsonValue &scrollLeft, const QJsonValue &scrollTop)
{
    rapporte(GenreImage::Clicked, href, x, y, scrollLeft, scrollTop);
}

void PontImages::ImgMouseDown(const QJsonValue &href, const QJsonValue &x, const QJsonValue &y,
                              const QJsonValue &scrollLeft, const QJsonValue &scrollTop)
{
    rapporte(GenreImage::MouseDown, href, x, y, scrollLeft, scrollTop);
}

void PontImages::ImgMouseMove(const QJsonValue &href, const QJsonValue &x, const QJsonValue &y,
                              const QJsonValue &scrollLeft, const QJsonValue &scrollTop)
{
    rapporte(GenreImage::MouseMove, href, x, y, scrollLeft, scrollTop);
}

} // namespace tarvenko
