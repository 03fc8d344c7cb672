// Runs the tarvenko-key program on knowledge bases written by the tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "knowledge/data_files.h"
#include "knowledge/numeric_answers.h"
#include "knowledge/species_group.h"
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
                        "\"states\": [\"C_SIMPLE\", \"C_COMPOSEE\"], \"text\": \"COMPO\", "
                        "\"state_texts\": [\"C_SIMPLE\", \"C_COMPOSEE\"]}, \"contradictions\": [{\"objet\": \"FEUILLE\", "
                        "\"state\": \"F_LARGE\"}], \"values\": [], \"mismatches\": [0, 0, 1], "
                        "\"tolerance_leaves_none\": false}\n");
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

// Alpha, Beta and Gamma measured: Alpha's leaves 2-4 cm, Beta's 10-20 cm, Gamma unknown.
class ProgrammeNumerique : public Programme {
protected:
    void SetUp() override
    {
        Programme::SetUp();
        kb.numerique({.objet = "LONGUEUR", .noms = {"Leaf length", "", ""}, .unite = "cm", .poids = 2});
        kb.plage("LONGUEUR", "Alpha", 2, 4).plage("LONGUEUR", "Beta", 10, 20);
        kb.ecrit();
    }
};

TEST_F(ProgrammeNumerique, valuesAreScoredAndListed)
{
    Execution e = lance({"--threshold", "0", "--lang", "en", "--value", "longueur=15", "--json"});
    EXPECT_EQ(e.code, 0) << e.erreurs;
    EXPECT_EQ(e.sortie, "{\"lines\": [\" 100% - Beta\", \" 100% - Gamma\", \" 0% - Alpha\"], \"nb_esp_max\": 2, "
                        "\"legende\": \" 2 species at 100 %\", \"question\": {\"objet\": \"COMPO\", \"measure\": 1, "
                        "\"states\": [\"C_SIMPLE\", \"C_COMPOSEE\"], \"text\": \"COMPO\", "
                        "\"state_texts\": [\"C_SIMPLE\", \"C_COMPOSEE\"]}, \"contradictions\": null, "
                        "\"values\": [{\"objet\": \"LONGUEUR\", \"value\": 15, \"unit\": \"cm\"}], \"mismatches\": [0, 0, 1], "
                        "\"tolerance_leaves_none\": false}\n");

    e = lance({"--threshold", "0", "--lang", "en", "--value=LONGUEUR=3.5", "--answer", "F_LARGE"});
    EXPECT_EQ(e.code, 0) << e.erreurs;
    EXPECT_EQ(e.sortie, " 100% - Gamma\n 67% - Alpha\n 33% - Beta\n 1 species at 100 %\nvalue: LONGUEUR 3.5 cm\n"
                        "question: none\n")
        << "Gamma: unknown never counts against it";

    e = lance({"--threshold", "50", "--value", "LONGUEUR=3.5", "--answer", "F_LARGE", "--species", "Beta"});
    EXPECT_EQ(e.code, 0) << e.erreurs;
    EXPECT_NE(e.sortie.find("question: none\ncontradiction: LONGUEUR 3.5\n"), std::string::npos) << e.sortie;
}

TEST_F(ProgrammeNumerique, theSearchMayAskForANumber)
{
    // Two species that only their bark thickness tells apart.
    KbBuilder deux{dir.dossier() + "deux"};
    deux.espece("Alpha", "F", "ALPHA").espece("Beta", "F", "BETAA");
    deux.objet({.objet = "FEUILLE", .etats = {"F_AIG", "F_LARGE"}});
    deux.a("Alpha", "F_LARGE").a("Beta", "F_LARGE");
    deux.numerique({.objet = "EPAISSEUR", .unite = "mm"});
    deux.plage("EPAISSEUR", "Alpha", 1, 2).plage("EPAISSEUR", "Beta", 4, 6, 3, std::nullopt);
    deux.ecrit();
    Execution e = lance({"--key", deux.dossier(), "--threshold", "0"}, false);
    EXPECT_EQ(e.code, 0) << e.erreurs;
    EXPECT_EQ(e.sortie, " 0% - Alpha\n 0% - Beta\n 2 species at 0 %\nquestion: EPAISSEUR 1 number 1 6 mm\n"
                        "question text: EPAISSEUR\n");
    e = lance({"--key", deux.dossier(), "--json"}, false);
    EXPECT_NE(e.sortie.find("\"question\": {\"objet\": \"EPAISSEUR\", \"measure\": 1, \"states\": [], \"text\": \"EPAISSEUR\", "
                            "\"state_texts\": [], \"unit\": \"mm\", "
                            "\"range\": [1, 6]}"),
              std::string::npos)
        << e.sortie;
}

