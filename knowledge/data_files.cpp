#include "knowledge/data_files.h"

#include <bit>
#include <cstdint>
#include <fstream>

#include <cstdio>

#if defined(__unix__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "knowledge/file_lookup.h"

namespace tarvenko {

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

LectureDat Lit_Entiers16(const std::string &path, std::size_t count, Tableau16 &values)
{
#if defined(__unix__)
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return LectureDat::OuvertureImpossible;
    struct stat etat {};
    const bool lisible = fstat(fd, &etat) == 0 && S_ISREG(etat.st_mode);
    if (lisible && (count > static_cast<std::size_t>(etat.st_size) / 2)) {
        close(fd);
        return LectureDat::LectureImpossible;
    }
    const bool projete = lisible && Projette_Entiers16_Fd(fd, count, values);
    close(fd);
    if (projete)
        return LectureDat::Ok;
#endif
    // Where the file cannot be mapped, it is read.
    std::vector<std::int16_t> lues;
    const LectureDat lecture = Lit_Entiers16(path, count, lues);
    if (lecture == LectureDat::Ok)
        values = Tableau16(std::move(lues));
    return lecture;
}

bool Ecrit_Entiers16(const std::string &path, const std::vector<std::int16_t> &values)
{
    // Written beside, then renamed over the old file: a program that has the old one mapped
    // keeps it whole.
    const std::string provisoire = path + ".nouveau";
    {
        std::ofstream out(provisoire, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        for (std::int16_t v : values) {
            const auto word = static_cast<std::uint16_t>(v);
            const char bytes[2] = {static_cast<char>(word & 0xFF), static_cast<char>(word >> 8)};
            out.write(bytes, 2);
        }
        out.close();
        if (!out) {
            std::remove(provisoire.c_str());
            return false;
        }
    }
    if (std::rename(provisoire.c_str(), path.c_str()) != 0) {
        std::remove(provisoire.c_str());
        return false;
    }
    return true;
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
