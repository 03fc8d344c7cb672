// Differences between species, the key checker and the dichotomous key, on keys built to have
// what each looks for.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "base_de_test.h"
#include "engine/dichotomous_key.h"
#include "support/cle_dichotomique.h"
#include "engine/differences.h"
#include "engine/key_check.h"

using namespace tarvenko;
using tarvenko::test::BaseDeTest;
using tools::KbBuilder;

namespace {

// Six trees: two pairs that differ on one question each, a fifth and sixth alike but for height.
void sixArbres(KbBuilder &kb)
{
    kb.espece("A", "F", "AAAAA").espece("B", "F", "BBBBB").espece("C", "G", "CCCCC").espece("D", "G", "DDDDD");
    kb.espece("E", "G", "EEEEE").espece("F", "G", "FFFFF");
    kb.objet({.objet = "LEAF", .etats = {"L_NEEDLE", "L_BROAD"}, .tips = {"Needles", "Broad"}, .tipText = "Leaf type"});
    kb.objet({.objet = "FRUIT", .etats = {"FR_CONE", "FR_ACORN", "FR_NUT"}, .tips = {"Cone", "Acorn", "Nut"}, .tipText = "Fruit"});
    kb.objet({.objet = "BARK", .etats = {"B_SMOOTH", "B_ROUGH"}, .tipText = "Bark"});
    kb.poids("L_NEEDLE", 2).poids("L_BROAD", 2).poids("FR_CONE", 5).poids("FR_ACORN", 5).poids("FR_NUT", 5);
    const std::map<std::string, std::vector<const char *>> etats = {
        {"A", {"L_NEEDLE", "FR_CONE", "B_SMOOTH"}},
        {"B", {"L_NEEDLE", "FR_CONE", "B_ROUGH"}},
        {"C", {"L_BROAD", "FR_ACORN", "B_SMOOTH", "B_ROUGH"}},
        {"D", {"L_BROAD", "FR_NUT", "B_ROUGH"}},
        {"E", {"L_BROAD", "FR_NUT"}},
        {"F", {"L_BROAD", "FR_NUT"}}};
    for (const auto &[espece, liste] : etats)
        for (const char *e : liste)
            kb.a(espece, e);
    kb.numerique({.objet = "HEIGHT", .noms = {"Height", "Altura", "Hauteur"}, .unite = "m", .poids = 3});
    kb.plage("HEIGHT", "A", 10, 20).plage("HEIGHT", "B", 15, 30).plage("HEIGHT", "E", 2, 5).plage("HEIGHT", "F", 6, 9);
}

struct CasDifferences {
    std::vector<std::string> especes;
    std::vector<std::string> questions; // objets, in the order shown
};

TEST(Differences, questionsWhereTwoOfTheSpeciesShareNothingHeaviestFirst)
{
    BaseDeTest base;
    sixArbres(base.kb);
    KeyModel &m = base.charge();
    const std::vector<CasDifferences> cas = {
        {{"A", "B"}, {"BARK"}},               // ranges 10-20 and 15-30 overlap
        {{"A", "C"}, {"FRUIT", "LEAF"}},      // C's bark holds A's
        {{"C", "D"}, {"FRUIT"}},
        {{"E", "F"}, {"HEIGHT"}},             // no states for the bark: no witness
        {{"D", "E"}, {}},
        {{"A", "B", "C", "D", "E"}, {"FRUIT", "HEIGHT", "LEAF", "BARK"}},
    };
    for (const CasDifferences &c : cas) {
        std::vector<int> especes;
        for (const std::string &n : c.especes)
            especes.push_back(base.espece(n));
        const Comparaison comp = Compare_Especes(m, especes);
        std::vector<std::string> objets;
        for (const Difference &d : comp.differences)
            objets.push_back(d.objet);
        EXPECT_EQ(objets, c.questions) << ::testing::PrintToString(c.especes);
        EXPECT_EQ(comp.noms, c.especes);
    }

    const Comparaison comp = Compare_Especes(m, {base.espece("A"), base.espece("C"), base.espece("E"), base.espece("A"), 99});
    EXPECT_EQ(comp.noms, (std::vector<std::string>{"A", "C", "E"})) << "repeated and unknown species are left out";
    ASSERT_EQ(comp.differences.size(), 3u);
    EXPECT_EQ(comp.differences[0].etats, (std::vector<std::vector<std::string>>{{"Cone"}, {"Acorn"}, {"Nut"}}));
    EXPECT_EQ(comp.differences[1].objet, "HEIGHT");
    EXPECT_EQ(comp.differences[1].plages[0], std::optional(std::pair(10.0, 20.0)));
    EXPECT_FALSE(comp.differences[1].plages[1]);
    EXPECT_EQ(Texte_Comparaison(m, comp), "Differences between the species: A; C; E\n"
                                          "Fruit [FRUIT, 5]\n  A: Cone\n  C: Acorn\n  E: Nut\n"
                                          "Height [HEIGHT, 3]\n  A: 10 \u2013 20 m\n  C: no data\n  E: 2 \u2013 5 m\n"
                                          "Leaf type [LEAF, 2]\n  A: Needles\n  C: Broad\n  E: Broad\n");
    const std::string html = Html_Comparaison(m, comp);
    EXPECT_NE(html.find("<th class=\"espece\">C</th>"), std::string::npos);
    EXPECT_NE(html.find("<td class=\"aucune\">no data</td>"), std::string::npos);
    m.Num_Langue = 2;
    EXPECT_NE(Html_Comparaison(m, Compare_Especes(m, {base.espece("D"), base.espece("E")})).find("Aucune question ne distingue"),
              std::string::npos);
}

TEST(Differences, namesAreEscapedInThePage)
{
    BaseDeTest base;
    base.kb.espece("A <b>", "F", "AAAAA").espece("B & co", "F", "BBBBB");
    base.kb.objet({.objet = "X", .etats = {"X1", "X2"}, .tips = {"<script>", "\"q\""}});
    base.kb.a("A <b>", "X1").a("B & co", "X2");
    KeyModel &m = base.charge();
    const std::string html = Html_Comparaison(m, Compare_Especes(m, {0, 1}));
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    EXPECT_NE(html.find("A &lt;b&gt;"), std::string::npos);
    EXPECT_NE(html.find("B &amp; co"), std::string::npos);
    EXPECT_NE(html.find("&quot;q&quot;"), std::string::npos);
}

// A clean key: three species told apart, every state used, each question splits them.
void cleSaine(KbBuilder &kb)
{
    kb.espece("A", "F", "AAAAA").espece("B", "F", "BBBBB").espece("C", "F", "CCCCC");
    kb.objet({.objet = "LEAF", .etats = {"L1", "L2"}});
    kb.objet({.objet = "FRUIT", .etats = {"F1", "F2", "F3"}});
    kb.a("A", "L1").a("A", "F1").a("B", "L2").a("B", "F2").a("C", "L2").a("C", "F3");
}

struct CasConstat {
    const char *nom;
    std::function<void(KbBuilder &)> gate; // what spoils the clean key
    Constat::Genre genre;
    bool grave;
    std::string sujet;
};

TEST(KeyCheck, eachFindingOnAKeyBuiltToHaveIt)
{
    using G = Constat::Genre;
    const std::vector<CasConstat> cas = {
        {"two species alike", [](KbBuilder &kb) { kb.espece("D", "F", "DDDDD").a("D", "L2").a("D", "F3"); },
         G::EspecesInseparables, true, "C / D"},
        {"alike but for a variable state",
         [](KbBuilder &kb) { kb.espece("D", "F", "DDDDD").a("D", "L1").a("D", "L2").a("D", "F1"); }, G::EspecesInseparables, true,
         "A / D"},
        {"overlapping ranges do not separate",
         [](KbBuilder &kb) {
             kb.espece("D", "F", "DDDDD").a("D", "L2").a("D", "F3");
             kb.numerique({.objet = "H"}).plage("H", "C", 1, 5).plage("H", "D", 5, 9).plage("H", "A", 1, 2);
         },
         G::EspecesInseparables, true, "C / D"},
        {"the same states for all",
         [](KbBuilder &kb) {
             kb.objet({.objet = "BARK", .etats = {"B1", "B2"}});
             kb.a("A", "B1").a("A", "B2").a("B", "B1").a("B", "B2").a("C", "B1").a("C", "B2");
         },
         G::QuestionSansPartage, true, "BARK"},
        {"a range the same for all",
         [](KbBuilder &kb) { kb.numerique({.objet = "H"}).plage("H", "A", 1, 5).plage("H", "C", 1, 5); },
         G::QuestionSansPartage, true, "H"},
        {"a state no species has", [](KbBuilder &kb) { kb.objet({.objet = "BARK", .etats = {"B1", "B2", "B3"}});
             kb.a("A", "B1").a("B", "B2"); },
         G::EtatSansEspece, true, "B3"},
        {"a species without data", [](KbBuilder &kb) { kb.espece("D", "F", "DDDDD"); }, G::EspeceSansDonnees, true, "D"},
        {"a question never proposed",
         [](KbBuilder &kb) { kb.objet({.objet = "BARK", .etats = {"B1", "B2"}, .joker = false});
             kb.a("A", "B1").a("B", "B2"); },
         G::QuestionJamaisProposee, false, "BARK"},
        {"a question of one state",
         [](KbBuilder &kb) { kb.objet({.objet = "ONE", .etats = {"O1"}});
             kb.a("A", "O1"); }, G::QuestionJamaisProposee, true, "ONE"},
        {"a dependency cycle",
         [](KbBuilder &kb) { kb.descendance("L1", "FRUIT").descendance("F2", "LEAF"); }, G::CycleDependances, true,
         "FRUIT / LEAF"},
        {"a question clearing itself", [](KbBuilder &kb) { kb.descendance("L1", "LEAF"); }, G::CycleDependances, true, "LEAF"},
        {"a missing question picture",
         [](KbBuilder &kb) { kb.objet({.objet = "BARK", .etats = {"B1", "B2"}, .popup = "bark.wmf"});
             kb.a("A", "B1").a("B", "B2"); },
         G::ImageManquante, true, "bark.wmf"},
        {"a missing button picture", [](KbBuilder &kb) { kb.butDeter("Go", "go.ico", "Go", "Search"); }, G::ImageManquante, true,
         "go.ico"},
    };
    {
        BaseDeTest base;
        cleSaine(base.kb);
        KeyModel &m = base.charge();
        m.Adresse_Documents = "http://example.org/";
        EXPECT_TRUE(Verifie_Cle(m).empty()) << Verifie_Cle(m).front().texte;
    }
    for (const CasConstat &c : cas) {
        BaseDeTest base;
        cleSaine(base.kb);
        c.gate(base.kb);
        KeyModel &m = base.charge();
        m.Chemin_Descripteurs = base.dir.dossier() + "descripteurs/";
        m.Adresse_Documents = "http://example.org/"; // pages on a server are not checked
        const std::vector<Constat> constats = Verifie_Cle(m);
        ASSERT_EQ(constats.size(), 1u) << c.nom << ": " << (constats.empty() ? "" : constats.back().texte);
        EXPECT_EQ(constats[0].genre, c.genre) << c.nom;
        EXPECT_EQ(constats[0].grave, c.grave) << c.nom;
        EXPECT_NE(constats[0].sujet.find(c.sujet), std::string::npos) << c.nom << ": " << constats[0].sujet;
    }
}

TEST(KeyCheck, theSplitStopsWithAWarningPastItsBudget)
{
    BaseDeTest base;
    cleSaine(base.kb);
    base.kb.espece("D", "F", "DDDDD").a("D", "L2").a("D", "F3");
    KeyModel &m = base.charge();
    m.Adresse_Documents = "http://example.org/";
    ASSERT_EQ(Verifie_Cle(m).size(), 1u);
    const std::vector<Constat> constats = Verifie_Cle(m, 2);
    ASSERT_EQ(constats.size(), 1u);
    EXPECT_FALSE(constats[0].grave);
    EXPECT_NE(constats[0].texte.find("stopped after 2 steps"), std::string::npos);
}

TEST(KeyCheck, pagesAreLookedForInEachLanguage)
{
    BaseDeTest base;
    cleSaine(base.kb);
    KeyModel &m = base.charge();
    const std::string docs = base.dir.dossier() + "documents/";
    m.Adresse_Documents = docs;
    for (const char *code : {"aaaaa", "bbbbb", "ccccc"}) {
        std::filesystem::create_directories(docs + code[0] + "/" + code);
        std::ofstream(docs + code[0] + "/" + code + "/" + code + "_en.html") << "page";
    }
    for (const char *l : {"en", "es", "fr"})
        std::ofstream(m.Chemin_Data + "error_" + l + ".html") << "error";
    std::ofstream(docs + "a/aaaaa/aaaaa_fr.html") << "page";

    std::vector<Constat> constats = Verifie_Cle(m);
    ASSERT_EQ(constats.size(), 2u);
    EXPECT_FALSE(constats[0].grave) << "a missing translation is the author's choice";
    EXPECT_EQ(constats[0].texte, "3 species have no page in es (A, B, C): the error page is shown instead");
    EXPECT_EQ(constats[1].texte, "2 species have no page in fr (B, C): the error page is shown instead");

    std::filesystem::remove(docs + "b/bbbbb/bbbbb_en.html");
    constats = Verifie_Cle(m);
    ASSERT_FALSE(constats.empty());
    EXPECT_TRUE(constats[0].grave);
    EXPECT_EQ(constats[0].genre, Constat::Genre::PageManquante);
    EXPECT_NE(constats[0].sujet.find("bbbbb_en.html"), std::string::npos);
}

TEST(DichotomousKey, everySpeciesIsReachedByItsOwnStatesAndAlikeSpeciesEndTogether)
{
    BaseDeTest base;
    sixArbres(base.kb);
    KeyModel &m = base.charge();
    const Cle_Dichotomique cle = Construit_Cle_Dichotomique(m);
    ASSERT_FALSE(cle.couplets.empty());
    for (int s = 0; s < m.Nb_Esp; ++s)
        EXPECT_TRUE(test::atteintParSesEtats(cle, m, s)) << m.Nom_Esp[static_cast<std::size_t>(s)];
    // E and F differ only by a number, which the key does not ask, and have no bark that would
    // tell them from D.
    bool ensemble = false;
    for (const Couplet &c : cle.couplets)
        for (const Branche &b : c.branches)
            ensemble = ensemble || b.especes == std::vector<int>{base.espece("D"), base.espece("E"), base.espece("F")};
    EXPECT_TRUE(ensemble);
    // The first couplet splits the six best: the fruit (cone 2, acorn 1, nut 3).
    EXPECT_EQ(cle.couplets[0].objet, "FRUIT");
    const std::string html = Html_Cle_Dichotomique(m, cle);
    EXPECT_NE(html.find("<h2>1. Fruit</h2>"), std::string::npos);
    EXPECT_NE(html.find("Cannot be told apart: <i>D</i>, <i>E</i>, <i>F</i>"), std::string::npos);
    EXPECT_NE(html.find("6 species, " + std::to_string(cle.couplets.size()) + " couplets"), std::string::npos);
    // Read as text, as a printout or a reader without style sheets has it, a lead's number and
    // its state stay two words.
    std::string texte;
    bool balise = false;
    for (const char c : html) {
        if (c == '<')
            balise = true;
        else if (c == '>')
            balise = false;
        else if (!balise)
            texte += c;
    }
    EXPECT_NE(texte.find("1a Cone"), std::string::npos) << texte;
    EXPECT_EQ(texte.find("1aCone"), std::string::npos);
}

TEST(DichotomousKey, aKeyWithoutSeparatingQuestionsListsItsSpeciesTogether)
{
    BaseDeTest base;
    base.kb.espece("A", "F", "AAAAA").espece("B", "F", "BBBBB");
    base.kb.objet({.objet = "X", .etats = {"X1", "X2"}});
    base.kb.a("A", "X1").a("B", "X1");
    KeyModel &m = base.charge();
    const Cle_Dichotomique cle = Construit_Cle_Dichotomique(m);
    EXPECT_TRUE(cle.couplets.empty());
    EXPECT_EQ(cle.sansCouplet, (std::vector<int>{0, 1}));
}

} // namespace
