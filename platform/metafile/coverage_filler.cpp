#include "platform/metafile/coverage_filler.h"

#include <QImage>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace tarvenko::detail {

namespace {

// The cells and the rows' touched ranges of this thread's fills, kept between fills: the cells
// are zero and the ranges empty after each fill.
struct Buffers {
    std::vector<float> cells;
    std::vector<int> first, last;
};

Buffers &buffersOfThread(std::size_t cells, std::size_t rows)
{
    thread_local Buffers buffers;
    if (buffers.cells.size() < cells)
        buffers.cells.resize(cells, 0.0F);
    if (buffers.first.size() < rows) {
        buffers.first.resize(rows, INT_MAX);
        buffers.last.resize(rows, -1);
    }
    return buffers;
}

// Sides of a polygon close to a circle of `radius` pixels: its edges stay within a twentieth of a
// pixel of the circle.
int sidesFor(double radius)
{
    if (radius <= 0.75)
        return 6;
    const double step = 2 * std::acos(std::max(0.0, 1 - 0.05 / radius));
    return std::clamp(static_cast<int>(std::ceil(2 * M_PI / step)), 8, 256);
}

// A polygon of `sides` sides that misses as much of the circle as it overshoots: its vertices
// are pulled out to halfway between the circle and the circle its edges would touch.
double polygonRadius(double radius, int sides) { return radius * (0.5 / std::cos(M_PI / sides) + 0.5); }

// Whether four cells hold nothing (a cell an edge touched may hold minus zero: also touched).
inline bool zero4(const float *cells)
{
    std::uint64_t a, b;
    std::memcpy(&a, cells, 8);
    std::memcpy(&b, cells + 2, 8);
    return (a | b) == 0;
}

inline bool finite(QPointF p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

// `source` (opaque) over `destination` with `alpha` out of 255, two channels a step.
inline std::uint32_t blend(std::uint32_t destination, std::uint32_t source, std::uint32_t alpha)
{
    const std::uint32_t inverse = 255 - alpha;
    std::uint32_t rb = (source & 0xFF00FF) * alpha + (destination & 0xFF00FF) * inverse + 0x800080;
    rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
    std::uint32_t ag = ((source >> 8) & 0xFF00FF) * alpha + ((destination >> 8) & 0xFF00FF) * inverse + 0x800080;
    ag = (ag + ((ag >> 8) & 0xFF00FF)) & 0xFF00FF00;
    return rb | ag;
}

} // namespace

CoverageFiller::CoverageFiller(QImage &image, const QRect &clip) : m_image(image), m_clip(clip & image.rect()) {}

bool CoverageFiller::supports(const QImage &image)
{
    return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32_Premultiplied;
}

void CoverageFiller::edge(QPointF from, QPointF to)
{
    if (from.y() == to.y() || !finite(from) || !finite(to))
        return;
    if (m_edges.empty()) {
        m_minX = m_maxX = from.x();
        m_minY = m_maxY = from.y();
    }
    m_minX = std::min({m_minX, from.x(), to.x()});
    m_maxX = std::max({m_maxX, from.x(), to.x()});
    m_minY = std::min({m_minY, from.y(), to.y()});
    m_maxY = std::max({m_maxY, from.y(), to.y()});
    if (from.y() < to.y())
        m_edges.push_back({from.x(), from.y(), to.x(), to.y(), 1.0F});
    else
        m_edges.push_back({to.x(), to.y(), from.x(), from.y(), -1.0F});
}

void CoverageFiller::addPolygon(const QPointF *points, int count)
{
    if (count < 3)
        return;
    for (int i = 0, j = count - 1; i < count; j = i++)
        edge(points[j], points[i]);
}

void CoverageFiller::addPositive(const QPointF *points, int count)
{
    double area = 0;
    for (int i = 0, j = count - 1; i < count; j = i++)
        area += (points[j].x() - points[i].x()) * (points[j].y() + points[i].y());
    if (area >= 0) {
        addPolygon(points, count);
    } else {
        for (int i = 0, j = count - 1; i < count; j = i++)
            edge(points[i], points[j]);
    }
}

void CoverageFiller::disc(QPointF centre, double radius)
{
    const int sides = sidesFor(radius);
    const double r = polygonRadius(radius, sides);
    m_scratch.resize(static_cast<std::size_t>(sides));
    for (int k = 0; k < sides; ++k) {
        const double a = 2 * M_PI * k / sides;
        m_scratch[static_cast<std::size_t>(k)] = centre + QPointF(r * std::cos(a), r * std::sin(a));
    }
    addPolygon(m_scratch.data(), sides); // counter-clockwise on the screen: positive
}

void CoverageFiller::ellipse(const QRectF &box, std::vector<QPointF> &points)
{
    points.clear();
    const QRectF b = box.normalized();
    const double rx = b.width() / 2, ry = b.height() / 2;
    if (!(rx > 0 && ry > 0) || !finite(b.center()))
        return;
    const int sides = sidesFor(std::max(rx, ry));
    const double grow = polygonRadius(1, sides);
    points.resize(static_cast<std::size_t>(sides));
    // Turning by a fixed step: one sine and cosine per ellipse.
    const double c = std::cos(2 * M_PI / sides), s = std::sin(2 * M_PI / sides);
    double x = 1, y = 0;
    for (int k = 0; k < sides; ++k) {
        points[static_cast<std::size_t>(k)] = b.center() + QPointF(rx * grow * x, ry * grow * y);
        const double nx = x * c - y * s;
        y = x * s + y * c;
        x = nx;
    }
}

void CoverageFiller::arc(const QRectF &box, double start, double sweep, std::vector<QPointF> &points)
{
    points.clear();
    const QRectF b = box.normalized();
    const double rx = b.width() / 2, ry = b.height() / 2;
    if (!(rx >= 0 && ry >= 0) || !finite(b.center()) || !std::isfinite(start) || !std::isfinite(sweep))
        return;
    const int steps = std::max(1, static_cast<int>(std::ceil(sidesFor(std::max(rx, ry)) * std::abs(sweep) / (2 * M_PI))));
    points.resize(static_cast<std::size_t>(steps) + 1);
    for (int k = 0; k <= steps; ++k) {
        const double a = start + sweep * k / steps;
        points[static_cast<std::size_t>(k)] = b.center() + QPointF(rx * std::cos(a), -ry * std::sin(a));
    }
}

void CoverageFiller::fan(QPointF centre, QPointF from, double sweep, int steps)
{
    // The centre, then points on the circle through centre + from, turning by `sweep` radians.
    m_scratch.resize(static_cast<std::size_t>(steps) + 2);
    m_scratch[0] = centre;
    const double c = std::cos(sweep / steps), s = std::sin(sweep / steps);
    QPointF v = from;
    for (int k = 0; k <= steps; ++k) {
        m_scratch[static_cast<std::size_t>(k) + 1] = centre + v;
        v = QPointF(v.x() * c - v.y() * s, v.x() * s + v.y() * c);
    }
    addPositive(m_scratch.data(), steps + 2);
}

void CoverageFiller::addStroke(const QPointF *points, int count, double width, bool closed, Join join, Cap cap)
{
    if (count < 1 || !(width > 0) || !std::isfinite(width))
        return;
    const double h = width / 2;
    // The points without repeats: a segment of no length has no direction.
    m_line.clear();
    for (int i = 0; i < count; ++i)
        if (finite(points[i]) && (m_line.empty() || points[i] != m_line.back()))
            m_line.push_back(points[i]);
    if (closed && m_line.size() > 1 && m_line.front() == m_line.back())
        m_line.pop_back();
    const std::size_t n = m_line.size();
    if (n == 0)
        return;
    const bool cosmetic = width <= 1;
    if (n == 1) {
        // A dot: a disc or a square the pen's width, nothing with flat ends.
        const QPointF p = m_line[0];
        if (cap == Cap::Round && !cosmetic) {
            disc(p, h);
        } else if (cap != Cap::Flat) {
            const QPointF square[4] = {p + QPointF(-h, -h), p + QPointF(-h, h), p + QPointF(h, h), p + QPointF(h, -h)};
            addPositive(square, 4);
        }
        return;
    }
    if (closed && n == 2) {
        // There and back: one segment, whose ends are the joins.
        closed = false;
        cap = join == Join::Round ? Cap::Round : Cap::Flat;
    }
    const std::size_t segments = closed ? n : n - 1;
    if (cosmetic) {
        // A line of one pixel is one pixel thick across its main direction, as a line walker
        // draws it antialiased (two pixels a step sharing one pixel's coverage): a
        // parallelogram a pixel high (or wide) per segment, square ends half a pixel longer.
        for (std::size_t i = 0; i < segments; ++i) {
            QPointF a = m_line[i], b = m_line[(i + 1) % n];
            const QPointF d = b - a;
            const bool across = std::abs(d.x()) >= std::abs(d.y());
            const QPointF offset = across ? QPointF(0, 0.5) : QPointF(0.5, 0);
            if (!closed && cap == Cap::Square) {
                const QPointF along = across ? QPointF(d.x() > 0 ? 0.5 : -0.5, d.y() / std::abs(d.x()) * 0.5)
                                             : QPointF(d.x() / std::abs(d.y()) * 0.5, d.y() > 0 ? 0.5 : -0.5);
                if (i == 0)
                    a -= along;
                if (i + 1 == segments)
                    b += along;
            }
            // Where the line turns sharply (a right angle or more), what came before is blended
            // first: a line walker blends each segment over the one before, and where they meet
            // at a sharp angle the overlap shows.
            if (m_segmentColour && i > 0) {
                const QPointF before = m_line[i] - m_line[i - 1];
                if (before.x() * d.x() + before.y() * d.y() <= 0)
                    fill(*m_segmentColour, Rule::NonZero);
            }
            const QPointF quad[4] = {a + offset, b + offset, b - offset, a - offset};
            addPositive(quad, 4);
        }
        return;
    }
    m_normals.resize(segments);
    m_lengths.resize(segments);
    for (std::size_t i = 0; i < segments; ++i) {
        const QPointF d = m_line[(i + 1) % n] - m_line[i];
        const double length = std::hypot(d.x(), d.y());
        m_normals[i] = QPointF(-d.y() / length * h, d.x() / length * h);
        m_lengths[i] = length;
    }
    // Where a line turns only a little (a curve made of short segments), the segments meet on
    // the bisector of the turn: neither gap nor overlap on either side, and the outer corner
    // exceeds the pen's circle by less than a sixtieth of its width. Elsewhere each segment ends
    // square and the join fills what opens on the outer side.
    m_corners.resize(n);
    std::fill(m_corners.begin(), m_corners.end(), QPointF(0, 0));
    m_mitred.assign(n, 0);
    const auto joint = [&](std::size_t k) { return closed || (k > 0 && k + 1 < n); };
    for (std::size_t k = 0; k < n; ++k) {
        if (!joint(k))
            continue;
        const std::size_t before = (k + segments - 1) % segments, after = k % segments;
        const QPointF n0 = m_normals[before], n1 = m_normals[after];
        const double cosine = (n0.x() * n1.x() + n0.y() * n1.y()) / (h * h);
        if (cosine < 0.94) // about 20 degrees
            continue;
        const QPointF sum = n0 + n1;
        const double sumLength = std::hypot(sum.x(), sum.y());
        const double halfCosine = std::sqrt((1 + cosine) / 2);
        const QPointF mitre = sum / sumLength * (h / halfCosine);
        // How far the corners slide along each segment: they must stay within its halves.
        const double slide = h * std::sqrt(std::max(0.0, 1 - halfCosine * halfCosine)) / halfCosine;
        if (slide > 0.5 * std::min(m_lengths[before], m_lengths[after]))
            continue;
        m_corners[k] = mitre;
        m_mitred[k] = 1;
    }
    for (std::size_t i = 0; i < segments; ++i) {
        const std::size_t ia = i, ib = (i + 1) % n;
        QPointF a = m_line[ia], b = m_line[ib];
        const QPointF nn = m_normals[i];
        if (!closed && cap == Cap::Square) {
            const QPointF along(nn.y(), -nn.x()); // the segment's direction, h long
            if (i == 0)
                a -= along;
            if (i + 1 == segments)
                b += along;
        }
        const QPointF na = m_mitred[ia] ? m_corners[ia] : nn, nb = m_mitred[ib] ? m_corners[ib] : nn;
        const QPointF quad[4] = {a + na, b + nb, b - nb, a - na};
        addPositive(quad, 4);
    }
    // Joins: what the turn opens between two segments on its outer side, a triangle (bevel) or
    // a sector of the pen's circle (round); they and the segments do not overlap there.
    const int circleSides = sidesFor(h);
    for (std::size_t k = 0; k < n; ++k) {
        if (!joint(k) || m_mitred[k])
            continue;
        const QPointF p = m_line[k];
        const QPointF n0 = m_normals[(k + segments - 1) % segments], n1 = m_normals[k % segments];
        const double cross = n0.x() * n1.y() - n0.y() * n1.x(), dot = n0.x() * n1.x() + n0.y() * n1.y();
        if (cross == 0 && dot > 0)
            continue; // straight on
        if (cross == 0) {
            // Back the way it came: the round join is half the pen's circle ahead.
            if (join == Join::Round)
                fan(p, n0, -M_PI, std::max(2, circleSides / 2));
            continue;
        }
        const QPointF from = cross > 0 ? -n0 : n0, to = cross > 0 ? -n1 : n1;
        const double sweep = std::atan2(from.x() * to.y() - from.y() * to.x(), from.x() * to.x() + from.y() * to.y());
        const int steps = join == Join::Round ? std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / (2 * M_PI) * circleSides))) : 1;
        fan(p, from, sweep, steps);
    }
    if (!closed && cap == Cap::Round) {
        // Half the pen's circle beyond each end.
        const int steps = std::max(2, circleSides / 2);
        fan(m_line.back(), m_normals.back(), -M_PI, steps);
        fan(m_line.front(), -m_normals.front(), -M_PI, steps);
    }
}

