#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <tuple>

#include "base_de_test.h"
#include "engine/numeric_characters.h"
#include "engine/report.h"
#include "engine/scoring.h"

using namespace tarvenko;
using tarvenko::test::BaseDeTest;

namespace {

// Three species and one two-state character per weight under test.
class Classement : public ::testing::Test {
protected:
    // Declares character `id` with state `id`1 of weight `poids`, held by the given species.
    void caractere(const std::string &id, std::int16_t poids, std::initializer_list<const char *> especes)
    {
        base.kb.objet({.objet = id, .etats = {id + "1", id + "2"}});
        base.kb.poids(id + "1", poids);
        for (const char *e : especes)
            base.kb.a(e, id + "1");
    }

    void SetUp() override { base.kb.espece("Alpha", "F", "ALPHA").espece("Beta", "F", "BETAA").espece("Gamma", "F", "GAMMA"); }

    BaseDeTest base;
};

TEST_F(Classement, nothingChosenListsEverySpeciesAtZero)
{
    caractere("A", 1, {"Alpha"});
    base.charge();
    const ListeEspeces liste = Affiche_Especes(base.m);
    EXPECT_EQ(liste.lignes.textes(base.m), (std::vector<std::string>{" 0% - Alpha", " 0% - Beta", " 0% - Gamma"}));
    EXPECT_EQ(base.m.Nb_Esp_Max, 3);
    EXPECT_EQ(liste.legende, " 3 species at 0 %");
}

TEST_F(Classement, equalScoresKeepTheSpeciesOrderAndShareTheLead)
{
    caractere("A", 2, {"Gamma", "Beta"});
    caractere("B", 1, {"Alpha"});
    base.charge();
    base.choisit("A1");
    base.choisit("B1");
    const ListeEspeces liste = Affiche_Especes(base.m);
    EXPECT_EQ(liste.lignes.textes(base.m), (std::vector<std::string>{" 67% - Beta", " 67% - Gamma", " 33% - Alpha"}));
    EXPECT_EQ(base.m.Classement[0], (std::vector<std::int64_t>{2, 2, 1}));
    EXPECT_EQ(base.m.Nb_Esp_Max, 2);
    EXPECT_EQ(liste.legende, " 2 species at 67 %");
}

TEST_F(Classement, aThresholdAboveTheTopListsNothing)
{
    caractere("A", 1, {"Alpha"});
    caractere("B", 1, {});
    base.charge();
    base.choisit("A1");
    base.choisit("B1");
    base.m.Seuil_Affichage = 51;
    const ListeEspeces liste = Affiche_Especes(base.m);
    EXPECT_TRUE(liste.lignes.empty());
    EXPECT_EQ(base.m.Nb_Esp_Max, 0);
    EXPECT_EQ(liste.legende, "No species reaches 51 % yet") << "not \" 0 species at 50 %\"";

    base.m.Seuil_Affichage = 50;
    EXPECT_EQ(Lignes_Especes(base.m), (std::vector<std::string>{" 50% - Alpha"}));
    EXPECT_EQ(base.m.Nb_Esp_Max, 0) << "refilling for a new threshold does not recount";
}

TEST_F(Classement, aNegativeTotalRanksByPercentageSoEachLineIsItsRank)
{
    // Total weight 10 - 20 = -10: a higher score is a lower percentage.
    caractere("A", 10, {"Alpha", "Beta"});
    caractere("B", -20, {"Alpha"});
    base.charge();
    base.choisit("A1");
    base.choisit("B1");
    const ListeEspeces liste = Affiche_Especes(base.m);
    EXPECT_EQ(liste.lignes.textes(base.m), (std::vector<std::string>{" 100% - Alpha", " 0% - Gamma"}));
    EXPECT_EQ(base.m.Classement[1],
              (std::vector<std::int64_t>{base.espece("Alpha"), base.espece("Gamma"), base.espece("Beta")}));
    EXPECT_EQ(base.m.Classement[0], (std::vector<std::int64_t>{-10, 0, 10}));
    EXPECT_EQ(base.m.Pourcent_Esp, (std::vector<std::int64_t>{100, 0, -100}));
    EXPECT_EQ(base.m.Nb_Esp_Max, 1);
    EXPECT_EQ(liste.legende, " 1 species at 100 %");
}

TEST_F(Classement, aNegativeTotalKeepsTheSpeciesOrderOnEqualScores)
{
    caractere("A", -1, {"Gamma", "Beta"});
    base.charge();
    base.choisit("A1");
    EXPECT_EQ(Affiche_Especes(base.m).lignes.textes(base.m),
              (std::vector<std::string>{" 100% - Beta", " 100% - Gamma", " 0% - Alpha"}));
    EXPECT_EQ(base.m.Nb_Esp_Max, 2);
}

struct Arrondi {
    std::int16_t poidsTenu, poidsAutre;
    std::string ligne;
};

void PrintTo(const Arrondi &a, std::ostream *os) { *os << a.ligne; }

class Pourcentages : public Classement, public ::testing::WithParamInterface<Arrondi> {};

TEST_P(Pourcentages, roundHalvesToEven)
{
    caractere("A", GetParam().poidsTenu, {"Alpha"});
    caractere("B", GetParam().poidsAutre, {});
    base.charge();
    base.choisit("A1");
    base.choisit("B1");
    base.m.Seuil_Affichage = -100;
    const std::vector<std::string> lignes = Affiche_Especes(base.m).lignes.textes(base.m);
    EXPECT_NE(std::find(lignes.begin(), lignes.end(), GetParam().ligne), lignes.end()) << lignes.at(0);
}

INSTANTIATE_TEST_SUITE_P(Classement, Pourcentages,
                         ::testing::Values(Arrondi{1, 7, " 12% - Alpha"},     // 12.5
                                           Arrondi{27, 173, " 14% - Alpha"},  // 13.5
                                           Arrondi{1, 2, " 33% - Alpha"},     // 33.3
                                           Arrondi{-1, 3, "-50% - Alpha"}));  // a negative weight

TEST_F(Classement, heavyIdentificationsStillRank)
{
    // 400 x 100 does not fit 16 bits; 90000 does not either.
    caractere("A", 200, {"Alpha", "Beta"});
    caractere("B", 200, {"Alpha"});
    caractere("C", 30000, {"Gamma"});
    caractere("D", 30000, {"Gamma"});
    caractere("E", 30000, {"Gamma"});
    base.charge();
    for (const char *e : {"A1", "B1"})
        base.choisit(e);
    EXPECT_EQ(Affiche_Especes(base.m).lignes.textes(base.m), (std::vector<std::string>{" 100% - Alpha", " 50% - Beta", " 0% - Gamma"}));

    for (const char *e : {"C1", "D1", "E1"})
        base.choisit(e);
    const ListeEspeces liste = Affiche_Especes(base.m);
    EXPECT_EQ(liste.lignes.textes(base.m), (std::vector<std::string>{" 100% - Gamma", " 0% - Alpha", " 0% - Beta"}));
    EXPECT_EQ(base.m.Score_Esp[static_cast<std::size_t>(base.espece("Gamma"))], 90000);
    EXPECT_EQ(base.m.Score_Esp[static_cast<std::size_t>(base.espece("Alpha"))], 400);
}

TEST_F(Classement, legendeIsInTheCurrentLanguage)
{
    caractere("A", 1, {"Alpha"});
    base.charge();
    base.choisit("A1");
    base.m.Num_Langue = 2;
    EXPECT_EQ(Affiche_Especes(base.m).legende, " 1 espèces à 100 %");
    base.m.Num_Langue = 7; // a language the table does not have
    EXPECT_EQ(Affiche_Especes(base.m).legende, " 1 species at 100 %");
}

// A key with a numeric character LONGUEUR (cm, weight 2) beside a state character A (weight 1,
// held by Alpha and Beta). Alpha 10-20, Beta 30-40 with extremes 25-50, Gamma without data,
// Delta 10-12.
class ScoreNumerique : public ::testing::Test {
protected:
    void SetUp() override
    {
        base.kb.espece("Alpha", "F", "ALPHA").espece("Beta", "F", "BETAA").espece("Gamma", "F", "GAMMA").espece("Delta", "F", "DELTA");
        base.kb.objet({.objet = "A", .etats = {"A1", "A2"}});
        base.kb.a("Alpha", "A1").a("Beta", "A1");
        base.kb.numerique({.objet = "LONGUEUR", .noms = {"Leaf length", "", "Longueur de la feuille"}, .unite = "cm", .poids = 2});
        base.kb.plage("LONGUEUR", "Alpha", 10, 20).plage("LONGUEUR", "Beta", 30, 40, 25, 50).plage("LONGUEUR", "Delta", 10, 12);
        base.charge();
    }

