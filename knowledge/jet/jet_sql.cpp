// Jet SQL expressions, translated into SQLite as they are read.
#include <algorithm>
#include <cstdio>
#include <string>

#include "knowledge/jet/jet_analyseur.h"
#include "knowledge/sqlite.h"
#include "knowledge/text.h"

namespace tarvenko::jet {

using Type = Expr::Type;

std::string groupe(const Expr &e) { return e.atome ? e.sql : "(" + e.sql + ")"; }

Expr valeur(const Expr &e)
{
    if (e.type != Type::Booleen || e.litteral)
        return e;
    Expr out;
    out.sql = "-" + groupe(e);
    out.type = Type::Nombre;
    return out;
}

std::string operande(const Expr &e) { return groupe(valeur(e)); }

std::string litteralSql(std::string_view text) { return sqlite::quoteLiteral(text); }

std::string nomSql(std::string_view nom) { return sqlite::quoteIdentifier(nom); }

std::string joint(const std::vector<std::string> &parts, std::string_view separateur)
{
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i)
        out += (i ? std::string(separateur) : std::string()) + parts[i];
    return out;
}

bool estNombreEntier(std::string_view t)
{
    return !t.empty() && t.size() < 18 && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string enTexte(const Expr &e)
{
    const Expr v = valeur(e);
    if (v.type == Type::Texte || v.type == Type::Date || v.type == Type::Nul)
        return groupe(v);
    if (v.entier)
        return litteralSql(std::to_string(*v.entier));
    const std::string x = groupe(v);
    return "CASE typeof(" + x + ") WHEN 'real' THEN printf('%.15g', " + x + ") ELSE " + x + " END";
}

namespace {

bool egaux(std::string_view a, std::string_view b) { return clesEgales(a, b); }

Expr booleen(std::string sql)
{
    Expr e;
    e.sql = std::move(sql);
    e.type = Type::Booleen;
    return e;
}

Expr nombre(std::string sql)
{
    Expr e;
    e.sql = std::move(sql);
    e.type = Type::Nombre;
    return e;
}

void refuseDates(const Expr &a, const Expr &b)
{
    if (a.type == Type::Date || b.type == Type::Date)
        throw NonTraduisible{"arithmetic on dates (the converted dates are text)"};
}

// Jet reads a # literal as month/day/year, or as year-month-day when it starts with four digits;
// a two-digit year below 30 is in the 2000s.
bool litPartieDate(std::string_view texte, int &an, int &mois, int &jour)
{
    int n[3] = {0, 0, 0};
    int chiffres[3] = {0, 0, 0};
    int k = 0;
    char separateur = 0;
    for (char c : texte) {
        if (c >= '0' && c <= '9') {
            n[k] = n[k] * 10 + (c - '0');
            if (++chiffres[k] > 4)
                return false;
        } else if ((c == '/' || c == '-') && (separateur == 0 || separateur == c) && k < 2 && chiffres[k] > 0) {
            separateur = c;
            ++k;
        } else {
            return false;
        }
    }
    if (k != 2 || chiffres[2] == 0)
        return false;
    if (chiffres[0] == 4) {
        an = n[0];
        mois = n[1];
        jour = n[2];
    } else {
        mois = n[0];
        jour = n[1];
        an = n[2];
        if (chiffres[2] <= 2)
            an += an < 30 ? 2000 : 1900;
    }
    static const int longueurs[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (an < 100 || an > 9999 || mois < 1 || mois > 12 || jour < 1)
        return false;
    const bool bissextile = (an % 4 == 0 && an % 100 != 0) || an % 400 == 0;
    return jour <= longueurs[mois - 1] + (mois == 2 && bissextile ? 1 : 0);
}

bool litPartieHeure(std::string_view texte, int &h, int &m, int &s)
{
    std::string t = minusculesAscii(texte);
    int decalage = -1;
    for (const char *suffixe : {"am", "pm"}) {
        if (t.size() > 2 && t.compare(t.size() - 2, 2, suffixe) == 0) {
            decalage = suffixe[0] == 'p' ? 12 : 0;
            t.resize(t.size() - 2);
            while (!t.empty() && t.back() == ' ')
                t.pop_back();
        }
    }
    int n[3] = {0, 0, 0};
    int chiffres[3] = {0, 0, 0};
    int k = 0;
    for (char c : t) {
        if (c >= '0' && c <= '9') {
            n[k] = n[k] * 10 + (c - '0');
            if (++chiffres[k] > 2)
                return false;
        } else if (c == ':' && k < 2 && chiffres[k] > 0) {
            ++k;
        } else {
            return false;
        }
    }
    if (chiffres[k] == 0 || (k == 0 && decalage < 0))
        return false;
    h = n[0];
    m = n[1];
    s = n[2];
    if (decalage >= 0) {
        if (h < 1 || h > 12)
            return false;
        h = h % 12 + decalage;
    }
    return h < 24 && m < 60 && s < 60;
}

} // namespace

std::optional<std::string> dateIso(std::string_view jet)
{
    std::string texte(jet);
    while (!texte.empty() && texte.front() == ' ')
        texte.erase(texte.begin());
    while (!texte.empty() && texte.back() == ' ')
        texte.pop_back();
    int an = 1899, mois = 12, jour = 30, h = 0, m = 0, s = 0;
    const std::size_t espace = texte.find(' ');
    const std::string premier = texte.substr(0, espace);
    const bool avecDate = premier.find_first_of("/-") != std::string::npos;
    if (avecDate && !litPartieDate(premier, an, mois, jour))
        return std::nullopt;
    const std::string heure = avecDate ? (espace == std::string::npos ? "" : texte.substr(espace + 1)) : texte;
    if (!heure.empty() && !litPartieHeure(heure, h, m, s))
        return std::nullopt;
    if (!avecDate && heure.empty())
        return std::nullopt;
    char out[128]; // room for any value the format could produce
    std::snprintf(out, sizeof out, "%04d-%02d-%02d %02d:%02d:%02d", an, mois, jour, h, m, s);
    return std::string(out);
}

Analyseur::Analyseur(std::string_view jet) : m_lex(decoupe(jet)) {}

const Lexeme &Analyseur::suivant(std::size_t n) const { return m_lex[std::min(m_pos + n, m_lex.size() - 1)]; }

bool Analyseur::prendMot(std::string_view mot)
{
    if (!courant().estMot(mot))
        return false;
    ++m_pos;
    return true;
}

bool Analyseur::prendSymbole(std::string_view symbole)
{
    if (!courant().estSymbole(symbole))
        return false;
    ++m_pos;
    return true;
}

void Analyseur::attendsMot(std::string_view mot)
{
    if (!prendMot(mot))
        erreur("expected " + std::string(mot));
}

void Analyseur::attendsSymbole(std::string_view symbole)
{
    if (!prendSymbole(symbole))
        erreur("expected '" + std::string(symbole) + "'");
}

void Analyseur::erreur(const std::string &quoi) const
{
    const Lexeme &l = courant();
    const std::string ou = l.genre == Lexeme::Genre::Fin ? "at the end" : "near '" + l.texte + "'";
    throw NonTraduisible{quoi + " " + ou};
}

void Analyseur::fin()
{
    prendSymbole(";");
    if (courant().genre != Lexeme::Genre::Fin)
        erreur("unexpected text");
}

std::string Analyseur::nom()
{
    if (courant().genre != Lexeme::Genre::Nom && courant().genre != Lexeme::Genre::Crochets)
        erreur("expected a name");
    return m_lex[m_pos++].texte;
}

Expr Analyseur::expression() { return imp(); }

Expr Analyseur::imp()
{
    Expr e = disjonction();
    for (const char *op : {"xor", "eqv", "imp"}) {
        if (courant().estMot(op))
            erreur(courant().texte + " has no SQLite equivalent");
    }
    return e;
}

Expr Analyseur::disjonction()
{
    Expr e = conjonction();
    while (prendMot("or"))
        e = booleen(groupe(e) + " OR " + groupe(conjonction()));
    return e;
}

Expr Analyseur::conjonction()
{
    Expr e = negation();
    while (prendMot("and")) {
        const Expr d = negation();
        std::vector<Egalite> egalites = e.egalites;
        egalites.insert(egalites.end(), d.egalites.begin(), d.egalites.end());
        e = booleen(groupe(e) + " AND " + groupe(d));
        e.egalites = std::move(egalites);
    }
    return e;
}

Expr Analyseur::negation()
{
    if (prendMot("not"))
        return booleen("NOT " + groupe(negation()));
    return comparaison();
}

Expr Analyseur::comparaison()
{
    Expr g = concatenation();
    while (true) {
        const Lexeme &l = courant();
        if (l.genre == Lexeme::Genre::Symbole &&
            (l.texte == "=" || l.texte == "<>" || l.texte == "<" || l.texte == ">" || l.texte == "<=" || l.texte == ">=")) {
            const std::string op = l.texte;
            ++m_pos;
            const Expr d = concatenation();
            const bool egalite = op == "=" && g.ref && d.ref;
            const Expr avant = g;
            g = booleen(operande(avant) + " " + op + " " + operande(d));
            if (egalite)
                g.egalites.push_back({*avant.ref, *d.ref});
            continue;
        }
        bool non = false;
        if (l.estMot("not") && (suivant().estMot("like") || suivant().estMot("between") || suivant().estMot("in"))) {
            ++m_pos;
            non = true;
        }
        const std::string pas = non ? " NOT" : "";
        if (prendMot("like")) {
            const Expr motif = concatenation();
            if (!motif.texte)
                throw NonTraduisible{"Like with a pattern that is not a text literal"};
            // Jet's wildcards * ? and [c]; % and _ are ordinary characters there.
            std::string sqlite;
            bool echappe = false;
            const std::string &m = *motif.texte;
            for (std::size_t i = 0; i < m.size(); ++i) {
                char c = m[i];
                if (c == '*') {
                    sqlite += '%';
                    continue;
                }
                if (c == '?') {
                    sqlite += '_';
                    continue;
                }
                if (c == '#')
                    throw NonTraduisible{"Like pattern with # (any digit)"};
                if (c == '[') {
                    if (i + 2 >= m.size() || m[i + 2] != ']' || m[i + 1] == '!')
                        throw NonTraduisible{"Like pattern with a [character list]"};
                    c = m[i + 1];
                    i += 2;
                }
                if (c == '%' || c == '_' || c == '\\') {
                    sqlite += '\\';
                    echappe = true;
                }
                sqlite += c;
            }
            g = booleen(operande(g) + pas + " LIKE " + litteralSql(sqlite) + (echappe ? " ESCAPE '\\'" : ""));
            continue;
        }
        if (prendMot("between")) {
            const Expr bas = concatenation();
            attendsMot("and");
            const Expr haut = concatenation();
            g = booleen(operande(g) + pas + " BETWEEN " + operande(bas) + " AND " + operande(haut));
            continue;
        }
        if (prendMot("in")) {
            if (courant().estSymbole("(") && suivant().estMot("select")) {
                g = booleen(operande(g) + pas + " IN " + sousRequete());
                continue;
            }
            attendsSymbole("(");
            std::vector<std::string> liste;
            do {
                liste.push_back(valeur(expression()).sql);
            } while (prendSymbole(","));
            attendsSymbole(")");
            g = booleen(operande(g) + pas + " IN (" + joint(liste, ", ") + ")");
            continue;
        }
        if (prendMot("is")) {
            const bool pasNul = prendMot("not");
            attendsMot("null");
            g = booleen(operande(g) + (pasNul ? " IS NOT NULL" : " IS NULL"));
            continue;
        }
        return g;
    }
}

Expr Analyseur::concatenation()
{
    std::vector<Expr> parts{additif()};
    while (prendSymbole("&"))
        parts.push_back(additif());
    if (parts.size() == 1)
        return parts.front();
    // Jet's & reads Null as "" and gives Null only when every part is Null.
    bool jamaisNul = false;
    std::vector<std::string> textes, nuls;
    for (const Expr &p : parts) {
        if (p.litteral && p.type != Type::Nul) {
            jamaisNul = true;
            textes.push_back(enTexte(p));
        } else {
            textes.push_back("coalesce(" + enTexte(p) + ", '')");
            nuls.push_back(operande(p) + " IS NULL");
        }
    }
    Expr e;
    e.type = Type::Texte;
    e.sql = joint(textes, " || ");
    if (!jamaisNul) {
        e.sql = "CASE WHEN " + joint(nuls, " AND ") + " THEN NULL ELSE " + e.sql + " END";
        e.atome = true;
    }
    return e;
}

Expr Analyseur::additif()
{
    Expr g = modulo();
    while (courant().estSymbole("+") || courant().estSymbole("-")) {
        const bool plus = courant().texte == "+";
        ++m_pos;
        const Expr d = modulo();
        refuseDates(g, d);
        if (plus && (g.type == Type::Texte || d.type == Type::Texte)) {
            if (g.type == Type::Texte && d.type == Type::Texte) {
                Expr e;
                e.sql = operande(g) + " || " + operande(d);
                e.type = Type::Texte;
                g = e;
                continue;
            }
            if (g.type != Type::Nombre && d.type != Type::Nombre)
                throw NonTraduisible{"+ between text and a field: Jet adds or joins depending on the field's type"};
        }
        g = nombre(operande(g) + (plus ? " + " : " - ") + operande(d));
    }
    return g;
}

Expr Analyseur::modulo()
{
    Expr g = divisionEntiere();
    while (prendMot("mod")) {
        const Expr d = divisionEntiere();
        refuseDates(g, d);
        g = nombre(groupe(traduitFonction("CLng", {g})) + " % " + groupe(traduitFonction("CLng", {d})));
    }
    return g;
}

Expr Analyseur::divisionEntiere()
{
    Expr g = multiplicatif();
    while (prendSymbole("\\")) {
        const Expr d = multiplicatif();
        refuseDates(g, d);
        g = nombre(groupe(traduitFonction("CLng", {g})) + " / " + groupe(traduitFonction("CLng", {d})));
    }
    return g;
}

Expr Analyseur::multiplicatif()
{
    Expr g = unaire();
    while (courant().estSymbole("*") || courant().estSymbole("/")) {
        const bool fois = courant().texte == "*";
        ++m_pos;
        const Expr d = unaire();
        refuseDates(g, d);
        // Jet's / always divides as reals; SQLite's divides integers as integers.
        g = nombre(fois ? operande(g) + " * " + operande(d) : "CAST(" + valeur(g).sql + " AS REAL) / " + operande(d));
    }
    return g;
}

Expr Analyseur::unaire()
{
    if (prendSymbole("+"))
        return unaire();
    if (prendSymbole("-")) {
        const Expr e = unaire();
        if (e.type == Type::Date)
            throw NonTraduisible{"arithmetic on dates (the converted dates are text)"};
        Expr out = nombre("-" + operande(e));
        if (e.litteral && e.type == Type::Nombre) {
            out.litteral = true;
            if (e.entier)
                out.entier = -*e.entier;
        }
        return out;
    }
    return puissance();
}

Expr Analyseur::puissance()
{
    Expr e = primaire();
    if (courant().estSymbole("^"))
        erreur("^ (power) has no SQLite equivalent");
    return e;
}

std::string Analyseur::sousRequete()
{
    attendsSymbole("(");
    // Names inside a subquery belong to its own tables, not to the outer field being read.
    const std::vector<RefColonne> avant = refs;
    const std::vector<Egalite> egalites = egalitesOn;
    static const Schema vide;
    const Schema *schema = m_schema;
    const std::string sql = requete(schema ? *schema : vide);
    m_schema = schema;
    refs = avant;
    egalitesOn = egalites;
    attendsSymbole(")");
    return "(" + sql + ")";
}

Expr Analyseur::primaire()
{
    const Lexeme l = courant();
    Expr e;
    e.atome = true;
    switch (l.genre) {
    case Lexeme::Genre::Texte:
        ++m_pos;
        e.sql = litteralSql(l.texte);
        e.type = Type::Texte;
        e.litteral = true;
        e.texte = l.texte;
        return e;
    case Lexeme::Genre::Nombre:
        ++m_pos;
        e.sql = l.texte.front() == '.' ? "0" + l.texte : l.texte;
        e.type = Type::Nombre;
        e.litteral = true;
        if (estNombreEntier(l.texte))
            e.entier = std::stoll(l.texte);
        return e;
    case Lexeme::Genre::Date: {
        const auto iso = dateIso(l.texte);
        if (!iso)
            throw NonTraduisible{"#" + l.texte + "# is not a date"};
        ++m_pos;
        e.sql = litteralSql(*iso);
        e.type = Type::Date;
        e.litteral = true;
        return e;
    }
    case Lexeme::Genre::Crochets:
        return reference();
    case Lexeme::Genre::Symbole:
        if (l.texte == "(") {
            if (suivant().estMot("select")) {
                e.sql = sousRequete();
                return e;
            }
            ++m_pos;
            Expr dedans = expression();
            attendsSymbole(")");
            if (!dedans.atome) {
                dedans.sql = "(" + dedans.sql + ")";
                dedans.atome = true;
            }
            return dedans;
        }
        break;
    case Lexeme::Genre::Nom: {
        if (l.estMot("null")) {
            ++m_pos;
            e.sql = "NULL";
            e.type = Type::Nul;
            e.litteral = true;
            return e;
        }
        if (l.estMot("true") || l.estMot("yes") || l.estMot("false") || l.estMot("no")) {
            ++m_pos;
            const bool vrai = l.estMot("true") || l.estMot("yes");
            e.sql = vrai ? "-1" : "0";
            e.atome = !vrai;
            e.type = Type::Booleen;
            e.litteral = true;
            e.entier = vrai ? -1 : 0;
            return e;
        }
        if (l.estMot("exists")) {
            ++m_pos;
            return booleen("EXISTS " + sousRequete());
        }
        for (const char *mot : {"select", "from", "where", "and", "or", "not", "as", "on", "order", "group", "having",
                                "union", "like", "between", "in", "is", "mod"}) {
            if (l.estMot(mot))
                erreur("unexpected keyword");
        }
        if (suivant().estSymbole("("))
            return appel(l.texte);
        return reference();
    }
    case Lexeme::Genre::Fin:
        break;
    }
    erreur("unexpected text");
}

Expr Analyseur::reference()
{
    std::vector<std::string> parts{nom()};
    bool bang = false;
    while ((courant().estSymbole(".") || courant().estSymbole("!")) &&
           (suivant().genre == Lexeme::Genre::Nom || suivant().genre == Lexeme::Genre::Crochets)) {
        bang = bang || courant().texte == "!";
        ++m_pos;
        parts.push_back(nom());
    }
    if (bang && (egaux(parts.front(), "Forms") || egaux(parts.front(), "Reports")))
        throw NonTraduisible{"refers to a control of a form or report (" + joint(parts, "!") + ")"};
    if (parts.size() > 2)
        throw NonTraduisible{"the name " + joint(parts, ".") + " has more than two parts"};
    refs.push_back({parts.size() == 2 ? parts.front() : std::string(), parts.back()});
    Expr e;
    e.ref = refs.back();
    std::vector<std::string> quotes;
    for (const std::string &p : parts)
        quotes.push_back(nomSql(p));
    e.sql = joint(quotes, ".");
    e.atome = true;
    return e;
}

Expr Analyseur::appel(const std::string &fonction)
{
    m_pos += 2; // the name and "("
    std::vector<Expr> args;
    if (egaux(fonction, "count") && courant().estSymbole("*") && suivant().estSymbole(")")) {
        m_pos += 2;
        Expr e = nombre("count(*)");
        e.atome = true;
        return e;
    }
    if (!prendSymbole(")")) {
        do {
            args.push_back(expression());
        } while (prendSymbole(","));
        attendsSymbole(")");
    }
    return traduitFonction(fonction, args);
}

Traduction traduitExpression(std::string_view jet)
{
    try {
        Analyseur a(jet);
        const Expr e = a.expression();
        a.fin();
        return {valeur(e).sql, {}};
    } catch (const NonTraduisible &n) {
        return {{}, n.raison};
    }
}

} // namespace tarvenko::jet
