// Smooth playing into an image fills solid shapes by exact coverage: each kind of shape, thin and
// wide pens, both fill rules, edges and far beyond, against Qt's own antialiased rendering of
// the same records; and the pixel coverage itself against exact areas.
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTest>

#include <cmath>
#include <functional>
#include <random>

#include "metafile_test_support.h"
#include "platform/metafile/coverage_filler.h"
#include "platform/metafile/metafile_player.h"

using namespace tarvenko;
using namespace tarvenko::test;
using detail::CoverageFiller;

namespace {

QImage white(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

int channelDifference(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// How far two renderings are apart: the largest channel difference, how many pixels differ by
// more than a quarter (64), and the ink of each (what every channel lost from white, summed).
struct Comparison {
    int largest = 0;
    int overQuarter = 0;
    double ink = 0;
    double qtInk = 0;
    QString text() const
    {
        return QStringLiteral("largest %1, %2 pixels over a quarter, ink %3 against Qt's %4 (%5 %)")
            .arg(largest)
            .arg(overQuarter)
            .arg(ink)
            .arg(qtInk)
            .arg(qtInk > 0 ? 100 * (ink - qtInk) / qtInk : 0.0, 0, 'f', 3);
    }
    double inkRatio() const { return qtInk > 0 ? ink / qtInk : (ink == 0 ? 1 : 2); }
};

Comparison compare(const QImage &ours, const QImage &qt)
{
    Comparison c;
    for (int y = 0; y < ours.height(); ++y) {
        const auto *a = reinterpret_cast<const QRgb *>(ours.constScanLine(y));
        const auto *b = reinterpret_cast<const QRgb *>(qt.constScanLine(y));
        for (int x = 0; x < ours.width(); ++x) {
            const int d = channelDifference(a[x], b[x]);
            c.largest = std::max(c.largest, d);
            c.overQuarter += d > 64;
            c.ink += 765 - qRed(a[x]) - qGreen(a[x]) - qBlue(a[x]);
            c.qtInk += 765 - qRed(b[x]) - qGreen(b[x]) - qBlue(b[x]);
        }
    }
    return c;
}

// The same records played smooth through the filler and through Qt: a clip from the caller
// leaves everything to Qt.
std::pair<QImage, QImage> bothWays(const Metafile &m, QSize size)
{
    QImage filler = white(size), qt = white(size);
    {
        QPainter painter(&filler);
        m.play(painter, QRectF(QPointF(), QSizeF(size)), Metafile::Edges::Smooth);
    }
    {
        QPainter painter(&qt);
        painter.setClipRect(QRect(QPoint(), size));
        m.play(painter, QRectF(QPointF(), QSizeF(size)), Metafile::Edges::Smooth);
    }
    return {filler, qt};
}

void dump(const QString &name, const QImage &ours, const QImage &qt)
{
    const QString folder = qEnvironmentVariable("TARVENKO_COVERAGE_PNG");
    if (folder.isEmpty())
        return;
    ours.save(folder + QLatin1Char('/') + name + QStringLiteral("-filler.png"));
    qt.save(folder + QLatin1Char('/') + name + QStringLiteral("-qt.png"));
}

using Records = std::function<void(WmfWriter &)>;

// A random polygon of `points` corners over the frame and a little beyond it: it crosses itself.
std::vector<WmfPoint> randomPolygon(unsigned seed, int points)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> coordinate(-100, 1100);
    std::vector<WmfPoint> polygon;
    for (int i = 0; i < points; ++i)
        polygon.push_back({static_cast<std::int16_t>(coordinate(random)), static_cast<std::int16_t>(coordinate(random))});
    return polygon;
}

} // namespace

Q_DECLARE_METATYPE(Records)

class CoverageTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The filler draws every shape it can, not only those with wide outlines.
    void initTestCase() { detail::MetafilePlayer::coverageForEveryShape = true; }

