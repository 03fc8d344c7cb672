#include "engine/discriminant.h"

#include <algorithm>
#include <cmath>

#include "engine/answering.h"
#include "engine/numeric_characters.h"
#include "engine/search_index.h"
#include "knowledge/loader.h"
#include "resources/string_table.h"

namespace tarvenko {

namespace {

bool candidat(const KeyModel &m, const ObjetRow &row)
{
    const int desc = row.Desc_Num.value_or(-1);
    if (desc < 0 || static_cast<std::size_t>(desc) >= m.Joker.size() || !m.Joker[static_cast<std::size_t>(desc)])
        return false;
    const PlageEtats etats = Etats_De(row);
    if (etats.nombre == 0)
        return false;
    for (int k = etats.premier; k < etats.premier + etats.nombre; ++k) {
        if (k >= 0 && static_cast<std::size_t>(k) < m.Etat_Choisi.size() && m.Etat_Choisi[static_cast<std::size_t>(k)] != 0)
            return false;
    }
    return true;
}

} // namespace

double Mesure_Discriminante(const std::vector<std::int64_t> &parEtat, std::int64_t N)
{
    const std::size_t K = parEtat.size();
    if (K < 2)
        return 0.0;
    double entropie = 0.0;
    const double n = static_cast<double>(N);
    for (std::int64_t compte : parEtat) {
        if (compte == 0)
            continue;
        const double c = static_cast<double>(compte);
        entropie -= (c / n) * std::log(n / c) / std::log(static_cast<double>(K));
    }
    return std::fabs(entropie);
}

ResultatRecherche Cherche_Discriminant(KeyModel &m)
{
    if (m.Nb_Esp_Max == 0)
        m.Nb_Esp_Max = m.Nb_Esp;
    const Tables &t = m.Base_Donnees;
    // The counts of the leading species come from the bit matrix, made at the first search.
    const Index_Recherche &index = Index_De(m);
    const Meneurs meneurs(m, index);

    ResultatRecherche result;
    std::vector<std::int64_t> parEtat;
    const std::vector<std::size_t> &ordre = t.Objets_Fic_Objet.order;
    for (std::size_t rang = 0; rang < ordre.size(); ++rang) {
        const ObjetRow &row = t.Objets_Fic.rows[ordre[rang]];
        if (!candidat(m, row))
            continue;
        const PlageEtats etats = Etats_De(row);
        const int first = etats.premier;
        parEtat.assign(static_cast<std::size_t>(etats.nombre), 0);
        for (std::size_t i = 0; i < parEtat.size(); ++i)
            parEtat[i] = Compte_Etat(m, index, meneurs, first + static_cast<int>(i));
        const double mesure = Mesure_Discriminante(parEtat, meneurs.N());
        if (mesure > result.mesure) {
            result.mesure = mesure;
            result.rang = rang;
            result.ligne = &row;
        }
    }

    for (std::size_t c = 0; c < m.Caracteres_Num.size(); ++c) {
        const bool propose = c < m.Joker_Num.size() && m.Joker_Num[c];
        if (!propose || (c < m.Valeur_Num.size() && m.Valeur_Num[c]))
            continue;
        const double mesure = Mesure_Num_Indexee(m, index, meneurs, static_cast<int>(c));
        if (mesure > result.mesure) {
            result.mesure = mesure;
            result.numerique = static_cast<int>(c);
            result.ligne = nullptr;
            result.rang = 0;
        }
    }

    if (result.numerique >= 0) {
        result.issue = ResultatRecherche::Issue::Question;
        const Question_Num q = Decrit_Question_Num(m, result.numerique);
        m.Descripteur_Courant = Aucun_Descripteur();
        m.Descripteur_Courant.Objet = q.objet;
        m.Descripteur_Courant.TipText = q.nom;
        return result;
    }
    if (result.ligne) {
        result.issue = ResultatRecherche::Issue::Question;
        Ouvre_Descripteur(m, *result.ligne, result.ligne->Objet.value_or(""));
        m.Descripteur_Courant.Selection = -1;
        return result;
    }
    // Nothing to ask: leave no question open, so that validating cannot record a state the user
    // did not pick in a character they were not shown.
    m.Descripteur_Courant = Aucun_Descripteur();
    result.issue = m.Question_Passee ? ResultatRecherche::Issue::ProposeReprise : ResultatRecherche::Issue::AucuneQuestion;
    return result;
}

ResultatRecherche Reprend_Discriminant(KeyModel &m)
{
    m.Question_Passee = false;
    Lit_Jokers(m);
    return Cherche_Discriminant(m);
}

ResultatRecherche Maitre_Discriminant(KeyModel &m)
{
    if (m.Nb_Esp_Max == 1) {
        ResultatRecherche result;
        result.issue = ResultatRecherche::Issue::UneSeuleEspece;
        return result;
    }
    return Cherche_Discriminant(m);
}

std::string Message_Recherche(const KeyModel &m, ResultatRecherche::Issue issue)
{
    switch (issue) {
    case ResultatRecherche::Issue::Question: return {};
    case ResultatRecherche::Issue::AucuneQuestion: return Texte_Ou_Anglais(m.Num_Langue, 1075);
    case ResultatRecherche::Issue::ProposeReprise:
        return Texte_Ou_Anglais(m.Num_Langue, 1075) + "\n" + Texte_Ou_Anglais(m.Num_Langue, 1076);
    case ResultatRecherche::Issue::UneSeuleEspece: return Texte_Ou_Anglais(m.Num_Langue, 1078);
    }
    return {};
}

} // namespace tarvenko
