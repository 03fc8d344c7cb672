#include "engine/answering.h"

#include <algorithm>

namespace tarvenko {

void Nettoye(KeyModel &m)
{
    std::fill(m.Etat_Choisi.begin(), m.Etat_Choisi.end(), std::int16_t{0});
    std::fill(m.Cadre_Fait.begin(), m.Cadre_Fait.end(), std::int16_t{0});
    m.Question_Passee = false;
}

} // namespace tarvenko
