#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "knowledge/loader.h"
#include "support/temp_dir.h"
#include "tools/kbbuilder/kb_builder.h"

using namespace tarvenko;
using tarvenko::tools::KbBuilder;

namespace {

// Three species, two characters; the matrix tells them apart.
KbBuilder threeSpecies(const test::TempDir &dir)
{
    KbBuilder kb(dir.dossier());
    kb.espece("Taxus baccata", "TAXACEAE", "TAXBA")
        .espece("Fagus sylvatica", "FAGACEAE", "FAGSY")
        .espece("Quercus robur", "FAGACEAE", "QUERO");
    kb.objet({.objet = "FEUILLE", .etats = {"AIG", "LARGE"}, .cadre = 0});
    kb.objet({.objet = "FRUIT", .etats = {"GLAND", "FAINE", "BAIE"}, .cadre = 1, .joker = false});
    kb.a("Taxus baccata", "AIG").a("Taxus baccata", "BAIE");
    kb.a("Fagus sylvatica", "LARGE").a("Fagus sylvatica", "FAINE");
    kb.a("Quercus robur", "LARGE").a("Quercus robur", "GLAND");
    kb.poids("LARGE", 5);
    return kb;
}

KeyModel load(KbBuilder &kb, ResultatChargement *result = nullptr)
{
    kb.ecrit();
    KeyModel m;
    m.Chemin_Data = kb.dossier();
    m.Chemin_Base = kb.dossier() + KbBuilder::kNomBase;
    const ResultatChargement r = Charge_Connaissances(m);
    if (result)
        *result = r;
    return m;
}

} // namespace

TEST(Loader, parametersTakeTheLeadingNumberRoundedHalfToEven)
{
    test::TempDir dir;
    KbBuilder kb = threeSpecies(dir);
    kb.parametre("Nb_Couleurs", "2.5").parametre("Nb_Cadre", "3.5").parametre("Nb_Robot", "12abc")
        .parametre("Nb_But_Car", "abc");
    const KeyModel m = load(kb);
    EXPECT_EQ(m.Nb_Couleurs, 2);
    EXPECT_EQ(m.Nb_Cadre, 4);
    EXPECT_EQ(m.Nb_Robot, 12);
    EXPECT_EQ(m.Nb_But_Car, 0);
    EXPECT_EQ(m.Nb_Esp, 3);
    EXPECT_EQ(m.Nb_Etats_Desc, 5);
}

TEST(Loader, missingParametersKeepTheirDefaults)
{
    test::TempDir dir;
    KbBuilder kb = threeSpecies(dir);
    kb.sansParametre("Version_Database").sansParametre("Nb_Robot");
    const KeyModel m = load(kb);
    EXPECT_EQ(m.Version_Database, 300);
    EXPECT_EQ(m.Nb_Robot, 0);
    EXPECT_TRUE(m.Robots.empty());
}

TEST(Loader, speciesIndexFollowsTheNameOrderForNamesMatrixAndList)
{
    test::TempDir dir;
    KbBuilder kb = threeSpecies(dir);
    ResultatChargement result;
    const KeyModel m = load(kb, &result);
    ASSERT_EQ(result.etat, ResultatChargement::Etat::Ok);
    EXPECT_EQ(m.Nom_Esp, (std::vector<std::string>{"Fagus sylvatica", "Quercus robur", "Taxus baccata"}));
    EXPECT_EQ(result.lignesListe,
              (std::vector<std::string>{"100% - Fagus sylvatica", "100% - Quercus robur", "100% - Taxus baccata"}));
    // The matrix written in the same order gives each species its own states.
    EXPECT_EQ(m.matrice(0, kb.etat("FAINE")), 1);
    EXPECT_EQ(m.matrice(1, kb.etat("GLAND")), 1);
    EXPECT_EQ(m.matrice(2, kb.etat("AIG")), 1);
    EXPECT_EQ(m.matrice(2, kb.etat("LARGE")), 0);
    EXPECT_EQ(m.Poids[static_cast<std::size_t>(kb.etat("LARGE"))], 5);
    EXPECT_EQ(m.Classement[1], (std::vector<std::int64_t>{0, 1, 2}));
    EXPECT_EQ(m.Cadre_Fait, (std::vector<std::int16_t>{0, 0}));
}

