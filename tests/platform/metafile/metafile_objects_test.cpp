// The object table, pens and brushes.
#include "metafile_test_support.h"

using namespace tarvenko;
using namespace tarvenko::test;

Q_DECLARE_METATYPE(tarvenko::tools::WmfWriter)

namespace {

// Rows of rows in one column at x of the image that have `colour`.
int rowsAt(const QImage &image, int x, std::uint32_t colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        n += at(image, x, y) == colour;
    return n;
}

} // namespace

class MetafileObjectsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each row ends by filling the whole frame with whatever brush is selected.
    void objectTableSlots_data()
    {
        QTest::addColumn<WmfWriter>("file");
        QTest::addColumn<std::uint32_t>("expected");
        const auto row = [](const char *name, std::uint32_t expected, auto build) {
            WmfWriter w = frame100();
            w.selectObject(w.createPen(wmf::PS_NULL, 0, 0));
            build(w);
            w.rectangle({0, 0, 100, 100});
            QTest::newRow(name) << w << expected;
        };
        row("a freed slot is reused first", kGreen, [](WmfWriter &w) {
            const int red = w.createBrush(wmf::BS_SOLID, kRed);
            w.createBrush(wmf::BS_SOLID, kBlue);
            w.deleteObject(red);
            QCOMPARE(w.createBrush(wmf::BS_SOLID, kGreen), red);
            w.selectObject(red);
        });
        row("a palette takes a slot", kRed, [](WmfWriter &w) {
            w.createPalette({kBlue});
            w.selectObject(w.createBrush(wmf::BS_SOLID, kRed));
        });
        row("a monochrome pattern brush takes a slot", kRed, [](WmfWriter &w) {
            w.createPatternBrush();
            w.selectObject(w.createBrush(wmf::BS_SOLID, kRed));
        });
        row("a region takes a slot", kRed, [](WmfWriter &w) {
            w.createRegion({0, 0, 1, 1});
            w.selectObject(w.createBrush(wmf::BS_SOLID, kRed));
        });
        row("a damaged creation takes a slot", kRed, [](WmfWriter &w) {
            w.record(static_cast<std::uint16_t>(wmf::Fn::CreatePenIndirect), {0}); // slot 1, unreadable
            w.createBrush(wmf::BS_SOLID, kBlue);                                   // writer counts slot 1
            w.createBrush(wmf::BS_SOLID, kRed);                                    // player: slot 3
            w.selectObject(3);
        });
        row("selecting a freed slot changes nothing", kRed, [](WmfWriter &w) {
            w.selectObject(w.createBrush(wmf::BS_SOLID, kRed));
            const int blue = w.createBrush(wmf::BS_SOLID, kBlue);
            w.deleteObject(blue).selectObject(blue);
        });
        row("a deleted brush stays selected", kRed, [](WmfWriter &w) {
            const int red = w.createBrush(wmf::BS_SOLID, kRed);
            w.selectObject(red).deleteObject(red);
        });
        row("indices out of range are ignored", kRed, [](WmfWriter &w) {
            w.selectObject(w.createBrush(wmf::BS_SOLID, kRed)).selectObject(300).deleteObject(-1).selectObject(-1);
        });
        row("default brush is white", kWhite, [](WmfWriter &) {});
        row("palette index through the selected palette", wmf::rgb(200, 100, 50), [](WmfWriter &w) {
            w.selectPalette(w.createPalette({kBlue, wmf::rgb(200, 100, 50)}));
            w.selectObject(w.createBrush(wmf::BS_SOLID, 0x01000001));
        });
        row("palette index without a palette is black", kBlack, [](WmfWriter &w) {
            w.selectObject(w.createBrush(wmf::BS_SOLID, 0x01000001));
        });
    }
    void objectTableSlots()
    {
        QFETCH(WmfWriter, file);
        QFETCH(std::uint32_t, expected);
        const QImage image = render(file, QSize(20, 20));
        QCOMPARE(at(image, 10, 10), expected);
        QCOMPARE(count(image, expected), 400);
    }

    void penWidths_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("pixelsAt100");
        QTest::addColumn<int>("pixelsAt300");
        QTest::newRow("width 0 is one device pixel") << 0 << 1 << 1;
        QTest::newRow("width 1 is at least one pixel") << 1 << 1 << 3;
        QTest::newRow("width scales with the picture") << 10 << 10 << 30;
    }
    void penWidths()
    {
        QFETCH(int, width);
        QFETCH(int, pixelsAt100);
        QFETCH(int, pixelsAt300);
        WmfWriter w = frame100();
        w.selectObject(w.createPen(wmf::PS_SOLID | wmf::PS_ENDCAP_FLAT, width, kBlue));
        w.moveTo(10, 50).lineTo(90, 50);
        QCOMPARE(rowsAt(render(w, QSize(100, 100)), 50, kBlue), pixelsAt100);
        QCOMPARE(rowsAt(render(w, QSize(300, 300)), 150, kBlue), pixelsAt300);
        // A narrow target: GDI takes the width from the horizontal scale only.
        QCOMPARE(rowsAt(render(w, QSize(300, 100)), 150, kBlue), pixelsAt300);
    }

    void nullPenAndNullBrush()
    {
        WmfWriter w = frame100();
        w.selectObject(w.createPen(wmf::PS_SOLID, 0, kBlue)).selectObject(w.createBrush(wmf::BS_NULL, kRed));
        w.rectangle({10, 10, 90, 90});
        w.selectObject(w.createPen(wmf::PS_NULL, 5, kBlue)).selectObject(w.createBrush(wmf::BS_SOLID, kGreen));
        w.rectangle({40, 40, 60, 60});
        const QImage image = render(w, QSize(100, 100));
        QCOMPARE(count(image, kRed), 0);
        QVERIFY(count(image, kBlue) > 4 * 75 && count(image, kBlue) < 4 * 85); // outline only
        QCOMPARE(count(image, kGreen), 20 * 20);                             // no outline
        QCOMPARE(strays(image, {kBlue, kGreen}), 0);
    }

    void dashedPenGaps_data()
    {
        QTest::addColumn<int>("bkMode");
        QTest::addColumn<std::uint32_t>("gap");
        QTest::newRow("transparent: gaps show what is below") << int(wmf::TRANSPARENT) << kWhite;
        QTest::newRow("opaque: gaps in the background colour") << int(wmf::OPAQUE) << kYellow;
    }
    void dashedPenGaps()
    {
        QFETCH(int, bkMode);
        QFETCH(std::uint32_t, gap);
        WmfWriter w = frame100();
        w.setBkMode(static_cast<wmf::BkMode>(bkMode)).setBkColor(kYellow);
        w.selectObject(w.createPen(wmf::PS_DASH, 0, kBlue)).moveTo(0, 50).lineTo(100, 50);
        const QImage image = render(w, QSize(100, 100));
        const int y = extent(image, kBlue).top();
        const QImage row = image.copy(0, y, 100, 1);
        const int dashes = count(row, kBlue);
        QVERIFY2(dashes > 60 && dashes < 90, qPrintable(QString::number(dashes)));
        QCOMPARE(dashes + count(row, gap), 100);
    }

    void hatchedBrushes_data()
    {
        QTest::addColumn<int>("bkMode");
        QTest::addColumn<std::uint32_t>("gap");
        QTest::newRow("transparent") << int(wmf::TRANSPARENT) << kWhite;
        QTest::newRow("opaque") << int(wmf::OPAQUE) << kYellow;
    }
    void hatchedBrushes()
    {
        QFETCH(int, bkMode);
        QFETCH(std::uint32_t, gap);
        WmfWriter w = frame100();
        w.setBkMode(static_cast<wmf::BkMode>(bkMode)).setBkColor(kYellow);
        w.selectObject(w.createPen(wmf::PS_NULL, 0, 0));
        w.selectObject(w.createBrush(wmf::BS_HATCHED, kRed, wmf::HS_HORIZONTAL)).rectangle({0, 0, 100, 100});
        // Hatch lines are device pixels: one row in eight at any size.
        for (const int side : {64, 128}) {
            const QImage image = render(w, QSize(side, side));
            QCOMPARE(rowsAt(image, side / 2, kRed), side / 8);
            QCOMPARE(rowsAt(image, side / 2, gap), side - side / 8);
        }
    }

    void dibPatternBrushTilesDevicePixels()
    {
        tools::WmfBitmap pattern;
        pattern.width = 2;
        pattern.height = 1;
        pattern.pixels = {kRed, kBlue};
        WmfWriter w = frame100();
        w.selectObject(w.createPen(wmf::PS_NULL, 0, 0)).selectObject(w.createDibPatternBrush(pattern));
        w.rectangle({0, 0, 100, 100});
        const QImage image = render(w, QSize(40, 30));
        QCOMPARE(count(image, kRed), 20 * 30);
        QCOMPARE(count(image, kBlue), 20 * 30);
        QCOMPARE(at(image, 0, 0), kRed);
        QCOMPARE(at(image, 1, 0), kBlue);
    }
};

QTEST_MAIN(MetafileObjectsTest)
#include "metafile_objects_test.moc"
