#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace tarvenko::sample {

// The readable sources of the bundled key (data/sample/), read into memory. Every reader throws
// std::runtime_error naming the file and line of the first fault.

struct Etat {
    std::string ligne; // the row of objects.csv it belongs to
    std::string cle;   // short key used by the matrix
    std::string id;    // ID_CARAC
    std::map<std::string, std::string> nom; // "en", "fr", "es"
};

struct LigneObjet {
    std::string ligne, objet, groupe;
    int lignes = 1, colonnes = 1, poids = 1;
    bool joker = true;
    std::string quand;               // Contrainte
    std::vector<std::string> sous;   // Descendance parents
    std::string popup;
    std::map<std::string, std::string> question;
    std::vector<Etat> etats;
    // A later row of an object that lists no states of its own asks the states of the object's
    // first row (the row named here) under another condition; empty for a row with its own states.
    std::string partage;
};

struct Groupe {
    std::string cle;
    std::map<std::string, std::string> nom;
};

struct Espece {
    std::string code, nom, famille;
    std::map<std::string, std::vector<std::string>> communs; // language -> names
    // Row of objects.csv -> keys of the states the species shows.
    std::map<std::string, std::vector<std::string>> etats;
};

struct Calque {
    int couche = 0;
    std::string fichier;
    std::string dessin;                 // how the generator draws it
    std::vector<std::string> conditions; // ID_CARAC that must all be chosen
};

struct Zone {
    std::string nom;
    int cadre = 0;
    bool test = false;
    int x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    std::vector<std::string> conditions;
};

struct EntreePalette {
    std::string objet, role;
    int r = 0, g = 0, b = 0;
};

struct Bouton {
    std::string barre, legende, fichier, dessin, bulle, cle;
    // "fr", "es" -> the caption and the tip in that language
    std::map<std::string, std::pair<std::string, std::string>> traductions;
};

struct Contradiction {
    std::string objet;
    int bouton = -1;
    std::string popup;
    int x1 = 0, x2 = 0, y1 = 0, y2 = 0; // the overlay's frame (button -1)
};

// A card of the drawing and its title in each language ("en", "fr", "es").
struct Carte {
    std::string cle; // "leaf", "fruit", "twig"
    std::map<std::string, std::string> titre;
};

// Texts of the species pages in one language: code -> field -> text; "*" holds the page words.
using Textes = std::map<std::string, std::map<std::string, std::string>>;

struct Sources {
    std::vector<Groupe> groupes;
    std::vector<LigneObjet> objets;
    std::vector<Espece> especes;
    std::vector<Calque> calques;
    std::vector<Zone> zones;
    std::vector<EntreePalette> palette;
    std::vector<Bouton> boutons;
    std::vector<Contradiction> contradictions;
    std::vector<Carte> cartes;
    std::map<std::string, Textes> textes; // "en", "fr", "es"

    // The cards' titles in a language (card -> title), the English one where it has none.
    std::map<std::string, std::string> titresCartes(const std::string &langue) const;

    const LigneObjet &ligne(const std::string &id) const;
    const Etat &etat(const std::string &idCarac) const;
    int groupe(const std::string &cle) const; // -1 for "-"
    // Every file of the folder that the key is generated from (for the build's dependencies).
    static std::vector<std::string> fichiers();
};

Sources litSources(const std::string &dossier);

// The fields of one line of a ';'-separated file.
std::vector<std::string> decoupe(const std::string &ligne, char separateur);

} // namespace tarvenko::sample
