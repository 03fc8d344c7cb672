#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tarvenko::tools {

// Writes a knowledge base into a folder from a few lines of code: the database file, POIDS.DAT
// and MATRICE.DAT, with the parameters computed from what was declared. Tests state their own
// data with it; the tools that generate keys use it too. Everything can be spoilt on purpose
// (parameters overridden or removed, tables or fields left out, raw SQL run after the build) to
// state damaged knowledge bases.
class KbBuilder {
public:
    struct Objet {
        std::string objet;              // key
        std::vector<std::string> etats; // ID_CARAC of its states, in state order
        std::vector<std::string> tips;  // TipText of the states (optional)
        std::int16_t lignes = 1;
        std::int16_t colonnes = 0; // 0: one row of all states
        std::int16_t cadre = -1;
        bool joker = true;
        std::string tipText;
        std::string popup;
        std::optional<std::string> contrainte;
        // Another row of an object already declared (constrained objects): the states are
        // those of the object's first row unless given.
        bool ligneSupplementaire = false;
    };

    // A character answered with a number (table Caracteres_Num). Names per language: English,
    // Spanish, French; an empty name is written NULL, as is a missing unit.
    struct Numerique {
        std::string objet;
        std::array<std::string, 3> noms;
        std::optional<std::string> unite = "";
        std::int16_t poids = 1;
        std::int16_t cadre = -1;
        bool joker = true;
    };

    static constexpr const char *kNomBase = "Tarvenko.db";

    explicit KbBuilder(std::string folder);

    KbBuilder &espece(const std::string &nom, const std::string &famille, const std::string &code,
                      std::optional<std::string> legende = std::nullopt);
    // Declares an object and its states; returns Index_Car, the number of its first state.
    int objet(const Objet &o);
    // State number of an ID_CARAC declared before.
    int etat(const std::string &idCarac) const;

    KbBuilder &poids(const std::string &idCarac, std::int16_t value);
    KbBuilder &poidsTous(std::int16_t value);
    // Species `nom` has state `idCarac` (value 1 unless given).
    KbBuilder &a(const std::string &nom, const std::string &idCarac, std::int16_t value = 1);
    // The same by numbers, for large generated keys: the species declared `espece`-th (from 0)
    // has state number `etat`. Written after the entries made by name.
    KbBuilder &a(std::size_t espece, int etat, std::int16_t value = 1);

    // The optional tables: numeric characters and the ranges of the species (Plages_Num), a
    // picture per state (Images_Etats), the names of the groups (Cadres). Each table is written
    // only when something was declared for it.
    KbBuilder &numerique(const Numerique &n);
    KbBuilder &plage(const std::string &objet, const std::string &espece, double minimum, double maximum,
                     std::optional<double> extremeMin = std::nullopt, std::optional<double> extremeMax = std::nullopt);
    KbBuilder &imageEtat(const std::string &idCarac, const std::string &image);
    KbBuilder &nomCadre(int cadre, const std::array<std::string, 3> &noms);
    // Texts in an interface language (table Textes_Langues): field `champ` of the row of table
    // `genre` whose primary key is `cle`, in `langue` ("en", "es", "fr").
    KbBuilder &texteLangue(const std::string &langue, const std::string &genre, const std::string &cle,
                           const std::string &champ, const std::string &texte);
    // The question of every row of object `objet`, and the name of every state `idCarac`, in
    // `langue` (numbered when the key is written).
    KbBuilder &questionLangue(const std::string &objet, const std::string &langue, const std::string &texte);
    KbBuilder &etatLangue(const std::string &idCarac, const std::string &langue, const std::string &texte);

