#include "commands/fichier_identification.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
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
                                                 const std::vector<std::int16_t> &Cadre_Fait,
                                                 const std::vector<Reponse_Num> &Reponses_Num,
                                                 const std::optional<Groupe_Especes> &Groupe)
{
    std::vector<unsigned char> bytes;
    bytes.reserve(2 * (Etat_Choisi.size() + Cadre_Fait.size()));
    appendWords(bytes, Etat_Choisi);
    appendWords(bytes, Cadre_Fait);
    const std::vector<unsigned char> numeriques = Octets_Reponses_Num(Reponses_Num);
    bytes.insert(bytes.end(), numeriques.begin(), numeriques.end());
    const std::vector<unsigned char> groupe = Octets_Groupe(Groupe);
    bytes.insert(bytes.end(), groupe.begin(), groupe.end());
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
    // The numeric answers after the arrays; far more bytes than any key's answers are not read.
    std::vector<unsigned char> reste(1 << 20);
    in.read(reinterpret_cast<char *>(reste.data()), static_cast<std::streamsize>(reste.size()));
    reste.resize(static_cast<std::size_t>(in.gcount()));
    std::size_t lus = 0;
    if (Lit_Reponses_Num(reste.data(), reste.size(), read.Reponses_Num, &lus) != LectureReponsesNum::Ok)
        return LectureIdentification::Invalide;
    if (Lit_Groupe(reste.data() + lus, reste.size() - lus, read.Groupe) != LectureGroupe::Ok)
        return LectureIdentification::Invalide;
    out = std::move(read);
    return LectureIdentification::Ok;
}

namespace {

int ouvre(const char *path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t ecrit(int fd, const void *data, std::size_t size) { return ::write(fd, data, size); }

std::string raison(int numero) { return std::strerror(numero); }

} // namespace

const AppelsFichier &appelsSysteme()
{
    static const AppelsFichier systeme{ouvre, ecrit, ::fsync, ::close, ::rename};
    return systeme;
}

namespace {

// The file a path ends at once its symbolic links are followed; the path itself when it is no
// link. A link to a file not yet made gives that file. Nothing past 40 links, the system's own
// limit: they go round in a circle.
std::optional<std::filesystem::path> cibleDesLiens(const std::filesystem::path &path)
{
    namespace fs = std::filesystem;
    fs::path cible = path;
    for (int saut = 0; saut < 40; ++saut) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(cible, ec)))
            return cible;
        const fs::path vers = fs::read_symlink(cible, ec);
        if (ec)
            return cible;
        cible = vers.is_absolute() ? vers : cible.parent_path() / vers;
    }
    return std::nullopt;
}

} // namespace

bool Ecrit_Fichier_Sur(const std::string &path, const std::vector<unsigned char> &bytes, std::string &erreur,
                       const AppelsFichier &appels)
{
    namespace fs = std::filesystem;
    // Saved through a symbolic link, the file it points to is replaced and the link stays: the
    // temporary file is made beside that file, since a rename cannot cross file systems.
    const std::optional<fs::path> resolu = cibleDesLiens(fs::path(path));
    if (!resolu) {
        erreur = raison(ELOOP);
        return false;
    }
    const fs::path &target = *resolu;
    const fs::path dossier = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    // The file being replaced keeps its rights: a private identification stays private.
    struct stat avant {};
    const bool remplace = ::stat(target.c_str(), &avant) == 0 && S_ISREG(avant.st_mode);

    // A name of our own, never an existing file: another program's file is not truncated.
    std::random_device rd;
    fs::path temporary;
    int fd = -1;
    for (int essai = 0; essai < 16 && fd < 0; ++essai) {
        temporary = dossier / ("." + target.filename().string() + "." + std::to_string(rd()) + ".tmp");
        do
            fd = appels.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, remplace ? 0600 : 0666);
        while (fd < 0 && errno == EINTR);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        erreur = raison(errno);
        return false;
    }
    const auto abandonne = [&](int numero, bool ouvert) {
        if (ouvert)
            appels.close(fd);
        ::unlink(temporary.c_str());
        erreur = raison(numero);
        return false;
    };

    // Made private, then given the old file's rights; where the file system keeps no rights
    // (FAT), a refusal leaves the copy private, never more open than the file it replaces.
    if (remplace)
        ::fchmod(fd, avant.st_mode & 07777);

    // Short writes go on where they stopped; a write that makes no progress is a full disk.
    std::size_t ecrits = 0;
    while (ecrits < bytes.size()) {
        const ssize_t n = appels.write(fd, bytes.data() + ecrits, bytes.size() - ecrits);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return abandonne(n < 0 ? errno : ENOSPC, true);
        ecrits += static_cast<std::size_t>(n);
    }
    // On the disk before it takes the old file's place: a crash never leaves an empty file
    // under the identification's name. A file system may report a full disk only here.
    if (appels.fsync(fd) != 0)
        return abandonne(errno, true);
    if (appels.close(fd) != 0)
        return abandonne(errno, false);
    if (appels.rename(temporary.c_str(), target.c_str()) != 0)
        return abandonne(errno, false);
    // The new name on the disk too; the file is already complete under it, so a folder that
    // cannot be flushed is no failure.
    if (const int d = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); d >= 0) {
        ::fsync(d);
        ::close(d);
    }
    return true;
}

bool Ecrit_Identification(const std::string &path, const std::vector<std::int16_t> &Etat_Choisi,
                          const std::vector<std::int16_t> &Cadre_Fait, std::string &erreur,
                          const AppelsFichier &appels)
{
    return Ecrit_Fichier_Sur(path, Octets_Identification(Etat_Choisi, Cadre_Fait), erreur, appels);
}

bool Ecrit_Identification(const std::string &path, const std::vector<std::int16_t> &Etat_Choisi,
                          const std::vector<std::int16_t> &Cadre_Fait, const std::vector<Reponse_Num> &Reponses_Num,
                          std::string &erreur, const AppelsFichier &appels)
{
    return Ecrit_Fichier_Sur(path, Octets_Identification(Etat_Choisi, Cadre_Fait, Reponses_Num), erreur, appels);
}

bool Ecrit_Identification(const std::string &path, const Identification &identification, std::string &erreur,
                          const AppelsFichier &appels)
{
    return Ecrit_Fichier_Sur(path,
                             Octets_Identification(identification.Etat_Choisi, identification.Cadre_Fait,
                                                   identification.Reponses_Num, identification.Groupe),
                             erreur, appels);
}

} // namespace tarvenko
