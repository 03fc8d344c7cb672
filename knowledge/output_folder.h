#pragma once

#include <filesystem>

namespace tarvenko {

// Puts the folder `temporaire`, written completely, in place of `cible`: an existing `cible` is
// replaced only now, so that a conversion that fails before leaves it as it was. Throws
// std::filesystem::filesystem_error.
void Installe_Dossier(const std::filesystem::path &temporaire, const std::filesystem::path &cible);

} // namespace tarvenko
