// Saved queries rebuilt from MSysQueries rows, translated, and run on small SQLite tables: the
// rows are those the Jet query gives.
#include <gtest/gtest.h>

#include "jet_support.h"
#include "knowledge/jet/jet_import.h"
#include "knowledge/jet/jet_sql.h"
#include "knowledge/tables.h"
#include "support/temp_dir.h"
#include "tools/kbbuilder/kb_builder.h"

using namespace tarvenko;
using jet::LigneRequete;
using Lignes = std::vector<std::vector<std::string>>;

namespace {

LigneRequete L(int attribut, std::string nom1, std::string nom2, std::string expression, std::optional<int> drapeau = {})
{
    return {attribut, std::move(nom1), std::move(nom2), std::move(expression), drapeau, {}};
}

// The rows of a select query over `tables`, as Access saves one.
std::vector<LigneRequete> selection(std::vector<LigneRequete> corps, int drapeaux = 0, const std::string &top = "")
{
    std::vector<LigneRequete> l{L(0, "", "", ""), L(1, "", "", "", 1), L(3, top, "", "", drapeaux)};
    l.insert(l.end(), corps.begin(), corps.end());
    l.push_back(L(255, "", "", ""));
    return l;
}

jet::Schema schemaDe(const sqlite::Database &db)
{
    const auto champs = [&db](std::string_view source, const char *filtre) {
        sqlite::Statement st(db, std::string("SELECT name FROM pragma_table_info(?1)") + filtre);
        st.bind(1, source);
        std::vector<std::string> out;
        while (st.step())
            out.push_back(st.text(0));
        return out;
    };
    jet::Schema s;
    s.champs = [champs](std::string_view source) -> std::optional<std::vector<std::string>> {
        auto out = champs(source, "");
        return out.empty() ? std::nullopt : std::optional(out);
    };
    s.clePrimaire = [champs](std::string_view source) { return champs(source, " WHERE pk > 0 ORDER BY pk"); };
    return s;
}

class JetQuery : public ::testing::Test {
protected:
    void SetUp() override
    {
        sqlite::Error e;
        ASSERT_TRUE(db.openReadWrite(":memory:", e));
        ASSERT_TRUE(db.exec(R"(
            CREATE TABLE Clients (Id INTEGER, Nom TEXT COLLATE NOCASE, Ville TEXT COLLATE NOCASE, PRIMARY KEY (Id));
            CREATE TABLE Commandes (Num INTEGER PRIMARY KEY, Client INTEGER, Montant REAL);
            CREATE TABLE Lignes (Commande INTEGER, Produit TEXT COLLATE NOCASE, Qte INTEGER, PRIMARY KEY (Commande, Produit));
            INSERT INTO Clients VALUES (1, 'Ana', 'Lyon'), (2, 'Bo', 'Paris'), (3, 'Cy', 'Lyon');
            INSERT INTO Commandes VALUES (10, 1, 100), (11, 1, 70), (12, 2, 70), (13, NULL, 5);
            INSERT INTO Lignes VALUES (10, 'pomme', 2), (10, 'poire', 1), (11, 'pomme', 5), (12, 'pomme', 1);)", e))
            << e.message;
    }

    // Translates the query, makes it a view and reads it; the reason when it is not translated.
    Lignes execute(const std::vector<LigneRequete> &requete, std::string *raison = nullptr)
    {
        const jet::Traduction t = jet::traduitRequete(requete, schemaDe(db));
        if (raison)
            *raison = t.raison;
        if (!t.ok())
            return {};
        sqlite::Error e;
        EXPECT_TRUE(db.exec("DROP VIEW IF EXISTS v; CREATE VIEW v AS " + t.sql, e)) << e.message << "\n" << t.sql;
        return test::lignes(db, "SELECT * FROM v");
    }

    sqlite::Database db;
};

TEST_F(JetQuery, leftJoinWithAliasGroupingAndDescendingOrder)
{
    const Lignes l = execute(selection({
        L(5, "Clients", "C", ""), L(5, "Commandes", "", ""),
        L(6, "Client", "", "C.Nom"), L(6, "Total", "", "Sum([Commandes].[Montant])"),
        L(7, "C", "Commandes", "C.Id = Commandes.Client", 2),
        L(9, "", "", "C.Nom"), L(11, "D", "", "Sum(Commandes.Montant)")}));
    EXPECT_EQ(l, (Lignes{{"Ana", "170.0"}, {"Bo", "70.0"}, {"Cy", "NULL"}}));
    EXPECT_EQ(test::lignes(db, "SELECT name FROM pragma_table_info('v')"), (Lignes{{"Client"}, {"Total"}}));
}

TEST_F(JetQuery, threeTablesAreJoinedAsAccessDrawsThemWithAWhere)
{
    const Lignes l = execute(selection({
        L(5, "Lignes", "", ""), L(5, "Commandes", "", ""), L(5, "Clients", "", ""),
        L(6, "", "", "Clients.Nom"), L(6, "", "", "Lignes.Produit"), L(6, "", "", "[Qte]"),
        L(7, "Commandes", "Lignes", "Commandes.Num = Lignes.Commande", 1),
        L(7, "Clients", "Commandes", "Clients.Id = Commandes.Client", 1),
        L(8, "", "", "((Lignes.Qte)>=2) AND Clients.Ville Like \"l*\""), L(11, "", "", "Lignes.Qte")}));
    EXPECT_EQ(l, (Lignes{{"Ana", "pomme", "2"}, {"Ana", "pomme", "5"}}));
}

TEST_F(JetQuery, outputFieldsAreNamedAsJetNamesThem)
{
    // Fields sharing a name take their table's; expressions without a name are Expr1000, Expr1001.
    execute(selection({L(5, "Clients", "A", ""), L(5, "Clients", "B", ""), L(6, "", "", "A.Nom"),
                       L(6, "", "", "B.Nom"), L(6, "", "", "[A].[Ville]"), L(6, "", "", "A.Id + 1"),
                       L(6, "", "", "B.Id & \"\""), L(7, "A", "B", "A.Id = B.Id", 1)}));
    EXPECT_EQ(test::lignes(db, "SELECT name FROM pragma_table_info('v')"),
              (Lignes{{"A.Nom"}, {"B.Nom"}, {"Ville"}, {"Expr1000"}, {"Expr1001"}}));
    // * is written out with the fields' own names.
    execute(selection({L(5, "Lignes", "", "")}, 0x01));
    EXPECT_EQ(test::lignes(db, "SELECT name FROM pragma_table_info('v')"), (Lignes{{"Commande"}, {"Produit"}, {"Qte"}}));
}

TEST_F(JetQuery, topKeepsTheRowsTiedWithTheLastOne)
{
    const auto top = [&](const std::string &n, bool trie) {
        std::vector<LigneRequete> corps{L(5, "Lignes", "", ""), L(6, "", "", "Lignes.Qte")};
        if (trie)
            corps.push_back(L(11, "D", "", "Lignes.Qte"));
        return execute(selection(corps, 0x10, n)).size();
    };
    EXPECT_EQ(top("3", true), 4u); // 5, 2, 1 and the other 1
    EXPECT_EQ(top("2", true), 2u);
    EXPECT_EQ(top("2", false), 2u);
    std::string raison;
    execute(selection({L(5, "Lignes", "", ""), L(6, "", "", "Lignes.Qte")}, 0x30, "10"), &raison);
    EXPECT_NE(raison.find("PERCENT"), std::string::npos);
}

TEST_F(JetQuery, distinctRowDropsRepeatedRecordsOnly)
{
    const auto requete = [](std::vector<LigneRequete> colonnes) {
        colonnes.insert(colonnes.end(), {L(5, "Clients", "", ""), L(5, "Commandes", "", ""),
                                         L(7, "Clients", "Commandes", "Clients.Id = Commandes.Client", 1)});
        return selection(colonnes, 0x08);
    };
    // Clients is looked up by its key: no order repeats, equal amounts stay.
    EXPECT_EQ(execute(requete({L(6, "", "", "Commandes.Montant"), L(11, "", "", "Commandes.Montant")})),
              (Lignes{{"70.0"}, {"70.0"}, {"100.0"}}));
    // Only Clients gives fields, with its key: each client with orders once.
    EXPECT_EQ(execute(requete({L(6, "", "", "Clients.Id"), L(6, "", "", "[Nom]"), L(11, "", "", "[Nom]")})),
              (Lignes{{"1", "Ana"}, {"2", "Bo"}}));
    // Without the key the records cannot be told apart.
    std::string raison;
    execute(requete({L(6, "", "", "Clients.Ville")}), &raison);
    EXPECT_NE(raison.find("DISTINCTROW"), std::string::npos) << raison;
}

TEST_F(JetQuery, unionPartsKeepTheirSqlAndTheFlagChoosesUnionOrUnionAll)
{
    const auto requete = [](int drapeaux) {
        return std::vector<LigneRequete>{L(1, "", "", "", 9), L(3, "", "", "", drapeaux),
                                         L(5, "", "X7YZ_____2", "SELECT [Ville] FROM [Clients] WHERE Id = 1;\r\n"),
                                         L(5, "", "X7YZ_____1", "SELECT Ville FROM Clients"),
                                         L(11, "", "", "Ville")};
    };
    EXPECT_EQ(execute(requete(3)), (Lignes{{"Lyon"}, {"Paris"}}));
    EXPECT_EQ(execute(requete(1)), (Lignes{{"Lyon"}, {"Lyon"}, {"Lyon"}, {"Paris"}}));
}

TEST_F(JetQuery, queriesThatCannotBeViewsAreReported)
{
    const auto raison = [&](std::vector<LigneRequete> l) {
        std::string r;
        execute(l, &r);
        return r;
    };
    EXPECT_NE(raison({L(1, "", "", "", 6)}).find("crosstab"), std::string::npos);
    EXPECT_NE(raison({L(1, "", "", "", 2)}).find("make-table"), std::string::npos);
    EXPECT_NE(raison({L(1, "", "", "", 4)}).find("update"), std::string::npos);
    EXPECT_NE(raison(selection({L(2, "Quand", "", "", 8), L(5, "Clients", "", ""), L(6, "", "", "[Quand]")}))
                  .find("parameters: Quand"),
              std::string::npos);
    EXPECT_NE(raison(selection({L(4, "C:\\autre.mdb", "", ""), L(5, "Clients", "", ""), L(6, "", "", "Nom")}))
                  .find("another database"),
              std::string::npos);
    EXPECT_NE(raison(selection({L(5, "Clients", "", ""), L(6, "", "", "Forms!F!C")})).find("form"), std::string::npos);
}

TEST_F(JetQuery, textSelectsWithNestedJoinsAndSubqueries)
{
    const jet::Traduction t = jet::traduitSelect(
        "SELECT DISTINCT C.Nom, (SELECT Count(*) FROM Lignes) AS N FROM (Clients AS C INNER JOIN Commandes "
        "ON C.Id = Commandes.Client) LEFT OUTER JOIN Lignes ON Commandes.Num = Lignes.Commande "
        "WHERE Commandes.Montant > (SELECT Avg(Montant) FROM Commandes) ORDER BY C.Nom DESC;",
        schemaDe(db));
    ASSERT_TRUE(t.ok()) << t.raison;
    EXPECT_EQ(test::lignes(db, t.sql), (Lignes{{"Bo", "4"}, {"Ana", "4"}}));
}

// The common names of a language are a saved query of the knowledge base; Access adds DISTINCTROW.
TEST(JetKnowledgeBase, aVernaculaireQueryBecomesTheViewTheLoaderReads)
{
    test::TempDir dir;
    tools::KbBuilder kb(dir.dossier());
    kb.espece("Fagus sylvatica", "FAGACEAE", "FAGSY").espece("Quercus robur", "FAGACEAE", "QUERO");
    kb.objet({.objet = "FEUILLE", .etats = {"AIG", "LARGE"}});
    kb.langue("English", {{"Beech", "Fagus sylvatica"}, {"Oak", "Quercus robur"}, {"Common oak", "Quercus robur"}});
    kb.sqlApres("DROP VIEW \"Vernaculaire_English\"");
    const std::string base = kb.ecrit();
    {
        sqlite::Database db;
        sqlite::Error e;
        ASSERT_TRUE(db.openReadWrite(base, e));
        const jet::Traduction t = jet::traduitRequete(
            selection({L(5, "Flore", "", ""), L(5, "Noms_Communs", "", ""), L(6, "", "", "Noms_Communs.Nom"),
                       L(6, "", "", "Flore.Code"), L(6, "", "", "Flore.Espece"), L(6, "", "", "Flore.Famille"),
                       L(7, "Flore", "Noms_Communs", "Flore.Espece = Noms_Communs.Espece", 1),
                       L(8, "", "", "(((Noms_Communs.Langue)=\"English\"))"), L(11, "", "", "Noms_Communs.Numero")},
                      0x08),
            schemaDe(db));
        ASSERT_TRUE(t.ok()) << t.raison;
        ASSERT_TRUE(db.exec("CREATE VIEW \"Vernaculaire_English\" AS " + t.sql, e)) << e.message;
    }
    Tables tables;
    ErreurBase erreur;
    ASSERT_TRUE(Charge_Tables(base, tables, erreur)) << erreur.message;
    const auto &vue = tables.Vernaculaire.at("Vernaculaire_English");
    ASSERT_EQ(vue.size(), 3u);
    EXPECT_EQ(vue[0].Nom, "Beech");
    EXPECT_EQ(vue[1].Code, "QUERO");
    EXPECT_EQ(vue[2].Nom, "Common oak");
    EXPECT_EQ(vue[2].Espece, "Quercus robur");
    EXPECT_EQ(vue[2].Famille, "FAGACEAE");
}

// Access names indexes after their field, so several tables often have an index ID_CARAC or
// Numero; SQLite wants one name per database.
TEST(JetKnowledgeBase, theLoadersIndexesKeepTheirNamesWhenOthersShareThem)
{
    const std::vector<std::string> noms = jet::nomsIndex(
        {{"Descendance", "ID_CARAC"}, {"Caracteres", "ID_CARAC"}, {"Objets_Fic", "Numero"}, {"Hierarchie", "Numero"},
         {"Clic_Zone", "Numero"}, {"Noms_Communs", "Langue"}, {"Communs_Langues", "Langue"}, {"Objets_Fic", "Objet"},
         {"Contradictions", "Flore"}, {"Hierarchie", "Hierarchie_Numero"}},
        {"flore", "caracteres", "vernaculaire_english"});
    EXPECT_EQ(noms, (std::vector<std::string>{"Descendance_ID_CARAC", "ID_CARAC", "Numero", "Hierarchie_Numero",
                                              "Clic_Zone_Numero", "Noms_Communs_Langue", "Langue", "Objet",
                                              "Contradictions_Flore", "Hierarchie_Hierarchie_Numero"}));
}

} // namespace
