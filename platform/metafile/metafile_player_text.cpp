#include "platform/metafile/metafile_player.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/metafile/metafile_player_limits.h"
#include "platform/metafile/wmf_format.h"

namespace tarvenko::detail {

namespace {

using namespace tarvenko::wmf;

constexpr int kMaxFontPixels = 4096;
constexpr double kDefaultFontHeight = 12; // logical units, for fonts of height 0 and no font

// Windows-1252 between 0x80 and 0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> kCp1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QString MetafilePlayer::decodeText(std::uint32_t wordOffset, int bytes) const
{
    const int charset = m_dc.font >= 0 ? m_data.fonts[static_cast<std::size_t>(m_dc.font)].charset : 0;
    QString text;
    text.reserve(bytes);
    for (int i = 0; i < bytes; ++i) {
        const std::uint16_t word = u(static_cast<int>(wordOffset) + i / 2);
        const auto byte = static_cast<std::uint8_t>(i % 2 ? word >> 8 : word & 0xFF);
        if (byte >= 0x80 && byte < 0xA0 && charset != SYMBOL_CHARSET)
            text.append(QChar(kCp1252[byte - 0x80]));
        else
            text.append(QChar(byte));
    }
    return text;
}

QFont MetafilePlayer::font(double &ascent, double &descent)
{
    const QTransform &t = transform();
    if (m_font && m_font->index == m_dc.font && m_font->charExtra == m_dc.charExtra && m_font->xScale == t.m11() &&
        m_font->yScale == t.m22()) {
        ascent = m_font->ascent;
        descent = m_font->descent;
        return m_font->font;
    }
    static const FontSpec fallback;
    const FontSpec &spec = m_dc.font >= 0 ? m_data.fonts[static_cast<std::size_t>(m_dc.font)] : fallback;
    const double scale = std::abs(transform().m22()) * std::hypot(m_base.m21(), m_base.m22());
    QFont f(spec.face.isEmpty() ? QStringLiteral("Sans Serif") : spec.face);
    f.setItalic(spec.italic);
    f.setUnderline(spec.underline);
    f.setStrikeOut(spec.strikeOut);
    f.setWeight(static_cast<QFont::Weight>(std::clamp(spec.weight == 0 ? 400 : spec.weight, 100, 900)));
    if (!m_smooth)
        f.setStyleStrategy(QFont::NoAntialias);
    double pixels = limited(std::abs(spec.height == 0 ? kDefaultFontHeight : spec.height) * scale);
    if (spec.height > 0) {
        // A positive height is the cell height (ascent + descent), not the character height.
        f.setPixelSize(100);
        const QFontMetricsF probe(f);
        pixels *= 100 / std::max(1.0, probe.ascent() + probe.descent());
    }
    // Glyphs far larger than the whole target are only slow to draw.
    f.setPixelSize(std::clamp(static_cast<int>(std::lround(std::min(pixels, m_maxFontPixels))), 1, kMaxFontPixels));
    if (m_dc.charExtra != 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, m_dc.charExtra * std::abs(transform().m11()));
    const QFontMetricsF metrics(f);
    ascent = metrics.ascent();
    descent = metrics.descent();
    m_font = CachedFont{m_dc.font, m_dc.charExtra, t.m11(), t.m22(), f, ascent, descent};
    return f;
}

void MetafilePlayer::text(QPointF anchor, const QString &string, const std::vector<double> &dx, std::uint16_t options,
                          std::optional<QRectF> box)
{
    const bool updateCp = m_dc.textAlign & TA_UPDATECP;
    if (updateCp)
        anchor = m_dc.position;
    touch(box ? *box : QRectF(anchor, anchor));
    if (!m_painter)
        return;
    double ascent = 0, descent = 0;
    const QFont f = font(ascent, descent);
    const QTransform &t = transform();
    const double xScale = std::abs(t.m11());
    std::vector<double> positions;
    double width = 0;
    if (!dx.empty()) {
        for (double d : dx) {
            positions.push_back(limited(width));
            width += d * xScale;
        }
    } else {
        width = QFontMetricsF(f).horizontalAdvance(string);
    }
    width = limited(width);
    const std::uint16_t horizontal = m_dc.textAlign & TA_HORIZONTAL_MASK;
    const std::uint16_t vertical = m_dc.textAlign & TA_VERTICAL_MASK;
    const double x = horizontal == TA_CENTER ? -width / 2 : horizontal == TA_RIGHT ? -width : 0;
    const double y = vertical == TA_BASELINE ? 0 : vertical == TA_BOTTOM ? -descent : ascent;

    const QPointF origin(limited(t.map(anchor).x()), limited(t.map(anchor).y()));
    const FontSpec *spec = m_dc.font >= 0 ? &m_data.fonts[static_cast<std::size_t>(m_dc.font)] : nullptr;
    const double escapement = spec ? spec->escapement / 10.0 : 0;

    m_painter->save();
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (box) {
        const QRectF area = t.mapRect(*box);
        if (options & ETO_OPAQUE)
            m_painter->fillRect(area, colour(m_dc.bkColour));
        if (options & ETO_CLIPPED)
            m_painter->setClipRect(area, Qt::IntersectClip);
    }
    m_painter->translate(origin);
    m_painter->rotate(-escapement);
    if (m_dc.bkMode == OPAQUE)
        m_painter->fillRect(QRectF(x, y - ascent, width, ascent + descent), colour(m_dc.bkColour));
    m_painter->setFont(f);
    m_painter->setPen(colour(m_dc.textColour));
    if (positions.empty()) {
        m_painter->drawText(QPointF(x, y), string);
    } else {
        for (qsizetype i = 0; i < string.size() && static_cast<std::size_t>(i) < positions.size(); ++i)
            m_painter->drawText(QPointF(x + positions[static_cast<std::size_t>(i)], y), QString(string.at(i)));
    }
    m_painter->restore();
    if (updateCp && xScale > 0)
        m_dc.position.rx() += (horizontal == TA_RIGHT ? -width : horizontal == TA_CENTER ? 0 : width) / xScale;
}

} // namespace tarvenko::detail
