// The two public Access samples converted: a Jet 3 file with non-ASCII names and many saved
// queries, a Jet 4 file with dates. mdbtools' own commands are the reference for what the files hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "jet_support.h"
#include "knowledge/jet/jet_import.h"
#include "knowledge/tables.h"
#include "knowledge/text.h"
#include "support/temp_dir.h"

using namespace tarvenko;
using Lignes = std::vector<std::vector<std::string>>;

namespace {

std::string contenu(const std::string &chemin)
{
    std::ifstream in(chemin, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> lignesDe(const std::string &texte)
{
    std::vector<std::string> out;
    std::istringstream in(texte);
    for (std::string l; std::getline(in, l);)
        if (!l.empty())
            out.push_back(l);
    return out;
}

// Names of the sample's indexed text columns in the order its indexes keep them, which is
// Access's: accented letters sort with their base letter ("Bólido" before "Bon app'"), where a
// byte order puts them after z. Each row's names are consecutive in their index or nearly.
struct OrdreAccess {
    const char *table, *index, *champ, *cle;
    std::vector<std::string> noms;
    bool commeLesOctets; // whether an order of bytes, case aside, gives the same
};
const OrdreAccess kOrdresAccess[] = {
    {"Customers", "CompanyName", "CompanyName", "CustomerID",
     {"B's Beverages", "Berglunds snabbköp", "Blondel père et fils", "Bólido Comidas preparadas", "Bon app'",
      "Bottom-Dollar Markets", "Cactus Comidas para llevar"}, false},
    {"Customers", "CompanyName", "CompanyName", "CustomerID", {"Maison Dewey", "Mère Paillarde", "Morgenstern Gesundkost"}, false},
    {"Customers", "CompanyName", "CompanyName", "CustomerID",
     {"Santé Gourmet", "Save-a-lot Markets", "Seven Seas Imports", "Spécialités du monde", "Split Rail Beer & Ale",
      "Suprêmes délices"}, false},
    {"Customers", "CompanyName", "CompanyName", "CustomerID",
     {"GROSELLA-Restaurante", "Hanari Carnes", "HILARIÓN-Abastos", "Hungry Coyote Import Store", "Hungry Owl All-Night Grocers"},
     true},
    {"Products", "ProductName", "ProductName", "ProductID", {"Outback Lager", "Pâté chinois", "Pavlova", "Perth Pasties"}, false},
    {"Products", "ProductName", "ProductName", "ProductID",
     {"Rhönbräu Klosterbier", "Röd Kaviar", "Rössle Sauerkraut", "Røgede sild", "Sasquatch Ale"}, true},
    {"Products", "ProductName", "ProductName", "ProductID",
     {"Chef Anton's Cajun Seasoning", "Chef Anton's Gumbo Mix", "Chocolade", "Côte de Blaye"}, true},
    {"Suppliers", "CompanyName", "CompanyName", "SupplierID",
     {"Forêts d'érables", "Formaggi Fortini s.r.l.", "G'day, Mate", "Gai pâturage"}, false},
    {"Suppliers", "CompanyName", "CompanyName", "SupplierID",
     {"Nord-Ost-Fisch Handelsgesellschaft mbH", "Norske Meierier"}, true},
};

// The names of `ordre` that `attendu` lists, in the order of `ordre`.
std::vector<std::string> parmi(const std::vector<std::string> &ordre, const std::vector<std::string> &attendu)
{
    std::vector<std::string> out;
    for (const std::string &n : ordre) {
        if (std::find(attendu.begin(), attendu.end(), n) != attendu.end())
            out.push_back(n);
    }
    return out;
}

// Field `champ` of every row of a Jet table, in the order of its index `index`.
std::vector<std::string> ordreJet(const std::string &table, const std::string &index, const std::string &champ)
{
    jet::LecteurJet jet;
    std::string erreur;
    jet::TableJet def;
    EXPECT_TRUE(jet.ouvre(test::echantillon("nwind-jet3.mdb"), erreur) && jet.litTable(table, def, erreur)) << erreur;
    std::size_t colonne = 0;
    while (colonne < def.colonnes.size() && def.colonnes[colonne].nom != champ)
        ++colonne;
    std::vector<std::string> valeurs;
    EXPECT_TRUE(jet.parcourt(table, [&](const std::vector<jet::ValeurJet> &v) {
        const auto *texte = colonne < v.size() ? std::get_if<std::string>(&v[colonne]) : nullptr;
        const auto *nombre = colonne < v.size() ? std::get_if<std::int64_t>(&v[colonne]) : nullptr;
        valeurs.push_back(texte ? *texte : nombre ? std::to_string(*nombre) : "?");
        return true;
    }, erreur)) << erreur;
    std::vector<std::size_t> rangs;
    EXPECT_TRUE(jet.ordreIndex(table, index, rangs, erreur)) << table << "." << index << ": " << erreur;
    std::vector<std::string> ordre(valeurs.size());
    for (std::size_t i = 0; i < rangs.size() && i < valeurs.size(); ++i)
        ordre.at(rangs[i]) = valeurs[i];
    return ordre;
}

class JetSamples : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!std::filesystem::exists(test::echantillon("nwind-jet3.mdb")) || !jet::LecteurJet::disponible())
            return;
        dossier = std::make_unique<test::TempDir>();
        for (const char *nom : {"nwind-jet3", "dates-jet4"}) {
            jet::Bilan bilan;
            std::string erreur;
            const bool ok = jet::convertit(test::echantillon(std::string(nom) + ".mdb"), dossier->fichier(std::string(nom) + ".db"),
                                           bilan, erreur);
            ASSERT_TRUE(ok) << erreur;
            bilans[nom] = bilan;
        }
    }
    static void TearDownTestSuite() { dossier.reset(); }

