// Import of SDD keys. The reference beside each figure is libxml2 reading the same file into a
// tree (what a converter keeping the DOM would pay before doing anything), measured in the same
// run. `tarvenko_sdd_bench --generate TAXA CHARACTERS FILE` writes the generated file alone, for
// measuring the command's memory with /usr/bin/time.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "bench/reference_counts.h"
#include "engine/answering.h"
#include "engine/discriminant.h"
#include "engine/scoring.h"
#include "engine/search_index.h"
#include "knowledge/key_location.h"
#include "knowledge/loader.h"
#include "knowledge/sdd/sdd_import.h"

namespace {

namespace fs = std::filesystem;

// A key as key-building programs write them: nine characters in ten categorical with 2 to 8
// states, one in ten quantitative; every taxon coded for every character, one or two states,
// one coding in twenty unknown.
void genere(int taxons, int caracteres, const std::string &chemin)
{
    std::mt19937 hasard(20261209);
    std::ofstream f(chemin);
    f << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Datasets xmlns=\"http://rs.tdwg.org/UBIF/2006/\">\n"
         "<Dataset xml:lang=\"en\">\n<Representation><Label>Generated key</Label></Representation>\n<Characters>\n";
    std::vector<int> etats(static_cast<std::size_t>(caracteres));
    int etat = 0;
    for (int c = 0; c < caracteres; ++c) {
        if (c % 10 == 9) {
            f << "<QuantitativeCharacter id=\"c" << c << "\"><Representation><Label>Length " << c
              << "</Label></Representation><MeasurementUnit><Label>mm</Label></MeasurementUnit></QuantitativeCharacter>\n";
            continue;
        }
        etats[static_cast<std::size_t>(c)] = 2 + static_cast<int>(hasard() % 7);
        f << "<CategoricalCharacter id=\"c" << c << "\"><Representation><Label>Character " << c
          << "</Label></Representation><States>\n";
        for (int e = 0; e < etats[static_cast<std::size_t>(c)]; ++e)
            f << " <StateDefinition id=\"s" << c << "_" << e << "\"><Representation><Label>state " << e
              << " of " << c << "</Label></Representation></StateDefinition>\n";
        f << "</States></CategoricalCharacter>\n";
        etat += etats[static_cast<std::size_t>(c)];
    }
    f << "</Characters>\n<CodedDescriptions>\n";
    for (int t = 0; t < taxons; ++t) {
        f << "<CodedDescription id=\"d" << t << "\"><Representation><Label>Taxon " << t
          << "</Label></Representation><SummaryData>\n";
        for (int c = 0; c < caracteres; ++c) {
            const int n = etats[static_cast<std::size_t>(c)];
            if (hasard() % 20 == 0) {
                f << (n ? "<Categorical" : "<Quantitative") << " ref=\"c" << c
                  << "\"><Status code=\"DataUnavailable\"/></" << (n ? "Categorical" : "Quantitative") << ">\n";
            } else if (n == 0) {
                const int bas = static_cast<int>(hasard() % 100);
                f << "<Quantitative ref=\"c" << c << "\"><Measure type=\"Min\" value=\"" << bas
                  << "\"/><Measure type=\"Max\" value=\"" << bas + 1 + static_cast<int>(hasard() % 20) << "\"/></Quantitative>\n";
            } else {
                const int a = static_cast<int>(hasard() % static_cast<unsigned>(n));
                f << "<Categorical ref=\"c" << c << "\"><State ref=\"s" << c << "_" << a << "\"/>";
                if (hasard() % 3 == 0)
                    f << "<State ref=\"s" << c << "_" << (a + 1) % n << "\"/>";
                f << "</Categorical>\n";
            }
        }
        f << "</SummaryData></CodedDescription>\n";
    }
    f << "</CodedDescriptions>\n</Dataset>\n</Datasets>\n";
}

std::string fichierGenere()
{
    static const std::string chemin = [] {
        const std::string c = (fs::temp_directory_path() / "tarvenko-bench-1000x300.sdd.xml").string();
        genere(1000, 300, c);
        return c;
    }();
    return chemin;
}

void importe(benchmark::State &state, const std::string &source)
{
    const std::string sortie = (fs::temp_directory_path() / "tarvenko-bench-sdd-key").string();
    for (auto _ : state) {
        tarvenko::sdd::Bilan bilan;
        std::string erreur;
        if (!tarvenko::sdd::convertitVers(source, sortie, bilan, erreur, true))
            state.SkipWithError(erreur.c_str());
        benchmark::DoNotOptimize(bilan.codages);
    }
    std::error_code ec;
    fs::remove_all(sortie, ec);
    state.counters["MB"] = static_cast<double>(fs::file_size(source)) / 1e6;
}

void reference(benchmark::State &state, const std::string &source)
{
    for (auto _ : state) {
        xmlDocPtr doc = xmlReadFile(source.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_HUGE);
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
    }
}

void BM_Import_1000x300(benchmark::State &state) { importe(state, fichierGenere()); }
void BM_Reference_Dom_1000x300(benchmark::State &state) { reference(state, fichierGenere()); }
BENCHMARK(BM_Import_1000x300)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Reference_Dom_1000x300)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_Import_Sample(benchmark::State &state, const char *nom)
{
    const std::string source = std::string(TARVENKO_SDD_SAMPLES) + "/" + nom;
    if (!fs::exists(source)) {
        state.SkipWithError("the SDD samples are not there");
        for (auto _ : state) {
        }
        return;
    }
    importe(state, source);
}
BENCHMARK_CAPTURE(BM_Import_Sample, milichia, "milichia_revision-sdd.xml")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Import_Sample, genetta_num, "genetta-num.sdd.xml")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Import_Sample, genetta, "genetta.sdd.xml")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Import_Sample, key_test, "Key_test.sdd.xml")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Import_Sample, insect, "insect_aquatique.sdd.xml")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Import_Sample, feuilles, "feuillesSDD.xml")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Import_Sample, feuilles_url, "feuillesImagesURL.xml")->Unit(benchmark::kMillisecond);
// The generated key imported once and loaded as the window loads it: an answer and the ranking
// (the engine's part of the answer cycle), the search with nothing answered, and beside it the
// counts the search needs made as before the bit matrix (the reference) and the bit matrix made.
tarvenko::KeyModel &cleGeneree()
{
    static tarvenko::KeyModel m = [] {
        tarvenko::KeyModel k;
        const std::string sortie = (fs::temp_directory_path() / "tarvenko-bench-sdd-key-1000x300").string();
        tarvenko::sdd::Bilan bilan;
        std::string erreur;
        if (!tarvenko::sdd::convertitVers(fichierGenere(), sortie, bilan, erreur, true))
            return k;
        const auto e = tarvenko::Localise_Cle(sortie, erreur);
        if (e) {
            k.Chemin_Data = e->dossier;
            k.Chemin_Base = e->dossier + e->base;
            tarvenko::Charge_Connaissances(k);
        }
        return k;
    }();
    return m;
}

