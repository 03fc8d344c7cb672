#include "tools/sample/toile.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace tarvenko::sample {

namespace {

int composante(Couleur c, int decalage) { return static_cast<int>((c >> decalage) & 0xFF); }

std::int16_t coord(double v)
{
    const double r = std::round(v);
    if (r < -32768 || r > 32767)
        throw std::out_of_range("coordinate out of range");
    return static_cast<std::int16_t>(r);
}

} // namespace

Couleur assombrit(Couleur c, double f)
{
    return rgb(static_cast<int>(composante(c, 0) * f), static_cast<int>(composante(c, 8) * f),
               static_cast<int>(composante(c, 16) * f));
}

Couleur melange(Couleur a, Couleur b, double t)
{
    const auto m = [&](int d) { return static_cast<int>(std::lround(composante(a, d) * (1 - t) + composante(b, d) * t)); };
    return rgb(m(0), m(8), m(16));
}

Toile::Toile(int largeur, int hauteur) : m_largeur(largeur), m_hauteur(hauteur)
{
    m_w.placeable({0, 0, coord(largeur), coord(hauteur)});
    m_w.setWindowOrg(0, 0).setWindowExt(largeur, hauteur);
    m_w.setBkMode(wmf::TRANSPARENT);
    m_w.setPolyFillMode(wmf::WINDING);
}

void Toile::selectionne(Couleur fond, bool plein, Couleur trait, int epaisseur)
{
    if (m_pen < 0 || trait != m_trait || epaisseur != m_epaisseur) {
        const int pen = epaisseur > 0 ? m_w.createPen(wmf::PS_SOLID, epaisseur, trait) : m_w.createPen(wmf::PS_NULL, 0, 0);
        m_w.selectObject(pen);
        if (m_pen >= 0)
            m_w.deleteObject(m_pen);
        m_pen = pen;
        m_trait = trait;
        m_epaisseur = epaisseur;
    }
    if (m_brush < 0 || plein != m_plein || (plein && fond != m_fond)) {
        const int brush = plein ? m_w.createBrush(wmf::BS_SOLID, fond) : m_w.createBrush(wmf::BS_NULL, 0);
        m_w.selectObject(brush);
        if (m_brush >= 0)
            m_w.deleteObject(m_brush);
        m_brush = brush;
        m_fond = fond;
        m_plein = plein;
    }
}

void Toile::style(Couleur fond, Couleur trait, double epaisseur)
{
    selectionne(fond, true, trait, static_cast<int>(std::lround(epaisseur)));
}

void Toile::styleSeul(Couleur fond) { selectionne(fond, true, 0, 0); }

void Toile::crayon(Couleur trait, double epaisseur) { selectionne(0, false, trait, std::max(1, static_cast<int>(std::lround(epaisseur)))); }

std::vector<tools::WmfPoint> Toile::convertit(const std::vector<Pt> &points) const
{
    std::vector<tools::WmfPoint> out;
    out.reserve(points.size());
    for (const Pt &p : points) {
        const Pt q = applique(p);
        const tools::WmfPoint w{coord(q.x), coord(q.y)};
        if (out.empty() || out.back().x != w.x || out.back().y != w.y)
            out.push_back(w);
    }
    return out;
}

void Toile::polygone(const std::vector<Pt> &points)
{
    const auto w = convertit(points);
    if (w.size() >= 3)
        m_w.polygon(w);
}

void Toile::polyligne(const std::vector<Pt> &points)
{
    const auto w = convertit(points);
    if (w.size() >= 2)
        m_w.polyline(w);
}

void Toile::ellipse(Pt centre, double rx, double ry) { polygone(pointsEllipse(centre, rx, ry)); }

void Toile::rectangle(double x1, double y1, double x2, double y2) { polygone({{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}}); }

