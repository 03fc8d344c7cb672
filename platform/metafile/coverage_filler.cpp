#include "platform/metafile/coverage_filler.h"

#include <QImage>

#include <algorithm>
#include <climits>
#include <cmath>

namespace tarvenko::detail {

namespace {

// The cells of this thread's fills, kept between images: zeroed once, left zero after each fill.
std::vector<float> &cellsOfThread(std::size_t size)
{
    thread_local std::vector<float> cells;
    if (cells.size() < size)
        cells.assign(size, 0.0F);
    return cells;
}

double signedArea(const QPointF *p, int n)
{
    double a = 0;
    for (int i = 0, j = n - 1; i < n; j = i++)
        a += (p[j].x() - p[i].x()) * (p[j].y() + p[i].y());
    return a;
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

inline std::uint32_t blend(std::uint32_t dst, std::uint32_t src, std::uint32_t alpha)
{
    // Two channels at a time, as 8-bit fractions of 255.
    const std::uint32_t inverse = 255 - alpha;
    std::uint32_t rb = (src & 0xFF00FF) * alpha + (dst & 0xFF00FF) * inverse + 0x800080;
    rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
    std::uint32_t ag = ((src >> 8) & 0xFF00FF) * alpha + ((dst >> 8) & 0xFF00FF) * inverse + 0x800080;
    ag = (ag + ((ag >> 8) & 0xFF00FF)) & 0xFF00FF00;
    return rb | ag;
}

} // namespace

CoverageFiller::CoverageFiller(QImage &image, const QRect &clip)
    : m_image(image), m_left(clip.left()), m_top(clip.top()), m_width(std::max(0, clip.width())),
      m_height(std::max(0, clip.height())),
      m_cells(cellsOfThread(static_cast<std::size_t>(m_width + 2) * static_cast<std::size_t>(m_height))),
      m_first(static_cast<std::size_t>(m_height), INT_MAX), m_last(static_cast<std::size_t>(m_height), -1),
      m_rowFirst(m_height), m_rowLast(-1)
{
}

void CoverageFiller::edge(QPointF from, QPointF to)
{
    // Clip coordinates.
    const double x0 = from.x() - m_left, y0 = from.y() - m_top, x1 = to.x() - m_left, y1 = to.y() - m_top;
    if (y0 == y1 || !std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
        return;
    if ((y0 <= 0 && y1 <= 0) || (y0 >= m_height && y1 >= m_height))
        return;
    // Cut where the edge crosses the clip's sides: left of the clip, a piece covers the whole row
    // to its right, as the same piece moved onto the clip's left side does; right of it, nothing
    // shows, as on its right side.
    const double right = m_width;
    double cuts[4] = {0, 1, 1, 1};
    int n = 1;
    for (const double side : {0.0, right}) {
        if ((x0 < side) != (x1 < side) && x0 != side && x1 != side)
            cuts[n++] = (side - x0) / (x1 - x0);
    }
    if (n == 3 && cuts[1] > cuts[2])
        std::swap(cuts[1], cuts[2]);
    cuts[n] = 1;
    double ya = y0, xa = x0;
    for (int i = 1; i <= n; ++i) {
        const double t = cuts[i];
        const double yb = i == n ? y1 : y0 + (y1 - y0) * t;
        const double xb = i == n ? x1 : x0 + (x1 - x0) * t;
        // The piece lies on one side of each clip edge: its middle tells which.
        const double middle = 0.5 * (xa + xb);
        if (middle <= 0)
            piece(0, ya, 0, yb);
        else if (middle >= right)
            piece(right, ya, right, yb);
        else
            piece(std::clamp(xa, 0.0, right), ya, std::clamp(xb, 0.0, right), yb);
        xa = xb;
        ya = yb;
    }
}

void CoverageFiller::piece(double x0, double y0, double x1, double y1)
{
    if (y0 == y1)
        return;
    float direction = 1;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        direction = -1;
    }
    if (y1 <= 0 || y0 >= m_height)
        return;
    const double dxdy = (x1 - x0) / (y1 - y0);
    const int rowStart = y0 <= 0 ? 0 : static_cast<int>(y0);
    const int rowEnd = y1 >= m_height ? m_height : static_cast<int>(y1) + (y1 > static_cast<int>(y1) ? 1 : 0);
    const double right = m_width;
    const std::size_t stride = static_cast<std::size_t>(m_width) + 2;
    for (int row = rowStart; row < rowEnd; ++row) {
        const double top = std::max<double>(row, y0), bottom = std::min<double>(row + 1, y1);
        const double dy = bottom - top;
        if (dy <= 0)
            continue;
        // Where the piece enters and leaves the row (within the clip but for rounding).
        double xa = std::clamp(x0 + (top - y0) * dxdy, 0.0, right);
        double xb = std::clamp(x0 + (bottom - y0) * dxdy, 0.0, right);
        if (xa > xb)
            std::swap(xa, xb);
        float *cells = m_cells.data() + stride * static_cast<std::size_t>(row);
        const float d = static_cast<float>(dy) * direction;
        // Both are within 0 ... m_width: truncation is the floor.
        const int ia = static_cast<int>(xa);
        const auto xaFloor = static_cast<double>(ia);
        const int ib = static_cast<int>(xb) + (xb > static_cast<int>(xb) ? 1 : 0);
        int last;
        if (ib <= ia + 1) {
            // Within one cell: the part of the row's height right of the edge's mean position.
            const double mean = 0.5 * (xa + xb) - xaFloor;
            cells[ia] += d * static_cast<float>(1 - mean);
            cells[ia + 1] += d * static_cast<float>(mean);
            last = ia + 1;
        } else {
            const double s = 1 / (xb - xa);
            const double fa = xa - xaFloor;
            const double a0 = 0.5 * s * (1 - fa) * (1 - fa);
            const double fb = xb - ib + 1;
            const double am = 0.5 * s * fb * fb;
            cells[ia] += d * static_cast<float>(a0);
            if (ib == ia + 2) {
                cells[ia + 1] += d * static_cast<float>(1 - a0 - am);
            } else {
                const double a1 = s * (1.5 - fa);
                cells[ia + 1] += d * static_cast<float>(a1 - a0);
                const auto step = d * static_cast<float>(s);
                for (int x = ia + 2; x < ib - 1; ++x)
                    cells[x] += step;
                const double a2 = a1 + (ib - ia - 3) * s;
                cells[ib - 1] += d * static_cast<float>(1 - a2 - am);
            }
            cells[ib] += d * static_cast<float>(am);
            last = ib;
        }
        const auto r = static_cast<std::size_t>(row);
        m_first[r] = std::min(m_first[r], ia);
        m_last[r] = std::max(m_last[r], last);
        m_rowFirst = std::min(m_rowFirst, row);
        m_rowLast = std::max(m_rowLast, row);
    }
}

void CoverageFiller::addPolygon(const QPointF *points, int count)
{
    if (count < 3 || m_width <= 0 || m_height <= 0)
        return;
    for (int i = 0, j = count - 1; i < count; j = i++)
        edge(points[j], points[i]);
}

void CoverageFiller::addPositive(const QPointF *points, int count)
{
    if (count < 3 || m_width <= 0 || m_height <= 0)
        return;
    if (signedArea(points, count) >= 0) {
        addPolygon(points, count);
    } else {
        for (int i = 0, j = count - 1; i < count; j = i++)
            edge(points[i], points[j]);
    }
}

void CoverageFiller::disc(QPointF centre, double radius)
{
    const int sides = sidesFor(radius);
    m_scratch.resize(static_cast<std::size_t>(sides));
    // The polygon's edges are pulled out to halfway between its vertices and the circle, which
    // halves the area it misses.
    const double r = radius / std::cos(M_PI / sides) * 0.5 + radius * 0.5;
    for (int k = 0; k < sides; ++k) {
        const double a = 2 * M_PI * k / sides;
        m_scratch[static_cast<std::size_t>(k)] = centre + QPointF(r * std::cos(a), r * std::sin(a));
    }
    addPositive(m_scratch.data(), sides);
}

void CoverageFiller::ellipse(const QRectF &box, std::vector<QPointF> &points)
{
    const QRectF b = box.normalized();
    const double rx = b.width() / 2, ry = b.height() / 2;
    points.clear();
    if (rx <= 0 || ry <= 0)
        return;
    const int sides = sidesFor(std::max(rx, ry));
    const double grow = 0.5 / std::cos(M_PI / sides) + 0.5;
    points.reserve(static_cast<std::size_t>(sides));
    for (int k = 0; k < sides; ++k) {
        const double a = 2 * M_PI * k / sides;
        points.push_back(b.center() + QPointF(rx * grow * std::cos(a), ry * grow * std::sin(a)));
    }
}

namespace {

// The outline of one side of a line, as a stroker traces it: the segments moved out by the half
// width `h` on the side of `sign`, joined round or bevelled where that side is the outer one of a
// turn, and through the point itself where it is the inner one (the loop this makes lies inside
// the line, which the non-zero rule fills anyway).
void traceSide(const std::vector<QPointF> &p, const std::vector<QPointF> &normals, bool closed, double sign, bool round,
               int circleSides, std::vector<QPointF> &out)
{
    const std::size_t segments = normals.size();
    const auto arc = [&](QPointF centre, QPointF from, QPointF to) {
        const double a0 = std::atan2(from.y(), from.x());
        double sweep = std::atan2(to.y(), to.x()) - a0;
        while (sweep > M_PI)
            sweep -= 2 * M_PI;
        while (sweep < -M_PI)
            sweep += 2 * M_PI;
        const double r = std::hypot(from.x(), from.y());
        const int steps = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / (2 * M_PI) * circleSides)));
        for (int k = 1; k < steps; ++k) {
            const double a = a0 + sweep * k / steps;
            out.push_back(centre + QPointF(r * std::cos(a), r * std::sin(a)));
        }
    };
    for (std::size_t i = 0; i < segments; ++i) {
        const QPointF n = normals[i] * sign;
        const QPointF a = p[i], b = p[(i + 1) % p.size()];
        if (i > 0 || closed) {
            // The join at a with the segment before.
            const QPointF before = normals[(i + segments - 1) % segments] * sign;
            const double turn = before.x() * n.y() - before.y() * n.x();
            const double along = before.x() * n.x() + before.y() * n.y();
            if (turn * sign < 0 || (turn == 0 && along < 0)) {
                // This side is the outer one.
                if (round)
                    arc(a, before, n);
            } else if (turn != 0) {
                out.push_back(a);
            }
        }
        out.push_back(a + n);
        out.push_back(b + n);
    }
}

} // namespace