    void coverageIsTheAreaOfEachPixelInside_data()
    {
        QTest::addColumn<QRectF>("box");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<double>("area");
        QTest::newRow("whole pixels inside") << QRectF(2, 2, 4, 4) << QPoint(3, 3) << 1.0;
        QTest::newRow("corner of whole pixels") << QRectF(2, 2, 4, 4) << QPoint(2, 2) << 1.0;
        QTest::newRow("just outside") << QRectF(2, 2, 4, 4) << QPoint(6, 3) << 0.0;
        QTest::newRow("half a pixel left") << QRectF(2.5, 2, 4, 4) << QPoint(2, 3) << 0.5;
        QTest::newRow("a quarter at a corner") << QRectF(2.5, 2.5, 4, 4) << QPoint(2, 2) << 0.25;
        QTest::newRow("thinner than a pixel") << QRectF(2.25, 2, 0.5, 4) << QPoint(2, 3) << 0.5;
        QTest::newRow("right edge within a pixel") << QRectF(2, 2, 3.75, 4) << QPoint(5, 3) << 0.75;
        QTest::newRow("left of the image") << QRectF(-3, 2, 3.5, 4) << QPoint(0, 3) << 0.5;
        QTest::newRow("far beyond every side") << QRectF(-4e6, -4e6, 8e6, 8e6) << QPoint(9, 9) << 1.0;
    }
    void coverageIsTheAreaOfEachPixelInside()
    {
        QFETCH(QRectF, box);
        QFETCH(QPoint, pixel);
        QFETCH(double, area);
        QImage image = white(QSize(10, 10));
        CoverageFiller filler(image, image.rect());
        const QPointF square[4] = {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft()};
        filler.addPolygon(square, 4);
        filler.fill(qRgb(0, 0, 0), CoverageFiller::Rule::NonZero);
        // Black over white: the grey level is 255 times the part not covered.
        QVERIFY2(std::abs(qRed(image.pixel(pixel)) - 255 * (1 - area)) <= 1.0, qPrintable(QString::number(qRed(image.pixel(pixel)))));
    }

    void aSlantedEdgeCoversEachPixelByItsArea()
    {
        // A triangle whose long side crosses several pixels of each row: the pixels it cuts
        // hold their exact area, and the row's coverage adds up to the triangle's width there.
        QImage image = white(QSize(20, 4));
        CoverageFiller filler(image, image.rect());
        const QPointF triangle[3] = {{0, 0}, {16, 4}, {0, 4}};
        filler.addPolygon(triangle, 3);
        filler.fill(qRgb(0, 0, 0), CoverageFiller::Rule::NonZero);
        for (int row = 0; row < 4; ++row) {
            double covered = 0;
            for (int x = 0; x < 20; ++x)
                covered += (255 - qRed(image.pixel(x, row))) / 255.0;
            const double expected = 4 * (row + 0.5); // the mean width over the row
            QVERIFY2(std::abs(covered - expected) < 0.05, qPrintable(QStringLiteral("row %1: %2").arg(row).arg(covered)));
        }
        // Pixel (1, 0): under the edge y = x / 4 between x = 1 and 2, the area below it is 1 - 1.5 / 4.
        QVERIFY(std::abs((255 - qRed(image.pixel(1, 0))) / 255.0 - (1 - 1.5 / 4)) < 0.01);
    }

    void twoFillsLeaveEachOthersPixelsAlone()
    {
        QImage image = white(QSize(20, 20));
        CoverageFiller filler(image, image.rect());
        const QPointF a[3] = {{1, 1}, {9, 1}, {1, 9}};
        filler.addPolygon(a, 3);
        filler.fill(qRgb(255, 0, 0), CoverageFiller::Rule::NonZero);
        const QImage afterFirst = image;
        const QPointF b[4] = {{12, 12}, {18, 12}, {18, 18}, {12, 18}};
        filler.addPolygon(b, 4);
        filler.fill(qRgb(0, 0, 255), CoverageFiller::Rule::NonZero);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                if (x < 12 || y < 12)
                    QCOMPARE(image.pixel(x, y), afterFirst.pixel(x, y));
        QCOMPARE(count(image, kBlue), 36);
        // Not a number and the infinities draw nothing.
        const QPointF bad[3] = {{NAN, 0}, {INFINITY, 5}, {0, -INFINITY}};
        filler.addPolygon(bad, 3);
        filler.fill(qRgb(0, 255, 0), CoverageFiller::Rule::NonZero);
        QCOMPARE(count(image, wmf::rgb(0, 255, 0)), 0);
    }

