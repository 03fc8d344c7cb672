#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "knowledge/key_model.h"

namespace tarvenko {

// Ranking of the species against the chosen states. Sums, scores and percentages are 64-bit, so
// every identification ranks whatever its weights; where 16 bits sufficed the results are the
// same.

// Score_Esp(s): the sum over the chosen states e of Poids(e) x Matrice(s, e) x Etat_Choisi(e).
// Only the chosen states' matrix columns are read. Then each answered numeric character adds its
// weight to the species it matches (Ajoute_Scores_Num).
void Calcule_Scores(KeyModel &m);

// Classement: descending score, equal scores by ascending species number (the order an
// adjacent-swap sort that swaps only on a strictly lower score leaves). When the chosen states
// weigh less than nothing in all, ascending score instead: the ranks then still go by falling
// percentage, so the lines of Liste_Esp are ranks 0 ... n - 1 whatever the weights.
// Only the species in play are ranked (Espece_En_Jeu: the group, the tolerance of mismatches);
// with neither set, that is every species.
void Trie_Scores(KeyModel &m);

// Pourcent_Esp(r) = Classement(0, r) x 100 / total chosen weight (states and answered numeric
// characters), rounded half to even; all 0 when nothing is chosen.
void Calcule_Pourcentages(KeyModel &m);

// What Liste_Esp and Legende show after a scoring.
struct ListeEspeces {
    std::vector<std::string> lignes; // one per listed rank, in rank order
    std::string legende;             // caption and tooltip of Legende
    std::vector<std::int32_t> ecarts; // the mismatches of each line's species, in line order
    // The tolerance of mismatches left none of the species in play: the window offers to raise
    // it by one (Message_Tolerance).
    bool toleranceVide = false;
};

// Scores, counts the mismatches, ranks the species in play, computes the percentages, counts
// Nb_Esp_Max and returns the lines and the Legende text (string 1500 in the current language,
// English where it has none).
ListeEspeces Affiche_Especes(KeyModel &m);

// The lines of the ranks whose percentage reaches Seuil_Affichage, from the current ranking:
// what the list shows again when only the threshold changed (Nb_Esp_Max and Legende untouched).
std::vector<std::string> Lignes_Especes(const KeyModel &m);
// The mismatches of the species of those lines, in the same order.
std::vector<std::int32_t> Ecarts_Lignes(const KeyModel &m);

// The Legende text for the current ranking and threshold: the number of listed species sharing
// the top percentage, string 1500 and that percentage; string 1501 (the threshold in place of
// "%1") when no species reaches a threshold above 0. When species are left out of the ranking,
// it adds in brackets the group (string 1181) and how many are kept (string 1180).
std::string Legende_Especes(const KeyModel &m);

// A number as Basic's Str writes it: a blank before a non-negative number, the sign otherwise.
std::string Texte_Nombre(std::int64_t n);

} // namespace tarvenko
