#include "engine/scoring.h"

#include <algorithm>
#include <array>
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
    std::int64_t *score = m.Score_Esp.data();
    for (std::size_t e = 0; e < etats; ++e) {
        const std::int64_t facteur = poidsChoisi(m, e);
        if (facteur == 0 || m.Matrice.size() < (e + 1) * especes)
            continue;
        const std::int16_t *colonne = m.Matrice.data() + e * especes;
        if (facteur >= std::numeric_limits<std::int16_t>::min() && facteur <= std::numeric_limits<std::int16_t>::max()) {
            // A weight chosen once: 16 bits by 16 bits, exact in 32, which the processor does
            // several species at a time.
            const auto f = static_cast<std::int16_t>(facteur);
            for (std::size_t s = 0; s < especes; ++s)
                score[s] += static_cast<std::int32_t>(f) * static_cast<std::int32_t>(colonne[s]);
        } else {
            for (std::size_t s = 0; s < especes; ++s)
                score[s] += facteur * colonne[s];
        }
    }
    Ajoute_Scores_Num(m);
}

namespace {

// Positions of the keys in a stable ascending order, as a list of indexes into `cles`: a counting
// sort when the keys are few, else a least-significant-digit radix sort on as many 11-bit digits
// as the largest key needs. Equal keys keep their order.
std::vector<std::uint32_t> ordreStable(const std::vector<std::uint64_t> &cles, std::uint64_t plusGrande)
{
    const std::size_t n = cles.size();
    std::vector<std::uint32_t> ordre(n);
    if (plusGrande < std::max<std::uint64_t>(2 * n, 256)) {
        std::vector<std::uint32_t> debut(static_cast<std::size_t>(plusGrande) + 2, 0);
        for (const std::uint64_t c : cles)
            ++debut[static_cast<std::size_t>(c) + 1];
        for (std::size_t k = 1; k < debut.size(); ++k)
            debut[k] += debut[k - 1];
        for (std::size_t i = 0; i < n; ++i)
            ordre[debut[static_cast<std::size_t>(cles[i])]++] = static_cast<std::uint32_t>(i);
        return ordre;
    }
    constexpr unsigned kBits = 11;
    constexpr std::size_t kSeaux = std::size_t{1} << kBits;
    for (std::size_t i = 0; i < n; ++i)
        ordre[i] = static_cast<std::uint32_t>(i);
    std::vector<std::uint32_t> suivant(n);
    for (unsigned decalage = 0; decalage < 64 && (plusGrande >> decalage) != 0; decalage += kBits) {
        std::array<std::uint32_t, kSeaux + 1> debut{};
        for (const std::uint64_t c : cles)
            ++debut[((c >> decalage) & (kSeaux - 1)) + 1];
        for (std::size_t k = 1; k <= kSeaux; ++k)
            debut[k] += debut[k - 1];
        for (const std::uint32_t i : ordre)
            suivant[debut[(cles[i] >> decalage) & (kSeaux - 1)]++] = i;
        ordre.swap(suivant);
    }
    return ordre;
}

} // namespace

