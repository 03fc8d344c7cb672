#pragma once

#include <QPointF>
#include <QRect>
#include <QColor>

#include <vector>

class QImage;

namespace tarvenko::detail {

// Fills polygons antialiased straight into an image of 32-bit pixels (RGB32 or premultiplied
// ARGB32), in one solid opaque colour, source over. Each pixel's coverage is the exact area of it
// inside the outline: every edge adds its signed area to the cells of the rows it crosses, and a
// running sum along each row gives the winding of every pixel; only the cells between the first
// and the last an edge touched in a row are visited. Shapes given between two fills are filled as
// one; a wide line is traced as its outline, so that its segments and joins blend once.
//
// This is what drawing with smooth edges costs most: Qt's raster engine builds a general outline
// for every shape and strokes wide pens with curves; here a solid shape costs its edges plus the
// pixels it covers.
class CoverageFiller {
public:
    enum class Rule { NonZero, OddEven };

    // `image` must stay alive and keep its size while shapes are added and filled; `clip` in
    // image pixels.
    CoverageFiller(QImage &image, const QRect &clip);

    // A closed outline, in image pixels (any size, any orientation).
    void addPolygon(const QPointF *points, int count);
    // The same with its orientation made positive, so that pieces added one after the other add
    // up under the non-zero rule wherever they overlap.
    void addPositive(const QPointF *points, int count);
    // The outline of a line of `width` pixels: joins round (arcs of polygons close to circles)
    // or bevelled; the ends of an open line round, square (drawn out by half the width) or flat.
    // `closed` joins the last point to the first. Filled under the non-zero rule.
    enum class Join { Round, Bevel };
    enum class Cap { Round, Square, Flat };
    void addStroke(const QPointF *points, int count, double width, bool closed, Join join, Cap cap);
    // An ellipse within `box` as a polygon close enough that no pixel's coverage differs
    // visibly, into `points`.
    static void ellipse(const QRectF &box, std::vector<QPointF> &points);

    // Blends everything added since the last fill in `colour` and starts afresh.
    void fill(QRgb colour, Rule rule);

    bool empty() const { return m_rowFirst > m_rowLast; }

private:
    void edge(QPointF from, QPointF to);
    // A piece of an edge within the clip's sides, in clip coordinates.
    void piece(double x0, double y0, double x1, double y1);
    void disc(QPointF centre, double radius);

    QImage &m_image;
    int m_left, m_top, m_width, m_height; // the clip
    // One row of m_width + 2 cells per clip row, all zero between fills.
    std::vector<float> &m_cells;
    std::vector<int> m_first, m_last; // cells touched, per row
    int m_rowFirst, m_rowLast;        // rows touched
    std::vector<QPointF> m_scratch;
};

} // namespace tarvenko::detail
