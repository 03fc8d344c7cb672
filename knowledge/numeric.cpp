#include "knowledge/numeric.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "knowledge/text.h"

namespace tarvenko {

double arrondiPair(double value)
{
    const double lower = std::floor(value);
    const double diff = value - lower;
    if (diff < 0.5)
        return lower;
    if (diff > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

std::optional<std::int16_t> enEntier16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double r = arrondiPair(value);
    if (r < std::numeric_limits<std::int16_t>::min() || r > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(r);
}

std::optional<std::int32_t> enEntier32(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double r = arrondiPair(value);
    if (r < std::numeric_limits<std::int32_t>::min() || r > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(r);
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the number at the start of `text` (after the caller skipped blanks), 0 if none.
std::size_t numberPrefixLength(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

} // namespace

double valeurNumerique(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    const std::string_view rest = text.substr(start);
    const std::size_t length = numberPrefixLength(rest);
    if (length == 0)
        return 0.0;
    const std::string number(rest.substr(0, length));
    return std::strtod(number.c_str(), nullptr);
}

std::optional<double> texteEnNombre(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    std::size_t end = text.size();
    while (end > start && isBlank(text[end - 1]))
        --end;
    const std::string_view core = text.substr(start, end - start);
    const std::size_t length = numberPrefixLength(core);
    if (length == 0 || length != core.size())
        return std::nullopt;
    return std::strtod(std::string(core).c_str(), nullptr);
}

std::optional<bool> texteEnBooleen(std::string_view text)
{
    const std::string folded = minusculesAscii(text);
    std::string_view trimmed = folded;
    while (!trimmed.empty() && isBlank(trimmed.front()))
        trimmed.remove_prefix(1);
    while (!trimmed.empty() && isBlank(trimmed.back()))
        trimmed.remove_suffix(1);
    if (trimmed == "true" || trimmed == "vrai")
        return true;
    if (trimmed == "false" || trimmed == "faux")
        return false;
    if (const auto number = texteEnNombre(trimmed))
        return *number != 0.0;
    return std::nullopt;
}

} // namespace tarvenko
