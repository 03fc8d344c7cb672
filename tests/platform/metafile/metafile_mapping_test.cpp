// Header, frame and mapping: where the picture lands in the target at several sizes.
#include <QPainter>

#include "metafile_test_support.h"

using namespace tarvenko;
using namespace tarvenko::test;

namespace {

const QList<QSize> kSizes = {QSize(200, 100), QSize(64, 32), QSize(333, 77)};

// Edges may differ by a pixel where they fall on a pixel's half.
bool near(const QRect &actual, const QRect &expected)
{
    return std::abs(actual.left() - expected.left()) <= 1 && std::abs(actual.top() - expected.top()) <= 1 &&
           std::abs(actual.right() - expected.right()) <= 1 && std::abs(actual.bottom() - expected.bottom()) <= 1;
}

QRect topLeftQuarter(QSize size) { return QRect(0, 0, size.width() / 2, size.height() / 2); }

} // namespace

Q_DECLARE_METATYPE(tarvenko::tools::WmfWriter)

class MetafileMappingTest : public QObject {
    Q_OBJECT

private:
    // Every row draws red over exactly the top-left quarter of the frame.
    static void quarterRows()
    {
        QTest::addColumn<WmfWriter>("file");
        const auto row = [](const char *name, auto build) {
            WmfWriter w = filled(kRed);
            build(w);
            QTest::newRow(name) << w;
        };
        row("placeable (0,0)-(1000,500)", [](WmfWriter &w) { w.placeable({0, 0, 1000, 500}).rectangle({0, 0, 500, 250}); });
        row("placeable (-100,-50)-(900,450): same extent", [](WmfWriter &w) {
            w.placeable({-100, -50, 900, 450}).rectangle({-100, -50, 400, 200});
        });
        row("placeable (100,100)-(500,500): extent |right|+|left| = 600", [](WmfWriter &w) {
            w.placeable({100, 100, 500, 500}).rectangle({100, 100, 400, 400});
        });
        row("window extent, no placeable header", [](WmfWriter &w) {
            w.setWindowOrg(0, 0).setWindowExt(1000, 500).rectangle({0, 0, 500, 250});
        });
        row("window extent wins over the placeable box", [](WmfWriter &w) {
            w.placeable({0, 0, 2000, 1000}).setWindowExt(1000, 500).rectangle({0, 0, 500, 250});
        });
        row("window origin", [](WmfWriter &w) {
            w.setWindowOrg(1000, 500).setWindowExt(1000, 500).rectangle({1000, 500, 1500, 750});
        });
        row("negative window height: y axis up", [](WmfWriter &w) {
            w.setWindowOrg(0, 500).setWindowExt(1000, -500).rectangle({0, 250, 500, 500});
        });
        row("negative window width: x axis mirrored", [](WmfWriter &w) {
            w.setWindowOrg(1000, 0).setWindowExt(-1000, 500).rectangle({500, 0, 1000, 250});
        });
        row("zero window extent refused", [](WmfWriter &w) {
            w.setWindowExt(1000, 500).setWindowExt(0, 300).setWindowExt(700, 0).rectangle({0, 0, 500, 250});
        });
        row("viewport extent halves the picture", [](WmfWriter &w) {
            w.setWindowExt(1000, 500).setViewportExt(500, 250).rectangle({0, 0, 1000, 500});
        });
        row("viewport origin moves it", [](WmfWriter &w) {
            w.setWindowExt(1000, 500).setViewportOrg(-500, -250).rectangle({500, 250, 1000, 500});
        });
        row("isotropic: the smaller scale on both axes", [](WmfWriter &w) {
            // 1000 x 500 device over 100 x 100: scale 5 both ways, a square 250 x 250 wide.
            w.setWindowExt(1000, 500).setMapMode(wmf::MM_ISOTROPIC).setWindowExt(100, 100).setViewportExt(1000, 500);
            w.rectangle({0, 0, 50, 50}).rectangle({50, 0, 100, 50});
        });
        row("anisotropic after isotropic", [](WmfWriter &w) {
            w.setWindowExt(1000, 500).setMapMode(wmf::MM_ISOTROPIC).setMapMode(wmf::MM_ANISOTROPIC);
            w.setWindowExt(100, 100).setViewportExt(1000, 500).rectangle({0, 0, 50, 50});
        });
        row("drawn bounds when nothing else gives the frame", [](WmfWriter &w) {
            w.rectangle({-300, 40, 200, 90});
            w.selectObject(w.createBrush(wmf::BS_SOLID, kBlue)).rectangle({200, 90, 700, 140});
        });
        row("MM_TEXT: one logical unit per device unit", [](WmfWriter &w) {
            w.placeable({0, 0, 1000, 500}).setMapMode(wmf::MM_TEXT).rectangle({0, 0, 500, 250});
        });
        row("MM_LOMETRIC: 0.1 mm, y up", [](WmfWriter &w) {
            w.placeable({0, 0, 1000, 500}, 254).setMapMode(wmf::MM_LOMETRIC).rectangle({0, -250, 500, 0});
        });
        row("MM_HIMETRIC: 0.01 mm, y up", [](WmfWriter &w) {
            w.placeable({0, 0, 1000, 500}, 254).setMapMode(wmf::MM_HIMETRIC).rectangle({0, -2500, 5000, 0});
        });
        row("MM_TWIPS: 1/1440 inch, y up", [](WmfWriter &w) {
            w.placeable({0, 0, 1000, 500}, 1440).setMapMode(wmf::MM_TWIPS).rectangle({0, -250, 500, 0});
        });
        row("MM_HIENGLISH: 0.001 inch, y up", [](WmfWriter &w) {
            w.placeable({0, 0, 1000, 500}, 1000).setMapMode(wmf::MM_HIENGLISH).rectangle({0, -250, 500, 0});
        });
        row("offset and scaled window", [](WmfWriter &w) {
            w.setWindowExt(1000, 500).offsetWindowOrg(100, 50).scaleWindowExt(1, 2, 1, 2).rectangle({100, 50, 350, 175});
        });
    }

private Q_SLOTS:
    void frameAndMapping_data() { quarterRows(); }
    void frameAndMapping()
    {
        QFETCH(WmfWriter, file);
        for (const QSize size : kSizes) {
            const QImage image = render(file, size);
            const QRect red = extent(image, kRed);
            QVERIFY2(near(red, topLeftQuarter(size)), qPrintable(QStringLiteral("%1x%2: red at %3,%4 %5x%6").arg(size.width()).arg(size.height()).arg(red.x()).arg(red.y()).arg(red.width()).arg(red.height())));
            QCOMPARE(count(image, kRed), red.width() * red.height()); // solid, exact colour
        }
    }

