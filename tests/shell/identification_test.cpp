#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QResizeEvent>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <filesystem>
#include <fstream>

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
#include "platform/metafile/metafile_picture.h"

using namespace tarvenko;
using tools::WmfRect;
using tools::WmfWriter;

namespace {

using Harness = test::PetiteCle;
using test::writeGrid;

// The key with eight determination buttons, as many as the bundled one, each with a picture of
// the bars' icon size.
tools::KbBuilder cleAHuitBoutons(Harness &h)
{
    tools::KbBuilder kb = h.key();
    for (const char *nom : {"Fruit", "Twig", "Crown", "Needles"})
        kb.butDeter(nom, std::string(nom) + ".png", nom, "FEUILLE");
    QImage picture(40, 40, QImage::Format_RGB32);
    picture.fill(QColor(90, 140, 60));
    for (const char *fichier : {"leaf.ico", "bark.ico", "search.ico", "results.ico", "Fruit.png", "Twig.png", "Crown.png",
                                "Needles.png", "ok.ico", "back.ico", "pass.ico"})
        picture.save(qs(h.root.dossier() + "data/" + fichier), "PNG");
    return kb;
}

// Why some shown button of the bar cannot be reached: outside the bar, the bar outside the
// window's central area, or left to the bar's overflow menu. Empty when every one can.
QString boutonHorsDePortee(const QToolBar *bar)
{
    const QWidget *central = bar->parentWidget();
    if (!central->rect().contains(bar->geometry()))
        return QStringLiteral("bar %1 outside the area %2").arg(QDebug::toString(bar->geometry()), QDebug::toString(central->rect()));
    for (QAction *action : bar->actions()) {
        if (!action->isVisible() || action->isSeparator())
            continue;
        const QWidget *button = bar->widgetForAction(action);
        if (!button || !button->isVisible())
            return QStringLiteral("%1 hidden").arg(action->text());
        const QRect r(button->mapTo(central, QPoint()), button->size());
        if (!bar->geometry().contains(r))
            return QStringLiteral("%1 at %2 outside the bar %3").arg(action->text(), QDebug::toString(r), QDebug::toString(bar->geometry()));
    }
    return {};
}

int pixelsY(const QWidget *w, int twips) { return qRound(twips / twipsParPixelY(w)); }

constexpr std::int32_t kGris = 0x00E0E0E0; // the cells of writeGrid's picture

// The small key with the bark flagged on button 2 and the leaf type by an overlay on the drawing
// (writeGrid's picture), with the overlay and the icon on disk.
void ecritCleAvecContradictions(Harness &h)
{
    tools::KbBuilder kb = h.key();
    // In object order: bark flagged on button 2, then leaf type by an overlay on the drawing.
    kb.contradiction("ECORCE", 2, "ecorce_c").contradiction("FEUILLE", -1, "feuille_c");
    kb.ecrit();
    std::filesystem::create_directories(h.root.path() / "robot/contra");
    writeGrid(h.root.dossier() + "robot/contra/feuille_c.wmf");
    QImage icon(16, 16, QImage::Format_RGB32);
    icon.fill(Qt::red);
    icon.save(qs(h.root.dossier() + "robot/contra/ecorce_c.ico"), "PNG");
}

// Broad leaves and smooth bark: the beech only.
void repondHetre(Harness &h)
{
    h.answer(1, 0);
    h.answer(3, 0);
}

// Selects the line of `espece` and runs the Errors command.
void montreContradictions(Harness &h, const QString &espece)
{
    const int k = h.ligneFinissantPar(espece);
    QVERIFY(k >= 0);
    h.liste()->setCurrentRow(k);
    h.window->Traiter_Fichier(QStringLiteral("Contra"), QString());
    QCoreApplication::processEvents(); // the rebuilt bar lays out its buttons
}

// The colour the drawing shows in the middle of the first cell of writeGrid's picture, over the
// crown.
std::int32_t couleurSousLaGrille(Harness &h)
{
    auto *robot = h.child<RobotView>("Robot");
    return robot->couleur(robot->width() / 4, robot->height() / 2);
}

// A key of questions alone: no drawing, no zones, no bars, no grid pictures. The leaf type has a
// picture of each state (PNG files written here) and the key's one row of two cells; the bark
// has three states, no pictures and no layout of its own; the height is answered with a number.
// The bark and the height each tell the three species apart, so the search asks the bark first.
tools::KbBuilder cleSansDessin(Harness &h)
{
    tools::KbBuilder kb(h.root.dossier() + "data/");
    kb.espece("Quercus robur", "FAGACEAE", "QUERO").espece("Fagus sylvatica", "FAGACEAE", "FAGSY")
        .espece("Pinus sylvestris", "PINACEAE", "PINSY");
    kb.objet({.objet = "FEUILLE", .etats = {"LARGE", "AIGUILLE"}, .tips = {"Broad", "Needle"}, .cadre = 0,
              .tipText = "Leaf type"});
    kb.objet({.objet = "ECORCE", .etats = {"LISSE", "CREVASSEE", "ECAILLEUSE"}, .tips = {"Smooth", "Furrowed", "Scaly"},
              .cadre = 1, .tipText = "Bark"});
    kb.sqlApres("UPDATE Objets_Fic SET Popup = NULL, Lignes = NULL, Colonnes = NULL WHERE Objet = 'ECORCE'");
    kb.a("Quercus robur", "LARGE").a("Quercus robur", "CREVASSEE");
    kb.a("Fagus sylvatica", "LARGE").a("Fagus sylvatica", "LISSE");
    kb.a("Pinus sylvestris", "AIGUILLE").a("Pinus sylvestris", "ECAILLEUSE");
    kb.numerique({.objet = "HAUTEUR", .noms = {"Height", "Altura", "Hauteur"}, .unite = "m"});
    kb.plage("HAUTEUR", "Quercus robur", 30, 40).plage("HAUTEUR", "Fagus sylvatica", 15, 25).plage("HAUTEUR", "Pinus sylvestris", 1, 10);
    kb.imageEtat("LARGE", "large.png").imageEtat("AIGUILLE", "aiguille.png");
    kb.nbRobot(0);
    QImage large(60, 30, QImage::Format_RGB32);
    large.fill(QColor(40, 160, 40));
    large.save(qs(h.root.dossier() + "descripteurs/large.png"), "PNG");
    QImage aiguille(20, 60, QImage::Format_RGB32);
    aiguille.fill(QColor(20, 90, 60));
    aiguille.save(qs(h.root.dossier() + "descripteurs/aiguille.png"), "PNG");
    return kb;
}

// The texts of a bar's picture buttons, in order.
QStringList textesBarre(QToolBar *bar)
{
    QStringList textes;
    for (QAction *a : bar->actions())
        if (!a->isSeparator())
            textes << a->text();
    return textes;
}

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

