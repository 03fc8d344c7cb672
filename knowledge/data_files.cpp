#include "knowledge/data_files.h"

#include <bit>
#include <cstdint>
#include <fstream>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "knowledge/file_lookup.h"

namespace tarvenko {

namespace {

// The matrix of a large key is tens of megabytes of fresh memory: in pages of 2 MB the system
// maps it with a few hundred faults instead of tens of thousands (half the reading time at
// 10,000 species x 4,000 states). Only a hint; elsewhere nothing is done.
void pagesLarges([[maybe_unused]] void *debut, [[maybe_unused]] std::size_t octets)
{
#if defined(__linux__)
    constexpr std::uintptr_t kPage = std::uintptr_t{1} << 21;
    if (octets < 4 * kPage)
        return;
    const auto a = reinterpret_cast<std::uintptr_t>(debut);
    const std::uintptr_t premier = (a + kPage - 1) & ~(kPage - 1);
    const std::uintptr_t fin = (a + octets) & ~(kPage - 1);
    if (fin > premier)
        madvise(reinterpret_cast<void *>(premier), fin - premier, MADV_HUGEPAGE);
#endif
}

} // namespace

LectureDat Lit_Entiers16(const std::string &path, std::size_t count, std::vector<std::int16_t> &values)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return LectureDat::OuvertureImpossible;
    // A file too short is refused before anything is read, leaving `values` as it was.
    const std::streamoff taille = in.tellg();
    if (taille < 0 || static_cast<std::size_t>(taille) < count * 2)
        return LectureDat::LectureImpossible;
    in.seekg(0);
    // The file's little-endian words are read straight into the array (the matrix of a large key
    // is tens of megabytes: no second copy), then put in the machine's byte order.
    values.reserve(count);
    pagesLarges(values.data(), count * sizeof(std::int16_t));
    values.resize(count);
    in.read(reinterpret_cast<char *>(values.data()), static_cast<std::streamsize>(count * 2));
    if (static_cast<std::size_t>(in.gcount()) != count * 2)
        return LectureDat::LectureImpossible;
    if constexpr (std::endian::native == std::endian::big) {
        for (std::int16_t &v : values) {
            const auto word = static_cast<std::uint16_t>(v);
            v = static_cast<std::int16_t>(static_cast<std::uint16_t>((word >> 8) | (word << 8)));
        }
    }
    return LectureDat::Ok;
}

bool Ecrit_Entiers16(const std::string &path, const std::vector<std::int16_t> &values)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    for (std::int16_t v : values) {
        const auto word = static_cast<std::uint16_t>(v);
        const char bytes[2] = {static_cast<char>(word & 0xFF), static_cast<char>(word >> 8)};
        out.write(bytes, 2);
    }
    return static_cast<bool>(out);
}

std::string Chemin_Poids(const KeyModel &m) { return resoutChemin(m.Chemin_Data + "POIDS.DAT"); }
std::string Chemin_Matrice(const KeyModel &m) { return resoutChemin(m.Chemin_Data + "MATRICE.DAT"); }

LectureDat Lit_Poids(KeyModel &m)
{
    const std::size_t states = m.Nb_Etats_Desc > 0 ? static_cast<std::size_t>(m.Nb_Etats_Desc) : 0;
    return Lit_Entiers16(Chemin_Poids(m), states, m.Poids);
}

LectureDat Lit_Matrice(KeyModel &m)
{
    const std::size_t states = m.Nb_Etats_Desc > 0 ? static_cast<std::size_t>(m.Nb_Etats_Desc) : 0;
    const std::size_t species = m.Nb_Esp > 0 ? static_cast<std::size_t>(m.Nb_Esp) : 0;
    return Lit_Entiers16(Chemin_Matrice(m), states * species, m.Matrice);
}

} // namespace tarvenko
