#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvenko {

// Nearest integer, halves to the even neighbour: the rounding of every conversion of a computed
// value to an integer in the program.
double arrondiPair(double value);

// Rounds to a 16-bit integer; nothing when the value does not fit (an overflow).
std::optional<std::int16_t> enEntier16(double value);
std::optional<std::int32_t> enEntier32(double value);

// The number at the start of a text, as Basic's Val reads it: leading blanks skipped, an optional
// sign, digits with at most one decimal point and an optional exponent. A text that does not
// start with a number gives 0; "12abc" gives 12.
double valeurNumerique(std::string_view text);

// A whole text read as a number (blanks around it allowed); nothing when it is not one.
std::optional<double> texteEnNombre(std::string_view text);

// A text converted to a boolean: "True"/"False" in any case, or a number (0 is false). Nothing
// for any other text.
std::optional<bool> texteEnBooleen(std::string_view text);

} // namespace tarvenko
