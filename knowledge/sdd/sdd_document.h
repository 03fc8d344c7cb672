#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tarvenko::sdd {

// What the importer keeps of an SDD 1.1 file: its first dataset, references resolved to indexes
// as they are read (the schema puts every definition before its uses). Only this stays in memory,
// never the XML tree.
// Labels in languages other than the dataset's (Label elements with their own xml:lang), by
// two-letter language code: the key's texts in those interface languages.
using Traductions = std::map<std::string, std::string>;

struct Etat {
    std::string id, label, detail;
    std::vector<int> medias;
    int poids = 1; // the weight a Tarvenko export writes in the state (processing instruction)
    Traductions labels;
};

// The processing instructions through which a Tarvenko export keeps what SDD has no element for;
// other programs ignore them. Inside a StateDefinition or a QuantitativeCharacter:
// <?tarvenko-weight N?>; inside a character: <?tarvenko-row objet="KEY" contrainte="ID_CARAC"?>
// (one of several rows of a question, the key of the question and the state it applies under);
// inside a Categorical coding: <?tarvenko-none?> (the taxon has none of the states); inside the
// first row's character: <?tarvenko-row-again contrainte="ID_CARAC" label="TEXT"?> for a further
// row of the question that asks the same states (values with %, " and ? written as %XX).
inline constexpr const char *kPiPoids = "tarvenko-weight";
inline constexpr const char *kPiLigne = "tarvenko-row";
inline constexpr const char *kPiReprise = "tarvenko-row-again";
inline constexpr const char *kPiAucun = "tarvenko-none";

// A value put between the quotes of a processing instruction's pseudo-attribute, and back.
std::string encodePseudoAttribut(const std::string &valeur);
std::string decodePseudoAttribut(const std::string &valeur);

enum class Genre { Categoriel, Quantitatif, Texte };

struct Caractere {
    Genre genre = Genre::Categoriel;
    std::string id, label, unite;
    std::vector<int> etats; // indexes into Document::etats, in document order
    std::vector<int> medias;
    int poids = 1;               // of a quantitative character
    std::string objet;           // the question's key when given by a tarvenko-row instruction
    std::string contrainte;      // and the state that row applies under
    // Further rows of the question asking the same states: (state they apply under, label).
    std::vector<std::pair<std::string, std::string>> reprises;
    Traductions labels;
};

struct Media {
    std::string id, label, type, source;
};

struct NoeudTaxon {
    std::string id;
    int parent = -1; // index into Document::noeudsTaxons
    int taxon = -1;  // index into Document::taxons
};

// A node of a character tree: a group (Node) or a character (CharNode).
struct NoeudArbre {
    int arbre = 0;
    std::string id, label;
    int idee = -1; // its DescriptiveConcept, for a group without a label of its own
    int parent = -1;  // index into Document::noeuds
    int caractere = -1;
    // Dependency rules of a character node: (only applicable if?, state index).
    std::vector<std::pair<bool, int>> regles;
    Traductions labels;
};

struct Description {
    std::string id, label;
    int taxon = -1;
    std::vector<int> medias;
    struct Categoriel {
        int caractere = -1;
        std::vector<int> etats;
        bool statut = false; // data unavailable, not applicable, to be checked...
        bool aucun = false;  // none of the states, as a Tarvenko export says it
    };
    struct Quantitatif {
        int caractere = -1;
        std::vector<std::pair<std::string, double>> mesures;
        bool statut = false;
    };
    struct Texte {
        int caractere = -1;
        std::string contenu;
    };
    std::vector<Categoriel> categoriels;
    std::vector<Quantitatif> quantitatifs;
    std::vector<Texte> textes;
};

// References that named nothing the file defines, by kind ("state", "character" ...).
struct Ignore {
    std::string raison;
    int nombre = 0;
};

struct Document {
    std::string fichier; // as given, for messages and relative media paths
    std::string langue = "en";
    std::string titre;
    std::vector<std::pair<std::string, std::string>> taxons; // id, label
    std::vector<NoeudTaxon> noeudsTaxons;
    std::vector<Caractere> caracteres;
    std::vector<Etat> etats;
    std::vector<Media> medias;
    std::vector<std::pair<std::string, std::string>> concepts; // id, label
    std::vector<NoeudArbre> noeuds;
    std::vector<Description> descriptions;
    std::vector<Ignore> ignores;

    void ignore(const std::string &raison)
    {
        for (Ignore &i : ignores)
            if (i.raison == raison) {
                ++i.nombre;
                return;
            }
        ignores.push_back({raison, 1});
    }
};

// Reads `chemin` with a streaming parser. False with `erreur` naming the file and the first
// problem when it is not XML, not SDD, or defines one id twice.
bool Lit_Document(const std::string &chemin, Document &d, std::string &erreur);

} // namespace tarvenko::sdd
