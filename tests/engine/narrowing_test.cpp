// Mismatches per species, the tolerance of mismatches and identifying within a group.
#include <gtest/gtest.h>

#include <set>

#include "base_de_test.h"
#include "engine/contradictions.h"
#include "engine/discriminant.h"
#include "engine/mismatches.h"
#include "engine/numeric_characters.h"
#include "engine/scoring.h"
#include "engine/species_groups.h"

using namespace tarvenko;
using tarvenko::test::BaseDeTest;

namespace {

// Five trees in two families and three genera. PERS is asked under two rows (the second only of
// broad leaves) that share their states; HEIGHT is a number Quercus ilex has no range for.
class Narrowing : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto &kb = base.kb;
        kb.espece("Fagus sylvatica", "FAGACEAE", "FAGSY")
            .espece("Pinus cembra", "PINACEAE", "PINCE")
            .espece("Pinus nigra", "PINACEAE", "PINNI")
            .espece("Quercus ilex", "FAGACEAE", "QUEIL")
            .espece("Quercus robur", "FAGACEAE", "QUERO");
        kb.objet({.objet = "LEAF", .etats = {"L_NEEDLE", "L_BROAD"}});
        kb.objet({.objet = "FRUIT", .etats = {"FR_CONE", "FR_ACORN", "FR_NUT"}});
        kb.objet({.objet = "PERS", .etats = {"P_EVER", "P_DECID"}, .contrainte = "L_BROAD"});
        kb.objet({.objet = "PERS", .contrainte = std::nullopt, .ligneSupplementaire = true});
        kb.objet({.objet = "BARK", .etats = {"B_SMOOTH", "B_ROUGH"}});
        kb.versionDatabase(301);
        for (const char *e : {"L_NEEDLE", "L_BROAD"})
            kb.poids(e, 5);
        for (const char *e : {"FR_CONE", "FR_ACORN", "FR_NUT"})
            kb.poids(e, 3);
        const std::map<std::string, std::vector<const char *>> etats = {
            {"Fagus sylvatica", {"L_BROAD", "FR_NUT", "P_DECID", "B_SMOOTH"}},
            {"Pinus cembra", {"L_NEEDLE", "FR_CONE", "P_EVER", "B_ROUGH"}},
            {"Pinus nigra", {"L_NEEDLE", "FR_CONE", "P_EVER", "B_ROUGH", "B_SMOOTH"}},
            {"Quercus ilex", {"L_BROAD", "FR_ACORN", "P_EVER", "B_ROUGH"}},
            {"Quercus robur", {"L_BROAD", "FR_ACORN", "P_DECID", "B_ROUGH"}}};
        for (const auto &[espece, liste] : etats)
            for (const char *e : liste)
                kb.a(espece, e);
        kb.numerique({.objet = "HEIGHT", .unite = "m"});
        kb.plage("HEIGHT", "Fagus sylvatica", 20, 40)
            .plage("HEIGHT", "Pinus cembra", 10, 20)
            .plage("HEIGHT", "Pinus nigra", 20, 40)
            .plage("HEIGHT", "Quercus robur", 25, 35);
        base.charge();
    }

    void repond(const std::vector<std::string> &etats, std::optional<double> hauteur = std::nullopt)
    {
        Nettoye(base.m);
        for (const std::string &e : etats)
            base.choisit(e);
        if (hauteur) {
            ASSERT_TRUE(Repond_Num(base.m, Caractere_Num_De(base.m, "HEIGHT"), *hauteur));
        }
    }

    std::vector<std::string> listees(const ListeEspeces &l) const
    {
        std::vector<std::string> noms;
        for (const std::string &ligne : l.lignes.textes(base.m))
            noms.push_back(ligne.substr(ligne.find("- ") + 2));
        return noms;
    }

    BaseDeTest base;
};

struct CasEcarts {
    std::vector<std::string> etats;
    std::optional<double> hauteur;
    std::vector<std::int32_t> attendus; // Fagus, P. cembra, P. nigra, Q. ilex, Q. robur
};

