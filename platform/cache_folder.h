#pragma once

#include <string>

namespace tarvenko {

// Where the program keeps the SQLite copies of Access (Jet) knowledge bases: the folder "bases"
// of the application's cache location (~/.cache/Tarvenko/Tarvenko/bases by default, or under
// $XDG_CACHE_HOME). The organisation and application names must be set ("Tarvenko").
std::string dossierCacheBases();

} // namespace tarvenko
