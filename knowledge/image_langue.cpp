#include "knowledge/image_langue.h"

#include "knowledge/file_lookup.h"
#include "knowledge/key_model.h"
#include "knowledge/key_texts.h"

namespace tarvenko {

std::string Chemin_Image_Descripteur(const KeyModel &m, std::string_view fichier)
{
    return resoutCheminLangue(m.Chemin_Descripteurs + std::string(fichier), Code_Langue(m.Num_Langue));
}

} // namespace tarvenko