void CoverageFiller::addStroke(const QPointF *points, int count, double width, bool closed, Join join, Cap cap)
{
    if (count < 1 || width <= 0 || m_width <= 0 || m_height <= 0)
        return;
    const double h = width / 2;
    // The points without repeats (a segment of no length has no direction), and the normal of
    // each segment.
    std::vector<QPointF> p;
    p.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        if (p.empty() || points[i] != p.back())
            p.push_back(points[i]);
    if (closed && p.size() > 1 && p.front() == p.back())
        p.pop_back();
    if (p.size() == 1) {
        // A dot, unless the ends are flat.
        if (cap == Cap::Round || (closed && join == Join::Round))
            disc(p[0], h);
        else if (cap == Cap::Square || closed) {
            const QPointF square[4] = {p[0] + QPointF(-h, -h), p[0] + QPointF(h, -h), p[0] + QPointF(h, h), p[0] + QPointF(-h, h)};
            addPositive(square, 4);
        }
        return;
    }
    if (closed && p.size() == 2)
        closed = false; // there and back: an open line of two points, with bevel-like ends
    const std::size_t segments = closed ? p.size() : p.size() - 1;
    std::vector<QPointF> normals(segments);
    for (std::size_t i = 0; i < segments; ++i) {
        const QPointF d = p[(i + 1) % p.size()] - p[i];
        const double length = std::hypot(d.x(), d.y());
        normals[i] = QPointF(-d.y() / length * h, d.x() / length * h);
    }
    const int circleSides = sidesFor(h);
    const bool round = join == Join::Round;
    std::vector<QPointF> &out = m_scratch;
    out.clear();
    if (closed) {
        // Two loops, one each side; the right one run backwards so that the line between them
        // has a winding of one.
        traceSide(p, normals, true, 1, round, circleSides, out);
        addPolygon(out.data(), static_cast<int>(out.size()));
        out.clear();
        traceSide(p, normals, true, -1, round, circleSides, out);
        std::reverse(out.begin(), out.end());
        addPolygon(out.data(), static_cast<int>(out.size()));
        return;
    }
    // One loop: the left side forwards, the end cap, the right side backwards, the start cap.
    std::vector<QPointF> reversed(p.rbegin(), p.rend());
    std::vector<QPointF> reversedNormals(normals.rbegin(), normals.rend());
    for (QPointF &n : reversedNormals)
        n = -n;
    const auto capAt = [&](QPointF end, QPointF n) {
        // From end + n round to end - n, on the side away from the line.
        const QPointF outward(n.y(), -n.x()); // the direction the line runs at this end
        if (cap == Cap::Square) {
            out.push_back(end + n + outward);
            out.push_back(end - n + outward);
        } else if (cap == Cap::Round) {
            const double a0 = std::atan2(n.y(), n.x());
            for (int k = 1; k < circleSides / 2; ++k) {
                const double a = a0 - M_PI * k / (circleSides / 2);
                out.push_back(end + QPointF(h * std::cos(a), h * std::sin(a)));
            }
        }
    };
    traceSide(p, normals, false, 1, round, circleSides, out);
    capAt(p.back(), normals.back());
    traceSide(reversed, reversedNormals, false, 1, round, circleSides, out);
    capAt(p.front(), reversedNormals.back());
    addPolygon(out.data(), static_cast<int>(out.size()));
}

