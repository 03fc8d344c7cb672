#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <filesystem>

#include "knowledge/key_model.h"
#include "knowledge/palette.h"
#include "layout/arrange_fenetre.h"
#include "platform/qt_text.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"
#include "resources/string_table.h"
#include "shell/contexte.h"
#include "shell/frm_main.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "tools/kbbuilder/kb_builder.h"
#include "tools/wmf/wmf_writer.h"
#include "views/barres.h"
#include "views/pic_choix.h"
#include "views/robot_view.h"

using namespace tarvenko;
using tools::WmfRect;
using tools::WmfWriter;

namespace {

constexpr std::uint32_t kVert = 0x0030A030;  // COLORREF: the crown, which opens FEUILLE
constexpr std::uint32_t kBrun = 0x00204080;  // the trunk, which opens ECORCE

// A drawing of a crown (left two thirds) and a trunk (right third), in the 2400 x 1800 space.
void writeDrawing(const std::string &path)
{
    WmfWriter w;
    w.setWindowOrg(0, 0).setWindowExt(2400, 1800);
    w.selectObject(w.createPen(wmf::PS_NULL, 0, 0));
    w.selectObject(w.createBrush(wmf::BS_SOLID, kVert));
    w.rectangle(WmfRect{0, 0, 1600, 1800});
    w.selectObject(w.createBrush(wmf::BS_SOLID, kBrun));
    w.rectangle(WmfRect{1600, 0, 2400, 1800});
    w.save(path);
}

// A question picture: a grid of cells in grey.
void writeGrid(const std::string &path)
{
    WmfWriter w;
    w.setWindowOrg(0, 0).setWindowExt(1000, 500);
    w.selectObject(w.createBrush(wmf::BS_SOLID, 0x00E0E0E0));
    w.rectangle(WmfRect{10, 10, 490, 490});
    w.rectangle(WmfRect{510, 10, 990, 490});
    w.save(path);
}

struct Harness {
    QTemporaryDir machineDir, userDir;
    test::TempDir root;
    KeyModel model;
    SettingsStore settings;
    test::ScriptedDialogs dialogs;
    SingleInstance instance{qs(root.fichier("lock"))};
    std::optional<int> exitCode;
    Contexte ctx{model, settings, dialogs, instance, [this](int code) { exitCode = code; }, {}};
    std::unique_ptr<frmMain> window;

