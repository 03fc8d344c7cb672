// Runs tarvenko-check on keys written by the tests.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "support/commande.h"
#include "support/temp_dir.h"
#include "tools/kbbuilder/kb_builder.h"

namespace {

using tarvenko::test::cite;
using tarvenko::tools::KbBuilder;

class CheckProgram : public ::testing::Test {
protected:
    // Three species told apart by leaf and fruit: nothing to fix.
    void cle(KbBuilder &kb)
    {
        kb.espece("Alpha", "F", "ALPHA").espece("Beta", "F", "BETAA").espece("Gamma", "F", "GAMMA");
        kb.objet({.objet = "FEUILLE", .etats = {"F_AIG", "F_LARGE"}, .tips = {"Needles", "Broad"}, .tipText = "Leaf"});
        kb.objet({.objet = "FRUIT", .etats = {"FR_CONE", "FR_BAIE", "FR_GLAND"}, .tipText = "Fruit"});
        kb.a("Alpha", "F_AIG").a("Alpha", "FR_CONE").a("Beta", "F_LARGE").a("Beta", "FR_BAIE");
        kb.a("Gamma", "F_LARGE").a("Gamma", "FR_GLAND");
    }

    tarvenko::test::Execution lance(const std::string &args)
    {
        return tarvenko::test::execute("XDG_CACHE_HOME=" + cite(dir.dossier() + "cache") + " " + cite(TARVENKO_CHECK_PROGRAM) +
                                       " " + args + " 2>/dev/null");
    }

    tarvenko::test::TempDir dir;
};

TEST_F(CheckProgram, aSoundKeyPassesAndAFaultyOneFails)
{
    KbBuilder sain{dir.dossier() + "sain"};
    cle(sain);
    sain.ecrit();
    tarvenko::test::Execution e = lance(cite(sain.dossier()));
    EXPECT_EQ(e.code, 0) << e.sortie;
    EXPECT_EQ(e.sortie, "warning missing-page: the key has no documents folder: species pages are not checked\n"
                        "0 errors, 1 warnings\n");

    KbBuilder fautif{dir.dossier() + "fautif"};
    cle(fautif);
    fautif.espece("Delta", "F", "DELTA").a("Delta", "F_LARGE").a("Delta", "FR_GLAND");
    fautif.ecrit();
    e = lance(cite(fautif.dossier() + "/" + KbBuilder::kNomBase) + " --json");
    EXPECT_EQ(e.code, 1);
    EXPECT_NE(e.sortie.find("{\"findings\": [{\"kind\": \"inseparable-species\", \"severity\": \"error\", "
                            "\"subject\": \"Delta / Gamma\", \"text\": \"no answer separates Delta from Gamma\"}"),
              std::string::npos)
        << e.sortie;
    EXPECT_NE(e.sortie.find("\"errors\": 1, \"warnings\": 1}\n"), std::string::npos) << e.sortie;
}

TEST_F(CheckProgram, writesTheDichotomousKey)
{
    KbBuilder kb{dir.dossier() + "cle"};
    cle(kb);
    kb.ecrit();
    const std::string sortie = dir.fichier("cle.html");
    EXPECT_EQ(lance(cite(kb.dossier()) + " --dichotomous " + cite(sortie) + " --lang fr").code, 0);
    std::ifstream in(sortie);
    const std::string html{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_NE(html.find("<title>Clé dichotomique</title>"), std::string::npos) << html;
    EXPECT_NE(html.find("<h2>1. Fruit</h2>"), std::string::npos) << html;
    EXPECT_NE(html.find("<i>Gamma</i>"), std::string::npos) << html;

    EXPECT_EQ(lance(cite(kb.dossier()) + " --dichotomous " + cite(dir.dossier() + "nowhere/x.html")).code, 1);
}

TEST_F(CheckProgram, aWrongCommandLineEndsWithTwo)
{
    for (const char *args : {"", "a b", "--couleur x", "x --lang de", "x --dichotomous"})
        EXPECT_EQ(lance(args).code, 2) << args;
    EXPECT_EQ(lance(cite(dir.dossier() + "rien")).code, 1);
}

} // namespace
