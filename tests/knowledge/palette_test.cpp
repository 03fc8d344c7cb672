#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "knowledge/palette.h"

using namespace tarvenko;

namespace {

std::int32_t rgb(int red, int green, int blue) { return red | green << 8 | blue << 16; }

// Samples a chart of `n` colours `width` x `height` pixels; returns the pixels read.
std::vector<std::pair<int, int>> sample(KeyModel &m, int n, int width, int height)
{
    m.Nb_Couleurs = static_cast<std::int16_t>(n);
    std::vector<std::pair<int, int>> read;
    Echantillonne_Palette(m, width, height, [&read](int x, int y) {
        read.emplace_back(x, y);
        return rgb(x, y, 7);
    });
    return read;
}

KeyModel palette(const std::vector<std::pair<std::int32_t, std::string>> &colours)
{
    KeyModel m;
    m.Nb_Couleurs = static_cast<std::int16_t>(colours.size());
    for (const auto &[colour, code] : colours) {
        m.Couleur_Valeur.push_back(colour);
        m.Couleur_Octets.push_back({static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
                                    static_cast<std::uint8_t>(colour)});
        m.Code_Couleur.push_back(code);
    }
    return m;
}

} // namespace

TEST(Palette, cellsAreSampledAtTheirRoundedCentreOnTheMiddleRow)
{
    struct Case {
        int n, width, height;
        std::vector<std::pair<int, int>> expected;
    };
    const Case cases[] = {
        {4, 400, 60, {{50, 30}, {150, 30}, {250, 30}, {350, 30}}},
        // 0.5, 1.5, 2.5, 3.5 and a height of 5: halves go to the even neighbour.
        {4, 4, 5, {{0, 2}, {2, 2}, {2, 2}, {4, 2}}},
        {4, 10, 7, {{1, 4}, {4, 4}, {6, 4}, {9, 4}}},
        {3, 100, 1, {{17, 0}, {50, 0}, {83, 0}}},
    };
    for (const Case &c : cases) {
        KeyModel m;
        EXPECT_EQ(sample(m, c.n, c.width, c.height), c.expected) << c.n << " colours, " << c.width << " x " << c.height;
    }
}

TEST(Palette, colourIsKeptWholeAndSplitIntoBytes)
{
    KeyModel m;
    m.Nb_Couleurs = 2;
    Echantillonne_Palette(m, 20, 2, [](int x, int) { return x < 10 ? 0x00336699 : 0x00FF0001; });
    EXPECT_EQ(m.Couleur_Valeur, (std::vector<std::int32_t>{0x00336699, 0x00FF0001}));
    EXPECT_EQ(m.Couleur_Octets[0].blue, 0x33);
    EXPECT_EQ(m.Couleur_Octets[0].green, 0x66);
    EXPECT_EQ(m.Couleur_Octets[0].red, 0x99);
    EXPECT_EQ(m.Couleur_Octets[1].blue, 0xFF);
    EXPECT_EQ(m.Couleur_Octets[1].red, 0x01);
}

TEST(Palette, arraysSizedToTheColourCountAndCodesKept)
{
    KeyModel m;
    m.Code_Couleur = {"FEUILLE", "FRUIT", "ECORCE"};
    m.Couleur_Valeur = {1, 2, 3, 4, 5};
    sample(m, 3, 30, 3);
    EXPECT_EQ(m.Code_Couleur, (std::vector<std::string>{"FEUILLE", "FRUIT", "ECORCE"}));
    EXPECT_EQ(m.Couleur_Valeur.size(), 3u);
    EXPECT_EQ(m.Couleur_Octets.size(), 3u);
    EXPECT_EQ(m.Couleur_Distance.size(), 3u);

    sample(m, 4, 40, 3);
    EXPECT_EQ(m.Code_Couleur, (std::vector<std::string>{"FEUILLE", "FRUIT", "ECORCE", ""}));

    EXPECT_TRUE(sample(m, 0, 40, 3).empty());
    EXPECT_TRUE(m.Couleur_Valeur.empty() && m.Code_Couleur.empty());
}

TEST(Palette, lookupByColour)
{
    struct Case {
        const char *what;
        std::int32_t colour;
        const char *expected;
    };
    // A near colour listed before an exact one, a duplicate, and two colours 1 apart from (1, 0, 0).
    KeyModel m = palette({{rgb(1, 0, 0), "NEAR"}, {rgb(0, 0, 0), "BLACK"}, {rgb(0, 0, 0), "BLACK2"},
                          {rgb(200, 100, 50), "BARK"}, {rgb(0, 200, 0), "LEAF"}, {rgb(2, 0, 0), "TWO"}});
    const Case cases[] = {
        {"the first exact match wins, even after a nearer-looking entry", rgb(0, 0, 0), "BLACK"},
        {"exact", rgb(200, 100, 50), "BARK"},
        {"nearest", rgb(190, 110, 40), "BARK"},
        {"equally near BLACK and BLACK2: the lower index", rgb(0, 0, 1), "BLACK"},
        {"no distance limit: white still has a nearest colour", rgb(255, 255, 255), "BARK"},
        {"green", rgb(10, 180, 20), "LEAF"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Cherche_Couleur(m, c.colour), c.expected) << c.what;
    Cherche_Couleur(m, rgb(0, 200, 3));
    EXPECT_DOUBLE_EQ(m.Couleur_Distance[4], 3.0);
    EXPECT_DOUBLE_EQ(m.Couleur_Distance[3], std::sqrt(200.0 * 200 + 100 * 100 + 47 * 47));
}

TEST(Palette, lookupTieBetweenTwoEquallyNearColours)
{
    KeyModel m = palette({{rgb(0, 0, 0), "A"}, {rgb(2, 0, 0), "B"}});
    EXPECT_EQ(Cherche_Couleur(m, rgb(1, 0, 0)), "A");
    m = palette({{rgb(2, 0, 0), "B"}, {rgb(0, 0, 0), "A"}});
    EXPECT_EQ(Cherche_Couleur(m, rgb(1, 0, 0)), "B");
}

TEST(Palette, lookupWithoutColoursIsEmpty)
{
    KeyModel m;
    EXPECT_EQ(Cherche_Couleur(m, rgb(1, 2, 3)), "");
    m.Nb_Couleurs = 0;
    m.Code_Couleur = {"X"};
    EXPECT_EQ(Cherche_Couleur(m, 0), "");
}