TEST_F(ProgrammeNumerique, numericAnswersOfAnIdentificationFileAreApplied)
{
    std::vector<std::int16_t> etats(static_cast<std::size_t>(kb.nbEtats()), 0);
    std::vector<unsigned char> octets;
    for (const std::int16_t v : etats)
        octets.insert(octets.end(), {static_cast<unsigned char>(v), 0});
    const std::vector<unsigned char> numeriques = tarvenko::Octets_Reponses_Num({{"LONGUEUR", 3}});
    octets.insert(octets.end(), numeriques.begin(), numeriques.end());
    std::ofstream(dir.fichier("n.ryk"), std::ios::binary)
        .write(reinterpret_cast<const char *>(octets.data()), static_cast<std::streamsize>(octets.size()));

    const Execution e = lance({"--open", dir.fichier("n.ryk"), "--threshold", "50", "--lang", "en"});
    EXPECT_EQ(e.code, 0) << e.erreurs;
    EXPECT_EQ(e.sortie, " 100% - Alpha\n 100% - Gamma\n 2 species at 100 %\nvalue: LONGUEUR 3 cm\n"
                        "question: FEUILLE 1 F_AIG F_LARGE\nquestion text: FEUILLE\nstate: F_AIG F_AIG\n"
                        "state: F_LARGE F_LARGE\n");
}

TEST_F(ProgrammeNumerique, keyNamesTheBaseByItsFileOrItsFolder)
{
    namespace fs = std::filesystem;
    // The installed layout: the database in data/, pictures beside it.
    fs::create_directories(dir.path() / "cle");
    fs::rename(kb.dossier(), dir.path() / "cle" / "data");
    const std::string data = (dir.path() / "cle" / "data").string();
    for (const std::string &cle : {(dir.path() / "cle").string(), data, data + "/" + KbBuilder::kNomBase}) {
        const Execution e = lance({"--key", cle, "--threshold", "50", "--value", "LONGUEUR=3"}, false);
        EXPECT_EQ(e.code, 0) << cle << ": " << e.erreurs;
        EXPECT_EQ(e.sortie.substr(0, 14), " 100% - Alpha\n") << cle;
    }
    const Execution e = lance({"--key", dir.fichier("nulle_part")}, false);
    EXPECT_EQ(e.code, 1);
    EXPECT_NE(e.erreurs.find("no such file or folder"), std::string::npos) << e.erreurs;
}

INSTANTIATE_TEST_SUITE_P(
    Numerique, ProgrammeEchec,
    ::testing::Values(Echec{"valueWithoutNumber", {"--value", "LONGUEUR=douze"}, "--value needs OBJET=NUMBER"},
                      Echec{"valueWithoutKey", {"--value", "12"}, "--value needs OBJET=NUMBER"},
                      Echec{"valueOfAStateCharacter", {"--value", "FEUILLE=3"}, "unknown numeric character 'FEUILLE'"},
                      Echec{"keyAndData", {"--key", "/tmp"}, "leave out --data and --base"}),
    [](const auto &cas) { return std::string(cas.param.nom); });

} // namespace

