#include "knowledge/jet/jet_import.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <set>

#include "knowledge/jet/jet_file.h"
#include "knowledge/jet/jet_sql.h"
#include "knowledge/jet/mdb_reader.h"
#include "knowledge/sqlite.h"
#include "knowledge/tables.h"
#include "knowledge/text.h"

namespace tarvenko::jet {

namespace fs = std::filesystem;

std::size_t Bilan::lignes() const
{
    std::size_t n = 0;
    for (const TableConvertie &t : tables)
        n += t.lignes;
    return n;
}

std::size_t Bilan::nombreIndex() const
{
    std::size_t n = 0;
    for (const TableConvertie &t : tables)
        n += t.index.size();
    return n;
}

std::vector<std::string> nomsIndex(const std::vector<std::pair<std::string, std::string>> &index,
                                   std::set<std::string> pris)
{
    // The knowledge base's own indexes are named first (Access names indexes after their field,
    // so another table's ID_CARAC or Langue is likely).
    static const std::pair<const char *, const char *> deLaBase[] = {
        {"Objets_Fic", "Objet"}, {"Caracteres", "ID_CARAC"}, {"Communs_Langues", "Langue"}};
    std::vector<std::string> noms(index.size());
    for (int tour = 0; tour < 2; ++tour) {
        for (std::size_t i = 0; i < index.size(); ++i) {
            const auto &[table, nom] = index[i];
            const bool prioritaire = std::any_of(std::begin(deLaBase), std::end(deLaBase), [&](const auto &p) {
                return clesEgales(table, p.first) && clesEgales(nom, p.second);
            });
            if (prioritaire != (tour == 0))
                continue;
            std::string choisi = nom;
            for (int n = 1; pris.count(minusculesAscii(choisi)); ++n)
                choisi = table + "_" + nom + (n > 1 ? "_" + std::to_string(n) : "");
            pris.insert(minusculesAscii(choisi));
            noms[i] = choisi;
        }
    }
    return noms;
}

namespace {

using sqlite::quoteIdentifier;

// Column types as the loader reads them: Yes/No as integers, dates as text.
const char *typeSql(TypeJet type)
{
    switch (type) {
    case TypeJet::Booleen:
    case TypeJet::Octet:
    case TypeJet::Entier:
    case TypeJet::EntierLong: return "INTEGER";
    case TypeJet::Monnaie:
    case TypeJet::Simple:
    case TypeJet::Double:
    case TypeJet::Decimal: return "REAL";
    // Text "YYYY-MM-DD HH:MM:SS": TEXT affinity keeps comparisons with any literal textual.
    case TypeJet::DateHeure: return "TEXT";
    // Jet compares text without regard to case; so do keys, indexes and views here.
    case TypeJet::Texte:
    case TypeJet::Memo: return "TEXT COLLATE NOCASE";
    case TypeJet::Guid: return "TEXT";
    case TypeJet::Binaire:
    case TypeJet::Ole: return "BLOB";
    case TypeJet::Complexe:
    case TypeJet::Inconnu: return nullptr;
    }
    return nullptr;
}

std::string cite(const std::string &nom) { return "\"" + nom + "\""; }

void lie(sqlite::Statement &st, int n, const ValeurJet &v)
{
    if (const auto *entier = std::get_if<std::int64_t>(&v))
        st.bind(n, *entier);
    else if (const auto *reel = std::get_if<double>(&v))
        st.bind(n, *reel);
    else if (const auto *texte = std::get_if<std::string>(&v))
        st.bind(n, std::string_view(*texte));
    else if (const auto *octets = std::get_if<Octets>(&v))
        st.bindBlob(n, octets->donnees.data(), octets->donnees.size());
    else
        st.bindNull(n);
}

bool estTexte(TypeJet type) { return type == TypeJet::Texte || type == TypeJet::Memo; }

class Conversion {
public:
    Conversion(LecteurJet &jet, sqlite::Database &db, Bilan &bilan) : m_jet(jet), m_db(db), m_bilan(bilan) {}

