#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tarvenko::jet {

struct TableConvertie {
    std::string nom;
    std::size_t colonnes = 0;
    std::size_t lignes = 0;
    std::vector<std::string> clePrimaire; // its fields
    std::vector<std::string> index;       // the names the indexes have in SQLite
};

// Something of the Jet file that the SQLite file lacks, and why.
struct Omission {
    std::string quoi; // e.g. query "Sales by Year"
    std::string raison;
};

// What a conversion did.
struct Bilan {
    std::string source, destination;
    int versionJet = 0;
    int pageDeCode = 0;
    std::vector<TableConvertie> tables;
    std::vector<std::string> vues;
    std::vector<Omission> omissions;
    std::vector<std::string> remarques; // converted, but differently: renamed indexes
    std::size_t ordres = 0;             // text indexes whose order Access's sorting gave is listed

    std::size_t lignes() const;
    std::size_t nombreIndex() const; // named indexes, primary keys not counted
};

// Converts the Jet file `source` into the SQLite file `destination`, which must not exist:
// tables with their fields, rows, primary key ("PrimaryKey" becomes the name of the key's
// constraint) and indexes under their Jet names, the order Access gives each text index in a
// table of its own (kTableOrdreAccess); saved select queries as views. Text is UTF-8,
// Yes/No fields are -1 and 0, dates are "YYYY-MM-DD HH:MM:SS". On failure returns false with
// `erreur` and removes what it wrote. The source is only read.
bool convertit(const std::string &source, const std::string &destination, Bilan &bilan, std::string &erreur);

// The same into a temporary file beside `destination`, renamed into place (replacing any file
// there) only once complete and only if the source did not change meanwhile: an interrupted
// conversion leaves no partial file under that name.
bool convertitVers(const std::string &source, const std::string &destination, Bilan &bilan, std::string &erreur);

// SQLite names for Jet indexes given as (table, index): SQLite shares index names across the
// database while Jet's belong to one table. An index keeps its Jet name unless a table, a view
// (`pris`, in small letters) or an index named before has it; it is then "Table_Index". Objet,
// ID_CARAC and Langue of the knowledge base are named first.
std::vector<std::string> nomsIndex(const std::vector<std::pair<std::string, std::string>> &index,
                                   std::set<std::string> pris);

// The summary tarvenko-import prints.
std::string texteBilan(const Bilan &bilan);

} // namespace tarvenko::jet
