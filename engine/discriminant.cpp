#include "engine/discriminant.h"

#include <algorithm>
#include <cmath>

#include "engine/answering.h"
#include "engine/numeric_characters.h"
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

// How many of the leading species have each state: sums of matrix columns over the leaders.
class Compteur {
public:
    explicit Compteur(const KeyModel &m) : m_model(m), m_especes(m.Nb_Esp > 0 ? static_cast<std::size_t>(m.Nb_Esp) : 0)
    {
        const auto n = std::min(static_cast<std::size_t>(std::max<int>(m.Nb_Esp_Max, 0)), m.Classement[1].size());
        m_leaders.assign(m.Classement[1].begin(), m.Classement[1].begin() + static_cast<std::ptrdiff_t>(n));
        // The order of the additions does not change an integer sum: ascending species read the
        // column forward.
        std::sort(m_leaders.begin(), m_leaders.end());
        m_tous = n == m_especes;
    }

    std::int64_t N() const { return static_cast<std::int64_t>(m_leaders.size()); }
    const std::vector<std::int64_t> &leaders() const { return m_leaders; }

    std::int64_t operator()(int e) const
    {
        if (e < 0 || e >= m_model.Nb_Etats_Desc || m_model.Matrice.size() < (static_cast<std::size_t>(e) + 1) * m_especes)
            return 0;
        const std::int16_t *colonne = m_model.Matrice.data() + static_cast<std::size_t>(e) * m_especes;
        // At most 32767 species of 16-bit values: the sum fits 32 bits.
        std::int32_t somme = 0;
        if (m_tous) {
            for (std::size_t s = 0; s < m_especes; ++s)
                somme += colonne[s];
        } else {
            for (std::int64_t s : m_leaders)
                somme += colonne[s];
        }
        return somme;
    }

private:
    const KeyModel &m_model;
    std::size_t m_especes;
    std::vector<std::int64_t> m_leaders;
    bool m_tous = false;
};

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
    const Compteur compteur(m);

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
            parEtat[i] = compteur(first + static_cast<int>(i));
        const double mesure = Mesure_Discriminante(parEtat, compteur.N());
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
        const double mesure = Mesure_Num(m, static_cast<int>(c), compteur.leaders());
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