    bool execute(std::string &erreur)
    {
        std::vector<ObjetJet> objets;
        if (!m_jet.catalogue(objets, erreur))
            return false;
        sqlite::Error e;
        if (!m_db.exec("PRAGMA journal_mode=OFF; BEGIN", e)) {
            erreur = e.message;
            return false;
        }
        for (const ObjetJet &o : objets) {
            if (o.genre == ObjetJet::Genre::Requete)
                m_nomsPris.insert(minusculesAscii(o.nom));
            if (o.genre == ObjetJet::Genre::TableLiee)
                m_bilan.omissions.push_back({"table " + cite(o.nom), "linked to another database"});
        }
        for (const ObjetJet &o : objets) {
            if (o.genre == ObjetJet::Genre::Table && !convertitTable(o.nom, erreur))
                return false;
        }
        if (!creeIndex(erreur) || !gardeOrdres(erreur))
            return false;
        creeVues(objets);
        if (!m_db.exec("COMMIT", e)) {
            erreur = e.message;
            return false;
        }
        return true;
    }

private:
    struct Table {
        TableJet jet;
        std::vector<bool> gardees; // columns converted
        std::size_t bilan = 0;     // its entry in m_bilan.tables
        std::size_t colonneCle = std::string::npos; // the primary key's column when it has one only
        std::vector<ValeurJet> cles;                // its value in every row, in the order read
    };

    bool exec(const std::string &sql, std::string &erreur)
    {
        sqlite::Error e;
        if (m_db.exec(sql, e))
            return true;
        erreur = e.message + " (" + sql.substr(0, 200) + ")";
        return false;
    }

    std::string colonnesIndex(const Table &t, const IndexJet &index, bool &possible) const
    {
        std::string sql;
        possible = !index.cles.empty();
        for (const auto &[position, descendant] : index.cles) {
            possible = possible && t.gardees[position];
            sql += (sql.empty() ? "" : ", ") + quoteIdentifier(t.jet.colonnes[position].nom) + (descendant ? " DESC" : "");
        }
        return sql;
    }

    bool convertitTable(const std::string &nom, std::string &erreur)
    {
        Table t;
        std::string raison;
        if (minusculesAscii(nom).rfind("sqlite_", 0) == 0) {
            m_bilan.omissions.push_back({"table " + cite(nom), "SQLite keeps names starting with sqlite_ for itself"});
            return true;
        }
        if (!m_jet.litTable(nom, t.jet, raison)) {
            m_bilan.omissions.push_back({"table " + cite(nom), raison});
            return true;
        }
        m_nomsPris.insert(minusculesAscii(nom));
        TableConvertie convertie{nom, 0, 0, {}, {}};
        std::string definition;
        std::vector<std::string> gardees;
        for (const ColonneJet &c : t.jet.colonnes) {
            const char *type = typeSql(c.type);
            t.gardees.push_back(type != nullptr);
            if (!type) {
                m_bilan.omissions.push_back({"field " + cite(nom + "." + c.nom),
                                             c.type == TypeJet::Complexe ? "an attachment or multi-valued field"
                                                                         : "of unknown type " + std::to_string(c.codeType)});
                continue;
            }
            definition += (definition.empty() ? "" : ", ") + quoteIdentifier(c.nom) + " " + type;
            gardees.push_back(quoteIdentifier(c.nom));
        }
        if (gardees.empty()) {
            m_bilan.omissions.push_back({"table " + cite(nom), "no field could be converted"});
            return true;
        }
        convertie.colonnes = gardees.size();
        for (const IndexJet &index : t.jet.index) {
            if (!index.clePrimaire)
                continue;
            bool possible = false;
            const std::string cles = colonnesIndex(t, index, possible);
            if (!possible) {
                m_bilan.omissions.push_back({"primary key of " + cite(nom), "its fields were not converted"});
                break;
            }
            definition += ", CONSTRAINT " + quoteIdentifier(index.nom) + " PRIMARY KEY (" + cles + ")";
            for (const auto &cle : index.cles)
                convertie.clePrimaire.push_back(t.jet.colonnes[cle.first].nom);
            if (index.cles.size() == 1)
                t.colonneCle = index.cles.front().first;
            break;
        }
        if (!exec("CREATE TABLE " + quoteIdentifier(nom) + " (" + definition + ")", erreur))
            return false;

        std::string marques;
        for (std::size_t i = 0; i < gardees.size(); ++i)
            marques += i ? ", ?" : "?";
        std::string insertion = "INSERT INTO " + quoteIdentifier(nom) + " (";
        for (std::size_t i = 0; i < gardees.size(); ++i)
            insertion += (i ? ", " : "") + gardees[i];
        sqlite::Statement st(m_db, insertion + ") VALUES (" + marques + ")");
        if (!st.ok()) {
            erreur = st.error().message;
            return false;
        }
        std::size_t rejetees = 0;
        std::string echec;
        const bool lu = m_jet.parcourt(nom, [&](const std::vector<ValeurJet> &valeurs) {
            int n = 1;
            for (std::size_t i = 0; i < valeurs.size() && i < t.gardees.size(); ++i) {
                if (!t.gardees[i])
                    continue;
                lie(st, n, valeurs[i]);
                ++n;
            }
            if (t.colonneCle < valeurs.size())
                t.cles.push_back(valeurs[t.colonneCle]);
            st.step();
            const int code = st.error().code & 0xff;
            st.reset();
            if (code == SQLITE_CONSTRAINT) {
                ++rejetees;
            } else if (code != 0) {
                echec = st.error().message;
                return false;
            } else {
                ++convertie.lignes;
            }
            return true;
        }, erreur);
        if (!echec.empty())
            erreur = "table " + nom + ": " + echec;
        if (!lu || !echec.empty())
            return false;
        if (rejetees)
            m_bilan.omissions.push_back({std::to_string(rejetees) + " rows of " + cite(nom), "duplicate primary key"});
        t.bilan = m_bilan.tables.size();
        m_bilan.tables.push_back(std::move(convertie));
        m_tables.push_back(std::move(t));
        return true;
    }

