#pragma once

#include <string>
#include <string_view>

namespace tarvenko {

// ASCII letters folded to small letters; other bytes (UTF-8 sequences included) unchanged.
std::string minusculesAscii(std::string_view text);
// ASCII letters raised to capitals.
std::string majusculesAscii(std::string_view text);

// Key comparison of the knowledge base's text indexes: letters compare without regard to case,
// then, between keys equal in that sense, byte order decides. Used for every ordered text index
// (species names, object keys, state identifiers, languages) and by the tools that write the
// binary files in the same species order.
int compareCles(std::string_view a, std::string_view b);
// Equality of two keys in a seek: case-insensitive.
bool clesEgales(std::string_view a, std::string_view b);

// First letter of every word in capitals, the others in small letters ("ROSACEAE" gives
// "Rosaceae", "fagaceae nova" gives "Fagaceae Nova"). Latin letters with accents are handled.
std::string casseNomPropre(std::string_view text);

// Upper case as the program compares file paths: ASCII and the accented Latin letters.
std::string majusculesChemin(std::string_view text);

} // namespace tarvenko