void CoverageFiller::stroke(const QPointF *points, int count, double width, bool closed, Join join, Cap cap, QRgb colour)
{
    m_segmentColour = colour;
    addStroke(points, count, width, closed, join, cap);
    m_segmentColour.reset();
    fill(colour, Rule::NonZero);
}

void CoverageFiller::piece(double xa, double ya, double xb, double yb, float direction, int height)
{
    // xa, xb within 0 ... width; 0 <= ya < yb <= height.
    const double dxdy = (xb - xa) / (yb - ya);
    const int rowStart = static_cast<int>(ya);
    const int rowEnd = std::min(height, static_cast<int>(std::ceil(yb)));
    for (int row = rowStart; row < rowEnd; ++row) {
        const double top = std::max<double>(row, ya), bottom = std::min<double>(row + 1, yb);
        const double dy = bottom - top;
        if (dy <= 0)
            continue;
        const double xt = xa + (top - ya) * dxdy, xm = xa + (bottom - ya) * dxdy;
        const double lo = std::max(0.0, std::min(xt, xm)), hi = std::max(lo, std::max(xt, xm));
        float *cells = m_cells + static_cast<std::ptrdiff_t>(m_stride) * row;
        const double d = dy * direction;
        const int i = static_cast<int>(lo);
        int last;
        if (hi <= i + 1) {
            // Within one cell: the part of the row's height right of the edge's mean position.
            const double mean = 0.5 * (lo + hi) - i;
            cells[i] += static_cast<float>(d * (1 - mean));
            cells[i + 1] += static_cast<float>(d * mean);
            last = i + 1;
        } else {
            // The edge's position x is spread evenly over lo ... hi; H(u) integrates the part of
            // it left of u twice, and a cell gets the second difference of H at its sides.
            const double w = hi - lo;
            const auto H = [lo, hi, w](double u) {
                return u <= lo ? 0.0 : u >= hi ? 0.5 * w + (u - hi) : (u - lo) * (u - lo) * 0.5 / w;
            };
            const auto second = [&H](int k) { return H(k + 1) - 2 * H(k) + H(k - 1); };
            const int j = static_cast<int>(std::ceil(hi)) - 1;
            cells[i] += static_cast<float>(d * H(i + 1));
            cells[i + 1] += static_cast<float>(d * second(i + 1));
            const auto step = static_cast<float>(d / w);
            for (int k = i + 2; k < j; ++k)
                cells[k] += step;
            for (int k = std::max(i + 2, j); k <= j + 1; ++k)
                cells[k] += static_cast<float>(d * second(k));
            last = j + 1;
        }
        m_first[row] = std::min(m_first[row], i);
        m_last[row] = std::max(m_last[row], last);
    }
}

