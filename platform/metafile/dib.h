#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>

namespace tarvenko::detail {

struct DibImage;

// Decodes a device-independent bitmap (BITMAPINFOHEADER or BITMAPCOREHEADER, colour table, then
// uncompressed rows of 1, 4, 8, 16, 24 or 32 bits) into an opaque image. Returns false for a
// damaged or compressed bitmap, or one larger than `maxPixels`. `paletteIndices`: the colour
// table holds 16-bit palette indices (DIB_PAL_COLORS), read against the standard VGA colours.
bool decodeDib(const std::uint8_t *data, std::size_t size, bool paletteIndices, std::int64_t maxPixels, DibImage &out);

} // namespace tarvenko::detail