    bool creeIndex(std::string &erreur)
    {
        std::vector<std::pair<Table *, const IndexJet *>> aCreer;
        std::vector<std::pair<std::string, std::string>> demandes;
        for (Table &t : m_tables) {
            for (const IndexJet &index : t.jet.index) {
                if (index.clePrimaire || index.relation)
                    continue;
                bool possible = false;
                colonnesIndex(t, index, possible);
                if (!possible) {
                    m_bilan.omissions.push_back({"index " + cite(t.jet.nom + "." + index.nom), "its fields were not converted"});
                    continue;
                }
                aCreer.push_back({&t, &index});
                demandes.push_back({t.jet.nom, index.nom});
            }
        }
        const std::vector<std::string> noms = nomsIndex(demandes, m_nomsPris);
        for (std::size_t i = 0; i < aCreer.size(); ++i) {
            const auto &[t, index] = aCreer[i];
            const std::string &table = t->jet.nom;
            const std::string &nom = noms[i];
            if (nom != index->nom)
                m_bilan.remarques.push_back("index " + cite(table + "." + index->nom) + " is named " + cite(nom) +
                                            " (another table has an index of that name)");
            bool possible = false;
            const std::string suite = "INDEX " + quoteIdentifier(nom) + " ON " + quoteIdentifier(table) + " (" +
                                      colonnesIndex(*t, *index, possible) + ")";
            std::string refus;
            if (index->unique && !exec("CREATE UNIQUE " + suite, refus)) {
                m_bilan.remarques.push_back("index " + cite(nom) + " is not unique: " + refus);
                if (!exec("CREATE " + suite, erreur))
                    return false;
            } else if (!index->unique && !exec("CREATE " + suite, erreur)) {
                return false;
            }
            m_bilan.tables[t->bilan].index.push_back(nom);
        }
        return true;
    }

