#include "knowledge/numeric_answers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tarvenko {

namespace {

constexpr unsigned char kMarque[4] = {'R', 'N', 'U', 'M'};

void ajoute16(std::vector<unsigned char> &out, std::uint16_t v)
{
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

} // namespace

std::vector<unsigned char> Octets_Reponses_Num(const std::vector<Reponse_Num> &reponses)
{
    std::vector<unsigned char> out;
    if (reponses.empty())
        return out;
    out.assign(std::begin(kMarque), std::end(kMarque));
    const std::size_t nombre = std::min<std::size_t>(reponses.size(), 0xFFFF);
    ajoute16(out, static_cast<std::uint16_t>(nombre));
    for (std::size_t i = 0; i < nombre; ++i) {
        const Reponse_Num &r = reponses[i];
        const std::size_t longueur = std::min<std::size_t>(r.Objet.size(), 0xFFFF);
        ajoute16(out, static_cast<std::uint16_t>(longueur));
        out.insert(out.end(), r.Objet.begin(), r.Objet.begin() + static_cast<std::ptrdiff_t>(longueur));
        std::uint64_t bits = 0;
        static_assert(sizeof bits == sizeof r.Valeur);
        std::memcpy(&bits, &r.Valeur, sizeof bits);
        for (int octet = 0; octet < 8; ++octet)
            out.push_back(static_cast<unsigned char>(bits >> (8 * octet)));
    }
    return out;
}

LectureReponsesNum Lit_Reponses_Num(const unsigned char *data, std::size_t size, std::vector<Reponse_Num> &out,
                                    std::size_t *lus)
{
    out.clear();
    if (lus)
        *lus = 0;
    if (size < sizeof kMarque || std::memcmp(data, kMarque, sizeof kMarque) != 0)
        return LectureReponsesNum::Ok;
    std::size_t pos = sizeof kMarque;
    const auto lit16 = [&](std::uint16_t &v) {
        if (size - pos < 2)
            return false;
        v = static_cast<std::uint16_t>(data[pos] | (data[pos + 1] << 8));
        pos += 2;
        return true;
    };
    std::uint16_t nombre = 0;
    if (!lit16(nombre))
        return LectureReponsesNum::Invalide;
    std::vector<Reponse_Num> lues;
    for (std::uint16_t i = 0; i < nombre; ++i) {
        std::uint16_t longueur = 0;
        if (!lit16(longueur) || size - pos < std::size_t{longueur} + 8)
            return LectureReponsesNum::Invalide;
        Reponse_Num r;
        r.Objet.assign(reinterpret_cast<const char *>(data + pos), longueur);
        pos += longueur;
        std::uint64_t bits = 0;
        for (int octet = 0; octet < 8; ++octet)
            bits |= std::uint64_t{data[pos + static_cast<std::size_t>(octet)]} << (8 * octet);
        pos += 8;
        std::memcpy(&r.Valeur, &bits, sizeof bits);
        if (r.Objet.empty() || !std::isfinite(r.Valeur))
            return LectureReponsesNum::Invalide;
        lues.push_back(std::move(r));
    }
    out = std::move(lues);
    if (lus)
        *lus = pos;
    return LectureReponsesNum::Ok;
}

} // namespace tarvenko
