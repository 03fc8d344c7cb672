// Text records: placement by alignment, backgrounds, clipping, spacing, rotation.
#include "metafile_test_support.h"

using namespace tarvenko;
using namespace tarvenko::test;

namespace {

// 400 x 200 frame, blue text in a 40-unit DejaVu Sans, transparent background.
WmfWriter textFile(std::int16_t height = -40, std::int16_t escapement = 0)
{
    WmfWriter w;
    w.setWindowExt(400, 200).setTextColor(kBlue).setBkMode(wmf::TRANSPARENT);
    tools::WmfFont font;
    font.face = "DejaVu Sans";
    font.height = height;
    font.escapement = escapement;
    w.selectObject(w.createFont(font));
    return w;
}

QString describe(const QRect &r)
{
    return QStringLiteral("ink %1,%2 to %3,%4").arg(r.left()).arg(r.top()).arg(r.right()).arg(r.bottom());
}

} // namespace

class MetafileTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Ink of "HH" (no descender) against its anchor, in frame units; "-" means not checked.
    void alignment_data()
    {
        QTest::addColumn<int>("align");
        QTest::addColumn<int>("inkLeft");
        QTest::addColumn<int>("inkCentre");
        QTest::addColumn<int>("inkRight");
        QTest::addColumn<int>("inkBottomMin");
        QTest::addColumn<int>("inkBottomMax");
        // The anchor is (200, 100); a 40-unit font has its cap height near 29 and its
        // descent near 9.
        QTest::newRow("left top") << int(wmf::TA_LEFT | wmf::TA_TOP) << 200 << -1 << -1 << 130 << 140;
        QTest::newRow("left baseline") << int(wmf::TA_LEFT | wmf::TA_BASELINE) << 200 << -1 << -1 << 98 << 101;
        QTest::newRow("centre baseline") << int(wmf::TA_CENTER | wmf::TA_BASELINE) << -1 << 200 << -1 << 98 << 101;
        QTest::newRow("right bottom") << int(wmf::TA_RIGHT | wmf::TA_BOTTOM) << -1 << -1 << 200 << 85 << 95;
    }
    void alignment()
    {
        QFETCH(int, align);
        QFETCH(int, inkLeft);
        QFETCH(int, inkCentre);
        QFETCH(int, inkRight);
        QFETCH(int, inkBottomMin);
        QFETCH(int, inkBottomMax);
        WmfWriter w = textFile();
        w.setTextAlign(static_cast<std::uint16_t>(align)).textOut(200, 100, "HH");
        for (const int scale : {1, 2}) {
            const QImage image = render(w, QSize(400 * scale, 200 * scale));
            const QRect ink = extent(image, kBlue);
            const QString what = describe(ink) + QStringLiteral(" at scale %1").arg(scale);
            const int slack = 8 * scale; // side bearings of the glyphs: up to 0.2 em
            QVERIFY2(!ink.isEmpty(), qPrintable(what));
            if (inkLeft >= 0)
                QVERIFY2(std::abs(ink.left() - inkLeft * scale) <= slack, qPrintable(what));
            if (inkCentre >= 0)
                QVERIFY2(std::abs(ink.center().x() - inkCentre * scale) <= slack, qPrintable(what));
            if (inkRight >= 0)
                QVERIFY2(std::abs(ink.right() - inkRight * scale) <= slack, qPrintable(what));
            QVERIFY2(ink.bottom() >= inkBottomMin * scale - scale && ink.bottom() <= inkBottomMax * scale + scale, qPrintable(what));
            QVERIFY2(ink.height() > 25 * scale && ink.height() < 33 * scale, qPrintable(what)); // the cap height
            QCOMPARE(strays(image, {kBlue}), 0); // no antialiased edges
        }
    }

    void uprightWhenTheYAxisPointsUp()
    {
        WmfWriter w = textFile();
        w.setWindowOrg(0, 200).setWindowExt(400, -200).setTextAlign(wmf::TA_BASELINE).textOut(100, 100, "T");
        const QImage image = render(w, QSize(400, 200));
        const QRect ink = extent(image, kBlue);
        QVERIFY2(std::abs(ink.bottom() - 100) <= 1, qPrintable(describe(ink)));
        // The bar of the T is on top.
        QVERIFY(count(image.copy(0, ink.top(), 400, 1), kBlue) > 3 * count(image.copy(0, ink.bottom(), 400, 1), kBlue));
    }

    void positiveHeightIsTheCellHeight()
    {
        WmfWriter cell = textFile(40);
        WmfWriter character = textFile(-40);
        cell.textOut(10, 10, "H");
        character.textOut(10, 10, "H");
        const int cellInk = extent(render(cell, QSize(400, 200)), kBlue).height();
        const int characterInk = extent(render(character, QSize(400, 200)), kBlue).height();
        QVERIFY2(cellInk < characterInk && cellInk > characterInk * 3 / 4,
                 qPrintable(QStringLiteral("%1 %2").arg(cellInk).arg(characterInk)));
    }

    void backgrounds_data()
    {
        QTest::addColumn<int>("bkMode");
        QTest::addColumn<bool>("cellFilled");
        QTest::newRow("transparent") << int(wmf::TRANSPARENT) << false;
        QTest::newRow("opaque") << int(wmf::OPAQUE) << true;
    }
    void backgrounds()
    {
        QFETCH(int, bkMode);
        QFETCH(bool, cellFilled);
        WmfWriter w = textFile();
        w.setBkColor(kYellow).setBkMode(static_cast<wmf::BkMode>(bkMode));
        // The opaque rectangle is filled in any mode, exactly.
        w.extTextOut(0, 0, wmf::ETO_OPAQUE, WmfRect{300, 150, 400, 200}, "");
        w.textOut(10, 10, "HH");
        const QImage image = render(w, QSize(400, 200));
        QCOMPARE(extent(image.copy(250, 120, 150, 80), kYellow), QRect(50, 30, 100, 50));
        QCOMPARE(count(image.copy(0, 0, 200, 100), kYellow) > 0, cellFilled);
    }

    void clippedToItsRectangle()
    {
        WmfWriter w = textFile();
        w.extTextOut(10, 100, wmf::ETO_CLIPPED, WmfRect{10, 60, 60, 110}, "HHHHHHHH");
        const QRect ink = extent(render(w, QSize(400, 200)), kBlue);
        QVERIFY2(!ink.isEmpty() && ink.right() < 60, qPrintable(describe(ink)));
    }

    void characterSpacingFromDx()
    {
        WmfWriter w = textFile();
        w.extTextOut(50, 50, 0, std::nullopt, "II", {200, 0});
        for (const int scale : {1, 2}) {
            const QImage image = render(w, QSize(400 * scale, 200 * scale));
            const QRect ink = extent(image, kBlue);
            QVERIFY2(std::abs(ink.left() - 50 * scale) <= 6 * scale && std::abs(ink.right() - 260 * scale) <= 8 * scale,
                     qPrintable(describe(ink)));
            QCOMPARE(count(image.copy(100 * scale, 0, 100 * scale, 200 * scale), kBlue), 0);
        }
    }

    void escapementRotatesCounterClockwise()
    {
        WmfWriter w = textFile(-30, 900);
        w.textOut(200, 190, "HHHH");
        const QRect ink = extent(render(w, QSize(400, 200)), kBlue);
        QVERIFY2(ink.height() > 2 * ink.width() && ink.bottom() <= 190, qPrintable(describe(ink)));
    }

    void updateCurrentPositionChainsTexts()
    {
        WmfWriter w = textFile();
        w.setTextAlign(wmf::TA_UPDATECP).moveTo(20, 20).textOut(0, 0, "H").textOut(300, 150, "H");
        const QRect ink = extent(render(w, QSize(400, 200)), kBlue);
        QVERIFY2(ink.left() < 30 && ink.right() < 100 && ink.bottom() < 80, qPrintable(describe(ink)));
    }
};

QTEST_MAIN(MetafileTextTest)
#include "metafile_text_test.moc"
