#include <QLocale>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "knowledge/species_tree.h"
#include "tests_vues.h"
#include "views/arbre_especes.h"

using namespace tarvenko;

namespace {

QStringList enfants(const QTreeWidgetItem *noeud)
{
    QStringList textes;
    for (int i = 0; i < noeud->childCount(); ++i)
        textes << noeud->child(i)->text(0);
    return textes;
}

} // namespace

// The species tree lists names as a reader of the interface's language expects them, accented
// letters beside their plain ones.
class ArbreEspecesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namesFollowTheCollationOfTheInterface_data()
    {
        QTest::addColumn<QLocale>("langue");
        QTest::addColumn<QStringList>("noms");
        QTest::addColumn<QStringList>("attendu");
        const QStringList arbres{QStringLiteral("Zelkova"), QStringLiteral("Érable"), QStringLiteral("Chêne"), QStringLiteral("Aulne")};
        const QStringList alphabetique{QStringLiteral("Aulne"), QStringLiteral("Chêne"), QStringLiteral("Érable"), QStringLiteral("Zelkova")};
        QTest::newRow("French: accents beside their letters") << QLocale(QLocale::French) << arbres << alphabetique;
        QTest::newRow("English: the same") << QLocale(QLocale::English) << arbres << alphabetique;
        QTest::newRow("French: small and capital letters together")
            << QLocale(QLocale::French) << QStringList{QStringLiteral("érable"), QStringLiteral("Frêne"), QStringLiteral("Aulne"), QStringLiteral("chêne")}
            << QStringList{QStringLiteral("Aulne"), QStringLiteral("chêne"), QStringLiteral("érable"), QStringLiteral("Frêne")};
        const QStringList espagnol{QStringLiteral("Olmo"), QStringLiteral("Ñandubay"), QStringLiteral("Nogal")};
        QTest::newRow("Spanish: ñ is a letter after n")
            << QLocale(QLocale::Spanish) << espagnol << QStringList{QStringLiteral("Nogal"), QStringLiteral("Ñandubay"), QStringLiteral("Olmo")};
        QTest::newRow("English: ñ is an n")
            << QLocale(QLocale::English) << espagnol << QStringList{QStringLiteral("Ñandubay"), QStringLiteral("Nogal"), QStringLiteral("Olmo")};
    }
    void namesFollowTheCollationOfTheInterface()
    {
        QFETCH(QLocale, langue);
        QFETCH(QStringList, noms);
        QFETCH(QStringList, attendu);
        // Common names under their language, and the same names as species of the alphabetical list.
        Arbre_Especes arbre;
        QVERIFY(arbre.ajoute("", "Communs", "Common names", "livre_ferme"));
        QVERIFY(arbre.ajoute("Communs", "SFrançais", "Français", "livre_ferme"));
        QVERIFY(arbre.ajoute("", "Espèces", "Species", "livre_ferme"));
        for (const char *cle : {"Communs", "SFrançais", "Espèces"})
            arbre.noeud(cle)->Sorted = true;
        for (int i = 0; i < noms.size(); ++i) {
            QVERIFY(arbre.ajoute("SFrançais", noms[i].toStdString(), noms[i].toStdString(), "livre_ferme"));
            QVERIFY(arbre.ajoute("Espèces", "CODE" + std::to_string(i) + "S", noms[i].toStdString(), "page"));
        }

        QTreeWidget tree;
        Remplit_Tree_esp(&tree, arbre, langue);
        QCOMPARE(tree.topLevelItemCount(), 2); // roots in the order they were made
        QCOMPARE(tree.topLevelItem(0)->text(0), QStringLiteral("Common names"));
        QCOMPARE(enfants(tree.topLevelItem(0)->child(0)), attendu);
        QCOMPARE(enfants(tree.topLevelItem(1)), attendu);
        // The keys travel with their names.
        QCOMPARE(tree.topLevelItem(0)->child(0)->child(0)->data(0, RoleCle).toString(), attendu.first());
    }

    void anUnsortedBranchKeepsTheOrderOfTheBase()
    {
        Arbre_Especes arbre;
        QVERIFY(arbre.ajoute("", "Racine", "Root", "livre_ferme"));
        for (const char *nom : {"Zelkova", "Érable", "Aulne"})
            QVERIFY(arbre.ajoute("Racine", nom, nom, "page"));
        QTreeWidget tree;
        Remplit_Tree_esp(&tree, arbre, QLocale(QLocale::French));
        QCOMPARE(enfants(tree.topLevelItem(0)), (QStringList{QStringLiteral("Zelkova"), QStringLiteral("Érable"), QStringLiteral("Aulne")}));
    }

    // Typing the start of a name: a tree as Remplit_Tree_esp leaves it, every branch collapsed.
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
};

std::unique_ptr<QObject> tests_vues::arbreEspeces() { return std::make_unique<ArbreEspecesTest>(); }

#include "arbre_especes_test.moc"
