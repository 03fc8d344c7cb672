// libFuzzer entry: parse any bytes as a metafile and play what parses, exact and smooth, onto
// small images. See CMakeLists.txt for how to run it.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>

#include "platform/metafile/metafile.h"

// fontconfig links a pattern to its elements by an offset from the pattern, not by a pointer, so
// the leak checker takes the elements of every live pattern (the fallback patterns Qt's font
// engines keep for text records) for leaks. The suite suppresses the library for the same reason
// (tests/sanitizer/lsan.supp); built in here, no run of the harness can stop on it.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // fonts need it
    // The font database and fontconfig fill their caches on first use and keep them: do it
    // now, so that the leak checker does not take them for leaks of the first input with text.
    QImage warm(8, 8, QImage::Format_RGB32);
    QPainter painter(&warm);
    for (const char *face : {"Sans Serif", "Arial", "Times New Roman", "DejaVu Sans", "x"}) {
        QFont font{QString::fromLatin1(face)};
        font.setPixelSize(6);
        painter.setFont(font);
        painter.drawText(0, 6, QStringLiteral("Ab\u20ac"));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::optional<tarvenko::Metafile> metafile =
        tarvenko::Metafile::fromData(QByteArrayView(data, static_cast<qsizetype>(size)));
    if (!metafile)
        return 0;
    metafile->toImage(QSize(48, 36));
    QImage smooth(16, 12, QImage::Format_ARGB32_Premultiplied);
    smooth.fill(Qt::transparent);
    QPainter painter(&smooth);
    painter.scale(0.5, 1.5);
    metafile->play(painter, QRectF(-4, -2, 40, 10), tarvenko::Metafile::Edges::Smooth);
    return 0;
}
