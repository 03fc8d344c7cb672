// The DELTA reader and converter on small datasets written by the tests: what each directive and
// attribute gives in the key, and what bad input gives the user.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <filesystem>
#include <map>
#include <set>

#include "delta_support.h"
#include "knowledge/delta/delta_import.h"
#include "knowledge/delta/delta_jeu.h"
#include "knowledge/sqlite.h"

using namespace tarvenko;
using namespace tarvenko::delta;
using tarvenko::test::TempDir;
namespace fs = std::filesystem;

namespace {

// Three items, one named twice; an ordered character, a real one, an implicit value, a
// dependency, reliabilities (one of 0), a text character; directive names abbreviated as the
// format allows.
struct MiniJeu {
    std::string specs = "*SHOW ~ test\r\n*NUMBER OF CHARACTERS 5\r\n*MAXIMUM NUMBER OF STATES 3\r\n"
                        "*MAXIMUM NUMBER OF ITEMS 3\r\n*DATA BUFFER SIZE 4000\r\n"
                        "*CHAR TYPES 2,OM 3,RN 5,TE\r\n*NUMBERS OF STATES 2,3\r\n*IMPLICIT VALUES 4,1\r\n"
                        "*DEPENDENT CHARACTERS 1,2:3-4\r\n*CHARACTER RELIABILITIES 1,8 2,0 3,7.5\r\n";
    std::string chars = "*CHARACTER LIST\r\n"
                        "#1. leaves <presence>/\r\n   1. present/\r\n   2. absent/\r\n"
                        "#2. leaf <size>/\r\n   1. small/\r\n   2. medium/\r\n   3. large/\r\n"
                        "#3. leaf length/\r\n   cm long/\r\n"
                        "#4. hairs/\r\n   1. hairy <<implicit>>/\r\n   2. glabrous/\r\n"
                        "#5. notes/\r\n";
    std::string items = "*ITEM DESCRIPTIONS\r\n"
                        "# \\i{}Alpha\\i0{} <L.>/\r\n1,1 2,1-3 3,(1-)2-5(-7) 4,2 5<a note on alpha>\r\n"
                        "# Beta/\r\n1,2 2,V 3,2-5/8-10\r\n"
                        "# ALPHA/\r\n1,1/2 2,1&3 3,U 4,-\r\n";

