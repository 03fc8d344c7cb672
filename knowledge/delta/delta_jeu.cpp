#include "knowledge/delta/delta_jeu.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "knowledge/delta/delta_texte.h"
#include "knowledge/text.h"

namespace tarvenko::delta {

namespace fs = std::filesystem;

bool estMultiEtat(Type t) { return t == Type::UM || t == Type::OM; }
bool estNumerique(Type t) { return t == Type::IN || t == Type::RN; }

const char *nomType(Type t)
{
    switch (t) {
    case Type::UM: return "UM";
    case Type::OM: return "OM";
    case Type::IN: return "IN";
    case Type::RN: return "RN";
    case Type::TE: return "TE";
    }
    return "";
}

std::string Probleme::message() const
{
    std::string m = fichier;
    if (ligne > 0)
        m += ", line " + std::to_string(ligne);
    if (!directive.empty())
        m += ", " + directive;
    return m + ": " + texte;
}

namespace {

bool blanc(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool majuscule(char c) { return c >= 'A' && c <= 'Z'; }
bool chiffre(char c) { return c >= '0' && c <= '9'; }

// A directive file read whole, its text in UTF-8.
struct Fichier {
    std::string nom; // as the folder spells it
    std::string texte;
    std::vector<std::size_t> lignes; // offset of each line's start

    int ligneDe(std::size_t position) const
    {
        return static_cast<int>(std::upper_bound(lignes.begin(), lignes.end(), position) - lignes.begin());
    }
};

struct Directive {
    std::string nom; // "*CHARACTER LIST", the words as the known directive spells them
    std::size_t debut = 0, fin = 0; // its data in the file's text
    int ligne = 0;
};

// The directives this reader knows by name; only the first three letters of each word count.
constexpr const char *kConnues[] = {
    "NUMBER OF CHARACTERS", "MAXIMUM NUMBER OF STATES", "MAXIMUM NUMBER OF ITEMS", "CHARACTER TYPES",
    "NUMBERS OF STATES", "IMPLICIT VALUES", "DEPENDENT CHARACTERS", "CHARACTER RELIABILITIES", "CHARACTER LIST",
    "ITEM DESCRIPTIONS", "CHARACTER NOTES", "CHARACTER IMAGES", "TAXON IMAGES", "CHARACTER HEADINGS",
    "ITEM HEADINGS", "INPUT FILE", "COMMENT", "SHOW", "HEADING", "DATA BUFFER SIZE", "MANDATORY CHARACTERS",
    "REGISTRATION SUBHEADING", "LISTING FILE", "ITEM SUBHEADINGS", "EXCLUDE CHARACTERS", "EXCLUDE ITEMS",
    "IMAGE DIRECTORY", "CHARACTER WEIGHTS", "KEY STATES", "OUTPUT FILE", "PRINT WIDTH"};

std::vector<std::string> mots(const std::string &nom)
{
    std::vector<std::string> out;
    std::istringstream in(nom);
    for (std::string m; in >> m;)
        out.push_back(m);
    return out;
}

bool memesMots(const std::string &a, const std::string &b) { return a.substr(0, 3) == b.substr(0, 3); }

std::vector<Directive> directives(const Fichier &f)
{
    const std::string &t = f.texte;
    std::vector<Directive> out;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] != '*' || (i > 0 && !blanc(t[i - 1])))
            continue;
        std::size_t j = i + 1;
        if (j < t.size() && t[j] == ' ')
            ++j;
        if (j >= t.size() || !majuscule(t[j]))
            continue;
        // Up to four upper-case words on the star's line.
        std::vector<std::pair<std::string, std::size_t>> lus; // word, end offset
        while (lus.size() < 4 && j < t.size() && majuscule(t[j])) {
            std::size_t k = j;
            while (k < t.size() && (majuscule(t[k]) || t[k] == '-'))
                ++k;
            if (k < t.size() && !blanc(t[k]))
                break;
            lus.emplace_back(t.substr(j, k - j), k);
            j = k;
            while (j < t.size() && (t[j] == ' ' || t[j] == '\t'))
                ++j;
        }
        if (lus.empty())
            continue;
        std::size_t pris = 0;
        std::string nom;
        for (const char *connue : kConnues) {
            const std::vector<std::string> m = mots(connue);
            if (m.size() <= pris || m.size() > lus.size())
                continue;
            bool ok = true;
            for (std::size_t w = 0; w < m.size() && ok; ++w)
                ok = memesMots(m[w], lus[w].first);
            if (ok) {
                pris = m.size();
                nom = connue;
            }
        }
        if (pris == 0) {
            pris = lus.size();
            for (const auto &[m, fin] : lus)
                nom += (nom.empty() ? "" : " ") + m;
        }
        if (!out.empty())
            out.back().fin = i;
        Directive d;
        d.nom = "*" + nom;
        d.debut = lus[pris - 1].second;
        d.fin = t.size();
        d.ligne = f.ligneDe(i);
        out.push_back(d);
        i = d.debut - 1;
    }
    return out;
}

