#include "platform/metafile/metafile_player.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "platform/metafile/coverage_filler.h"
#include "platform/metafile/metafile_player_limits.h"
#include "platform/metafile/wmf_format.h"

namespace tarvenko::detail {

namespace {

using namespace tarvenko::wmf;

constexpr std::size_t kMaxSavedDCs = 1024;
constexpr std::size_t kMaxObjects = 65535; // object indices are 16-bit

QPainter::CompositionMode rop2Mode(std::uint16_t rop)
{
    switch (rop) {
    case R2_XORPEN: return QPainter::RasterOp_SourceXorDestination;
    case R2_NOTXORPEN: return QPainter::RasterOp_NotSourceXorDestination;
    case R2_MERGEPEN: return QPainter::RasterOp_SourceOrDestination;
    case R2_MASKPEN: return QPainter::RasterOp_SourceAndDestination;
    case R2_NOTCOPYPEN: return QPainter::RasterOp_NotSource;
    case R2_NOT: return QPainter::RasterOp_NotDestination;
    case R2_NOTMERGEPEN: return QPainter::RasterOp_NotSourceAndNotDestination;
    case R2_NOTMASKPEN: return QPainter::RasterOp_NotSourceOrNotDestination;
    case R2_MASKNOTPEN: return QPainter::RasterOp_NotSourceAndDestination;
    case R2_MASKPENNOT: return QPainter::RasterOp_SourceAndNotDestination;
    case R2_MERGENOTPEN: return QPainter::RasterOp_NotSourceOrDestination;
    case R2_MERGEPENNOT: return QPainter::RasterOp_SourceOrNotDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

double unitInches(std::uint16_t mapMode)
{
    switch (mapMode) {
    case MM_LOMETRIC: return 1.0 / 254;
    case MM_HIMETRIC: return 1.0 / 2540;
    case MM_LOENGLISH: return 0.01;
    case MM_HIENGLISH: return 0.001;
    case MM_TWIPS: return 1.0 / 1440;
    default: return 0;
    }
}

Qt::BrushStyle hatchStyle(std::uint16_t hatch)
{
    switch (hatch) {
    case HS_VERTICAL: return Qt::VerPattern;
    case HS_FDIAGONAL: return Qt::FDiagPattern;
    case HS_BDIAGONAL: return Qt::BDiagPattern;
    case HS_CROSS: return Qt::CrossPattern;
    case HS_DIAGCROSS: return Qt::DiagCrossPattern;
    default: return Qt::HorPattern;
    }
}

CoverageFiller::Join coverageJoin(const QPen &pen)
{
    return pen.joinStyle() == Qt::RoundJoin ? CoverageFiller::Join::Round : CoverageFiller::Join::Bevel;
}

CoverageFiller::Cap coverageCap(const QPen &pen)
{
    switch (pen.capStyle()) {
    case Qt::RoundCap: return CoverageFiller::Cap::Round;
    case Qt::FlatCap: return CoverageFiller::Cap::Flat;
    default: return CoverageFiller::Cap::Square;
    }
}

} // namespace

MetafilePlayer::MetafilePlayer(const MetafileData &data, QPainter *painter, const QTransform &deviceToTarget, bool smooth)
    : m_data(data), m_painter(painter), m_deviceToTarget(deviceToTarget), m_smooth(smooth)
{
    m_dc.windowOrg = data.windowOrg;
    m_dc.windowExt = data.windowExt;
    m_dc.viewportExt = data.viewportExt;
    if (m_painter) {
        m_base = m_painter->transform();
        const QRectF target = m_base.mapRect(deviceToTarget.mapRect(data.frame));
        m_maxFontPixels = std::max(16.0, 2 * std::max(target.width(), target.height()));
        m_rasterOps = m_painter->paintEngine() && m_painter->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
        if (m_painter->hasClipping()) {
            m_callerClip = m_painter->clipPath();
        } else if (const QPaintDevice *device = m_painter->device()) {
            // Qt draws one-pixel lines pixel by pixel through its clipping code unless a clip
            // rectangle is set; the whole device as clip changes nothing else.
            m_deviceClip = m_base.inverted().mapRect(QRectF(0, 0, device->width(), device->height()));
            m_painter->setClipRect(m_deviceClip);
        }
        // GDI rounds every point to a device pixel before drawing. Exact playback does the same
        // when the painter's own units are pixels, which also lets Qt use its integer paths.
        m_round = !smooth && m_base.type() <= QTransform::TxTranslate;
        // Smooth shapes of solid colours into an image are filled by the coverage filler: Qt
        // strokes and fills them through general outlines several times slower. A clip from the
        // caller, a rotation or the painter's opacity leave everything to Qt.
        m_toDevice = m_painter->deviceTransform();
        QPaintDevice *device = m_painter->device();
        if (smooth && !m_callerClip && device && device->devType() == QInternal::Image && m_painter->opacity() >= 1 &&
            m_toDevice.type() <= QTransform::TxScale) {
            auto *image = static_cast<QImage *>(device);
            if (CoverageFiller::supports(*image))
                m_filler = std::make_unique<CoverageFiller>(*image, image->rect());
        }
    }
}

MetafilePlayer::~MetafilePlayer() = default;

void MetafilePlayer::play()
{
    for (const WmfRecord &r : m_data.records) {
        m_record = &r;
        dispatch(r);
    }
    m_record = nullptr;
}

std::int16_t MetafilePlayer::s(int i) const { return static_cast<std::int16_t>(u(i)); }

std::uint16_t MetafilePlayer::u(int i) const
{
    if (i < 0 || static_cast<std::uint32_t>(i) >= m_record->size)
        return 0;
    return m_data.words[m_record->offset + static_cast<std::uint32_t>(i)];
}

std::uint32_t MetafilePlayer::u32(int i) const { return u(i) | static_cast<std::uint32_t>(u(i + 1)) << 16; }

QPointF MetafilePlayer::point(int yIndex) const { return {double(s(yIndex + 1)), double(s(yIndex))}; }

QRectF MetafilePlayer::rect(int bottomIndex) const
{
    const double bottom = s(bottomIndex), right = s(bottomIndex + 1), top = s(bottomIndex + 2), left = s(bottomIndex + 3);
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

void MetafilePlayer::dispatch(const WmfRecord &r)
{
    switch (static_cast<Fn>(r.function)) {
    // Device context.
    case Fn::SaveDC: saveDC(); break;
    case Fn::RestoreDC: restoreDC(s(0)); break;
    case Fn::SetMapMode:
        if (u(0) >= MM_TEXT && u(0) <= MM_ANISOTROPIC) {
            m_dc.mapMode = u(0);
            mappingChanged();
        }
        break;
    case Fn::SetWindowOrg: m_dc.windowOrg = point(0); mappingChanged(); break;
    case Fn::SetViewportOrg: m_dc.viewportOrg = point(0); mappingChanged(); break;
    case Fn::OffsetWindowOrg: m_dc.windowOrg += point(0); mappingChanged(); break;
    case Fn::OffsetViewportOrg: m_dc.viewportOrg += point(0); mappingChanged(); break;
    case Fn::SetWindowExt:
    case Fn::SetViewportExt: {
        // Zero extents are refused, as GDI does.
        if (s(0) == 0 || s(1) == 0)
            break;
        (r.function == std::uint16_t(Fn::SetWindowExt) ? m_dc.windowExt : m_dc.viewportExt) = QSizeF(s(1), s(0));
        mappingChanged();
        break;
    }
    case Fn::ScaleWindowExt:
    case Fn::ScaleViewportExt: {
        // yDenom, yNum, xDenom, xNum
        if (s(0) == 0 || s(2) == 0 || s(1) == 0 || s(3) == 0)
            break;
        QSizeF &ext = r.function == std::uint16_t(Fn::ScaleWindowExt) ? m_dc.windowExt : m_dc.viewportExt;
        const QSizeF scaled(ext.width() * s(3) / s(2), ext.height() * s(1) / s(0));
        // Repeated scaling must not wear an extent down to nothing or blow it up.
        const auto sane = [](double v) { return std::abs(v) >= 1e-3 && std::abs(v) <= 1e7; };
        if (sane(scaled.width()) && sane(scaled.height())) {
            ext = scaled;
            mappingChanged();
        }
        break;
    }
    case Fn::SetBkMode: m_dc.bkMode = u(0); break;
    case Fn::SetBkColor: m_dc.bkColour = u32(0); break;
    case Fn::SetTextColor: m_dc.textColour = u32(0); break;
    case Fn::SetTextAlign: m_dc.textAlign = u(0); break;
    case Fn::SetPolyFillMode: m_dc.polyFillMode = u(0); break;
    case Fn::SetRop2:
        m_dc.rop2 = u(0);
        m_penValid = false;
        m_brushValid = false;
        break;
    case Fn::SetTextCharExtra: m_dc.charExtra = s(0); break;
    case Fn::IntersectClipRect: clipRect(rect(0), false); break;
    case Fn::ExcludeClipRect: clipRect(rect(0), true); break;
    case Fn::SelectClipRegion: selectClipRegion(u(0)); break;
    case Fn::OffsetClipRgn:
        if (m_dc.clip) {
            const QTransform &t = transform();
            const QPoint offset(qRound(limited(s(1) * t.m11())), qRound(limited(s(0) * t.m22())));
            const QRect moved = m_dc.clip->boundingRect().translated(offset);
            if (std::max({std::abs(moved.left()), std::abs(moved.right()), std::abs(moved.top()), std::abs(moved.bottom())}) < (1 << 25)) {
                m_dc.clip->translate(offset);
                applyClip();
            }
        }
        break;

    // Objects.
    case Fn::CreatePenIndirect: {
        Object o{Object::Pen};
        if (r.extra == kMalformed)
            o.kind = Object::Other;
        o.pen = {u(0), s(1), u32(3)};
        createObject(o);
        break;
    }
    case Fn::CreateBrushIndirect: {
        Object o{Object::Brush};
        if (r.extra == kMalformed)
            o.kind = Object::Other;
        o.brush = {u(0), u32(1), u(3), -1};
        createObject(o);
        break;
    }
    case Fn::DibCreatePatternBrush: {
        Object o{r.extra >= 0 ? Object::Brush : Object::Other};
        o.brush = {BS_DIBPATTERNPT, 0, 0, r.extra};
        createObject(o);
        break;
    }
    case Fn::CreateFontIndirect: createObject({r.extra >= 0 ? Object::Font : Object::Other, {}, {}, r.extra}); break;
    case Fn::CreatePalette: createObject({r.extra >= 0 ? Object::Palette : Object::Other, {}, {}, r.extra}); break;
    case Fn::CreateRegion: createObject({r.extra >= 0 ? Object::Region : Object::Other, {}, {}, r.extra}); break;
    case Fn::CreatePatternBrush: createObject({Object::Other}); break;
    case Fn::SelectObject:
    case Fn::SelectPalette: selectObject(u(0)); break;
    case Fn::DeleteObject: deleteObject(u(0)); break;

    // Drawing.
    case Fn::MoveTo: m_dc.position = point(0); break;
    case Fn::LineTo: {
        const QPointF from = m_dc.position, to = point(0);
        m_dc.position = to;
        if (m_filler && coverageDraws(false)) {
            const QPointF line[2] = {map(from), map(to)};
            coverageShape(line, 2, false, false, Qt::WindingFill);
            break;
        }
        shape(QRectF(from, to).normalized(), false, [&] {
            const QLineF line(map(from), map(to));
            return [this, line] { m_painter->drawLine(line); };
        });
        break;
    }
    case Fn::Polyline: polyline(false); break;
    case Fn::Polygon: polyline(true); break;
    case Fn::PolyPolygon: polyPolygon(); break;
    case Fn::Rectangle: {
        const QRectF box = rect(0).normalized();
        if (m_filler && coverageDraws(true)) {
            const QRectF d = mapRect(box);
            const QPointF corners[4] = {d.topLeft(), d.topRight(), d.bottomRight(), d.bottomLeft()};
            coverageShape(corners, 4, true, true, Qt::WindingFill);
            break;
        }
        shape(box, true, [&] {
            const QRectF device = mapRect(box);
            return [this, device] { m_painter->drawRect(device); };
        });
        break;
    }
    case Fn::RoundRect: {
        const QRectF box = rect(2).normalized();
        shape(box, true, [&] {
            const QRectF device = mapRect(box);
            const double rx = std::abs(s(1) * transform().m11()) / 2, ry = std::abs(s(0) * transform().m22()) / 2;
            return [this, device, rx, ry] { m_painter->drawRoundedRect(device, rx, ry, Qt::AbsoluteSize); };
        });
        break;
    }
    case Fn::Ellipse: {
        const QRectF box = rect(0).normalized();
        if (m_filler && coverageDraws(true)) {
            CoverageFiller::ellipse(mapRect(box), m_fillerPoints);
            coverageShape(m_fillerPoints.data(), static_cast<int>(m_fillerPoints.size()), true, true, Qt::WindingFill);
            break;
        }
        shape(box, true, [&] {
            const QRectF device = mapRect(box);
            // Whole pixels take Qt's fast ellipse path.
            return [this, device] { m_round ? m_painter->drawEllipse(device.toRect()) : m_painter->drawEllipse(device); };
        });
        break;
    }
    case Fn::Arc: arcFamily(0); break;
    case Fn::Pie: arcFamily(1); break;
    case Fn::Chord: arcFamily(2); break;
    case Fn::SetPixel: {
        const QPointF p = point(2);
        touch(QRectF(p, p));
        if (m_painter) {
            const QPointF t = map(p);
            m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
            m_painter->fillRect(QRectF(std::floor(t.x()), std::floor(t.y()), 1, 1), colour(u32(0)));
        }
        break;
    }
    case Fn::TextOut: {
        const int length = std::max<int>(0, s(0));
        const int after = 1 + (length + 1) / 2;
        text(point(after), decodeText(1, length), {}, 0, std::nullopt);
        break;
    }
    case Fn::ExtTextOut: {
        const int length = std::max<int>(0, s(2));
        const std::uint16_t options = u(3);
        int at = 4;
        std::optional<QRectF> box;
        if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
            box = QRectF(QPointF(s(4), s(5)), QPointF(s(6), s(7))).normalized();
            at = 8;
        }
        const int dxAt = at + (length + 1) / 2;
        std::vector<double> dx;
        if (length > 0 && static_cast<std::uint32_t>(dxAt + length) <= r.size)
            for (int i = 0; i < length; ++i)
                dx.push_back(s(dxAt + i));
        text(point(0), decodeText(static_cast<std::uint32_t>(at), length), dx, options, box);
        break;
    }
    case Fn::PatBlt: patBlt(QRectF(s(5), s(4), s(3), s(2)).normalized(), u32(0)); break;
    case Fn::DibBitBlt:
        if (r.extra >= 0)
            bitmap(r.extra, QRectF(s(7), s(6), s(5), s(4)), QRectF(s(3), s(2), s(5), s(4)), u32(0), false);
        else if (r.size == 9) // no bitmap: a raster operation on the destination
            patBlt(QRectF(s(8), s(7), s(6), s(5)).normalized(), u32(0));
        break;
    case Fn::DibStretchBlt:
        if (r.extra >= 0)
            bitmap(r.extra, QRectF(s(9), s(8), s(7), s(6)), QRectF(s(5), s(4), s(3), s(2)), u32(0), false);
        else if (r.size == 11)
            patBlt(QRectF(s(10), s(9), s(8), s(7)).normalized(), u32(0));
        break;
    case Fn::StretchDib:
        if (r.extra >= 0)
            bitmap(r.extra, QRectF(s(10), s(9), s(8), s(7)), QRectF(s(6), s(5), s(4), s(3)), u32(0), true);
        break;
    case Fn::SetDibToDev:
        if (r.extra >= 0)
            bitmap(r.extra, QRectF(s(8), s(7), s(6), s(5)), QRectF(s(4), s(3), s(6), s(5)), SRCCOPY, true);
        break;
    case Fn::FillRegion: {
        const int brush = u(1);
        if (static_cast<std::size_t>(brush) < m_objects.size() && m_objects[static_cast<std::size_t>(brush)].kind == Object::Brush)
            region(u(0), m_objects[static_cast<std::size_t>(brush)].brush, false);
        break;
    }
    case Fn::PaintRegion: region(u(0), m_dc.brush, false); break;
    case Fn::InvertRegion: region(u(0), std::nullopt, true); break;
    default: break; // escapes, palettes animation, flood fills, old bitmap records: not drawn
    }
}

// Object table ------------------------------------------------------------------------------

void MetafilePlayer::createObject(const Object &o)
{
    // Every creation takes the lowest free slot, whatever its kind.
    while (!m_freeSlots.empty()) {
        const std::size_t slot = m_freeSlots.top();
        m_freeSlots.pop();
        if (m_objects[slot].kind == Object::Free) {
            m_objects[slot] = o;
            return;
        }
    }
    if (m_objects.size() < kMaxObjects)
        m_objects.push_back(o);
}

void MetafilePlayer::selectObject(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_objects.size())
        return;
    const Object &o = m_objects[static_cast<std::size_t>(index)];
    switch (o.kind) {
    case Object::Pen: m_dc.pen = o.pen; m_penValid = false; break;
    case Object::Brush: m_dc.brush = o.brush; m_brushValid = false; break;
    case Object::Font: m_dc.font = o.index; break;
    case Object::Palette:
        m_dc.palette = o.index;
        m_penValid = false;
        m_brushValid = false;
        break;
    case Object::Region: selectClipRegion(index); break;
    default: break;
    }
}

void MetafilePlayer::deleteObject(int index)
{
    // The device context keeps what it has selected; only the slot is freed.
    if (index < 0 || static_cast<std::size_t>(index) >= m_objects.size() ||
        m_objects[static_cast<std::size_t>(index)].kind == Object::Free)
        return;
    m_objects[static_cast<std::size_t>(index)] = Object{};
    m_freeSlots.push(static_cast<std::size_t>(index));
}

void MetafilePlayer::saveDC()
{
    if (m_saved.size() < kMaxSavedDCs)
        m_saved.push_back(m_dc);
}

void MetafilePlayer::restoreDC(int which)
{
    // Negative: relative to the top of the stack; positive: the n-th saved state.
    const auto depth = static_cast<long>(m_saved.size());
    const long target = which < 0 ? depth + which : which - 1;
    if (which == 0 || target < 0 || target >= depth)
        return;
    const bool clipChanged = m_saved[static_cast<std::size_t>(target)].clip != m_dc.clip;
    m_dc = m_saved[static_cast<std::size_t>(target)];
    m_saved.resize(static_cast<std::size_t>(target));
    mappingChanged();
    if (clipChanged)
        applyClip();
}

// Mapping -----------------------------------------------------------------------------------

const QTransform &MetafilePlayer::transform()
{
    if (!m_transformValid) {
        double sx = 1;
        double sy = 1;
        if (const double unit = unitInches(m_dc.mapMode); unit > 0) {
            sx = (m_data.unitsPerInch > 0 ? m_data.unitsPerInch : 96) * unit;
            sy = -sx; // the fixed modes have the y axis up
        } else if (m_dc.mapMode != MM_TEXT) {
            sx = m_dc.viewportExt.width() / m_dc.windowExt.width();
            sy = m_dc.viewportExt.height() / m_dc.windowExt.height();
            if (m_dc.mapMode == MM_ISOTROPIC) {
                const double scale = std::min(std::abs(sx), std::abs(sy));
                sx = std::copysign(scale, sx);
                sy = std::copysign(scale, sy);
            }
        }
        const QTransform logicalToDevice(sx, 0, 0, sy, m_dc.viewportOrg.x() - m_dc.windowOrg.x() * sx,
                                         m_dc.viewportOrg.y() - m_dc.windowOrg.y() * sy);
        m_transform = logicalToDevice * m_deviceToTarget;
        m_transformValid = true;
    }
    return m_transform;
}

QPointF MetafilePlayer::map(QPointF logical)
{
    const QPointF p = transform().map(logical);
    const double x = limited(p.x()), y = limited(p.y());
    return m_round ? QPointF(std::round(x), std::round(y)) : QPointF(x, y);
}

QRectF MetafilePlayer::mapRect(const QRectF &logical)
{
    return QRectF(map(logical.topLeft()), map(logical.bottomRight())).normalized();
}

QColor MetafilePlayer::colour(std::uint32_t colourRef) const
{
    if (colourRef >> 24 == 1) { // palette index
        const std::uint32_t index = colourRef & 0xFFFF;
        if (m_dc.palette < 0 || static_cast<std::size_t>(m_dc.palette) >= m_data.palettes.size())
            return Qt::black;
        const auto &palette = m_data.palettes[static_cast<std::size_t>(m_dc.palette)];
        if (index >= palette.size())
            return Qt::black;
        colourRef = palette[index];
    }
    return QColor(int(colourRef & 0xFF), int(colourRef >> 8 & 0xFF), int(colourRef >> 16 & 0xFF));
}

// Painting ----------------------------------------------------------------------------------

void MetafilePlayer::touch(const QRectF &logical)
{
    if (m_painter)
        return;
    const QRectF r = transform().mapRect(logical);
    if (!m_boundsSet) {
        m_bounds = r;
        m_boundsSet = true;
    } else {
        m_bounds = QRectF(QPointF(std::min(m_bounds.left(), r.left()), std::min(m_bounds.top(), r.top())),
                          QPointF(std::max(m_bounds.right(), r.right()), std::max(m_bounds.bottom(), r.bottom())));
    }
}

QPen MetafilePlayer::makePen(bool gapColour)
{
    const Pen &p = m_dc.pen;
    const std::uint16_t style = p.style & PS_STYLE_MASK;
    if (style == PS_NULL)
        return Qt::NoPen;
    QColor c = gapColour ? colour(m_dc.bkColour) : colour(p.colour);
    if (m_dc.rop2 == R2_BLACK)
        c = Qt::black;
    else if (m_dc.rop2 == R2_WHITE)
        c = Qt::white;
    // GDI scales a pen's width by the horizontal scale; width 0 is one device pixel.
    const QTransform &t = transform();
    const double device = p.width * std::abs(t.m11()) * std::hypot(m_base.m11(), m_base.m12());
    const int width = p.width <= 0 || device < 1.5 ? 0 : static_cast<int>(std::lround(std::min(device, 1e4)));
    QPen pen(c, width);
    pen.setCosmetic(true);
    if (width == 0 && !gapColour && style >= PS_DASH && style <= PS_DASHDOTDOT) {
        static const QList<qreal> patterns[] = {{18, 6}, {3, 3}, {9, 6, 3, 6}, {9, 3, 3, 3, 3, 3}};
        pen.setDashPattern(patterns[style - PS_DASH]);
    }
    // Round ends and joins of pens three pixels wide or less differ from square ones by a pixel
    // at most, and cost Qt twice as much: those are drawn square.
    const bool thin = width <= 3;
    pen.setCapStyle(p.style & PS_ENDCAP_FLAT ? Qt::FlatCap : p.style & PS_ENDCAP_SQUARE || thin ? Qt::SquareCap : Qt::RoundCap);
    pen.setJoinStyle(p.style & PS_JOIN_MITER ? Qt::MiterJoin : p.style & PS_JOIN_BEVEL || thin ? Qt::BevelJoin : Qt::RoundJoin);
    return pen;
}

QBrush MetafilePlayer::makeBrush(const Brush &b)
{
    QColor c = colour(b.colour);
    if (m_dc.rop2 == R2_BLACK)
        c = Qt::black;
    else if (m_dc.rop2 == R2_WHITE)
        c = Qt::white;
    switch (b.style) {
    case BS_NULL: return Qt::NoBrush;
    case BS_HATCHED: return QBrush(c, hatchStyle(b.hatch));
    case BS_DIBPATTERN:
    case BS_DIBPATTERNPT: {
        if (b.image < 0 || static_cast<std::size_t>(b.image) >= m_data.images.size())
            return Qt::NoBrush;
        // Shapes are drawn in device units: pattern pixels are device pixels.
        return QBrush(m_data.images[static_cast<std::size_t>(b.image)].image);
    }
    default: return QBrush(c);
    }
}

bool MetafilePlayer::dashed() const
{
    const std::uint16_t style = m_dc.pen.style & PS_STYLE_MASK;
    return style >= PS_DASH && style <= PS_DASHDOTDOT;
}

template <typename Geometry>
void MetafilePlayer::shape(const QRectF &logicalBounds, bool filled, Geometry geometry)
{
    touch(logicalBounds);
    if (!m_painter || m_dc.rop2 == R2_NOP)
        return;
    const auto draw = geometry();
    m_painter->setCompositionMode(m_rasterOps ? rop2Mode(m_dc.rop2) : QPainter::CompositionMode_SourceOver);

    const bool opaque = m_dc.bkMode == OPAQUE;
    if (filled && opaque && m_dc.brush.style == BS_HATCHED) {
        // Opaque background: the gaps between hatch lines take the background colour.
        m_painter->setPen(Qt::NoPen);
        m_painter->setBrush(colour(m_dc.bkColour));
        draw();
    }
    if (!filled) {
        m_painter->setBrush(Qt::NoBrush);
    } else {
        if (!m_brushValid) {
            m_brush = makeBrush(m_dc.brush);
            m_brushValid = true;
        }
        m_painter->setBrush(m_brush);
    }
    if (opaque && dashed() && (m_dc.pen.style & PS_STYLE_MASK) != PS_NULL) {
        m_painter->setPen(makePen(true));
        draw();
        m_painter->setBrush(Qt::NoBrush);
    }
    if (!m_penValid) {
        m_pen = makePen(false);
        m_penValid = true;
    }
    m_painter->setPen(m_pen);
    draw();
}

void MetafilePlayer::polyline(bool closed)
{
    const int count = std::max<int>(0, s(0));
    m_points.resize(static_cast<std::size_t>(count));
    double left = 0, top = 0, right = 0, bottom = 0;
    for (int i = 0; i < count; ++i) {
        const double x = s(1 + 2 * i), y = s(2 + 2 * i);
        m_points[static_cast<std::size_t>(i)] = {x, y};
        left = i ? std::min(left, x) : x;
        right = i ? std::max(right, x) : x;
        top = i ? std::min(top, y) : y;
        bottom = i ? std::max(bottom, y) : y;
    }
    if (count == 0)
        return;
    const QRectF bounds(QPointF(left, top), QPointF(right, bottom));
    const Qt::FillRule rule = m_dc.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
    if (m_filler && coverageDraws(closed)) {
        for (QPointF &p : m_points)
            p = map(p);
        coverageShape(m_points.data(), count, closed, closed, rule);
        return;
    }
    shape(bounds, closed, [&] {
        if (m_round) {
            m_devicePoints.resize(m_points.size());
            for (std::size_t i = 0; i < m_points.size(); ++i)
                m_devicePoints[i] = map(m_points[i]).toPoint();
        } else {
            for (QPointF &p : m_points)
                p = map(p);
        }
        return [this, count, rule, closed] {
            if (m_round)
                closed ? m_painter->drawPolygon(m_devicePoints.data(), count, rule) : m_painter->drawPolyline(m_devicePoints.data(), count);
            else
                closed ? m_painter->drawPolygon(m_points.data(), count, rule) : m_painter->drawPolyline(m_points.data(), count);
        };
    });
}

void MetafilePlayer::polyPolygon()
{
    const int polygons = u(0);
    QPainterPath path;
    path.setFillRule(m_dc.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    int at = 1 + polygons;
    QRectF bounds;
    for (int k = 0; k < polygons; ++k) {
        const int count = u(1 + k);
        for (int i = 0; i < count; ++i) {
            const QPointF logical(s(at), s(at + 1));
            bounds |= QRectF(logical, QSizeF(1, 1));
            const QPointF p = m_painter ? map(logical) : logical;
            at += 2;
            i == 0 ? path.moveTo(p) : path.lineTo(p);
        }
        if (count > 0)
            path.closeSubpath();
    }
    if (path.isEmpty())
        return;
    if (m_filler && coverageDraws(true)) {
        m_fillerOutlines = path.toSubpathPolygons();
        coverageShape(m_fillerOutlines, true, true, path.fillRule());
        return;
    }
    shape(bounds.adjusted(0, 0, -1, -1), true, [&] { return [this, &path] { m_painter->drawPath(path); }; });
}

void MetafilePlayer::arcFamily(int kind)
{
    // The arc runs counter-clockwise on the device from the ray through the start point to the
    // ray through the end point, so it is built in target coordinates.
    const QRectF logicalBox = rect(4).normalized();
    const QRectF box = mapRect(logicalBox);
    const QPointF start = map(point(2)), end = map(point(0));
    const QPointF c = box.center();
    const double rx = box.width() / 2, ry = box.height() / 2;
    const auto angle = [&](QPointF p) {
        if (rx <= 0 || ry <= 0)
            return 0.0;
        return std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx) * 180 / M_PI;
    };
    const double a0 = angle(start);
    double sweep = angle(end) - a0;
    while (sweep <= 0)
        sweep += 360;
    if (m_filler && coverageDraws(kind != 0)) {
        // The arc as a polygon as close to the curve as an ellipse's, from the centre for a pie.
        CoverageFiller::arc(box, a0 * M_PI / 180, sweep * M_PI / 180, m_fillerPoints);
        if (kind == 1)
            m_fillerPoints.insert(m_fillerPoints.begin(), c);
        coverageShape(m_fillerPoints.data(), static_cast<int>(m_fillerPoints.size()), kind != 0, kind != 0, Qt::WindingFill);
        return;
    }
    QPainterPath path;
    if (kind == 1) {
        path.moveTo(c);
        path.arcTo(box, a0, sweep);
        path.closeSubpath();
    } else {
        path.arcMoveTo(box, a0);
        path.arcTo(box, a0, sweep);
        if (kind == 2)
            path.closeSubpath();
    }
    shape(logicalBox, kind != 0, [&] { return [this, &path] { m_painter->drawPath(path); }; });
}

// Coverage filler -----------------------------------------------------------------------------

bool MetafilePlayer::coverageDraws(bool filled)
{
    if (m_dc.clip || (m_dc.rop2 != R2_COPYPEN && m_dc.rop2 != R2_BLACK && m_dc.rop2 != R2_WHITE))
        return false;
    if (filled && m_dc.brush.style != BS_SOLID && m_dc.brush.style != BS_NULL)
        return false;
    const std::uint16_t penStyle = m_dc.pen.style & PS_STYLE_MASK;
    if (penStyle != PS_SOLID && penStyle != PS_INSIDEFRAME && penStyle != PS_NULL)
        return false;
    if (!m_penValid) {
        m_pen = makePen(false);
        m_penValid = true;
    }
    if (m_pen.style() != Qt::NoPen && m_pen.joinStyle() == Qt::MiterJoin)
        return false;
    // Qt fills plain shapes and draws one-pixel outlines about as fast as the filler: only
    // shapes drawn with a wider pen, which Qt strokes through curves and a general outline
    // several times slower, are worth drawing here.
    if (!coverageForEveryShape && (m_pen.style() == Qt::NoPen || m_pen.widthF() < 2))
        return false;
    if (filled && !m_brushValid) {
        m_brush = makeBrush(m_dc.brush);
        m_brushValid = true;
    }
    return true;
}

int MetafilePlayer::coverageDevice(const QPointF *points, qsizetype count)
{
    m_fillerDevice.resize(static_cast<std::size_t>(std::max<qsizetype>(0, count)));
    for (std::size_t i = 0; i < m_fillerDevice.size(); ++i)
        m_fillerDevice[i] = m_toDevice.map(points[i]);
    return static_cast<int>(m_fillerDevice.size());
}

bool MetafilePlayer::coverageFills(bool filled) const { return filled && m_brush.style() == Qt::SolidPattern; }

void MetafilePlayer::coverageFill(Qt::FillRule rule)
{
    m_filler->fill(m_brush.color().rgb(), rule == Qt::WindingFill ? CoverageFiller::Rule::NonZero : CoverageFiller::Rule::OddEven);
}

void MetafilePlayer::coverageStroke(int count, bool closed)
{
    if (m_pen.style() != Qt::NoPen)
        m_filler->stroke(m_fillerDevice.data(), count, std::max(1.0, m_pen.widthF()), closed, coverageJoin(m_pen), coverageCap(m_pen),
                         m_pen.color().rgb());
}

void MetafilePlayer::coverageShape(const QPointF *points, int count, bool filled, bool closed, Qt::FillRule rule)
{
    const int n = coverageDevice(points, count);
    if (coverageFills(filled)) {
        m_filler->addPolygon(m_fillerDevice.data(), n);
        coverageFill(rule);
    }
    coverageStroke(n, closed);
}

void MetafilePlayer::coverageShape(const QList<QPolygonF> &outlines, bool filled, bool closed, Qt::FillRule rule)
{
    // The outlines are filled as one shape, then each is outlined.
    if (coverageFills(filled)) {
        for (const QPolygonF &outline : outlines) {
            const int n = coverageDevice(outline.constData(), outline.size());
            m_filler->addPolygon(m_fillerDevice.data(), n);
        }
        coverageFill(rule);
    }
    for (const QPolygonF &outline : outlines)
        coverageStroke(coverageDevice(outline.constData(), outline.size()), closed);
}

} // namespace tarvenko::detail
