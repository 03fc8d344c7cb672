#include "knowledge/tables.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "knowledge/numeric.h"
#include "knowledge/sqlite.h"
#include "knowledge/text.h"

namespace tarvenko {

template <typename Row>
bool Table<Row>::hasField(std::string_view name) const
{
    return std::any_of(fields.begin(), fields.end(), [&](const std::string &f) { return clesEgales(f, name); });
}

std::pair<std::size_t, std::size_t> IndexTexte::equalRange(std::string_view key) const
{
    const auto less = [](const std::string &a, std::string_view b) { return compareCles(a, b) < 0 && !clesEgales(a, b); };
    auto first = std::lower_bound(keys.begin(), keys.end(), key, less);
    auto last = first;
    while (last != keys.end() && clesEgales(*last, key))
        ++last;
    return {static_cast<std::size_t>(first - keys.begin()), static_cast<std::size_t>(last - keys.begin())};
}

namespace {

// Column positions of one result set, looked up by field name without regard to case, as the
// database engine names fields.
class Columns {
public:
    explicit Columns(const sqlite::Statement &st)
    {
        for (int i = 0; i < st.columnCount(); ++i)
            m_names.push_back(st.columnName(i));
    }
    int operator[](std::string_view name) const
    {
        for (std::size_t i = 0; i < m_names.size(); ++i) {
            if (clesEgales(m_names[i], name))
                return static_cast<int>(i);
        }
        return -1;
    }
    const std::vector<std::string> &names() const { return m_names; }

