#pragma once

#include <string>

#include "knowledge/loader.h"

namespace tarvenko::jet {

// The database file to open for the configured one, `chemin`: itself unless it is an Access
// (Jet) file, which is converted once into `dossierCache` and read from there afterwards. The
// cache file is named after the Jet file's absolute path, size and modification time, so a
// changed file is converted again (and its older cache removed). The Jet file is never written.
// False with `erreur` when the file cannot be converted.
bool Prepare_Base(const std::string &chemin, const std::string &dossierCache, std::string &aOuvrir, ErreurBase &erreur);

// The hook Charge_Connaissances takes, with the cache in `dossierCache`.
PrepareBase preparateur(std::string dossierCache);

// The cache file's name for a Jet file (without the folder); empty when the file cannot be read.
std::string nomCache(const std::string &chemin);
// The same naming for the caches of other converters: `version` is the converter's output
// version, `extension` ends the name (".sqlite", or "" for a folder).
std::string nomCache(const std::string &chemin, int version, const std::string &extension);

// The name of a cache entry for the source at absolute path `absolu` in the state `empreinte`
// (sizes, dates, converter version): the source's name made safe, a hash of its path, a hash of
// the state, then `suffixe`. Entries of one source share everything before the second hash.
// Other converters (DELTA) name their caches with it too.
std::string nomEntreeCache(const std::string &absolu, const std::string &empreinte, const std::string &suffixe);

} // namespace tarvenko::jet