void CoverageFiller::rasterize(const Edge &e, double left, double top, int width, int height)
{
    double x0 = e.x0 - left, y0 = e.y0 - top, x1 = e.x1 - left, y1 = e.y1 - top;
    if (y1 <= 0 || y0 >= height)
        return;
    const double dxdy = (x1 - x0) / (y1 - y0);
    if (y0 < 0) {
        x0 += (0 - y0) * dxdy;
        y0 = 0;
    }
    if (y1 > height) {
        x1 -= (y1 - height) * dxdy;
        y1 = height;
    }
    if (!(y0 < y1))
        return;
    // Cut where the edge crosses the box's sides: left of the box a piece covers the whole row
    // to its right, as the same piece moved onto the box's left side does; right of it nothing
    // shows, as on its right side.
    const double right = width;
    double cuts[4];
    int n = 0;
    cuts[n++] = 0;
    for (const double side : {0.0, right})
        if ((x0 < side) != (x1 < side) && x0 != side && x1 != side)
            cuts[n++] = (side - x0) / (x1 - x0);
    if (n == 3 && cuts[1] > cuts[2])
        std::swap(cuts[1], cuts[2]);
    cuts[n] = 1;
    double xa = x0, ya = y0;
    for (int k = 1; k <= n; ++k) {
        const double t = cuts[k];
        const double xb = k == n ? x1 : x0 + (x1 - x0) * t, yb = k == n ? y1 : y0 + (y1 - y0) * t;
        if (yb > ya) {
            const double middle = 0.5 * (xa + xb);
            if (middle <= 0)
                piece(0, ya, 0, yb, e.direction, height);
            else if (middle >= right)
                piece(right, ya, right, yb, e.direction, height);
            else
                piece(std::clamp(xa, 0.0, right), ya, std::clamp(xb, 0.0, right), yb, e.direction, height);
        }
        xa = xb;
        ya = yb;
    }
}

