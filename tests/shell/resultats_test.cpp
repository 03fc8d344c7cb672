#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <filesystem>

#include "documents/documents.h"
#include "documents/frm_legende.h"
#include "documents/frm_zoom.h"
#include "documents/navigateur.h"
#include "knowledge/key_model.h"
#include "knowledge/loader.h"
#include "layout/arrange_fenetre.h"
#include "layout/barre_verticale.h"
#include "platform/qt_text.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"
#include "shell/contexte.h"
#include "shell/frm_main.h"
#include "shell/localisation.h"
#include "support/fenetre_test.h"
#include "support/scripted_dialogs.h"
#include "support/serveur_http.h"
#include "support/temp_dir.h"
#include "tools/kbbuilder/kb_builder.h"
#include "views/arbre_especes.h"
#include "views/liste_especes.h"

using namespace tarvenko;

namespace {

const char *const kLegende = "Lobed leaves, short stalk";
const char *const kLegendeEs = "Hojas lobuladas, pec\u00edolo corto";

void ecris(const std::filesystem::path &path, const QString &text)
{
    std::filesystem::create_directories(path.parent_path());
    QFile f(QString::fromStdString(path.string()));
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", path.c_str());
    f.write(text.toUtf8());
}

// Counts the times the watched widgets are shown or hidden.
class CompteVisibilite final : public QObject {
public:
    explicit CompteVisibilite(std::initializer_list<QWidget *> widgets)
    {
        for (QWidget *w : widgets)
            w->installEventFilter(this);
    }
    int changements = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
            ++changements;
        return false;
    }
};

QString page(const char *body) { return QStringLiteral("<!DOCTYPE html><html><body>%1</body></html>").arg(QString::fromUtf8(body)); }

// The full drawing, each pixel's colour telling where it is.
QImage dessinComplet()
{
    QImage image(2200, 3300, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb(x & 0xFF, y & 0xFF, ((x >> 8) << 4) | (y >> 8));
    }
    return image;
}

// A main window on a small key and its documents: Quercus robur has its pages in two languages,
// a drawing page with its legend and picture, and two linked pages; Fagus sylvatica has a page
// and a drawing page without legend or picture; Pinus sylvestris has no page at all.
struct Harness : test::FenetreTest {
    explicit Harness(const QString &distribution = QStringLiteral("hd"), const QString &adresse = QString())
    {
        QSettings machine(QSettings::IniFormat, QSettings::SystemScope, QStringLiteral("Tarvenko"), QStringLiteral("Tarvenko"));
        machine.setValue(QStringLiteral("Logiciel/Data"), qs(root.dossier() + "data/"));
        machine.setValue(QStringLiteral("Logiciel/Base"), QString::fromLatin1(tools::KbBuilder::kNomBase));
        machine.setValue(QStringLiteral("Documents/Adresse"), adresse.isEmpty() ? qs(root.dossier() + "documents/") : adresse);
        machine.setValue(QStringLiteral("Options/Distribution"), distribution);
        machine.sync();

        tools::KbBuilder kb(root.dossier() + "data/");
        kb.espece("Quercus robur", "FAGACEAE", "QUERO", std::string(kLegende))
            .espece("Fagus sylvatica", "FAGACEAE", "FAGSY")
            .espece("Pinus sylvestris", "PINACEAE", "PINSY");
        kb.objet({.objet = "FEUILLE", .etats = {"LARGE", "AIGUILLE"}});
        kb.a("Quercus robur", "LARGE").a("Fagus sylvatica", "LARGE").a("Pinus sylvestris", "AIGUILLE");
        kb.langue("English", {{"Oak", "Quercus robur"}, {"Beech", "Fagus sylvatica"}, {"Broadleaf", "Quercus robur"},
                              {"Broadleaf", "Fagus sylvatica"}});
        kb.texteLangue("es", "Flore", "Quercus robur", "Legende", kLegendeEs);
        kb.ecrit();

        ecris(root.path() / "data/error_en.html", page("No page"));
        ecris(root.path() / "data/error_es.html", page("Sin página"));
        const auto q = root.path() / "documents/q/quero";
        ecris(q / "quero_en.html", page("<h1>Quercus robur</h1>"));
        ecris(q / "quero_es.html", page("<h1>Roble</h1>"));
        ecris(q / "quero.txt", QStringLiteral("plain text"));
        ecris(q / "bark.html", page("Bark"));
        ecris(q / "wood.html", page("Wood"));
        ecris(q / "dessin_quero_en.html",
              page("<div style='height:3000px'></div><a href='bark.html'><img src='reduit.png' style='position:absolute; "
                   "left:12px; top:72px; width:550px; height:825px'></a>"));
        QImage reduit(550, 825, QImage::Format_RGB32);
        reduit.fill(QColor(60, 120, 60));
        reduit.save(qs((q / "reduit.png").string()));
        const auto f = root.path() / "documents/f/fagsy";
        ecris(f / "fagsy_en.html", page("<h1>Fagus sylvatica</h1>"));
        ecris(f / "fagsy_es.html", page("<h1>Haya</h1>"));
        ecris(f / "dessin_fagsy_en.html",
              page("<img src='../../q/quero/reduit.png' style='position:absolute; left:12px; top:72px; width:550px; "
                   "height:825px'>"));
    }

    QString documents(const char *relative) const { return qs((root.path() / "documents" / relative).string()); }
    QUrl url(const char *relative) const { return QUrl::fromLocalFile(documents(relative)); }

    Navigateur *web() const { return child<Navigateur>("WebTexte"); }
    QTreeWidget *arbre() const { return child<QTreeWidget>("Tree_esp"); }
    QAction *menu(const char *name) const { return child<QAction>(name); }
    Documents &docs() const { return window->documents(); }

    // Runs `action` and waits for the top-level document it loads.
    bool charge(const std::function<void()> &action)
    {
        QSignalSpy fini(web()->page(), &QWebEnginePage::loadFinished);
        action();
        return !fini.isEmpty() || fini.wait(10000);
    }
    bool clicLigne(const QString &nom)
    {
        const int k = ligneFinissantPar(nom);
        if (k < 0)
            return false;
        if (liste()->currentRow() == k) {
            // The list opens a page when its selected line changes.
            const QSignalBlocker bloque(liste());
            liste()->setCurrentRow(-1);
        }
        return charge([&] { liste()->setCurrentRow(k); });
    }
    QTreeWidgetItem *noeud(const QString &cle) const
    {
        for (QTreeWidgetItemIterator it(arbre()); *it; ++it) {
            if ((*it)->data(0, RoleCle).toString() == cle)
                return *it;
        }
        return nullptr;
    }
    void clicNoeud(QTreeWidgetItem *item)
    {
        arbre()->scrollToItem(item);
        QTest::mouseClick(arbre()->viewport(), Qt::LeftButton, {}, arbre()->visualItemRect(item).center());
    }
    QAction *bouton(const char *key) const
    {
        for (QAction *a : child<QToolBar>("tbToolBar")->actions()) {
            if (a->property("Key").toString() == QLatin1String(key))
                return a;
        }
        return nullptr;
    }
    // Runs a script in the program's own world of the page.
    QVariant script(const QString &source, quint32 world)
    {
        QVariant result;
        bool done = false;
        web()->page()->runJavaScript(source, world, [&](const QVariant &v) {
            result = v;
            done = true;
        });
        if (!QTest::qWaitFor([&] { return done; }, 5000))
            qWarning("script without an answer: %s", qPrintable(source));
        return result;
    }
};

} // namespace

