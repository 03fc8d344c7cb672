#include "platform/metafile/dib.h"

#include <array>
#include <bit>
#include <vector>

#include "platform/metafile/metafile_data.h"

namespace tarvenko::detail {

namespace {

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_BITFIELDS = 3;

std::uint32_t u32(const std::uint8_t *p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24; }
std::uint16_t u16(const std::uint8_t *p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

// The sixteen colours of the standard VGA palette, for colour tables of palette indices.
constexpr std::array<QRgb, 16> kVga = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

// Value of a bit field scaled to 0..255.
int field(std::uint32_t pixel, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const std::uint32_t max = mask >> shift;
    const std::uint32_t v = (pixel & mask) >> shift;
    return static_cast<int>((v * 255 + max / 2) / max);
}

} // namespace

bool decodeDib(const std::uint8_t *data, std::size_t size, bool paletteIndices, std::int64_t maxPixels, DibImage &out)
{
    if (size < 12)
        return false;
    const std::uint32_t headerSize = u32(data);
    std::int64_t width = 0;
    std::int64_t height = 0;
    int bitCount = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t coloursUsed = 0;
    std::size_t tableEntrySize = 4;
    if (headerSize == 12) {
        width = u16(data + 4);
        height = u16(data + 6);
        bitCount = u16(data + 10);
        tableEntrySize = 3;
    } else if (headerSize >= 40 && headerSize <= size) {
        width = static_cast<std::int32_t>(u32(data + 4));
        height = static_cast<std::int32_t>(u32(data + 8));
        bitCount = u16(data + 14);
        compression = u32(data + 16);
        coloursUsed = u32(data + 32);
    } else {
        return false;
    }
    const bool bottomUp = height > 0;
    height = height < 0 ? -height : height;
    if (width <= 0 || height <= 0 || width * height > maxPixels)
        return false;
    if (compression != BI_RGB && !(compression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32)))
        return false;

    std::size_t pos = headerSize;
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bitCount == 32)
        masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
    if (compression == BI_BITFIELDS) {
        if (headerSize != 40 && headerSize < 52)
            return false;
        if (headerSize == 40) {
            if (pos + 12 > size)
                return false;
            pos += 12;
        }
        for (int i = 0; i < 3; ++i)
            masks[i] = u32(data + 40 + 4 * i);
    }

    std::vector<QRgb> table;
    if (bitCount == 1 || bitCount == 4 || bitCount == 8) {
        const std::uint32_t maxEntries = 1u << bitCount;
        const std::uint32_t entries = coloursUsed == 0 || coloursUsed > maxEntries ? maxEntries : coloursUsed;
        const std::size_t entrySize = paletteIndices ? 2 : tableEntrySize;
        if (pos + entries * entrySize > size)
            return false;
        table.resize(maxEntries, qRgb(0, 0, 0));
        for (std::uint32_t i = 0; i < entries; ++i) {
            const std::uint8_t *e = data + pos + i * entrySize;
            table[i] = paletteIndices ? kVga[u16(e) % kVga.size()] : qRgb(e[2], e[1], e[0]);
        }
        pos += entries * entrySize;
    } else if (bitCount != 16 && bitCount != 24 && bitCount != 32) {
        return false;
    } else if (coloursUsed > 0 && headerSize >= 40) {
        // An optional table that true-colour bitmaps may carry for palette devices: skipped.
        const std::size_t skip = static_cast<std::size_t>(coloursUsed) * 4;
        if (coloursUsed > 256 || pos + skip > size)
            return false;
        pos += skip;
    }

    const auto stride = static_cast<std::size_t>(((width * bitCount + 31) / 32) * 4);
    if (pos > size || stride * static_cast<std::size_t>(height) > size - pos)
        return false;

    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (image.isNull())
        return false;
    for (int row = 0; row < image.height(); ++row) {
        const int y = bottomUp ? image.height() - 1 - row : row;
        const std::uint8_t *line = data + pos + static_cast<std::size_t>(row) * stride;
        auto *dst = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const auto ux = static_cast<std::size_t>(x);
            switch (bitCount) {
            case 1: dst[x] = table[(line[ux / 8] >> (7 - ux % 8)) & 1]; break;
            case 4: dst[x] = table[(line[ux / 2] >> (ux % 2 ? 0 : 4)) & 0xF]; break;
            case 8: dst[x] = table[line[ux]]; break;
            case 16: {
                const std::uint32_t p = u16(line + 2 * ux);
                dst[x] = qRgb(field(p, masks[0]), field(p, masks[1]), field(p, masks[2]));
                break;
            }
            case 24: dst[x] = qRgb(line[3 * ux + 2], line[3 * ux + 1], line[3 * ux]); break;
            default: {
                const std::uint32_t p = u32(line + 4 * ux);
                dst[x] = qRgb(field(p, masks[0]), field(p, masks[1]), field(p, masks[2]));
            }
            }
        }
    }
    out.image = std::move(image);
    out.bottomUp = bottomUp;
    return true;
}

} // namespace tarvenko::detail
