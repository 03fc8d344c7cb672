#pragma once

#include <string>
#include <vector>

#include "knowledge/key_model.h"

namespace tarvenko {

// A single-access key built from the matrix, of every species or of the group (family or genus)
// the identification is kept within. At each couplet the question that best splits the
// species still possible, by the measure of the search (Mesure_Discriminante over the states,
// questions the search may propose first) times the share of those species that follow a single
// lead, so that variable species are repeated as little as can be; one lead per state some of
// them have. A species with
// several states of the question follows each of those leads, one without data follows every
// lead. Species no question separates end together. The same set of species met twice is keyed
// once: the second lead goes to the first couplet.
struct Branche {
    std::vector<int> etats; // the states of this lead: several when they lead to the same place
    std::string nom;        // their names (TipText, else ID_CARAC), joined by string 1191 (" or ")
    int couplet = -1;       // the next couplet (index in `couplets`), or -1 when the lead ends
    std::vector<int> especes; // where it ends: one species, or several that cannot be told apart
};

struct Couplet {
    std::string objet;
    std::string question; // TipText of the object's first row
    std::vector<Branche> branches;
};

struct Cle_Dichotomique {
    std::vector<Couplet> couplets; // couplet n (from 1) is couplets[n - 1]; the key starts at 1
    // When no question separates any species (or the key has one species): all of them.
    std::vector<int> sansCouplet;
    // The species keyed: every species of the key, or those of the group the identification is
    // kept within.
    std::size_t especes = 0;
};

Cle_Dichotomique Construit_Cle_Dichotomique(const KeyModel &m);

// The key as an HTML page: numbered couplets, each lead with its state and the species or the
// couplet it leads to, names in the interface language where the key has them.
std::string Html_Cle_Dichotomique(const KeyModel &m, const Cle_Dichotomique &cle);

} // namespace tarvenko
