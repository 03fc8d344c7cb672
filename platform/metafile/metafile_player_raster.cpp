#include "platform/metafile/metafile_player.h"

#include <QPainter>

#include "platform/metafile/wmf_format.h"

namespace tarvenko::detail {

namespace {

using namespace tarvenko::wmf;

constexpr int kMaxClipRects = 4096;

QPainter::CompositionMode bitmapMode(std::uint32_t rop)
{
    switch (rop) {
    case SRCAND: return QPainter::RasterOp_SourceAndDestination;
    case SRCPAINT: return QPainter::RasterOp_SourceOrDestination;
    case SRCINVERT: return QPainter::RasterOp_SourceXorDestination;
    case MERGEPAINT: return QPainter::RasterOp_NotSourceOrDestination;
    case 0x00330008: return QPainter::RasterOp_NotSource; // NOTSRCCOPY
    default: return QPainter::CompositionMode_SourceOver;
    }
}

} // namespace

void MetafilePlayer::patBlt(const QRectF &logical, std::uint32_t rop)
{
    touch(logical);
    if (!m_painter)
        return;
    const QRectF device = mapRect(logical);
    m_painter->setPen(Qt::NoPen);
    QBrush brush = makeBrush(m_dc.brush);
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (rop) {
    case BLACKNESS: brush = QBrush(Qt::black); break;
    case WHITENESS: brush = QBrush(Qt::white); break;
    case DSTINVERT:
        brush = QBrush(Qt::white);
        mode = QPainter::RasterOp_NotDestination;
        break;
    case PATINVERT: mode = QPainter::RasterOp_SourceXorDestination; break;
    default:
        if (m_dc.bkMode == OPAQUE && m_dc.brush.style == BS_HATCHED) {
            m_painter->setCompositionMode(mode);
            m_painter->setBrush(colour(m_dc.bkColour));
            m_painter->drawRect(device);
        }
        break;
    }
    if (mode != QPainter::CompositionMode_SourceOver && !m_rasterOps)
        return;
    m_painter->setCompositionMode(mode);
    m_painter->setBrush(brush);
    m_painter->drawRect(device);
}

void MetafilePlayer::bitmap(int image, QRectF dest, QRectF source, std::uint32_t rop, bool sourceFromBottom)
{
    if (static_cast<std::size_t>(image) >= m_data.images.size())
        return;
    touch(dest.normalized());
    if (!m_painter)
        return;
    const DibImage &dib = m_data.images[static_cast<std::size_t>(image)];
    bool flipX = (dest.width() < 0) != (source.width() < 0);
    bool flipY = (dest.height() < 0) != (source.height() < 0);
    dest = dest.normalized();
    source = source.normalized();
    if (sourceFromBottom && dib.bottomUp)
        source.moveTop(dib.image.height() - source.top() - source.height());
    const QRect clipped = source.toRect() & dib.image.rect();
    if (clipped.isEmpty())
        return;
    const QPainter::CompositionMode mode = bitmapMode(rop);
    if (mode != QPainter::CompositionMode_SourceOver && !m_rasterOps)
        return;
    // Mirroring by the mapping itself shows in the device rectangle's corners.
    const QPointF a = map(dest.topLeft()), b = map(dest.bottomRight());
    flipX ^= b.x() < a.x();
    flipY ^= b.y() < a.y();
    dest = QRectF(a, b).normalized();
    if (dest.isEmpty())
        return;
    m_painter->setCompositionMode(mode);
    if (flipX || flipY)
        m_painter->drawImage(dest, dib.image.copy(clipped).mirrored(flipX, flipY));
    else
        m_painter->drawImage(dest, dib.image, source);
}

void MetafilePlayer::region(int index, std::optional<Brush> brush, bool invert)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_objects.size())
        return;
    const Object &o = m_objects[static_cast<std::size_t>(index)];
    if (o.kind != Object::Region)
        return;
    const Brush saved = m_dc.brush;
    for (const QRect &r : m_data.regions[static_cast<std::size_t>(o.index)]) {
        if (invert) {
            patBlt(r, DSTINVERT);
        } else if (brush) {
            m_dc.brush = *brush;
            patBlt(r, PATCOPY);
        }
    }
    m_dc.brush = saved;
    m_brushValid = false;
}

// Clipping ----------------------------------------------------------------------------------

void MetafilePlayer::clipRect(const QRectF &logical, bool exclude)
{
    if (!m_painter)
        return;
    const QRectF t = mapRect(logical.normalized());
    const QRect r(QPoint(qRound(t.left()), qRound(t.top())), QPoint(qRound(t.right()) - 1, qRound(t.bottom()) - 1));
    const QRegion everything(QRect(-(1 << 24), -(1 << 24), 1 << 25, 1 << 25));
    const QRegion current = m_dc.clip ? *m_dc.clip : everything;
    m_dc.clip = exclude ? current.subtracted(r) : current.intersected(r);
    if (m_dc.clip->rectCount() > kMaxClipRects) // endless exclusions: keep the outline only
        m_dc.clip = QRegion(m_dc.clip->boundingRect());
    applyClip();
}

void MetafilePlayer::selectClipRegion(int index)
{
    if (!m_painter)
        return;
    if (index < 0 || static_cast<std::size_t>(index) >= m_objects.size() || m_objects[static_cast<std::size_t>(index)].kind != Object::Region) {
        m_dc.clip.reset();
    } else {
        QRegion clip;
        for (const QRect &r : m_data.regions[static_cast<std::size_t>(m_objects[static_cast<std::size_t>(index)].index)]) {
            const QRectF t = mapRect(QRectF(r));
            clip += QRect(QPoint(qRound(t.left()), qRound(t.top())), QPoint(qRound(t.right()) - 1, qRound(t.bottom()) - 1));
        }
        m_dc.clip = clip;
    }
    applyClip();
}

void MetafilePlayer::applyClip()
{
    if (!m_painter)
        return;
    if (m_callerClip) {
        m_painter->setClipPath(*m_callerClip);
        if (m_dc.clip)
            m_painter->setClipRegion(*m_dc.clip, Qt::IntersectClip);
    } else if (m_dc.clip) {
        m_painter->setClipRegion(*m_dc.clip & m_deviceClip.toAlignedRect());
    } else {
        m_painter->setClipRect(m_deviceClip);
    }
}

} // namespace tarvenko::detail
