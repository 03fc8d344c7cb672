// The help of a question in the main window: the status bar's Help button while a question that
// has a page is in view, F1 on its grid, its entry or its line of the question list, the list's
// context menu; F1 elsewhere stays the user guide's key.
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include <filesystem>
#include <fstream>

#include "support/petite_cle.h"
#include "views/liste_questions.h"

using namespace tarvenko;

namespace {

void ecrit(const std::string &chemin, const std::string &texte)
{
    std::filesystem::create_directories(std::filesystem::path(chemin).parent_path());
    std::ofstream(chemin, std::ios::binary) << texte;
}

// The small key with its questions named as a DELTA key names them: C1 the leaf type, which has a
// page of help, C2 the bark and C3 the height, without one; C4 the height again with one.
struct CleAidee : test::PetiteCle {
    CleAidee()
    {
        machine(QStringLiteral("Options/Distribution"), QStringLiteral("hd"));
        machine(QStringLiteral("Documents/Adresse"), qs(root.dossier() + "documents/"));
        ecrit(root.fichier("documents/c/c0001/c0001_en.html"),
                    "<html><head><title>Leaf type</title></head><body><p>Broad or needle.</p></body></html>");
        ecrit(root.fichier("documents/c/c0001/c0001_fr.html"),
                    "<html><head><title>Type de feuille</title></head><body><p>Large ou aiguille.</p></body></html>");
        ecrit(root.fichier("documents/c/c0004/c0004_en.html"),
                    "<html><head><title>Girth</title></head><body><p>Measured at 1.3 m.</p></body></html>");
        tools::KbBuilder kb(root.dossier() + "data/");
        kb.espece("Quercus robur", "FAGACEAE", "QUERO").espece("Fagus sylvatica", "FAGACEAE", "FAGSY")
            .espece("Pinus sylvestris", "PINACEAE", "PINSY");
        kb.objet({.objet = "C1", .etats = {"C1S1", "C1S2"}, .tips = {"Broad", "Needle"}, .lignes = 1, .colonnes = 2,
                  .cadre = 0, .tipText = "Leaf type", .popup = "feuille.wmf"});
        kb.objet({.objet = "C2", .etats = {"C2S1", "C2S2"}, .tips = {"Smooth", "Furrowed"}, .lignes = 1,
                  .colonnes = 2, .cadre = 1, .tipText = "Bark", .popup = "ecorce.wmf"});
        kb.a("Quercus robur", "C1S1").a("Quercus robur", "C2S2");
        kb.a("Fagus sylvatica", "C1S1").a("Fagus sylvatica", "C2S1");
        kb.a("Pinus sylvestris", "C1S2").a("Pinus sylvestris", "C2S2");
        kb.numerique({.objet = "C3", .noms = {"Height", "Altura", "Hauteur"}, .unite = "m"});
        kb.numerique({.objet = "C4", .noms = {"Girth", "Perímetro", "Circonférence"}, .unite = "m"});
        kb.plage("C3", "Quercus robur", 30, 40).plage("C3", "Fagus sylvatica", 15, 25).plage("C3", "Pinus sylvestris", 1, 10);
        kb.plage("C4", "Quercus robur", 3, 4).plage("C4", "Fagus sylvatica", 1, 2).plage("C4", "Pinus sylvestris", 0.5, 1);
        kb.hierarchie(0, "arbre.wmf", {});
        kb.couleur("C1").couleur("C2");
        kb.butDeter("Leaf", "leaf.ico", "Leaf type", "C1")
            .butDeter("Bark", "bark.ico", "Bark", "C2")
            .butDeter("Search", "search.ico", "Propose a question", "Search")
            .butDeter("Results", "results.ico", "Results", "Results");
        kb.butQuest("OK", "ok.ico", "Validate").butQuest("Back", "back.ico", "Leave").butQuest("Pass", "pass.ico", "Pass");
        kb.ecrit();
        open();
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("the window was not activated");
    }

    QToolButton *boutonAide() const { return child<QToolButton>("Aide_Question"); }
    ListeQuestionsView *listeQuestions() const { return child<ListeQuestionsView>("Liste_Questions"); }
    // The page the help window shows, by file name; "" while it is not on show.
    QString aideMontree() const
    {
        auto *texte = window->findChild<QTextBrowser *>(QStringLiteral("Texte_Aide"));
        if (!texte || !texte->window()->isVisible())
            return {};
        return texte->source().fileName();
    }
    void fermeAide() const
    {
        if (auto *texte = window->findChild<QTextBrowser *>(QStringLiteral("Texte_Aide")))
            texte->window()->close();
    }
};

} // namespace

