#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "engine/numeric_characters.h"
#include "knowledge/key_model.h"
#include "knowledge/loader.h"
#include "support/temp_dir.h"
#include "tests_vues.h"
#include "tools/kbbuilder/kb_builder.h"
#include "views/liste_questions.h"

using namespace tarvenko;

namespace {

// Leaves (named in three languages) with the leaf type and margin and a length in cm, bark in an
// unnamed group 1, a habit in no group.
struct Cle {
    test::TempDir dir;
    KeyModel m;

    Cle()
    {
        tools::KbBuilder kb(dir.dossier() + "data/");
        kb.espece("Alpha", "F", "ALPHA").espece("Beta", "F", "BETA");
        kb.objet({.objet = "FEUILLE", .etats = {"F_AIG", "F_LARGE"}, .tips = {"Needle", "Broad"}, .cadre = 0,
                  .tipText = "Leaf type"});
        kb.objet({.objet = "BORD", .etats = {"B_LISSE", "B_DENTE"}, .tips = {"Entire", "Toothed"}, .cadre = 0,
                  .tipText = "Leaf margin"});
        kb.objet({.objet = "ECORCE", .etats = {"E_LISSE", "E_CREV"}, .tips = {"Smooth", "Écailleuse"}, .cadre = 1,
                  .tipText = "Bark"});
        kb.objet({.objet = "PORT", .etats = {"P_DRESSE", "P_PLEUR"}, .tips = {"Upright", "Weeping"}, .tipText = "Habit"});
        kb.numerique({.objet = "LONGUEUR", .noms = {"Leaf length", "", "Longueur"}, .unite = "cm", .cadre = 0});
        kb.nomCadre(0, {"Leaves", "Hojas", "Feuilles"});
        kb.nbCadre(2);
        kb.ecrit();
        m.Chemin_Data = kb.dossier();
        m.Chemin_Base = kb.dossier() + tools::KbBuilder::kNomBase;
        if (Charge_Connaissances(m).etat != ResultatChargement::Etat::Ok)
            qFatal("the key did not load");
    }

    void choisit(int etat, std::int16_t valeur = 1) { m.Etat_Choisi.at(static_cast<std::size_t>(etat)) = valeur; }
    int etat(const char *idCarac) const { return m.Base_Donnees.caractereParId(idCarac)->NUM; }
};

// What the tree shows, group by group: "Leaves: Leaf type=Broad, Leaf margin | ...".
QString montre(const QTreeView *arbre)
{
    const QAbstractItemModel *modele = arbre->model();
    QStringList groupes;
    for (int g = 0; g < modele->rowCount(); ++g) {
        const QModelIndex groupe = modele->index(g, 0);
        QStringList questions;
        for (int q = 0; q < modele->rowCount(groupe); ++q) {
            const QString reponse = modele->index(q, 1, groupe).data().toString();
            questions << modele->index(q, 0, groupe).data().toString() + (reponse.isEmpty() ? QString() : QLatin1Char('=') + reponse);
        }
        groupes << groupe.data().toString() + (arbre->isExpanded(groupe) ? QStringLiteral(": ") : QStringLiteral(" (closed): ")) +
                       questions.join(QStringLiteral(", "));
    }
    return groupes.join(QStringLiteral(" | "));
}

QString courante(const ListeQuestionsView &vue) { return QString::fromStdString(vue.questionCourante()); }

} // namespace

class ListeQuestionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void filtersAsTheUserTypes_data()
    {
        QTest::addColumn<QString>("frappe");
        QTest::addColumn<QString>("attendu");
        const QString tout = QStringLiteral("Leaves: Leaf margin, Leaf type, Leaf length | Group 2: Bark | Other questions: Habit");
        QTest::newRow("nothing typed") << QString() << tout;
        QTest::newRow("a word of names") << QStringLiteral("leaf") << QStringLiteral("Leaves: Leaf margin, Leaf type, Leaf length");
        QTest::newRow("two words, any case") << QStringLiteral("LEAF ty") << QStringLiteral("Leaves: Leaf type");
        QTest::newRow("a state's name without its accent") << QStringLiteral("ecaill") << QStringLiteral("Group 2: Bark");
        QTest::newRow("a group's name") << QStringLiteral("leaves") << QStringLiteral("Leaves: Leaf margin, Leaf type, Leaf length");
        QTest::newRow("nothing found") << QStringLiteral("zzz") << QString();
        QTest::newRow("Escape clears the box") << QStringLiteral("bark\x1b") << tout;
    }
    void filtersAsTheUserTypes()
    {
        QFETCH(QString, frappe);
        QFETCH(QString, attendu);
        Cle cle;
        ListeQuestionsView vue;
        vue.setModele(&cle.m);
        vue.show();
        for (const QChar c : frappe) {
            if (c == QChar(0x1b))
                QTest::keyClick(vue.recherche(), Qt::Key_Escape);
            else
                QTest::keyClicks(vue.recherche(), QString(c));
        }
        QCOMPARE(montre(vue.arbre()), attendu);
    }

    void theKeyboardOpensAndWithdraws()
    {
        Cle cle;
        cle.choisit(cle.etat("E_CREV"));
        ListeQuestionsView vue;
        vue.setModele(&cle.m);
        vue.show();
        QVERIFY(QTest::qWaitForWindowActive(&vue));
        QSignalSpy ouvertes(&vue, &ListeQuestionsView::ouvre);
        QSignalSpy retirees(&vue, &ListeQuestionsView::retire);

        vue.recherche()->setFocus();
        QTest::keyClicks(vue.recherche(), QStringLiteral("ba"));
        QTest::keyClick(vue.recherche(), Qt::Key_Down);
        QVERIFY(vue.arbre()->hasFocus());
        QCOMPARE(courante(vue), QStringLiteral("ECORCE"));
        QTest::keyClick(vue.arbre(), Qt::Key_Return);
        QCOMPARE(ouvertes.size(), 1);
        QCOMPARE(ouvertes.at(0), (QVariantList{QStringLiteral("ECORCE"), false}));
        QTest::keyClick(vue.arbre(), Qt::Key_Delete);
        QCOMPARE(retirees.size(), 1);
        QCOMPARE(retirees.at(0), (QVariantList{QStringLiteral("ECORCE"), false}));

        // Typing in the list goes on in the box; Up from the first row goes back to it.
        QTest::keyClick(vue.arbre(), Qt::Key_Escape);
        QVERIFY(vue.recherche()->hasFocus());
        QCOMPARE(vue.filtre(), QString());
        QTest::keyClick(vue.recherche(), Qt::Key_Down);
        QCOMPARE(courante(vue), QStringLiteral("ECORCE")); // the current question outlives the filter
        QTest::keyClicks(vue.arbre(), QStringLiteral("hab"));
        QVERIFY(vue.recherche()->hasFocus());
        QCOMPARE(vue.filtre(), QStringLiteral("hab"));
        QTest::keyClick(vue.recherche(), Qt::Key_Down);
        QCOMPARE(courante(vue), QStringLiteral("PORT"));
        QTest::keyClick(vue.arbre(), Qt::Key_Delete); // nothing to withdraw
        QCOMPARE(retirees.size(), 1);
        QVERIFY(!vue.findChild<QToolButton *>(QStringLiteral("Retire_Reponse"))->isEnabled());
        QTest::keyClick(vue.arbre(), Qt::Key_Up);
        QVERIFY(vue.recherche()->hasFocus());
        QTest::keyClick(vue.recherche(), Qt::Key_Return); // Enter in the box opens what it found
        QCOMPARE(ouvertes.size(), 2);
        QCOMPARE(ouvertes.at(1), (QVariantList{QStringLiteral("PORT"), false}));

        // A double click opens too, a number as a number; a group opens nothing.
        vue.setFiltre(QString());
        QVERIFY(vue.choisitQuestion("LONGUEUR"));
        const QRect ligne = vue.arbre()->visualRect(vue.arbre()->currentIndex());
        QTest::mouseClick(vue.arbre()->viewport(), Qt::LeftButton, {}, ligne.center());
        QTest::mouseDClick(vue.arbre()->viewport(), Qt::LeftButton, {}, ligne.center());
        QCOMPARE(ouvertes.size(), 3);
        QCOMPARE(ouvertes.at(2), (QVariantList{QStringLiteral("LONGUEUR"), true}));
        const QRect groupe = vue.arbre()->visualRect(vue.arbre()->model()->index(0, 0));
        QTest::mouseClick(vue.arbre()->viewport(), Qt::LeftButton, {}, groupe.center());
        QTest::mouseDClick(vue.arbre()->viewport(), Qt::LeftButton, {}, groupe.center());
        QCOMPARE(ouvertes.size(), 3);
    }

    void answersAreFollowedAndTheCurrentQuestionKept()
    {
        Cle cle;
        ListeQuestionsView vue;
        vue.setEcritNombre([](double v) { return QLocale(QLocale::French).toString(v); });
        vue.setModele(&cle.m);
        vue.show();
        QVERIFY(vue.choisitQuestion("BORD"));
        cle.choisit(cle.etat("B_DENTE"));
        Repond_Num(cle.m, 0, 12.5);
        vue.actualise();
        QCOMPARE(montre(vue.arbre()), QStringLiteral("Leaves: Leaf margin=Toothed, Leaf length=12,5 cm, Leaf type | Group 2: Bark | "
                                                     "Other questions: Habit"));
        QCOMPARE(courante(vue), QStringLiteral("BORD"));
        QVERIFY(vue.findChild<QToolButton *>(QStringLiteral("Retire_Reponse"))->isEnabled());

        // Hidden, the list waits to be shown again before it reads the answers.
        vue.hide();
        cle.choisit(cle.etat("B_DENTE"), 0);
        cle.choisit(cle.etat("P_PLEUR"));
        vue.actualise();
        QVERIFY(montre(vue.arbre()).contains(QStringLiteral("Toothed")));
        vue.show();
        QCOMPARE(montre(vue.arbre()), QStringLiteral("Leaves: Leaf length=12,5 cm, Leaf margin, Leaf type | Group 2: Bark | "
                                                     "Other questions: Habit=Weeping"));
        QCOMPARE(courante(vue), QStringLiteral("BORD"));
        QVERIFY(!vue.findChild<QToolButton *>(QStringLiteral("Retire_Reponse"))->isEnabled());
    }

    void questionsKeepTheWiderColumnThroughSearches()
    {
        Cle cle;
        ListeQuestionsView vue;
        vue.setModele(&cle.m);
        vue.resize(600, 400);
        vue.show();
        for (const QString &filtre : {QString(), QStringLiteral("leaf"), QString()}) {
            vue.setFiltre(filtre);
            QCOMPARE(vue.arbre()->columnWidth(0), 360);
        }
        vue.resize(800, 400);
        QCOMPARE(vue.arbre()->columnWidth(0), 480);
    }

    void closedGroupsStayClosedUntilASearchNeedsThem()
    {
        Cle cle;
        ListeQuestionsView vue;
        vue.setModele(&cle.m);
        vue.show();
        vue.arbre()->collapse(vue.arbre()->model()->index(0, 0));
        cle.choisit(cle.etat("F_LARGE"));
        vue.actualise();
        vue.setFiltre(QStringLiteral("bark"));
        vue.setFiltre(QString());
        QCOMPARE(montre(vue.arbre()), QStringLiteral("Leaves (closed): Leaf type=Broad, Leaf margin, Leaf length | Group 2: Bark | "
                                                     "Other questions: Habit"));
        vue.setFiltre(QStringLiteral("leaf"));
        QCOMPARE(montre(vue.arbre()), QStringLiteral("Leaves: Leaf type=Broad, Leaf margin, Leaf length"));
    }

    void namesFollowTheInterfaceLanguage()
    {
        Cle cle;
        cle.m.Num_Langue = 2;
        ListeQuestionsView vue;
        vue.setModele(&cle.m);
        vue.show();
        QCOMPARE(montre(vue.arbre()), QStringLiteral("Feuilles: Leaf margin, Leaf type, Longueur | Groupe 2: Bark | Autres questions: Habit"));
        QCOMPARE(vue.arbre()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Réponse"));
        QCOMPARE(vue.recherche()->placeholderText(), QStringLiteral("Rechercher dans les questions"));
        cle.m.Num_Langue = 1;
        vue.actualise();
        QCOMPARE(montre(vue.arbre()), QStringLiteral("Hojas: Leaf margin, Leaf type, Leaf length | Grupo 2: Bark | Otras preguntas: Habit"));
    }
};

std::unique_ptr<QObject> tests_vues::listeQuestions() { return std::make_unique<ListeQuestionsTest>(); }

#include "liste_questions_test.moc"
