#include "platform/metafile/palette_sampling.h"

#include "knowledge/palette.h"

namespace tarvenko {

void Echantillonne_Palette(KeyModel &m, const QImage &chart)
{
    Echantillonne_Palette(m, chart.width(), chart.height(), [&chart](int x, int y) {
        return chart.valid(x, y) ? couleurEcran(chart.pixel(x, y)) : 0;
    });
}

} // namespace tarvenko
