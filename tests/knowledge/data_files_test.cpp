#include <gtest/gtest.h>

#include <fstream>

#include "knowledge/data_files.h"
#include "knowledge/tableau16.h"
#include "support/temp_dir.h"

using namespace tarvenko;

namespace {

void writeBytes(const std::string &path, std::initializer_list<unsigned char> bytes)
{
    std::ofstream out(path, std::ios::binary);
    for (unsigned char b : bytes)
        out.put(static_cast<char>(b));
}

} // namespace

TEST(DataFiles, weightsAreLittleEndianSigned)
{
    test::TempDir dir;
    writeBytes(dir.fichier("POIDS.DAT"), {1, 0, 2, 0, 3, 0, 0xFF, 0xFF});
    KeyModel m;
    m.Chemin_Data = dir.dossier();
    m.Nb_Etats_Desc = 4;
    ASSERT_EQ(Lit_Poids(m), LectureDat::Ok);
    EXPECT_EQ(m.Poids, (std::vector<std::int16_t>{1, 2, 3, -1}));
}

TEST(DataFiles, matrixIsReadStateByState)
{
    test::TempDir dir;
    // Nb_Esp = 3, Nb_Etats_Desc = 2: file order (0,0) (1,0) (2,0) (0,1) (1,1) (2,1).
    writeBytes(dir.fichier("MATRICE.DAT"), {10, 0, 11, 0, 12, 0, 20, 0, 21, 0, 22, 0, 99, 0});
    KeyModel m;
    m.Chemin_Data = dir.dossier();
    m.Nb_Esp = 3;
    m.Nb_Etats_Desc = 2;
    ASSERT_EQ(Lit_Matrice(m), LectureDat::Ok); // the extra value is ignored
    EXPECT_EQ(m.matrice(0, 0), 10);
    EXPECT_EQ(m.matrice(2, 0), 12);
    EXPECT_EQ(m.matrice(0, 1), 20);
    EXPECT_EQ(m.matrice(2, 1), 22);
}

TEST(DataFiles, missingOrShortFilesAreReportedApart)
{
    test::TempDir dir;
    KeyModel m;
    m.Chemin_Data = dir.dossier();
    m.Nb_Etats_Desc = 3;
    EXPECT_EQ(Lit_Poids(m), LectureDat::OuvertureImpossible);
    writeBytes(dir.fichier("poids.dat"), {1, 0, 2, 0}); // found whatever the case, but short
    EXPECT_EQ(Lit_Poids(m), LectureDat::LectureImpossible);
}

TEST(DataFiles, writtenValuesReadBackUnchanged)
{
    test::TempDir dir;
    const std::vector<std::int16_t> values = {0, 1, -1, 32767, -32768, 256};
    ASSERT_TRUE(Ecrit_Entiers16(dir.fichier("X.DAT"), values));
    std::vector<std::int16_t> back;
    ASSERT_EQ(Lit_Entiers16(dir.fichier("X.DAT"), values.size(), back), LectureDat::Ok);
    EXPECT_EQ(back, values);
}

TEST(DataFiles, aShortFileLeavesTheArrayAsItWas)
{
    test::TempDir dir;
    writeBytes(dir.fichier("X.DAT"), {1, 0, 2, 0, 3});
    std::vector<std::int16_t> values = {7, 7, 7};
    EXPECT_EQ(Lit_Entiers16(dir.fichier("X.DAT"), 3, values), LectureDat::LectureImpossible);
    EXPECT_EQ(values, (std::vector<std::int16_t>{7, 7, 7}));
}

TEST(DataFiles, anArraySizedBeforehandIsFilledInPlace)
{
    test::TempDir dir;
    writeBytes(dir.fichier("X.DAT"), {0x34, 0x12, 0xFE, 0xFF, 0, 0x80, 9, 9});
    std::vector<std::int16_t> values(3, 5); // as the model is sized before the files are read
    ASSERT_EQ(Lit_Entiers16(dir.fichier("X.DAT"), 3, values), LectureDat::Ok);
    EXPECT_EQ(values, (std::vector<std::int16_t>{0x1234, -2, -32768}));
    std::vector<std::int16_t> longer(5, 5); // a larger array is cut to the count, as before
    ASSERT_EQ(Lit_Entiers16(dir.fichier("X.DAT"), 2, longer), LectureDat::Ok);
    EXPECT_EQ(longer, (std::vector<std::int16_t>{0x1234, -2}));
}

// Counts come from the database: a short file is refused before anything is allocated for what
// the counts claim (here more than any memory holds).
TEST(DataFiles, aShortFileIsRefusedBeforeAllocatingForItsCount)
{
    test::TempDir dir;
    writeBytes(dir.fichier("POIDS.DAT"), {1, 0, 2, 0});
    std::vector<std::int16_t> values{7};
    EXPECT_EQ(Lit_Entiers16(dir.fichier("POIDS.DAT"), std::size_t{1} << 61, values), LectureDat::LectureImpossible);
    EXPECT_EQ(values, std::vector<std::int16_t>{7});
}

