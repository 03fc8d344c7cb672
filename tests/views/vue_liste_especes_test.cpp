#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include "views/arbre_especes.h"
#include "views/pic_choix.h"
#include "views/vue_liste_especes.h"

using namespace tarvenko;

namespace {

std::vector<std::string> lignes(int n)
{
    std::vector<std::string> l;
    for (int i = 0; i < n; ++i)
        l.push_back(" " + std::to_string(100 - i % 100) + "% - Species " + std::to_string(i));
    return l;
}

} // namespace

// The species list behaves as the list box it replaces: one current and selected line, a
// change of line told once whether it comes from the mouse, the keyboard or the program, and a
// refill that forgets the line without telling.
class VueListeEspecesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void linesAreReadBackAsWritten()
    {
        VueListeEspeces liste;
        liste.setLignes({" 87% - Quercus robur", "100% - Fagus sylvatica", " 0% - Abies alba élevé"});
        QCOMPARE(liste.count(), 3);
        QCOMPARE(liste.ligne(0), QStringLiteral(" 87% - Quercus robur"));
        QCOMPARE(liste.ligne(2), QStringLiteral(" 0% - Abies alba élevé")); // UTF-8 as the engine writes
        QCOMPARE(liste.ligne(3), QString());
        QCOMPARE(liste.ligne(-1), QString());
        QCOMPARE(liste.currentRow(), -1);
        QVERIFY(!liste.ligneCouranteChoisie());
        QCOMPARE(liste.model()->data(liste.model()->index(1, 0)).toString(), QStringLiteral("100% - Fagus sylvatica"));
    }

    void choosingALineSelectsItAloneAndTellsItOnce()
    {
        VueListeEspeces liste;
        liste.setLignes(lignes(5));
        QSignalSpy lignesChoisies(&liste, &VueListeEspeces::currentRowChanged);
        liste.setCurrentRow(3);
        QCOMPARE(lignesChoisies.size(), 1);
        QCOMPARE(lignesChoisies.at(0).at(0).toInt(), 3);
        QCOMPARE(liste.currentRow(), 3);
        QVERIFY(liste.ligneCouranteChoisie());
        liste.setCurrentRow(1);
        QCOMPARE(liste.selectionModel()->selectedRows().size(), 1);
        QCOMPARE(liste.selectionModel()->selectedRows().at(0).row(), 1);
        liste.setCurrentRow(1); // the same line again is no change
        QCOMPARE(lignesChoisies.size(), 2);
        liste.setCurrentRow(-1);
        QCOMPARE(lignesChoisies.last().at(0).toInt(), -1);
        QVERIFY(!liste.ligneCouranteChoisie());
    }

    void refillingForgetsTheLineWithoutTellingIt()
    {
        VueListeEspeces liste;
        liste.setLignes(lignes(5));
        liste.setCurrentRow(2);
        QSignalSpy lignesChoisies(&liste, &VueListeEspeces::currentRowChanged);
        liste.setLignes(lignes(4));
        QCOMPARE(lignesChoisies.size(), 0);
        QCOMPARE(liste.currentRow(), -1);
        QVERIFY(liste.selectionModel()->selectedRows().isEmpty());
        QCOMPARE(liste.count(), 4);
        liste.setCurrentRow(2); // the same number, a new line: told
        QCOMPARE(lignesChoisies.size(), 1);
    }

    void aBlockedListTellsNothing()
    {
        VueListeEspeces liste;
        liste.setLignes(lignes(5));
        QSignalSpy lignesChoisies(&liste, &VueListeEspeces::currentRowChanged);
        {
            const QSignalBlocker bloque(&liste);
            liste.setCurrentRow(4);
        }
        QCOMPARE(lignesChoisies.size(), 0);
        QCOMPARE(liste.currentRow(), 4);
        QVERIFY(liste.ligneCouranteChoisie());
    }

    void mouseAndKeyboardChooseLines()
    {
        VueListeEspeces liste;
        liste.setLignes(lignes(50));
        liste.resize(300, 200);
        liste.show();
        QVERIFY(QTest::qWaitForWindowExposed(&liste));
        QSignalSpy lignesChoisies(&liste, &VueListeEspeces::currentRowChanged);
        const QRect r = liste.visualRect(liste.model()->index(2, 0));
        QTest::mouseClick(liste.viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(lignesChoisies.size(), 1);
        QCOMPARE(liste.currentRow(), 2);
        QTest::keyClick(&liste, Qt::Key_Down);
        QCOMPARE(liste.currentRow(), 3);
        QCOMPARE(lignesChoisies.last().at(0).toInt(), 3);
        QVERIFY(liste.ligneCouranteChoisie());
    }

    void typingANameChoosesTheFirstLineOfThatSpecies_data()
    {
        QTest::addColumn<QString>("frappe");
        QTest::addColumn<int>("ligne"); // -1: the current line stays
        QTest::newRow("one letter") << "q" << 1;
        QTest::newRow("several letters, case ignored") << "FAG" << 2;
        QTest::newRow("up to the second word") << "quercus p" << 3;
        QTest::newRow("the percentage is not a name") << "87" << -1;
        QTest::newRow("the separator is not a name") << "- Q" << -1;
        QTest::newRow("no such species") << "ulmus" << -1;
    }
    void typingANameChoosesTheFirstLineOfThatSpecies()
    {
        QFETCH(QString, frappe);
        VueListeEspeces liste;
        liste.setLignes({"100% - Abies alba", " 87% - Quercus robur", " 87% - Fagus sylvatica", " 50% - Quercus petraea",
                         " 0% - Pinus sylvestris"});
        liste.show();
        QVERIFY(QTest::qWaitForWindowExposed(&liste));
        const int avant = liste.currentRow();
        QTest::keyClicks(&liste, frappe);
        QFETCH(int, ligne);
        QCOMPARE(liste.currentRow(), ligne < 0 ? avant : ligne);
        if (ligne >= 0)
            QVERIFY(liste.ligneCouranteChoisie());
    }

    void aScreenReaderHearsTheSpeciesThenItsPercentage()
    {
        VueListeEspeces liste;
        liste.setLignes({" 87% - Quercus robur", "100% - Fagus sylvatica", "no percentage"});
        const auto lu = [&](int k) { return liste.model()->data(liste.model()->index(k, 0), Qt::AccessibleTextRole).toString(); };
        QCOMPARE(lu(0), QStringLiteral("Quercus robur, 87 %"));
        QCOMPARE(lu(1), QStringLiteral("Fagus sylvatica, 100 %"));
        QCOMPARE(lu(2), QStringLiteral("no percentage"));
    }

    // Tree_esp as Remplit_Tree_esp leaves it: families with species, common names, all collapsed.
    void typeAheadFindsNodesInCollapsedBranches_data()
    {
        QTest::addColumn<QString>("depuis");
        QTest::addColumn<QString>("debut");
        QTest::addColumn<QString>("trouve");
        QTest::newRow("from the top") << "" << "fagus" << "Fagus sylvatica/Fagaceae";
        QTest::newRow("a node itself") << "Fagus sylvatica/Fagaceae" << "fag" << "Fagus sylvatica/Fagaceae";
        QTest::newRow("further down") << "Fagus sylvatica/Fagaceae" << "quercus" << "Quercus robur/Oak";
        QTest::newRow("round past the end") << "Oak/Common names" << "fag" << "Fagaceae/Families";
        QTest::newRow("none") << "" << "ulmus" << "";
    }
    void typeAheadFindsNodesInCollapsedBranches()
    {
        QFETCH(QString, depuis);
        QFETCH(QString, debut);
        QTreeWidget arbre;
        const auto noeud = [](QTreeWidgetItem *parent, const QString &texte) { return new QTreeWidgetItem(parent, {texte}); };
        auto *familles = new QTreeWidgetItem(&arbre, {QStringLiteral("Families")});
        auto *fagaceae = noeud(familles, QStringLiteral("Fagaceae"));
        noeud(fagaceae, QStringLiteral("Quercus robur"));
        noeud(fagaceae, QStringLiteral("Fagus sylvatica"));
        auto *communs = new QTreeWidgetItem(&arbre, {QStringLiteral("Common names")});
        noeud(noeud(communs, QStringLiteral("Oak")), QStringLiteral("Quercus robur"));
        const auto chemin = [](QTreeWidgetItem *item) {
            return item ? item->text(0) + QLatin1Char('/') + item->parent()->text(0) : QString();
        };
        QTreeWidgetItem *origine = nullptr;
        for (QTreeWidgetItemIterator it(&arbre); *it; ++it)
            if ((*it)->parent() && chemin(*it) == depuis)
                origine = *it;
        QTreeWidgetItem *trouve = Cherche_Noeud(&arbre, debut, origine);
        QTEST(chemin(trouve), "trouve");
        QVERIFY(!fagaceae->isExpanded()); // searching opens nothing by itself
    }

    void arrowKeysStayOnTheStates_data()
    {
        QTest::addColumn<int>("depuis");
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("dy");
        QTest::addColumn<int>("vers");
        // Three columns, seven states: the last row holds one state, cells 7 and 8 none.
        QTest::newRow("right") << 0 << 1 << 0 << 1;
        QTest::newRow("right at the edge") << 2 << 1 << 0 << 2;
        QTest::newRow("left at the edge") << 3 << -1 << 0 << 3;
        QTest::newRow("down") << 1 << 0 << 1 << 4;
        QTest::newRow("down onto the last state") << 3 << 0 << 1 << 6;
        QTest::newRow("down onto a cell without a state") << 4 << 0 << 1 << 4;
        QTest::newRow("right onto a cell without a state") << 6 << 1 << 0 << 6;
        QTest::newRow("up at the top") << 2 << 0 << -1 << 2;
        QTest::newRow("up") << 6 << 0 << -1 << 3;
    }
    void arrowKeysStayOnTheStates()
    {
        QFETCH(int, depuis);
        QFETCH(int, dx);
        QFETCH(int, dy);
        QTEST(Case_Voisine(depuis, dx, dy, 3, 7), "vers");
    }

    void tenThousandLinesAreAllThere()
    {
        VueListeEspeces liste;
        liste.setLignes(lignes(10000));
        liste.resize(300, 400);
        liste.show();
        QVERIFY(QTest::qWaitForWindowExposed(&liste));
        QCOMPARE(liste.count(), 10000);
        QCOMPARE(liste.ligne(9999), QStringLiteral(" 1% - Species 9999"));
        liste.setCurrentRow(9999);
        liste.scrollTo(liste.currentIndex());
        QVERIFY(liste.visualRect(liste.currentIndex()).intersects(liste.viewport()->rect()));
        // Every line has the height of the first: the view need not measure them all.
        QVERIFY(liste.uniformItemSizes());
    }
};

QTEST_MAIN(VueListeEspecesTest)
#include "vue_liste_especes_test.moc"
