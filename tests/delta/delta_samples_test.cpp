// The four public DELTA datasets converted and loaded as the window loads a key: counts against
// the datasets' README and a reading of the files in the test, selected attributes, ranges,
// implicit values, dependencies, pictures, and identifications played with the engine.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "delta_support.h"
#include "engine/discriminant.h"
#include "knowledge/delta/delta_import.h"
#include "knowledge/delta/delta_jeu.h"
#include "knowledge/delta/delta_texte.h"
#include "knowledge/sqlite.h"

using namespace tarvenko;
using namespace tarvenko::delta;
namespace fs = std::filesystem;

namespace {

struct Attendu {
    const char *jeu;
    int items, multi, entiers, reels, textes, etats;
};
// The counts the datasets' README gives.
const Attendu kJeux[] = {
    {"grass-genera", 14, 73, 8, 3, 5, 221},
    {"ponerini", 32, 47, 0, 0, 6, 151},
    {"cflora", 506, 324, 28, 56, 24, 1264},
    {"vide", 969, 63, 2, 48, 74, 4144},
};

std::string lit(const fs::path &chemin)
{
    std::ifstream in(chemin, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Lines whose first character is '#' after the line naming `directive`: the entries of a list
// directive, counted without the reader under test.
int entrees(const fs::path &fichier, const std::string &directive)
{
    std::istringstream in(lit(fichier));
    int n = 0;
    bool dedans = false;
    for (std::string l; std::getline(in, l);) {
        if (l.rfind(directive, 0) == 0)
            dedans = true;
        else if (dedans && !l.empty() && l[0] == '#')
            ++n;
    }
    return n;
}

// Each dataset converted once for the whole suite.
class DeltaJeux : public ::testing::Test {
protected:
    static void SetUpTestSuite() { dossier = std::make_unique<test::TempDir>(); }
    static void TearDownTestSuite() { dossier.reset(); }

    static const std::string &cle(const std::string &jeu)
    {
        auto it = cles.find(jeu);
        if (it == cles.end()) {
            const std::string cible = (dossier->path() / jeu).string();
            std::string erreur;
            EXPECT_TRUE(convertitVers(test::jeuDelta(jeu), cible, bilans[jeu], erreur)) << erreur;
            it = cles.emplace(jeu, cible).first;
        }
        return it->second;
    }

    static std::unique_ptr<test::TempDir> dossier;
    static std::map<std::string, std::string> cles;
    static std::map<std::string, Bilan> bilans;
};
std::unique_ptr<test::TempDir> DeltaJeux::dossier;
std::map<std::string, std::string> DeltaJeux::cles;
std::map<std::string, Bilan> DeltaJeux::bilans;

TEST_F(DeltaJeux, countsAreThoseOfTheDatasets)
{
    EXIGE_JEUX_DELTA();
    for (const Attendu &a : kJeux) {
        SCOPED_TRACE(a.jeu);
        const std::string c = cle(a.jeu);
        const Bilan &b = bilans[a.jeu];
        EXPECT_EQ(b.items, a.items);
        EXPECT_EQ(entrees(fs::path(test::jeuDelta(a.jeu)) / "items", "*ITEM DESCRIPTIONS"), a.items);
        EXPECT_EQ(entrees(fs::path(test::jeuDelta(a.jeu)) / "chars", "*CHARACTER LIST"),
                  a.multi + a.entiers + a.reels + a.textes);
        std::map<std::string, int> types = b.caracteresParType;
        EXPECT_EQ(types["UM"] + types["OM"], a.multi);
        EXPECT_EQ(types["IN"], a.entiers);
        EXPECT_EQ(types["RN"], a.reels);
        EXPECT_EQ(types["TE"], a.textes);
        EXPECT_EQ(b.etats, a.etats);
        EXPECT_EQ(b.attributsIgnores, 0);

        KeyModel m;
        ASSERT_TRUE(test::chargeCle(c, m));
        EXPECT_EQ(m.Nb_Esp, a.items);
        EXPECT_EQ(m.Nb_Etats_Desc, a.etats);
        EXPECT_EQ(m.Caracteres_Num.size(), static_cast<std::size_t>(a.entiers + a.reels));
        EXPECT_EQ(m.Base_Donnees.Objets_Fic.size(), static_cast<std::size_t>(a.multi));
        EXPECT_EQ(m.Nb_Robot, 0);
        // One page per item, where the window looks for it.
        for (const char *code : {"t0001", "t0014"})
            EXPECT_TRUE(fs::exists(fs::path(c) / "documents/t" / code / (std::string(code) + "_en.html"))) << code;
    }
}

TEST_F(DeltaJeux, selectedAttributes)
{
    EXIGE_JEUX_DELTA();
    struct Cellule {
        const char *jeu, *espece, *etat;
        int valeur;
        const char *pourquoi;
    };
    const Cellule cellules[] = {
        {"grass-genera", "Agrostis", "C2S1", 1, "2,1/2"},
        {"grass-genera", "Agrostis", "C2S2", 1, "2,1/2"},
        {"grass-genera", "Agrostis", "C7S1", 1, "7,1"},
        {"grass-genera", "Agrostis", "C7S2", 0, "7,1"},
        {"grass-genera", "Agrostis", "C18S1", 1, "18,- inapplicable"},
        {"grass-genera", "Agrostis", "C18S3", 1, "18,- inapplicable"},
        {"grass-genera", "Agrostis", "C9S1", 0, "not coded: implicit 2"},
        {"grass-genera", "Agrostis", "C9S2", 1, "not coded: implicit 2"},
        {"grass-genera", "Agrostis", "C10S1", 1, "not coded: implicit 1"},
        {"grass-genera", "Agrostis", "C10S2", 0, "not coded: implicit 1"},
        {"grass-genera", "Agrostis", "C86S6", 1, "86,1&2&3&4&5&6"},
        {"grass-genera", "Agrostis", "C45S2", 1, "45,1-2<...>"},
        {"grass-genera", "Bambusa", "C4S1", 1, "4,1"},
        {"grass-genera", "Bambusa", "C4S2", 0, "4,1"},
        {"grass-genera", "Agrostis", "C17S1", 1, "not coded, no implicit value: every state"},
        {"grass-genera", "Agrostis", "C17S2", 1, "not coded, no implicit value: every state"},
        {"cflora", "Carex membranacea", "C373S1", 1, "373,U"},
        {"cflora", "Carex membranacea", "C373S5", 1, "373,U"},
        {"cflora", "Equisetum arvense", "C2S12", 1, "2,12"},
        {"cflora", "Equisetum arvense", "C2S11", 0, "2,12"},
        {"cflora", "Pteridophytes", "C2S40", 1, "2,-"},
        {"vide", "Abelia latent tymovirus", "C47S1", 1, "47,1/2/10/..."},
        {"vide", "Abelia latent tymovirus", "C47S3", 0, "47,1/2/10/..."},
        {"vide", "Abelia latent tymovirus", "C47S1056", 1, "after a comment across two lines"},
        {"vide", "Abelia latent tymovirus", "C47S1629", 1, "the last state given"},
        {"ponerini", "Anochetus", "C1S3", 1, "1,1/3"},
        {"ponerini", "Anochetus", "C1S2", 0, "1,1/3"},
    };
    std::map<std::string, KeyModel> modeles;
    for (const Cellule &c : cellules) {
        SCOPED_TRACE(std::string(c.jeu) + " " + c.espece + " " + c.etat + " (" + c.pourquoi + ")");
        if (!modeles.count(c.jeu)) {
            ASSERT_TRUE(test::chargeCle(cle(c.jeu), modeles[c.jeu]));
        }
        const KeyModel &m = modeles[c.jeu];
        const int e = test::etatDe(m, c.etat);
        ASSERT_GE(e, 0);
        EXPECT_EQ(m.matrice(test::especeDe(m, c.espece), e), c.valeur);
    }

    struct Plage {
        const char *jeu, *espece, *objet;
        double bas, haut;
    };
    const Plage plages[] = {
        {"grass-genera", "Agrostis", "C3", 3, 100},     // 3<mostly>,(3-)5-100
        {"grass-genera", "Agrostis", "C8", 0.2, 10},    // 8,0.2-10
        {"grass-genera", "Andropogon", "C3", 8, 430},   // 3,8-250(-430)
        {"grass-genera", "Agrostis", "C85", 220, 220},  // 85<about>,220
    };
    for (const Plage &p : plages) {
        SCOPED_TRACE(std::string(p.jeu) + " " + p.espece + " " + p.objet);
        const KeyModel &m = modeles[p.jeu];
        const auto c = std::find_if(m.Caracteres_Num.begin(), m.Caracteres_Num.end(),
                                    [&](const Caractere_Num &n) { return n.Objet == p.objet; });
        ASSERT_NE(c, m.Caracteres_Num.end());
        const auto s = static_cast<std::size_t>(test::especeDe(m, p.espece));
        ASSERT_TRUE(c->connue[s]);
        EXPECT_DOUBLE_EQ(c->bas[s], p.bas);
        EXPECT_DOUBLE_EQ(c->haut[s], p.haut);
    }
}

TEST_F(DeltaJeux, grassGeneraDependenciesWeightsAndPictures)
{
    EXIGE_JEUX_DELTA();
    const fs::path c = cle("grass-genera");
    KeyModel m;
    ASSERT_TRUE(test::chargeCle(c.string(), m));

    sqlite::Database db;
    sqlite::Error e;
    ASSERT_TRUE(db.openReadOnly(m.Chemin_Base, e)) << e.message;
    std::set<std::string> descendance;
    sqlite::Statement st(db, "SELECT ID_CARAC, Objet FROM Descendance");
    while (st.step())
        descendance.insert(st.text(0) + ">" + st.text(1));
    // 10,2:11 — 47,1/2:48-51 — 78,3:79-81:83-84 and 78,4:79-82:84: 79 applies under 1, 2 and 5.
    for (const char *ligne : {"C10S1>C11", "C47S3>C48", "C47S3>C51", "C78S1>C79", "C78S2>C79", "C78S5>C79"})
        EXPECT_TRUE(descendance.count(ligne)) << ligne;
    for (const char *ligne : {"C10S2>C11", "C47S1>C48", "C78S3>C79", "C78S4>C79"})
        EXPECT_FALSE(descendance.count(ligne)) << ligne;

    // Reliabilities of the interactive key's directives: 2-5,7 … 64,6 … 69,0 … 77,7.1.
    const std::map<std::string, int> poids = {{"C2S1", 7}, {"C64S1", 6}, {"C77S1", 7}, {"C6S1", 5}};
    for (const auto &[id, w] : poids)
        EXPECT_EQ(m.Poids[static_cast<std::size_t>(test::etatDe(m, id))], w) << id;
    EXPECT_FALSE(m.Joker[static_cast<std::size_t>(*m.Base_Donnees.objet("C69")->Desc_Num)]);
    EXPECT_TRUE(m.Joker[static_cast<std::size_t>(*m.Base_Donnees.objet("C2")->Desc_Num)]);

    // Character pictures for the states, taxon pictures beside the taxon's page.
    sqlite::Statement images(db, "SELECT Image FROM Images_Etats WHERE ID_CARAC = 'C6S2'");
    ASSERT_TRUE(images.step());
    EXPECT_EQ(images.text(0), "nod01.gif");
    for (const char *f : {"descripteurs/nod01.gif", "descripteurs/pet01.gif", "descripteurs/lig01.gif",
                          "documents/t/t0001/ag01.gif", "documents/t/t0001/ag25.gif", "documents/t/t0005/ch19.gif"})
        EXPECT_TRUE(fs::exists(c / f)) << f;
    EXPECT_EQ(bilans["grass-genera"].images, 10);
    // The help of a question with notes or pictures: character 6 has both, 10 only notes.
    const std::string aide = lit(c / "documents/c/c0006/c0006_en.html");
    EXPECT_NE(aide.find("<img src=\"nod01.gif\""), std::string::npos) << aide;
    EXPECT_TRUE(fs::exists(c / "documents/c/c0006/nod01.gif"));
    EXPECT_NE(lit(c / "documents/c/c0002/c0002_en.html").find("<p>\u2018Annual\u2019: plants progressing"), std::string::npos);
    EXPECT_FALSE(fs::exists(c / "documents/c/c0003")) << "no notes, no pictures";
    EXPECT_NE(lit(c / "documents/t/t0001/t0001_en.html").find("<img src=\"ag01.gif\""), std::string::npos);
}

// Answering the states an item shows brings it to the top, on every dataset; the search always
// has a question to propose at the start.
TEST_F(DeltaJeux, anItemIsFoundByItsOwnStates)
{
    EXIGE_JEUX_DELTA();
    for (const Attendu &a : kJeux) {
        SCOPED_TRACE(a.jeu);
        KeyModel m;
        ASSERT_TRUE(test::chargeCle(cle(a.jeu), m));
        Affiche_Especes(m);
        EXPECT_EQ(Cherche_Discriminant(m).issue, ResultatRecherche::Issue::Question);

        Jeu jeu;
        std::string erreur;
        ASSERT_TRUE(litJeu(test::jeuDelta(a.jeu), jeu, erreur)) << erreur;
        const Item &item = jeu.items[jeu.items.size() / 2];
        const std::string nom = nettoie(item.nom);
        int reponses = 0;
        for (const Attribut &at : item.attributs) {
            const Caractere &car = jeu.caractere(at.caractere);
            if (!estMultiEtat(car.type) || at.valeur.empty())
                continue;
            const Valeur v = interpreteValeur(car, at.valeur);
            if (v.etats.size() != 1)
                continue;
            const std::int16_t avant = m.Nb_Esp_Max;
            test::repond(m, idEtat(at.caractere, v.etats.front()));
            EXPECT_LE(m.Nb_Esp_Max, std::max<std::int16_t>(avant, m.Nb_Esp)) << at.caractere;
            if (++reponses == 6)
                break;
        }
        ASSERT_GT(reponses, 2);
        EXPECT_EQ(m.Pourcent_Esp[0], 100);
        const int s = test::especeDe(m, nom);
        bool enTete = false;
        for (int r = 0; r < m.Nb_Esp_Max; ++r)
            enTete = enTete || m.Classement[1][static_cast<std::size_t>(r)] == s;
        EXPECT_TRUE(enTete) << nom << " among the " << m.Nb_Esp_Max << " leading";
        EXPECT_LT(m.Nb_Esp_Max, m.Nb_Esp);
    }
}

// The character headings give the groups of the question list: a heading over questions is a
// group, named without its typesetting; one over text characters alone makes none.
TEST_F(DeltaJeux, grassGeneraCharacterHeadingsAreTheQuestionGroups)
{
    EXIGE_JEUX_DELTA();
    KeyModel m;
    ASSERT_TRUE(test::chargeCle(cle("grass-genera"), m));
    const std::vector<std::string> attendus = {
        "Habit, vegetative morphology", "Inflorescence", "Female-fertile spikelets, florets, fruit",
        "Photosynthetic pathway, leaf blade anatomy", "Special diagnostic feature", "Taxonomy, distribution"};
    ASSERT_EQ(m.Nb_Cadre, static_cast<std::int16_t>(attendus.size()));
    ASSERT_EQ(m.Base_Donnees.Cadres.size(), attendus.size());
    for (std::size_t g = 0; g < attendus.size(); ++g)
        EXPECT_EQ(m.Base_Donnees.Cadres.rows[g].Nom[0].value_or(""), attendus[g]) << g;
    // Each question in the group of the heading above it (#2, #12, #26, #68, #77, #78).
    const std::pair<const char *, int> questions[] = {{"C2", 0},  {"C11", 0}, {"C12", 1}, {"C24", 1}, {"C27", 2},
                                                      {"C67", 2}, {"C69", 3}, {"C77", 4}, {"C79", 5}, {"C86", 5}};
    for (const auto &[objet, cadre] : questions) {
        const ObjetRow *row = m.Base_Donnees.objet(objet);
        ASSERT_NE(row, nullptr) << objet;
        EXPECT_EQ(row->Cadre.value_or(-1), cadre) << objet;
    }
    // Numeric characters too: #3 (RN) under "Habit", #85 (IN) under "Taxonomy, distribution".
    const auto cadreNum = [&](const std::string &objet) {
        for (const Caractere_Num &c : m.Caracteres_Num)
            if (c.Objet == objet)
                return static_cast<int>(c.Cadre);
        return -99;
    };
    EXPECT_EQ(cadreNum("C3"), 0);
    EXPECT_EQ(cadreNum("C85"), 5);
}

// The item headings give the families: each item takes the heading at or above it; items
// before the first heading take the dataset's folder name.
TEST(DeltaRubriques, itemHeadingsAreTheFamiliesOfTheItems)
{
    test::TempDir t;
    const fs::path d = t.path() / "graminoids";
    test::ecritFichier(d / "specs", "*NUMBER OF CHARACTERS 1\n*MAXIMUM NUMBER OF ITEMS 4\n");
    test::ecritFichier(d / "chars", "*CHARACTER LIST\n#1. stems/\n 1. round/\n 2. triangular/\n");
    test::ecritFichier(d / "items", "*ITEM DESCRIPTIONS\n# Juncus/ 1,1\n# Poa/ 1,1\n# Festuca/ 1,1\n# Carex/ 1,2\n");
    test::ecritFichier(d / "toint", "*ITEM HEADINGS\n#2. \\b{}Poaceae\\b0{} <grasses>\n#4. Cyperaceae\n");
    const std::string cible = (t.path() / "cle").string();
    Bilan bilan;
    std::string erreur;
    ASSERT_TRUE(convertitVers(d.string(), cible, bilan, erreur)) << erreur;
    KeyModel m;
    ASSERT_TRUE(test::chargeCle(cible, m));
    std::map<std::string, std::string> familles;
    for (const FloreRow &f : m.Base_Donnees.Flore.rows)
        familles[f.Espece] = f.Famille.value_or("");
    const std::map<std::string, std::string> attendues = {
        {"Juncus", "graminoids"}, {"Poa", "Poaceae"}, {"Festuca", "Poaceae"}, {"Carex", "Cyperaceae"}};
    EXPECT_EQ(familles, attendues);
}

} // namespace