    std::string ecrit(const TempDir &dir) const
    {
        const fs::path d = dir.path() / "jeu";
        test::ecritFichier(d / "specs", specs);
        test::ecritFichier(d / "chars", chars);
        test::ecritFichier(d / "items", items);
        return d.string();
    }
};

std::string remplace(std::string texte, const std::string &avant, const std::string &apres)
{
    const auto p = texte.find(avant);
    EXPECT_NE(p, std::string::npos) << avant;
    if (p != std::string::npos)
        texte.replace(p, avant.size(), apres);
    return texte;
}

// The folder holds nothing but what was there before: no key, no temporary folder.
std::set<std::string> contenu(const fs::path &dossier)
{
    std::set<std::string> noms;
    for (const auto &e : fs::directory_iterator(dossier))
        noms.insert(e.path().filename().string());
    return noms;
}

TEST(DeltaValeurs, attributesGiveStatesOrRanges)
{
    Caractere om;
    om.type = Type::OM;
    om.nbEtats = 5;
    Caractere rn;
    rn.type = Type::RN;
    struct Cas {
        const Caractere *c;
        const char *valeur;
        std::vector<int> etats;
        bool tous;
        double min, max; // numeric: NaN for no range
        const char *erreur;
    };
    const double aucun = std::nan("");
    const Cas cas[] = {
        {&om, "1/2", {1, 2}, false, aucun, aucun, ""},
        {&om, "1&2", {1, 2}, false, aucun, aucun, ""},
        {&om, "2-4", {2, 3, 4}, false, aucun, aucun, ""},
        {&om, "2<rarely>/5<often>", {2, 5}, false, aucun, aucun, ""},
        {&om, "V", {}, true, aucun, aucun, ""},
        {&om, "U", {}, true, aucun, aucun, ""},
        {&om, "-", {}, true, aucun, aucun, ""},
        {&om, "6", {}, false, aucun, aucun, "state 6 beyond the 5 states"},
        {&om, "x", {}, false, aucun, aucun, "'x' is not a state"},
        {&rn, "(1-)2-5(-7)", {}, false, 1, 7, ""},
        {&rn, "2-5/8-10", {}, false, 2, 10, ""},
        {&rn, "38&40", {}, false, 38, 40, ""},
        {&rn, "0.2-10<mostly>", {}, false, 0.2, 10, ""},
        {&rn, "8-250(-430)", {}, false, 8, 430, ""},
        {&rn, "U", {}, true, aucun, aucun, ""},
        {&rn, "12a", {}, false, aucun, aucun, "'a' in a number"},
    };
    for (const Cas &c : cas) {
        const Valeur v = interpreteValeur(*c.c, c.valeur);
        EXPECT_EQ(v.erreur, c.erreur) << c.valeur;
        if (*c.erreur)
            continue;
        EXPECT_EQ(v.etats, c.etats) << c.valeur;
        EXPECT_EQ(v.tous, c.tous) << c.valeur;
        EXPECT_EQ(v.minimum.has_value(), !std::isnan(c.min)) << c.valeur;
        if (v.minimum) {
            EXPECT_DOUBLE_EQ(*v.minimum, c.min) << c.valeur;
            EXPECT_DOUBLE_EQ(*v.maximum, c.max) << c.valeur;
        }
    }
}

class DeltaMini : public ::testing::Test {
protected:
    bool convertit(const MiniJeu &jeu)
    {
        source = jeu.ecrit(dir);
        cle = (dir.path() / "cle").string();
        return convertitVers(source, cle, bilan, erreur);
    }

