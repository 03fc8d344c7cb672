// The text of DELTA files: code page 1252, comments and typesetting marks.
#include <gtest/gtest.h>

#include "knowledge/delta/delta_texte.h"

using namespace tarvenko::delta;

namespace {

struct Cas {
    const char *entree, *attendu;
};

TEST(DeltaTexte, cp1252_givesEachByteItsCharacter)
{
    // 0x93/0x94 are the curly quotes of the files' "genera", 0xE9 is é, 0x80 the euro sign, and
    // 0x81 (undefined) keeps its code point rather than vanishing.
    EXPECT_EQ(depuisCp1252("\x93genera\x94 caf\xe9 \x80\x81"), "\u201Cgenera\u201D caf\u00E9 \u20AC\u0081");
}

TEST(DeltaTexte, names_loseCommentsAndMarks)
{
    const Cas cas[] = {
        {"\\i{}Agrostis\\i0{} <L.>", "Agrostis"},
        {"annual <or biennial, <nested> without remains>", "annual"},
        {"not pseudopetiolate <<implicit>>", "not pseudopetiolate"},
        {"Abelia latent \\i{}tymovirus\\i0{}", "Abelia latent tymovirus"},
        {"C\\sub{}4\\nosupersub{} type", "C4 type"},
        {"with \\emdash{} dash", "with \u2014 dash"},
        {"\\b{}Pteridophytes\\b0{}", "Pteridophytes"},
        {"caf\\u233?s", "caf\u00E9s"},
        {"caf\\'e9", "caf\u00E9"},
        {"  spread\r\n   over   lines ", "spread over lines"},
        {"a\\par{}b", "a b"},
        // A '<' never closed is text: the rest of the name is not a comment.
        {"few (<3) families susceptible", "few (<3) families susceptible"},
        {"", ""},
    };
    for (const Cas &c : cas)
        EXPECT_EQ(nettoie(c.entree), c.attendu) << c.entree;
}

TEST(DeltaTexte, questions_keepOuterCommentsInParentheses)
{
    const Cas cas[] = {
        {"culms <whether woody or herbaceous>", "culms (whether woody or herbaceous)"},
        {"<<af9 sa3>> plants <height>", "plants (height)"},
        {"<adaxial> ligule <form; avoid <young> seedlings>", "adaxial ligule (form; avoid seedlings)"},
        {"<longevity of plants>", "longevity of plants"},
        {"leaf blades", "leaf blades"},
    };
    for (const Cas &c : cas)
        EXPECT_EQ(nettoieQuestion(c.entree), c.attendu) << c.entree;
}

} // namespace
