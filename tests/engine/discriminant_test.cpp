#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "base_de_test.h"
#include "engine/discriminant.h"
#include "engine/numeric_characters.h"
#include "engine/question_bar.h"
#include "engine/scoring.h"

using namespace tarvenko;
using tarvenko::test::BaseDeTest;

namespace {

struct Repartition {
    std::vector<std::int64_t> parEtat;
    std::int64_t N;
    double mesure;
};

class Mesure : public ::testing::TestWithParam<Repartition> {};

TEST_P(Mesure, isTheNormalisedEntropyOfTheLeaders)
{
    EXPECT_NEAR(Mesure_Discriminante(GetParam().parEtat, GetParam().N), GetParam().mesure, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Discriminant, Mesure,
    ::testing::Values(Repartition{{1, 1, 1}, 3, 1.0},                                                  // spread evenly
                      Repartition{{2, 1, 0}, 3, (2.0 / 3 * std::log(1.5) + std::log(3.0) / 3) / std::log(3.0)}, // ~0.579
                      Repartition{{0, 4, 0}, 4, 0.0},                                                  // all share one state
                      Repartition{{1, 2, 1}, 3, (2 * std::log(3.0) / 3 + 2.0 / 3 * std::log(1.5)) / std::log(3.0)}, // two states of one species
                      Repartition{{3}, 5, 0.0},                                                        // K = 1
                      Repartition{{}, 5, 0.0}));

// Ranges of the leading species for one numeric character: how evenly they split them.
struct Plages {
    const char *nom;
    std::vector<std::optional<std::pair<double, double>>> plages; // one per leader; none: no data
    double mesure;
};

void PrintTo(const Plages &p, std::ostream *os) { *os << p.nom; }

class MesureNumerique : public ::testing::TestWithParam<Plages> {};

TEST_P(MesureNumerique, cutsTheValuesIntoIntervalsOfOneSetOfSpecies)
{
    KeyModel m;
    Caractere_Num c;
    std::vector<std::int64_t> leaders;
    for (const auto &p : GetParam().plages) {
        leaders.push_back(static_cast<std::int64_t>(c.connue.size()));
        c.connue.push_back(p ? 1 : 0);
        c.bas.push_back(p ? p->first : 0);
        c.haut.push_back(p ? p->second : 0);
    }
    c.minimum = c.bas;
    c.maximum = c.haut;
    m.Caracteres_Num.push_back(c);
    EXPECT_NEAR(Mesure_Num(m, 0, leaders), GetParam().mesure, 1e-12);
}

const double ln2 = std::log(2.0), ln3 = std::log(3.0);
using P = std::pair<double, double>;

INSTANTIATE_TEST_SUITE_P(
    Discriminant, MesureNumerique,
    ::testing::Values(Plages{"identicalRangesSplitNothing", {P{1, 3}, P{1, 3}}, 0.0},
                      Plages{"disjointRangesSplitEvenly", {P{1, 2}, P{5, 9}}, 1.0},
                      Plages{"touchingRangesShareTheirBound", {P{1, 2}, P{2, 3}}, ln2 / ln3}, // {A} {A,B} {B}
                      Plages{"overlappingRanges", {P{1, 3}, P{2, 4}}, ln2 / ln3},
                      Plages{"aPointInsideARange", {P{5, 5}, P{5, 6}}, 0.5},                 // {A,B} (5,6]{B}
                      Plages{"theSameSetOnBothSidesIsOneOutcome", {P{1, 9}, P{4, 5}}, 0.5}, // {A} {A,B} {A}
                      Plages{"unknownSpeciesAreInEveryInterval", {P{1, 2}, P{3, 4}, std::nullopt},
                             2 * (2.0 / 3 * std::log(1.5)) / ln2},
                      Plages{"nothingKnownSplitsNothing", {std::nullopt, std::nullopt}, 0.0},
                      Plages{"noLeaders", {}, 0.0}),
    [](const auto &cas) { return std::string(cas.param.nom); });

// Three species, no answer yet: all three lead at 0 %.
class Recherche : public ::testing::Test {
protected:
    void SetUp() override { base.kb.espece("Alpha", "F", "ALPHA").espece("Beta", "F", "BETAA").espece("Gamma", "F", "GAMMA"); }

    // A character with one state per entry of `detenteurs`, each held by the species listed.
    void caractere(const std::string &objet, std::vector<std::vector<const char *>> detenteurs, int cadre = -1)
    {
        std::vector<std::string> etats;
        for (std::size_t i = 0; i < detenteurs.size(); ++i)
            etats.push_back(objet + std::to_string(i));
        base.kb.objet({.objet = objet, .etats = etats, .cadre = static_cast<std::int16_t>(cadre)});
        for (std::size_t i = 0; i < detenteurs.size(); ++i)
            for (const char *espece : detenteurs[i])
                base.kb.a(espece, etats[i]);
    }

    ResultatRecherche cherche()
    {
        Affiche_Especes(base.m);
        return Cherche_Discriminant(base.m);
    }

    BaseDeTest base;
};

TEST_F(Recherche, asksTheCharacterThatSplitsTheLeadersMostEvenly)
{
    caractere("DEUX_UN", {{"Alpha", "Beta"}, {"Gamma"}, {}});
    caractere("TROIS", {{"Alpha"}, {"Beta"}, {"Gamma"}});
    caractere("UN", {{"Alpha", "Beta", "Gamma"}, {}});
    base.charge();

    const ResultatRecherche r = cherche();

    ASSERT_EQ(r.issue, ResultatRecherche::Issue::Question);
    EXPECT_EQ(r.ligne->Objet, "TROIS");
    EXPECT_DOUBLE_EQ(r.mesure, 1.0);
    EXPECT_EQ(base.m.Descripteur_Courant.Objet, "TROIS");
    EXPECT_EQ(base.m.Descripteur_Courant.Index_Car, base.etat("TROIS0"));
    EXPECT_EQ(base.m.Descripteur_Courant.Selection, -1);
}

TEST_F(Recherche, equalMeasuresGoToTheEarlierRowInKeyOrder)
{
    caractere("ZETA", {{"Alpha"}, {"Beta", "Gamma"}});
    caractere("EPSILON", {{"Alpha"}, {"Beta", "Gamma"}}); // declared later, first in key order
    base.charge();
    EXPECT_EQ(cherche().ligne->Objet, "EPSILON");
}

TEST_F(Recherche, answeredPassedAndSingleStateCharactersAreNotAsked)
{
    caractere("A_REPONDU", {{"Alpha"}, {"Beta"}, {"Gamma"}});
    caractere("B_PASSE", {{"Alpha"}, {"Beta"}, {"Gamma"}});
    caractere("C_SEUL", {{"Alpha"}});
    caractere("D_RESTE", {{"Alpha", "Beta", "Gamma"}, {"Gamma"}});
    base.charge();
    base.choisit("A_REPONDU2");
    base.m.Joker[static_cast<std::size_t>(base.m.Base_Donnees.objet("B_PASSE")->Desc_Num.value())] = false;

    // Gamma alone leads now; to see the measures, count all three as leaders.
    Affiche_Especes(base.m);
    base.m.Nb_Esp_Max = 3;
    base.m.Classement[1] = {0, 1, 2};
    const ResultatRecherche r = Cherche_Discriminant(base.m);
    ASSERT_EQ(r.issue, ResultatRecherche::Issue::Question);
    EXPECT_EQ(r.ligne->Objet, "D_RESTE");
}

TEST_F(Recherche, onlyTheLeadingSpeciesAreCounted)
{
    caractere("LEAD", {{"Alpha", "Beta"}, {"Gamma"}});
    caractere("SPLIT", {{"Alpha"}, {"Beta", "Gamma"}});
    base.charge();
    base.choisit("LEAD0"); // Alpha and Beta lead
    const ResultatRecherche r = cherche();
    EXPECT_EQ(base.m.Nb_Esp_Max, 2);
    ASSERT_EQ(r.issue, ResultatRecherche::Issue::Question);
    EXPECT_EQ(r.ligne->Objet, "SPLIT");
    EXPECT_DOUBLE_EQ(r.mesure, 1.0) << "Alpha and Beta, one on each state";
}

TEST_F(Recherche, nothingListedCountsEverySpeciesAndKeepsThatCount)
{
    caractere("LEAD", {{"Alpha"}, {"Beta", "Gamma"}});
    caractere("SPLIT", {{"Alpha", "Beta"}, {"Gamma"}, {}});
    base.charge();
    base.choisit("LEAD0");
    base.m.Seuil_Affichage = 101;
    const ResultatRecherche r = cherche();
    EXPECT_EQ(base.m.Nb_Esp_Max, 3);
    ASSERT_EQ(r.issue, ResultatRecherche::Issue::Question);
    EXPECT_EQ(r.ligne->Objet, "SPLIT");
}

TEST_F(Recherche, nothingLeftToSplitOffersThePassedQuestionsOnce)
{
    caractere("SPLIT", {{"Alpha"}, {"Beta"}, {"Gamma"}});
    caractere("PLAT", {{"Alpha", "Beta", "Gamma"}, {}});
    base.charge();
    Affiche_Especes(base.m);

    base.ouvre("SPLIT", -1);
    const ClicBarreQuestion passe = Clic_Barre_Question(base.m, Position_Passer, {});
    ASSERT_EQ(passe.recherche.issue, ResultatRecherche::Issue::ProposeReprise);
    EXPECT_EQ(Message_Recherche(base.m, passe.recherche.issue),
              "No more discriminant characteristic !!!\nDo you want to try chararacteristics you didn't use ?");

    const ResultatRecherche reprise = Reprend_Discriminant(base.m);
    EXPECT_FALSE(base.m.Question_Passee);
    ASSERT_EQ(reprise.issue, ResultatRecherche::Issue::Question);
    EXPECT_EQ(reprise.ligne->Objet, "SPLIT");

    base.choisit("SPLIT0");
    EXPECT_EQ(cherche().issue, ResultatRecherche::Issue::AucuneQuestion);
    EXPECT_EQ(Message_Recherche(base.m, ResultatRecherche::Issue::AucuneQuestion), "No more discriminant characteristic !!!");
}

TEST_F(Recherche, validatingAfterAFruitlessSearchRecordsNothing)
{
    caractere("PLAT", {{"Alpha", "Beta", "Gamma"}, {}}, 0);
    caractere("ZZ_DERNIER", {{"Alpha", "Beta", "Gamma"}, {}}, 1);
    base.charge();
    base.choisit("ZZ_DERNIER1"); // the last row is answered
    base.m.Cadre_Fait = {0, -1};
    base.ouvre("PLAT", 1);       // a pick left over from an earlier question
    Affiche_Especes(base.m);
    const auto etats = base.m.Etat_Choisi;

    ASSERT_EQ(Cherche_Discriminant(base.m).issue, ResultatRecherche::Issue::AucuneQuestion);
    Valid_Descripteur(base.m);
    base.m.Descripteur_Courant.Selection = 0; // a click on the stale grid
    Valid_Descripteur(base.m);
    Clic_Barre_Question(base.m, Position_Passer, {});

    EXPECT_EQ(base.m.Etat_Choisi, etats);
    EXPECT_EQ(base.m.Cadre_Fait, (std::vector<std::int16_t>{0, -1}));
    EXPECT_TRUE(std::all_of(base.m.Joker.begin(), base.m.Joker.end(), [](bool j) { return j; }));
}

TEST_F(Recherche, oneLeadingSpeciesOnlyShowsItsMessage)
{
    caractere("LEAD", {{"Alpha"}, {"Beta", "Gamma"}});
    caractere("SPLIT", {{"Beta"}, {"Gamma"}});
    base.charge();
    base.choisit("LEAD0");
    Affiche_Especes(base.m);
    ASSERT_EQ(base.m.Nb_Esp_Max, 1);
    const ResultatRecherche r = Maitre_Discriminant(base.m);
    EXPECT_EQ(r.issue, ResultatRecherche::Issue::UneSeuleEspece);
    EXPECT_EQ(Message_Recherche(base.m, r.issue), "There is only one species");

    base.ouvre("SPLIT", -1);
    EXPECT_EQ(Clic_Barre_Question(base.m, Position_Passer, {}).recherche.issue, ResultatRecherche::Issue::ProposeReprise)
        << "passing still searches";
}

TEST_F(Recherche, numericCharactersAreAskedWhenTheySplitBestAndNotOnceAnswered)
{
    caractere("DEUX_UN", {{"Alpha", "Beta"}, {"Gamma"}});
    base.kb.numerique({.objet = "HAUTEUR", .noms = {"Height", "", ""}, .unite = "m"});
    base.kb.plage("HAUTEUR", "Alpha", 1, 2).plage("HAUTEUR", "Beta", 5, 8).plage("HAUTEUR", "Gamma", 20, 30);
    base.kb.numerique({.objet = "LARGEUR", .unite = "m", .joker = false});
    base.kb.plage("LARGEUR", "Alpha", 1, 2).plage("LARGEUR", "Beta", 5, 8).plage("LARGEUR", "Gamma", 20, 30);
    base.charge();

    ResultatRecherche r = cherche();
    ASSERT_EQ(r.issue, ResultatRecherche::Issue::Question);
    EXPECT_EQ(r.ligne, nullptr);
    EXPECT_EQ(r.numerique, Caractere_Num_De(base.m, "HAUTEUR"));
    EXPECT_DOUBLE_EQ(r.mesure, 1.0);
    EXPECT_EQ(base.m.Descripteur_Courant.Objet, "HAUTEUR");
    EXPECT_EQ(base.m.Descripteur_Courant.TipText, "Height");
    EXPECT_EQ(base.m.Descripteur_Courant.Nb_Car, 0) << "no state can be validated for it";

    Repond_Num(base.m, r.numerique, 6);
    r = cherche(); // Beta alone leads now: nothing splits
    base.m.Nb_Esp_Max = 3;
    base.m.Classement[1] = {0, 1, 2};
    r = Cherche_Discriminant(base.m);
    ASSERT_EQ(r.issue, ResultatRecherche::Issue::Question);
    EXPECT_EQ(r.ligne->Objet, "DEUX_UN") << "answered, or not to be proposed: never asked again";

    Lit_Jokers(base.m); // the passed questions offered again: the key's flags hold
    EXPECT_FALSE(base.m.Joker_Num[static_cast<std::size_t>(Caractere_Num_De(base.m, "LARGEUR"))]);
}

TEST_F(Recherche, aStateCharacterMeasuringTheSameIsAskedFirst)
{
    caractere("TROIS", {{"Alpha"}, {"Beta"}, {"Gamma"}});
    base.kb.numerique({.objet = "AAA", .unite = "m"});
    base.kb.plage("AAA", "Alpha", 1, 2).plage("AAA", "Beta", 5, 8).plage("AAA", "Gamma", 20, 30);
    base.charge();
    const ResultatRecherche r = cherche();
    ASSERT_NE(r.ligne, nullptr);
    EXPECT_EQ(r.ligne->Objet, "TROIS");
    EXPECT_EQ(r.numerique, -1);
}

} // namespace
