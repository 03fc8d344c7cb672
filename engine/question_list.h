#pragma once

#include <string>
#include <vector>

#include "knowledge/key_model.h"

namespace tarvenko {

// The questions of the key by group, for a list the user picks any question from.
struct EntreeQuestion {
    std::string objet;     // Objets_Fic or Caracteres_Num key
    std::string nom;       // TipText of the object's first row; the numeric character's name
    bool numerique = false;
    bool repondue = false; // a state of the object is chosen, or the number is given
};

struct GroupeQuestions {
    int cadre = -1;  // -1: the questions of no group
    std::string nom; // Nom_Cadre; empty where the key does not name the group
    std::vector<EntreeQuestion> questions;
};

// Groups in ascending number, the questions of no group last; within a group the objects in key
// order (each key once, its variants being one question), then the numeric characters.
std::vector<GroupeQuestions> Liste_Questions(const KeyModel &m);

} // namespace tarvenko
