#include <QDesktopServices>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebChannel>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include <algorithm>

#include "documents/chemins_documents.h"
#include "documents/navigateur.h"
#include "documents/pont_images.h"
#include "support/serveur_http.h"

using namespace tarvenko;

namespace {

void ecris(const QString &path, const QString &text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(text.toUtf8());
}

// A drawing page: the reduced drawing at (12, 72) inside a link, a page taller than the view so
// that it scrolls, and a frame holding an image of its own.
const char *const kDessin = R"(<!DOCTYPE html>
<html><body style="margin:0; height:3000px">
<a href="ailleurs.html"><img id="reduit" src="reduit.png" style="position:absolute; left:12px; top:72px; width:550px; height:825px"></a>
<iframe src="cadre.html" style="position:absolute; left:600px; top:0; width:200px; height:200px; border:0"></iframe>
</body></html>)";

// A page from a web server that tries what a hostile page could: reach the program's channel and
// bridge, pass for the program's scripts on the console, and leave for addresses of other schemes,
// from links the user clicks (each a block 100 pixels high, the n-th at y = 100 n) and frames.
// (Raw string literals with quotes inside confuse moc.)
const char *const kHostile =
    "<!DOCTYPE html>\n"
    "<html><body style=\"margin:0\">\n"
    "<a href=\"javascript:location.href='tarvenko-evil:script'\" style=\"display:block; height:100px\">js</a>\n"
    "<a href=\"data:text/html,<p>data</p>\" style=\"display:block; height:100px\">data</a>\n"
    "<a href=\"ftp://127.0.0.1/x\" style=\"display:block; height:100px\">ftp</a>\n"
    "<a href=\"tarvenko-evil:link\" style=\"display:block; height:100px\">custom</a>\n"
    "<a href=\"p.html\" style=\"display:block; height:100px\">p</a>\n"
    "<iframe src=\"data:text/html,<p>frame</p>\" style=\"width:50px; height:50px\"></iframe>\n"
    "<iframe src=\"tarvenko-evil:frame\" style=\"width:50px; height:50px\"></iframe>\n"
    "<script>\n"
    "var trouve = [];\n"
    "try { trouve.push(typeof qt, typeof QWebChannel, typeof cImgs); } catch (e) { trouve.push('threw'); }\n"
    "if (window.qt && qt.webChannelTransport) trouve.push('transport');\n"
    "console.log('tarvenko- [\"pret\"]');\n"
    "console.log('[\"image\",\"ImgMouseDown\",\"x\",100,100,0,0]');\n"
    "document.title = trouve.join(' ');\n"
    "</script>\n"
    "</body></html>";

