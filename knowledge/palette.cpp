#include "knowledge/palette.h"

#include <algorithm>
#include <cmath>

#include "knowledge/numeric.h"

namespace tarvenko {

namespace {

Couleur_Octet octets(std::int32_t couleur)
{
    const auto c = static_cast<std::uint32_t>(couleur);
    return {static_cast<std::uint8_t>(c >> 16 & 0xFF), static_cast<std::uint8_t>(c >> 8 & 0xFF), static_cast<std::uint8_t>(c & 0xFF)};
}

} // namespace

void Echantillonne_Palette(KeyModel &m, int largeurPixels, int hauteurPixels,
                           const std::function<std::int32_t(int x, int y)> &pixel)
{
    const auto n = static_cast<std::size_t>(std::max<int>(0, m.Nb_Couleurs));
    m.Couleur_Valeur.resize(n);
    m.Couleur_Octets.resize(n);
    m.Couleur_Distance.resize(n);
    if (m.Code_Couleur.size() != n)
        m.Code_Couleur.resize(n);
    if (n == 0)
        return;

    const double largeur = largeurPixels;
    const auto y = static_cast<int>(arrondiPair(hauteurPixels / 2.0));
    for (std::size_t i = 0; i < n; ++i) {
        const double nb = static_cast<double>(n);
        const auto x = static_cast<int>(arrondiPair(largeur / nb / 2 + static_cast<double>(i) * largeur / nb));
        const std::int32_t couleur = pixel(x, y);
        m.Couleur_Valeur[i] = couleur;
        m.Couleur_Octets[i] = octets(couleur);
    }
}

std::string Cherche_Couleur(KeyModel &m, std::int32_t couleur)
{
    const std::size_t n = std::min({static_cast<std::size_t>(std::max<int>(0, m.Nb_Couleurs)), m.Couleur_Valeur.size(),
                                    m.Couleur_Octets.size(), m.Code_Couleur.size()});
    for (std::size_t i = 0; i < n; ++i)
        if (m.Couleur_Valeur[i] == couleur)
            return m.Code_Couleur[i];

    if (m.Couleur_Distance.size() < n)
        m.Couleur_Distance.resize(n);
    const Couleur_Octet v = octets(couleur);
    for (std::size_t i = 0; i < n; ++i) {
        const Couleur_Octet &c = m.Couleur_Octets[i];
        const double db = double(c.blue) - v.blue, dg = double(c.green) - v.green, dr = double(c.red) - v.red;
        m.Couleur_Distance[i] = std::sqrt(db * db + dg * dg + dr * dr);
    }
    double best = 65535;
    std::string result;
    for (std::size_t i = 0; i < n; ++i)
        if (best > m.Couleur_Distance[i]) {
            best = m.Couleur_Distance[i];
            result = m.Code_Couleur[i];
        }
    return result;
}

} // namespace tarvenko
