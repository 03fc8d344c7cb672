// The question list in the main window: one click away from the drawing, in the drawing's place
// for a key without one, opening questions and withdrawing answers, following answers given
// elsewhere.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

#include "engine/numeric_characters.h"
#include "support/petite_cle.h"
#include "views/liste_questions.h"

using namespace tarvenko;

namespace {

using Harness = test::PetiteCle;

ListeQuestionsView *liste(const Harness &h) { return h.child<ListeQuestionsView>("Liste_Questions"); }

// What the list shows: "Group 1: Leaf type=Needle | Group 2: Bark".
QString montre(const Harness &h)
{
    const QAbstractItemModel *modele = liste(h)->arbre()->model();
    QStringList groupes;
    for (int g = 0; g < modele->rowCount(); ++g) {
        const QModelIndex groupe = modele->index(g, 0);
        QStringList questions;
        for (int q = 0; q < modele->rowCount(groupe); ++q) {
            const QString reponse = modele->index(q, 1, groupe).data().toString();
            questions << modele->index(q, 0, groupe).data().toString() + (reponse.isEmpty() ? QString() : QLatin1Char('=') + reponse);
        }
        groupes << groupe.data().toString() + QStringLiteral(": ") + questions.join(QStringLiteral(", "));
    }
    return groupes.join(QStringLiteral(" | "));
}

QAction *boutonQuestions(const Harness &h)
{
    for (QAction *a : h.bar("tbToolBar")->actions())
        if (a->property("Key").toString() == QLatin1String("Questions"))
            return a;
    return nullptr;
}

// Where the drawing goes, the list is shown instead (or not).
void verifieListeMontree(const Harness &h, bool oui)
{
    QCOMPARE(liste(h)->isVisible(), oui);
    QCOMPARE(h.child<QWidget>("Robot")->isVisible(), !oui);
    QCOMPARE(int(h.model.Vue_Courante), 1);
    QCOMPARE(h.menu("mnuViewQuestions")->isChecked(), oui);
    QCOMPARE(boutonQuestions(h)->isChecked(), oui);
    if (oui)
        QCOMPARE(liste(h)->geometry(), h.child<QWidget>("Robot")->geometry());
}

} // namespace

class ListeQuestionsFenetreTest : public QObject {
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private Q_SLOTS:
    void aKeyWithADrawingKeepsItFirstAndTheListOneClickAway()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        verifieListeMontree(h, false);
        QVERIFY(boutonQuestions(h)->isVisible() && boutonQuestions(h)->isEnabled());

        boutonQuestions(h)->trigger();
        verifieListeMontree(h, true);
        QCOMPARE(montre(h), QStringLiteral("Group 1: Leaf type | Group 2: Bark"));
        QVERIFY(h.child<QLabel>("sbPanel1")->text().startsWith(QStringLiteral("Pick a question in the list")));
        QVERIFY(liste(h)->recherche()->hasFocus());

        h.menu("mnuViewQuestions")->trigger();
        verifieListeMontree(h, false);

