#include <gtest/gtest.h>

#include "base_de_test.h"
#include "engine/contradictions.h"
#include "engine/question_bar.h"
#include "engine/scoring.h"

using namespace tarvenko;
using tarvenko::test::BaseDeTest;
using tarvenko::test::ChargeurEspion;

namespace {

// Alpha has every state the user chose; Beta lacks the leaf and the fruit. The leaf is flagged on
// button 4 of the determination bar, the fruit on the drawing, the bark nowhere.
class Contradictions : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto &kb = base.kb;
        kb.espece("Alpha", "F", "ALPHA").espece("Beta", "F", "BETAA");
        kb.objet({.objet = "FEUILLE", .etats = {"F_AIG", "F_LARGE"}, .tips = {"Needles", "Broad"}, .tipText = "Leaf type"});
        kb.objet({.objet = "FRUIT", .etats = {"FR_CONE", "FR_BAIE"}});
        kb.objet({.objet = "ECORCE", .etats = {"E_LISSE", "E_RUGUEUSE"}});
        for (const char *e : {"F_AIG", "FR_CONE", "E_LISSE"})
            kb.a("Alpha", e);
        for (const char *e : {"F_LARGE", "FR_BAIE", "E_LISSE"})
            kb.a("Beta", e);
        kb.contradiction("FEUILLE", 4, "feuille").contradiction("FRUIT", -1, "fruit");
        for (const char *key : {"B1", "B2", "B3", "FEUILLE", "Search"})
            kb.butDeter(key, std::string(key) + ".ico", key, key);
        kb.hierarchie(0, "tronc.wmf", {}).hierarchie(1, "couronne.wmf", {});
        kb.clicZone("FEUILLE", 1, false, 100, 200, 300, 400, {}).clicZone("FRUIT", 2, false, 0, 10, 0, 10, {});
    }

    void reponses()
    {
        base.charge();
        for (const char *e : {"F_AIG", "FR_CONE", "E_LISSE"})
            base.choisit(e);
        Affiche_Especes(base.m); // Alpha on line 0, Beta on line 1
    }

    BaseDeTest base;
    ChargeurEspion chargeur;
};

TEST_F(Contradictions, theSelectedSpeciesIsFlaggedOnTheBarAndTheDrawing)
{
    reponses();
    const AffichageContradictions a = Montre_Contradictions(base.m, 1, chargeur.fonction());

    ASSERT_EQ(a.contradictions.size(), 2u);
    EXPECT_EQ(a.contradictions[0].objet, "FEUILLE");
    EXPECT_EQ(a.contradictions[0].idCarac, "F_AIG");
    EXPECT_EQ(a.contradictions[1].objet, "FRUIT");
    EXPECT_EQ(a.contradictions[1].position, 4); // Nb_Robot + 2
    EXPECT_EQ(base.m.Nb_Contradictions, 2);
    EXPECT_EQ(a.Boutons_Contra, (std::vector<int>{4}));

    ASSERT_EQ(base.m.Robots.size(), 4u);
    EXPECT_EQ(base.m.Robots[2].Image, nullptr) << "the first contradiction has no overlay";
    EXPECT_EQ(ChargeurEspion::chemin(base.m.Robots[3]), base.dir.dossier() + "robot/CONTRA/fruit.wmf");
    EXPECT_TRUE(a.calquesManquants.empty());

    ASSERT_EQ(a.icones.size(), 5u);
    EXPECT_TRUE(a.icones[3].contradiction);
    EXPECT_EQ(a.icones[3].chemin, base.dir.dossier() + "robot/contra/feuille.ico");
    EXPECT_FALSE(a.icones[0].contradiction);
    EXPECT_EQ(a.icones[0].chemin, base.kb.dossier() + "B1.ico");
}

TEST_F(Contradictions, theTextNamesTheSpeciesAndTheAnswersItContradicts)
{
    reponses();
    const AffichageContradictions beta = Montre_Contradictions(base.m, 1, chargeur.fonction());
    // A question or state without a text of its own is named by its key.
    EXPECT_EQ(beta.texte, "Beta contradicts: Leaf type \u2014 Needles; FRUIT \u2014 FR_CONE");
    EXPECT_EQ(Montre_Contradictions(base.m, 0, chargeur.fonction()).texte, "Alpha matches all your answers");
    EXPECT_EQ(Montre_Contradictions(base.m, std::nullopt, chargeur.fonction()).texte, "");
    base.m.Num_Langue = 2;
    EXPECT_EQ(Montre_Contradictions(base.m, 1, chargeur.fonction()).texte,
              "Beta contredit : Leaf type \u2014 Needles; FRUIT \u2014 FR_CONE");
}

