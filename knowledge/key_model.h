#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "knowledge/picture.h"
#include "knowledge/species_group.h"
#include "knowledge/species_tree.h"
#include "knowledge/tableau16.h"
#include "knowledge/tables.h"

namespace tarvenko {

// What the discriminant search derives from the matrix and the numeric ranges (engine/search_index.h).
struct Index_Recherche;

// One layer of the schematic drawing, or a contradiction overlay above them.
struct Robot {
    std::shared_ptr<const Picture> Image; // empty: nothing to paint
    std::string Fichier;                  // upper-cased path the picture was loaded from
    // The file read, on the disk: a drawing layer's in the interface language where the key has
    // one beside Fichier; and the Num_Langue it was chosen in (-1 before any).
    std::string Chemin;
    int Langue = -1;
};

// A palette colour split into bytes.
struct Couleur_Octet {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
};

// The character being asked: a copy of its Objets_Fic row and the state picked in its grid.
struct Descripteur {
    std::string Objet;
    std::int16_t Lignes = 0;
    std::int16_t Colonnes = 0;
    std::int16_t Index_Car = 0;
    std::int16_t Nb_Car = 0;
    std::int16_t Cadre = -1;
    std::int16_t Desc_Num = 0;
    std::string TipText;
    std::string Popup;
    std::int16_t Selection = -1; // offset from Index_Car, -1 for none
};

// A character answered with a number, and the range of every species for it. The species arrays
// are indexed like Nom_Esp; `bas`/`haut` are the bounds an answer is compared with (the extreme
// values where the key gives them, else the usual minimum and maximum).
struct Caractere_Num {
    std::string Objet;
    std::array<std::string, 3> Nom; // English, Spanish, French; empty where the key has none
    std::string Unite;
    std::int16_t Poids = 0;
    std::int16_t Cadre = -1; // group, -1 for none: only for listing the questions
    bool Joker = true;       // may the search propose it (as read from the key)
    std::vector<std::uint8_t> connue; // 1 where the species has a range
    std::vector<double> minimum, maximum; // the usual range
    std::vector<double> bas, haut;        // the range answers are compared with
};

// The in-memory model of the identification key. The application owns one and passes it by
// reference to whatever reads or changes it; the names are those of the knowledge base.
struct KeyModel {
    // Counts, read from table Parametres (0 until read).
    std::int16_t Nb_Couleurs = 0;
    std::int16_t Version_Database = 0;
    std::int16_t Nb_Esp = 0;
    std::int16_t Nb_Etats_Desc = 0;
    std::int16_t Nb_Cadre = 0;
    std::int16_t Nb_Robot = 0;
    std::int16_t Nb_But_Car = 0;
    std::int16_t Nb_But_Deter = 0;
    std::int16_t Nb_But_Quest = 0;
    std::int16_t Nb_Contraintes = 0;

    // Species-indexed. Scores and percentages are 64-bit: a sum of 16-bit weights times 100 soon
    // leaves 16 bits, and a ranking that stops there stops the identification.
    std::vector<std::string> Nom_Esp;
    std::vector<std::int64_t> Score_Esp;
    // Species-by-state values, state by state: element (s, e) at s + e * Nb_Esp, the order of
    // MATRICE.DAT, which is mapped rather than read (knowledge/tableau16.h).
    Tableau16 Matrice;
    std::int16_t matrice(int s, int e) const { return Matrice[static_cast<std::size_t>(s + e * Nb_Esp)]; }

    // State-indexed.
    std::vector<std::int16_t> Poids;
    std::vector<std::int16_t> Etat_Choisi; // 1 where the user chose the state, else 0
    // Group-indexed: -1 where a character of the group has been answered, else 0.
    std::vector<std::int16_t> Cadre_Fait;

    // Ranking, by rank (0 = best): row 0 raw score, row 1 species number.
    std::array<std::vector<std::int64_t>, 2> Classement;
    std::vector<std::int64_t> Pourcent_Esp;
    std::int16_t Nb_Esp_Max = 0;

    // Mismatches of every species with the answers (chosen states it lacks, numbers outside its
    // widened range), species-indexed, from the last scoring.
    std::vector<std::int32_t> Ecarts_Esp;
    // Species with more mismatches than this are left out of the ranking; -1: none is.
    std::int16_t Ecarts_Toleres = -1;
    // An identification within a group: the group, and per species 1 when it is in play (empty
    // for every species). Species out of play are left out of the ranking and the search.
    std::optional<Groupe_Especes> Groupe;
    std::vector<std::uint8_t> Especes_En_Jeu;

    // One flag per character number Desc_Num: may the search propose it.
    std::vector<bool> Joker;

    // Numeric characters (empty when the key has none), in the order of their key Objet, and
    // the answers given to them: nothing where not answered.
    std::vector<Caractere_Num> Caracteres_Num;
    std::vector<std::optional<double>> Valeur_Num;
    std::vector<bool> Joker_Num; // as Joker, per numeric character
    // An answer matches a range widened on both sides by this percentage of its absolute value.
    double Tolerance_Num = 10.0;

    // Drawing layers (Nb_Robot of them), then Nb_Contradictions overlays.
    std::vector<Robot> Robots;

    // Palette of the colour chart.
    std::vector<std::int32_t> Couleur_Valeur; // red in the low byte, then green, then blue
    std::vector<Couleur_Octet> Couleur_Octets;
    std::vector<double> Couleur_Distance;
    std::vector<std::string> Code_Couleur;

    Descripteur Descripteur_Courant;

    // Moves on whenever Matrice, the state count or the numeric characters' ranges are read again
    // or changed, so that what was derived from them is made again (whoever changes them in place
    // moves it on too).
    std::uint64_t Generation_Donnees = 0;
    // The search's index of the matrix, made at the first search after the data changed.
    std::shared_ptr<const Index_Recherche> Index;

    // The knowledge base, read into memory once.
    Tables Base_Donnees;
    // The species tree. Loading only empties it; Arbre_Des_Especes (knowledge/loader.h) builds it
    // when first needed, which is when the species view is first shown.
    Arbre_Especes Arbre;
    bool Arbre_A_Construire = false;

    // Paths and options (settings).
    std::string Chemin_Data;
    std::string Chemin_Base;
    std::string Chemin_Executables;
    std::string Chemin_Descripteurs;
    std::string Chemin_Robot;
    std::string Adresse_Documents;
    std::string Distribution; // "hd" or "http"
    bool Curseur_Dynamique = false;
    std::int16_t Seuil_Affichage = 0;

    // Run state.
    std::int16_t Num_Langue = 0;
    std::string Suffixe_Langue;
    std::int16_t Vue_Courante = 0;
    std::string Titre_Fenetre;
    std::string Fichier_Courant;
    bool Question_Passee = false;
    std::int16_t Nb_Contradictions = 0;
    std::int16_t Index_Document = 0;
    bool Modifie = false;

    // The current species.
    std::string Code_Page;
    std::string Famille_Courante;
    std::string Espece_Courante;
};

} // namespace tarvenko
