#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/answering.h"
#include "engine/question_bar.h"
#include "knowledge/key_model.h"

namespace tarvenko {

// The questions of the key by group, for a list the user picks any question from.
struct EntreeQuestion {
    std::string objet;     // Objets_Fic or Caracteres_Num key
    std::string nom;       // TipText of the object's first row; the numeric character's name
    bool numerique = false;
    bool repondue = false; // a state of the object is chosen, or the number is given
    // The names of the chosen states (Caracteres.TipText, else ID_CARAC), joined by ", ";
    // empty for a number, which the window writes in its own way from `valeur` and `unite`.
    std::string reponse;
    std::optional<double> valeur; // the number given
    std::string unite;
    int caractere = -1;           // numeric: the position in Caracteres_Num
    std::vector<PlageEtats> etats; // the states of every row of the object (its variants)
    std::size_t rang = 0;          // position in key order, which the answered-first order keeps
    // The name and the states' names folded for the search box (Texte_Recherche).
    std::string recherche;
};

struct GroupeQuestions {
    int cadre = -1;  // -1: the questions of no group
    std::string nom; // Nom_Cadre; empty where the key does not name the group
    std::vector<EntreeQuestion> questions;
    std::string recherche; // the name folded
};

// Groups in ascending number, the questions of no group last; within a group the answered
// questions first, each part in key order: the objects (each key once, its variants being one
// question), then the numeric characters. Names in the interface language Num_Langue where the
// key has several.
std::vector<GroupeQuestions> Liste_Questions(const KeyModel &m);

// Brings the answers of a list made by Liste_Questions up to date with the model, and the
// answered-first order with them; the names are kept (a new language needs a new list).
void Actualise_Reponses(std::vector<GroupeQuestions> &liste, const KeyModel &m);

// A text as the search box compares it: letters folded to small letters without their accents
// ("Écorce" gives "ecorce"), other characters kept.
std::string Texte_Recherche(std::string_view texte);

// What the search text `filtre` finds: per group that keeps any, its position in `liste` and the
// positions of its questions, in order. Each word of the filter must appear, folded, in the
// question's name, in one of its states' names or in its group's name; an empty filter finds all.
struct GroupeTrouve {
    std::size_t groupe = 0;
    std::vector<std::size_t> questions;
    bool operator==(const GroupeTrouve &) const = default;
};
std::vector<GroupeTrouve> Filtre_Questions(const std::vector<GroupeQuestions> &liste, std::string_view filtre);

// The positions of the names (each folded by Texte_Recherche) that hold every word of `filtre`,
// folded, in order: the states of a question too long for its grid, filtered as they are typed.
std::vector<std::size_t> Filtre_Noms(const std::vector<std::string> &plies, std::string_view filtre);

// Withdraws the answer of question `objet` (a numeric character when `numerique`) as validating
// it with nothing picked does: dependants cleared, the identification refreshed, contradiction
// flags dropped. Action Sortie, and nothing changes, when the question has no answer.
ClicBarreQuestion Retire_Reponse(KeyModel &m, const std::string &objet, bool numerique, const Charge_Image &charge);

} // namespace tarvenko
