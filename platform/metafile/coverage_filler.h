#pragma once

#include <QColor>
#include <QPointF>
#include <QRect>

#include <optional>
#include <vector>

class QImage;

namespace tarvenko::detail {

// Fills shapes antialiased straight into an image of 32-bit pixels (RGB32 or premultiplied
// ARGB32), in one solid opaque colour, source over. A pixel's coverage is the area of it inside
// the outline, as Qt's own antialiased filler computes it: every edge adds its signed area to the
// cells of the rows it crosses, a running sum along each row gives each pixel's accumulated
// winding, and the fill rule is applied to that per pixel (non-zero: at most one; odd-even: the
// accumulated winding folded modulo two). Only the cells between the first and the last an edge
// touched in a row are visited, and only the rows the shape's edges cross.
//
// Shapes added between two fills are filled as one. A line is added as a quad per segment, and
// where it turns, what opens between two segments on the outer side (a triangle, or a sector of
// the pen's circle); round ends are half discs. All turn the same way, so the non-zero rule joins
// them into the line's outline with no seam, and they overlap only inside the line.
//
// No allocation per shape once the buffers have grown: a fill costs its edges plus the pixels
// of the rows it crosses between its first and last cell.
class CoverageFiller {
public:
    enum class Rule { NonZero, OddEven };
    enum class Join { Round, Bevel };
    enum class Cap { Round, Square, Flat };

    // `image` must stay alive and keep its size while shapes are added and filled; `clip` in
    // the image's pixels, within it.
    CoverageFiller(QImage &image, const QRect &clip);

    // Whether shapes can be filled into `image` this way (its pixel format).
    static bool supports(const QImage &image);

    // A closed outline, in image pixels (any size, any orientation, self-intersecting or not).
    void addPolygon(const QPointF *points, int count);
    // The outline of a line `width` pixels wide through `points`; `closed` joins the last point
    // to the first. Filled under the non-zero rule.
    void addStroke(const QPointF *points, int count, double width, bool closed, Join join, Cap cap);
    // The points of an ellipse inscribed in `box`, as a polygon whose sides stay within a
    // twentieth of a pixel of the curve, into `points`.
    static void ellipse(const QRectF &box, std::vector<QPointF> &points);
    // The points of the arc of the ellipse in `box` from angle `start` turning by `sweep`
    // (radians, counter-clockwise on the screen), into `points`, as finely as an ellipse's.
    static void arc(const QRectF &box, double start, double sweep, std::vector<QPointF> &points);

    // Draws a line in `colour` as addStroke() outlines it; lines of one pixel blend the parts
    // between sharp turns one after the other, as a line walker draws them.
    void stroke(const QPointF *points, int count, double width, bool closed, Join join, Cap cap, QRgb colour);

    // Blends everything added since the last fill in `colour` and starts afresh.
    void fill(QRgb colour, Rule rule);

private:
    struct Edge {
        double x0, y0, x1, y1; // y0 < y1
        float direction;       // +1 downwards as given, -1 upwards
    };
    void edge(QPointF from, QPointF to);
    // A convex piece added turning the positive way, whatever the order of its points.
    void addPositive(const QPointF *points, int count);
    void disc(QPointF centre, double radius);
    // A fan from `centre`: the centre and the arc from centre + from turning by `sweep`.
    void fan(QPointF centre, QPointF from, double sweep, int steps);
    // One edge into the cells, in the cells' coordinates (0, 0 at the box's top left corner).
    void rasterize(const Edge &e, double left, double top, int width, int height);
    void piece(double x0, double y0, double x1, double y1, float direction, int height);

    QImage &m_image;
    QRect m_clip;
    std::vector<Edge> m_edges;
    double m_minX = 0, m_maxX = 0, m_minY = 0, m_maxY = 0; // of the edges added
    std::vector<QPointF> m_scratch;
    std::vector<QPointF> m_line;
    std::vector<QPointF> m_normals;
    std::vector<double> m_lengths;
    std::vector<QPointF> m_corners; // per point: where the segments meet, when mitred
    std::vector<char> m_mitred;
    std::optional<QRgb> m_segmentColour; // while stroking one-pixel lines
    // Per row of the box being filled: the first and last cells touched.
    int *m_first = nullptr;
    int *m_last = nullptr;
    float *m_cells = nullptr;
    int m_stride = 0;
};

} // namespace tarvenko::detail
