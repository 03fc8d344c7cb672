#include "knowledge/output_folder.h"

namespace tarvenko {

namespace fs = std::filesystem;

void Installe_Dossier(const fs::path &temporaire, const fs::path &cible)
{
    if (!fs::exists(cible)) {
        fs::rename(temporaire, cible);
        return;
    }
    const fs::path ancien = temporaire.string() + ".old";
    fs::rename(cible, ancien);
    fs::rename(temporaire, cible);
    std::error_code ec;
    fs::remove_all(ancien, ec);
}

} // namespace tarvenko
