#include "platform/metafile/metafile.h"

#include <QDir>
#include <QFile>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/metafile/dib.h"
#include "platform/metafile/metafile_data.h"
#include "platform/metafile/metafile_player.h"
#include "platform/metafile/wmf_format.h"

namespace tarvenko {

namespace {

using detail::MetafileData;
using detail::WmfRecord;
using wmf::Fn;

// Decoded bitmaps of one file together stay below this many pixels (128 MiB as 32-bit pixels),
// whatever sizes the file claims.
constexpr std::int64_t kMaxImagePixels = 32 * 1024 * 1024;
constexpr std::size_t kMaxRegionRects = 65536;

constexpr Fn kFunctions[] = {
    Fn::RealizePalette, Fn::SetPalEntries, Fn::SetBkMode, Fn::SetMapMode, Fn::SetRop2, Fn::SetRelAbs,
    Fn::SetPolyFillMode, Fn::SetStretchBltMode, Fn::SetTextCharExtra, Fn::RestoreDC, Fn::ResizePalette,
    Fn::DibCreatePatternBrush, Fn::SetLayout, Fn::SetBkColor, Fn::SetTextColor, Fn::OffsetViewportOrg, Fn::LineTo,
    Fn::MoveTo, Fn::OffsetClipRgn, Fn::FillRegion, Fn::SetMapperFlags, Fn::SelectPalette, Fn::SetTextJustification,
    Fn::SetWindowOrg, Fn::SetWindowExt, Fn::SetViewportOrg, Fn::SetViewportExt, Fn::OffsetWindowOrg, Fn::Polygon,
    Fn::Polyline, Fn::ScaleWindowExt, Fn::ScaleViewportExt, Fn::ExcludeClipRect, Fn::IntersectClipRect, Fn::Ellipse,
    Fn::FloodFill, Fn::Rectangle, Fn::SetPixel, Fn::FrameRegion, Fn::AnimatePalette, Fn::TextOut, Fn::PolyPolygon,
    Fn::ExtFloodFill, Fn::RoundRect, Fn::PatBlt, Fn::Escape, Fn::CreateRegion, Fn::Arc, Fn::Pie, Fn::Chord,
    Fn::BitBlt, Fn::DibBitBlt, Fn::ExtTextOut, Fn::StretchBlt, Fn::DibStretchBlt, Fn::SetDibToDev, Fn::StretchDib,
    Fn::SaveDC, Fn::InvertRegion, Fn::PaintRegion, Fn::SelectClipRegion, Fn::SelectObject, Fn::SetTextAlign,
    Fn::DeleteObject, Fn::CreatePalette, Fn::CreatePatternBrush, Fn::CreatePenIndirect, Fn::CreateFontIndirect,
    Fn::CreateBrushIndirect,
};

// Records are known by the low byte of their function (the high byte varies between writers);
// 0 marks an unknown low byte.
constexpr std::array<std::uint16_t, 256> makeFunctionTable()
{
    std::array<std::uint16_t, 256> table{};
    for (Fn fn : kFunctions)
        table[static_cast<std::uint16_t>(fn) & 0xFF] = static_cast<std::uint16_t>(fn);
    return table;
}
constexpr std::array<std::uint16_t, 256> kFunctionTable = makeFunctionTable();

// Parameter words a record needs before anything in it can be read.
int minimumWords(Fn fn)
{
    switch (fn) {
    case Fn::SaveDC: return 0;
    case Fn::SetBkMode: case Fn::SetMapMode: case Fn::SetRop2: case Fn::SetPolyFillMode: case Fn::SetTextCharExtra:
    case Fn::RestoreDC: case Fn::SetTextAlign: case Fn::SelectObject: case Fn::SelectPalette: case Fn::DeleteObject:
    case Fn::SelectClipRegion: case Fn::PaintRegion: case Fn::InvertRegion: case Fn::Polygon: case Fn::Polyline:
    case Fn::PolyPolygon: case Fn::TextOut:
        return 1;
    case Fn::SetBkColor: case Fn::SetTextColor: case Fn::OffsetViewportOrg: case Fn::LineTo: case Fn::MoveTo:
    case Fn::SetWindowOrg: case Fn::SetWindowExt: case Fn::SetViewportOrg: case Fn::SetViewportExt:
    case Fn::OffsetWindowOrg: case Fn::OffsetClipRgn: case Fn::FillRegion: case Fn::CreatePalette:
    case Fn::DibCreatePatternBrush:
        return 2;
    case Fn::ScaleWindowExt: case Fn::ScaleViewportExt: case Fn::ExcludeClipRect: case Fn::IntersectClipRect:
    case Fn::Ellipse: case Fn::Rectangle: case Fn::SetPixel: case Fn::ExtTextOut: case Fn::CreateBrushIndirect:
        return 4;
    case Fn::CreatePenIndirect: return 5;
    case Fn::RoundRect: case Fn::PatBlt: return 6;
    case Fn::Arc: case Fn::Pie: case Fn::Chord: return 8;
    case Fn::DibBitBlt: case Fn::CreateFontIndirect: return 9;
    case Fn::SetDibToDev: return 10;
    case Fn::DibStretchBlt: return 11;
    case Fn::StretchDib: return 12;
    case Fn::CreateRegion: return 11;
    default: return 0;
    }
}

bool createsObject(Fn fn)
{
    switch (fn) {
    case Fn::CreatePenIndirect: case Fn::CreateBrushIndirect: case Fn::CreateFontIndirect: case Fn::CreatePalette:
    case Fn::CreatePatternBrush: case Fn::DibCreatePatternBrush: case Fn::CreateRegion:
        return true;
    default:
        return false;
    }
}

class Parser {
public:
    Parser(QByteArrayView bytes, MetafileData &data) : m_bytes(bytes), m_data(data) {}