class ResultatsTest : public QObject {
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private Q_SLOTS:
    void listLinesGiveTheirSpecies_data()
    {
        QTest::addColumn<QString>("ligne");
        QTest::addColumn<double>("pourcent");
        QTest::addColumn<QString>("nom");
        QTest::newRow("after scoring") << QStringLiteral(" 87% - Quercus robur") << 87.0 << QStringLiteral("Quercus robur");
        QTest::newRow("at start-up") << QStringLiteral("100% - Pinus sylvestris") << 100.0
                                     << QStringLiteral("Pinus sylvestris");
        QTest::newRow("no percent sign") << QStringLiteral("Quercus robur") << 0.0 << QString();
        QTest::newRow("empty") << QString() << 0.0 << QString();
    }
    void listLinesGiveTheirSpecies()
    {
        QFETCH(QString, ligne);
        const LigneEspece l = Analyse_Ligne(us(ligne));
        QTEST(l.pourcent, "pourcent");
        QTEST(qs(l.nom), "nom");
    }

    void treeNodesGiveTheirSpecies_data()
    {
        QTest::addColumn<QString>("cle");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<bool>("espece");
        QTest::newRow("in its family") << "QUERO" << "Esp" << "FAGACEAE" << true;
        QTest::newRow("alphabetical list") << "QUEROS" << "EspFAGACEAE" << "Espèces" << true;
        QTest::newRow("under a common name") << "QUEROOak" << "CspQUEROFAGACEAE" << "Oak" << true;
        QTest::newRow("family") << "FAGACEAE" << "Fam" << "Familles" << false;
        QTest::newRow("root") << "Familles" << "" << "" << false;
        QTest::newRow("language") << "SEnglish" << "SEnglish" << "Communs" << false;
        QTest::newRow("common name") << "Oak" << "Com" << "SEnglish" << false;
    }
    void treeNodesGiveTheirSpecies()
    {
        QFETCH(QString, cle);
        QFETCH(QString, tag);
        QFETCH(QString, parent);
        QFETCH(bool, espece);
        const auto e = Espece_Noeud(us(cle), us(tag), us(parent));
        QCOMPARE(e.has_value(), espece);
        if (espece)
            QCOMPARE(*e, (EspeceNoeud{"QUERO", "Fagaceae"}));
    }

    void splitterDrop_data()
    {
        QTest::addColumn<int>("depot");
        QTest::addColumn<int>("hauteurNavigateur");
        QTest::addColumn<int>("barre");
        QTest::addColumn<int>("hauteurListe");
        // Window 15000 twips wide outside, 14880 inside; the column starts at 35; bar 75 wide.
        QTest::newRow("nominal") << 3000 << 9000 << 3000 << 9000 - 2224;
        QTest::newRow("past the middle") << 9000 << 9000 << 7500 << 9000 - 5599;
        QTest::newRow("closer to the edge than its width") << 40 << 9000 << 75 << 9000 - 30;
        QTest::newRow("thumbnail taller than the browser") << 7000 << 3000 << 7000 << 0;
    }
    void splitterDrop()
    {
        QFETCH(int, depot);
        QFETCH(int, hauteurNavigateur);
        QFETCH(int, barre);
        ColonneGauche c;
        c.barreLeft = depot;
        c.barreWidth = 75;
        c.Small_Robot = {35, 500, 3000, 2250};
        c.Liste_Esp = c.Tree_esp = {35, 2750, 3000, hauteurNavigateur - 2250};
        c.WebTexte = {3110, 500, 11735, hauteurNavigateur};
        const ColonneGauche d = Depose_Barre(c, 15000, 14880);
        QCOMPARE(int(d.barreLeft), barre);
        const int p = barre;
        QCOMPARE(int(d.Small_Robot.width), p - 35);
        QCOMPARE(int(d.Small_Robot.height), qRound((p - 35) * 3 / 4.0)); // the drawing's 4:3
        QCOMPARE(int(d.Small_Robot.top), 500);
        QCOMPARE(int(d.Liste_Esp.top), 500 + int(d.Small_Robot.height));
        QCOMPARE(int(d.Tree_esp.top), int(d.Liste_Esp.top));
        QCOMPARE(int(d.Liste_Esp.width), p - 35);
        QTEST(int(d.Liste_Esp.height), "hauteurListe");
        QCOMPARE(int(d.Tree_esp.height), int(d.Liste_Esp.height));
        QCOMPARE(int(d.WebTexte.left), p + 75);
        QCOMPARE(int(d.WebTexte.left + d.WebTexte.width), 14880 - 35);
        QCOMPARE(int(d.WebTexte.top), 500);
        QCOMPARE(int(d.WebTexte.height), hauteurNavigateur);
    }

    void draggingTheSplitterRelaysTheColumn()
    {
        Harness h;
        frmMain &w = h.open();
        h.menu("mnuViewResults")->trigger();
        auto *barre = h.child<QWidget>("Barre_Verticale");
        auto *vignette = h.child<QWidget>("Small_Robot");
        QVERIFY(barre->isVisible());
        const auto envoie = [&](QEvent::Type type, int dx, Qt::MouseButtons boutons) {
            const QPointF local(dx, 100);
            QMouseEvent e(type, local, barre->mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          boutons, Qt::NoModifier);
            QApplication::sendEvent(barre, &e);
        };
        envoie(QEvent::MouseButtonPress, 0, Qt::LeftButton);
        envoie(QEvent::MouseMove, 2000, Qt::NoButton); // no button: the bar stays
        const int avant = barre->x();
        envoie(QEvent::MouseMove, 100, Qt::LeftButton);
        QCOMPARE(barre->x(), avant + 100); // follows the pointer, measured from the bar's edge
        envoie(QEvent::MouseMove, 2000, Qt::LeftButton);
        envoie(QEvent::MouseButtonRelease, 0, Qt::NoButton);

        // Dropped far to the right: back at the middle of the window.
        QVERIFY(std::abs(barre->x() - w.frameGeometry().width() / 2) <= 1);
        QVERIFY(std::abs(vignette->width() * 3 - vignette->height() * 4) <= 4);
        auto *liste = h.liste();
        auto *web = h.web();
        QCOMPARE(liste->y(), vignette->y() + vignette->height());
        QVERIFY(std::abs(liste->geometry().bottom() - web->geometry().bottom()) <= 1);
        QCOMPARE(web->x(), barre->x() + barre->width());
        QVERIFY(std::abs(w.width() - (web->x() + web->width()) - qRound(35 / twipsParPixelX(&w))) <= 1);
    }

