#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "knowledge/key_model.h"

namespace tarvenko {

// Outcome of a search for the next question. The user interface shows the question or the
// message and drives the Yes/No dialog.
struct ResultatRecherche {
    enum class Issue {
        Question,       // `ligne` is to be asked: Descripteur_Courant describes it (Montre_Question)
        AucuneQuestion, // string 1075, OK
        ProposeReprise, // strings 1075 and 1076, Yes/No: Yes calls Reprend_Discriminant, No returns
                        // to the identification view
        UneSeuleEspece, // string 1078, OK
    };
    Issue issue = Issue::AucuneQuestion;
    const ObjetRow *ligne = nullptr; // the row asked
    std::size_t rang = 0;            // its position in Objets_Fic, in index order
    // A Question may be a numeric character instead: its position in Caracteres_Num, `ligne`
    // then null and Descripteur_Courant naming it with no states (Decrit_Question_Num tells
    // what to show). -1 for a question of states.
    int numerique = -1;
    double mesure = 0.0; // its normalised entropy among the leading species
};

// The normalised entropy, in base K = parEtat.size(), of how N leading species spread over the
// states: 0 when they share one state, 1 when they spread evenly. Evaluated term by term as
// (n / N) x ln(N / n) / ln(K), subtracted from 0, then made absolute. A character with a single
// state measures 0.
double Mesure_Discriminante(const std::vector<std::int64_t> &parEtat, std::int64_t N);

// Measures every row of Objets_Fic (index order) whose joker flag is set and which is not
// answered, among the Nb_Esp_Max leading species (all Nb_Esp when none is listed: Nb_Esp_Max then
// keeps that value), then every numeric character in the same way (Mesure_Num) that may be
// proposed and is not answered, and opens the one with the strictly highest measure, the
// earliest on ties (rows before numeric characters).
// When no row measures above 0, nothing is open afterwards (validating records no state) and the
// retry is offered if a question was passed.
ResultatRecherche Cherche_Discriminant(KeyModel &m);

// The user accepted to try the passed questions again: clears Question_Passee, reloads the joker
// flags from Objets_Fic and searches once more.
ResultatRecherche Reprend_Discriminant(KeyModel &m);

// The search button: only one leading species gives string 1078, otherwise the search.
ResultatRecherche Maitre_Discriminant(KeyModel &m);

// The text of the message box for an issue other than Question (line feed before 1076).
std::string Message_Recherche(const KeyModel &m, ResultatRecherche::Issue issue);

} // namespace tarvenko
