// The catalogue of damaged knowledge bases: each is written with the builder, loaded as start-up
// loads it, then answered, searched, scanned and checked for contradictions. Where the key is
// unusable the loader must say which way (the window turns that into its message and stops);
// otherwise the program goes on with what it can use, and what the user then sees is checked.
// docs/robustness.md lists the same entries with what the user sees.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>

#include "base_de_test.h"
#include "engine/conditions.h"
#include "engine/contradictions.h"
#include "engine/determination_bar.h"
#include "engine/discriminant.h"
#include "engine/question_bar.h"
#include "engine/refresh.h"
#include "engine/zone_scan.h"
#include "knowledge/data_files.h"
#include "knowledge/palette.h"
#include "knowledge/sqlite.h"

using namespace tarvenko;
using tarvenko::tools::KbBuilder;
using Etat = ResultatChargement::Etat;

namespace {

// The key every entry spoils: three species, leaves and bark and fruit (the fruit only asked of
// broad leaves), one drawing layer, two chart colours, a zone over the lower left corner, both
// bars, two contradiction displays and common names.
void petiteCle(KbBuilder &kb)
{
    kb.espece("Quercus robur", "FAGACEAE", "QUERO").espece("Fagus sylvatica", "FAGACEAE", "FAGSY")
        .espece("Pinus sylvestris", "PINACEAE", "PINSY");
    kb.objet({.objet = "FEUILLE", .etats = {"LARGE", "AIGUILLE"}, .cadre = 0, .popup = "feuille.wmf"});
    kb.objet({.objet = "ECORCE", .etats = {"LISSE", "CREVASSEE"}, .cadre = 1, .popup = "ecorce.wmf"});
    kb.objet({.objet = "FRUIT", .etats = {"GLAND", "FAINE", "CONE"}, .cadre = 2, .popup = "fruit.wmf"});
    kb.a("Quercus robur", "LARGE").a("Quercus robur", "CREVASSEE").a("Quercus robur", "GLAND");
    kb.a("Fagus sylvatica", "LARGE").a("Fagus sylvatica", "LISSE").a("Fagus sylvatica", "FAINE");
    kb.a("Pinus sylvestris", "AIGUILLE").a("Pinus sylvestris", "CREVASSEE").a("Pinus sylvestris", "CONE");
    kb.poids("LARGE", 3);
    kb.descendance("LARGE", "FRUIT");
    kb.hierarchie(0, "arbre.wmf", {});
    kb.couleur("FEUILLE").couleur("ECORCE");
    kb.clicZone("ECORCE", 0, false, 0, 600, 1200, 1800, {});
    kb.butDeter("Leaf", "leaf.ico", "Leaf type", "FEUILLE").butDeter("Bark", "bark.ico", "Bark", "ECORCE")
        .butDeter("Search", "search.ico", "Propose a question", "Search").butDeter("Results", "results.ico", "Results", "Results");
    kb.butQuest("OK", "ok.ico", "Validate").butQuest("Back", "back.ico", "Leave").butQuest("Pass", "pass.ico", "Pass");
    kb.contradiction("FEUILLE", 1, "feuille").contradiction("ECORCE", -1, "ecorce");
    kb.langue("English", {{"Oak", "Quercus robur"}, {"Beech", "Fagus sylvatica"}});
}

// One walk through the program on what loaded, with everything it showed.
struct Parcours {
    test::TempDir dir;
    KbBuilder kb{dir.dossier() + "data"};
    KeyModel m;
    ResultatChargement chargement;
    test::ChargeurEspion images;

    std::vector<Incoherence> incoherences;
    std::vector<std::string> messages;
    std::optional<std::string> echec; // the layer whose picture stopped the program
    std::vector<std::string> questionsProposees;
    ResultatRecherche::Issue issue = ResultatRecherche::Issue::AucuneQuestion;
    ResultatZone zone, couleur;
    AffichageContradictions contradictions;

