#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvenko::jet {

// What the translator may ask of the tables and views a query reads, to decide what DISTINCTROW
// means. Both answer without regard to case; an unset function knows nothing.
struct Schema {
    // Field names of a table or view; nothing when no such table or view exists (yet).
    std::function<std::optional<std::vector<std::string>>(std::string_view)> champs;
    // Fields of a table's primary key; empty for a view or a table without one.
    std::function<std::vector<std::string>(std::string_view)> clePrimaire;
};

// A translation of Jet SQL into SQLite, or why there is none.
struct Traduction {
    std::string sql;
    std::string raison;
    bool ok() const { return raison.empty(); }
};

// One expression, e.g. `[FirstName] & " " & [LastName]`.
Traduction traduitExpression(std::string_view jet);
// A SELECT statement (UNIONs allowed), as Access writes it in SQL view.
Traduction traduitSelect(std::string_view jet, const Schema &schema = {});

// One row of the system table MSysQueries, where Jet keeps a saved query as pieces.
struct LigneRequete {
    int attribut = 0;
    std::string nom1, nom2, expression;
    std::optional<int> drapeau;
    std::string ordre; // the binary Order field: sorts the rows of one attribute
};

// A saved query rebuilt from its MSysQueries rows and translated into one SQLite SELECT.
// Select and union queries translate; crosstab and action queries, parameters, references to
// forms and constructs without an SQLite equivalent give a reason instead.
Traduction traduitRequete(std::vector<LigneRequete> lignes, const Schema &schema = {});

} // namespace tarvenko::jet
