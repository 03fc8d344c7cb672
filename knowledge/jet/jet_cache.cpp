#include "knowledge/jet/jet_cache.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "knowledge/jet/jet_file.h"
#include "knowledge/jet/jet_import.h"
#include "knowledge/jet/mdb_reader.h"

namespace tarvenko::jet {

namespace fs = std::filesystem;

namespace {

// Raised whenever the converter's output changes, so that older caches are converted again.
constexpr int kVersionConversion = 2;

std::uint64_t fnv1a(std::string_view octets, std::uint64_t h = 14695981039346656037ull)
{
    for (char c : octets) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

std::string hex(std::uint64_t v)
{
    char out[17];
    std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(v));
    return out;
}

// The file's name made safe for any file system, and short.
std::string radical(const fs::path &chemin)
{
    std::string out;
    for (char c : chemin.stem().string()) {
        const bool sur = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
        out += sur ? c : '_';
        if (out.size() == 40)
            break;
    }
    return out.empty() ? "base" : out;
}

std::string prefixe(const fs::path &absolu) { return radical(absolu) + "-" + hex(fnv1a(absolu.string())) + "-"; }

} // namespace

std::string nomEntreeCache(const std::string &absolu, const std::string &empreinte, const std::string &suffixe)
{
    return prefixe(absolu) + hex(fnv1a(empreinte)) + suffixe;
}

std::string nomCache(const std::string &chemin) { return nomCache(chemin, kVersionConversion, ".sqlite"); }

std::string nomCache(const std::string &chemin, int version, const std::string &extension)
{
    std::error_code ec;
    const fs::path absolu = fs::weakly_canonical(fs::absolute(chemin, ec), ec);
    if (ec)
        return {};
    const std::uintmax_t taille = fs::file_size(absolu, ec);
    if (ec)
        return {};
    const auto date = fs::last_write_time(absolu, ec);
    if (ec)
        return {};
    const std::string empreinte = std::to_string(taille) + "/" + std::to_string(date.time_since_epoch().count()) + "/" +
                                  std::to_string(version);
    return nomEntreeCache(absolu.string(), empreinte, extension);
}

bool Prepare_Base(const std::string &chemin, const std::string &dossierCache, std::string &aOuvrir, ErreurBase &erreur)
{
    if (!estJet(formatDe(chemin))) {
        aOuvrir = chemin;
        return true;
    }
    if (!LecteurJet::disponible()) {
        erreur = {SQLITE_NOTADB, chemin + " is an Access (Jet) database, which this build cannot read"};
        return false;
    }
    const std::string nom = nomCache(chemin);
    std::error_code ec;
    if (!dossierCache.empty())
        fs::create_directories(dossierCache, ec);
    if (dossierCache.empty() || nom.empty() || ec) {
        erreur = {SQLITE_CANTOPEN, "no cache folder to convert " + chemin + " into"};
        return false;
    }
    const fs::path cible = fs::path(dossierCache) / nom;
    if (fs::exists(cible, ec)) {
        aOuvrir = cible.string();
        return true;
    }
    Bilan bilan;
    std::string raison;
    if (!convertitVers(chemin, cible.string(), bilan, raison)) {
        erreur = {SQLITE_CANTOPEN, raison};
        return false;
    }
    // Caches of earlier versions of the same file are of no further use, nor are the temporary
    // files of conversions interrupted long ago (a recent one may be another instance's at work).
    const std::string debut = nom.substr(0, nom.size() - std::string("0123456789abcdef.sqlite").size());
    const auto longtemps = fs::file_time_type::clock::now() - std::chrono::hours(24);
    for (const auto &entree : fs::directory_iterator(dossierCache, ec)) {
        const std::string autre = entree.path().filename().string();
        if (autre == nom || autre.rfind(debut, 0) != 0)
            continue;
        std::error_code e;
        if (entree.path().extension() == ".sqlite" ||
            (autre.find(".sqlite.part-") != std::string::npos && fs::last_write_time(entree.path(), e) < longtemps && !e))
            fs::remove(entree.path(), e);
    }
    aOuvrir = cible.string();
    return true;
}

PrepareBase preparateur(std::string dossierCache)
{
    return [dossier = std::move(dossierCache)](const std::string &chemin, std::string &aOuvrir, ErreurBase &erreur) {
        return Prepare_Base(chemin, dossier, aOuvrir, erreur);
    };
}

} // namespace tarvenko::jet
