#include "engine/scoring.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <numeric>
#include <utility>

#include "engine/mismatches.h"
#include "engine/numeric_characters.h"
#include "knowledge/numeric.h"
#include "resources/string_table.h"

namespace tarvenko {

namespace {

std::size_t compte(std::int16_t n) { return n > 0 ? static_cast<std::size_t>(n) : 0; }

std::int64_t poidsChoisi(const KeyModel &m, std::size_t e)
{
    if (e >= m.Poids.size())
        return 0;
    return static_cast<std::int64_t>(m.Poids[e]) * m.Etat_Choisi[e];
}

// The weight of every chosen state: what a species holding them all scores.
std::int64_t poidsTotal(const KeyModel &m)
{
    std::int64_t total = 0;
    const std::size_t etats = std::min(compte(m.Nb_Etats_Desc), m.Etat_Choisi.size());
    for (std::size_t e = 0; e < etats; ++e)
        total += poidsChoisi(m, e);
    return total + Poids_Num_Choisi(m);
}

std::int64_t enEntier64(double value)
{
    constexpr double limite = 9.2e18; // inside the 64-bit range, far beyond any real percentage
    return static_cast<std::int64_t>(std::clamp(value, -limite, limite));
}

std::string ligne(const KeyModel &m, std::size_t rang)
{
    const auto s = static_cast<std::size_t>(m.Classement[1][rang]);
    return Texte_Nombre(m.Pourcent_Esp[rang]) + "% - " + (s < m.Nom_Esp.size() ? m.Nom_Esp[s] : std::string());
}

} // namespace

std::string Texte_Nombre(std::int64_t n)
{
    std::string texte(n >= 0 ? 1 : 0, ' ');
    return texte += std::to_string(n);
}

void Calcule_Scores(KeyModel &m)
{
    const std::size_t especes = compte(m.Nb_Esp);
    const std::size_t etats = std::min(compte(m.Nb_Etats_Desc), m.Etat_Choisi.size());
    m.Score_Esp.assign(especes, 0);
    for (std::size_t e = 0; e < etats; ++e) {
        const std::int64_t facteur = poidsChoisi(m, e);
        if (facteur == 0 || m.Matrice.size() < (e + 1) * especes)
            continue;
        const std::int16_t *colonne = m.Matrice.data() + e * especes;
        for (std::size_t s = 0; s < especes; ++s)
            m.Score_Esp[s] += facteur * colonne[s];
    }
    Ajoute_Scores_Num(m);
}

void Trie_Scores(KeyModel &m)
{
    std::vector<std::pair<std::int64_t, std::int64_t>> rang;
    rang.reserve(m.Score_Esp.size());
    for (std::size_t s = 0; s < m.Score_Esp.size(); ++s) {
        if (Espece_En_Jeu(m, s))
            rang.emplace_back(m.Score_Esp[s], static_cast<std::int64_t>(s));
    }
    const std::size_t especes = rang.size();
    // Under a negative total weight the lowest score is the highest percentage; ranking by
    // percentage keeps a list line's position equal to its rank.
    const bool inverse = poidsTotal(m) < 0;
    std::sort(rang.begin(), rang.end(), [inverse](const auto &a, const auto &b) {
        if (a.first == b.first)
            return a.second < b.second;
        return inverse ? a.first < b.first : a.first > b.first;
    });
    m.Classement[0].resize(especes);
    m.Classement[1].resize(especes);
    for (std::size_t r = 0; r < especes; ++r) {
        m.Classement[0][r] = rang[r].first;
        m.Classement[1][r] = rang[r].second;
    }
}

void Calcule_Pourcentages(KeyModel &m)
{
    const std::int64_t total = poidsTotal(m);

    const std::vector<std::int64_t> &scores = m.Classement[0];
    m.Pourcent_Esp.assign(scores.size(), 0);
    if (total == 0)
        return;
    for (std::size_t r = 0; r < scores.size(); ++r) {
        // Score x 100 is formed as an integer first, then divided in double precision; only a
        // score too large for that product is multiplied as a double.
        const std::int64_t score = scores[r];
        constexpr std::int64_t limite = std::numeric_limits<std::int64_t>::max() / 100;
        const bool exact = score >= -limite && score <= limite;
        const double centuple = exact ? static_cast<double>(score * 100) : static_cast<double>(score) * 100.0;
        m.Pourcent_Esp[r] = enEntier64(arrondiPair(centuple / static_cast<double>(total)));
    }
}

namespace {

// The listed species that share the top percentage.
std::ptrdiff_t especesEnTete(const KeyModel &m)
{
    const std::int64_t top = m.Pourcent_Esp.empty() ? 0 : m.Pourcent_Esp[0];
    return std::count_if(m.Pourcent_Esp.begin(), m.Pourcent_Esp.end(),
                         [&](std::int64_t pourcent) { return pourcent >= m.Seuil_Affichage && pourcent == top; });
}

} // namespace

std::vector<std::string> Lignes_Especes(const KeyModel &m)
{
    std::vector<std::string> lignes;
    const std::size_t rangs = std::min(m.Pourcent_Esp.size(), m.Classement[1].size());
    for (std::size_t r = 0; r < rangs; ++r) {
        if (m.Pourcent_Esp[r] >= m.Seuil_Affichage)
            lignes.push_back(ligne(m, r));
    }
    return lignes;
}

std::vector<std::int32_t> Ecarts_Lignes(const KeyModel &m)
{
    std::vector<std::int32_t> ecarts;
    const std::size_t rangs = std::min(m.Pourcent_Esp.size(), m.Classement[1].size());
    for (std::size_t r = 0; r < rangs; ++r) {
        if (m.Pourcent_Esp[r] < m.Seuil_Affichage)
            continue;
        const auto s = static_cast<std::size_t>(m.Classement[1][r]);
        ecarts.push_back(s < m.Ecarts_Esp.size() ? m.Ecarts_Esp[s] : 0);
    }
    return ecarts;
}

ListeEspeces Affiche_Especes(KeyModel &m)
{
    Calcule_Scores(m);
    Calcule_Ecarts(m);
    Trie_Scores(m);
    Calcule_Pourcentages(m);

    ListeEspeces liste;
    liste.lignes = Lignes_Especes(m);
    liste.ecarts = Ecarts_Lignes(m);
    liste.toleranceVide = m.Ecarts_Toleres >= 0 && m.Classement[1].empty() && Especes_Du_Groupe_En_Jeu(m) > 0;
    m.Nb_Esp_Max = static_cast<std::int16_t>(std::min<std::ptrdiff_t>(especesEnTete(m), 32767));
    liste.legende = Legende_Especes(m);
    return liste;
}

namespace {

// "FAGACEAE" as the species tree shows it: "Fagaceae".
std::string casseNomPropre(const std::string &nom)
{
    std::string out = nom;
    bool debut = true;
    for (char &c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80 && std::isalpha(u))
            c = static_cast<char>(debut ? std::toupper(u) : std::tolower(u));
        debut = u < 0x80 && !std::isalpha(u);
    }
    return out;
}

std::string remplace(std::string texte, const std::string &marque, const std::string &valeur)
{
    if (const auto at = texte.find(marque); at != std::string::npos)
        texte.replace(at, marque.size(), valeur);
    return texte;
}

// " (within Fagaceae; 8 of 80 species kept)" when species are left out of the ranking.
std::string especesGardees(const KeyModel &m)
{
    const std::size_t toutes = compte(m.Nb_Esp);
    const std::size_t gardees = m.Classement[1].size();
    if (!m.Groupe && gardees >= toutes)
        return {};
    std::string texte = " (";
    if (m.Groupe)
        texte += remplace(Texte_Ou_Anglais(m.Num_Langue, 1181), "%1",
                          m.Groupe->rang == Groupe_Especes::Rang::Famille ? casseNomPropre(m.Groupe->nom) : m.Groupe->nom) +
                 "; ";
    texte += remplace(remplace(Texte_Ou_Anglais(m.Num_Langue, 1180), "%1", std::to_string(gardees)), "%2",
                      std::to_string(toutes));
    return texte + ")";
}

} // namespace

namespace {

// The leaders and their percentage, or that none reaches the threshold.
std::string legendeClassement(const KeyModel &m)
{
    const std::ptrdiff_t leaders = especesEnTete(m);
    // "0 species at 0 %" under an empty list tells a new user nothing.
    if (leaders == 0 && m.Seuil_Affichage > 0) {
        std::string texte = Texte_Ou_Anglais(m.Num_Langue, 1501);
        if (const auto at = texte.find("%1"); at != std::string::npos)
            texte.replace(at, 2, std::to_string(m.Seuil_Affichage));
        return texte;
    }
    const std::int64_t top = m.Pourcent_Esp.empty() ? 0 : m.Pourcent_Esp[0];
    return Texte_Nombre(std::min<std::ptrdiff_t>(leaders, 32767)) + " " + Texte_Ou_Anglais(m.Num_Langue, 1500) +
           Texte_Nombre(top) + " %";
}

} // namespace

std::string Legende_Especes(const KeyModel &m)
{
    return legendeClassement(m) + especesGardees(m);
}

} // namespace tarvenko
