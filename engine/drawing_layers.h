#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "knowledge/key_model.h"

namespace tarvenko {

// Loads a picture of the knowledge base (a drawing layer, an overlay) from a path that exists on
// disk; null when it cannot be loaded. The user interface supplies it.
using Charge_Image = std::function<std::shared_ptr<const Picture>(const std::string &chemin)>;

// What choosing the drawing layers changed.
struct ResultatCalques {
    std::vector<int> recharges;        // layers whose picture was replaced, ascending
    std::vector<std::string> messages; // one per constraint naming an unknown state, in order
    // A layer picture that could not be loaded: its path (the program shows it and ends). The
    // layers after it are left as they were.
    std::optional<std::string> echec;
};

// The folder of layer r: Chemin_Robot, r with at least two digits, a backslash.
std::string Dossier_Calque(const KeyModel &m, int r);

// The file of every layer 0 ... Nb_Robot - 1 under the current answers, as the knowledge base
// writes it (not resolved on disk): the first Hierarchie row of the layer whose conditions hold;
// nothing for a layer without such a row. A name without the "wmf" ending takes the last six
// characters of layer 0's wmf name. Constraints naming unknown states add to `messages`.
std::vector<std::optional<std::string>> Fichiers_Calques(const KeyModel &m, std::vector<std::string> &messages);

// The file on disk of a layer named `fichier` (as Fichiers_Calques gives it): the one of the
// interface language beside it where the key has one ("fond_fr.wmf" for "fond.wmf" in French, see
// resoutCheminLangue), else `fichier` itself.
std::string Chemin_Calque(const KeyModel &m, const std::string &fichier);

// Chooses the picture of every layer 0 ... Nb_Robot - 1 from table Hierarchie (the first row of
// the layer whose conditions hold up to "Fin") and loads it (Chemin_Calque) when its upper-cased
// path differs from the one the layer holds, or when the interface language changed and with it
// the file of the layer. A layer without such a row keeps its picture. A name without the "wmf"
// ending takes the last six characters of layer 0's wmf name.
ResultatCalques Choisit_Calques(KeyModel &m, const Charge_Image &charge);

// Puts the picture at `chemin` into entry position - 1 of Robots, which is resized to exactly
// `position` entries, keeping the others. Fichier is set even when loading fails; returns whether
// the picture was loaded (if not, the caller shows string 1077, " Fichier : " and the path).
bool Ajoute_Calque(KeyModel &m, int position, const std::string &chemin, const Charge_Image &charge);

} // namespace tarvenko
