#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tarvenko::delta {

// A DELTA dataset as its directive files state it, before it becomes a key: the characters with
// their types, states, implicit values, reliabilities, notes and pictures, the items with their
// attributes as written, the dependencies. Character and state numbers are DELTA's, from 1.

enum class Type { UM, OM, IN, RN, TE };
bool estMultiEtat(Type t);
bool estNumerique(Type t);
const char *nomType(Type t);

// Something wrong in the input, where it is: file, line (from 1) and directive.
struct Probleme {
    std::string fichier;
    int ligne = 0;
    std::string directive; // "*ITEM DESCRIPTIONS"
    std::string texte;
    std::string message() const; // "items, line 12, *ITEM DESCRIPTIONS: ..."
};

struct Caractere {
    Type type = Type::UM;
    std::string texte;               // the feature as written (typesetting and comments kept)
    std::vector<std::string> etats;  // the states as written, for multistate characters
    std::string unite;               // numeric characters: the text after the feature, cleaned
    int nbEtats = 2;                 // *NUMBERS OF STATES (multistate characters)
    double fiabilite = 5;            // *CHARACTER RELIABILITIES
    std::optional<int> implicite;    // *IMPLICIT VALUES
    std::string notes;               // *CHARACTER NOTES, as written
    std::vector<std::string> images; // *CHARACTER IMAGES: file names
    std::string rubrique;            // *CHARACTER HEADINGS: the heading it falls under, as written
};

struct Attribut {
    int caractere = 0;
    std::string valeur;      // after the ',' (comments kept); empty when none
    std::string commentaire; // comments between the number and the value, or the whole text of a TE
    int ligne = 0;
};

struct Item {
    std::string nom; // as written, typesetting and comments kept
    int ligne = 0;
    std::vector<Attribut> attributs;
    std::vector<std::string> images; // *TAXON IMAGES
    std::string rubrique;            // *ITEM HEADINGS
};

// *DEPENDENT CHARACTERS: when `controle` has one of `etats`, the `dependants` do not apply.
struct Dependance {
    int controle = 0;
    std::vector<int> etats;
    std::vector<int> dependants;
};

struct Jeu {
    std::string dossier;
    int nbCaracteres = 0;
    int maxEtats = 0;
    int maxItems = 0;
    std::vector<Caractere> caracteres; // [0] is character 1
    std::vector<Item> items;
    std::vector<Dependance> dependances;
    std::vector<std::string> fichiersLus;                  // in the order read
    std::map<std::string, int> directivesInutilisees;      // "*DATA BUFFER SIZE" → times met
    std::vector<Probleme> problemes;                       // what was skipped, and why
    int attributsLus = 0;
    int attributsIgnores = 0;
    int itemsIgnores = 0;

    const Caractere &caractere(int numero) const { return caracteres[static_cast<std::size_t>(numero - 1)]; }
};

// The directive files of a DELTA folder: "specs", "chars" and "items" (names in any case), then the
// interactive key's directives ("toint", with the files it names by *INPUT FILE) and the usual
// files of notes, pictures and headings ("cnotes", "cimages", "timages", "headc") when present.
// False with `erreur` (file, line, directive) when the dataset cannot be read at all; otherwise
// what had to be skipped is in `jeu.problemes`.
bool litJeu(const std::string &dossier, Jeu &jeu, std::string &erreur);

// Whether `dossier` looks like a DELTA dataset: a folder holding "specs", "chars" and "items".
bool estDossierDelta(const std::string &dossier);

// The file named `nom` in `dossier`, found without regard to case; empty when absent.
std::string fichierDans(const std::string &dossier, const std::string &nom);

// What an attribute gives. For a multistate character: the states (from 1), or `tous` (unknown,
// inapplicable, variable). For a numeric one: the range, or none. `erreur` when it names a state
// beyond the character's count or is unreadable.
struct Valeur {
    bool tous = false;
    bool inapplicable = false;
    std::vector<int> etats;
    std::optional<double> minimum, maximum;
    std::string erreur;
};
Valeur interpreteValeur(const Caractere &c, const std::string &valeur);

} // namespace tarvenko::delta
