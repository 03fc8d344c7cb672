#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/wmf/wmf_writer.h"

namespace tarvenko::sample {

struct Pt {
    double x = 0;
    double y = 0;
};

// A colour as the metafile stores it (red in the low byte).
using Couleur = std::uint32_t;

constexpr Couleur rgb(int r, int g, int b)
{
    return static_cast<Couleur>(r) | static_cast<Couleur>(g) << 8 | static_cast<Couleur>(b) << 16;
}
// A colour mixed toward black (f < 1 darkens).
Couleur assombrit(Couleur c, double f);
Couleur melange(Couleur a, Couleur b, double t);

// A drawing surface written as a metafile: every shape is a polygon computed here, placed through
// a current transform (translate, scale, rotate) so that a pictogram drawn in its own 1000 x 1000
// space can be put anywhere at any size. Pens and brushes are created when the style changes and
// deleted once replaced, so the object table stays small.
class Toile {
public:
    Toile(int largeur, int hauteur);

    int largeur() const { return m_largeur; }
    int hauteur() const { return m_hauteur; }

    // Style of the next shapes: fill, outline colour and width (in output units). A width of 0
    // draws no outline.
    void style(Couleur fond, Couleur trait, double epaisseur);
    void styleSeul(Couleur fond); // fill without outline
    void crayon(Couleur trait, double epaisseur); // outline only, no fill

    void polygone(const std::vector<Pt> &points);
    void polyligne(const std::vector<Pt> &points);
    void ellipse(Pt centre, double rx, double ry);
    void rectangle(double x1, double y1, double x2, double y2);
    // A stroke of given width between points, as a filled polygon (width in local units).
    void trait(const std::vector<Pt> &points, double largeur);
    // Text in output units at the transformed anchor; centred horizontally when asked.
    void texte(Pt ancre, const std::string &utf8, double hauteur, Couleur couleur, bool centre = true, bool gras = false);

    // Transform stack.
    void empile();
    void depile();
    void translate(double dx, double dy);
    void echelle(double sx, double sy);
    void tourne(double degres);
    // Maps a 1000 x 1000 local square onto the rectangle (x, y, w, h).
    void boite(double x, double y, double w, double h);
    Pt applique(Pt p) const;
    double facteur() const; // mean scale of the current transform

    const tools::WmfWriter &ecrivain() const { return m_w; }
    void sauve(const std::string &chemin) const { m_w.save(chemin); }
    std::vector<std::uint8_t> octets() const { return m_w.bytes(); }

private:
    struct Matrice {
        double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0; // x' = a x + c y + e, y' = b x + d y + f
    };
    std::vector<tools::WmfPoint> convertit(const std::vector<Pt> &points) const;
    void selectionne(Couleur fond, bool plein, Couleur trait, int epaisseur);

    int m_largeur, m_hauteur;
    tools::WmfWriter m_w;
    Matrice m_m;
    std::vector<Matrice> m_pile;
    int m_pen = -1, m_brush = -1, m_font = -1;
    Couleur m_fond = 0, m_trait = 0;
    bool m_plein = false;
    int m_epaisseur = -1;
    int m_policeHauteur = 0;
    bool m_policeGras = false;
    Couleur m_texte = 0xFFFFFFFF;
};

// Points of an ellipse (n of them), centre and radii in local units.
std::vector<Pt> pointsEllipse(Pt centre, double rx, double ry, int n = 48);
// UTF-8 to Windows-1252 (the Latin letters the key's names use; others become '?').
std::string versCp1252(const std::string &utf8);

} // namespace tarvenko::sample
