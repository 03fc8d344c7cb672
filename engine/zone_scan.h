#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "knowledge/key_model.h"

namespace tarvenko {

// The drawing's zones are given in a reference space of this size, whatever the size of the box.
inline constexpr int Largeur_Reference = 2400;
inline constexpr int Hauteur_Reference = 1800;

struct PointReference {
    std::int32_t Zone_X = 0;
    std::int32_t Zone_Y = 0;
};

// A point in the box's own scale (width x height units) in the reference space, rounded down.
PointReference Vers_Reference(double x, double y, double largeur, double hauteur);

// The name (Code_Couleur) of the legend colour nearest to the pixel under the mouse; the window
// supplies it, reading the pixel and looking it up in the palette.
using Couleur_Sous_Souris = std::function<std::string()>;

struct ResultatZone {
    const ObjetRow *cible = nullptr; // the object to ask; nullptr: the click or move finds nothing
    std::string objet;               // the key it was found under (the zone's Nom or the colour's name)
    bool parCouleur = false;         // the colour fallback ran (a click then forgets its press)
    bool zoneSansObjet = false;      // a zone was hit whose Nom is missing from Objets_Fic
};

// The zone scan of Clic_Zone at a reference point, in primary-key order: a row takes part when
// its prerequisites hold up to "Fin" (an unknown state makes it not apply) and its frame is not
// the current one; a row without Test_Cadre makes its frame current; the hit test is strict on
// all four borders; a Test_Cadre row counts only once its frame is answered. The first hit ends
// the scan; without a target the colour under the mouse decides (when `couleur` is given).
ResultatZone Cherche_Zone(const KeyModel &m, std::int32_t Zone_X, std::int32_t Zone_Y, const Couleur_Sous_Souris &couleur);

} // namespace tarvenko