    bool parse(QString &error);

private:
    std::uint16_t byteWord(qsizetype at) const
    {
        return static_cast<std::uint16_t>(std::uint8_t(m_bytes[at]) | std::uint8_t(m_bytes[at + 1]) << 8);
    }
    std::uint32_t byteDword(qsizetype at) const { return byteWord(at) | static_cast<std::uint32_t>(byteWord(at + 2)) << 16; }
    std::uint16_t w(int i) const { return m_data.words[m_record.offset + static_cast<std::uint32_t>(i)]; }
    std::int16_t sw(int i) const { return static_cast<std::int16_t>(w(i)); }

    // Checks the record's own counts; decodes what playback needs (bitmaps, fonts, regions,
    // palettes). False: the record cannot be read.
    bool decode(Fn fn);
    bool decodeDib(int firstWord, bool paletteIndices);
    void note(const QString &problem)
    {
        if (m_data.problem.isEmpty())
            m_data.problem = problem;
    }

    QByteArrayView m_bytes;
    MetafileData &m_data;
    WmfRecord m_record;
    qsizetype m_paramBytes = 0; // byte offset of the current record's parameters
    std::int64_t m_pixelBudget = kMaxImagePixels;
    int m_skipped = 0;
};

bool Parser::parse(QString &error)
{
    qsizetype at = 0;
    if (m_bytes.size() >= wmf::kPlaceableSize && byteDword(0) == wmf::kPlaceableKey) {
        m_data.placeable = true;
        const auto left = static_cast<std::int16_t>(byteWord(6)), top = static_cast<std::int16_t>(byteWord(8));
        const auto right = static_cast<std::int16_t>(byteWord(10)), bottom = static_cast<std::int16_t>(byteWord(12));
        m_data.unitsPerInch = byteWord(14);
        // The frame of a placeable file, as the program has always mapped it: origin (left, top),
        // extent (|right| + |left|, |bottom| + |top|).
        m_data.windowOrg = QPointF(left, top);
        m_data.windowExt = QSizeF(std::abs(right) + std::abs(left), std::abs(bottom) + std::abs(top));
        at = wmf::kPlaceableSize;
    }
    if (m_bytes.size() - at < wmf::kHeaderWords * 2) {
        error = QStringLiteral("the file is too short to be a Windows metafile");
        return false;
    }
    const std::uint16_t type = byteWord(at), headerWords = byteWord(at + 2);
    if ((type != 1 && type != 2) || headerWords != wmf::kHeaderWords) {
        error = QStringLiteral("not a Windows metafile (no metafile header)");
        return false;
    }
    at += wmf::kHeaderWords * 2;

    m_data.words.reserve(static_cast<std::size_t>((m_bytes.size() - at) / 2));
    int index = 0;
    bool ended = false;
    while (m_bytes.size() - at >= wmf::kRecordHeaderWords * 2) {
        ++index;
        const std::uint32_t size = byteDword(at);
        const std::uint16_t function = byteWord(at + 4);
        if (size < wmf::kRecordHeaderWords) {
            note(QStringLiteral("record %1 has an impossible size of %2 words; the picture stops there").arg(index).arg(size));
            ended = true;
            break;
        }
        if (static_cast<std::uint64_t>(size) * 2 > static_cast<std::uint64_t>(m_bytes.size() - at)) {
            note(QStringLiteral("record %1 runs past the end of the file; the picture stops there").arg(index));
            ended = true;
            break;
        }
        if (function == static_cast<std::uint16_t>(Fn::Eof)) {
            ended = true;
            break;
        }
        const std::uint16_t known = kFunctionTable[function & 0xFF];
        const qsizetype next = at + static_cast<qsizetype>(size) * 2;
        if (known != 0) {
            m_paramBytes = at + wmf::kRecordHeaderWords * 2;
            m_record = WmfRecord{known, static_cast<std::uint32_t>(m_data.words.size()), size - wmf::kRecordHeaderWords, -1};
            for (qsizetype b = m_paramBytes; b < next; b += 2)
                m_data.words.push_back(byteWord(b));
            const Fn fn = static_cast<Fn>(known);
            const bool readable = static_cast<int>(m_record.size) >= minimumWords(fn) && decode(fn);
            if (readable) {
                m_data.records.push_back(m_record);
            } else if (createsObject(fn)) {
                // Still takes its slot in the object table.
                m_record.extra = detail::kMalformed;
                m_data.records.push_back(m_record);
                ++m_skipped;
            } else {
                m_data.words.resize(m_record.offset);
                ++m_skipped;
            }
        }
        at = next;
    }
    if (!ended && at != m_bytes.size())
        note(QStringLiteral("the file ends inside a record"));
    if (m_skipped > 0)
        note(QStringLiteral("%1 damaged record(s) skipped").arg(m_skipped));
    m_data.words.shrink_to_fit();
    return true;
}

bool Parser::decodeDib(int firstWord, bool paletteIndices)
{
    if (static_cast<std::uint32_t>(firstWord) >= m_record.size)
        return false;
    detail::DibImage image;
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(m_bytes.data() + m_paramBytes + firstWord * 2);
    const auto size = static_cast<std::size_t>(m_record.size - static_cast<std::uint32_t>(firstWord)) * 2;
    if (!detail::decodeDib(bytes, size, paletteIndices, m_pixelBudget, image)) {
        note(QStringLiteral("a bitmap is damaged, compressed or too large and is left out"));
        return true; // the record stays, without its bitmap
    }
    m_pixelBudget -= static_cast<std::int64_t>(image.image.width()) * image.image.height();
    m_record.extra = static_cast<std::int32_t>(m_data.images.size());
    m_data.images.push_back(std::move(image));
    return true;
}

bool Parser::decode(Fn fn)
{
    const auto size = static_cast<std::int64_t>(m_record.size);
    switch (fn) {
    case Fn::Polygon:
    case Fn::Polyline: {
        const int count = sw(0);
        return count >= 0 && 1 + 2 * static_cast<std::int64_t>(count) <= size;
    }
    case Fn::PolyPolygon: {
        const int polygons = w(0);
        if (1 + static_cast<std::int64_t>(polygons) > size)
            return false;
        std::int64_t points = 0;
        for (int i = 0; i < polygons; ++i)
            points += w(1 + i);
        return 1 + polygons + 2 * points <= size;
    }
    case Fn::TextOut: {
        const int length = sw(0);
        return length >= 0 && 1 + (length + 1) / 2 + 2 <= size;
    }
    case Fn::ExtTextOut: {
        const int length = sw(2);
        const int at = (w(3) & (wmf::ETO_OPAQUE | wmf::ETO_CLIPPED)) ? 8 : 4;
        return length >= 0 && at + (length + 1) / 2 <= size;
    }
    case Fn::CreateFontIndirect: {
        detail::FontSpec font;
        font.height = sw(0);
        font.width = sw(1);
        font.escapement = sw(2);
        font.weight = sw(4);
        font.italic = (w(5) & 0xFF) != 0;
        font.underline = (w(5) >> 8) != 0;
        font.strikeOut = (w(6) & 0xFF) != 0;
        font.charset = static_cast<std::uint8_t>(w(6) >> 8);
        QByteArray face;
        for (int i = 0; i < 32 && 9 + i / 2 < size; ++i) {
            const auto c = static_cast<char>(i % 2 ? w(9 + i / 2) >> 8 : w(9 + i / 2) & 0xFF);
            if (c == 0)
                break;
            face.append(c);
        }
        font.face = QString::fromLatin1(face);
        m_record.extra = static_cast<std::int32_t>(m_data.fonts.size());
        m_data.fonts.push_back(std::move(font));
        return true;
    }
    case Fn::CreatePalette: {
        const std::int64_t entries = std::min<std::int64_t>(w(1), (size - 2) / 2);
        std::vector<std::uint32_t> colours;
        for (int i = 0; i < entries; ++i)
            colours.push_back(w(2 + 2 * i) | static_cast<std::uint32_t>(w(3 + 2 * i) & 0xFF) << 16);
        m_record.extra = static_cast<std::int32_t>(m_data.palettes.size());
        m_data.palettes.push_back(std::move(colours));
        return true;
    }
    case Fn::CreateRegion: {
        // Header of 11 words (bounding box in words 7 to 10), then scans: count of x values,
        // top, bottom, the (left, right) pairs, the count again.
        std::vector<QRect> rects;
        const int scans = w(5);
        int at = 11;
        for (int k = 0; k < scans && at + 3 <= size && rects.size() < kMaxRegionRects; ++k) {
            const int count = w(at);
            const int top = sw(at + 1), bottom = sw(at + 2);
            if (at + 3 + count + 1 > size)
                break;
            for (int i = 0; i + 1 < count; i += 2) {
                const int left = sw(at + 3 + i), right = sw(at + 4 + i);
                if (right > left && bottom > top)
                    rects.emplace_back(QPoint(left, top), QPoint(right - 1, bottom - 1));
            }
            at += 3 + count + 1;
        }
        if (scans == 0 && sw(9) > sw(7) && sw(10) > sw(8))
            rects.emplace_back(QPoint(sw(7), sw(8)), QPoint(sw(9) - 1, sw(10) - 1));
        m_record.extra = static_cast<std::int32_t>(m_data.regions.size());
        m_data.regions.push_back(std::move(rects));
        return true;
    }
    case Fn::DibCreatePatternBrush:
        if (w(0) == wmf::BS_PATTERN)
            return false; // an old BITMAP16 pattern: only takes its slot
        decodeDib(2, w(1) == wmf::DIB_PAL_COLORS);
        return m_record.extra >= 0;
    case Fn::DibBitBlt: return size == 9 || decodeDib(8, false);
    case Fn::DibStretchBlt: return size == 11 || decodeDib(10, false);
    case Fn::StretchDib: return decodeDib(11, w(2) == wmf::DIB_PAL_COLORS);
    case Fn::SetDibToDev: return decodeDib(9, w(0) == wmf::DIB_PAL_COLORS);
    default: return true;
    }
}

// Where the frame comes from, and the mapping in force before the first record.
void settleFrame(MetafileData &data)
{
    std::optional<QSizeF> windowExt;
    for (const WmfRecord &r : data.records) {
        if (r.function != static_cast<std::uint16_t>(Fn::SetWindowExt))
            continue;
        const auto height = static_cast<std::int16_t>(data.words[r.offset]);
        const auto width = static_cast<std::int16_t>(data.words[r.offset + 1]);
        if (width != 0 && height != 0) {
            windowExt = QSizeF(width, height);
            break;
        }
    }
    if (windowExt) {
        // The file's own window: its extent is the frame; the origin is the placeable box's
        // until the file sets its own.
        if (!data.placeable)
            data.windowOrg = QPointF();
        data.windowExt = *windowExt;
        data.viewportExt = QSizeF(std::abs(windowExt->width()), std::abs(windowExt->height()));
        data.frame = QRectF(QPointF(), data.viewportExt);
        return;
    }
    if (data.placeable && data.windowExt.width() > 0 && data.windowExt.height() > 0) {
        data.viewportExt = data.windowExt;
        data.frame = QRectF(QPointF(), data.viewportExt);
        return;
    }
    // Neither: the bounds of what is drawn, measured in logical units.
    data.windowOrg = QPointF();
    data.windowExt = data.viewportExt = QSizeF(1, 1);
    detail::MetafilePlayer measure(data, nullptr, QTransform(), false);
    measure.play();
    QRectF bounds = measure.bounds();
    if (bounds.isNull() || !std::isfinite(bounds.width()) || !std::isfinite(bounds.height()))
        return; // draws nothing
    // A single line still gets a frame one unit thick.
    if (bounds.width() <= 0)
        bounds.setWidth(1);
    if (bounds.height() <= 0)
        bounds.setHeight(1);
    data.frame = bounds;
}

} // namespace

Metafile::Metafile() = default;

Metafile::Metafile(std::shared_ptr<const detail::MetafileData> data) : m_data(std::move(data)) {}

std::optional<Metafile> Metafile::fromData(QByteArrayView bytes, QString *error)
{
    QString reason;
    if (bytes.size() > kMaxFileSize) {
        reason = QStringLiteral("the file is larger than %1 MiB").arg(kMaxFileSize / (1024 * 1024));
    } else {
        auto data = std::make_shared<MetafileData>();
        if (Parser(bytes, *data).parse(reason)) {
            settleFrame(*data);
            return Metafile(std::move(data));
        }
    }
    if (error)
        *error = reason;
    return std::nullopt;
}

std::optional<Metafile> Metafile::load(const QString &path, QString *error)
{
    QFile file(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot open %1: %2").arg(shown, file.errorString());
        return std::nullopt;
    }
    if (file.size() > kMaxFileSize) {
        if (error)
            *error = QStringLiteral("%1: the file is larger than %2 MiB").arg(shown).arg(kMaxFileSize / (1024 * 1024));
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    QString reason;
    std::optional<Metafile> metafile = fromData(bytes, &reason);
    if (!metafile && error)
        *error = QStringLiteral("%1: %2").arg(shown, reason);
    return metafile;
}

bool Metafile::isEmpty() const { return !m_data || m_data->frame.isNull() || m_data->records.empty(); }
QString Metafile::problem() const { return m_data ? m_data->problem : QString(); }
int Metafile::recordCount() const { return m_data ? static_cast<int>(m_data->records.size()) : 0; }
bool Metafile::isPlaceable() const { return m_data && m_data->placeable; }
QRectF Metafile::frame() const { return m_data ? m_data->frame : QRectF(); }

bool Metafile::memeDessin(const Metafile &autre) const
{
    if (m_data == autre.m_data)
        return true;
    if (!m_data || !autre.m_data)
        return false;
    const detail::MetafileData &a = *m_data, &b = *autre.m_data;
    // Images, fonts, regions and palettes are all read from the records' words.
    const auto memesRecords = std::equal(a.records.begin(), a.records.end(), b.records.begin(), b.records.end(),
                                         [](const detail::WmfRecord &x, const detail::WmfRecord &y) {
                                             return x.function == y.function && x.offset == y.offset && x.size == y.size;
                                         });
    return memesRecords && a.words == b.words && a.placeable == b.placeable && a.unitsPerInch == b.unitsPerInch &&
           a.windowOrg == b.windowOrg && a.windowExt == b.windowExt && a.viewportExt == b.viewportExt &&
           a.frame == b.frame;
}

void Metafile::play(QPainter &painter, const QRectF &target, Edges edges) const
{
    if (isEmpty() || target.width() == 0 || target.height() == 0)
        return;
    const QRectF &frame = m_data->frame;
    const QTransform deviceToTarget = QTransform::fromTranslate(-frame.x(), -frame.y()) *
                                      QTransform::fromScale(target.width() / frame.width(), target.height() / frame.height()) *
                                      QTransform::fromTranslate(target.x(), target.y());
    const bool smooth = edges == Edges::Smooth;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    painter.setRenderHint(QPainter::TextAntialiasing, smooth);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    detail::MetafilePlayer(*m_data, &painter, deviceToTarget, smooth).play();
    painter.restore();
}

QImage Metafile::toImage(QSize size, QColor background) const
{
    if (size.isEmpty())
        return {};
    QImage image(size, background.alpha() == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(background);
    QPainter painter(&image);
    play(painter, QRectF(QPointF(), QSizeF(size)), Edges::Exact);
    return image;
}

} // namespace tarvenko
