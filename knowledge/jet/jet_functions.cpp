// The functions of Jet SQL (VBA's, as Access evaluates them in queries) written with SQLite's
// built-in functions only, so that the views work with any SQLite build.
#include <functional>
#include <map>

#include "knowledge/jet/jet_analyseur.h"
#include "knowledge/text.h"

namespace tarvenko::jet {

using Type = Expr::Type;

namespace {

Expr fait(std::string sql, Type type)
{
    Expr e;
    e.sql = std::move(sql);
    e.type = type;
    e.atome = true;
    return e;
}

// VBA rounds halves to the even neighbour (CInt, CLng, CCur, Round); SQLite's round() away from
// zero. `decimales` digits are kept. The value is computed once, in a one-row subquery.
std::string arrondiPair(const Expr &x, int decimales)
{
    const std::string echelle = decimales > 0 ? "1" + std::string(static_cast<std::size_t>(decimales), '0') + ".0" : "";
    const std::string v = "jet_v", entier = "CAST(jet_v AS INTEGER)";
    std::string cas = "CASE WHEN abs(" + v + " - " + entier + ") = 0.5 THEN " + entier + " + " + entier + " % 2 ELSE " +
                      (decimales > 0 ? "round(" + v + ")" : "CAST(round(" + v + ") AS INTEGER)") + " END";
    if (decimales > 0)
        cas = "(" + cas + ") / " + echelle;
    return "SELECT " + cas + " FROM (SELECT " + (decimales > 0 ? operande(x) + " * " + echelle : valeur(x).sql) +
           " AS jet_v)";
}

// The text of an interval argument of DatePart, DateAdd and DateDiff.
std::string intervalle(const std::string &fonction, const Expr &e)
{
    if (!e.texte)
        throw NonTraduisible{fonction + " with an interval that is not a text literal"};
    return minusculesAscii(*e.texte);
}

std::string partieDate(const char *format, const Expr &d)
{
    return "CAST(strftime('" + std::string(format) + "', " + valeur(d).sql + ") AS INTEGER)";
}

std::string trimestre(const Expr &d) { return "((" + partieDate("%m", d) + " + 2) / 3)"; }

// Format() with a date pattern made of yyyy, mm, dd, hh, nn, ss and separators.
std::string formatDate(const std::string &motif)
{
    static const std::pair<const char *, const char *> jetons[] = {
        {"yyyy", "%Y"}, {"mm", "%m"}, {"dd", "%d"}, {"hh", "%H"}, {"nn", "%M"}, {"ss", "%S"}};
    std::string out;
    const std::string m = minusculesAscii(motif);
    std::size_t i = 0;
    while (i < m.size()) {
        bool lu = false;
        for (const auto &[jet, sqlite] : jetons) {
            const std::string_view j(jet);
            if (m.compare(i, j.size(), j) == 0) {
                out += sqlite;
                i += j.size();
                lu = true;
                break;
            }
        }
        if (lu)
            continue;
        if (std::string_view("-/:. ").find(m[i]) == std::string_view::npos)
            throw NonTraduisible{"Format with the pattern \"" + motif + "\""};
        out += m[i++];
    }
    return out;
}

using Traducteur = std::function<Expr(const std::string &nom, const std::vector<Expr> &args)>;

void compte(const std::string &nom, const std::vector<Expr> &args, std::size_t min, std::size_t max)
{
    if (args.size() < min || args.size() > max)
        throw NonTraduisible{nom + " with " + std::to_string(args.size()) + " arguments"};
}

Expr agregat(const std::string &nom, const std::vector<Expr> &args)
{
    compte(nom, args, 1, 1);
    const std::string f = minusculesAscii(nom);
    const Type type = f == "min" || f == "max" ? args[0].type : Type::Nombre;
    return fait(f + "(" + valeur(args[0]).sql + ")", type);
}

Expr simple(const char *sqlite, Type type, const std::string &nom, const std::vector<Expr> &args)
{
    compte(nom, args, 1, 1);
    return fait(std::string(sqlite) + "(" + valeur(args[0]).sql + ")", type);
}

const std::map<std::string, Traducteur> &fonctions()
{
    static const std::map<std::string, Traducteur> table = [] {
        std::map<std::string, Traducteur> t;
        for (const char *f : {"sum", "avg", "count", "min", "max"})
            t[f] = agregat;
        t["iif"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 3, 3);
            const Type type = a[1].type == a[2].type || a[2].type == Type::Nul ? a[1].type
                              : a[1].type == Type::Nul                           ? a[2].type
                                                                                 : Type::Inconnu;
            return fait("CASE WHEN " + a[0].sql + " THEN " + valeur(a[1]).sql + " ELSE " + valeur(a[2]).sql + " END", type);
        };
        t["switch"] = [](const std::string &n, const std::vector<Expr> &a) {
            if (a.empty() || a.size() % 2 != 0)
                throw NonTraduisible{n + " with " + std::to_string(a.size()) + " arguments"};
            std::string sql = "CASE";
            for (std::size_t i = 0; i < a.size(); i += 2)
                sql += " WHEN " + a[i].sql + " THEN " + valeur(a[i + 1]).sql;
            return fait(sql + " END", Type::Inconnu);
        };
        t["choose"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 2, 1000);
            std::string sql = "CASE (" + arrondiPair(a[0], 0) + ")";
            for (std::size_t i = 1; i < a.size(); ++i)
                sql += " WHEN " + std::to_string(i) + " THEN " + valeur(a[i]).sql;
            return fait(sql + " END", Type::Inconnu);
        };
        t["nz"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 1, 2);
            if (a.size() == 1)
                throw NonTraduisible{"Nz without a default (0 or \"\" depending on where it is used)"};
            return fait("coalesce(" + valeur(a[0]).sql + ", " + valeur(a[1]).sql + ")", a[1].type);
        };
        t["isnull"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 1, 1);
            return fait("(" + operande(a[0]) + " IS NULL)", Type::Booleen);
        };
        t["ccur"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 1, 1);
            return fait("(" + arrondiPair(a[0], 4) + ")", Type::Nombre);
        };
        for (const char *f : {"cint", "clng"}) {
            t[f] = [](const std::string &n, const std::vector<Expr> &a) {
                compte(n, a, 1, 1);
                return fait("(" + arrondiPair(a[0], 0) + ")", Type::Nombre);
            };
        }
        for (const char *f : {"cdbl", "csng"}) {
            t[f] = [](const std::string &n, const std::vector<Expr> &a) {
                compte(n, a, 1, 1);
                return fait("CAST(" + valeur(a[0]).sql + " AS REAL)", Type::Nombre);
            };
        }
        t["cstr"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 1, 1);
            return fait("(" + enTexte(a[0]) + ")", Type::Texte);
        };
        t["cbool"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 1, 1);
            return fait("(" + operande(a[0]) + " <> 0)", Type::Booleen);
        };
        t["cvar"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 1, 1);
            return a[0];
        };
        t["int"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 1, 1);
            const std::string x = operande(a[0]);
            return fait("(CAST(" + x + " AS INTEGER) - (" + x + " < CAST(" + x + " AS INTEGER)))", Type::Nombre);
        };
        t["fix"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 1, 1);
            return fait("CAST(" + valeur(a[0]).sql + " AS INTEGER)", Type::Nombre);
        };
        t["round"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 1, 2);
            if (a.size() == 2 && (!a[1].entier || *a[1].entier < 0 || *a[1].entier > 15))
                throw NonTraduisible{"Round with a number of decimals that is not a small whole number"};
            return fait("(" + arrondiPair(a[0], a.size() == 2 ? static_cast<int>(*a[1].entier) : 0) + ")", Type::Nombre);
        };
        t["sgn"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 1, 1);
            const std::string x = operande(a[0]);
            return fait("CASE WHEN " + x + " > 0 THEN 1 WHEN " + x + " < 0 THEN -1 WHEN " + x + " = 0 THEN 0 END",
                        Type::Nombre);
        };
        t["abs"] = [](const std::string &n, const std::vector<Expr> &a) { return simple("abs", Type::Nombre, n, a); };
        t["len"] = [](const std::string &n, const std::vector<Expr> &a) { return simple("length", Type::Nombre, n, a); };
        t["ucase"] = [](const std::string &n, const std::vector<Expr> &a) { return simple("upper", Type::Texte, n, a); };
        t["lcase"] = [](const std::string &n, const std::vector<Expr> &a) { return simple("lower", Type::Texte, n, a); };
        t["trim"] = [](const std::string &n, const std::vector<Expr> &a) { return simple("trim", Type::Texte, n, a); };
        t["ltrim"] = [](const std::string &n, const std::vector<Expr> &a) { return simple("ltrim", Type::Texte, n, a); };
        t["rtrim"] = [](const std::string &n, const std::vector<Expr> &a) { return simple("rtrim", Type::Texte, n, a); };
        t["asc"] = [](const std::string &n, const std::vector<Expr> &a) { return simple("unicode", Type::Nombre, n, a); };
        t["chr"] = [](const std::string &n, const std::vector<Expr> &a) { return simple("char", Type::Texte, n, a); };
        t["val"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 1, 1);
            return fait("CAST(" + valeur(a[0]).sql + " AS REAL)", Type::Nombre);
        };
        t["left"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 2, 2);
            return fait("substr(" + valeur(a[0]).sql + ", 1, " + valeur(a[1]).sql + ")", Type::Texte);
        };
        t["right"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 2, 2);
            const std::string s = valeur(a[0]).sql;
            return fait("substr(" + s + ", max(length(" + s + ") - " + operande(a[1]) + " + 1, 1))", Type::Texte);
        };
        t["mid"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 2, 3);
            std::string sql = "substr(" + valeur(a[0]).sql + ", " + valeur(a[1]).sql;
            if (a.size() == 3)
                sql += ", " + valeur(a[2]).sql;
            return fait(sql + ")", Type::Texte);
        };
        t["instr"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 2, 2);
            // Queries compare text without regard to case.
            return fait("instr(lower(" + valeur(a[0]).sql + "), lower(" + valeur(a[1]).sql + "))", Type::Nombre);
        };
        t["replace"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 3, 3);
            return fait("replace(" + valeur(a[0]).sql + ", " + valeur(a[1]).sql + ", " + valeur(a[2]).sql + ")",
                        Type::Texte);
        };
        const std::pair<const char *, const char *> parties[] = {{"year", "%Y"},   {"month", "%m"},  {"day", "%d"},
                                                                 {"hour", "%H"},   {"minute", "%M"}, {"second", "%S"}};
        for (const auto &[f, format] : parties) {
            t[f] = [format = format](const std::string &n, const std::vector<Expr> &a) {
                compte(n, a, 1, 1);
                return fait(partieDate(format, a[0]), Type::Nombre);
            };
        }
        t["weekday"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 1, 2);
            if (a.size() == 2 && a[1].entier != 1)
                throw NonTraduisible{"Weekday with a first day other than Sunday"};
            return fait("(" + partieDate("%w", a[0]) + " + 1)", Type::Nombre);
        };
        t["datepart"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 2, 4);
            const std::string i = intervalle(n, a[0]);
            static const std::map<std::string, const char *> formats = {
                {"yyyy", "%Y"}, {"m", "%m"}, {"d", "%d"}, {"y", "%j"}, {"h", "%H"}, {"n", "%M"}, {"s", "%S"}};
            if (i == "q")
                return fait(trimestre(a[1]), Type::Nombre);
            if (i == "w" && (a.size() < 3 || a[2].entier == 1))
                return fait("(" + partieDate("%w", a[1]) + " + 1)", Type::Nombre);
            const auto f = formats.find(i);
            if (f == formats.end())
                throw NonTraduisible{"DatePart with the interval \"" + i + "\""};
            return fait(partieDate(f->second, a[1]), Type::Nombre);
        };
        t["dateadd"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 3, 3);
            const std::string i = intervalle(n, a[0]);
            static const std::map<std::string, std::pair<const char *, const char *>> unites = {
                {"d", {"", " days"}},     {"y", {"", " days"}},        {"w", {"", " days"}},
                {"ww", {"7 * ", " days"}}, {"h", {"", " hours"}},       {"n", {"", " minutes"}},
                {"s", {"", " seconds"}}};
            const auto u = unites.find(i);
            if (u == unites.end())
                throw NonTraduisible{"DateAdd with the interval \"" + i + "\" (Jet and SQLite end months differently)"};
            return fait("strftime('%Y-%m-%d %H:%M:%S', " + valeur(a[2]).sql + ", (" + u->second.first + operande(a[1]) +
                            ") || '" + u->second.second + "')",
                        Type::Date);
        };
        t["datediff"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 3, 5);
            const std::string i = intervalle(n, a[0]);
            if (i == "d" || i == "y")
                return fait("CAST(julianday(date(" + valeur(a[2]).sql + ")) - julianday(date(" + valeur(a[1]).sql +
                                ")) AS INTEGER)",
                            Type::Nombre);
            if (i == "yyyy")
                return fait("(" + partieDate("%Y", a[2]) + " - " + partieDate("%Y", a[1]) + ")", Type::Nombre);
            if (i == "m")
                return fait("((" + partieDate("%Y", a[2]) + " - " + partieDate("%Y", a[1]) + ") * 12 + " +
                                partieDate("%m", a[2]) + " - " + partieDate("%m", a[1]) + ")",
                            Type::Nombre);
            if (i == "q")
                return fait("((" + partieDate("%Y", a[2]) + " - " + partieDate("%Y", a[1]) + ") * 4 + " + trimestre(a[2]) +
                                " - " + trimestre(a[1]) + ")",
                            Type::Nombre);
            throw NonTraduisible{"DateDiff with the interval \"" + i + "\""};
        };
        t["date"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 0, 0);
            return fait("strftime('%Y-%m-%d 00:00:00', 'now', 'localtime')", Type::Date);
        };
        t["now"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 0, 0);
            return fait("strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime')", Type::Date);
        };
        t["time"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 0, 0);
            return fait("strftime('1899-12-30 %H:%M:%S', 'now', 'localtime')", Type::Date);
        };
        t["format"] = [](const std::string &n, const std::vector<Expr> &a) {
            compte(n, a, 2, 2);
            if (!a[1].texte)
                throw NonTraduisible{"Format with a pattern that is not a text literal"};
            return fait("strftime('" + formatDate(*a[1].texte) + "', " + valeur(a[0]).sql + ")", Type::Texte);
        };
        return t;
    }();
    return table;
}

} // namespace

Expr traduitFonction(const std::string &nom, const std::vector<Expr> &args)
{
    std::string cle = minusculesAscii(nom);
    if (!cle.empty() && cle.back() == '$')
        cle.pop_back();
    const auto f = fonctions().find(cle);
    if (f != fonctions().end())
        return f->second(nom, args);
    for (const char *agregat : {"first", "last", "stdev", "stdevp", "var", "varp"}) {
        if (cle == agregat)
            throw NonTraduisible{"the aggregate " + nom + " has no SQLite equivalent"};
    }
    if (cle.size() > 1 && cle[0] == 'd' &&
        (cle == "dlookup" || cle == "dcount" || cle == "dsum" || cle == "davg" || cle == "dmin" || cle == "dmax" ||
         cle == "dfirst" || cle == "dlast"))
        throw NonTraduisible{nom + " looks rows up by names given at run time"};
    throw NonTraduisible{"the function " + nom + " has no SQLite equivalent (a VBA function of the database?)"};
}

} // namespace tarvenko::jet
