// Drawing records: lines, polygons and their fill modes, rectangles, ellipses and arcs.
#include <cmath>

#include "metafile_test_support.h"

using namespace tarvenko;
using namespace tarvenko::test;

namespace {

WmfWriter redOn100()
{
    WmfWriter w = filled(kRed);
    w.setWindowExt(100, 100);
    return w;
}

// A five-pointed star drawn in one stroke: its centre is wound twice.
const std::vector<WmfPoint> kStar = {{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};

// Two squares, one inside the other, both clockwise.
const std::vector<std::vector<WmfPoint>> kNested = {{{10, 10}, {90, 10}, {90, 90}, {10, 90}},
                                                    {{30, 30}, {70, 30}, {70, 70}, {30, 70}}};

} // namespace

class MetafileShapesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void polygonFillModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("polyPolygon");
        QTest::addColumn<bool>("centreFilled");
        QTest::newRow("star, alternate: centre empty") << int(wmf::ALTERNATE) << false << false;
        QTest::newRow("star, winding: centre filled") << int(wmf::WINDING) << false << true;
        QTest::newRow("nested squares, alternate: hole") << int(wmf::ALTERNATE) << true << false;
        QTest::newRow("nested squares, winding: no hole") << int(wmf::WINDING) << true << true;
    }
    void polygonFillModes()
    {
        QFETCH(int, mode);
        QFETCH(bool, polyPolygon);
        QFETCH(bool, centreFilled);
        WmfWriter w = redOn100();
        w.setPolyFillMode(static_cast<wmf::PolyFillMode>(mode));
        polyPolygon ? w.polyPolygon(kNested) : w.polygon(kStar);
        for (const int side : {100, 250}) {
            const QImage image = render(w, QSize(side, side));
            const double k = side / 100.0;
            QCOMPARE(at(image, 50 * k, 50 * k) == kRed, centreFilled);
            // Always filled: a tip of the star, the ring between the squares.
            QCOMPARE(polyPolygon ? at(image, 20 * k, 50 * k) : at(image, 50 * k, 10 * k), kRed);
            QCOMPARE(at(image, 1, 1), kWhite);
            QCOMPARE(strays(image, {kRed}), 0);
        }
    }

    void rectangleCoversLeftTopToRightBottomExclusive()
    {
        WmfWriter w = redOn100();
        w.rectangle({10, 20, 30, 25});
        QCOMPARE(extent(render(w, QSize(100, 100)), kRed), QRect(10, 20, 20, 5));
        QCOMPARE(extent(render(w, QSize(300, 200)), kRed), QRect(30, 40, 60, 10));
    }

    void outlineDrawnOverTheFill()
    {
        WmfWriter w = redOn100();
        w.selectObject(w.createPen(wmf::PS_SOLID, 4, kBlue)).rectangle({20, 20, 80, 80});
        const QImage image = render(w, QSize(200, 200));
        QCOMPARE(at(image, 100, 100), kRed);
        QCOMPARE(at(image, 40, 100), kBlue); // on the left edge
        QCOMPARE(at(image, 100, 159), kBlue);
        QCOMPARE(strays(image, {kRed, kBlue}), 0);
    }

    void ellipseAndRoundRect_data()
    {
        QTest::addColumn<bool>("rounded");
        QTest::newRow("ellipse") << false;
        QTest::newRow("round rectangle") << true;
    }
    void ellipseAndRoundRect()
    {
        QFETCH(bool, rounded);
        WmfWriter w = redOn100();
        rounded ? w.roundRect({0, 0, 100, 100}, 40, 40) : w.ellipse({0, 0, 100, 100});
        for (const int side : {100, 333}) {
            const QImage image = render(w, QSize(side, side));
            const double area = count(image, kRed) / double(side * side);
            // Corners cut: pi/4 for the ellipse, 1 - (4 - pi) * 0.2^2 for corners of radius 20.
            const double expected = rounded ? 1 - (4 - M_PI) * 0.04 : M_PI / 4;
            QVERIFY2(std::abs(area - expected) < 0.02, qPrintable(QString::number(area)));
            QCOMPARE(at(image, 1, 1), kWhite);
            QCOMPARE(at(image, side / 2, 1), kRed);
            QCOMPARE(at(image, 1, side / 2), kRed);
        }
    }

    // From the ray at 3 o'clock to the ray at 12 o'clock, counter-clockwise: the upper right
    // quarter. Swapping the points gives the other three quarters.
    void arcsRunCounterClockwise_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("swapped");
        QTest::addColumn<QList<bool>>("quarters"); // upper right, upper left, lower left, lower right
        QTest::newRow("pie") << 1 << false << QList<bool>{true, false, false, false};
        QTest::newRow("pie, points swapped") << 1 << true << QList<bool>{false, true, true, true};
        QTest::newRow("chord") << 2 << false << QList<bool>{true, false, false, false};
        QTest::newRow("chord, points swapped") << 2 << true << QList<bool>{false, true, true, true};
    }
    void arcsRunCounterClockwise()
    {
        QFETCH(int, kind);
        QFETCH(bool, swapped);
        QFETCH(QList<bool>, quarters);
        WmfWriter w = redOn100();
        // Points far out on the rays: only their direction counts.
        WmfPoint start{200, 50}, end{50, -300};
        if (swapped)
            std::swap(start, end);
        kind == 1 ? w.pie({0, 0, 100, 100}, start, end) : w.chord({0, 0, 100, 100}, start, end);
        const QImage image = render(w, QSize(200, 200));
        const QPoint probes[] = {{160, 40}, {40, 40}, {40, 160}, {160, 160}};
        for (int q = 0; q < 4; ++q)
            QVERIFY2((at(image, probes[q].x(), probes[q].y()) == kRed) == quarters[q], qPrintable(QString::number(q)));
        // The pie reaches the centre; the chord stops at the line between the end points.
        QCOMPARE(at(image, 105, 95) == kRed, (kind == 1) != swapped);
    }

    void arcIsOnlyStroked()
    {
        WmfWriter w = redOn100();
        w.selectObject(w.createPen(wmf::PS_SOLID, 0, kBlue)).arc({0, 0, 100, 100}, {100, 50}, {50, 0});
        const QImage image = render(w, QSize(200, 200));
        QCOMPARE(count(image, kRed), 0);
        const QRect blue = extent(image, kBlue);
        QVERIFY2(std::abs(blue.left() - 100) <= 1 && std::abs(blue.right() - 199) <= 1 && blue.top() <= 1 &&
                     std::abs(blue.bottom() - 100) <= 1,
                 qPrintable(QStringLiteral("%1 %2 %3 %4").arg(blue.left()).arg(blue.top()).arg(blue.right()).arg(blue.bottom())));
    }

    void linesFollowTheCurrentPosition()
    {
        WmfWriter w;
        w.setWindowExt(100, 100).selectObject(w.createPen(wmf::PS_SOLID, 0, kBlue));
        w.moveTo(10, 10).lineTo(90, 10).lineTo(90, 90);
        w.polyline({{10, 50}, {50, 50}}); // does not move the current position
        w.lineTo(10, 90);
        const QImage image = render(w, QSize(100, 100));
        for (const QPoint p : {QPoint(50, 10), QPoint(90, 50), QPoint(30, 50), QPoint(50, 90)})
            QVERIFY2(at(image, p.x(), p.y()) == kBlue, qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
        QCOMPARE(at(image, 50, 30), kWhite);
        QCOMPARE(strays(image, {kBlue}), 0);
    }

    void setPixelPaintsOneDevicePixel()
    {
        WmfWriter w;
        w.setWindowExt(100, 100).setPixel(50, 50, kGreen);
        QCOMPARE(count(render(w, QSize(300, 300)), kGreen), 1);
    }
};

QTEST_MAIN(MetafileShapesTest)
#include "metafile_shapes_test.moc"
