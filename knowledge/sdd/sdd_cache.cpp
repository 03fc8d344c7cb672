#include "knowledge/sdd/sdd_cache.h"

#include <filesystem>

#include "knowledge/jet/jet_cache.h"
#include "knowledge/sdd/sdd_import.h"

namespace tarvenko::sdd {

namespace fs = std::filesystem;

namespace {

// Raised whenever the converter's output changes, so that older conversions are made again.
constexpr int kVersionConversion = 2;
constexpr const char *kSuffixe = ".sdd-key";

} // namespace

bool Prepare_Cle(const std::string &source, const std::string &dossierCache, std::string &dossierCle,
                 std::string &erreur)
{
    const std::string nom = jet::nomCache(source, kVersionConversion, kSuffixe);
    std::error_code ec;
    if (nom.empty()) {
        erreur = source + ": cannot be read";
        return false;
    }
    if (!dossierCache.empty())
        fs::create_directories(dossierCache, ec);
    if (dossierCache.empty() || ec) {
        erreur = "no cache folder to convert " + source + " into";
        return false;
    }
    const fs::path cible = fs::path(dossierCache) / nom;
    if (fs::is_directory(cible / "data", ec)) {
        dossierCle = cible.string();
        return true;
    }
    Bilan bilan;
    if (!convertitVers(source, cible.string(), bilan, erreur, true))
        return false;
    // Conversions of earlier versions of the same file are of no further use.
    const std::string debut = nom.substr(0, nom.size() - std::string("0123456789abcdef").size() - std::string(kSuffixe).size());
    for (const auto &entree : fs::directory_iterator(dossierCache, ec)) {
        const std::string autre = entree.path().filename().string();
        if (autre != nom && autre.rfind(debut, 0) == 0 && entree.path().extension() == kSuffixe) {
            std::error_code e;
            fs::remove_all(entree.path(), e);
        }
    }
    dossierCle = cible.string();
    return true;
}

std::optional<std::string> convertitCle(const std::string &source, const std::string &dossierCache, std::string &erreur)
{
    std::string dossier;
    if (!Prepare_Cle(source, dossierCache, dossier, erreur))
        return std::nullopt;
    return dossier;
}

} // namespace tarvenko::sdd
