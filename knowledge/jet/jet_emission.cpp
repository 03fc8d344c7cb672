// A SELECT written out as SQLite, with Jet's meaning of DISTINCTROW and TOP and Jet's names for
// the output fields.
#include <algorithm>
#include <string>

#include "knowledge/jet/jet_analyseur.h"
#include "knowledge/sqlite.h"
#include "knowledge/text.h"

namespace tarvenko::jet {

namespace {

using Type = Expr::Type;

bool egaux(std::string_view a, std::string_view b) { return clesEgales(a, b); }

bool estReferenceSimple(const Element &el)
{
    if (el.etoile || el.refs.size() != 1 || el.expr.type != Type::Inconnu)
        return false;
    const RefColonne &r = el.refs.front();
    const std::string attendu = (r.qualificatif.empty() ? "" : nomSql(r.qualificatif) + ".") + nomSql(r.nom);
    return el.expr.sql == attendu;
}

// Names Jet gives output fields: the alias, else the field's name (with its table when two
// fields share it), else Expr1000, Expr1001 ...
std::vector<std::string> nomsDeSortie(const Selection &s)
{
    std::vector<std::string> noms(s.elements.size());
    int expressions = 1000;
    for (std::size_t i = 0; i < s.elements.size(); ++i) {
        const Element &el = s.elements[i];
        if (el.etoile)
            continue;
        if (!el.alias.empty())
            noms[i] = el.alias;
        else if (estReferenceSimple(el))
            noms[i] = el.refs.front().nom;
        else
            noms[i] = "Expr" + std::to_string(expressions++);
    }
    const std::vector<std::string> simples = noms;
    for (std::size_t i = 0; i < s.elements.size(); ++i) {
        const Element &el = s.elements[i];
        if (!el.alias.empty() || !estReferenceSimple(el) || el.refs.front().qualificatif.empty())
            continue;
        const auto memes = std::count_if(simples.begin(), simples.end(), [&](const std::string &n) { return egaux(n, simples[i]); });
        if (memes > 1)
            noms[i] = el.refs.front().qualificatif + "." + el.refs.front().nom;
    }
    return noms;
}

// The source a field reference reads: its qualifier, else the one source that has the field.
// -1 when no source or several have it, or when a source's fields are not known.
int sourceDe(const RefColonne &r, const Selection &s, const Schema &schema)
{
    if (!r.qualificatif.empty()) {
        for (std::size_t i = 0; i < s.sources.size(); ++i) {
            if (egaux(s.sources[i].cle, r.qualificatif))
                return static_cast<int>(i);
        }
        return -1;
    }
    int trouve = -1;
    for (std::size_t i = 0; i < s.sources.size(); ++i) {
        const auto champs = s.sources[i].table.empty() || !schema.champs
                                ? std::nullopt
                                : schema.champs(s.sources[i].table);
        if (!champs)
            return -1;
        if (std::any_of(champs->begin(), champs->end(), [&](const std::string &c) { return egaux(c, r.nom); })) {
            if (trouve >= 0)
                return -1;
            trouve = static_cast<int>(i);
        }
    }
    return trouve;
}

// DISTINCTROW drops rows that come from the same records of the tables that give output fields.
// No row is dropped when each table gives one, or when the others are looked up by their primary
// key; otherwise DISTINCT does the same provided the output holds the primary key of every table
// that gives one.
bool distinctPourDistinctRow(const Selection &s, const Schema &schema)
{
    if (s.sources.size() <= 1)
        return false;
    std::vector<bool> contribue(s.sources.size(), false);
    for (const Element &el : s.elements) {
        if (el.etoile) {
            for (std::size_t i = 0; i < s.sources.size(); ++i) {
                if (el.etoileDe.empty() || egaux(s.sources[i].cle, el.etoileDe))
                    contribue[i] = true;
            }
            continue;
        }
        for (const RefColonne &r : el.refs) {
            const int i = sourceDe(r, s, schema);
            if (i < 0)
                throw NonTraduisible{"DISTINCTROW: cannot tell which table gives the field " + r.nom};
            contribue[static_cast<std::size_t>(i)] = true;
        }
    }
    // A table joined on its whole primary key to tables already counted adds at most one row to
    // each of their combinations: it cannot repeat them.
    const auto cle = [&](std::size_t i) {
        return schema.clePrimaire && !s.sources[i].table.empty() ? schema.clePrimaire(s.sources[i].table)
                                                                  : std::vector<std::string>();
    };
    std::vector<bool> determinee = contribue;
    for (bool progres = true; progres;) {
        progres = false;
        for (std::size_t i = 0; i < s.sources.size(); ++i) {
            const std::vector<std::string> champs = cle(i);
            if (determinee[i] || champs.empty())
                continue;
            const bool jointe = std::all_of(champs.begin(), champs.end(), [&](const std::string &champ) {
                return std::any_of(s.egalites.begin(), s.egalites.end(), [&](const Egalite &e) {
                    for (const auto &[ici, la] : {std::pair(e.first, e.second), std::pair(e.second, e.first)}) {
                        const int autre = sourceDe(la, s, schema);
                        if (egaux(ici.nom, champ) && sourceDe(ici, s, schema) == static_cast<int>(i) && autre >= 0 &&
                            determinee[static_cast<std::size_t>(autre)])
                            return true;
                    }
                    return false;
                });
            });
            if (jointe) {
                determinee[i] = true;
                progres = true;
            }
        }
    }
    if (std::all_of(determinee.begin(), determinee.end(), [](bool b) { return b; }))
        return false;
    if (!s.groupBy.empty())
        throw NonTraduisible{"DISTINCTROW in a totals query over tables that give no output field"};
    for (std::size_t i = 0; i < s.sources.size(); ++i) {
        if (!contribue[i])
            continue;
        const std::vector<std::string> champs = cle(i);
        const bool couverte = !champs.empty() && std::all_of(champs.begin(), champs.end(), [&](const std::string &champ) {
            return std::any_of(s.elements.begin(), s.elements.end(), [&](const Element &el) {
                if (el.etoile)
                    return el.etoileDe.empty() || egaux(el.etoileDe, s.sources[i].cle);
                return estReferenceSimple(el) && egaux(el.refs.front().nom, champ) &&
                       sourceDe(el.refs.front(), s, schema) == static_cast<int>(i);
            });
        });
        if (!couverte)
            throw NonTraduisible{"DISTINCTROW over tables that give no output field"};
    }
    return true;
}

// * and table.* written out field by field where the fields are known, so that every output
// field gets its Jet name (SQLite would name some "x:1" behind nested joins).
Selection etoilesDeveloppees(const Selection &s, const Schema &schema)
{
    Selection out = s;
    out.elements.clear();
    for (const Element &el : s.elements) {
        if (!el.etoile) {
            out.elements.push_back(el);
            continue;
        }
        std::vector<Element> champs;
        bool connus = true;
        for (const Source &source : s.sources) {
            if (!el.etoileDe.empty() && !egaux(el.etoileDe, source.cle))
                continue;
            const auto noms = source.table.empty() || !schema.champs ? std::nullopt : schema.champs(source.table);
            if (!noms) {
                connus = false;
                break;
            }
            for (const std::string &nom : *noms) {
                Element champ;
                champ.refs.push_back({source.cle, nom});
                champ.expr.sql = nomSql(source.cle) + "." + nomSql(nom);
                champ.expr.atome = true;
                champ.expr.ref = champ.refs.back();
                champs.push_back(std::move(champ));
            }
        }
        if (connus && !champs.empty())
            out.elements.insert(out.elements.end(), champs.begin(), champs.end());
        else
            out.elements.push_back(el);
    }
    return out;
}

} // namespace

std::string emet(const Selection &selection, const Schema &schema)
{
    const Selection s = etoilesDeveloppees(selection, schema);
    const bool distinct = s.distinct || (s.distinctRow && distinctPourDistinctRow(s, schema));
    const std::vector<std::string> noms = nomsDeSortie(s);
    std::vector<std::string> champs;
    for (std::size_t i = 0; i < s.elements.size(); ++i) {
        const Element &el = s.elements[i];
        if (el.etoile) {
            champs.push_back(el.etoileDe.empty() ? "*" : nomSql(el.etoileDe) + ".*");
            continue;
        }
        // Always named: SQLite's own names for fields behind nested joins are not Jet's.
        champs.push_back(valeur(el.expr).sql + " AS " + nomSql(noms[i]));
    }
    std::string corps;
    if (!s.from.empty())
        corps += " FROM " + s.from;
    if (!s.where.empty())
        corps += " WHERE " + s.where;
    if (!s.groupBy.empty())
        corps += " GROUP BY " + joint(s.groupBy, ", ");
    if (!s.having.empty())
        corps += " HAVING " + s.having;
    const std::string debut = std::string("SELECT ") + (distinct ? "DISTINCT " : "");
    const std::string ordre = s.orderBy.empty() ? "" : " ORDER BY " + joint(s.orderBy, ", ");
    if (!s.top)
        return debut + joint(champs, ", ") + corps + ordre;
    if (s.pourcent)
        throw NonTraduisible{"TOP n PERCENT has no SQLite equivalent"};
    if (s.orderBy.empty())
        return debut + joint(champs, ", ") + corps + " LIMIT " + std::to_string(*s.top);
    // Jet's TOP n keeps the rows tied with the n-th: exactly the rows ranked n or better.
    if (distinct)
        throw NonTraduisible{"TOP with DISTINCT"};
    std::vector<std::string> sortie;
    for (std::size_t i = 0; i < s.elements.size(); ++i) {
        if (s.elements[i].etoile)
            throw NonTraduisible{"TOP with * (the fields to keep are not known)"};
        sortie.push_back(nomSql(noms[i]));
    }
    return "SELECT " + joint(sortie, ", ") + " FROM (SELECT " + joint(champs, ", ") + ", rank() OVER (ORDER BY " +
           joint(s.orderBy, ", ") + ") AS \"jet_top_rank\"" + corps + ") WHERE \"jet_top_rank\" <= " +
           std::to_string(*s.top) + " ORDER BY \"jet_top_rank\"";
}

} // namespace tarvenko::jet
