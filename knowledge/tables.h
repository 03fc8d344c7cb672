#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvenko {

// A field value as read from the knowledge base. Empty when the field is missing from its table,
// holds NULL, or cannot be read as the type the program expects (text where a number is
// expected, a number beyond 16 bits): the statement that needs it is then skipped.
template <typename T>
using Champ = std::optional<T>;

// Constraint columns C_0, C_1 ... of Hierarchie and Clic_Zone; element n is column C_n.
using Contraintes = std::vector<Champ<std::string>>;

struct ParametreRow {
    std::string Parametre; // key
    Champ<std::string> Etat;
};

struct CouleurRow {
    std::int32_t Num_Couleur = 0; // key, 1 ... Nb_Couleurs
    Champ<std::string> Code_Couleur;
};

struct FloreRow {
    std::string Espece; // key
    Champ<std::string> Famille;
    Champ<std::string> Code;
    Champ<std::string> Legende;
};

struct ObjetRow {
    std::int32_t Numero = 0; // primary key
    Champ<std::string> Objet;
    Champ<std::int16_t> Lignes, Colonnes, Index_Car, Nb_Car, Desc_Num, Cadre;
    Champ<std::string> TipText, Popup;
    Champ<bool> Joker;
    Champ<std::string> Contrainte;
};

struct CaractereRow {
    std::int32_t NUM = 0; // key: the state number
    Champ<std::string> ID_CARAC;
    Champ<std::string> TipText;
};

struct HierarchieRow {
    std::int32_t Numero = 0;
    Champ<std::int16_t> Robot_Num;
    Champ<std::string> Nom;
    Contraintes C;
};

struct ClicZoneRow {
    std::int32_t Numero = 0;
    Champ<std::string> Nom;
    Champ<std::int16_t> Cadre;
    Champ<bool> Test_Cadre;
    Champ<std::int32_t> X1, X2, Y1, Y2;
    Contraintes C;
};

struct CommunsLanguesRow {
    std::int32_t Numero = 0;
    Champ<std::string> Langue;
};

struct ButDeterRow {
    std::int32_t Numero = 0; // key: the button number 1, 2, 3 ...
    Champ<std::string> Caption, File, TipText, Key;
};

struct ButQuestRow {
    std::int32_t Numero = 0;
    Champ<std::string> Caption, File, TipText;
};

struct DescendanceRow {
    std::int32_t Numero = 0; // key, 1 ... N
    Champ<std::string> ID_CARAC;
    Champ<std::string> Objet;
};

struct ContradictionRow {
    std::string Objet; // key
    Champ<std::int16_t> Bouton;
    Champ<std::string> Popup;
};

struct VernaculaireRow {
    Champ<std::string> Nom, Code, Espece, Famille;
};

// A real number field read as it stands: `nul` when the field is missing or NULL (left blank),
// `valeur` empty when it holds something that is not a finite number.
struct ChampReel {
    bool nul = true;
    std::optional<double> valeur;
};

// Names in the three interface languages (English, Spanish, French), each possibly missing.
using NomsLangues = std::array<Champ<std::string>, 3>;

// Optional tables. A key without them reads as before; see docs/knowledge-base.md.

// A character answered with a number (Caracteres_Num).
struct CaractereNumRow {
    std::string Objet; // key
    NomsLangues Nom;   // fields Nom_en, Nom_es, Nom_fr
    Champ<std::string> Unite;
    ChampReel Poids;
    Champ<std::int16_t> Cadre;
    Champ<bool> Joker;
};

// The range of one species for one numeric character (Plages_Num).
struct PlageNumRow {
    std::int32_t Numero = 0; // primary key
    Champ<std::string> Objet, Espece;
    ChampReel Minimum, Maximum, Extreme_Min, Extreme_Max;
};

// The picture of one state, for a question drawn by the program (Images_Etats).
struct ImageEtatRow {
    std::string ID_CARAC; // key
    Champ<std::string> Image;
};

// The name of a character group (Cadres).
struct CadreRow {
    std::int32_t Cadre = 0; // key, 0 ... Nb_Cadre - 1
    NomsLangues Nom;
};

// A text of the key in one interface language (Textes_Langues): in language Langue ("en", "es",
// "fr"), field Champ of the row of table Genre whose primary key, written as text, is Cle.
struct TexteLangueRow {
    std::int32_t Numero = 0; // primary key
    Champ<std::string> Langue, Genre, Cle;
    Champ<std::string> Nom_Champ; // field Champ
    Champ<std::string> Texte;
};

// The table in which the conversion of an Access file lists the order Access gives the rows of
// its text indexes (Nom_Table, Nom_Index, Cle_Primaire, Rang, Cle: Cle is the row's primary key).
// Table Flore is read in the order of its primary key there, when listed.
inline constexpr const char *kTableOrdreAccess = "Ordre_Access";

