#include <gtest/gtest.h>

#include "knowledge/loader.h"
#include "support/temp_dir.h"
#include "tools/kbbuilder/kb_builder.h"

using namespace tarvenko;
using tarvenko::tools::KbBuilder;

namespace {

KeyModel buildTree(KbBuilder &kb, std::int16_t langue = 0)
{
    kb.objet({.objet = "FEUILLE", .etats = {"A"}});
    kb.ecrit();
    KeyModel m;
    m.Num_Langue = langue;
    m.Chemin_Data = kb.dossier();
    m.Chemin_Base = kb.dossier() + KbBuilder::kNomBase;
    Charge_Connaissances(m);
    Arbre_Des_Especes(m);
    return m;
}

} // namespace

TEST(SpeciesTree, twoSpeciesOfOneFamilyShareItsNode)
{
    test::TempDir dir;
    KbBuilder kb(dir.dossier());
    kb.espece("Quercus robur", "FAGACEAE", "QUERO").espece("Fagus sylvatica", "FAGACEAE", "FAGSY");
    const KeyModel m = buildTree(kb);
    const Arbre_Especes &tree = m.Arbre;

    const NoeudArbre *family = tree.noeud("FAGACEAE");
    ASSERT_NE(family, nullptr);
    EXPECT_EQ(family->Text, "Fagaceae"); // shown in proper case, keyed as stored
    EXPECT_EQ(family->Tag, "Fam");
    EXPECT_EQ(family->Parent, "Familles");
    EXPECT_TRUE(family->Sorted);
    EXPECT_EQ(tree.enfants("FAGACEAE"), (std::vector<std::string>{"FAGSY", "QUERO"}));
    EXPECT_EQ(tree.noeud("QUERO")->Tag, "Esp");
    EXPECT_EQ(tree.noeud("QUEROS")->Parent, "Espèces");
    EXPECT_EQ(tree.noeud("QUEROS")->Tag, "EspFAGACEAE");
    EXPECT_EQ(tree.noeud("QUEROS")->Image, "page");
}

TEST(SpeciesTree, rootsAreInTheInterfaceLanguage)
{
    test::TempDir dir;
    KbBuilder kb(dir.dossier());
    kb.espece("Quercus robur", "FAGACEAE", "QUERO");
    const KeyModel m = buildTree(kb, 2);
    EXPECT_EQ(m.Arbre.noeud("Familles")->Image, "livre_ferme");
    EXPECT_EQ(m.Arbre.noeuds()[0].Key, "Familles");
    EXPECT_EQ(m.Arbre.noeuds()[1].Key, "Espèces");
    EXPECT_EQ(m.Arbre.noeuds()[2].Key, "Communs");
    for (const char *key : {"Familles", "Espèces", "Communs"})
        EXPECT_FALSE(m.Arbre.noeud(key)->Text.empty()) << key;
}

TEST(SpeciesTree, aCommonNameSharedByTwoLanguagesStaysUnderTheFirst)
{
    test::TempDir dir;
    KbBuilder kb(dir.dossier());
    kb.espece("Taxus baccata", "TAXACEAE", "TAXBA").espece("Tilia cordata", "MALVACEAE", "TILCO");
    // Index order of the languages is alphabetical: English before Français.
    kb.langue("Français", {{"If", "Taxus baccata"}, {"Tilleul", "Tilia cordata"}});
    kb.langue("English", {{"Yew", "Taxus baccata"}, {"If", "Tilia cordata"}});
    const KeyModel m = buildTree(kb);
    const Arbre_Especes &tree = m.Arbre;

    ASSERT_NE(tree.noeud("SEnglish"), nullptr);
    EXPECT_EQ(tree.noeud("SEnglish")->Tag, "SEnglish");
    EXPECT_EQ(tree.noeud("If")->Parent, "SEnglish");
    EXPECT_EQ(tree.noeud("If")->Tag, "Com");
    // The French "If" adds its species under the English node of the same name.
    EXPECT_EQ(tree.enfants("If"), (std::vector<std::string>{"TAXBAIf", "TILCOIf"}));
    EXPECT_EQ(tree.noeud("TAXBAIf")->Tag, "CspTAXBATAXACEAE");
    EXPECT_EQ(tree.enfants("SFrançais"), (std::vector<std::string>{"Tilleul"}));
}

TEST(SpeciesTree, aDuplicateSpeciesCodeLeavesTheSecondSpeciesOut)
{
    test::TempDir dir;
    KbBuilder kb(dir.dossier());
    kb.espece("Acer campestre", "SAPINDACEAE", "ACECA").espece("Acer capillipes", "SAPINDACEAE", "ACECA");
    const KeyModel m = buildTree(kb);
    EXPECT_EQ(m.Arbre.enfants("SAPINDACEAE").size(), 1u);
    EXPECT_EQ(m.Arbre.noeud("ACECA")->Text, "Acer campestre");
}

