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
    // What the key is called where a name is shown: the folder holding its "data" folder, else
    // the database file's name without its extension.
    std::string nom;
};

// Why no knowledge base was found at a path.
enum class ProblemeCle {
    Introuvable,    // no such file or folder
    SansBase,       // a folder with no database file in it or in its "data" folder
    PlusieursBases, // a folder with more than one
    PasUneBase,     // a file that is not a database file
    Conversion,     // a key of another format that could not be converted (knowledge/key_opening.h)
};
struct ErreurCle {
    ProblemeCle probleme = ProblemeCle::Introuvable;
    std::string texte; // the reason in English, naming the path
};

// `chemin` is a database file (.db, .sqlite, .sqlite3, .mdb), or a folder holding exactly one,
// directly or in its "data" folder. Nothing, with the reason in `erreur`, otherwise.
std::optional<EmplacementCle> Localise_Cle(const std::string &chemin, std::string &erreur);
// The same, with the kind of problem beside its text.
std::optional<EmplacementCle> Localise_Cle(const std::string &chemin, ErreurCle &erreur);

} // namespace tarvenko
