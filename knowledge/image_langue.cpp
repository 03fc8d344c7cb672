#include "knowledge/image_langue.h"

#include "knowledge/file_lookup.h"
#include "knowledge/key_model.h"

namespace tarvenko {

std::string Chemin_Image_Descripteur(const KeyModel &m, std::string_view fichier)
{
    static constexpr std::string_view codes[] = {"en", "es", "fr"};
    const std::string_view code = m.Num_Langue >= 0 && m.Num_Langue <= 2 ? codes[m.Num_Langue] : std::string_view();
    return resoutCheminLangue(m.Chemin_Descripteurs + std::string(fichier), code);
}

} // namespace tarvenko
