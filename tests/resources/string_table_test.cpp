#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

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
    EXPECT_EQ(Texte(0, 1074), " unavailable!");
    EXPECT_EQ(Texte(0, 1022), "&About ");
    EXPECT_EQ(Texte(0, 1070), "Error while loading the file Matrice.dat, please reinstall.");
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

// Slips a reader notices at once: typing stutters ("chararacteristics"), shouting ("!!!"), French
// spacing before English punctuation, misspellings met before, another program's name.
TEST(StringTable, textsHaveNoSlips)
{
    struct Faute {
        const char *nom;
        std::regex motif;
        bool anglaisSeulement;
    };
    const std::vector<Faute> fautes = {
        {"a syllable typed twice (arara)", std::regex("([a-z])([a-z])\\1\\2\\1", std::regex::icase), false},
        {"several exclamation or question marks", std::regex("[!?]{2,}"), false},
        {"a blank before ! ? or : in English", std::regex(" [!?:]"), true},
        {"Adress with one d", std::regex("\\bAdress\\b"), true},
        {"another program's name", std::regex("Sorvane", std::regex::icase), false},
        {"re-install", std::regex("re-install", std::regex::icase), true},
    };
    for (const StringTable::Entry &e : StringTable::builtin().entries()) {
        for (const Faute &f : fautes) {
            if (f.anglaisSeulement && e.id >= 2000)
                continue;
            EXPECT_FALSE(std::regex_search(e.text, f.motif)) << f.nom << " in " << e.id << ": \"" << e.text << '"';
        }
    }
}

TEST(StringTable, theFileFilterNamesTheProgramsOwnFiles)
{
    for (std::int16_t langue = 0; langue <= 2; ++langue) {
        const std::string filtre = Texte_Ou_Anglais(langue, 1052);
        EXPECT_NE(filtre.find("Tarvenko"), std::string::npos) << filtre;
        EXPECT_NE(filtre.find("(*.ryk)|*.ryk|"), std::string::npos) << filtre;
    }
}