    void SetUp() override
    {
        EXIGE_ECHANTILLONS();
        sqlite::Error e;
        ASSERT_TRUE(nwind.openReadOnly(dossier->fichier("nwind-jet3.db"), e)) << e.message;
        ASSERT_TRUE(dates.openReadOnly(dossier->fichier("dates-jet4.db"), e)) << e.message;
    }

    // The view and the query give the same rows, in any order.
    void memesLignes(const std::string &vue, const std::string &attendu)
    {
        Lignes a = test::lignes(nwind, "SELECT * FROM \"" + vue + "\"");
        Lignes b = test::lignes(nwind, attendu);
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        EXPECT_FALSE(a.empty()) << vue;
        EXPECT_EQ(a, b) << vue;
    }

    static inline std::unique_ptr<test::TempDir> dossier;
    static inline std::map<std::string, jet::Bilan> bilans;
    sqlite::Database nwind, dates;
};

TEST_F(JetSamples, tablesAndRowCountsAreThoseMdbtoolsReports)
{
    if (test::lance("command -v mdb-tables && command -v mdb-count").code != 0)
        GTEST_SKIP() << "mdbtools' commands (Debian package mdbtools) are not installed";
    for (const auto &[nom, db] : {std::pair<std::string, const sqlite::Database *>{"nwind-jet3", &nwind}, {"dates-jet4", &dates}}) {
        const std::string fichier = test::cite(test::echantillon(nom + ".mdb"));
        const std::vector<std::string> tables = lignesDe(test::lance("mdb-tables -1 " + fichier).sortie);
        ASSERT_FALSE(tables.empty());
        std::vector<std::string> converties;
        // Beside them, the conversion's own table of Access's text orders.
        for (const auto &l : test::lignes(*db, "SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                               "name <> 'Ordre_Access' ORDER BY rowid"))
            converties.push_back(l.front());
        EXPECT_EQ(converties, tables) << nom;
        for (const std::string &table : tables) {
            const std::string compte = lignesDe(test::lance("mdb-count " + fichier + " " + test::cite(table)).sortie).at(0);
            EXPECT_EQ(test::valeur(*db, "SELECT count(*) FROM \"" + table + "\""), compte) << nom << " " << table;
        }
    }
    EXPECT_EQ(bilans["nwind-jet3"].lignes(), 4032u);
}

TEST_F(JetSamples, valuesKeepTheirTypesAndTheirText)
{
    EXPECT_EQ(test::valeur(nwind, "SELECT CompanyName FROM Customers WHERE CustomerID = 'ALFKI'"), "Alfreds Futterkiste");
    // Jet 3 text comes from code page 1252.
    EXPECT_EQ(test::valeur(nwind, "SELECT CompanyName FROM Customers WHERE CustomerID = 'KOENE'"), "Königlich Essen");
    EXPECT_EQ(test::valeur(nwind, "SELECT count(*) FROM \"Umsätze\""), "830");
    EXPECT_EQ(test::lignes(nwind, "SELECT UnitPrice, typeof(UnitPrice), Quantity, typeof(Quantity), round(Discount, 6) "
                                  "FROM \"Order Details\" WHERE OrderID = 10250 AND ProductID = 51"),
              (Lignes{{"42.4", "real", "35", "integer", "0.15"}}));
    EXPECT_EQ(test::valeur(nwind, "SELECT OrderDate FROM Orders WHERE OrderID = 10248"), "1994-08-04 00:00:00");
    // Memo and OLE fields, whole.
    EXPECT_EQ(test::lignes(nwind, "SELECT length(Notes), typeof(Photo), length(Photo) FROM Employees WHERE EmployeeID = 1"),
              (Lignes{{"175", "blob", "21626"}}));
    EXPECT_EQ(test::valeur(nwind, "SELECT count(*) FROM Orders WHERE ShippedDate IS NULL"), "21");
    EXPECT_EQ(test::valeur(nwind, "SELECT count(*) FROM Customers WHERE Region IS NULL"), "60");
}

TEST_F(JetSamples, yesNoFieldsAreMinusOneOrZeroAsTheLoaderReadsThem)
{
    EXPECT_EQ(test::lignes(nwind, "SELECT Discontinued, typeof(Discontinued), count(*) FROM Products GROUP BY 1"),
              (Lignes{{"-1", "integer", "8"}, {"0", "integer", "69"}}));
}

TEST_F(JetSamples, datesOfTheJet4SampleAreText)
{
    EXPECT_EQ(test::lignes(dates, "SELECT IDCol, DateTimeCol, DateCol, TimeCol FROM DateTest ORDER BY IDCol LIMIT 4"),
              (Lignes{{"1", "2021-12-02 00:00:00", "2021-12-02 00:00:00", "2021-12-02 00:00:00"},
                      {"2", "9999-01-01 00:00:00", "9999-01-01 00:00:00", "9999-01-01 00:00:00"},
                      {"3", "1898-01-01 00:00:00", "1899-01-01 00:00:00", "1900-01-01 00:00:00"},
                      {"4", "0632-01-01 00:00:00", "0633-01-01 00:00:00", "0634-01-01 00:00:00"}}));
    EXPECT_EQ(test::valeur(dates, "SELECT LongTextCol FROM DateTest WHERE IDCol = 6"), "New line\r\nin field");
    EXPECT_EQ(test::valeur(dates, "SELECT sql FROM sqlite_master WHERE name = 'DateTest'"),
              "CREATE TABLE \"DateTest\" (\"IDCol\" INTEGER, \"DateTimeCol\" TEXT, \"DateCol\" TEXT, \"TimeCol\" TEXT, "
              "\"LongTextCol\" TEXT COLLATE NOCASE, \"ShortTextCol\" TEXT COLLATE NOCASE)");
}

TEST_F(JetSamples, primaryKeysAndIndexesKeepTheirJetNames)
{
    for (const auto &l : test::lignes(nwind, "SELECT sql FROM sqlite_master WHERE type = 'table' AND name <> 'Ordre_Access'"))
        EXPECT_NE(l.front().find("CONSTRAINT \"PrimaryKey\" PRIMARY KEY"), std::string::npos) << l.front();
    EXPECT_EQ(test::lignes(nwind, "SELECT name FROM pragma_table_info('Order Details') WHERE pk > 0 ORDER BY pk"),
              (Lignes{{"OrderID"}, {"ProductID"}}));
    const Lignes index = test::lignes(nwind, "SELECT tbl_name, name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL "
                                             "AND tbl_name IN ('Products', 'Categories', 'Employees') ORDER BY 1, 2");
    EXPECT_EQ(index, (Lignes{{"Categories", "CategoryName"}, {"Employees", "Employees_PostalCode"}, {"Employees", "LastName"},
                            {"Products", "CategoryID"}, {"Products", "ProductName"}, {"Products", "SupplierID"}}));
    EXPECT_EQ(test::valeur(nwind, "SELECT \"unique\" FROM pragma_index_list('Categories') WHERE name = 'CategoryName'"), "1");
    EXPECT_EQ(test::valeur(nwind, "SELECT group_concat(name) FROM pragma_index_info('Customers_PostalCode')"), "NULL");
    EXPECT_EQ(test::valeur(nwind, "SELECT group_concat(name) FROM pragma_index_info('PostalCode')"), "PostalCode");
    EXPECT_EQ(bilans["nwind-jet3"].nombreIndex(), 24u);
}

TEST_F(JetSamples, jetIndexesGiveTheOrderAccessKeepsForAccentsHyphensAndApostrophes)
{
    for (const OrdreAccess &o : kOrdresAccess) {
        EXPECT_EQ(std::is_sorted(o.noms.begin(), o.noms.end(),
                                 [](const std::string &a, const std::string &b) { return compareCles(a, b) < 0; }),
                  o.commeLesOctets)
            << o.noms.front();
        EXPECT_EQ(parmi(ordreJet(o.table, o.index, o.champ), o.noms), o.noms) << o.table << "." << o.index;
    }
    // Plain codes, numbers and dates in their own order; the orders' indexes span many pages,
    // their entries sharing prefixes.
    const std::vector<std::string> codes = ordreJet("Customers", "PrimaryKey", "CustomerID");
    ASSERT_EQ(codes.size(), 91u);
    EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end()));
    const std::vector<std::string> commandes = ordreJet("Orders", "PrimaryKey", "OrderID");
    ASSERT_EQ(commandes.size(), 830u);
    EXPECT_TRUE(std::is_sorted(commandes.begin(), commandes.end(),
                               [](const std::string &a, const std::string &b) { return std::stoll(a) < std::stoll(b); }));
    const std::vector<std::string> jours = ordreJet("Orders", "OrderDate", "OrderDate");
    ASSERT_EQ(jours.size(), 830u);
    EXPECT_TRUE(std::is_sorted(jours.begin(), jours.end()));
    EXPECT_NE(jours.front(), jours.back());
}