    void theGridAnswersFromTheKeyboard_data()
    {
        QTest::addColumn<QString>("touches");
        QTest::addColumn<int>("selection");
        QTest::addColumn<int>("vue");
        QTest::addColumn<int>("enregistre"); // the state recorded, -1 for none
        QTest::addColumn<QString>("statut");
        QTest::addColumn<QString>("nom"); // what a screen reader hears of the grid
        // The leaf type: Broad in cell 0, Needle in cell 1; the keys start on cell 0.
        QTest::newRow("an arrow only moves") << "Right" << -1 << 2 << -1 << "Needle" << "Needle, not chosen";
        QTest::newRow("stopped by the edge") << "Right Right Down" << -1 << 2 << -1 << "Needle" << "Needle, not chosen";
        QTest::newRow("and back") << "Right Left" << -1 << 2 << -1 << "Broad" << "Broad, not chosen";
        QTest::newRow("Space chooses") << "Right Space" << 1 << 2 << -1 << "Needle" << "Needle, chosen";
        QTest::newRow("Space again withdraws") << "Space Space" << -1 << 2 << -1 << "Leaf type" << "Broad, not chosen";
        QTest::newRow("Enter chooses") << "Enter" << 0 << 2 << -1 << "Leaf type" << "Broad, chosen";
        QTest::newRow("a second Enter validates") << "Right Enter Enter" << 1 << 1 << 1 << "" << "Needle, chosen";
        QTest::newRow("Escape leaves") << "Right Space Escape" << 1 << 1 << -1
                                       << "Click a part of the tree that you can see, or press Search to be asked the best question."
                                       << "Needle, chosen";
    }
    void theGridAnswersFromTheKeyboard()
    {
        QFETCH(QString, touches);
        QFETCH(int, enregistre);
        Harness h;
        h.key().ecrit();
        h.open();
        h.clickButton("Barre_Deter", 1);
        auto *grille = h.child<PicChoixView>("Pic_Choix");
        const QMap<QString, Qt::Key> noms{{QStringLiteral("Right"), Qt::Key_Right}, {QStringLiteral("Left"), Qt::Key_Left},
                                          {QStringLiteral("Down"), Qt::Key_Down},   {QStringLiteral("Space"), Qt::Key_Space},
                                          {QStringLiteral("Enter"), Qt::Key_Return}, {QStringLiteral("Escape"), Qt::Key_Escape}};
        for (const QString &touche : touches.split(QLatin1Char(' ')))
            QTest::keyClick(grille, noms.value(touche));
        QTEST(int(h.model.Descripteur_Courant.Selection), "selection");
        QTEST(int(h.model.Vue_Courante), "vue");
        for (int k = 0; k < 4; ++k)
            QCOMPARE(int(h.model.Etat_Choisi[static_cast<std::size_t>(k)]), k == enregistre ? 1 : 0);
        QTEST(h.child<QLabel>("sbPanel1")->text(), "statut");
        QTEST(QAccessible::queryAccessibleInterface(grille)->text(QAccessible::Name), "nom");
    }

    void everyBarButtonIsReachedWithTabAndPressedWithSpace()
    {
        Harness h;
        h.key().ecrit();
        frmMain &w = h.open();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        for (const char *nom : {"tbToolBar", "Barre_Deter", "Barre_Question"}) {
            for (QAction *action : h.bar(nom)->actions()) {
                QWidget *bouton = h.bar(nom)->widgetForAction(action);
                if (action->isSeparator() || !bouton)
                    continue;
                QVERIFY2(bouton->focusPolicy() & Qt::TabFocus, nom);
                QVERIFY2(!QAccessible::queryAccessibleInterface(bouton)->text(QAccessible::Name).isEmpty(), nom);
            }
        }
        const auto boutons = [&](const char *nom) {
            QList<QWidget *> l;
            for (QAction *action : h.bar(nom)->actions()) {
                if (!action->isSeparator() && action->isVisible() && action->isEnabled())
                    l << h.bar(nom)->widgetForAction(action);
            }
            return l;
        };
        // Tab from the first tool-bar button goes round what the view shows, in reading order.
        const auto tour = [&] {
            QList<QWidget *> vus;
            QWidget *premier = boutons("tbToolBar").first();
            premier->setFocus();
            for (int i = 0; i < 40 && QApplication::focusWidget() && !vus.contains(QApplication::focusWidget()); ++i) {
                vus << QApplication::focusWidget();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            return vus;
        };
        QCOMPARE(tour(), boutons("tbToolBar") + boutons("Barre_Deter"));

        // Space on the first determination button opens its question, the grid taking the keys;
        // Tab goes on to the question bar.
        QWidget *feuille = boutons("Barre_Deter").first();
        feuille->setFocus();
        QTest::keyClick(feuille, Qt::Key_Space);
        QCOMPARE(int(h.model.Vue_Courante), 2);
        auto *grille = h.child<PicChoixView>("Pic_Choix");
        QTRY_VERIFY(grille->hasFocus());
        QTest::keyClick(grille, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), boutons("Barre_Question").first());
        QTest::keyClick(grille, Qt::Key_Escape);

        h.menu("mnuViewResults")->trigger();
        const QList<QWidget *> resultats = tour();
        const QList<QWidget *> barre = boutons("tbToolBar");
        QVERIFY(resultats.size() > barre.size());
        QCOMPARE(resultats.mid(0, barre.size()), barre);
        QCOMPARE(resultats.at(barre.size()), static_cast<QWidget *>(h.liste()));
        QCOMPARE(resultats.at(barre.size() + 1)->parentWidget(), h.child<QWidget>("WebTexte")); // the page
    }

