// Writes a small demonstration knowledge base: a handful of common trees and the characters that
// tell them apart, with its colour chart and the layers of its drawing. The program runs on it
// when no knowledge base is installed.
#include <filesystem>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "tools/kbbuilder/kb_builder.h"
#include "tools/wmf/wmf_writer.h"

using tarvenko::tools::KbBuilder;
using tarvenko::tools::WmfPoint;
using tarvenko::tools::WmfRect;
using tarvenko::tools::WmfWriter;
namespace wmf = tarvenko::wmf;

namespace {

// Palette of the drawing: the colour of each part, in the order of the Couleurs rows. Outlines
// are darker shades of the same hue, so that a click on one still finds its part.
struct Part {
    const char *code;
    std::uint32_t fill;
    std::uint32_t outline;
};
const Part kParts[] = {
    {"FEUILLE", wmf::rgb(34, 139, 34), wmf::rgb(20, 90, 20)},
    {"FRUIT", wmf::rgb(200, 30, 30), wmf::rgb(200, 30, 30)},
    {"ECORCE", wmf::rgb(120, 72, 36), wmf::rgb(70, 40, 20)},
};
const Part &part(const char *code)
{
    for (const Part &p : kParts)
        if (std::string(p.code) == code)
            return p;
    throw std::logic_error(code);
}

// Drawing layers share the drawing's reference space, 2400 x 1800.
WmfWriter layer()
{
    WmfWriter w;
    w.placeable({0, 0, 2400, 1800}).setWindowOrg(0, 0).setWindowExt(2400, 1800);
    return w;
}

void paint(WmfWriter &w, const char *code)
{
    w.selectObject(w.createPen(wmf::PS_SOLID, 6, part(code).outline));
    w.selectObject(w.createBrush(wmf::BS_SOLID, part(code).fill));
}

// The colour chart: one equal cell per colour of the palette, side by side.
void ecritNuancier(const std::string &path)
{
    WmfWriter w;
    const auto n = static_cast<std::int16_t>(std::size(kParts));
    w.placeable({0, 0, static_cast<std::int16_t>(100 * n), 100}).setWindowExt(100 * n, 100);
    w.selectObject(w.createPen(wmf::PS_NULL, 0, 0));
    for (std::int16_t i = 0; i < n; ++i) {
        const int brush = w.createBrush(wmf::BS_SOLID, kParts[i].fill);
        w.selectObject(brush).rectangle({static_cast<std::int16_t>(100 * i), 0, static_cast<std::int16_t>(100 * i + 100), 100});
        w.deleteObject(brush);
    }
    w.save(path);
}

void fruits(WmfWriter &w, std::initializer_list<WmfPoint> centres, std::int16_t rx, std::int16_t ry)
{
    paint(w, "FRUIT");
    for (const WmfPoint c : centres)
        w.ellipse({static_cast<std::int16_t>(c.x - rx), static_cast<std::int16_t>(c.y - ry), static_cast<std::int16_t>(c.x + rx),
                   static_cast<std::int16_t>(c.y + ry)});
}

void ecritDessins(const std::string &robot)
{
    std::filesystem::create_directories(robot + "/00");
    std::filesystem::create_directories(robot + "/01");

    WmfWriter tronc = layer();
    paint(tronc, "ECORCE");
    tronc.polygon({{1110, 1760}, {1290, 1760}, {1245, 1100}, {1240, 700}, {1160, 700}, {1155, 1100}});
    tronc.polygon({{1245, 1150}, {1560, 880}, {1590, 905}, {1250, 1230}}); // a low branch
    tronc.polygon({{1050, 1760}, {1350, 1760}, {1300, 1700}, {1100, 1700}}); // root flare
    tronc.save(robot + "/00/tronc.wmf");

    WmfWriter feuillu = layer();
    paint(feuillu, "FEUILLE");
    for (const WmfRect r : {WmfRect{450, 420, 1250, 1150}, WmfRect{1150, 380, 1950, 1120}, WmfRect{750, 150, 1650, 800},
                            WmfRect{650, 600, 1750, 1200}})
        feuillu.ellipse(r);
    fruits(feuillu, {{1560, 960}, {1690, 1060}, {1800, 940}, {1640, 1180}}, 38, 38);
    feuillu.save(robot + "/01/couronne_feuillu.wmf");

    WmfWriter conifere = layer();
    paint(conifere, "FEUILLE");
    conifere.polygon({{1200, 100}, {1500, 600}, {900, 600}});
    conifere.polygon({{1200, 350}, {1650, 950}, {750, 950}});
    conifere.polygon({{1200, 650}, {1800, 1300}, {600, 1300}});
    fruits(conifere, {{1560, 1000}, {1700, 1150}, {1820, 1220}}, 25, 55);
    conifere.save(robot + "/01/couronne_conifere.wmf");
}

} // namespace

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
        for (const Part &p : kParts)
            kb.couleur(p.code);
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
        ecritNuancier(root + "/data/couleur.wmf");
        ecritDessins(root + "/robot");
    } catch (const std::exception &e) {
        std::cerr << "tarvenko-demo-kb: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