TEST_F(Contradictions, anAnswerFlaggedOnTheBarIsAlsoMarkedOnTheDrawingAndNamedByItsIcon)
{
    reponses();
    const AffichageContradictions a = Montre_Contradictions(base.m, 1, chargeur.fonction());
    // The leaf has a bar button and no overlay: marked where it is clicked; the fruit has its overlay.
    ASSERT_EQ(a.marques.size(), 1u);
    EXPECT_EQ(a.marques[0].objet, "FEUILLE");
    ASSERT_EQ(a.marques[0].zones.size(), 1u);
    EXPECT_EQ(a.marques[0].zones[0].X1, 100);
    EXPECT_EQ(a.marques[0].zones[0].Y2, 400);
    // The icon's tip names the contradicted answer, not the button's own subject.
    EXPECT_EQ(a.icones[3].tip, "Leaf type \u2014 Needles");
    EXPECT_EQ(a.icones[0].tip, "");
}

TEST_F(Contradictions, noSelectionOrAMatchingSpeciesFlagsNothing)
{
    reponses();
    for (const std::optional<int> ligne : {std::optional<int>(), std::optional<int>(0)}) {
        const AffichageContradictions a = Montre_Contradictions(base.m, ligne, chargeur.fonction());
        EXPECT_TRUE(a.contradictions.empty());
        EXPECT_EQ(base.m.Nb_Contradictions, 0);
        EXPECT_TRUE(a.Boutons_Contra.empty());
        EXPECT_EQ(a.icones.size(), 5u);
        EXPECT_TRUE(std::none_of(a.icones.begin(), a.icones.end(), [](const IconeBouton &i) { return i.contradiction; }));
    }
    EXPECT_TRUE(chargeur.demandes.empty());
}

TEST_F(Contradictions, aMissingOverlayIsReportedAndLeavesAnEmptyEntry)
{
    reponses();
    chargeur.absent = "fruit";
    const AffichageContradictions a = Montre_Contradictions(base.m, 1, chargeur.fonction());
    EXPECT_EQ(a.calquesManquants, (std::vector<std::string>{base.dir.dossier() + "robot/CONTRA/fruit.wmf"}));
    ASSERT_EQ(base.m.Robots.size(), 4u);
    EXPECT_EQ(base.m.Robots[3].Image, nullptr);
    EXPECT_FALSE(base.m.Robots[3].Fichier.empty());
}

TEST_F(Contradictions, validatingAnAnswerDropsTheFlags)
{
    reponses();
    Montre_Contradictions(base.m, 1, chargeur.fonction());
    base.ouvre("ECORCE", 1);

    const ClicBarreQuestion clic = Clic_Barre_Question(base.m, Position_Valider, chargeur.fonction());

    EXPECT_TRUE(clic.rechargeBarre);
    EXPECT_EQ(base.m.Robots.size(), 2u);
    EXPECT_EQ(base.m.Nb_Contradictions, 0);
}

TEST_F(Contradictions, aNewCheckDropsTheOverlaysOfThePreviousOne)
{
    reponses();
    Montre_Contradictions(base.m, 1, chargeur.fonction());
    ASSERT_EQ(base.m.Robots.size(), 4u);

    const AffichageContradictions a = Montre_Contradictions(base.m, 0, chargeur.fonction()); // Alpha: none
    EXPECT_TRUE(a.contradictions.empty());
    EXPECT_EQ(base.m.Nb_Contradictions, 0);
    EXPECT_EQ(base.m.Robots.size(), 2u);
}

TEST_F(Contradictions, anObjectIsExaminedOncePerRow)
{
    base.kb.objet({.objet = "TAILLE", .etats = {"T_HAUT", "T_BAS"}, .contrainte = "F_AIG"});
    base.kb.objet({.objet = "TAILLE", .ligneSupplementaire = true}); // the same states
    reponses();
    base.choisit("T_HAUT"); // neither species has it

    const std::vector<Contradiction> alpha = Cherche_Contradictions(base.m, base.espece("Alpha"));
    ASSERT_EQ(alpha.size(), 2u);
    EXPECT_EQ(alpha[0].objet, "TAILLE");
    EXPECT_EQ(alpha[1].objet, "TAILLE");
    EXPECT_NE(alpha[0].ligne, alpha[1].ligne);
    EXPECT_EQ(alpha[1].position, base.m.Nb_Robot + 2);
    EXPECT_EQ(Cherche_Contradictions(base.m, base.espece("Beta")).size(), 4u);
}

} // namespace