// One table held in memory: its rows in primary-key order, which fields the database has, and
// whether the table exists at all.
template <typename Row>
struct Table {
    bool present = false;
    std::vector<Row> rows;
    std::vector<std::string> fields; // names as the database spells them

    bool hasField(std::string_view name) const;
    std::size_t size() const { return rows.size(); }
};

// A secondary index over a text field: row positions ordered by (key, primary key).
struct IndexTexte {
    std::vector<std::size_t> order;
    std::vector<std::string> keys; // keys[i] is the key of rows[order[i]]

    // Positions in `order` of the rows whose key equals `key` (a seek and the rows after it that
    // share the key), as [first, last).
    std::pair<std::size_t, std::size_t> equalRange(std::string_view key) const;
};

// The whole knowledge base in memory, read once at start-up. The program never writes to it.
struct Tables {
    Table<ParametreRow> Parametres;
    Table<CouleurRow> Couleurs;
    Table<FloreRow> Flore;
    Table<ObjetRow> Objets_Fic;
    Table<CaractereRow> Caracteres;
    Table<HierarchieRow> Hierarchie;
    Table<ClicZoneRow> Clic_Zone;
    Table<CommunsLanguesRow> Communs_Langues;
    Table<ButDeterRow> But_Deter;
    Table<ButQuestRow> But_Quest;
    Table<DescendanceRow> Descendance;
    Table<ContradictionRow> Contradictions;
    Table<CaractereNumRow> Caracteres_Num;
    Table<PlageNumRow> Plages_Num;
    Table<ImageEtatRow> Images_Etats;
    Table<CadreRow> Cadres;
    Table<TexteLangueRow> Textes_Langues;
    // The stored queries "Vernaculaire_<Langue>", by query name; a missing query has no entry.
    std::map<std::string, std::vector<VernaculaireRow>> Vernaculaire;

    IndexTexte Flore_Espece;        // Flore by name, for seeks (its rows may be in Access's order)
    IndexTexte Objets_Fic_Objet;    // index Objet of Objets_Fic
    IndexTexte Caracteres_ID_CARAC; // index ID_CARAC of Caracteres
    IndexTexte Communs_Langues_Langue;
    // Textes_Langues by language, table, key and field (case ignored), to the row's position;
    // the first row in key order of each, and only rows whose text is not empty.
    std::map<std::string, std::size_t, std::less<>> Textes_Langues_Cle;

    // Seeks by primary key; nullptr when no row matches.
    const ParametreRow *parametre(std::string_view name) const;
    const CouleurRow *couleur(std::int32_t number) const;
    const FloreRow *espece(std::string_view name) const;
    const CaractereRow *caractere(std::int32_t num) const;
    const ButDeterRow *butDeter(std::int32_t number) const;
    const ButQuestRow *butQuest(std::int32_t number) const;
    const DescendanceRow *descendance(std::int32_t number) const;
    const ContradictionRow *contradiction(std::string_view objet) const;
    const CaractereNumRow *caractereNum(std::string_view objet) const;
    const ImageEtatRow *imageEtat(std::string_view idCarac) const;
    const CadreRow *cadre(std::int32_t number) const;
    // The text Textes_Langues gives in `langue` for field `champ` of the row `cle` of table
    // `genre`; nullptr when it gives none (or an empty one).
    const std::string *texteLangue(std::string_view langue, std::string_view genre, std::string_view cle,
                                   std::string_view champ) const;
    // Seeks by secondary index: the first row in index order with that key.
    const ObjetRow *objet(std::string_view key) const;
    const CaractereRow *caractereParId(std::string_view idCarac) const;
    // All rows of Objets_Fic with that key, in index order (several for constrained objects).
    std::vector<const ObjetRow *> objets(std::string_view key) const;
    // The rows of Communs_Langues in the order of index Langue.
    std::vector<const CommunsLanguesRow *> languesOrdonnees() const;
};

// What went wrong while the database was read.
struct ErreurBase {
    int numero = 0;      // the database engine's error number
    std::string message; // its text
};

// Reads a knowledge-base file into memory, read-only. Returns false with `error` when the file
// cannot be opened or is not a database; a missing table or field is not an error (the table is
// marked absent, the field's values are empty).
bool Charge_Tables(const std::string &path, Tables &tables, ErreurBase &error);

// The key of Tables::Textes_Langues_Cle.
std::string cleTexteLangue(std::string_view langue, std::string_view genre, std::string_view cle, std::string_view champ);

// Name of the stored query listing the common names of one language.
std::string nomVernaculaire(std::string_view langue);

} // namespace tarvenko
