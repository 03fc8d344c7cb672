#include <gtest/gtest.h>

#include "knowledge/key_texts.h"
#include "support/temp_dir.h"
#include "tools/kbbuilder/kb_builder.h"

using namespace tarvenko;
using tarvenko::tools::KbBuilder;

namespace {

constexpr int kEnglish = 0, kSpanish = 1, kFrench = 2;

KbBuilder smallKey(const test::TempDir &dir)
{
    KbBuilder kb(dir.dossier());
    kb.espece("Quercus robur", "FAGACEAE", "QUERO", "Leaf, acorn").espece("Acer campestre", "SAPINDACEAE", "ACECA");
    kb.objet({.objet = "FEUILLE", .etats = {"F1", "F2"}, .tips = {"Simple", "Compound"}, .cadre = 0,
              .tipText = "Leaf type"});
    kb.objet({.objet = "ECORCE", .etats = {"E1", "E2"}, .tips = {"Smooth", "Cracked"}, .cadre = 1, .tipText = "Bark"});
    kb.butDeter("Leaf", "leaf.ico", "Leaves", "FEUILLE").butQuest("OK", "ok.ico", "Validate the answer");
    kb.nomCadre(0, {"Leaves", "Hojas", ""});
    return kb;
}

Tables charge(KbBuilder &kb)
{
    Tables t;
    ErreurBase error;
    EXPECT_TRUE(Charge_Tables(kb.ecrit(), t, error)) << error.message;
    return t;
}

} // namespace

TEST(KeyTexts, languageCodesAndPageSuffixes)
{
    EXPECT_EQ(Code_Langue(kEnglish), "en");
    EXPECT_EQ(Code_Langue(kSpanish), "es");
    EXPECT_EQ(Code_Langue(kFrench), "fr");
    EXPECT_EQ(Code_Langue(3), "");
    EXPECT_EQ(Suffixe_Langue_Interface(kFrench), "_fr");
    EXPECT_EQ(Suffixe_Langue_Interface(kSpanish), "_es");
    EXPECT_EQ(Suffixe_Langue_Interface(-1), "_en");
}

TEST(KeyTexts, aKeyWithoutTheTableShowsItsOwnTextsInEveryLanguage)
{
    test::TempDir dir;
    KbBuilder kb = smallKey(dir);
    const Tables t = charge(kb);
    EXPECT_FALSE(t.Textes_Langues.present);
    for (const int langue : {kEnglish, kSpanish, kFrench, 7}) {
        EXPECT_EQ(Texte_Question(t, t.Objets_Fic.rows[0], langue), "Leaf type");
        EXPECT_EQ(Nom_Etat_Langue(t, 1, langue), "Compound");
        EXPECT_EQ(Texte_Bouton_Deter(t, t.But_Deter.rows[0], "Caption", langue), "Leaf");
        EXPECT_EQ(Texte_Bouton_Quest(t, t.But_Quest.rows[0], "TipText", langue), "Validate the answer");
        EXPECT_EQ(Legende_Langue(t, *t.espece("Quercus robur"), langue), "Leaf, acorn");
    }
    // Cadres already names groups per language; the English name stands in for a missing one.
    EXPECT_EQ(Nom_Cadre_Langue(t, 0, kSpanish), "Hojas");
    EXPECT_EQ(Nom_Cadre_Langue(t, 0, kFrench), "Leaves");
    EXPECT_EQ(Nom_Cadre_Langue(t, 1, kFrench), "");
}