    TempDir dir;
    std::string source, cle, erreur;
    Bilan bilan;
};

TEST_F(DeltaMini, matrixWeightsAndDependenciesFollowTheDirectives)
{
    ASSERT_TRUE(convertit(MiniJeu{})) << erreur;
    EXPECT_TRUE(bilan.problemes.empty()) << bilan.problemes.front();
    KeyModel m;
    ASSERT_TRUE(test::chargeCle(cle, m));
    // A second item of one name, in any case, is told apart.
    ASSERT_EQ(m.Nom_Esp, (std::vector<std::string>{"Alpha", "ALPHA (2)", "Beta"}));
    const int alpha = 0, alpha2 = 1, beta = 2;

    // Each row: a state and the species that have it.
    const std::map<std::string, std::set<int>> ont = {
        {"C1S1", {alpha, alpha2}},       {"C1S2", {beta, alpha2}},
        {"C2S1", {alpha, beta, alpha2}}, {"C2S2", {alpha, beta}},
        {"C2S3", {alpha, beta, alpha2}}, {"C4S1", {beta, alpha2}}, // implicit; inapplicable gives all
        {"C4S2", {alpha, alpha2}},
    };
    for (const auto &[id, especes] : ont)
        for (int s : {alpha, alpha2, beta})
            EXPECT_EQ(m.matrice(s, test::etatDe(m, id)), especes.count(s) ? 1 : 0) << id << " species " << s;

    // Weights are the reliabilities rounded half to even, at least 1; 5 where none is given.
    const std::map<std::string, int> poids = {{"C1S1", 8}, {"C2S3", 1}, {"C4S2", 5}};
    for (const auto &[id, w] : poids)
        EXPECT_EQ(m.Poids[static_cast<std::size_t>(test::etatDe(m, id))], w) << id;
    const ObjetRow *c2 = m.Base_Donnees.objet("C2");
    ASSERT_NE(c2, nullptr);
    EXPECT_FALSE(m.Joker[static_cast<std::size_t>(*c2->Desc_Num)]) << "reliability 0 is never proposed";
    EXPECT_EQ(c2->TipText.value_or(""), "leaf (size)");

    ASSERT_EQ(m.Caracteres_Num.size(), 1u);
    const Caractere_Num &c3 = m.Caracteres_Num[0];
    EXPECT_EQ(c3.Objet, "C3");
    EXPECT_EQ(c3.Unite, "cm long");
    EXPECT_EQ(c3.Poids, 8);
    const std::vector<std::uint8_t> connue = {1, 0, 1};
    EXPECT_EQ(c3.connue, connue);
    EXPECT_DOUBLE_EQ(c3.bas[alpha], 1);
    EXPECT_DOUBLE_EQ(c3.haut[alpha], 7);
    EXPECT_DOUBLE_EQ(c3.bas[beta], 2);
    EXPECT_DOUBLE_EQ(c3.haut[beta], 10);

    sqlite::Database db;
    sqlite::Error e;
    ASSERT_TRUE(db.openReadOnly(m.Chemin_Base, e)) << e.message;
    sqlite::Statement st(db, "SELECT ID_CARAC, Objet FROM Descendance ORDER BY Numero");
    std::vector<std::string> lignes;
    while (st.step())
        lignes.push_back(st.text(0) + ">" + st.text(1));
    EXPECT_EQ(lignes, (std::vector<std::string>{"C1S1>C3", "C1S1>C4"}));

    // The text character goes into the item's page.
    std::ifstream page(fs::path(cle) / "documents/t/t0001/t0001_en.html");
    std::stringstream texte;
    texte << page.rdbuf();
    EXPECT_NE(texte.str().find("a note on alpha"), std::string::npos);
    EXPECT_NE(texte.str().find("Leaf length 1\u20137 cm long"), std::string::npos) << texte.str();

    EXPECT_EQ(bilan.directivesInutilisees, (std::map<std::string, int>{{"*DATA BUFFER SIZE", 1}, {"*SHOW", 1}}));
}

TEST_F(DeltaMini, answersRankTheItems)
{
    ASSERT_TRUE(convertit(MiniJeu{})) << erreur;
    KeyModel m;
    ASSERT_TRUE(test::chargeCle(cle, m));
    test::repond(m, "C1S2");
    EXPECT_EQ(m.Pourcent_Esp[0], 100);
    EXPECT_EQ(m.Nb_Esp_Max, 2) << "Beta and the item coded 1/2";
    test::repond(m, "C2S2");
    EXPECT_EQ(test::premiere(m), "Beta");
    EXPECT_EQ(m.Nb_Esp_Max, 1);
}

// Bad input: a message naming the file, line and directive; what cannot be read stops the
// conversion and leaves nothing, what can be skipped is skipped and counted.
TEST_F(DeltaMini, badInputIsReportedWhereItIs)
{
    struct Cas {
        const char *nom;
        std::string MiniJeu::*fichier;
        const char *avant, *apres;
        bool convertit;
        const char *message;
    };
    const Cas cas[] = {
        {"count contradicted", &MiniJeu::specs, "CHARACTERS 5", "CHARACTERS 6", false,
         "chars, line 1, *CHARACTER LIST: the list holds 5 characters where *NUMBER OF CHARACTERS gives 6"},
        {"no count", &MiniJeu::specs, "*NUMBER OF CHARACTERS 5", "", false, "no *NUMBER OF CHARACTERS"},
        {"character beyond the count", &MiniJeu::items, "4,2 5<", "9,1 4,2 5<", true,
         "items, line 3, *ITEM DESCRIPTIONS: attribute of Alpha names character 9 beyond the 5 characters"},
        {"state beyond the count", &MiniJeu::items, "2,V", "2,4", true,
         "items, line 5, *ITEM DESCRIPTIONS: attribute 2,4 of Beta: state 4 beyond the 3 states"},
        {"unterminated comment", &MiniJeu::items, "2,V", "2,2<never closed", true,
         "items, line 5, *ITEM DESCRIPTIONS: unterminated comment in an attribute of Beta"},
        {"dependency beyond the states", &MiniJeu::specs, "1,2:3-4", "1,3:3-4", true,
         "specs, line 9, *DEPENDENT CHARACTERS: '1,3:3-4' names a state beyond the 2 of character 1"},
        {"type unknown", &MiniJeu::specs, "3,RN", "3,XX", true,
         "specs, line 6, *CHARACTER TYPES: 'XX' is not a value for character 3"},
    };
    for (const Cas &c : cas) {
        SCOPED_TRACE(c.nom);
        MiniJeu jeu;
        jeu.*c.fichier = remplace(jeu.*c.fichier, c.avant, c.apres);
        fs::remove_all(dir.path());
        fs::create_directories(dir.path());
        const bool ok = convertit(jeu);
        EXPECT_EQ(ok, c.convertit) << erreur;
        if (!c.convertit) {
            EXPECT_NE(erreur.find(c.message), std::string::npos) << erreur;
            EXPECT_EQ(contenu(dir.path()), std::set<std::string>{"jeu"}) << "nothing half-written";
            continue;
        }
        EXPECT_EQ(bilan.items, 3) << "the rest is read";
        ASSERT_FALSE(bilan.problemes.empty());
        EXPECT_EQ(bilan.problemes.front(), c.message);
        if (c.fichier == &MiniJeu::items) {
            EXPECT_GE(bilan.attributsIgnores, 1);
        }
    }
}

TEST_F(DeltaMini, aFolderWithoutOneOfTheThreeFilesIsRefused)
{
    for (const char *absent : {"specs", "chars", "items"}) {
        SCOPED_TRACE(absent);
        fs::remove_all(dir.path());
        fs::create_directories(dir.path());
        MiniJeu{}.ecrit(dir);
        fs::remove(dir.path() / "jeu" / absent);
        EXPECT_FALSE(estDossierDelta((dir.path() / "jeu").string()));
        EXPECT_FALSE(convertitVers((dir.path() / "jeu").string(), (dir.path() / "cle").string(), bilan, erreur));
        EXPECT_NE(erreur.find(std::string("no ") + absent + " file"), std::string::npos) << erreur;
        EXPECT_EQ(contenu(dir.path()), std::set<std::string>{"jeu"});
    }
}

// Notes, headings and pictures may name a range of characters ("#71-76.").
TEST_F(DeltaMini, notesForARangeOfCharacters)
{
    const fs::path d = dir.path() / "jeu";
    MiniJeu{}.ecrit(dir);
    test::ecritFichier(d / "cnotes", "*CHARACTER NOTES\r\n#1. first\r\n#3-4. shared \\i{}note\\i0{}\r\n");
    Jeu jeu;
    ASSERT_TRUE(litJeu(d.string(), jeu, erreur)) << erreur;
    EXPECT_TRUE(jeu.problemes.empty()) << jeu.problemes.front().message();
    const std::vector<std::string> notes = {jeu.caractere(1).notes, jeu.caractere(2).notes, jeu.caractere(3).notes,
                                            jeu.caractere(4).notes};
    EXPECT_EQ(notes, (std::vector<std::string>{"first", "", "shared \\i{}note\\i0{}", "shared \\i{}note\\i0{}"}));
}

TEST_F(DeltaMini, fileNamesInAnyCase)
{
    const fs::path d = dir.path() / "jeu";
    const MiniJeu jeu;
    test::ecritFichier(d / "SPECS", jeu.specs);
    test::ecritFichier(d / "Chars", jeu.chars);
    test::ecritFichier(d / "ITEMS", jeu.items);
    EXPECT_TRUE(estDossierDelta(d.string()));
    EXPECT_TRUE(convertitVers(d.string(), (dir.path() / "cle").string(), bilan, erreur)) << erreur;
    EXPECT_EQ(bilan.items, 3);
}

} // namespace
