#pragma once

#include <string>
#include <string_view>

namespace tarvenko {

// Paths in the knowledge base and its settings are written the Windows way: "\" separates the
// folders ("07\arbre.wmf", "CONTRA\") and names come in any letter case ("POIDS.DAT" for a file
// stored as "poids.dat"). This turns such a path into one that exists on a case-sensitive disk:
// a path that exists as written is returned as it is; otherwise both "\" and "/" separate
// components, and each component that does not exist as written is matched against the entries
// of its folder with Unicode case folding ("CHÊNE" finds "chêne"; names that are not UTF-8 in
// ASCII only), the first in byte order when several match. Components that match nothing are
// kept as written, so the result names the missing file in the message the user sees.
std::string resoutChemin(std::string_view path);

// A picture in a language: the file of `path` with "_" and the language's code before its
// extension ("07\feuille.wmf" in French is "07\feuille_fr.wmf"; a name without an extension gets
// it at the end), resolved as above, when that file exists; otherwise `path` itself resolved, so
// that a key without pictures in that language shows its own. An empty code gives `path` resolved.
std::string resoutCheminLangue(std::string_view path, std::string_view codeLangue);

// True when the path, resolved as above, names an existing file or folder.
bool cheminExiste(std::string_view path);

} // namespace tarvenko
