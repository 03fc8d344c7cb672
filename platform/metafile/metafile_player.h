#pragma once

#include <QColor>
#include <QFont>
#include <QPen>
#include <QBrush>
#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>
#include <QRegion>
#include <QSizeF>
#include <QTransform>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <queue>
#include <vector>

#include "platform/metafile/metafile_data.h"

class QPainter;

namespace tarvenko::detail {

class CoverageFiller;

// Plays the records of a parsed metafile: a device context (mapping, selected objects, modes,
// clip, current position), the object table and the drawing records. Without a painter it only
// measures what the records draw, in reference device units. The records, the device context and
// the shapes are in metafile_player.cpp, pattern fills, bitmaps, regions and clipping in
// metafile_player_raster.cpp, text in metafile_player_text.cpp.
class MetafilePlayer {
public:
    // `deviceToTarget` maps reference device units to the painter's coordinates.
    MetafilePlayer(const MetafileData &data, QPainter *painter, const QTransform &deviceToTarget, bool smooth);
    ~MetafilePlayer();
    MetafilePlayer(const MetafilePlayer &) = delete;
    MetafilePlayer &operator=(const MetafilePlayer &) = delete;

    void play();

    // Smooth playing into an image draws only shapes with wide outlines with the coverage
    // filler, where it pays; true: every shape it can draw (to compare it with Qt).
    static inline bool coverageForEveryShape = false;
    // Bounds of everything drawn, in target coordinates (measuring mode).
    QRectF bounds() const { return m_bounds; }

private:
    struct Pen {
        std::uint16_t style = 0;
        int width = 0;
        std::uint32_t colour = 0;
    };
    struct Brush {
        std::uint16_t style = 0;
        std::uint32_t colour = 0xFFFFFF;
        std::uint16_t hatch = 0;
        int image = -1;
    };
    struct Object {
        enum Kind { Free, Pen, Brush, Font, Palette, Region, Other } kind = Free;
        MetafilePlayer::Pen pen;
        MetafilePlayer::Brush brush;
        int index = -1; // font, palette or region
    };
    struct DC {
        std::uint16_t mapMode = 8; // anisotropic
        QPointF windowOrg;
        QSizeF windowExt{1, 1};
        QPointF viewportOrg;
        QSizeF viewportExt{1, 1};
        MetafilePlayer::Pen pen;
        MetafilePlayer::Brush brush;
        int font = -1;
        int palette = -1;
        std::uint16_t bkMode = 2; // opaque
        std::uint32_t bkColour = 0xFFFFFF;
        std::uint32_t textColour = 0;
        std::uint16_t textAlign = 0;
        std::uint16_t polyFillMode = 1; // alternate
        std::uint16_t rop2 = 13;        // copy pen
        int charExtra = 0;
        std::optional<QRegion> clip; // target coordinates; none: no clipping
        QPointF position;
    };

    // Parameter access, 0 past the end of the record.
    std::int16_t s(int i) const;
    std::uint16_t u(int i) const;
    std::uint32_t u32(int i) const;

    void dispatch(const WmfRecord &r);
    void createObject(const Object &o);
    void selectObject(int index);
    void deleteObject(int index);
    void saveDC();
    void restoreDC(int which);

    const QTransform &transform();
    void mappingChanged()
    {
        m_transformValid = false;
        m_penValid = false;
        m_brushValid = false;
    }
    QColor colour(std::uint32_t colourRef) const;
    QPointF point(int yIndex) const;    // a (y, x) pair from yIndex: the format stores them reversed
    QRectF rect(int bottomIndex) const; // bottom, right, top, left from bottomIndex

    // Painting. In measuring mode (no painter) the drawing functions only extend the bounds.
    void touch(const QRectF &logical);
    // Draws with the device context's pen and brush: `geometry` maps the shape to device
    // coordinates and returns the call that draws it (possibly twice: opaque gaps).
    template <typename Geometry> void shape(const QRectF &logicalBounds, bool filled, Geometry geometry);
    QPointF map(QPointF logical);
    QRectF mapRect(const QRectF &logical);
    QPen makePen(bool gapColour);
    QBrush makeBrush(const Brush &b);
    bool dashed() const;
    void applyClip();

    // Smooth playing into an image: whether the coverage filler draws a shape with the device
    // context's pen and brush exactly as Qt would (solid colours, copied, no clip region, no
    // dashes); the pen and brush are made current if so.
    bool coverageDraws(bool filled);
    // A shape drawn by the coverage filler, its outlines in the painter's coordinates: filled
    // under `rule` (when `filled`), then outlined with the pen (closed or open).
    void coverageShape(const QList<QPolygonF> &outlines, bool filled, bool closed, Qt::FillRule rule);
    void coverageShape(const QPointF *points, int count, bool filled, bool closed, Qt::FillRule rule);
    // Its parts: points mapped to the image's pixels (into m_fillerDevice, their count returned);
    // whether the brush fills; the fill of what was added; the pen along the mapped points.
    int coverageDevice(const QPointF *points, qsizetype count);
    bool coverageFills(bool filled) const;
    void coverageFill(Qt::FillRule rule);
    void coverageStroke(int count, bool closed);
    void polyline(bool closed);
    void polyPolygon();
    void arcFamily(int kind); // 0 arc, 1 pie, 2 chord
    void text(QPointF anchor, const QString &text, const std::vector<double> &dx, std::uint16_t options,
              std::optional<QRectF> box);
    QString decodeText(std::uint32_t wordOffset, int bytes) const;
    QFont font(double &ascent, double &descent);
    void patBlt(const QRectF &logical, std::uint32_t rop);
    void bitmap(int image, QRectF dest, QRectF source, std::uint32_t rop, bool sourceFromBottom);
    void region(int index, std::optional<Brush> brush, bool invert);
    void selectClipRegion(int index);
    void clipRect(const QRectF &logical, bool exclude);

    const MetafileData &m_data;
    QPainter *m_painter;
    QTransform m_deviceToTarget;
    QTransform m_base; // the painter's transform on entry
    bool m_smooth;
    bool m_rasterOps = false;
    std::optional<QPainterPath> m_callerClip;
    QRectF m_deviceClip;
    // The font of the last text, as long as nothing that shapes it changes.
    struct CachedFont {
        int index;
        int charExtra;
        double xScale;
        double yScale;
        QFont font;
        double ascent;
        double descent;
    };
    std::optional<CachedFont> m_font;

    const WmfRecord *m_record = nullptr;
    DC m_dc;
    std::vector<DC> m_saved;
    std::vector<Object> m_objects;
    std::priority_queue<std::size_t, std::vector<std::size_t>, std::greater<>> m_freeSlots;
    double m_maxFontPixels = 4096;

    QTransform m_transform;
    bool m_transformValid = false;
    bool m_penValid = false;
    bool m_brushValid = false;
    QPen m_pen;
    QBrush m_brush;
    bool m_round = false; // device coordinates rounded to whole pixels
    std::vector<QPointF> m_points;
    std::vector<QPoint> m_devicePoints;
    QRectF m_bounds;
    bool m_boundsSet = false;
    std::unique_ptr<CoverageFiller> m_filler; // smooth playing into an image only
    QTransform m_toDevice;                    // the painter's coordinates to the image's pixels
    std::vector<QPointF> m_fillerPoints;
    std::vector<QPointF> m_fillerDevice;
    QList<QPolygonF> m_fillerOutlines;
};

} // namespace tarvenko::detail
