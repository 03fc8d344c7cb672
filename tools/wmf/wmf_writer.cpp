#include "tools/wmf/wmf_writer.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <map>
#include <stdexcept>

namespace tarvenko::tools {

namespace {

using Words = std::vector<std::uint16_t>;

std::uint16_t s16(int value)
{
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        throw std::out_of_range("metafile coordinate out of 16-bit range: " + std::to_string(value));
    return static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
}

void push32(Words &w, std::uint32_t value)
{
    w.push_back(static_cast<std::uint16_t>(value & 0xFFFF));
    w.push_back(static_cast<std::uint16_t>(value >> 16));
}

// Bytes packed two to a word, low byte first, the last word padded with 0.
void pushBytes(Words &w, const std::vector<std::uint8_t> &bytes)
{
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const std::uint16_t lo = bytes[i];
        const std::uint16_t hi = i + 1 < bytes.size() ? bytes[i + 1] : 0;
        w.push_back(static_cast<std::uint16_t>(lo | hi << 8));
    }
}

void pushText(Words &w, const std::string &text) { pushBytes(w, std::vector<std::uint8_t>(text.begin(), text.end())); }

// Reversed rectangle order of the drawing records: bottom, right, top, left.
void pushRectReversed(Words &w, WmfRect r)
{
    for (int v : {int(r.bottom), int(r.right), int(r.top), int(r.left)})
        w.push_back(s16(v));
}

void append32(std::vector<std::uint8_t> &out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void append16(std::vector<std::uint8_t> &out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

// The region object of CREATEREGION for one rectangle: one scan of one interval.
Words regionWords(WmfRect r)
{
    Words w;
    w.push_back(0);         // next in chain
    w.push_back(6);         // object type: region
    push32(w, 0);           // object count
    w.push_back(22 + 10);   // region size in bytes: header and the scan
    w.push_back(1);         // scan count
    w.push_back(2);         // words of the largest scan's intervals
    for (int v : {int(r.left), int(r.top), int(r.right), int(r.bottom)})
        w.push_back(s16(v));
    w.push_back(2); // interval boundaries in the scan
    w.push_back(s16(r.top));
    w.push_back(s16(r.bottom));
    w.push_back(s16(r.left));
    w.push_back(s16(r.right));
    w.push_back(2);
    return w;
}

} // namespace

std::vector<std::uint8_t> WmfBitmap::dib() const
{
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        throw std::invalid_argument("bitmap pixels do not match its size");
    std::vector<std::uint32_t> table;
    std::map<std::uint32_t, std::uint8_t> index;
    if (bitCount <= 8) {
        const std::size_t maxColours = std::size_t{1} << bitCount;
        for (std::uint32_t p : pixels) {
            if (index.count(p))
                continue;
            if (table.size() == maxColours)
                throw std::invalid_argument("too many colours for the bit count");
            index[p] = static_cast<std::uint8_t>(table.size());
            table.push_back(p);
        }
    } else if (bitCount != 24 && bitCount != 32) {
        throw std::invalid_argument("unsupported bit count");
    }
    const std::size_t stride = ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32) * 4;

    std::vector<std::uint8_t> out;
    append32(out, 40);
    append32(out, static_cast<std::uint32_t>(width));
    append32(out, static_cast<std::uint32_t>(topDown ? -height : height));
    append16(out, 1);
    append16(out, static_cast<std::uint16_t>(bitCount));
    append32(out, 0); // BI_RGB
    append32(out, static_cast<std::uint32_t>(stride * static_cast<std::size_t>(height)));
    append32(out, 0);
    append32(out, 0);
    append32(out, static_cast<std::uint32_t>(table.size()));
    append32(out, 0);
    for (std::uint32_t c : table) { // RGBQUAD: blue, green, red, reserved
        out.push_back(static_cast<std::uint8_t>(c >> 16));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(0);
    }
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        std::vector<std::uint8_t> line(stride, 0);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
            const auto ux = static_cast<std::size_t>(x);
            switch (bitCount) {
            case 1: line[ux / 8] = static_cast<std::uint8_t>(line[ux / 8] | index[c] << (7 - ux % 8)); break;
            case 4: line[ux / 2] = static_cast<std::uint8_t>(line[ux / 2] | index[c] << (ux % 2 ? 0 : 4)); break;
            case 8: line[ux] = index[c]; break;
            default: {
                const std::size_t bytes = static_cast<std::size_t>(bitCount / 8);
                line[ux * bytes] = static_cast<std::uint8_t>(c >> 16);
                line[ux * bytes + 1] = static_cast<std::uint8_t>(c >> 8);
                line[ux * bytes + 2] = static_cast<std::uint8_t>(c);
            }
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

WmfWriter &WmfWriter::placeable(WmfRect box, std::uint16_t unitsPerInch)
{
    m_placeable = box;
    m_unitsPerInch = unitsPerInch;
    return *this;
}

WmfWriter &WmfWriter::add(wmf::Fn fn, const Words &params) { return record(static_cast<std::uint16_t>(fn), params); }

WmfWriter &WmfWriter::record(std::uint16_t function, const Words &params)
{
    return recordWithSize(static_cast<std::uint32_t>(params.size() + wmf::kRecordHeaderWords), function, params);
}

WmfWriter &WmfWriter::recordWithSize(std::uint32_t sizeWords, std::uint16_t function, const Words &params)
{
    push32(m_records, sizeWords);
    m_records.push_back(function);
    m_records.insert(m_records.end(), params.begin(), params.end());
    m_maxRecord = std::max(m_maxRecord, sizeWords);
    return *this;
}

WmfWriter &WmfWriter::setWindowOrg(int x, int y) { return add(wmf::Fn::SetWindowOrg, {s16(y), s16(x)}); }
WmfWriter &WmfWriter::setWindowExt(int width, int height) { return add(wmf::Fn::SetWindowExt, {s16(height), s16(width)}); }
WmfWriter &WmfWriter::setViewportOrg(int x, int y) { return add(wmf::Fn::SetViewportOrg, {s16(y), s16(x)}); }
WmfWriter &WmfWriter::setViewportExt(int width, int height) { return add(wmf::Fn::SetViewportExt, {s16(height), s16(width)}); }
WmfWriter &WmfWriter::offsetWindowOrg(int dx, int dy) { return add(wmf::Fn::OffsetWindowOrg, {s16(dy), s16(dx)}); }

WmfWriter &WmfWriter::scaleWindowExt(int xNum, int xDenom, int yNum, int yDenom)
{
    return add(wmf::Fn::ScaleWindowExt, {s16(yDenom), s16(yNum), s16(xDenom), s16(xNum)});
}

WmfWriter &WmfWriter::setMapMode(wmf::MapMode mode) { return add(wmf::Fn::SetMapMode, {mode}); }
WmfWriter &WmfWriter::saveDC() { return add(wmf::Fn::SaveDC, {}); }
WmfWriter &WmfWriter::restoreDC(int saved) { return add(wmf::Fn::RestoreDC, {s16(saved)}); }
WmfWriter &WmfWriter::setPolyFillMode(wmf::PolyFillMode mode) { return add(wmf::Fn::SetPolyFillMode, {mode}); }
WmfWriter &WmfWriter::setBkMode(wmf::BkMode mode) { return add(wmf::Fn::SetBkMode, {mode}); }

WmfWriter &WmfWriter::setBkColor(std::uint32_t colour)
{
    Words w;
    push32(w, colour);
    return add(wmf::Fn::SetBkColor, w);
}

WmfWriter &WmfWriter::setTextColor(std::uint32_t colour)
{
    Words w;
    push32(w, colour);
    return add(wmf::Fn::SetTextColor, w);
}

WmfWriter &WmfWriter::setTextAlign(std::uint16_t align) { return add(wmf::Fn::SetTextAlign, {align}); }
WmfWriter &WmfWriter::setRop2(wmf::Rop2 rop) { return add(wmf::Fn::SetRop2, {rop}); }
WmfWriter &WmfWriter::setTextCharExtra(int extra) { return add(wmf::Fn::SetTextCharExtra, {s16(extra)}); }

WmfWriter &WmfWriter::intersectClipRect(WmfRect r)
{
    Words w;
    pushRectReversed(w, r);
    return add(wmf::Fn::IntersectClipRect, w);
}

WmfWriter &WmfWriter::excludeClipRect(WmfRect r)
{
    Words w;
    pushRectReversed(w, r);
    return add(wmf::Fn::ExcludeClipRect, w);
}

int WmfWriter::takeSlot()
{
    const auto free = std::find(m_slots.begin(), m_slots.end(), false);
    const auto slot = static_cast<int>(free - m_slots.begin());
    if (free == m_slots.end())
        m_slots.push_back(true);
    else
        *free = true;
    m_maxSlots = std::max(m_maxSlots, static_cast<int>(m_slots.size()));
    return slot;
}

int WmfWriter::createPen(std::uint16_t style, int width, std::uint32_t colour)
{
    Words w{style, s16(width), 0};
    push32(w, colour);
    add(wmf::Fn::CreatePenIndirect, w);
    return takeSlot();
}

int WmfWriter::createBrush(wmf::BrushStyle style, std::uint32_t colour, wmf::HatchStyle hatch)
{
    Words w{style};
    push32(w, colour);
    w.push_back(hatch);
    add(wmf::Fn::CreateBrushIndirect, w);
    return takeSlot();
}

int WmfWriter::createFont(const WmfFont &font)
{
    Words w{s16(font.height), s16(font.width), s16(font.escapement), s16(font.escapement), s16(font.weight),
            static_cast<std::uint16_t>((font.italic ? 1 : 0) | (font.underline ? 1 : 0) << 8),
            static_cast<std::uint16_t>((font.strikeOut ? 1 : 0) | font.charset << 8),
            0,  // output and clip precision
            0}; // quality, pitch and family
    std::vector<std::uint8_t> face(font.face.begin(), font.face.end());
    face.resize(std::min<std::size_t>(face.size(), 31));
    face.push_back(0);
    pushBytes(w, face);
    add(wmf::Fn::CreateFontIndirect, w);
    return takeSlot();
}

int WmfWriter::createPalette(const std::vector<std::uint32_t> &colours)
{
    Words w{0x0300, static_cast<std::uint16_t>(colours.size())};
    for (std::uint32_t c : colours) { // red, green, blue, flags
        w.push_back(static_cast<std::uint16_t>(c & 0xFFFF));
        w.push_back(static_cast<std::uint16_t>((c >> 16) & 0xFF));
    }
    add(wmf::Fn::CreatePalette, w);
    return takeSlot();
}

int WmfWriter::createRegion(WmfRect r)
{
    add(wmf::Fn::CreateRegion, regionWords(r));
    return takeSlot();
}

int WmfWriter::createDibPatternBrush(const WmfBitmap &pattern)
{
    Words w{wmf::BS_DIBPATTERNPT, wmf::DIB_RGB_COLORS};
    pushBytes(w, pattern.dib());
    add(wmf::Fn::DibCreatePatternBrush, w);
    return takeSlot();
}

int WmfWriter::createPatternBrush()
{
    // BITMAP16 of an 8 x 8 monochrome pattern, 18 reserved bytes, then the rows.
    Words w{0, 8, 8, 2, 0x0101};
    w.insert(w.end(), 9, 0);
    w.insert(w.end(), 8, 0xAA55);
    add(wmf::Fn::CreatePatternBrush, w);
    return takeSlot();
}

WmfWriter &WmfWriter::selectObject(int slot) { return add(wmf::Fn::SelectObject, {s16(slot)}); }
WmfWriter &WmfWriter::selectPalette(int slot) { return add(wmf::Fn::SelectPalette, {s16(slot)}); }

WmfWriter &WmfWriter::deleteObject(int slot)
{
    if (slot >= 0 && static_cast<std::size_t>(slot) < m_slots.size())
        m_slots[static_cast<std::size_t>(slot)] = false;
    return add(wmf::Fn::DeleteObject, {s16(slot)});
}

WmfWriter &WmfWriter::moveTo(int x, int y) { return add(wmf::Fn::MoveTo, {s16(y), s16(x)}); }
WmfWriter &WmfWriter::lineTo(int x, int y) { return add(wmf::Fn::LineTo, {s16(y), s16(x)}); }

WmfWriter &WmfWriter::polyline(const std::vector<WmfPoint> &points)
{
    Words w{s16(static_cast<int>(points.size()))};
    for (const WmfPoint &p : points) {
        w.push_back(s16(p.x));
        w.push_back(s16(p.y));
    }
    return add(wmf::Fn::Polyline, w);
}

WmfWriter &WmfWriter::polygon(const std::vector<WmfPoint> &points)
{
    Words w{s16(static_cast<int>(points.size()))};
    for (const WmfPoint &p : points) {
        w.push_back(s16(p.x));
        w.push_back(s16(p.y));
    }
    return add(wmf::Fn::Polygon, w);
}

WmfWriter &WmfWriter::polyPolygon(const std::vector<std::vector<WmfPoint>> &polygons)
{
    Words w{s16(static_cast<int>(polygons.size()))};
    for (const auto &poly : polygons)
        w.push_back(s16(static_cast<int>(poly.size())));
    for (const auto &poly : polygons)
        for (const WmfPoint &p : poly) {
            w.push_back(s16(p.x));
            w.push_back(s16(p.y));
        }
    return add(wmf::Fn::PolyPolygon, w);
}

WmfWriter &WmfWriter::rectangle(WmfRect r)
{
    Words w;
    pushRectReversed(w, r);
    return add(wmf::Fn::Rectangle, w);
}

WmfWriter &WmfWriter::roundRect(WmfRect r, int cornerWidth, int cornerHeight)
{
    Words w{s16(cornerHeight), s16(cornerWidth)};
    pushRectReversed(w, r);
    return add(wmf::Fn::RoundRect, w);
}

WmfWriter &WmfWriter::ellipse(WmfRect r)
{
    Words w;
    pushRectReversed(w, r);
    return add(wmf::Fn::Ellipse, w);
}

namespace {
Words arcWords(WmfRect r, WmfPoint start, WmfPoint end)
{
    Words w{s16(end.y), s16(end.x), s16(start.y), s16(start.x)};
    pushRectReversed(w, r);
    return w;
}
} // namespace

WmfWriter &WmfWriter::arc(WmfRect r, WmfPoint start, WmfPoint end) { return add(wmf::Fn::Arc, arcWords(r, start, end)); }
WmfWriter &WmfWriter::pie(WmfRect r, WmfPoint start, WmfPoint end) { return add(wmf::Fn::Pie, arcWords(r, start, end)); }
WmfWriter &WmfWriter::chord(WmfRect r, WmfPoint start, WmfPoint end) { return add(wmf::Fn::Chord, arcWords(r, start, end)); }

WmfWriter &WmfWriter::setPixel(int x, int y, std::uint32_t colour)
{
    Words w;
    push32(w, colour);
    w.push_back(s16(y));
    w.push_back(s16(x));
    return add(wmf::Fn::SetPixel, w);
}

WmfWriter &WmfWriter::textOut(int x, int y, const std::string &text)
{
    Words w{s16(static_cast<int>(text.size()))};
    pushText(w, text);
    w.push_back(s16(y));
    w.push_back(s16(x));
    return add(wmf::Fn::TextOut, w);
}

WmfWriter &WmfWriter::extTextOut(int x, int y, std::uint16_t options, std::optional<WmfRect> rect, const std::string &text,
                                 const std::vector<std::int16_t> &dx)
{
    if (rect)
        options = static_cast<std::uint16_t>(options | ((options & (wmf::ETO_OPAQUE | wmf::ETO_CLIPPED)) ? 0 : wmf::ETO_CLIPPED));
    else
        options = static_cast<std::uint16_t>(options & ~(wmf::ETO_OPAQUE | wmf::ETO_CLIPPED));
    Words w{s16(y), s16(x), s16(static_cast<int>(text.size())), options};
    if (rect)
        for (int v : {int(rect->left), int(rect->top), int(rect->right), int(rect->bottom)})
            w.push_back(s16(v));
    pushText(w, text);
    for (std::int16_t d : dx)
        w.push_back(static_cast<std::uint16_t>(d));
    return add(wmf::Fn::ExtTextOut, w);
}

WmfWriter &WmfWriter::fillRegion(int region, int brush) { return add(wmf::Fn::FillRegion, {s16(region), s16(brush)}); }
WmfWriter &WmfWriter::paintRegion(int region) { return add(wmf::Fn::PaintRegion, {s16(region)}); }
WmfWriter &WmfWriter::selectClipRegion(int region) { return add(wmf::Fn::SelectClipRegion, {s16(region)}); }

WmfWriter &WmfWriter::patBlt(int x, int y, int width, int height, std::uint32_t rop)
{
    Words w;
    push32(w, rop);
    for (int v : {height, width, y, x})
        w.push_back(s16(v));
    return add(wmf::Fn::PatBlt, w);
}

WmfWriter &WmfWriter::dibBitBlt(int x, int y, int width, int height, int srcX, int srcY, const WmfBitmap &bitmap,
                                std::uint32_t rop)
{
    Words w;
    push32(w, rop);
    for (int v : {srcY, srcX, height, width, y, x})
        w.push_back(s16(v));
    pushBytes(w, bitmap.dib());
    return add(wmf::Fn::DibBitBlt, w);
}

WmfWriter &WmfWriter::dibStretchBlt(WmfRect dest, WmfRect src, const WmfBitmap &bitmap, std::uint32_t rop)
{
    Words w;
    push32(w, rop);
    for (int v : {src.bottom - src.top, src.right - src.left, int(src.top), int(src.left), dest.bottom - dest.top,
                  dest.right - dest.left, int(dest.top), int(dest.left)})
        w.push_back(s16(v));
    pushBytes(w, bitmap.dib());
    return add(wmf::Fn::DibStretchBlt, w);
}

WmfWriter &WmfWriter::stretchDib(WmfRect dest, WmfRect src, const WmfBitmap &bitmap, std::uint32_t rop)
{
    Words w;
    push32(w, rop);
    w.push_back(wmf::DIB_RGB_COLORS);
    for (int v : {src.bottom - src.top, src.right - src.left, int(src.top), int(src.left), dest.bottom - dest.top,
                  dest.right - dest.left, int(dest.top), int(dest.left)})
        w.push_back(s16(v));
    pushBytes(w, bitmap.dib());
    return add(wmf::Fn::StretchDib, w);
}

WmfWriter &WmfWriter::setDibToDev(int x, int y, const WmfBitmap &bitmap)
{
    Words w{wmf::DIB_RGB_COLORS, s16(bitmap.height), 0, 0, 0, s16(bitmap.height), s16(bitmap.width), s16(y), s16(x)};
    pushBytes(w, bitmap.dib());
    return add(wmf::Fn::SetDibToDev, w);
}

WmfWriter &WmfWriter::escape(std::uint16_t function, const std::vector<std::uint8_t> &data)
{
    Words w{function, static_cast<std::uint16_t>(data.size())};
    pushBytes(w, data);
    return add(wmf::Fn::Escape, w);
}

std::vector<std::uint8_t> WmfWriter::bytes() const
{
    std::vector<std::uint8_t> out;
    if (m_placeable) {
        Words p;
        push32(p, wmf::kPlaceableKey);
        p.push_back(0); // handle
        for (int v : {int(m_placeable->left), int(m_placeable->top), int(m_placeable->right), int(m_placeable->bottom)})
            p.push_back(s16(v));
        p.push_back(m_unitsPerInch);
        push32(p, 0); // reserved
        std::uint16_t checksum = 0;
        for (std::uint16_t word : p)
            checksum ^= word;
        p.push_back(checksum);
        for (std::uint16_t word : p)
            append16(out, word);
    }
    const std::size_t totalWords = wmf::kHeaderWords + m_records.size() + wmf::kRecordHeaderWords;
    append16(out, 1);      // memory metafile
    append16(out, wmf::kHeaderWords);
    append16(out, 0x0300); // version
    append32(out, static_cast<std::uint32_t>(totalWords));
    append16(out, static_cast<std::uint16_t>(m_maxSlots));
    append32(out, m_maxRecord);
    append16(out, 0);
    for (std::uint16_t word : m_records)
        append16(out, word);
    append32(out, wmf::kRecordHeaderWords); // META_EOF
    append16(out, 0);
    return out;
}

void WmfWriter::save(const std::string &path) const
{
    const std::vector<std::uint8_t> data = bytes();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char *>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path);
}

} // namespace tarvenko::tools