TEST_F(Narrowing, mismatchesCountContradictedStatesOnceAndNumbersOutsideTheWidenedRange)
{
    const std::vector<CasEcarts> cas = {
        {{}, std::nullopt, {0, 0, 0, 0, 0}},
        {{"L_BROAD"}, std::nullopt, {0, 1, 1, 0, 0}},
        {{"L_BROAD", "FR_ACORN"}, std::nullopt, {1, 2, 2, 0, 0}},
        // PERS under two rows: the state counts once.
        {{"L_BROAD", "P_EVER"}, std::nullopt, {1, 1, 1, 0, 1}},
        {{"L_NEEDLE", "B_SMOOTH"}, std::nullopt, {1, 1, 0, 2, 2}},
        // 30 m widened by 10 %: 27 to 33; no range counts against Q. ilex.
        {{}, 30.0, {0, 1, 0, 0, 0}},
        // 22 m is held by P. cembra's range widened to 22.2.
        {{}, 22.0, {0, 0, 0, 0, 1}},
        {{"L_BROAD"}, 50.0, {1, 2, 2, 0, 1}},
    };
    for (const CasEcarts &c : cas) {
        repond(c.etats, c.hauteur);
        const ListeEspeces l = Affiche_Especes(base.m);
        EXPECT_EQ(base.m.Ecarts_Esp, c.attendus) << ::testing::PrintToString(c.etats);
        // The count is what the Errors command names for each species, each answer once.
        for (int s = 0; s < base.m.Nb_Esp; ++s) {
            std::set<int> etats;
            for (const Contradiction &x : Cherche_Contradictions(base.m, s))
                etats.insert(x.etat);
            EXPECT_EQ(base.m.Ecarts_Esp[static_cast<std::size_t>(s)],
                      static_cast<std::int32_t>(etats.size() + Contradictions_Num(base.m, s).size()))
                << s;
        }
        // One count per listed line, that of the line's species.
        const std::vector<std::int32_t> ecarts = Ecarts_Lignes(base.m);
        ASSERT_EQ(ecarts.size(), l.lignes.size());
        for (std::size_t r = 0; r < ecarts.size(); ++r)
            EXPECT_EQ(ecarts[r], c.attendus[static_cast<std::size_t>(base.m.Classement[1][r])]);
    }
}

struct CasTolerance {
    std::int16_t tolerance;
    std::vector<std::string> etats;
    std::vector<std::string> listees;
    std::string legende;
    bool vide;
};

TEST_F(Narrowing, theToleranceLeavesOutTheSpeciesWithMoreMismatches)
{
    const std::vector<CasTolerance> cas = {
        {-1, {"L_BROAD", "FR_ACORN"},
         {"Quercus ilex", "Quercus robur", "Fagus sylvatica", "Pinus cembra", "Pinus nigra"}, " 2 species at 100 %", false},
        {0, {"L_BROAD", "FR_ACORN"}, {"Quercus ilex", "Quercus robur"}, " 2 species at 100 % (2 of 5 species kept)", false},
        {1, {"L_BROAD", "FR_ACORN"}, {"Quercus ilex", "Quercus robur", "Fagus sylvatica"},
         " 2 species at 100 % (3 of 5 species kept)", false},
        // Large enough for all: the legend has nothing to add.
        {2, {"L_BROAD", "FR_ACORN"},
         {"Quercus ilex", "Quercus robur", "Fagus sylvatica", "Pinus cembra", "Pinus nigra"}, " 2 species at 100 %", false},
        // Every species contradicts one of these answers.
        {0, {"L_NEEDLE", "FR_ACORN"}, {}, " 0 species at 0 % (0 of 5 species kept)", true},
    };
    for (const CasTolerance &c : cas) {
        repond(c.etats);
        base.m.Ecarts_Toleres = c.tolerance;
        const ListeEspeces l = Affiche_Especes(base.m);
        EXPECT_EQ(listees(l), c.listees) << c.tolerance;
        EXPECT_EQ(l.legende, c.legende) << c.tolerance;
        EXPECT_EQ(l.toleranceVide, c.vide) << c.tolerance;
        EXPECT_EQ(base.m.Classement[1].size(), c.listees.size()) << "every species in play is listed at threshold 0";
    }
    EXPECT_EQ(Ecart_Minimal(base.m), 1);
    EXPECT_EQ(Message_Tolerance(base.m), "No species has 0 mismatches or fewer. Raise the tolerance by one?");
}

