#pragma once

#include <cmath>
#include <numbers>
#include <vector>

#include "tools/sample/pictos.h"

// Small drawing helpers shared by the pictograms' files.
namespace tarvenko::sample::outils {

inline constexpr double kPi = std::numbers::pi;

// The part of a polygon below the line y = coupe (y grows downwards).
inline std::vector<Pt> sousLigne(const std::vector<Pt> &poly, double coupe)
{
    std::vector<Pt> out;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const Pt a = poly[i], b = poly[(i + 1) % poly.size()];
        const bool ina = a.y >= coupe, inb = b.y >= coupe;
        if (ina)
            out.push_back(a);
        if (ina != inb) {
            const double t = (coupe - a.y) / (b.y - a.y);
            out.push_back({a.x + (b.x - a.x) * t, coupe});
        }
    }
    return out;
}

inline Pt tourne(Pt p, double degres)
{
    const double r = degres * kPi / 180;
    return {p.x * std::cos(r) - p.y * std::sin(r), p.x * std::sin(r) + p.y * std::cos(r)};
}

inline void rempli(Toile &t, const Theme &th, Role r, Couleur c, double contour = 6)
{
    t.style(th.fond(r, c), th.contour(r, c), contour);
}

inline void plein(Toile &t, const Theme &th, Role r, Couleur c) { t.styleSeul(th.fond(r, c)); }

inline void ombre(Toile &t, const Theme &th, Role r, Couleur c) { t.styleSeul(th.contour(r, c)); }

inline void rond(Toile &t, Pt c, double r) { t.ellipse(c, r, r); }

inline std::vector<Pt> courbe(Pt a, Pt c, Pt b, int n = 16)
{
    std::vector<Pt> p;
    for (int i = 0; i <= n; ++i) {
        const double u = static_cast<double>(i) / n;
        p.push_back({(1 - u) * (1 - u) * a.x + 2 * u * (1 - u) * c.x + u * u * b.x,
                     (1 - u) * (1 - u) * a.y + 2 * u * (1 - u) * c.y + u * u * b.y});
    }
    return p;
}

} // namespace tarvenko::sample::outils
