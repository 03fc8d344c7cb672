#include "knowledge/jet/jet_file.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace tarvenko::jet {

FormatFichier formatDe(const std::string &chemin)
{
    std::ifstream in(chemin, std::ios::binary);
    char entete[0x15] = {};
    if (!in.read(entete, sizeof entete))
        return FormatFichier::Inconnu;
    if (std::memcmp(entete, "SQLite format 3", 16) == 0)
        return FormatFichier::Sqlite;
    // Jet's header page starts 00 01 00 00, then the engine's name; byte 0x14 is the version.
    static const char jet[] = "\x00\x01\x00\x00Standard Jet DB";
    static const char ace[] = "\x00\x01\x00\x00Standard ACE DB";
    if (std::memcmp(entete, jet, sizeof jet) == 0)
        return entete[0x14] == 0 ? FormatFichier::Jet3 : FormatFichier::Jet4;
    if (std::memcmp(entete, ace, sizeof ace) == 0)
        return FormatFichier::Ace;
    return FormatFichier::Inconnu;
}

namespace {

// Days since 1970-01-01 to a civil date (proleptic Gregorian), after H. Hinnant.
void dateCivile(std::int64_t z, std::int64_t &an, int &mois, int &jour)
{
    z += 719468;
    const std::int64_t ere = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t jourEre = z - ere * 146097;
    const std::int64_t anEre = (jourEre - jourEre / 1460 + jourEre / 36524 - jourEre / 146096) / 365;
    const std::int64_t jourAn = jourEre - (365 * anEre + anEre / 4 - anEre / 100);
    const std::int64_t mp = (5 * jourAn + 2) / 153;
    jour = static_cast<int>(jourAn - (153 * mp + 2) / 5 + 1);
    mois = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    an = anEre + ere * 400 + (mois <= 2 ? 1 : 0);
}

} // namespace

std::string dateJetEnTexte(double jours)
{
    if (!std::isfinite(jours) || std::fabs(jours) > 3.0e6)
        return {};
    double entier = std::trunc(jours);
    auto secondes = static_cast<std::int64_t>(std::llround(std::fabs(jours - entier) * 86400.0));
    if (secondes >= 86400) {
        secondes -= 86400;
        entier += 1;
    }
    // 1899-12-30 is day -25569 counted from 1970-01-01.
    std::int64_t an = 0;
    int mois = 0, jour = 0;
    dateCivile(static_cast<std::int64_t>(entier) - 25569, an, mois, jour);
    char out[128]; // room for any value the format could produce
    std::snprintf(out, sizeof out, "%04lld-%02d-%02d %02lld:%02lld:%02lld", static_cast<long long>(an), mois, jour,
                  static_cast<long long>(secondes / 3600), static_cast<long long>(secondes / 60 % 60),
                  static_cast<long long>(secondes % 60));
    return out;
}

} // namespace tarvenko::jet
