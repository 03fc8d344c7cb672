// Damaged files: an error or a partial picture, never a crash, a hang or unbounded memory.
#include <QRandomGenerator>

#include "metafile_test_support.h"

using namespace tarvenko;
using namespace tarvenko::test;

namespace {

enum class Outcome { Refused, Partial, Sound };

std::uint16_t fn(wmf::Fn f) { return static_cast<std::uint16_t>(f); }

// A red rectangle over the left half, then whatever the row adds.
WmfWriter redHalf()
{
    WmfWriter w = filled(kRed);
    w.setWindowExt(100, 100).rectangle({0, 0, 50, 100});
    return w;
}

QByteArray dibHeader(std::int32_t width, std::int32_t height, std::uint16_t bits, std::uint32_t headerSize = 40)
{
    QByteArray b(40, '\0');
    const auto put32 = [&b](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<char>(v >> (8 * i));
    };
    put32(0, headerSize);
    put32(4, static_cast<std::uint32_t>(width));
    put32(8, static_cast<std::uint32_t>(height));
    b[12] = 1;
    b[14] = static_cast<char>(bits);
    return b + QByteArray(16, '\x55');
}

std::vector<std::uint16_t> words(const QByteArray &bytes)
{
    std::vector<std::uint16_t> w;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        w.push_back(static_cast<std::uint16_t>(std::uint8_t(bytes[i]) | std::uint8_t(bytes[i + 1]) << 8));
    return w;
}

} // namespace

Q_DECLARE_METATYPE(Outcome)

class MetafileRobustnessTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Outcome>("outcome");
        const QByteArray sound = fileBytes(redHalf());
        const auto with = [](auto build) {
            WmfWriter w = redHalf();
            build(w);
            return fileBytes(w);
        };
        QTest::newRow("empty") << QByteArray() << Outcome::Refused;
        QTest::newRow("ten bytes") << sound.left(10) << Outcome::Refused;
        QTest::newRow("placeable header alone") << fileBytes(WmfWriter().placeable({0, 0, 10, 10})).left(22) << Outcome::Refused;
        QTest::newRow("not a metafile") << QByteArray("GIF89a this is not a metafile at all") << Outcome::Refused;
        QTest::newRow("header and end only") << fileBytes(WmfWriter()) << Outcome::Sound;
        QTest::newRow("cut inside a record") << sound.left(sound.size() - 5) << Outcome::Partial;
        QTest::newRow("cut at a record boundary, no end record") << sound.left(sound.size() - 6) << Outcome::Sound;
        QTest::newRow("record size runs past the end") << with([](WmfWriter &w) {
            w.recordWithSize(0x7FFFFFFF, fn(wmf::Fn::Rectangle), {0, 0, 0, 0});
        }) << Outcome::Partial;
        QTest::newRow("record size zero") << with([](WmfWriter &w) { w.recordWithSize(0, fn(wmf::Fn::Rectangle), {}); })
                                          << Outcome::Partial;
        QTest::newRow("polygon claiming 60000 points in 40 bytes") << with([](WmfWriter &w) {
            w.record(fn(wmf::Fn::Polygon), {60000, 0, 0, 10, 10, 0, 10, 5, 5, 1, 1, 2, 2, 3, 3, 4, 4});
        }) << Outcome::Partial;
        QTest::newRow("negative point count") << with([](WmfWriter &w) { w.record(fn(wmf::Fn::Polyline), {0x8000, 1, 1}); })
                                              << Outcome::Partial;
        QTest::newRow("polypolygon counts past the record") << with([](WmfWriter &w) {
            w.record(fn(wmf::Fn::PolyPolygon), {3, 65535, 65535, 65535, 1, 2});
        }) << Outcome::Partial;
        QTest::newRow("polypolygon claiming 65535 polygons") << with([](WmfWriter &w) {
            w.record(fn(wmf::Fn::PolyPolygon), {65535, 1});
        }) << Outcome::Partial;
        QTest::newRow("text longer than its record") << with([](WmfWriter &w) {
            w.record(fn(wmf::Fn::TextOut), {32767, 0x4141, 10, 10});
            w.record(fn(wmf::Fn::ExtTextOut), {10, 10, 30000, wmf::ETO_CLIPPED, 0, 0});
        }) << Outcome::Partial;
        QTest::newRow("object indices out of range") << with([](WmfWriter &w) {
            w.record(fn(wmf::Fn::SelectObject), {60000}).record(fn(wmf::Fn::DeleteObject), {60000});
            w.selectObject(-32768).fillRegion(7, 9).paintRegion(500);
            w.selectClipRegion(1234).record(fn(wmf::Fn::InvertRegion), {99});
        }) << Outcome::Sound;
        QTest::newRow("zero and negative extents") << with([](WmfWriter &w) {
            w.setViewportExt(0, 0).setWindowExt(-1, 0).setViewportExt(-32768, -32768).scaleWindowExt(0, 0, 0, 0);
            w.setMapMode(wmf::MM_ISOTROPIC).setWindowExt(1, 32767).rectangle({-32768, -32768, 32767, 32767});
            w.setMapMode(static_cast<wmf::MapMode>(0)).setMapMode(static_cast<wmf::MapMode>(99));
        }) << Outcome::Sound;
        QTest::newRow("far outside the frame") << with([](WmfWriter &w) {
            w.setWindowExt(1, 1).polygon({{-32768, -32768}, {32767, 0}, {0, 32767}}).ellipse({-32768, -32768, 32767, 32767});
            w.arc({5, 5, 5, 5}, {5, 5}, {5, 5}).pie({0, 0, 0, 10}, {0, 0}, {1, 1}).roundRect({0, 0, 10, 10}, -32768, 32767);
        }) << Outcome::Sound;
        QTest::newRow("huge font") << with([](WmfWriter &w) {
            tools::WmfFont font;
            font.height = -32768;
            font.escapement = 12345;
            w.selectObject(w.createFont(font)).textOut(90, 0, "big").extTextOut(90, 0, 0, std::nullopt, "dx", {-32768, 32767});
        }) << Outcome::Sound;
        QTest::newRow("endless save and restore") << with([](WmfWriter &w) {
            for (int i = 0; i < 5000; ++i)
                w.saveDC().excludeClipRect({static_cast<std::int16_t>(i % 97), 0, static_cast<std::int16_t>(i % 97 + 1), 100});
            w.restoreDC(-32768).restoreDC(32767).restoreDC(3000);
        }) << Outcome::Sound;
        QTest::newRow("bitmap claiming 30000 x 30000 pixels") << with([](WmfWriter &w) {
            std::vector<std::uint16_t> p{0x0020, 0x00CC, 10, 10, 0, 0, 10, 10, 0, 0};
            const std::vector<std::uint16_t> dib = words(dibHeader(30000, 30000, 24));
            p.insert(p.end(), dib.begin(), dib.end());
            w.record(fn(wmf::Fn::DibStretchBlt), p);
        }) << Outcome::Partial;
        QTest::newRow("bitmaps with bad headers") << with([](WmfWriter &w) {
            for (const QByteArray &h : {dibHeader(0, 5, 24), dibHeader(5, 5, 7), dibHeader(5, 5, 24, 9000), dibHeader(-5, 5, 8),
                                        dibHeader(4, 4, 1, 12)}) {
                std::vector<std::uint16_t> p{0x0020, 0x00CC, 0, 4, 4, 0, 0, 10, 10, 0, 0};
                const std::vector<std::uint16_t> dib = words(h);
                p.insert(p.end(), dib.begin(), dib.end());
                w.record(fn(wmf::Fn::StretchDib), p);
            }
        }) << Outcome::Partial;
        QTest::newRow("66000 objects created") << with([](WmfWriter &w) {
            for (int i = 0; i < 66000; ++i)
                w.record(fn(wmf::Fn::CreateBrushIndirect), {0, 0, 0, 0});
            w.record(fn(wmf::Fn::SelectObject), {65534});
        }) << Outcome::Sound;
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Outcome, outcome);
        QString error;
        const std::optional<Metafile> m = Metafile::fromData(bytes, &error);
        QCOMPARE(!m, outcome == Outcome::Refused);
        if (!m) {
            QVERIFY(!error.isEmpty());
            return;
        }
        QVERIFY2(m->problem().isEmpty() == (outcome == Outcome::Sound), qPrintable(m->problem()));
        for (const QSize size : {QSize(64, 48), QSize(3, 2)}) {
            const QImage image = m->toImage(size);
            QCOMPARE(image.size(), size);
            // What came before the damage is still drawn.
            if (!m->isEmpty() && size.width() > 10)
                QCOMPARE(at(image, 1, size.height() / 2), kRed);
        }
    }

    // Random damage to sound files of every record kind: whatever happens, nothing breaks.
    void randomDamage()
    {
        WmfWriter rich = redHalf();
        const int pen = rich.createPen(wmf::PS_DASH, 3, kBlue);
        tools::WmfFont font;
        rich.selectObject(pen).selectObject(rich.createFont(font)).textOut(10, 10, "Abc");
        rich.polyPolygon({{{1, 1}, {9, 1}, {5, 9}}, {{2, 2}, {3, 3}, {2, 4}}}).pie({0, 0, 50, 50}, {50, 0}, {0, 50});
        tools::WmfBitmap bitmap;
        bitmap.width = 3;
        bitmap.height = 2;
        bitmap.bitCount = 4;
        bitmap.pixels = {kRed, kBlue, kGreen, kGreen, kBlue, kRed};
        rich.stretchDib({0, 0, 30, 30}, {0, 0, 3, 2}, bitmap).selectObject(rich.createRegion({1, 1, 20, 20}));
        rich.setMapMode(wmf::MM_LOMETRIC).saveDC().intersectClipRect({0, 0, 40, 40}).restoreDC().ellipse({0, 0, 30, 30});
        const QByteArray original = fileBytes(rich);
        QRandomGenerator random(20240531); // fixed: the same damage every run
        for (int round = 0; round < 400; ++round) {
            QByteArray bytes = original;
            const int edits = 1 + int(random.bounded(6));
            for (int e = 0; e < edits; ++e) {
                const auto at = static_cast<qsizetype>(random.bounded(static_cast<int>(bytes.size())));
                switch (random.bounded(4)) {
                case 0: bytes[at] = static_cast<char>(random.bounded(256)); break;
                case 1: bytes[at] = static_cast<char>(0xFF); break;
                case 2: bytes.truncate(std::max<qsizetype>(at, 1)); break;
                default: bytes.insert(at, QByteArray(2, static_cast<char>(random.bounded(256))));
                }
            }
            if (const std::optional<Metafile> m = Metafile::fromData(bytes))
                QCOMPARE(m->toImage(QSize(32, 24)).size(), QSize(32, 24));
        }
    }
};

QTEST_MAIN(MetafileRobustnessTest)
#include "metafile_robustness_test.moc"
