// Bitmap records, pattern transfers and raster operations.
#include "metafile_test_support.h"

using namespace tarvenko;
using namespace tarvenko::test;
using tools::WmfBitmap;

Q_DECLARE_METATYPE(tarvenko::tools::WmfWriter)

namespace {

// 2 x 2: red, green on top; blue, yellow below.
WmfBitmap quad(int bitCount, bool topDown = false)
{
    WmfBitmap b;
    b.width = 2;
    b.height = 2;
    b.bitCount = bitCount;
    b.topDown = topDown;
    b.pixels = {kRed, kGreen, kBlue, kYellow};
    return b;
}

} // namespace

class MetafileBitmapsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each row stretches the 2 x 2 bitmap over the whole frame.
    void bitmapRecords_data()
    {
        QTest::addColumn<WmfWriter>("file");
        for (const int bits : {4, 8, 24, 32}) {
            WmfWriter w = frame100();
            w.dibStretchBlt({0, 0, 100, 100}, {0, 0, 2, 2}, quad(bits));
            QTest::newRow(qPrintable(QStringLiteral("DIBSTRETCHBLT, %1 bits").arg(bits))) << w;
        }
        WmfWriter topDown = frame100();
        topDown.dibStretchBlt({0, 0, 100, 100}, {0, 0, 2, 2}, quad(24, true));
        QTest::newRow("DIBSTRETCHBLT, rows stored top first") << topDown;
        WmfWriter stretch = frame100();
        stretch.stretchDib({0, 0, 100, 100}, {0, 0, 2, 2}, quad(8));
        QTest::newRow("STRETCHDIB") << stretch;
        WmfWriter mirrored = frame100();
        mirrored.setWindowOrg(100, 0).setWindowExt(-100, 100); // mirrored frame and mirrored bitmap
        mirrored.dibStretchBlt({100, 0, 0, 100}, {0, 0, 2, 2}, quad(24));
        QTest::newRow("negative width, mirrored window") << mirrored;
        WmfWriter blit = frame100();
        blit.setWindowExt(2, 2).dibBitBlt(0, 0, 2, 2, 0, 0, quad(24));
        QTest::newRow("DIBBITBLT") << blit;
        WmfWriter toDevice = frame100();
        toDevice.setWindowExt(2, 2).setDibToDev(0, 0, quad(24));
        QTest::newRow("SETDIBTODEV") << toDevice;
    }
    void bitmapRecords()
    {
        QFETCH(WmfWriter, file);
        for (const QSize size : {QSize(100, 100), QSize(37, 64)}) {
            const QImage image = render(file, size);
            const int w = size.width(), h = size.height();
            QCOMPARE(at(image, w / 4, h / 4), kRed);
            QCOMPARE(at(image, 3 * w / 4, h / 4), kGreen);
            QCOMPARE(at(image, w / 4, 3 * h / 4), kBlue);
            QCOMPARE(at(image, 3 * w / 4, 3 * h / 4), kYellow);
            QCOMPARE(strays(image, {kRed, kGreen, kBlue, kYellow}), 0);
        }
    }

    void negativeWidthMirrors()
    {
        WmfWriter w = frame100();
        w.dibStretchBlt({100, 0, 0, 100}, {0, 0, 2, 2}, quad(24));
        const QImage image = render(w, QSize(40, 40));
        QCOMPARE(at(image, 10, 10), kGreen);
        QCOMPARE(at(image, 30, 10), kRed);
        QCOMPARE(at(image, 10, 30), kYellow);
    }

    void sourceRectangles()
    {
        // The lower right pixel alone; STRETCHDIB counts source rows from the bottom.
        WmfWriter w = frame100();
        w.dibStretchBlt({0, 0, 50, 100}, {1, 1, 2, 2}, quad(24));
        w.stretchDib({50, 0, 100, 100}, {1, 0, 2, 1}, quad(24));
        const QImage image = render(w, QSize(100, 100));
        QCOMPARE(count(image, kYellow), 100 * 100);
    }

    void oneBitBitmapUsesItsColourTable()
    {
        WmfBitmap b;
        b.width = 8;
        b.height = 1;
        b.bitCount = 1;
        b.pixels = {kRed, kBlue, kBlue, kRed, kRed, kRed, kBlue, kRed};
        WmfWriter w = frame100();
        w.dibStretchBlt({0, 0, 100, 100}, {0, 0, 8, 1}, b);
        const QImage image = render(w, QSize(80, 10));
        for (int i = 0; i < 8; ++i)
            QCOMPARE(at(image, 10 * i + 5, 5), b.pixels[static_cast<std::size_t>(i)]);
    }

    // Raster operations on a white picture, then on the result.
    void rasterOperations_data()
    {
        QTest::addColumn<WmfWriter>("file");
        QTest::addColumn<std::uint32_t>("expected");
        const auto row = [](const char *name, std::uint32_t expected, auto build) {
            WmfWriter w = frame100();
            w.selectObject(w.createPen(wmf::PS_NULL, 0, 0)).selectObject(w.createBrush(wmf::BS_SOLID, kRed));
            build(w);
            QTest::newRow(name) << w << expected;
        };
        const std::uint32_t cyan = wmf::rgb(0, 255, 255);
        row("PATCOPY", kRed, [](WmfWriter &w) { w.patBlt(0, 0, 100, 100, wmf::PATCOPY); });
        row("PATINVERT", cyan, [](WmfWriter &w) { w.patBlt(0, 0, 100, 100, wmf::PATINVERT); });
        row("DSTINVERT", kBlack, [](WmfWriter &w) { w.patBlt(0, 0, 100, 100, wmf::DSTINVERT); });
        row("BLACKNESS", kBlack, [](WmfWriter &w) { w.patBlt(0, 0, 100, 100, wmf::BLACKNESS); });
        row("WHITENESS after black", kWhite, [](WmfWriter &w) {
            w.patBlt(0, 0, 100, 100, wmf::BLACKNESS).patBlt(0, 0, 100, 100, wmf::WHITENESS);
        });
        row("DIBBITBLT without bitmap", kBlack, [](WmfWriter &w) {
            w.record(static_cast<std::uint16_t>(wmf::Fn::DibBitBlt), {0x0042, 0x0000, 0, 0, 0, 100, 100, 0, 0});
        });
        row("R2_XORPEN", cyan, [](WmfWriter &w) { w.setRop2(wmf::R2_XORPEN).rectangle({0, 0, 100, 100}); });
        row("R2_XORPEN twice", kWhite, [](WmfWriter &w) {
            w.setRop2(wmf::R2_XORPEN).rectangle({0, 0, 100, 100}).rectangle({0, 0, 100, 100});
        });
        row("R2_NOP", kWhite, [](WmfWriter &w) { w.setRop2(wmf::R2_NOP).rectangle({0, 0, 100, 100}); });
        row("R2_NOT", kBlack, [](WmfWriter &w) { w.setRop2(wmf::R2_NOT).rectangle({0, 0, 100, 100}); });
        row("R2_BLACK", kBlack, [](WmfWriter &w) { w.setRop2(wmf::R2_BLACK).rectangle({0, 0, 100, 100}); });
        row("R2_MASKPEN over yellow", kRed, [](WmfWriter &w) {
            w.selectObject(w.createBrush(wmf::BS_SOLID, kYellow)).rectangle({0, 0, 100, 100});
            w.selectObject(w.createBrush(wmf::BS_SOLID, kRed)).setRop2(wmf::R2_MASKPEN).rectangle({0, 0, 100, 100});
        });
        row("R2_COPYPEN restores normal drawing", kRed, [](WmfWriter &w) {
            w.setRop2(wmf::R2_NOT).setRop2(wmf::R2_COPYPEN).rectangle({0, 0, 100, 100});
        });
        row("SRCINVERT bitmap", cyan, [](WmfWriter &w) {
            WmfBitmap red;
            red.width = red.height = 1;
            red.pixels = {kRed};
            w.dibStretchBlt({0, 0, 100, 100}, {0, 0, 1, 1}, red, wmf::SRCINVERT);
        });
        row("region filled, then inverted", cyan, [](WmfWriter &w) {
            const int region = w.createRegion({0, 0, 100, 100});
            w.fillRegion(region, w.createBrush(wmf::BS_SOLID, wmf::rgb(255, 0, 0)));
            w.record(static_cast<std::uint16_t>(wmf::Fn::InvertRegion), {static_cast<std::uint16_t>(region)});
        });
    }
    void rasterOperations()
    {
        QFETCH(WmfWriter, file);
        QFETCH(std::uint32_t, expected);
        const QImage image = render(file, QSize(30, 20));
        QCOMPARE(at(image, 15, 10), expected);
        QCOMPARE(count(image, expected), 30 * 20);
    }
};

QTEST_MAIN(MetafileBitmapsTest)
#include "metafile_bitmaps_test.moc"