TEST_F(JetSamples, convertedTablesListTheOrderOfTheirAccessTextIndexes)
{
    for (const OrdreAccess &o : kOrdresAccess) {
        const std::string sql = std::string("SELECT t.\"") + o.champ + "\" FROM Ordre_Access o JOIN \"" + o.table +
                                "\" t ON t.\"" + o.cle + "\" = o.Cle WHERE o.Nom_Table = '" + o.table +
                                "' AND o.Nom_Index = '" + o.index + "' AND o.Cle_Primaire = 0 ORDER BY o.Rang";
        std::vector<std::string> ordre;
        for (const auto &l : test::lignes(nwind, sql))
            ordre.push_back(l.front());
        EXPECT_EQ(ordre, ordreJet(o.table, o.index, o.champ)) << o.table << "." << o.index;
        EXPECT_EQ(parmi(ordre, o.noms), o.noms) << o.table << "." << o.index;
    }
    // A primary key on text lists itself; one on numbers needs nothing, SQLite sorts them alike.
    Lignes codes = test::lignes(nwind, "SELECT Cle FROM Ordre_Access WHERE Nom_Table = 'Customers' AND "
                                       "Nom_Index = 'PrimaryKey' AND Cle_Primaire <> 0 ORDER BY Rang");
    EXPECT_EQ(codes, test::lignes(nwind, "SELECT CustomerID FROM Customers ORDER BY CustomerID"));
    EXPECT_EQ(test::valeur(nwind, "SELECT count(*) FROM Ordre_Access WHERE Nom_Table = 'Products' AND Cle_Primaire <> 0"), "0");
    EXPECT_EQ(test::valeur(nwind, "SELECT count(*) FROM Ordre_Access WHERE Nom_Table = 'Orders' AND Nom_Index = 'CustomerID'"),
              "830");
}

