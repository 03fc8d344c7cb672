#pragma once

#include <filesystem>
#include <string>

#include "tools/sample/sources.h"

namespace tarvenko::sample {

// Writes the pictures of a key into `sortie` (data, robot, descripteurs): the colour chart, the
// drawing's layers, the contradiction overlays and icons, the bar icons, the question picture of
// every row of `s.objets`, and the error pages. The folders are made first; the database and the
// species documents are the caller's.
void ecritImages(const Sources &s, const std::filesystem::path &sortie);

// Writes `texte` into the file `chemin`.
void ecritTexte(const std::filesystem::path &chemin, const std::string &texte);

// A layer's folder name: "07", "12".
std::string deuxChiffres(int n);

} // namespace tarvenko::sample
