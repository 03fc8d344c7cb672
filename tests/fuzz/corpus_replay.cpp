// Plays every file of the given folders through one harness (the first argument: identification,
// dat or base), without libFuzzer: the corpora and the inputs that once failed, as a test of the
// normal build. With --seeds FOLDER it writes the harness's seeds there instead.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>

#include "fuzz_targets.h"

namespace {

using namespace tarvenko::fuzz;

struct Harnais {
    int (*cible)(const std::uint8_t *, std::size_t);
    std::vector<std::vector<std::uint8_t>> (*graines)();
};

const std::map<std::string, Harnais> kHarnais = {
    {"identification", {Cible_Identification, Graines_Identification}},
    {"dat", {Cible_Fichiers_Dat, Graines_Fichiers_Dat}},
    {"base", {Cible_Base, Graines_Base}},
};

} // namespace

int main(int argc, char **argv)
{
    namespace fs = std::filesystem;
    if (argc < 3 || !kHarnais.count(argv[1])) {
        std::cerr << "usage: " << argv[0] << " identification|dat|base [--seeds FOLDER | FOLDER...]\n";
        return 2;
    }
    const Harnais &harnais = kHarnais.at(argv[1]);
    if (std::string(argv[2]) == "--seeds" && argc == 4) {
        fs::create_directories(argv[3]);
        int n = 0;
        for (const auto &graine : harnais.graines()) {
            std::ofstream out(fs::path(argv[3]) / ("graine-" + std::to_string(++n)), std::ios::binary);
            out.write(reinterpret_cast<const char *>(graine.data()), static_cast<std::streamsize>(graine.size()));
        }
        std::cout << n << " seed(s) written\n";
        return 0;
    }
    int files = 0;
    // The seeds first: they must play too.
    for (const auto &graine : harnais.graines()) {
        harnais.cible(graine.data(), graine.size());
        ++files;
    }
    for (int i = 2; i < argc; ++i) {
        if (!fs::is_directory(argv[i])) {
            std::cerr << argv[i] << ": not a folder\n";
            return 1;
        }
        for (const fs::directory_entry &entry : fs::directory_iterator(argv[i])) {
            if (!entry.is_regular_file())
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            harnais.cible(bytes.data(), bytes.size());
            ++files;
        }
    }
    std::cout << files << " input(s) played\n";
    return files > 0 ? 0 : 1;
}
