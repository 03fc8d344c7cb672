#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "knowledge/key_model.h"

namespace tarvenko {

// Outcome of reading one of the binary files of the knowledge base.
enum class LectureDat {
    Ok,
    OuvertureImpossible, // the file cannot be opened
    LectureImpossible,   // the file is shorter than the counts require
};

// Reads `count` little-endian 16-bit integers from the start of a file into `values` (resized to
// `count`). Bytes past them are ignored; a shorter file is a read failure.
LectureDat Lit_Entiers16(const std::string &path, std::size_t count, std::vector<std::int16_t> &values);
// The same into an array that maps the file where the system can (Tableau16), read otherwise.
LectureDat Lit_Entiers16(const std::string &path, std::size_t count, Tableau16 &values);

// Full paths of the two files: Chemin_Data followed by the file name, resolved on disk whatever
// the letter case.
std::string Chemin_Poids(const KeyModel &m);
std::string Chemin_Matrice(const KeyModel &m);

// POIDS.DAT into Poids (Nb_Etats_Desc values) and MATRICE.DAT into Matrice (Nb_Esp values per
// state, state by state).
LectureDat Lit_Poids(KeyModel &m);
LectureDat Lit_Matrice(KeyModel &m);

// Writes 16-bit integers little-endian: for the tools and tests that build knowledge bases. The
// file is written under another name, then renamed over the old one.
bool Ecrit_Entiers16(const std::string &path, const std::vector<std::int16_t> &values);

} // namespace tarvenko
