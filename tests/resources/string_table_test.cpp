#include <gtest/gtest.h>

#include "resources/string_table.h"

using namespace tarvenko;

TEST(StringTable, builtinTableIsWellFormedAndComplete)
{
    const StringTable &table = StringTable::builtin();
    EXPECT_TRUE(table.errors().empty()) << table.errors().front();
    // Every English entry has its Spanish and French translation.
    for (const StringTable::Entry &e : table.entries()) {
        if (e.id >= 2000)
            break;
        EXPECT_TRUE(table.entry(e.id + 1000).has_value()) << "no Spanish for " << e.id;
        EXPECT_TRUE(table.entry(e.id + 2000).has_value()) << "no French for " << e.id;
    }
}

TEST(StringTable, textsOfTheThreeLanguages)
{
    EXPECT_EQ(Texte(0, 1003), "&Save");
    EXPECT_EQ(Texte(2, 1003), "&Enregistrer une identification");
    EXPECT_EQ(Texte(0, 1074), " unavailable !");
    EXPECT_EQ(Texte(0, 1022), "&About ");
    EXPECT_EQ(Texte(0, 1070), "Error during loading the file Matrice.dat, please re-install");
    EXPECT_EQ(Texte(1, 1052), "Archivos Tarvenko (*.ryk)|*.ryk|Todo tipo de archivos (*.*)|*.*");
    EXPECT_EQ(Texte(2, 1201), "8");
    EXPECT_EQ(Texte(0, 1201), std::nullopt); // only French sets the font size
    EXPECT_EQ(Texte(1, 1201), std::nullopt);
    EXPECT_EQ(Texte(3, 1003), std::nullopt);
    EXPECT_EQ(Texte(-1, 1003), std::nullopt);
    EXPECT_EQ(Texte_Ou_Anglais(1, 1201), "");
}

TEST(StringTable, parseReportsMalformedLines)
{
    const StringTable table = StringTable::parse("# comment\n1000\tA\tB\tC\n\nabc\tx\ty\tz\n1001\tonly two\n");
    EXPECT_EQ(table.entry(1000), "A");
    EXPECT_EQ(table.entry(2000), "B");
    EXPECT_EQ(table.entry(3000), "C");
    EXPECT_EQ(table.errors().size(), 2u);
}