TEST_F(JetSamples, indexPagesThatCannotBeReadLeaveTheOrderUnlistedAndAreReported)
{
    // A copy whose index leaves are no longer marked as such (Jet 3 pages are 2048 bytes).
    test::TempDir ici;
    std::string octets = contenu(test::echantillon("nwind-jet3.mdb"));
    for (std::size_t page = 2048; page < octets.size(); page += 2048) {
        if (octets[page] == '\x04')
            octets[page] = '\x7e';
    }
    std::ofstream(ici.fichier("abime.mdb"), std::ios::binary) << octets;
    jet::Bilan bilan;
    std::string erreur;
    ASSERT_TRUE(jet::convertit(ici.fichier("abime.mdb"), ici.fichier("abime.db"), bilan, erreur)) << erreur;
    EXPECT_EQ(bilan.lignes(), 4032u);
    EXPECT_EQ(bilan.ordres, 0u);
    const auto omission = std::find_if(bilan.omissions.begin(), bilan.omissions.end(), [](const jet::Omission &o) {
        return o.quoi == "the order of the primary key of \"Customers\"";
    });
    ASSERT_NE(omission, bilan.omissions.end());
    EXPECT_NE(omission->raison.find("not an index page"), std::string::npos) << omission->raison;
    sqlite::Database db;
    sqlite::Error e;
    ASSERT_TRUE(db.openReadOnly(ici.fichier("abime.db"), e)) << e.message;
    EXPECT_EQ(test::valeur(db, "SELECT count(*) FROM Ordre_Access"), "0");
}

