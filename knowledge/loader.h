#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "knowledge/key_model.h"

namespace tarvenko {

// The loading stages that fill the key model from the tables in memory, in the order start-up
// runs them. Each stage only reads what the earlier ones filled; a missing table, field or row
// leaves the values concerned at zero or empty, as the start-up rules say.

// Value of a parameter of table Parametres: the number at the start of its Etat, rounded to a
// 16-bit integer (halves to even). Nothing when the row is missing or the number is out of range.
std::optional<std::int16_t> Lit_Parametre(const Tables &tables, std::string_view name);

// Nb_Couleurs and Version_Database (300 when missing).
void Lit_Parametres_Palette(KeyModel &m);
// Sizes the palette arrays to Nb_Couleurs and copies Code_Couleur from table Couleurs (rows
// 1 ... Nb_Couleurs). The colours themselves are sampled from the colour chart by the window.
void Lit_Codes_Couleur(KeyModel &m);
// The other eight parameters.
void Lit_Parametres(KeyModel &m);
// Sizes the species-, state- and group-indexed arrays; ranking in species order; groups cleared.
// Matrice stays empty until MATRICE.DAT is read.
void Dimensionne_Modele(KeyModel &m);
// Joker(Desc_Num) = field Joker for every row of Objets_Fic; the array has one flag per row.
void Lit_Jokers(KeyModel &m);
// Nom_Esp from table Flore in key order; returns the initial lines of the species list.
std::vector<std::string> Lit_Noms_Especes(KeyModel &m);
// The numeric characters of the optional tables Caracteres_Num and Plages_Num, with no answer
// given. A value that cannot be used (no unit, no weight, a minimum above its maximum, a range for
// an unknown species or character, text where a number belongs, an extreme inside the usual range)
// is skipped; returns how many were, so that the window can say it once.
int Lit_Caracteres_Num(KeyModel &m);
// The species tree: families, the alphabetical list and the common names of every language.
// Root texts are in the language Num_Langue (English where that language has none).
void Construit_Arbre(KeyModel &m);
// The tree's three roots: their keys and the strings that name them.
struct Racine_Arbre {
    const char *cle;
    int texte;
};
inline constexpr Racine_Arbre Racines_Arbre[] = {{"Familles", 1301}, {"Espèces", 1300}, {"Communs", 1302}};
// Names the roots again in the language Num_Langue, once the user has chosen another.
void Nomme_Racines_Arbre(KeyModel &m);
// The species tree of the key loaded last, built by Construit_Arbre the first time it is asked
// for: the first view never shows it, and at 10,000 species it is 60,000 nodes.
Arbre_Especes &Arbre_Des_Especes(KeyModel &m);

} // namespace tarvenko

namespace tarvenko {

// Outcome of loading a whole knowledge base.
struct ResultatChargement {
    enum class Etat {
        Ok,
        BaseInaccessible,        // the database cannot be opened (erreur holds the engine's error)
        PoidsInaccessible,       // POIDS.DAT cannot be opened
        PoidsIllisible,          // POIDS.DAT is shorter than the counts require
        MatriceInaccessible,     // MATRICE.DAT cannot be opened
        MatriceIllisible,        // MATRICE.DAT is shorter than the counts require
    };
    Etat etat = Etat::Ok;
    ErreurBase erreur;
    std::string chemin;                  // the file concerned
    std::vector<std::string> lignesListe; // initial lines of the species list
    int valeursIgnorees = 0;             // values of the numeric tables skipped (Lit_Caracteres_Num)
};

// Turns the configured database file into the SQLite file to read (an Access file is converted
// into a cache, see knowledge/jet/jet_cache.h). False with `erreur` when that cannot be done.
using PrepareBase = std::function<bool(const std::string &chemin, std::string &aOuvrir, ErreurBase &erreur)>;

// Loads the knowledge base named by m.Chemin_Base and m.Chemin_Data into the model, stage by
// stage in the start-up order: tables, palette parameters and codes, `echantillonnePalette`
// (which samples the colour chart; may be empty), the other parameters and the arrays, joker
// flags, POIDS.DAT, species names and list, numeric characters, MATRICE.DAT; the species tree is
// only emptied (see Arbre_Des_Especes). Stops at the first failure that makes the key unusable.
// `prepare`, when given, chooses the file the tables are read from.
ResultatChargement Charge_Connaissances(KeyModel &m, const std::function<void(KeyModel &)> &echantillonnePalette = {},
                                        const PrepareBase &prepare = {});

// The text of the fatal message when the database cannot be opened: the path, ", Erreur N°" and
// the error number with a leading blank when positive.
std::string Message_Base_Inaccessible(const std::string &path, int numero);

} // namespace tarvenko
