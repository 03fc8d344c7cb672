#include <gtest/gtest.h>

#include "knowledge/numeric.h"
#include "knowledge/text.h"

using namespace tarvenko;

TEST(Numeric, leadingNumberOfAParameterText)
{
    struct Case {
        const char *text;
        std::optional<std::int16_t> expected;
    };
    const Case cases[] = {
        {"2.5", 2}, {"3.5", 4}, {"12abc", 12}, {"abc", 0}, {"", 0}, {"  -7 species", -7},
        {"0.5", 0}, {"1.5", 2}, {"-2.5", -2}, {"1e2", 100}, {"32767", 32767}, {"40000", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(enEntier16(valeurNumerique(c.text)), c.expected) << c.text;
}

TEST(Numeric, wholeTextAsNumberOrBoolean)
{
    EXPECT_EQ(texteEnNombre(" 12 "), 12.0);
    EXPECT_EQ(texteEnNombre("12abc"), std::nullopt);
    EXPECT_EQ(texteEnNombre("abc"), std::nullopt);
    EXPECT_EQ(texteEnBooleen("True"), true);
    EXPECT_EQ(texteEnBooleen("FALSE"), false);
    EXPECT_EQ(texteEnBooleen("-1"), true);
    EXPECT_EQ(texteEnBooleen("0"), false);
    EXPECT_EQ(texteEnBooleen("perhaps"), std::nullopt);
}

TEST(Text, properCaseOfFamilyNames)
{
    EXPECT_EQ(casseNomPropre("ROSACEAE"), "Rosaceae");
    EXPECT_EQ(casseNomPropre("fagaceae nova"), "Fagaceae Nova");
    EXPECT_EQ(casseNomPropre("ÉRABLES"), "Érables");
    EXPECT_EQ(majusculesChemin("/data/robot/07\\arbre_é.wmf"), "/DATA/ROBOT/07\\ARBRE_É.WMF");
}

TEST(Text, keysCompareWithoutRegardToCase)
{
    EXPECT_LT(compareCles("acer", "Betula"), 0);
    EXPECT_GT(compareCles("betula", "Acer"), 0);
    EXPECT_TRUE(clesEgales("FEUILLE", "feuille"));
    EXPECT_NE(compareCles("Acer", "acer"), 0); // equal keys still have a fixed order
}