bool litFichier(const std::string &chemin, const std::string &nom, Fichier &f)
{
    std::ifstream in(chemin, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream octets;
    octets << in.rdbuf();
    f.nom = nom;
    f.texte = depuisCp1252(octets.str());
    f.lignes.push_back(0);
    for (std::size_t i = 0; i < f.texte.size(); ++i)
        if (f.texte[i] == '\n')
            f.lignes.push_back(i + 1);
    return true;
}

// A whitespace-separated token of a directive's data, comments left out.
struct Jeton {
    std::string texte;
    std::size_t position;
};

std::vector<Jeton> jetons(const std::string &t, std::size_t debut, std::size_t fin)
{
    std::vector<Jeton> out;
    std::size_t i = debut;
    while (i < fin) {
        if (blanc(t[i])) {
            ++i;
            continue;
        }
        if (t[i] == '<') {
            const std::size_t f = finCommentaire(std::string_view(t).substr(0, fin), i);
            i = f == std::string_view::npos ? fin : f;
            continue;
        }
        const std::size_t s = i;
        while (i < fin && !blanc(t[i]) && t[i] != '<')
            ++i;
        out.push_back({t.substr(s, i - s), s});
    }
    return out;
}

std::optional<int> entier(const std::string &s)
{
    if (s.empty() || s.size() > 9 || !std::all_of(s.begin(), s.end(), [](char c) { return chiffre(c); }))
        return std::nullopt;
    return std::stoi(s);
}

std::optional<double> reel(const std::string &s)
{
    if (s.empty())
        return std::nullopt;
    char *fin = nullptr;
    const double v = std::strtod(s.c_str(), &fin);
    if (fin != s.c_str() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// "12" or "12-15".
std::optional<std::pair<int, int>> plage(const std::string &s)
{
    const auto tiret = s.find('-');
    if (tiret == std::string::npos) {
        const auto n = entier(s);
        return n ? std::optional(std::pair(*n, *n)) : std::nullopt;
    }
    const auto a = entier(s.substr(0, tiret));
    const auto b = entier(s.substr(tiret + 1));
    if (!a || !b || *a > *b)
        return std::nullopt;
    return std::pair(*a, *b);
}

// The entries of a list directive: each starts with '#' as the first non-blank of a line.
std::vector<std::pair<std::size_t, std::size_t>> entrees(const std::string &t, std::size_t debut, std::size_t fin)
{
    std::vector<std::size_t> starts;
    bool debutLigne = true;
    for (std::size_t i = debut; i < fin; ++i) {
        const char c = t[i];
        if (c == '#' && debutLigne)
            starts.push_back(i);
        if (c == '\n')
            debutLigne = true;
        else if (!blanc(c))
            debutLigne = false;
    }
    std::vector<std::pair<std::size_t, std::size_t>> out;
    for (std::size_t k = 0; k < starts.size(); ++k)
        out.emplace_back(starts[k], k + 1 < starts.size() ? starts[k + 1] : fin);
    return out;
}

// Splits the text of an entry into its parts, each ended by a '/' outside comments followed by a
// blank or the end. `ouvert` tells an unterminated comment, at `reste`; its '<' is taken as written.
std::vector<std::pair<std::string, std::size_t>> parties(const std::string &t, std::size_t debut, std::size_t fin,
                                                         bool &ouvert, std::size_t &reste)
{
    std::vector<std::pair<std::string, std::size_t>> out;
    int profondeur = 0;
    std::size_t s = debut;
    const std::vector<bool> orphelin = ouvrantsOrphelins(std::string_view(t).substr(debut, fin - debut));
    ouvert = std::find(orphelin.begin(), orphelin.end(), true) != orphelin.end();
    if (ouvert)
        reste = debut + static_cast<std::size_t>(std::find(orphelin.begin(), orphelin.end(), true) - orphelin.begin());
    for (std::size_t i = debut; i < fin; ++i) {
        if (t[i] == '<' && !orphelin[i - debut])
            ++profondeur;
        else if (t[i] == '>' && profondeur > 0)
            --profondeur;
        else if (t[i] == '/' && profondeur == 0 && (i + 1 == fin || blanc(t[i + 1]))) {
            out.emplace_back(t.substr(s, i - s), s);
            s = i + 1;
        }
    }
    if (!ouvert)
        reste = s;
    return out;
}

std::string trim(const std::string &s)
{
    std::size_t a = 0, b = s.size();
    while (a < b && blanc(s[a]))
        ++a;
    while (b > a && blanc(s[b - 1]))
        --b;
    return s.substr(a, b - a);
}

// "#12. text" → 12 and the offset after the '.'; "#71-76." gives 71 and `dernier` 76.
std::optional<int> numeroEntree(const std::string &t, std::size_t debut, std::size_t fin, std::size_t &apres,
                                int *dernier = nullptr)
{
    std::size_t i = debut + 1;
    while (i < fin && blanc(t[i]))
        ++i;
    const std::size_t s = i;
    while (i < fin && (chiffre(t[i]) || (dernier && t[i] == '-')))
        ++i;
    if (i == s || i >= fin || t[i] != '.')
        return std::nullopt;
    apres = i + 1;
    const auto p = plage(t.substr(s, i - s));
    if (!p)
        return std::nullopt;
    if (dernier)
        *dernier = p->second;
    return p->first;
}

class Lecteur {
public:
    Lecteur(Jeu &jeu) : m_jeu(jeu) {}

    void probleme(const Fichier &f, std::size_t position, const Directive &d, const std::string &texte)
    {
        m_jeu.problemes.push_back({f.nom, f.ligneDe(position), d.nom, texte});
    }

    bool numeroValide(const Fichier &f, std::size_t pos, const Directive &d, int n)
    {
        if (n >= 1 && n <= m_jeu.nbCaracteres)
            return true;
        probleme(f, pos, d, "character " + std::to_string(n) + " beyond the " + std::to_string(m_jeu.nbCaracteres) +
                                " characters");
        return false;
    }

    Caractere &car(int n) { return m_jeu.caracteres[static_cast<std::size_t>(n - 1)]; }

    // "range,value" lists of the specifications.
    template <typename F>
    void paires(const Fichier &f, const Directive &d, F &&applique)
    {
        for (const Jeton &j : jetons(f.texte, d.debut, d.fin)) {
            const auto virgule = j.texte.find(',');
            const auto p = virgule == std::string::npos ? std::nullopt : plage(j.texte.substr(0, virgule));
            if (!p) {
                probleme(f, j.position, d, "'" + j.texte + "' is not CHARACTER,VALUE");
                continue;
            }
            if (!numeroValide(f, j.position, d, p->first) || !numeroValide(f, j.position, d, p->second))
                continue;
            const std::string v = j.texte.substr(virgule + 1);
            for (int c = p->first; c <= p->second; ++c)
                if (!applique(c, v)) {
                    probleme(f, j.position, d, "'" + v + "' is not a value for character " + std::to_string(c));
                    break;
                }
        }
    }

    bool directive(const Fichier &f, const Directive &d, std::string &erreur)
    {
        const std::string &t = f.texte;
        const std::string &n = d.nom;
        if (n == "*NUMBER OF CHARACTERS" || n == "*MAXIMUM NUMBER OF STATES" || n == "*MAXIMUM NUMBER OF ITEMS") {
            const auto js = jetons(t, d.debut, d.fin);
            const auto v = js.empty() ? std::nullopt : entier(js.front().texte);
            if (!v) {
                erreur = Probleme{f.nom, d.ligne, n, "a number is expected"}.message();
                return n != "*NUMBER OF CHARACTERS";
            }
            if (n == "*NUMBER OF CHARACTERS")
                ; // read first, before every other directive
            else if (n == "*MAXIMUM NUMBER OF STATES")
                m_jeu.maxEtats = *v;
            else
                m_jeu.maxItems = *v;
        } else if (n == "*CHARACTER TYPES") {
            paires(f, d, [&](int c, const std::string &v) {
                static const std::pair<const char *, Type> types[] = {
                    {"UM", Type::UM}, {"OM", Type::OM}, {"IN", Type::IN}, {"RN", Type::RN}, {"TE", Type::TE}};
                for (const auto &[nom, type] : types)
                    if (v == nom) {
                        car(c).type = type;
                        return true;
                    }
                return false;
            });
        } else if (n == "*NUMBERS OF STATES") {
            paires(f, d, [&](int c, const std::string &v) {
                const auto e = entier(v);
                if (!e || *e < 1)
                    return false;
                car(c).nbEtats = *e;
                return true;
            });
        } else if (n == "*IMPLICIT VALUES") {
            paires(f, d, [&](int c, const std::string &v) {
                // "i" or "i:j"; j only matters to printed descriptions.
                const auto e = entier(v.substr(0, v.find(':')));
                if (!e || *e < 1)
                    return false;
                car(c).implicite = *e;
                return true;
            });
        } else if (n == "*CHARACTER RELIABILITIES") {
            paires(f, d, [&](int c, const std::string &v) {
                const auto r = reel(v);
                if (!r || *r < 0)
                    return false;
                car(c).fiabilite = *r;
                return true;
            });
        } else if (n == "*DEPENDENT CHARACTERS") {
            dependances(f, d);
        } else if (n == "*CHARACTER LIST") {
            return listeCaracteres(f, d, erreur);
        } else if (n == "*ITEM DESCRIPTIONS") {
            descriptions(f, d);
        } else if (n == "*CHARACTER NOTES" || n == "*CHARACTER HEADINGS" || n == "*CHARACTER IMAGES" ||
                   n == "*ITEM HEADINGS") {
            parCaractere(f, d);
        } else if (n == "*TAXON IMAGES") {
            imagesTaxons(f, d);
        } else if (n == "*INPUT FILE") {
            // Followed by the caller.
        } else if (n != "*COMMENT") {
            ++m_jeu.directivesInutilisees[n];
        }
        return true;
    }

    void dependances(const Fichier &f, const Directive &d)
    {
        for (const Jeton &j : jetons(f.texte, d.debut, d.fin)) {
            Dependance dep;
            const auto virgule = j.texte.find(',');
            const auto c = virgule == std::string::npos ? std::nullopt : entier(j.texte.substr(0, virgule));
            std::vector<std::string> morceaux;
            std::istringstream in(virgule == std::string::npos ? std::string() : j.texte.substr(virgule + 1));
            for (std::string m; std::getline(in, m, ':');)
                morceaux.push_back(m);
            bool ok = c && morceaux.size() >= 2;
            if (ok) {
                dep.controle = *c;
                std::istringstream etats(morceaux[0]);
                for (std::string e; ok && std::getline(etats, e, '/');) {
                    const auto p = plage(e);
                    ok = p.has_value();
                    for (int s = p ? p->first : 1; ok && s <= p->second; ++s)
                        dep.etats.push_back(s);
                }
                for (std::size_t k = 1; ok && k < morceaux.size(); ++k) {
                    const auto p = plage(morceaux[k]);
                    ok = p.has_value();
                    for (int s = p ? p->first : 1; ok && s <= p->second; ++s)
                        dep.dependants.push_back(s);
                }
            }
            if (!ok) {
                probleme(f, j.position, d, "'" + j.texte + "' is not CHARACTER,STATES:CHARACTERS");
                continue;
            }
            bool valide = numeroValide(f, j.position, d, dep.controle);
            for (int x : dep.dependants)
                valide = valide && numeroValide(f, j.position, d, x);
            if (!valide)
                continue;
            const Caractere &ctl = car(dep.controle);
            if (!estMultiEtat(ctl.type)) {
                probleme(f, j.position, d, "character " + std::to_string(dep.controle) + " has no states");
                continue;
            }
            if (std::any_of(dep.etats.begin(), dep.etats.end(), [&](int s) { return s < 1 || s > ctl.nbEtats; })) {
                probleme(f, j.position, d, "'" + j.texte + "' names a state beyond the " + std::to_string(ctl.nbEtats) +
                                               " of character " + std::to_string(dep.controle));
                continue;
            }
            m_jeu.dependances.push_back(dep);
        }
    }

    bool listeCaracteres(const Fichier &f, const Directive &d, std::string &erreur)
    {
        const std::string &t = f.texte;
        int lus = 0;
        std::set<int> vus;
        for (const auto &[debut, fin] : entrees(t, d.debut, d.fin)) {
            std::size_t apres = 0;
            const auto numero = numeroEntree(t, debut, fin, apres);
            if (!numero) {
                probleme(f, debut, d, "a character is expected as #NUMBER.");
                continue;
            }
            ++lus;
            if (!numeroValide(f, debut, d, *numero))
                continue;
            if (!vus.insert(*numero).second) {
                probleme(f, debut, d, "character " + std::to_string(*numero) + " described twice");
                continue;
            }
            bool ouvert = false;
            std::size_t reste = 0;
            const auto p = parties(t, apres, fin, ouvert, reste);
            if (ouvert) {
                probleme(f, reste, d, "unterminated comment in character " + std::to_string(*numero) +
                                          "; its '<' is taken as written");
            }
            Caractere &c = car(*numero);
            if (p.empty()) {
                c.texte = trim(t.substr(apres, fin - apres));
                continue;
            }
            c.texte = trim(p[0].first);
            if (estNumerique(c.type) && p.size() > 1)
                c.unite = nettoie(p[1].first);
            if (!estMultiEtat(c.type))
                continue;
            for (std::size_t k = 1; k < p.size(); ++k) {
                const std::string partie = trim(p[k].first);
                std::size_t apresEtat = 0;
                const std::string avecDiese = "#" + partie;
                const auto e = numeroEntree(avecDiese, 0, avecDiese.size(), apresEtat);
                if (!e || *e != static_cast<int>(c.etats.size()) + 1) {
                    probleme(f, p[k].second, d,
                             "state " + std::to_string(c.etats.size() + 1) + " of character " +
                                 std::to_string(*numero) + " is expected");
                    break;
                }
                c.etats.push_back(trim(avecDiese.substr(apresEtat)));
            }
            if (static_cast<int>(c.etats.size()) != c.nbEtats) {
                probleme(f, debut, d,
                         "character " + std::to_string(*numero) + " lists " + std::to_string(c.etats.size()) +
                             " states where *NUMBERS OF STATES gives " + std::to_string(c.nbEtats));
                c.nbEtats = std::max(c.nbEtats, static_cast<int>(c.etats.size()));
            }
        }
        if (lus != m_jeu.nbCaracteres) {
            erreur = Probleme{f.nom, d.ligne, d.nom,
                              "the list holds " + std::to_string(lus) + " characters where *NUMBER OF CHARACTERS gives " +
                                  std::to_string(m_jeu.nbCaracteres)}
                         .message();
            return false;
        }
        m_listeLue = true;
        return true;
    }

    void descriptions(const Fichier &f, const Directive &d)
    {
        const std::string &t = f.texte;
        for (const auto &[debut, fin] : entrees(t, d.debut, d.fin)) {
            bool ouvert = false;
            std::size_t reste = 0;
            auto p = parties(t, debut + 1, fin, ouvert, reste);
            if (p.empty()) {
                probleme(f, debut, d, ouvert ? "unterminated comment in the item's name" : "an item name ending with '/' is expected");
                ++m_jeu.itemsIgnores;
                continue;
            }
            Item item;
            item.nom = trim(p[0].first);
            item.ligne = f.ligneDe(debut);
            if (nettoie(item.nom).empty()) {
                probleme(f, debut, d, "an item without a name");
                ++m_jeu.itemsIgnores;
                continue;
            }
            attributs(f, d, p[0].second + p[0].first.size() + 1, fin, item);
            m_jeu.items.push_back(std::move(item));
        }
    }

    void attributs(const Fichier &f, const Directive &d, std::size_t debut, std::size_t fin, Item &item)
    {
        const std::string &t = f.texte;
        std::size_t i = debut;
        std::set<int> codes;
        // A '<' never closed opens no comment: only its attribute is lost, not the rest of the item.
        const std::vector<bool> orphelin = ouvrantsOrphelins(std::string_view(t).substr(debut, fin - debut));
        while (i < fin) {
            if (blanc(t[i])) {
                ++i;
                continue;
            }
            const std::size_t s = i;
            int profondeur = 0;
            bool ouvert = false;
            while (i < fin && (profondeur > 0 || !blanc(t[i]))) {
                if (t[i] == '<' && orphelin[i - debut])
                    ouvert = true;
                else if (t[i] == '<')
                    ++profondeur;
                else if (t[i] == '>' && profondeur > 0)
                    --profondeur;
                ++i;
            }
            ++m_jeu.attributsLus;
            if (ouvert) {
                probleme(f, s, d, "unterminated comment in an attribute of " + nettoie(item.nom));
                ++m_jeu.attributsIgnores;
                continue;
            }
            const std::string a = t.substr(s, i - s);
            std::size_t k = 0;
            while (k < a.size() && chiffre(a[k]))
                ++k;
            const auto c = entier(a.substr(0, k));
            if (!c) {
                probleme(f, s, d, "'" + nettoie(a) + "' of " + nettoie(item.nom) + " does not start with a character number");
                ++m_jeu.attributsIgnores;
                continue;
            }
            if (*c < 1 || *c > m_jeu.nbCaracteres) {
                probleme(f, s, d, "attribute of " + nettoie(item.nom) + " names character " + std::to_string(*c) +
                                      " beyond the " + std::to_string(m_jeu.nbCaracteres) + " characters");
                ++m_jeu.attributsIgnores;
                continue;
            }
            Attribut at;
            at.caractere = *c;
            at.ligne = f.ligneDe(s);
            while (k < a.size() && a[k] == '<') {
                const std::size_t e = finCommentaire(a, k);
                at.commentaire += (at.commentaire.empty() ? "" : " ") + a.substr(k + 1, e - k - 2);
                k = e;
            }
            if (k < a.size()) {
                if (a[k] != ',') {
                    probleme(f, s, d, "'" + nettoie(a) + "' of " + nettoie(item.nom) + " is not CHARACTER,VALUE");
                    ++m_jeu.attributsIgnores;
                    continue;
                }
                at.valeur = a.substr(k + 1);
            }
            const Caractere &car = m_jeu.caractere(*c);
            if (!at.valeur.empty() && car.type != Type::TE) {
                const Valeur v = interpreteValeur(car, at.valeur);
                if (!v.erreur.empty()) {
                    probleme(f, s, d, "attribute " + nettoie(a) + " of " + nettoie(item.nom) + ": " + v.erreur);
                    ++m_jeu.attributsIgnores;
                    continue;
                }
            }
            if (!codes.insert(*c).second) {
                probleme(f, s, d, nettoie(item.nom) + " codes character " + std::to_string(*c) + " twice; the first is kept");
                ++m_jeu.attributsIgnores;
                continue;
            }
            item.attributs.push_back(std::move(at));
        }
    }

    // "#n. text" entries: notes, headings, pictures of characters, headings of items.
    void parCaractere(const Fichier &f, const Directive &d)
    {
        const std::string &t = f.texte;
        for (const auto &[debut, fin] : entrees(t, d.debut, d.fin)) {
            std::size_t apres = 0;
            int dernier = 0;
            const auto numero = numeroEntree(t, debut, fin, apres, &dernier);
            const std::string texte = trim(t.substr(apres, fin - apres));
            if (!numero) {
                probleme(f, debut, d, "#NUMBER. is expected");
                continue;
            }
            if (d.nom == "*ITEM HEADINGS") {
                if (*numero < 1 || *numero > static_cast<int>(m_jeu.items.size())) {
                    probleme(f, debut, d, "item " + std::to_string(*numero) + " beyond the " +
                                              std::to_string(m_jeu.items.size()) + " items");
                    continue;
                }
                m_rubriquesItems[*numero] = texte;
                continue;
            }
            if (!numeroValide(f, debut, d, *numero) || !numeroValide(f, debut, d, dernier))
                continue;
            if (d.nom == "*CHARACTER HEADINGS") {
                m_rubriques[*numero] = texte;
                continue;
            }
            for (int n = *numero; n <= dernier; ++n) {
                if (d.nom == "*CHARACTER NOTES")
                    car(n).notes = texte;
                else
                    for (const Jeton &j : jetons(t, apres, fin))
                        car(n).images.push_back(j.texte);
            }
        }
    }

    void imagesTaxons(const Fichier &f, const Directive &d)
    {
        const std::string &t = f.texte;
        for (const auto &[debut, fin] : entrees(t, d.debut, d.fin)) {
            bool ouvert = false;
            std::size_t reste = 0;
            const auto p = parties(t, debut + 1, fin, ouvert, reste);
            if (p.empty()) {
                probleme(f, debut, d, "an item name ending with '/' is expected");
                continue;
            }
            const std::string nom = nettoie(p[0].first);
            const auto it = std::find_if(m_jeu.items.begin(), m_jeu.items.end(),
                                         [&](const Item &i) { return nettoie(i.nom) == nom; });
            if (it == m_jeu.items.end()) {
                probleme(f, debut, d, "no item named " + nom);
                continue;
            }
            for (const Jeton &j : jetons(t, p[0].second + p[0].first.size() + 1, fin))
                it->images.push_back(j.texte);
        }
    }

    // Headings apply from their character (item) to the next heading.
    void termine()
    {
        std::string courante;
        for (int c = 1; c <= m_jeu.nbCaracteres; ++c) {
            if (const auto it = m_rubriques.find(c); it != m_rubriques.end())
                courante = it->second;
            car(c).rubrique = courante;
        }
        courante.clear();
        for (std::size_t i = 0; i < m_jeu.items.size(); ++i) {
            if (const auto it = m_rubriquesItems.find(static_cast<int>(i) + 1); it != m_rubriquesItems.end())
                courante = it->second;
            m_jeu.items[i].rubrique = courante;
        }
    }

    bool listeLue() const { return m_listeLue; }

private:
    Jeu &m_jeu;
    std::map<int, std::string> m_rubriques, m_rubriquesItems;
    bool m_listeLue = false;
};

} // namespace

std::string fichierDans(const std::string &dossier, const std::string &nom)
{
    std::error_code ec;
    const std::string voulu = minusculesAscii(nom);
    for (const auto &e : fs::directory_iterator(dossier, ec)) {
        if (minusculesAscii(e.path().filename().string()) == voulu && e.is_regular_file(ec))
            return e.path().string();
    }
    return {};
}

bool estDossierDelta(const std::string &dossier)
{
    std::error_code ec;
    if (!fs::is_directory(dossier, ec))
        return false;
    for (const char *nom : {"specs", "chars", "items"})
        if (fichierDans(dossier, nom).empty())
            return false;
    return true;
}

bool litJeu(const std::string &dossier, Jeu &jeu, std::string &erreur)
{
    jeu = Jeu{};
    jeu.dossier = dossier;
    std::error_code ec;
    if (!fs::is_directory(dossier, ec)) {
        erreur = dossier + ": no such folder";
        return false;
    }
    std::vector<std::string> aLire;
    for (const char *nom : {"specs", "chars", "items"}) {
        const std::string chemin = fichierDans(dossier, nom);
        if (chemin.empty()) {
            erreur = dossier + ": no " + nom + " file (a DELTA dataset holds specs, chars and items)";
            return false;
        }
        aLire.push_back(chemin);
    }
    for (const char *nom : {"toint", "cnotes", "cimages", "timages", "headc"})
        if (const std::string chemin = fichierDans(dossier, nom); !chemin.empty())
            aLire.push_back(chemin);

    // Every file once, each followed by the files it names with *INPUT FILE.
    std::vector<Fichier> fichiers;
    std::set<std::string> vus;
    std::vector<std::vector<Directive>> listes;
    for (std::size_t k = 0; k < aLire.size(); ++k) {
        const std::string canon = fs::weakly_canonical(aLire[k], ec).string();
        if (!vus.insert(canon).second)
            continue;
        Fichier f;
        if (!litFichier(aLire[k], fs::path(aLire[k]).filename().string(), f)) {
            if (k < 3) {
                erreur = aLire[k] + ": cannot be read";
                return false;
            }
            continue;
        }
        jeu.fichiersLus.push_back(f.nom);
        std::vector<Directive> ds = directives(f);
        std::vector<std::string> inclus;
        for (const Directive &d : ds)
            if (d.nom == "*INPUT FILE") {
                const auto js = jetons(f.texte, d.debut, d.fin);
                if (!js.empty())
                    if (const std::string chemin = fichierDans(dossier, js.front().texte); !chemin.empty())
                        inclus.push_back(chemin);
            }
        aLire.insert(aLire.begin() + static_cast<std::ptrdiff_t>(k) + 1, inclus.begin(), inclus.end());
        fichiers.push_back(std::move(f));
        listes.push_back(std::move(ds));
    }

    // The number of characters first: every other directive is read against it.
    bool nombre = false;
    for (std::size_t k = 0; k < fichiers.size() && !nombre; ++k)
        for (const Directive &d : listes[k])
            if (d.nom == "*NUMBER OF CHARACTERS") {
                const auto js = jetons(fichiers[k].texte, d.debut, d.fin);
                const auto n = js.empty() ? std::nullopt : entier(js.front().texte);
                if (!n || *n < 1) {
                    erreur = Probleme{fichiers[k].nom, d.ligne, d.nom, "a number of characters is expected"}.message();
                    return false;
                }
                jeu.nbCaracteres = *n;
                nombre = true;
                break;
            }
    if (!nombre) {
        erreur = fichierDans(dossier, "specs") + ": no *NUMBER OF CHARACTERS";
        return false;
    }
    jeu.caracteres.resize(static_cast<std::size_t>(jeu.nbCaracteres));

    Lecteur lecteur(jeu);
    for (std::size_t k = 0; k < fichiers.size(); ++k)
        for (const Directive &d : listes[k])
            if (!lecteur.directive(fichiers[k], d, erreur))
                return false;
    if (!lecteur.listeLue()) {
        erreur = fichierDans(dossier, "chars") + ": no *CHARACTER LIST";
        return false;
    }
    lecteur.termine();
    if (jeu.maxItems > 0 && static_cast<int>(jeu.items.size()) > jeu.maxItems)
        jeu.problemes.push_back({"specs", 0, "*MAXIMUM NUMBER OF ITEMS",
                                 std::to_string(jeu.items.size()) + " items where at most " +
                                     std::to_string(jeu.maxItems) + " were announced; all are kept"});
    return true;
}

namespace {

// The numbers of a numeric value, each with whether it stood in parentheses.
void nombres(const std::string &texte, std::vector<double> &out, std::string &erreur)
{
    std::size_t i = 0;
    while (i < texte.size()) {
        const char c = texte[i];
        if (chiffre(c) || (c == '.' && i + 1 < texte.size() && chiffre(texte[i + 1])) ||
            (c == '-' && i == 0 && i + 1 < texte.size() && chiffre(texte[i + 1]))) {
            const char *debut = texte.c_str() + i;
            char *fin = nullptr;
            const double v = std::strtod(debut, &fin);
            out.push_back(v);
            i += static_cast<std::size_t>(fin - debut);
            continue;
        }
        if (c != '-' && c != '(' && c != ')' && c != '~' && !blanc(c) && c != '+') {
            erreur = std::string("'") + c + "' in a number";
            return;
        }
        ++i;
    }
}

} // namespace

Valeur interpreteValeur(const Caractere &c, const std::string &valeur)
{
    Valeur v;
    const std::string net = nettoie(valeur);
    std::string sans;
    for (char ch : net)
        if (!blanc(ch))
            sans += ch;
    if (sans == "U" || sans == "-" || sans == "V" || sans.empty()) {
        v.tous = true;
        v.inapplicable = sans == "-";
        return v;
    }
    if (estNumerique(c.type)) {
        std::vector<double> ns;
        std::istringstream alternatives(sans);
        std::replace(sans.begin(), sans.end(), '&', '/');
        alternatives.str(sans);
        for (std::string alt; std::getline(alternatives, alt, '/');) {
            if (alt == "U" || alt == "V" || alt == "-")
                continue;
            nombres(alt, ns, v.erreur);
            if (!v.erreur.empty())
                return v;
        }
        if (ns.empty()) {
            v.tous = true;
            return v;
        }
        v.minimum = *std::min_element(ns.begin(), ns.end());
        v.maximum = *std::max_element(ns.begin(), ns.end());
        return v;
    }
    if (!estMultiEtat(c.type)) {
        v.tous = true;
        return v;
    }
    std::set<int> etats;
    std::string morceau;
    const auto ajoute = [&](const std::string &m) {
        if (m.empty())
            return;
        if (m == "U" || m == "V" || m == "-") {
            v.tous = true;
            return;
        }
        const auto p = plage(m);
        if (!p) {
            v.erreur = "'" + m + "' is not a state";
            return;
        }
        if (p->first < 1 || p->second > c.nbEtats) {
            v.erreur = "state " + std::to_string(p->first < 1 ? p->first : p->second) + " beyond the " +
                       std::to_string(c.nbEtats) + " states";
            return;
        }
        for (int s = p->first; s <= p->second; ++s)
            etats.insert(s);
    };
    for (char ch : sans) {
        if (ch == '/' || ch == '&') {
            ajoute(morceau);
            morceau.clear();
        } else {
            morceau += ch;
        }
        if (!v.erreur.empty())
            return v;
    }
    ajoute(morceau);
    if (!v.erreur.empty())
        return v;
    if (v.tous) {
        v.etats.clear();
        return v;
    }
    v.etats.assign(etats.begin(), etats.end());
    return v;
}

} // namespace tarvenko::delta
