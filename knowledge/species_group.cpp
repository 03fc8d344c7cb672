#include "knowledge/species_group.h"

#include <algorithm>
#include <cstring>

namespace tarvenko {

namespace {

constexpr unsigned char kMarque[4] = {'R', 'G', 'R', 'P'};

} // namespace

std::vector<unsigned char> Octets_Groupe(const std::optional<Groupe_Especes> &groupe)
{
    std::vector<unsigned char> out;
    if (!groupe || groupe->nom.empty())
        return out;
    out.assign(std::begin(kMarque), std::end(kMarque));
    out.push_back(static_cast<unsigned char>(groupe->rang));
    const std::size_t longueur = std::min<std::size_t>(groupe->nom.size(), 0xFFFF);
    out.push_back(static_cast<unsigned char>(longueur & 0xFF));
    out.push_back(static_cast<unsigned char>(longueur >> 8));
    out.insert(out.end(), groupe->nom.begin(), groupe->nom.begin() + static_cast<std::ptrdiff_t>(longueur));
    return out;
}

LectureGroupe Lit_Groupe(const unsigned char *data, std::size_t size, std::optional<Groupe_Especes> &out)
{
    out.reset();
    if (size < sizeof kMarque || std::memcmp(data, kMarque, sizeof kMarque) != 0)
        return LectureGroupe::Ok;
    std::size_t pos = sizeof kMarque;
    if (size - pos < 3)
        return LectureGroupe::Invalide;
    const unsigned char rang = data[pos];
    const std::size_t longueur = data[pos + 1] | (std::size_t{data[pos + 2]} << 8);
    pos += 3;
    if (rang > 1 || longueur == 0 || size - pos < longueur)
        return LectureGroupe::Invalide;
    Groupe_Especes g;
    g.rang = static_cast<Groupe_Especes::Rang>(rang);
    g.nom.assign(reinterpret_cast<const char *>(data + pos), longueur);
    out = std::move(g);
    return LectureGroupe::Ok;
}

} // namespace tarvenko
