#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "knowledge/key_model.h"

namespace tarvenko {

// Samples the colour palette from the colour chart: a horizontal strip of Nb_Couleurs equal
// cells, `largeurPixels` x `hauteurPixels` as shown, read through `pixel` (red in the low byte).
// Cell i is read on the middle row at the centre of the cell, both rounded half to even; the
// colour goes into Couleur_Valeur(i) and, split into bytes, Couleur_Octets(i). The palette
// arrays are sized to Nb_Couleurs; the codes already in Code_Couleur are kept.
void Echantillonne_Palette(KeyModel &m, int largeurPixels, int hauteurPixels,
                           const std::function<std::int32_t(int x, int y)> &pixel);

// The code of the palette colour that matches a screen colour: the first one equal to it, else
// the nearest (Euclidean distance of the bytes; ties to the lower index; no limit). Empty text
// when the palette has no colours. Fills Couleur_Distance as it goes.
std::string Cherche_Couleur(KeyModel &m, std::int32_t couleur);

} // namespace tarvenko
