#include <gtest/gtest.h>

#include "base_de_test.h"
#include "engine/numeric_characters.h"
#include "engine/question_bar.h"
#include "engine/question_list.h"

using namespace tarvenko;
using tarvenko::test::BaseDeTest;

namespace {

// Leaf type decides which characters make sense: broad leaves open the composition, a compound
// leaf opens the leaflets (two levels), needles open their arrangement.
class Reponses : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto &kb = base.kb;
        kb.espece("Alpha", "F", "ALPHA").espece("Beta", "F", "BETAA");
        kb.objet({.objet = "FEUILLE", .etats = {"F_AIG", "F_LARGE"}, .cadre = 0});
        kb.objet({.objet = "COMPO", .etats = {"C_SIMPLE", "C_COMPOSEE"}, .cadre = 1});
        kb.objet({.objet = "FOLIOLE", .etats = {"FO_PETITE", "FO_GRANDE"}, .cadre = 1});
        kb.objet({.objet = "AIGUILLE", .etats = {"A_PAR2", "A_PAR5"}, .cadre = 2});
        kb.objet({.objet = "ECORCE", .etats = {"E_LISSE", "E_RUGUEUSE"}, .cadre = -1});
        kb.descendance("F_LARGE", "COMPO").descendance("C_COMPOSEE", "FOLIOLE").descendance("F_AIG", "AIGUILLE");
        kb.nbCadre(4);
        base.charge();
    }

    void choisitTout(std::initializer_list<const char *> etats)
    {
        for (const char *e : etats)
            base.choisit(e);
    }

    BaseDeTest base;
};

TEST_F(Reponses, withdrawingClearsTheStateItsDependantsRecursivelyAndItsGroup)
{
    choisitTout({"F_LARGE", "C_COMPOSEE", "FO_GRANDE", "A_PAR2", "E_LISSE"});
    base.m.Cadre_Fait = {-1, -1, -1, 0};
    base.ouvre("FEUILLE", -1);

    EXPECT_TRUE(Valid_Descripteur(base.m).empty());

    EXPECT_EQ(base.choisi("F_LARGE"), 0);
    EXPECT_EQ(base.choisi("C_COMPOSEE"), 0);
    EXPECT_EQ(base.choisi("FO_GRANDE"), 0) << "a dependant of a dependant";
    EXPECT_EQ(base.choisi("A_PAR2"), 1) << "depends on the other state";
    EXPECT_EQ(base.choisi("E_LISSE"), 1);
    // The dependants' own groups are left as they were.
    EXPECT_EQ(base.m.Cadre_Fait, (std::vector<std::int16_t>{0, -1, -1, 0}));
}

TEST_F(Reponses, changingTheAnswerClearsTheOldStatesDependantsAndKeepsTheNewOnes)
{
    choisitTout({"F_LARGE", "C_COMPOSEE", "FO_PETITE", "A_PAR5"});
    base.ouvre("FEUILLE", 0); // needles

    Valid_Descripteur(base.m);

    EXPECT_EQ(base.choisi("F_AIG"), 1);
    EXPECT_EQ(base.choisi("F_LARGE"), 0);
    EXPECT_EQ(base.choisi("C_COMPOSEE"), 0);
    EXPECT_EQ(base.choisi("FO_PETITE"), 0);
    EXPECT_EQ(base.choisi("A_PAR5"), 1) << "listed under the new state";
    EXPECT_EQ(base.m.Cadre_Fait[0], -1);
}

TEST_F(Reponses, validatingTheSameAnswerOrNothingChangesNothing)
{
    choisitTout({"F_LARGE", "C_SIMPLE"});
    const auto avant = base.m.Etat_Choisi;

    base.ouvre("FEUILLE", 1); // the chosen state again: its dependants stay
    Valid_Descripteur(base.m);
    EXPECT_EQ(base.m.Etat_Choisi, avant);
    EXPECT_EQ(base.m.Cadre_Fait[0], 0) << "an unchanged answer leaves its group as it was";

    base.ouvre("AIGUILLE", -1); // unanswered, nothing picked
    Valid_Descripteur(base.m);
    EXPECT_EQ(base.m.Etat_Choisi, avant);
}

