#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "documents/aide_question.h"
#include "documents/chemins_documents.h"
#include "documents/zoom.h"

using namespace tarvenko;

namespace {

QString s(const char *text) { return QString::fromUtf8(text); }

} // namespace

// The arithmetic and names behind the browser: zoom placement and panning in twips, the legend's
// place, and the names of the document collection.
class ReglesDocumentsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void zoomPlacement_data()
    {
        QTest::addColumn<int>("sourisX");
        QTest::addColumn<int>("sourisY");
        QTest::addColumn<int>("largeurPixels"); // the zoom window's client area
        QTest::addColumn<int>("hauteurPixels");
        QTest::addColumn<double>("tpp");
        QTest::addColumn<int>("zoomX");
        QTest::addColumn<int>("zoomY");
        // (12 + 100, 72 + 50): the point 400 x 200 pixels into the drawing at the centre.
        QTest::newRow("nominal: centred, 300 x 300") << 112 << 122 << 300 << 300 << 15.0 << 3750 << 750;
        QTest::newRow("nominal: centred, 400 x 400") << 112 << 122 << 400 << 400 << 15.0 << 3000 << 0;
        QTest::newRow("nominal: 120 dpi") << 112 << 122 << 300 << 300 << 12.0 << 3000 << 600;
        QTest::newRow("limit: top left corner") << 12 << 72 << 400 << 400 << 15.0 << 0 << 0;
        // 2200 x 3300 pixels less the window: 33000 - 6000 and 49500 - 6000 twips.
        QTest::newRow("limit: bottom right corner") << 12 + 550 << 72 + 825 << 400 << 400 << 15.0 << 27000 << 43500;
        QTest::newRow("limit: far outside") << 5000 << 9000 << 400 << 400 << 15.0 << 27000 << 43500;
        QTest::newRow("limit: above and left of the drawing") << 5 << 30 << 400 << 400 << 15.0 << 0 << 0;
        // An odd width gives half a twip, 15 * 4 * 100 - 301 * 15 / 2 = 3742.5: to the even neighbour.
        QTest::newRow("rounding: half to even") << 112 << 122 << 301 << 300 << 15.0 << 3742 << 750;
    }
    void zoomPlacement()
    {
        QFETCH(int, sourisX);
        QFETCH(int, sourisY);
        QFETCH(int, largeurPixels);
        QFETCH(int, hauteurPixels);
        QFETCH(double, tpp);
        EtatZoom z{kDecalageDessinX, kDecalageDessinY, sourisX, sourisY, 0, 0};
        Place_Zoom(z, {largeurPixels * tpp, hauteurPixels * tpp, tpp, tpp});
        QTEST(int(z.Zoom_X), "zoomX");
        QTEST(int(z.Zoom_Y), "zoomY");
    }

    void centredPointIsUnderTheWindowsCentre()
    {
        EtatZoom z{kDecalageDessinX, kDecalageDessinY, 12 + 100, 72 + 50, 0, 0};
        Place_Zoom(z, {300 * 15.0, 200 * 15.0, 15.0, 15.0});
        QCOMPARE(z.Zoom_X / 15 + 300 / 2, 400);
        QCOMPARE(z.Zoom_Y / 15 + 200 / 2, 200);
    }

    void panning_data()
    {
        QTest::addColumn<int>("largeurPixels");
        QTest::addColumn<int>("hauteurPixels");
        QTest::addColumn<int>("versX"); // twips of the zoom window, from a press at (1500, 1500)
        QTest::addColumn<int>("versY");
        QTest::addColumn<int>("zoomX");
        QTest::addColumn<int>("zoomY");
        QTest::newRow("nominal: the drawing follows the mouse") << 400 << 400 << 1200 << 900 << 3300 << 3600;
        QTest::newRow("limit: dragged past the top left") << 400 << 400 << 9000 << 9000 << 0 << 0;
        QTest::newRow("limit: dragged past the bottom right") << 400 << 400 << -60000 << -60000 << 27000 << 43500;
        QTest::newRow("larger than the drawing: taller") << 400 << 3400 << 1200 << 900 << 3300 << 0;
        QTest::newRow("larger than the drawing: wider") << 2300 << 400 << 1200 << 900 << 0 << 3600;
    }
    void panning()
    {
        QFETCH(int, largeurPixels);
        QFETCH(int, hauteurPixels);
        QFETCH(int, versX);
        QFETCH(int, versY);
        EtatZoom z{kDecalageDessinX, kDecalageDessinY, 0, 0, 3000, 3000};
        Deplace_Zoom(z, {largeurPixels * 15.0, hauteurPixels * 15.0, 15.0, 15.0}, 1500, 1500, versX, versY);
        QTEST(int(z.Zoom_X), "zoomX");
        QTEST(int(z.Zoom_Y), "zoomY");
    }

    void legendGoesBesideTheSplitter()
    {
        // Two thirds of 1501 is 1000 and a bit, of 6000.4 (rounded first) 4000: whole divisions.
        QCOMPARE(Place_Legende(3000, 600, 6000.4, 1501), (PositionTwips{2000, 4600}));
    }

    void languageOfThePage_data()
    {
        QTest::addColumn<QString>("adresse");
        QTest::addColumn<QString>("suffixe");
        QTest::newRow("Spanish page") << s("file:///d/q/quero/quero_es.html") << s("_es");
        QTest::newRow("French page on a server") << s("http://h/docs/q/quero/quero_fr.html") << s("_fr");
        QTest::newRow("drawing page") << s("file:///d/q/quero/dessin_quero_es.html") << s("_es");
        QTest::newRow("not a page") << s("file:///d/q/quero/quero.pdf") << s("_en");
        QTest::newRow("nothing shown yet") << QString() << s("_en");
        QTest::newRow("capital extension") << s("file:///d/QUERO_ES.HTML") << s("_en");
        // Only "_" and two letters before ".html" name a language.
        QTest::newRow("page without a language") << s("file:///d/q/quero/bark.html") << s("_en");
        QTest::newRow("underscore elsewhere") << s("file:///d/q/quero/ab_c.html") << s("_en");
        QTest::newRow("digits") << s("file:///d/q/quero/quero_12.html") << s("_en");
        QTest::newRow("three letters") << s("file:///d/q/quero/quero_eng.html") << s("_en");
        QTest::newRow("capital letters") << s("file:///d/q/quero/quero_ES.html") << s("_ES");
        QTest::newRow("just the suffix") << s("_fr.html") << s("_fr");
    }
    void languageOfThePage()
    {
        QFETCH(QString, adresse);
        QTEST(Suffixe_Page(adresse), "suffixe");
    }

    void speciesPage_data()
    {
        QTest::addColumn<QString>("distribution");
        QTest::addColumn<QString>("adresse");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("suffixe");
        QTest::addColumn<QString>("separateur");
        QTest::addColumn<bool>("locale");
        QTest::addColumn<QString>("chemin");
        QTest::newRow("local, from the list") << s("hd") << s("/docs/") << s("Abcde") << s("_en") << s("\\") << true
                                              << s("/docs/a\\abcde\\abcde_en.html");
        QTest::newRow("local, from the tree") << s("hd") << s("/docs/") << s("QUERO") << s("_es") << s("/") << true
                                              << s("/docs/q/quero/quero_es.html");
        QTest::newRow("web server") << s("http") << s("http://h/docs/") << s("QUERO") << s("_fr") << s("\\") << false
                                    << s("http://h/docs/q/quero/quero_fr.html");
        QTest::newRow("no species") << s("hd") << s("/docs/") << QString() << s("_en") << s("\\") << true
                                    << s("/docs/\\\\_en.html");
        // A web address typed without its scheme is a web site's, as a browser takes it.
        QTest::newRow("web server, no scheme") << s("http") << s("www.example.org/flora/") << s("QUERO") << s("_en")
                                               << s("/") << false << s("http://www.example.org/flora/q/quero/quero_en.html");
        QTest::newRow("web server with a port, no scheme")
            << s("http") << s("127.0.0.1:8080/") << s("QUERO") << s("_en") << s("/") << false
            << s("http://127.0.0.1:8080/q/quero/quero_en.html");
        QTest::newRow("web server, https") << s("http") << s("https://h/docs/") << s("QUERO") << s("_en") << s("/")
                                           << false << s("https://h/docs/q/quero/quero_en.html");
        QTest::newRow("web server, scheme in capitals") << s("http") << s("HTTP://h/docs/") << s("QUERO") << s("_en")
                                                        << s("/") << false << s("HTTP://h/docs/q/quero/quero_en.html");
    }
    void speciesPage()
    {
        QFETCH(QString, distribution);
        QFETCH(QString, adresse);
        QFETCH(QString, code);
        QFETCH(QString, suffixe);
        QFETCH(QString, separateur);
        const PageEspece page = Page_Espece(distribution, adresse, code, suffixe, separateur.at(0));
        QTEST(page.locale, "locale");
        QTEST(page.chemin, "chemin");
    }

    void drawingFiles()
    {
        QCOMPARE(Fichier_Dessin(s("/docs/"), s("QUERO")), s("/docs/q\\quero\\quero.gif"));
        QCOMPARE(Page_Erreur(s("/data/"), s("_es")), s("/data/error_es.html"));
    }

    void drawingPage_data()
    {
        QTest::addColumn<QString>("adresse");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("distribution");
        QTest::addColumn<bool>("dessin");
        QTest::newRow("local drawing page") << s("file:///d/q/quero/dessin_quero_en.html") << s("QUERO") << s("hd") << true;
        QTest::newRow("in capitals") << s("FILE:///D/Q/QUERO/DESSIN_QUERO_EN.HTML") << s("quero") << s("hd") << true;
        QTest::newRow("from a web server") << s("http://h/q/quero/dessin_quero_en.html") << s("QUERO") << s("http") << false;
        QTest::newRow("another species") << s("file:///d/f/fagsy/dessin_fagsy_en.html") << s("QUERO") << s("hd") << false;
        QTest::newRow("species page") << s("file:///d/q/quero/quero_en.html") << s("QUERO") << s("hd") << false;
        QTest::newRow("no species") << s("file:///d/q/quero/dessin_quero_en.html") << QString() << s("hd") << false;
    }
    void drawingPage()
    {
        QFETCH(QString, adresse);
        QFETCH(QString, code);
        QFETCH(QString, distribution);
        QTEST(Est_Page_Dessin(adresse, code, distribution), "dessin");
    }

    void drawingPageOfAnySpecies_data()
    {
        QTest::addColumn<QString>("adresse");
        QTest::addColumn<QString>("distribution");
        QTest::addColumn<QString>("code");
        QTest::newRow("another species") << s("file:///d/f/fagsy/dessin_fagsy_en.html") << s("hd") << s("fagsy");
        QTest::newRow("in capitals") << s("FILE:///D/Q/QUERO/DESSIN_QUERO_EN.HTML") << s("hd") << s("quero");
        QTest::newRow("from a web server") << s("http://h/f/fagsy/dessin_fagsy_en.html") << s("http") << QString();
        QTest::newRow("species page") << s("file:///d/q/quero/quero_en.html") << s("hd") << QString();
        QTest::newRow("too short") << s("dessin_q.html") << s("hd") << QString();
    }
    void drawingPageOfAnySpecies()
    {
        QFETCH(QString, adresse);
        QFETCH(QString, distribution);
        QTEST(Code_Page_Dessin(adresse, distribution), "code");
    }

    void drawingAnnounced_data()
    {
        QTest::addColumn<QString>("adresse");
        QTest::addColumn<bool>("annonce");
        QTest::newRow("without language") << s("file:///d/dessin_abcde.html") << true;
        QTest::newRow("just 17 characters") << s("dessin_abcde.html") << true;
        QTest::newRow("with language") << s("file:///d/dessin_abcde_en.html") << false;
        QTest::newRow("capital") << s("file:///d/Dessin_abcde.html") << false;
        QTest::newRow("too short") << s("dessin_abc.html") << false;
    }
    void drawingAnnounced()
    {
        QFETCH(QString, adresse);
        QTEST(Annonce_Dessin(adresse), "annonce");
    }

    void ownPage_data()
    {
        QTest::addColumn<QString>("adresse");
        QTest::addColumn<bool>("propre");
        QTest::newRow("the species page") << s("file:///d/q/quero/quero_en.html") << true;
        QTest::newRow("in capitals") << s("file:///D/Q/QUERO/QUERO_en.HTML") << true;
        QTest::newRow("a linked page") << s("file:///d/q/quero/bark.html") << false;
        QTest::newRow("another language") << s("file:///d/q/quero/quero_es.html") << false;
        QTest::newRow("its drawing page") << s("file:///d/q/quero/dessin_quero_en.html") << false;
        QTest::newRow("on a web server") << s("http://h/docs/q/quero/quero_en.html") << true;
    }
    void ownPage()
    {
        QFETCH(QString, adresse);
        QTEST(Est_Page_Propre(adresse, s("Quero"), s("_en")), "propre");
    }

    void onlyFilesInsideTheDocumentsFolderCount()
    {
        QTemporaryDir racine;
        QVERIFY(racine.isValid());
        const QString docs = racine.filePath(s("Docs"));
        QVERIFY(QDir().mkpath(docs + s("/q/quero")));
        QVERIFY(QDir().mkpath(racine.filePath(s("ailleurs"))));
        QVERIFY(QDir().mkpath(racine.filePath(s("Docs2"))));
        const auto fichier = [&](const QString &path) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
        };
        fichier(docs + s("/q/quero/dessin_quero_en.html"));
        fichier(racine.filePath(s("ailleurs/dessin_quero_en.html")));
        fichier(racine.filePath(s("Docs2/dessin_quero_en.html")));
        QVERIFY(QFile::link(racine.filePath(s("ailleurs")), docs + s("/lien")));

        QVERIFY(Dans_Dossier(docs + s("/q/quero/dessin_quero_en.html"), docs));
        QVERIFY(Dans_Dossier(docs + s("/q/quero/dessin_quero_en.html"), docs + s("/")));
        QVERIFY(Dans_Dossier(docs + s("/q/../q/quero/dessin_quero_en.html"), docs));
        // Beside it, in a folder whose name only begins the same, through "..", through a link.
        QVERIFY(!Dans_Dossier(racine.filePath(s("ailleurs/dessin_quero_en.html")), docs));
        QVERIFY(!Dans_Dossier(racine.filePath(s("Docs2/dessin_quero_en.html")), docs));
        QVERIFY(!Dans_Dossier(docs + s("/../ailleurs/dessin_quero_en.html"), docs));
        QVERIFY(!Dans_Dossier(docs + s("/lien/dessin_quero_en.html"), docs));
        // Nothing that does not exist, and not the folder itself.
        QVERIFY(!Dans_Dossier(docs + s("/q/quero/absent.html"), docs));
        QVERIFY(!Dans_Dossier(docs, docs));
        QVERIFY(!Dans_Dossier(docs + s("/q/quero/dessin_quero_en.html"), racine.filePath(s("absent"))));
    }

    void helpCodeOfAQuestion_data()
    {
        QTest::addColumn<QString>("objet");
        QTest::addColumn<QString>("code");
        QTest::newRow("nominal: a DELTA character") << s("C12") << s("c0012");
        QTest::newRow("nominal: the first") << s("C1") << s("c0001");
        QTest::newRow("limit: four digits") << s("C1234") << s("c1234");
        QTest::newRow("limit: five digits") << s("C12345") << s("c12345");
        QTest::newRow("limit: leading zeros") << s("C007") << s("c0007");
        QTest::newRow("none: no number") << s("C") << s("");
        QTest::newRow("none: number 0") << s("C0") << s("");
        QTest::newRow("none: not a number") << s("C1a") << s("");
        QTest::newRow("none: another key's name") << s("FEUILLE") << s("");
        QTest::newRow("none: empty") << s("") << s("");
        QTest::newRow("none: too long") << s("C1234567") << s("");
    }
    void helpCodeOfAQuestion()
    {
        QFETCH(QString, objet);
        QTEST(QString::fromStdString(Code_Aide_Question(objet.toStdString())), "code");
    }

    void helpPageInTheInterfaceLanguageElseEnglish_data()
    {
        QTest::addColumn<QString>("distribution");
        QTest::addColumn<QString>("objet");
        QTest::addColumn<int>("langue");
        QTest::addColumn<QString>("page"); // file name found, "" for none
        QTest::newRow("nominal: English") << s("hd") << s("C12") << 0 << s("c0012_en.html");
        QTest::newRow("nominal: French page") << s("hd") << s("C12") << 2 << s("c0012_fr.html");
        QTest::newRow("fallback: no Spanish page") << s("hd") << s("C12") << 1 << s("c0012_en.html");
        QTest::newRow("fallback: only French, asked in English") << s("hd") << s("C3") << 0 << s("");
        QTest::newRow("nominal: only French, asked in French") << s("hd") << s("C3") << 2 << s("c0003_fr.html");
        QTest::newRow("none: no page") << s("hd") << s("C4") << 0 << s("");
        QTest::newRow("none: a folder but no file") << s("hd") << s("C5") << 0 << s("");
        QTest::newRow("none: another key's name") << s("hd") << s("FEUILLE") << 0 << s("");
        QTest::newRow("none: documents on a web server") << s("http") << s("C12") << 0 << s("");
        QTest::newRow("limit: an unknown language is English") << s("hd") << s("C12") << 7 << s("c0012_en.html");
    }
    void helpPageInTheInterfaceLanguageElseEnglish()
    {
        QFETCH(QString, distribution);
        QFETCH(QString, objet);
        QFETCH(int, langue);
        QFETCH(QString, page);
        QTemporaryDir dossier;
        QDir d(dossier.path());
        // Written in capitals, as a collection copied from another system may be: found all the same.
        for (const char *f : {"C/C0012/c0012_en.html", "C/C0012/c0012_fr.html", "C/C0003/c0003_fr.html",
                              "C/C0005/c0005_en.html/x"}) {
            const QString chemin = d.filePath(s(f));
            QVERIFY(d.mkpath(QFileInfo(chemin).path()));
            if (!QByteArray(f).endsWith("/x")) {
                QFile fichier(chemin);
                QVERIFY(fichier.open(QIODevice::WriteOnly));
            } else {
                QVERIFY(d.mkpath(QFileInfo(chemin).path()));
            }
        }
        const QString trouve = Page_Aide_Question(distribution, dossier.path() + QLatin1Char('/'), objet.toStdString(),
                                                  static_cast<std::int16_t>(langue));
        QCOMPARE(QFileInfo(trouve).fileName(), page);
        if (!page.isEmpty())
            QVERIFY(QFileInfo(trouve).isFile());
    }
};

QTEST_APPLESS_MAIN(ReglesDocumentsTest)
#include "regles_test.moc"
