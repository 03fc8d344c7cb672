#pragma once

// Numbers of the Windows metafile format (MS-WMF), shared by the player and by the writer in
// tools/. Plain C++ so that the Qt-free writer can include it.

#include <cstdint>

namespace tarvenko::wmf {

inline constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
inline constexpr int kPlaceableSize = 22;     // bytes
inline constexpr int kHeaderWords = 9;        // META_HEADER
inline constexpr int kRecordHeaderWords = 3;  // size (32 bits) and function

// Record functions. The high byte of most of them is the number of parameter words.
enum class Fn : std::uint16_t {
    Eof = 0x0000,
    RealizePalette = 0x0035,
    SetPalEntries = 0x0037,
    SetBkMode = 0x0102,
    SetMapMode = 0x0103,
    SetRop2 = 0x0104,
    SetRelAbs = 0x0105,
    SetPolyFillMode = 0x0106,
    SetStretchBltMode = 0x0107,
    SetTextCharExtra = 0x0108,
    RestoreDC = 0x0127,
    ResizePalette = 0x0139,
    DibCreatePatternBrush = 0x0142,
    SetLayout = 0x0149,
    SetBkColor = 0x0201,
    SetTextColor = 0x0209,
    OffsetViewportOrg = 0x0211,
    LineTo = 0x0213,
    MoveTo = 0x0214,
    OffsetClipRgn = 0x0220,
    FillRegion = 0x0228,
    SetMapperFlags = 0x0231,
    SelectPalette = 0x0234,
    SetTextJustification = 0x020A,
    SetWindowOrg = 0x020B,
    SetWindowExt = 0x020C,
    SetViewportOrg = 0x020D,
    SetViewportExt = 0x020E,
    OffsetWindowOrg = 0x020F,
    Polygon = 0x0324,
    Polyline = 0x0325,
    ScaleWindowExt = 0x0410,
    ScaleViewportExt = 0x0412,
    ExcludeClipRect = 0x0415,
    IntersectClipRect = 0x0416,
    Ellipse = 0x0418,
    FloodFill = 0x0419,
    Rectangle = 0x041B,
    SetPixel = 0x041F,
    FrameRegion = 0x0429,
    AnimatePalette = 0x0436,
    TextOut = 0x0521,
    PolyPolygon = 0x0538,
    ExtFloodFill = 0x0548,
    RoundRect = 0x061C,
    PatBlt = 0x061D,
    Escape = 0x0626,
    CreateRegion = 0x06FF,
    Arc = 0x0817,
    Pie = 0x081A,
    Chord = 0x0830,
    BitBlt = 0x0922,
    DibBitBlt = 0x0940,
    ExtTextOut = 0x0A32,
    StretchBlt = 0x0B23,
    DibStretchBlt = 0x0B41,
    SetDibToDev = 0x0D33,
    StretchDib = 0x0F43,
    SaveDC = 0x001E,
    InvertRegion = 0x012A,
    PaintRegion = 0x012B,
    SelectClipRegion = 0x012C,
    SelectObject = 0x012D,
    SetTextAlign = 0x012E,
    DeleteObject = 0x01F0,
    CreatePalette = 0x00F7,
    CreatePatternBrush = 0x01F9,
    CreatePenIndirect = 0x02FA,
    CreateFontIndirect = 0x02FB,
    CreateBrushIndirect = 0x02FC,
};

enum MapMode : std::uint16_t {
    MM_TEXT = 1,
    MM_LOMETRIC = 2,  // 0.1 mm, y up
    MM_HIMETRIC = 3,  // 0.01 mm, y up
    MM_LOENGLISH = 4, // 0.01 inch, y up
    MM_HIENGLISH = 5, // 0.001 inch, y up
    MM_TWIPS = 6,     // 1/1440 inch, y up
    MM_ISOTROPIC = 7,
    MM_ANISOTROPIC = 8,
};

enum PenStyle : std::uint16_t {
    PS_SOLID = 0,
    PS_DASH = 1,
    PS_DOT = 2,
    PS_DASHDOT = 3,
    PS_DASHDOTDOT = 4,
    PS_NULL = 5,
    PS_INSIDEFRAME = 6,
    PS_STYLE_MASK = 0x000F,
    PS_ENDCAP_SQUARE = 0x0100,
    PS_ENDCAP_FLAT = 0x0200,
    PS_JOIN_BEVEL = 0x1000,
    PS_JOIN_MITER = 0x2000,
};

enum BrushStyle : std::uint16_t {
    BS_SOLID = 0,
    BS_NULL = 1,
    BS_HATCHED = 2,
    BS_PATTERN = 3,
    BS_DIBPATTERN = 5,
    BS_DIBPATTERNPT = 6,
};

enum HatchStyle : std::uint16_t {
    HS_HORIZONTAL = 0,
    HS_VERTICAL = 1,
    HS_FDIAGONAL = 2, // \\\ .
    HS_BDIAGONAL = 3, // ///
    HS_CROSS = 4,
    HS_DIAGCROSS = 5,
};

enum BkMode : std::uint16_t { TRANSPARENT = 1, OPAQUE = 2 };
enum PolyFillMode : std::uint16_t { ALTERNATE = 1, WINDING = 2 };

enum TextAlign : std::uint16_t {
    TA_NOUPDATECP = 0,
    TA_UPDATECP = 1,
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
    TA_HORIZONTAL_MASK = 6,
    TA_VERTICAL_MASK = 24,
};

enum ExtTextOutOption : std::uint16_t { ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004 };

// Binary raster operations of SETROP2 (pen and brush against the destination).
enum Rop2 : std::uint16_t {
    R2_BLACK = 1,
    R2_NOTMERGEPEN = 2,
    R2_MASKNOTPEN = 3,
    R2_NOTCOPYPEN = 4,
    R2_MASKPENNOT = 5,
    R2_NOT = 6,
    R2_XORPEN = 7,
    R2_NOTMASKPEN = 8,
    R2_MASKPEN = 9,
    R2_NOTXORPEN = 10,
    R2_NOP = 11,
    R2_MERGENOTPEN = 12,
    R2_COPYPEN = 13,
    R2_MERGEPENNOT = 14,
    R2_MERGEPEN = 15,
    R2_WHITE = 16,
};

// The ternary raster operations that bitmap and pattern transfers use in practice.
enum RasterOp : std::uint32_t {
    BLACKNESS = 0x00000042,
    DSTINVERT = 0x00550009,
    PATINVERT = 0x005A0049,
    SRCINVERT = 0x00660046,
    SRCAND = 0x008800C6,
    MERGEPAINT = 0x00BB0226,
    SRCCOPY = 0x00CC0020,
    SRCPAINT = 0x00EE0086,
    PATCOPY = 0x00F00021,
    WHITENESS = 0x00FF0062,
};

enum ColorUsage : std::uint16_t { DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1 };

enum Charset : std::uint8_t { ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2 };

// A COLORREF: red in the low byte, then green, then blue; the high byte says whether the low
// word is a palette index (1).
constexpr std::uint32_t rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return static_cast<std::uint32_t>(red) | static_cast<std::uint32_t>(green) << 8 | static_cast<std::uint32_t>(blue) << 16;
}

} // namespace tarvenko::wmf
