#include "knowledge/sdd/sdd_pages.h"
#include "knowledge/text.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace tarvenko::sdd {

namespace {

// A number as a person writes it: no trailing zeros.
std::string nombre(double v)
{
    char tampon[32];
    std::snprintf(tampon, sizeof tampon, "%.6g", v);
    return tampon;
}

// The first ASCII letter raised or lowered; labels of other scripts stay as written.
std::string casseInitiale(std::string s, bool capitale)
{
    if (!s.empty() && s[0] >= 'A' && s[0] <= 'Z' && !capitale && !(s.size() > 1 && s[1] >= 'A' && s[1] <= 'Z'))
        s[0] = static_cast<char>(s[0] - 'A' + 'a');
    else if (!s.empty() && s[0] >= 'a' && s[0] <= 'z' && capitale)
        s[0] = static_cast<char>(s[0] - 'a' + 'A');
    return s;
}

const char *mot(const std::string &langue, int n)
{
    // 0 "or", 1 "Description", 2 "Pictures", 3 "Notes"
    static const char *const en[] = {"or", "Description", "Pictures", "Notes"};
    static const char *const fr[] = {"ou", "Description", "Images", "Notes"};
    static const char *const es[] = {"o", "Descripción", "Imágenes", "Notas"};
    const char *const *t = langue == "fr" ? fr : langue == "es" ? es : en;
    return t[n];
}

} // namespace

std::string phrasesDescription(const Document &d, const Description &desc)
{
    std::vector<std::string> parties;
    for (const Description::Categoriel &c : desc.categoriels) {
        if (c.statut || c.etats.empty())
            continue;
        std::string etats;
        for (std::size_t i = 0; i < c.etats.size(); ++i) {
            if (i > 0)
                etats += i + 1 == c.etats.size() ? std::string(" ") + mot(d.langue, 0) + " " : ", ";
            etats += casseInitiale(d.etats[static_cast<std::size_t>(c.etats[i])].label, false);
        }
        parties.push_back(casseInitiale(d.caracteres[static_cast<std::size_t>(c.caractere)].label, false) + " " + etats);
    }
    for (const Description::Quantitatif &q : desc.quantitatifs) {
        if (q.statut || q.mesures.empty())
            continue;
        const Caractere &car = d.caracteres[static_cast<std::size_t>(q.caractere)];
        std::optional<double> bas, haut;
        std::string autres;
        for (const auto &[type, v] : q.mesures) {
            if (type == "Min" || type == "UMethLower" || type == "Mean" || type == "UMethUpper" || type == "Max") {
                bas = bas ? std::min(*bas, v) : v;
                haut = haut ? std::max(*haut, v) : v;
            }
            // The bounds are the range itself; the mean, deviation, count... are told beside it.
            if (type != "Min" && type != "Max" && type != "UMethLower" && type != "UMethUpper")
                autres += (autres.empty() ? "" : ", ") + type + " " + nombre(v);
        }
        std::string texte = casseInitiale(car.label, false);
        if (bas)
            texte += " " + nombre(*bas) + (*haut != *bas ? "\u2013" + nombre(*haut) : std::string());
        if (bas && !car.unite.empty())
            texte += " " + car.unite;
        if (!autres.empty())
            texte += " (" + autres + ")";
        parties.push_back(texte);
    }
    std::string out;
    for (const std::string &p : parties)
        out += (out.empty() ? casseInitiale(p, true) : "; " + p);
    return out.empty() ? out : out + ".";
}

std::string pageTaxon(const Document &d, const Description &desc, const std::string &nom,
                      const std::vector<ImagePage> &images)
{
    std::string h = "<!DOCTYPE html>\n<html lang=\"" + echappeHtml(d.langue) +
                    "\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + echappeHtml(nom) +
                    "</title>\n<style>body{font-family:sans-serif;margin:1em 1.5em}img{max-width:100%;"
                    "max-height:20em;margin:.3em}figure{display:inline-block;margin:0 .5em}</style>\n</head>\n<body>\n";
    h += "<h1>" + echappeHtml(nom) + "</h1>\n";
    const std::string phrases = phrasesDescription(d, desc);
    if (!phrases.empty())
        h += "<h2>" + std::string(mot(d.langue, 1)) + "</h2>\n<p class=\"description\">" + echappeHtml(phrases) + "</p>\n";
    bool notes = false;
    for (const Description::Texte &t : desc.textes) {
        if (t.contenu.empty())
            continue;
        if (!notes)
            h += "<h2>" + std::string(mot(d.langue, 3)) + "</h2>\n";
        notes = true;
        h += "<p><b>" + echappeHtml(d.caracteres[static_cast<std::size_t>(t.caractere)].label) + "</b>: " +
             echappeHtml(t.contenu) + "</p>\n";
    }
    if (!images.empty()) {
        h += "<h2>" + std::string(mot(d.langue, 2)) + "</h2>\n<p>\n";
        for (const ImagePage &i : images) {
            if (i.locale)
                h += "<figure><img src=\"" + echappeHtml(i.adresse) + "\" alt=\"" + echappeHtml(i.legende) +
                     "\"><figcaption>" + echappeHtml(i.legende) + "</figcaption></figure>\n";
            else
                h += "<a href=\"" + echappeHtml(i.adresse) + "\">" + echappeHtml(i.legende.empty() ? i.adresse : i.legende) +
                     "</a><br>\n";
        }
        h += "</p>\n";
    }
    return h + "</body>\n</html>\n";
}

} // namespace tarvenko::sdd