    void controlsAreNamedInTheInterfaceLanguage_data()
    {
        QTest::addColumn<int>("langue");
        QTest::addColumn<QString>("choisi");
        QTest::newRow("English") << 0 << "Broad, chosen";
        QTest::newRow("Spanish") << 1 << "Broad, elegido";
        QTest::newRow("French") << 2 << "Broad, choisi";
    }
    void controlsAreNamedInTheInterfaceLanguage()
    {
        QFETCH(int, langue);
        Harness h;
        h.key().ecrit();
        h.model.Num_Langue = static_cast<std::int16_t>(langue);
        h.open();
        const auto nom = [](QWidget *w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
        const QList<QPair<const char *, int>> panneaux{{"Robot", 1602}, {"Small_Robot", 1609}, {"Liste_Esp", 1603},
                                                       {"Tree_esp", 1604}, {"WebTexte", 1605}, {"Barre_Deter", 1606},
                                                       {"Barre_Question", 1607}, {"Pic_Choix", 1608}};
        for (const auto &[objet, numero] : panneaux)
            QCOMPARE(nom(h.child<QWidget>(objet)), qs(*Texte(static_cast<std::int16_t>(langue), numero)));
        h.clickButton("Barre_Deter", 1);
        h.clickCell(0);
        QTEST(nom(h.child<QWidget>("Pic_Choix")), "choisi");
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
        // The question's text goes; nothing is answered yet, so the first screen's advice is back.
        QVERIFY(h.child<QLabel>("sbPanel1")->text().startsWith(QStringLiteral("Click a part of the tree")));
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

    void onlyTheLeftButtonActs()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        h.clickDrawing(300, 1500); // the bark zone
        QCOMPARE(qs(h.model.Descripteur_Courant.Objet), QStringLiteral("ECORCE"));
        h.clickButton("Barre_Question", 3);

        h.clickDrawing(1900, 600, Qt::RightButton); // the trunk
        h.clickDrawing(800, 600, Qt::MiddleButton); // the crown
        QCOMPARE(int(h.model.Vue_Courante), 1);
        QVERIFY(!h.child<PicChoixView>("Pic_Choix")->isVisible());
        QVERIFY(!h.bar("Barre_Question")->isVisible());

        h.clickButton("Barre_Deter", 1);
        h.clickCell(1, Qt::RightButton);
        QCOMPARE(h.model.Descripteur_Courant.Selection, std::int16_t{-1});
        h.clickCell(1);
        h.clickCell(1, Qt::RightButton); // does not withdraw it either
        QCOMPARE(h.model.Descripteur_Courant.Selection, std::int16_t{1});
    }

    void theQuestionIsLeftForTheResultsAndSpeciesViews_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<int>("vue");
        QTest::newRow("results") << QStringLiteral("mnuViewResults") << 3;
        QTest::newRow("species list") << QStringLiteral("mnuViewSpecies") << 4;
    }
    void theQuestionIsLeftForTheResultsAndSpeciesViews()
    {
        QFETCH(QString, menu);
        Harness h;
        h.key().ecrit();
        h.open();
        h.clickButton("Barre_Deter", 1);
        h.clickCell(1);
        h.menu(qPrintable(menu))->trigger();
        QTEST(int(h.model.Vue_Courante), "vue");
        QVERIFY(!h.bar("Barre_Question")->isVisible());
        QVERIFY(!h.child<PicChoixView>("Pic_Choix")->isVisible());

        // The thumbnail returns to the drawing, with nothing recorded.
        QTest::mouseClick(h.child<RobotView>("Small_Robot"), Qt::LeftButton);
        QCOMPARE(int(h.model.Vue_Courante), 1);
        QVERIFY(h.menu("mnuViewIdentification")->isChecked());
        QVERIFY(!h.menu(qPrintable(menu))->isChecked());
        QVERIFY(h.bar("Barre_Deter")->isVisible());
        QVERIFY(!h.bar("Barre_Question")->isVisible());
        QCOMPARE(h.model.Etat_Choisi, (std::vector<std::int16_t>{0, 0, 0, 0}));
    }

    void aFruitlessRetryReturnsToTheDrawing()
    {
        Harness h;
        tools::KbBuilder kb = h.key();
        kb.sqlApres("UPDATE Objets_Fic SET Joker = 0");
        kb.ecrit();
        h.open();
        // Only the leaf type may be proposed, and nothing once the flags are read again.
        const ObjetRow *feuille = h.model.Base_Donnees.objet("FEUILLE");
        QVERIFY(feuille && feuille->Desc_Num);
        h.model.Joker.at(static_cast<std::size_t>(*feuille->Desc_Num)) = true;

        h.clickButton("Barre_Deter", 5); // search
        QCOMPARE(qs(h.model.Descripteur_Courant.Objet), QStringLiteral("FEUILLE"));
        h.clickButton("Barre_Question", 5); // pass, then Yes to the retry, which finds nothing
        QCOMPARE(h.dialogs.messages.size(), std::size_t{2});
        QCOMPARE(h.dialogs.messages[0].buttons, BoutonsMessage::YesNo);
        QCOMPARE(h.dialogs.messages[1].buttons, BoutonsMessage::Ok);
        QCOMPARE(int(h.model.Vue_Courante), 1);
        QVERIFY(h.child<RobotView>("Robot")->isVisible());
        QVERIFY(!h.child<PicChoixView>("Pic_Choix")->isVisible());
        QVERIFY(!h.bar("Barre_Question")->isVisible());
        QVERIFY(h.bar("Barre_Deter")->isVisible());
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
        ecritCleAvecContradictions(h);
        h.open();
        repondHetre(h);
        QCOMPARE(couleurSousLaGrille(h), std::int32_t(test::kVert));

        montreContradictions(h, QStringLiteral("Pinus sylvestris"));
        QCOMPARE(h.model.Nb_Contradictions, std::int16_t{2});
        QCOMPARE(h.model.Robots.size(), std::size_t(h.model.Nb_Robot + 2));
        QVERIFY(!h.model.Robots[static_cast<std::size_t>(h.model.Nb_Robot)].Image); // the first one is on a button
        QVERIFY(h.model.Robots[static_cast<std::size_t>(h.model.Nb_Robot) + 1].Image);
        QVERIFY(!Bouton_A(h.bar("Barre_Deter"), 3)->icon().isNull());
        QCOMPARE(int(h.model.Vue_Courante), 1);
        QCOMPARE(couleurSousLaGrille(h), kGris);

        // The next answer ends the display.
        h.clickButton("Barre_Deter", 1);
        h.clickButton("Barre_Question", 1);
        QCOMPARE(h.model.Nb_Contradictions, std::int16_t{0});
        QCOMPARE(h.model.Robots.size(), std::size_t(h.model.Nb_Robot));
        QVERIFY(Bouton_A(h.bar("Barre_Deter"), 3)->icon().isNull());
        QCOMPARE(couleurSousLaGrille(h), std::int32_t(test::kVert));
    }