void CoverageFiller::fill(QRgb colour, Rule rule)
{
    if (m_edges.empty())
        return;
    const double clipLeft = m_clip.left(), clipRight = m_clip.left() + m_clip.width();
    const double clipTop = m_clip.top(), clipBottom = m_clip.top() + m_clip.height();
    if (m_clip.isEmpty() || m_maxX <= clipLeft || m_minX >= clipRight || m_maxY <= clipTop || m_minY >= clipBottom) {
        m_edges.clear();
        return;
    }
    // The box of the shape within the clip, in whole pixels.
    const int left = static_cast<int>(std::clamp(std::floor(m_minX), clipLeft, clipRight));
    const int right = static_cast<int>(std::clamp(std::ceil(m_maxX), clipLeft, clipRight));
    const int top = static_cast<int>(std::clamp(std::floor(m_minY), clipTop, clipBottom));
    const int bottom = static_cast<int>(std::clamp(std::ceil(m_maxY), clipTop, clipBottom));
    const int width = right - left, height = bottom - top;
    if (width <= 0 || height <= 0) {
        m_edges.clear();
        return;
    }
    m_stride = width + 2;
    Buffers &buffers = buffersOfThread(static_cast<std::size_t>(m_stride) * static_cast<std::size_t>(height),
                                       static_cast<std::size_t>(height));
    m_cells = buffers.cells.data();
    m_first = buffers.first.data();
    m_last = buffers.last.data();
    for (const Edge &e : m_edges)
        rasterize(e, left, top, width, height);
    m_edges.clear();

    const std::uint32_t source = 0xFF000000U | colour;
    // The image's pixels through its constant bits: no detach while a painter holds the image.
    auto *bits = const_cast<uchar *>(m_image.constBits());
    const qsizetype bytesPerLine = m_image.bytesPerLine();
    const bool oddEven = rule == Rule::OddEven;
    for (int row = 0; row < height; ++row) {
        const int first = m_first[row], last = m_last[row];
        if (first > last)
            continue;
        m_first[row] = INT_MAX;
        m_last[row] = -1;
        float *cells = m_cells + static_cast<std::ptrdiff_t>(m_stride) * row;
        auto *pixels = reinterpret_cast<std::uint32_t *>(bits + (row + top) * bytesPerLine) + left;
        const int end = std::min(last, width - 1);
        float winding = 0;
        for (int x = first; x <= end;) {
            winding += cells[x];
            cells[x] = 0;
            float coverage = std::abs(winding);
            if (coverage > 1) {
                if (oddEven) {
                    coverage -= 2 * std::floor(coverage * 0.5F);
                    if (coverage > 1)
                        coverage = 2 - coverage;
                } else {
                    coverage = 1;
                }
            }
            const auto alpha = static_cast<std::uint32_t>(coverage * 255 + 0.5F);
            // The cells no edge touched after this one keep its coverage: the inside of a
            // shape is one run, found four cells a step.
            int run = x + 1;
            while (run + 4 <= end + 1 && zero4(cells + run))
                run += 4;
            while (run <= end && cells[run] == 0)
                ++run;
            if (alpha >= 255) {
                std::fill(pixels + x, pixels + run, source);
            } else if (alpha > 0) {
                for (int i = x; i < run; ++i)
                    pixels[i] = blend(pixels[i], source, alpha);
            }
            x = run;
        }
        for (int x = std::max(first, end + 1); x <= last; ++x)
            cells[x] = 0;
    }
}

} // namespace tarvenko::detail
