#include "knowledge/jet/mdb_reader.h"

// mdbtools.h includes glib inside extern "C", which C++ templates in glib refuse: include glib
// (and iconv) first so that the guards keep them out.
#include <glib.h>
#include <iconv.h>
#include <mdbtools.h>

#include <cstring>
#include <map>
#include <set>

#include "knowledge/jet/jet_file.h"
#include "knowledge/text.h"

namespace tarvenko::jet {

namespace {

constexpr int kMasqueDecalage = 0x1fff; // row offsets of a data page carry flags above these bits

struct LibereTable {
    void operator()(MdbTableDef *t) const { mdb_free_tabledef(t); }
};
using Table = std::unique_ptr<MdbTableDef, LibereTable>;

TypeJet typeDe(int code)
{
    switch (code) {
    case MDB_BOOL: return TypeJet::Booleen;
    case MDB_BYTE: return TypeJet::Octet;
    case MDB_INT: return TypeJet::Entier;
    case MDB_LONGINT: return TypeJet::EntierLong;
    case MDB_MONEY: return TypeJet::Monnaie;
    case MDB_FLOAT: return TypeJet::Simple;
    case MDB_DOUBLE: return TypeJet::Double;
    case MDB_DATETIME: return TypeJet::DateHeure;
    case MDB_BINARY: return TypeJet::Binaire;
    case MDB_TEXT: return TypeJet::Texte;
    case MDB_OLE: return TypeJet::Ole;
    case MDB_MEMO: return TypeJet::Memo;
    case MDB_REPID: return TypeJet::Guid;
    case MDB_NUMERIC: return TypeJet::Decimal;
    case MDB_COMPLEX: return TypeJet::Complexe;
    default: return TypeJet::Inconnu;
    }
}

template <typename T>
T litLe(const unsigned char *p)
{
    T v;
    std::memcpy(&v, p, sizeof v); // Jet is little-endian, as are the machines this runs on
    return v;
}

MdbColumn *colonne(MdbTableDef *t, std::size_t i) { return static_cast<MdbColumn *>(g_ptr_array_index(t->columns, i)); }

// A text libmdb converts to UTF-8 into a buffer of its "bind size": make room for the whole value
// (a byte of Jet text gives at most three of UTF-8).
std::string texteConverti(MdbHandle *mdb, int debut, int type, int taille, std::size_t octetsSource)
{
    mdb_set_bind_size(mdb, 3 * octetsSource + 64);
    char *texte = mdb_col_to_string(mdb, mdb->pg_buf, debut, type, taille);
    std::string out = texte ? texte : "";
    g_free(texte);
    return out;
}

// Where index pages keep their header fields, entry bitmask and entries (Jet 3, then Jet 4 and later).
struct FormatIndex {
    std::size_t prefixe, masque, suivante, entrees;
};
constexpr FormatIndex kIndexJet3{0x14, 0x16, 0x0c, 0xf8};
constexpr FormatIndex kIndexJet4{0x18, 0x1b, 0x10, 0x1e0};
constexpr unsigned char kPageIntermediaire = 0x03, kPageFeuille = 0x04;
constexpr std::size_t kPointeur = 4; // a leaf entry ends with the row's page (3 bytes, high first) and slot

// A row's place in the file: its data page and its slot on that page.
std::uint64_t emplacement(std::uint32_t page, unsigned ligne) { return (std::uint64_t{page} << 8) | (ligne & 0xffu); }

// One page of an index: its type, its next page at the same level and its entries, each whole
// (the prefix the page shares among its entries put back in front).
struct PageIndex {
    unsigned char type = 0;
    std::uint32_t suivante = 0;
    std::vector<std::string> entrees;
};

bool litPageIndex(MdbHandle *mdb, const FormatIndex &f, std::uint32_t numero, PageIndex &page, std::string &erreur)
{
    const auto taille = static_cast<std::size_t>(mdb->fmt->pg_size);
    if (numero == 0 || mdb_read_pg(mdb, numero) != static_cast<ssize_t>(taille)) {
        erreur = "cannot read index page " + std::to_string(numero);
        return false;
    }
    const unsigned char *p = mdb->pg_buf;
    page = {};
    page.type = p[0];
    page.suivante = litLe<std::uint32_t>(p + f.suivante);
    if (page.type != kPageIntermediaire && page.type != kPageFeuille) {
        erreur = "page " + std::to_string(numero) + " is not an index page";
        return false;
    }
    const std::size_t prefixe = p[f.prefixe]; // one byte: the next one is something else
    // Each set bit of the mask ends an entry (and starts the next); the first starts at f.entrees.
    std::size_t debut = f.entrees;
    for (std::size_t bit = 0; bit < (f.entrees - f.masque) * 8; ++bit) {
        if (!(p[f.masque + bit / 8] & (1u << (bit % 8))))
            continue;
        const std::size_t fin = f.entrees + bit;
        if (fin > taille || fin <= debut) {
            erreur = "index page " + std::to_string(numero) + " is damaged";
            return false;
        }
        std::string entree(reinterpret_cast<const char *>(p + debut), fin - debut);
        if (!page.entrees.empty()) {
            if (page.entrees.front().size() < prefixe) {
                erreur = "index page " + std::to_string(numero) + " is damaged";
                return false;
            }
            entree.insert(0, page.entrees.front(), 0, prefixe);
        }
        page.entrees.push_back(std::move(entree));
        debut = fin;
    }
    return true;
}

} // namespace

struct LecteurJet::Etat {
    MdbHandle *mdb = nullptr;
    ~Etat()
    {
        if (mdb)
            mdb_close(mdb);
    }

