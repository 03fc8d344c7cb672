#include "engine/search_index.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>

#include "engine/discriminant.h"
#include "engine/numeric_characters.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TARVENKO_X86_64 1
#include <immintrin.h>
#endif

namespace tarvenko {

namespace {

// --- Counting bits ---------------------------------------------------------------------------

std::uint64_t comptePortable(const std::uint64_t *a, const std::uint64_t *b, std::size_t n)
{
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < n; ++i)
        total += static_cast<std::uint64_t>(std::popcount(a[i] & b[i]));
    return total;
}

#ifdef TARVENKO_X86_64
__attribute__((target("popcnt"))) std::uint64_t comptePopcnt(const std::uint64_t *a, const std::uint64_t *b, std::size_t n)
{
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < n; ++i)
        total += static_cast<std::uint64_t>(_mm_popcnt_u64(a[i] & b[i]));
    return total;
}

// Four words at a time: each byte's bits counted by looking its two halves up in a table of 16,
// the byte counts summed into four 64-bit lanes.
__attribute__((target("avx2,popcnt"))) std::uint64_t compteAvx2(const std::uint64_t *a, const std::uint64_t *b, std::size_t n)
{
    const __m256i table = _mm256_setr_epi8(0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4, 0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3,
                                           3, 4);
    const __m256i demi = _mm256_set1_epi8(0x0f);
    const __m256i zero = _mm256_setzero_si256();
    __m256i somme = zero;
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(a + i));
        const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(b + i));
        const __m256i v = _mm256_and_si256(va, vb);
        const __m256i bas = _mm256_shuffle_epi8(table, _mm256_and_si256(v, demi));
        const __m256i haut = _mm256_shuffle_epi8(table, _mm256_and_si256(_mm256_srli_epi16(v, 4), demi));
        somme = _mm256_add_epi64(somme, _mm256_sad_epu8(_mm256_add_epi8(bas, haut), zero));
    }
    std::uint64_t total = static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 0)) +
                          static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 1)) +
                          static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 2)) +
                          static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 3));
    for (; i < n; ++i)
        total += static_cast<std::uint64_t>(_mm_popcnt_u64(a[i] & b[i]));
    return total;
}
#endif

using Compteur = std::uint64_t (*)(const std::uint64_t *, const std::uint64_t *, std::size_t);

Compteur compteurDe(Voie_Comptage voie)
{
#ifdef TARVENKO_X86_64
    switch (voie) {
    case Voie_Comptage::Avx2: return compteAvx2;
    case Voie_Comptage::Popcnt: return comptePopcnt;
    case Voie_Comptage::Portable: break;
    }
#else
    (void)voie;
#endif
    return comptePortable;
}

Voie_Comptage meilleureVoie()
{
    if (Voie_Disponible(Voie_Comptage::Avx2))
        return Voie_Comptage::Avx2;
    if (Voie_Disponible(Voie_Comptage::Popcnt))
        return Voie_Comptage::Popcnt;
    return Voie_Comptage::Portable;
}

// The way is chosen at the first count, once the processor's features have been read.
Compteur compteurChoisi()
{
    static const Compteur compteur = compteurDe(meilleureVoie());
    return compteur;
}

// --- Making the index ------------------------------------------------------------------------

// Column e of the matrix into `mots` words of bits; true when every value is 0 or 1.
bool colonneEnBits(const std::int16_t *colonne, std::size_t especes, std::uint64_t *mots)
{
    std::size_t s = 0;
    std::uint16_t autres = 0; // the bits of every value but the lowest, or-ed together
#ifdef TARVENKO_X86_64
    // SSE2, which every x86-64 processor has: 16 values compared with 1 at a time.
    const __m128i un = _mm_set1_epi16(1);
    __m128i hors = _mm_setzero_si128();
    for (; s + 64 <= especes; s += 64) {
        std::uint64_t mot = 0;
        for (std::size_t j = 0; j < 64; j += 16) {
            const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(colonne + s + j));
            const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(colonne + s + j + 8));
            hors = _mm_or_si128(hors, _mm_or_si128(_mm_andnot_si128(un, v0), _mm_andnot_si128(un, v1)));
            const __m128i egaux = _mm_packs_epi16(_mm_cmpeq_epi16(v0, un), _mm_cmpeq_epi16(v1, un));
            mot |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm_movemask_epi8(egaux))) << j;
        }
        mots[s / 64] = mot;
    }
    alignas(16) std::uint16_t h[8];
    _mm_store_si128(reinterpret_cast<__m128i *>(h), hors);
    for (std::uint16_t x : h)
        autres = static_cast<std::uint16_t>(autres | x);
