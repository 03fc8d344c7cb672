#pragma once

#include <vector>

#include "engine/answering.h"
#include "engine/discriminant.h"
#include "engine/refresh.h"
#include "knowledge/key_model.h"

namespace tarvenko {

// Positions of the question bar's buttons (odd positions; even ones are separators).
inline constexpr int Position_Valider = 1;
inline constexpr int Position_Quitter = 3;
inline constexpr int Position_Passer = 5;

// What a click on the question bar asks of the window.
struct ClicBarreQuestion {
    enum class Action {
        Validation, // the answer was recorded and the identification refreshed
        Passage,    // the question was passed and another searched: see `recherche`
        Sortie,     // the question was left without recording anything
    };
    Action action = Action::Sortie;
    std::vector<Incoherence> incoherences; // Validation: faults of Descendance, each to be shown once
    Rafraichissement rafraichissement;     // Validation
    // Validation: contradiction flags were on show; Robots is cut back to its layers and the
    // determination bar is to be rebuilt with its normal icons (Recharge_Barre).
    bool rechargeBarre = false;
    ResultatRecherche recherche; // Passage
};

// Validate (position 1): records the answer, refreshes, drops the contradiction flags. Pass
// (position 5): marks a question as passed, excludes the character from the search and searches
// again. Any other position leaves. Except after a pass, the window then clears the status bar
// and returns to the identification view.
ClicBarreQuestion Clic_Barre_Question(KeyModel &m, int position, const Charge_Image &charge);

} // namespace tarvenko