    void charge(int largeurNuancier = 200)
    {
        m = KeyModel{};
        m.Chemin_Data = kb.dossier();
        m.Chemin_Base = kb.dossier() + KbBuilder::kNomBase;
        m.Chemin_Robot = dir.dossier() + "robot\\";
        images.absent = "absent";
        chargement = Charge_Connaissances(m, [&](KeyModel &model) {
            Echantillonne_Palette(model, largeurNuancier, 10, [](int x, int) { return x < 100 ? 0x30A030 : 0x204080; });
        });
        // Built as the species view builds it, from whatever the damaged base holds.
        if (chargement.etat == ResultatChargement::Etat::Ok)
            Arbre_Des_Especes(m);
    }

    bool rafraichit(const Rafraichissement &r)
    {
        messages.insert(messages.end(), r.calques.messages.begin(), r.calques.messages.end());
        if (r.calques.echec)
            echec = r.calques.echec;
        return !echec;
    }

    // Opens a question from the determination bar, picks a cell and validates.
    bool repond(const std::string &objet, int cellule)
    {
        if (Clic_Barre_Deter(m, objet).action != ClicBarreDeter::Action::Question)
            return !echec;
        m.Descripteur_Courant.Selection = static_cast<std::int16_t>(cellule);
        const ClicBarreQuestion clic = Clic_Barre_Question(m, Position_Valider, images.fonction());
        incoherences.insert(incoherences.end(), clic.incoherences.begin(), clic.incoherences.end());
        return rafraichit(clic.rafraichissement);
    }

    // Start-up's refresh, then answers (leaves broad, a fruit, smooth bark, then needles, which
    // withdraws the fruit), the search until nothing is left to ask, a zone and a colour click,
    // the contradictions of the first species listed.
    void parcourt()
    {
        Nettoye(m);
        if (!rafraichit(Actualise_Identification(m, images.fonction())))
            return;
        for (const auto &[objet, cellule] : std::vector<std::pair<std::string, int>>{
                 {"FEUILLE", 0}, {"FRUIT", 0}, {"ECORCE", 0}, {"FEUILLE", 1}, {"FRUIT", 5}}) {
            if (!repond(objet, cellule))
                return;
        }
        Nettoye(m);
        for (int n = 0; n < 8; ++n) {
            const ResultatRecherche r = Cherche_Discriminant(m);
            issue = r.issue;
            if (r.issue != ResultatRecherche::Issue::Question)
                break;
            questionsProposees.push_back(r.ligne->Objet.value_or(""));
            // Answer the last state asked, or pass a question without states.
            m.Descripteur_Courant.Selection = static_cast<std::int16_t>(m.Descripteur_Courant.Nb_Car - 1);
            const ClicBarreQuestion clic = Clic_Barre_Question(
                m, m.Descripteur_Courant.Nb_Car > 0 ? Position_Valider : Position_Passer, images.fonction());
            if (!rafraichit(clic.rafraichissement))
                return;
        }
        zone = Cherche_Zone(m, 300, 1500, {});
        couleur = Cherche_Zone(m, 1200, 300, [&] { return Cherche_Couleur(m, 0x30A030); });
        contradictions = Montre_Contradictions(m, 0, images.fonction());
    }

    // What must hold whatever the data: the answer arrays keep their sizes and hold only
    // answers, the ranking is a ranking of the species.
    void verifieInvariants() const
    {
        const auto compte = [](std::int16_t n) { return static_cast<std::size_t>(std::max<int>(n, 0)); };
        ASSERT_EQ(m.Etat_Choisi.size(), compte(m.Nb_Etats_Desc));
        for (std::int16_t v : m.Etat_Choisi)
            EXPECT_TRUE(v == 0 || v == 1) << v;
        ASSERT_EQ(m.Cadre_Fait.size(), compte(m.Nb_Cadre));
        for (std::int16_t v : m.Cadre_Fait)
            EXPECT_TRUE(v == 0 || v == -1) << v;
        std::vector<std::int64_t> rangs = m.Classement[1];
        std::sort(rangs.begin(), rangs.end());
        std::vector<std::int64_t> especes(compte(m.Nb_Esp));
        std::iota(especes.begin(), especes.end(), 0);
        EXPECT_EQ(rangs, especes);
        EXPECT_EQ(m.Pourcent_Esp.size(), compte(m.Nb_Esp));
        EXPECT_GE(m.Robots.size(), compte(m.Nb_Robot));
    }

