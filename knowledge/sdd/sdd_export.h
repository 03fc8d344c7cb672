#pragma once

#include <string>

#include "knowledge/key_model.h"

namespace tarvenko::sdd {

struct BilanExport {
    int especes = 0, caracteres = 0, quantitatifs = 0, etats = 0, codages = 0, images = 0, descendances = 0;
    int lignesOmises = 0; // rows of Objets_Fic whose states an earlier row already gave
};

// Writes the loaded key `m` as an SDD 1.1 file `chemin` (through a temporary file renamed at the
// end): species with their families, questions and states with their names and identifiers
// (`Objet` and `ID_CARAC` as the SDD ids), the matrix, numeric characters and ranges,
// dependencies, groups, the states' pictures as addresses relative to the file. The weights, the
// rows of a question with a constraint and the taxa that have none of a question's states, for
// which SDD has no element, are kept in processing instructions (sdd_document.h) that the
// importer reads back and other programs ignore. False with `erreur` when it cannot be written.
// `titre` names the dataset (the key folder's name when empty).
bool Ecrit_Sdd(const KeyModel &m, const std::string &chemin, BilanExport &bilan, std::string &erreur,
               const std::string &titre = {});

} // namespace tarvenko::sdd
