#include "tools/sample/pages.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <stdexcept>

#include "tools/sample/grilles.h"
#include "knowledge/escape.h"

namespace tarvenko::sample {

namespace {

std::string echappe(const std::string &t) { return echappeHtml(t); }

const std::string &mot(const Sources &s, const std::string &langue, const std::string &cle)
{
    const auto &t = s.textes.at(langue);
    const auto section = t.find("*");
    if (section == t.end() || !section->second.count(cle))
        throw std::runtime_error("pages_" + langue + ".txt: no word " + cle);
    return section->second.at(cle);
}

std::string texte(const Sources &s, const Espece &e, const std::string &langue, const std::string &champ)
{
    const auto &t = s.textes.at(langue);
    const auto section = t.find(e.code);
    if (section == t.end() || !section->second.count(champ))
        throw std::runtime_error("pages_" + langue + ".txt: no " + champ + " for " + e.code);
    return section->second.at(champ);
}

std::string entete(const std::string &langue, const std::string &titre)
{
    return "<!DOCTYPE html>\n<html lang=\"" + langue + "\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + echappe(titre) +
           "</title>\n<style>\nbody { font-family: \"DejaVu Sans\", sans-serif; margin: 16px 20px; color: #222; background: #fcfbf5; }\n"
           "h1 { font-size: 1.5em; margin: 0 0 2px 0; font-style: italic; color: #2d5a27; }\n"
           "h2 { font-size: 1.1em; color: #2d5a27; border-bottom: 1px solid #c8d8b8; margin: 18px 0 6px 0; }\n"
           ".noms { color: #555; margin: 0 0 10px 0; }\n.langues { float: right; font-size: 0.9em; }\n"
           "ul { margin: 4px 0; padding-left: 22px; }\nli { margin: 2px 0; }\n"
           "a { color: #2d6a9f; }\n</style>\n</head>\n<body>\n";
}

// French sets a no-break space before its double punctuation; English and Spanish none.
std::string avantPonctuation(const std::string &langue) { return langue == "fr" ? "\u00A0" : ""; }

// The family in the page's language, from the words of the pages ("family.FAGACEAE").
std::string nomFamille(const Sources &s, const std::string &famille, const std::string &langue)
{
    return mot(s, langue, "family." + famille);
}

// What names a question in the lists of the page: its own name ("label.OBJET") where the
// question is no name (a question asked with "?"), else the question up to its colon.
std::string intitule(const Sources &s, const LigneObjet &o, const std::string &langue)
{
    const auto &mots = s.textes.at(langue).at("*");
    if (const auto it = mots.find("label." + o.objet); it != mots.end())
        return it->second;
    std::string q = o.question.at(langue);
    if (const auto deux = q.find(':'); deux != std::string::npos)
        q.resize(deux);
    else if (q.find('?') != std::string::npos)
        throw std::runtime_error("pages_" + langue + ".txt: no word label." + o.objet + " for a question asked with \"?\"");
    // The spaces before the colon, the no-break one (C2 A0) included.
    for (;;) {
        if (!q.empty() && q.back() == ' ')
            q.pop_back();
        else if (q.size() >= 2 && q.compare(q.size() - 2, 2, "\xC2\xA0") == 0)
            q.resize(q.size() - 2);
        else
            break;
    }
    return q;
}

// A name inside a sentence: its first letter in lower case, unless the name starts with more
// than one capital (an abbreviation). Letters beyond ASCII are the accented capitals of the
// three languages, two bytes in UTF-8.
std::string enMinuscule(std::string t)
{
    if (t.size() >= 2 && std::isupper(static_cast<unsigned char>(t[0])) && !std::isupper(static_cast<unsigned char>(t[1])))
        t[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(t[0])));
    else if (t.size() >= 3 && static_cast<unsigned char>(t[0]) == 0xC3 && static_cast<unsigned char>(t[1]) >= 0x80 &&
             static_cast<unsigned char>(t[1]) <= 0x9E && !std::isupper(static_cast<unsigned char>(t[2])))
        t[1] = static_cast<char>(static_cast<unsigned char>(t[1]) + 0x20); // À..Þ -> à..þ
    return t;
}

std::string liensLangues(const Sources &s, const Espece &e, const std::string &langue, const std::string &prefixe)
{
    std::string out;
    for (const char *l : kLanguesDocuments) {
        if (l == langue || !aUnePage(s, e, l))
            continue;
        out += (out.empty() ? "" : " &middot; ") + std::string("<a href=\"") + prefixe + minuscules(e.code) + "_" + l + ".html\">" +
               echappe(mot(s, l, "language")) + "</a>";
    }
    return out.empty() ? "" : "<div class=\"langues\">" + out + "</div>\n";
}

} // namespace

std::string minuscules(std::string texte)
{
    for (char &c : texte)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return texte;
}

bool aUnePage(const Sources &s, const Espece &e, const std::string &langue)
{
    return langue == "en" || s.textes.at(langue).count(e.code) > 0;
}

std::vector<std::string> caracteresSeparant(const Sources &s, const Espece &a, const Espece &b)
{
    std::vector<std::string> out;
    for (const LigneObjet &o : s.objets) {
        const auto ia = a.etats.find(o.ligne), ib = b.etats.find(o.ligne);
        const std::vector<std::string> vide;
        const auto &ea = ia == a.etats.end() ? vide : ia->second;
        const auto &eb = ib == b.etats.end() ? vide : ib->second;
        if (ea.empty() && eb.empty())
            continue;
        bool commun = false;
        for (const std::string &x : ea)
            commun = commun || std::find(eb.begin(), eb.end(), x) != eb.end();
        if (!commun)
            out.push_back(o.ligne);
    }
    return out;
}

