#include "knowledge/delta/delta_texte.h"
#include "knowledge/text.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace tarvenko::delta {

namespace {

void ajouteUtf8(std::string &out, std::uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// 0x80 … 0x9F of code page 1252; the five bytes it leaves undefined keep their C1 code point.
constexpr std::uint16_t kHaut[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                     0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::uint32_t point1252(unsigned char o) { return (o >= 0x80 && o < 0xA0) ? kHaut[o - 0x80] : o; }

bool lettre(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool chiffre(char c) { return c >= '0' && c <= '9'; }
bool blanc(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Length of the UTF-8 character starting at `c`.
std::size_t longueurUtf8(unsigned char c) { return c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4; }

std::string replie(std::string_view texte)
{
    std::string out;
    bool espace = false;
    for (char c : texte) {
        if (blanc(c)) {
            espace = !out.empty();
            continue;
        }
        if (espace)
            out += ' ';
        espace = false;
        out += c;
    }
    return out;
}

// What a typesetting word stands for in plain text.
const char *motTypographique(std::string_view mot)
{
    struct Mot {
        std::string_view nom;
        const char *texte;
    };
    static constexpr Mot mots[] = {{"emdash", "\u2014"},    {"endash", "\u2013"}, {"ldblquote", "\u201C"},
                                   {"rdblquote", "\u201D"}, {"lquote", "\u2018"}, {"rquote", "\u2019"},
                                   {"bullet", "\u2022"},    {"par", " "},         {"line", " "},
                                   {"tab", " "},            {"page", " "}};
    for (const Mot &m : mots)
        if (m.nom == mot)
            return m.texte;
    return "";
}

int hexa(char c)
{
    if (chiffre(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::vector<bool> ouvrantsOrphelins(std::string_view texte)
{
    std::vector<bool> orphelin(texte.size(), false);
    std::vector<std::size_t> pile;
    for (std::size_t i = 0; i < texte.size(); ++i) {
        if (texte[i] == '<')
            pile.push_back(i);
        else if (texte[i] == '>' && !pile.empty())
            pile.pop_back();
    }
    for (std::size_t i : pile)
        orphelin[i] = true;
    return orphelin;
}

std::string depuisCp1252(std::string_view octets)
{
    std::string out;
    out.reserve(octets.size() + octets.size() / 16);
    for (char c : octets)
        ajouteUtf8(out, point1252(static_cast<unsigned char>(c)));
    return out;
}

std::size_t finCommentaire(std::string_view texte, std::size_t debut)
{
    int profondeur = 0;
    for (std::size_t i = debut; i < texte.size(); ++i) {
        if (texte[i] == '<')
            ++profondeur;
        else if (texte[i] == '>' && --profondeur == 0)
            return i + 1;
    }
    return std::string_view::npos;
}

std::string sansMarques(std::string_view t)
{
    std::string out;
    out.reserve(t.size());
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] != '\\' || i + 1 >= t.size()) {
            out += t[i];
            continue;
        }
        const char n = t[i + 1];
        if (n == '\\' || n == '{' || n == '}') {
            out += n;
            ++i;
        } else if (n == '~') {
            out += ' ';
            ++i;
        } else if (n == '-') {
            ++i;
        } else if (n == '\'' && i + 3 < t.size() && hexa(t[i + 2]) >= 0 && hexa(t[i + 3]) >= 0) {
            ajouteUtf8(out, point1252(static_cast<unsigned char>(hexa(t[i + 2]) * 16 + hexa(t[i + 3]))));
            i += 3;
        } else if (lettre(n)) {
            std::size_t j = i + 1;
            while (j < t.size() && lettre(t[j]))
                ++j;
            const std::string_view mot = t.substr(i + 1, j - i - 1);
            const std::size_t debutNombre = j;
            if (j < t.size() && t[j] == '-')
                ++j;
            while (j < t.size() && chiffre(t[j]))
                ++j;
            const bool avecNombre = j > debutNombre && chiffre(t[j - 1]);
            if (!avecNombre)
                j = debutNombre;
            if (mot == "u" && avecNombre) {
                long code = std::strtol(std::string(t.substr(debutNombre, j - debutNombre)).c_str(), nullptr, 10);
                if (code < 0)
                    code += 65536;
                if (code > 0 && code < 0x110000)
                    ajouteUtf8(out, static_cast<std::uint32_t>(code));
                // The character after \uN stands in for it in older readers.
                if (j < t.size() && t[j] != '\\' && t[j] != '{')
                    j += longueurUtf8(static_cast<unsigned char>(t[j]));
                i = j - 1;
                continue;
            }
            out += motTypographique(mot);
            if (j + 1 < t.size() && t[j] == '{' && t[j + 1] == '}')
                j += 2;
            else if (j < t.size() && t[j] == ' ')
                ++j;
            i = j - 1;
        } else {
            // An unknown escape: the character itself.
        }
    }
    return out;
}

std::string nettoie(std::string_view texte)
{
    std::string sans;
    sans.reserve(texte.size());
    int profondeur = 0;
    const std::vector<bool> orphelin = ouvrantsOrphelins(texte);
    for (std::size_t i = 0; i < texte.size(); ++i) {
        const char c = texte[i];
        if (c == '<' && !orphelin[i]) {
            ++profondeur;
            sans += ' ';
        } else if (c == '>' && profondeur > 0) {
            --profondeur;
        } else if (profondeur == 0) {
            sans += c;
        }
    }
    return replie(sansMarques(sans));
}

std::string nettoieQuestion(std::string_view texte)
{
    std::string out;
    std::string commentaire;
    int profondeur = 0;
    const std::vector<bool> orphelin = ouvrantsOrphelins(texte);
    for (std::size_t i = 0; i < texte.size(); ++i) {
        const char c = texte[i];
        if (c == '<' && !orphelin[i]) {
            if (++profondeur == 1)
                commentaire.clear();
        } else if (c == '>' && profondeur > 0) {
            if (--profondeur == 0) {
                const std::string dedans = nettoie(commentaire);
                // A comment before the feature qualifies it ("<adaxial> ligule"): it reads as
                // part of the name, and a list sorted by name keeps it beside its organ.
                const bool enTete = replie(out).empty();
                if (!dedans.empty())
                    out += enTete ? dedans + " " : " (" + dedans + ") ";
            }
        } else if (profondeur == 1) {
            commentaire += c;
        } else if (profondeur == 0) {
            out += c;
        }
    }
    std::string net = replie(sansMarques(out));
    // "( text)" never reads well: no blank inside the parentheses.
    std::string fin;
    for (std::size_t i = 0; i < net.size(); ++i) {
        if (net[i] == ' ' && i + 1 < net.size() && (net[i + 1] == ')' || net[i + 1] == ',' || net[i + 1] == ';'))
            continue;
        fin += net[i];
    }
    return fin;
}

} // namespace tarvenko::delta