    void aListClickOpensThePageOfTheSpecies_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("page"); // under the documents, or in the data folder
        QTest::addColumn<QString>("code");
        QTest::newRow("page on the disk") << "Quercus robur" << "documents/q/quero/quero_en.html" << "QUERO";
        QTest::newRow("page missing") << "Pinus sylvestris" << "data/error_en.html" << "PINSY";
        QTest::newRow("species not in the key") << "Ulmus minor" << "data/error_en.html" << "";
    }
    void aListClickOpensThePageOfTheSpecies()
    {
        QFETCH(QString, nom);
        QFETCH(QString, page);
        Harness h;
        h.open();
        QVERIFY(h.charge([&] { h.menu("mnuViewResults")->trigger(); }));
        h.ecritLigne(-1, QStringLiteral("100% - Ulmus minor"));
        QVERIFY(h.clicLigne(nom));
        QCOMPARE(h.web()->url(), QUrl::fromLocalFile(qs((h.root.path() / us(page)).string())));
        QTEST(qs(h.model.Code_Page), "code");
        QCOMPARE(h.model.Index_Document, std::int16_t{0});
        if (nom == QLatin1String("Quercus robur")) {
            QCOMPARE(qs(h.model.Famille_Courante), QStringLiteral("Fagaceae"));
            QCOMPARE(qs(h.model.Espece_Courante), nom);
        }
        // The page replaces the history: nothing to go back to.
        QVERIFY(!h.web()->history()->canGoBack());
    }

    void aKeyHandledDuringAListClickHasTheLastWord()
    {
        Harness h;
        h.open();
        QVERIFY(h.charge([&] { h.menu("mnuViewResults")->trigger(); }));
        const int hetre = h.ligneFinissantPar(QStringLiteral("Fagus sylvatica"));
        const int pin = h.ligneFinissantPar(QStringLiteral("Pinus sylvestris"));
        QCOMPARE(pin, hetre + 1);
        QVERIFY(h.clicLigne(QStringLiteral("Quercus robur")));

        // A Down key waiting in the queue runs while the click lets pending events through.
        QCoreApplication::postEvent(h.liste(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier));
        h.liste()->setCurrentRow(hetre);
        const QUrl pageDuPin = QUrl::fromLocalFile(qs(h.root.dossier() + "data/error_en.html"));
        QTRY_COMPARE_WITH_TIMEOUT(h.web()->url(), pageDuPin, 10000);
        QTest::qWait(200); // no later page replaces it
        QCOMPARE(h.web()->url(), pageDuPin);
        QCOMPARE(h.liste()->currentRow(), pin);
        QCOMPARE(qs(h.model.Code_Page), QStringLiteral("PINSY"));
    }

    void aPageOpensInTheInterfaceLanguageWhereTheKeyHasIt_data()
    {
        QTest::addColumn<int>("langue");
        QTest::addColumn<QString>("affichee");
        QTest::addColumn<bool>("sansEspagnol"); // fagsy_es.html removed first
        QTest::addColumn<QString>("suivante");
        // The page read before does not decide: a Spanish page read in English leads to English.
        QTest::newRow("English, Spanish page shown") << 0 << "q/quero/quero_es.html" << false << "f/fagsy/fagsy_en.html";
        QTest::newRow("Spanish, English page shown") << 1 << "q/quero/quero_en.html" << false << "f/fagsy/fagsy_es.html";
        QTest::newRow("Spanish, not a page shown") << 1 << "q/quero/quero.txt" << false << "f/fagsy/fagsy_es.html";
        QTest::newRow("Spanish, the page only in English") << 1 << "q/quero/quero_es.html" << true
                                                           << "f/fagsy/fagsy_en.html";
        QTest::newRow("French, no French page") << 2 << "q/quero/quero_en.html" << false << "f/fagsy/fagsy_en.html";
    }
    void aPageOpensInTheInterfaceLanguageWhereTheKeyHasIt()
    {
        QFETCH(int, langue);
        QFETCH(QString, affichee);
        QFETCH(bool, sansEspagnol);
        QFETCH(QString, suivante);
        Harness h;
        h.open();
        h.model.Num_Langue = static_cast<std::int16_t>(langue);
        if (sansEspagnol)
            QVERIFY(QFile::remove(h.documents("f/fagsy/fagsy_es.html")));
        QVERIFY(h.charge([&] { h.menu("mnuViewResults")->trigger(); }));
        QVERIFY(h.charge([&] { h.web()->load(h.url(affichee.toUtf8().constData())); }));
        QVERIFY(h.clicLigne(QStringLiteral("Fagus sylvatica")));
        QCOMPARE(h.web()->url(), h.url(suivante.toUtf8().constData()));
    }

    void aMissingPageIsToldInTheInterfaceLanguageWhereTheKeyCan_data()
    {
        QTest::addColumn<int>("langue");
        QTest::addColumn<QString>("erreur");
        QTest::newRow("Spanish") << 1 << "data/error_es.html";
        QTest::newRow("French, no French error page") << 2 << "data/error_en.html";
    }
    void aMissingPageIsToldInTheInterfaceLanguageWhereTheKeyCan()
    {
        QFETCH(int, langue);
        QFETCH(QString, erreur);
        Harness h;
        h.open();
        h.model.Num_Langue = static_cast<std::int16_t>(langue);
        QVERIFY(h.charge([&] { h.menu("mnuViewResults")->trigger(); }));
        QVERIFY(h.clicLigne(QStringLiteral("Pinus sylvestris")));
        QCOMPARE(h.web()->url(), QUrl::fromLocalFile(qs(h.root.dossier()) + erreur));
    }

    void theErrorsButtonFollowsThePercentage_data()
    {
        QTest::addColumn<QString>("ligne");
        QTest::addColumn<int>("meilleur");
        QTest::addColumn<bool>("visible");
        QTest::newRow("100 %") << " 100% - Quercus robur" << 100 << false;
        QTest::newRow("87 %") << " 87% - Quercus robur" << 100 << true;
        QTest::newRow("87 %, nothing matches") << " 87% - Quercus robur" << 0 << false;
        QTest::newRow("at start-up") << "100% - Quercus robur" << 100 << false;
    }
    void theErrorsButtonFollowsThePercentage()
    {
        QFETCH(QString, ligne);
        QFETCH(int, meilleur);
        Harness h;
        frmMain &w = h.open();
        h.ecritLigne(0, ligne);
        h.model.Pourcent_Esp[0] = meilleur;
        h.bouton("Contra")->setVisible(!h.bouton("Contra")->isVisible());
        w.Liste_Esp_Click();
        QTEST(h.bouton("Contra")->isVisible(), "visible");
        QTEST(w.boutonBarre(22)->isVisible(), "visible"); // the button after it
    }

    void theTreeIsFilledWhenFirstShownWithEveryNode()
    {
        Harness h;
        h.open();
        QVERIFY(!h.arbre()->isVisible());
        QCOMPARE(h.arbre()->topLevelItemCount(), 0); // not yet: the identification view is on show
        h.menu("mnuViewSpecies")->trigger();
        QCOMPARE(h.arbre()->topLevelItemCount(), 3);
        int noeuds = 0;
        for (QTreeWidgetItemIterator it(h.arbre()); *it; ++it)
            ++noeuds;
        QCOMPARE(noeuds, static_cast<int>(h.model.Arbre.noeuds().size()));
        QVERIFY(h.noeud(QStringLiteral("QUEROS")));
        // Shown again, it is not filled twice.
        h.menu("mnuViewResults")->trigger();
        h.menu("mnuViewSpecies")->trigger();
        int encore = 0;
        for (QTreeWidgetItemIterator it(h.arbre()); *it; ++it)
            ++encore;
        QCOMPARE(encore, noeuds);
    }

    void namesInTheTreeFollowTheLanguageOfTheInterface_data()
    {
        QTest::addColumn<int>("langue");
        QTest::addColumn<QStringList>("attendu");
        QTest::newRow("English") << 0
                                 << QStringList{QStringLiteral("Beech"), QStringLiteral("Broadleaf"), QStringLiteral("Érable"), QStringLiteral("Ñandubay"),
                                                QStringLiteral("Nogal"), QStringLiteral("Oak"), QStringLiteral("Zelkova")};
        QTest::newRow("Spanish: ñ after n") << 1
                                            << QStringList{QStringLiteral("Beech"), QStringLiteral("Broadleaf"), QStringLiteral("Érable"), QStringLiteral("Nogal"),
                                                           QStringLiteral("Ñandubay"), QStringLiteral("Oak"), QStringLiteral("Zelkova")};
    }
    void namesInTheTreeFollowTheLanguageOfTheInterface()
    {
        QFETCH(int, langue);
        QFETCH(QStringList, attendu);
        Harness h;
        h.model.Num_Langue = static_cast<std::int16_t>(langue); // as the start-up settles it
        h.open();
        // More common names, which an order of bytes would put after "Z".
        for (const char *nom : {"Zelkova", "Érable", "Ñandubay", "Nogal"}) {
            QVERIFY(Arbre_Des_Especes(h.model).ajoute("SEnglish", nom, nom, "livre_ferme"));
            h.model.Arbre.noeud(nom)->Sorted = true;
        }
        h.menu("mnuViewSpecies")->trigger();
        const QTreeWidgetItem *anglais = h.noeud(QStringLiteral("SEnglish"));
        QVERIFY(anglais);
        QStringList noms;
        for (int i = 0; i < anglais->childCount(); ++i)
            noms << anglais->child(i)->text(0);
        QCOMPARE(noms, attendu);
    }

    void oneSpeciesFromThreePlacesInTheTree()
    {
        Harness h;
        h.open();
        h.menu("mnuViewSpecies")->trigger();
        QVERIFY(h.arbre()->isVisible());
        h.arbre()->expandAll();
        for (const char *cle : {"QUERO", "QUEROS", "QUEROOak"}) {
            h.model.Code_Page.clear();
            h.model.Famille_Courante.clear();
            h.model.Index_Document = 3;
            QTreeWidgetItem *node = h.noeud(QString::fromLatin1(cle));
            QVERIFY2(node, cle);
            QCOMPARE(node->text(0), QStringLiteral("Quercus robur"));
            QVERIFY(h.charge([&] { h.clicNoeud(node); }));
            QCOMPARE(h.web()->url(), h.url("q/quero/quero_en.html"));
            QCOMPARE(qs(h.model.Code_Page), QStringLiteral("QUERO"));
            QCOMPARE(qs(h.model.Famille_Courante), QStringLiteral("Fagaceae")); // stored in capitals
            QCOMPARE(qs(h.model.Espece_Courante), QStringLiteral("Quercus robur"));
            QCOMPARE(h.model.Index_Document, std::int16_t{0});
        }
        // Roots, families, languages and common names of several species open nothing.
        for (const char *cle : {"Familles", "FAGACEAE", "SEnglish", "Broadleaf"}) {
            h.model.Index_Document = 3;
            h.clicNoeud(h.noeud(QString::fromLatin1(cle)));
            QCOMPARE(qs(h.model.Code_Page), QStringLiteral("QUERO"));
            QCOMPARE(h.model.Index_Document, std::int16_t{3});
        }
    }

    void aCommonNameOfOneSpeciesOpensItsPage()
    {
        Harness h;
        h.open();
        h.menu("mnuViewSpecies")->trigger();
        QTreeWidgetItem *chene = h.noeud(QStringLiteral("Oak"));
        h.arbre()->expandItem(chene->parent()->parent());
        h.arbre()->expandItem(chene->parent());
        QVERIFY(!chene->isExpanded());
        QVERIFY(h.charge([&] { h.clicNoeud(chene); }));
        QCOMPARE(h.web()->url(), h.url("q/quero/quero_en.html"));
        QCOMPARE(qs(h.model.Code_Page), QStringLiteral("QUERO"));
        QCOMPARE(qs(h.model.Famille_Courante), QStringLiteral("Fagaceae"));
        QCOMPARE(qs(h.model.Espece_Courante), QStringLiteral("Quercus robur"));
    }

    void treeKeysOpenTheNodeUnderTheCursor_data()
    {
        QTest::addColumn<QString>("frappe");
        QTest::addColumn<QString>("code"); // of the page opened
        QTest::newRow("a species in a collapsed family") << "Pinus" << "PINSY";
        QTest::newRow("a common name of one species") << "Beech" << "FAGSY";
        QTest::newRow("down from a family onto a species") << "fagaceae|Right|Down" << "*";
        QTest::newRow("a family") << "fagaceae" << "";
        QTest::newRow("a common name of several species") << "Broadleaf" << "";
    }
    void treeKeysOpenTheNodeUnderTheCursor()
    {
        QFETCH(QString, frappe);
        QFETCH(QString, code);
        Harness h;
        frmMain &w = h.open();
        h.menu("mnuViewSpecies")->trigger();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTRY_VERIFY(h.arbre()->hasFocus());
        for (const QString &touche : frappe.split(QLatin1Char('|'))) {
            if (touche == QLatin1String("Right"))
                QTest::keyClick(h.arbre(), Qt::Key_Right);
            else if (touche == QLatin1String("Down"))
                QTest::keyClick(h.arbre(), Qt::Key_Down);
            else
                QTest::keyClicks(h.arbre(), touche);
        }
        QTreeWidgetItem *courant = h.arbre()->currentItem();
        QVERIFY(courant);
        if (code == QLatin1String("*"))
            code = courant->data(0, RoleCle).toString().left(5);
        // Keys held down pass over nodes: the page waits until they are still.
        QVERIFY(h.model.Code_Page.empty());
        QTest::qWait(Clavier_Arbre::kDelai + 100);
        QCOMPARE(qs(h.model.Code_Page), code);
        if (!code.isEmpty())
            QCOMPARE(qs(h.model.Espece_Courante), courant->childCount() ? courant->child(0)->text(0) : courant->text(0));

        // Enter opens it at once.
        h.model.Code_Page.clear();
        QTest::keyClick(h.arbre(), Qt::Key_Return);
        QCOMPARE(qs(h.model.Code_Page), code);
    }

    void aTreeClickIsNotOpenedTwiceByTheKeys()
    {
        Harness h;
        h.open();
        h.menu("mnuViewSpecies")->trigger();
        h.arbre()->expandAll();
        QVERIFY(h.charge([&] { h.clicNoeud(h.noeud(QStringLiteral("PINSYS"))); }));
        int pages = 0;
        connect(h.web(), &Navigateur::BeforeNavigate2, h.web(), [&] { ++pages; });
        QVERIFY(h.charge([&] { h.clicNoeud(h.noeud(QStringLiteral("QUEROS"))); }));
        QTest::qWait(Clavier_Arbre::kDelai + 100);
        QCOMPARE(pages, 1);
    }

    void typingASpeciesInTheListOpensItsPage()
    {
        Harness h;
        frmMain &w = h.open();
        QVERIFY(h.charge([&] { h.menu("mnuViewResults")->trigger(); }));
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        h.liste()->setFocus();
        // The first line is open already: the species typed is the last one's.
        const int derniere = h.liste()->count() - 1;
        QVERIFY(derniere > 0 && h.liste()->currentRow() != derniere);
        const QString nom = qs(Analyse_Ligne(us(h.liste()->ligne(derniere))).nom);
        QVERIFY(h.charge([&] { QTest::keyClicks(h.liste(), nom.left(3).toLower()); }));
        QCOMPARE(h.liste()->currentRow(), derniere);
        QCOMPARE(qs(h.model.Espece_Courante), nom);
        QVERIFY(!h.model.Code_Page.empty());
    }

    void branchesShowAnOpenOrClosedBook()
    {
        Harness h;
        h.open();
        h.menu("mnuViewSpecies")->trigger();
        QTreeWidgetItem *famille = h.noeud(QStringLiteral("FAGACEAE"));
        const qint64 ferme = Node_Images(QStringLiteral("livre_ferme")).cacheKey();
        const qint64 ouvert = Node_Images(QStringLiteral("livre_ouvert")).cacheKey();
        QCOMPARE(famille->icon(0).cacheKey(), ferme);
        QCOMPARE(h.noeud(QStringLiteral("QUERO"))->icon(0).cacheKey(), Node_Images(QStringLiteral("page")).cacheKey());
        h.arbre()->expandItem(famille->parent());
        h.arbre()->expandItem(famille);
        QCOMPARE(famille->icon(0).cacheKey(), ouvert);
        QCOMPARE(famille->parent()->icon(0).cacheKey(), ouvert);
        h.arbre()->collapseItem(famille);
        QCOMPARE(famille->icon(0).cacheKey(), ferme);
    }

    void aDrawingPageShowsItsLegendAndZooms()
    {
        Harness h;
        dessinComplet().save(h.documents("q/quero/quero.gif"), "PNG");
        h.open();
        QVERIFY(h.charge([&] { h.menu("mnuViewResults")->trigger(); }));
        QVERIFY(h.clicLigne(QStringLiteral("Quercus robur")));
        frmLegende *legende = h.docs().legende();
        frmZoom *zoom = h.docs().zoom();
        QVERIFY(!legende->isVisible());

        QSignalSpy pret(h.web(), &Navigateur::imagesPretes);
        QVERIFY(h.charge([&] { h.web()->load(h.url("q/quero/dessin_quero_en.html")); }));
        QTRY_VERIFY_WITH_TIMEOUT(!pret.isEmpty(), 10000);
        QVERIFY(legende->isVisible());
        QCOMPARE(legende->texte(), QString::fromUtf8(kLegende));
        QCOMPARE(legende->windowTitle(), QStringLiteral("Legend"));
        QVERIFY(legende->width() > legende->fontMetrics().horizontalAdvance(QString::fromUtf8(kLegende)));
        // Beside the splitter: two thirds of its width to the left, two thirds of its height down.
        auto *barre = h.child<QWidget>("Barre_Verticale");
        const QPoint b = barre->mapToGlobal(QPoint(0, 0));
        QVERIFY(std::abs(legende->frameGeometry().x() - (b.x() - 2 * legende->frameGeometry().width() / 3)) <= 1);
        QVERIFY(std::abs(legende->frameGeometry().y() - (b.y() + 2 * barre->height() / 3)) <= 1);
        QCOMPARE(h.docs().Image_Dessin().size(), QSize(2200, 3300));
        QVERIFY(!zoom->isVisible());

        // A press at (12 + 100, 72 + 50): the point 400 x 200 pixels into the drawing at the centre.
        QWidget *souris = h.web()->focusProxy();
        QTest::mousePress(souris, Qt::LeftButton, {}, QPoint(112, 122));
        QTRY_VERIFY(zoom->isVisible());
        QCOMPARE(zoom->windowTitle(), QStringLiteral("Zoom 4x : Quercus robur - Fagaceae"));
        const EtatZoom &z = h.docs().etatZoom();
        QCOMPARE((QList<int>{z.Souris_X, z.Souris_Y}), (QList<int>{112, 122}));
        const double tx = zoom->mesure().tppX, ty = zoom->mesure().tppY;
        QVERIFY(std::abs(qRound(z.Zoom_X / tx) + zoom->width() / 2 - 400) <= 1);
        QVERIFY(std::abs(qRound(z.Zoom_Y / ty) + zoom->height() / 2 - 200) <= 1);
        // Painted unscaled: the window's centre shows that pixel of the drawing.
        const QImage vue = zoom->grab().toImage();
        const QPoint centre(qRound(z.Zoom_X / tx) + zoom->width() / 2, qRound(z.Zoom_Y / ty) + zoom->height() / 2);
        QCOMPARE(vue.pixel(zoom->width() / 2, zoom->height() / 2), h.docs().Image_Dessin().pixel(centre));

        // The release makes a click on the linked image, which does not follow the link.
        QSignalSpy avant(h.web(), &Navigateur::BeforeNavigate2);
        QTest::mouseRelease(souris, Qt::LeftButton, {}, QPoint(112, 122));
        // The mouse moving over the drawing takes the zoom along; corners keep it inside. The
        // bottom of the drawing is reached by scrolling, which the page's position includes.
        QCOMPARE(h.script(QStringLiteral("window.scrollTo(0, 400); window.scrollY"), QWebEngineScript::MainWorld).toInt(), 400);
        QTest::mouseMove(souris, QPoint(12 + 549, 72 + 824 - 400));
        QTRY_COMPARE(z.Souris_Y, 72 + 824);
        QCOMPARE(z.Souris_X, 12 + 549);
        QCOMPARE(z.Zoom_X, qRound(2200 * tx - zoom->mesure().largeur));
        QCOMPARE(z.Zoom_Y, qRound(3300 * ty - zoom->mesure().hauteur));
        QCOMPARE(h.script(QStringLiteral("window.scrollTo(0, 0); window.scrollY"), QWebEngineScript::MainWorld).toInt(), 0);
        QTest::mouseMove(souris, QPoint(13, 73));
        QTRY_COMPARE(z.Souris_X, 13);
        QCOMPARE((QList<int>{z.Zoom_X, z.Zoom_Y}), (QList<int>{0, 0}));
        QCOMPARE(h.script(QStringLiteral("document.readyState"), QWebEngineScript::MainWorld).toString(),
                 QStringLiteral("complete"));
        QVERIFY(avant.isEmpty());
        QCOMPARE(h.web()->url().fileName(), QStringLiteral("dessin_quero_en.html"));

        // Any other page sends both windows away.
        QVERIFY(h.charge([&] { h.web()->load(h.url("q/quero/bark.html")); }));
        QVERIFY(!zoom->isVisible());
        QVERIFY(!legende->isVisible());
    }

    // From the page of one species to the drawing page of a similar one through the page's own
    // links: that species' legend, drawing and zoom.
    void aDrawingPageReachedFromAnotherSpeciesZoomsToo()
    {
        Harness h;
        dessinComplet().save(h.documents("q/quero/quero.gif"), "PNG");
        h.open();
        QVERIFY(h.charge([&] { h.menu("mnuViewResults")->trigger(); }));
        QVERIFY(h.clicLigne(QStringLiteral("Fagus sylvatica")));
        QSignalSpy pret(h.web(), &Navigateur::imagesPretes);
        QVERIFY(h.charge([&] { h.web()->load(h.url("q/quero/quero_en.html")); }));
        QVERIFY(h.charge([&] { h.web()->load(h.url("q/quero/dessin_quero_en.html")); }));
        QTRY_VERIFY_WITH_TIMEOUT(!pret.isEmpty(), 10000);
        QVERIFY(h.docs().legende()->isVisible());
        QCOMPARE(h.docs().legende()->texte(), QString::fromUtf8(kLegende));
        QCOMPARE(h.docs().Image_Dessin().size(), QSize(2200, 3300));
        QTest::mousePress(h.web()->focusProxy(), Qt::LeftButton, {}, QPoint(112, 122));
        QTRY_VERIFY(h.docs().zoom()->isVisible());
        QCOMPARE(h.docs().zoom()->windowTitle(), QStringLiteral("Zoom 4x : Quercus robur - Fagaceae"));
        QCOMPARE((QList<int>{h.docs().etatZoom().Souris_X, h.docs().etatZoom().Souris_Y}), (QList<int>{112, 122}));
        QTest::mouseRelease(h.web()->focusProxy(), Qt::LeftButton, {}, QPoint(112, 122));
    }

    void theLegendWindowOnShowSpeaksTheNewLanguageAtOnce()
    {
        Harness h;
        h.open();
        QVERIFY(h.charge([&] { h.menu("mnuViewResults")->trigger(); }));
        QVERIFY(h.clicLigne(QStringLiteral("Quercus robur")));
        QSignalSpy pret(h.web(), &Navigateur::imagesPretes);
        QVERIFY(h.charge([&] { h.web()->load(h.url("q/quero/dessin_quero_en.html")); }));
        QTRY_VERIFY_WITH_TIMEOUT(!pret.isEmpty(), 10000);
        frmLegende *legende = h.docs().legende();
        QVERIFY(legende->isVisible());
        const QPoint place = legende->pos();

        h.model.Num_Langue = 1;
        h.window->Change_Langue();
        QVERIFY(legende->isVisible());
        QCOMPARE(legende->texte(), QString::fromUtf8(kLegendeEs));
        QCOMPARE(legende->windowTitle(), texteOuAnglais(1, 1400));
        QVERIFY(legende->width() > legende->fontMetrics().horizontalAdvance(QString::fromUtf8(kLegendeEs)));
        QCOMPARE(legende->pos(), place);
        QCOMPARE(h.web()->url().fileName(), QStringLiteral("dessin_quero_en.html")); // the page stays

        // Hidden meanwhile, it comes back in the language of the moment.
        legende->hide();
        h.model.Num_Langue = 0;
        h.window->Change_Langue();
        QVERIFY(!legende->isVisible());
        QCOMPARE(h.docs().Texte_Legende(), QString::fromUtf8(kLegende));
    }

    void aDrawingWithoutLegendOrPictureShowsNeither()
    {
        Harness h;
        h.open();
        QVERIFY(h.charge([&] { h.menu("mnuViewResults")->trigger(); }));
        QVERIFY(h.clicLigne(QStringLiteral("Fagus sylvatica")));
        QSignalSpy pret(h.web(), &Navigateur::imagesPretes);
        QVERIFY(h.charge([&] { h.web()->load(h.url("f/fagsy/dessin_fagsy_en.html")); }));
        QTRY_VERIFY_WITH_TIMEOUT(!pret.isEmpty(), 10000);
        QVERIFY(!h.docs().legende()->isVisible());
        QVERIFY(h.docs().Texte_Legende().isEmpty());
        QVERIFY(h.docs().Image_Dessin().isNull());
        QTest::mousePress(h.web()->focusProxy(), Qt::LeftButton, {}, QPoint(112, 122));
        QTRY_COMPARE(h.docs().etatZoom().Souris_X, 112);
        QVERIFY(!h.docs().zoom()->isVisible());
        QTest::mouseRelease(h.web()->focusProxy(), Qt::LeftButton, {}, QPoint(112, 122));
    }

    void backTwiceAndForwardOnce()
    {
        Harness h;
        frmMain &w = h.open();
        QAction *arriere = h.bouton("Arriere");
        QAction *avant = h.bouton("Avant");
        QVERIFY(h.charge([&] { h.menu("mnuViewResults")->trigger(); }));
        QVERIFY(h.clicLigne(QStringLiteral("Quercus robur")));
        QTRY_VERIFY(!arriere->isEnabled()); // the species' own page
        QVERIFY(!avant->isEnabled());
        QVERIFY(h.charge([&] { h.web()->load(h.url("q/quero/bark.html")); }));
        QVERIFY(h.charge([&] { h.web()->load(h.url("q/quero/wood.html")); }));
        QTRY_VERIFY(arriere->isEnabled());

        QVERIFY(h.charge([&] { w.Traiter_Fichier(QStringLiteral("Arriere"), QString()); }));
        QVERIFY(h.charge([&] { w.Traiter_Fichier(QStringLiteral("Arriere"), QString()); }));
        QCOMPARE(h.web()->url(), h.url("q/quero/quero_en.html"));
        QCOMPARE(h.model.Index_Document, std::int16_t{2});
        QTRY_VERIFY(avant->isEnabled());
        QTRY_VERIFY(!arriere->isEnabled());
        QVERIFY(h.charge([&] { w.Traiter_Fichier(QStringLiteral("Avant"), QString()); }));
        QCOMPARE(h.web()->url(), h.url("q/quero/bark.html"));
        QCOMPARE(h.model.Index_Document, std::int16_t{1});
        QTRY_VERIFY(arriere->isEnabled());
        QVERIFY(avant->isEnabled());

        // A species chosen again starts over.
        QVERIFY(h.clicLigne(QStringLiteral("Fagus sylvatica")));
        QCOMPARE(h.model.Index_Document, std::int16_t{0});
        QTRY_VERIFY(!avant->isEnabled());
        w.Traiter_Fichier(QStringLiteral("Avant"), QString());
        QCOMPARE(h.model.Index_Document, std::int16_t{0});
    }

    void noSpeciesAboveTheThresholdShowsNoPage()
    {
        Harness h;
        h.user(QStringLiteral("Options/Valeur"), QStringLiteral("40"));
        frmMain &w = h.open();
        QCOMPARE(h.model.Seuil_Affichage, std::int16_t{40});
        QVERIFY(h.lines().isEmpty()); // nothing answered: every species at 0 %
        QCOMPARE(h.child<QLabel>("Legende")->text(), QStringLiteral("No species reaches 40 % yet"));

        QVERIFY(h.charge([&] { h.menu("mnuViewResults")->trigger(); }));
        QCOMPARE(h.web()->url(), QUrl(QStringLiteral("about:blank"))); // not the error page
        QVERIFY(h.model.Code_Page.empty());
        QVERIFY(!h.bouton("Contra")->isVisible());
        QVERIFY(!h.menu("mnuViewErrors")->isEnabled());
        QTRY_VERIFY(!h.bouton("Arriere")->isEnabled());
        QVERIFY(!h.bouton("Avant")->isEnabled());
        w.Traiter_Fichier(QStringLiteral("Arriere"), QString());
        QTest::qWait(250); // two ticks of Timer1
        QVERIFY(!h.bouton("Arriere")->isEnabled());
        QVERIFY(!h.bouton("Avant")->isEnabled());
        QVERIFY(!h.web()->history()->canGoBack());
    }

    void theViewCommandsCarryOneCheckMark_data()
    {
        QTest::addColumn<QString>("distribution");
        QTest::addColumn<bool>("stopMontre");
        QTest::newRow("documents on the disk") << "hd" << false;
        QTest::newRow("documents on a web server") << "http" << true;
    }
    void theViewCommandsCarryOneCheckMark()
    {
        QFETCH(QString, distribution);
        QFETCH(bool, stopMontre);
        test::ServeurHttp serveur(QString::fromStdString(test::TempDir().dossier()));
        Harness h(distribution, distribution == QLatin1String("hd") ? QString() : serveur.adresse());
        frmMain &w = h.open();
        QAction *identification = h.menu("mnuViewIdentification");
        QAction *resultats = h.menu("mnuViewResults");
        QAction *especes = h.menu("mnuViewSpecies");
        const auto coches = [&] {
            return QList<bool>{identification->isChecked(), resultats->isChecked(), especes->isChecked()};
        };
        // Contradictions on show end with the results view.
        h.model.Robots.push_back(Robot{});
        h.model.Nb_Contradictions = 1;

        resultats->trigger();
        QCOMPARE(coches(), (QList<bool>{false, true, false}));
        QCOMPARE(int(h.model.Vue_Courante), 3);
        QCOMPARE(h.model.Nb_Contradictions, std::int16_t{0});
        QCOMPARE(h.model.Robots.size(), std::size_t(h.model.Nb_Robot));
        QVERIFY(h.liste()->isVisible() && h.web()->isVisible() && !h.arbre()->isVisible());
        QVERIFY(!h.bouton("Copy")->isEnabled());
        for (int p = 13; p <= 18; ++p)
            QVERIFY(w.boutonBarre(p)->isVisible());
        QCOMPARE(w.boutonBarre(19)->isVisible(), stopMontre);
        QCOMPARE(w.boutonBarre(20)->isVisible(), stopMontre);

        // The checked item does nothing, not even when a question is shown.
        h.model.Vue_Courante = 2;
        resultats->trigger();
        QCOMPARE(coches(), (QList<bool>{false, true, false}));
        QCOMPARE(int(h.model.Vue_Courante), 2);

        especes->trigger();
        QCOMPARE(coches(), (QList<bool>{false, false, true}));
        QCOMPARE(int(h.model.Vue_Courante), 4);
        QVERIFY(h.arbre()->isVisible() && h.web()->isVisible() && !h.liste()->isVisible());
        QCOMPARE(w.boutonBarre(19)->isVisible(), stopMontre);

        h.docs().zoom()->show();
        h.docs().legende()->show();
        identification->trigger();
        QCOMPARE(coches(), (QList<bool>{true, false, false}));
        QCOMPARE(int(h.model.Vue_Courante), 1);
        QVERIFY(!h.web()->isVisible() && !h.arbre()->isVisible());
        QVERIFY(!h.docs().zoom()->isVisible() && !h.docs().legende()->isVisible());
        for (int p = 13; p <= 22; ++p)
            QVERIFY(!w.boutonBarre(p)->isVisible());
    }

    void documentsOnAWebServer()
    {
        test::TempDir site;
        ecris(site.path() / "q/quero/quero_en.html",
              page("<iframe src='cadre.html'></iframe><img src='lent.png'>"));
        ecris(site.path() / "q/quero/cadre.html", page("frame"));
        ecris(site.path() / "q/quero/dessin_quero_en.html",
              page("<img src='cadre.html' style='position:absolute; left:12px; top:72px; width:550px; height:825px'>"));
        ecris(site.path() / "f/fagsy/fagsy_en.html", page("Fagus"));
        ecris(site.path() / "p/pinsy/pinsy_en.html", page("Pinus"));
        test::ServeurHttp serveur(qs(site.dossier()));
        Harness h(QStringLiteral("http"), serveur.adresse());
        h.open();
        QAction *stop = h.bouton("Stop");
        QVERIFY(h.charge([&] { h.menu("mnuViewResults")->trigger(); }));
        QTRY_VERIFY(!stop->isEnabled()); // the top-level document is complete

        // Stop as the documents load: on at the start, still on when the frame completes, off
        // when the page itself does.
        QList<QPair<bool, bool>> etats; // (top level, Stop enabled) at each document complete
        connect(h.web(), &Navigateur::DocumentComplete, this,
                [&](const QUrl &, bool principal) { etats << qMakePair(principal, stop->isEnabled()); });
        serveur.retiens(QStringLiteral("/q/quero/lent.png"));
        h.liste()->setCurrentRow(h.ligneFinissantPar(QStringLiteral("Quercus robur")));
        QTRY_COMPARE(h.web()->url().toString(QUrl::RemovePort), QStringLiteral("http://127.0.0.1/q/quero/quero_en.html"));
        QTRY_COMPARE(etats, (QList<QPair<bool, bool>>{{false, true}}));
        QVERIFY(stop->isEnabled());
        serveur.libere(QStringLiteral("/q/quero/lent.png"));
        QTRY_COMPARE(etats, (QList<QPair<bool, bool>>{{false, true}, {true, false}}));

        // Any navigation turns Stop on again.
        QSignalSpy avant(h.web(), &Navigateur::BeforeNavigate2);
        QVERIFY(h.charge([&] { h.web()->load(QUrl(serveur.adresse() + QStringLiteral("q/quero/dessin_quero_en.html"))); }));
        QVERIFY(!avant.isEmpty());
        QTRY_VERIFY(!stop->isEnabled());

        // No drawing page on a web server: no bridge, no legend, no images, no zoom.
        QVERIFY(!h.web()->pontInstalle());
        QVERIFY(!h.web()->page()->webChannel());
        QCOMPARE(h.script(QStringLiteral("typeof qt"), QWebEngineScript::ApplicationWorld).toString(),
                 QStringLiteral("undefined"));
        QVERIFY(!h.docs().legende()->isVisible());
        QTest::mousePress(h.web()->focusProxy(), Qt::LeftButton, {}, QPoint(112, 122));
        QTest::mouseRelease(h.web()->focusProxy(), Qt::LeftButton, {}, QPoint(112, 122));
        QCOMPARE(h.script(QStringLiteral("1"), QWebEngineScript::MainWorld).toInt(), 1);
        QVERIFY(!h.docs().zoom()->isVisible());
        QCOMPARE(h.docs().etatZoom().Souris_X, 0);
    }

    void aWebAddressWithoutSchemeIsAWebSite_data()
    {
        QTest::addColumn<bool>("vide"); // the address an empty box used to be saved as
        QTest::newRow("host and port without http://") << false;
        QTest::newRow("a lone slash") << true;
    }
    void aWebAddressWithoutSchemeIsAWebSite()
    {
        QFETCH(bool, vide);
        test::TempDir site;
        ecris(site.path() / "q/quero/quero_en.html", page("Quercus"));
        test::ServeurHttp serveur(qs(site.dossier()));
        const QString sansSchema = serveur.adresse().mid(QStringLiteral("http://").size());
        Harness h(QStringLiteral("http"), vide ? QStringLiteral("/") : sansSchema);
        h.open();
        QAction *stop = h.bouton("Stop");
        if (vide) {
            h.menu("mnuViewResults")->trigger();
            // Nothing can be opened, and Stop does not stay on as if something were loading.
            QTRY_VERIFY(!stop->isEnabled());
            QVERIFY(h.web()->url().isEmpty());
            return;
        }
        QVERIFY(h.charge([&] { h.menu("mnuViewResults")->trigger(); }));
        QVERIFY(h.clicLigne(QStringLiteral("Quercus robur")));
        QCOMPARE(h.web()->url().toString(QUrl::RemovePort), QStringLiteral("http://127.0.0.1/q/quero/quero_en.html"));
        QTRY_VERIFY(!stop->isEnabled());
        QCOMPARE(h.script(QStringLiteral("document.body.textContent"), QWebEngineScript::MainWorld).toString(),
                 QStringLiteral("Quercus"));
    }

    void localPagesReadOnlyTheDocumentsFolder()
    {
        Harness h;
        ecris(h.root.path() / "secret.txt", QStringLiteral("secret"));
        // A page of the key that tries to read a file of the documents, one beside them and the
        // error page of the data folder, and to show one beside them in a frame.
        ecris(h.root.path() / "documents/q/quero/curieux.html",
              page("<iframe id='c' src='../../../secret.txt'></iframe><script>"
                   "function lis(a) { return fetch(a).then(function (r) { return r.text(); })"
                   "  .then(function (t) { return t.length ? 'read' : 'empty'; }, function () { return 'refused'; }); }"
                   "Promise.all([lis('bark.html'), lis('../../../secret.txt'), lis('../../../data/error_en.html')])"
                   "  .then(function (r) { document.title = r.join(' '); });"
                   "</script>"));
        h.open();
        QVERIFY(h.charge([&] { h.menu("mnuViewResults")->trigger(); }));
        QVERIFY(h.charge([&] { h.web()->load(h.url("q/quero/curieux.html")); }));
        QTRY_COMPARE_WITH_TIMEOUT(h.web()->title(), QStringLiteral("read refused refused"), 10000);
        const auto cadre = [&] {
            return h.script(QStringLiteral("var d = document.getElementById('c').contentDocument;"
                                           "d && d.body ? d.body.textContent : ''"),
                            QWebEngineScript::MainWorld)
                .toString();
        };
        QVERIFY(!cadre().contains(QLatin1String("secret")));

        // The program's own pages load as before: the species page, and the error page beside the
        // documents.
        QSignalSpy fini(h.web()->page(), &QWebEnginePage::loadFinished);
        QVERIFY(h.clicLigne(QStringLiteral("Pinus sylvestris")));
        QCOMPARE(h.web()->url().fileName(), QStringLiteral("error_en.html"));
        QVERIFY(fini.last().at(0).toBool());
        QVERIFY(h.clicLigne(QStringLiteral("Quercus robur")));
        QVERIFY(fini.last().at(0).toBool());
    }

    void printingAPageTwiceWaitsForTheFirst()
    {
        Harness h;
        frmMain &w = h.open();
        QVERIFY(h.charge([&] { h.menu("mnuViewResults")->trigger(); }));
        QVERIFY(h.clicLigne(QStringLiteral("Quercus robur")));
        QSignalSpy finis(h.web(), &QWebEngineView::printFinished);
        h.dialogs.pdf = qs(h.root.fichier("page.pdf"));
        // The second Print comes before the browser has finished the first printout.
        w.Traiter_Fichier(QStringLiteral("Print"), QString());
        w.Traiter_Fichier(QStringLiteral("Print"), QString());
        QTRY_COMPARE_WITH_TIMEOUT(finis.count(), 2, 20000);
        QCOMPARE(h.dialogs.impressions, 2);
        QVERIFY(finis.at(0).at(0).toBool());
        QVERIFY(finis.at(1).at(0).toBool());
        QVERIFY(QFileInfo(h.dialogs.pdf).size() > 0);
        // Nothing waits any more: the next one prints at once.
        w.Traiter_Fichier(QStringLiteral("Print"), QString());
        QTRY_COMPARE_WITH_TIMEOUT(finis.count(), 3, 20000);
        QCOMPARE(h.dialogs.impressions, 3);
    }

    void aSpeciesPagePrintsToPdfAsText()
    {
        if (!QFileInfo::exists(QStringLiteral(PDFTOTEXT)))
            QSKIP("pdftotext (poppler-utils) is not installed");
        Harness h;
        frmMain &w = h.open();
        QVERIFY(h.charge([&] { h.menu("mnuViewResults")->trigger(); }));
        QVERIFY(h.clicLigne(QStringLiteral("Quercus robur")));
        QSignalSpy finis(h.web(), &QWebEngineView::printFinished);
        h.dialogs.pdf = qs(h.root.fichier("species.pdf"));
        w.Traiter_Fichier(QStringLiteral("Print"), QString());
        QTRY_COMPARE_WITH_TIMEOUT(finis.count(), 1, 20000);
        QVERIFY(finis.at(0).at(0).toBool());
        // The page's words are in the PDF as text, not painted into one picture of the page.
        QProcess texte;
        texte.start(QStringLiteral(PDFTOTEXT), {h.dialogs.pdf, QStringLiteral("-")});
        QVERIFY(texte.waitForFinished(20000));
        QVERIFY2(QString::fromUtf8(texte.readAllStandardOutput()).contains(QLatin1String("Quercus robur")),
                 "no text in the PDF");
        const qint64 taille = QFileInfo(h.dialogs.pdf).size();
        QVERIFY2(taille > 0 && taille < 200 * 1024, qPrintable(QString::number(taille)));
    }

    void theListTakesTheFocusOnlyOnce()
    {
        Harness h;
        frmMain &w = h.open();
        h.menu("mnuViewResults")->trigger();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QWidget *ailleurs = h.child<QWidget>("Barre_Verticale");
        ailleurs->setFocusPolicy(Qt::StrongFocus);
        ailleurs->setFocus();
        const auto survole = [&] {
            QMouseEvent e(QEvent::MouseMove, QPointF(10, 10), h.liste()->viewport()->mapToGlobal(QPointF(10, 10)),
                          Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(h.liste()->viewport(), &e);
        };
        survole();
        QTRY_VERIFY(h.liste()->hasFocus());
        ailleurs->setFocus();
        QTRY_VERIFY(ailleurs->hasFocus());
        survole();
        QVERIFY(!h.liste()->hasFocus());
    }

    void resizingKeepsThePanesTheFocusAndTheDraggedSplitter()
    {
        Harness h;
        frmMain &w = h.open();
        h.menu("mnuViewResults")->trigger();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *barre = h.child<QWidget>("Barre_Verticale");
        auto *liste = h.liste();
        auto *web = h.web();
        const auto glisse = [&](int dx) {
            for (auto [type, boutons] : {std::pair{QEvent::MouseMove, Qt::MouseButtons(Qt::LeftButton)},
                                         std::pair{QEvent::MouseButtonRelease, Qt::MouseButtons(Qt::NoButton)}}) {
                const QPointF local(type == QEvent::MouseMove ? dx : 0, 100);
                QMouseEvent e(type, local, barre->mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                              boutons, Qt::NoModifier);
                QApplication::sendEvent(barre, &e);
            }
        };
        glisse(150);
        const double proportion = double(barre->x()) / w.width();
        liste->setFocus();
        QTRY_VERIFY(liste->hasFocus());

        CompteVisibilite compte{liste, barre, web};
        for (const QSize taille : {QSize(1200, 800), QSize(760, 520), QSize(1000, 700)}) {
            w.resize(taille);
            QTest::qWait(20);
            QCOMPARE(w.size(), taille);
            QVERIFY2(std::abs(barre->x() - proportion * w.width()) <= 1.5, qPrintable(QString::number(barre->x())));
            QVERIFY(std::abs(liste->x() + liste->width() - barre->x()) <= 1); // rounded to pixels apart
            QCOMPARE(web->x(), barre->x() + barre->width());
            QVERIFY(std::abs(liste->geometry().bottom() - web->geometry().bottom()) <= 1);
            QVERIFY(liste->hasFocus());
        }
        QCOMPARE(compte.changements, 0);

        // The View commands lay the column out afresh, a quarter of the available width, as the
        // layout rules have it.
        h.menu("mnuViewToolbar")->trigger();
        h.menu("mnuViewToolbar")->trigger();
        const double disponible = w.width() - 105 / twipsParPixelX(&w) - h.child<QToolBar>("Barre_Deter")->width();
        QVERIFY2(std::abs(liste->width() - disponible / 4) <= 1.5, qPrintable(QString::number(liste->width())));
    }

    void returningToTheDrawingReleasesTheZoomPicture()
    {
        Harness h;
        dessinComplet().save(h.documents("q/quero/quero.gif"), "PNG");
        h.open();
        QVERIFY(h.charge([&] { h.menu("mnuViewResults")->trigger(); }));
        QVERIFY(h.clicLigne(QStringLiteral("Quercus robur")));
        QSignalSpy pret(h.web(), &Navigateur::imagesPretes);
        QVERIFY(h.charge([&] { h.web()->load(h.url("q/quero/dessin_quero_en.html")); }));
        QTRY_VERIFY_WITH_TIMEOUT(!pret.isEmpty(), 10000);
        QVERIFY(!h.docs().Image_Dessin().isNull());
        h.menu("mnuViewIdentification")->trigger();
        QVERIFY(h.docs().Image_Dessin().isNull());
        QVERIFY(!h.docs().zoom()->isVisible());
    }
};

QTEST_MAIN(ResultatsTest)
#include "resultats_test.moc"