    // Access sorts text in its own order (accents with their base letter, its own rules for
    // hyphens and apostrophes), which no SQLite collation gives: the order of each text index,
    // read from the Jet file, is listed in a table of its own, each row by its primary key. The
    // species numbers of a key follow the order of table Flore's primary key.
    bool gardeOrdres(std::string &erreur)
    {
        struct Ordre {
            const Table *table;
            const IndexJet *index;
        };
        std::vector<Ordre> ordres;
        for (const Table &t : m_tables) {
            if (t.colonneCle == std::string::npos || t.cles.empty() || !t.gardees[t.colonneCle])
                continue;
            for (const IndexJet &index : t.jet.index) {
                if (!index.relation && index.cles.size() == 1 && estTexte(t.jet.colonnes[index.cles.front().first].type))
                    ordres.push_back({&t, &index});
            }
        }
        if (ordres.empty())
            return true;
        if (m_nomsPris.count(minusculesAscii(kTableOrdreAccess))) {
            m_bilan.omissions.push_back({"the order of the text keys", std::string("a table or query is already named ") +
                                                                        kTableOrdreAccess});
            return true;
        }
        m_nomsPris.insert(minusculesAscii(kTableOrdreAccess));
        if (!exec(std::string("CREATE TABLE ") + quoteIdentifier(kTableOrdreAccess) +
                      " (\"Nom_Table\" TEXT, \"Nom_Index\" TEXT, \"Cle_Primaire\" INTEGER, \"Rang\" INTEGER, \"Cle\", "
                      "PRIMARY KEY (\"Nom_Table\", \"Nom_Index\", \"Rang\"))",
                  erreur))
            return false;
        sqlite::Statement st(m_db, std::string("INSERT INTO ") + quoteIdentifier(kTableOrdreAccess) + " VALUES (?, ?, ?, ?, ?)");
        if (!st.ok()) {
            erreur = st.error().message;
            return false;
        }
        for (const Ordre &o : ordres) {
            const Table &t = *o.table;
            std::vector<std::size_t> rangs;
            std::string raison;
            if (!m_jet.ordreIndex(t.jet.nom, o.index->nom, rangs, raison) || rangs.size() != t.cles.size()) {
                // Only the primary key's order is read back (as Flore's species order).
                if (o.index->clePrimaire)
                    m_bilan.omissions.push_back({"the order of the primary key of " + cite(t.jet.nom),
                                                 raison.empty() ? "the index does not list every row" : raison});
                continue;
            }
            for (std::size_t i = 0; i < rangs.size(); ++i) {
                st.bind(1, std::string_view(t.jet.nom));
                st.bind(2, std::string_view(o.index->nom));
                st.bind(3, std::int64_t{o.index->clePrimaire ? 1 : 0});
                st.bind(4, static_cast<std::int64_t>(rangs[i]));
                lie(st, 5, t.cles[i]);
                st.step();
                const sqlite::Error e = st.error();
                st.reset();
                if (e.code != 0) {
                    erreur = std::string(kTableOrdreAccess) + ": " + e.message;
                    return false;
                }
            }
            ++m_bilan.ordres;
        }
        return true;
    }

    std::optional<std::vector<std::string>> champsDe(std::string_view source, bool cleSeulement) const
    {
        sqlite::Statement st(m_db, std::string("SELECT name FROM pragma_table_info(?1)") +
                                       (cleSeulement ? " WHERE pk > 0 ORDER BY pk" : ""));
        st.bind(1, source);
        std::vector<std::string> out;
        while (st.step())
            out.push_back(st.text(0));
        if (out.empty() && !cleSeulement)
            return std::nullopt;
        return out;
    }

    // Creates the view and checks that SQLite can run it; the reason otherwise.
    bool creeVue(const std::string &nom, const std::string &sql, std::string &raison)
    {
        if (!exec("CREATE VIEW " + quoteIdentifier(nom) + " AS " + sql, raison))
            return false;
        sqlite::Statement essai(m_db, "SELECT * FROM " + quoteIdentifier(nom) + " LIMIT 0");
        if (essai.ok())
            return true;
        raison = essai.error().message;
        for (const auto &[prefixe, explication] :
             {std::pair<std::string, std::string>{"no such column: ", "refers to %, which none of its tables has (a parameter?)"},
              {"no such table: ", "reads %, which is neither a table nor a converted query"}}) {
            if (raison.rfind(prefixe, 0) == 0) {
                std::string quoi = raison.substr(prefixe.size());
                if (quoi.rfind("main.", 0) == 0)
                    quoi.erase(0, 5);
                const std::size_t marque = explication.find('%');
                raison = explication.substr(0, marque) + quoi + explication.substr(marque + 1);
            }
        }
        std::string ignore;
        exec("DROP VIEW " + quoteIdentifier(nom), ignore);
        return false;
    }

