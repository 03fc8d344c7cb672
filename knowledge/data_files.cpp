#include "knowledge/data_files.h"

#include <cstdint>
#include <fstream>

#include "platform/file_lookup.h"

namespace tarvenko {

LectureDat Lit_Entiers16(const std::string &path, std::size_t count, std::vector<std::int16_t> &values)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return LectureDat::OuvertureImpossible;
    // Counts come from the database: a file shorter than they say is refused before anything is
    // allocated for them.
    const std::streamoff length = in.tellg();
    if (length < 0 || static_cast<std::uintmax_t>(length) < count * 2)
        return LectureDat::LectureImpossible;
    in.seekg(0);
    std::vector<unsigned char> bytes(count * 2);
    in.read(reinterpret_cast<char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::size_t>(in.gcount()) != bytes.size())
        return LectureDat::LectureImpossible;
    values.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto word = static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        values[i] = static_cast<std::int16_t>(word);
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
