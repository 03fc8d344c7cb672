#include "tools/key/key_session.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>

#include "engine/answering.h"
#include "engine/contradictions.h"
#include "engine/discriminant.h"
#include "engine/numeric_characters.h"
#include "engine/refresh.h"
#include "knowledge/key_texts.h"
#include "engine/species_groups.h"
#include "knowledge/data_files.h"
#include "knowledge/jet/jet_cache.h"
#include "knowledge/loader.h"
#include "knowledge/text.h"
#include "knowledge/file_lookup.h"
#include "tools/key/key_output.h"

namespace tarvenko::key {

namespace {

void charge(KeyModel &m, const Demande &d, std::vector<std::string> &avertissements)
{
    m.Chemin_Data = d.dossier;
    if (!m.Chemin_Data.empty() && m.Chemin_Data.back() != '/' && m.Chemin_Data.back() != '\\')
        m.Chemin_Data += '/';
    m.Chemin_Base = m.Chemin_Data + d.base;
    m.Seuil_Affichage = d.seuil;
    m.Num_Langue = d.langue;
    const ResultatChargement r = Charge_Connaissances(m, {}, jet::preparateur(d.dossierCache));
    using Etat = ResultatChargement::Etat;
    switch (r.etat) {
    case Etat::Ok:
        if (r.valeursIgnorees > 0)
            avertissements.push_back(std::to_string(r.valeursIgnorees) +
                                     " values of the numeric characters were skipped (Caracteres_Num, Plages_Num)");
        return;
    case Etat::BaseInaccessible:
        throw Erreur("cannot open the knowledge base " + r.chemin + ": " + r.erreur.message);
    case Etat::PoidsInaccessible:
    case Etat::MatriceInaccessible: throw Erreur("cannot open " + r.chemin);
    case Etat::PoidsIllisible:
    case Etat::MatriceIllisible: throw Erreur(r.chemin + " is shorter than the knowledge base requires");
    }
}

// The identification file: Etat_Choisi then Cadre_Fait, 16-bit little-endian, no header; then
// the numeric answers, if any.
void ouvre(KeyModel &m, const std::string &chemin, std::vector<std::string> &avertissements)
{
    const std::size_t etats = m.Etat_Choisi.size();
    std::vector<std::int16_t> valeurs;
    switch (Lit_Entiers16(resoutChemin(chemin), etats + m.Cadre_Fait.size(), valeurs)) {
    case LectureDat::Ok: break;
    case LectureDat::OuvertureImpossible: throw Erreur("cannot open the identification file " + chemin);
    case LectureDat::LectureImpossible:
        throw Erreur(chemin + " is too short for an identification of this knowledge base");
    }
    std::copy(valeurs.begin(), valeurs.begin() + static_cast<std::ptrdiff_t>(etats), m.Etat_Choisi.begin());
    std::copy(valeurs.begin() + static_cast<std::ptrdiff_t>(etats), valeurs.end(), m.Cadre_Fait.begin());

    std::ifstream in(resoutChemin(chemin), std::ios::binary);
    in.seekg(static_cast<std::streamoff>(2 * valeurs.size()));
    const std::vector<unsigned char> reste{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<Reponse_Num> reponses;
    std::size_t lus = 0;
    if (Lit_Reponses_Num(reste.data(), reste.size(), reponses, &lus) != LectureReponsesNum::Ok)
        throw Erreur(chemin + " has damaged numeric answers");
    for (const std::string &objet : Applique_Reponses_Num(m, reponses))
        avertissements.push_back("the file's numeric answer to '" + objet + "' is for no numeric character of this key");
    std::optional<Groupe_Especes> groupe;
    if (Lit_Groupe(reste.data() + lus, reste.size() - lus, groupe) != LectureGroupe::Ok)
        throw Erreur(chemin + " has a damaged group of species");
    if (groupe && !Identifie_Dans_Groupe(m, groupe))
        avertissements.push_back("the file's group '" + groupe->nom + "' has no species in this key");
}

void appliqueValeur(KeyModel &m, const Reponse_Num &r)
{
    const int c = Caractere_Num_De(m, r.Objet);
    if (c < 0)
        throw Erreur("unknown numeric character '" + r.Objet + "'");
    if (!Repond_Num(m, c, r.Valeur))
        throw Erreur("the answer to '" + r.Objet + "' is not a number");
}

void repond(KeyModel &m, const std::string &idCarac, std::vector<std::string> &avertissements)
{
    const CaractereRow *car = m.Base_Donnees.caractereParId(idCarac);
    if (!car)
        throw Erreur("unknown state identifier '" + idCarac + "'");
    const ObjetRow *row = Objet_De_Etat(m, car->NUM);
    if (!row)
        throw Erreur("state '" + idCarac + "' belongs to no question of Objets_Fic");
    Ouvre_Descripteur(m, *row, row->Objet.value_or(""));
    m.Descripteur_Courant.Selection = static_cast<std::int16_t>(car->NUM - *row->Index_Car);
    for (const Incoherence &i : Valid_Descripteur(m))
        avertissements.push_back(Texte_Incoherence(i));
}

std::string identifiant(const KeyModel &m, int etat)
{
    const CaractereRow *car = m.Base_Donnees.caractere(etat);
    return car && car->ID_CARAC ? *car->ID_CARAC : std::to_string(etat);
}

int especeNommee(const KeyModel &m, const std::string &nom)
{
    for (std::size_t s = 0; s < m.Nom_Esp.size(); ++s) {
        if (clesEgales(m.Nom_Esp[s], nom))
            return static_cast<int>(s);
    }
    throw Erreur("unknown species '" + nom + "'");
}

} // namespace

Rapport Execute(const Demande &demande)
{
    KeyModel m;
    Rapport rapport;
    charge(m, demande, rapport.avertissements);
    Nettoye(m);
    if (!demande.differences.empty()) {
        std::vector<int> especes;
        for (const std::string &nom : demande.differences)
            especes.push_back(especeNommee(m, nom));
        rapport.comparaison = Compare_Especes(m, especes);
        rapport.texteComparaison = Texte_Comparaison(m, *rapport.comparaison);
        rapport.pageComparaison = Html_Comparaison(m, *rapport.comparaison);
        return rapport;
    }
    m.Ecarts_Toleres = demande.tolerance;
    rapport.tolerance = demande.tolerance;
    if (demande.fichier)
        ouvre(m, *demande.fichier, rapport.avertissements);
    for (const std::string &reponse : demande.reponses)
        repond(m, reponse, rapport.avertissements);
    for (const Reponse_Num &valeur : demande.valeurs)
        appliqueValeur(m, valeur);
    for (const Reponse_Num &r : Reponses_Num(m))
        rapport.valeurs.push_back({r.Objet, r.Valeur, m.Caracteres_Num[static_cast<std::size_t>(Caractere_Num_De(m, r.Objet))].Unite});
    const int espece = demande.espece ? especeNommee(m, *demande.espece) : -1;
    if (demande.groupe && !Identifie_Dans_Groupe(m, demande.groupe))
        throw Erreur("no species in the " + std::string(demande.groupe->rang == Groupe_Especes::Rang::Famille ? "family" : "genus") +
                     " '" + demande.groupe->nom + "'");

    // No window to paint: every layer gets the same empty picture, so only its choice is made.
    const auto image = std::make_shared<const Picture>();
    const Rafraichissement r = Actualise_Identification(m, [&](const std::string &) { return image; });
    for (const std::string &message : r.calques.messages)
        rapport.avertissements.push_back(message);
    rapport.lignes = r.liste.lignes.textes(m);
    rapport.legende = r.liste.legende;
    rapport.nbEspMax = m.Nb_Esp_Max;
    rapport.ecarts = Ecarts_Lignes(m);
    rapport.toleranceVide = r.liste.toleranceVide;

    const ResultatRecherche recherche = Cherche_Discriminant(m);
    if (recherche.issue == ResultatRecherche::Issue::Question && recherche.numerique >= 0) {
        const Question_Num n = Decrit_Question_Num(m, recherche.numerique);
        Question q{n.objet, recherche.mesure, {}, true, n.unite, std::nullopt, n.nom, {}};
        if (n.etendue)
            q.etendue = std::pair(n.etendue->minimum, n.etendue->maximum);
        rapport.question = std::move(q);
    } else if (recherche.issue == ResultatRecherche::Issue::Question) {
        Question q{recherche.ligne->Objet.value_or(""), recherche.mesure, {}, false, {}, std::nullopt, {}, {}};
        q.texte = Texte_Question(m.Base_Donnees, *recherche.ligne, m.Num_Langue).value_or(q.objet);
        const int first = recherche.ligne->Index_Car.value_or(0);
        for (int k = first; k < first + recherche.ligne->Nb_Car.value_or(0); ++k) {
            q.etats.push_back(identifiant(m, k));
            q.nomsEtats.push_back(Nom_Etat_Langue(m.Base_Donnees, k, m.Num_Langue));
        }
        rapport.question = std::move(q);
    }
    if (espece >= 0) {
        rapport.contradictions.emplace();
        for (const tarvenko::Contradiction &c : Cherche_Contradictions(m, espece))
            rapport.contradictions->push_back({c.objet, c.idCarac.empty() ? std::to_string(c.etat) : c.idCarac});
        // A number the species' range does not hold: the answer stands for the state.
        for (const int c : Contradictions_Num(m, espece))
            rapport.contradictions->push_back({m.Caracteres_Num[static_cast<std::size_t>(c)].Objet,
                                               Sortie_Nombre(*m.Valeur_Num[static_cast<std::size_t>(c)])});
    }
    return rapport;
}

} // namespace tarvenko::key