void BM_Reponse_1000x300(benchmark::State &state)
{
    tarvenko::KeyModel &m = cleGeneree();
    if (m.Nb_Esp == 0 || m.Base_Donnees.Objets_Fic.rows.empty()) {
        state.SkipWithError("no key");
        return;
    }
    const tarvenko::ObjetRow &row = m.Base_Donnees.Objets_Fic.rows.front();
    for (auto _ : state) {
        tarvenko::Ouvre_Descripteur(m, row, row.Objet.value_or(""));
        m.Descripteur_Courant.Selection = 0;
        tarvenko::Valid_Descripteur(m);
        tarvenko::Affiche_Especes(m);
        tarvenko::Nettoye(m);
    }
}

void BM_Recherche_1000x300(benchmark::State &state)
{
    tarvenko::KeyModel &m = cleGeneree();
    if (m.Nb_Esp == 0) {
        state.SkipWithError("no key");
        return;
    }
    tarvenko::Nettoye(m);
    tarvenko::Affiche_Especes(m);
    tarvenko::Index_De(m);
    for (auto _ : state) {
        m.Nb_Esp_Max = m.Nb_Esp;
        benchmark::DoNotOptimize(tarvenko::Cherche_Discriminant(m));
    }
    state.counters["states"] = m.Nb_Etats_Desc;
    state.counters["numeric"] = static_cast<double>(m.Caracteres_Num.size());
}

void BM_Comptage_Sommes_1000x300(benchmark::State &state)
{
    tarvenko::KeyModel &m = cleGeneree();
    tarvenko::Nettoye(m);
    tarvenko::Affiche_Especes(m);
    for (auto _ : state)
        benchmark::DoNotOptimize(tarvenko::bench::Comptes_Par_Sommes(m));
}

void BM_Index_Construction_1000x300(benchmark::State &state)
{
    tarvenko::KeyModel &m = cleGeneree();
    for (auto _ : state) {
        ++m.Generation_Donnees;
        benchmark::DoNotOptimize(&tarvenko::Index_De(m));
    }
    state.counters["index_kB"] = static_cast<double>(tarvenko::Index_De(m).octets()) / 1e3;
}

BENCHMARK(BM_Reponse_1000x300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Recherche_1000x300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Comptage_Sommes_1000x300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Index_Construction_1000x300)->Unit(benchmark::kMicrosecond);

BENCHMARK_CAPTURE(BM_Import_Sample, ant, "ant.sdd.xml")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Import_Sample, gadiformes, "BC_Gadiformes_du_monde.sdd.xml")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 5 && std::strcmp(argv[1], "--generate") == 0) {
        genere(std::atoi(argv[2]), std::atoi(argv[3]), argv[4]);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
