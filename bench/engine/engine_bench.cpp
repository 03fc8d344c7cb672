// The refresh after an answer and the search for a question, on generated knowledge bases of
// three sizes. Run a Release build: tarvenko_engine_bench --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <tuple>

#include "engine/dichotomous_key.h"
#include "engine/differences.h"
#include "engine/discriminant.h"
#include "engine/key_check.h"
#include "engine/mismatches.h"
#include "engine/numeric_characters.h"
#include "engine/refresh.h"
#include "engine/search_index.h"
#include "bench/reference_counts.h"
#include "knowledge/loader.h"

namespace {

using namespace tarvenko;

constexpr int kEtatsParCaractere = 4;

struct Taille {
    int especes;
    int etats;
    int reponses;
};

// Species come in families of 20 that mostly share their states, so that several species stay in
// the lead after the answers, as in a real key. Each species has one state of most characters,
// sometimes two. The answers describe one species.
std::unique_ptr<KeyModel> genere(const Taille &t)
{
    auto m = std::make_unique<KeyModel>();
    std::mt19937 random(12345);
    m->Nb_Esp = static_cast<std::int16_t>(t.especes);
    m->Nb_Etats_Desc = static_cast<std::int16_t>(t.etats);
    m->Version_Database = 300;
    Dimensionne_Modele(*m);
    m->Matrice.assign(static_cast<std::size_t>(t.especes) * static_cast<std::size_t>(t.etats), 0);

    Table<ObjetRow> &objets = m->Base_Donnees.Objets_Fic;
    objets.present = true;
    for (int first = 0, n = 0; first < t.etats; first += kEtatsParCaractere, ++n) {
        char key[16];
        std::snprintf(key, sizeof key, "O%05d", n);
        ObjetRow row;
        row.Numero = n + 1;
        row.Objet = key;
        row.Index_Car = static_cast<std::int16_t>(first);
        row.Nb_Car = static_cast<std::int16_t>(std::min(kEtatsParCaractere, t.etats - first));
        row.Desc_Num = static_cast<std::int16_t>(n);
        row.Lignes = 1;
        row.Colonnes = *row.Nb_Car;
        row.Cadre = -1;
        row.Joker = true;
        objets.rows.push_back(row);
        m->Base_Donnees.Objets_Fic_Objet.order.push_back(static_cast<std::size_t>(n));
        m->Base_Donnees.Objets_Fic_Objet.keys.push_back(key);
    }
    m->Joker.assign(objets.rows.size(), true);

    std::uniform_int_distribution<int> poids(1, 5), etatLibre(0, kEtatsParCaractere - 1);
    std::bernoulli_distribution ecart(0.02), deuxieme(0.05), absent(0.01);
    for (std::size_t e = 0; e < m->Poids.size(); ++e)
        m->Poids[e] = static_cast<std::int16_t>(poids(random));
    const auto especes = static_cast<std::size_t>(t.especes);
    std::vector<int> famille(objets.rows.size());
    for (std::size_t s = 0; s < especes; ++s) {
        char nom[32];
        std::snprintf(nom, sizeof nom, "Species %05zu", s);
        m->Nom_Esp[s] = nom;
        if (s % 20 == 0) {
            for (int &etat : famille)
                etat = etatLibre(random);
        }
        for (std::size_t c = 0; c < objets.rows.size(); ++c) {
            const ObjetRow &row = objets.rows[c];
            if (absent(random))
                continue;
            const int offset = std::min(ecart(random) ? etatLibre(random) : famille[c], *row.Nb_Car - 1);
            m->Matrice[s + static_cast<std::size_t>(*row.Index_Car + offset) * especes] = 1;
            if (deuxieme(random))
                m->Matrice[s + static_cast<std::size_t>(*row.Index_Car + etatLibre(random) % *row.Nb_Car) * especes] = 1;
        }
    }

    // The answers: the states of species 0 for `reponses` characters spread over the key.
    for (int i = 0; i < t.reponses; ++i) {
        const ObjetRow &row = objets.rows[static_cast<std::size_t>(i) * objets.rows.size() / static_cast<std::size_t>(t.reponses)];
        for (int k = *row.Index_Car; k < *row.Index_Car + *row.Nb_Car; ++k) {
            if (m->Matrice[static_cast<std::size_t>(k) * especes] == 1) {
                m->Etat_Choisi[static_cast<std::size_t>(k)] = 1;
                break;
            }
        }
    }
    return m;
}

KeyModel &base(const Taille &t)
{
    static std::map<std::tuple<int, int, int>, std::unique_ptr<KeyModel>> bases;
    auto &m = bases[{t.especes, t.etats, t.reponses}];
    if (!m)
        m = genere(t);
    return *m;
}

constexpr int kCaracteresNum = 10;

// The same key with kCaracteresNum numeric characters: each family of 20 species shares a range
// of its own, one species in a hundred has no data; the first `reponses` characters are answered
// with a value of species 0.
KeyModel &baseNum(const Taille &t, int reponses)
{
    static std::map<std::tuple<int, int, int, int>, std::unique_ptr<KeyModel>> bases;
    auto &m = bases[{t.especes, t.etats, t.reponses, reponses}];
    if (m)
        return *m;
    m = std::make_unique<KeyModel>(base(t));
    std::mt19937 random(678);
    std::uniform_real_distribution<double> debut(0.0, 100.0), largeur(1.0, 20.0);
    std::bernoulli_distribution absent(0.01);
    const auto especes = static_cast<std::size_t>(t.especes);
    for (int n = 0; n < kCaracteresNum; ++n) {
        Caractere_Num c;
        c.Objet = "N" + std::to_string(n);
        c.Unite = "mm";
        c.Poids = 3;
        c.connue.assign(especes, 0);
        c.minimum.assign(especes, 0.0);
        c.maximum.assign(especes, 0.0);
        double bas = 0, haut = 0;
        for (std::size_t s = 0; s < especes; ++s) {
            if (s % 20 == 0) {
                bas = debut(random);
                haut = bas + largeur(random);
            }
            if (absent(random))
                continue;
            c.connue[s] = 1;
            c.minimum[s] = bas;
            c.maximum[s] = haut;
        }
        c.bas = c.minimum;
        c.haut = c.maximum;
        m->Caracteres_Num.push_back(std::move(c));
    }
    m->Valeur_Num.assign(kCaracteresNum, std::nullopt);
    m->Joker_Num.assign(kCaracteresNum, true);
    for (int n = 0; n < reponses; ++n)
        m->Valeur_Num[static_cast<std::size_t>(n)] = m->Caracteres_Num[static_cast<std::size_t>(n)].minimum[0];
    return *m;
}

Taille taille(const benchmark::State &state)
{
    return {static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), static_cast<int>(state.range(2))};
}