TEST_F(JetSamples, selectQueriesBecomeViewsAndTheOthersAreReported)
{
    const jet::Bilan &b = bilans["nwind-jet3"];
    const std::set<std::string> vues(b.vues.begin(), b.vues.end());
    EXPECT_EQ(vues, (std::set<std::string>{
                        "Alphabetical List of Products", "Catalog", "Category Sales for 1995", "Current Product List",
                        "Customers and Suppliers by City", "Invoices", "Order Details Extended", "Order Subtotals",
                        "Orders Qry", "Product Sales for 1995", "Products Above Average Price", "Products by Category",
                        "Quarterly Orders", "Sales by Category", "Sales Totals by Amount", "Summary of Sales by Quarter",
                        "Summary of Sales by Year", "Ten Most Expensive Products"}));
    std::map<std::string, std::string> refus;
    for (const jet::Omission &o : b.omissions)
        refus[o.quoi] = o.raison;
    ASSERT_EQ(refus.size(), 4u);
    EXPECT_NE(refus["query \"Employee Sales by Country\""].find("parameters: Beginning Date, Ending Date"), std::string::npos);
    EXPECT_NE(refus["query \"Invoices Filter\""].find("form"), std::string::npos);
    EXPECT_NE(refus["query \"Quarterly Orders by Product\""].find("crosstab"), std::string::npos);
    EXPECT_NE(refus["query \"Sales by Year\""].find("parameters"), std::string::npos);
}

