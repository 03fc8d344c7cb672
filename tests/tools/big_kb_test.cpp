#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "knowledge/data_files.h"
#include "knowledge/loader.h"
#include "support/temp_dir.h"

using namespace tarvenko;
namespace fs = std::filesystem;

namespace {

int genere(const std::string &arguments)
{
    const std::string commande = std::string("\"") + TARVENKO_BIG_KB_PROGRAM + "\" " + arguments + " 2>/dev/null";
    return std::system(commande.c_str());
}

std::string lit(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

KeyModel charge(const std::string &racine)
{
    KeyModel m;
    m.Chemin_Data = racine + "/data/";
    m.Chemin_Base = m.Chemin_Data + "Tarvenko.db";
    EXPECT_EQ(Charge_Connaissances(m).etat, ResultatChargement::Etat::Ok);
    Arbre_Des_Especes(m);
    return m;
}

} // namespace

TEST(BigKb, writesAKeyOfTheSizeAskedThatLoads)
{
    test::TempDir dir;
    ASSERT_EQ(genere("--species 300 --states 700 --seed 3 \"" + dir.dossier() + "k\""), 0);
    const KeyModel m = charge(dir.dossier() + "k");
    EXPECT_EQ(m.Nb_Esp, 300);
    EXPECT_EQ(m.Nb_Etats_Desc, 700);
    EXPECT_EQ(m.Nb_Robot, 6);
    EXPECT_EQ(m.Matrice.size(), 300u * 700u);

    // Characters of 2 to 12 states, each with its question picture.
    for (const ObjetRow &o : m.Base_Donnees.Objets_Fic.rows) {
        if (o.Objet.value_or("").starts_with("XCAR")) {
            EXPECT_GE(o.Nb_Car.value_or(0), 2);
            EXPECT_LE(o.Nb_Car.value_or(0), 12);
            EXPECT_EQ(o.Lignes.value_or(0) * o.Colonnes.value_or(0), o.Nb_Car.value_or(0));
            EXPECT_TRUE(fs::exists(dir.dossier() + "k/descripteurs/" + o.Popup.value_or("?"))) << *o.Popup;
        }
    }
    for (int layer = 0; layer < 6; ++layer)
        EXPECT_FALSE(fs::is_empty(dir.dossier() + "k/robot/0" + std::to_string(layer)));
    EXPECT_TRUE(fs::exists(dir.dossier() + "k/data/couleur.wmf"));

    // Five-letter species codes, all different; every species has some states, and the species
    // differ.
    std::set<std::string> codes;
    for (const FloreRow &f : m.Base_Donnees.Flore.rows) {
        ASSERT_TRUE(f.Code);
        EXPECT_EQ(f.Code->size(), 5u);
        codes.insert(*f.Code);
    }
    EXPECT_EQ(codes.size(), 300u);
    std::set<std::vector<std::int16_t>> profils;
    for (int s = 0; s < m.Nb_Esp; ++s) {
        std::vector<std::int16_t> p;
        for (int e = 0; e < m.Nb_Etats_Desc; ++e)
            p.push_back(m.Matrice[static_cast<std::size_t>(s + e * m.Nb_Esp)]);
        EXPECT_GT(std::count(p.begin(), p.end(), std::int16_t{1}), 0) << s;
        profils.insert(p);
    }
    EXPECT_GT(profils.size(), 290u);
    // The tree: families, the species twice, the common names of three languages.
    EXPECT_EQ(m.Arbre.enfants("Espèces").size(), 300u);
    EXPECT_EQ(m.Arbre.enfants("Communs").size(), 3u);
}

TEST(BigKb, theSameSeedGivesTheSameBytesAndAnotherSeedOthers)
{
    test::TempDir dir;
    ASSERT_EQ(genere("--species 40 --states 300 --seed 5 \"" + dir.dossier() + "a\""), 0);
    ASSERT_EQ(genere("--seed 5 --states 300 --species 40 \"" + dir.dossier() + "b\""), 0);
    ASSERT_EQ(genere("--species 40 --states 300 --seed 6 \"" + dir.dossier() + "c\""), 0);
    for (const char *f : {"data/Tarvenko.db", "data/MATRICE.DAT", "data/POIDS.DAT", "descripteurs/xcar0001.wmf"})
        EXPECT_TRUE(lit(dir.dossier() + "a/" + f) == lit(dir.dossier() + "b/" + f)) << f;
    EXPECT_FALSE(lit(dir.dossier() + "a/data/MATRICE.DAT") == lit(dir.dossier() + "c/data/MATRICE.DAT"));
}

TEST(BigKb, refusesSizesTheKeyCannotHold)
{
    test::TempDir dir;
    const std::string out = " \"" + dir.dossier() + "k\"";
    EXPECT_NE(genere("--species 0" + out), 0);
    EXPECT_NE(genere("--species 32768" + out), 0);
    EXPECT_NE(genere("--states 40000" + out), 0);
    EXPECT_NE(genere("--states 100" + out), 0); // fewer than the bundled characters take
    EXPECT_NE(genere("--species 10x" + out), 0);
    EXPECT_NE(genere("--species 10"), 0); // no folder
}