TEST_F(Reponses, aCharacterWithoutGroupNeverTouchesCadreFait)
{
    base.m.Cadre_Fait = {0, -1, 0, -1};
    base.ouvre("ECORCE", 1);
    Valid_Descripteur(base.m);
    EXPECT_EQ(base.choisi("E_RUGUEUSE"), 1);
    base.ouvre("ECORCE", -1);
    Valid_Descripteur(base.m);
    EXPECT_EQ(base.choisi("E_RUGUEUSE"), 0);
    EXPECT_EQ(base.m.Cadre_Fait, (std::vector<std::int16_t>{0, -1, 0, -1}));
}

TEST_F(Reponses, aGridCellBeyondTheLastStateIsNoAnswer)
{
    base.choisit("F_LARGE");
    const auto avant = base.m.Etat_Choisi;
    base.ouvre("FEUILLE", 2); // a 2-state character shown in a larger grid
    Valid_Descripteur(base.m);
    EXPECT_EQ(base.m.Etat_Choisi, avant) << "state Index_Car + 2 belongs to another character";
}

TEST_F(Reponses, passingExcludesTheCharacterWithoutChangingTheAnswers)
{
    base.choisit("F_LARGE");
    const auto avant = base.m.Etat_Choisi;
    base.ouvre("COMPO", 1);
    const int desc = base.m.Descripteur_Courant.Desc_Num;

    const ClicBarreQuestion clic = Clic_Barre_Question(base.m, Position_Passer, {});

    EXPECT_EQ(clic.action, ClicBarreQuestion::Action::Passage);
    EXPECT_TRUE(base.m.Question_Passee);
    EXPECT_FALSE(base.m.Joker[static_cast<std::size_t>(desc)]);
    EXPECT_EQ(base.m.Etat_Choisi, avant);

    Nettoye(base.m);
    EXPECT_FALSE(base.m.Question_Passee);
    EXPECT_FALSE(base.m.Joker[static_cast<std::size_t>(desc)]) << "only a reload brings it back";
    EXPECT_TRUE(std::all_of(base.m.Etat_Choisi.begin(), base.m.Etat_Choisi.end(), [](auto v) { return v == 0; }));
    EXPECT_TRUE(std::all_of(base.m.Cadre_Fait.begin(), base.m.Cadre_Fait.end(), [](auto v) { return v == 0; }));
}

TEST_F(Reponses, otherButtonsLeaveWithoutRecording)
{
    base.ouvre("FEUILLE", 1);
    const auto avant = base.m.Etat_Choisi;
    EXPECT_EQ(Clic_Barre_Question(base.m, 3, {}).action, ClicBarreQuestion::Action::Sortie);
    EXPECT_EQ(base.m.Etat_Choisi, avant);
    EXPECT_EQ(Clic_Barre_Question(base.m, Position_Valider, {}).action, ClicBarreQuestion::Action::Validation);
    EXPECT_EQ(base.choisi("F_LARGE"), 1);
}

// Damaged dependency tables: the clearing ends, clears what it can reach, reports each fault once
// and records the answer.
TEST(Descendance, aLoopEndsAndIsReportedOnce)
{
    BaseDeTest base;
    base.kb.espece("Alpha", "F", "ALPHA");
    base.kb.objet({.objet = "X", .etats = {"X1", "X2"}});
    base.kb.objet({.objet = "Y", .etats = {"Y1", "Y2"}});
    base.kb.objet({.objet = "Z", .etats = {"Z1"}});
    base.kb.descendance("X1", "Y").descendance("Y1", "X").descendance("Y1", "Z").descendance("Z1", "Z");
    base.charge();
    base.choisit("X1");
    base.choisit("Y1");
    base.choisit("Z1");

    base.ouvre("X", 1);
    const std::vector<Incoherence> report = Valid_Descripteur(base.m);

    ASSERT_EQ(report.size(), 2u);
    EXPECT_EQ(report[0], (Incoherence{Incoherence::Genre::Boucle, "X1"}));
    EXPECT_EQ(report[1], (Incoherence{Incoherence::Genre::Boucle, "Z1"}));
    EXPECT_EQ(base.choisi("Y1"), 0);
    EXPECT_EQ(base.choisi("Z1"), 0);
    EXPECT_EQ(base.choisi("X1"), 0);
    EXPECT_EQ(base.choisi("X2"), 1) << "the new answer is recorded after the clearing";
    EXPECT_NE(Texte_Incoherence(report[0]).find("'X1'"), std::string::npos);
}

