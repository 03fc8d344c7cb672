// Writes a small demonstration knowledge base: a handful of common trees and the characters that
// tell them apart. The program runs on it when no knowledge base is installed.
#include <filesystem>
#include <iostream>

#include "tools/kbbuilder/kb_builder.h"

using tarvenko::tools::KbBuilder;

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: tarvenko-demo-kb FOLDER\n";
        return 2;
    }
    const std::string root = argv[1];
    try {
        for (const char *sub : {"robot", "descripteurs", "documents"})
            std::filesystem::create_directories(root + "/" + sub);

        KbBuilder kb(root + "/data");
        kb.espece("Quercus robur", "FAGACEAE", "QUERO")
            .espece("Fagus sylvatica", "FAGACEAE", "FAGSY")
            .espece("Betula pendula", "BETULACEAE", "BETPE")
            .espece("Acer pseudoplatanus", "SAPINDACEAE", "ACEPS")
            .espece("Fraxinus excelsior", "OLEACEAE", "FRAEX")
            .espece("Pinus sylvestris", "PINACEAE", "PINSY")
            .espece("Picea abies", "PINACEAE", "PICAB")
            .espece("Taxus baccata", "TAXACEAE", "TAXBA");
        kb.objet({.objet = "FEUILLE", .etats = {"FEU_AIG", "FEU_LARGE"}, .tips = {"Needles", "Broad leaves"},
                  .cadre = 0, .tipText = "Leaf type", .popup = "feuille.wmf"});
        kb.objet({.objet = "COMPOSITION", .etats = {"COMP_SIMPLE", "COMP_PENNEE", "COMP_PALMEE"},
                  .tips = {"Simple", "Pinnate", "Palmate"}, .cadre = 0, .tipText = "Leaf composition",
                  .popup = "composition.wmf"});
        kb.objet({.objet = "MARGE", .etats = {"MARGE_ENTIERE", "MARGE_DENTEE", "MARGE_LOBEE"},
                  .tips = {"Entire", "Toothed", "Lobed"}, .cadre = 0, .tipText = "Leaf margin", .popup = "marge.wmf"});
        kb.objet({.objet = "AIGUILLES", .etats = {"AIG_PAR2", "AIG_ISOLEES"}, .tips = {"In pairs", "Single"},
                  .cadre = 0, .tipText = "Needle arrangement", .popup = "aiguilles.wmf"});
        kb.objet({.objet = "FRUIT", .etats = {"FR_GLAND", "FR_FAINE", "FR_SAMARE", "FR_CONE", "FR_BAIE", "FR_CHATON"},
                  .tips = {"Acorn", "Beechnut", "Samara", "Cone", "Berry-like", "Catkin"},
                  .lignes = 2, .colonnes = 3, .cadre = 1, .tipText = "Fruit", .popup = "fruit.wmf"});
        kb.objet({.objet = "ECORCE", .etats = {"EC_LISSE", "EC_CREVASSEE", "EC_BLANCHE", "EC_ECAILLES"},
                  .tips = {"Smooth", "Furrowed", "White, peeling", "Scaly"}, .lignes = 2, .colonnes = 2,
                  .cadre = 2, .tipText = "Bark", .popup = "ecorce.wmf"});
        kb.descendance("FEU_LARGE", "COMPOSITION").descendance("FEU_LARGE", "MARGE").descendance("FEU_AIG", "AIGUILLES");

        const auto has = [&](const char *species, std::initializer_list<const char *> states) {
            for (const char *state : states)
                kb.a(species, state);
        };
        has("Quercus robur", {"FEU_LARGE", "COMP_SIMPLE", "MARGE_LOBEE", "FR_GLAND", "EC_CREVASSEE"});
        has("Fagus sylvatica", {"FEU_LARGE", "COMP_SIMPLE", "MARGE_ENTIERE", "FR_FAINE", "EC_LISSE"});
        has("Betula pendula", {"FEU_LARGE", "COMP_SIMPLE", "MARGE_DENTEE", "FR_CHATON", "EC_BLANCHE"});
        has("Acer pseudoplatanus", {"FEU_LARGE", "COMP_SIMPLE", "MARGE_LOBEE", "FR_SAMARE", "EC_ECAILLES", "EC_LISSE"});
        has("Fraxinus excelsior", {"FEU_LARGE", "COMP_PENNEE", "MARGE_DENTEE", "FR_SAMARE", "EC_CREVASSEE", "EC_LISSE"});
        has("Pinus sylvestris", {"FEU_AIG", "AIG_PAR2", "FR_CONE", "EC_ECAILLES"});
        has("Picea abies", {"FEU_AIG", "AIG_ISOLEES", "FR_CONE", "EC_ECAILLES"});
        has("Taxus baccata", {"FEU_AIG", "AIG_ISOLEES", "FR_BAIE", "EC_ECAILLES", "EC_LISSE"});
        kb.poids("FEU_AIG", 3).poids("FEU_LARGE", 3);

        kb.hierarchie(0, "tronc.wmf", {});
        kb.hierarchie(1, "couronne_conifere.wmf", {"FEU_AIG"});
        kb.hierarchie(1, "couronne_feuillu.wmf", {});
        kb.couleur("FEUILLE").couleur("FRUIT").couleur("ECORCE");
        kb.clicZone("FRUIT", 1, false, 1500, 1900, 900, 1300, {});
        kb.butDeter("Feuille", "feuille.ico", "Leaf", "FEUILLE")
            .butDeter("Fruit", "fruit.ico", "Fruit", "FRUIT")
            .butDeter("Ecorce", "ecorce.ico", "Bark", "ECORCE")
            .butDeter("Search", "search.ico", "Propose a question", "Search")
            .butDeter("Results", "results.ico", "Show the results", "Results");
        kb.butQuest("OK", "ok.ico", "Validate").butQuest("Back", "back.ico", "Leave").butQuest("Pass", "pass.ico", "Pass");
        kb.langue("English", {{"English oak", "Quercus robur"}, {"Beech", "Fagus sylvatica"},
                              {"Silver birch", "Betula pendula"}, {"Sycamore", "Acer pseudoplatanus"},
                              {"Ash", "Fraxinus excelsior"}, {"Scots pine", "Pinus sylvestris"},
                              {"Norway spruce", "Picea abies"}, {"Yew", "Taxus baccata"}});
        kb.langue("Français", {{"Chêne pédonculé", "Quercus robur"}, {"Hêtre", "Fagus sylvatica"},
                               {"Bouleau verruqueux", "Betula pendula"}, {"Érable sycomore", "Acer pseudoplatanus"},
                               {"Frêne commun", "Fraxinus excelsior"}, {"Pin sylvestre", "Pinus sylvestris"},
                               {"Épicéa commun", "Picea abies"}, {"If", "Taxus baccata"}});
        kb.ecrit();
    } catch (const std::exception &e) {
        std::cerr << "tarvenko-demo-kb: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