#endif
    for (; s < especes; ++s) {
        const auto v = static_cast<std::uint16_t>(colonne[s]);
        autres = static_cast<std::uint16_t>(autres | (v & ~1u));
        if (v == 1)
            mots[s / 64] |= std::uint64_t{1} << (s % 64);
    }
    return autres == 0;
}

Index_Recherche::Numerique bornesDe(const Caractere_Num &c)
{
    Index_Recherche::Numerique n;
    const std::size_t especes = c.connue.size();
    if (c.bas.size() < especes || c.haut.size() < especes)
        return n;
    for (std::size_t s = 0; s < especes; ++s)
        Ajoute_Bornes_Num(n.bornes, c, s);
    Trie_Bornes_Num(n.bornes);
    n.trie = true;
    return n;
}

bool aJour(const Index_Recherche &ix, const KeyModel &m)
{
    return ix.generation == m.Generation_Donnees && ix.matrice == m.Matrice.data() && ix.tailleMatrice == m.Matrice.size() &&
           ix.nbEsp == m.Nb_Esp && ix.nbEtats == m.Nb_Etats_Desc && ix.nbNum == m.Caracteres_Num.size();
}

std::shared_ptr<const Index_Recherche> construit(const KeyModel &m)
{
    auto ix = std::make_shared<Index_Recherche>();
    ix->generation = m.Generation_Donnees;
    ix->matrice = m.Matrice.data();
    ix->tailleMatrice = m.Matrice.size();
    ix->nbEsp = m.Nb_Esp;
    ix->nbEtats = m.Nb_Etats_Desc;
    ix->nbNum = m.Caracteres_Num.size();

    ix->especes = m.Nb_Esp > 0 ? static_cast<std::size_t>(m.Nb_Esp) : 0;
    const std::size_t etats = m.Nb_Etats_Desc > 0 ? static_cast<std::size_t>(m.Nb_Etats_Desc) : 0;
    // The states whose column the matrix holds whole; with no species, every state counts 0.
    ix->etats = ix->especes == 0 ? 0 : std::min(etats, m.Matrice.size() / ix->especes);
    ix->mots = (ix->especes + 63) / 64;
    ix->bits.assign(ix->etats * ix->mots, 0);
    ix->additionne.assign(ix->etats, 0);
    for (std::size_t e = 0; e < ix->etats; ++e) {
        if (!colonneEnBits(m.Matrice.data() + e * ix->especes, ix->especes, ix->bits.data() + e * ix->mots))
            ix->additionne[e] = 1;
    }

    ix->numeriques.reserve(m.Caracteres_Num.size());
    for (const Caractere_Num &c : m.Caracteres_Num)
        ix->numeriques.push_back(bornesDe(c));
    return ix;
}

} // namespace

std::size_t Index_Recherche::octets() const
{
    std::size_t n = sizeof(*this) + bits.capacity() * sizeof(std::uint64_t) + additionne.capacity();
    for (const Numerique &c : numeriques)
        n += sizeof(c) + c.bornes.capacity() * sizeof(Borne_Num);
    return n;
}

const Index_Recherche &Index_De(KeyModel &m)
{
    if (!m.Index || !aJour(*m.Index, m))
        m.Index = construit(m);
    return *m.Index;
}

