#pragma once

#include <map>
#include <string>
#include <vector>

namespace tarvenko::delta {

// What a conversion read and wrote, for the summary the command prints.
struct Bilan {
    int items = 0;
    std::map<std::string, int> caracteresParType; // "UM" … "TE"
    int caracteres = 0;
    int etats = 0;          // states of the multistate characters
    int attributs = 0;      // attributes read
    int attributsIgnores = 0;
    int itemsIgnores = 0;
    int images = 0;         // pictures copied into the key
    int imagesAbsentes = 0; // pictures named but not found
    int dependances = 0;    // Descendance rows
    std::vector<std::string> fichiersLus;
    std::map<std::string, int> directivesInutilisees;
    std::vector<std::string> problemes; // "items, line 12, *ITEM DESCRIPTIONS: ..."
};

// Converts the DELTA dataset in folder `source` into a key folder `destination` (which must not
// exist unless `remplace`, and is then replaced only once the new key is written): data/ (the database, POIDS.DAT, MATRICE.DAT, the error page), descripteurs/ (the
// character pictures) and documents/ (one page per item, with its pictures). Everything is
// written into a temporary folder beside `destination` and renamed at the end, so nothing
// half-written is left. False with `erreur` (naming the file, line and directive where there is
// one) when the dataset cannot be converted.
bool convertitVers(const std::string &source, const std::string &destination, Bilan &bilan, std::string &erreur,
                  bool remplace = false);

// The summary: items, characters by type, states, attributes, pictures, unused directives, and
// each problem met.
std::string texteBilan(const Bilan &bilan);

// The names the key gives: question `C12`, its third state `C12S3`, an item's page code.
std::string objetCaractere(int caractere);
std::string idEtat(int caractere, int etat);
std::string codeItem(std::size_t index);

} // namespace tarvenko::delta
