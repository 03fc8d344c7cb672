#include "tools/key/key_output.h"

#include <charconv>
#include <cstdio>

#include "knowledge/escape.h"

namespace tarvenko::key {

std::string Sortie_Nombre(double value)
{
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

namespace {

std::string nombre(double value) { return Sortie_Nombre(value); }

std::string chaine(const std::string &text) { return chaineJson(text); }

template <typename T, typename F>
std::string liste(const std::vector<T> &items, F element)
{
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i ? ", " : "") + element(items[i]);
    return out + "]";
}

} // namespace

std::string Sortie_Texte(const Rapport &rapport)
{
    if (rapport.comparaison)
        return rapport.texteComparaison;
    std::string out;
    for (const std::string &ligne : rapport.lignes)
        out += ligne + "\n";
    out += rapport.legende + "\n";
    if (rapport.toleranceVide)
        out += "tolerance: no species has " + std::to_string(rapport.tolerance) + " mismatches or fewer\n";
    for (const ValeurAppliquee &v : rapport.valeurs)
        out += "value: " + v.objet + " " + nombre(v.valeur) + (v.unite.empty() ? "" : " " + v.unite) + "\n";
    if (rapport.question) {
        out += "question: " + rapport.question->objet + " " + nombre(rapport.question->mesure);
        for (const std::string &etat : rapport.question->etats)
            out += " " + etat;
        if (rapport.question->numerique) {
            out += " number";
            if (rapport.question->etendue)
                out += " " + nombre(rapport.question->etendue->first) + " " + nombre(rapport.question->etendue->second);
            out += rapport.question->unite.empty() ? "" : " " + rapport.question->unite;
        }
        out += "\n";
        if (!rapport.question->texte.empty())
            out += "question text: " + rapport.question->texte + "\n";
        for (std::size_t i = 0; i < rapport.question->nomsEtats.size() && i < rapport.question->etats.size(); ++i)
            out += "state: " + rapport.question->etats[i] + " " + rapport.question->nomsEtats[i] + "\n";
    } else {
        out += "question: none\n";
    }
    if (rapport.contradictions) {
        for (const Contradiction &c : *rapport.contradictions)
            out += "contradiction: " + c.objet + " " + c.etat + "\n";
    }
    return out;
}

std::string Sortie_Json(const Rapport &rapport)
{
    if (rapport.comparaison)
        return Json_Comparaison(*rapport.comparaison);
    std::string out = "{\"lines\": " + liste(rapport.lignes, chaine);
    out += ", \"nb_esp_max\": " + std::to_string(rapport.nbEspMax);
    out += ", \"legende\": " + chaine(rapport.legende);
    out += ", \"question\": ";
    if (rapport.question) {
        out += "{\"objet\": " + chaine(rapport.question->objet) + ", \"measure\": " + nombre(rapport.question->mesure) +
               ", \"states\": " + liste(rapport.question->etats, chaine) +
               ", \"text\": " + chaine(rapport.question->texte) +
               ", \"state_texts\": " + liste(rapport.question->nomsEtats, chaine);
        if (rapport.question->numerique) {
            const auto &e = rapport.question->etendue;
            out += ", \"unit\": " + chaine(rapport.question->unite) + ", \"range\": " +
                   (e ? "[" + nombre(e->first) + ", " + nombre(e->second) + "]" : std::string("null"));
        }
        out += "}";
    } else {
        out += "null";
    }
    out += ", \"contradictions\": ";
    if (rapport.contradictions) {
        out += liste(*rapport.contradictions, [](const Contradiction &c) {
            return "{\"objet\": " + chaine(c.objet) + ", \"state\": " + chaine(c.etat) + "}";
        });
    } else {
        out += "null";
    }
    out += ", \"values\": " + liste(rapport.valeurs, [](const ValeurAppliquee &v) {
        return "{\"objet\": " + chaine(v.objet) + ", \"value\": " + nombre(v.valeur) + ", \"unit\": " + chaine(v.unite) + "}";
    });
    out += ", \"mismatches\": " + liste(rapport.ecarts, [](std::int32_t n) { return std::to_string(n); });
    out += ", \"tolerance_leaves_none\": " + std::string(rapport.toleranceVide ? "true" : "false");
    return out + "}\n";
}

std::string Json_Comparaison(const Comparaison &c)
{
    std::string out = "{\"species\": " + liste(c.noms, chaine) + ", \"differences\": ";
    out += liste(c.differences, [](const Difference &d) {
        std::string e = "{\"objet\": " + chaine(d.objet) + ", \"question\": " + chaine(d.question) +
                        ", \"weight\": " + std::to_string(d.poids) + ", \"numeric\": " + (d.numerique ? "true" : "false");
        if (d.numerique) {
            e += ", \"unit\": " + chaine(d.unite) + ", \"ranges\": " +
                 liste(d.plages, [](const std::optional<std::pair<double, double>> &p) {
                     return p ? "[" + nombre(p->first) + ", " + nombre(p->second) + "]" : std::string("null");
                 });
        } else {
            e += ", \"states\": " + liste(d.etats, [](const std::vector<std::string> &etats) { return liste(etats, chaine); });
        }
        return e + "}";
    });
    return out + "}\n";
}

} // namespace tarvenko::key
