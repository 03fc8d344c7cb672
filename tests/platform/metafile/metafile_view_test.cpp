// Loading files, the picture the key model holds, the view widget and sampling the colour chart.
#include <QPainter>
#include <QTemporaryDir>

#include "knowledge/palette.h"
#include "metafile_test_support.h"
#include "platform/metafile/metafile_picture.h"
#include "platform/metafile/metafile_view.h"
#include "platform/metafile/palette_sampling.h"

using namespace tarvenko;
using namespace tarvenko::test;

namespace {

const std::vector<std::uint32_t> kChart = {kRed, kGreen, kBlue, wmf::rgb(128, 64, 32)};

// A colour chart: one cell per colour, side by side.
WmfWriter chart()
{
    WmfWriter w;
    w.placeable({0, 0, static_cast<std::int16_t>(100 * kChart.size()), 50});
    w.selectObject(w.createPen(wmf::PS_NULL, 0, 0));
    for (std::size_t i = 0; i < kChart.size(); ++i) {
        const int brush = w.createBrush(wmf::BS_SOLID, kChart[i]);
        const auto left = static_cast<std::int16_t>(100 * i);
        w.selectObject(brush).rectangle({left, 0, static_cast<std::int16_t>(left + 100), 50}).deleteObject(brush);
    }
    return w;
}

} // namespace

class MetafileViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void loadReportsFailuresNamingTheFile_data()
    {
        QTest::addColumn<QByteArray>("contents"); // empty: no file at all
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << QByteArray() << QStringLiteral("Cannot open");
        QTest::newRow("not a metafile") << QByteArray("just some text, long enough") << QStringLiteral("not a Windows metafile");
        QTest::newRow("too short") << QByteArray("\x01\x00", 2) << QStringLiteral("too short");
    }
    void loadReportsFailuresNamingTheFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("couleur.wmf"));
        if (!contents.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }
        QString error;
        QVERIFY(!Metafile::load(path, &error));
        QVERIFY2(error.contains(path) && error.contains(reason), qPrintable(error));
        QVERIFY(!MetafilePicture::load(path, &error));
        QVERIFY2(error.contains(path), qPrintable(error));
    }

    void loadedPictureIsAKeyModelPicture()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("couleur.wmf"));
        chart().save(path.toStdString());
        std::shared_ptr<const Picture> picture = MetafilePicture::load(path);
        QVERIFY(picture);
        const auto *metafile = dynamic_cast<const MetafilePicture *>(picture.get());
        QVERIFY(metafile);
        QVERIFY(metafile->metafile().isPlaceable());
        QCOMPARE(at(metafile->metafile().toImage(QSize(40, 5)), 35, 2), kChart[3]);
    }

    void viewPaintsExactlyWhatItSamples()
    {
        MetafileView view;
        view.setMetafile(parsed(chart()));
        view.resize(203, 31);
        const QImage painted = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage exact = view.renderExact();
        QCOMPARE(painted.size(), QSize(203, 31));
        QCOMPARE(painted, exact.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(strays(exact, {kChart[0], kChart[1], kChart[2], kChart[3]}), 0);
    }

    void paletteSampledFromTheChartAtAnySize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("400 x 60") << QSize(400, 60);
        QTest::newRow("97 x 13") << QSize(97, 13);
        QTest::newRow("8 x 2") << QSize(8, 2);
    }
    void paletteSampledFromTheChartAtAnySize()
    {
        QFETCH(QSize, size);
        MetafileView view;
        view.setMetafile(parsed(chart()));
        view.resize(size);
        KeyModel m;
        m.Nb_Couleurs = 4;
        m.Code_Couleur = {"FEUILLE", "FRUIT", "ECORCE", "TRONC"};
        Echantillonne_Palette(m, view.renderExact());
        for (std::size_t i = 0; i < kChart.size(); ++i)
            QCOMPARE(static_cast<std::uint32_t>(m.Couleur_Valeur[i]), kChart[i]);
        QCOMPARE(m.Couleur_Octets[3].red, 128);
        QCOMPARE(m.Couleur_Octets[3].blue, 32);
        QCOMPARE(Cherche_Couleur(m, couleurEcran(qRgb(0, 150, 10))), std::string("FRUIT"));
    }

    void smoothEdgesOnlyWhenAsked()
    {
        WmfWriter w = filled(kRed);
        w.setWindowExt(100, 100).ellipse({0, 0, 100, 100});
        const Metafile picture = parsed(w);
        QImage smooth(100, 100, QImage::Format_RGB32);
        smooth.fill(Qt::white);
        QPainter painter(&smooth);
        picture.play(painter, QRectF(0, 0, 100, 100), Metafile::Edges::Smooth);
        painter.end();
        QVERIFY(strays(smooth, {kRed}) > 0);
        QCOMPARE(strays(picture.toImage(QSize(100, 100)), {kRed}), 0);
    }
};

QTEST_MAIN(MetafileViewTest)
#include "metafile_view_test.moc"
