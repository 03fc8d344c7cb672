#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/file_lookup.h"
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
