#include <gtest/gtest.h>

#include <fstream>

#include "knowledge/loader.h"
#include "knowledge/tables.h"
#include "support/temp_dir.h"
#include "tools/kbbuilder/kb_builder.h"

using namespace tarvenko;
using tarvenko::tools::KbBuilder;

namespace {

KbBuilder smallKey(const test::TempDir &dir)
{
    KbBuilder kb(dir.dossier());
    kb.espece("Quercus robur", "FAGACEAE", "QUERO").espece("acer campestre", "SAPINDACEAE", "ACECA");
    kb.objet({.objet = "FEUILLE", .etats = {"F1", "F2"}});
    return kb;
}

} // namespace

TEST(Tables, speciesAreOrderedByNameWhateverTheCaseOrInsertionOrder)
{
    test::TempDir dir;
    KbBuilder kb = smallKey(dir);
    kb.espece("Betula pendula", "BETULACEAE", "BETPE");
    Tables t;
    ErreurBase error;
    ASSERT_TRUE(Charge_Tables(kb.ecrit(), t, error));
    ASSERT_EQ(t.Flore.size(), 3u);
    EXPECT_EQ(t.Flore.rows[0].Espece, "acer campestre");
    EXPECT_EQ(t.Flore.rows[1].Espece, "Betula pendula");
    EXPECT_EQ(t.Flore.rows[2].Espece, "Quercus robur");
    ASSERT_NE(t.espece("QUERCUS ROBUR"), nullptr); // seeks ignore case, like the indexes
    EXPECT_EQ(t.espece("Quercus petraea"), nullptr);
}

TEST(Tables, speciesOfAConvertedAccessKeyKeepTheOrderAccessGaveThem)
{
    // Access sorts accented letters with their base letter, where a byte order puts them after z;
    // the conversion of an Access key lists that order in Ordre_Access.
    test::TempDir dir;
    KbBuilder kb(dir.dossier());
    for (const char *nom : {"If commun", "Érable champêtre", "Aulne glutineux", "Erable plane", "Aubépine", "Zelkova"})
        kb.espece(nom, "F", std::string(nom).substr(0, 5));
    kb.sqlApres("CREATE TABLE Ordre_Access (Nom_Table TEXT, Nom_Index TEXT, Cle_Primaire INTEGER, Rang INTEGER, Cle)");
    kb.sqlApres("INSERT INTO Ordre_Access VALUES ('Flore', 'PrimaryKey', -1, 0, 'Aubépine'), "
                "('flore', 'PrimaryKey', -1, 1, 'Aulne glutineux'), ('Flore', 'PrimaryKey', -1, 3, 'Erable plane'), "
                "('Flore', 'PrimaryKey', -1, 2, 'Érable champêtre'), ('Flore', 'PrimaryKey', -1, 4, 'If commun'), "
                "('Flore', 'Famille', 0, 0, 'If commun'), ('Objets_Fic', 'PrimaryKey', -1, 0, 'Zelkova')");
    Tables t;
    ErreurBase error;
    ASSERT_TRUE(Charge_Tables(kb.ecrit(), t, error));
    std::vector<std::string> noms;
    for (const FloreRow &row : t.Flore.rows)
        noms.push_back(row.Espece);
    // A row the order does not list (the file was changed since) comes after those it lists.
    EXPECT_EQ(noms, (std::vector<std::string>{"Aubépine", "Aulne glutineux", "Érable champêtre", "Erable plane", "If commun",
                                              "Zelkova"}));
    for (const char *nom : {"Aubépine", "Érable champêtre", "ERABLE PLANE", "zelkova"})
        EXPECT_NE(t.espece(nom), nullptr) << nom;
    EXPECT_EQ(t.espece("Erable"), nullptr);
}

