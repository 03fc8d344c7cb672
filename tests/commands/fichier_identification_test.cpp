#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "commands/fichier_identification.h"
#include "support/temp_dir.h"

using namespace tarvenko;

namespace {

std::vector<unsigned char> fileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string &path, const std::vector<unsigned char> &bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
}

} // namespace

TEST(IdentificationFile, threeStatesAndTwoGroupsMakeTenBytes)
{
    test::TempDir dir;
    std::string error;
    ASSERT_TRUE(Ecrit_Identification(dir.fichier("a.ryk"), {1, 0, 1}, {0, -1}, error)) << error;
    EXPECT_EQ(fileBytes(dir.fichier("a.ryk")),
              (std::vector<unsigned char>{0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF}));
    Identification back;
    ASSERT_EQ(Lit_Identification(dir.fichier("a.ryk"), 3, 2, back), LectureIdentification::Ok);
    EXPECT_EQ(back.Etat_Choisi, (std::vector<std::int16_t>{1, 0, 1}));
    EXPECT_EQ(back.Cadre_Fait, (std::vector<std::int16_t>{0, -1}));
}

TEST(IdentificationFile, filesOfAnotherKeyOrDamagedAreRefused)
{
    test::TempDir dir;
    Identification out{{7}, {7}};
    writeBytes(dir.fichier("short.ryk"), {1, 0, 0, 0, 1, 0, 0, 0});
    EXPECT_EQ(Lit_Identification(dir.fichier("short.ryk"), 3, 2, out), LectureIdentification::TropCourt);
    writeBytes(dir.fichier("state.ryk"), {2, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFF});
    EXPECT_EQ(Lit_Identification(dir.fichier("state.ryk"), 3, 2, out), LectureIdentification::Invalide);
    writeBytes(dir.fichier("group.ryk"), {1, 0, 0, 0, 1, 0, 1, 0, 0xFF, 0xFF});
    EXPECT_EQ(Lit_Identification(dir.fichier("group.ryk"), 3, 2, out), LectureIdentification::Invalide);
    EXPECT_EQ(Lit_Identification(dir.fichier("absent.ryk"), 3, 2, out), LectureIdentification::Inaccessible);
    EXPECT_EQ(out.Etat_Choisi, std::vector<std::int16_t>{7}); // nothing half-read
}

TEST(IdentificationFile, aLongerFileKeepsItsFirstValues)
{
    test::TempDir dir;
    writeBytes(dir.fichier("long.ryk"), {1, 0, 0, 0, 0xFF, 0xFF, 9, 9});
    Identification out;
    ASSERT_EQ(Lit_Identification(dir.fichier("long.ryk"), 2, 1, out), LectureIdentification::Ok);
    EXPECT_EQ(out.Etat_Choisi, (std::vector<std::int16_t>{1, 0}));
    EXPECT_EQ(out.Cadre_Fait, (std::vector<std::int16_t>{-1}));
}

TEST(IdentificationFile, aFailedSaveLeavesThePreviousFile)
{
    test::TempDir dir;
    std::string error;
    ASSERT_TRUE(Ecrit_Identification(dir.fichier("keep.ryk"), {1}, {-1}, error));
    // A folder in the way of the rename: the write fails and the old file is untouched.
    std::filesystem::create_directory(dir.fichier("folder.ryk"));
    EXPECT_FALSE(Ecrit_Identification(dir.fichier("folder.ryk"), {1}, {-1}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(Ecrit_Identification(dir.fichier("missing/x.ryk"), {1}, {-1}, error));
    EXPECT_EQ(fileBytes(dir.fichier("keep.ryk")), (std::vector<unsigned char>{1, 0, 0xFF, 0xFF}));
    // No temporary file is left behind.
    int files = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 2);
}
