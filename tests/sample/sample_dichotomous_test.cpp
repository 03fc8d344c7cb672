// The bundled key printed as a dichotomous key: every species is reached by its own states.
#include "sample_base.h"

#include "engine/dichotomous_key.h"
#include "support/cle_dichotomique.h"

namespace {

using namespace tarvenko;

TEST(SampleDichotomousKey, everySpeciesIsReachedByFollowingItsOwnStates)
{
    const KeyModel m = test::chargeEchantillon();
    const Cle_Dichotomique cle = Construit_Cle_Dichotomique(m);
    ASSERT_FALSE(cle.couplets.empty());
    for (int s = 0; s < m.Nb_Esp; ++s)
        EXPECT_TRUE(test::atteintParSesEtats(cle, m, s)) << m.Nom_Esp[static_cast<std::size_t>(s)];
    // Couplets stay few: variable trees are not keyed over and over.
    EXPECT_LT(cle.couplets.size(), static_cast<std::size_t>(2 * m.Nb_Esp));
    std::size_t fins = 0;
    for (const Couplet &c : cle.couplets)
        for (const Branche &b : c.branches)
            fins += b.couplet < 0;
    EXPECT_GE(fins, static_cast<std::size_t>(m.Nb_Esp));
}

} // namespace
