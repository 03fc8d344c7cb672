#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

#include "commands/impression.h"
#include "knowledge/loader.h"
#include "platform/qt_text.h"
#include "support/temp_dir.h"
#include "tools/kbbuilder/kb_builder.h"
#include "tools/wmf/wmf_writer.h"

using namespace tarvenko;
using tools::WmfRect;
using tools::WmfWriter;

namespace {

// A metafile that fills `box` of its frame with one colour (COLORREF).
void writeFill(const std::string &path, WmfRect frame, WmfRect box, std::uint32_t colour, bool placeable)
{
    WmfWriter w;
    if (placeable)
        w.placeable(frame);
    else
        w.setWindowOrg(frame.left, frame.top).setWindowExt(frame.right - frame.left, frame.bottom - frame.top);
    w.selectObject(w.createPen(wmf::PS_NULL, 0, 0));
    w.selectObject(w.createBrush(wmf::BS_SOLID, colour));
    w.rectangle(box);
    w.save(path);
}

// Rasterises the first page of a PDF at a low resolution.
QImage rasterise(const QString &pdf)
{
    const QString base = pdf + QStringLiteral(".page");
    QProcess::execute(QStringLiteral(PDFTOPPM), {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-png"),
                                                 QStringLiteral("-singlefile"), pdf, base});
    return QImage(base + QStringLiteral(".png"));
}

QPrinter *pdfPrinter(QPrinter &printer, const QString &path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setResolution(300);
    return &printer;
}

bool near(QRgb pixel, QColor expected) { return std::abs(qRed(pixel) - expected.red()) < 12 && std::abs(qGreen(pixel) - expected.green()) < 12 && std::abs(qBlue(pixel) - expected.blue()) < 12; }

} // namespace

class PrintingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (!QFileInfo::exists(QStringLiteral(PDFTOPPM)))
            QSKIP("pdftoppm (poppler-utils) is not installed");
    }

    void drawingPrintsEveryLayerOnOneLandscapePage()
    {
        test::TempDir dir;
        namespace fs = std::filesystem;
        fs::create_directories(dir.path() / "robot" / "00");
        fs::create_directories(dir.path() / "robot" / "01");
        // Layer 0 paints the left half red, layer 1 the right half blue.
        writeFill(dir.dossier() + "robot/00/fond.wmf", {0, 0, 2400, 1800}, {0, 0, 1200, 1800}, 0x000000FF, false);
        writeFill(dir.dossier() + "robot/01/dessus.wmf", {0, 0, 2400, 1800}, {1200, 0, 2400, 1800}, 0x00FF0000, false);
        tools::KbBuilder kb(dir.dossier() + "data/");
        kb.espece("Quercus robur", "FAGACEAE", "QUERO");
        kb.objet({.objet = "FEUILLE", .etats = {"A"}});
        kb.hierarchie(0, "fond.wmf", {}).hierarchie(1, "DESSUS.WMF", {});
        kb.ecrit();
        KeyModel m;
        m.Chemin_Data = dir.dossier() + "data/";
        m.Chemin_Base = m.Chemin_Data + tools::KbBuilder::kNomBase;
        m.Chemin_Robot = dir.dossier() + "robot\\";
        QVERIFY(Charge_Connaissances(m).etat == ResultatChargement::Etat::Ok);

        QPrinter printer;
        const QString pdf = qs(dir.fichier("drawing.pdf"));
        std::vector<int> reported;
        QCOMPARE(Imprime_Dessin(*pdfPrinter(printer, pdf), m, [&](int k) { reported.push_back(k); return true; }),
                 IssueImpression::Imprime);
        QCOMPARE(reported, (std::vector<int>{0, 1}));
        const QImage page = rasterise(pdf);
        QVERIFY(!page.isNull());
        QVERIFY(page.width() > page.height()); // landscape
        QVERIFY(near(page.pixel(page.width() / 4, page.height() / 2), Qt::red));
        QVERIFY(near(page.pixel(page.width() * 3 / 4, page.height() / 2), Qt::blue));
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait); // set back afterwards

        // Abandoning at the first layer discards the job.
        QPrinter again;
        const QString abandoned = qs(dir.fichier("abandoned.pdf"));
        QCOMPARE(Imprime_Dessin(*pdfPrinter(again, abandoned), m, [](int) { return false; }), IssueImpression::Abandonne);

        // In French, a layer the key has in French prints that picture, the others their own.
        writeFill(dir.dossier() + "robot/00/fond_fr.wmf", {0, 0, 2400, 1800}, {0, 0, 1200, 1800}, 0x0000FF00, false);
        m.Num_Langue = 2;
        QPrinter french;
        const QString pdfFr = qs(dir.fichier("drawing_fr.pdf"));
        QCOMPARE(Imprime_Dessin(*pdfPrinter(french, pdfFr), m, {}), IssueImpression::Imprime);
        const QImage pageFr = rasterise(pdfFr);
        QVERIFY(near(pageFr.pixel(pageFr.width() / 4, pageFr.height() / 2), Qt::green));
        QVERIFY(near(pageFr.pixel(pageFr.width() * 3 / 4, pageFr.height() / 2), Qt::blue));
    }

    void placeableBoxesMapOntoTheWholePage_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::newRow("box from the origin") << 0 << 0;
        QTest::newRow("box with negative corner") << -100 << -50;
    }
    void placeableBoxesMapOntoTheWholePage()
    {
        QFETCH(int, left);
        QFETCH(int, top);
        test::TempDir dir;
        const auto l = static_cast<std::int16_t>(left), t = static_cast<std::int16_t>(top);
        // A 1000 x 500 box; its right half is green.
        writeFill(dir.fichier("grid.wmf"), {l, t, static_cast<std::int16_t>(l + 1000), static_cast<std::int16_t>(t + 500)},
                  {static_cast<std::int16_t>(l + 500), t, static_cast<std::int16_t>(l + 1000), static_cast<std::int16_t>(t + 500)},
                  0x0000FF00, true);
        QPrinter printer;
        const QString pdf = qs(dir.fichier("grid.pdf"));
        QVERIFY(Imprime_Question(*pdfPrinter(printer, pdf), qs(dir.fichier("grid.wmf"))));
        const QImage page = rasterise(pdf);
        QVERIFY(page.width() > page.height());
        QVERIFY(near(page.pixel(page.width() / 4, page.height() / 2), Qt::white));
        QVERIFY(near(page.pixel(page.width() * 3 / 4, page.height() / 2), Qt::green));
        QVERIFY(near(page.pixel(page.width() - 2, page.height() - 2), Qt::green)); // scaled to the whole page
    }

    void drawingPagePictureKeepsItsSizeAtEveryResolution()
    {
        QCOMPARE(Taille_Image_Dessin(300, 300), QSize(2200, 3300));
        QCOMPARE(Taille_Image_Dessin(600, 600), QSize(4400, 6600));
        QCOMPARE(Taille_Image_Dessin(150, 150), QSize(1100, 1650)); // not an empty page
    }
};

QTEST_MAIN(PrintingTest)
#include "impression_test.moc"
