#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QTest>

#include <optional>

#include "platform/metafile/metafile.h"
#include "tools/wmf/wmf_writer.h"

namespace tarvenko::test {

using tools::WmfPoint;
using tools::WmfRect;
using tools::WmfWriter;

inline constexpr std::uint32_t kRed = wmf::rgb(255, 0, 0);
inline constexpr std::uint32_t kGreen = wmf::rgb(0, 160, 0);
inline constexpr std::uint32_t kBlue = wmf::rgb(0, 0, 255);
inline constexpr std::uint32_t kBlack = wmf::rgb(0, 0, 0);
inline constexpr std::uint32_t kWhite = wmf::rgb(255, 255, 255);
inline constexpr std::uint32_t kYellow = wmf::rgb(255, 255, 0);

inline QByteArray fileBytes(const WmfWriter &w)
{
    const std::vector<std::uint8_t> bytes = w.bytes();
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

inline Metafile parsed(const WmfWriter &w)
{
    QString error;
    const std::optional<Metafile> m = Metafile::fromData(fileBytes(w), &error);
    if (!m)
        qFatal("written metafile refused: %s", qPrintable(error));
    return *m;
}

inline QImage render(const WmfWriter &w, QSize size) { return parsed(w).toImage(size); }

// The colour of a pixel as a COLORREF (red in the low byte), so that failures print numbers
// comparable with the colours the files were written with.
// A metafile whose frame is 100 x 100 units, for the records a test adds.
inline WmfWriter frame100()
{
    WmfWriter w;
    w.setWindowExt(100, 100);
    return w;
}

inline std::uint32_t at(const QImage &image, double x, double y)
{
    const QRgb p = image.pixel(static_cast<int>(x), static_cast<int>(y));
    return wmf::rgb(static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)), static_cast<std::uint8_t>(qBlue(p)));
}

// Pixels of `colour` in the image.
inline int count(const QImage &image, std::uint32_t colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += at(image, x, y) == colour;
    return n;
}

// Bounding box of the pixels of `colour`.
inline QRect extent(const QImage &image, std::uint32_t colour)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (at(image, x, y) == colour)
                box |= QRect(x, y, 1, 1);
    return box;
}

// Pixels that are neither the background nor one of `colours`: antialiasing or stray colours.
inline int strays(const QImage &image, std::initializer_list<std::uint32_t> colours)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t c = at(image, x, y);
            n += c != kWhite && std::find(colours.begin(), colours.end(), c) == colours.end();
        }
    return n;
}

// A file with a null pen (fills only) and a solid brush of `colour` selected.
inline WmfWriter filled(std::uint32_t colour)
{
    WmfWriter w;
    w.selectObject(w.createPen(wmf::PS_NULL, 0, 0));
    w.selectObject(w.createBrush(wmf::BS_SOLID, colour));
    return w;
}

} // namespace tarvenko::test