namespace {

struct CasNarrow {
    const char *nom;
    std::vector<std::string> args;
    int code;
    std::string sortie; // the whole output, or a part of it when `partie`
    bool partie = false;
};

class ProgrammeNarrow : public Programme, public ::testing::WithParamInterface<CasNarrow> {};

TEST_P(ProgrammeNarrow, comparesAndNarrows)
{
    const CasNarrow &c = GetParam();
    std::vector<std::string> args = {"--threshold", "0", "--lang", "en"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Execution e = lance(args);
    EXPECT_EQ(e.code, c.code) << e.erreurs;
    if (c.partie)
        EXPECT_NE((e.sortie + e.erreurs).find(c.sortie), std::string::npos) << e.sortie << e.erreurs;
    else
        EXPECT_EQ(e.sortie, c.sortie) << e.erreurs;
}

// Beta has both answers, Gamma the leaf only, Alpha neither.
INSTANTIATE_TEST_SUITE_P(
    KeyProgram, ProgrammeNarrow,
    ::testing::Values(
        CasNarrow{"mismatchesPerLine", {"--answer", "F_LARGE", "--answer", "C_SIMPLE", "--json"}, 0,
                  "\"mismatches\": [0, 1, 2], \"tolerance_leaves_none\": false}", true},
        CasNarrow{"toleranceHidesTheOthers", {"--answer", "F_LARGE", "--answer", "C_SIMPLE", "--tolerance", "1"}, 0,
                  " 100% - Beta\n 50% - Gamma\n 1 species at 100 % (2 of 3 species kept)\nquestion: none\n"},
        CasNarrow{"toleranceLeavingNone", {"--answer", "F_AIG", "--answer", "FR_GLAND", "--tolerance", "0"}, 0,
                  " 0 species at 0 % (0 of 3 species kept)\ntolerance: no species has 0 mismatches or fewer\nquestion: none\n"},
        CasNarrow{"toleranceNotANumber", {"--tolerance", "-1"}, 2, "--tolerance needs a whole number from 0", true},
        CasNarrow{"family", {"--family", "f", "--answer", "F_LARGE"}, 0, " 2 species at 100 % (within F; 3 of 3 species kept)", true},
        CasNarrow{"unknownFamily", {"--family", "Rosaceae"}, 1, "no species in the family 'Rosaceae'", true},
        CasNarrow{"genusOfOneWordNames", {"--genus", "Alpha"}, 1, "no species in the genus 'Alpha'", true},
        CasNarrow{"differences", {"--differences", "alpha", "Gamma"}, 0,
                  "Differences between the species: Alpha; Gamma\nFEUILLE [FEUILLE, 1]\n  Alpha: F_AIG\n  Gamma: F_LARGE\n"
                  "FRUIT [FRUIT, 1]\n  Alpha: FR_CONE\n  Gamma: FR_GLAND\n"},
        CasNarrow{"differencesJson", {"--differences", "Beta", "Gamma", "--json"}, 0,
                  "{\"species\": [\"Beta\", \"Gamma\"], \"differences\": [{\"objet\": \"COMPO\", \"question\": \"COMPO\", "
                  "\"weight\": 1, \"numeric\": false, \"states\": [[\"C_SIMPLE\"], [\"C_COMPOSEE\"]]}]}\n"},
        CasNarrow{"differencesOfOne", {"--differences", "Beta"}, 2, "--differences compares two to five species", true},
        CasNarrow{"differencesPage", {"--differences", "Beta", "Gamma", "--html"}, 0,
                  "<tr><td>COMPO <span class=\"poids\">(1)</span></td><td>C_SIMPLE</td><td>C_COMPOSEE</td></tr>", true},
        CasNarrow{"pageWithoutDifferences", {"--html"}, 2, "--html prints the page of --differences", true},
        CasNarrow{"differencesOfAnUnknown", {"--differences", "Beta", "Delta"}, 1, "unknown species 'Delta'", true}),
    [](const auto &cas) { return std::string(cas.param.nom); });

TEST_F(Programme, theGroupOfAnIdentificationFileIsKept)
{
    std::vector<unsigned char> octets(2 * static_cast<std::size_t>(kb.nbEtats()), 0);
    const std::vector<unsigned char> groupe =
        tarvenko::Octets_Groupe(tarvenko::Groupe_Especes{tarvenko::Groupe_Especes::Rang::Famille, "F"});
    octets.insert(octets.end(), groupe.begin(), groupe.end());
    std::ofstream(dir.fichier("g.ryk"), std::ios::binary)
        .write(reinterpret_cast<const char *>(octets.data()), static_cast<std::streamsize>(octets.size()));
    const Execution e = lance({"--open", dir.fichier("g.ryk"), "--threshold", "0", "--lang", "en"});
    EXPECT_EQ(e.code, 0) << e.erreurs;
    EXPECT_NE(e.sortie.find("(within F; 3 of 3 species kept)"), std::string::npos) << e.sortie;

    octets.back() = 0x01; // the name's last byte becomes a length past the end
    octets.pop_back();
    std::ofstream(dir.fichier("g.ryk"), std::ios::binary)
        .write(reinterpret_cast<const char *>(octets.data()), static_cast<std::streamsize>(octets.size()));
    EXPECT_EQ(lance({"--open", dir.fichier("g.ryk")}).code, 1);
}

} // namespace

TEST_F(Programme, theQuestionAndItsStatesAreNamedInTheLanguageAskedWhereTheKeyCan)
{
    KbBuilder textes{dir.dossier() + "textes"};
    textes.espece("Alpha", "F", "ALPHA").espece("Beta", "F", "BETAA");
    textes.objet({.objet = "FEUILLE", .etats = {"F_AIG", "F_LARGE"}, .tips = {"Needles", "Broad"}, .tipText = "Leaf?"});
    textes.a("Alpha", "F_AIG").a("Beta", "F_LARGE");
    textes.questionLangue("FEUILLE", "fr", "Feuille ?").etatLangue("F_AIG", "fr", "Aiguilles");
    textes.ecrit();
    const auto question = [&](const char *langue) {
        const Execution e = lance({"--key", textes.dossier(), "--threshold", "0", "--lang", langue}, false);
        EXPECT_EQ(e.code, 0) << e.erreurs;
        return e.sortie.substr(std::min(e.sortie.find("question:"), e.sortie.size()));
    };
    // Broad has no French name: the key's own.
    EXPECT_EQ(question("fr"), "question: FEUILLE 1 F_AIG F_LARGE\nquestion text: Feuille ?\nstate: F_AIG Aiguilles\n"
                              "state: F_LARGE Broad\n");
    EXPECT_EQ(question("es"), "question: FEUILLE 1 F_AIG F_LARGE\nquestion text: Leaf?\nstate: F_AIG Needles\n"
                              "state: F_LARGE Broad\n");
    const Execution e = lance({"--key", textes.dossier(), "--lang", "fr", "--json"}, false);
    EXPECT_NE(e.sortie.find("\"text\": \"Feuille ?\", \"state_texts\": [\"Aiguilles\", \"Broad\"]"), std::string::npos)
        << e.sortie;
}
