// Jet SELECT statements read as text: output fields, FROM with its joins, the clauses, UNION.
#include <algorithm>
#include <string>

#include "knowledge/jet/jet_analyseur.h"
#include "knowledge/sqlite.h"
#include "knowledge/text.h"

namespace tarvenko::jet {

Element Analyseur::element()
{
    Element el;
    if (prendSymbole("*")) {
        el.etoile = true;
        return el;
    }
    if ((courant().genre == Lexeme::Genre::Nom || courant().genre == Lexeme::Genre::Crochets) &&
        suivant().estSymbole(".") && suivant(2).estSymbole("*")) {
        el.etoile = true;
        el.etoileDe = courant().texte;
        m_pos += 3;
        return el;
    }
    const std::size_t avant = refs.size();
    el.expr = expression();
    el.refs.assign(refs.begin() + static_cast<std::ptrdiff_t>(avant), refs.end());
    if (prendMot("as"))
        el.alias = nom();
    return el;
}

std::string Analyseur::sourceFrom(std::vector<Source> &sources, const Schema &schema)
{
    std::string sql;
    std::string table;
    if (courant().estSymbole("(")) {
        if (suivant().estMot("select")) {
            sql = sousRequete();
        } else {
            ++m_pos;
            sql = "(" + elementFrom(sources, schema) + ")";
            attendsSymbole(")");
            return sql;
        }
    } else if (courant().genre == Lexeme::Genre::Crochets && suivant().estSymbole(".") &&
               minusculesAscii(courant().texte).rfind("select", 0) == 0) {
        // Access 97 wrote a subquery in FROM as [SELECT ...]. AS name
        Analyseur dedans(courant().texte);
        sql = "(" + dedans.requete(schema) + ")";
        dedans.fin();
        m_pos += 2;
    } else {
        table = nom();
        if (courant().estSymbole("."))
            erreur("a table of another database");
        sql = nomSql(table);
    }
    if (courant().estMot("in"))
        erreur("a table of another database");
    // The alias: after AS, or a name that no clause starts with.
    const auto suiteDeClause = [&] {
        for (const char *mot : {"inner", "left", "right", "on", "where", "group", "having", "order", "union", "with"}) {
            if (courant().estMot(mot))
                return true;
        }
        return false;
    };
    std::string alias;
    if (prendMot("as") || courant().genre == Lexeme::Genre::Crochets ||
        (courant().genre == Lexeme::Genre::Nom && !suiteDeClause()))
        alias = nom();
    if (!alias.empty())
        sql += " AS " + nomSql(alias);
    sources.push_back({alias.empty() ? table : alias, table});
    return sql;
}

std::string Analyseur::elementFrom(std::vector<Source> &sources, const Schema &schema)
{
    std::string sql = sourceFrom(sources, schema);
    while (true) {
        std::string type;
        if (prendMot("inner"))
            type = " INNER JOIN ";
        else if (prendMot("left"))
            type = " LEFT JOIN ";
        else if (prendMot("right"))
            type = " RIGHT JOIN ";
        else
            return sql;
        prendMot("outer");
        attendsMot("join");
        const std::string droite = sourceFrom(sources, schema);
        attendsMot("on");
        const Expr on = expression();
        egalitesOn.insert(egalitesOn.end(), on.egalites.begin(), on.egalites.end());
        sql += type + droite + " ON " + on.sql;
    }
}

std::string Analyseur::listeFrom(std::vector<Source> &sources, const Schema &schema)
{
    std::vector<std::string> parts{elementFrom(sources, schema)};
    while (prendSymbole(","))
        parts.push_back(elementFrom(sources, schema));
    return joint(parts, ", ");
}

Selection Analyseur::selection(const Schema &schema)
{
    attendsMot("select");
    Selection s;
    if (prendMot("distinctrow"))
        s.distinctRow = true;
    else if (prendMot("distinct"))
        s.distinct = true;
    else
        prendMot("all");
    if (prendMot("top")) {
        if (courant().genre != Lexeme::Genre::Nombre || !estNombreEntier(courant().texte))
            erreur("expected a number after TOP");
        s.top = std::stoll(m_lex[m_pos++].texte);
        s.pourcent = prendMot("percent");
    }
    do {
        s.elements.push_back(element());
    } while (prendSymbole(","));
    if (courant().estMot("into"))
        throw NonTraduisible{"SELECT ... INTO makes a table"};
    egalitesOn.clear();
    if (prendMot("from"))
        s.from = listeFrom(s.sources, schema);
    s.egalites = egalitesOn;
    if (prendMot("where")) {
        const Expr where = expression();
        s.where = where.sql;
        s.egalites.insert(s.egalites.end(), where.egalites.begin(), where.egalites.end());
    }
    if (prendMot("group")) {
        attendsMot("by");
        do {
            s.groupBy.push_back(valeur(expression()).sql);
        } while (prendSymbole(","));
    }
    if (prendMot("having"))
        s.having = expression().sql;
    if (prendMot("with")) {
        attendsMot("owneraccess");
        attendsMot("option");
    }
    return s;
}

namespace {

// A part of a UNION cannot carry its own LIMIT or ORDER BY in SQLite.
std::string emetPartie(const Selection &s, const Schema &schema)
{
    const std::string sql = emet(s, schema);
    return s.top ? "SELECT * FROM (" + sql + ")" : sql;
}

} // namespace

std::string Analyseur::partieUnion(const Schema &schema)
{
    if (courant().estMot("select"))
        return emetPartie(selection(schema), schema);
    if (prendMot("table"))
        return "SELECT * FROM " + nomSql(nom());
    if (prendSymbole("(")) {
        const std::string dedans = requete(schema);
        attendsSymbole(")");
        return "SELECT * FROM (" + dedans + ")";
    }
    erreur("expected SELECT");
}

std::string Analyseur::requete(const Schema &schema)
{
    m_schema = &schema;
    std::vector<std::string> ordre;
    const auto litOrdre = [&] {
        if (!prendMot("order"))
            return;
        attendsMot("by");
        do {
            std::string terme = valeur(expression()).sql;
            if (prendMot("desc"))
                terme += " DESC";
            else
                prendMot("asc");
            ordre.push_back(terme);
        } while (prendSymbole(","));
    };
    std::string sql;
    if (courant().estMot("select")) {
        Selection s = selection(schema);
        if (!courant().estMot("union")) {
            litOrdre();
            s.orderBy = ordre;
            return emet(s, schema);
        }
        sql = emetPartie(s, schema);
    } else {
        sql = partieUnion(schema);
    }
    while (prendMot("union")) {
        sql += prendMot("all") ? " UNION ALL " : " UNION ";
        sql += partieUnion(schema);
    }
    litOrdre();
    if (!ordre.empty())
        sql += " ORDER BY " + joint(ordre, ", ");
    return sql;
}

Traduction traduitSelect(std::string_view jet, const Schema &schema)
{
    try {
        Analyseur a(jet);
        std::string sql = a.requete(schema);
        a.fin();
        return {std::move(sql), {}};
    } catch (const NonTraduisible &n) {
        return {{}, n.raison};
    }
}

} // namespace tarvenko::jet
