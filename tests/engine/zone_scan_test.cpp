#include <gtest/gtest.h>

#include "base_de_test.h"
#include "engine/zone_scan.h"

using namespace tarvenko;
using tarvenko::test::BaseDeTest;

namespace {

struct Clic {
    const char *nom;
    std::int32_t x, y;
    std::vector<std::string> choisis;
    bool cadre2Fait;
    std::string cible;  // expected object; COULEUR when the colour under the mouse decides
    bool zoneSansObjet = false;
};

void PrintTo(const Clic &c, std::ostream *os) { *os << c.nom; }

class ZoneTest : public ::testing::TestWithParam<Clic> {};

TEST_P(ZoneTest, findsTheObjectUnderThePoint)
{
    BaseDeTest base;
    auto &kb = base.kb;
    kb.espece("Alpha", "F", "ALPHA");
    for (const char *objet : {"FEUILLE", "FRUIT", "CONE", "ECORCE", "BOURGEON", "COULEUR"})
        kb.objet({.objet = objet, .etats = {std::string(objet) + "_1", std::string(objet) + "_2"}});
    kb.nbContraintes(2);
    kb.clicZone("FEUILLE", 0, false, 100, 200, 100, 200, {});
    kb.clicZone("FRUIT", 1, false, 300, 400, 300, 400, {});
    kb.clicZone("CONE", 1, false, 500, 600, 300, 400, {});           // same frame, right after
    kb.clicZone("ECORCE", 2, true, 700, 800, 700, 800, {});          // counts once frame 2 is answered
    kb.clicZone("BOURGEON", 3, false, 100, 200, 500, 600, {"FEUILLE_1"});
    kb.clicZone("FEUILLE", 3, false, 100, 200, 500, 600, {});        // the frame's other part
    kb.clicZone("FANTOME", 4, false, 900, 1000, 900, 1000, {});      // not an object
    kb.clicZone("FRUIT", 5, false, 1100, 1200, 1100, 1200, {"NULLE_PART"});
    kb.clicZone("FRUIT", 6, false, 1300, 1400, 1300, 1400, {"FEUILLE_1", "FEUILLE_1"}); // no "Fin"
    base.charge();
    for (const std::string &e : GetParam().choisis)
        base.choisit(e);
    base.m.Cadre_Fait.at(2) = GetParam().cadre2Fait ? -1 : 0;

    const ResultatZone r = Cherche_Zone(base.m, GetParam().x, GetParam().y, [] { return std::string("COULEUR"); });

    ASSERT_NE(r.cible, nullptr);
    EXPECT_EQ(r.cible->Objet, GetParam().cible);
    EXPECT_EQ(r.objet, GetParam().cible);
    EXPECT_EQ(r.parCouleur, GetParam().cible == "COULEUR");
    EXPECT_EQ(r.zoneSansObjet, GetParam().zoneSansObjet);
}

INSTANTIATE_TEST_SUITE_P(
    Zones, ZoneTest,
    ::testing::Values(Clic{"inside", 101, 199, {}, false, "FEUILLE"},
                      Clic{"onTheLeftBorder", 100, 150, {}, false, "COULEUR"},
                      Clic{"onTheBottomBorder", 150, 200, {}, false, "COULEUR"},
                      Clic{"firstRowOfAFrame", 350, 350, {}, false, "FRUIT"},
                      Clic{"laterRowOfTheSameFrame", 550, 350, {}, false, "COULEUR"},
                      Clic{"frameTestBeforeAnswer", 750, 750, {}, false, "COULEUR"},
                      Clic{"frameTestAfterAnswer", 750, 750, {}, true, "ECORCE"},
                      Clic{"prerequisiteChosen", 150, 550, {"FEUILLE_1"}, false, "BOURGEON"},
                      Clic{"prerequisiteNotChosen", 150, 550, {"FEUILLE_2"}, false, "FEUILLE"},
                      Clic{"zoneWithoutObject", 950, 950, {}, false, "COULEUR", true},
                      Clic{"unknownPrerequisite", 1150, 1150, {}, false, "COULEUR"},
                      Clic{"noFinInTheColumns", 1350, 1350, {"FEUILLE_1"}, false, "COULEUR"}),
    [](const auto &cas) { return std::string(cas.param.nom); });

TEST(Zones, withoutColourNothingIsFound)
{
    BaseDeTest base;
    base.kb.espece("Alpha", "F", "ALPHA");
    base.kb.objet({.objet = "FEUILLE", .etats = {"F_1", "F_2"}});
    base.kb.clicZone("FEUILLE", 0, false, 100, 200, 100, 200, {});
    base.charge();
    EXPECT_EQ(Cherche_Zone(base.m, 50, 50, {}).cible, nullptr);
    EXPECT_EQ(Cherche_Zone(base.m, 50, 50, [] { return std::string("INCONNU"); }).cible, nullptr);
    EXPECT_NE(Cherche_Zone(base.m, 150, 150, {}).cible, nullptr);
}

TEST(Zones, pointsAreScaledToTheReferenceSpaceAndRoundedDown)
{
    const PointReference centre = Vers_Reference(2400, 1800, 4800, 3600);
    EXPECT_EQ(centre.Zone_X, 1200);
    EXPECT_EQ(centre.Zone_Y, 900);
    const PointReference bord = Vers_Reference(1, 1, 7, 7); // 342.86, 257.14
    EXPECT_EQ(bord.Zone_X, 342);
    EXPECT_EQ(bord.Zone_Y, 257);
    EXPECT_EQ(Vers_Reference(4799, 3599, 4800, 3600).Zone_X, 2399);
}

} // namespace