void CoverageFiller::fill(QRgb colour, Rule rule)
{
    if (empty())
        return;
    const std::uint32_t source = 0xFF000000U | colour;
    const std::size_t stride = static_cast<std::size_t>(m_width) + 2;
    // The image's pixels through its constant bits: no detach while a painter holds the image.
    auto *bits = const_cast<uchar *>(m_image.constBits());
    const qsizetype bytesPerLine = m_image.bytesPerLine();
    for (int row = m_rowFirst; row <= m_rowLast; ++row) {
        const auto r = static_cast<std::size_t>(row);
        const int first = m_first[r], last = m_last[r];
        if (first > last)
            continue;
        float *cells = m_cells.data() + stride * r;
        auto *pixels = reinterpret_cast<std::uint32_t *>(bits + (row + m_top) * bytesPerLine) + m_left;
        const int end = std::min(last, m_width - 1);
        float winding = 0;
        for (int x = first; x <= end;) {
            winding += cells[x];
            cells[x] = 0;
            float coverage = std::abs(winding);
            if (coverage > 1) {
                if (rule == Rule::OddEven) {
                    coverage -= 2 * std::floor(coverage * 0.5F);
                    if (coverage > 1)
                        coverage = 2 - coverage;
                } else {
                    coverage = 1;
                }
            }
            const auto alpha = static_cast<std::uint32_t>(coverage * 255 + 0.5F);
            // The cells no edge touched after this one keep its coverage: the inside of a shape
            // is filled as one run.
            int run = x + 1;
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
        for (int x = end + 1; x <= last; ++x)
            cells[x] = 0;
        m_first[r] = INT_MAX;
        m_last[r] = -1;
    }
    m_rowFirst = m_height;
    m_rowLast = -1;
}

} // namespace tarvenko::detail
