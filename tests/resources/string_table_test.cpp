#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
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
namespace {

std::string enMinuscules(std::string t)
{
    for (char &c : t)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return t;
}

bool estLettre(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// Two letters typed three times over ("chararacter"), letter case aside.
bool syllabeRedoublee(const std::string &texte)
{
    const std::string t = enMinuscules(texte);
    for (std::size_t i = 0; i + 4 < t.size(); ++i)
        if (estLettre(t[i]) && estLettre(t[i + 1]) && t[i] == t[i + 2] && t[i] == t[i + 4] && t[i + 1] == t[i + 3])
            return true;
    return false;
}

bool contientUnDe(const std::string &t, std::initializer_list<const char *> motifs)
{
    return std::any_of(motifs.begin(), motifs.end(), [&](const char *m) { return t.find(m) != std::string::npos; });
}

// The word on its own, not inside a longer one.
bool contientLeMot(const std::string &t, const std::string &mot)
{
    for (std::size_t p = t.find(mot); p != std::string::npos; p = t.find(mot, p + 1)) {
        const bool debut = p == 0 || !estLettre(t[p - 1]);
        const bool fin = p + mot.size() == t.size() || !estLettre(t[p + mot.size()]);
        if (debut && fin)
            return true;
    }
    return false;
}

} // namespace

TEST(StringTable, textsHaveNoSlips)
{
    struct Faute {
        const char *nom;
        std::function<bool(const std::string &)> trouvee;
        bool anglaisSeulement;
    };
    const std::vector<Faute> fautes = {
        {"a syllable typed twice (arara)", syllabeRedoublee, false},
        {"several exclamation or question marks",
         [](const std::string &t) { return contientUnDe(t, {"!!", "??", "!?", "?!"}); }, false},
        {"a blank before ! ? or : in English", [](const std::string &t) { return contientUnDe(t, {" !", " ?", " :"}); },
         true},
        {"Adress with one d", [](const std::string &t) { return contientLeMot(t, "Adress"); }, true},
        {"another program's name", [](const std::string &t) { return contientUnDe(enMinuscules(t), {"sorvane"}); }, false},
        {"re-install", [](const std::string &t) { return contientUnDe(enMinuscules(t), {"re-install"}); }, true},
    };
    for (const StringTable::Entry &e : StringTable::builtin().entries()) {
        for (const Faute &f : fautes) {
            if (f.anglaisSeulement && e.id >= 2000)
                continue;
            EXPECT_FALSE(f.trouvee(e.text)) << f.nom << " in " << e.id << ": \"" << e.text << '"';
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
