#pragma once

#include <string>

namespace tarvenko::jet {

// What a file is, by its first bytes.
enum class FormatFichier {
    Inconnu, // missing, unreadable or anything else
    Sqlite,
    Jet3,    // Access 97
    Jet4,    // Access 2000 to 2003
    Ace,     // Access 2007 and later (.accdb)
};

FormatFichier formatDe(const std::string &chemin);
inline bool estJet(FormatFichier f) { return f == FormatFichier::Jet3 || f == FormatFichier::Jet4 || f == FormatFichier::Ace; }

// A Jet date (days since 1899-12-30; before that date the whole part counts back while the
// fraction still gives the time of day) as "YYYY-MM-DD HH:MM:SS", rounded to the second.
std::string dateJetEnTexte(double jours);

} // namespace tarvenko::jet