    void theFirstScreenSaysWhatToDoUntilTheFirstAnswer()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        QLabel *panneau = h.child<QLabel>("sbPanel1");
        const QString conseil =
            QStringLiteral("Click a part of the tree that you can see, or press Search to be asked the best question.");
        QCOMPARE(panneau->text(), conseil);
        h.clickButton("Barre_Deter", 1);
        QCOMPARE(panneau->text(), QStringLiteral("Leaf type")); // the question's own text
        h.clickButton("Barre_Question", 3);                     // left unanswered: still nothing answered
        QCOMPARE(panneau->text(), conseil);
        h.answer(1, 0);
        QCOMPARE(panneau->text(), QString());
        h.window->Traiter_Fichier(QStringLiteral("New"), QString());
        QCOMPARE(panneau->text(), conseil);
    }

    void theContradictionIsNamedInWordsAndMarkedWhereItWasAnswered()
    {
        Harness h;
        ecritCleAvecContradictions(h);
        h.open();
        repondHetre(h);
        QAction *erreurs = h.menu("mnuViewErrors");
        QVERIFY(!erreurs->isEnabled());
        const int k = h.ligneFinissantPar(QStringLiteral("Pinus sylvestris"));
        QVERIFY(k >= 0);
        h.liste()->setCurrentRow(k);
        QVERIFY(erreurs->isEnabled()); // the menu runs the check as the tool bar does
        erreurs->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(h.model.Nb_Contradictions, std::int16_t{2});

        QCOMPARE(h.child<QLabel>("sbPanel1")->text(),
                 QStringLiteral("Pinus sylvestris contradicts: Bark \u2014 Smooth; Leaf type \u2014 Broad"));
        // The bark's button names the bark's answer.
        QCOMPARE(Bouton_A(h.bar("Barre_Deter"), 3)->toolTip(), QStringLiteral("Bark \u2014 Smooth"));
        // The bark has no overlay: its zone (lower left corner of the drawing) is framed in red.
        auto *robot = h.child<RobotView>("Robot");
        const QImage vu = robot->grab().toImage();
        const QPoint bordHaut(robot->width() / 8, robot->height() * 1200 / 1800);
        QCOMPARE(QColor(vu.pixel(bordHaut)).red(), 220);
        QCOMPARE(QColor(vu.pixel(bordHaut)).green(), 0);

        // The next answer ends it all.
        h.clickButton("Barre_Deter", 1);
        h.clickButton("Barre_Question", 1);
        QCOMPARE(h.child<QLabel>("sbPanel1")->text(), QString());
        const QImage apres = robot->grab().toImage();
        QVERIFY(QColor(apres.pixel(bordHaut)).red() != 220 || QColor(apres.pixel(bordHaut)).green() != 0);
    }

    void aSecondCheckShowsOnlyItsOwnContradictions()
    {
        Harness h;
        ecritCleAvecContradictions(h);
        h.open();
        repondHetre(h);
        montreContradictions(h, QStringLiteral("Pinus sylvestris"));
        QCOMPARE(couleurSousLaGrille(h), kGris);

        montreContradictions(h, QStringLiteral("Fagus sylvatica")); // it has every answer
        QCOMPARE(h.model.Nb_Contradictions, std::int16_t{0});
        QCOMPARE(h.model.Robots.size(), std::size_t(h.model.Nb_Robot));
        QVERIFY(Bouton_A(h.bar("Barre_Deter"), 3)->icon().isNull());
        QCOMPARE(couleurSousLaGrille(h), std::int32_t(test::kVert));
    }

    void openingAnIdentificationEndsTheContradictionDisplay()
    {
        Harness h;
        ecritCleAvecContradictions(h);
        h.open();
        repondHetre(h);
        montreContradictions(h, QStringLiteral("Pinus sylvestris"));
        QVERIFY(!Bouton_A(h.bar("Barre_Deter"), 3)->icon().isNull());

        // Needle leaves and furrowed bark: Etat_Choisi then Cadre_Fait, 16-bit little-endian.
        const QString path = qs(h.root.fichier("pin.ryk"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(QByteArray::fromHex("0000010000000100ffffffff")), qint64{12});
        file.close();
        h.window->Traiter_Fichier(QStringLiteral("Open"), path);
        QCoreApplication::processEvents();
        QCOMPARE(h.model.Etat_Choisi, (std::vector<std::int16_t>{0, 1, 0, 1}));
        QCOMPARE(h.model.Nb_Contradictions, std::int16_t{0});
        QCOMPARE(h.model.Robots.size(), std::size_t(h.model.Nb_Robot));
        QVERIFY(Bouton_A(h.bar("Barre_Deter"), 3)->icon().isNull());
        QCOMPARE(couleurSousLaGrille(h), std::int32_t(test::kVert));
    }

    void theDrawingPaintsOnlyTheOverlaysOfTheCheck()
    {
        Harness h;
        h.key().ecrit();
        const std::string grille = h.root.dossier() + "descripteurs/feuille.wmf";
        KeyModel &m = h.model;
        m.Nb_Robot = 1;
        m.Robots = {Robot{MetafilePicture::load(qs(h.root.dossier() + "robot/00/arbre.wmf")), {}},
                    Robot{MetafilePicture::load(qs(grille)), {}}};
        QVERIFY(m.Robots[0].Image && m.Robots[1].Image);
        RobotView robot, vignette;
        for (RobotView *view : {&robot, &vignette})
            view->resize(400, 300);
        robot.setModele(&m, true);
        vignette.setModele(&m, false);

        m.Nb_Contradictions = 0; // an entry left over from an earlier check
        QCOMPARE(robot.couleur(100, 150), std::int32_t(test::kVert));
        m.Nb_Contradictions = 1;
        robot.invalide();
        QCOMPARE(robot.couleur(100, 150), kGris);
        QCOMPARE(vignette.couleur(100, 150), std::int32_t(test::kVert)); // the thumbnail never shows them
    }

    void showingAndEndingErrorsLeavesOneSetOfButtons()
    {
        Harness h;
        tools::KbBuilder kb = h.key();
        kb.contradiction("ECORCE", 2, "ecorce_c");
        kb.ecrit();
        std::filesystem::create_directories(h.root.path() / "robot/contra");
        QImage icon(16, 16, QImage::Format_RGB32);
        icon.fill(Qt::red);
        icon.save(qs(h.root.dossier() + "robot/contra/ecorce_c.ico"), "PNG");
        frmMain &w = h.open();
        h.answer(3, 0); // smooth bark: the pine contradicts it
        const int pine = h.ligneFinissantPar(QStringLiteral("Pinus sylvestris"));
        QVERIFY(pine >= 0);
        QToolBar *deter = h.bar("Barre_Deter");
        const auto objetsDeLaBarre = [&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return deter->findChildren<QObject *>().size();
        };
        const qsizetype auDebut = objetsDeLaBarre();
        for (int fois = 0; fois < 4; ++fois) {
            h.liste()->setCurrentRow(pine);
            w.Traiter_Fichier(QStringLiteral("Contra"), QString());
            QCoreApplication::processEvents(); // the rebuilt bar lays out its buttons
            QVERIFY(h.model.Nb_Contradictions != 0);
            // Its Results button (in the bar's overflow here) ends the display, which rebuilds the bar
            // under the button's own click.
            Bouton_A(deter, 7)->trigger();
            QCOMPARE(h.model.Nb_Contradictions, std::int16_t{0});
            h.menu("mnuViewIdentification")->trigger();
            w.Recharge_Barre();
            QCoreApplication::processEvents();
        }
        QCOMPARE(deter->actions().size(), 8);
        QCOMPARE(objetsDeLaBarre(), auDebut);
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

    // Client areas of a maximized window on common small screens (a panel and a title bar less).
    void everyBarButtonCanBeReachedAtEverySize_data()
    {
        QTest::addColumn<QSize>("taille");
        QTest::addColumn<bool>("barreOutils");
        QTest::addColumn<bool>("barreEtat");
        QTest::newRow("1366 x 768") << QSize(1366, 768 - 72) << true << true;
        QTest::newRow("1280 x 720") << QSize(1280, 720 - 72) << true << true;
        QTest::newRow("1280 x 720, toolbar hidden") << QSize(1280, 648) << false << true;
        QTest::newRow("1280 x 720, status bar hidden") << QSize(1280, 648) << true << false;
        QTest::newRow("smallest window") << QSize(1, 1) << true << true;
    }
    void everyBarButtonCanBeReachedAtEverySize()
    {
        QFETCH(QSize, taille);
        QFETCH(bool, barreOutils);
        QFETCH(bool, barreEtat);
        Harness h;
        cleAHuitBoutons(h).ecrit();
        frmMain &w = h.open();
        if (!barreOutils)
            h.menu("mnuViewToolbar")->trigger();
        if (!barreEtat)
            h.menu("mnuViewStatusBar")->trigger();
        w.resize(taille);
        QTest::qWait(20);
        QCOMPARE(boutonHorsDePortee(h.bar("Barre_Deter")), QString());
        h.clickButton("Barre_Deter", 5); // search: the proposed question, with the pass button
        QTest::qWait(20);
        QVERIFY(Bouton_A(h.bar("Barre_Question"), 5)->isVisible());
        QCOMPARE(boutonHorsDePortee(h.bar("Barre_Question")), QString());
    }

    void passStaysOnTheQuestionBarAfterShrinkingAndEnlarging()
    {
        Harness h;
        h.key().ecrit();
        frmMain &w = h.open();
        h.clickButton("Barre_Deter", 1); // a manual question: no pass button
        w.resize(700, 450);
        QTest::qWait(20);
        w.resize(1000, 700);
        QTest::qWait(20);
        h.clickButton("Barre_Question", 3); // back
        h.clickButton("Barre_Deter", 5);    // search: now with the pass button
        QTest::qWait(20);
        QCOMPARE(boutonHorsDePortee(h.bar("Barre_Question")), QString());
    }

    void hidingTheToolbarKeepsTheDrawingBelowTheMenu()
    {
        Harness h;
        h.key().ecrit();
        frmMain &w = h.open();
        w.resize(1280, 648); // a drawing as high as the window allows
        QTest::qWait(20);
        auto *robot = h.child<RobotView>("Robot");
        const QWidget *central = w.centralWidget();
        for (bool shown : {false, true}) {
            h.menu("mnuViewToolbar")->trigger();
            QCOMPARE(h.bar("tbToolBar")->isVisible(), shown);
            QTest::qWait(20);
            // 35 twips below the menu bar or the toolbar, and 35 twips above the status bar.
            const int top = w.menuBar()->height() + (shown ? h.bar("tbToolBar")->height() : 0);
            QVERIFY2(std::abs(robot->mapTo(&w, QPoint()).y() - top - pixelsY(&w, 35)) <= 1,
                     qPrintable(QString::number(robot->mapTo(&w, QPoint()).y())));
            const int bottom = central->mapTo(&w, QPoint()).y() + central->height();
            QVERIFY2(std::abs(robot->mapTo(&w, QPoint(0, robot->height())).y() - (bottom - pixelsY(&w, 35))) <= 1,
                     qPrintable(QString::number(robot->mapTo(&w, QPoint(0, robot->height())).y())));
        }
    }

    void hidingTheStatusBarKeepsTheSpeciesCount()
    {
        Harness h;
        h.key().ecrit();
        frmMain &w = h.open();
        h.menu("mnuViewStatusBar")->trigger();
        QVERIFY(!h.child<QStatusBar>("sbStatusBar")->isVisible());
        auto *legende = h.child<QLabel>("Legende");
        QVERIFY(legende->isVisible());
        QVERIFY(!legende->text().isEmpty());
        // Where the status bar's second panel was, its bottom on the window's.
        const QWidget *resultat = h.child<QWidget>("Resultat");
        QCOMPARE(resultat->geometry().bottom() + 1, w.height());
        QCOMPARE(legende->size(), resultat->size());
    }

    void theResizeHandlerLetsNoEventRun()
    {
        Harness h;
        h.key().ecrit();
        frmMain &w = h.open();
        bool ran = false;
        QTimer::singleShot(0, &w, [&ran] { ran = true; });
        QResizeEvent resize(QSize(900, 600), w.size());
        QCoreApplication::sendEvent(&w, &resize);
        QVERIFY(!ran);
        QTRY_VERIFY(ran);
    }

    // ---- Numeric characters ----

    void theSearchAsksANumberWithTheRangeOfTheLeadingSpecies()
    {
        Harness h;
        h.keyWithHeight().ecrit();
        h.open();
        h.clickButton("Barre_Deter", 5);
        QCOMPARE(int(h.model.Vue_Courante), 2);
        auto *entry = h.child<QLineEdit>("Valeur_Num");
        QVERIFY(entry->isVisible());
        QVERIFY(entry->text().isEmpty());
        QVERIFY(!h.child<RobotView>("Robot")->isVisible());
        QCOMPARE(h.child<QLabel>("Unite_Num")->text(), QStringLiteral("m"));
        QCOMPARE(h.child<QLabel>("Etendue_Num")->text(), QStringLiteral("Among the species in the lead: from 1 to 40 m"));
        QCOMPARE(h.child<QLabel>("sbPanel1")->text(), QStringLiteral("Height"));
        QVERIFY(Bouton_A(h.bar("Barre_Question"), 5)->isVisible());

        // Leaving records nothing; a question of states then shows its grid, not the entry.
        h.clickButton("Barre_Question", 3);
        QCOMPARE(int(h.model.Vue_Courante), 1);
        QVERIFY(!h.model.Valeur_Num.at(0));
        QVERIFY(!entry->isVisible());
        h.clickButton("Barre_Deter", 1);
        QVERIFY(h.child<PicChoixView>("Pic_Choix")->isVisible());
        QVERIFY(!entry->isVisible());
    }

    void aTypedNumberReRanksTheSpecies_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("recorded");
        QTest::addColumn<QString>("first");
        QTest::newRow("inside the oak's range") << QStringLiteral("35") << 35.0 << QStringLiteral(" 100% - Quercus robur");
        QTest::newRow("inside the beech's range") << QStringLiteral("20") << 20.0 << QStringLiteral(" 100% - Fagus sylvatica");
        QTest::newRow("outside, within the tolerance above") << QStringLiteral("27") << 27.0
                                                             << QStringLiteral(" 100% - Fagus sylvatica");
        QTest::newRow("outside, within the tolerance below") << QStringLiteral("11") << 11.0
                                                             << QStringLiteral(" 100% - Pinus sylvestris");
        QTest::newRow("a comma before the decimals") << QStringLiteral(" 3,5 ") << 3.5
                                                     << QStringLiteral(" 100% - Pinus sylvestris");
    }

    void aTypedNumberReRanksTheSpecies()
    {
        QFETCH(QString, typed);
        QFETCH(double, recorded);
        QFETCH(QString, first);
        Harness h;
        h.keyWithHeight().ecrit();
        h.open();
        h.answerNumber(typed);
        QCOMPARE(int(h.model.Vue_Courante), 1);
        QCOMPARE(h.model.Valeur_Num.at(0), std::optional<double>(recorded));
        QCOMPARE(h.lines().value(0), first);
        QVERIFY(h.lines().value(1).startsWith(QStringLiteral(" 0%")));
        QVERIFY(h.window->Modifie());
        QVERIFY(h.dialogs.messages.empty());
    }

    void textThatIsNoNumberIsRefusedInTheEntry()
    {
        Harness h;
        h.keyWithHeight().ecrit();
        h.open();
        h.answerNumber(QStringLiteral("tall"));
        QCOMPARE(h.dialogs.textes(), QStringList{QStringLiteral("Please type a number, for example 12.5.")});
        QCOMPARE(int(h.model.Vue_Courante), 2);
        auto *entry = h.child<QLineEdit>("Valeur_Num");
        QVERIFY(entry->isVisible());
        QCOMPARE(entry->text(), QStringLiteral("tall"));
        QVERIFY(!h.child<QLabel>("Refus_Num")->text().isEmpty());
        QVERIFY(!h.model.Valeur_Num.at(0));
        QVERIFY(!h.window->Modifie());

        // Corrected and validated with Enter.
        entry->clear();
        QTest::keyClicks(entry, QStringLiteral("33"));
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(int(h.model.Vue_Courante), 1);
        QCOMPARE(h.model.Valeur_Num.at(0), std::optional<double>(33.0));
    }

    void validatingAnEmptyEntryRecordsNoNumber()
    {
        Harness h;
        h.keyWithHeight().ecrit();
        h.open();
        const QStringList before = h.lines();
        h.answerNumber(QStringLiteral("  "));
        QCOMPARE(int(h.model.Vue_Courante), 1);
        QVERIFY(!h.model.Valeur_Num.at(0));
        QCOMPARE(h.lines(), before);
        QVERIFY(h.dialogs.messages.empty());
    }

    void passingTheNumberAsksTheNextQuestion()
    {
        Harness h;
        h.keyWithHeight().ecrit();
        h.open();
        h.clickButton("Barre_Deter", 5);
        QVERIFY(h.child<QLineEdit>("Valeur_Num")->isVisible());
        h.clickButton("Barre_Question", 5);
        QCOMPARE(h.model.Joker_Num.at(0), false);
        QVERIFY(h.model.Question_Passee);
        QCOMPARE(int(h.model.Vue_Courante), 2);
        QVERIFY(!h.child<QLineEdit>("Valeur_Num")->isVisible());
        QCOMPARE(h.model.Descripteur_Courant.Objet, std::string("ECORCE")); // the first row of the two that split alike
        QVERIFY(!h.model.Valeur_Num.at(0));
    }

    void errorsNameTheNumbersOutsideTheSpeciesRange()
    {
        Harness h;
        h.keyWithHeight().ecrit();
        h.open();
        h.answerNumber(QStringLiteral("35"));
        montreContradictions(h, QStringLiteral("Pinus sylvestris"));
        QCOMPARE(h.child<QLabel>("sbPanel1")->text(), QStringLiteral("Outside this species' range: Height 35 m"));
        montreContradictions(h, QStringLiteral("Quercus robur"));
        QCOMPARE(h.child<QLabel>("sbPanel1")->text(), QStringLiteral("Quercus robur matches all your answers"));
    }

    void skippedNumericValuesAreToldOnceAtLoad()
    {
        Harness h;
        tools::KbBuilder kb = h.keyWithHeight();
        kb.plage("HAUTEUR", "Abies alba", 1, 2);             // no such species
        kb.numerique({.objet = "LARGEUR", .unite = std::nullopt}); // no unit
        kb.ecrit();
        h.open();
        QCOMPARE(h.dialogs.textes(),
                 QStringList{QStringLiteral("2 values of the numeric characters could not be read and were left out.")});
        QVERIFY(!h.exitCode);
        QCOMPARE(h.model.Caracteres_Num.size(), std::size_t{1});
    }

    // ---- Keys without a drawing, bars or grid pictures ----

    void aKeyWithoutBarsGetsTheProgramsOwn_data()
    {
        QTest::addColumn<int>("langue");
        QTest::addColumn<QStringList>("deter");
        QTest::addColumn<QStringList>("question");
        QTest::newRow("English") << 0 << QStringList{QStringLiteral("Search"), QStringLiteral("Results")}
                                 << QStringList{QStringLiteral("OK"), QStringLiteral("Back"), QStringLiteral("Pass")};
        QTest::newRow("Spanish") << 1 << QStringList{QStringLiteral("Buscar"), QStringLiteral("Resultados")}
                                 << QStringList{QStringLiteral("Aceptar"), QStringLiteral("Volver"), QStringLiteral("Pasar")};
        QTest::newRow("French") << 2 << QStringList{QStringLiteral("Chercher"), QStringLiteral("Résultats")}
                                << QStringList{QStringLiteral("Valider"), QStringLiteral("Retour"), QStringLiteral("Passer")};
    }
    void aKeyWithoutBarsGetsTheProgramsOwn()
    {
        QFETCH(int, langue);
        Harness h;
        cleSansDessin(h).ecrit();
        h.model.Num_Langue = static_cast<std::int16_t>(langue);
        h.open();
        QVERIFY(h.dialogs.messages.empty());
        QToolBar *deter = h.bar("Barre_Deter");
        QToolBar *question = h.bar("Barre_Question");
        QTEST(textesBarre(deter), "deter");
        QTEST(textesBarre(question), "question");
        // The positions the clicks go by: buttons at odd positions, a separator after each.
        QCOMPARE(deter->actions().size(), 4);
        QCOMPARE(question->actions().size(), 6);
        QCOMPARE(Bouton_A(deter, 1)->property("tag").toString(), QStringLiteral("Search"));
        QCOMPARE(Bouton_A(deter, 3)->property("tag").toString(), QStringLiteral("Results"));
        QCOMPARE(Bouton_A(question, 5)->toolTip(), qs(*Texte(static_cast<std::int16_t>(langue), 1149)));
        for (QToolBar *bar : {deter, question})
            for (QAction *a : bar->actions())
                QVERIFY2(a->isSeparator() || !a->icon().pixmap(40, 40).isNull(), qPrintable(a->text()));
        QVERIFY(deter->isVisible());
        QVERIFY(!question->isVisible());
    }

    void aKeyWithoutDrawingIsPlayedFromStartToEnd()
    {
        Harness h;
        cleSansDessin(h).ecrit();
        h.open();
        QCOMPARE(h.model.Nb_Robot, std::int16_t{0});
        auto *grille = h.child<PicChoixView>("Pic_Choix");

        h.clickButton("Barre_Deter", 1); // Search: the bark, drawn, three states in two rows of two
        QCOMPARE(int(h.model.Vue_Courante), 2);
        QCOMPARE(h.model.Descripteur_Courant.Objet, std::string("ECORCE"));
        QVERIFY(grille->isVisible());
        QVERIFY(grille->grilleDessinee());
        QCOMPARE(grille->grille().lignes, 2);
        QCOMPARE(grille->grille().colonnes, 2);
        QVERIFY(Bouton_A(h.bar("Barre_Question"), 5)->isVisible()); // pass, after a proposed question

        h.clickButton("Barre_Question", 5); // pass: the height, by number
        auto *entree = h.child<QLineEdit>("Valeur_Num");
        QVERIFY(entree->isVisible());
        h.clickButton("Barre_Question", 5); // pass again: the leaf type, drawn on the key's one row
        QCOMPARE(h.model.Descripteur_Courant.Objet, std::string("FEUILLE"));
        QVERIFY(!entree->isVisible());
        QVERIFY(grille->grilleDessinee());
        QCOMPARE(grille->grille().lignes, 1);
        QCOMPARE(grille->grille().colonnes, 2);

        h.clickCell(1); // needles
        QCOMPARE(h.model.Descripteur_Courant.Selection, std::int16_t{1});
        h.clickButton("Barre_Question", 1);
        QCOMPARE(int(h.model.Vue_Courante), 1);
        QCOMPARE(h.model.Etat_Choisi.at(static_cast<std::size_t>(h.model.Descripteur_Courant.Index_Car) + 1), std::int16_t{1});
        QCOMPARE(h.lines().value(0), QStringLiteral(" 100% - Pinus sylvestris"));
        QVERIFY(h.lines().value(1).startsWith(QStringLiteral(" 0%")));

        h.clickButton("Barre_Deter", 3); // Results
        QCOMPARE(int(h.model.Vue_Courante), 3);
        QVERIFY(h.liste()->isVisible());
        QVERIFY(h.dialogs.messages.empty());
        QVERIFY(!h.exitCode);
    }

    void aNumberIsAnsweredOnTheProgramsBar()
    {
        Harness h;
        tools::KbBuilder kb = cleSansDessin(h);
        kb.sqlApres("UPDATE Objets_Fic SET Joker = 0"); // only the height is proposed
        kb.ecrit();
        h.open();
        h.clickButton("Barre_Deter", 1); // Search
        auto *entree = h.child<QLineEdit>("Valeur_Num");
        QVERIFY(entree->isVisible());
        QTest::keyClicks(entree, QStringLiteral("35"));
        h.clickButton("Barre_Question", 1); // OK
        QCOMPARE(int(h.model.Vue_Courante), 1);
        QCOMPARE(h.model.Valeur_Num.at(0), std::optional<double>(35.0));
        QCOMPARE(h.lines().value(0), QStringLiteral(" 100% - Quercus robur"));
        h.clickButton("Barre_Deter", 1); // one species left
        QCOMPARE(h.dialogs.textes(), QStringList{qs(*Texte(0, 1078))});
    }

    void aQuestionWithoutAPictureOfItsOwnIsDrawn_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("videFichier");
        QTest::addColumn<bool>("dessinee");
        QTest::newRow("a metafile on disk: shown as it is") << QString() << false << false;
        QTest::newRow("no picture named") << QStringLiteral("UPDATE Objets_Fic SET Popup = NULL WHERE Objet = 'FEUILLE'")
                                          << false << true;
        QTest::newRow("an empty name") << QStringLiteral("UPDATE Objets_Fic SET Popup = '' WHERE Objet = 'FEUILLE'") << false
                                       << true;
        QTest::newRow("an empty file") << QString() << true << true;
    }
    void aQuestionWithoutAPictureOfItsOwnIsDrawn()
    {
        QFETCH(QString, sql);
        QFETCH(bool, videFichier);
        QFETCH(bool, dessinee);
        Harness h;
        tools::KbBuilder kb = h.key();
        if (!sql.isEmpty())
            kb.sqlApres(us(sql));
        kb.ecrit();
        if (videFichier)
            std::ofstream(h.root.dossier() + "descripteurs/feuille.wmf", std::ios::trunc);
        h.open();
        h.clickButton("Barre_Deter", 1);
        auto *grille = h.child<PicChoixView>("Pic_Choix");
        QVERIFY(grille->isVisible());
        QVERIFY(h.dialogs.messages.empty());
        QCOMPARE(grille->grilleDessinee(), dessinee);
        QCOMPARE(grille->picture().isEmpty(), dessinee);
        h.clickCell(1); // needles, by the same cells either way
        h.clickButton("Barre_Question", 1);
        QCOMPARE(h.model.Etat_Choisi.at(1), std::int16_t{1});
    }
    void statePicturesAreReadInAnyFormatOrAsMetafiles()
    {
        Harness h;
        tools::KbBuilder kb = h.key();
        kb.sqlApres("UPDATE Objets_Fic SET Popup = NULL");
        kb.imageEtat("LARGE", "large.wmf").imageEtat("AIGUILLE", "aiguille.jpg");
        kb.imageEtat("LISSE", "absente.png").imageEtat("CREVASSEE", "abimee.png");
        kb.sqlApres("UPDATE Caracteres SET TipText = NULL WHERE ID_CARAC = 'CREVASSEE'");
        kb.ecrit();
        writeGrid(h.root.dossier() + "descripteurs/large.wmf");
        QImage jpeg(3000, 2000, QImage::Format_RGB32); // a photograph, read at a cell's size
        jpeg.fill(Qt::darkGreen);
        jpeg.save(qs(h.root.dossier() + "descripteurs/aiguille.jpg"), "JPEG");
        std::ofstream(h.root.dossier() + "descripteurs/abimee.png") << "not a picture";
        h.open();

        h.clickButton("Barre_Deter", 1);
        std::vector<CaseDessinee> cases = Cases_Dessinees(h.model);
        QCOMPARE(cases.size(), std::size_t{2});
        QCOMPARE(cases[0].nom, QStringLiteral("Broad"));
        QVERIFY(cases[0].metafile && !cases[0].metafile->isEmpty() && cases[0].image.isNull());
        QCOMPARE(cases[1].image.size(), QSize(1024, 682));
        h.clickButton("Barre_Question", 3);

        // Pictures missing or unreadable leave the names; a state without one shows its ID_CARAC.
        h.clickButton("Barre_Deter", 3);
        cases = Cases_Dessinees(h.model);
        QCOMPARE(cases.size(), std::size_t{2});
        QCOMPARE(cases[0].nom, QStringLiteral("Smooth"));
        QCOMPARE(cases[1].nom, QStringLiteral("CREVASSEE"));
        for (const CaseDessinee &c : cases)
            QVERIFY(c.image.isNull() && (!c.metafile || c.metafile->isEmpty()));
        QVERIFY(h.dialogs.messages.empty());
    }
    // A drawing but no bar tables: the program's bars, the pass button shown only for the
    // questions the search proposes.
    void theProgramsQuestionBarHidesPassForAQuestionChosenOnTheDrawing()
    {
        Harness h;
        tools::KbBuilder kb = h.key();
        kb.sqlApres("DELETE FROM But_Deter").sqlApres("DELETE FROM But_Quest");
        kb.parametre("Nb_But_Deter", "0").parametre("Nb_But_Quest", "0");
        kb.ecrit();
        h.open();
        h.clickDrawing(300, 300); // the crown: the leaf type
        QCOMPARE(h.model.Descripteur_Courant.Objet, std::string("FEUILLE"));
        QToolBar *question = h.bar("Barre_Question");
        QVERIFY(question->isVisible());
        QVERIFY(!Bouton_A(question, 5)->isVisible());
        h.clickButton("Barre_Question", 3); // Back
        h.clickButton("Barre_Deter", 1);    // Search
        QVERIFY(Bouton_A(question, 5)->isVisible());
    }
};

QTEST_MAIN(IdentificationTest)
#include "identification_test.moc"
