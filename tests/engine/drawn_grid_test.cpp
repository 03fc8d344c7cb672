#include <gtest/gtest.h>

#include "base_de_test.h"
#include "engine/default_bars.h"
#include "engine/drawn_grid.h"

namespace tarvenko {
namespace {

TEST(DispositionGrille, theKeysLayoutWhenItHoldsEveryStateElseTheLargestCells)
{
    struct Cas {
        const char *nom;
        int nbCar, lignes, colonnes;
        double largeur, hauteur;
        int attenduLignes, attenduColonnes;
    };
    const Cas cas[] = {
        {"the key's layout", 4, 1, 4, 800, 600, 1, 4},
        {"the key's layout, larger than the states", 3, 2, 2, 800, 600, 2, 2},
        {"a layout too small for the states", 5, 1, 4, 800, 600, 2, 3},
        {"no layout: four states in a 4:3 pane", 4, 0, 0, 800, 600, 2, 2},
        {"no layout: two states side by side", 2, 0, 0, 800, 600, 1, 2},
        {"no layout: two states, one above the other in a tall pane", 2, 0, 0, 300, 800, 2, 1},
        {"no layout: a square pane, two states on one row", 2, 0, 0, 600, 600, 1, 2},
        {"no layout: three states leave one cell empty rather than shrink", 3, 0, 0, 800, 600, 2, 2},
        {"no layout: seven states", 7, 0, 0, 800, 600, 2, 4},
        {"no layout: twelve states", 12, 0, 0, 800, 600, 3, 4},
        {"a negative layout", 2, -1, 3, 800, 600, 1, 2},
        {"one state", 1, 0, 0, 800, 600, 1, 1},
        {"an empty pane", 4, 0, 0, 0, 0, 2, 2},
        {"no state", 0, 1, 1, 800, 600, 0, 0},
    };
    for (const Cas &c : cas) {
        const DispositionGrille d = Disposition_Grille(c.nbCar, c.lignes, c.colonnes, c.largeur, c.hauteur);
        EXPECT_EQ(d.lignes, c.attenduLignes) << c.nom;
        EXPECT_EQ(d.colonnes, c.attenduColonnes) << c.nom;
        if (c.nbCar > 0) {
            EXPECT_GE(d.lignes * d.colonnes, c.nbCar) << c.nom;
        }
    }
}

TEST(BarresParDefaut, aBarWithoutRowsIsTheProgramsOwn)
{
    test::BaseDeTest avec;
    avec.kb.espece("Alpha", "F", "ALPHA");
    avec.kb.butDeter("Leaf", "leaf.ico", "Leaf", "FEUILLE").butQuest("OK", "ok.ico", "Validate");
    avec.charge();
    EXPECT_FALSE(Barre_Par_Defaut(avec.m, true));
    EXPECT_FALSE(Barre_Par_Defaut(avec.m, false));
    EXPECT_EQ(Nb_Boutons_Question(avec.m), 1);

    test::BaseDeTest sans;
    sans.kb.espece("Alpha", "F", "ALPHA");
    sans.charge();
    EXPECT_TRUE(Barre_Par_Defaut(sans.m, true));
    EXPECT_TRUE(Barre_Par_Defaut(sans.m, false));
    // Validate, leave, pass: the pass button is the last one.
    EXPECT_EQ(Nb_Boutons_Question(sans.m), 3);
    ASSERT_EQ(Boutons_Par_Defaut(true).size(), 2U);
    EXPECT_STREQ(Boutons_Par_Defaut(true)[0].tag, "Search");
    EXPECT_STREQ(Boutons_Par_Defaut(true)[1].tag, "Results");
}

} // namespace
} // namespace tarvenko
