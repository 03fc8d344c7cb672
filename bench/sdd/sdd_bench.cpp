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