    // Raw scores of Alpha, Beta, Gamma, Delta.
    std::vector<std::int64_t> scores()
    {
        Calcule_Scores(base.m);
        std::vector<std::int64_t> out;
        for (const char *e : {"Alpha", "Beta", "Gamma", "Delta"})
            out.push_back(base.m.Score_Esp[static_cast<std::size_t>(base.espece(e))]);
        return out;
    }

    BaseDeTest base;
};

struct CasNumerique {
    const char *nom;
    double reponse;
    double tolerance;
    std::vector<std::int64_t> scores; // Alpha, Beta, Gamma, Delta
};

void PrintTo(const CasNumerique &c, std::ostream *os) { *os << c.nom; }

class ScoreNumeriqueCas : public ScoreNumerique, public ::testing::WithParamInterface<CasNumerique> {};

TEST_P(ScoreNumeriqueCas, theWeightGoesToTheSpeciesWhoseWidenedRangeHoldsTheAnswer)
{
    base.m.Tolerance_Num = GetParam().tolerance;
    ASSERT_TRUE(Repond_Num(base.m, Caractere_Num_De(base.m, "longueur"), GetParam().reponse));
    EXPECT_EQ(scores(), GetParam().scores);
}

INSTANTIATE_TEST_SUITE_P(
    Numerique, ScoreNumeriqueCas,
    ::testing::Values(CasNumerique{"inside", 15, 10, {2, 0, 2, 0}},
                      CasNumerique{"insideTheTolerance", 22, 10, {2, 0, 2, 0}},     // 20 + 2.2
                      CasNumerique{"onTheUpperEdge", 16, 25, {2, 0, 2, 2}},         // Delta: 12 + 4
                      CasNumerique{"justPastTheUpperEdge", 16.5, 25, {2, 0, 2, 0}}, // Delta: 12 + 4.125
                      CasNumerique{"onTheLowerEdgeOfTheExtremes", 20, 25, {2, 2, 2, 0}}, // Beta: 25 - 5
                      CasNumerique{"theUsualRangeAloneWouldMiss", 27, 0, {0, 2, 2, 0}},
                      CasNumerique{"noToleranceKeepsTheBounds", 20, 0, {2, 0, 2, 0}},
                      CasNumerique{"aNegativeAnswerWidensByItsSize", -10, 200, {2, 0, 2, 2}}, // 10 - 20
                      CasNumerique{"outsideOnlyTheUnknownScores", 100, 10, {0, 0, 2, 0}}),
    [](const auto &cas) { return std::string(cas.param.nom); });

TEST_F(ScoreNumerique, statesAndNumbersAddUpAndTheTotalHoldsTheWeight)
{
    base.choisit("A1");
    const std::vector<std::string> avant = Affiche_Especes(base.m).lignes.textes(base.m);
    EXPECT_EQ(avant, (std::vector<std::string>{" 100% - Alpha", " 100% - Beta", " 0% - Delta", " 0% - Gamma"}))
        << "no numeric answer: the ranking of the states alone";

    const int c = Caractere_Num_De(base.m, "LONGUEUR");
    ASSERT_TRUE(Repond_Num(base.m, c, 15));
    EXPECT_EQ(Affiche_Especes(base.m).lignes.textes(base.m),
              (std::vector<std::string>{" 100% - Alpha", " 67% - Gamma", " 33% - Beta", " 0% - Delta"}));

    EXPECT_EQ(Contradictions_Num(base.m, base.espece("Beta")), std::vector<int>{c});
    EXPECT_TRUE(Contradictions_Num(base.m, base.espece("Gamma")).empty()) << "no data contradicts nothing";
    EXPECT_TRUE(Contradictions_Num(base.m, base.espece("Alpha")).empty());

    Retire_Num(base.m, c);
    EXPECT_EQ(Affiche_Especes(base.m).lignes.textes(base.m), avant);
    EXPECT_TRUE(Contradictions_Num(base.m, base.espece("Beta")).empty());
    EXPECT_FALSE(Repond_Num(base.m, c, std::nan(""))) << "text typed in the entry is no answer";
    EXPECT_FALSE(Repond_Num(base.m, 7, 1.0));
    EXPECT_EQ(Affiche_Especes(base.m).lignes.textes(base.m), avant);
}

TEST_F(ScoreNumerique, theQuestionShowsItsNameUnitAndTheRangeAmongTheLeaders)
{
    const int c = Caractere_Num_De(base.m, "LONGUEUR");
    Affiche_Especes(base.m);
    Question_Num q = Decrit_Question_Num(base.m, c);
    EXPECT_EQ(q.nom, "Leaf length");
    EXPECT_EQ(q.unite, "cm");
    ASSERT_TRUE(q.etendue);
    EXPECT_EQ(std::tie(q.etendue->minimum, q.etendue->maximum, q.etendue->especes), std::tuple(10.0, 40.0, 3))
        << "the usual values of every species with data";
    EXPECT_FALSE(q.valeur);

    base.choisit("A1"); // Alpha and Beta lead
    base.m.Num_Langue = 2;
    Affiche_Especes(base.m);
    Repond_Num(base.m, c, 12);
    q = Decrit_Question_Num(base.m, c);
    EXPECT_EQ(q.nom, "Longueur de la feuille");
    ASSERT_TRUE(q.etendue);
    EXPECT_EQ(std::tie(q.etendue->minimum, q.etendue->maximum, q.etendue->especes), std::tuple(10.0, 40.0, 2));
    EXPECT_EQ(q.valeur, 12.0);

    base.m.Num_Langue = 1; // no Spanish name: English
    EXPECT_EQ(Decrit_Question_Num(base.m, c).nom, "Leaf length");
}

TEST_F(Classement, nothingAnsweredUnderAThresholdSaysNoSpeciesReachesIt)
{
    caractere("A", 1, {"Alpha"});
    base.charge();
    base.m.Seuil_Affichage = 40;
    const struct {
        std::int16_t langue;
        const char *legende;
    } rows[] = {{0, "No species reaches 40 % yet"},
                {1, "Ninguna especie alcanza aún el 40 %"},
                {2, "Aucune espèce n'atteint encore 40 %"}};
    for (const auto &row : rows) {
        base.m.Num_Langue = row.langue;
        const ListeEspeces liste = Affiche_Especes(base.m);
        EXPECT_TRUE(liste.lignes.empty());
        EXPECT_EQ(liste.legende, row.legende);
        EXPECT_EQ(Legende_Especes(base.m), row.legende);
    }
    base.m.Num_Langue = 0;
    base.m.Seuil_Affichage = 0; // every species listed again
    EXPECT_EQ(Legende_Especes(base.m), " 3 species at 0 %");
}

// The reference: passes of adjacent swaps on a strictly lower score until a pass swaps nothing.
std::array<std::vector<std::int64_t>, 2> triABulles(const std::vector<std::int64_t> &scores)
{
    std::array<std::vector<std::int64_t>, 2> c{scores, {}};
    for (std::size_t r = 0; r < scores.size(); ++r)
        c[1].push_back(static_cast<std::int64_t>(r));
    for (bool swapped = scores.size() >= 2; swapped;) {
        swapped = false;
        for (std::size_t j = 0; j + 1 < scores.size(); ++j) {
            if (c[0][j] < c[0][j + 1]) {
                std::swap(c[0][j], c[0][j + 1]);
                std::swap(c[1][j], c[1][j + 1]);
                swapped = true;
            }
        }
    }
    return c;
}

TEST(Tri, ranksAsTheAdjacentSwapSortDoes)
{
    std::mt19937 random(42);
    for (int essai = 0; essai < 50; ++essai) {
        KeyModel m;
        const auto n = static_cast<std::size_t>(std::uniform_int_distribution<int>(0, 300)(random));
        std::uniform_int_distribution<std::int64_t> score(-3, 8); // many ties
        for (std::size_t s = 0; s < n; ++s)
            m.Score_Esp.push_back(score(random));
        Trie_Scores(m);
        EXPECT_EQ(m.Classement, triABulles(m.Score_Esp)) << "with " << n << " species";
    }
}

// Scores spread too far for a count per value: the radix passes, up to the full 64-bit range.
TEST(Tri, ranksScoresSpreadOverAnyRangeAsTheAdjacentSwapSortDoes)
{
    struct Cas {
        std::int64_t bas, haut;
    };
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::mt19937_64 random(7);
    for (const Cas c : {Cas{0, 2047}, Cas{-5000, 5000}, Cas{0, 1 << 22}, Cas{-(std::int64_t{1} << 40), std::int64_t{1} << 40},
                        Cas{kMin, kMax}}) {
        for (const std::size_t n : {std::size_t{1}, std::size_t{2}, std::size_t{97}, std::size_t{300}}) {
            KeyModel m;
            std::uniform_int_distribution<std::int64_t> score(c.bas, c.haut);
            for (std::size_t s = 0; s < n; ++s)
                m.Score_Esp.push_back(s % 5 == 4 ? m.Score_Esp[s / 2] : score(random)); // some ties
            if (n > 2) {
                m.Score_Esp[0] = c.bas;
                m.Score_Esp[1] = c.haut;
            }
            Trie_Scores(m);
            EXPECT_EQ(m.Classement, triABulles(m.Score_Esp)) << n << " species in [" << c.bas << ", " << c.haut << "]";
        }
    }
}

// Under a negative total weight the ranking ascends, equal scores still by species number.
TEST(Tri, aNegativeTotalRanksAscendingOverAWideRange)
{
    KeyModel m;
    m.Nb_Etats_Desc = 1;
    m.Poids = {-1};
    m.Etat_Choisi = {1};
    m.Score_Esp = {5, -(std::int64_t{1} << 50), 5, std::int64_t{1} << 50, -7, -(std::int64_t{1} << 50)};
    Trie_Scores(m);
    EXPECT_EQ(m.Classement[1], (std::vector<std::int64_t>{1, 5, 4, 0, 2, 3}));
    EXPECT_EQ(m.Classement[0][0], -(std::int64_t{1} << 50));
}

} // namespace

