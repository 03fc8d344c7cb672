// Smooth drawing into an image goes through the coverage filler: its pixels against exact areas
// and against Qt's own antialiased rendering of the same shapes, at the clip's edges and far
// beyond them.
#include <QPainter>
#include <QPainterPath>
#include <QTest>

#include <cmath>
#include <random>

#include "metafile_test_support.h"
#include "platform/metafile/coverage_filler.h"

using namespace tarvenko;
using namespace tarvenko::test;
using detail::CoverageFiller;

namespace {

QImage white(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

int channelDifference(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// Largest channel difference, and how many pixels differ by more than `tolerance`.
std::pair<int, int> compare(const QImage &a, const QImage &b, int tolerance)
{
    int largest = 0, over = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const int d = channelDifference(a.pixel(x, y), b.pixel(x, y));
            largest = std::max(largest, d);
            over += d > tolerance;
        }
    return {largest, over};
}

// How much is drawn over the white: the sum over pixels of what each channel lost.
double ink(const QImage &image)
{
    double total = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            total += 765 - qRed(p) - qGreen(p) - qBlue(p);
        }
    return total;
}

// The same shapes played smooth through the filler and through Qt (a clip from the caller
// leaves everything to Qt), over a clip that covers the whole image.
std::pair<QImage, QImage> bothWays(const WmfWriter &w, QSize size)
{
    const Metafile m = parsed(w);
    QImage filler = white(size.width(), size.height()), qt = filler;
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

} // namespace

class CoverageTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
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
    }
    void coverageIsTheAreaOfEachPixelInside()
    {
        QFETCH(QRectF, box);
        QFETCH(QPoint, pixel);
        QFETCH(double, area);
        QImage image = white(10, 10);
        CoverageFiller filler(image, image.rect());
        const QPointF square[4] = {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft()};
        filler.addPolygon(square, 4);
        filler.fill(qRgb(0, 0, 0), CoverageFiller::Rule::NonZero);
        // Black over white: the grey level is 255 times the part not covered.
        QVERIFY2(std::abs(qRed(image.pixel(pixel)) - 255 * (1 - area)) <= 1.0,
                 qPrintable(QString::number(qRed(image.pixel(pixel)))));
    }

    void aTriangleMatchesQtsAntialiasedFill()
    {
        std::mt19937 random(3);
        std::uniform_real_distribution<double> coordinate(-20, 120);
        for (int shape = 0; shape < 20; ++shape) {
            QPointF points[5];
            for (QPointF &p : points)
                p = QPointF(coordinate(random), coordinate(random));
            for (const auto rule : {Qt::WindingFill, Qt::OddEvenFill}) {
                QImage ours = white(100, 100), qt = ours;
                CoverageFiller filler(ours, ours.rect());
                filler.addPolygon(points, 5);
                filler.fill(qRgb(30, 90, 200), rule == Qt::WindingFill ? CoverageFiller::Rule::NonZero : CoverageFiller::Rule::OddEven);
                QPainter painter(&qt);
                painter.setRenderHint(QPainter::Antialiasing);
                painter.setPen(Qt::NoPen);
                painter.setBrush(QColor(30, 90, 200));
                painter.drawPolygon(points, 5, rule);
                painter.end();
                // Qt's rasterizer samples edges at fixed steps: single edge pixels differ by up to
                // a quarter, the shape as a whole by almost nothing.
                const auto [largest, over] = compare(ours, qt, 8);
                const double ratio = ink(ours) / ink(qt);
                if (qEnvironmentVariableIsSet("COVERAGE_DUMP") && shape == 0) {
                    ours.save(QStringLiteral("/tmp/sx/tri-ours-%1.png").arg(int(rule)));
                    qt.save(QStringLiteral("/tmp/sx/tri-qt-%1.png").arg(int(rule)));
                }
                QVERIFY2(largest <= 72 && std::abs(ratio - 1) < 0.03,
                         qPrintable(QStringLiteral("shape %1: largest %2, %3 pixels over, ink ratio %4").arg(shape).arg(largest).arg(over).arg(ratio)));
            }
        }
    }

    void thePixelsOutsideTheShapeAndTheCellsAreLeftAlone()
    {
        // Two fills one after the other: the second leaves the first's surroundings untouched
        // (cells are zero again after each fill).
        QImage image = white(20, 20);
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
        QVERIFY(filler.empty());
    }

    void shapesFarBeyondTheClipFillWhatIsInside()
    {
        QImage image = white(30, 20);
        CoverageFiller filler(image, QRect(5, 5, 20, 10));
        const QPointF huge[3] = {{-4e6, -4e6}, {4e6, -4e6}, {0, 4e6}};
        filler.addPolygon(huge, 3);
        filler.fill(qRgb(0, 0, 255), CoverageFiller::Rule::NonZero);
        QCOMPARE(count(image, kBlue), 200);
        QCOMPARE(extent(image, kBlue), QRect(5, 5, 20, 10));
        // Not a number and the infinities draw nothing.
        const QPointF bad[3] = {{NAN, 0}, {INFINITY, 5}, {0, -INFINITY}};
        filler.addPolygon(bad, 3);
        filler.fill(qRgb(255, 0, 0), CoverageFiller::Rule::NonZero);
        QCOMPARE(count(image, kRed), 0);
    }

    void aRingUnderEachRule()
    {
        // Outer and inner squares in the same direction: a hole under odd-even, none under non-zero.
        for (const auto rule : {CoverageFiller::Rule::NonZero, CoverageFiller::Rule::OddEven}) {
            QImage image = white(20, 20);
            CoverageFiller filler(image, image.rect());
            const QPointF outer[4] = {{2, 2}, {18, 2}, {18, 18}, {2, 18}};
            const QPointF inner[4] = {{6, 6}, {14, 6}, {14, 14}, {6, 14}};
            filler.addPolygon(outer, 4);
            filler.addPolygon(inner, 4);
            filler.fill(qRgb(0, 0, 0), rule);
            QCOMPARE(at(image, 10, 10), rule == CoverageFiller::Rule::NonZero ? kBlack : kWhite);
            QCOMPARE(at(image, 4, 4), kBlack);
        }
    }

    void wideLinesMatchQtsStrokes_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("one pixel") << 0;
        QTest::newRow("two pixels, square ends") << 25;
        QTest::newRow("five pixels, round") << 60;
        QTest::newRow("twelve pixels, round") << 150;
    }
    void wideLinesMatchQtsStrokes()
    {
        QFETCH(int, width);
        WmfWriter w;
        w.setWindowExt(1000, 1000);
        w.selectObject(w.createPen(wmf::PS_SOLID, width, kBlue));
        w.selectObject(w.createBrush(wmf::BS_SOLID, kYellow));
        w.polygon({{100, 100}, {900, 200}, {150, 300}});
        w.polyline({{100, 500}, {400, 900}, {500, 520}, {900, 880}, {880, 560}});
        w.selectObject(w.createBrush(wmf::BS_SOLID, kGreen));
        w.ellipse({600, 100, 900, 400});
        const auto [filler, qt] = bothWays(w, QSize(120, 120));
        // Joins and round ends are polygons here and curves in Qt, and Qt draws a line of one
        // pixel with two pixels per step rather than by area: edge pixels differ, the amount of
        // ink hardly, and no pixel is a different colour.
        const auto [largest, over] = compare(filler, qt, 160);
        const double ratio = ink(filler) / ink(qt);
        if (qEnvironmentVariableIsSet("COVERAGE_DUMP")) {
            filler.save(QStringLiteral("/tmp/sx/line-ours-%1.png").arg(width));
            qt.save(QStringLiteral("/tmp/sx/line-qt-%1.png").arg(width));
        }
        QVERIFY2(over == 0 && std::abs(ratio - 1) < 0.05,
                 qPrintable(QStringLiteral("largest %1, %2 pixels over, ink ratio %3").arg(largest).arg(over).arg(ratio)));
    }

    void whatTheFillerCannotDrawIsLeftToQt()
    {
        // A hatched brush, a dashed pen, a raster operation and a clip region: the same pixels as
        // Qt's, exactly.
        WmfWriter w;
        w.setWindowExt(100, 100);
        w.selectObject(w.createPen(wmf::PS_DASH, 0, kBlack));
        w.selectObject(w.createBrush(wmf::BS_HATCHED, kRed, wmf::HS_CROSS));
        w.polygon({{10, 10}, {90, 20}, {40, 90}});
        w.selectObject(w.createPen(wmf::PS_SOLID, 3, kBlue));
        w.setRop2(wmf::R2_XORPEN).polyline({{5, 50}, {95, 55}});
        w.setRop2(wmf::R2_COPYPEN).intersectClipRect({20, 20, 60, 60}).polyline({{0, 0}, {100, 100}});
        const auto [filler, qt] = bothWays(w, QSize(100, 100));
        QCOMPARE(filler, qt);
    }
};

QTEST_MAIN(CoverageTest)
#include "metafile_coverage_test.moc"
