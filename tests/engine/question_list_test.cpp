#include <gtest/gtest.h>

#include "base_de_test.h"
#include "engine/numeric_characters.h"
#include "engine/question_list.h"

using namespace tarvenko;
using tarvenko::test::BaseDeTest;

namespace {

// Leaves (named in three languages), bark (group 1, unnamed), a habit of no group; the leaf has
// a row of its own under the upright habit (a variant); two numbers, one in the leaf group.
void declareCle(BaseDeTest &base)
{
    base.kb.espece("Alpha", "F", "ALPHA").espece("Beta", "F", "BETA");
    base.kb.objet({.objet = "FEUILLE", .etats = {"F_AIG2", "F_LARGE2"}, .tips = {"Short needle", "Lobed"}, .cadre = 0,
                   .tipText = "Leaf type", .contrainte = "P_DRESSE"});
    base.kb.objet({.objet = "FEUILLE", .etats = {"F_AIG", "F_LARGE"}, .tips = {"Needle", "Broad"}, .cadre = 0,
                   .tipText = "Leaf type", .ligneSupplementaire = true});
    base.kb.objet({.objet = "BORD", .etats = {"B_LISSE", "B_DENTE"}, .tips = {"Entire", "Toothed"}, .cadre = 0,
                   .tipText = "Leaf margin"});
    base.kb.objet({.objet = "ECORCE", .etats = {"E_LISSE", "E_CREV"}, .tips = {"Smooth", "Écailleuse"}, .cadre = 1,
                   .tipText = "Écorce"});
    base.kb.objet({.objet = "PORT", .etats = {"P_DRESSE", "P_PLEUR"}, .tips = {"Upright", "Weeping"}, .tipText = "Habit"});
    base.kb.numerique({.objet = "LONGUEUR", .noms = {"Leaf length", "", "Longueur"}, .unite = "cm", .cadre = 0});
    base.kb.numerique({.objet = "AGE", .unite = "years"});
    base.kb.nomCadre(0, {"Leaves", "Hojas", "Feuilles"});
    base.kb.versionDatabase(301);
    base.kb.descendance("F_LARGE", "BORD");
}

std::string texte(const std::vector<GroupeQuestions> &liste)
{
    std::string out;
    for (const GroupeQuestions &g : liste) {
        out += std::to_string(g.cadre) + " '" + g.nom + "':";
        for (const EntreeQuestion &q : g.questions) {
            out += " " + q.nom;
            if (q.repondue)
                out += "=" + (q.numerique ? std::to_string(static_cast<int>(*q.valeur)) + q.unite : q.reponse);
        }
        out += "\n";
    }
    return out;
}

TEST(ListeQuestions, answeredFirstInTheirGroupWithTheirAnswersInTheLanguage)
{
    BaseDeTest base;
    declareCle(base);
    base.charge();
    struct Cas {
        const char *nom;
        std::vector<std::string> etats;
        std::optional<double> longueur;
        std::int16_t langue;
        const char *attendu;
    };
    const Cas cas[] = {
        {"nothing answered", {}, std::nullopt, 0,
         "0 'Leaves': Leaf margin Leaf type Leaf length\n1 '': Écorce\n-1 '': Habit AGE\n"},
        {"an answer moves up its own group only", {"F_LARGE"}, std::nullopt, 0,
         "0 'Leaves': Leaf type=Broad Leaf margin Leaf length\n1 '': Écorce\n-1 '': Habit AGE\n"},
        {"answered questions keep key order among themselves", {"F_AIG", "B_DENTE"}, 4, 0,
         "0 'Leaves': Leaf margin=Toothed Leaf type=Needle Leaf length=4cm\n1 '': Écorce\n-1 '': Habit AGE\n"},
        {"the answer of a variant row", {"P_DRESSE", "F_LARGE2"}, std::nullopt, 0,
         "0 'Leaves': Leaf type=Lobed Leaf margin Leaf length\n1 '': Écorce\n-1 '': Habit=Upright AGE\n"},
        {"two states of one character", {"E_LISSE", "E_CREV"}, std::nullopt, 0,
         "0 'Leaves': Leaf margin Leaf type Leaf length\n1 '': Écorce=Smooth, Écailleuse\n-1 '': Habit AGE\n"},
        {"French names", {}, std::nullopt, 2,
         "0 'Feuilles': Leaf margin Leaf type Longueur\n1 '': Écorce\n-1 '': Habit AGE\n"},
        {"Spanish falls back to English where it has no name", {}, std::nullopt, 1,
         "0 'Hojas': Leaf margin Leaf type Leaf length\n1 '': Écorce\n-1 '': Habit AGE\n"},
    };
    for (const Cas &c : cas) {
        Nettoye(base.m);
        base.m.Num_Langue = c.langue;
        for (const std::string &e : c.etats)
            base.choisit(e);
        if (c.longueur)
            Repond_Num(base.m, Caractere_Num_De(base.m, "LONGUEUR"), *c.longueur);
        EXPECT_EQ(texte(Liste_Questions(base.m)), c.attendu) << c.nom;
    }
}

TEST(ListeQuestions, aListBroughtUpToDateEqualsANewOne)
{
    BaseDeTest base;
    declareCle(base);
    base.charge();
    std::vector<GroupeQuestions> liste = Liste_Questions(base.m);
    base.choisit("E_CREV");
    base.choisit("P_PLEUR");
    Repond_Num(base.m, Caractere_Num_De(base.m, "AGE"), 80);
    Actualise_Reponses(liste, base.m);
    EXPECT_EQ(texte(liste), texte(Liste_Questions(base.m)));
    EXPECT_EQ(texte(liste), "0 'Leaves': Leaf margin Leaf type Leaf length\n1 '': Écorce=Écailleuse\n-1 '': Habit=Weeping AGE=80years\n");

    Nettoye(base.m);
    Actualise_Reponses(liste, base.m);
    EXPECT_EQ(texte(liste), texte(Liste_Questions(base.m))) << "withdrawn answers go back to their place";
}

TEST(ListeQuestions, searchTextIsFoldedWithoutAccents)
{
    const std::pair<const char *, const char *> cas[] = {
        {"Leaf TYPE", "leaf type"}, {"Écorce", "ecorce"}, {"ÑANDÚ", "nandu"}, {"Ärger über Öl", "arger uber ol"},
        {"", ""},                   {"12 cm", "12 cm"},  {"Ωμέγα", "ωμεγα"},
    };
    for (const auto &[texte, attendu] : cas)
        EXPECT_EQ(Texte_Recherche(texte), attendu) << texte;
}

TEST(ListeQuestions, theFilterFindsNamesStatesAndGroupsWordByWord)
{
    BaseDeTest base;
    declareCle(base);
    base.charge();
    const std::vector<GroupeQuestions> liste = Liste_Questions(base.m);
    const std::pair<const char *, const char *> cas[] = {
        {"", "Leaf margin, Leaf type, Leaf length | Écorce | Habit, AGE"},
        {"   ", "Leaf margin, Leaf type, Leaf length | Écorce | Habit, AGE"},
        {"leaf", "Leaf margin, Leaf type, Leaf length"},
        {"LEAF TYPE", "Leaf type"},
        {"type leaf", "Leaf type"},
        {"ecorce", "Écorce"},          // the accent of the name is not needed
        {"écailleuse", "Écorce"},      // a state's name finds its question
        {"lobed", "Leaf type"},        // so does a state of a variant row
        {"weep", "Habit"},
        {"feuille", ""},               // keys are not searched
        {"leaves", "Leaf margin, Leaf type, Leaf length"}, // the group's name finds its questions
        {"leaves toothed", "Leaf margin"},
        {"broad toothed", ""},         // every word must be found in the same question
        {"age", "AGE"},
        {"zzz", ""},
    };
    for (const auto &[filtre, attendu] : cas) {
        std::string trouve;
        for (const GroupeTrouve &g : Filtre_Questions(liste, filtre)) {
            trouve += trouve.empty() ? "" : " | ";
            for (std::size_t i = 0; i < g.questions.size(); ++i)
                trouve += (i ? ", " : "") + liste[g.groupe].questions[g.questions[i]].nom;
        }
        EXPECT_EQ(trouve, attendu) << "filter '" << filtre << "'";
    }
}

TEST(ListeQuestions, theStatesOfALongQuestionAreFilteredWordByWord)
{
    std::vector<std::string> plies;
    for (const char *nom : {"Abelia grandiflora", "Acer palmatum", "Acer pseudoplatanus", "Zea mays ssp. mexicana", "Érable"})
        plies.push_back(Texte_Recherche(nom));
    const std::pair<const char *, std::vector<std::size_t>> cas[] = {
        {"", {0, 1, 2, 3, 4}},
        {"  ", {0, 1, 2, 3, 4}},
        {"acer", {1, 2}},
        {"ACER PAL", {1}},
        {"pal acer", {1}},     // words in any order
        {"erable", {4}},       // accents folded on both sides
        {"ÉRABLE", {4}},
        {"ssp.", {3}},
        {"acer mays", {}},     // every word in the same name
        {"zzz", {}},
    };
    for (const auto &[filtre, attendu] : cas)
        EXPECT_EQ(Filtre_Noms(plies, filtre), attendu) << "filter '" << filtre << "'";
    EXPECT_TRUE(Filtre_Noms({}, "acer").empty());
}

TEST(ListeQuestions, withdrawingAnAnswerClearsItsDependantsAndItsGroup)
{
    BaseDeTest base;
    declareCle(base);
    base.charge();
    const int longueur = Caractere_Num_De(base.m, "LONGUEUR");
    struct Cas {
        const char *nom;
        std::string objet;
        bool numerique;
        ClicBarreQuestion::Action action;
        std::vector<std::string> restent; // states still chosen afterwards
        bool longueurDonnee;
    };
    const Cas cas[] = {
        {"a state answer and its dependant", "FEUILLE", false, ClicBarreQuestion::Action::Validation, {"P_DRESSE"}, true},
        {"a number", "LONGUEUR", true, ClicBarreQuestion::Action::Validation, {"F_LARGE", "B_DENTE", "P_DRESSE"}, false},
        {"a question without answer", "ECORCE", false, ClicBarreQuestion::Action::Sortie, {"F_LARGE", "B_DENTE", "P_DRESSE"}, true},
        {"a number without answer", "AGE", true, ClicBarreQuestion::Action::Sortie, {"F_LARGE", "B_DENTE", "P_DRESSE"}, true},
        {"no such question", "NULLE", false, ClicBarreQuestion::Action::Sortie, {"F_LARGE", "B_DENTE", "P_DRESSE"}, true},
    };
    for (const Cas &c : cas) {
        Nettoye(base.m);
        base.repond("P_DRESSE");
        base.repond("F_LARGE");
        base.repond("B_DENTE");
        Repond_Num(base.m, longueur, 5);
        base.m.Modifie = false;

        const ClicBarreQuestion r = Retire_Reponse(base.m, c.objet, c.numerique, {});

        EXPECT_EQ(r.action, c.action) << c.nom;
        std::vector<std::string> restent;
        for (const char *e : {"F_AIG", "F_LARGE", "F_AIG2", "F_LARGE2", "B_LISSE", "B_DENTE", "E_LISSE", "E_CREV", "P_DRESSE", "P_PLEUR"})
            if (base.choisi(e))
                restent.emplace_back(e);
        EXPECT_EQ(restent, c.restent) << c.nom;
        EXPECT_EQ(base.m.Valeur_Num.at(static_cast<std::size_t>(longueur)).has_value(), c.longueurDonnee) << c.nom;
        EXPECT_EQ(base.m.Modifie, c.action == ClicBarreQuestion::Action::Validation) << c.nom << ": refreshed only when withdrawn";
        if (c.objet == "FEUILLE") {
            EXPECT_EQ(base.m.Cadre_Fait.at(0), 0) << c.nom;
        }
    }
}

TEST(ListeQuestions, withdrawingTheAnswerOfAVariantRow)
{
    BaseDeTest base;
    declareCle(base);
    base.charge();
    base.repond("P_DRESSE");
    base.repond("F_LARGE2");
    ASSERT_EQ(base.m.Cadre_Fait.at(0), -1);

    EXPECT_EQ(Retire_Reponse(base.m, "feuille", false, {}).action, ClicBarreQuestion::Action::Validation);
    EXPECT_EQ(base.choisi("F_LARGE2"), 0);
    EXPECT_EQ(base.choisi("P_DRESSE"), 1);
    EXPECT_EQ(base.m.Cadre_Fait.at(0), 0);
}

} // namespace

namespace {

TEST(ListeQuestions, aVariantSharingTheFirstRowsStatesNamesTheAnswerOnce)
{
    BaseDeTest base;
    base.kb.espece("Alpha", "F", "ALPHA");
    base.kb.objet({.objet = "FEUILLE", .etats = {"F_AIG", "F_LARGE"}, .tips = {"Needle", "Broad"}, .tipText = "Leaf"});
    base.kb.objet({.objet = "FEUILLE", .contrainte = "F_AIG", .ligneSupplementaire = true});
    base.charge();
    base.choisit("F_LARGE");
    const std::vector<GroupeQuestions> liste = Liste_Questions(base.m);
    EXPECT_EQ(texte(liste), "-1 '': Leaf=Broad\n");
    EXPECT_EQ(liste.at(0).questions.at(0).recherche, "leaf\nneedle\nbroad");
}

} // namespace