// Score, rank, percentages, lines and Legende, as after every answer.
void mesureRafraichissement(benchmark::State &state, KeyModel &m)
{
    const auto image = std::make_shared<const Picture>();
    for (auto _ : state) {
        Rafraichissement r = Actualise_Identification(m, [&](const std::string &) { return image; });
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations() * m.Nb_Esp);
    state.counters["leaders"] = m.Nb_Esp_Max;
}

void BM_Rafraichissement(benchmark::State &state) { mesureRafraichissement(state, base(taille(state))); }

// The reference for the refresh: copying the chosen states' matrix columns once, the least that
// any scoring of the answers reads.
void BM_Reference_Colonnes(benchmark::State &state)
{
    KeyModel &m = base(taille(state));
    const auto especes = static_cast<std::size_t>(m.Nb_Esp);
    std::vector<std::int16_t> copie;
    for (auto _ : state) {
        copie.clear();
        for (std::size_t e = 0; e < m.Etat_Choisi.size(); ++e) {
            if (m.Etat_Choisi[e] != 0)
                copie.insert(copie.end(), m.Matrice.begin() + static_cast<std::ptrdiff_t>(e * especes),
                             m.Matrice.begin() + static_cast<std::ptrdiff_t>((e + 1) * especes));
        }
        benchmark::DoNotOptimize(copie.data());
        benchmark::ClobberMemory();
    }
}

// The parts of the refresh: the scores alone, and the ranking of scored species.
void BM_Scores(benchmark::State &state)
{
    KeyModel &m = base(taille(state));
    for (auto _ : state) {
        Calcule_Scores(m);
        benchmark::DoNotOptimize(m.Score_Esp.data());
    }
}

void BM_Tri(benchmark::State &state)
{
    KeyModel &m = base(taille(state));
    Calcule_Scores(m);
    for (auto _ : state) {
        Trie_Scores(m);
        benchmark::DoNotOptimize(m.Classement[1].data());
    }
}

// The refresh with numeric answers (the last argument) on top of the same answers of states: the
// difference from BM_Rafraichissement is what scoring the numbers costs.
void BM_Rafraichissement_Num(benchmark::State &state)
{
    mesureRafraichissement(state, baseNum(taille(state), static_cast<int>(state.range(3))));
}

