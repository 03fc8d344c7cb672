#include <gtest/gtest.h>

#include <tuple>

#include "knowledge/data_files.h"
#include "knowledge/tables.h"
#include "support/temp_dir.h"
#include "tools/kbbuilder/kb_builder.h"

using namespace tarvenko;
using tarvenko::tools::KbBuilder;

namespace {

std::vector<std::int16_t> matrice(const std::string &dossier, std::size_t n)
{
    std::vector<std::int16_t> v;
    EXPECT_EQ(Lit_Entiers16(dossier + "MATRICE.DAT", n, v), LectureDat::Ok);
    return v;
}

// Three species declared out of key order, two characters.
void declare(KbBuilder &kb)
{
    kb.espece("Taxus baccata", "TAXACEAE", "TAXBA")
        .espece("Abies alba", "PINACEAE", "ABIAL")
        .espece("Pinus sylvestris", "PINACEAE", "PINSY");
    kb.objet({.objet = "FEUILLE", .etats = {"F1", "F2"}});
    kb.objet({.objet = "ECORCE", .etats = {"E1", "E2", "E3"}});
}

} // namespace

TEST(KbBuilder, theMatrixByNumbersIsTheMatrixByNames)
{
    test::TempDir a, b;
    KbBuilder parNoms(a.dossier()), parNumeros(b.dossier());
    declare(parNoms);
    declare(parNumeros);
    parNoms.a("Taxus baccata", "F2").a("Abies alba", "F1").a("Abies alba", "E3", 2).a("Pinus sylvestris", "E1");
    // Species by declaration number: Taxus 0, Abies 1, Pinus 2; states F1 0, F2 1, E1 2, E2 3, E3 4.
    parNumeros.a(0, 1).a(1, 0).a(1, 4, 2).a(2, 2);
    parNoms.ecrit();
    parNumeros.ecrit();
    const auto m = matrice(a.dossier(), 15);
    EXPECT_EQ(m, matrice(b.dossier(), 15));
    // Key order: Abies 0, Pinus 1, Taxus 2; state by state.
    EXPECT_EQ(m, (std::vector<std::int16_t>{1, 0, 0, /**/ 0, 0, 1, /**/ 0, 1, 0, /**/ 0, 0, 0, /**/ 2, 0, 0}));
}

TEST(KbBuilder, namesOrStatesThatDoNotExistWriteNothing)
{
    test::TempDir dir;
    KbBuilder kb(dir.dossier());
    declare(kb);
    kb.a("Ulmus minor", "F1").a("Abies alba", "X9").a(7, 0).a(0, 40);
    kb.ecrit();
    EXPECT_EQ(matrice(dir.dossier(), 15), std::vector<std::int16_t>(15, 0));
    EXPECT_THROW(kb.a(0, 70000), std::runtime_error);
}

TEST(KbBuilder, writesNumericCharactersStatePicturesAndGroupNamesOnlyWhenDeclared)
{
    test::TempDir dir;
    KbBuilder kb(dir.dossier());
    declare(kb);
    kb.numerique({.objet = "HAUTEUR", .noms = {"Height", "", "Hauteur"}, .unite = "m", .poids = 3, .cadre = 1,
                  .joker = false});
    kb.plage("HAUTEUR", "Abies alba", 20, 50.5, std::nullopt, 65);
    kb.imageEtat("F2", "feuille_large.png");
    kb.nomCadre(1, {"Bark", "Corteza", "Écorce"});
    Tables t;
    ErreurBase erreur;
    ASSERT_TRUE(Charge_Tables(kb.ecrit(), t, erreur)) << erreur.message;

    const CaractereNumRow *n = t.caractereNum("hauteur");
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->Nom, (NomsLangues{"Height", std::nullopt, "Hauteur"}));
    EXPECT_EQ(n->Unite, "m");
    EXPECT_EQ(n->Poids.valeur, 3.0);
    EXPECT_EQ(n->Cadre, 1);
    EXPECT_EQ(n->Joker, false);
    ASSERT_EQ(t.Plages_Num.size(), 1u);
    const PlageNumRow &p = t.Plages_Num.rows[0];
    EXPECT_EQ(std::tie(p.Objet, p.Espece), std::tuple(std::optional<std::string>("HAUTEUR"), std::optional<std::string>("Abies alba")));
    EXPECT_EQ(std::tie(p.Minimum.valeur, p.Maximum.valeur, p.Extreme_Max.valeur),
              std::tuple(std::optional(20.0), std::optional(50.5), std::optional(65.0)));
    EXPECT_TRUE(p.Extreme_Min.nul);
    ASSERT_NE(t.imageEtat("F2"), nullptr);
    EXPECT_EQ(t.imageEtat("F2")->Image, "feuille_large.png");
    EXPECT_EQ(t.imageEtat("F1"), nullptr);
    ASSERT_NE(t.cadre(1), nullptr);
    EXPECT_EQ(t.cadre(1)->Nom[2], "Écorce");

    test::TempDir autre;
    KbBuilder sans(autre.dossier());
    declare(sans);
    ASSERT_TRUE(Charge_Tables(sans.ecrit(), t, erreur));
    EXPECT_FALSE(t.Caracteres_Num.present || t.Plages_Num.present || t.Images_Etats.present || t.Cadres.present);
}
