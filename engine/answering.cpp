#include "engine/answering.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "engine/numeric_characters.h"
#include "knowledge/key_texts.h"

namespace tarvenko {

namespace {

bool etatValide(const KeyModel &m, long long k) { return k >= 0 && k < static_cast<long long>(m.Etat_Choisi.size()); }

void marqueCadre(KeyModel &m, int cadre, std::int16_t value)
{
    if (cadre >= 0 && static_cast<std::size_t>(cadre) < m.Cadre_Fait.size())
        m.Cadre_Fait[static_cast<std::size_t>(cadre)] = value;
}

void signale(std::vector<Incoherence> &out, Incoherence incoherence)
{
    if (std::find(out.begin(), out.end(), incoherence) == out.end())
        out.push_back(std::move(incoherence));
}

// Descendance as the clearing reads it: for every parent state identifier, the dependent objects
// in row order. Only the rows numbered 1 ... row count are looked up, as a walk by key does.
std::map<std::string, std::vector<std::string>, std::less<>> dependances(const Tables &t)
{
    std::map<std::string, std::vector<std::string>, std::less<>> out;
    const auto count = static_cast<std::int32_t>(t.Descendance.size());
    for (const DescendanceRow &row : t.Descendance.rows) {
        if (row.Numero < 1 || row.Numero > count || !row.ID_CARAC || !row.Objet)
            continue;
        out[*row.ID_CARAC].push_back(*row.Objet);
    }
    return out;
}

} // namespace

std::string Texte_Incoherence(const Incoherence &incoherence)
{
    switch (incoherence.genre) {
    case Incoherence::Genre::EtatSansCaractere:
        return "Erreur : l'état n°" + incoherence.code + " n'existe pas dans la Table 'Caractères'";
    case Incoherence::Genre::ObjetInconnu:
        return "Erreur : l'objet '" + incoherence.code + "' de la Table 'Descendance' n'existe pas dans la Table 'Objets_Fic'";
    case Incoherence::Genre::Boucle:
        return "Erreur : la Table 'Descendance' revient à l'état '" + incoherence.code + "' qui en dépend déjà";
    }
    return {};
}

PlageEtats Etats_De(const ObjetRow &row)
{
    if (!row.Index_Car || !row.Nb_Car || *row.Nb_Car < 0)
        return {};
    return {*row.Index_Car, *row.Nb_Car};
}

void Ouvre_Descripteur(KeyModel &m, const ObjetRow &row, const std::string &objet)
{
    Descripteur &d = m.Descripteur_Courant;
    d.Objet = objet;
    d.Lignes = row.Lignes.value_or(0);
    d.Colonnes = row.Colonnes.value_or(0);
    const PlageEtats etats = Etats_De(row);
    d.Index_Car = static_cast<std::int16_t>(etats.premier);
    d.Nb_Car = static_cast<std::int16_t>(etats.nombre);
    d.Desc_Num = row.Desc_Num.value_or(-1);
    d.Cadre = row.Cadre.value_or(-1);
    d.TipText = Texte_Question(m.Base_Donnees, row, m.Num_Langue).value_or("");
    d.Popup = row.Popup.value_or("");
    d.Selection = -1;
    for (int k = d.Index_Car; k < d.Index_Car + d.Nb_Car; ++k) {
        if (etatValide(m, k) && m.Etat_Choisi[static_cast<std::size_t>(k)] != 0)
            d.Selection = static_cast<std::int16_t>(k - d.Index_Car);
    }
}

Descripteur Aucun_Descripteur()
{
    Descripteur d;
    d.Desc_Num = -1;
    return d;
}

const ObjetRow *Objet_De_Etat(const KeyModel &m, int etat)
{
    const Tables &t = m.Base_Donnees;
    for (std::size_t i : t.Objets_Fic_Objet.order) {
        const ObjetRow &row = t.Objets_Fic.rows[i];
        if (row.Index_Car && row.Nb_Car && etat >= *row.Index_Car && etat < *row.Index_Car + *row.Nb_Car)
            return &row;
    }
    return nullptr;
}

std::vector<Incoherence> Nettoie_Descendance(KeyModel &m, int ancien_provenance)
{
    std::vector<Incoherence> report;
    const Tables &t = m.Base_Donnees;
    const auto deps = dependances(t);

    // Depth-first, with an explicit stack: 1 marks the states on the current path, 2 those whose
    // dependants are all cleared.
    std::vector<std::uint8_t> marque(m.Etat_Choisi.size(), 0);
    struct Etape {
        int etat;
        std::vector<int> enfants;
        std::size_t suivant = 0;
    };
    const auto enfants = [&](int etat) {
        std::vector<int> out;
        const CaractereRow *car = t.caractere(etat);
        if (!car || !car->ID_CARAC) {
            signale(report, {Incoherence::Genre::EtatSansCaractere, std::to_string(etat)});
            return out;
        }
        const auto it = deps.find(*car->ID_CARAC);
        if (it == deps.end())
            return out;
        for (const std::string &objet : it->second) {
            const ObjetRow *row = t.objet(objet);
            if (!row) {
                // A numeric character depends on the state the same way: its answer goes.
                if (const int c = Caractere_Num_De(m, objet); c >= 0)
                    Retire_Num(m, c);
                else
                    signale(report, {Incoherence::Genre::ObjetInconnu, objet});
                continue;
            }
            const PlageEtats etats = Etats_De(*row);
            for (int k = etats.premier; k < etats.premier + etats.nombre; ++k)
                out.push_back(k);
        }
        return out;
    };

    std::vector<Etape> pile;
    if (etatValide(m, ancien_provenance))
        marque[static_cast<std::size_t>(ancien_provenance)] = 1;
    pile.push_back({ancien_provenance, enfants(ancien_provenance)});
    while (!pile.empty()) {
        Etape &haut = pile.back();
        if (haut.suivant == haut.enfants.size()) {
            if (etatValide(m, haut.etat))
                marque[static_cast<std::size_t>(haut.etat)] = 2;
            pile.pop_back();
            continue;
        }
        const int k = haut.enfants[haut.suivant++];
        if (!etatValide(m, k))
            continue;
        const auto ik = static_cast<std::size_t>(k);
        m.Etat_Choisi[ik] = 0;
        if (marque[ik] == 1) {
            const CaractereRow *car = t.caractere(k);
            signale(report, {Incoherence::Genre::Boucle, car && car->ID_CARAC ? *car->ID_CARAC : std::to_string(k)});
        } else if (marque[ik] == 0) {
            marque[ik] = 1;
            pile.push_back({k, enfants(k)}); // invalidates `haut`
        }
    }
    return report;
}

std::vector<Incoherence> Valid_Descripteur(KeyModel &m)
{
    const Descripteur d = m.Descripteur_Courant;
    const int first = d.Index_Car;
    const int last = d.Index_Car + d.Nb_Car - 1;
    // A grid may have more cells than the character has states: such a cell is no answer.
    if (d.Selection < -1 || d.Selection >= d.Nb_Car)
        return {};
    // Nor is a state past the key's states (Index_Car + Nb_Car beyond Nb_Etats_Desc): recording
    // nothing but marking the group answered would report an answer that was not kept.
    if (d.Selection >= 0 && !etatValide(m, first + d.Selection))
        return {};

    long long sum = 0;
    int previous = -1;
    for (int k = first; k <= last; ++k) {
        if (!etatValide(m, k))
            continue;
        const std::int16_t value = m.Etat_Choisi[static_cast<std::size_t>(k)];
        sum += value;
        if (value == 1)
            previous = k;
    }
    if (sum == 0 && d.Selection == -1)
        return {};
    if (d.Selection == previous - first && sum == 1)
        return {};

    std::vector<Incoherence> report;
    if (previous != -1)
        report = Nettoie_Descendance(m, previous);

    for (int k = first; k <= last; ++k) {
        if (!etatValide(m, k))
            continue;
        std::int16_t &value = m.Etat_Choisi[static_cast<std::size_t>(k)];
        if (k == first + d.Selection && value == 1) {
            marqueCadre(m, d.Cadre, -1);
            return report;
        }
        value = 0;
    }
    marqueCadre(m, d.Cadre, 0);
    if (d.Selection == -1)
        return report;
    if (etatValide(m, first + d.Selection))
        m.Etat_Choisi[static_cast<std::size_t>(first + d.Selection)] = 1;
    marqueCadre(m, d.Cadre, -1);
    return report;
}

void Nettoye(KeyModel &m)
{
    std::fill(m.Etat_Choisi.begin(), m.Etat_Choisi.end(), std::int16_t{0});
    std::fill(m.Cadre_Fait.begin(), m.Cadre_Fait.end(), std::int16_t{0});
    m.Valeur_Num.assign(m.Caracteres_Num.size(), std::nullopt);
    m.Question_Passee = false;
    // A new identification looks among every species again.
    m.Groupe.reset();
    m.Especes_En_Jeu.clear();
}

} // namespace tarvenko