    void saveAndRestoreDeviceContext()
    {
        WmfWriter w = filled(kRed);
        const int blue = w.createBrush(wmf::BS_SOLID, kBlue);
        w.setWindowExt(1000, 500).saveDC();
        w.selectObject(blue).setWindowExt(100, 100).saveDC().setWindowOrg(50, 50).restoreDC(-2);
        w.rectangle({0, 0, 500, 250}); // red, in the first mapping
        w.saveDC().selectObject(blue).restoreDC(0).restoreDC(5).rectangle({500, 250, 1000, 500}); // bad levels ignored
        // Level 1 is the state saved just above, red: not the blue one saved next.
        w.saveDC().saveDC().setWindowExt(10, 10).restoreDC(1).rectangle({500, 0, 1000, 250});
        const QImage image = render(w, QSize(100, 50));
        QCOMPARE(extent(image, kRed), QRect(0, 0, 100, 25));
        QCOMPARE(extent(image, kBlue), QRect(50, 25, 50, 25));
    }

    void clipRectangles_data()
    {
        QTest::addColumn<WmfWriter>("file");
        QTest::addColumn<int>("redPixels");
        const auto row = [](const char *name, int red, auto build) {
            WmfWriter w = filled(kRed);
            w.setWindowExt(100, 100);
            build(w);
            w.rectangle({0, 0, 100, 100});
            QTest::newRow(name) << w << red;
        };
        row("intersect", 50 * 50, [](WmfWriter &w) { w.intersectClipRect({0, 0, 50, 50}); });
        row("intersect twice", 25 * 50, [](WmfWriter &w) { w.intersectClipRect({0, 0, 50, 50}).intersectClipRect({25, 0, 100, 100}); });
        row("exclude", 100 * 100 - 50 * 50, [](WmfWriter &w) { w.excludeClipRect({25, 25, 75, 75}); });
        row("restored with the device context", 100 * 100, [](WmfWriter &w) {
            w.saveDC().intersectClipRect({0, 0, 10, 10}).restoreDC();
        });
        row("region selected, then none", 100 * 100, [](WmfWriter &w) {
            w.selectClipRegion(w.createRegion({0, 0, 10, 10})).selectClipRegion(-1);
        });
        row("region", 40 * 30, [](WmfWriter &w) { w.selectObject(w.createRegion({10, 20, 50, 50})); });
    }
    void clipRectangles()
    {
        QFETCH(WmfWriter, file);
        QFETCH(int, redPixels);
        QCOMPARE(count(render(file, QSize(100, 100)), kRed), redPixels);
        QCOMPARE(count(render(file, QSize(200, 200)), kRed), redPixels * 4);
    }

    void playsOverAnyTargetRectangle()
    {
        WmfWriter w = filled(kRed);
        w.placeable({0, 0, 1000, 500}).rectangle({0, 0, 500, 250});
        const Metafile picture = parsed(w);
        QImage image(200, 100, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        picture.play(painter, QRectF(10, 20, 100, 50));
        painter.translate(100, 0); // the painter's own transform applies too
        picture.play(painter, QRectF(0, 0, 40, 20));
        painter.end();
        QCOMPARE(count(image, kRed), 50 * 25 + 20 * 10);
        QCOMPARE(extent(image, kRed), QRect(10, 0, 110, 45));
    }

    void aCopyPlaysTheSameAndSharesTheRecords()
    {
        WmfWriter w = filled(kRed);
        w.setWindowExt(100, 100).ellipse({0, 0, 100, 100});
        const Metafile original = parsed(w);
        const Metafile copy = original; // NOLINT(performance-unnecessary-copy-initialization)
        QCOMPARE(copy.toImage(QSize(50, 40)), original.toImage(QSize(50, 40)));
        QCOMPARE(original.toImage(QSize(50, 40)), original.toImage(QSize(50, 40)));
        QCOMPARE(copy.recordCount(), original.recordCount());
    }
};

QTEST_MAIN(MetafileMappingTest)
#include "metafile_mapping_test.moc"
