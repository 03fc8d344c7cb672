#pragma once

// Internals of the Jet SQL translator, shared by its source files and its tests.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "knowledge/jet/jet_lexer.h"
#include "knowledge/jet/jet_sql.h"

namespace tarvenko::jet {

// A field reference as written: the table (or alias) it names, if any, and the field.
struct RefColonne {
    std::string qualificatif;
    std::string nom;
};
using Egalite = std::pair<RefColonne, RefColonne>;

// A translated expression: its SQLite text and what is known of it.
struct Expr {
    enum class Type { Inconnu, Texte, Nombre, Booleen, Date, Nul };
    std::string sql;
    Type type = Type::Inconnu;
    bool atome = false;                  // can be an operand without parentheses
    bool litteral = false;               // a constant
    std::optional<std::string> texte;    // the value of a text literal
    std::optional<std::int64_t> entier;  // the value of a whole-number literal
    std::optional<RefColonne> ref;       // the field, when the expression is just one
    std::vector<Egalite> egalites;       // field = field terms the whole condition requires
};

// SQLite text of an operand: parenthesised unless atomic.
std::string groupe(const Expr &e);
// A Jet boolean used as a value is -1 or 0; SQLite's comparisons give 1 or 0.
Expr valeur(const Expr &e);
// groupe(valeur(e)): an operand of an arithmetic or comparison operator, or a function argument.
std::string operande(const Expr &e);
// The value as Jet's & and CStr turn it into text: reals without a trailing ".0".
std::string enTexte(const Expr &e);
std::string litteralSql(std::string_view text);
std::string nomSql(std::string_view nom);
std::string joint(const std::vector<std::string> &parts, std::string_view separateur);
bool estNombreEntier(std::string_view texte);
// A #date# of Jet SQL (month/day/year, or year-month-day) as the converter stores dates:
// "YYYY-MM-DD HH:MM:SS". Nothing when it is not a date.
std::optional<std::string> dateIso(std::string_view jet);

// A function call of Jet SQL with its arguments already translated. Throws NonTraduisible for a
// function without an SQLite equivalent (VBA functions of the database among them).
Expr traduitFonction(const std::string &nom, const std::vector<Expr> &args);

// One output field of a SELECT.
struct Element {
    Expr expr;
    std::string alias;         // AS name, if any
    bool etoile = false;       // * or table.*
    std::string etoileDe;      // the table of table.*
    std::vector<RefColonne> refs;
};

// A table, view or subquery in FROM: the name other clauses use for it, and the table or view.
struct Source {
    std::string cle;
    std::string table; // empty for a subquery
};

// A SELECT with its clauses translated, before the whole is written out.
struct Selection {
    bool distinct = false;
    bool distinctRow = false;
    std::optional<std::int64_t> top;
    bool pourcent = false;
    std::vector<Element> elements;
    std::string from;
    std::vector<Source> sources;
    std::string where;
    std::vector<std::string> groupBy;
    std::string having;
    std::vector<std::string> orderBy;
    std::vector<Egalite> egalites; // from ON and WHERE
};

// Writes a Selection as SQLite: decides what DISTINCTROW means here, turns TOP into a rank
// filter that keeps ties as Jet does, names the output fields as Jet names them.
std::string emet(const Selection &s, const Schema &schema);

// Recursive-descent reader of Jet SQL that writes SQLite as it goes.
class Analyseur {
public:
    explicit Analyseur(std::string_view jet);

    Expr expression();
    // A whole query: SELECT, or SELECTs joined by UNION, with an ORDER BY.
    std::string requete(const Schema &schema);
    // A FROM list, with the sources it names added to `sources`.
    std::string listeFrom(std::vector<Source> &sources, const Schema &schema);
    // One output field: *, table.* or an expression with its alias.
    Element element();
    // Throws unless every token was read (a final ';' is allowed).
    void fin();

    // Field references met so far, for DISTINCTROW and the names of output fields.
    std::vector<RefColonne> refs;
    // field = field terms of the ON clauses met so far.
    std::vector<Egalite> egalitesOn;

private:
    const Lexeme &courant() const { return m_lex[m_pos]; }
    const Lexeme &suivant(std::size_t n = 1) const;
    bool prendMot(std::string_view mot);
    bool prendSymbole(std::string_view symbole);
    void attendsMot(std::string_view mot);
    void attendsSymbole(std::string_view symbole);
    [[noreturn]] void erreur(const std::string &quoi) const;

    Expr imp();
    Expr disjonction();
    Expr conjonction();
    Expr negation();
    Expr comparaison();
    Expr concatenation();
    Expr additif();
    Expr modulo();
    Expr divisionEntiere();
    Expr multiplicatif();
    Expr unaire();
    Expr puissance();
    Expr primaire();
    Expr reference();
    Expr appel(const std::string &nom);
    std::string sousRequete(); // after "(", up to and with ")"

    Selection selection(const Schema &schema);
    std::string partieUnion(const Schema &schema);
    std::string sourceFrom(std::vector<Source> &sources, const Schema &schema);
    std::string elementFrom(std::vector<Source> &sources, const Schema &schema);
    std::string nom();

    std::vector<Lexeme> m_lex;
    std::size_t m_pos = 0;
    const Schema *m_schema = nullptr;
};

} // namespace tarvenko::jet
