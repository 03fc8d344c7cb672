#pragma once

// The parsed form of a metafile, shared by the parser and the player. Not part of the library's
// interface.

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <cstdint>
#include <vector>

namespace tarvenko::detail {

struct WmfRecord {
    std::uint16_t function = 0;
    std::uint32_t offset = 0; // first parameter word in MetafileData::words
    std::uint32_t size = 0;   // parameter words
    // By function: index of the decoded image, font, region or palette; kMalformed for a
    // creation record too damaged to read (it still takes an object slot).
    std::int32_t extra = -1;
};

inline constexpr std::int32_t kMalformed = -2;

struct FontSpec {
    int height = -12;
    int width = 0;
    int escapement = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint8_t charset = 0;
    QString face;
};

struct DibImage {
    QImage image;          // top row first
    bool bottomUp = true;  // rows were stored bottom first (source y counts from the bottom)
};

struct MetafileData {
    std::vector<std::uint16_t> words;
    std::vector<WmfRecord> records;
    std::vector<DibImage> images;
    std::vector<FontSpec> fonts;
    std::vector<std::vector<QRect>> regions; // logical rectangles
    std::vector<std::vector<std::uint32_t>> palettes; // COLORREFs

    bool placeable = false;
    int unitsPerInch = 0;

    // Mapping in force before the first record, and the frame, in reference device units,
    // that is stretched over the target.
    QPointF windowOrg;
    QSizeF windowExt{1, 1};
    QSizeF viewportExt{1, 1};
    QRectF frame;

    QString problem;
};

} // namespace tarvenko::detail
