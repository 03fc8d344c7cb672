// The bundled key printed as a dichotomous key: every species is reached by its own states.
#include "sample_base.h"

#include "engine/dichotomous_key.h"

namespace {

using namespace tarvenko;

// Every lead the species may take (a state it has; any lead of a question it has no data for)
// must end where it is named.
bool atteint(const Cle_Dichotomique &cle, const KeyModel &m, int s, int couplet, int profondeur)
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
        const bool fin = b.couplet >= 0 ? atteint(cle, m, s, b.couplet, profondeur + 1)
                                        : std::find(b.especes.begin(), b.especes.end(), s) != b.especes.end();
        if (!fin)
            return false;
    }
    return suivies > 0;
}

TEST(SampleDichotomousKey, everySpeciesIsReachedByFollowingItsOwnStates)
{
    const KeyModel m = test::chargeEchantillon();
    const Cle_Dichotomique cle = Construit_Cle_Dichotomique(m);
    ASSERT_FALSE(cle.couplets.empty());
    for (int s = 0; s < m.Nb_Esp; ++s)
        EXPECT_TRUE(atteint(cle, m, s, 0, 0)) << m.Nom_Esp[static_cast<std::size_t>(s)];
    // Couplets stay few: variable trees are not keyed over and over.
    EXPECT_LT(cle.couplets.size(), static_cast<std::size_t>(2 * m.Nb_Esp));
    std::size_t fins = 0;
    for (const Couplet &c : cle.couplets)
        for (const Branche &b : c.branches)
            fins += b.couplet < 0;
    EXPECT_GE(fins, static_cast<std::size_t>(m.Nb_Esp));
}

} // namespace
