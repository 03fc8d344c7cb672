#include "commands/fichier_identification.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace tarvenko {

namespace {

void appendWords(std::vector<unsigned char> &bytes, const std::vector<std::int16_t> &values)
{
    for (std::int16_t v : values) {
        const auto word = static_cast<std::uint16_t>(v);
        bytes.push_back(static_cast<unsigned char>(word & 0xFF));
        bytes.push_back(static_cast<unsigned char>(word >> 8));
    }
}

std::int16_t word(const std::vector<unsigned char> &bytes, std::size_t i)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
}

} // namespace

std::vector<unsigned char> Octets_Identification(const std::vector<std::int16_t> &Etat_Choisi,
                                                 const std::vector<std::int16_t> &Cadre_Fait)
{
    std::vector<unsigned char> bytes;
    bytes.reserve(2 * (Etat_Choisi.size() + Cadre_Fait.size()));
    appendWords(bytes, Etat_Choisi);
    appendWords(bytes, Cadre_Fait);
    return bytes;
}

LectureIdentification Lit_Identification(const std::string &path, std::size_t nbEtats, std::size_t nbCadres,
                                         Identification &out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return LectureIdentification::Inaccessible;
    std::vector<unsigned char> bytes(2 * (nbEtats + nbCadres));
    in.read(reinterpret_cast<char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::size_t>(in.gcount()) != bytes.size())
        return LectureIdentification::TropCourt;
    Identification read;
    read.Etat_Choisi.resize(nbEtats);
    read.Cadre_Fait.resize(nbCadres);
    for (std::size_t e = 0; e < nbEtats; ++e) {
        read.Etat_Choisi[e] = word(bytes, e);
        if (read.Etat_Choisi[e] != 0 && read.Etat_Choisi[e] != 1)
            return LectureIdentification::Invalide;
    }
    for (std::size_t g = 0; g < nbCadres; ++g) {
        read.Cadre_Fait[g] = word(bytes, nbEtats + g);
        if (read.Cadre_Fait[g] != 0 && read.Cadre_Fait[g] != -1)
            return LectureIdentification::Invalide;
    }
    out = std::move(read);
    return LectureIdentification::Ok;
}

bool Ecrit_Identification(const std::string &path, const std::vector<std::int16_t> &Etat_Choisi,
                          const std::vector<std::int16_t> &Cadre_Fait, std::string &erreur)
{
    namespace fs = std::filesystem;
    const fs::path target(path);
    std::random_device rd;
    const fs::path temporary = target.parent_path() / ("." + target.filename().string() + "." + std::to_string(rd()) + ".tmp");
    const std::vector<unsigned char> bytes = Octets_Identification(Etat_Choisi, Cadre_Fait);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            erreur = std::strerror(errno);
            return false;
        }
        out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            erreur = std::strerror(errno);
            out.close();
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temporary, target, ec);
    if (ec) {
        erreur = ec.message();
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

} // namespace tarvenko
