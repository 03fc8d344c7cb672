// tarvenko-export: writes a knowledge base as an SDD 1.1 file, for the other programs of the field.
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "knowledge/jet/jet_cache.h"
#include "knowledge/key_location.h"
#include "knowledge/loader.h"
#include "knowledge/sdd/sdd_cache.h"
#include "knowledge/sdd/sdd_export.h"
#include "knowledge/sdd/sdd_import.h"

namespace {

constexpr const char *kUsage =
    "usage: tarvenko-export KEY OUT.sdd.xml\n"
    "\n"
    "Writes the knowledge base KEY (its database file, a folder holding it directly or in its data\n"
    "folder, or an SDD file) as an SDD 1.1 file: species and families, questions and states with\n"
    "their names and identifiers, the matrix, numeric characters, dependencies, groups and the\n"
    "states' pictures as addresses relative to OUT. Weights and question rows with a constraint\n"
    "are kept in processing instructions that tarvenko-import reads back.\n";

} // namespace

int main(int argc, char **argv)
{
    namespace fs = std::filesystem;
    using namespace tarvenko;
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    if (argc != 3) {
        std::cerr << kUsage;
        return 2;
    }
    // Access and SDD keys are converted into a scratch folder removed at the end.
    const fs::path travail = fs::temp_directory_path() / ("tarvenko-export-" + std::to_string(::getpid()));
    struct Nettoyage {
        fs::path p;
        ~Nettoyage()
        {
            std::error_code ec;
            fs::remove_all(p, ec);
        }
    } nettoyage{travail};
    std::string erreur, chemin = argv[1];
    if (sdd::estSdd(chemin) && !sdd::Prepare_Cle(chemin, travail.string(), chemin, erreur)) {
        std::cerr << "tarvenko-export: " << erreur << '\n';
        return 1;
    }
    const std::optional<EmplacementCle> cle = Localise_Cle(chemin, erreur);
    if (!cle) {
        std::cerr << "tarvenko-export: " << erreur << '\n';
        return 1;
    }
    KeyModel m;
    m.Chemin_Data = cle->dossier;
    m.Chemin_Base = cle->dossier + cle->base;
    m.Chemin_Descripteurs = cle->descripteurs;
    if (!m.Chemin_Descripteurs.empty() && m.Chemin_Descripteurs.back() != '/')
        m.Chemin_Descripteurs += '/';
    const ResultatChargement r = Charge_Connaissances(m, {}, jet::preparateur(travail.string()));
    if (r.etat != ResultatChargement::Etat::Ok) {
        std::cerr << "tarvenko-export: cannot load the knowledge base " << r.chemin << ' ' << r.erreur.message << '\n';
        return 1;
    }
    sdd::BilanExport bilan;
    const fs::path source = fs::absolute(argv[1]).lexically_normal();
    const std::string titre = (source.has_filename() ? source : source.parent_path()).stem().string();
    if (!sdd::Ecrit_Sdd(m, argv[2], bilan, erreur, titre)) {
        std::cerr << "tarvenko-export: " << erreur << '\n';
        return 1;
    }
    std::cout << "taxa: " << bilan.especes << "\ncharacters: " << bilan.caracteres << " categorical, " << bilan.quantitatifs
              << " quantitative\nstates: " << bilan.etats << "\ncodings: " << bilan.codages
              << "\npictures: " << bilan.images << "\ndependencies: " << bilan.descendances << '\n';
    if (bilan.lignesOmises > 0)
        std::cout << "skipped: " << bilan.lignesOmises << " question rows whose states an earlier row gave\n";
    return 0;
}
