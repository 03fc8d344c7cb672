#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/metafile/wmf_format.h"

namespace tarvenko::tools {

struct WmfPoint {
    std::int16_t x = 0;
    std::int16_t y = 0;
};

struct WmfRect {
    std::int16_t left = 0;
    std::int16_t top = 0;
    std::int16_t right = 0;
    std::int16_t bottom = 0;
};

struct WmfFont {
    std::int16_t height = -12; // negative: character height, positive: cell height
    std::int16_t width = 0;
    std::int16_t escapement = 0; // tenths of a degree, counter-clockwise
    std::int16_t weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint8_t charset = wmf::ANSI_CHARSET;
    std::string face = "Arial";
};

// A device-independent bitmap given as COLORREF pixels, top row first. It is written with the
// bit count asked: 1, 4 and 8 build a colour table from the pixels (at most 2, 16, 256 colours),
// 24 and 32 store the colours directly.
struct WmfBitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    int bitCount = 24;
    bool topDown = false; // negative height: rows stored top first

    // BITMAPINFOHEADER, colour table and pixel rows.
    std::vector<std::uint8_t> dib() const;
};

// Writes a Windows metafile record by record. Object creation returns the object-table slot the
// player will use (the lowest free one), so that callers select and delete by that number.
// Coordinates are 16-bit as in the format; out-of-range values throw std::out_of_range.
class WmfWriter {
public:
    // Adds the 22-byte placeable header (its checksum computed) in front of the file.
    WmfWriter &placeable(WmfRect box, std::uint16_t unitsPerInch = 1440);

    // Device context state.
    WmfWriter &setWindowOrg(int x, int y);
    WmfWriter &setWindowExt(int width, int height);
    WmfWriter &setViewportOrg(int x, int y);
    WmfWriter &setViewportExt(int width, int height);
    WmfWriter &offsetWindowOrg(int dx, int dy);
    WmfWriter &scaleWindowExt(int xNum, int xDenom, int yNum, int yDenom);
    WmfWriter &setMapMode(wmf::MapMode mode);
    WmfWriter &saveDC();
    WmfWriter &restoreDC(int saved = -1);
    WmfWriter &setPolyFillMode(wmf::PolyFillMode mode);
    WmfWriter &setBkMode(wmf::BkMode mode);
    WmfWriter &setBkColor(std::uint32_t colour);
    WmfWriter &setTextColor(std::uint32_t colour);
    WmfWriter &setTextAlign(std::uint16_t align);
    WmfWriter &setRop2(wmf::Rop2 rop);
    WmfWriter &setTextCharExtra(int extra);
    WmfWriter &intersectClipRect(WmfRect r);
    WmfWriter &excludeClipRect(WmfRect r);

    // Objects.
    int createPen(std::uint16_t style, int width, std::uint32_t colour);
    int createBrush(wmf::BrushStyle style, std::uint32_t colour, wmf::HatchStyle hatch = wmf::HS_HORIZONTAL);
    int createFont(const WmfFont &font);
    int createPalette(const std::vector<std::uint32_t> &colours);
    int createRegion(WmfRect r);
    int createDibPatternBrush(const WmfBitmap &pattern);
    // A monochrome BITMAP16 pattern brush: a kind the player only counts.
    int createPatternBrush();
    WmfWriter &selectObject(int slot);
    WmfWriter &selectPalette(int slot);
    WmfWriter &deleteObject(int slot);

    // Drawing.
    WmfWriter &moveTo(int x, int y);
    WmfWriter &lineTo(int x, int y);
    WmfWriter &polyline(const std::vector<WmfPoint> &points);
    WmfWriter &polygon(const std::vector<WmfPoint> &points);
    WmfWriter &polyPolygon(const std::vector<std::vector<WmfPoint>> &polygons);
    WmfWriter &rectangle(WmfRect r);
    WmfWriter &roundRect(WmfRect r, int cornerWidth, int cornerHeight);
    WmfWriter &ellipse(WmfRect r);
    WmfWriter &arc(WmfRect r, WmfPoint start, WmfPoint end);
    WmfWriter &pie(WmfRect r, WmfPoint start, WmfPoint end);
    WmfWriter &chord(WmfRect r, WmfPoint start, WmfPoint end);
    WmfWriter &setPixel(int x, int y, std::uint32_t colour);
    // Text bytes in the font's character set (Windows-1252 for ANSI fonts).
    WmfWriter &textOut(int x, int y, const std::string &text);
    WmfWriter &extTextOut(int x, int y, std::uint16_t options, std::optional<WmfRect> rect, const std::string &text,
                          const std::vector<std::int16_t> &dx = {});
    WmfWriter &fillRegion(int region, int brush);
    WmfWriter &paintRegion(int region);
    WmfWriter &selectClipRegion(int region); // -1 for none
    WmfWriter &patBlt(int x, int y, int width, int height, std::uint32_t rop);
    WmfWriter &dibBitBlt(int x, int y, int width, int height, int srcX, int srcY, const WmfBitmap &bitmap,
                         std::uint32_t rop = wmf::SRCCOPY);
    WmfWriter &dibStretchBlt(WmfRect dest, WmfRect src, const WmfBitmap &bitmap, std::uint32_t rop = wmf::SRCCOPY);
    WmfWriter &stretchDib(WmfRect dest, WmfRect src, const WmfBitmap &bitmap, std::uint32_t rop = wmf::SRCCOPY);
    WmfWriter &setDibToDev(int x, int y, const WmfBitmap &bitmap);
    WmfWriter &escape(std::uint16_t function, const std::vector<std::uint8_t> &data);

    // Any record, parameters as they go into the file: unusual or damaged files in tests.
    WmfWriter &record(std::uint16_t function, const std::vector<std::uint16_t> &params);
    // Any record with a declared size in words that need not match its parameters.
    WmfWriter &recordWithSize(std::uint32_t sizeWords, std::uint16_t function, const std::vector<std::uint16_t> &params);

    // The whole file: placeable header if asked, META_HEADER, the records and META_EOF.
    std::vector<std::uint8_t> bytes() const;
    // Writes the file; throws std::runtime_error when it cannot.
    void save(const std::string &path) const;

    int objectSlotsUsed() const { return m_maxSlots; }

private:
    int takeSlot();
    WmfWriter &add(wmf::Fn fn, const std::vector<std::uint16_t> &params);

    std::optional<WmfRect> m_placeable;
    std::uint16_t m_unitsPerInch = 1440;
    std::vector<std::uint16_t> m_records;
    std::uint32_t m_maxRecord = 3;
    std::vector<bool> m_slots;
    int m_maxSlots = 0;
};

} // namespace tarvenko::tools
