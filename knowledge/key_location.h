#pragma once

#include <optional>
#include <string>

namespace tarvenko {

// Where a knowledge base lies, found from one path the user gives: its database file or a folder.
struct EmplacementCle {
    std::string dossier; // the data folder (Chemin_Data), ending with '/'
    std::string base;    // the database file's name in it
    // Folders beside the data folder in the layout the program installs and the sample
    // generator writes ("robot", "descripteurs", "documents"); empty when absent.
    std::string robot, descripteurs, documents;
};

// `chemin` is a database file (.db, .sqlite, .sqlite3, .mdb), or a folder holding exactly one,
// directly or in its "data" folder. Nothing, with the reason in `erreur`, otherwise.
std::optional<EmplacementCle> Localise_Cle(const std::string &chemin, std::string &erreur);

} // namespace tarvenko
