#pragma once

#include <optional>
#include <string>

namespace tarvenko::sdd {

// The key folder to open for an SDD file: converted once into `dossierCache`, in a folder named
// after the file's absolute path, size and modification time (so a changed file is converted
// again and its older folder removed), and read from there afterwards. The file is never
// written. False with `erreur` naming the file and the first problem.
bool Prepare_Cle(const std::string &source, const std::string &dossierCache, std::string &dossierCle,
                 std::string &erreur);

// The same in the form a key opener takes a converter: {"SDD", estSdd, convertitCle}.
std::optional<std::string> convertitCle(const std::string &source, const std::string &dossierCache, std::string &erreur);

} // namespace tarvenko::sdd