    int etat(const std::string &id) const { return kb.etat(id); }
    bool choisi(const std::string &id) const { return m.Etat_Choisi.at(static_cast<std::size_t>(etat(id))) == 1; }
    bool propose(const std::string &objet) const
    {
        return std::find(questionsProposees.begin(), questionsProposees.end(), objet) != questionsProposees.end();
    }
    bool signale(Incoherence::Genre genre) const
    {
        return std::any_of(incoherences.begin(), incoherences.end(), [&](const Incoherence &i) { return i.genre == genre; });
    }
};

struct Cas {
    std::string nom;
    std::function<void(KbBuilder &)> abime;
    Etat etat = Etat::Ok;
    std::function<void(const Parcours &)> verifie = {};
    // Runs on the written folder before loading (files spoilt, removed or replaced).
    std::function<void(const std::string &dossier)> apres = {};
    int largeurNuancier = 200;
};

std::string nomDeTest(const testing::TestParamInfo<Cas> &info) { return info.param.nom; }

void ecrit(const std::string &chemin, const std::string &octets)
{
    std::ofstream(chemin, std::ios::binary | std::ios::trunc) << octets;
}

const std::vector<std::string> kTables = {"Parametres", "Couleurs", "Flore", "Objets_Fic", "Caracteres", "Hierarchie",
                                          "Clic_Zone", "Communs_Langues", "Noms_Communs", "But_Deter", "But_Quest",
                                          "Descendance", "Contradictions"};

const std::vector<std::pair<std::string, std::string>> kChamps = {
    {"Parametres", "Etat"}, {"Couleurs", "Code_Couleur"}, {"Flore", "Famille"}, {"Flore", "Code"}, {"Flore", "Legende"},
    {"Objets_Fic", "Objet"}, {"Objets_Fic", "Lignes"}, {"Objets_Fic", "Colonnes"}, {"Objets_Fic", "Index_Car"},
    {"Objets_Fic", "Nb_Car"}, {"Objets_Fic", "Desc_Num"}, {"Objets_Fic", "Cadre"}, {"Objets_Fic", "TipText"},
    {"Objets_Fic", "Popup"}, {"Objets_Fic", "Joker"}, {"Objets_Fic", "Contrainte"}, {"Caracteres", "ID_CARAC"},
    {"Caracteres", "TipText"}, {"Hierarchie", "Robot_Num"}, {"Hierarchie", "Nom"}, {"Hierarchie", "C_0"},
    {"Clic_Zone", "Nom"}, {"Clic_Zone", "Cadre"}, {"Clic_Zone", "Test_Cadre"}, {"Clic_Zone", "X1"},
    {"Clic_Zone", "C_0"}, {"Communs_Langues", "Langue"}, {"But_Deter", "Key"}, {"But_Deter", "File"},
    {"Descendance", "ID_CARAC"}, {"Descendance", "Objet"}, {"Contradictions", "Bouton"}, {"Contradictions", "Popup"}};

const std::vector<std::string> kCompteurs = {"Nb_Couleurs", "Nb_Esp", "Nb_Etats_Desc", "Nb_Cadre", "Nb_Robot",
                                             "Nb_But_Deter", "Nb_But_Quest", "Nb_Contraintes"};

std::vector<Cas> catalogue()
{
    std::vector<Cas> cas;

    // Every table left out, every field left out, every field NULL or holding text: the program
    // goes on with what it can use.
    for (const std::string &table : kTables)
        cas.push_back({"sans_table_" + table, [table](KbBuilder &kb) { kb.sansTable(table); }});
    for (const auto &[table, champ] : kChamps) {
        cas.push_back({"sans_champ_" + table + "_" + champ, [t = table, c = champ](KbBuilder &kb) { kb.sansChamp(t, c); }});
        for (const auto &[nom, valeur] : {std::pair{"null", "NULL"}, std::pair{"texte", "'abc'"}}) {
            cas.push_back({std::string(nom) + "_" + table + "_" + champ, [t = table, c = champ, v = std::string(valeur)](KbBuilder &kb) {
                               kb.sqlApres("UPDATE \"" + t + "\" SET \"" + c + "\" = " + v);
                           }});
        }
    }
    // Every count zero, negative, or text.
    for (const std::string &compteur : kCompteurs) {
        for (const auto &[nom, valeur] : {std::pair{"zero", "0"}, std::pair{"negatif", "-5"}, std::pair{"texte", "abc"}})
            cas.push_back({compteur + "_" + nom, [c = compteur, v = std::string(valeur)](KbBuilder &kb) { kb.parametre(c, v); }});
    }

    // The specific outcomes.
    cas.push_back({"sans_table_Objets_Fic_rien_a_demander", [](KbBuilder &kb) { kb.sansTable("Objets_Fic"); }, Etat::Ok,
                   [](const Parcours &p) {
                       EXPECT_TRUE(p.questionsProposees.empty());
                       EXPECT_EQ(p.issue, ResultatRecherche::Issue::AucuneQuestion);
                       EXPECT_EQ(std::count(p.m.Etat_Choisi.begin(), p.m.Etat_Choisi.end(), 1), 0);
                   }});
    cas.push_back({"sans_table_Parametres_cle_vide", [](KbBuilder &kb) { kb.sansTable("Parametres"); }, Etat::Ok,
                   [](const Parcours &p) {
                       EXPECT_EQ(p.m.Nb_Esp, 0);
                       EXPECT_TRUE(p.m.Pourcent_Esp.empty());
                       EXPECT_TRUE(p.m.Etat_Choisi.empty());
                   }});
    cas.push_back({"sans_table_Caracteres_changer_une_reponse_le_signale",
                   [](KbBuilder &kb) { kb.sansTable("Caracteres"); }, Etat::Ok, [](const Parcours &p) {
                       EXPECT_TRUE(p.signale(Incoherence::Genre::EtatSansCaractere));
                   }});
    cas.push_back({"sans_table_Contradictions_comptees_non_signalees", [](KbBuilder &kb) { kb.sansTable("Contradictions"); },
                   Etat::Ok, [](const Parcours &p) {
                       for (const Contradiction &c : p.contradictions.contradictions)
                           EXPECT_EQ(c.signal, nullptr);
                       EXPECT_TRUE(p.contradictions.Boutons_Contra.empty());
                   }});
    for (const auto &[nom, valeur] : {std::pair{"null", "NULL"}, std::pair{"texte", "'abc'"}, std::pair{"reel", "0.5e99"}}) {
        cas.push_back({std::string("Index_Car_") + nom + "_question_sans_etats",
                       [v = std::string(valeur)](KbBuilder &kb) {
                           kb.sqlApres("UPDATE Objets_Fic SET Index_Car = " + v + " WHERE Objet = 'FRUIT'");
                       },
                       Etat::Ok, [](const Parcours &p) {
                           // FRUIT's answer must not land on the first states of the key (leaves).
                           EXPECT_FALSE(p.propose("FRUIT"));
                           EXPECT_TRUE(p.m.Cadre_Fait.at(2) == 0);
                       }});
    }
    cas.push_back({"Index_Car_Nb_Car_au_dela_de_Nb_Etats_Desc", [](KbBuilder &kb) { kb.parametre("Nb_Etats_Desc", "6"); },
                   Etat::Ok, [](const Parcours &p) {
                       // CONE (state 6) does not exist for the program: picking it records nothing,
                       // and the fruit's group is not marked answered.
                       EXPECT_EQ(p.m.Etat_Choisi.size(), 6u);
                   }});
    cas.push_back({"Desc_Num_au_dela_des_lignes",
                   [](KbBuilder &kb) { kb.sqlApres("UPDATE Objets_Fic SET Desc_Num = 50 WHERE Objet = 'ECORCE'"); }, Etat::Ok,
                   [](const Parcours &p) {
                       EXPECT_FALSE(p.propose("ECORCE"));
                       EXPECT_TRUE(p.propose("FEUILLE"));
                   }});
    cas.push_back({"Desc_Num_negatif",
                   [](KbBuilder &kb) { kb.sqlApres("UPDATE Objets_Fic SET Desc_Num = -3 WHERE Objet = 'ECORCE'"); }, Etat::Ok,
                   [](const Parcours &p) { EXPECT_FALSE(p.propose("ECORCE")); }});
    cas.push_back({"Cadre_au_dela_de_Nb_Cadre",
                   [](KbBuilder &kb) {
                       kb.sqlApres("UPDATE Objets_Fic SET Cadre = 9 WHERE Objet = 'ECORCE'");
                       kb.sqlApres("UPDATE Clic_Zone SET Cadre = 9, Test_Cadre = -1");
                   },
                   Etat::Ok, [](const Parcours &p) {
                       EXPECT_EQ(p.m.Cadre_Fait.size(), 3u);
                       EXPECT_EQ(p.zone.cible, nullptr); // a Test_Cadre zone of an unknown group never works
                   }});
    cas.push_back({"Robot_Num_hors_limites",
                   [](KbBuilder &kb) {
                       kb.hierarchie(-1, "absent_moins_un.wmf", {}).hierarchie(7, "absent_sept.wmf", {});
                       kb.nbRobot(1);
                   },
                   Etat::Ok, [](const Parcours &p) {
                       EXPECT_FALSE(p.echec);
                       ASSERT_FALSE(p.m.Robots.empty());
                       EXPECT_NE(p.m.Robots[0].Fichier.find("ARBRE.WMF"), std::string::npos);
                   }});
    cas.push_back({"Nb_Robot_au_dela_des_calques", [](KbBuilder &kb) { kb.nbRobot(300); }, Etat::Ok,
                   [](const Parcours &p) {
                       EXPECT_FALSE(p.echec);
                       EXPECT_EQ(p.images.demandes.size(), 1u); // only layer 0 has a row
                   }});
    cas.push_back({"Nb_Contraintes_zero_aucun_calque", [](KbBuilder &kb) { kb.parametre("Nb_Contraintes", "0"); }, Etat::Ok,
                   [](const Parcours &p) { EXPECT_TRUE(p.images.demandes.empty()); }});
    cas.push_back({"Nb_Etats_Desc_bien_plus_grand_que_POIDS", [](KbBuilder &kb) { kb.parametre("Nb_Etats_Desc", "32767"); },
                   Etat::PoidsIllisible});
    cas.push_back({"Nb_Esp_bien_plus_grand_que_MATRICE", [](KbBuilder &kb) { kb.parametre("Nb_Esp", "32767"); },
                   Etat::MatriceIllisible});
    cas.push_back({"Nb_Esp_et_Nb_Etats_Desc_au_maximum",
                   [](KbBuilder &kb) { kb.parametre("Nb_Esp", "32767").parametre("Nb_Etats_Desc", "32767"); },
                   Etat::MatriceIllisible, {}, [](const std::string &dossier) {
                       // A POIDS.DAT that matches: only MATRICE.DAT is short, by nearly 2 GB.
                       Ecrit_Entiers16(dossier + "POIDS.DAT", std::vector<std::int16_t>(32767, 1));
                   }});
    cas.push_back({"Nb_Esp_hors_16_bits", [](KbBuilder &kb) { kb.parametre("Nb_Esp", "40000"); }, Etat::Ok,
                   [](const Parcours &p) { EXPECT_EQ(p.m.Nb_Esp, 0); }});
    cas.push_back({"sans_POIDS", [](KbBuilder &kb) { kb.sansFichier("POIDS.DAT"); }, Etat::PoidsInaccessible});
    cas.push_back({"sans_MATRICE", [](KbBuilder &kb) { kb.sansFichier("MATRICE.DAT"); }, Etat::MatriceInaccessible});
    cas.push_back({"POIDS_vide", [](KbBuilder &) {}, Etat::PoidsIllisible, {},
                   [](const std::string &dossier) { ecrit(dossier + "POIDS.DAT", ""); }});
    cas.push_back({"MATRICE_coupee", [](KbBuilder &) {}, Etat::MatriceIllisible, {},
                   [](const std::string &dossier) { ecrit(dossier + "MATRICE.DAT", std::string(41, '\1')); }});
    cas.push_back({"base_absente", [](KbBuilder &) {}, Etat::BaseInaccessible, {},
                   [](const std::string &dossier) { std::filesystem::remove(dossier + KbBuilder::kNomBase); }});
    cas.push_back({"base_illisible", [](KbBuilder &) {}, Etat::BaseInaccessible, {},
                   [](const std::string &dossier) { ecrit(dossier + KbBuilder::kNomBase, std::string(4096, 'x')); }});
    cas.push_back({"base_vide", [](KbBuilder &) {}, Etat::BaseInaccessible, {},
                   [](const std::string &dossier) { ecrit(dossier + KbBuilder::kNomBase, ""); }});
    cas.push_back({"base_sans_aucune_table", [](KbBuilder &) {}, Etat::BaseInaccessible, {}, [](const std::string &dossier) {
                       std::filesystem::remove(dossier + KbBuilder::kNomBase);
                       sqlite::Database db;
                       sqlite::Error error;
                       ASSERT_TRUE(db.openReadWrite(dossier + KbBuilder::kNomBase, error));
                       ASSERT_TRUE(db.exec("PRAGMA user_version = 3", error)); // a database, with nothing in it
                   }});

    // Duplicate keys.
    cas.push_back({"ID_CARAC_en_double",
                   [](KbBuilder &kb) { kb.sqlApres("UPDATE Caracteres SET ID_CARAC = 'LARGE' WHERE ID_CARAC = 'CONE'"); },
                   Etat::Ok, [](const Parcours &p) { EXPECT_FALSE(p.choisi("LARGE")); }});
    cas.push_back({"Objet_en_double",
                   [](KbBuilder &kb) { kb.sqlApres("UPDATE Objets_Fic SET Objet = 'FEUILLE' WHERE Objet = 'FRUIT'"); },
                   Etat::Ok, [](const Parcours &p) {
                       EXPECT_EQ(p.m.Base_Donnees.objets("FEUILLE").size(), 2u);
                       EXPECT_TRUE(p.choisi("AIGUILLE")); // the first row is the one asked
                   }});
    cas.push_back({"Espece_en_double_a_la_casse_pres", [](KbBuilder &kb) { kb.espece("QUERCUS ROBUR", "FAGACEAE", "QUER2"); },
                   Etat::Ok, [](const Parcours &p) {
                       EXPECT_EQ(p.m.Nb_Esp, 4);
                       EXPECT_EQ(p.m.Nom_Esp.size(), 4u);
                   }});
    cas.push_back({"Code_en_double", [](KbBuilder &kb) { kb.espece("Quercus petraea", "FAGACEAE", "QUERO"); }, Etat::Ok,
                   [](const Parcours &p) {
                       // The second species with that code is left out of the tree, not the program.
                       EXPECT_EQ(p.m.Arbre.enfants("FAGACEAE").size(), 2u);
                   }});
    cas.push_back({"Parametre_en_double_a_la_casse_pres", [](KbBuilder &kb) { kb.parametre("NB_ESP", "1"); }, Etat::Ok});
    cas.push_back({"Descendance_numeros_en_double_et_hors_suite",
                   [](KbBuilder &kb) {
                       kb.descendance("AIGUILLE", "FRUIT").descendance("GLAND", "INCONNU");
                       kb.sqlApres("UPDATE Descendance SET Numero = 40 WHERE Objet = 'INCONNU'");
                   },
                   Etat::Ok});

    // Walks over the data that must end.
    cas.push_back({"Descendance_en_boucle",
                   [](KbBuilder &kb) { kb.descendance("GLAND", "FEUILLE").descendance("AIGUILLE", "FEUILLE"); }, Etat::Ok,
                   [](const Parcours &p) {
                       EXPECT_TRUE(p.signale(Incoherence::Genre::Boucle));
                       EXPECT_FALSE(p.choisi("GLAND")); // the fruit was withdrawn with the broad leaves
                   }});
    cas.push_back({"Descendance_objet_inconnu", [](KbBuilder &kb) { kb.descendance("LARGE", "INCONNU"); }, Etat::Ok,
                   [](const Parcours &p) { EXPECT_TRUE(p.signale(Incoherence::Genre::ObjetInconnu)); }});
    cas.push_back({"Contrainte_jamais_tenue",
                   [](KbBuilder &kb) {
                       kb.versionDatabase(301);
                       kb.sqlApres("UPDATE Objets_Fic SET Contrainte = 'CONE' WHERE Objet = 'FEUILLE'");
                       kb.objet({.objet = "FEUILLE", .cadre = 0, .contrainte = "GLAND", .ligneSupplementaire = true});
                   },
                   Etat::Ok, [](const Parcours &p) {
                       // Every row of the object is constrained and none holds: its last row is asked.
                       EXPECT_TRUE(p.choisi("AIGUILLE"));
                   }});
    cas.push_back({"Contrainte_etat_inconnu",
                   [](KbBuilder &kb) {
                       kb.versionDatabase(301);
                       kb.sqlApres("UPDATE Objets_Fic SET Contrainte = 'INCONNU' WHERE Objet = 'ECORCE'");
                   },
                   Etat::Ok});
    cas.push_back({"Hierarchie_etat_inconnu",
                   [](KbBuilder &kb) {
                       // The layer's first row names an unknown state; the next one applies.
                       kb.hierarchie(0, "autre.wmf", {}).nbContraintes(2);
                       kb.sqlApres("UPDATE Hierarchie SET C_0 = 'INCONNU', C_1 = 'Fin' WHERE Numero = 1");
                   },
                   Etat::Ok,
                   [](const Parcours &p) {
                       ASSERT_FALSE(p.messages.empty());
                       EXPECT_EQ(p.messages.front(), Message_Etat_Inconnu("INCONNU"));
                   }});
    cas.push_back({"Hierarchie_sans_Fin", [](KbBuilder &kb) { kb.sqlApres("UPDATE Hierarchie SET C_0 = 'LARGE'"); }, Etat::Ok,
                   [](const Parcours &p) { EXPECT_TRUE(p.images.demandes.empty()); }});

    // Pictures.
    cas.push_back({"calque_absent", [](KbBuilder &kb) { kb.sqlApres("UPDATE Hierarchie SET Nom = 'absent.wmf'"); }, Etat::Ok,
                   [](const Parcours &p) {
                       ASSERT_TRUE(p.echec);
                       EXPECT_NE(p.echec->find("absent.wmf"), std::string::npos);
                   }});
    cas.push_back({"calque_sans_nom", [](KbBuilder &kb) { kb.sqlApres("UPDATE Hierarchie SET Nom = NULL"); }, Etat::Ok});
    cas.push_back({"calque_de_contradiction_absent",
                   [](KbBuilder &kb) { kb.sqlApres("UPDATE Contradictions SET Popup = 'absent'"); }, Etat::Ok});
    cas.push_back({"Contradictions_bouton_hors_barre",
                   [](KbBuilder &kb) { kb.sqlApres("UPDATE Contradictions SET Bouton = 99"); }, Etat::Ok,
                   [](const Parcours &p) {
                       for (const IconeBouton &i : p.contradictions.icones)
                           EXPECT_FALSE(i.contradiction);
                   }});

    // The colour chart.
    cas.push_back({"nuancier_sans_cases", [](KbBuilder &kb) { kb.parametre("Nb_Couleurs", "0"); }, Etat::Ok,
                   [](const Parcours &p) {
                       EXPECT_TRUE(p.m.Code_Couleur.empty());
                       EXPECT_EQ(p.couleur.cible, nullptr);
                   }});
    cas.push_back({"nuancier_de_largeur_nulle", [](KbBuilder &) {}, Etat::Ok, {}, {}, 0});
    cas.push_back({"Couleurs_plus_de_cases_que_de_lignes", [](KbBuilder &kb) { kb.parametre("Nb_Couleurs", "9"); }, Etat::Ok,
                   [](const Parcours &p) { EXPECT_EQ(p.m.Code_Couleur.size(), 9u); }});
    return cas;
}

class BaseAbimee : public testing::TestWithParam<Cas> {};

TEST_P(BaseAbimee, chargeEtSeLaisseParcourir)
{
    const Cas &cas = GetParam();
    Parcours p;
    petiteCle(p.kb);
    cas.abime(p.kb);
    p.kb.ecrit();
    if (cas.apres)
        cas.apres(p.kb.dossier());
    p.charge(cas.largeurNuancier);
    ASSERT_EQ(p.chargement.etat, cas.etat) << p.chargement.chemin;
    if (cas.etat != Etat::Ok) {
        EXPECT_FALSE(p.chargement.chemin.empty());
        return;
    }
    p.parcourt();
    p.verifieInvariants();
    if (cas.verifie)
        cas.verifie(p);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, BaseAbimee, testing::ValuesIn(catalogue()), nomDeTest);

// The sound key, walked the same way, for comparison with the entries above.
TEST(BaseAbimee, laCleSaineSeParcourtSansIncident)
{
    Parcours p;
    petiteCle(p.kb);
    p.kb.ecrit();
    p.charge();
    ASSERT_EQ(p.chargement.etat, Etat::Ok);
    p.parcourt();
    p.verifieInvariants();
    EXPECT_FALSE(p.echec);
    EXPECT_TRUE(p.incoherences.empty());
    EXPECT_TRUE(p.messages.empty());
    EXPECT_TRUE(p.choisi("AIGUILLE"));
    EXPECT_FALSE(p.choisi("GLAND"));
    EXPECT_NE(p.zone.cible, nullptr);
    ASSERT_NE(p.couleur.cible, nullptr);
    EXPECT_EQ(*p.couleur.cible->Objet, "FEUILLE");
}

// Picking a state that lies past the key's states records nothing and leaves its group unanswered.
TEST(BaseAbimee, unEtatAuDelaDeNbEtatsDescNeMarquePasLeGroupe)
{
    Parcours p;
    petiteCle(p.kb);
    p.kb.parametre("Nb_Etats_Desc", "6");
    p.kb.ecrit();
    p.charge();
    ASSERT_EQ(p.chargement.etat, Etat::Ok);
    Nettoye(p.m);
    ASSERT_TRUE(p.repond("FRUIT", 2)); // CONE, state 6
    EXPECT_EQ(std::count(p.m.Etat_Choisi.begin(), p.m.Etat_Choisi.end(), 1), 0);
    EXPECT_EQ(p.m.Cadre_Fait.at(2), 0);
    ASSERT_TRUE(p.repond("FRUIT", 1)); // FAINE, state 5, exists
    EXPECT_TRUE(p.choisi("FAINE"));
    EXPECT_EQ(p.m.Cadre_Fait.at(2), -1);
}

// A character whose Index_Car cannot be read is a question without states: answering it leaves
// the other characters' answers alone.
TEST(BaseAbimee, unIndexCarIllisibleNeRepondPasAUnAutreCaractere)
{
    Parcours p;
    petiteCle(p.kb);
    p.kb.sqlApres("UPDATE Objets_Fic SET Index_Car = NULL WHERE Objet = 'FRUIT'");
    p.kb.ecrit();
    p.charge();
    ASSERT_EQ(p.chargement.etat, Etat::Ok);
    Nettoye(p.m);
    ASSERT_TRUE(p.repond("FEUILLE", 1));
    ASSERT_TRUE(p.repond("FRUIT", 0));
    EXPECT_TRUE(p.choisi("AIGUILLE"));
    EXPECT_FALSE(p.choisi("LARGE"));
    EXPECT_EQ(p.m.Cadre_Fait.at(2), 0);
    // Nor does withdrawing the broad leaves clear the leaves through it.
    p.m.Etat_Choisi.assign(p.m.Etat_Choisi.size(), 0);
    p.m.Etat_Choisi.at(static_cast<std::size_t>(p.etat("AIGUILLE"))) = 1;
    Nettoie_Descendance(p.m, p.etat("LARGE"));
    EXPECT_TRUE(p.choisi("AIGUILLE"));
    // And the contradictions do not read the leaves for it.
    p.m.Etat_Choisi.assign(p.m.Etat_Choisi.size(), 0);
    p.m.Etat_Choisi.at(static_cast<std::size_t>(p.etat("LARGE"))) = 1;
    for (const Contradiction &c : Cherche_Contradictions(p.m, 2))
        EXPECT_NE(c.objet, "FRUIT");
}

} // namespace
