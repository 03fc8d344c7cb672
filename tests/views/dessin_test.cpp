// The drawing, the grid of state pictures and the bar icons at the screen's pixels. CTest runs
// this program twice: as it is, and with QT_SCALE_FACTOR=2 (a screen of device pixel ratio 2).
#include <QAction>
#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <memory>

#include "knowledge/key_model.h"
#include "platform/metafile/metafile_picture.h"
#include "tools/wmf/wmf_writer.h"
#include "views/barres.h"
#include "views/pic_choix.h"
#include "views/robot_view.h"

using namespace tarvenko;
using tools::WmfRect;
using tools::WmfWriter;

namespace {

constexpr std::uint32_t kVert = 0x0030A030; // COLORREF
constexpr std::uint32_t kBrun = 0x00204080;

// The ratio this run was started for.
qreal ratioDemande()
{
    const double r = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    return r > 0 ? r : 1;
}

Metafile lit(const WmfWriter &w)
{
    const std::vector<std::uint8_t> bytes = w.bytes();
    return *Metafile::fromData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

// A brown ground with a green triangle over its lower left half: the boundary is a diagonal, so
// a smooth drawing blends the two colours along it.
Metafile deuxParties()
{
    WmfWriter w;
    w.setWindowOrg(0, 0).setWindowExt(2400, 1800);
    w.selectObject(w.createPen(wmf::PS_NULL, 0, 0));
    w.selectObject(w.createBrush(wmf::BS_SOLID, kBrun)).rectangle(WmfRect{0, 0, 2400, 1800});
    w.selectObject(w.createBrush(wmf::BS_SOLID, kVert)).polygon({{0, 0}, {2400, 1800}, {0, 1800}});
    return lit(w);
}

std::int32_t couleurDe(QRgb rgb) { return qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16); }

// A key model whose drawing is that one picture.
std::unique_ptr<KeyModel> modeleDessin(const Metafile &dessin)
{
    auto m = std::make_unique<KeyModel>();
    m->Nb_Robot = 1;
    m->Robots = {Robot{std::make_shared<MetafilePicture>(dessin), {}}};
    return m;
}

// Dark pixels along row y.
int sombres(const QImage &image, int y)
{
    int n = 0;
    for (int x = 0; x < image.width(); ++x)
        n += qGray(image.pixel(x, y)) < 128;
    return n;
}

// An icon file holding one picture per size, each written by Qt, their directories joined.
QByteArray icone(const std::vector<QImage> &images)
{
    QByteArray entrees, donnees;
    const int debut = 6 + 16 * static_cast<int>(images.size());
    for (const QImage &image : images) {
        QBuffer b;
        b.open(QIODevice::WriteOnly);
        QImageWriter(&b, "ico").write(image);
        const QByteArray f = b.data();
        const int offset = static_cast<std::uint8_t>(f[18]) | static_cast<std::uint8_t>(f[19]) << 8;
        entrees.append(f.mid(6, 12));
        const int at = debut + static_cast<int>(donnees.size());
        for (int i = 0; i < 4; ++i)
            entrees.append(static_cast<char>((at >> (8 * i)) & 0xFF));
        donnees.append(f.mid(offset));
    }
    QByteArray out("\0\0\1\0", 4);
    out.append(static_cast<char>(images.size())).append('\0');
    return out + entrees + donnees;
}

// A translucent-edged wedge of its own colour: smoothed edges blend with what lies under them, so
// a layer played twice, or over the wrong layers, changes pixels.
std::shared_ptr<const Picture> coin(int n)
{
    const auto o = [](int v) { return static_cast<std::uint8_t>(v); };
    WmfWriter w;
    w.setWindowOrg(0, 0).setWindowExt(2400, 1800);
    w.selectObject(w.createPen(wmf::PS_SOLID, 3, wmf::rgb(o(40 * n), 0, o(200 - 30 * n))));
    w.selectObject(w.createBrush(wmf::BS_SOLID, wmf::rgb(o(50 * n), o(255 - 40 * n), o(30 * n))));
    const std::int16_t d = static_cast<std::int16_t>(150 * n);
    w.polygon({{d, 0}, {static_cast<std::int16_t>(2400 - d), static_cast<std::int16_t>(300 + d)}, {0, 1800}});
    return std::make_shared<MetafilePicture>(lit(w));
}

} // namespace

class DessinTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theRunHasTheRatioItAskedFor()
    {
        QWidget w;
        QCOMPARE(w.devicePixelRatioF(), ratioDemande());
    }

    void theDrawingHasTheScreensPixels()
    {
        const auto m = modeleDessin(deuxParties());
        for (const QSize size : {QSize(400, 300), QSize(301, 203)}) {
            RobotView robot;
            robot.resize(size);
            robot.setModele(m.get(), true);
            const qreal r = robot.devicePixelRatioF();
            QCOMPARE(robot.image().size(), (QSizeF(size) * r).toSize());
            QCOMPARE(robot.image().devicePixelRatio(), r);
            // The hit test reads the box's own pixels.
            QCOMPARE(robot.imageExacte().size(), size);
            // Painting copies the drawing pixel for pixel.
            const QImage shown = robot.grab().toImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(shown.size(), robot.image().size());
            QCOMPARE(shown, robot.image().convertToFormat(QImage::Format_RGB32));
        }
    }

    void theDrawingIsSmoothAndItsHitTestExact()
    {
        const Metafile dessin = deuxParties();
        const auto m = modeleDessin(dessin);
        RobotView robot;
        robot.resize(400, 300);
        robot.setModele(m.get(), true);
        const QImage shown = robot.image();
        const QImage exact = dessin.toImage(QSize(400, 300));
        int blended = 0, blendedRead = 0;
        for (int y = 0; y < 300; ++y) {
            for (int x = 0; x < 400; ++x) {
                // Edge pixels of the drawing on screen mix the two parts...
                const QRgb seen = shown.pixel(qMin(shown.width() - 1, qFloor(x * shown.devicePixelRatio())),
                                              qMin(shown.height() - 1, qFloor(y * shown.devicePixelRatio())));
                const bool blend = couleurDe(seen) != std::int32_t(kVert) && couleurDe(seen) != std::int32_t(kBrun);
                blended += blend;
                // ...the hit test reads a part's own colour there, as the unsmoothed drawing has it.
                if (blend) {
                    ++blendedRead;
                    QCOMPARE(robot.couleur(x, y), couleurDe(exact.pixel(x, y)));
                }
            }
        }
        QVERIFY(blended > 100);
        QCOMPARE(blendedRead, blended);
        QCOMPARE(robot.couleur(10, 290), std::int32_t(kVert));
        QCOMPARE(robot.couleur(390, 10), std::int32_t(kBrun));
        QCOMPARE(robot.couleur(400, 10), 0xFFFFFF); // outside
    }

    void theHitTestFollowsTheDrawing()
    {
        // Drawn again at a new size, and at a new answer, without a paint in between.
        const auto m = modeleDessin(deuxParties());
        RobotView robot;
        robot.resize(400, 300);
        robot.setModele(m.get(), true);
        QCOMPARE(robot.couleur(300, 200), std::int32_t(kBrun));
        robot.resize(800, 300);
        QCOMPARE(robot.couleur(300, 200), std::int32_t(kVert));
        QCOMPARE(robot.couleur(700, 299), std::int32_t(kVert));
        m->Nb_Robot = 0;
        robot.invalide();
        QCOMPARE(robot.couleur(700, 299), 0xFFFFFF);
    }

    void eachAnswerShowsWhatAFreshDrawingWould_data()
    {
        // Steps applied one after the other to a drawing of four layers: which entry of Robots
        // gets a new picture (-1: none), and the layer and overlay counts after it.
        QTest::addColumn<QList<int>>("couche");
        QTest::addColumn<QList<int>>("nbRobot");
        QTest::addColumn<QList<int>>("nbContradictions");
        QTest::newRow("top layer, then a lower one") << QList<int>{3, 1, 3, 3} << QList<int>{4, 4, 4, 4} << QList<int>{0, 0, 0, 0};
        QTest::newRow("bottom layer") << QList<int>{3, 0, 2} << QList<int>{4, 4, 4} << QList<int>{0, 0, 0};
        QTest::newRow("overlays come and go") << QList<int>{-1, 4, -1, -1, 3} << QList<int>{4, 4, 4, 4, 4} << QList<int>{1, 1, 0, 1, 1};
        QTest::newRow("fewer layers, then more") << QList<int>{2, -1, -1, 2} << QList<int>{4, 2, 4, 4} << QList<int>{0, 0, 0, 0};
        QTest::newRow("the same layers again") << QList<int>{2, -1, 2} << QList<int>{4, 4, 4} << QList<int>{0, 0, 0};
    }

    void eachAnswerShowsWhatAFreshDrawingWould()
    {
        QFETCH(QList<int>, couche);
        QFETCH(QList<int>, nbRobot);
        QFETCH(QList<int>, nbContradictions);
        KeyModel m;
        m.Nb_Robot = 4;
        for (int i = 0; i < 5; ++i)
            m.Robots.push_back(Robot{coin(i), {}});
        RobotView robot;
        robot.resize(300, 200);
        robot.setModele(&m, true);
        robot.image();
        int n = 5;
        for (qsizetype step = 0; step < couche.size(); ++step) {
            if (couche[step] >= 0)
                m.Robots[static_cast<std::size_t>(couche[step])].Image = coin(n++ % 6);
            m.Nb_Robot = static_cast<std::int16_t>(nbRobot[step]);
            m.Nb_Contradictions = static_cast<std::int16_t>(nbContradictions[step]);
            robot.invalide();
            RobotView fresh;
            fresh.resize(300, 200);
            fresh.setModele(&m, true);
            QVERIFY2(robot.image() == fresh.image(), qPrintable(QStringLiteral("step %1").arg(step)));
        }
    }

    void aQuestionOpenedAgainKeepsItsPicture_data()
    {
        // The grid's picture read again from the same bytes, or from a file that differs in one
        // thing: the image is played again only for the latter.
        QTest::addColumn<int>("variante");
        QTest::addColumn<bool>("garde");
        QTest::newRow("same bytes") << 0 << true;
        QTest::newRow("another colour") << 1 << false;
        QTest::newRow("another frame") << 2 << false;
        QTest::newRow("one more record") << 3 << false;
    }

    void aQuestionOpenedAgainKeepsItsPicture()
    {
        QFETCH(int, variante);
        QFETCH(bool, garde);
        const auto ecrit = [](int v) {
            WmfWriter w;
            w.setWindowOrg(0, 0).setWindowExt(1000, v == 2 ? 600 : 500);
            w.selectObject(w.createPen(wmf::PS_SOLID, 20, v == 1 ? kVert : kBrun));
            w.moveTo(100, 100).lineTo(900, 400);
            if (v == 3)
                w.lineTo(100, 400);
            return lit(w);
        };
        PicChoixView grid;
        grid.resize(200, 100);
        grid.setImage(ecrit(0));
        const QImage avant = grid.imageLisse();
        const qint64 cle = avant.cacheKey();
        grid.setImage(ecrit(variante));
        QCOMPARE(grid.imageLisse().cacheKey() == cle, garde);
        QCOMPARE(grid.imageLisse() == avant, variante == 0);
    }

    void gridPensKeepTheirShareOfTheBox()
    {
        // A vertical stroke a tenth of the picture wide: 40 of the box's 400 pixels, at any ratio.
        WmfWriter w;
        w.setWindowOrg(0, 0).setWindowExt(1000, 500);
        w.selectObject(w.createPen(wmf::PS_SOLID, 100, 0));
        w.moveTo(500, 100).lineTo(500, 400);
        PicChoixView grid;
        grid.resize(400, 200);
        grid.setImage(lit(w));
        const QImage shown = grid.grab().toImage();
        const qreal r = grid.devicePixelRatioF();
        QCOMPARE(shown.size(), (QSizeF(400, 200) * r).toSize());
        QVERIFY2(std::abs(sombres(shown, shown.height() / 2) - 40 * r) <= 2 * r,
                 qPrintable(QString::number(sombres(shown, shown.height() / 2))));
    }

    void barIconsUseThePictureThatFitsTheScreen()
    {
        // A red square at 32 pixels and a one-pixel checkerboard at 64: the screen of ratio 2
        // shows the checkerboard pixel for pixel, at the small picture's size.
        QImage petite(32, 32, QImage::Format_ARGB32);
        petite.fill(Qt::red);
        QImage grande(64, 64, QImage::Format_ARGB32);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                grande.setPixel(x, y, (x + y) % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        QTemporaryDir dir;
        QFile f(dir.filePath(QStringLiteral("b.ico")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(icone({petite, grande}));
        f.close();

        QToolBar barre;
        barre.setIconSize(QSize(40, 40));
        Remplit_Barre(&barre, {BoutonBarre{QStringLiteral("B"), f.fileName(), {}, {}}});
        const qreal r = barre.devicePixelRatioF();
        const QPixmap pm = Bouton_A(&barre, 1)->icon().pixmap(barre.iconSize(), r);
        QCOMPARE(pm.devicePixelRatio(), r);
        QCOMPARE(pm.size(), (QSizeF(40, 40) * r).toSize());
        const QImage attendue = r >= 2 ? grande : petite.convertToFormat(QImage::Format_ARGB32);
        const int bord = (pm.width() - attendue.width()) / 2;
        QImage vue = pm.toImage().copy(bord, bord, attendue.width(), attendue.height()).convertToFormat(QImage::Format_ARGB32);
        vue.setDevicePixelRatio(1);
        QCOMPARE(vue, attendue);
    }
};

QTEST_MAIN(DessinTest)
#include "dessin_test.moc"
