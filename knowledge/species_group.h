#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvenko {

// A group of species an identification can be kept within: a family (field Famille of Flore) or
// a genus (the first word of the species' name, where the key's names are binomials).
struct Groupe_Especes {
    enum class Rang : std::uint8_t { Famille = 0, Genre = 1 };
    Rang rang = Rang::Famille;
    std::string nom;

    bool operator==(const Groupe_Especes &) const = default;
};

// The group as an identification file carries it after the other additions: "RGRP", the rank
// (one byte: 0 family, 1 genus), the name's length in bytes (16-bit little-endian) and the name
// in UTF-8. No group gives no bytes, so such a file is the file of before.
std::vector<unsigned char> Octets_Groupe(const std::optional<Groupe_Especes> &groupe);

enum class LectureGroupe {
    Ok,       // `out` holds the group, or nothing when the bytes do not start with "RGRP"
    Invalide, // the block starts as ours but is cut short, names no group or an unknown rank
};

// Reads the bytes found after the other additions. Bytes that do not start with "RGRP" are
// ignored (no group), as unknown bytes past the arrays always were.
LectureGroupe Lit_Groupe(const unsigned char *data, std::size_t size, std::optional<Groupe_Especes> &out);

} // namespace tarvenko