// Counts the addresses the desktop would have been asked to open.
class Bureau final : public QObject {
    Q_OBJECT
public:
    Bureau()
    {
        for (const char *scheme : {"tarvenko-evil", "ftp", "data", "javascript"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "ouvre");
    }
    ~Bureau() override
    {
        for (const char *scheme : {"tarvenko-evil", "ftp", "data", "javascript"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QList<QUrl> ouvertes;
public Q_SLOTS:
    void ouvre(const QUrl &url) { ouvertes << url; }
};

// Pages and pictures in a folder; the same folder is also served over HTTP.
struct Pages {
    QTemporaryDir dir;
    Pages()
    {
        QImage image(550, 825, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        image.save(chemin("reduit.png"));
        image.save(chemin("vignette.png"));
        ecris(chemin("p.html"), QStringLiteral("<html><body>P <a href='q.html'>q</a></body></html>"));
        ecris(chemin("q.html"), QStringLiteral("<html><body>Q</body></html>"));
        ecris(chemin("r.html"), QStringLiteral("<html><body>R</body></html>"));
        ecris(chemin("ailleurs.html"), QStringLiteral("<html><body>elsewhere</body></html>"));
        ecris(chemin("avec_cadre.html"), QStringLiteral("<html><body><iframe src='interieur.html'></iframe></body></html>"));
        ecris(chemin("interieur.html"), QStringLiteral("<html><body>inside</body></html>"));
        // A page that writes to the console what the program's frame script would write.
        ecris(chemin("bavard.html"),
              QStringLiteral("<html><body><script>console.log('tarvenko-0 [\"complet\",\"x\"]');"
                             "console.log('[\"complet\",\"x\"]');</script></body></html>"));
        ecris(chemin("cadre.html"), QStringLiteral("<html><body style='margin:0'><img src='vignette.png' "
                                                   "style='position:absolute; left:10px; top:20px; width:100px; height:100px'></body></html>"));
        ecris(chemin("dessin_abcde_en.html"), QString::fromUtf8(kDessin));
        ecris(chemin("lent.html"), QStringLiteral("<html><body><img src='lent.png'></body></html>"));
        ecris(chemin("hostile.html"), QString::fromUtf8(kHostile));
        // Frames within frames, with a border and padding around the outer one.
        ecris(chemin("dessin_imbrique_en.html"),
              QStringLiteral("<html><body style='margin:0'><iframe src='cadre_milieu.html' style='position:absolute; "
                             "left:100px; top:50px; width:300px; height:300px; border:5px solid black; padding:7px'>"
                             "</iframe></body></html>"));
        ecris(chemin("cadre_milieu.html"),
              QStringLiteral("<html><body style='margin:0'><iframe src='cadre.html' style='position:absolute; "
                             "left:30px; top:40px; width:200px; height:200px; border:0'></iframe></body></html>"));
        // An image the page's own script adds once the document is long loaded, inside a block.
        ecris(chemin("dessin_tardif_en.html"),
              QStringLiteral("<html><body style='margin:0'><script>"
                             "window.addEventListener('load', function () { setTimeout(function () {"
                             "  var bloc = document.createElement('div'), img = document.createElement('img');"
                             "  img.onload = function () { document.title = 'ajoutee'; };"
                             "  img.src = 'vignette.png';"
                             "  img.style = 'position:absolute; left:12px; top:72px; width:100px; height:100px';"
                             "  bloc.appendChild(img); document.body.appendChild(bloc);"
                             "}, 300); });"
                             "</script></body></html>"));
    }
    QString chemin(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QUrl url(const char *name) const { return QUrl::fromLocalFile(chemin(name)); }
};

struct Vue {
    Navigateur view;
    QSignalSpy fini{view.page(), &QWebEnginePage::loadFinished};
    QSignalSpy avant{&view, &Navigateur::BeforeNavigate2};
    QSignalSpy complet{&view, &Navigateur::DocumentComplete};
    QSignalSpy pret{&view, &Navigateur::imagesPretes};
    QSignalSpy rapports{&view, &Navigateur::rapportImage};

    explicit Vue(const Pages &pages)
    {
        // Only pages named as drawing pages are drawing pages here, and the pages' folder is the
        // documents folder.
        view.setTestPageDessin([](const QUrl &url) { return url.fileName().startsWith(QLatin1String("dessin_")); });
        const QString dossier = pages.dir.path();
        view.setTestFichierLisible([dossier](const QString &fichier) { return Dans_Dossier(fichier, dossier); });
        view.resize(900, 600);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            qFatal("the view was not shown");
    }
    bool ouvre(const QUrl &url, int flags = 0)
    {
        fini.clear();
        view.Navigate2(url, flags);
        return fini.wait(10000);
    }
    // Runs a script in the page's own world and waits for its result.
    QVariant script(const QString &source, quint32 world = QWebEngineScript::MainWorld)
    {
        QVariant result;
        bool done = false;
        view.page()->runJavaScript(source, world, [&](const QVariant &v) {
            result = v;
            done = true;
        });
        if (!QTest::qWaitFor([&] { return done; }, 5000))
            qWarning("script without an answer: %s", qPrintable(source));
        return result;
    }
    // Another page the way a link leads there: with a history entry. (A script's own navigation
    // would make the browser skip the page it leaves when going back.)
    bool suisLien(const QUrl &url)
    {
        fini.clear();
        view.load(url);
        return fini.wait(10000);
    }
    QWidget *souris() const { return view.focusProxy(); }
};

} // namespace

class NavigateurTest : public QObject {
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private Q_SLOTS:
    void noHistoryNavigationLeavesNothingToGoBackTo()
    {
        Pages pages;
        Vue v(pages);
        QCOMPARE(v.view.ReadyState(), Navigateur::READYSTATE_UNINITIALIZED);
        QVERIFY(v.ouvre(pages.url("p.html")));
        QVERIFY(v.suisLien(pages.url("q.html")));
        QCOMPARE(v.view.history()->count(), 2);

        QVERIFY(v.ouvre(pages.url("r.html"), Navigateur::navNoHistory | Navigateur::navNoReadFromCache));
        QCOMPARE(v.view.LocationURL(), pages.url("r.html").toString());
        QCOMPARE(v.view.ReadyState(), Navigateur::READYSTATE_COMPLETE);
        QCOMPARE(v.view.history()->count(), 1);
        QVERIFY(!v.view.history()->canGoBack());
        QVERIFY(!v.view.history()->canGoForward());

        // Pages reached from there keep their history as usual.
        QVERIFY(v.suisLien(pages.url("p.html")));
        QCOMPARE(v.view.history()->count(), 2);
        v.fini.clear();
        v.view.GoBack();
        QVERIFY(v.fini.wait(10000));
        QCOMPARE(v.view.LocationURL(), pages.url("r.html").toString());
        QVERIFY(v.view.history()->canGoForward());
    }

    void framesNavigateAndCompleteToo()
    {
        Pages pages;
        Vue v(pages);
        QVERIFY(v.ouvre(pages.url("avec_cadre.html")));
        QTRY_COMPARE(v.complet.count(), 2);
        const auto evenement = [](const QList<QVariant> &args) {
            return qMakePair(args.at(0).toUrl().fileName(), args.at(1).toBool());
        };
        QCOMPARE(evenement(v.avant.at(0)), qMakePair(QStringLiteral("avec_cadre.html"), true));
        QCOMPARE(evenement(v.avant.at(1)), qMakePair(QStringLiteral("interieur.html"), false));
        QCOMPARE(evenement(v.complet.at(0)), qMakePair(QStringLiteral("interieur.html"), false));
        QCOMPARE(evenement(v.complet.at(1)), qMakePair(QStringLiteral("avec_cadre.html"), true));
    }

    void aPagesConsoleCannotPassForTheProgram()
    {
        Pages pages;
        Vue v(pages);
        QVERIFY(v.ouvre(pages.url("bavard.html")));
        QVERIFY(v.ouvre(pages.url("p.html"))); // anything the first page said has arrived by now
        QCOMPARE(v.complet.count(), 2);
        for (const QList<QVariant> &args : v.complet)
            QVERIFY(args.at(1).toBool());
    }

    void imagesInFramesReportInTheTopDocument_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("defilement"); // the top document scrolled down by this much
        QTest::addColumn<QPoint>("clic");     // in the view
        // The frame's picture lies at (10, 20) in its frame, the frame at (600, 0) in the page.
        QTest::newRow("frame, page at its top") << "dessin_abcde_en.html" << 0 << QPoint(630, 60);
        QTest::newRow("frame, page scrolled") << "dessin_abcde_en.html" << 50 << QPoint(630, 60);
        // Outer frame at (100, 50) with 5 of border and 7 of padding, inner frame at (30, 40).
        QTest::newRow("frame in a frame") << "dessin_imbrique_en.html" << 0 << QPoint(100 + 12 + 30 + 10 + 30, 50 + 12 + 40 + 20 + 40);
    }
    void imagesInFramesReportInTheTopDocument()
    {
        QFETCH(QString, page);
        QFETCH(int, defilement);
        QFETCH(QPoint, clic);
        Pages pages;
        Vue v(pages);
        QVERIFY(v.ouvre(QUrl::fromLocalFile(pages.dir.filePath(page))));
        QTRY_VERIFY_WITH_TIMEOUT(!v.pret.isEmpty(), 10000);
        if (defilement)
            QCOMPARE(v.script(QStringLiteral("window.scrollTo(0, %1); window.scrollY").arg(defilement)).toInt(), defilement);
        QTest::mousePress(v.souris(), Qt::LeftButton, {}, clic);
        QTRY_COMPARE(v.rapports.count(), 1);
        const QList<QVariant> r = v.rapports.first();
        QCOMPARE(QUrl(r.at(1).toString()).fileName(), QStringLiteral("vignette.png"));
        // The event's position in the top document's view, and the top document's scroll offsets.
        QCOMPARE((QList<int>{r.at(2).toInt(), r.at(3).toInt(), r.at(4).toInt(), r.at(5).toInt()}),
                 (QList<int>{clic.x(), clic.y(), 0, defilement}));
        QTest::mouseRelease(v.souris(), Qt::LeftButton, {}, clic);
    }

    // Pressing on the reduced drawing and dragging, with the X server's own input (synthetic Qt
    // events never start the browser's drag of a picture): the browser would drag the picture
    // away and report no more moves until the button is let go; the zoom has to follow instead.
    // Runs where the test program is started on an X server with xdotool at hand.
    void aRealDragOnTheDrawingGoesOnReportingMoves()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs real input: run on an X server (xvfb-run) with QT_QPA_PLATFORM=xcb");
        const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (xdotool.isEmpty())
            QSKIP("xdotool is not installed");
        const auto x = [&](const QStringList &args) { QCOMPARE(QProcess::execute(xdotool, args), 0); };
        Pages pages;
        Vue v(pages);
        QVERIFY(v.ouvre(pages.url("dessin_abcde_en.html")));
        QTRY_VERIFY_WITH_TIMEOUT(!v.pret.isEmpty(), 10000);
        QPoint p(12 + 100, 72 + 100);
        const auto va = [&](QPoint q) {
            const QPoint g = v.view.mapToGlobal(q);
            x({QStringLiteral("mousemove"), QString::number(g.x()), QString::number(g.y())});
            QTest::qWait(40);
        };
        va(p);
        x({QStringLiteral("mousedown"), QStringLiteral("1")});
        QTRY_VERIFY(std::any_of(v.rapports.cbegin(), v.rapports.cend(), [](const QList<QVariant> &r) {
            return r.at(0).value<GenreImage>() == GenreImage::MouseDown;
        }));
        for (int pas = 0; pas < 12; ++pas)
            va(p += QPoint(10, 5));
        const auto dernier = [&] {
            const QList<QVariant> r = v.rapports.last();
            return r.at(0).value<GenreImage>() == GenreImage::MouseMove ? QPoint(r.at(2).toInt(), r.at(3).toInt()) : QPoint();
        };
        QTRY_COMPARE_WITH_TIMEOUT(dernier(), p, 2000);
        x({QStringLiteral("mouseup"), QStringLiteral("1")});
    }

    void imagesAPageAddsLaterReportToo()
    {
        Pages pages;
        Vue v(pages);
        QVERIFY(v.ouvre(pages.url("dessin_tardif_en.html")));
        QTRY_VERIFY_WITH_TIMEOUT(!v.pret.isEmpty(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(v.view.title(), QStringLiteral("ajoutee"), 10000);
        QTest::mousePress(v.souris(), Qt::LeftButton, {}, QPoint(12 + 50, 72 + 30));
        QTRY_COMPARE(v.rapports.count(), 1);
        const QList<QVariant> r = v.rapports.first();
        QCOMPARE(r.at(0).value<GenreImage>(), GenreImage::MouseDown);
        QCOMPARE(QUrl(r.at(1).toString()).fileName(), QStringLiteral("vignette.png"));
        QCOMPARE((QList<int>{r.at(2).toInt(), r.at(3).toInt()}), (QList<int>{12 + 50, 72 + 30}));
        QTest::mouseRelease(v.souris(), Qt::LeftButton, {}, QPoint(12 + 50, 72 + 30));
        QTRY_COMPARE(v.rapports.count(), 2); // the click, reported once: the image is wrapped once
        QTest::qWait(100);
        QCOMPARE(v.rapports.count(), 2);
        QCOMPARE(v.rapports.last().at(0).value<GenreImage>(), GenreImage::Clicked);
    }

    void localPagesReadOnlyTheDocumentsFolder()
    {
        Pages pages;
        QTemporaryDir ailleurs;
        ecris(ailleurs.filePath(QStringLiteral("secret.txt")), QStringLiteral("secret"));
        ecris(ailleurs.filePath(QStringLiteral("secret.html")), QStringLiteral("<html><body>secret</body></html>"));
        QImage(10, 10, QImage::Format_RGB32).save(ailleurs.filePath(QStringLiteral("secret.png")));
        const QString dehors = QUrl::fromLocalFile(ailleurs.path()).toString() + QLatin1Char('/');
        // What a page of the documents tries, within its folder and beside it: a fetch, a request,
        // a picture and a frame each.
        ecris(pages.chemin("curieux.html"),
              QStringLiteral(
                  "<html><body>"
                  "<img src='reduit.png' onload='note(\"img\", \"read\")' onerror='note(\"img\", \"refused\")'>"
                  "<img src='%1secret.png' onload='note(\"img-out\", \"read\")' onerror='note(\"img-out\", \"refused\")'>"
                  "<iframe id='cadre' src='q.html'></iframe><iframe id='dehors' src='%1secret.html'></iframe>"
                  "<script>"
                  "var vu = {};"
                  "function note(quoi, r) { vu[quoi] = r; }"
                  "function lis(quoi, a) { fetch(a).then(function (r) { return r.text(); })"
                  "  .then(function (t) { note(quoi, t ? 'read' : 'empty'); }, function () { note(quoi, 'refused'); }); }"
                  "function demande(quoi, a) { var x = new XMLHttpRequest(); x.open('GET', a);"
                  "  x.onload = function () { note(quoi, x.responseText ? 'read' : 'empty'); };"
                  "  x.onerror = function () { note(quoi, 'refused'); }; x.send(); }"
                  "lis('fetch', 'p.html'); lis('fetch-out', '%1secret.txt');"
                  "demande('xhr', 'p.html'); demande('xhr-out', '%1secret.txt');"
                  "</script></body></html>")
                  .arg(dehors));
        Vue v(pages);
        QVERIFY(v.ouvre(pages.url("curieux.html")));
        const QString resultat = QStringLiteral(
            "JSON.stringify([vu.fetch, vu['fetch-out'], vu.xhr, vu['xhr-out'], vu.img, vu['img-out']])");
        QTRY_COMPARE_WITH_TIMEOUT(v.script(resultat).toString(),
                                  QStringLiteral("[\"read\",\"refused\",\"read\",\"refused\",\"read\",\"refused\"]"), 10000);
        const auto cadre = [&](const char *id) {
            return v.script(QStringLiteral("var d = document.getElementById('%1').contentDocument;"
                                           "d && d.body ? d.body.textContent : ''")
                                .arg(QLatin1String(id)))
                .toString();
        };
        QCOMPARE(cadre("cadre"), QStringLiteral("Q"));
        QVERIFY(!cadre("dehors").contains(QLatin1String("secret")));

        // A link out of the folder opens nothing either; the program itself may open a page there.
        ecris(pages.chemin("lien.html"), QStringLiteral("<html><body style='margin:0'><a href='%1secret.html' "
                                                        "style='display:block; height:100px'>out</a></body></html>")
                                             .arg(dehors));
        QVERIFY(v.ouvre(pages.url("lien.html")));
        v.fini.clear();
        QTest::mouseClick(v.souris(), Qt::LeftButton, {}, QPoint(20, 50));
        QVERIFY(v.fini.wait(10000));
        QVERIFY(!v.fini.first().at(0).toBool());
        QVERIFY(v.script(QStringLiteral("document.body ? document.body.textContent : ''")).toString() !=
                QLatin1String("secret"));
        QVERIFY(v.ouvre(QUrl::fromLocalFile(ailleurs.filePath(QStringLiteral("secret.html")))));
        QVERIFY(v.fini.first().at(0).toBool());
        QCOMPARE(v.script(QStringLiteral("document.body.textContent")).toString(), QStringLiteral("secret"));
    }

    void onlyLocalDrawingPagesGetTheBridge()
    {
        Pages pages;
        test::ServeurHttp serveur(pages.dir.path());
        Vue v(pages);
        // Even with a test that takes every page for a drawing page, a web page gets no bridge.
        v.view.setTestPageDessin([](const QUrl &) { return true; });
        const auto aucunPont = [&] {
            QVERIFY(!v.view.pontInstalle());
            QVERIFY(!v.view.page()->webChannel());
            QVERIFY(v.view.page()->scripts().find(QStringLiteral("tarvenko-images")).isEmpty());
            QCOMPARE(v.script(QStringLiteral("typeof qt"), QWebEngineScript::ApplicationWorld).toString(),
                     QStringLiteral("undefined"));
            QCOMPARE(v.script(QStringLiteral("typeof qt")).toString(), QStringLiteral("undefined"));
        };
        QVERIFY(v.ouvre(QUrl(serveur.adresse() + QStringLiteral("dessin_abcde_en.html"))));
        aucunPont();
        QVERIFY(v.ouvre(pages.url("dessin_abcde_en.html")));
        QVERIFY(v.view.pontInstalle());
        QTRY_VERIFY_WITH_TIMEOUT(!v.pret.isEmpty(), 10000);
        // The page's own scripts do not see the program's world.
        QCOMPARE(v.script(QStringLiteral("typeof qt")).toString(), QStringLiteral("undefined"));
        QVERIFY(v.ouvre(QUrl(serveur.adresse() + QStringLiteral("p.html"))));
        aucunPont();
        QVERIFY(v.pret.count() == 1);

        // The same through a link clicked on a drawing page, then Back and Forward.
        ecris(pages.chemin("dessin_lien_en.html"),
              QStringLiteral("<html><body style='margin:0'><a href='%1p.html' style='display:block; width:200px; "
                             "height:100px'>web</a><img src='reduit.png'></body></html>")
                  .arg(serveur.adresse()));
        QVERIFY(v.ouvre(pages.url("dessin_lien_en.html")));
        QTRY_COMPARE(v.pret.count(), 2);
        v.fini.clear();
        QTest::mouseClick(v.souris(), Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(v.fini.wait(10000));
        QCOMPARE(v.view.url().host(), QStringLiteral("127.0.0.1"));
        aucunPont();
        v.fini.clear();
        v.view.GoBack();
        QVERIFY(v.fini.wait(10000));
        QVERIFY(v.view.pontInstalle());
        QTRY_COMPARE(v.pret.count(), 3);
        v.fini.clear();
        v.view.GoForward();
        QVERIFY(v.fini.wait(10000));
        aucunPont();
    }

    void stopEndsALoadAsComplete()
    {
        Pages pages;
        test::ServeurHttp serveur(pages.dir.path());
        serveur.retiens(QStringLiteral("/lent.png"));
        Vue v(pages);
        v.view.Navigate2(QUrl(serveur.adresse() + QStringLiteral("lent.html")), Navigateur::navNoHistory);
        QTRY_VERIFY(serveur.demandes().contains(QStringLiteral("/lent.png")));
        QCOMPARE(v.view.ReadyState(), Navigateur::READYSTATE_LOADING);
        QVERIFY(v.complet.isEmpty());
        v.view.Stop();
        QTRY_COMPARE(v.complet.count(), 1);
        QCOMPARE(v.view.ReadyState(), Navigateur::READYSTATE_COMPLETE);
        serveur.libere(QStringLiteral("/lent.png"));
    }

    void aHostileWebPageReachesNothing_data()
    {
        QTest::addColumn<int>("lien"); // the link clicked, counted from 0
        QTest::newRow("robustness: javascript: leading to a custom scheme") << 0;
        QTest::newRow("robustness: data:") << 1;
        QTest::newRow("robustness: ftp:") << 2;
        QTest::newRow("robustness: custom scheme") << 3;
    }

    void aHostileWebPageReachesNothing()
    {
        QFETCH(int, lien);
        Pages pages;
        test::ServeurHttp serveur(pages.dir.path());
        Bureau bureau;
        Vue v(pages);
        v.view.setTestPageDessin([](const QUrl &) { return true; });
        const QUrl hostile(serveur.adresse() + QStringLiteral("hostile.html"));
        QVERIFY(v.ouvre(hostile));
        // Neither the channel nor the bridge exists for it, and the console did not pass it off.
        QTRY_COMPARE(v.view.title(), QStringLiteral("undefined undefined undefined"));
        QVERIFY(!v.view.pontInstalle());
        QVERIFY(!v.view.page()->webChannel());
        QCOMPARE(v.script(QStringLiteral("typeof qt"), QWebEngineScript::ApplicationWorld).toString(),
                 QStringLiteral("undefined"));
        // The frames of other schemes were never opened.
        for (const QList<QVariant> &args : v.avant)
            QVERIFY2(Navigateur::schemePermis(args.at(0).toUrl()), qPrintable(args.at(0).toUrl().toString()));

        // The user clicks the link, then the ordinary one below: once that page has loaded, what
        // the first click asked for has long been decided.
        v.avant.clear();
        v.complet.clear();
        v.fini.clear();
        QTest::mouseClick(v.souris(), Qt::LeftButton, {}, QPoint(20, 100 * lien + 50));
        QTest::mouseClick(v.souris(), Qt::LeftButton, {}, QPoint(20, 100 * 4 + 50));
        QTRY_VERIFY_WITH_TIMEOUT(v.view.url().fileName() == QLatin1String("p.html") && !v.fini.isEmpty(), 10000);
        QCOMPARE(v.avant.size(), 1);
        QCOMPARE(v.avant.first().at(0).toUrl().fileName(), QStringLiteral("p.html"));
        // The hostile page's own completion may come again when its refused frames give up.
        for (const QList<QVariant> &c : v.complet) {
            const QUrl url = c.at(0).toUrl();
            QVERIFY2(url.scheme() == QLatin1String("http") &&
                         (url.fileName() == QLatin1String("p.html") || url.fileName() == QLatin1String("hostile.html")),
                     qPrintable(url.toString()));
        }
        QVERIFY(v.rapports.isEmpty());
        QVERIFY(v.pret.isEmpty());
        QCOMPARE(bureau.ouvertes, QList<QUrl>());
    }

    void otherSchemesAreRefusedWhoeverAsks()
    {
        Pages pages;
        Bureau bureau;
        Vue v(pages);
        QVERIFY(v.ouvre(pages.url("p.html")));
        // Asked for as a page's script would, past Navigate2, which turns them away itself.
        for (const char *adresse : {"data:text/html,<p>x</p>", "ftp://127.0.0.1/x", "tarvenko-evil:x",
                                    "qrc:/documents/images.js"}) {
            const QUrl url(QString::fromLatin1(adresse));
            QVERIFY(!Navigateur::schemePermis(url));
            v.avant.clear();
            // Turned away: the load ends at once, unsuccessful, and the page stays.
            QVERIFY(v.suisLien(url));
            QVERIFY2(!v.fini.first().at(0).toBool(), adresse);
            QVERIFY2(v.avant.isEmpty(), adresse);
            QCOMPARE(v.view.page()->url(), pages.url("p.html"));
        }
        QVERIFY(bureau.ouvertes.isEmpty());
        for (const char *adresse : {"file:///x", "http://127.0.0.1/", "https://127.0.0.1/"})
            QVERIFY(Navigateur::schemePermis(QUrl(QString::fromLatin1(adresse))));
    }

    void anErrorPageGetsNothing()
    {
        Pages pages;
        Vue v(pages);
        // A drawing page that is not there: the browser shows its error page in its place.
        v.fini.clear();
        v.view.Navigate2(pages.url("dessin_absent_en.html"));
        QVERIFY(v.fini.wait(10000));
        QCOMPARE(v.fini.first().at(0).toBool(), false);
        QVERIFY(!v.view.pontInstalle());
        QVERIFY(!v.view.page()->webChannel());
        QVERIFY(v.view.page()->scripts().find(QStringLiteral("tarvenko-images")).isEmpty());
        QCOMPARE(v.script(QStringLiteral("typeof qt === 'undefined' || !qt.webChannelTransport"),
                          QWebEngineScript::ApplicationWorld)
                     .toBool(),
                 true);
        QVERIFY(v.pret.isEmpty());
        // A real drawing page afterwards has its bridge again.
        QVERIFY(v.ouvre(pages.url("dessin_abcde_en.html")));
        QVERIFY(v.view.pontInstalle());
        QTRY_VERIFY_WITH_TIMEOUT(!v.pret.isEmpty(), 10000);
    }

    void theBridgeTakesThreeCheckedReportsAndNothingElse()
    {
        // What the channel publishes of the object beyond QObject: the three reports.
        const QMetaObject &mo = PontImages::staticMetaObject;
        QStringList membres;
        for (int i = mo.methodOffset(); i < mo.methodCount(); ++i)
            membres << QString::fromLatin1(mo.method(i).name());
        QCOMPARE(membres, (QStringList{QStringLiteral("ImgClicked"), QStringLiteral("ImgMouseDown"),
                                       QStringLiteral("ImgMouseMove")}));
        QCOMPARE(mo.propertyOffset(), mo.propertyCount());

        // A script that reached the program's world on a drawing page, and misuses the bridge:
        // wrong types, missing and extra arguments, huge values, a flood, deleteLater.
        Pages pages;
        Vue v(pages);
        QVERIFY(v.ouvre(pages.url("dessin_abcde_en.html")));
        QTRY_VERIFY_WITH_TIMEOUT(!v.pret.isEmpty(), 10000);
        v.script(QStringLiteral(
                     "            new QWebChannel(qt.webChannelTransport, function (c) {\n"
                     "                var p = c.objects.cImgs;\n"
                     "                p.deleteLater();\n"
                     "                p.objectName = 'x';\n"
                     "                if (p.pret) p.pret();\n"
                     "                p.ImgMouseDown('mauvais', '12', 72, 0, 0);\n"
                     "                p.ImgMouseDown('mauvais', 12, {x: 1}, 0, 0);\n"
                     "                p.ImgMouseDown('mauvais', 12, 72, null, [1]);\n"
                     "                p.ImgMouseDown({href: 'x'}, 12, 72, 0, 0);\n"
                     "                p.ImgMouseDown(7, 12, 72, 0, 0);\n"
                     "                p.ImgMouseDown('mauvais', 12, 72, 0);\n"
                     "                p.ImgMouseDown('a'.repeat(100000), 12, 72, 0, 0);\n"
                     "                p.ImgClicked('grand', 1e300, -1e300, 2.5, 3.5);\n"
                     "                for (var i = 0; i < 20000; ++i)\n"
                     "                    p.ImgMouseMove('flot', i, i, 0, 0);\n"
                     "                p.ImgMouseDown('fin', 112, 122, 0, 0);\n"
                     "            });\n"
                     "            true"),
                 QWebEngineScript::ApplicationWorld);
        QTRY_VERIFY_WITH_TIMEOUT(!v.rapports.isEmpty() && v.rapports.last().at(1).toString() == QLatin1String("fin"),
                                 30000);
        QStringList vus;
        int dernierFlot = -1;
        for (const QList<QVariant> &r : v.rapports) {
            const QString href = r.at(1).toString();
            QVERIFY2(href == QLatin1String("grand") || href == QLatin1String("flot") || href == QLatin1String("fin"),
                     qPrintable(href.left(40)));
            if (href == QLatin1String("flot")) {
                // In order, none twice.
                QVERIFY(r.at(2).toInt() > dernierFlot);
                dernierFlot = r.at(2).toInt();
            }
            if (vus.isEmpty() || vus.last() != href)
                vus << href;
        }
        QCOMPARE(vus, (QStringList{QStringLiteral("grand"), QStringLiteral("flot"), QStringLiteral("fin")}));
        QCOMPARE(dernierFlot, 19999); // the latest position is never lost
        const QList<QVariant> grand = v.rapports.first();
        QCOMPARE(grand.at(0).value<GenreImage>(), GenreImage::Clicked);
        QCOMPARE((QList<int>{grand.at(2).toInt(), grand.at(3).toInt(), grand.at(4).toInt(), grand.at(5).toInt()}),
                 (QList<int>{std::numeric_limits<qint32>::max(), std::numeric_limits<qint32>::min(), 2, 4}));
        QCOMPARE(v.pret.count(), 1);
        // The bridge is still there and still works for the page's real images.
        v.rapports.clear();
        QTest::mousePress(v.souris(), Qt::LeftButton, {}, QPoint(12 + 100, 72 + 50));
        QTRY_COMPARE(v.rapports.count(), 1);
        QCOMPARE(v.rapports.first().at(1).toUrl().fileName(), QStringLiteral("reduit.png"));
        QTest::mouseRelease(v.souris(), Qt::LeftButton, {}, QPoint(12 + 100, 72 + 50));
    }
};

QTEST_MAIN(NavigateurTest)
#include "navigateur_test.moc"
