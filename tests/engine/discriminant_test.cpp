#include <gtest/gtest.h>

#include <cmath>

#include "base_de_test.h"
#include "engine/discriminant.h"
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
              "No more discriminant characteristic!\nDo you want to try characteristics you didn't use?");

    const ResultatRecherche reprise = Reprend_Discriminant(base.m);
    EXPECT_FALSE(base.m.Question_Passee);
    ASSERT_EQ(reprise.issue, ResultatRecherche::Issue::Question);
    EXPECT_EQ(reprise.ligne->Objet, "SPLIT");

    base.choisit("SPLIT0");
    EXPECT_EQ(cherche().issue, ResultatRecherche::Issue::AucuneQuestion);
    EXPECT_EQ(Message_Recherche(base.m, ResultatRecherche::Issue::AucuneQuestion), "No more discriminant characteristic!");
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

} // namespace