TEST(Loader, jokerFlagsAreIndexedByDescriptorNumber)
{
    test::TempDir dir;
    KbBuilder kb = threeSpecies(dir);
    kb.sqlApres("UPDATE Objets_Fic SET Desc_Num = 1 - Desc_Num");
    const KeyModel m = load(kb);
    // FEUILLE (joker) now has Desc_Num 1, FRUIT (no joker) Desc_Num 0.
    EXPECT_EQ(m.Joker, (std::vector<bool>{false, true}));
}

TEST(Loader, aDescriptorNumberOutOfRangeIsSkipped)
{
    test::TempDir dir;
    KbBuilder kb = threeSpecies(dir);
    kb.sqlApres("UPDATE Objets_Fic SET Desc_Num = 7 WHERE Objet = 'FEUILLE'");
    const KeyModel m = load(kb);
    EXPECT_EQ(m.Joker, (std::vector<bool>{false, false}));
}

TEST(Loader, paletteCodesComeFromTheColourRows)
{
    test::TempDir dir;
    KbBuilder kb = threeSpecies(dir);
    kb.couleur("FEUILLE").couleur("FRUIT");
    kb.sqlApres("DELETE FROM Couleurs WHERE Num_Couleur = 1");
    const KeyModel m = load(kb);
    EXPECT_EQ(m.Code_Couleur, (std::vector<std::string>{"", "FRUIT"}));
    EXPECT_EQ(m.Couleur_Valeur.size(), 2u);
}

TEST(Loader, countsThatDoNotMatchTheBinaryFilesStopTheLoad)
{
    struct Case {
        const char *name;
        std::function<void(KbBuilder &)> spoil;
        ResultatChargement::Etat expected;
    };
    const Case cases[] = {
        {"no weights", [](KbBuilder &kb) { kb.sansFichier("POIDS.DAT"); }, ResultatChargement::Etat::PoidsInaccessible},
        {"more states than weights", [](KbBuilder &kb) { kb.parametre("Nb_Etats_Desc", "6"); },
         ResultatChargement::Etat::PoidsIllisible},
        {"no matrix", [](KbBuilder &kb) { kb.sansFichier("MATRICE.DAT"); },
         ResultatChargement::Etat::MatriceInaccessible},
        {"more species than the matrix", [](KbBuilder &kb) { kb.parametre("Nb_Esp", "4"); },
         ResultatChargement::Etat::MatriceIllisible},
    };
    for (const Case &c : cases) {
        test::TempDir dir;
        KbBuilder kb = threeSpecies(dir);
        c.spoil(kb);
        ResultatChargement result;
        load(kb, &result);
        EXPECT_EQ(result.etat, c.expected) << c.name;
        EXPECT_FALSE(result.chemin.empty()) << c.name;
    }
}

TEST(Loader, aDatabaseThatCannotBeOpenedIsReportedWithItsPath)
{
    test::TempDir dir;
    KeyModel m;
    m.Chemin_Data = dir.dossier();
    m.Chemin_Base = dir.dossier() + "absent.db";
    const ResultatChargement result = Charge_Connaissances(m);
    EXPECT_EQ(result.etat, ResultatChargement::Etat::BaseInaccessible);
    EXPECT_EQ(result.chemin, m.Chemin_Base);
}

TEST(Loader, thePrepareHookChoosesTheFileTheTablesAreReadFrom)
{
    test::TempDir dir;
    KbBuilder kb = threeSpecies(dir);
    kb.ecrit();
    KeyModel m;
    m.Chemin_Data = kb.dossier();
    m.Chemin_Base = kb.dossier() + "original.mdb";
    std::string vu;
    const ResultatChargement r = Charge_Connaissances(m, {}, [&](const std::string &chemin, std::string &aOuvrir, ErreurBase &) {
        vu = chemin;
        aOuvrir = kb.dossier() + KbBuilder::kNomBase;
        return true;
    });
    EXPECT_EQ(r.etat, ResultatChargement::Etat::Ok);
    EXPECT_EQ(vu, m.Chemin_Base);
    EXPECT_EQ(m.Nb_Esp, 3);

    // A hook that cannot prepare the file makes the database inaccessible, with its error.
    const ResultatChargement refus = Charge_Connaissances(m, {}, [](const std::string &, std::string &, ErreurBase &e) {
        e = {14, "cannot convert"};
        return false;
    });
    EXPECT_EQ(refus.etat, ResultatChargement::Etat::BaseInaccessible);
    EXPECT_EQ(refus.erreur.numero, 14);
    EXPECT_EQ(refus.erreur.message, "cannot convert");
    EXPECT_EQ(refus.chemin, m.Chemin_Base);
}