std::vector<Voisine> especesVoisines(const Sources &s, const Espece &e, std::size_t combien)
{
    std::vector<Voisine> v;
    for (const Espece &x : s.especes)
        if (&x != &e)
            v.push_back({&x, caracteresSeparant(s, e, x)});
    std::stable_sort(v.begin(), v.end(), [](const Voisine &a, const Voisine &b) {
        return a.differences.size() != b.differences.size() ? a.differences.size() < b.differences.size() : a.espece->nom < b.espece->nom;
    });
    if (v.size() > combien)
        v.resize(combien);
    return v;
}

std::string pageEspece(const Sources &s, const Espece &e, const std::string &l)
{
    const std::string code = minuscules(e.code);
    std::string h = entete(l, e.nom);
    h += liensLangues(s, e, l, "");
    h += "<h1>" + echappe(e.nom) + "</h1>\n";
    std::string noms;
    for (const std::string &n : e.communs.at(l))
        noms += (noms.empty() ? "" : ", ") + echappe(n);
    h += "<p class=\"noms\">" + noms + " &mdash; " + echappe(mot(s, l, "family")) + " " + echappe(nomFamille(s, e.famille, l)) + "</p>\n";
    h += "<p>" + echappe(texte(s, e, l, "description")) + "</p>\n";
    h += "<h2>" + echappe(mot(s, l, "features")) + "</h2>\n<ul>\n";
    for (const LigneObjet &o : s.objets) {
        const auto it = e.etats.find(o.ligne);
        if (it == e.etats.end() || it->second.empty())
            continue;
        // States may hold commas of their own ("Thin, soft"): a semicolon parts them.
        std::string etats;
        for (const std::string &cle : it->second)
            for (const Etat &et : o.etats)
                if (et.cle == cle)
                    etats += (etats.empty() ? "" : avantPonctuation(l) + "; ") + echappe(enMinuscule(et.nom.at(l)));
        h += "<li>" + echappe(intitule(s, o, l)) + avantPonctuation(l) + ": " + etats + "</li>\n";
    }
    h += "</ul>\n<h2>" + echappe(mot(s, l, "similar")) + "</h2>\n<ul>\n";
    for (const Voisine &v : especesVoisines(s, e, 3)) {
        const std::string vc = minuscules(v.espece->code);
        const std::string lien = aUnePage(s, *v.espece, l) ? l : "en";
        h += "<li><a href=\"../../" + vc.substr(0, 1) + "/" + vc + "/" + vc + "_" + lien + ".html\"><i>" + echappe(v.espece->nom) +
             "</i></a>";
        std::string diff;
        for (std::size_t i = 0; i < v.differences.size() && i < 3; ++i)
            diff += (diff.empty() ? "" : avantPonctuation(l) + "; ") + echappe(enMinuscule(intitule(s, s.ligne(v.differences[i]), l)));
        h += diff.empty() ? "" : " &mdash; " + echappe(mot(s, l, "differs")) + " " + diff;
        h += "</li>\n";
    }
    h += "</ul>\n<h2>" + echappe(mot(s, l, "distribution")) + "</h2>\n<p>" + echappe(texte(s, e, l, "distribution")) + "</p>\n";
    h += "<p><a href=\"dessin_" + code + "_" + l + ".html\">" + echappe(mot(s, l, "drawing")) + "</a></p>\n</body>\n</html>\n";
    return h;
}

std::string pageDessin(const Sources &s, const Espece &e, const std::string &l)
{
    const std::string code = minuscules(e.code);
    std::string h = "<!DOCTYPE html>\n<html lang=\"" + l + "\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + echappe(e.nom) +
                    "</title>\n<style>\nbody { margin: 0; font-family: \"DejaVu Sans\", sans-serif; background: #fcfbf5; }\n"
                    ".titre { position: absolute; left: 12px; top: 12px; height: 48px; font-size: 18px; color: #2d5a27; }\n"
                    ".dessin { position: absolute; left: " +
                    std::to_string(kDecalageX) + "px; top: " + std::to_string(kDecalageY) + "px; width: " +
                    std::to_string(kPlancheL / 4) + "px; height: " + std::to_string(kPlancheH / 4) +
                    "px; border: 0; }\n.note { position: absolute; left: " + std::to_string(kDecalageX + kPlancheL / 4 + 20) +
                    "px; top: " + std::to_string(kDecalageY) + "px; width: 260px; font-size: 14px; color: #444; }\n</style>\n</head>\n<body>\n";
    h += "<div class=\"titre\"><i>" + echappe(e.nom) + "</i> &mdash; " + echappe(mot(s, l, "plate")) + "</div>\n";
    h += "<img class=\"dessin\" src=\"" + code + ".gif\" width=\"" + std::to_string(kPlancheL / 4) + "\" height=\"" +
         std::to_string(kPlancheH / 4) + "\" alt=\"" + echappe(e.nom) + "\">\n";
    h += "<div class=\"note\"><p>" + echappe(mot(s, l, "zoom")) + "</p><p><a href=\"" + code + "_" + l + ".html\">" +
         echappe(mot(s, l, "back")) + "</a></p></div>\n</body>\n</html>\n";
    return h;
}

std::string pageErreur(const Sources &s, const std::string &l)
{
    return entete(l, mot(s, l, "error_title")) + "<h1>" + echappe(mot(s, l, "error_title")) + "</h1>\n<p>" +
           echappe(mot(s, l, "error_text")) + "</p>\n</body>\n</html>\n";
}

} // namespace tarvenko::sample
