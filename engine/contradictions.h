#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/drawing_layers.h"
#include "knowledge/key_model.h"

namespace tarvenko {

// A chosen state that a species lacks, met on one row of Objets_Fic. An object with several rows
// (constrained objects) is examined once per row, so a state shared by two rows counts twice.
struct Contradiction {
    const ObjetRow *ligne = nullptr;
    std::string objet;   // the row's key
    int etat = 0;        // the contradicted state number
    std::string idCarac; // its identifier; empty when Caracteres has no row for it
    int position = 0;    // Nb_Robot + n for the n-th contradiction: the Robots entry (from 1) of its overlay
    // How it is flagged (its Contradictions row); nullptr: counted but not flagged.
    const ContradictionRow *signal = nullptr;
};

// The contradictions of species `espece` (a species number) with the chosen states, in the order
// of Objets_Fic then of the states. Empty for a species number out of range.
std::vector<Contradiction> Cherche_Contradictions(const KeyModel &m, int espece);

// The icon of one determination-bar button while contradictions are flagged.
struct IconeBouton {
    int numero = 0; // button number in But_Deter
    bool contradiction = false;
    std::optional<std::string> chemin; // file to load; none when the button gets no image
};

// What the window shows when it flags the contradictions of the selected list line.
struct AffichageContradictions {
    std::vector<Contradiction> contradictions;
    std::vector<int> Boutons_Contra;            // buttons that carry a contradiction icon
    std::vector<std::string> calquesManquants;  // overlays that could not be loaded: string 1077,
                                                // " Fichier : " and the path, title 1050, each
    std::vector<IconeBouton> icones;            // one per existing But_Deter row 1 ... Nb_But_Deter
};

// Ends the display of contradictions: Robots is cut back to its Nb_Robot layers and
// Nb_Contradictions is 0. True when flags were on show, so that the window rebuilds the
// determination bar with its normal icons (Recharge_Barre).
bool Efface_Contradictions(KeyModel &m);

// The Errors command: drops the overlays of an earlier check, finds the contradictions of the
// species on list line `ligne` (its rank; none selected gives none), sets Nb_Contradictions, adds
// an overlay to Robots for each contradiction flagged on the drawing (Bouton -1) and lists the
// determination-bar icons to use. The window rebuilds the bar from `icones` and returns to the
// identification view.
AffichageContradictions Montre_Contradictions(KeyModel &m, std::optional<int> ligne, const Charge_Image &charge);

} // namespace tarvenko
