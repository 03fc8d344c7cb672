#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "knowledge/key_model.h"

namespace tarvenko {

// The line of a numeric character as the discriminant search walks along it: the bounds of the
// species' ranges, and the sets of species that hold each stretch between two of them.

// A bound of a species' range: where the species enters the set of species holding a value
// (entre) or leaves it. `cle` is the species' mark in a set's fingerprint.
struct Borne_Num {
    double valeur = 0.0;
    bool entre = false;
    std::uint32_t espece = 0;
    std::uint64_t cle = 0;
};

// The mark of species s: splitmix64 of its number. A set is known by the XOR of its members' marks.
std::uint64_t Marque_Espece(std::uint64_t s);

// Adds the two bounds of species s's range; false, adding nothing, when the character gives it
// none: no data, or bounds that are not numbers (a sweep would never pass a bound that equals
// nothing, not even itself).
bool Ajoute_Bornes_Num(std::vector<Borne_Num> &bornes, const Caractere_Num &c, std::size_t s);

// Puts bounds in the order a sweep meets them: by value, and at one value the entries first, so
// that a range reduced to a point still holds it.
void Trie_Bornes_Num(std::vector<Borne_Num> &bornes);

// The measure of the sets met (fingerprint, species), each counted once, added in the order of
// their fingerprints.
double Mesure_Ensembles_Num(std::vector<std::pair<std::uint64_t, std::int64_t>> &ensembles, std::int64_t total);

// Mesure_Discriminante of a numeric character among `total` species, from `n` bounds in sweep
// order, bound i being `borne(i)`; `inconnues` species without data belong to every set. The set
// of species changes only where a range starts or ends; every set met is one outcome of the
// answer, wherever on the line it is met again. A template so that a sweep over the index's
// bounds reads them where they lie.
template <typename Lit>
double Mesure_Balayage_Num(std::size_t n, const Lit &borne, std::int64_t inconnues, std::int64_t total)
{
    std::vector<std::pair<std::uint64_t, std::int64_t>> ensembles;
    ensembles.reserve(n); // a set is noted at most once per bound
    std::uint64_t empreinte = 0;
    std::int64_t actives = 0;
    const auto note = [&] {
        if (actives > 0)
            ensembles.emplace_back(empreinte, actives + inconnues);
    };
    for (std::size_t i = 0; i < n;) {
        const double v = borne(i).valeur;
        if (borne(i).entre) {
            note();
            for (; i < n && borne(i).valeur == v && borne(i).entre; ++i) {
                empreinte ^= borne(i).cle;
                ++actives;
            }
        }
        if (i < n && borne(i).valeur == v && !borne(i).entre) {
            note();
            for (; i < n && borne(i).valeur == v; ++i) {
                empreinte ^= borne(i).cle;
                --actives;
            }
        }
    }
    return Mesure_Ensembles_Num(ensembles, total);
}

} // namespace tarvenko
