#include "knowledge/jet/jet_lexer.h"

#include "knowledge/text.h"

namespace tarvenko::jet {

bool Lexeme::estMot(std::string_view mot) const
{
    return genre == Genre::Nom && minusculesAscii(texte) == minusculesAscii(mot);
}

namespace {

bool chiffre(char c) { return c >= '0' && c <= '9'; }

// Letters of names include every byte of a UTF-8 sequence, so that "Umsätze" stays one word.
bool lettre(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || u >= 0x80;
}

// A quoted literal starting at `i` (the opening quote); doubled quotes stand for one.
std::string litTexte(std::string_view sql, std::size_t &i)
{
    const char quote = sql[i++];
    std::string out;
    while (true) {
        if (i >= sql.size())
            throw NonTraduisible{"a text literal is not closed"};
        if (sql[i] == quote) {
            if (i + 1 < sql.size() && sql[i + 1] == quote) {
                out += quote;
                i += 2;
                continue;
            }
            ++i;
            return out;
        }
        out += sql[i++];
    }
}

std::string litNombre(std::string_view sql, std::size_t &i)
{
    const std::size_t debut = i;
    while (i < sql.size() && chiffre(sql[i]))
        ++i;
    if (i < sql.size() && sql[i] == '.') {
        ++i;
        while (i < sql.size() && chiffre(sql[i]))
            ++i;
    }
    if (i < sql.size() && (sql[i] == 'e' || sql[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < sql.size() && (sql[j] == '+' || sql[j] == '-'))
            ++j;
        if (j < sql.size() && chiffre(sql[j])) {
            i = j;
            while (i < sql.size() && chiffre(sql[i]))
                ++i;
        }
    }
    return std::string(sql.substr(debut, i - debut));
}

} // namespace

std::vector<Lexeme> decoupe(std::string_view sql)
{
    using Genre = Lexeme::Genre;
    std::vector<Lexeme> out;
    std::size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
        } else if (c == '"' || c == '\'') {
            out.push_back({Genre::Texte, litTexte(sql, i)});
        } else if (c == '[') {
            const std::size_t fin = sql.find(']', i + 1);
            if (fin == std::string_view::npos)
                throw NonTraduisible{"a [name] is not closed"};
            out.push_back({Genre::Crochets, std::string(sql.substr(i + 1, fin - i - 1))});
            i = fin + 1;
        } else if (c == '#') {
            const std::size_t fin = sql.find('#', i + 1);
            if (fin == std::string_view::npos)
                throw NonTraduisible{"a #date# is not closed"};
            out.push_back({Genre::Date, std::string(sql.substr(i + 1, fin - i - 1))});
            i = fin + 1;
        } else if (chiffre(c) || (c == '.' && i + 1 < sql.size() && chiffre(sql[i + 1]))) {
            out.push_back({Genre::Nombre, litNombre(sql, i)});
        } else if (lettre(c)) {
            const std::size_t debut = i;
            while (i < sql.size() && (lettre(sql[i]) || chiffre(sql[i])))
                ++i;
            // VBA's text functions may end in $ (Left$, UCase$).
            if (i < sql.size() && sql[i] == '$')
                ++i;
            out.push_back({Genre::Nom, std::string(sql.substr(debut, i - debut))});
        } else if ((c == '<' || c == '>') && i + 1 < sql.size() &&
                   (sql[i + 1] == '=' || (c == '<' && sql[i + 1] == '>'))) {
            out.push_back({Genre::Symbole, std::string(sql.substr(i, 2))});
            i += 2;
        } else if (std::string_view("=<>+-*/\\^&(),.!;").find(c) != std::string_view::npos) {
            out.push_back({Genre::Symbole, std::string(1, c)});
            ++i;
        } else {
            throw NonTraduisible{std::string("unexpected character '") + c + "'"};
        }
    }
    out.push_back({Genre::Fin, {}});
    return out;
}

} // namespace tarvenko::jet