// What a printed identification lists: the answers by question and state names, the listed
// ranks with their percentages, no more than asked for.
TEST_F(Classement, theReportNamesTheAnswersAndTheListedRanks)
{
    base.kb.objet({.objet = "FEUILLE", .etats = {"F1", "F2", "F3"}, .tips = {"Lobed", "", "Needle"}, .tipText = "Leaf shape"});
    base.kb.objet({.objet = "ECORCE", .etats = {"E1", "E2"}, .tipText = "Bark"});
    base.kb.a("Alpha", "F1").a("Beta", "F1").a("Beta", "F2").a("Gamma", "E1");
    base.charge();
    base.choisit("F1");
    base.choisit("F2");
    Affiche_Especes(base.m);

    const RapportIdentification rapport = Rapport_Identification(base.m);
    ASSERT_EQ(rapport.reponses.size(), 1U); // Bark was not answered
    EXPECT_EQ(rapport.reponses[0].question, "Leaf shape");
    EXPECT_EQ(rapport.reponses[0].etats, (std::vector<std::string>{"Lobed", "F2"})); // code where no name
    const auto noms = [](const RapportIdentification &r) {
        std::vector<std::string> out;
        for (const EspeceRapport &e : r.especes)
            out.push_back(e.nom + " " + std::to_string(e.pourcent));
        return out;
    };
    EXPECT_EQ(noms(rapport), (std::vector<std::string>{"Beta 100", "Alpha 50", "Gamma 0"}));
    EXPECT_EQ(noms(Rapport_Identification(base.m, 2)), (std::vector<std::string>{"Beta 100", "Alpha 50"}));
    base.m.Seuil_Affichage = 50;
    EXPECT_EQ(noms(Rapport_Identification(base.m)), (std::vector<std::string>{"Beta 100", "Alpha 50"}));
}

