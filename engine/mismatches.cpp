#include "engine/mismatches.h"

#include <algorithm>

#include "engine/answering.h"
#include "engine/numeric_characters.h"
#include "resources/string_table.h"

namespace tarvenko {

namespace {

std::size_t compte(std::int16_t n) { return n > 0 ? static_cast<std::size_t>(n) : 0; }

bool dansLeGroupe(const KeyModel &m, std::size_t s)
{
    return m.Especes_En_Jeu.empty() || (s < m.Especes_En_Jeu.size() && m.Especes_En_Jeu[s] != 0);
}

} // namespace

void Calcule_Ecarts(KeyModel &m)
{
    const std::size_t especes = compte(m.Nb_Esp);
    m.Ecarts_Esp.assign(especes, 0);
    // The chosen states that some question holds: the Errors command finds nothing elsewhere.
    std::vector<int> choisis;
    const Tables &t = m.Base_Donnees;
    for (const ObjetRow &row : t.Objets_Fic.rows) {
        const PlageEtats etats = Etats_De(row);
        for (int k = std::max(etats.premier, 0); k < etats.premier + etats.nombre; ++k) {
            if (static_cast<std::size_t>(k) < m.Etat_Choisi.size() && m.Etat_Choisi[static_cast<std::size_t>(k)] != 0)
                choisis.push_back(k);
        }
    }
    std::sort(choisis.begin(), choisis.end());
    choisis.erase(std::unique(choisis.begin(), choisis.end()), choisis.end());
    for (const int k : choisis) {
        const std::size_t debut = static_cast<std::size_t>(k) * especes;
        if (m.Matrice.size() < debut + especes) {
            // No column: no species has the state.
            for (std::int32_t &e : m.Ecarts_Esp)
                ++e;
            continue;
        }
        const std::int16_t *colonne = m.Matrice.data() + debut;
        std::int32_t *ecarts = m.Ecarts_Esp.data();
        for (std::size_t s = 0; s < especes; ++s)
            ecarts[s] += colonne[s] != 1 ? 1 : 0;
    }
    for (std::size_t c = 0; c < m.Caracteres_Num.size() && c < m.Valeur_Num.size(); ++c) {
        if (!m.Valeur_Num[c])
            continue;
        for (std::size_t s = 0; s < especes; ++s)
            m.Ecarts_Esp[s] += !Accepte_Num(m, m.Caracteres_Num[c], s, *m.Valeur_Num[c]);
    }
}

bool Espece_En_Jeu(const KeyModel &m, std::size_t s)
{
    if (!dansLeGroupe(m, s))
        return false;
    return m.Ecarts_Toleres < 0 || s >= m.Ecarts_Esp.size() || m.Ecarts_Esp[s] <= m.Ecarts_Toleres;
}

std::size_t Especes_Du_Groupe_En_Jeu(const KeyModel &m)
{
    std::size_t n = 0;
    for (std::size_t s = 0; s < compte(m.Nb_Esp); ++s)
        n += dansLeGroupe(m, s);
    return n;
}

std::int32_t Ecart_Minimal(const KeyModel &m)
{
    std::int32_t minimum = -1;
    for (std::size_t s = 0; s < compte(m.Nb_Esp); ++s) {
        if (!dansLeGroupe(m, s))
            continue;
        const std::int32_t e = s < m.Ecarts_Esp.size() ? m.Ecarts_Esp[s] : 0;
        if (minimum < 0 || e < minimum)
            minimum = e;
    }
    return minimum;
}

std::string Message_Tolerance(const KeyModel &m)
{
    std::string texte = Texte_Ou_Anglais(m.Num_Langue, 1182);
    if (const auto at = texte.find("%1"); at != std::string::npos)
        texte.replace(at, 2, std::to_string(std::max<int>(m.Ecarts_Toleres, 0)));
    return texte;
}

} // namespace tarvenko
