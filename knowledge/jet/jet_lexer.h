#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvenko::jet {

// One token of Jet SQL as Access saves it.
struct Lexeme {
    enum class Genre {
        Nom,      // a bare word: keyword, function or field name
        Crochets, // a name in square brackets, brackets removed
        Texte,    // a string literal, quotes removed and doubled quotes undone
        Nombre,
        Date,     // #...#, the text between the hashes
        Symbole,  // operators and punctuation: = <> <= >= < > + - * / \ ^ & ( ) , . ! ;
        Fin,
    };
    Genre genre = Genre::Fin;
    std::string texte;

    bool estMot(std::string_view mot) const; // a bare word equal to `mot` without regard to case
    bool estSymbole(std::string_view symbole) const { return genre == Genre::Symbole && texte == symbole; }
};

// Splits Jet SQL into tokens; the last one is always Fin. Throws NonTraduisible on an unclosed
// string, bracket or date, or a character Jet SQL has no use for.
std::vector<Lexeme> decoupe(std::string_view sql);

// Why a piece of Jet SQL has no SQLite equivalent; the text is shown to the user.
struct NonTraduisible {
    std::string raison;
};

} // namespace tarvenko::jet
