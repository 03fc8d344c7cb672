#pragma once

#include "engine/drawing_layers.h"
#include "engine/scoring.h"
#include "knowledge/key_model.h"

namespace tarvenko {

// What the window must show after the answers changed.
struct Rafraichissement {
    // Modifie was false and is now true: the window enables Save and Save As (and Save when the
    // identification has a file). The refresh sets Modifie itself; Open and Save clear it.
    bool devientModifie = false;
    ResultatCalques calques; // layers to repaint, messages to show, or the fatal path
    // The species list and the Legende text; not computed when a layer failed to load.
    ListeEspeces liste;
};

// The refresh after every change of the answers: marks the identification as modified, chooses
// and loads the drawing layers, then scores and ranks the species (Affiche_Especes). A layer that
// cannot be loaded stops it there: calques.echec holds the path for the fatal message.
Rafraichissement Actualise_Identification(KeyModel &m, const Charge_Image &charge);

} // namespace tarvenko
