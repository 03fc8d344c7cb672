#pragma once

#include <string>
#include <utility>
#include <vector>

#include "knowledge/sdd/sdd_document.h"

namespace tarvenko::sdd {

// What a conversion made of an SDD file, for the summary the command prints.
struct Bilan {
    std::string fichier, langue, titre;
    int taxons = 0, categoriels = 0, quantitatifs = 0, textes = 0, etats = 0, codages = 0;
    int images = 0, liens = 0, descendances = 0, groupes = 0, plages = 0;
    std::vector<std::string> renommages; // one line per identifier given a "~n" suffix
    std::vector<Ignore> ignores;
};

std::string texteBilan(const Bilan &b);

// Does `chemin` look like an SDD file rather than a database: a file whose name ends in ".xml"
// or whose first characters open an XML document.
bool estSdd(const std::string &chemin);

// Writes the key folder for `d` into `dossier` (created; data/, descripteurs/, documents/).
// Throws std::runtime_error when a file cannot be written.
void Ecrit_Cle(const Document &d, const std::string &dossier, Bilan &bilan);

// Reads `source` and writes its key folder as `dossier`, through a temporary folder beside it
// renamed at the end, so that nothing half-written is ever left. An existing `dossier` is
// replaced only with `remplace`. False with `erreur` naming the file and the first problem.
bool convertitVers(const std::string &source, const std::string &dossier, Bilan &bilan, std::string &erreur,
                   bool remplace = false);

// The identifiers the key uses for the file's characters and states, in document order: the SDD
// id, or the id with "~2", "~3"... where it differs only in letter case from an earlier one of
// its kind (the knowledge base's keys ignore case). `renommages` gets one line per rename.
struct Identifiants {
    std::vector<std::string> caracteres, etats;
};
Identifiants identifiants(const Document &d, std::vector<std::string> *renommages = nullptr);

} // namespace tarvenko::sdd