TEST(KeyTexts, textsOfTheInterfaceLanguageElseTheKeysOwn)
{
    test::TempDir dir;
    KbBuilder kb = smallKey(dir);
    kb.questionLangue("FEUILLE", "fr", "Type de feuille").etatLangue("F2", "fr", "Composée");
    kb.etatLangue("F1", "es", "Simple (es)");
    kb.texteLangue("fr", "But_Deter", "1", "Caption", "Feuille");
    kb.texteLangue("FR", "but_quest", "1", "tiptext", "Valider la réponse"); // names in any case
    kb.texteLangue("fr", "Flore", "Quercus robur", "Legende", "Feuille, gland");
    kb.texteLangue("fr", "Cadres", "1", "Nom", "Écorce");
    kb.texteLangue("fr", "Objets_Fic", "2", "TipText", ""); // an empty text is no text
    const Tables t = charge(kb);

    EXPECT_EQ(Texte_Question(t, t.Objets_Fic.rows[0], kFrench), "Type de feuille");
    EXPECT_EQ(Texte_Question(t, 1, kFrench), "Type de feuille");
    EXPECT_EQ(Texte_Question(t, t.Objets_Fic.rows[0], kSpanish), "Leaf type");
    EXPECT_EQ(Texte_Question(t, t.Objets_Fic.rows[1], kFrench), "Bark");
    EXPECT_EQ(Texte_Question(t, 99, kFrench), std::nullopt);

    EXPECT_EQ(Nom_Etat_Langue(t, 1, kFrench), "Composée");
    EXPECT_EQ(Nom_Etat_Langue(t, 0, kFrench), "Simple");
    EXPECT_EQ(Nom_Etat_Langue(t, 0, kSpanish), "Simple (es)");
    EXPECT_EQ(Nom_Etat_Langue(t, 1, kEnglish), "Compound");
    EXPECT_EQ(Nom_Etat_Langue(t, 42, kFrench), "");

    EXPECT_EQ(Texte_Bouton_Deter(t, t.But_Deter.rows[0], "Caption", kFrench), "Feuille");
    EXPECT_EQ(Texte_Bouton_Deter(t, t.But_Deter.rows[0], "TipText", kFrench), "Leaves");
    EXPECT_EQ(Texte_Bouton_Quest(t, t.But_Quest.rows[0], "TipText", kFrench), "Valider la réponse");
    EXPECT_EQ(Texte_Bouton_Quest(t, t.But_Quest.rows[0], "Caption", kFrench), "OK");

    EXPECT_EQ(Legende_Langue(t, *t.espece("Quercus robur"), kFrench), "Feuille, gland");
    EXPECT_EQ(Legende_Langue(t, *t.espece("Acer campestre"), kFrench), std::nullopt);

    EXPECT_EQ(Nom_Cadre_Langue(t, 1, kFrench), "Écorce");
    EXPECT_EQ(Nom_Cadre_Langue(t, 0, kFrench), "Leaves");
}

TEST(KeyTexts, aStateTextFollowsItsIdCaracIntoEveryRowThatHasIt)
{
    // A constrained object's further row asks its first row's states again under their numbers.
    test::TempDir dir;
    KbBuilder kb(dir.dossier());
    kb.espece("A", "F", "AAAAA");
    kb.objet({.objet = "Q", .etats = {"S1"}, .tips = {"One"}, .tipText = "First"});
    kb.objet({.objet = "Q", .etats = {"S1"}, .tips = {"One"}, .tipText = "Again", .ligneSupplementaire = true});
    kb.questionLangue("Q", "es", "Pregunta").etatLangue("S1", "es", "Uno");
    const Tables t = charge(kb);
    ASSERT_EQ(t.Objets_Fic.size(), 2u);
    EXPECT_EQ(Texte_Question(t, t.Objets_Fic.rows[1], kSpanish), "Pregunta");
    EXPECT_EQ(Nom_Etat_Langue(t, 1, kSpanish), "Uno");
}

TEST(KeyTexts, theFirstRowOfATextWinsAndIncompleteRowsAreSkipped)
{
    test::TempDir dir;
    KbBuilder kb = smallKey(dir);
    kb.sqlApres("CREATE TABLE Textes_Langues (Numero INTEGER PRIMARY KEY, Langue TEXT, Genre TEXT, Cle, Champ TEXT, "
                "Texte TEXT)");
    kb.sqlApres("INSERT INTO Textes_Langues VALUES (2, 'fr', 'Caracteres', 0, 'TipText', 'Second'), "
                "(1, 'fr', 'Caracteres', '0', 'TipText', 'Premier'), (3, NULL, 'Caracteres', '1', 'TipText', 'X'), "
                "(4, 'fr', 'Caracteres', '1', 'TipText', NULL)");
    const Tables t = charge(kb);
    EXPECT_EQ(Nom_Etat_Langue(t, 0, kFrench), "Premier");
    EXPECT_EQ(Nom_Etat_Langue(t, 1, kFrench), "Compound");
}
