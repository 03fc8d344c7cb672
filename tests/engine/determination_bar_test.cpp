#include <gtest/gtest.h>

#include "base_de_test.h"
#include "engine/determination_bar.h"

using namespace tarvenko;
using tarvenko::test::BaseDeTest;

namespace {

struct Cas {
    const char *nom;
    int version;
    std::vector<std::string> choisis;
    std::string objet;
    std::string premierEtat; // first state of the row expected to be asked
};

void PrintTo(const Cas &c, std::ostream *os) { *os << c.nom; }

class ContrainteTest : public ::testing::TestWithParam<Cas> {};

// TAILLE asks about needles when needles were chosen, else its general question; HAUTEUR has
// constrained rows only; INCONNU is constrained on a state that does not exist.
TEST_P(ContrainteTest, theFirstRowWhoseConstraintHoldsIsAsked)
{
    BaseDeTest base;
    auto &kb = base.kb;
    kb.espece("Alpha", "F", "ALPHA");
    kb.objet({.objet = "FEUILLE", .etats = {"F_AIG", "F_LARGE"}});
    kb.objet({.objet = "TAILLE", .etats = {"TA_1", "TA_2"}, .contrainte = "F_AIG"});
    kb.objet({.objet = "TAILLE", .etats = {"TB_1", "TB_2", "TB_3"}, .ligneSupplementaire = true});
    kb.objet({.objet = "HAUTEUR", .etats = {"H1"}, .contrainte = "F_AIG"});
    kb.objet({.objet = "HAUTEUR", .etats = {"H2"}, .contrainte = "F_LARGE", .ligneSupplementaire = true});
    kb.objet({.objet = "HAUTEUR_SUIVANT", .etats = {"HS"}});
    kb.objet({.objet = "INCONNU", .etats = {"I1"}, .contrainte = "NULLE_PART"});
    kb.objet({.objet = "INCONNU", .etats = {"I2"}, .ligneSupplementaire = true});
    kb.versionDatabase(GetParam().version);
    base.charge();
    for (const std::string &e : GetParam().choisis)
        base.choisit(e);

    const ClicBarreDeter clic = Clic_Barre_Deter(base.m, GetParam().objet);

    ASSERT_EQ(clic.action, ClicBarreDeter::Action::Question);
    EXPECT_EQ(*clic.ligne->Index_Car, base.etat(GetParam().premierEtat));
    EXPECT_EQ(base.m.Descripteur_Courant.Index_Car, base.etat(GetParam().premierEtat));
    EXPECT_EQ(base.m.Descripteur_Courant.Objet, GetParam().objet);
}

INSTANTIATE_TEST_SUITE_P(
    BarreDeter, ContrainteTest,
    ::testing::Values(Cas{"constraintChosen", 301, {"F_AIG"}, "TAILLE", "TA_1"},
                      Cas{"constraintNotChosen", 301, {"F_LARGE"}, "TAILLE", "TB_1"},
                      Cas{"oldBaseIgnoresConstraints", 300, {"F_LARGE"}, "TAILLE", "TA_1"},
                      Cas{"secondConstrainedRow", 301, {"F_LARGE"}, "HAUTEUR", "H2"},
                      Cas{"pastTheLastRowStaysOnTheObject", 301, {}, "HAUTEUR", "H2"},
                      Cas{"unknownConstraintIsAsked", 301, {}, "INCONNU", "I1"},
                      Cas{"keysIgnoreCase", 301, {}, "taille", "TB_1"}),
    [](const auto &cas) { return std::string(cas.param.nom); });

TEST(BarreDeter, theCurrentAnswerIsPreselected)
{
    BaseDeTest base;
    base.kb.espece("Alpha", "F", "ALPHA");
    base.kb.objet({.objet = "FRUIT", .etats = {"FR_1", "FR_2", "FR_3"}});
    base.kb.objet({.objet = "ECORCE", .etats = {"EC_1", "EC_2"}});
    base.charge();
    base.choisit("FR_2");

    Clic_Barre_Deter(base.m, "FRUIT");
    EXPECT_EQ(base.m.Descripteur_Courant.Selection, 1);
    Clic_Barre_Deter(base.m, "ECORCE");
    EXPECT_EQ(base.m.Descripteur_Courant.Selection, -1);
}

TEST(BarreDeter, commandTagsAreNotObjects)
{
    BaseDeTest base;
    base.kb.espece("Alpha", "F", "ALPHA");
    base.kb.objet({.objet = "FRUIT", .etats = {"FR_1", "FR_2"}});
    base.charge();
    EXPECT_EQ(Clic_Barre_Deter(base.m, "Search").action, ClicBarreDeter::Action::Recherche);
    EXPECT_EQ(Clic_Barre_Deter(base.m, "Results").action, ClicBarreDeter::Action::Resultats);
    EXPECT_EQ(Clic_Barre_Deter(base.m, "Ailleurs").action, ClicBarreDeter::Action::Rien);
    EXPECT_EQ(base.m.Descripteur_Courant.Objet, "Ailleurs");
}

} // namespace