    KbBuilder &couleur(const std::string &code);
    KbBuilder &hierarchie(std::int16_t robot, const std::string &nom, const std::vector<std::string> &contraintes);
    KbBuilder &clicZone(const std::string &nom, std::int16_t cadre, bool testCadre, int x1, int x2, int y1, int y2,
                        const std::vector<std::string> &contraintes);
    KbBuilder &butDeter(const std::string &caption, const std::string &file, const std::string &tip,
                        const std::string &key);
    KbBuilder &butQuest(const std::string &caption, const std::string &file, const std::string &tip);
    KbBuilder &descendance(const std::string &idCarac, const std::string &objet);
    KbBuilder &contradiction(const std::string &objet, std::int16_t bouton, const std::string &popup);
    // Common names of one language: (common name, species name).
    KbBuilder &langue(const std::string &langue, const std::vector<std::pair<std::string, std::string>> &noms);

    // Parameters: value written instead of the computed one, or removed.
    KbBuilder &parametre(const std::string &nom, const std::string &etat);
    KbBuilder &sansParametre(const std::string &nom);
    KbBuilder &nbContraintes(int n);
    KbBuilder &nbRobot(int n);
    KbBuilder &nbCadre(int n);
    KbBuilder &versionDatabase(int v);

    // Spoilers for damaged knowledge bases.
    KbBuilder &sansTable(const std::string &table);
    KbBuilder &sansChamp(const std::string &table, const std::string &field);
    KbBuilder &sqlApres(const std::string &sql);
    KbBuilder &sansFichier(const std::string &name); // "POIDS.DAT" or "MATRICE.DAT"

    // Writes everything; returns the database path. Throws std::runtime_error on failure.
    std::string ecrit();

    const std::string &dossier() const { return m_folder; }
    int nbEtats() const { return static_cast<int>(m_etats.size()); }
    int nbEspeces() const { return static_cast<int>(m_especes.size()); }
    // Species names in the program's species order (the key order of table Flore).
    std::vector<std::string> especesOrdonnees() const;

private:
    struct Espece {
        std::string nom, famille, code;
        std::optional<std::string> legende;
    };
    struct LigneObjet {
        Objet o;
        int indexCar = 0;
        int descNum = 0;
    };

    std::string m_folder;
    std::vector<Espece> m_especes;
    std::vector<LigneObjet> m_objets;
    std::vector<std::string> m_etats;
    std::vector<std::string> m_tipsEtats;
    std::map<std::string, std::int16_t> m_poids;
    std::int16_t m_poidsDefaut = 1;
    std::map<std::pair<std::string, std::string>, std::int16_t> m_matrice;
    struct Case {
        std::uint32_t espece;
        std::uint16_t etat;
        std::int16_t valeur;
    };
    std::vector<Case> m_cases;
    std::vector<std::string> m_couleurs;
    struct Hier {
        std::int16_t robot;
        std::string nom;
        std::vector<std::string> c;
    };
    std::vector<Hier> m_hierarchie;
    struct Zone {
        std::string nom;
        std::int16_t cadre;
        bool test;
        int x1, x2, y1, y2;
        std::vector<std::string> c;
    };
    std::vector<Zone> m_zones;
    struct Bouton {
        std::string caption, file, tip, key;
    };
    std::vector<Bouton> m_butDeter, m_butQuest;
    std::vector<std::pair<std::string, std::string>> m_descendance;
    struct Contra {
        std::string objet;
        std::int16_t bouton;
        std::string popup;
    };
    std::vector<Contra> m_contradictions;
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> m_langues;
    std::vector<Numerique> m_numeriques;
    struct Plage {
        std::string objet, espece;
        double minimum, maximum;
        std::optional<double> extremeMin, extremeMax;
    };
    std::vector<Plage> m_plages;
    std::vector<std::pair<std::string, std::string>> m_imagesEtats;
    std::map<int, std::array<std::string, 3>> m_nomsCadres;
    struct TexteLangue {
        std::string langue, genre, cle, champ, texte;
    };
    std::vector<TexteLangue> m_textesLangues;
    std::map<std::string, std::string> m_parametres;
    std::set<std::string> m_sansParametre;
    std::optional<int> m_nbContraintes, m_nbRobot, m_nbCadre;
    std::set<std::string> m_sansTable;
    std::set<std::pair<std::string, std::string>> m_sansChamp;
    std::vector<std::string> m_sqlApres;
    std::set<std::string> m_sansFichier;
};

} // namespace tarvenko::tools