TEST_F(Narrowing, theSearchProposesAmongTheSpeciesInPlay)
{
    // Nothing answered: every species leads. Among the pines alone only the bark and the height
    // tell them apart, and the height's ranges split them best.
    repond({});
    Affiche_Especes(base.m);
    const ResultatRecherche toutes = Cherche_Discriminant(base.m);
    ASSERT_EQ(toutes.issue, ResultatRecherche::Issue::Question);
    EXPECT_EQ(toutes.numerique, -1);
    EXPECT_EQ(toutes.ligne->Objet.value_or(""), "LEAF");

    ASSERT_TRUE(Identifie_Dans_Groupe(base.m, Groupe_Especes{Groupe_Especes::Rang::Genre, "Pinus"}));
    Affiche_Especes(base.m);
    EXPECT_EQ(base.m.Nb_Esp_Max, 2);
    const ResultatRecherche pins = Cherche_Discriminant(base.m);
    ASSERT_EQ(pins.issue, ResultatRecherche::Issue::Question);
    EXPECT_EQ(pins.numerique, Caractere_Num_De(base.m, "HEIGHT"));

    // Nothing listed under a threshold: the search counts the species in play, not the key's.
    base.m.Seuil_Affichage = 101;
    Affiche_Especes(base.m);
    EXPECT_EQ(Cherche_Discriminant(base.m).numerique, Caractere_Num_De(base.m, "HEIGHT"));
}

struct CasGroupe {
    Groupe_Especes groupe;
    bool accepte;
    std::vector<std::string> listees;
    std::string legende;
};

TEST_F(Narrowing, anIdentificationWithinAGroupRanksOnlyItsSpecies)
{
    using R = Groupe_Especes::Rang;
    const std::vector<CasGroupe> cas = {
        {{R::Famille, "fagaceae"}, true, {"Quercus ilex", "Quercus robur", "Fagus sylvatica"},
         " 2 species at 100 % (within Fagaceae; 3 of 5 species kept)"},
        {{R::Genre, "pinus"}, true, {"Pinus cembra", "Pinus nigra"}, " 2 species at 0 % (within Pinus; 2 of 5 species kept)"},
        {{R::Genre, "Abies"}, false, {}, ""},
        {{R::Famille, ""}, false, {}, ""},
    };
    for (const CasGroupe &c : cas) {
        repond({"L_BROAD", "FR_ACORN"});
        ASSERT_EQ(Identifie_Dans_Groupe(base.m, c.groupe), c.accepte) << c.groupe.nom;
        if (!c.accepte) {
            EXPECT_FALSE(base.m.Groupe);
            continue;
        }
        const ListeEspeces l = Affiche_Especes(base.m);
        EXPECT_EQ(listees(l), c.listees) << c.groupe.nom;
        EXPECT_EQ(l.legende, c.legende) << c.groupe.nom;
    }

    // French sets the semicolon off.
    base.m.Num_Langue = 2;
    ASSERT_TRUE(Identifie_Dans_Groupe(base.m, Groupe_Especes{R::Famille, "fagaceae"}));
    EXPECT_NE(Affiche_Especes(base.m).legende.find("Fagaceae\u00a0; 3 "), std::string::npos) << Affiche_Especes(base.m).legende;
    base.m.Num_Langue = 0;

    // Within a group the tolerance hides only the group's species; New lifts the group.
    ASSERT_TRUE(Identifie_Dans_Groupe(base.m, Groupe_Especes{R::Famille, "PINACEAE"}));
    base.m.Ecarts_Toleres = 0;
    EXPECT_TRUE(Affiche_Especes(base.m).toleranceVide);
    EXPECT_EQ(Ecart_Minimal(base.m), 2);
    Nettoye(base.m);
    EXPECT_FALSE(base.m.Groupe);
    EXPECT_EQ(Affiche_Especes(base.m).lignes.size(), 5u);
}

TEST(Groups, genusNeedsEveryNameToHaveTwoWords)
{
    KeyModel m;
    m.Nb_Esp = 2;
    m.Nom_Esp = {"Quercus robur", "Oak"};
    EXPECT_EQ(Genre_Espece(m, 0), "Quercus");
    EXPECT_EQ(Genre_Espece(m, 1), "");
    EXPECT_FALSE(Genres_Connus(m));
    EXPECT_FALSE(Identifie_Dans_Groupe(m, Groupe_Especes{Groupe_Especes::Rang::Genre, "Quercus"}));
    m.Nom_Esp[1] = "  Quercus   ilex ";
    EXPECT_EQ(Genre_Espece(m, 1), "Quercus");
    EXPECT_TRUE(Identifie_Dans_Groupe(m, Groupe_Especes{Groupe_Especes::Rang::Genre, "quercus"}));
    EXPECT_EQ(m.Especes_En_Jeu, (std::vector<std::uint8_t>{1, 1}));
}

} // namespace