TEST(DataFiles, theMatrixIsMappedAndAChangeStaysInTheProgram)
{
    test::TempDir dir;
    ASSERT_TRUE(Ecrit_Entiers16(dir.fichier("MATRICE.DAT"), {1, 2, 3, 4, 5, 6}));
    KeyModel m;
    m.Chemin_Data = dir.dossier();
    m.Nb_Esp = 3;
    m.Nb_Etats_Desc = 2;
    ASSERT_EQ(Lit_Matrice(m), LectureDat::Ok);
    EXPECT_TRUE(m.Matrice.projete());
    EXPECT_EQ(m.Matrice, (Tableau16{1, 2, 3, 4, 5, 6}));
    m.Matrice[0] = 9; // the program's copy only
    KeyModel relu;
    relu.Chemin_Data = dir.dossier();
    relu.Nb_Esp = 3;
    relu.Nb_Etats_Desc = 2;
    ASSERT_EQ(Lit_Matrice(relu), LectureDat::Ok);
    EXPECT_EQ(relu.matrice(0, 0), 1);

    // A copy has memory of its own; a resize brings the values into memory, new ones 0.
    KeyModel copie = m;
    EXPECT_FALSE(copie.Matrice.projete());
    copie.Matrice[1] = 8;
    EXPECT_EQ(m.matrice(1, 0), 2);
    m.Matrice.resize(8);
    EXPECT_FALSE(m.Matrice.projete());
    EXPECT_EQ(m.Matrice, (Tableau16{9, 2, 3, 4, 5, 6, 0, 0}));
}

TEST(DataFiles, aShortMatrixLeavesTheMappedOneAsItWas)
{
    test::TempDir dir;
    ASSERT_TRUE(Ecrit_Entiers16(dir.fichier("MATRICE.DAT"), {1, 2, 3, 4}));
    KeyModel m;
    m.Chemin_Data = dir.dossier();
    m.Nb_Esp = 2;
    m.Nb_Etats_Desc = 2;
    ASSERT_EQ(Lit_Matrice(m), LectureDat::Ok);
    ASSERT_TRUE(Ecrit_Entiers16(dir.fichier("MATRICE.DAT"), {7, 7, 7}));
    EXPECT_EQ(Lit_Matrice(m), LectureDat::LectureImpossible);
    EXPECT_EQ(m.Matrice, (Tableau16{1, 2, 3, 4}));
    m.Nb_Esp = 0;
    ASSERT_EQ(Lit_Matrice(m), LectureDat::Ok);
    EXPECT_TRUE(m.Matrice.empty());
}

// A key written again while the program has its matrix: the writers rename a new file over the
// old one, so the program keeps the values it opened.
TEST(DataFiles, aMatrixWrittenAgainLeavesTheOpenedOneWhole)
{
    test::TempDir dir;
    const std::vector<std::int16_t> avant(100000, 3);
    ASSERT_TRUE(Ecrit_Entiers16(dir.fichier("MATRICE.DAT"), avant));
    KeyModel m;
    m.Chemin_Data = dir.dossier();
    m.Nb_Esp = 1000;
    m.Nb_Etats_Desc = 100;
    ASSERT_EQ(Lit_Matrice(m), LectureDat::Ok);
    ASSERT_TRUE(Ecrit_Entiers16(dir.fichier("MATRICE.DAT"), {5}));
    EXPECT_EQ(m.Matrice, Tableau16(std::vector<std::int16_t>(avant)));
}

// Cut short in place behind the program's back (as `cp` over it would), the file's lost pages
// read as zeros instead of ending the program with a bus error.
TEST(DataFiles, aMappedMatrixCutShortReadsZerosWhereItLostPages)
{
    test::TempDir dir;
    ASSERT_TRUE(Ecrit_Entiers16(dir.fichier("MATRICE.DAT"), std::vector<std::int16_t>(100000, 3)));
    KeyModel m;
    m.Chemin_Data = dir.dossier();
    m.Nb_Esp = 1000;
    m.Nb_Etats_Desc = 100;
    ASSERT_EQ(Lit_Matrice(m), LectureDat::Ok);
    ASSERT_TRUE(m.Matrice.projete());
    m.Matrice[10] = 2;
    { std::ofstream cut(dir.fichier("MATRICE.DAT"), std::ios::binary | std::ios::trunc); }
    EXPECT_EQ(m.Matrice[10], 0);
    EXPECT_EQ(m.Matrice[99999], 0);
    EXPECT_EQ(m.Matrice[50000], 0);
    m.Matrice[60000] = 4; // written pages of zeros stay the program's
    EXPECT_EQ(m.Matrice[60000], 4);
}
