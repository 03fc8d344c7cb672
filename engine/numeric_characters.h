#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "knowledge/key_model.h"
#include "knowledge/numeric_answers.h"

namespace tarvenko {

// Characters answered with a number, and what the window needs to ask them. An answer is
// matched by every species whose range, widened on both sides by Tolerance_Num percent of the
// answer's absolute value, contains it, and by every species without data for the character:
// unknown never counts against a species.

// Position of the numeric character `objet` (any case) in Caracteres_Num; -1 when there is none.
int Caractere_Num_De(const KeyModel &m, std::string_view objet);

// Records `valeur` as the answer of numeric character `c`. False, and nothing changes, when `c`
// is no numeric character or the value is not a finite number.
bool Repond_Num(KeyModel &m, int c, double valeur);
// Withdraws the answer of numeric character `c`.
void Retire_Num(KeyModel &m, int c);
// Has any numeric character been answered.
bool Nombres_Donnes(const KeyModel &m);

// Does species `s` match `valeur` for character `c` (no data matches).
bool Accepte_Num(const KeyModel &m, const Caractere_Num &c, std::size_t s, double valeur);

// Adds to Score_Esp the weight of every answered numeric character for every species it matches.
void Ajoute_Scores_Num(KeyModel &m);
// The weight of the answered numeric characters, part of the total a percentage is taken of.
std::int64_t Poids_Num_Choisi(const KeyModel &m);

// The numeric characters whose answer species `espece` does not match, in the order of
// Caracteres_Num: what the Errors command can list beside the contradicted states.
std::vector<int> Contradictions_Num(const KeyModel &m, int espece);

// The range of the usual values among the species in the lead (the Nb_Esp_Max first of the
// ranking; all species when none is listed), over those that have data.
struct Etendue_Num {
    double minimum = 0.0;
    double maximum = 0.0;
    int especes = 0; // leading species with data
};
std::optional<Etendue_Num> Etendue_Chez_Leaders(const KeyModel &m, int c);

// Everything a numeric question shows: its name in the interface language (English, else the
// key, where the key has none), the unit, the range among the leading species, the answer given.
struct Question_Num {
    std::string objet;
    std::string nom;
    std::string unite;
    std::int16_t cadre = -1;
    std::optional<Etendue_Num> etendue;
    std::optional<double> valeur;
};
Question_Num Decrit_Question_Num(const KeyModel &m, int c);

// The answers given, in the order of Caracteres_Num; and the reverse, for an opened file. Answers
// whose key is no numeric character of this key are left out and returned.
std::vector<Reponse_Num> Reponses_Num(const KeyModel &m);
std::vector<std::string> Applique_Reponses_Num(KeyModel &m, const std::vector<Reponse_Num> &reponses);

// How well numeric character `c` splits the leading species: the bounds of their ranges cut the
// values into intervals, each holding a set of species; every distinct set is one outcome, and
// the outcomes are measured as the states of a character are (Mesure_Discriminante). A leading
// species without data is in every set. 0 when fewer than two sets are left.
double Mesure_Num(const KeyModel &m, int c, const std::vector<std::int64_t> &leaders);

// The name of character group `g` in the interface language (English where that language has
// none); empty when the key does not name it.
std::string Nom_Cadre(const KeyModel &m, int g);

// The picture file of state `etat` (relative to the question pictures' folder), for a question
// whose grid the program draws itself; empty when the key gives none.
std::string Image_Etat(const KeyModel &m, int etat);

} // namespace tarvenko