TEST(SpeciesTree, childrenAreListedInTheOrderAddedUnderTheirParentWhateverItsCase)
{
    Arbre_Especes tree;
    ASSERT_TRUE(tree.ajoute("", "Familles", "Families", "livre_ferme"));
    ASSERT_TRUE(tree.ajoute("Familles", "PINACEAE", "Pinaceae", "livre_ferme"));
    ASSERT_TRUE(tree.ajoute("Familles", "BETULACEAE", "Betulaceae", "livre_ferme"));
    ASSERT_TRUE(tree.ajoute("pinaceae", "PINSY", "Pinus sylvestris", "page")); // keys ignore case
    EXPECT_FALSE(tree.ajoute("BETULACEAE", "pinsy", "Pinus again", "page"));   // a key used anywhere
    EXPECT_FALSE(tree.ajoute("ULMACEAE", "ULMMI", "Ulmus minor", "page"));     // no such parent
    ASSERT_TRUE(tree.ajoute("PINACEAE", "ABIAL", "Abies alba", "page"));

    EXPECT_EQ(tree.enfants("FAMILLES"), (std::vector<std::string>{"PINACEAE", "BETULACEAE"}));
    EXPECT_EQ(tree.enfants("PINACEAE"), (std::vector<std::string>{"PINSY", "ABIAL"}));
    EXPECT_TRUE(tree.enfants("BETULACEAE").empty());
    EXPECT_TRUE(tree.enfants("ULMACEAE").empty());
    tree.noeud("Familles")->Sorted = true;
    tree.noeud("PINACEAE")->Sorted = true;
    EXPECT_EQ(tree.enfants("Familles"), (std::vector<std::string>{"BETULACEAE", "PINACEAE"}));
    EXPECT_EQ(tree.enfants("PINACEAE"), (std::vector<std::string>{"ABIAL", "PINSY"}));

    tree.clear();
    EXPECT_TRUE(tree.enfants("Familles").empty());
    ASSERT_TRUE(tree.ajoute("", "Familles", "Families", "livre_ferme"));
    ASSERT_TRUE(tree.ajoute("Familles", "TAXACEAE", "Taxaceae", "livre_ferme"));
    EXPECT_EQ(tree.enfants("Familles"), (std::vector<std::string>{"TAXACEAE"}));
}

TEST(SpeciesTree, aLargeTreeKeepsEveryFamilyWithItsSpecies)
{
    test::TempDir dir;
    KbBuilder kb(dir.dossier());
    for (int i = 0; i < 3000; ++i) {
        const std::string n = std::to_string(10000 + i);
        kb.espece("Species " + n, "FAM" + std::to_string(i % 7), "C" + n.substr(1));
    }
    const KeyModel m = buildTree(kb);
    ASSERT_EQ(m.Arbre.enfants("Familles").size(), 7u);
    std::size_t total = 0;
    for (const std::string &famille : m.Arbre.enfants("Familles")) {
        const std::vector<std::string> especes = m.Arbre.enfants(famille);
        total += especes.size();
        for (const std::string &code : especes)
            EXPECT_EQ(m.Arbre.noeud(code)->Parent, famille);
    }
    EXPECT_EQ(total, 3000u);
    EXPECT_EQ(m.Arbre.enfants("Espèces").size(), 3000u);
}

TEST(SpeciesTree, aParentIsFoundAgainOnlyWhileItIsInTheTree)
{
    // Each row: parent, key, whether it is added; one tree, cleared where the parent is "-".
    struct Row {
        const char *parent, *key;
        bool added;
    };
    const Row rows[] = {
        {"", "A", true},   {"A", "b", true},  {"A", "c", true},  {"a", "d", true}, // any case of the parent
        {"A", "B", false}, {"A", "e", true},                                       // a key used, in another case
        {"-", "", false},  {"A", "f", false}, {"", "A", true},  {"A", "g", true},  // gone with clear
        {"x", "h", false}, {"A", "h", true},  {"h", "h", false},
    };
    Arbre_Especes tree;
    for (const Row &r : rows) {
        SCOPED_TRACE(std::string(r.parent) + " / " + r.key);
        if (std::string_view(r.parent) == "-") {
            tree.clear();
            continue;
        }
        const std::size_t before = tree.noeuds().size();
        EXPECT_EQ(tree.ajoute(r.parent, r.key, r.key, "page"), r.added);
        EXPECT_EQ(tree.noeuds().size(), before + (r.added ? 1 : 0));
        if (r.added) {
            EXPECT_EQ(tree.dernier().Key, r.key);
        }
    }
    EXPECT_EQ(tree.enfants("A"), (std::vector<std::string>{"g", "h"}));
}

TEST(SpeciesTree, loadingLeavesItToTheFirstAskAndALoadForgetsTheOldOne)
{
    test::TempDir dir;
    KbBuilder kb(dir.dossier());
    kb.espece("Quercus robur", "FAGACEAE", "QUERO");
    kb.objet({.objet = "FEUILLE", .etats = {"A"}});
    kb.ecrit();
    KeyModel m;
    m.Chemin_Data = kb.dossier();
    m.Chemin_Base = kb.dossier() + KbBuilder::kNomBase;
    ASSERT_EQ(Charge_Connaissances(m).etat, ResultatChargement::Etat::Ok);
    EXPECT_TRUE(m.Arbre.noeuds().empty());
    EXPECT_EQ(Arbre_Des_Especes(m).noeud("QUERO")->Parent, "FAGACEAE");
    const std::size_t noeuds = m.Arbre.noeuds().size();
    EXPECT_EQ(Arbre_Des_Especes(m).noeuds().size(), noeuds); // built once

    // Another key loaded into the same model: its tree, not the first one's.
    test::TempDir autre;
    KbBuilder kb2(autre.dossier());
    kb2.espece("Fagus sylvatica", "FAGACEAE", "FAGSY");
    kb2.objet({.objet = "FEUILLE", .etats = {"A"}});
    kb2.ecrit();
    m.Chemin_Data = kb2.dossier();
    m.Chemin_Base = kb2.dossier() + KbBuilder::kNomBase;
    ASSERT_EQ(Charge_Connaissances(m).etat, ResultatChargement::Etat::Ok);
    EXPECT_EQ(Arbre_Des_Especes(m).noeud("QUERO"), nullptr);
    EXPECT_NE(m.Arbre.noeud("FAGSY"), nullptr);
}
