#pragma once

#include <string>
#include <string_view>

#include "knowledge/tables.h"

namespace tarvenko {

// The key's texts in the interface language. A key may give, in its optional table
// Textes_Langues, the texts the window shows in English, Spanish and French; where it gives none
// for the interface language, the key's own text is shown, so a key without the table reads
// exactly as before. `Num_Langue` is the interface language: 0 English, 1 Spanish, 2 French.

// The language's code in Textes_Langues: "en", "es", "fr"; empty for any other value.
std::string_view Code_Langue(int Num_Langue);

// The suffix of the species pages written in the interface language: "_en", "_es", "_fr";
// "_en" for any other value.
std::string Suffixe_Langue_Interface(int Num_Langue);

// The text of field `champ` of row `cle` (its primary key as text) of table `genre` in the
// interface language; nullptr when the key has none.
const std::string *Texte_Langue(const Tables &t, int Num_Langue, std::string_view genre, std::string_view cle,
                                std::string_view champ);

// A question: its TipText in the interface language, else the row's own TipText (which may be
// missing, as in the row).
Champ<std::string> Texte_Question(const Tables &t, const ObjetRow &row, int Num_Langue);
// The same for the row of Objets_Fic numbered `numero`; empty when there is no such row.
Champ<std::string> Texte_Question(const Tables &t, std::int32_t numero, int Num_Langue);

// A state's name (Caracteres.TipText) in the interface language, else its own.
Champ<std::string> Nom_Etat_Langue(const Tables &t, const CaractereRow &row, int Num_Langue);
// The name of state number `etat`: in the interface language, else its TipText, else (for an
// empty or missing TipText) its ID_CARAC; empty for a state the key does not have.
std::string Nom_Etat_Langue(const Tables &t, int etat, int Num_Langue);

// A button of the determination bar or of the question bar: `champ` is "Caption" or "TipText".
Champ<std::string> Texte_Bouton_Deter(const Tables &t, const ButDeterRow &row, std::string_view champ, int Num_Langue);
Champ<std::string> Texte_Bouton_Quest(const Tables &t, const ButQuestRow &row, std::string_view champ, int Num_Langue);

// The legend of a species' drawing page (Flore.Legende) in the interface language, else its own.
Champ<std::string> Legende_Langue(const Tables &t, const FloreRow &row, int Num_Langue);

// The name of question group `cadre`: Textes_Langues (table Cadres, field Nom), else the name of
// the interface language in Cadres, else the English one there; empty when the key names none.
std::string Nom_Cadre_Langue(const Tables &t, int cadre, int Num_Langue);

} // namespace tarvenko
