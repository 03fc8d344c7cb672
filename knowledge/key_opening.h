#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "knowledge/key_location.h"

namespace tarvenko {

struct KeyModel;

// A reader of another key format: it recognises a key of its format and converts it, once, into
// a key folder the program reads (data/, and robot/, descripteurs/, documents/ where it has any).
struct ConvertisseurCle {
    std::string nom; // the format, for messages
    // Whether `chemin` is a key of this format: a cheap look at its name or its first bytes.
    std::function<bool(const std::string &chemin)> reconnait;
    // The key folder made from `chemin` inside `dossierCache` (reused while the source is
    // unchanged); nothing, with the reason in `erreur`, when it cannot be converted.
    std::function<std::optional<std::string>(const std::string &chemin, const std::string &dossierCache,
                                             std::string &erreur)>
        convertit;
};

// The converters the program knows, tried in order before a path is taken as a key folder or a
// database file.
const std::vector<ConvertisseurCle> &Convertisseurs_Cle();

// Where the key the user names by `chemin` lies, ready to be loaded: a key of another format is
// converted by the first converter that recognises it; otherwise `chemin` is a database file or
// a folder holding one (Localise_Cle). An Access database is converted into `dossierCache` now,
// so that a file that cannot be read is told before anything is replaced (the loader then finds
// the conversion in the cache). Nothing, with the problem, when no key can be opened there.
std::optional<EmplacementCle> Trouve_Cle(const std::string &chemin, const std::string &dossierCache, ErreurCle &erreur,
                                         const std::vector<ConvertisseurCle> &convertisseurs = Convertisseurs_Cle());

// The model's paths for the key at `e`, in place of the installation's: its data folder and
// database, its drawings and question pictures, and its documents on the disk (the data folder
// when it has none, so that no page of another key is shown).
void Applique_Emplacement(KeyModel &m, const EmplacementCle &e);

} // namespace tarvenko