// The search among the species leading after the answers (all of them with no answer given).
void BM_Recherche(benchmark::State &state)
{
    KeyModel &m = base(taille(state));
    Affiche_Especes(m);
    for (auto _ : state) {
        ResultatRecherche r = Cherche_Discriminant(m);
        benchmark::DoNotOptimize(r);
    }
    state.counters["leaders"] = m.Nb_Esp_Max;
    // Matrix cells read per second: leaders x states of the open characters.
    state.SetItemsProcessed(state.iterations() * m.Nb_Esp_Max * m.Nb_Etats_Desc);
}

// What one numeric answer adds to the scoring alone.
void BM_Score_Num(benchmark::State &state)
{
    KeyModel &m = baseNum(taille(state), 1);
    Calcule_Scores(m);
    for (auto _ : state) {
        Ajoute_Scores_Num(m);
        benchmark::DoNotOptimize(m.Score_Esp.data());
    }
    state.SetItemsProcessed(state.iterations() * m.Nb_Esp);
}

// The search when the key also has numeric characters, none answered.
void BM_Recherche_Num(benchmark::State &state)
{
    KeyModel &m = baseNum(taille(state), 0);
    Affiche_Especes(m);
    for (auto _ : state) {
        ResultatRecherche r = Cherche_Discriminant(m);
        benchmark::DoNotOptimize(r);
    }
    state.counters["leaders"] = m.Nb_Esp_Max;
}

// The counts of the leading species for every state, the whole cost of the search: as it used to
// make them (the 16-bit matrix's columns added over the leaders, the reference) and from the bit
// matrix, by the way this processor was given and by each way it offers.
void BM_Comptage_Sommes(benchmark::State &state)
{
    KeyModel &m = base(taille(state));
    Affiche_Especes(m);
    for (auto _ : state)
        benchmark::DoNotOptimize(bench::Comptes_Par_Sommes(m));
    state.counters["leaders"] = m.Nb_Esp_Max;
}

void BM_Comptage_Bits(benchmark::State &state)
{
    KeyModel &m = base(taille(state));
    Affiche_Especes(m);
    const Index_Recherche &index = Index_De(m);
    for (auto _ : state) {
        const Meneurs meneurs(m, index);
        std::int64_t total = 0;
        for (int e = 0; e < m.Nb_Etats_Desc; ++e)
            total += Compte_Etat(m, index, meneurs, e);
        benchmark::DoNotOptimize(total);
    }
    state.counters["leaders"] = m.Nb_Esp_Max;
    state.counters["index_MB"] = static_cast<double>(index.octets()) / 1e6;
}

void BM_Comptage_Voie(benchmark::State &state)
{
    const auto voie = static_cast<Voie_Comptage>(state.range(0));
    if (!Voie_Disponible(voie)) {
        state.SkipWithError("this processor lacks the instructions");
        return;
    }
    KeyModel &m = base({10000, 4000, 0});
    Affiche_Especes(m);
    const Index_Recherche &index = Index_De(m);
    const Meneurs meneurs(m, index);
    for (auto _ : state) {
        std::uint64_t total = 0;
        for (std::size_t e = 0; e < index.etats; ++e)
            total += Compte_Bits_Communs_Par(voie, index.bits.data() + e * index.mots, meneurs.masque().data(), index.mots);
        benchmark::DoNotOptimize(total);
    }
    state.SetLabel(voie == Voie_Comptage::Avx2 ? "avx2" : voie == Voie_Comptage::Popcnt ? "popcnt" : "portable");
}

// Making the bit matrix, which the first search after loading a key pays.
void BM_Index_Construction(benchmark::State &state)
{
    KeyModel &m = base(taille(state));
    for (auto _ : state) {
        ++m.Generation_Donnees;
        benchmark::DoNotOptimize(&Index_De(m));
    }
    state.counters["index_MB"] = static_cast<double>(Index_De(m).octets()) / 1e6;
}

// The numeric characters' measures alone: sorting the leaders' bounds at every search (the
// reference, Mesure_Num) against sweeping the bounds sorted once in the index.
void BM_Mesures_Num(benchmark::State &state)
{
    KeyModel &m = baseNum(taille(state), 0);
    Affiche_Especes(m);
    const Index_Recherche &index = Index_De(m);
    const bool indexe = state.range(3) != 0;
    for (auto _ : state) {
        const Meneurs meneurs(m, index);
        double total = 0;
        for (int c = 0; c < kCaracteresNum; ++c)
            total += indexe ? Mesure_Num_Indexee(m, index, meneurs, c) : Mesure_Num(m, c, meneurs.liste());
        benchmark::DoNotOptimize(total);
    }
    state.SetLabel(indexe ? "sorted once" : "sorted at each search (reference)");
    state.counters["leaders"] = m.Nb_Esp_Max;
}

