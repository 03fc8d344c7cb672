#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <random>

#include "base_de_test.h"
#include "engine/discriminant.h"
#include "engine/numeric_characters.h"
#include "engine/scoring.h"
#include "engine/search_index.h"

using namespace tarvenko;
using tarvenko::test::BaseDeTest;

namespace {

// A key model of `especes` species and `etats` states held at random (about one cell in three),
// ranked in a shuffled order, the first `meneurs` of it leading.
KeyModel modele(int especes, int etats, int meneurs, unsigned graine)
{
    KeyModel m;
    m.Nb_Esp = static_cast<std::int16_t>(especes);
    m.Nb_Etats_Desc = static_cast<std::int16_t>(etats);
    std::mt19937 hasard(graine);
    m.Matrice.resize(static_cast<std::size_t>(especes) * static_cast<std::size_t>(etats));
    for (auto &v : m.Matrice)
        v = static_cast<std::int16_t>(hasard() % 3 == 0 ? 1 : 0);
    m.Classement[1].resize(static_cast<std::size_t>(especes));
    std::iota(m.Classement[1].begin(), m.Classement[1].end(), 0);
    std::shuffle(m.Classement[1].begin(), m.Classement[1].end(), hasard);
    m.Nb_Esp_Max = static_cast<std::int16_t>(meneurs);
    return m;
}

// The count as the matrix states it: its values added over the leading species.
std::int64_t somme(const KeyModel &m, int e)
{
    std::int64_t total = 0;
    for (int r = 0; r < m.Nb_Esp_Max; ++r)
        total += m.matrice(static_cast<int>(m.Classement[1][static_cast<std::size_t>(r)]), e);
    return total;
}

struct Taille {
    int especes;
    int meneurs;
};

void PrintTo(const Taille &t, std::ostream *os) { *os << t.especes << " species, " << t.meneurs << " leading"; }

class Comptes : public ::testing::TestWithParam<Taille> {};

TEST_P(Comptes, areTheSumsOfTheMatrixOverTheLeaders)
{
    KeyModel m = modele(GetParam().especes, 40, GetParam().meneurs, 7);
    const Index_Recherche &index = Index_De(m);
    const Meneurs meneurs(m, index);
    EXPECT_EQ(meneurs.N(), GetParam().meneurs);
    EXPECT_EQ(meneurs.liste().size(), static_cast<std::size_t>(GetParam().meneurs));
    for (int e = 0; e < m.Nb_Etats_Desc; ++e)
        ASSERT_EQ(Compte_Etat(m, index, meneurs, e), somme(m, e)) << "state " << e;
}

// Column lengths around a word's 64 bits, with every species, none, one, and all but one leading.
INSTANTIATE_TEST_SUITE_P(SearchIndex, Comptes,
                         ::testing::Values(Taille{0, 0}, Taille{1, 1}, Taille{63, 63}, Taille{63, 62}, Taille{64, 64},
                                           Taille{64, 1}, Taille{64, 63}, Taille{65, 65}, Taille{65, 64}, Taille{65, 0},
                                           Taille{130, 65}, Taille{1000, 999}, Taille{1000, 500}, Taille{1000, 7},
                                           Taille{1000, 8}, Taille{1000, 9}));

TEST(SearchIndex, theLastSpeciesOfALongerColumnIsCountedOnItsOwn)
{
    KeyModel m = modele(65, 2, 1, 3);
    std::fill(m.Matrice.begin(), m.Matrice.end(), 0);
    m.Matrice[64] = 1; // species 64, state 0: the one bit of the second word
    m.Classement[1][0] = 64;
    const Index_Recherche &index = Index_De(m);
    EXPECT_EQ(Compte_Etat(m, index, Meneurs(m, index), 0), 1);
    m.Classement[1][0] = 63;
    EXPECT_EQ(Compte_Etat(m, index, Meneurs(m, index), 0), 0);
}

TEST(SearchIndex, valuesOtherThanZeroAndOneAreAddedAsTheMatrixHasThem)
{
    KeyModel m = modele(70, 3, 70, 11);
    m.Matrice[static_cast<std::size_t>(5 + 1 * 70)] = 2;
    m.Matrice[static_cast<std::size_t>(69 + 2 * 70)] = -1;
    const Index_Recherche &index = Index_De(m);
    const Meneurs meneurs(m, index);
    for (int e = 0; e < 3; ++e)
        EXPECT_EQ(Compte_Etat(m, index, meneurs, e), somme(m, e)) << "state " << e;
}

TEST(SearchIndex, statesOutsideTheMatrixCountNothing)
{
    KeyModel m = modele(64, 4, 64, 5);
    m.Matrice.resize(64 * 3); // the file held three states whole
    const Index_Recherche &index = Index_De(m);
    const Meneurs meneurs(m, index);
    EXPECT_EQ(index.etats, 3u);
    EXPECT_EQ(Compte_Etat(m, index, meneurs, 3), 0);
    EXPECT_EQ(Compte_Etat(m, index, meneurs, -1), 0);
    EXPECT_EQ(Compte_Etat(m, index, meneurs, 2), somme(m, 2));
}

TEST(SearchIndex, everyWayOfCountingGivesTheSameCount)
{
    std::mt19937_64 hasard(42);
    for (std::size_t mots = 0; mots <= 11; ++mots) {
        std::vector<std::uint64_t> a(mots), b(mots);
        for (std::size_t i = 0; i < mots; ++i) {
            a[i] = hasard();
            b[i] = i % 3 == 0 ? ~std::uint64_t{0} : hasard();
        }
        std::uint64_t attendu = 0;
        for (std::size_t i = 0; i < mots; ++i)
            for (int bit = 0; bit < 64; ++bit)
                attendu += (a[i] & b[i]) >> bit & 1;
        for (Voie_Comptage voie : {Voie_Comptage::Portable, Voie_Comptage::Popcnt, Voie_Comptage::Avx2}) {
            if (!Voie_Disponible(voie))
                continue;
            EXPECT_EQ(Compte_Bits_Communs_Par(voie, a.data(), b.data(), mots), attendu)
                << "way " << static_cast<int>(voie) << ", " << mots << " words";
        }
        EXPECT_EQ(Compte_Bits_Communs(a.data(), b.data(), mots), attendu);
    }
}

TEST(SearchIndex, isMadeOnceAndAgainWhenTheDataChange)
{
    KeyModel m = modele(100, 10, 100, 1);
    const Index_Recherche *premier = &Index_De(m);
    EXPECT_EQ(&Index_De(m), premier);

    // Changed in place: the generation tells.
    m.Matrice[0] = static_cast<std::int16_t>(1 - m.Matrice[0]);
    ++m.Generation_Donnees;
    const Index_Recherche &apres = Index_De(m);
    EXPECT_EQ(Compte_Etat(m, apres, Meneurs(m, apres), 0), somme(m, 0));

    // A copy of the model has a matrix of its own: its index is its own too.
    KeyModel copie = m;
    copie.Matrice[1] = static_cast<std::int16_t>(1 - copie.Matrice[1]);
    const Index_Recherche &ixCopie = Index_De(copie);
    EXPECT_NE(&ixCopie, &Index_De(m));
    EXPECT_EQ(Compte_Etat(copie, ixCopie, Meneurs(copie, ixCopie), 0), somme(copie, 0));
}

// Numeric ranges of `especes` species on a coarse scale, so that bounds meet and ranges repeat;
// one species in seven without data.
void ajouteNumerique(KeyModel &m, int especes, unsigned graine)
{
    std::mt19937 hasard(graine);
    Caractere_Num c;
    c.Objet = "N" + std::to_string(m.Caracteres_Num.size());
    for (int s = 0; s < especes; ++s) {
        const double bas = static_cast<double>(hasard() % 12);
        const double haut = bas + static_cast<double>(hasard() % 4);
        c.connue.push_back(static_cast<std::uint8_t>(hasard() % 7 == 0 ? 0 : 1));
        c.bas.push_back(bas);
        c.haut.push_back(haut);
    }
    c.minimum = c.bas;
    c.maximum = c.haut;
    m.Caracteres_Num.push_back(std::move(c));
    m.Valeur_Num.push_back(std::nullopt);
    m.Joker_Num.push_back(true);
}

class MesuresNumeriques : public ::testing::TestWithParam<Taille> {};

TEST_P(MesuresNumeriques, areThoseOfTheSweepOverTheLeaders)
{
    KeyModel m = modele(GetParam().especes, 2, GetParam().meneurs, 9);
    for (unsigned g = 0; g < 6; ++g)
        ajouteNumerique(m, GetParam().especes, 100 + g);
    const Index_Recherche &index = Index_De(m);
    const Meneurs meneurs(m, index);
    std::vector<std::int64_t> liste(m.Classement[1].begin(), m.Classement[1].begin() + GetParam().meneurs);
    for (int c = 0; c < 6; ++c) // the same double, bit for bit: ties between characters stay ties
        EXPECT_EQ(Mesure_Num_Indexee(m, index, meneurs, c), Mesure_Num(m, c, liste)) << "character " << c;
}

INSTANTIATE_TEST_SUITE_P(SearchIndex, MesuresNumeriques,
                         ::testing::Values(Taille{0, 0}, Taille{2, 2}, Taille{63, 63}, Taille{64, 64}, Taille{64, 20},
                                           Taille{65, 65}, Taille{65, 1}, Taille{500, 250}, Taille{500, 500}, Taille{500, 5}));

// The sweep never passed a bound that equals nothing, not even itself: the search hung.
TEST(SearchIndex, aRangeThatIsNoNumberCountsAsNoData)
{
    KeyModel m = modele(65, 2, 65, 4);
    ajouteNumerique(m, 65, 8);
    KeyModel sansDonnee = m;
    m.Caracteres_Num[0].connue[3] = 1;
    m.Caracteres_Num[0].haut[3] = std::numeric_limits<double>::quiet_NaN();
    sansDonnee.Caracteres_Num[0].connue[3] = 0;
    const std::vector<std::int64_t> tous(m.Classement[1].begin(), m.Classement[1].end());
    const double attendue = Mesure_Num(sansDonnee, 0, tous);
    EXPECT_EQ(Mesure_Num(m, 0, tous), attendue);
    const Index_Recherche &index = Index_De(m);
    EXPECT_EQ(Mesure_Num_Indexee(m, index, Meneurs(m, index), 0), attendue);
}

// Ranges that stop short of the flags (arrays of other lengths): the species past the end of a
// range array have no data, whichever way the measure is made.
TEST(SearchIndex, speciesPastTheEndOfTheRangesCountAsNoData)
{
    KeyModel m = modele(65, 2, 65, 4);
    ajouteNumerique(m, 65, 8);
    KeyModel sansDonnee = m;
    m.Caracteres_Num[0].haut.resize(60);
    for (std::size_t s = 60; s < 65; ++s)
        sansDonnee.Caracteres_Num[0].connue[s] = 0;
    const std::vector<std::int64_t> tous(m.Classement[1].begin(), m.Classement[1].end());
    const double attendue = Mesure_Num(sansDonnee, 0, tous);
    EXPECT_EQ(Mesure_Num(m, 0, tous), attendue);
    const Index_Recherche &index = Index_De(m);
    EXPECT_EQ(Mesure_Num_Indexee(m, index, Meneurs(m, index), 0), attendue);
}

// A key whose first character splits the species and whose second does not; written again with
// the splits the other way round.
void ecritCle(BaseDeTest &base, bool inverse)
{
    base.kb = tools::KbBuilder(base.dir.dossier() + "data");
    base.kb.espece("Alpha", "F", "ALPHA").espece("Beta", "F", "BETAA");
    base.kb.objet({.objet = "Un", .etats = {"Un0", "Un1"}});
    base.kb.objet({.objet = "Deux", .etats = {"Deux0", "Deux1"}});
    base.kb.a("Alpha", "Un0").a("Beta", inverse ? "Un0" : "Un1");
    base.kb.a("Alpha", "Deux0").a("Beta", inverse ? "Deux1" : "Deux0");
}

TEST(SearchIndex, aKeyReadAgainIntoTheSameModelIsSearchedWithItsNewMatrix)
{
    BaseDeTest base;
    ecritCle(base, false);
    base.charge();
    Affiche_Especes(base.m);
    ResultatRecherche r = Cherche_Discriminant(base.m);
    ASSERT_EQ(r.issue, ResultatRecherche::Issue::Question);
    EXPECT_EQ(r.ligne->Objet.value_or(""), "Un");

    // Same counts, same sizes: only the matrix's values differ.
    ecritCle(base, true);
    base.kb.ecrit();
    ASSERT_EQ(Charge_Connaissances(base.m).etat, ResultatChargement::Etat::Ok);
    Affiche_Especes(base.m);
    r = Cherche_Discriminant(base.m);
    ASSERT_EQ(r.issue, ResultatRecherche::Issue::Question);
    EXPECT_EQ(r.ligne->Objet.value_or(""), "Deux");
}

} // namespace
