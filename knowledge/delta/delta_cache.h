#pragma once

#include <string>

namespace tarvenko::delta {

// The key folder to open for the DELTA dataset in folder `source`: converted once into a folder
// of `dossierCache` named after the dataset's absolute path and the sizes and modification times
// of its files, so that a changed dataset is converted again (and its older conversion removed).
// The dataset is never written. False with `erreur` when it cannot be converted.
bool Prepare_Cle(const std::string &source, const std::string &dossierCache, std::string &dossierCle,
                 std::string &erreur);

// The cache folder's name for a dataset (without the folder); empty when it cannot be read.
std::string nomCache(const std::string &source);

} // namespace tarvenko::delta