TEST_F(JetSamples, translatedQueriesGiveTheRowsTheirDefinitionsDescribe)
{
    EXPECT_EQ(test::lignes(nwind, "SELECT * FROM \"Current Product List\""),
              test::lignes(nwind, "SELECT ProductID, ProductName FROM Products WHERE Discontinued = 0 ORDER BY ProductName"));
    EXPECT_EQ(test::lignes(nwind, "SELECT * FROM \"Order Subtotals\" WHERE OrderID IN (10248, 10249) ORDER BY 1"),
              (Lignes{{"10248", "440.0"}, {"10249", "1863.4"}}));
    EXPECT_EQ(test::valeur(nwind, "SELECT count(*) FROM \"Order Subtotals\""), "830");
    // TOP 10 of the prices, the first one with a non-ASCII name.
    const Lignes top = test::lignes(nwind, "SELECT * FROM \"Ten Most Expensive Products\"");
    ASSERT_EQ(top.size(), 10u);
    EXPECT_EQ(top.front(), (std::vector<std::string>{"Côte de Blaye", "263.5"}));
    memesLignes("Ten Most Expensive Products", "SELECT ProductName, UnitPrice FROM Products WHERE UnitPrice >= "
                                               "(SELECT UnitPrice FROM Products ORDER BY UnitPrice DESC LIMIT 1 OFFSET 9)");
    // Customers with an order in 1995, each once (DISTINCTROW over a right join).
    memesLignes("Quarterly Orders", "SELECT CustomerID, CompanyName, City, Country FROM Customers WHERE CustomerID IN "
                                    "(SELECT CustomerID FROM Orders WHERE OrderDate >= '1995-01-01' AND OrderDate < '1996')");
    memesLignes("Products Above Average Price",
                "SELECT ProductName, UnitPrice FROM Products WHERE UnitPrice > (SELECT avg(UnitPrice) FROM Products)");
    EXPECT_EQ(test::valeur(nwind, "SELECT count(*) FROM \"Customers and Suppliers by City\""), "120");
    EXPECT_EQ(test::lignes(nwind, "SELECT Salesperson, \"Customers.CompanyName\", \"Shippers.CompanyName\" FROM Invoices "
                                  "WHERE OrderID = 10248 LIMIT 1"),
              (Lignes{{"Steven Buchanan", "Vins et alcools Chevalier", "Federal Shipping"}}));
    EXPECT_EQ(test::valeur(nwind, "SELECT count(*) FROM Invoices"),
              test::valeur(nwind, "SELECT count(*) FROM \"Order Details\" d JOIN Orders o USING (OrderID) "
                                  "JOIN Customers USING (CustomerID) JOIN Employees USING (EmployeeID) "
                                  "JOIN Shippers s ON s.ShipperID = o.ShipVia JOIN Products USING (ProductID)"));
    // Two levels of queries: sales of 1995 by category.
    memesLignes("Category Sales for 1995",
                "SELECT c.CategoryName, sum(e.ExtendedPrice) FROM \"Order Details Extended\" e JOIN Orders o USING (OrderID) "
                "JOIN Products p USING (ProductID) JOIN Categories c USING (CategoryID) "
                "WHERE o.ShippedDate BETWEEN '1995-01-01' AND '1995-12-31 00:00:00' GROUP BY c.CategoryName");
}

TEST_F(JetSamples, convertedSamplesLoadAsKnowledgeBases)
{
    for (const char *nom : {"nwind-jet3.db", "dates-jet4.db"}) {
        Tables tables;
        ErreurBase erreur;
        EXPECT_TRUE(Charge_Tables(dossier->fichier(nom), tables, erreur)) << nom << ": " << erreur.message;
        EXPECT_FALSE(tables.Flore.present);
    }
}

TEST_F(JetSamples, convertingTwiceGivesTheSameFileAndLeavesTheAccessFileAlone)
{
    test::TempDir ici;
    const std::string copie = ici.fichier("copie.mdb");
    std::filesystem::copy_file(test::echantillon("nwind-jet3.mdb"), copie);
    const std::string avant = contenu(copie);
    const auto date = std::filesystem::last_write_time(copie);
    jet::Bilan bilan;
    std::string erreur;
    ASSERT_TRUE(jet::convertit(copie, ici.fichier("encore.db"), bilan, erreur)) << erreur;
    EXPECT_EQ(contenu(ici.fichier("encore.db")), contenu(dossier->fichier("nwind-jet3.db")));
    EXPECT_EQ(contenu(copie), avant);
    EXPECT_EQ(std::filesystem::last_write_time(copie), date);
}

TEST_F(JetSamples, onlyJetFilesAreConvertedAndNothingIsOverwritten)
{
    test::TempDir ici;
    std::ofstream(ici.fichier("texte.mdb")) << "Standard Jet DB, or so it says";
    jet::Bilan bilan;
    std::string erreur;
    EXPECT_FALSE(jet::convertit(ici.fichier("texte.mdb"), ici.fichier("sortie.db"), bilan, erreur));
    EXPECT_NE(erreur.find("is not an Access (Jet) database"), std::string::npos) << erreur;
    EXPECT_FALSE(std::filesystem::exists(ici.fichier("sortie.db")));
    // An SQLite file is not a Jet file either.
    EXPECT_FALSE(jet::convertit(dossier->fichier("dates-jet4.db"), ici.fichier("sortie.db"), bilan, erreur));
    std::ofstream(ici.fichier("la.db")) << "already here";
    EXPECT_FALSE(jet::convertit(test::echantillon("dates-jet4.mdb"), ici.fichier("la.db"), bilan, erreur));
    EXPECT_NE(erreur.find("already exists"), std::string::npos) << erreur;
    EXPECT_EQ(contenu(ici.fichier("la.db")), "already here");
}

} // namespace