    Harness()
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, machineDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, userDir.path());
        namespace fs = std::filesystem;
        for (const char *folder : {"data", "robot/00", "descripteurs"})
            fs::create_directories(root.path() / folder);
        QSettings machine(QSettings::IniFormat, QSettings::SystemScope, QStringLiteral("Tarvenko"), QStringLiteral("Tarvenko"));
        machine.setValue(QStringLiteral("Logiciel/Data"), qs(root.dossier() + "data/"));
        machine.setValue(QStringLiteral("Logiciel/Base"), QStringLiteral("Tarvenko.db"));
        machine.setValue(QStringLiteral("Logiciel/Robot"), qs(root.dossier() + "robot/"));
        machine.setValue(QStringLiteral("Logiciel/Descripteurs"), qs(root.dossier() + "descripteurs/"));
        machine.setValue(QStringLiteral("Options/Curseur"), QStringLiteral("True"));
        machine.sync();
        writeDrawing(root.dossier() + "robot/00/arbre.wmf");
        writeGrid(root.dossier() + "descripteurs/feuille.wmf");
        writeGrid(root.dossier() + "descripteurs/ecorce.wmf");
        // The palette as the colour chart would give it.
        ctx.echantillonnePalette = [](KeyModel &m) {
            const std::int32_t colours[] = {static_cast<std::int32_t>(kVert), static_cast<std::int32_t>(kBrun)};
            Echantillonne_Palette(m, 200, 10, [&](int x, int) { return colours[x / 100]; });
        };
    }

    // Three species, leaves and bark; a zone over the lower left corner opens the bark question.
    tools::KbBuilder key()
    {
        tools::KbBuilder kb(root.dossier() + "data/");
        kb.espece("Quercus robur", "FAGACEAE", "QUERO").espece("Fagus sylvatica", "FAGACEAE", "FAGSY")
            .espece("Pinus sylvestris", "PINACEAE", "PINSY");
        kb.objet({.objet = "FEUILLE", .etats = {"LARGE", "AIGUILLE"}, .tips = {"Broad", "Needle"}, .lignes = 1,
                  .colonnes = 2, .cadre = 0, .tipText = "Leaf type", .popup = "feuille.wmf"});
        kb.objet({.objet = "ECORCE", .etats = {"LISSE", "CREVASSEE"}, .tips = {"Smooth", "Furrowed"}, .lignes = 1,
                  .colonnes = 2, .cadre = 1, .tipText = "Bark", .popup = "ecorce.wmf"});
        kb.a("Quercus robur", "LARGE").a("Quercus robur", "CREVASSEE");
        kb.a("Fagus sylvatica", "LARGE").a("Fagus sylvatica", "LISSE");
        kb.a("Pinus sylvestris", "AIGUILLE").a("Pinus sylvestris", "CREVASSEE");
        kb.hierarchie(0, "arbre.wmf", {});
        kb.couleur("FEUILLE").couleur("ECORCE");
        kb.clicZone("ECORCE", 0, false, 0, 600, 1200, 1800, {});
        kb.butDeter("Leaf", "leaf.ico", "Leaf type", "FEUILLE")
            .butDeter("Bark", "bark.ico", "Bark", "ECORCE")
            .butDeter("Search", "search.ico", "Propose a question", "Search")
            .butDeter("Results", "results.ico", "Results", "Results");
        kb.butQuest("OK", "ok.ico", "Validate").butQuest("Back", "back.ico", "Leave").butQuest("Pass", "pass.ico", "Pass");
        return kb;
    }

    frmMain &open()
    {
        window = std::make_unique<frmMain>(ctx);
        if (!window->Form_Load(QString()))
            qFatal("the window did not load");
        model.Vue_Courante = 1;
        window->resize(1000, 700);
        window->show();
        window->Arrange_Fenetre();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("the window was not shown");
        return *window;
    }

    template <typename T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    QToolBar *bar(const char *name) const { return child<QToolBar>(name); }
    void clickButton(const char *barName, int position)
    {
        QToolBar *b = bar(barName);
        QWidget *button = b->widgetForAction(Bouton_A(b, position));
        QVERIFY(button && button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // A click at a point of the drawing given in the 2400 x 1800 reference space.
    void clickDrawing(int x, int y)
    {
        auto *robot = child<RobotView>("Robot");
        const QPoint p(x * robot->width() / 2400, y * robot->height() / 1800);
        QTest::mouseClick(robot, Qt::LeftButton, {}, p);
    }
    void clickCell(int k)
    {
        auto *grid = child<PicChoixView>("Pic_Choix");
        const int columns = model.Descripteur_Courant.Colonnes;
        const int rows = model.Descripteur_Courant.Lignes;
        const int w = grid->width() / columns, h = grid->height() / rows;
        QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint((k % columns) * w + w / 2, (k / columns) * h + h / 2));
    }
    QStringList lines() const
    {
        QStringList out;
        const auto *list = child<QListWidget>("Liste_Esp");
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
};

} // namespace

