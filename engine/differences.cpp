#include "engine/differences.h"

#include <algorithm>
#include <charconv>

#include "engine/answering.h"
#include "engine/numeric_characters.h"
#include "resources/string_table.h"
#include "knowledge/escape.h"
#include "knowledge/key_texts.h"

namespace tarvenko {

namespace {

std::string nomEtat(const KeyModel &m, int etat)
{
    const std::string nom = Nom_Etat_Langue(m.Base_Donnees, etat, m.Num_Langue);
    return nom.empty() ? std::to_string(etat) : nom;
}

bool possede(const KeyModel &m, std::size_t s, int etat)
{
    const std::size_t cellule = s + static_cast<std::size_t>(etat) * static_cast<std::size_t>(std::max<int>(m.Nb_Esp, 0));
    return cellule < m.Matrice.size() && m.Matrice[cellule] == 1;
}

// Do two of the species have data and nothing in common.
bool separe(const std::vector<std::vector<int>> &parEspece)
{
    for (std::size_t i = 0; i < parEspece.size(); ++i) {
        for (std::size_t j = i + 1; j < parEspece.size(); ++j) {
            const auto &a = parEspece[i], &b = parEspece[j];
            if (a.empty() || b.empty())
                continue;
            if (std::none_of(a.begin(), a.end(), [&](int e) { return std::find(b.begin(), b.end(), e) != b.end(); }))
                return true;
        }
    }
    return false;
}

std::string joint(const std::vector<std::string> &parts, const std::string &sep)
{
    std::string out;
    for (const std::string &p : parts)
        out += (out.empty() ? "" : sep) + p;
    return out;
}

std::string plage(const std::optional<std::pair<double, double>> &p, const std::string &unite, const KeyModel &m)
{
    if (!p)
        return Texte_Ou_Anglais(m.Num_Langue, 1186);
    std::string texte = p->first == p->second ? Texte_Reel(p->first) : Texte_Reel(p->first) + " \u2013 " + Texte_Reel(p->second);
    return unite.empty() ? texte : texte + " " + unite;
}

std::string cellule(const KeyModel &m, const Difference &d, std::size_t i, const std::string &sep)
{
    if (d.numerique)
        return plage(d.plages[i], d.unite, m);
    return d.etats[i].empty() ? Texte_Ou_Anglais(m.Num_Langue, 1186) : joint(d.etats[i], sep);
}

const char *codeLangue(const KeyModel &m)
{
    static const char *const codes[] = {"en", "es", "fr"};
    return m.Num_Langue >= 0 && m.Num_Langue < 3 ? codes[m.Num_Langue] : "en";
}

} // namespace

std::string Texte_Reel(double valeur)
{
    char buffer[64];
    const auto [fin, ec] = std::to_chars(buffer, buffer + sizeof buffer, valeur);
    return ec == std::errc() ? std::string(buffer, fin) : std::string("0");
}

Comparaison Compare_Especes(const KeyModel &m, const std::vector<int> &demandees)
{
    Comparaison c;
    for (const int s : demandees) {
        if (s >= 0 && s < m.Nb_Esp && static_cast<std::size_t>(s) < m.Nom_Esp.size() &&
            std::find(c.especes.begin(), c.especes.end(), s) == c.especes.end()) {
            c.especes.push_back(s);
            c.noms.push_back(m.Nom_Esp[static_cast<std::size_t>(s)]);
        }
    }
    const Tables &t = m.Base_Donnees;
    const IndexTexte &index = t.Objets_Fic_Objet;
    for (std::size_t i = 0; i < index.order.size();) {
        // One question per object: the states of all its rows, each once, in the order met.
        const std::string &cle = index.keys[i];
        const ObjetRow &premiere = t.Objets_Fic.rows[index.order[i]];
        std::vector<int> etats;
        for (; i < index.order.size() && index.keys[i] == cle; ++i) {
            const PlageEtats p = Etats_De(t.Objets_Fic.rows[index.order[i]]);
            for (int k = std::max(p.premier, 0); k < p.premier + p.nombre && k < m.Nb_Etats_Desc; ++k)
                if (std::find(etats.begin(), etats.end(), k) == etats.end())
                    etats.push_back(k);
        }
        std::vector<std::vector<int>> parEspece(c.especes.size());
        for (std::size_t j = 0; j < c.especes.size(); ++j)
            for (const int k : etats)
                if (possede(m, static_cast<std::size_t>(c.especes[j]), k))
                    parEspece[j].push_back(k);
        if (!separe(parEspece))
            continue;
        Difference d;
        d.objet = premiere.Objet.value_or(cle);
        d.question = Texte_Question(m.Base_Donnees, premiere, m.Num_Langue).value_or("");
        if (d.question.empty())
            d.question = d.objet;
        for (const int k : etats)
            if (static_cast<std::size_t>(k) < m.Poids.size())
                d.poids = std::max<std::int64_t>(d.poids, m.Poids[static_cast<std::size_t>(k)]);
        for (const auto &liste : parEspece) {
            d.etats.emplace_back();
            for (const int k : liste)
                d.etats.back().push_back(nomEtat(m, k));
        }
        c.differences.push_back(std::move(d));
    }
    for (std::size_t n = 0; n < m.Caracteres_Num.size(); ++n) {
        const Caractere_Num &car = m.Caracteres_Num[n];
        Difference d;
        d.numerique = true;
        for (const int s : c.especes) {
            const auto u = static_cast<std::size_t>(s);
            if (u < car.connue.size() && car.connue[u])
                d.plages.emplace_back(std::pair(car.minimum[u], car.maximum[u]));
            else
                d.plages.emplace_back();
        }
        bool disjointes = false;
        for (std::size_t i = 0; i < d.plages.size() && !disjointes; ++i)
            for (std::size_t j = i + 1; j < d.plages.size() && !disjointes; ++j)
                disjointes = d.plages[i] && d.plages[j] &&
                             (d.plages[i]->second < d.plages[j]->first || d.plages[j]->second < d.plages[i]->first);
        if (!disjointes)
            continue;
        const Question_Num q = Decrit_Question_Num(m, static_cast<int>(n));
        d.objet = q.objet;
        d.question = q.nom;
        d.unite = q.unite;
        d.poids = car.Poids;
        d.etats.resize(c.especes.size());
        c.differences.push_back(std::move(d));
    }
    std::stable_sort(c.differences.begin(), c.differences.end(),
                     [](const Difference &a, const Difference &b) { return a.poids > b.poids; });
    return c;
}

std::string Texte_Comparaison(const KeyModel &m, const Comparaison &c)
{
    std::string out = Texte_Ou_Anglais(m.Num_Langue, 1183) + ": " + joint(c.noms, "; ") + "\n";
    if (c.differences.empty())
        return out + Texte_Ou_Anglais(m.Num_Langue, 1184) + "\n";
    for (const Difference &d : c.differences) {
        out += d.question + " [" + d.objet + ", " + std::to_string(d.poids) + "]\n";
        for (std::size_t i = 0; i < c.noms.size(); ++i)
            out += "  " + c.noms[i] + ": " + cellule(m, d, i, ", ") + "\n";
    }
    return out;
}

std::string Echappe_Html(const std::string &texte) { return echappeHtml(texte); }

std::string Entete_Html(const KeyModel &m, const std::string &titre)
{
    return std::string("<!DOCTYPE html>\n<html lang=\"") + codeLangue(m) +
           "\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + Echappe_Html(titre) +
           "</title>\n<style>\nbody { font-family: \"DejaVu Sans\", sans-serif; margin: 16px 20px; color: #222; background: #fcfbf5; }\n"
           "h1 { font-size: 1.5em; margin: 0 0 10px 0; color: #2d5a27; }\n"
           "h2 { font-size: 1.1em; color: #2d5a27; border-bottom: 1px solid #c8d8b8; margin: 18px 0 6px 0; }\n"
           "table { border-collapse: collapse; }\n"
           "th, td { border: 1px solid #c8d8b8; padding: 4px 8px; text-align: left; vertical-align: top; }\n"
           "th { background: #eef3e6; color: #2d5a27; }\n"
           "th.espece { font-style: italic; }\n.poids { color: #777; font-size: 0.85em; }\n"
           ".aucune { color: #888; }\na { color: #2d6a9f; }\n"
           "@media print { body { background: white; margin: 0; } }\n</style>\n</head>\n<body>\n";
}

std::string Html_Comparaison(const KeyModel &m, const Comparaison &c)
{
    const std::string titre = Texte_Ou_Anglais(m.Num_Langue, 1183);
    std::string out = Entete_Html(m, titre) + "<h1>" + Echappe_Html(titre) + "</h1>\n";
    if (c.differences.empty())
        return out + "<p>" + Echappe_Html(Texte_Ou_Anglais(m.Num_Langue, 1184)) + "</p>\n</body>\n</html>\n";
    out += "<table>\n<tr><th>" + Echappe_Html(Texte_Ou_Anglais(m.Num_Langue, 1185)) + "</th>";
    for (const std::string &nom : c.noms)
        out += "<th class=\"espece\">" + Echappe_Html(nom) + "</th>";
    out += "</tr>\n";
    for (const Difference &d : c.differences) {
        out += "<tr><td>" + Echappe_Html(d.question) + " <span class=\"poids\">(" + std::to_string(d.poids) + ")</span></td>";
        for (std::size_t i = 0; i < c.noms.size(); ++i) {
            const bool aucune = d.numerique ? !d.plages[i] : d.etats[i].empty();
            out += std::string(aucune ? "<td class=\"aucune\">" : "<td>") + Echappe_Html(cellule(m, d, i, ", ")) + "</td>";
        }
        out += "</tr>\n";
    }
    return out + "</table>\n</body>\n</html>\n";
}

} // namespace tarvenko
