#pragma once

#include <QImage>
#include <QRgb>

#include <cstdint>

#include "knowledge/key_model.h"

namespace tarvenko {

// A pixel as the key model keeps colours: red in the low byte, then green, then blue.
constexpr std::int32_t couleurEcran(QRgb pixel)
{
    return static_cast<std::int32_t>(qRed(pixel) | qGreen(pixel) << 8 | qBlue(pixel) << 16);
}

// Samples the palette from the colour chart as it is shown: `chart` is the chart box's client
// area at its size in pixels (MetafileView::renderExact()).
void Echantillonne_Palette(KeyModel &m, const QImage &chart);

} // namespace tarvenko
