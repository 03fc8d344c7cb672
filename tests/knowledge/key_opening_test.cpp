// Finding the key a user names: a folder, a database file, or a key of another format converted
// into the cache; and every path that holds none says why.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "knowledge/key_model.h"
#include "knowledge/key_opening.h"
#include "support/temp_dir.h"
#include "tools/kbbuilder/kb_builder.h"

using namespace tarvenko;
namespace fs = std::filesystem;

namespace {

void ecritCle(const std::string &dossierData)
{
    tools::KbBuilder kb(dossierData);
    kb.espece("Taxus baccata", "TAXACEAE", "TAXBA").objet({.objet = "FEUILLE", .etats = {"AIG"}});
    kb.ecrit();
}

void ecritFichier(const std::string &chemin, const std::string &contenu)
{
    fs::create_directories(fs::path(chemin).parent_path());
    std::ofstream(chemin, std::ios::binary) << contenu;
}

// A format of its own for the tests: a ".fake" file holding the name of the folder to write.
ConvertisseurCle faux(bool reussit)
{
    return {"FAKE", [](const std::string &chemin) { return fs::path(chemin).extension() == ".fake"; },
            [reussit](const std::string &, const std::string &cache, std::string &erreur) -> std::optional<std::string> {
                if (!reussit) {
                    erreur = "line 3: no characters";
                    return std::nullopt;
                }
                ecritCle(cache + "/converted/data/");
                return cache + "/converted";
            }};
}

struct Cas {
    const char *nom;
    const char *chemin; // below the test folder
    std::optional<ProblemeCle> probleme; // nothing: a key is found
    const char *dossier = "";            // the data folder found, below the test folder
    const char *base = "";
    const char *nomCle = "";
};

} // namespace

TEST(KeyOpening, eachPathFindsItsKeyOrSaysWhyNot)
{
    test::TempDir dir;
    const std::string d = dir.dossier();
    ecritCle(d + "oak/data/");
    fs::create_directories(d + "oak/robot");
    ecritCle(d + "flat/");
    fs::rename(d + "flat/Tarvenko.db", d + "flat/Beech.sqlite");
    fs::create_directories(d + "empty");
    ecritFichier(d + "two/a.db", "x");
    ecritFichier(d + "two/b.db", "y");
    ecritFichier(d + "notes.txt", "oak");
    ecritFichier(d + "source.fake", "");
    ecritFichier(d + "broken.fake", "");
    // An Access file whose pages cannot be read: the conversion fails before anything is loaded.
    ecritFichier(d + "bad/data/Arbres.mdb", std::string("\x00\x01\x00\x00Standard Jet DB\x00\x00\x00\x00\x00", 24) + "x");

    const Cas cas[] = {
        {"folder holding data/", "oak", std::nullopt, "oak/data/", "Tarvenko.db", "oak"},
        {"its database file", "oak/data/Tarvenko.db", std::nullopt, "oak/data/", "Tarvenko.db", "oak"},
        {"folder holding the base itself", "flat/", std::nullopt, "flat/", "Beech.sqlite", "Beech"},
        {"converted by a converter", "source.fake", std::nullopt, "cache/converted/data/", "Tarvenko.db", "source"},
        {"nothing there", "absent", ProblemeCle::Introuvable},
        {"folder without a base", "empty", ProblemeCle::SansBase},
        {"folder with two bases", "two", ProblemeCle::PlusieursBases},
        {"a file that is no base", "notes.txt", ProblemeCle::PasUneBase},
        {"a converter that fails", "broken.fake", ProblemeCle::Conversion},
        {"an Access file that cannot be read", "bad", ProblemeCle::Conversion},
    };
    for (const Cas &c : cas) {
        SCOPED_TRACE(c.nom);
        ErreurCle erreur;
        const std::vector<ConvertisseurCle> convertisseurs{
            std::string(c.chemin) == "broken.fake" ? faux(false) : faux(true)};
        const auto e = Trouve_Cle(d + c.chemin, d + "cache", erreur, convertisseurs);
        if (c.probleme) {
            ASSERT_FALSE(e.has_value());
            EXPECT_EQ(erreur.probleme, *c.probleme);
            EXPECT_FALSE(erreur.texte.empty());
            continue;
        }
        ASSERT_TRUE(e.has_value()) << erreur.texte;
        EXPECT_EQ(e->dossier, d + c.dossier);
        EXPECT_EQ(e->base, c.base);
        EXPECT_EQ(e->nom, c.nomCle);
    }
}

TEST(KeyOpening, aConverterThatFailsIsNamedWithItsReason)
{
    test::TempDir dir;
    ecritFichier(dir.fichier("broken.fake"), "");
    ErreurCle erreur;
    EXPECT_FALSE(Trouve_Cle(dir.fichier("broken.fake"), dir.fichier("cache"), erreur, {faux(false)}));
    EXPECT_EQ(erreur.texte, "FAKE: line 3: no characters");
}

TEST(KeyOpening, theKeysPathsReplaceTheInstallations)
{
    EmplacementCle avecTout{"/k/data/", "Oak.db", "/k/robot/", "/k/descripteurs/", "/k/documents/", "k"};
    EmplacementCle seul{"/s/", "Oak.db", "", "", "", "Oak"};
    KeyModel m;
    m.Distribution = "http";
    m.Adresse_Documents = "https://example.org/trees/";
    Applique_Emplacement(m, avecTout);
    EXPECT_EQ(m.Chemin_Base, "/k/data/Oak.db");
    EXPECT_EQ(m.Chemin_Robot, "/k/robot/");
    EXPECT_EQ(m.Chemin_Descripteurs, "/k/descripteurs/");
    EXPECT_EQ(m.Adresse_Documents, "/k/documents/");
    EXPECT_EQ(m.Distribution, "hd");
    // Without folders of its own, nothing of the installation's key is shown for it.
    Applique_Emplacement(m, seul);
    EXPECT_EQ(m.Chemin_Robot, "/s/");
    EXPECT_EQ(m.Adresse_Documents, "/s/");
}