    void recordsMatchQtsAntialiasedDrawing_data()
    {
        QTest::addColumn<Records>("records");
        QTest::addColumn<int>("largest");
        QTest::addColumn<double>("inkTolerance");

        const auto pen = [](WmfWriter &w, int width, std::uint32_t colour = kBlue) {
            w.selectObject(w.createPen(wmf::PS_SOLID, static_cast<std::int16_t>(width), colour));
        };
        const auto brush = [](WmfWriter &w, std::uint32_t colour = kYellow) { w.selectObject(w.createBrush(wmf::BS_SOLID, colour)); };
        const auto noPen = [](WmfWriter &w) { w.selectObject(w.createPen(wmf::PS_NULL, 0, 0)); };
        const auto noBrush = [](WmfWriter &w) { w.selectObject(w.createBrush(wmf::BS_NULL, 0)); };
        const std::vector<WmfPoint> triangle{{100, 120}, {910, 230}, {170, 860}};
        const std::vector<WmfPoint> star{{500, 50}, {780, 900}, {60, 360}, {940, 360}, {220, 900}};
        const std::vector<WmfPoint> zigzag{{80, 500}, {300, 900}, {420, 180}, {640, 820}, {900, 120}};

        // Fills alone: their edges must agree closely.
        QTest::newRow("convex fill") << Records([=](WmfWriter &w) { noPen(w); brush(w); w.polygon(triangle); }) << 40 << 0.002;
        QTest::newRow("star, alternate") << Records([=](WmfWriter &w) { noPen(w); brush(w); w.polygon(star); }) << 40 << 0.002;
        QTest::newRow("star, winding") << Records([=](WmfWriter &w) {
            noPen(w);
            brush(w);
            w.setPolyFillMode(wmf::WINDING).polygon(star);
        }) << 40 << 0.002;
        for (unsigned seed = 1; seed <= 6; ++seed) {
            QTest::newRow(qPrintable(QStringLiteral("random polygon %1, alternate").arg(seed)))
                << Records([=](WmfWriter &w) { noPen(w); brush(w, kBlue); w.polygon(randomPolygon(seed, 9)); }) << 64 << 0.005;
            QTest::newRow(qPrintable(QStringLiteral("random polygon %1, winding").arg(seed)))
                << Records([=](WmfWriter &w) {
                       noPen(w);
                       brush(w, kBlue);
                       w.setPolyFillMode(wmf::WINDING).polygon(randomPolygon(seed, 9));
                   })
                << 64 << 0.005;
        }
        QTest::newRow("rectangle, fractional") << Records([=](WmfWriter &w) { noPen(w); brush(w); w.rectangle({13, 27, 871, 655}); }) << 40 << 0.002;
        QTest::newRow("ellipse fill") << Records([=](WmfWriter &w) { noPen(w); brush(w); w.ellipse({100, 150, 870, 700}); }) << 40 << 0.003;
        QTest::newRow("ring, alternate") << Records([=](WmfWriter &w) {
            noPen(w);
            brush(w, kGreen);
            w.polyPolygon({{{100, 100}, {900, 100}, {900, 900}, {100, 900}}, {{300, 300}, {700, 300}, {700, 700}, {300, 700}}});
        }) << 40 << 0.002;
        QTest::newRow("ring, winding") << Records([=](WmfWriter &w) {
            noPen(w);
            brush(w, kGreen);
            w.setPolyFillMode(wmf::WINDING);
            w.polyPolygon({{{100, 100}, {900, 100}, {900, 900}, {100, 900}}, {{300, 300}, {700, 300}, {700, 700}, {300, 700}}});
        }) << 40 << 0.002;

        // Outlines: Qt draws one-pixel lines with its own line walker and joins with curves, so
        // edge pixels differ more; the ink stays within half a percent.
        for (const int width : {0, 15, 25, 60, 150}) {
            const QString name = QStringLiteral(" %1").arg(width);
            QTest::newRow(qPrintable(QStringLiteral("filled triangle, pen") + name))
                << Records([=](WmfWriter &w) { pen(w, width); brush(w); w.polygon(triangle); }) << 160 << 0.005;
            QTest::newRow(qPrintable(QStringLiteral("polyline, pen") + name))
                << Records([=](WmfWriter &w) { pen(w, width); w.polyline(zigzag); }) << 160 << 0.005;
            QTest::newRow(qPrintable(QStringLiteral("ellipse, pen") + name))
                << Records([=](WmfWriter &w) { pen(w, width); brush(w, kGreen); w.ellipse({150, 100, 850, 600}); }) << 160 << 0.005;
            // Two-pixel lines alone: every pixel of them is an edge pixel, a few levels apart from
            // Qt's (its cells are 1/256 pixel), which adds up to more than half a percent.
            QTest::newRow(qPrintable(QStringLiteral("star outline, pen") + name))
                << Records([=](WmfWriter &w) { pen(w, width); noBrush(w); w.polygon(star); }) << 160 << (width == 15 ? 0.01 : 0.005);
        }
        QTest::newRow("pie") << Records([=](WmfWriter &w) {
            pen(w, 40);
            brush(w, kRed);
            w.pie({100, 100, 900, 900}, {900, 500}, {500, 100});
        }) << 160 << 0.005;
        QTest::newRow("chord") << Records([=](WmfWriter &w) {
            pen(w, 0);
            brush(w, kRed);
            w.chord({100, 100, 900, 700}, {100, 400}, {900, 300});
        }) << 160 << 0.005;
        // Qt strokes the curve itself, its outline flattened into chords that lie within it.
        QTest::newRow("arc") << Records([=](WmfWriter &w) { pen(w, 60); w.arc({100, 100, 900, 900}, {900, 500}, {100, 500}); })
                             << 160 << 0.015;
        QTest::newRow("lines") << Records([=](WmfWriter &w) {
            pen(w, 25);
            w.moveTo(50, 50).lineTo(950, 400).lineTo(950, 950);
            pen(w, 0, kRed);
            w.moveTo(950, 50).lineTo(50, 700);
        }) << 160 << 0.005;

        // Across the image's edges and far beyond them: only what is inside shows.
        QTest::newRow("across every edge") << Records([=](WmfWriter &w) {
            pen(w, 60);
            brush(w);
            w.polygon({{-300, 500}, {500, -400}, {1300, 500}, {500, 1400}});
        }) << 160 << 0.005;
        QTest::newRow("far beyond") << Records([=](WmfWriter &w) {
            pen(w, 60);
            brush(w);
            w.polygon({{-32000, -32000}, {32000, -31000}, {500, 32000}});
            w.polyline({{-32000, 500}, {32000, 520}});
        }) << 160 << 0.005;
        QTest::newRow("wholly outside") << Records([=](WmfWriter &w) {
            pen(w, 60);
            brush(w);
            w.polygon({{-3000, -3000}, {-2000, -3000}, {-2500, -2000}});
            w.ellipse({2000, 2000, 3000, 3000});
        }) << 0 << 0.0;

        // Degenerate shapes.
        QTest::newRow("zero area") << Records([=](WmfWriter &w) {
            noPen(w);
            brush(w);
            w.polygon({{100, 100}, {500, 500}, {900, 900}});
            w.rectangle({300, 300, 300, 800});
        }) << 0 << 0.0;
        QTest::newRow("repeated points") << Records([=](WmfWriter &w) {
            pen(w, 60);
            brush(w);
            w.polygon({{100, 100}, {100, 100}, {800, 200}, {800, 200}, {800, 200}, {300, 800}, {100, 100}});
        }) << 160 << 0.005;
        QTest::newRow("there and back") << Records([=](WmfWriter &w) { pen(w, 60); w.polyline({{100, 500}, {900, 500}, {100, 500}}); })
                                        << 160 << 0.01;
    }
    void recordsMatchQtsAntialiasedDrawing()
    {
        QFETCH(Records, records);
        QFETCH(int, largest);
        QFETCH(double, inkTolerance);
        WmfWriter w;
        w.setWindowExt(1000, 1000);
        records(w);
        const auto [ours, qt] = bothWays(parsed(w), QSize(150, 130));
        const Comparison c = compare(ours, qt);
        dump(QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')).remove(QLatin1Char(',')), ours, qt);
        QVERIFY2(c.largest <= largest && std::abs(c.inkRatio() - 1) <= inkTolerance, qPrintable(c.text()));
    }

    void degenerateShapesDrawNothingOrADot()
    {
        // One point and a line of no length: nothing under a thin pen, never a crash, never ink
        // outside the dot.
        WmfWriter w;
        w.setWindowExt(100, 100);
        w.selectObject(w.createPen(wmf::PS_SOLID, 10, kBlue));
        w.polygon({{50, 50}});
        w.polyline({{20, 20}, {20, 20}});
        w.moveTo(70, 70).lineTo(70, 70);
        const auto [ours, qt] = bothWays(parsed(w), QSize(100, 100));
        QVERIFY(extent(ours, kBlue).isEmpty() || QRect(10, 10, 70, 70).contains(extent(ours, kBlue)));
        QVERIFY(count(ours, kBlue) <= 3 * 100);
    }

    void whatTheFillerCannotDrawIsLeftToQt()
    {
        // A hatched brush, a dashed pen, a raster operation and a clip region: Qt's pixels, exactly.
        WmfWriter w;
        w.setWindowExt(100, 100);
        w.selectObject(w.createPen(wmf::PS_DASH, 0, kBlack));
        w.selectObject(w.createBrush(wmf::BS_HATCHED, kRed, wmf::HS_CROSS));
        w.polygon({{10, 10}, {90, 20}, {40, 90}});
        w.selectObject(w.createPen(wmf::PS_SOLID, 3, kBlue));
        w.setRop2(wmf::R2_XORPEN).polyline({{5, 50}, {95, 55}});
        w.setRop2(wmf::R2_COPYPEN).intersectClipRect({20, 20, 60, 60}).polyline({{0, 0}, {100, 100}});
        const auto [ours, qt] = bothWays(parsed(w), QSize(100, 100));
        QCOMPARE(ours, qt);
    }

    void theBundledKeysDrawingMatchesQts()
    {
        const QString root = QString::fromUtf8(TARVENKO_SAMPLE_DIR);
        std::vector<Metafile> layers;
        for (int layer = 0;; ++layer) {
            const QDir folder(root + QStringLiteral("/robot/%1").arg(layer, 2, 10, QLatin1Char('0')));
            if (!folder.exists())
                break;
            for (const QFileInfo &file : folder.entryInfoList({QStringLiteral("*.wmf")}, QDir::Files, QDir::Size))
                if (std::optional<Metafile> m = Metafile::load(file.filePath()))
                    layers.push_back(*m);
        }
        if (layers.empty())
            QSKIP("the bundled key's drawing is not built");
        const QSize size(960, 540);
        QImage ours = white(size), qt = white(size);
        {
            QPainter painter(&ours);
            for (const Metafile &m : layers)
                m.play(painter, QRectF(QPointF(), QSizeF(size)), Metafile::Edges::Smooth);
        }
        {
            QPainter painter(&qt);
            painter.setClipRect(QRect(QPoint(), size));
            for (const Metafile &m : layers)
                m.play(painter, QRectF(QPointF(), QSizeF(size)), Metafile::Edges::Smooth);
        }
        dump(QStringLiteral("key"), ours, qt);
        const Comparison c = compare(ours, qt);
        // Layers overlap: the differences of edges stack up a little; few pixels differ by more
        // than a quarter, and the ink within half a percent.
        QVERIFY2(std::abs(c.inkRatio() - 1) <= 0.005 && c.overQuarter < size.width() * size.height() / 500, qPrintable(c.text()));
    }
};

QTEST_MAIN(CoverageTest)
#include "metafile_coverage_test.moc"