Meneurs::Meneurs(const KeyModel &m, const Index_Recherche &index)
{
    const auto n = std::min(static_cast<std::size_t>(std::max<int>(m.Nb_Esp_Max, 0)), m.Classement[1].size());
    m_n = static_cast<std::int64_t>(n);
    m_tous = n == index.especes;
    m_masque.assign(index.mots, 0);
    if (m_tous) {
        std::fill(m_masque.begin(), m_masque.end(), ~std::uint64_t{0});
        if (index.especes % 64 != 0)
            m_masque.back() = (std::uint64_t{1} << (index.especes % 64)) - 1;
    } else {
        for (std::size_t r = 0; r < n; ++r) {
            const std::int64_t s = m.Classement[1][r];
            if (s >= 0 && static_cast<std::size_t>(s) < index.especes)
                m_masque[static_cast<std::size_t>(s) / 64] |= std::uint64_t{1} << (static_cast<std::size_t>(s) % 64);
        }
    }
    // The list in ascending order, read from the bits.
    m_liste.reserve(n);
    for (std::size_t w = 0; w < m_masque.size(); ++w) {
        for (std::uint64_t mot = m_masque[w]; mot != 0; mot &= mot - 1)
            m_liste.push_back(static_cast<std::int64_t>(w * 64 + static_cast<std::size_t>(std::countr_zero(mot))));
    }
    // A column of `mots` words counts in about mots / 2 steps; a leader's bit in one.
    m_peu = 2 * m_liste.size() < index.mots;
}

std::int64_t Compte_Etat(const KeyModel &m, const Index_Recherche &index, const Meneurs &meneurs, int e)
{
    if (e < 0 || static_cast<std::size_t>(e) >= index.etats)
        return 0;
    const auto etat = static_cast<std::size_t>(e);
    if (index.additionne[etat]) {
        const std::int16_t *colonne = m.Matrice.data() + etat * index.especes;
        // At most 32767 species of 16-bit values: the sum fits 32 bits.
        std::int32_t somme = 0;
        for (std::int64_t s : meneurs.liste())
            somme += colonne[s];
        return somme;
    }
    const std::uint64_t *colonne = index.bits.data() + etat * index.mots;
    if (meneurs.peu()) {
        std::int64_t n = 0;
        for (std::int64_t s : meneurs.liste())
            n += static_cast<std::int64_t>(colonne[static_cast<std::size_t>(s) / 64] >> (static_cast<std::size_t>(s) % 64) & 1);
        return n;
    }
    return static_cast<std::int64_t>(compteurChoisi()(index.bits.data() + etat * index.mots, meneurs.masque().data(), index.mots));
}

double Mesure_Num_Indexee(const KeyModel &m, const Index_Recherche &index, const Meneurs &meneurs, int c)
{
    if (c < 0 || static_cast<std::size_t>(c) >= index.numeriques.size() || static_cast<std::size_t>(c) >= m.Caracteres_Num.size())
        return 0.0;
    const Index_Recherche::Numerique &num = index.numeriques[static_cast<std::size_t>(c)];
    // A few leaders sort their own bounds sooner than the whole sorted line is read through.
    if (!num.trie || 16 * static_cast<std::size_t>(meneurs.N()) < num.bornes.size())
        return Mesure_Num(m, c, meneurs.liste());
    if (meneurs.N() == 0)
        return 0.0;
    const std::vector<std::uint64_t> &masque = meneurs.masque();
    const auto mene = [&](std::uint32_t s) { return s / 64 < masque.size() && (masque[s / 64] >> (s % 64) & 1) != 0; };

    // The leaders' bounds, still in sweep order.
    std::vector<const Borne_Num *> bornes;
    bornes.reserve(num.bornes.size());
    std::int64_t connues = 0;
    for (const Borne_Num &b : num.bornes) {
        if (mene(b.espece)) {
            bornes.push_back(&b);
            connues += b.entre ? 1 : 0;
        }
    }
    return Mesure_Balayage_Num(bornes.size(), [&](std::size_t i) -> const Borne_Num & { return *bornes[i]; },
                               meneurs.N() - connues, meneurs.N());
}

std::uint64_t Compte_Bits_Communs(const std::uint64_t *a, const std::uint64_t *b, std::size_t n) { return compteurChoisi()(a, b, n); }

bool Voie_Disponible(Voie_Comptage voie)
{
    if (voie == Voie_Comptage::Portable)
        return true;
#ifdef TARVENKO_X86_64
    __builtin_cpu_init();
    const bool popcnt = __builtin_cpu_supports("popcnt");
    return voie == Voie_Comptage::Popcnt ? popcnt : popcnt && __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

std::uint64_t Compte_Bits_Communs_Par(Voie_Comptage voie, const std::uint64_t *a, const std::uint64_t *b, std::size_t n)
{
    return compteurDe(Voie_Disponible(voie) ? voie : Voie_Comptage::Portable)(a, b, n);
}

Voie_Comptage Voie_Choisie() { return meilleureVoie(); }

} // namespace tarvenko