class AideQuestionTest : public QObject {
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private Q_SLOTS:
    void theHelpButtonFollowsTheQuestionOnShowAndF1OnTheGridOpensItsPage()
    {
        CleAidee h;
        QVERIFY(!h.boutonAide()->isVisible()); // the drawing: no question in view

        h.clickButton("Barre_Deter", 1); // the leaf type, which has a page
        QVERIFY(h.boutonAide()->isVisible());
        QCOMPARE(h.boutonAide()->text(), QStringLiteral("Help"));
        auto *grille = h.child<QWidget>("Pic_Choix");
        QVERIFY(grille->hasFocus());
        QTest::keyClick(grille, Qt::Key_F1);
        QCOMPARE(h.aideMontree(), QStringLiteral("c0001_en.html"));
        QCOMPARE(h.window->findChild<QWidget *>(QStringLiteral("frmAide"))->windowTitle(), QStringLiteral("Leaf type"));
        h.fermeAide();
        h.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));

        h.clickButton("Barre_Question", 3); // leave: the drawing again
        QVERIFY(!h.boutonAide()->isVisible());
        h.clickButton("Barre_Deter", 3); // the bark, without a page
        QVERIFY(!h.boutonAide()->isVisible());
        // F1 is the user guide's key there, as everywhere else.
        QTest::keyClick(h.child<QWidget>("Pic_Choix"), Qt::Key_F1);
        QVERIFY2(h.aideMontree().startsWith(QStringLiteral("guide_")), qPrintable(h.aideMontree()));
        h.fermeAide();

        h.clickButton("Barre_Question", 3);
        h.clickButton("Barre_Deter", 1);
        QTest::mouseClick(h.boutonAide(), Qt::LeftButton);
        QCOMPARE(h.aideMontree(), QStringLiteral("c0001_en.html"));
    }

    void aNumericQuestionHasItsHelpToo()
    {
        CleAidee h;
        h.window->findChild<QAction *>(QStringLiteral("mnuViewQuestions"))->trigger();
        QVERIFY(h.listeQuestions()->choisitQuestion("C4"));
        h.listeQuestions()->focusListe();
        QTest::keyClick(h.listeQuestions()->arbre(), Qt::Key_Return);
        auto *entree = h.child<QLineEdit>("Valeur_Num");
        QVERIFY(entree->isVisible() && entree->hasFocus());
        QVERIFY(h.boutonAide()->isVisible());
        QTest::keyClick(entree, Qt::Key_F1);
        QCOMPARE(h.aideMontree(), QStringLiteral("c0004_en.html"));
        QVERIFY(entree->text().isEmpty()); // F1 typed nothing
    }

    void inTheQuestionListF1AndTheButtonGoByTheCurrentQuestion()
    {
        CleAidee h;
        h.window->findChild<QAction *>(QStringLiteral("mnuViewQuestions"))->trigger();
        ListeQuestionsView *liste = h.listeQuestions();
        QVERIFY(liste->isVisible());
        QVERIFY(liste->choisitQuestion("C2"));
        QVERIFY(!h.boutonAide()->isVisible());
        liste->focusListe();
        QTest::keyClick(liste->arbre(), Qt::Key_F1);
        QVERIFY2(h.aideMontree().startsWith(QStringLiteral("guide_")), qPrintable(h.aideMontree()));
        h.fermeAide();
        h.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));

        QVERIFY(liste->choisitQuestion("C1"));
        QVERIFY(h.boutonAide()->isVisible());
        liste->focusListe();
        QTest::keyClick(liste->arbre(), Qt::Key_F1);
        QCOMPARE(h.aideMontree(), QStringLiteral("c0001_en.html"));
        // F1 did not open the question: the list is still there.
        QVERIFY(liste->isVisible());
        QCOMPARE(int(h.model.Vue_Courante), 1);

        // The results view has no question in view.
        h.window->findChild<QAction *>(QStringLiteral("mnuViewResults"))->trigger();
        QVERIFY(!h.boutonAide()->isVisible());
    }

    void theHelpWindowOnShowSpeaksTheNewLanguageAtOnce()
    {
        CleAidee h;
        h.clickButton("Barre_Deter", 1);
        QTest::mouseClick(h.boutonAide(), Qt::LeftButton);
        QCOMPARE(h.aideMontree(), QStringLiteral("c0001_en.html"));
        auto *aide = h.window->findChild<QWidget *>(QStringLiteral("frmAide"));
        h.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));

        h.model.Num_Langue = 2;
        h.window->Change_Langue();
        QCOMPARE(h.aideMontree(), QStringLiteral("c0001_fr.html"));
        QCOMPARE(aide->windowTitle(), QStringLiteral("Type de feuille"));
        // Spanish has no page of its own: the English one.
        h.model.Num_Langue = 1;
        h.window->Change_Langue();
        QCOMPARE(h.aideMontree(), QStringLiteral("c0001_en.html"));
        // The window did not take the focus from the one the switch was made in.
        QVERIFY(h.window->isActiveWindow());

        // The user guide follows too, and a closed help window stays closed.
        h.window->Traiter_Fichier(QStringLiteral("Help"), QString());
        QCOMPARE(h.aideMontree(), QStringLiteral("guide_es.html"));
        h.model.Num_Langue = 2;
        h.window->Change_Langue();
        QCOMPARE(h.aideMontree(), QStringLiteral("guide_fr.html"));
        h.fermeAide();
        h.model.Num_Langue = 0;
        h.window->Change_Langue();
        QVERIFY(h.aideMontree().isEmpty());
    }
};

QTEST_MAIN(AideQuestionTest)
#include "aide_question_test.moc"
