#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "knowledge/file_lookup.h"
#include "support/temp_dir.h"

using namespace tarvenko;

TEST(FileLookup, windowsStyleNamesFindFilesWhateverTheirCase)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "robot" / "contra");
    std::ofstream(dir.path() / "robot" / "contra" / "Feuille.wmf") << "x";
    std::ofstream(dir.path() / "poids.dat") << "x";

    const std::string base = dir.dossier();
    EXPECT_EQ(resoutChemin(base + "POIDS.DAT"), dir.fichier("poids.dat"));
    EXPECT_EQ(resoutChemin(base + "robot\\CONTRA\\feuille.WMF"), (dir.path() / "robot/contra/Feuille.wmf").string());
    EXPECT_EQ(resoutChemin(base + "Robot\\Contra\\"), (dir.path() / "robot/contra").string() + "/");
    EXPECT_TRUE(cheminExiste(base + "ROBOT/contra/FEUILLE.wmf"));
}

TEST(FileLookup, missingComponentsAreKeptAsWritten)
{
    test::TempDir dir;
    const std::string base = dir.dossier();
    EXPECT_EQ(resoutChemin(base + "robot\\07\\Arbre.wmf"), base + "robot/07/Arbre.wmf");
    EXPECT_FALSE(cheminExiste(base + "robot\\07\\Arbre.wmf"));
    EXPECT_EQ(resoutChemin(""), "");
}

namespace {

struct CasRecherche {
    const char *nom;
    std::vector<std::string> surDisque; // files made, relative to the test folder
    std::string demande;                // the path asked for, relative to the test folder
    std::string attendu;                // what it must resolve to
};

} // namespace

TEST(FileLookup, namesAsWrittenWinAndOtherCasesFoldForAllOfUnicode)
{
    const CasRecherche cas[] = {
        {"accented names as written", {"Écologie/chêne.ryk"}, "Écologie/chêne.ryk", "Écologie/chêne.ryk"},
        {"accented names in capitals", {"Écologie/chêne.ryk"}, "ÉCOLOGIE\\CHÊNE.RYK", "Écologie/chêne.ryk"},
        {"Cyrillic in another case", {"Документы/дуб.ryk"}, "ДОКУМЕНТЫ/Дуб.RYK", "Документы/дуб.ryk"},
        {"Greek final sigma", {"ΔΑΣΟΣ/δρυς.ryk"}, "δασος/ΔΡΥΣ.ryk", "ΔΑΣΟΣ/δρυς.ryk"},
        {"case pair, capital as written", {"Oak.ryk", "oak.ryk"}, "Oak.ryk", "Oak.ryk"},
        {"case pair, small as written", {"Oak.ryk", "oak.ryk"}, "oak.ryk", "oak.ryk"},
        {"case pair, neither as written: always the same one", {"oak.ryk", "Oak.ryk"}, "OAK.ryk", "Oak.ryk"},
        {"a backslash in a name that exists as written", {"a\\b.ryk"}, "a\\b.ryk", "a\\b.ryk"},
        {"a name that is not UTF-8, as written", {"\xE9t\xE9.ryk"}, "\xE9t\xE9.ryk", "\xE9t\xE9.ryk"},
        {"a name that is not UTF-8, in another ASCII case", {"\xE9t\xE9.ryk"}, "\xE9T\xE9.RYK", "\xE9t\xE9.ryk"},
        {"no match keeps the name as written", {"Écologie/chêne.ryk"}, "ÉCOLOGIE/hêtre.ryk", "Écologie/hêtre.ryk"},
    };
    for (const CasRecherche &c : cas) {
        SCOPED_TRACE(c.nom);
        test::TempDir dir;
        for (const std::string &f : c.surDisque) {
            const std::filesystem::path p = dir.path() / f;
            std::filesystem::create_directories(p.parent_path());
            std::ofstream(p) << f;
        }
        EXPECT_EQ(resoutChemin(dir.dossier() + c.demande), dir.dossier() + c.attendu);
    }
}

namespace {

struct CasLangue {
    const char *nom;
    std::vector<std::string> surDisque; // files made, relative to the test folder
    std::string demande;                // relative, written the Windows way
    std::string code;
    std::string attendu;                // relative to the test folder
};

void PrintTo(const CasLangue &cas, std::ostream *os) { *os << cas.nom; }

class CheminLangue : public ::testing::TestWithParam<CasLangue> {};

} // namespace

TEST_P(CheminLangue, thePictureOfTheLanguageElseTheKeysOwn)
{
    const CasLangue &cas = GetParam();
    test::TempDir dir;
    for (const std::string &f : cas.surDisque) {
        std::filesystem::create_directories((dir.path() / f).parent_path());
        std::ofstream(dir.path() / f) << "x";
    }
    EXPECT_EQ(resoutCheminLangue(dir.dossier() + cas.demande, cas.code), dir.dossier() + cas.attendu);
}

INSTANTIATE_TEST_SUITE_P(
    Cas, CheminLangue,
    ::testing::Values(
        CasLangue{"french", {"descripteurs/feuille.wmf", "descripteurs/feuille_fr.wmf"}, "descripteurs\\feuille.wmf", "fr",
                  "descripteurs/feuille_fr.wmf"},
        CasLangue{"noPictureOfTheLanguage", {"descripteurs/feuille.wmf", "descripteurs/feuille_fr.wmf"},
                  "descripteurs\\feuille.wmf", "es", "descripteurs/feuille.wmf"},
        CasLangue{"noCode", {"feuille.wmf", "feuille_fr.wmf"}, "feuille.wmf", "", "feuille.wmf"},
        CasLangue{"caseFolded", {"descripteurs/Feuille_FR.WMF", "descripteurs/feuille.wmf"}, "DESCRIPTEURS\\feuille.wmf",
                  "fr", "descripteurs/Feuille_FR.WMF"},
        CasLangue{"dotInAFolderName", {"v1.2/feuille_es", "v1.2/feuille"}, "v1.2\\feuille", "es", "v1.2/feuille_es"},
        CasLangue{"onlyTheLastDot", {"a.b_fr.wmf"}, "a.b.wmf", "fr", "a.b_fr.wmf"},
        CasLangue{"aFolderOfThatNameIsNoPicture", {"feuille_fr.wmf/x", "feuille.wmf"}, "feuille.wmf", "fr", "feuille.wmf"},
        CasLangue{"neitherExists", {}, "descripteurs\\feuille.wmf", "fr", "descripteurs/feuille.wmf"}),
    [](const ::testing::TestParamInfo<CasLangue> &cas) { return std::string(cas.param.nom); });
