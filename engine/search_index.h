#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/numeric_sweep.h"
#include "knowledge/key_model.h"

namespace tarvenko {

// What the discriminant search reads, laid out for counting the leading species: the matrix as
// one bit per species and state, each state a column of 64-bit words (bit s % 64 of word s / 64
// set when Matrice(s, e) = 1), and the bounds of every numeric character's ranges in the order
// a sweep along the line meets them. Made from the key model at the first search after its data
// changed (Generation_Donnees), then shared by every search.
struct Index_Recherche {
    // Where it was made from: an index of other data is made again.
    std::uint64_t generation = 0;
    const std::int16_t *matrice = nullptr;
    std::size_t tailleMatrice = 0;
    std::int16_t nbEsp = 0;
    std::int16_t nbEtats = 0;
    std::size_t nbNum = 0;

    std::size_t especes = 0; // species of a column
    std::size_t etats = 0;   // columns: the states the matrix holds whole
    std::size_t mots = 0;    // 64-bit words per column
    std::vector<std::uint64_t> bits;
    // Per state, 1 where the column holds a value other than 0 and 1: such a state is counted by
    // adding its values, as the matrix says, rather than from the bits.
    std::vector<std::uint8_t> additionne;

    struct Numerique {
        bool trie = false; // false: the arrays disagree in length
        std::vector<Borne_Num> bornes;
    };
    std::vector<Numerique> numeriques; // as Caracteres_Num

    // Bytes held, for the performance notes.
    std::size_t octets() const;
};

// The index of the key model's data: the cached one when it was made from the same data,
// otherwise a new one, cached in the model.
const Index_Recherche &Index_De(KeyModel &m);

// The Nb_Esp_Max leading species of the ranking (Classement row 1) as a set of bits, of the
// index's column layout, and as a list in ascending species order.
class Meneurs {
public:
    Meneurs(const KeyModel &m, const Index_Recherche &index);

    std::int64_t N() const { return m_n; }
    bool tous() const { return m_tous; }
    // So few leaders that looking up each one's bit costs less than counting whole columns.
    bool peu() const { return m_peu; }
    const std::vector<std::uint64_t> &masque() const { return m_masque; }
    const std::vector<std::int64_t> &liste() const { return m_liste; }

private:
    std::int64_t m_n = 0;
    bool m_tous = false;
    bool m_peu = false;
    std::vector<std::uint64_t> m_masque;
    std::vector<std::int64_t> m_liste;
};

// The sum of Matrice(s, e) over the leading species s: 0 for a state outside the matrix.
std::int64_t Compte_Etat(const KeyModel &m, const Index_Recherche &index, const Meneurs &meneurs, int e);

// Mesure_Num of numeric character c among the leading species, from the index's sorted bounds.
double Mesure_Num_Indexee(const KeyModel &m, const Index_Recherche &index, const Meneurs &meneurs, int c);

// The bits set in both a and b over n words. The processor's fastest way is chosen once: AVX2,
// else the popcnt instruction, else portable code.
std::uint64_t Compte_Bits_Communs(const std::uint64_t *a, const std::uint64_t *b, std::size_t n);

enum class Voie_Comptage { Portable, Popcnt, Avx2 };
// Whether this processor can count with the given way, and the count made that way (for tests and
// benchmarks; an unavailable way counts portably).
bool Voie_Disponible(Voie_Comptage voie);
std::uint64_t Compte_Bits_Communs_Par(Voie_Comptage voie, const std::uint64_t *a, const std::uint64_t *b, std::size_t n);
Voie_Comptage Voie_Choisie();

} // namespace tarvenko
