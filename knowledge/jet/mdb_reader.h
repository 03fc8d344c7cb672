#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace tarvenko::jet {

// Field types of Jet.
enum class TypeJet {
    Booleen,
    Octet,
    Entier,     // 16 bits
    EntierLong, // 32 bits
    Monnaie,
    Simple,
    Double,
    DateHeure,
    Binaire,
    Texte,
    Ole,
    Memo,
    Guid,
    Decimal,
    Complexe, // attachments and multi-valued fields of later Access versions
    Inconnu,
};

struct ColonneJet {
    std::string nom;
    TypeJet type = TypeJet::Inconnu;
    int codeType = 0; // Jet's number for the type, for messages
};

struct IndexJet {
    std::string nom;
    bool clePrimaire = false;
    bool relation = false; // kept by Jet for a relationship; not an index of the design
    bool unique = false;
    std::vector<std::pair<std::size_t, bool>> cles; // column position, descending
};

struct TableJet {
    std::string nom;
    std::vector<ColonneJet> colonnes;
    std::vector<IndexJet> index;
};

// An entry of MSysObjects: tables, linked tables and queries (forms and reports are not listed).
struct ObjetJet {
    enum class Genre { Table, TableSysteme, TableLiee, Requete };
    Genre genre = Genre::Table;
    std::string nom;
    std::int32_t id = 0; // MSysQueries' ObjectId for a query
};

struct Octets {
    std::vector<unsigned char> donnees;
};
// One field of a row: Null, a whole number, a real, a text in UTF-8 (dates as
// "YYYY-MM-DD HH:MM:SS") or bytes.
using ValeurJet = std::variant<std::monostate, std::int64_t, double, std::string, Octets>;

// Reads a Jet database with mdbtools' libmdb, read-only: the file is never written.
class LecteurJet final {
public:
    LecteurJet();
    LecteurJet(const LecteurJet &) = delete;
    LecteurJet &operator=(const LecteurJet &) = delete;
    ~LecteurJet();

    // Whether this build can read Jet files at all (it was built with libmdb).
    static bool disponible();

    bool ouvre(const std::string &chemin, std::string &erreur);
    int versionJet() const;   // 3, 4, or 12 and above for the Access 2007+ format
    int pageDeCode() const;   // the code page of Jet 3 text

    bool catalogue(std::vector<ObjetJet> &objets, std::string &erreur);
    bool litTable(const std::string &nom, TableJet &table, std::string &erreur);
    // Calls `ligne` with every row's fields in column order, until it returns false.
    bool parcourt(const std::string &nom, const std::function<bool(const std::vector<ValeurJet> &)> &ligne,
                  std::string &erreur);

    // The order in which Jet keeps the rows of table `nom` in its index `index`: element i is
    // the position, in that index, of the i-th row `parcourt` gives. Read from the index pages
    // themselves, as Access's text sort order (accents, hyphens, apostrophes) is not reproduced
    // here. False when the index cannot be walked or does not list every row exactly once.
    bool ordreIndex(const std::string &nom, const std::string &index, std::vector<std::size_t> &rangs,
                    std::string &erreur);

private:
    struct Etat;
    std::unique_ptr<Etat> m_etat;
};

} // namespace tarvenko::jet
