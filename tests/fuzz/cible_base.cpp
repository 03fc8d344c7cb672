#include <array>
#include <cstdlib>
#include <stdexcept>

#include "engine/answering.h"
#include "engine/contradictions.h"
#include "engine/determination_bar.h"
#include "engine/discriminant.h"
#include "engine/drawing_layers.h"
#include "engine/question_bar.h"
#include "engine/refresh.h"
#include "engine/scoring.h"
#include "engine/zone_scan.h"
#include "fuzz_targets.h"
#include "knowledge/loader.h"
#include "knowledge/palette.h"
#include "lecteur.h"
#include "tools/kbbuilder/kb_builder.h"

namespace tarvenko::fuzz {

namespace {

using tools::KbBuilder;

// The small vocabularies the descriptions draw from. Names differ in case on purpose: the
// database tells them apart, the program does not.
constexpr std::array kEspeces = {"Quercus robur", "Fagus sylvatica", "Pinus sylvestris", "QUERCUS ROBUR", "Abies alba", ""};
constexpr std::array kFamilles = {"FAGACEAE", "PINACEAE", "fagaceae", ""};
constexpr std::array kCodes = {"QUERO", "FAGSY", "PINSY", "ABIAL", "QUERO", "X"};
constexpr std::array kObjets = {"FEUILLE", "ECORCE", "FRUIT", "feuille", "Search", "Results", ""};
constexpr std::array kNoms = {"arbre.wmf", "feuille", "absent.wmf", "", "x01.wmf"};
constexpr std::array kParametres = {"Nb_Couleurs", "Version_Database", "Nb_Esp", "Nb_Etats_Desc", "Nb_Cadre",
                                    "Nb_Robot", "Nb_But_Car", "Nb_But_Deter", "Nb_But_Quest", "Nb_Contraintes"};
constexpr std::array kValeurs = {"-1", "0", "1", "2", "3", "301", "32767", "32768", "-32768", "abc", "2.5", "1e9", "", "7x"};
constexpr std::array kTables = {"Parametres", "Couleurs", "Flore", "Objets_Fic", "Caracteres", "Hierarchie", "Clic_Zone",
                                "Communs_Langues", "Noms_Communs", "But_Deter", "But_Quest", "Descendance", "Contradictions"};
struct Champ {
    const char *table, *champ;
};
constexpr std::array<Champ, 42> kChamps = {{
    {"Parametres", "Parametre"}, {"Parametres", "Etat"}, {"Couleurs", "Num_Couleur"}, {"Couleurs", "Code_Couleur"},
    {"Flore", "Espece"}, {"Flore", "Famille"}, {"Flore", "Code"}, {"Flore", "Legende"},
    {"Objets_Fic", "Numero"}, {"Objets_Fic", "Objet"}, {"Objets_Fic", "Lignes"}, {"Objets_Fic", "Colonnes"},
    {"Objets_Fic", "Index_Car"}, {"Objets_Fic", "Nb_Car"}, {"Objets_Fic", "Desc_Num"}, {"Objets_Fic", "Cadre"},
    {"Objets_Fic", "TipText"}, {"Objets_Fic", "Popup"}, {"Objets_Fic", "Joker"}, {"Objets_Fic", "Contrainte"},
    {"Caracteres", "NUM"}, {"Caracteres", "ID_CARAC"}, {"Caracteres", "TipText"},
    {"Hierarchie", "Numero"}, {"Hierarchie", "Robot_Num"}, {"Hierarchie", "Nom"}, {"Hierarchie", "C_0"},
    {"Clic_Zone", "Nom"}, {"Clic_Zone", "Cadre"}, {"Clic_Zone", "Test_Cadre"}, {"Clic_Zone", "X1"},
    {"Clic_Zone", "Y2"}, {"Clic_Zone", "C_0"}, {"Communs_Langues", "Langue"}, {"Noms_Communs", "Nom"},
    {"But_Deter", "Numero"}, {"But_Deter", "Key"}, {"But_Quest", "Numero"}, {"Descendance", "Numero"},
    {"Descendance", "ID_CARAC"}, {"Descendance", "Objet"}, {"Contradictions", "Bouton"},
}};
// Values written over a field by raw SQL: NULL, text where a number is expected, numbers out of
// every range, a blob.
constexpr std::array kEcrasements = {"NULL", "'abc'", "'12abc'", "-1", "0", "1", "2", "5", "-32768", "32767",
                                     "40000", "2.5", "x'00ff'", "'Fin'", "'E0'", "'FEUILLE'"};

template <typename T, std::size_t N>
const char *parmi(Lecteur &l, const std::array<T, N> &choix)
{
    return choix[static_cast<std::size_t>(l.choix(static_cast<int>(N)))];
}

// The identifier of a state already declared, or an unknown one, or "Fin".
std::string etatAuHasard(Lecteur &l, int nbEtats)
{
    const int k = l.choix(nbEtats + 2);
    if (k < nbEtats)
        return "E" + std::to_string(k);
    return k == nbEtats ? "INCONNU" : "Fin";
}

std::vector<std::string> contraintes(Lecteur &l, int nbEtats)
{
    std::vector<std::string> c(static_cast<std::size_t>(l.choix(4)));
    for (std::string &s : c)
        s = etatAuHasard(l, nbEtats);
    return c;
}

enum Op : int {
    OpEspece, OpObjet, OpPoids, OpA, OpCouleur, OpHierarchie, OpZone, OpButDeter, OpButQuest, OpDescendance,
    OpContradiction, OpLangue, OpParametre, OpSansParametre, OpNbContraintes, OpNbRobot, OpNbCadre, OpSansTable,
    OpSansChamp, OpEcrase, OpSupprime, OpSansFichier, OpFin, NbOps
};

// Decodes the description part of the input into the builder: at most 48 statements, up to OpFin
// or the end of the input.
void decrit(Lecteur &l, KbBuilder &kb)
{
    int nbEtats = 0;
    for (int n = 0; n < 48 && !l.fini(); ++n) {
        switch (l.choix(NbOps)) {
        case OpEspece: {
            // One decision per statement: the corpus must decode alike whatever the compiler's
            // order of evaluation of arguments.
            const char *nom = parmi(l, kEspeces);
            const char *famille = parmi(l, kFamilles);
            const char *code = parmi(l, kCodes);
            kb.espece(nom, famille, code, l.bit() ? std::optional<std::string>("legende") : std::nullopt);
            break;
        }
        case OpObjet: {
            KbBuilder::Objet o;
            o.objet = parmi(l, kObjets);
            o.ligneSupplementaire = l.choix(4) == 0;
            if (!o.ligneSupplementaire) {
                const int etats = l.choix(5);
                for (int i = 0; i < etats; ++i) {
                    // Mostly new identifiers; sometimes one declared before (a duplicate ID_CARAC).
                    o.etats.push_back(l.choix(8) == 0 && nbEtats > 0 ? etatAuHasard(l, nbEtats)
                                                                    : "E" + std::to_string(nbEtats + i));
                }
            }
            o.lignes = static_cast<std::int16_t>(l.entre(-1, 3));
            o.colonnes = static_cast<std::int16_t>(l.entre(-1, 4));
            o.cadre = static_cast<std::int16_t>(l.entre(-2, 4));
            o.joker = l.choix(4) != 0;
            o.popup = parmi(l, kNoms);
            if (l.bit())
                o.contrainte = etatAuHasard(l, nbEtats);
            kb.objet(o);
            nbEtats = kb.nbEtats();
            break;
        }
        case OpPoids: kb.poids(etatAuHasard(l, nbEtats), l.mot()); break;
        case OpA: {
            const char *espece = parmi(l, kEspeces);
            const std::string etat = etatAuHasard(l, nbEtats);
            kb.a(espece, etat, static_cast<std::int16_t>(l.choix(8) == 0 ? l.mot() : 1));
            break;
        }
        case OpCouleur: kb.couleur(parmi(l, kObjets)); break;
        case OpHierarchie: {
            const auto robot = static_cast<std::int16_t>(l.entre(-1, 4));
            const char *nom = parmi(l, kNoms);
            kb.hierarchie(robot, nom, contraintes(l, nbEtats));
            break;
        }
        case OpZone: {
            const char *nom = parmi(l, kObjets);
            const auto cadre = static_cast<std::int16_t>(l.entre(-2, 4));
            const bool test = l.bit();
            const int x1 = l.choix(4) * 800 - 100, x2 = l.choix(4) * 800, y1 = l.choix(3) * 900 - 100, y2 = l.choix(3) * 900;
            kb.clicZone(nom, cadre, test, x1, x2, y1, y2, contraintes(l, nbEtats));
            break;
        }
        case OpButDeter: {
            const char *fichier = parmi(l, kNoms);
            kb.butDeter("B", fichier, "tip", parmi(l, kObjets));
            break;
        }
        case OpButQuest: kb.butQuest("Q", parmi(l, kNoms), "tip"); break;
        case OpDescendance: {
            const std::string etat = etatAuHasard(l, nbEtats);
            kb.descendance(etat, parmi(l, kObjets));
            break;
        }
        case OpContradiction: {
            const char *objet = parmi(l, kObjets);
            const auto bouton = static_cast<std::int16_t>(l.entre(-2, 5));
            kb.contradiction(objet, bouton, parmi(l, kNoms));
            break;
        }
        case OpLangue: {
            const char *langue = l.bit() ? "English" : "Français";
            std::vector<std::pair<std::string, std::string>> noms(static_cast<std::size_t>(l.choix(3)));
            for (auto &[nom, espece] : noms) {
                nom = l.bit() ? "Oak" : "Beech";
                espece = parmi(l, kEspeces);
            }
            kb.langue(langue, noms);
            break;
        }
        case OpParametre: {
            const char *nom = parmi(l, kParametres);
            kb.parametre(nom, l.bit() ? std::string(parmi(l, kValeurs)) : std::to_string(l.entre(-3, 40)));
            break;
        }
        case OpSansParametre: kb.sansParametre(parmi(l, kParametres)); break;
        case OpNbContraintes: kb.nbContraintes(l.entre(-1, 5)); break;
        case OpNbRobot: kb.nbRobot(l.entre(-2, 6)); break;
        case OpNbCadre: kb.nbCadre(l.entre(-2, 6)); break;
        case OpSansTable: kb.sansTable(parmi(l, kTables)); break;
        case OpSansChamp: {
            const Champ c = kChamps[static_cast<std::size_t>(l.choix(static_cast<int>(kChamps.size())))];
            kb.sansChamp(c.table, c.champ);
            break;
        }
        case OpEcrase: {
            const Champ c = kChamps[static_cast<std::size_t>(l.choix(static_cast<int>(kChamps.size())))];
            const std::string ligne = l.bit() ? "" : " WHERE rowid = " + std::to_string(l.entre(1, 4));
            kb.sqlApres(std::string("UPDATE \"") + c.table + "\" SET \"" + c.champ + "\" = " + parmi(l, kEcrasements) + ligne);
            break;
        }
        case OpSupprime:
            kb.sqlApres(std::string("DELETE FROM \"") + parmi(l, kTables) + "\" WHERE rowid = " + std::to_string(l.entre(1, 4)));
            break;
        case OpSansFichier: kb.sansFichier(l.bit() ? "POIDS.DAT" : "MATRICE.DAT"); break;
        case OpFin: return;
        default: break;
        }
    }
}

// A picture that loads, or not: the paths of the missing ones contain "absent".
struct Image final : Picture {};

Charge_Image chargeur()
{
    return [](const std::string &chemin) -> std::shared_ptr<const Picture> {
        if (chemin.find("absent") != std::string::npos)
            return nullptr;
        return std::make_shared<Image>();
    };
}

enum Etape : int {
    EtRepond, EtPasse, EtCherche, EtReprend, EtZone, EtContradictions, EtNettoie, EtDescendance, EtBarre, EtSeuil,
    EtValideDirect, NbEtapes
};

// Runs the engine on what loaded, as the input says.
void joue(Lecteur &l, KeyModel &m)
{
    const Charge_Image charge = chargeur();
    Nettoye(m);
    if (Actualise_Identification(m, charge).calques.echec)
        return; // the program ends there
    const auto &objets = m.Base_Donnees.Objets_Fic.rows;
    for (int n = 0; n < 24 && !l.fini(); ++n) {
        switch (l.choix(NbEtapes)) {
        case EtRepond: {
            if (objets.empty())
                break;
            const ObjetRow &row = objets[static_cast<std::size_t>(l.choix(static_cast<int>(objets.size())))];
            const ClicBarreDeter clic = Clic_Barre_Deter(m, row.Objet.value_or(""));
            if (clic.action != ClicBarreDeter::Action::Question)
                break;
            m.Descripteur_Courant.Selection = static_cast<std::int16_t>(l.entre(-2, 5));
            if (Clic_Barre_Question(m, Position_Valider, charge).rafraichissement.calques.echec)
                return;
            break;
        }
        case EtPasse: Clic_Barre_Question(m, Position_Passer, charge); break;
        case EtCherche: Maitre_Discriminant(m); break;
        case EtReprend: Reprend_Discriminant(m); break;
        case EtZone: {
            const int x = l.choix(6) * 500 - 100, y = l.choix(5) * 450 - 50;
            const int couleur = l.entre(-1, 3);
            Cherche_Zone(m, x, y, [&]() -> std::string {
                if (couleur < 0 || m.Code_Couleur.empty())
                    return {};
                return m.Code_Couleur[static_cast<std::size_t>(couleur) % m.Code_Couleur.size()];
            });
            break;
        }
        case EtContradictions: {
            const int ligne = l.entre(-1, 4);
            Montre_Contradictions(m, ligne < 0 ? std::nullopt : std::optional<int>(ligne), charge);
            break;
        }
        case EtNettoie: Nettoye(m); break;
        case EtDescendance: Nettoie_Descendance(m, l.entre(-2, m.Nb_Etats_Desc + 2)); break;
        case EtBarre: Clic_Barre_Deter(m, parmi(l, kObjets)); break;
        case EtSeuil:
            m.Seuil_Affichage = static_cast<std::int16_t>(l.entre(-10, 110));
            Lignes_Especes(m);
            break;
        case EtValideDirect:
            // Validating whatever is open, even nothing or a search that found nothing.
            m.Descripteur_Courant.Selection = static_cast<std::int16_t>(l.entre(-2, 5));
            Valid_Descripteur(m);
            break;
        default: break;
        }
    }
    Affiche_Especes(m);
}

} // namespace

int Cible_Base(const std::uint8_t *data, std::size_t size)
{
    Lecteur l(data, size);
    KbBuilder kb(Dossier_Travail() + "base");
    try {
        decrit(l, kb);
        kb.ecrit();
    } catch (const std::exception &) {
        return 0; // a description the builder cannot write (a duplicate primary key, SQL on a missing table)
    }
    KeyModel m;
    m.Chemin_Data = kb.dossier();
    m.Chemin_Base = kb.dossier() + KbBuilder::kNomBase;
    m.Chemin_Robot = Dossier_Travail() + "robot\\";
    // The colour chart: a strip of a few pixels, possibly none.
    const int largeur = l.choix(4) * 3, hauteur = l.choix(3);
    const ResultatChargement r = Charge_Connaissances(m, [&](KeyModel &model) {
        Echantillonne_Palette(model, largeur, hauteur, [](int x, int y) { return x * 256 + y; });
    });
    if (r.etat != ResultatChargement::Etat::Ok)
        return 0;
    joue(l, m);
    return 0;
}

namespace {

// Writes the bytes that decode to a description, one decision after the other: the seeds.
struct Encodeur {
    std::vector<std::uint8_t> octets;
    Encodeur &op(int o) { return b(o); }
    Encodeur &b(int v)
    {
        octets.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    Encodeur &mot(std::int16_t v)
    {
        return b(static_cast<std::uint16_t>(v) & 0xFF).b(static_cast<std::uint16_t>(v) >> 8);
    }
    // Species i of the vocabulary, family f, code c, no legend.
    Encodeur &espece(int i, int f, int c) { return op(OpEspece).b(i).b(f).b(c).b(0); }
    // A new object of `etats` states (each new), group `cadre`, joker on, picture 0, no constraint.
    Encodeur &objet(int cle, int etats, int cadre)
    {
        op(OpObjet).b(cle).b(1).b(etats);
        for (int i = 0; i < etats; ++i)
            b(1); // a new identifier
        return b(2).b(etats + 1).b(cadre + 2).b(1).b(0).b(0);
    }
    Encodeur &a(int espece, int etat) { return op(OpA).b(espece).b(etat).b(1); }
    Encodeur &couleur(int cle) { return op(OpCouleur).b(cle); }
    // Layer 0, picture `nom`, no conditions.
    Encodeur &calque(int nom) { return op(OpHierarchie).b(1).b(nom).b(0); }
    Encodeur &zone(int cle) { return op(OpZone).b(cle).b(2).b(0).b(0).b(1).b(1).b(2).b(0); }
    Encodeur &butDeter(int cle) { return op(OpButDeter).b(0).b(cle); }
    Encodeur &descendance(int etat, int cle) { return op(OpDescendance).b(etat).b(cle); }
    Encodeur &contradiction(int cle, int bouton) { return op(OpContradiction).b(cle).b(bouton + 2).b(0); }
    Encodeur &parametre(int nom, int valeur) { return op(OpParametre).b(nom).b(1).b(valeur); }
    Encodeur &fin() { return op(OpFin); }
};

// A key of three species, leaves (E0, E1) and bark (E2, E3), one layer, a zone, two colours and
// the bars: the base the damaged seeds start from.
Encodeur petiteCle()
{
    Encodeur e;
    e.espece(0, 0, 0).espece(1, 0, 1).espece(2, 1, 2);
    e.objet(0, 2, 0).objet(1, 2, 1);
    e.a(0, 0).a(0, 3).a(1, 0).a(1, 2).a(2, 1).a(2, 3);
    e.calque(0).couleur(0).couleur(1).zone(1);
    e.butDeter(0).butDeter(1).butDeter(4).butDeter(5);
    e.contradiction(0, 1).contradiction(1, -1);
    return e;
}

// Then the engine steps: answer leaves and bark, search, scan, contradictions.
void joueTout(Encodeur &e)
{
    e.b(1).b(1); // chart 3 pixels wide, 1 high
    e.b(EtRepond).b(0).b(2).b(EtCherche).b(EtRepond).b(1).b(3).b(EtZone).b(1).b(3).b(2);
    e.b(EtContradictions).b(1).b(EtPasse).b(EtReprend).b(EtDescendance).b(2).b(EtValideDirect).b(4).b(EtSeuil).b(60);
}

} // namespace

std::vector<std::vector<std::uint8_t>> Graines_Base()
{
    std::vector<std::vector<std::uint8_t>> graines;
    const auto ajoute = [&](Encodeur e) {
        e.fin();
        joueTout(e);
        graines.push_back(e.octets);
    };
    ajoute(petiteCle());
    // A dependency cycle: leaves clear bark, bark clears leaves.
    ajoute(petiteCle().descendance(0, 1).descendance(2, 0));
    // Index_Car + Nb_Car past Nb_Etats_Desc.
    ajoute(petiteCle().parametre(3, 2));
    // Far more species than MATRICE.DAT holds.
    ajoute(petiteCle().parametre(2, 6));
    // A constrained object whose constraint names an unknown state.
    Encodeur contrainte = petiteCle();
    // Another row of FEUILLE (its states), 1 x 1 grid, no group, constrained by an unknown state.
    contrainte.op(OpObjet).b(0).b(0).b(2).b(2).b(1).b(1).b(0).b(1).b(4);
    ajoute(contrainte.parametre(1, 5));
    // Text, NULL and out-of-range values over Objets_Fic.
    Encodeur ecrase = petiteCle();
    ecrase.op(OpEcrase).b(12).b(1).b(1);      // Index_Car = 'abc' on every row
    ecrase.op(OpEcrase).b(14).b(0).b(1).b(9); // Desc_Num = 32767 on row 2
    ajoute(ecrase);
    // Without Caracteres.
    ajoute(petiteCle().op(OpSansTable).b(4));
    return graines;
}

} // namespace tarvenko::fuzz
