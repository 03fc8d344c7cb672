#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <filesystem>

#include "commands/frm_print.h"
#include "knowledge/key_model.h"
#include "knowledge/palette.h"
#include "layout/arrange_fenetre.h"
#include "platform/qt_text.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"
#include "resources/string_table.h"
#include "shell/contexte.h"
#include "shell/frm_main.h"
#include "support/petite_cle.h"
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

using Harness = test::PetiteCle;
using test::writeGrid;

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

        const int pine = h.ligneFinissantPar(QStringLiteral("Pinus sylvestris"));
        QVERIFY(pine >= 0);
        h.liste()->setCurrentRow(pine);
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

    void nothingStartsUnderThePrintProgressWindow()
    {
        Harness h;
        h.key().ecrit();
        frmMain &w = h.open();
        h.answer(1, 0); // a modified identification: New and Open would ask about it
        const std::vector<std::int16_t> reponses = h.model.Etat_Choisi;
        h.dialogs.pdf = qs(h.root.fichier("drawing.pdf"));
        // Once each: no answer would let the command go on, whichever one it is asked for.
        h.dialogs.reponses = {ReponseMessage::Cancel, ReponseMessage::Cancel, ReponseMessage::No};
        bool progression = false, fermee = true;
        QTimer::singleShot(0, &w, [&] {
            // Inside the printout: its progress window lets window events through.
            auto *print = w.findChild<frmPrint *>();
            progression = print && print->isVisible();
            // Escape hides it; the printout goes on all the same.
            if (print)
                print->reject();
            w.Traiter_Fichier(QStringLiteral("New"), QString());
            w.Traiter_Fichier(QStringLiteral("Open"), QString());
            w.Traiter_Fichier(QStringLiteral("Print"), QString());
            fermee = w.close();
        });
        w.Traiter_Fichier(QStringLiteral("Print"), QString());
        QVERIFY(progression);
        QVERIFY(!fermee);
        QCOMPARE(h.dialogs.impressions, 1);
        QVERIFY(h.dialogs.messages.empty());
        QVERIFY(h.dialogs.demandesFichier.empty());
        QCOMPARE(h.model.Etat_Choisi, reponses);
        QVERIFY(w.isVisible());
        QVERIFY(QFileInfo(h.dialogs.pdf).size() > 0);
        QVERIFY(!w.findChild<frmPrint *>() || !w.findChild<frmPrint *>()->isVisible());

        // Once it is done, they work again.
        h.dialogs.reponses = {ReponseMessage::Cancel};
        w.Traiter_Fichier(QStringLiteral("New"), QString());
        QCOMPARE(h.dialogs.messages.size(), std::size_t{1});
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