    void creeVues(const std::vector<ObjetJet> &objets)
    {
        std::map<std::int32_t, std::vector<LigneRequete>> lignes;
        std::string erreur;
        TableJet def;
        const bool lu = m_jet.litTable("MSysQueries", def, erreur) && lireRequetes(def, lignes, erreur);

        struct EnAttente {
            std::size_t rang;
            std::string nom;
            std::vector<LigneRequete> lignes;
            std::string raison;
        };
        std::vector<EnAttente> attente;
        for (const ObjetJet &o : objets) {
            if (o.genre != ObjetJet::Genre::Requete)
                continue;
            const std::string quoi = "query " + cite(o.nom);
            if (!o.nom.empty() && o.nom[0] == '~')
                m_bilan.omissions.push_back({quoi, "kept by Access for a form or report"});
            else if (minusculesAscii(o.nom).rfind("sqlite_", 0) == 0)
                m_bilan.omissions.push_back({quoi, "SQLite keeps names starting with sqlite_ for itself"});
            else if (!lu)
                m_bilan.omissions.push_back({quoi, "MSysQueries cannot be read: " + erreur});
            else
                attente.push_back({attente.size(), o.nom, lignes[o.id], {}});
        }
        Schema schema;
        schema.champs = [this](std::string_view source) { return champsDe(source, false); };
        schema.clePrimaire = [this](std::string_view source) { return champsDe(source, true).value_or(std::vector<std::string>()); };
        // A query may read others: retry those that failed as long as some view was made.
        std::vector<std::pair<std::size_t, std::string>> faites;
        for (bool progres = true; progres && !attente.empty();) {
            progres = false;
            for (auto it = attente.begin(); it != attente.end();) {
                const Traduction t = traduitRequete(it->lignes, schema);
                it->raison = t.raison;
                if (t.ok() && creeVue(it->nom, t.sql, it->raison)) {
                    faites.push_back({it->rang, it->nom});
                    it = attente.erase(it);
                    progres = true;
                } else {
                    ++it;
                }
            }
        }
        std::sort(faites.begin(), faites.end());
        for (const auto &f : faites)
            m_bilan.vues.push_back(f.second);
        for (const EnAttente &a : attente)
            m_bilan.omissions.push_back({"query " + cite(a.nom), a.raison});
    }

    // The rows of MSysQueries, by query.
    bool lireRequetes(const TableJet &def, std::map<std::int32_t, std::vector<LigneRequete>> &lignes, std::string &erreur)
    {
        const auto position = [&](const char *champ) {
            for (std::size_t i = 0; i < def.colonnes.size(); ++i) {
                if (def.colonnes[i].nom == champ)
                    return static_cast<int>(i);
            }
            return -1;
        };
        const int objet = position("ObjectId"), attribut = position("Attribute"), ordre = position("Order"),
                  nom1 = position("Name1"), nom2 = position("Name2"), expression = position("Expression"),
                  drapeau = position("Flag");
        if (objet < 0 || attribut < 0 || nom1 < 0 || nom2 < 0 || expression < 0 || drapeau < 0) {
            erreur = "MSysQueries lacks some of its usual fields";
            return false;
        }
        return m_jet.parcourt("MSysQueries", [&](const std::vector<ValeurJet> &v) {
            const auto entier = [&](int i) -> std::optional<std::int64_t> {
                if (i < 0)
                    return std::nullopt;
                const auto *n = std::get_if<std::int64_t>(&v[static_cast<std::size_t>(i)]);
                return n ? std::optional(*n) : std::nullopt;
            };
            const auto texte = [&](int i) {
                const auto *t = i < 0 ? nullptr : std::get_if<std::string>(&v[static_cast<std::size_t>(i)]);
                return t ? *t : std::string();
            };
            const auto id = entier(objet);
            if (!id)
                return true;
            LigneRequete l;
            l.attribut = static_cast<int>(entier(attribut).value_or(0));
            l.nom1 = texte(nom1);
            l.nom2 = texte(nom2);
            l.expression = texte(expression);
            if (const auto f = entier(drapeau))
                l.drapeau = static_cast<int>(*f);
            if (const auto *o = ordre < 0 ? nullptr : std::get_if<Octets>(&v[static_cast<std::size_t>(ordre)]))
                l.ordre.assign(o->donnees.begin(), o->donnees.end());
            lignes[static_cast<std::int32_t>(*id)].push_back(std::move(l));
            return true;
        }, erreur);
    }

