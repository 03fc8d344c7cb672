#pragma once

#include <string>

#include "knowledge/key_model.h"

namespace tarvenko {

// The row of Objets_Fic that asks object `objet` under the current answers: with
// Version_Database above 300, the first of its rows whose Contrainte is empty, names a chosen
// state or names no known state; its last row when none does. Otherwise its first row. nullptr
// when the object has no row.
const ObjetRow *Ligne_Contrainte(const KeyModel &m, const std::string &objet);

// What a click on a determination-bar button asks of the window.
struct ClicBarreDeter {
    enum class Action {
        Question,  // show `ligne`'s question: Descripteur_Courant is filled (Montre_Question),
                   // its TipText goes to the status bar, the pass button is hidden
        Recherche, // the "Search" button: Maitre_Discriminant
        Resultats, // the "Results" button: the results view
        Rien,      // any other tag
    };
    Action action = Action::Rien;
    const ObjetRow *ligne = nullptr;
};

// Stores the tag in Descripteur_Courant.Objet and, for an object, opens the row chosen by the
// constraint walk with its current answer preselected.
ClicBarreDeter Clic_Barre_Deter(KeyModel &m, const std::string &tag);

} // namespace tarvenko
