#pragma once

#include <string>
#include <string_view>

namespace tarvenko {

struct KeyModel;

// The file of a question's or a state's picture, named in the key relative to
// Chemin_Descripteurs, in the interface language where the key has one beside it
// ("feuille_fr.wmf" for "feuille.wmf" in French, see resoutCheminLangue), else the key's own;
// resolved on the disk.
std::string Chemin_Image_Descripteur(const KeyModel &m, std::string_view fichier);

} // namespace tarvenko
