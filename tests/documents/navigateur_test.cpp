#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebChannel>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include "documents/navigateur.h"
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

    Vue()
    {
        // Only pages named as drawing pages are drawing pages here.
        view.setTestPageDessin([](const QUrl &url) { return url.fileName().startsWith(QLatin1String("dessin_")); });
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
        Vue v;
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
        Vue v;
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
        Vue v;
        QVERIFY(v.ouvre(pages.url("bavard.html")));
        QVERIFY(v.ouvre(pages.url("p.html"))); // anything the first page said has arrived by now
        QCOMPARE(v.complet.count(), 2);
        for (const QList<QVariant> &args : v.complet)
            QVERIFY(args.at(1).toBool());
    }

    void imagesInFramesReportThroughTheConsole()
    {
        Pages pages;
        Vue v;
        QVERIFY(v.ouvre(pages.url("dessin_abcde_en.html")));
        QTRY_VERIFY_WITH_TIMEOUT(!v.pret.isEmpty(), 10000);
        QTest::mousePress(v.souris(), Qt::LeftButton, {}, QPoint(600 + 30, 20 + 40));
        QTRY_COMPARE(v.rapports.count(), 1);
        const QList<QVariant> r = v.rapports.first();
        QCOMPARE(QUrl(r.at(1).toString()).fileName(), QStringLiteral("vignette.png"));
        QCOMPARE((QList<int>{r.at(2).toInt(), r.at(3).toInt()}), (QList<int>{30, 60}));
        QTest::mouseRelease(v.souris(), Qt::LeftButton, {}, QPoint(600 + 30, 20 + 40));
    }

    void onlyLocalDrawingPagesGetTheBridge()
    {
        Pages pages;
        test::ServeurHttp serveur(pages.dir.path());
        Vue v;
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
        Vue v;
        v.view.Navigate2(QUrl(serveur.adresse() + QStringLiteral("lent.html")), Navigateur::navNoHistory);
        QTRY_VERIFY(serveur.demandes().contains(QStringLiteral("/lent.png")));
        QCOMPARE(v.view.ReadyState(), Navigateur::READYSTATE_LOADING);
        QVERIFY(v.complet.isEmpty());
        v.view.Stop();
        QTRY_COMPARE(v.complet.count(), 1);
        QCOMPARE(v.view.ReadyState(), Navigateur::READYSTATE_COMPLETE);
        serveur.libere(QStringLiteral("/lent.png"));
    }
};

QTEST_MAIN(NavigateurTest)
#include "navigateur_test.moc"
