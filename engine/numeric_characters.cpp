#include "engine/numeric_characters.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "engine/discriminant.h"
#include "engine/numeric_sweep.h"
#include "knowledge/key_texts.h"
#include "knowledge/text.h"

namespace tarvenko {

namespace {

const Caractere_Num *caractere(const KeyModel &m, int c)
{
    return c >= 0 && static_cast<std::size_t>(c) < m.Caracteres_Num.size() ? &m.Caracteres_Num[static_cast<std::size_t>(c)]
                                                                            : nullptr;
}

std::optional<double> valeur(const KeyModel &m, std::size_t c)
{
    return c < m.Valeur_Num.size() ? m.Valeur_Num[c] : std::nullopt;
}

// A name in the interface language, else in English, else empty.
std::string dansLaLangue(const KeyModel &m, const std::array<std::string, 3> &noms)
{
    if (m.Num_Langue >= 0 && m.Num_Langue < 3 && !noms[static_cast<std::size_t>(m.Num_Langue)].empty())
        return noms[static_cast<std::size_t>(m.Num_Langue)];
    return noms[0];
}

double tolerance(const KeyModel &m, double v)
{
    // Multiplied before dividing: whole answers and percentages give an exact tolerance.
    return std::fabs(v) * m.Tolerance_Num / 100.0;
}

bool contient(const Caractere_Num &c, std::size_t s, double v, double tol)
{
    return !c.connue[s] || (v >= c.bas[s] - tol && v <= c.haut[s] + tol);
}

// The leading species: the Nb_Esp_Max first of the ranking, all of them when none is listed.
std::vector<std::int64_t> leaders(const KeyModel &m)
{
    const int n = m.Nb_Esp_Max > 0 ? m.Nb_Esp_Max : m.Nb_Esp;
    const auto count = std::min(static_cast<std::size_t>(std::max(n, 0)), m.Classement[1].size());
    return {m.Classement[1].begin(), m.Classement[1].begin() + static_cast<std::ptrdiff_t>(count)};
}

} // namespace

int Caractere_Num_De(const KeyModel &m, std::string_view objet)
{
    for (std::size_t c = 0; c < m.Caracteres_Num.size(); ++c) {
        if (clesEgales(m.Caracteres_Num[c].Objet, objet))
            return static_cast<int>(c);
    }
    return -1;
}

bool Repond_Num(KeyModel &m, int c, double v)
{
    if (!caractere(m, c) || !std::isfinite(v))
        return false;
    m.Valeur_Num.resize(m.Caracteres_Num.size());
    m.Valeur_Num[static_cast<std::size_t>(c)] = v;
    return true;
}

void Retire_Num(KeyModel &m, int c)
{
    if (caractere(m, c) && static_cast<std::size_t>(c) < m.Valeur_Num.size())
        m.Valeur_Num[static_cast<std::size_t>(c)].reset();
}

bool Accepte_Num(const KeyModel &m, const Caractere_Num &c, std::size_t s, double v)
{
    return s >= c.connue.size() || contient(c, s, v, tolerance(m, v));
}

void Ajoute_Scores_Num(KeyModel &m)
{
    for (std::size_t c = 0; c < m.Caracteres_Num.size(); ++c) {
        const std::optional<double> v = valeur(m, c);
        const Caractere_Num &car = m.Caracteres_Num[c];
        if (!v || car.Poids == 0)
            continue;
        const double tol = tolerance(m, *v);
        const std::size_t especes = std::min(m.Score_Esp.size(), car.connue.size());
        // Species beyond the character's arrays have no data: they match.
        for (std::size_t s = especes; s < m.Score_Esp.size(); ++s)
            m.Score_Esp[s] += car.Poids;
        for (std::size_t s = 0; s < especes; ++s)
            m.Score_Esp[s] += contient(car, s, *v, tol) ? car.Poids : 0;
    }
}

bool Nombres_Donnes(const KeyModel &m)
{
    return std::any_of(m.Valeur_Num.begin(), m.Valeur_Num.end(), [](const std::optional<double> &v) { return v.has_value(); });
}

std::int64_t Poids_Num_Choisi(const KeyModel &m)
{
    std::int64_t total = 0;
    for (std::size_t c = 0; c < m.Caracteres_Num.size(); ++c) {
        if (valeur(m, c))
            total += m.Caracteres_Num[c].Poids;
    }
    return total;
}

std::vector<int> Contradictions_Num(const KeyModel &m, int espece)
{
    std::vector<int> out;
    if (espece < 0 || espece >= m.Nb_Esp)
        return out;
    for (std::size_t c = 0; c < m.Caracteres_Num.size(); ++c) {
        const std::optional<double> v = valeur(m, c);
        if (v && !Accepte_Num(m, m.Caracteres_Num[c], static_cast<std::size_t>(espece), *v))
            out.push_back(static_cast<int>(c));
    }
    return out;
}

std::optional<Etendue_Num> Etendue_Chez_Leaders(const KeyModel &m, int c)
{
    const Caractere_Num *car = caractere(m, c);
    if (!car)
        return std::nullopt;
    std::optional<Etendue_Num> etendue;
    for (const std::int64_t s64 : leaders(m)) {
        const auto s = static_cast<std::size_t>(s64);
        if (s >= car->connue.size() || !car->connue[s])
            continue;
        if (!etendue)
            etendue = Etendue_Num{car->minimum[s], car->maximum[s], 0};
        etendue->minimum = std::min(etendue->minimum, car->minimum[s]);
        etendue->maximum = std::max(etendue->maximum, car->maximum[s]);
        ++etendue->especes;
    }
    return etendue;
}

Question_Num Decrit_Question_Num(const KeyModel &m, int c)
{
    Question_Num q;
    const Caractere_Num *car = caractere(m, c);
    if (!car)
        return q;
    q.objet = car->Objet;
    q.nom = dansLaLangue(m, car->Nom);
    if (q.nom.empty())
        q.nom = car->Objet;
    q.unite = car->Unite;
    q.cadre = car->Cadre;
    q.etendue = Etendue_Chez_Leaders(m, c);
    q.valeur = valeur(m, static_cast<std::size_t>(c));
    return q;
}

std::vector<Reponse_Num> Reponses_Num(const KeyModel &m)
{
    std::vector<Reponse_Num> out;
    for (std::size_t c = 0; c < m.Caracteres_Num.size(); ++c) {
        if (const std::optional<double> v = valeur(m, c))
            out.push_back({m.Caracteres_Num[c].Objet, *v});
    }
    return out;
}

std::vector<std::string> Applique_Reponses_Num(KeyModel &m, const std::vector<Reponse_Num> &reponses)
{
    std::vector<std::string> inconnues;
    for (const Reponse_Num &r : reponses) {
        if (!Repond_Num(m, Caractere_Num_De(m, r.Objet), r.Valeur))
            inconnues.push_back(r.Objet);
    }
    return inconnues;
}

double Mesure_Num(const KeyModel &m, int c, const std::vector<std::int64_t> &lead)
{
    const Caractere_Num *car = caractere(m, c);
    if (!car || lead.empty())
        return 0.0;
    // The leaders' bounds, sorted for this search alone.
    std::vector<Borne_Num> bornes;
    bornes.reserve(2 * lead.size());
    std::int64_t inconnues = 0;
    for (const std::int64_t s : lead) {
        if (!Ajoute_Bornes_Num(bornes, *car, static_cast<std::size_t>(s)))
            ++inconnues;
    }
    Trie_Bornes_Num(bornes);
    return Mesure_Balayage_Num(bornes.size(), [&](std::size_t i) -> const Borne_Num & { return bornes[i]; }, inconnues,
                               static_cast<std::int64_t>(lead.size()));
}

std::string Nom_Cadre(const KeyModel &m, int g) { return Nom_Cadre_Langue(m.Base_Donnees, g, m.Num_Langue); }

std::string Image_Etat(const KeyModel &m, int etat)
{
    const CaractereRow *car = m.Base_Donnees.caractere(etat);
    if (!car || !car->ID_CARAC)
        return {};
    const ImageEtatRow *row = m.Base_Donnees.imageEtat(*car->ID_CARAC);
    return row && row->Image ? *row->Image : std::string();
}

} // namespace tarvenko
