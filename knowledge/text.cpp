#include "knowledge/text.h"

#include <algorithm>

namespace tarvenko {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool isWordSeparator(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\0';
}

// Two-byte UTF-8 letters of the Latin-1 supplement: capitals U+00C0..U+00DE (but U+00D7) map to
// small letters U+00E0..U+00FE (but U+00F7), 0x20 apart.
bool isLatin1Capital(unsigned char lead, unsigned char next)
{
    return lead == 0xC3 && next >= 0x80 && next <= 0x9E && next != 0x97;
}
bool isLatin1Small(unsigned char lead, unsigned char next)
{
    return lead == 0xC3 && next >= 0xA0 && next <= 0xBE && next != 0xB7;
}

std::string changeCase(std::string_view text, bool upper, bool properCase)
{
    std::string out(text);
    bool wordStart = true;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        const bool toUpper = properCase ? wordStart : upper;
        if (c < 0x80) {
            out[i] = toUpper ? upperAscii(out[i]) : lowerAscii(out[i]);
            wordStart = isWordSeparator(c);
            continue;
        }
        if (i + 1 < out.size()) {
            const auto next = static_cast<unsigned char>(out[i + 1]);
            if (toUpper && isLatin1Small(c, next))
                out[i + 1] = static_cast<char>(next - 0x20);
            else if (!toUpper && isLatin1Capital(c, next))
                out[i + 1] = static_cast<char>(next + 0x20);
        }
        // Skip the continuation bytes of this UTF-8 sequence.
        while (i + 1 < out.size() && (static_cast<unsigned char>(out[i + 1]) & 0xC0) == 0x80)
            ++i;
        wordStart = false;
    }
    return out;
}

} // namespace

std::string minusculesAscii(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), lowerAscii);
    return out;
}

std::string majusculesAscii(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), upperAscii);
    return out;
}

int compareCles(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(lowerAscii(a[i]));
        const auto cb = static_cast<unsigned char>(lowerAscii(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int binary = a.compare(b);
    return binary < 0 ? -1 : (binary > 0 ? 1 : 0);
}

bool clesEgales(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

std::string casseNomPropre(std::string_view text) { return changeCase(text, false, true); }

std::string majusculesChemin(std::string_view text) { return changeCase(text, true, false); }

} // namespace tarvenko