class IdentificationTest : public QObject {
    Q_OBJECT

public:
    // The embedded browser needs contexts shared before the application exists.
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private Q_SLOTS:
    void barsMatchTheirTables()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        QToolBar *deter = h.bar("Barre_Deter");
        QCOMPARE(deter->actions().size(), 8);
        for (int p = 1; p <= 8; ++p)
            QCOMPARE(Bouton_A(deter, p)->isSeparator(), p % 2 == 0);
        QCOMPARE(Bouton_A(deter, 1)->text(), QStringLiteral("Leaf"));
        QCOMPARE(Bouton_A(deter, 3)->property("tag").toString(), QStringLiteral("ECORCE"));
        QCOMPARE(Bouton_A(deter, 5)->toolTip(), QStringLiteral("Propose a question"));
        QCOMPARE(h.bar("Barre_Question")->actions().size(), 6);
        QVERIFY(deter->isVisible());
        QVERIFY(!h.bar("Barre_Question")->isVisible());
    }

    void aGapInTheButtonNumbersEndsTheBar()
    {
        Harness h;
        tools::KbBuilder kb = h.key();
        kb.sqlApres("DELETE FROM But_Deter WHERE Numero = 2");
        kb.parametre("Nb_But_Deter", "3");
        kb.ecrit();
        h.open();
        QCOMPARE(h.bar("Barre_Deter")->actions().size(), 2); // the button of row 1 and its separator
    }

    void aBarButtonOpensTheQuestionWithTheAnswerPreselected()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        h.clickButton("Barre_Deter", 1);
        QCOMPARE(int(h.model.Vue_Courante), 2);
        QVERIFY(h.child<PicChoixView>("Pic_Choix")->isVisible());
        QVERIFY(!h.child<RobotView>("Robot")->isVisible());
        QVERIFY(h.bar("Barre_Question")->isVisible());
        QVERIFY(!h.bar("Barre_Deter")->isVisible());
        QVERIFY(!Bouton_A(h.bar("Barre_Question"), 5)->isVisible()); // no pass after a manual choice
        QCOMPARE(h.model.Descripteur_Courant.Selection, std::int16_t{-1});
        QCOMPARE(h.child<QLabel>("sbPanel1")->text(), QStringLiteral("Leaf type"));

        h.clickCell(1);
        QCOMPARE(h.model.Descripteur_Courant.Selection, std::int16_t{1});
        h.clickButton("Barre_Question", 1); // validate
        QCOMPARE(int(h.model.Vue_Courante), 1);
        QCOMPARE(h.model.Etat_Choisi[1], std::int16_t{1});
        QCOMPARE(h.model.Cadre_Fait[0], std::int16_t{-1});
        QVERIFY(h.window->Modifie());

        h.clickButton("Barre_Deter", 1);
        QCOMPARE(h.model.Descripteur_Courant.Selection, std::int16_t{1});
    }

    void validatingReRanksTheSpecies()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        const QString legendBefore = h.child<QLabel>("Legende")->text();
        h.clickButton("Barre_Deter", 3); // bark
        h.clickCell(1);                  // furrowed
        h.clickButton("Barre_Question", 1);
        QCOMPARE(h.lines(), (QStringList{QStringLiteral(" 100% - Pinus sylvestris"), QStringLiteral(" 100% - Quercus robur"),
                                         QStringLiteral(" 0% - Fagus sylvatica")}));
        QVERIFY(h.child<QLabel>("Legende")->text() != legendBefore);
        QCOMPARE(h.child<QLabel>("Legende")->text(), QStringLiteral(" 2 species at 100 %"));
    }

    void clickingTheChosenCellAgainWithdrawsIt()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        h.clickButton("Barre_Deter", 1);
        h.clickCell(0);
        h.clickCell(0);
        QCOMPARE(h.model.Descripteur_Courant.Selection, std::int16_t{-1});
        h.clickCell(0);
        h.clickCell(1);
        QCOMPARE(h.model.Descripteur_Courant.Selection, std::int16_t{1});
    }

    void leavingRecordsNothing()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        h.clickButton("Barre_Deter", 1);
        h.clickCell(0);
        h.clickButton("Barre_Question", 3);
        QCOMPARE(int(h.model.Vue_Courante), 1);
        QCOMPARE(h.model.Etat_Choisi, (std::vector<std::int16_t>{0, 0, 0, 0}));
        QVERIFY(h.child<RobotView>("Robot")->isVisible());
        QVERIFY(h.child<QLabel>("sbPanel1")->text().isEmpty());
    }

    void theProposedQuestionCanBePassed()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        h.clickButton("Barre_Deter", 5); // search
        QCOMPARE(int(h.model.Vue_Courante), 2);
        QVERIFY(Bouton_A(h.bar("Barre_Question"), 5)->isVisible());
        const std::string first = h.model.Descripteur_Courant.Objet;
        h.clickButton("Barre_Question", 5); // pass: the other character is proposed
        QVERIFY(h.model.Descripteur_Courant.Objet != first);
        QVERIFY(h.model.Question_Passee);
        QCOMPARE(int(h.model.Vue_Courante), 2);
    }

    void drawingPartsOpenTheirQuestion()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        h.clickDrawing(800, 600); // the crown, found by its colour
        QCOMPARE(qs(h.model.Descripteur_Courant.Objet), QStringLiteral("FEUILLE"));
        h.clickButton("Barre_Question", 3);

        h.clickDrawing(300, 1500); // inside the zone, over the crown's colour
        QCOMPARE(qs(h.model.Descripteur_Courant.Objet), QStringLiteral("ECORCE"));
        h.clickButton("Barre_Question", 3);

        h.clickDrawing(1900, 600); // the trunk's colour
        QCOMPARE(qs(h.model.Descripteur_Courant.Objet), QStringLiteral("ECORCE"));
    }

    void aClickOnAZoneBorderFallsToTheColour()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        auto *robot = h.child<RobotView>("Robot");
        // A point whose reference x is exactly the zone's right border, 600.
        int px = 0;
        while (px * 2400 / robot->width() < 600)
            ++px;
        QVERIFY(px * 2400 / robot->width() == 600);
        QTest::mouseClick(robot, Qt::LeftButton, {}, QPoint(px, robot->height() * 3 / 4));
        QCOMPARE(qs(h.model.Descripteur_Courant.Objet), QStringLiteral("FEUILLE"));
    }

    void contradictionsAreFlaggedOnTheBarAndTheDrawing()
    {
        Harness h;
        tools::KbBuilder kb = h.key();
        // In object order: bark flagged on button 2, then leaf type by an overlay on the drawing.
        kb.contradiction("ECORCE", 2, "ecorce_c").contradiction("FEUILLE", -1, "feuille_c");
        kb.ecrit();
        std::filesystem::create_directories(h.root.path() / "robot/contra");
        writeGrid(h.root.dossier() + "robot/contra/feuille_c.wmf");
        QImage icon(16, 16, QImage::Format_RGB32);
        icon.fill(Qt::red);
        icon.save(qs(h.root.dossier() + "robot/contra/ecorce_c.ico"), "PNG");
        frmMain &w = h.open();
        h.clickButton("Barre_Deter", 1);
        h.clickCell(0); // broad
        h.clickButton("Barre_Question", 1);
        h.clickButton("Barre_Deter", 3);
        h.clickCell(0); // smooth: the beech only
        h.clickButton("Barre_Question", 1);

        auto *list = h.child<QListWidget>("Liste_Esp");
        const QList<QListWidgetItem *> pine = list->findItems(QStringLiteral("Pinus sylvestris"), Qt::MatchEndsWith);
        QCOMPARE(pine.size(), 1);
        list->setCurrentItem(pine.front());
        w.Traiter_Fichier(QStringLiteral("Contra"), QString());
        QCoreApplication::processEvents(); // the rebuilt bar lays out its buttons
        QCOMPARE(h.model.Nb_Contradictions, std::int16_t{2});
        QCOMPARE(h.model.Robots.size(), std::size_t(h.model.Nb_Robot + 2));
        QVERIFY(!h.model.Robots[static_cast<std::size_t>(h.model.Nb_Robot)].Image); // the first one is on a button
        QVERIFY(h.model.Robots[static_cast<std::size_t>(h.model.Nb_Robot) + 1].Image);
        QVERIFY(!Bouton_A(h.bar("Barre_Deter"), 3)->icon().isNull());
        QCOMPARE(int(h.model.Vue_Courante), 1);

        // The next answer ends the display.
        h.clickButton("Barre_Deter", 1);
        h.clickButton("Barre_Question", 1);
        QCOMPARE(h.model.Nb_Contradictions, std::int16_t{0});
        QCOMPARE(h.model.Robots.size(), std::size_t(h.model.Nb_Robot));
        QVERIFY(Bouton_A(h.bar("Barre_Deter"), 3)->icon().isNull());
    }

    void printingTheDrawingNeedsThePrintDialog()
    {
        Harness h;
        h.key().ecrit();
        frmMain &w = h.open();
        w.Traiter_Fichier(QStringLiteral("Print"), QString()); // cancelled
        QCOMPARE(h.dialogs.impressions, 1);
        h.dialogs.pdf = qs(h.root.fichier("drawing.pdf"));
        w.Traiter_Fichier(QStringLiteral("Print"), QString());
        QVERIFY(QFileInfo(h.dialogs.pdf).size() > 0);
    }

    void theDrawingIsLaidOutInTwips()
    {
        Harness h;
        h.key().ecrit();
        frmMain &w = h.open();
        auto *robot = h.child<RobotView>("Robot");
        const double tppX = twipsParPixelX(&w);
        QCOMPARE(qRound(robot->x() * tppX / 15.0) * 15, qRound(35 / tppX) * 15);
        // The drawing keeps the 4:3 shape of the reference space, give or take a pixel of rounding.
        QVERIFY(std::abs(robot->width() * 3 - robot->height() * 4) <= 4);
        const QRect before = robot->geometry();
        w.resize(800, 600);
        QCoreApplication::processEvents();
        QVERIFY(robot->geometry() != before); // the window follows its frame
    }
};

QTEST_MAIN(IdentificationTest)
#include "identification_test.moc"
