#include <QSignalSpy>
#include <QTest>

#include "engine/scoring.h"
#include "knowledge/key_model.h"
#include "views/vue_liste_especes.h"
#include "tests_vues.h"

using namespace tarvenko;

namespace {

std::vector<std::string> lignes(int n)
{
    std::vector<std::string> l;
    for (int i = 0; i < n; ++i)
        l.push_back(" " + std::to_string(100 - i % 100) + "% - Species " + std::to_string(i));
    return l;
}

// Three species ranked Fagus 100 %, Quercus 50 %, Pinus 0 %, with 0, 1 and 2 mismatches.
KeyModel classement()
{
    KeyModel m;
    m.Nom_Esp = {"Quercus robur", "Fagus sylvatica", "Pinus sylvestris"};
    m.Classement[0] = {2, 1, 0};
    m.Classement[1] = {1, 0, 2};
    m.Pourcent_Esp = {100, 50, 0};
    m.Ecarts_Esp = {1, 0, 2};
    return m;
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

    void aRankingsLinesAreMadeWhenAskedWithTheirMismatches()
    {
        KeyModel m = classement();
        VueListeEspeces liste;
        liste.setLignes(m, LignesEspeces(2)); // the third rank is under the threshold
        QCOMPARE(liste.count(), 2);
        QCOMPARE(liste.ligne(0), QStringLiteral(" 100% - Fagus sylvatica"));
        QCOMPARE(liste.ligne(1), QStringLiteral(" 50% - Quercus robur"));
        QCOMPARE(liste.ligne(2), QString());
        QCOMPARE(liste.ecarts(0), 0);
        QCOMPARE(liste.ecarts(1), 1);
        QCOMPARE(liste.ecarts(2), -1);
        const auto donnee = [&](int k, int role) { return liste.model()->data(liste.model()->index(k, 0), role); };
        QCOMPARE(donnee(1, VueListeEspeces::RoleEcarts).toInt(), 1);
        QCOMPARE(donnee(0, Qt::ToolTipRole).toString(), QStringLiteral("100% - Fagus sylvatica\nNo mismatch with the answers"));
        QCOMPARE(donnee(1, Qt::ToolTipRole).toString(), QStringLiteral("50% - Quercus robur\n1 mismatch with the answers"));
        QCOMPARE(donnee(1, Qt::AccessibleTextRole).toString(), QStringLiteral("Quercus robur, 50 %"));
        m.Num_Langue = 2;
        m.Ecarts_Esp[1] = 3;
        QCOMPARE(donnee(0, Qt::ToolTipRole).toString(), QStringLiteral("100% - Fagus sylvatica\n3 écarts avec les réponses"));
        QCOMPARE(Marque_Ecarts(3), QStringLiteral("\u2717 3"));

        // Texts given whole have no count.
        liste.setLignes(std::vector<std::string>{" 87% - Quercus robur"});
        QCOMPARE(liste.ecarts(0), -1);
        QVERIFY(!donnee(0, VueListeEspeces::RoleEcarts).isValid());
        QCOMPARE(donnee(0, Qt::ToolTipRole).toString(), QStringLiteral(" 87% - Quercus robur"));
    }

    void theMarkIsPaintedAtTheRightAndTheTextIsUnchanged()
    {
        const KeyModel m = classement();
        const auto dessine = [](VueListeEspeces &liste) {
            liste.resize(320, 120);
            liste.show();
            QVERIFY(QTest::qWaitForWindowExposed(&liste));
        };
        VueListeEspeces marquee, texte;
        marquee.setLignes(m, LignesEspeces(3));
        texte.setLignes(std::vector<std::string>{" 100% - Fagus sylvatica", " 50% - Quercus robur", " 0% - Pinus sylvestris"});
        dessine(marquee);
        dessine(texte);
        const QRect ligne = marquee.visualRect(marquee.model()->index(2, 0));
        const QImage a = marquee.viewport()->grab(ligne).toImage();
        const QImage b = texte.viewport()->grab(ligne).toImage();
        const int gauche = a.width() * 6 / 10;
        QCOMPARE(a.copy(0, 0, gauche, a.height()), b.copy(0, 0, gauche, b.height()));
        QVERIFY(a.copy(gauche, 0, a.width() - gauche, a.height()) != b.copy(gauche, 0, b.width() - gauche, b.height()));
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

std::unique_ptr<QObject> tests_vues::listeEspeces() { return std::make_unique<VueListeEspecesTest>(); }

#include "vue_liste_especes_test.moc"