TEST(Tables, secondaryIndexesKeepPrimaryKeyOrderWithinAKey)
{
    test::TempDir dir;
    KbBuilder kb = smallKey(dir);
    kb.objet({.objet = "ECORCE", .etats = {"E1"}});
    kb.objet({.objet = "FEUILLE", .contrainte = "E1", .ligneSupplementaire = true});
    Tables t;
    ErreurBase error;
    ASSERT_TRUE(Charge_Tables(kb.ecrit(), t, error));
    const auto rows = t.objets("feuille");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_LT(rows[0]->Numero, rows[1]->Numero);
    EXPECT_EQ(t.objet("FEUILLE"), rows[0]);
    ASSERT_NE(t.caractereParId("e1"), nullptr);
    EXPECT_EQ(t.caractereParId("e1")->NUM, 2);
}

TEST(Tables, missingTablesAndFieldsLeaveEmptyValues)
{
    test::TempDir dir;
    KbBuilder kb = smallKey(dir);
    kb.sansTable("Hierarchie").sansChamp("Objets_Fic", "Joker").sansChamp("Flore", "Famille");
    Tables t;
    ErreurBase error;
    ASSERT_TRUE(Charge_Tables(kb.ecrit(), t, error));
    EXPECT_FALSE(t.Hierarchie.present);
    EXPECT_TRUE(t.Objets_Fic.present);
    EXPECT_FALSE(t.Objets_Fic.hasField("Joker"));
    EXPECT_FALSE(t.Objets_Fic.rows[0].Joker.has_value());
    EXPECT_FALSE(t.Flore.rows[0].Famille.has_value());
    EXPECT_TRUE(t.Flore.rows[0].Code.has_value());
}

TEST(Tables, unreadableNumbersAreEmptyNotZero)
{
    test::TempDir dir;
    KbBuilder kb = smallKey(dir);
    kb.sqlApres("UPDATE Objets_Fic SET Lignes = 'two', Colonnes = 70000, Nb_Car = NULL, Cadre = 2.5");
    Tables t;
    ErreurBase error;
    ASSERT_TRUE(Charge_Tables(kb.ecrit(), t, error));
    const ObjetRow &row = t.Objets_Fic.rows[0];
    EXPECT_FALSE(row.Lignes.has_value());
    EXPECT_FALSE(row.Colonnes.has_value());
    EXPECT_FALSE(row.Nb_Car.has_value());
    EXPECT_EQ(row.Cadre, std::int16_t{2});
}

TEST(Tables, aFileThatIsNotADatabaseIsRefused)
{
    test::TempDir dir;
    Tables t;
    ErreurBase error;
    EXPECT_FALSE(Charge_Tables(dir.fichier("absent.db"), t, error));
    EXPECT_NE(error.numero, 0);

    std::ofstream(dir.fichier("text.db")) << "this is a text file, long enough to have a header of sorts......\n";
    ErreurBase notADatabase;
    EXPECT_FALSE(Charge_Tables(dir.fichier("text.db"), t, notADatabase));
    EXPECT_EQ(notADatabase.numero, 26); // SQLITE_NOTADB
    EXPECT_EQ(Message_Base_Inaccessible("/kb/x.db", 26), "/kb/x.db, Erreur N° 26");
    EXPECT_EQ(Message_Base_Inaccessible("/kb/x.db", -3), "/kb/x.db, Erreur N°-3");
}

TEST(Tables, commonNameQueriesAreReadPerLanguage)
{
    test::TempDir dir;
    KbBuilder kb = smallKey(dir);
    kb.langue("English", {{"Oak", "Quercus robur"}}).langue("Français", {{"Chêne", "Quercus robur"}, {"Érable", "acer campestre"}});
    Tables t;
    ErreurBase error;
    ASSERT_TRUE(Charge_Tables(kb.ecrit(), t, error));
    ASSERT_EQ(t.Vernaculaire.count("Vernaculaire_Français"), 1u);
    const auto &rows = t.Vernaculaire.at("Vernaculaire_Français");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].Nom, "Érable");
    EXPECT_EQ(rows[1].Code, "ACECA");
    EXPECT_EQ(rows[1].Famille, "SAPINDACEAE");
}
