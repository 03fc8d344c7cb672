#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tarvenko {

// An answer to a numeric character, by the character's key so that it survives a change of the
// character's position in the key.
struct Reponse_Num {
    std::string Objet;
    double Valeur = 0.0;

    bool operator==(const Reponse_Num &) const = default;
};

// The numeric answers as an identification file carries them after its two arrays: "RNUM", the
// count (16-bit), then per answer the key's length in bytes (16-bit), the key in UTF-8 and the
// value (IEEE 754 double), all little-endian. No answer gives no bytes, so such a file is the
// file of before, and readers that stop after the arrays still read the rest.
std::vector<unsigned char> Octets_Reponses_Num(const std::vector<Reponse_Num> &reponses);

enum class LectureReponsesNum {
    Ok,       // `out` holds the answers (none when there are no bytes past the arrays)
    Invalide, // the block starts as ours but is cut short or holds a value that is no number
};

// Reads the bytes found past the two arrays. Bytes that do not start with "RNUM" are ignored
// (no answer), as bytes past the arrays always were. `lus`, when given, receives the length of
// the block read (0 without one): the next addition starts there.
LectureReponsesNum Lit_Reponses_Num(const unsigned char *data, std::size_t size, std::vector<Reponse_Num> &out,
                                    std::size_t *lus = nullptr);

} // namespace tarvenko