    // Positions of the constraint columns: element n is the column of C_n, or -1.
    std::vector<int> constraintColumns() const
    {
        std::vector<int> out;
        for (std::size_t i = 0; i < m_names.size(); ++i) {
            const std::string &name = m_names[i];
            if (name.size() < 3 || (name[0] != 'C' && name[0] != 'c') || name[1] != '_')
                continue;
            unsigned n = 0;
            const char *begin = name.data() + 2;
            const char *end = name.data() + name.size();
            const auto [ptr, ec] = std::from_chars(begin, end, n);
            if (ec != std::errc() || ptr != end || n > 1000)
                continue;
            if (out.size() <= n)
                out.resize(n + 1, -1);
            out[n] = static_cast<int>(i);
        }
        return out;
    }

private:
    std::vector<std::string> m_names;
};

Champ<std::string> readText(const sqlite::Statement &st, int col)
{
    if (col < 0)
        return std::nullopt;
    switch (st.type(col)) {
    case sqlite::Statement::Type::Null:
    case sqlite::Statement::Type::Blob:
        return std::nullopt;
    default:
        return st.text(col);
    }
}

Champ<double> readNumber(const sqlite::Statement &st, int col)
{
    if (col < 0)
        return std::nullopt;
    switch (st.type(col)) {
    case sqlite::Statement::Type::Integer: return static_cast<double>(st.integer(col));
    case sqlite::Statement::Type::Real: return st.real(col);
    case sqlite::Statement::Type::Text: return texteEnNombre(st.text(col));
    default: return std::nullopt;
    }
}

Champ<std::int16_t> readInt16(const sqlite::Statement &st, int col)
{
    const auto number = readNumber(st, col);
    return number ? enEntier16(*number) : std::nullopt;
}

Champ<std::int32_t> readInt32(const sqlite::Statement &st, int col)
{
    const auto number = readNumber(st, col);
    return number ? enEntier32(*number) : std::nullopt;
}

Champ<bool> readBool(const sqlite::Statement &st, int col)
{
    if (col < 0)
        return std::nullopt;
    switch (st.type(col)) {
    case sqlite::Statement::Type::Integer: return st.integer(col) != 0;
    case sqlite::Statement::Type::Real: return st.real(col) != 0.0;
    case sqlite::Statement::Type::Text: return texteEnBooleen(st.text(col));
    default: return std::nullopt;
    }
}

ChampReel readReal(const sqlite::Statement &st, int col)
{
    ChampReel out;
    if (col < 0 || st.type(col) == sqlite::Statement::Type::Null)
        return out;
    out.nul = false;
    out.valeur = readNumber(st, col);
    if (out.valeur && !std::isfinite(*out.valeur))
        out.valeur.reset();
    return out;
}

NomsLangues readNames(const sqlite::Statement &st, const Columns &c)
{
    return {readText(st, c["Nom_en"]), readText(st, c["Nom_es"]), readText(st, c["Nom_fr"])};
}

Contraintes readConstraints(const sqlite::Statement &st, const std::vector<int> &columns)
{
    Contraintes c(columns.size());
    for (std::size_t n = 0; n < columns.size(); ++n)
        c[n] = readText(st, columns[n]);
    return c;
}

// Reads every row of a table (or view) with `fill`, which turns the current row into a Row.
template <typename Row, typename Fill>
void readTable(const sqlite::Database &db, std::string_view name, Table<Row> &table, Fill fill)
{
    table = {};
    if (!db.tableExists(name))
        return;
    sqlite::Statement st(db, "SELECT * FROM " + sqlite::quoteIdentifier(name));
    if (!st.ok())
        return;
    table.present = true;
    const Columns columns(st);
    table.fields = columns.names();
    while (st.step())
        table.rows.push_back(fill(st, columns));
}

// A stable sort of rows already in order leaves them as they are: the tables mostly come in
// key order, and one pass that checks it costs far less than sorting.
template <typename Iterator, typename Less>
void stableSortUnlessSorted(Iterator first, Iterator last, Less less)
{
    if (!std::is_sorted(first, last, less))
        std::stable_sort(first, last, less);
}

template <typename Row, typename Key>
void sortByKey(Table<Row> &table, Key key)
{
    stableSortUnlessSorted(table.rows.begin(), table.rows.end(), [&](const Row &a, const Row &b) { return key(a) < key(b); });
}

template <typename Row>
void sortByTextKey(Table<Row> &table, std::string Row::*key)
{
    stableSortUnlessSorted(table.rows.begin(), table.rows.end(),
                           [&](const Row &a, const Row &b) { return compareCles(a.*key, b.*key) < 0; });
}

// Puts the rows of a converted Access table in the order Access gave its primary key, as listed
// by the conversion; rows it does not list come after, by key. False when nothing is listed.
template <typename Row>
bool sortInAccessOrder(const sqlite::Database &db, std::string_view name, Table<Row> &table, std::string Row::*key)
{
    if (!db.tableExists(kTableOrdreAccess))
        return false;
    sqlite::Statement st(db, "SELECT Cle, Rang FROM " + sqlite::quoteIdentifier(kTableOrdreAccess) +
                                 " WHERE Nom_Table = ?1 COLLATE NOCASE AND Cle_Primaire <> 0 ORDER BY Rang DESC");
    if (!st.ok())
        return false;
    st.bind(1, name);
    std::map<std::string, std::int64_t, std::less<>> rangs;
    while (st.step()) {
        if (st.type(0) == sqlite::Statement::Type::Text)
            rangs[st.text(0)] = st.integer(1); // descending, so a key listed twice keeps its first place
    }
    if (rangs.empty())
        return false;
    const auto rang = [&](const Row &row) {
        const auto it = rangs.find(row.*key);
        return it == rangs.end() ? std::numeric_limits<std::int64_t>::max() : it->second;
    };
    sortByTextKey(table, key);
    stableSortUnlessSorted(table.rows.begin(), table.rows.end(), [&](const Row &a, const Row &b) { return rang(a) < rang(b); });
    return true;
}

template <typename Row, typename Key>
IndexTexte buildIndexBy(const Table<Row> &table, Key key)
{
    IndexTexte index;
    index.order.resize(table.rows.size());
    for (std::size_t i = 0; i < index.order.size(); ++i)
        index.order[i] = i;
    // Rows are already in primary-key order, so a stable sort by key keeps that order within a key.
    stableSortUnlessSorted(index.order.begin(), index.order.end(), [&](std::size_t a, std::size_t b) {
        return compareCles(key(table.rows[a]), key(table.rows[b])) < 0;
    });
    index.keys.reserve(index.order.size());
    for (std::size_t i : index.order)
        index.keys.push_back(key(table.rows[i]));
    return index;
}

template <typename Row>
IndexTexte buildIndex(const Table<Row> &table, Champ<std::string> Row::*field)
{
    return buildIndexBy(table, [field](const Row &row) { return (row.*field).value_or(""); });
}

template <typename Row, typename Pred>
const Row *findFirst(const Table<Row> &table, Pred pred)
{
    for (const Row &row : table.rows) {
        if (pred(row))
            return &row;
    }
    return nullptr;
}

// Binary search of a table sorted by an integer key.
template <typename Row>
const Row *seekNumber(const Table<Row> &table, std::int32_t Row::*key, std::int32_t value)
{
    const auto it = std::lower_bound(table.rows.begin(), table.rows.end(), value,
                                     [&](const Row &row, std::int32_t v) { return row.*key < v; });
    return (it != table.rows.end() && (*it).*key == value) ? &*it : nullptr;
}

template <typename Row>
const Row *seekText(const Table<Row> &table, std::string Row::*key, std::string_view value)
{
    const auto it = std::lower_bound(table.rows.begin(), table.rows.end(), value, [&](const Row &row, std::string_view v) {
        return compareCles(row.*key, v) < 0 && !clesEgales(row.*key, v);
    });
    return (it != table.rows.end() && clesEgales((*it).*key, value)) ? &*it : nullptr;
}

std::int32_t keyNumber(const sqlite::Statement &st, int col) { return readInt32(st, col).value_or(0); }
std::string keyText(const sqlite::Statement &st, int col) { return readText(st, col).value_or(""); }

} // namespace

std::string cleTexteLangue(std::string_view langue, std::string_view genre, std::string_view cle, std::string_view champ)
{
    // ASCII letters folded, as the database engine compares names; the parts are kept apart by a
    // control character no name holds.
    std::string out;
    out.reserve(langue.size() + genre.size() + cle.size() + champ.size() + 3);
    bool premier = true;
    for (const std::string_view part : {langue, genre, cle, champ}) {
        if (!premier)
            out += '\x1f';
        premier = false;
        for (const char ch : part)
            out += (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
    }
    return out;
}

std::string nomVernaculaire(std::string_view langue) { return "Vernaculaire_" + std::string(langue); }

bool Charge_Tables(const std::string &path, Tables &t, ErreurBase &error)
{
    sqlite::Database db;
    sqlite::Error dbError;
    if (!db.openReadOnly(path, dbError)) {
        error = {dbError.code, dbError.message};
        return false;
    }
    // SQLite takes an empty file for an empty database; a file without a single table or view is
    // no knowledge base, and is refused as one that is not a database (SQLITE_NOTADB) rather
    // than shown as a key without species.
    {
        sqlite::Statement objets(db, "SELECT count(*) FROM sqlite_master");
        if (!objets.ok() || !objets.step() || objets.integer(0) == 0) {
            error = {26, "file is not a database"};
            return false;
        }
    }
    t = {};

    readTable(db, "Parametres", t.Parametres, [](const sqlite::Statement &st, const Columns &c) {
        return ParametreRow{keyText(st, c["Parametre"]), readText(st, c["Etat"])};
    });
    sortByTextKey(t.Parametres, &ParametreRow::Parametre);

    readTable(db, "Couleurs", t.Couleurs, [](const sqlite::Statement &st, const Columns &c) {
        return CouleurRow{keyNumber(st, c["Num_Couleur"]), readText(st, c["Code_Couleur"])};
    });
    sortByKey(t.Couleurs, [](const CouleurRow &r) { return r.Num_Couleur; });

    readTable(db, "Flore", t.Flore, [](const sqlite::Statement &st, const Columns &c) {
        return FloreRow{keyText(st, c["Espece"]), readText(st, c["Famille"]), readText(st, c["Code"]),
                        readText(st, c["Legende"])};
    });
    if (!sortInAccessOrder(db, "Flore", t.Flore, &FloreRow::Espece))
        sortByTextKey(t.Flore, &FloreRow::Espece);

    readTable(db, "Objets_Fic", t.Objets_Fic, [](const sqlite::Statement &st, const Columns &c) {
        ObjetRow r;
        r.Numero = keyNumber(st, c["Numero"]);
        r.Objet = readText(st, c["Objet"]);
        r.Lignes = readInt16(st, c["Lignes"]);
        r.Colonnes = readInt16(st, c["Colonnes"]);
        r.Index_Car = readInt16(st, c["Index_Car"]);
        r.Nb_Car = readInt16(st, c["Nb_Car"]);
        r.Desc_Num = readInt16(st, c["Desc_Num"]);
        r.Cadre = readInt16(st, c["Cadre"]);
        r.TipText = readText(st, c["TipText"]);
        r.Popup = readText(st, c["Popup"]);
        r.Joker = readBool(st, c["Joker"]);
        r.Contrainte = readText(st, c["Contrainte"]);
        return r;
    });
    sortByKey(t.Objets_Fic, [](const ObjetRow &r) { return r.Numero; });

    readTable(db, "Caracteres", t.Caracteres, [](const sqlite::Statement &st, const Columns &c) {
        return CaractereRow{keyNumber(st, c["NUM"]), readText(st, c["ID_CARAC"]), readText(st, c["TipText"])};
    });
    sortByKey(t.Caracteres, [](const CaractereRow &r) { return r.NUM; });

    readTable(db, "Hierarchie", t.Hierarchie, [](const sqlite::Statement &st, const Columns &c) {
        return HierarchieRow{keyNumber(st, c["Numero"]), readInt16(st, c["Robot_Num"]), readText(st, c["Nom"]),
                             readConstraints(st, c.constraintColumns())};
    });
    sortByKey(t.Hierarchie, [](const HierarchieRow &r) { return r.Numero; });

    readTable(db, "Clic_Zone", t.Clic_Zone, [](const sqlite::Statement &st, const Columns &c) {
        ClicZoneRow r;
        r.Numero = keyNumber(st, c["Numero"]);
        r.Nom = readText(st, c["Nom"]);
        r.Cadre = readInt16(st, c["Cadre"]);
        r.Test_Cadre = readBool(st, c["Test_Cadre"]);
        r.X1 = readInt32(st, c["X1"]);
        r.X2 = readInt32(st, c["X2"]);
        r.Y1 = readInt32(st, c["Y1"]);
        r.Y2 = readInt32(st, c["Y2"]);
        r.C = readConstraints(st, c.constraintColumns());
        return r;
    });
    sortByKey(t.Clic_Zone, [](const ClicZoneRow &r) { return r.Numero; });

    readTable(db, "Communs_Langues", t.Communs_Langues, [](const sqlite::Statement &st, const Columns &c) {
        return CommunsLanguesRow{keyNumber(st, c["Numero"]), readText(st, c["Langue"])};
    });
    sortByKey(t.Communs_Langues, [](const CommunsLanguesRow &r) { return r.Numero; });

    readTable(db, "But_Deter", t.But_Deter, [](const sqlite::Statement &st, const Columns &c) {
        return ButDeterRow{keyNumber(st, c["Numero"]), readText(st, c["Caption"]), readText(st, c["File"]),
                           readText(st, c["TipText"]), readText(st, c["Key"])};
    });
    sortByKey(t.But_Deter, [](const ButDeterRow &r) { return r.Numero; });

    readTable(db, "But_Quest", t.But_Quest, [](const sqlite::Statement &st, const Columns &c) {
        return ButQuestRow{keyNumber(st, c["Numero"]), readText(st, c["Caption"]), readText(st, c["File"]),
                           readText(st, c["TipText"])};
    });
    sortByKey(t.But_Quest, [](const ButQuestRow &r) { return r.Numero; });

    readTable(db, "Descendance", t.Descendance, [](const sqlite::Statement &st, const Columns &c) {
        return DescendanceRow{keyNumber(st, c["Numero"]), readText(st, c["ID_CARAC"]), readText(st, c["Objet"])};
    });
    sortByKey(t.Descendance, [](const DescendanceRow &r) { return r.Numero; });

    readTable(db, "Contradictions", t.Contradictions, [](const sqlite::Statement &st, const Columns &c) {
        return ContradictionRow{keyText(st, c["Objet"]), readInt16(st, c["Bouton"]), readText(st, c["Popup"])};
    });
    sortByTextKey(t.Contradictions, &ContradictionRow::Objet);

    readTable(db, "Caracteres_Num", t.Caracteres_Num, [](const sqlite::Statement &st, const Columns &c) {
        return CaractereNumRow{keyText(st, c["Objet"]), readNames(st, c), readText(st, c["Unite"]),
                               readReal(st, c["Poids"]), readInt16(st, c["Cadre"]), readBool(st, c["Joker"])};
    });
    sortByTextKey(t.Caracteres_Num, &CaractereNumRow::Objet);

    readTable(db, "Plages_Num", t.Plages_Num, [](const sqlite::Statement &st, const Columns &c) {
        return PlageNumRow{keyNumber(st, c["Numero"]), readText(st, c["Objet"]), readText(st, c["Espece"]),
                           readReal(st, c["Minimum"]), readReal(st, c["Maximum"]), readReal(st, c["Extreme_Min"]),
                           readReal(st, c["Extreme_Max"])};
    });
    sortByKey(t.Plages_Num, [](const PlageNumRow &r) { return r.Numero; });

    readTable(db, "Images_Etats", t.Images_Etats, [](const sqlite::Statement &st, const Columns &c) {
        return ImageEtatRow{keyText(st, c["ID_CARAC"]), readText(st, c["Image"])};
    });
    sortByTextKey(t.Images_Etats, &ImageEtatRow::ID_CARAC);

    readTable(db, "Cadres", t.Cadres, [](const sqlite::Statement &st, const Columns &c) {
        return CadreRow{keyNumber(st, c["Cadre"]), readNames(st, c)};
    });
    sortByKey(t.Cadres, [](const CadreRow &r) { return r.Cadre; });

    readTable(db, "Textes_Langues", t.Textes_Langues, [](const sqlite::Statement &st, const Columns &c) {
        return TexteLangueRow{keyNumber(st, c["Numero"]), readText(st, c["Langue"]), readText(st, c["Genre"]),
                              readText(st, c["Cle"]), readText(st, c["Champ"]), readText(st, c["Texte"])};
    });
    sortByKey(t.Textes_Langues, [](const TexteLangueRow &r) { return r.Numero; });
    for (std::size_t i = 0; i < t.Textes_Langues.rows.size(); ++i) {
        const TexteLangueRow &r = t.Textes_Langues.rows[i];
        if (!r.Langue || !r.Genre || !r.Cle || !r.Nom_Champ || !r.Texte || r.Texte->empty())
            continue;
        t.Textes_Langues_Cle.emplace(cleTexteLangue(*r.Langue, *r.Genre, *r.Cle, *r.Nom_Champ), i);
    }

    t.Flore_Espece = buildIndexBy(t.Flore, [](const FloreRow &row) { return row.Espece; });
    t.Objets_Fic_Objet = buildIndex(t.Objets_Fic, &ObjetRow::Objet);
    t.Caracteres_ID_CARAC = buildIndex(t.Caracteres, &CaractereRow::ID_CARAC);
    t.Communs_Langues_Langue = buildIndex(t.Communs_Langues, &CommunsLanguesRow::Langue);

    // The stored query of every language that has common names, read as a snapshot.
    for (const CommunsLanguesRow *langue : t.languesOrdonnees()) {
        if (!langue->Langue)
            continue;
        const std::string name = nomVernaculaire(*langue->Langue);
        if (t.Vernaculaire.count(name) || !db.viewExists(name))
            continue;
        sqlite::Statement st(db, "SELECT * FROM " + sqlite::quoteIdentifier(name));
        if (!st.ok())
            continue;
        const Columns c(st);
        std::vector<VernaculaireRow> rows;
        while (st.step())
            rows.push_back({readText(st, c["Nom"]), readText(st, c["Code"]), readText(st, c["Espece"]),
                            readText(st, c["Famille"])});
        t.Vernaculaire.emplace(name, std::move(rows));
    }
    return true;
}

const ParametreRow *Tables::parametre(std::string_view name) const
{
    return seekText(Parametres, &ParametreRow::Parametre, name);
}
const CouleurRow *Tables::couleur(std::int32_t number) const
{
    return seekNumber(Couleurs, &CouleurRow::Num_Couleur, number);
}
const FloreRow *Tables::espece(std::string_view name) const
{
    const auto [first, last] = Flore_Espece.equalRange(name);
    return first == last ? nullptr : &Flore.rows[Flore_Espece.order[first]];
}
const CaractereRow *Tables::caractere(std::int32_t num) const { return seekNumber(Caracteres, &CaractereRow::NUM, num); }
const ButDeterRow *Tables::butDeter(std::int32_t number) const
{
    return seekNumber(But_Deter, &ButDeterRow::Numero, number);
}
const ButQuestRow *Tables::butQuest(std::int32_t number) const
{
    return seekNumber(But_Quest, &ButQuestRow::Numero, number);
}
const DescendanceRow *Tables::descendance(std::int32_t number) const
{
    return seekNumber(Descendance, &DescendanceRow::Numero, number);
}
const ContradictionRow *Tables::contradiction(std::string_view objet) const
{
    return seekText(Contradictions, &ContradictionRow::Objet, objet);
}

const CaractereNumRow *Tables::caractereNum(std::string_view objet) const
{
    return seekText(Caracteres_Num, &CaractereNumRow::Objet, objet);
}
const ImageEtatRow *Tables::imageEtat(std::string_view idCarac) const
{
    return seekText(Images_Etats, &ImageEtatRow::ID_CARAC, idCarac);
}
const CadreRow *Tables::cadre(std::int32_t number) const { return seekNumber(Cadres, &CadreRow::Cadre, number); }

const std::string *Tables::texteLangue(std::string_view langue, std::string_view genre, std::string_view cle,
                                       std::string_view champ) const
{
    if (Textes_Langues_Cle.empty())
        return nullptr;
    const auto it = Textes_Langues_Cle.find(cleTexteLangue(langue, genre, cle, champ));
    return it == Textes_Langues_Cle.end() ? nullptr : &*Textes_Langues.rows[it->second].Texte;
}

const ObjetRow *Tables::objet(std::string_view key) const
{
    const auto [first, last] = Objets_Fic_Objet.equalRange(key);
    return first == last ? nullptr : &Objets_Fic.rows[Objets_Fic_Objet.order[first]];
}

std::vector<const ObjetRow *> Tables::objets(std::string_view key) const
{
    std::vector<const ObjetRow *> out;
    const auto [first, last] = Objets_Fic_Objet.equalRange(key);
    for (std::size_t i = first; i < last; ++i)
        out.push_back(&Objets_Fic.rows[Objets_Fic_Objet.order[i]]);
    return out;
}

const CaractereRow *Tables::caractereParId(std::string_view idCarac) const
{
    const auto [first, last] = Caracteres_ID_CARAC.equalRange(idCarac);
    return first == last ? nullptr : &Caracteres.rows[Caracteres_ID_CARAC.order[first]];
}

std::vector<const CommunsLanguesRow *> Tables::languesOrdonnees() const
{
    std::vector<const CommunsLanguesRow *> out;
    for (std::size_t i : Communs_Langues_Langue.order)
        out.push_back(&Communs_Langues.rows[i]);
    return out;
}

template struct Table<ParametreRow>;
template struct Table<CouleurRow>;
template struct Table<FloreRow>;
template struct Table<ObjetRow>;
template struct Table<CaractereRow>;
template struct Table<HierarchieRow>;
template struct Table<ClicZoneRow>;
template struct Table<CommunsLanguesRow>;
template struct Table<ButDeterRow>;
template struct Table<ButQuestRow>;
template struct Table<DescendanceRow>;
template struct Table<ContradictionRow>;
template struct Table<CaractereNumRow>;
template struct Table<PlageNumRow>;
template struct Table<ImageEtatRow>;
template struct Table<CadreRow>;
template struct Table<TexteLangueRow>;

} // namespace tarvenko