void Toile::trait(const std::vector<Pt> &points, double largeur)
{
    if (points.size() < 2)
        return;
    std::vector<Pt> gauche, droite;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Pt a = points[i == 0 ? 0 : i - 1];
        const Pt b = points[i + 1 < points.size() ? i + 1 : i];
        double dx = b.x - a.x, dy = b.y - a.y;
        const double n = std::hypot(dx, dy);
        if (n == 0)
            continue;
        dx /= n;
        dy /= n;
        const double h = largeur / 2;
        gauche.push_back({points[i].x - dy * h, points[i].y + dx * h});
        droite.push_back({points[i].x + dy * h, points[i].y - dx * h});
    }
    std::reverse(droite.begin(), droite.end());
    gauche.insert(gauche.end(), droite.begin(), droite.end());
    polygone(gauche);
}

void Toile::texte(Pt ancre, const std::string &utf8, double hauteur, Couleur couleur, bool centre, bool gras)
{
    const int h = static_cast<int>(std::lround(hauteur));
    if (m_font < 0 || h != m_policeHauteur || gras != m_policeGras) {
        tools::WmfFont f;
        f.height = static_cast<std::int16_t>(-h);
        f.weight = gras ? 700 : 400;
        f.face = "DejaVu Sans";
        const int font = m_w.createFont(f);
        m_w.selectObject(font);
        if (m_font >= 0)
            m_w.deleteObject(m_font);
        m_font = font;
        m_policeHauteur = h;
        m_policeGras = gras;
    }
    if (couleur != m_texte) {
        m_w.setTextColor(couleur);
        m_texte = couleur;
    }
    m_w.setTextAlign(static_cast<std::uint16_t>((centre ? wmf::TA_CENTER : wmf::TA_LEFT) | wmf::TA_BASELINE));
    const Pt q = applique(ancre);
    m_w.textOut(coord(q.x), coord(q.y), versCp1252(utf8));
}

void Toile::empile() { m_pile.push_back(m_m); }

void Toile::depile()
{
    m_m = m_pile.back();
    m_pile.pop_back();
}

void Toile::translate(double dx, double dy)
{
    m_m.e += m_m.a * dx + m_m.c * dy;
    m_m.f += m_m.b * dx + m_m.d * dy;
}

void Toile::echelle(double sx, double sy)
{
    m_m.a *= sx;
    m_m.b *= sx;
    m_m.c *= sy;
    m_m.d *= sy;
}

void Toile::tourne(double degres)
{
    const double r = degres * std::numbers::pi / 180;
    const double co = std::cos(r), si = std::sin(r);
    const Matrice m = m_m;
    m_m.a = m.a * co + m.c * si;
    m_m.b = m.b * co + m.d * si;
    m_m.c = -m.a * si + m.c * co;
    m_m.d = -m.b * si + m.d * co;
}

void Toile::boite(double x, double y, double w, double h)
{
    translate(x, y);
    echelle(w / 1000, h / 1000);
}

Pt Toile::applique(Pt p) const { return {m_m.a * p.x + m_m.c * p.y + m_m.e, m_m.b * p.x + m_m.d * p.y + m_m.f}; }

double Toile::facteur() const { return std::sqrt(std::abs(m_m.a * m_m.d - m_m.b * m_m.c)); }

std::vector<Pt> pointsEllipse(Pt centre, double rx, double ry, int n)
{
    std::vector<Pt> p;
    for (int i = 0; i < n; ++i) {
        const double t = 2 * std::numbers::pi * i / n;
        p.push_back({centre.x + rx * std::cos(t), centre.y + ry * std::sin(t)});
    }
    return p;
}

std::string versCp1252(const std::string &utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
            const unsigned cp = (c & 0x1Fu) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
            out += cp < 0x100 ? static_cast<char>(cp) : '?';
            i += 2;
        } else {
            const unsigned cp = (c & 0xF0) == 0xE0 && i + 2 < utf8.size()
                                    ? (c & 0x0Fu) << 12 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) << 6 |
                                          (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu)
                                    : 0;
            out += cp == 0x2013 ? '\x96' : cp == 0x2019 ? '\x92' : cp == 0x0153 ? '\x9C' : '?';
            i += (c & 0xF0) == 0xE0 ? 3 : 1;
        }
    }
    return out;
}

} // namespace tarvenko::sample