    LecteurJet &m_jet;
    sqlite::Database &m_db;
    Bilan &m_bilan;
    std::vector<Table> m_tables;
    std::set<std::string> m_nomsPris; // tables, views and indexes, in small letters
};

struct Empreinte {
    std::uintmax_t taille = 0;
    fs::file_time_type date;
    bool operator==(const Empreinte &) const = default;
};

std::optional<Empreinte> empreinte(const std::string &chemin)
{
    std::error_code ec;
    Empreinte e;
    e.taille = fs::file_size(chemin, ec);
    if (ec)
        return std::nullopt;
    e.date = fs::last_write_time(chemin, ec);
    if (ec)
        return std::nullopt;
    return e;
}

std::string nomVersion(int version)
{
    switch (version) {
    case 3: return "Jet 3 (Access 97)";
    case 4: return "Jet 4 (Access 2000-2003)";
    default: return "Access 2007 or later";
    }
}

} // namespace

bool convertit(const std::string &source, const std::string &destination, Bilan &bilan, std::string &erreur)
{
    bilan = {};
    bilan.source = source;
    bilan.destination = destination;
    if (!estJet(formatDe(source))) {
        erreur = source + " is not an Access (Jet) database";
        return false;
    }
    std::error_code ec;
    if (fs::exists(destination, ec)) {
        erreur = destination + " already exists";
        return false;
    }
    LecteurJet jet;
    std::string raison;
    if (!jet.ouvre(source, raison)) {
        erreur = "cannot read " + source + ": " + raison;
        return false;
    }
    bilan.versionJet = jet.versionJet();
    bilan.pageDeCode = jet.pageDeCode();
    bool ok = false;
    {
        sqlite::Database db;
        sqlite::Error e;
        if (!db.openReadWrite(destination, e)) {
            erreur = "cannot write " + destination + ": " + e.message;
            return false;
        }
        ok = Conversion(jet, db, bilan).execute(raison);
    }
    if (!ok) {
        fs::remove(destination, ec);
        erreur = "converting " + source + ": " + raison;
    }
    return ok;
}

bool convertitVers(const std::string &source, const std::string &destination, Bilan &bilan, std::string &erreur)
{
    const auto avant = empreinte(source);
    if (!avant) {
        erreur = "cannot read " + source;
        return false;
    }
    std::error_code ec;
    if (fs::exists(destination, ec) && fs::equivalent(source, destination, ec)) {
        erreur = destination + " is the Access file itself";
        return false;
    }
    std::random_device hasard;
    const std::string provisoire = destination + ".part-" + std::to_string(hasard()) + std::to_string(hasard());
    if (!convertit(source, provisoire, bilan, erreur))
        return false;
    bilan.destination = destination;
    if (empreinte(source) != avant) {
        fs::remove(provisoire, ec);
        erreur = source + " changed while it was being converted";
        return false;
    }
    fs::rename(provisoire, destination, ec);
    if (ec) {
        fs::remove(provisoire, ec);
        erreur = "cannot write " + destination + ": " + ec.message();
        return false;
    }
    return true;
}

std::string texteBilan(const Bilan &b)
{
    std::string t = "Converted " + b.source + " (" + nomVersion(b.versionJet);
    if (b.versionJet == 3)
        t += ", code page " + std::to_string(b.pageDeCode);
    t += ") into " + b.destination + "\n";
    std::size_t cles = 0;
    for (const TableConvertie &table : b.tables)
        cles += table.clePrimaire.empty() ? 0 : 1;
    t += "  tables: " + std::to_string(b.tables.size()) + ", rows: " + std::to_string(b.lignes()) +
         ", primary keys: " + std::to_string(cles) + ", indexes: " + std::to_string(b.nombreIndex()) +
         ", views: " + std::to_string(b.vues.size()) + ", not converted: " + std::to_string(b.omissions.size()) + "\n";
    const auto liste = [](const std::vector<std::string> &noms) {
        std::string out;
        for (const std::string &n : noms)
            out += (out.empty() ? "" : ", ") + n;
        return out;
    };
    for (const TableConvertie &table : b.tables) {
        t += "  table " + cite(table.nom) + ": " + std::to_string(table.colonnes) + " fields, " +
             std::to_string(table.lignes) + " rows";
        if (!table.clePrimaire.empty())
            t += ", primary key (" + liste(table.clePrimaire) + ")";
        if (!table.index.empty())
            t += ", indexes " + liste(table.index);
        t += "\n";
    }
    if (b.ordres)
        t += "  table " + cite(kTableOrdreAccess) + ": the order Access gives " + std::to_string(b.ordres) + " text indexes\n";
    for (const std::string &v : b.vues)
        t += "  view " + cite(v) + "\n";
    if (!b.omissions.empty()) {
        t += "Not converted:\n";
        for (const Omission &o : b.omissions)
            t += "  " + o.quoi + ": " + o.raison + "\n";
    }
    if (!b.remarques.empty()) {
        t += "Notes:\n";
        for (const std::string &r : b.remarques)
            t += "  " + r + "\n";
    }
    return t;
}

} // namespace tarvenko::jet