void Trie_Scores(KeyModel &m)
{
    const std::vector<std::int64_t> &scores = m.Score_Esp;
    // The species in play, in ascending order; with neither a group nor a tolerance, all of them.
    std::vector<std::uint32_t> especes;
    especes.reserve(scores.size());
    const bool toutes = m.Especes_En_Jeu.empty() && m.Ecarts_Toleres < 0;
    for (std::size_t s = 0; s < scores.size(); ++s) {
        if (toutes || Espece_En_Jeu(m, s))
            especes.push_back(static_cast<std::uint32_t>(s));
    }
    const std::size_t n = especes.size();
    std::int64_t minimum = std::numeric_limits<std::int64_t>::max();
    std::int64_t maximum = std::numeric_limits<std::int64_t>::min();
    for (const std::uint32_t s : especes) {
        minimum = std::min(minimum, scores[s]);
        maximum = std::max(maximum, scores[s]);
    }
    // Under a negative total weight the lowest score is the highest percentage; ranking by
    // percentage keeps a list line's position equal to its rank. The key is the distance from
    // the best score, computed modulo 2^64 so that any two 64-bit scores have one.
    const bool inverse = poidsTotal(m) < 0;
    std::vector<std::uint64_t> cles(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto score = static_cast<std::uint64_t>(scores[especes[i]]);
        cles[i] = inverse ? score - static_cast<std::uint64_t>(minimum) : static_cast<std::uint64_t>(maximum) - score;
    }
    const std::uint64_t etendue = n == 0 ? 0 : static_cast<std::uint64_t>(maximum) - static_cast<std::uint64_t>(minimum);
    const std::vector<std::uint32_t> ordre = ordreStable(cles, etendue);
    m.Classement[0].resize(n);
    m.Classement[1].resize(n);
    for (std::size_t r = 0; r < n; ++r) {
        const std::uint32_t s = especes[ordre[r]];
        m.Classement[0][r] = scores[s];
        m.Classement[1][r] = s;
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
        // Equal scores are neighbours in the ranking, and have one percentage.
        if (r > 0 && scores[r] == scores[r - 1]) {
            m.Pourcent_Esp[r] = m.Pourcent_Esp[r - 1];
            continue;
        }
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

// The listed species that share the top percentage: percentages fall along the ranks, so they
// are the first ones.
std::ptrdiff_t especesEnTete(const KeyModel &m)
{
    const std::vector<std::int64_t> &p = m.Pourcent_Esp;
    if (p.empty() || p[0] < m.Seuil_Affichage)
        return 0;
    const auto fin = std::find_if(p.begin(), p.end(), [&](std::int64_t pourcent) { return pourcent != p[0]; });
    return fin - p.begin();
}

} // namespace

LignesEspeces Lignes_Listees(const KeyModel &m)
{
    const std::size_t rangs = std::min(m.Pourcent_Esp.size(), m.Classement[1].size());
    const auto debut = m.Pourcent_Esp.begin();
    const auto fin = std::partition_point(debut, debut + static_cast<std::ptrdiff_t>(rangs),
                                          [&](std::int64_t pourcent) { return pourcent >= m.Seuil_Affichage; });
    return LignesEspeces(static_cast<std::size_t>(fin - debut));
}

std::string Ligne_Espece(const KeyModel &m, std::size_t r)
{
    if (r >= m.Pourcent_Esp.size() || r >= m.Classement[1].size())
        return {};
    const auto s = static_cast<std::size_t>(m.Classement[1][r]);
    return Texte_Nombre(m.Pourcent_Esp[r]) + "% - " + (s < m.Nom_Esp.size() ? m.Nom_Esp[s] : std::string());
}

std::int32_t Ecart_Ligne(const KeyModel &m, std::size_t r)
{
    if (r >= m.Classement[1].size())
        return 0;
    const auto s = static_cast<std::size_t>(m.Classement[1][r]);
    return s < m.Ecarts_Esp.size() ? m.Ecarts_Esp[s] : 0;
}

std::vector<std::string> LignesEspeces::textes(const KeyModel &m) const
{
    std::vector<std::string> lignes;
    lignes.reserve(m_nombre);
    for (std::size_t r = 0; r < m_nombre; ++r)
        lignes.push_back(Ligne_Espece(m, r));
    return lignes;
}

std::vector<std::string> Lignes_Especes(const KeyModel &m) { return Lignes_Listees(m).textes(m); }

std::vector<std::int32_t> Ecarts_Lignes(const KeyModel &m)
{
    const std::size_t n = Lignes_Listees(m).size();
    std::vector<std::int32_t> ecarts(n);
    for (std::size_t r = 0; r < n; ++r)
        ecarts[r] = Ecart_Ligne(m, r);
    return ecarts;
}

ListeEspeces Affiche_Especes(KeyModel &m)
{
    Calcule_Scores(m);
    Calcule_Ecarts(m);
    Trie_Scores(m);
    Calcule_Pourcentages(m);

    ListeEspeces liste;
    liste.lignes = Lignes_Listees(m);
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
                 // French sets a semicolon off with a no-break space.
                 (m.Num_Langue == 2 ? "\u00a0; " : "; ");
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