TEST(Descendance, twoPathsToOneCharacterAreNoLoop)
{
    BaseDeTest base;
    base.kb.espece("Alpha", "F", "ALPHA");
    base.kb.objet({.objet = "R", .etats = {"R1", "R2"}});
    base.kb.objet({.objet = "G", .etats = {"G1", "G2"}});
    base.kb.objet({.objet = "D", .etats = {"D1"}});
    base.kb.descendance("R1", "G").descendance("R1", "D").descendance("G1", "D").descendance("G2", "D");
    base.charge();
    base.choisit("R1");
    base.choisit("D1");

    EXPECT_TRUE(base.repond("R2").empty());
    EXPECT_EQ(base.choisi("D1"), 0);
}

TEST(Descendance, aLongChainIsClearedWithoutExhaustingTheStack)
{
    constexpr int longueur = 3000;
    BaseDeTest base;
    base.kb.espece("Alpha", "F", "ALPHA");
    for (int i = 0; i < longueur; ++i) {
        const std::string n = std::to_string(i);
        base.kb.objet({.objet = "O" + n, .etats = {"S" + n, "T" + n}});
        base.kb.descendance("S" + n, "O" + std::to_string(i + 1 == longueur ? 0 : i + 1)); // closes into a loop
    }
    base.charge();
    for (int i = 0; i < longueur; ++i)
        base.choisit("S" + std::to_string(i));

    const auto report = base.repond("T0");

    EXPECT_EQ(report.size(), 1u);
    EXPECT_EQ(base.choisi("S" + std::to_string(longueur - 1)), 0);
    EXPECT_EQ(base.choisi("T0"), 1);
}

TEST(Descendance, missingRowsAreReportedAndSkipped)
{
    BaseDeTest base;
    base.kb.espece("Alpha", "F", "ALPHA");
    base.kb.objet({.objet = "P", .etats = {"P1", "P2"}});
    base.kb.objet({.objet = "Q", .etats = {"Q1", "Q2"}});
    base.kb.descendance("P1", "FANTOME").descendance("P1", "Q").descendance("Q1", "FANTOME");
    base.kb.sqlApres("DELETE FROM Caracteres WHERE ID_CARAC = 'Q2'");
    base.charge();
    base.choisit("P1");
    base.choisit("Q1");

    const auto report = base.repond("P2");

    EXPECT_EQ(report, (std::vector<Incoherence>{{Incoherence::Genre::ObjetInconnu, "FANTOME"},
                                                {Incoherence::Genre::EtatSansCaractere, std::to_string(base.etat("Q2"))}}));
    EXPECT_EQ(base.choisi("Q1"), 0);
    EXPECT_EQ(base.choisi("P2"), 1);
}

TEST(Descendance, aNumericCharacterUnderAReplacedStateLosesItsAnswerAndANewIdentificationAll)
{
    BaseDeTest base;
    base.kb.espece("Alpha", "F", "ALPHA");
    base.kb.objet({.objet = "FEUILLE", .etats = {"F_AIG", "F_LARGE"}});
    base.kb.numerique({.objet = "LONGUEUR", .unite = "cm"});
    base.kb.numerique({.objet = "TRONC", .unite = "m"});
    base.kb.descendance("F_LARGE", "LONGUEUR");
    base.charge();
    const int longueur = Caractere_Num_De(base.m, "LONGUEUR"), tronc = Caractere_Num_De(base.m, "TRONC");
    base.repond("F_LARGE");
    Repond_Num(base.m, longueur, 12);
    Repond_Num(base.m, tronc, 30);

    EXPECT_TRUE(base.repond("F_AIG").empty()) << "a numeric dependant is no unknown object";
    EXPECT_FALSE(base.m.Valeur_Num[static_cast<std::size_t>(longueur)]);
    EXPECT_EQ(base.m.Valeur_Num[static_cast<std::size_t>(tronc)], 30.0);

    Nettoye(base.m);
    EXPECT_FALSE(base.m.Valeur_Num[static_cast<std::size_t>(tronc)]);
}

} // namespace

