#include <gtest/gtest.h>

#include "layout/barre_verticale.h"
#include "layout/disposition.h"

using namespace tarvenko;

namespace {

// A 1024 × 700 pixel client area at 15 twips per pixel.
MesuresFenetre window()
{
    MesuresFenetre f;
    f.innerWidth = 1024 * 15;
    f.innerHeight = 700 * 15;
    f.toolbarHeight = 60 * 15;
    f.statusBarHeight = 24 * 15;
    f.barreDeterWidth = 70 * 15;
    f.barreQuestionWidth = 70 * 15;
    f.barreVerticaleWidth = 4 * 15;
    f.panel1Width = 600 * 15;
    f.panel2Width = 300 * 15;
    return f;
}

} // namespace

TEST(Disposition, drawingIsTheLargest4By3RectangleThatFits)
{
    MesuresFenetre f = window();
    Disposition d = Calcule_Disposition(f, 1);
    // H = 10500 - 70 - 900 - 360 = 9170; 4H/3 = 12226.67 -> 12227; M = 15360 - 105 - 1050 = 14205.
    EXPECT_EQ(d.H, 9170);
    EXPECT_EQ(d.M, 14205);
    EXPECT_EQ(*d.Robot.rect, (RectTwips{35, 935, 12227, 9170}));

    f.innerWidth = 800 * 15; // narrow: M = 12000 - 105 - 1050 = 10845 < 4H/3
    d = Calcule_Disposition(f, 1);
    EXPECT_EQ(d.M, 10845);
    EXPECT_EQ(*d.Robot.rect, (RectTwips{35, 935, 10845, 8134})); // 3M/4 = 8133.75 -> 8134
}

TEST(Disposition, hidingTheToolbarMovesTheDrawingUpAndMakesItTaller)
{
    MesuresFenetre f = window();
    const RectTwips with = *Calcule_Disposition(f, 1).Robot.rect;
    f.toolbarVisible = false;
    const RectTwips without = *Calcule_Disposition(f, 1).Robot.rect;
    EXPECT_EQ(without.top, 35);
    EXPECT_EQ(without.height, with.height + f.toolbarHeight);
}

TEST(Disposition, thumbnailAndColumnAreSizedFromTheAvailableWidth)
{
    const MesuresFenetre f = window();
    const Disposition d = Calcule_Disposition(f, 3);
    // M / 4 = 3551.25 -> 3551; 3M / 16 = 2663.4 -> 2663, even though the drawing is height-limited.
    EXPECT_EQ(*d.Small_Robot.rect, (RectTwips{35, 935, 3551, 2663}));
    EXPECT_EQ(*d.Liste_Esp.rect, (RectTwips{35, 935 + 2663, 3551, 9170 - 2663}));
    EXPECT_EQ(d.Barre_Verticale.rect->left, 35 + 3551);
    EXPECT_EQ(d.Barre_Verticale.rect->height, 9170);
    const RectTwips web = *d.WebTexte.rect;
    EXPECT_EQ(web.left, 35 + 3551 + 60);
    EXPECT_EQ(web.left + web.width, f.innerWidth - 35);
    EXPECT_EQ(d.Liste_Esp.visible, true);
    EXPECT_FALSE(d.Robot.visible.has_value());
}

TEST(Disposition, resultsBoxCoversTheSecondStatusPanelWhateverTheView)
{
    const MesuresFenetre f = window();
    for (int view : {1, 2, 3, 4, 7}) {
        const Disposition d = Calcule_Disposition(f, view);
        EXPECT_EQ(d.Resultat, (RectTwips{9000 + 30, 10500 - 360 + 30, 4500, 360 - 30})) << view;
        EXPECT_EQ(d.Resultat.top + d.Resultat.height, f.innerHeight) << view;
    }
    EXPECT_FALSE(Calcule_Disposition(f, 7).Robot.rect.has_value());
}

TEST(Disposition, questionViewShowsThePicturesAndLeavesTheDeterminationBar)
{
    const MesuresFenetre f = window();
    const Disposition d = Calcule_Disposition(f, 2);
    EXPECT_EQ(d.Pic_Choix.rect, d.Robot.rect);
    EXPECT_EQ(d.Pic_Choix.visible, true);
    EXPECT_FALSE(d.Barre_Deter.rect.has_value());
    EXPECT_EQ(*d.Barre_Question.rect, (RectTwips{f.innerWidth - 1050, 900 + 200, 1050, 0}));
    EXPECT_EQ(d.Barre_Question.visible, true);
}

TEST(Disposition, hidingTheStatusBarLeavesTheResultsBoxWhereItsPanelWas)
{
    MesuresFenetre f = window();
    const RectTwips shown = Calcule_Disposition(f, 1).Resultat;
    f.statusBarVisible = false; // the bar keeps its height while hidden
    const Disposition d = Calcule_Disposition(f, 1);
    EXPECT_EQ(d.Resultat, shown);
    EXPECT_EQ(d.H, 9170 + 360); // the drawing takes the status bar's band
}

TEST(Disposition, aDroppedSplitterKeepsItsProportionAcrossSizes)
{
    struct Cas {
        double proportion;
        std::int32_t innerWidth;
        std::int32_t barreLeft;
    };
    // 1024 and 1600 pixels wide; a proportion past the middle comes back to the middle of the
    // outer width (120 twips of frame), one nearer the edge than the bar's width to its width.
    for (const Cas c : {Cas{0.3, 15360, 4608}, Cas{0.3, 24000, 7200}, Cas{0.7, 15360, 7740}, Cas{0.001, 15360, 60}}) {
        MesuresFenetre f = window();
        f.innerWidth = c.innerWidth;
        Disposition d = Calcule_Disposition(f, 3);
        Garde_Proportion(d, c.proportion, c.innerWidth + 120, c.innerWidth);
        const std::int32_t p = c.barreLeft;
        EXPECT_EQ(d.Barre_Verticale.rect->left, p) << c.proportion;
        EXPECT_EQ(d.Small_Robot.rect->width, p - 35);
        EXPECT_EQ(d.Liste_Esp.rect->left + d.Liste_Esp.rect->width, p);
        EXPECT_EQ(d.Liste_Esp.rect->top, d.Small_Robot.rect->top + d.Small_Robot.rect->height);
        EXPECT_EQ(d.Liste_Esp.rect->top + d.Liste_Esp.rect->height, d.WebTexte.rect->top + d.WebTexte.rect->height);
        EXPECT_EQ(d.WebTexte.rect->left, p + 60);
        EXPECT_EQ(d.WebTexte.rect->left + d.WebTexte.rect->width, c.innerWidth - 35);
    }
}
