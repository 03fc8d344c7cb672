#include "knowledge/delta/delta_cache.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "knowledge/delta/delta_import.h"
#include "knowledge/jet/jet_cache.h"

namespace tarvenko::delta {

namespace fs = std::filesystem;

namespace {

// Raised whenever the converter's output changes, so that older conversions are made again.
constexpr int kVersionConversion = 1;
constexpr const char *kSuffixe = ".delta-key";

} // namespace

std::string nomCache(const std::string &source)
{
    std::error_code ec;
    const fs::path absolu = fs::weakly_canonical(fs::absolute(source, ec), ec);
    if (ec || !fs::is_directory(absolu, ec))
        return {};
    // The files of the folder and of its sub-folders (pictures), in name order.
    std::vector<std::string> lignes;
    for (auto it = fs::recursive_directory_iterator(absolu, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it.depth() > 1) {
            it.disable_recursion_pending();
            continue;
        }
        std::error_code e;
        if (!it->is_regular_file(e))
            continue;
        const auto taille = it->file_size(e);
        const auto date = it->last_write_time(e);
        if (e)
            continue;
        lignes.push_back(fs::relative(it->path(), absolu, e).string() + "/" + std::to_string(taille) + "/" +
                         std::to_string(date.time_since_epoch().count()));
    }
    if (ec)
        return {};
    std::sort(lignes.begin(), lignes.end());
    std::string empreinte = std::to_string(kVersionConversion);
    for (const std::string &l : lignes)
        empreinte += "\n" + l;
    return jet::nomEntreeCache(absolu.string(), empreinte, kSuffixe);
}

bool Prepare_Cle(const std::string &source, const std::string &dossierCache, std::string &dossierCle,
                 std::string &erreur)
{
    const std::string nom = nomCache(source);
    std::error_code ec;
    if (!dossierCache.empty())
        fs::create_directories(dossierCache, ec);
    if (nom.empty() || dossierCache.empty() || ec) {
        erreur = nom.empty() ? source + ": cannot be read" : "no cache folder to convert " + source + " into";
        return false;
    }
    const fs::path cible = fs::path(dossierCache) / nom;
    if (fs::is_directory(cible, ec)) {
        dossierCle = cible.string();
        return true;
    }
    Bilan bilan;
    if (!convertitVers(source, cible.string(), bilan, erreur)) {
        // Another instance may have converted it meanwhile.
        if (fs::is_directory(cible, ec)) {
            dossierCle = cible.string();
            return true;
        }
        return false;
    }
    // Conversions of earlier versions of the same dataset are of no further use.
    const std::string debut = nom.substr(0, nom.size() - std::string("0123456789abcdef").size() - std::string(kSuffixe).size());
    for (const auto &entree : fs::directory_iterator(dossierCache, ec)) {
        const std::string autre = entree.path().filename().string();
        std::error_code e;
        if (autre != nom && autre.rfind(debut, 0) == 0 && autre.size() == nom.size() &&
            autre.compare(autre.size() - std::string(kSuffixe).size(), std::string::npos, kSuffixe) == 0)
            fs::remove_all(entree.path(), e);
    }
    dossierCle = cible.string();
    return true;
}

} // namespace tarvenko::delta
