#pragma once

#include <algorithm>
#include <cstddef>

#include "engine/dichotomous_key.h"
#include "knowledge/key_model.h"

namespace tarvenko::test {

// Follows the dichotomous key from `couplet` with species `s`'s own states, every lead it may
// take (a state it has; any lead of a question it has no data for): true when each path ends
// where the species is named.
inline bool atteintParSesEtats(const Cle_Dichotomique &cle, const KeyModel &m, int s, int couplet = 0, int profondeur = 0)
{
    if (profondeur > static_cast<int>(cle.couplets.size()))
        return false;
    const Couplet &c = cle.couplets[static_cast<std::size_t>(couplet)];
    const auto aLeLien = [&](const Branche &b) {
        return std::any_of(b.etats.begin(), b.etats.end(), [&](int e) { return m.matrice(s, e) == 1; });
    };
    const bool sansDonnees = std::none_of(c.branches.begin(), c.branches.end(), aLeLien);
    int suivies = 0;
    for (const Branche &b : c.branches) {
        if (!sansDonnees && !aLeLien(b))
            continue;
        ++suivies;
        const bool fin = b.couplet >= 0 ? atteintParSesEtats(cle, m, s, b.couplet, profondeur + 1)
                                        : std::find(b.especes.begin(), b.especes.end(), s) != b.especes.end();
        if (!fin)
            return false;
    }
    return suivies > 0;
}

} // namespace tarvenko::test