void tailles(benchmark::internal::Benchmark *b)
{
    b->Args({60, 150, 30})->Args({2000, 2000, 30})->Args({10000, 4000, 30})->ArgNames({"species", "states", "answers"});
    b->Unit(benchmark::kMicrosecond);
}

// Comparing and narrowing. The mismatch counts alone, then the whole refresh with a tolerance of
// two mismatches (against BM_Rafraichissement, which counts them too but hides no species).
void BM_Ecarts(benchmark::State &state)
{
    KeyModel &m = base(taille(state));
    for (auto _ : state) {
        Calcule_Ecarts(m);
        benchmark::DoNotOptimize(m.Ecarts_Esp.data());
    }
    state.SetItemsProcessed(state.iterations() * m.Nb_Esp);
}

void BM_Rafraichissement_Tolerance(benchmark::State &state)
{
    KeyModel m = base(taille(state));
    m.Ecarts_Toleres = 2;
    mesureRafraichissement(state, m);
    state.counters["kept"] = static_cast<double>(m.Classement[1].size());
}

// The differences page between five species: the comparison and its HTML.
void BM_Differences(benchmark::State &state)
{
    KeyModel &m = base(taille(state));
    const std::vector<int> especes = {0, 1, 21, 400, m.Nb_Esp - 1};
    for (auto _ : state) {
        std::string page = Html_Comparaison(m, Compare_Especes(m, especes));
        benchmark::DoNotOptimize(page);
    }
}

// Every check but the files (the generated model has no pictures or pages to look for).
void BM_Verifie_Cle(benchmark::State &state)
{
    KeyModel &m = base(taille(state));
    for (auto _ : state) {
        std::vector<Constat> constats = Verifie_Cle(m);
        benchmark::DoNotOptimize(constats);
        state.counters["findings"] = static_cast<double>(constats.size());
    }
}

// The dichotomous key of the bundled key, built and written as HTML.
void BM_Cle_Dichotomique_Echantillon(benchmark::State &state)
{
    static KeyModel m = [] {
        KeyModel k;
        k.Chemin_Data = std::string(TARVENKO_SAMPLE_DIR) + "/data/";
        k.Chemin_Base = k.Chemin_Data + "Tarvenko.db";
        Charge_Connaissances(k);
        return k;
    }();
    for (auto _ : state) {
        std::string page = Html_Cle_Dichotomique(m, Construit_Cle_Dichotomique(m));
        benchmark::DoNotOptimize(page);
    }
}

} // namespace

BENCHMARK(BM_Ecarts)->Apply(tailles);
BENCHMARK(BM_Rafraichissement_Tolerance)->Apply(tailles);
BENCHMARK(BM_Differences)->Args({10000, 4000, 30})->ArgNames({"species", "states", "answers"})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Verifie_Cle)
    ->Args({2000, 2000, 0})
    ->Args({10000, 4000, 0})
    ->ArgNames({"species", "states", "answers"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_Cle_Dichotomique_Echantillon)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_Rafraichissement)->Apply(tailles);
BENCHMARK(BM_Reference_Colonnes)->Apply(tailles);
BENCHMARK(BM_Scores)->Apply(tailles);
BENCHMARK(BM_Tri)->Apply(tailles);
BENCHMARK(BM_Rafraichissement_Num)
    ->Args({10000, 4000, 30, 1})
    ->Args({10000, 4000, 30, 10})
    ->ArgNames({"species", "states", "answers", "numbers"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Score_Num)->Args({10000, 4000, 30})->ArgNames({"species", "states", "answers"})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Recherche)->Apply(tailles)->Args({10000, 4000, 0});
BENCHMARK(BM_Comptage_Sommes)->Apply(tailles)->Args({10000, 4000, 0});
BENCHMARK(BM_Comptage_Bits)->Apply(tailles)->Args({10000, 4000, 0});
BENCHMARK(BM_Comptage_Voie)->DenseRange(0, 2)->ArgName("way")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Index_Construction)
    ->Args({2000, 2000, 0})
    ->Args({10000, 4000, 0})
    ->ArgNames({"species", "states", "answers"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mesures_Num)
    ->Args({10000, 4000, 0, 0})
    ->Args({10000, 4000, 0, 1})
    ->Args({10000, 4000, 30, 0})
    ->Args({10000, 4000, 30, 1})
    ->ArgNames({"species", "states", "answers", "indexed"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Recherche_Num)
    ->Args({10000, 4000, 0})
    ->Args({10000, 4000, 30})
    ->ArgNames({"species", "states", "answers"})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
