// Runs the tarvenko-key program on knowledge bases written by the tests.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "knowledge/data_files.h"
#include "support/commande.h"
#include "support/temp_dir.h"
#include "tools/kbbuilder/kb_builder.h"

namespace {

using tarvenko::test::TempDir;
using tarvenko::tools::KbBuilder;

using tarvenko::test::cite;

// What the program wrote on its standard output, and apart on its standard error.
struct Execution : tarvenko::test::Execution {
    std::string erreurs;
};

// Three species told apart by leaf and fruit; a compound leaf is asked only of broad leaves.
class Programme : public ::testing::Test {
protected:
    void SetUp() override
    {
        kb.espece("Alpha", "F", "ALPHA").espece("Beta", "F", "BETAA").espece("Gamma", "F", "GAMMA");
        kb.objet({.objet = "FEUILLE", .etats = {"F_AIG", "F_LARGE"}});
        kb.objet({.objet = "COMPO", .etats = {"C_SIMPLE", "C_COMPOSEE"}});
        kb.objet({.objet = "FRUIT", .etats = {"FR_CONE", "FR_BAIE", "FR_GLAND"}});
        kb.descendance("F_LARGE", "COMPO");
        for (const char *e : {"F_AIG", "FR_CONE"})
            kb.a("Alpha", e);
        for (const char *e : {"F_LARGE", "C_SIMPLE", "FR_GLAND"})
            kb.a("Beta", e);
        for (const char *e : {"F_LARGE", "C_COMPOSEE", "FR_GLAND"})
            kb.a("Gamma", e);
        kb.ecrit();
    }

    Execution lance(std::vector<std::string> args, bool dossierExplicite = true, const std::string &environnement = "")
    {
        if (dossierExplicite) {
            args.insert(args.begin(), {"--data", kb.dossier(), "--base", KbBuilder::kNomBase});
        }
        // No settings of this machine or user may leak into the run.
        std::string commande = "XDG_CONFIG_DIRS=" + cite(dir.dossier() + "machine") + " XDG_CONFIG_HOME=" +
                               cite(dir.dossier() + "utilisateur") + " " + environnement + " " + cite(TARVENKO_KEY_PROGRAM);
        for (const std::string &a : args)
            commande += " " + cite(a);
        commande += " 2>" + cite(dir.fichier("erreurs.txt"));
        Execution e{tarvenko::test::execute(commande), {}};
        std::ifstream erreurs(dir.fichier("erreurs.txt"));
        std::stringstream texte;
        texte << erreurs.rdbuf();
        e.erreurs = texte.str();
        return e;
    }

    TempDir dir;
    KbBuilder kb{dir.dossier() + "kb"};
};

TEST_F(Programme, answersAreValidatedInOrderWithTheirDependantsCleared)
{
    const Execution e = lance({"--threshold", "0", "--lang", "en", "--answer", "F_LARGE", "--answer", "C_COMPOSEE",
                               "--answer", "F_AIG"});
    EXPECT_EQ(e.code, 0) << e.erreurs;
    EXPECT_EQ(e.sortie, " 100% - Alpha\n"
                        " 0% - Beta\n"
                        " 0% - Gamma\n"
                        " 1 species at 100 %\n"
                        "question: none\n");
}

TEST_F(Programme, jsonCarriesTheQuestionAndTheContradictions)
{
    const Execution e = lance({"--threshold", "0", "--lang", "en", "--answer", "F_LARGE", "--species", "alpha", "--json"});
    EXPECT_EQ(e.code, 0) << e.erreurs;
    EXPECT_EQ(e.sortie, "{\"lines\": [\" 100% - Beta\", \" 100% - Gamma\", \" 0% - Alpha\"], \"nb_esp_max\": 2, "
                        "\"legende\": \" 2 species at 100 %\", \"question\": {\"objet\": \"COMPO\", \"measure\": 1, "
                        "\"states\": [\"C_SIMPLE\", \"C_COMPOSEE\"]}, \"contradictions\": [{\"objet\": \"FEUILLE\", "
                        "\"state\": \"F_LARGE\"}], \"values\": []}\n");
}

TEST_F(Programme, anIdentificationFileIsOpenedBeforeTheAnswers)
{
    std::vector<std::int16_t> etats(static_cast<std::size_t>(kb.nbEtats()), 0);
    etats[static_cast<std::size_t>(kb.etat("F_LARGE"))] = 1;
    etats[static_cast<std::size_t>(kb.etat("C_COMPOSEE"))] = 1;
    ASSERT_TRUE(tarvenko::Ecrit_Entiers16(dir.fichier("essai.ryk"), etats));

    const Execution e = lance({"--open", dir.fichier("essai.ryk"), "--answer", "FR_GLAND", "--threshold", "50", "--lang", "fr"});
    EXPECT_EQ(e.code, 0) << e.erreurs;
    EXPECT_EQ(e.sortie, " 100% - Gamma\n 67% - Beta\n 1 espèces à 100 %\nquestion: none\n");
}

TEST_F(Programme, theSettingsNameTheKnowledgeBaseWhenNoOptionDoes)
{
    std::filesystem::create_directories(dir.path() / "machine" / "Tarvenko");
    std::ofstream(dir.path() / "machine" / "Tarvenko" / "Tarvenko.ini")
        << "[Logiciel]\nData=" << kb.dossier() << "\n[Options]\nValeur=60\nLangue=2\n";
    const Execution e = lance({"--answer", "F_AIG"}, false);
    EXPECT_EQ(e.code, 0) << e.erreurs;
    EXPECT_EQ(e.sortie, " 100% - Alpha\n 1 espèces à 100 %\nquestion: none\n");
}

struct Echec {
    const char *nom;
    std::vector<std::string> args;
    std::string message;
};

void PrintTo(const Echec &e, std::ostream *os) { *os << e.nom; }

class ProgrammeEchec : public Programme, public ::testing::WithParamInterface<Echec> {};

TEST_P(ProgrammeEchec, failsWithAClearMessage)
{
    std::ofstream(dir.fichier("court.ryk")) << "x";
    std::vector<std::string> args;
    for (const std::string &a : GetParam().args)
        args.push_back(a == "COURT" ? dir.fichier("court.ryk") : a);
    const Execution e = lance(args);
    EXPECT_NE(e.code, 0);
    EXPECT_TRUE(e.sortie.empty()) << e.sortie;
    EXPECT_NE(e.erreurs.find(GetParam().message), std::string::npos) << e.erreurs;
}

INSTANTIATE_TEST_SUITE_P(
    Programme, ProgrammeEchec,
    ::testing::Values(Echec{"unknownState", {"--answer", "NULLE_PART"}, "unknown state identifier 'NULLE_PART'"},
                      Echec{"unknownSpecies", {"--species", "Omega"}, "unknown species 'Omega'"},
                      Echec{"missingFile", {"--open", "/nulle/part.ryk"}, "/nulle/part.ryk"},
                      Echec{"shortFile", {"--open", "COURT"}, "too short"},
                      Echec{"missingBase", {"--base", "absent.db"}, "absent.db"},
                      Echec{"badOption", {"--couleur"}, "unknown option --couleur"}),
    [](const auto &cas) { return std::string(cas.param.nom); });

} // namespace
