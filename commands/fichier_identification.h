#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "knowledge/numeric_answers.h"
#include "knowledge/species_group.h"

namespace tarvenko {

// An identification file (".ryk"): the states chosen (Etat_Choisi, 1 or 0 per state) then the
// groups answered (Cadre_Fait, -1 or 0 per group), as little-endian 16-bit integers; then, only
// when numbers were answered, the numeric answers (knowledge/numeric_answers.h); then, only for
// an identification within a group of species, the group (knowledge/species_group.h). Its
// meaning depends on the knowledge base it was made with.
struct Identification {
    std::vector<std::int16_t> Etat_Choisi;
    std::vector<std::int16_t> Cadre_Fait;
    std::vector<Reponse_Num> Reponses_Num{};
    std::optional<Groupe_Especes> Groupe{};
};

enum class LectureIdentification {
    Ok,
    Inaccessible, // the file cannot be opened
    TropCourt,    // shorter than the knowledge base's states and groups: another key's file
    Invalide,     // a value other than 0/1 for a state or 0/-1 for a group
};

// Reads the file for a knowledge base of `nbEtats` states and `nbCadres` groups. Bytes past the
// two arrays are ignored unless they are numeric answers or a group of species. Nothing is
// returned unless the whole file is sound.
LectureIdentification Lit_Identification(const std::string &path, std::size_t nbEtats, std::size_t nbCadres,
                                         Identification &out);

// The file's bytes for the two arrays, and the numeric answers and the group after them if there
// are any.
std::vector<unsigned char> Octets_Identification(const std::vector<std::int16_t> &Etat_Choisi,
                                                 const std::vector<std::int16_t> &Cadre_Fait,
                                                 const std::vector<Reponse_Num> &Reponses_Num = {},
                                                 const std::optional<Groupe_Especes> &Groupe = std::nullopt);

// The system calls a safe write goes through. Tests put failing ones in their place to play a
// full disk or a failing device; the program uses the system's own.
struct AppelsFichier {
    int (*open)(const char *path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void *data, std::size_t size);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char *from, const char *to);
};
const AppelsFichier &appelsSysteme();

// Writes `bytes` safely: into a new temporary file of the same folder, flushed to the disk, then
// renamed over the target, so that a failure at any step leaves any previous file as it was and
// no temporary file behind. A symbolic link is followed: its target is replaced and keeps its
// rights, the link stays. False with the reason in `erreur`.
bool Ecrit_Fichier_Sur(const std::string &path, const std::vector<unsigned char> &bytes, std::string &erreur,
                       const AppelsFichier &appels = appelsSysteme());

// Writes the identification file safely (Ecrit_Fichier_Sur).
bool Ecrit_Identification(const std::string &path, const std::vector<std::int16_t> &Etat_Choisi,
                          const std::vector<std::int16_t> &Cadre_Fait, std::string &erreur,
                          const AppelsFichier &appels = appelsSysteme());
bool Ecrit_Identification(const std::string &path, const std::vector<std::int16_t> &Etat_Choisi,
                          const std::vector<std::int16_t> &Cadre_Fait, const std::vector<Reponse_Num> &Reponses_Num,
                          std::string &erreur, const AppelsFichier &appels = appelsSysteme());
bool Ecrit_Identification(const std::string &path, const Identification &identification, std::string &erreur,
                          const AppelsFichier &appels = appelsSysteme());

} // namespace tarvenko
