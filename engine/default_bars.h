#pragma once

#include <span>

#include "knowledge/key_model.h"

namespace tarvenko {

// A button of a bar the program supplies itself, for a key whose table of that bar is empty.
struct BoutonParDefaut {
    int caption;       // string number of its text
    int tip;           // string number of its tool tip
    const char *icone; // name of the program's own picture
    const char *tag;   // the command it runs (determination bar), as a But_Deter Key would
};

// Whether bar `deter` (the determination bar, else the question bar) has no row in its table
// (But_Deter, But_Quest): the window then shows the program's own buttons.
bool Barre_Par_Defaut(const KeyModel &m, bool deter);

// The program's buttons: Search and Results on the determination bar; validate, leave and pass
// on the question bar, at the positions the question bar's clicks expect.
std::span<const BoutonParDefaut> Boutons_Par_Defaut(bool deter);

// The number of picture buttons of the question bar: Nb_But_Quest, or those of the program's
// own bar. The last of them is the pass button.
int Nb_Boutons_Question(const KeyModel &m);

} // namespace tarvenko
