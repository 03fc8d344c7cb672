#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

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

namespace {

// What the numeric characters hold after loading: "KEY unit weight: species low..high ..." with
// the bounds answers are compared with, species in key order.
std::string numeriques(const KeyModel &m)
{
    std::string out;
    for (const Caractere_Num &c : m.Caracteres_Num) {
        out += (out.empty() ? "" : "; ") + c.Objet + " " + c.Unite + " " + std::to_string(c.Poids) + ":";
        for (std::size_t s = 0; s < c.connue.size(); ++s) {
            if (!c.connue[s])
                continue;
            char range[64];
            std::snprintf(range, sizeof range, " %s %g..%g", m.Nom_Esp[s].c_str(), c.bas[s], c.haut[s]);
            out += range;
        }
    }
    return out;
}

struct Entree {
    const char *nom;
    std::function<void(KbBuilder &)> declare;
    int ignores;
    std::string reste;
};

void PrintTo(const Entree &e, std::ostream *os) { *os << e.nom; }

class NumeriquesIllisibles : public ::testing::TestWithParam<Entree> {};

const char *const kHauteur = "HAUTEUR m 2: Fagus sylvatica 10..30";

} // namespace

// Every value that cannot be used is skipped alone and counted; the rest of the key loads.
TEST_P(NumeriquesIllisibles, areSkippedAndCounted)
{
    test::TempDir dir;
    KbBuilder kb = threeSpecies(dir);
    kb.numerique({.objet = "HAUTEUR", .unite = "m", .poids = 2});
    kb.plage("HAUTEUR", "Fagus sylvatica", 10, 30);
    GetParam().declare(kb);
    ResultatChargement r;
    const KeyModel m = load(kb, &r);
    ASSERT_EQ(r.etat, ResultatChargement::Etat::Ok);
    EXPECT_EQ(r.valeursIgnorees, GetParam().ignores);
    EXPECT_EQ(numeriques(m), GetParam().reste);
    EXPECT_EQ(m.Valeur_Num.size(), m.Caracteres_Num.size());
}

INSTANTIATE_TEST_SUITE_P(
    Loader, NumeriquesIllisibles,
    ::testing::Values(
        Entree{"soundValues", [](KbBuilder &kb) { kb.plage("HAUTEUR", "Taxus baccata", 2, 3, 1, 5); }, 0,
               "HAUTEUR m 2: Fagus sylvatica 10..30 Taxus baccata 1..5"},
        Entree{"minimumAboveMaximum", [](KbBuilder &kb) { kb.plage("HAUTEUR", "Taxus baccata", 4, 3); }, 1, kHauteur},
        Entree{"missingUnit", [](KbBuilder &kb) { kb.numerique({.objet = "LARGEUR", .unite = std::nullopt}); }, 1, kHauteur},
        Entree{"emptyUnitForACount", [](KbBuilder &kb) { kb.numerique({.objet = "NOMBRE", .unite = ""}); }, 0,
               std::string(kHauteur) + "; NOMBRE  1:"},
        Entree{"unknownSpecies", [](KbBuilder &kb) { kb.plage("HAUTEUR", "Abies alba", 1, 2); }, 1, kHauteur},
        Entree{"unknownCharacter", [](KbBuilder &kb) { kb.plage("LARGEUR", "Taxus baccata", 1, 2); }, 1, kHauteur},
        Entree{"aSecondRangeForOneSpecies", [](KbBuilder &kb) { kb.plage("HAUTEUR", "Fagus sylvatica", 1, 2); }, 1, kHauteur},
        Entree{"textInANumberField",
               [](KbBuilder &kb) {
                   kb.sqlApres("INSERT INTO Plages_Num (Numero, Objet, Espece, Minimum, Maximum) "
                               "VALUES (50, 'HAUTEUR', 'Taxus baccata', 'douze', 14)");
               },
               1, kHauteur},
        Entree{"aMissingMaximum",
               [](KbBuilder &kb) {
                   kb.sqlApres("INSERT INTO Plages_Num (Numero, Objet, Espece, Minimum) VALUES (50, 'HAUTEUR', 'Taxus baccata', 1)");
               },
               1, kHauteur},
        Entree{"textAsAWeight",
               [](KbBuilder &kb) {
                   kb.sqlApres("INSERT INTO Caracteres_Num (Objet, Unite, Poids) VALUES ('LARGEUR', 'cm', 'lourd')");
               },
               1, kHauteur},
        Entree{"anExtremeInsideTheUsualRangeAlone",
               [](KbBuilder &kb) { kb.plage("HAUTEUR", "Taxus baccata", 2, 3, 2.5, 6); }, 1,
               "HAUTEUR m 2: Fagus sylvatica 10..30 Taxus baccata 2..6"},
        Entree{"textAsAnExtremeAlone",
               [](KbBuilder &kb) {
                   kb.sqlApres("INSERT INTO Plages_Num (Numero, Objet, Espece, Minimum, Maximum, Extreme_Min, Extreme_Max) "
                               "VALUES (50, 'HAUTEUR', 'Taxus baccata', 2, 3, 1, 'beaucoup')");
               },
               1, "HAUTEUR m 2: Fagus sylvatica 10..30 Taxus baccata 1..3"}),
    [](const auto &cas) { return std::string(cas.param.nom); });

TEST(Loader, aKeyWithoutNumericTablesHasNoNumericCharacters)
{
    test::TempDir dir;
    KbBuilder kb = threeSpecies(dir);
    ResultatChargement r;
    const KeyModel m = load(kb, &r);
    EXPECT_EQ(r.valeursIgnorees, 0);
    EXPECT_TRUE(m.Caracteres_Num.empty());
    EXPECT_TRUE(m.Valeur_Num.empty());
    EXPECT_FALSE(m.Base_Donnees.Caracteres_Num.present);
}
