#pragma once

#include <cstdint>
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
    // A contradiction icon's tool tip names the answers it stands for, not the button's own
    // subject, which may be a neighbouring character. Empty: the row's TipText.
    std::string tip;
};

// A part of the drawing to mark for a contradiction that has no overlay of its own (flagged on a
// bar button, or not at all): where the user answered it. The window marks the object's click
// zones and the parts painted in the object's colours.
struct MarqueDessin {
    std::string objet;
    struct Rect {
        std::int32_t X1 = 0, X2 = 0, Y1 = 0, Y2 = 0; // reference space (Largeur_Reference x Hauteur_Reference)
    };
    std::vector<Rect> zones;
};

// What the window shows when it flags the contradictions of the selected list line.
struct AffichageContradictions {
    std::vector<Contradiction> contradictions;
    std::vector<int> Boutons_Contra;            // buttons that carry a contradiction icon
    std::vector<std::string> calquesManquants;  // overlays that could not be loaded: string 1077,
                                                // " Fichier : " and the path, title 1050, each
    std::vector<IconeBouton> icones;            // one per existing But_Deter row 1 ... Nb_But_Deter
    std::vector<MarqueDessin> marques;          // one per object to mark on the drawing
    // "<species> contradicts: <question> — <answer>; ...", or that it shares every answer; empty
    // with no species selected.
    std::string texte;
};

// One contradicted answer as the user reads it: the question's text, " — ", the state's
// (their TipText; the object key and ID_CARAC where the base has none).
std::string Description_Contradiction(const KeyModel &m, const Contradiction &c);

// The sentence naming species `espece` and the answers it contradicts (each once, even when an
// object with several rows met it twice): string 1502 between the species and the answers, or
// string 1503 after the species when there are none. Empty for a species number out of range.
std::string Texte_Contradictions(const KeyModel &m, int espece, const std::vector<Contradiction> &contradictions);

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
