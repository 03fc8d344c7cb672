#pragma once

#include <cstddef>
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
// adjacent-swap sort that swaps only on a strictly lower score leaves). A stable counting sort on
// the distance from the best score, or a radix sort where the scores spread too far for one. When the chosen states
// weigh less than nothing in all, ascending score instead: the ranks then still go by falling
// percentage, so the lines of Liste_Esp are ranks 0 ... n - 1 whatever the weights.
// Only the species in play are ranked (Espece_En_Jeu: the group, the tolerance of mismatches);
// with neither set, that is every species.
void Trie_Scores(KeyModel &m);

// Pourcent_Esp(r) = Classement(0, r) x 100 / total chosen weight (states and answered numeric
// characters), rounded half to even; all 0 when nothing is chosen.
void Calcule_Pourcentages(KeyModel &m);

// The lines of Liste_Esp after a scoring: line k is rank k, for the ranks whose percentage reaches
// Seuil_Affichage (percentages fall along the ranks, so those ranks come first). A line's text is
// made only when it is asked for (Ligne_Espece), from the ranking of the model it is asked of: a
// list of ten thousand species shows thirty of them.
class LignesEspeces {
public:
    LignesEspeces() = default;
    explicit LignesEspeces(std::size_t nombre) : m_nombre(nombre) {}
    std::size_t size() const { return m_nombre; }
    bool empty() const { return m_nombre == 0; }
    // Every line's text, in order (Lignes_Especes).
    std::vector<std::string> textes(const KeyModel &m) const;

private:
    std::size_t m_nombre = 0;
};

// The lines that the current ranking and threshold list.
LignesEspeces Lignes_Listees(const KeyModel &m);

// Line r of the list: the percentage of rank r as Basic's Str writes it, "% - ", and its species'
// name (" 87% - Quercus robur"); empty past the ranking.
std::string Ligne_Espece(const KeyModel &m, std::size_t r);
// The mismatches of rank r's species (0 past the ranking).
std::int32_t Ecart_Ligne(const KeyModel &m, std::size_t r);

// What Liste_Esp and Legende show after a scoring.
struct ListeEspeces {
    LignesEspeces lignes; // one per listed rank, in rank order
    std::string legende;  // caption and tooltip of Legende
    // The tolerance of mismatches left none of the species in play: the window offers to raise
    // it by one (Message_Tolerance).
    bool toleranceVide = false;
};

// Scores, counts the mismatches, ranks the species in play, computes the percentages, counts
// Nb_Esp_Max and returns the lines and the Legende text (string 1500 in the current language,
// English where it has none).
ListeEspeces Affiche_Especes(KeyModel &m);

// The text of every line Lignes_Listees gives, from the current ranking: what tools print.
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
