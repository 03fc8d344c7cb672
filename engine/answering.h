#pragma once

#include <string>
#include <vector>

#include "knowledge/key_model.h"

namespace tarvenko {

// A fault of the knowledge base met while an answer was recorded. The answer is recorded anyway;
// the faulty link is skipped and reported once.
struct Incoherence {
    enum class Genre {
        EtatSansCaractere,   // a state number without a Caracteres row (or without ID_CARAC)
        ObjetInconnu,        // a Descendance row names an object missing from Objets_Fic
        Boucle,              // Descendance leads from a state back to itself
    };
    Genre genre;
    std::string code; // the state number, the object key or the state identifier concerned

    bool operator==(const Incoherence &) const = default;
};

// The text the user is shown for an inconsistency.
std::string Texte_Incoherence(const Incoherence &incoherence);

// The states of an Objets_Fic row, Index_Car ... Index_Car + Nb_Car - 1. None when either field
// is missing, NULL or not a number: such a row is a question without states, never one that
// answers with states 0, 1 ... of another character.
struct PlageEtats {
    int premier = 0;
    int nombre = 0;
};
PlageEtats Etats_De(const ObjetRow &row);

// Copies an Objets_Fic row into Descripteur_Courant under the key `objet` and preselects the
// character's current answer (the last chosen state), -1 when it has none.
void Ouvre_Descripteur(KeyModel &m, const ObjetRow &row, const std::string &objet);

// Descripteur_Courant when no question is open: no states, no group, no character, nothing picked.
// Validating or passing it changes no answer and no joker flag.
Descripteur Aucun_Descripteur();

// The first Objets_Fic row, in index order, whose states include state `etat`; nullptr if none.
const ObjetRow *Objet_De_Etat(const KeyModel &m, int etat);

// Records Descripteur_Courant.Selection as the answer of the current character: clears the
// dependants of the state it replaces (or withdraws), sets Etat_Choisi and Cadre_Fait. Nothing
// changes when the answer is the same, when nothing was chosen and nothing is picked, or when the
// selection is not one of the character's states (a grid cell beyond its last state). Returns the
// inconsistencies met, each once.
std::vector<Incoherence> Valid_Descripteur(KeyModel &m);

// Clears, transitively through table Descendance, every state of every character that depends on
// state `ancien_provenance`, and the answer of every numeric character that does. Each state is
// visited once, so the walk ends on any data; a dependency that leads back to a state on its own
// path is reported as a loop.
std::vector<Incoherence> Nettoie_Descendance(KeyModel &m, int ancien_provenance);

// Resets the identification: no state chosen, no numeric answer, no group answered, no question
// passed, no group of species kept within. The joker
// flags are left as they are (the New command reloads them).
void Nettoye(KeyModel &m);

} // namespace tarvenko
