#pragma once

#include <string>

#include "knowledge/key_model.h"

namespace tarvenko {

// The verdict on the constraint columns C_0, C_1 ... of a Hierarchie or Clic_Zone row.
struct VerdictConditions {
    enum class Etat {
        Remplies,    // "Fin" reached with every listed state chosen
        Rejetees,    // a listed state is not chosen, a column is empty, or no "Fin" within Nb_Contraintes
        EtatInconnu, // a listed identifier is not in Caracteres (`code` holds it)
    };
    Etat etat = Etat::Rejetees;
    std::string code;
};

// Reads the columns in order, at most Nb_Contraintes of them, and stops at the first that
// decides.
VerdictConditions Verifie_Conditions(const KeyModel &m, const Contraintes &colonnes);

// The message for a constraint naming a state that Caracteres does not have.
std::string Message_Etat_Inconnu(const std::string &code);

} // namespace tarvenko