        // From the results view, the list brings the identification view back with it.
        h.menu("mnuViewResults")->trigger();
        QCOMPARE(int(h.model.Vue_Courante), 3);
        QVERIFY(!liste(h)->isVisible());
        boutonQuestions(h)->trigger();
        verifieListeMontree(h, true);
        h.menu("mnuViewSpecies")->trigger();
        QVERIFY(!liste(h)->isVisible());
        h.menu("mnuViewIdentification")->trigger();
        verifieListeMontree(h, true);
    }

    void ctrlLSwitchesBetweenTheDrawingAndTheList()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        QTest::keyClick(h.window.get(), Qt::Key_L, Qt::ControlModifier);
        verifieListeMontree(h, true);
        QTest::keyClick(liste(h)->recherche(), Qt::Key_L, Qt::ControlModifier);
        verifieListeMontree(h, false);
    }

    void aKeyWithoutADrawingShowsTheListInViewOne()
    {
        Harness h;
        h.key().nbRobot(0).ecrit();
        h.open();
        verifieListeMontree(h, true);
        QCOMPARE(h.child<QLabel>("sbPanel1")->text(),
                 QStringLiteral("Pick a question in the list, or press Search to be asked the best question."));
        QVERIFY(!h.menu("mnuViewQuestions")->isEnabled());
        QVERIFY(!boutonQuestions(h)->isEnabled());
        // It stays there after a resize, and after a question.
        h.window->resize(900, 650);
        QTest::qWait(20);
        verifieListeMontree(h, true);
        QVERIFY(liste(h)->choisitQuestion("ECORCE"));
        liste(h)->focusListe();
        QTest::keyClick(liste(h)->arbre(), Qt::Key_Return);
        QCOMPARE(int(h.model.Vue_Courante), 2);
        QVERIFY(!liste(h)->isVisible());
        h.clickButton("Barre_Question", 3);
        verifieListeMontree(h, true);
    }

    void aQuestionOpenedFromTheListIsAnsweredInItsGrid()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        boutonQuestions(h)->trigger();
        QTest::keyClicks(liste(h)->recherche(), QStringLiteral("leaf"));
        QTest::keyClick(liste(h)->recherche(), Qt::Key_Down);
        QTest::keyClick(liste(h)->arbre(), Qt::Key_Return);

        QCOMPARE(int(h.model.Vue_Courante), 2);
        QCOMPARE(h.model.Descripteur_Courant.Objet, std::string("FEUILLE"));
        QVERIFY(h.child<QWidget>("Pic_Choix")->isVisible());
        QVERIFY(h.bar("Barre_Question")->isVisible());
        QVERIFY(!h.bar("Barre_Deter")->isVisible());
        QVERIFY(!liste(h)->isVisible());
        QVERIFY(!Bouton_A(h.bar("Barre_Question"), 5)->isVisible()); // a question the user chose is not passed

        h.clickCell(1);
        h.clickButton("Barre_Question", 1);
        QCOMPARE(h.model.Etat_Choisi.at(1), 1);
        verifieListeMontree(h, true);
        QCOMPARE(montre(h), QStringLiteral("Group 1: Leaf type=Needle"));
        QCOMPARE(liste(h)->questionCourante(), std::string("FEUILLE"));
        QVERIFY(liste(h)->arbre()->hasFocus());

        // Opened again, the grid shows the answer; withdrawn from the list, it is gone everywhere.
        QTest::keyClick(liste(h)->arbre(), Qt::Key_Return);
        QCOMPARE(int(h.model.Descripteur_Courant.Selection), 1);
        h.clickButton("Barre_Question", 3);
        h.model.Modifie = false;
        QTest::keyClick(liste(h)->arbre(), Qt::Key_Delete);
        QCOMPARE(h.model.Etat_Choisi.at(1), 0);
        QVERIFY(h.model.Modifie);
        QCOMPARE(h.lines().first(), QStringLiteral(" 0% - Fagus sylvatica"));
        QCOMPARE(montre(h), QStringLiteral("Group 1: Leaf type"));
        verifieListeMontree(h, true);
    }

    void theListFollowsAnswersGivenOnTheDrawing()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        h.clickDrawing(400, 400); // the crown: the leaf type
        h.clickCell(0);
        h.clickButton("Barre_Question", 1);
        QCOMPARE(h.model.Etat_Choisi.at(0), 1);
        boutonQuestions(h)->trigger();
        QCOMPARE(montre(h), QStringLiteral("Group 1: Leaf type=Broad | Group 2: Bark"));

        // Shown while an answer changes elsewhere: the bar's bark button.
        h.answer(3, 1);
        verifieListeMontree(h, true);
        QCOMPARE(montre(h), QStringLiteral("Group 1: Leaf type=Broad | Group 2: Bark=Furrowed"));
        h.menu("mnuFileNew")->trigger();
        QCOMPARE(montre(h), QStringLiteral("Group 1: Leaf type | Group 2: Bark"));
    }

    void aNumberIsChangedFromTheList()
    {
        Harness h;
        h.keyWithHeight().ecrit();
        h.open();
        h.answerNumber(QStringLiteral("35"));
        boutonQuestions(h)->trigger();
        QCOMPARE(montre(h), QStringLiteral("Group 1: Leaf type | Group 2: Bark | Other questions: Height=35 m"));
        QVERIFY(liste(h)->choisitQuestion("HAUTEUR"));
        liste(h)->focusListe();
        QTest::keyClick(liste(h)->arbre(), Qt::Key_Return);
        auto *entree = h.child<QLineEdit>("Valeur_Num");
        QVERIFY(entree->isVisible());
        QCOMPARE(entree->text(), QStringLiteral("35"));
        entree->clear();
        QTest::keyClicks(entree, QStringLiteral("20"));
        h.clickButton("Barre_Question", 1);
        QCOMPARE(h.model.Valeur_Num.at(0), 20.0);
        QCOMPARE(montre(h), QStringLiteral("Group 1: Leaf type | Group 2: Bark | Other questions: Height=20 m"));
        QTest::keyClick(liste(h)->arbre(), Qt::Key_Delete);
        QVERIFY(!h.model.Valeur_Num.at(0));
        QCOMPARE(montre(h), QStringLiteral("Group 1: Leaf type | Group 2: Bark | Other questions: Height"));
    }
};

QTEST_MAIN(ListeQuestionsFenetreTest)
#include "liste_questions_test.moc"
