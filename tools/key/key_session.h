#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/differences.h"
#include "knowledge/numeric_answers.h"
#include "knowledge/species_group.h"

namespace tarvenko::key {

// A failure the command reports on standard error before ending with a non-zero status.
class Erreur : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One run of the command-line key, every default already settled.
struct Demande {
    std::string dossier;                   // the knowledge base's folder (Chemin_Data)
    std::string base;                      // the database file in it
    std::optional<std::string> fichier;    // an identification file (.ryk) opened first
    std::vector<std::string> reponses;     // state identifiers, validated in this order
    std::vector<Reponse_Num> valeurs;      // numeric answers, given after the states
    std::int16_t seuil = 0;                // Seuil_Affichage
    std::int16_t langue = 0;               // Num_Langue
    std::optional<std::string> espece;     // the species whose contradictions are listed
    std::string dossierCache;              // where an Access (Jet) database is converted
    std::int16_t tolerance = -1;           // Ecarts_Toleres: -1 hides no species
    std::optional<Groupe_Especes> groupe;  // identify within this group (after the file's)
    std::vector<std::string> differences;  // species to compare instead of identifying
};

struct Question {
    std::string objet;
    double mesure = 0.0;
    std::vector<std::string> etats; // state identifiers, in state order
    // A numeric character instead: its unit and the range among the leading species.
    bool numerique = false;
    std::string unite;
    std::optional<std::pair<double, double>> etendue;
    // The question and its states' names in the interface language (the key's own texts where
    // it has none in that language), the states in the order of `etats`.
    std::string texte;
    std::vector<std::string> nomsEtats;
};

struct ValeurAppliquee {
    std::string objet;
    double valeur = 0.0;
    std::string unite;
};

struct Contradiction {
    std::string objet;
    std::string etat;
};

struct Rapport {
    std::vector<std::string> lignes; // the species list as the window shows it
    int nbEspMax = 0;
    std::string legende;
    std::vector<ValeurAppliquee> valeurs; // the numeric answers in force, from the file and --value
    std::optional<Question> question;                         // none: nothing splits the leaders
    std::optional<std::vector<Contradiction>> contradictions; // only when a species was named
    std::vector<std::string> avertissements; // faults of the knowledge base met on the way
    std::vector<std::int32_t> ecarts;        // the mismatches of each line's species
    bool toleranceVide = false;              // the tolerance left no species
    std::int16_t tolerance = -1;
    // --differences: the comparison and its text in the interface language, nothing else.
    std::optional<Comparaison> comparaison;
    std::string texteComparaison;
    std::string pageComparaison; // the same as the window's HTML page
};

// Loads the knowledge base, opens the file, validates the answers, applies the numeric answers,
// keeps within the group, refreshes, and proposes the next question; or, with species to
// compare, only compares them. Throws Erreur for an unknown state, numeric character, species or
// group, an unreadable file or a knowledge base that cannot be loaded.
Rapport Execute(const Demande &demande);

} // namespace tarvenko::key