    MdbCatalogEntry *entree(const std::string &nom) const
    {
        for (unsigned i = 0; i < mdb->num_catalog; ++i) {
            auto *e = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
            if (e->object_type == MDB_TABLE && nom == e->object_name)
                return e;
        }
        return nullptr;
    }

    Table table(const std::string &nom, std::string &erreur) const
    {
        MdbCatalogEntry *e = entree(nom);
        if (!e) {
            erreur = "no table named " + nom;
            return nullptr;
        }
        Table t(mdb_read_table(e));
        if (!t || !mdb_read_columns(t.get())) {
            erreur = "cannot read the definition of table " + nom;
            return nullptr;
        }
        return t;
    }
};

LecteurJet::LecteurJet() : m_etat(std::make_unique<Etat>()) {}
LecteurJet::~LecteurJet() = default;

bool LecteurJet::disponible() { return true; }

bool LecteurJet::ouvre(const std::string &chemin, std::string &erreur)
{
    if (!estJet(formatDe(chemin))) {
        erreur = "not an Access (Jet) database";
        return false;
    }
    m_etat->mdb = mdb_open(chemin.c_str(), MDB_NOFLAGS);
    if (!m_etat->mdb) {
        erreur = "mdbtools cannot open it";
        return false;
    }
    // MDBICONV in the environment would make libmdb write text in another encoding.
    const std::string cible = minusculesAscii(mdb_target_charset(m_etat->mdb) ? mdb_target_charset(m_etat->mdb) : "");
    if (cible != "utf-8" && cible != "utf8") {
        erreur = "mdbtools is set to write text as " + cible + ", not UTF-8 (unset MDBICONV)";
        return false;
    }
    if (!mdb_read_catalog(m_etat->mdb, MDB_ANY)) {
        erreur = "mdbtools cannot read its catalogue";
        return false;
    }
    return true;
}

int LecteurJet::versionJet() const
{
    switch (m_etat->mdb->f->jet_version) {
    case MDB_VER_JET3: return 3;
    case MDB_VER_JET4: return 4;
    case MDB_VER_ACCDB_2007: return 12;
    case MDB_VER_ACCDB_2010: return 14;
    default: return 15;
    }
}

int LecteurJet::pageDeCode() const { return m_etat->mdb->f->code_page; }

bool LecteurJet::catalogue(std::vector<ObjetJet> &objets, std::string &erreur)
{
    TableJet def;
    if (!litTable("MSysObjects", def, erreur))
        return false;
    const auto position = [&](const char *champ) {
        for (std::size_t i = 0; i < def.colonnes.size(); ++i) {
            if (def.colonnes[i].nom == champ)
                return static_cast<int>(i);
        }
        return -1;
    };
    const int id = position("Id"), nom = position("Name"), type = position("Type"), drapeaux = position("Flags");
    if (id < 0 || nom < 0 || type < 0 || drapeaux < 0) {
        erreur = "MSysObjects lacks the fields Id, Name, Type and Flags";
        return false;
    }
    objets.clear();
    return parcourt("MSysObjects", [&](const std::vector<ValeurJet> &v) {
        const auto entier = [&](int i) {
            const auto *n = std::get_if<std::int64_t>(&v[static_cast<std::size_t>(i)]);
            return n ? *n : 0;
        };
        const auto *texte = std::get_if<std::string>(&v[static_cast<std::size_t>(nom)]);
        if (!texte)
            return true;
        // MSysObjects types: 1 local table, 4 table linked through ODBC, 5 query, 6 linked table.
        ObjetJet o;
        o.nom = *texte;
        o.id = static_cast<std::int32_t>(entier(id));
        switch (entier(type)) {
        case 1:
            o.genre = (static_cast<std::uint32_t>(entier(drapeaux)) & 0x80000002u) ? ObjetJet::Genre::TableSysteme
                                                                                    : ObjetJet::Genre::Table;
            break;
        case 4:
        case 6: o.genre = ObjetJet::Genre::TableLiee; break;
        case 5: o.genre = ObjetJet::Genre::Requete; break;
        default: return true;
        }
        objets.push_back(std::move(o));
        return true;
    }, erreur);
}

bool LecteurJet::litTable(const std::string &nom, TableJet &table, std::string &erreur)
{
    Table t = m_etat->table(nom, erreur);
    if (!t)
        return false;
    mdb_read_indices(t.get());
    table = {};
    table.nom = nom;
    for (std::size_t i = 0; i < t->num_cols; ++i) {
        const MdbColumn *c = colonne(t.get(), i);
        table.colonnes.push_back({c->name, typeDe(c->col_type), c->col_type});
    }
    for (unsigned i = 0; t->indices && i < t->num_idxs; ++i) {
        const auto *x = static_cast<MdbIndex *>(g_ptr_array_index(t->indices, i));
        IndexJet index;
        index.nom = x->name;
        index.clePrimaire = x->index_type == 1;
        index.relation = x->index_type == 2;
        index.unique = (x->flags & MDB_IDX_UNIQUE) != 0;
        // Index keys name the column's number in the table definition (deleted columns leave gaps).
        for (unsigned k = 0; k < x->num_keys; ++k) {
            for (std::size_t p = 0; p < t->num_cols; ++p) {
                if (colonne(t.get(), p)->col_num == x->key_col_num[k] - 1)
                    index.cles.push_back({p, x->key_col_order[k] == MDB_DESC});
            }
        }
        if (index.cles.size() != x->num_keys)
            index.cles.clear();
        table.index.push_back(std::move(index));
    }
    return true;
}

bool LecteurJet::parcourt(const std::string &nom, const std::function<bool(const std::vector<ValeurJet> &)> &ligne,
                          std::string &erreur)
{
    Table t = m_etat->table(nom, erreur);
    if (!t)
        return false;
    MdbHandle *mdb = m_etat->mdb;
    const std::size_t colonnes = t->num_cols;
    // OLE fields are read through a bound buffer that libmdb fills with the field's header.
    std::vector<std::vector<char>> tampons(colonnes);
    for (std::size_t i = 0; i < colonnes; ++i) {
        if (colonne(t.get(), i)->col_type == MDB_OLE) {
            tampons[i].resize(2 * MDB_PGSIZE);
            mdb_bind_column(t.get(), static_cast<int>(i + 1), tampons[i].data(), nullptr);
        }
    }
    mdb_rewind_table(t.get());
    std::vector<MdbField> champs(colonnes == 0 ? 1 : colonnes);
    std::vector<ValeurJet> valeurs(colonnes);
    const auto taillePage = static_cast<std::size_t>(mdb->fmt->pg_size);
    while (mdb_fetch_row(t.get())) {
        // mdb_fetch_row leaves the row's page loaded; split the row again to see its Nulls,
        // which libmdb does not report for text.
        int debut = 0;
        size_t longueur = 0;
        if (t->cur_row == 0 || mdb_find_row(mdb, static_cast<int>(t->cur_row - 1), &debut, &longueur) != 0) {
            erreur = "cannot locate a row of table " + nom;
            return false;
        }
        debut &= kMasqueDecalage;
        const int n = mdb_crack_row(t.get(), debut, longueur, champs.data());
        if (n < 0) {
            erreur = "cannot read a row of table " + nom;
            return false;
        }
        std::fill(valeurs.begin(), valeurs.end(), ValeurJet{});
        for (std::size_t i = 0; i < colonnes && i < static_cast<std::size_t>(n); ++i) {
            const MdbField &f = champs[i];
            if (f.colnum < 0 || static_cast<std::size_t>(f.colnum) >= colonnes)
                continue;
            const auto position = static_cast<std::size_t>(f.colnum);
            MdbColumn *c = colonne(t.get(), position);
            ValeurJet &v = valeurs[position];
            if (c->col_type == MDB_BOOL) {
                // A Yes/No field lives in the null mask: a set bit is Yes. Jet's Yes is -1.
                v = std::int64_t{f.is_null ? 0 : -1};
                continue;
            }
            if (f.is_null || f.start < 0 || f.siz < 0 ||
                static_cast<std::size_t>(f.start) + static_cast<std::size_t>(f.siz) > taillePage)
                continue;
            const unsigned char *p = mdb->pg_buf + f.start;
            const auto taille = static_cast<std::size_t>(f.siz);
            const auto assez = [&](std::size_t octets) { return taille >= octets; };
            switch (c->col_type) {
            case MDB_BYTE:
                if (assez(1))
                    v = std::int64_t{p[0]};
                break;
            case MDB_INT:
                if (assez(2))
                    v = std::int64_t{litLe<std::int16_t>(p)};
                break;
            case MDB_LONGINT:
                if (assez(4))
                    v = std::int64_t{litLe<std::int32_t>(p)};
                break;
            case MDB_MONEY:
                if (assez(8))
                    v = static_cast<double>(litLe<std::int64_t>(p)) / 10000.0;
                break;
            case MDB_FLOAT:
                if (assez(4))
                    v = static_cast<double>(litLe<float>(p));
                break;
            case MDB_DOUBLE:
                if (assez(8))
                    v = litLe<double>(p);
                break;
            case MDB_DATETIME:
                if (assez(8))
                    v = dateJetEnTexte(litLe<double>(p));
                break;
            case MDB_BINARY: v = Octets{{p, p + taille}}; break;
            case MDB_TEXT: v = texteConverti(mdb, f.start, MDB_TEXT, f.siz, taille); break;
            case MDB_MEMO:
                if (assez(4)) {
                    const std::size_t octets = litLe<std::uint32_t>(p) & 0x3fffffffu;
                    v = texteConverti(mdb, f.start, MDB_MEMO, f.siz, octets);
                }
                break;
            case MDB_REPID:
                if (assez(16)) {
                    char *texte = mdb_col_to_string(mdb, mdb->pg_buf, f.start, MDB_REPID, f.siz);
                    v = std::string(texte ? texte : "");
                    g_free(texte);
                }
                break;
            case MDB_NUMERIC: {
                char *texte = mdb_numeric_to_string(mdb, f.start, c->col_scale, c->col_prec);
                if (texte)
                    v = g_ascii_strtod(texte, nullptr);
                g_free(texte);
                break;
            }
            case MDB_OLE:
                if (assez(MDB_MEMO_OVERHEAD)) {
                    std::size_t octets = 0;
                    void *donnees = mdb_ole_read_full(mdb, c, &octets);
                    if (donnees) {
                        const auto *d = static_cast<const unsigned char *>(donnees);
                        v = Octets{{d, d + octets}};
                        free(donnees);
                    }
                }
                break;
            default: break;
            }
        }
        if (!ligne(valeurs))
            break;
    }
    return true;
}

bool LecteurJet::ordreIndex(const std::string &nom, const std::string &nomIndex, std::vector<std::size_t> &rangs,
                            std::string &erreur)
{
    Table t = m_etat->table(nom, erreur);
    if (!t)
        return false;
    mdb_read_indices(t.get());
    const MdbIndex *index = nullptr;
    for (unsigned i = 0; t->indices && i < t->num_idxs; ++i) {
        const auto *x = static_cast<const MdbIndex *>(g_ptr_array_index(t->indices, i));
        if (nomIndex == x->name && x->index_type != 2)
            index = x;
    }
    if (!index) {
        erreur = "table " + nom + " has no index " + nomIndex;
        return false;
    }
    MdbHandle *mdb = m_etat->mdb;
    std::vector<std::uint64_t> lignes;
    mdb_rewind_table(t.get());
    while (mdb_fetch_row(t.get()))
        lignes.push_back(emplacement(t->cur_phys_pg, t->cur_row - 1));

    const FormatIndex &f = versionJet() == 3 ? kIndexJet3 : kIndexJet4;
    const std::string abime = "index " + nomIndex + " of table " + nom + " cannot be walked";
    // Down the first entries to the first leaf, then along the leaves, whose chain also holds the
    // tail pages Jet appends without updating the upper levels.
    PageIndex page;
    std::uint32_t numero = index->first_pg;
    for (int niveau = 0;; ++niveau) {
        if (!litPageIndex(mdb, f, numero, page, erreur))
            return false;
        if (page.type == kPageFeuille)
            break;
        if (niveau == 32 || page.entrees.empty() || page.entrees.front().size() < kPointeur) {
            erreur = abime;
            return false;
        }
        const std::string &e = page.entrees.front();
        numero = (std::uint32_t{static_cast<unsigned char>(e[e.size() - 4])} << 24) |
                 (std::uint32_t{static_cast<unsigned char>(e[e.size() - 3])} << 16) |
                 (std::uint32_t{static_cast<unsigned char>(e[e.size() - 2])} << 8) |
                 std::uint32_t{static_cast<unsigned char>(e[e.size() - 1])};
    }
    std::map<std::uint64_t, std::size_t> positions;
    std::string precedente;
    for (std::set<std::uint32_t> vues;;) {
        if (page.type != kPageFeuille || !vues.insert(numero).second) {
            erreur = abime;
            return false;
        }
        for (const std::string &e : page.entrees) {
            // Entries sort as bytes; anything else means the pages were misread.
            const std::string cle = e.size() >= kPointeur ? e.substr(0, e.size() - kPointeur) : std::string();
            if (e.size() < kPointeur || cle < precedente) {
                erreur = abime;
                return false;
            }
            precedente = cle;
            const auto *p = reinterpret_cast<const unsigned char *>(e.data() + e.size() - kPointeur);
            const std::uint32_t pageDonnees = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
            if (!positions.emplace(emplacement(pageDonnees, p[3]), positions.size()).second) {
                erreur = abime;
                return false;
            }
        }
        numero = page.suivante;
        if (numero == 0)
            break;
        if (!litPageIndex(mdb, f, numero, page, erreur))
            return false;
    }
    if (positions.size() != lignes.size()) {
        erreur = "index " + nomIndex + " of table " + nom + " lists " + std::to_string(positions.size()) + " rows of " +
                 std::to_string(lignes.size());
        return false;
    }
    rangs.clear();
    for (std::uint64_t l : lignes) {
        const auto it = positions.find(l);
        if (it == positions.end()) {
            erreur = "index " + nomIndex + " of table " + nom + " does not list every row";
            return false;
        }
        rangs.push_back(it->second);
    }
    return true;
}

} // namespace tarvenko::jet
