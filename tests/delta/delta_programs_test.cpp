// The cache through which the programs open a DELTA dataset, and the two commands.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "delta_support.h"
#include "knowledge/delta/delta_cache.h"
#include "support/commande.h"

using namespace tarvenko;
using tarvenko::test::cite;
using tarvenko::test::TempDir;
namespace fs = std::filesystem;

namespace {

// A small dataset: two items told apart by one character.
void ecritJeu(const fs::path &d, const std::string &deuxieme = "Beta")
{
    test::ecritFichier(d / "specs", "*NUMBER OF CHARACTERS 2\n*CHARACTER TYPES 2,TE\n*COMMENT unused\n*PRINT WIDTH 80\n");
    test::ecritFichier(d / "chars", "*CHARACTER LIST\n#1. leaves/\n 1. simple/\n 2. compound/\n#2. notes/\n");
    test::ecritFichier(d / "items", "*ITEM DESCRIPTIONS\n# Alpha/ 1,1 2<a note>\n# " + deuxieme + "/ 1,2\n");
}

TEST(DeltaCache, convertsOnceAndAgainWhenTheDatasetChanges)
{
    TempDir dir;
    const fs::path jeu = dir.path() / "jeu";
    ecritJeu(jeu);
    const std::string cache = (dir.path() / "cache").string();
    std::string cle, erreur;
    ASSERT_TRUE(delta::Prepare_Cle(jeu.string(), cache, cle, erreur)) << erreur;
    EXPECT_EQ(fs::path(cle).parent_path(), fs::path(cache));
    const auto date = fs::last_write_time(fs::path(cle) / "data/Tarvenko.db");

    std::string encore;
    ASSERT_TRUE(delta::Prepare_Cle(jeu.string(), cache, encore, erreur)) << erreur;
    EXPECT_EQ(encore, cle);
    EXPECT_EQ(fs::last_write_time(fs::path(cle) / "data/Tarvenko.db"), date) << "not converted again";

    ecritJeu(jeu, "Gamma is longer");
    fs::last_write_time(jeu / "items", fs::last_write_time(jeu / "items") + std::chrono::seconds(5));
    std::string nouvelle;
    ASSERT_TRUE(delta::Prepare_Cle(jeu.string(), cache, nouvelle, erreur)) << erreur;
    EXPECT_NE(nouvelle, cle);
    EXPECT_FALSE(fs::exists(cle)) << "the older conversion is removed";
    KeyModel m;
    ASSERT_TRUE(test::chargeCle(nouvelle, m));
    EXPECT_EQ(m.Nom_Esp, (std::vector<std::string>{"Alpha", "Gamma is longer"}));
}

TEST(DeltaCache, aDatasetThatCannotBeConvertedLeavesNothing)
{
    TempDir dir;
    const fs::path jeu = dir.path() / "jeu";
    ecritJeu(jeu);
    test::ecritFichier(jeu / "specs", "*NUMBER OF CHARACTERS 3\n");
    std::string cle, erreur;
    EXPECT_FALSE(delta::Prepare_Cle(jeu.string(), (dir.path() / "cache").string(), cle, erreur));
    EXPECT_NE(erreur.find("chars, line 1, *CHARACTER LIST"), std::string::npos) << erreur;
    EXPECT_TRUE(fs::is_empty(dir.path() / "cache"));
}

class DeltaProgrammes : public ::testing::Test {
protected:
    // No settings or cache of this machine or user may leak into the run.
    test::Execution lance(const std::string &programme, const std::string &arguments)
    {
        return test::execute("XDG_CONFIG_HOME=" + cite(dir.dossier() + "config") + " XDG_CACHE_HOME=" +
                             cite(dir.dossier() + "cache") + " " + cite(programme) + " " + arguments + " 2>&1");
    }
    TempDir dir;
};

TEST_F(DeltaProgrammes, importPrintsTheSummary)
{
    const fs::path jeu = dir.path() / "jeu";
    ecritJeu(jeu);
    const std::string sortie = (dir.path() / "cle").string();
    const test::Execution e = lance(TARVENKO_IMPORT_PROGRAM, cite(jeu.string()) + " " + cite(sortie));
    ASSERT_EQ(e.code, 0) << e.sortie;
    for (const char *ligne : {"items: 2\n", "characters: 2 (UM 1, OM 0, IN 0, RN 0, TE 1)\n", "states: 2\n",
                              "attributes read: 3\n", "pictures: 0\n", "not used: *PRINT WIDTH\n"})
        EXPECT_NE(e.sortie.find(ligne), std::string::npos) << ligne << " in:\n" << e.sortie;
    EXPECT_EQ(e.sortie.find("*COMMENT"), std::string::npos);
    EXPECT_TRUE(fs::exists(fs::path(sortie) / "data/Tarvenko.db"));

    const test::Execution encore = lance(TARVENKO_IMPORT_PROGRAM, cite(jeu.string()) + " " + cite(sortie));
    EXPECT_EQ(encore.code, 1) << "an existing folder is kept";
    EXPECT_EQ(lance(TARVENKO_IMPORT_PROGRAM, "--force " + cite(jeu.string()) + " " + cite(sortie)).code, 0);

    fs::remove(jeu / "chars");
    const test::Execution sansChars = lance(TARVENKO_IMPORT_PROGRAM, cite(jeu.string()) + " " + cite(sortie + "2"));
    EXPECT_NE(sansChars.code, 0);
    EXPECT_FALSE(fs::exists(sortie + "2"));
    // --force replaces the folder only once the new key is written: a failed import keeps it.
    ecritJeu(jeu);
    std::ofstream(jeu / "items") << "*ITEM DESCRIPTIONS\n";
    EXPECT_NE(lance(TARVENKO_IMPORT_PROGRAM, "--force " + cite(jeu.string()) + " " + cite(sortie)).code, 0);
    EXPECT_TRUE(fs::exists(fs::path(sortie) / "data/Tarvenko.db"));
}

TEST_F(DeltaProgrammes, keyOpensADatasetThroughTheCache)
{
    const fs::path jeu = dir.path() / "jeu";
    ecritJeu(jeu);
    const test::Execution e = lance(TARVENKO_KEY_PROGRAM, "--key " + cite(jeu.string()) + " --answer C1S2");
    ASSERT_EQ(e.code, 0) << e.sortie;
    EXPECT_EQ(e.sortie.rfind(" 100% - Beta\n", 0), 0u) << e.sortie;
    EXPECT_FALSE(fs::is_empty(dir.path() / "cache")) << "converted into the cache";
}

} // namespace
