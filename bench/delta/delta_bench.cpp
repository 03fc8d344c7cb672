// The import of the DELTA datasets (vide: 969 items, 187 characters; cflora: 506 items, 432
// characters) beside a reference measured in the same run, reading the dataset's three files;
// then an answer and the search on the keys written.
//   tarvenko_delta_bench --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>

#include "engine/answering.h"
#include "engine/discriminant.h"
#include "engine/scoring.h"
#include "engine/search_index.h"
#include "bench/reference_counts.h"
#include "knowledge/delta/delta_import.h"
#include "knowledge/key_location.h"
#include "knowledge/loader.h"

namespace {

using namespace tarvenko;
namespace fs = std::filesystem;

const char *const kJeux[] = {"vide", "cflora"};

std::string source(std::int64_t i) { return std::string(TARVENKO_DELTA_SAMPLES) + "/" + kJeux[i]; }

fs::path temporaire()
{
    std::random_device rd;
    const fs::path p = fs::temp_directory_path() / ("tarvenko-delta-bench-" + std::to_string(rd()));
    fs::create_directories(p);
    return p;
}

struct Nettoyage {
    fs::path dossier = temporaire();
    ~Nettoyage()
    {
        std::error_code ec;
        fs::remove_all(dossier, ec);
    }
};

void BM_Import(benchmark::State &state)
{
    const std::string jeu = source(state.range(0));
    if (!fs::exists(jeu + "/specs")) {
        state.SkipWithError("the DELTA datasets are absent");
        return;
    }
    // Each conversion into a new folder, all removed at the end of the run: ext4 takes much
    // longer to create files where as many were just deleted, which no real import meets.
    static const Nettoyage nettoyage;
    int n = 0;
    for (auto _ : state) {
        const std::string cible = (nettoyage.dossier / (std::string(kJeux[state.range(0)]) + std::to_string(n++))).string();
        delta::Bilan bilan;
        std::string erreur;
        if (!delta::convertitVers(jeu, cible, bilan, erreur))
            state.SkipWithError(erreur.c_str());
    }
    state.SetLabel(kJeux[state.range(0)]);
}

// The reference: reading the three files whole, as any reader of the dataset must.
void BM_Lecture(benchmark::State &state)
{
    const std::string jeu = source(state.range(0));
    std::size_t octets = 0;
    for (auto _ : state) {
        for (const char *f : {"specs", "chars", "items"}) {
            std::ifstream in(jeu + "/" + f, std::ios::binary);
            std::stringstream s;
            s << in.rdbuf();
            octets += s.str().size();
        }
    }
    benchmark::DoNotOptimize(octets);
    state.SetLabel(kJeux[state.range(0)]);
}

// The key of a dataset, converted once and loaded as the window loads it.
KeyModel &cle(std::int64_t i)
{
    static std::map<std::int64_t, std::unique_ptr<KeyModel>> cles;
    static const Nettoyage nettoyage;
    const fs::path &dossier = nettoyage.dossier;
    auto &m = cles[i];
    if (!m) {
        m = std::make_unique<KeyModel>();
        const std::string cible = (dossier / kJeux[i]).string();
        delta::Bilan bilan;
        std::string erreur;
        if (!fs::exists(cible))
            delta::convertitVers(source(i), cible, bilan, erreur);
        const auto e = Localise_Cle(cible, erreur);
        if (e) {
            m->Chemin_Data = e->dossier;
            m->Chemin_Base = e->dossier + e->base;
            Charge_Connaissances(*m);
        }
    }
    return *m;
}

// One answer validated and the species ranked again (what the window's answer cycle asks of the
// engine), then withdrawn.
void BM_Reponse(benchmark::State &state)
{
    KeyModel &m = cle(state.range(0));
    if (m.Nb_Esp == 0 || m.Base_Donnees.Objets_Fic.rows.empty()) {
        state.SkipWithError("no key");
        return;
    }
    const ObjetRow &row = m.Base_Donnees.Objets_Fic.rows.front();
    for (auto _ : state) {
        Ouvre_Descripteur(m, row, row.Objet.value_or(""));
        m.Descripteur_Courant.Selection = 0;
        Valid_Descripteur(m);
        Affiche_Especes(m);
        Nettoye(m);
    }
    state.SetLabel(kJeux[state.range(0)]);
}

// The search for the best question with nothing answered: every character measured over every
// item.
void BM_Recherche(benchmark::State &state)
{
    KeyModel &m = cle(state.range(0));
    if (m.Nb_Esp == 0) {
        state.SkipWithError("no key");
        return;
    }
    Nettoye(m);
    Affiche_Especes(m);
    Index_De(m); // made by the first search after opening the key: BM_Index_Construction
    for (auto _ : state) {
        m.Nb_Esp_Max = m.Nb_Esp;
        benchmark::DoNotOptimize(Cherche_Discriminant(m));
    }
    state.SetLabel(kJeux[state.range(0)]);
}

// Beside the search: the counts it needs, made as before the bit matrix (the reference), and the
// bit matrix made, which the first search after opening the key pays.
void BM_Comptage_Sommes(benchmark::State &state)
{
    KeyModel &m = cle(state.range(0));
    Nettoye(m);
    Affiche_Especes(m);
    for (auto _ : state)
        benchmark::DoNotOptimize(bench::Comptes_Par_Sommes(m));
    state.SetLabel(kJeux[state.range(0)]);
}

void BM_Index_Construction(benchmark::State &state)
{
    KeyModel &m = cle(state.range(0));
    for (auto _ : state) {
        ++m.Generation_Donnees;
        benchmark::DoNotOptimize(&Index_De(m));
    }
    state.counters["index_kB"] = static_cast<double>(Index_De(m).octets()) / 1e3;
    state.SetLabel(kJeux[state.range(0)]);
}

} // namespace

BENCHMARK(BM_Lecture)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Reponse)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Recherche)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Comptage_Sommes)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Index_Construction)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
