// tarvenko-import: converts an Access (Jet) knowledge base into the SQLite form the program reads,
// or a DELTA dataset into a key folder.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "knowledge/delta/delta_import.h"
#include "knowledge/delta/delta_jeu.h"
#include "knowledge/jet/jet_import.h"
#include "knowledge/sdd/sdd_import.h"

namespace {

constexpr const char *kUsage =
    "usage: tarvenko-import [--force] JET_FILE SQLITE_FILE\n"
    "\n"
    "Converts an Access database (Jet 3 or Jet 4, .mdb) into an SQLite file: every table with its\n"
    "fields, rows, primary key and indexes, and every saved select query as a view. Prints what\n"
    "was converted and what was not, with the reason. The Access file is only read. SQLITE_FILE\n"
    "must not exist unless --force is given.\n"
    "\n"
    "usage: tarvenko-import [--force] FILE.sdd.xml OUTDIR\n"
    "\n"
    "Converts an SDD 1.1 key (an XML file) into a key folder: database, POIDS.DAT, MATRICE.DAT,\n"
    "pictures and one page per taxon. Prints what was converted, renamed and skipped.\n"
    "\n"
    "usage: tarvenko-import [--force] DELTA_FOLDER OUTDIR\n"
    "\n"
    "Converts a DELTA dataset (a folder holding specs, chars and items) into a key folder OUTDIR\n"
    "(database, weights, matrix, pictures, one page per item) and prints a summary: items,\n"
    "characters by type, states, attributes, pictures, the directives not used and what was\n"
    "skipped, with file, line and directive.\n";

} // namespace

int main(int argc, char **argv)
{
    bool force = false;
    std::vector<std::string> fichiers;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (a == "--force") {
            force = true;
        } else if (a.rfind("--", 0) == 0) {
            std::cerr << "tarvenko-import: unknown option " << a << "\n\n" << kUsage;
            return 2;
        } else {
            fichiers.push_back(a);
        }
    }
    if (fichiers.size() != 2) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string &source = fichiers[0];
    const std::string &destination = fichiers[1];
    std::error_code ec;
    if (!force && std::filesystem::exists(destination, ec)) {
        std::cerr << "tarvenko-import: " << destination << " already exists (--force replaces it)\n";
        return 1;
    }
    if (tarvenko::sdd::estSdd(source)) {
        tarvenko::sdd::Bilan bilan;
        std::string erreur;
        if (!tarvenko::sdd::convertitVers(source, destination, bilan, erreur, force)) {
            std::cerr << "tarvenko-import: " << erreur << '\n';
            return 1;
        }
        std::cout << tarvenko::sdd::texteBilan(bilan) << std::flush;
        return 0;
    }
    if (tarvenko::delta::estDossierDelta(source)) {
        tarvenko::delta::Bilan bilan;
        std::string erreur;
        if (!tarvenko::delta::convertitVers(source, destination, bilan, erreur, force)) {
            std::cerr << "tarvenko-import: " << erreur << '\n';
            return 1;
        }
        std::cout << tarvenko::delta::texteBilan(bilan) << std::flush;
        return 0;
    }
    tarvenko::jet::Bilan bilan;
    std::string erreur;
    if (!tarvenko::jet::convertitVers(source, destination, bilan, erreur)) {
        std::cerr << "tarvenko-import: " << erreur << '\n';
        return 1;
    }
    std::cout << tarvenko::jet::texteBilan(bilan) << std::flush;
    return 0;
}
