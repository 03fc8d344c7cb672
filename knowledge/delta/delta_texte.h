#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "knowledge/escape.h"

namespace tarvenko::delta {

// DELTA files are written in code page 1252: every byte becomes its character in UTF-8.
std::string depuisCp1252(std::string_view octets);

// Text as the key shows it: comments <…> (nested) removed, typesetting marks (\i{}, \b0{},
// \emdash{}, \u233? …) removed or replaced by the character they stand for, blanks collapsed.
std::string nettoie(std::string_view texte);

// The same, but the outer comments are kept as parentheses ("culms (whether woody)"): a
// question needs them to be told apart from another on the same organ; a comment before the
// feature is kept as a word of it ("<adaxial> ligule" → "adaxial ligule"). Comments inside
// comments (<<implicit>>, editors' notes) are removed.
std::string nettoieQuestion(std::string_view texte);

// Only the typesetting marks replaced; comments kept as written.
std::string sansMarques(std::string_view texte);

// Where the comment opened at `debut` ('<') closes, one past its '>'; npos when it never does.
std::size_t finCommentaire(std::string_view texte, std::size_t debut);

// For each character of `texte`, whether it is a '<' that no '>' closes: such a bracket is taken
// as written ("few (<3) families"), never as a comment running to the end.
std::vector<bool> ouvrantsOrphelins(std::string_view texte);

} // namespace tarvenko::delta
