#include "documents/zoom.h"

#include "knowledge/numeric.h"

namespace tarvenko {

namespace {

std::int32_t entier(double value) { return static_cast<std::int32_t>(arrondiPair(value)); }

} // namespace

std::int32_t Limite_Zoom(double zoom, int taillePixels, double tpp, double interieur)
{
    const double dessin = taillePixels * tpp;
    if (dessin > interieur + zoom)
        return zoom < 0 ? 0 : entier(zoom);
    return entier(dessin - interieur);
}

void Place_Zoom(EtatZoom &z, const MesureZoom &m)
{
    const std::int32_t x = entier(m.tppX * 4 * (z.Souris_X - z.Decalage_X) - m.largeur / 2);
    const std::int32_t y = entier(m.tppY * 4 * (z.Souris_Y - z.Decalage_Y) - m.hauteur / 2);
    z.Zoom_Y = Limite_Zoom(y, kHauteurDessin, m.tppY, m.hauteur);
    z.Zoom_X = Limite_Zoom(x, kLargeurDessin, m.tppX, m.largeur);
}

void Deplace_Zoom(EtatZoom &z, const MesureZoom &m, std::int32_t Appui_X, std::int32_t Appui_Y, double x, double y)
{
    if (m.hauteur / m.tppY > kHauteurDessin)
        z.Zoom_Y = 0;
    else
        z.Zoom_Y = Limite_Zoom(entier(Appui_Y + z.Zoom_Y - y), kHauteurDessin, m.tppY, m.hauteur);
    if (m.largeur / m.tppX > kLargeurDessin)
        z.Zoom_X = 0;
    else
        z.Zoom_X = Limite_Zoom(entier(z.Zoom_X + Appui_X - x), kLargeurDessin, m.tppX, m.largeur);
}

PositionTwips Place_Legende(std::int32_t barreLeft, std::int32_t barreTop, double barreHauteur, double legendeLargeur)
{
    return {barreLeft - (2 * entier(legendeLargeur)) / 3, barreTop + (2 * entier(barreHauteur)) / 3};
}

} // namespace tarvenko
