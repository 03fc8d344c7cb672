#include "engine/numeric_sweep.h"

#include <algorithm>
#include <cmath>

#include "engine/discriminant.h"

namespace tarvenko {

std::uint64_t Marque_Espece(std::uint64_t s)
{
    std::uint64_t z = s + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

bool Ajoute_Bornes_Num(std::vector<Borne_Num> &bornes, const Caractere_Num &c, std::size_t s)
{
    if (s >= c.connue.size() || s >= c.bas.size() || s >= c.haut.size() || !c.connue[s] || std::isnan(c.bas[s]) ||
        std::isnan(c.haut[s]))
        return false;
    const std::uint64_t cle = Marque_Espece(s);
    bornes.push_back({c.bas[s], true, static_cast<std::uint32_t>(s), cle});
    bornes.push_back({c.haut[s], false, static_cast<std::uint32_t>(s), cle});
    return true;
}

void Trie_Bornes_Num(std::vector<Borne_Num> &bornes)
{
    std::sort(bornes.begin(), bornes.end(), [](const Borne_Num &a, const Borne_Num &b) {
        return a.valeur != b.valeur ? a.valeur < b.valeur : a.entre > b.entre;
    });
}

double Mesure_Ensembles_Num(std::vector<std::pair<std::uint64_t, std::int64_t>> &ensembles, std::int64_t total)
{
    // A fingerprint stands for one set, whose count is the same wherever on the line it is met:
    // sorting the pairs whole keeps the first count noted without a stable sort's buffer.
    std::sort(ensembles.begin(), ensembles.end());
    std::vector<std::int64_t> parEnsemble;
    parEnsemble.reserve(ensembles.size());
    for (std::size_t i = 0; i < ensembles.size(); ++i) {
        if (i == 0 || ensembles[i].first != ensembles[i - 1].first)
            parEnsemble.push_back(ensembles[i].second);
    }
    return Mesure_Discriminante(parEnsemble, total);
}

} // namespace tarvenko
