#pragma once
// The reference beside the discriminant search in the benchmarks: the counts of the leading
// species for every state made as the search made them before the bit matrix, by adding the
// 16-bit matrix's columns over the leaders.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "knowledge/key_model.h"

namespace tarvenko::bench {

inline std::int64_t Comptes_Par_Sommes(const KeyModel &m)
{
    const auto especes = static_cast<std::size_t>(std::max<int>(m.Nb_Esp, 0));
    const auto n = std::min(static_cast<std::size_t>(std::max<int>(m.Nb_Esp_Max, 0)), m.Classement[1].size());
    std::vector<std::int64_t> meneurs(m.Classement[1].begin(), m.Classement[1].begin() + static_cast<std::ptrdiff_t>(n));
    std::sort(meneurs.begin(), meneurs.end());
    std::int64_t total = 0;
    for (std::size_t e = 0; e < static_cast<std::size_t>(std::max<int>(m.Nb_Etats_Desc, 0)); ++e) {
        if (m.Matrice.size() < (e + 1) * especes)
            break;
        const std::int16_t *colonne = m.Matrice.data() + e * especes;
        std::int32_t somme = 0;
        if (n == especes) {
            for (std::size_t s = 0; s < especes; ++s)
                somme += colonne[s];
        } else {
            for (std::int64_t s : meneurs)
                somme += colonne[s];
        }
        total += somme;
    }
    return total;
}

} // namespace tarvenko::bench