namespace {

TEST(ListeQuestions, groupNamesAndStatePicturesComeFromTheirTablesInTheLanguage)
{
    BaseDeTest base;
    base.kb.espece("Alpha", "F", "ALPHA");
    base.kb.objet({.objet = "FEUILLE", .etats = {"F_AIG", "F_LARGE"}, .cadre = 0});
    base.kb.objet({.objet = "ECORCE", .etats = {"E_LISSE"}, .cadre = 1});
    base.kb.nomCadre(0, {"Leaves", "Hojas", "Feuilles"}).nomCadre(1, {"Bark", "", ""});
    base.kb.imageEtat("F_LARGE", "large.png");
    base.charge();

    struct Cas {
        std::int16_t langue;
        int cadre;
        std::string nom;
    };
    for (const Cas &c : {Cas{0, 0, "Leaves"}, Cas{1, 0, "Hojas"}, Cas{2, 0, "Feuilles"}, Cas{2, 1, "Bark"}, Cas{0, 2, ""},
                         Cas{0, -1, ""}}) {
        base.m.Num_Langue = c.langue;
        EXPECT_EQ(Nom_Cadre(base.m, c.cadre), c.nom) << "language " << c.langue << ", group " << c.cadre;
    }
    EXPECT_EQ(Image_Etat(base.m, base.etat("F_LARGE")), "large.png");
    EXPECT_EQ(Image_Etat(base.m, base.etat("F_AIG")), "");
    EXPECT_EQ(Image_Etat(base.m, 99), "");
}

TEST(ListeQuestions, groupsHoldEachQuestionOnceWithWhatIsAnswered)
{
    BaseDeTest base;
    base.kb.espece("Alpha", "F", "ALPHA");
    base.kb.objet({.objet = "FEUILLE", .etats = {"F_AIG", "F_LARGE"}, .cadre = 1, .tipText = "Leaf"});
    base.kb.objet({.objet = "FEUILLE", .cadre = 1, .contrainte = "F_AIG", .ligneSupplementaire = true});
    base.kb.objet({.objet = "ECORCE", .etats = {"E_LISSE"}, .cadre = 0, .tipText = "Bark"});
    base.kb.objet({.objet = "PORT", .etats = {"P_DRESSE"}, .tipText = "Habit"});
    base.kb.numerique({.objet = "LONGUEUR", .noms = {"Leaf length", "", ""}, .unite = "cm", .cadre = 1});
    base.kb.numerique({.objet = "AGE", .unite = "years"});
    base.kb.nomCadre(1, {"Leaves", "", ""});
    base.charge();
    base.choisit("F_AIG");
    Repond_Num(base.m, Caractere_Num_De(base.m, "LONGUEUR"), 4);

    std::string texte;
    for (const GroupeQuestions &g : Liste_Questions(base.m)) {
        texte += std::to_string(g.cadre) + " '" + g.nom + "':";
        for (const EntreeQuestion &q : g.questions)
            texte += " " + q.objet + "(" + q.nom + (q.numerique ? ", number" : "") + (q.repondue ? ", answered" : "") + ")";
        texte += "\n";
    }
    EXPECT_EQ(texte, "0 '': ECORCE(Bark)\n"
                     "1 'Leaves': FEUILLE(Leaf, answered) LONGUEUR(Leaf length, number, answered)\n"
                     "-1 '': PORT(Habit) AGE(AGE, number)\n");
}

} // namespace
