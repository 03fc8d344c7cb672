#include "engine/dichotomous_key.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "engine/answering.h"
#include "engine/differences.h"
#include "engine/discriminant.h"
#include "knowledge/key_texts.h"
#include "knowledge/text.h"
#include "resources/string_table.h"

namespace tarvenko {

namespace {

struct Question {
    const ObjetRow *ligne = nullptr;
    std::vector<int> etats;
    bool proposee = true; // may the search propose it
};

// One question per object, the states of all its rows, in the key's order.
std::vector<Question> questions(const KeyModel &m)
{
    std::vector<Question> out;
    const Tables &t = m.Base_Donnees;
    const IndexTexte &index = t.Objets_Fic_Objet;
    for (std::size_t i = 0; i < index.order.size();) {
        const std::string &cle = index.keys[i];
        Question q;
        q.ligne = &t.Objets_Fic.rows[index.order[i]];
        q.proposee = false;
        for (; i < index.order.size() && index.keys[i] == cle; ++i) {
            const ObjetRow &row = t.Objets_Fic.rows[index.order[i]];
            const int desc = row.Desc_Num.value_or(-1);
            q.proposee = q.proposee || (desc >= 0 && static_cast<std::size_t>(desc) < m.Joker.size() && m.Joker[static_cast<std::size_t>(desc)]);
            const PlageEtats p = Etats_De(row);
            for (int k = std::max(p.premier, 0); k < p.premier + p.nombre && k < m.Nb_Etats_Desc; ++k)
                if (std::find(q.etats.begin(), q.etats.end(), k) == q.etats.end())
                    q.etats.push_back(k);
        }
        if (q.etats.size() >= 2)
            out.push_back(std::move(q));
    }
    return out;
}

class Constructeur {
public:
    explicit Constructeur(const KeyModel &m) : m_m(m), m_questions(questions(m)), m_especes(static_cast<std::size_t>(std::max<int>(m.Nb_Esp, 0))) {}

    Cle_Dichotomique construit()
    {
        // Within a family or a genus, the key of its species only.
        std::vector<int> toutes;
        for (std::size_t s = 0; s < m_especes; ++s)
            if (!m_m.Groupe || (s < m_m.Especes_En_Jeu.size() && m_m.Especes_En_Jeu[s]))
                toutes.push_back(static_cast<int>(s));
        m_cle.especes = toutes.size();
        if (toutes.size() < 2 || noeud(toutes) < 0)
            m_cle.sansCouplet = toutes;
        return std::move(m_cle);
    }

private:
    bool possede(int s, int etat) const
    {
        const std::size_t cellule = static_cast<std::size_t>(s) + static_cast<std::size_t>(etat) * m_especes;
        return cellule < m_m.Matrice.size() && m_m.Matrice[cellule] == 1;
    }

    struct Partage {
        std::vector<int> etats;                    // the leads' states
        std::vector<std::vector<int>> especes;     // their species
    };

    // The leads of question q over `S`, or nothing when it does not split them: fewer than two
    // leads, or a lead that all of them follow.
    bool partage(const Question &q, const std::vector<int> &S, Partage &p, double &mesure) const
    {
        p = {};
        std::vector<int> inconnues;
        std::vector<std::vector<int>> avec(q.etats.size());
        std::vector<std::int64_t> parEtat(q.etats.size(), 0);
        for (const int s : S) {
            bool connue = false;
            for (std::size_t i = 0; i < q.etats.size(); ++i) {
                if (possede(s, q.etats[i])) {
                    avec[i].push_back(s);
                    ++parEtat[i];
                    connue = true;
                }
            }
            if (!connue)
                inconnues.push_back(s);
        }
        for (std::size_t i = 0; i < q.etats.size(); ++i) {
            if (avec[i].empty())
                continue;
            std::vector<int> branche = avec[i];
            if (!inconnues.empty()) {
                branche.insert(branche.end(), inconnues.begin(), inconnues.end());
                std::sort(branche.begin(), branche.end());
            }
            if (branche.size() == S.size())
                return false;
            p.etats.push_back(q.etats[i]);
            p.especes.push_back(std::move(branche));
        }
        if (p.etats.size() < 2)
            return false;
        mesure = Mesure_Discriminante(parEtat, static_cast<std::int64_t>(S.size()));
        // A species following several leads is keyed again under each: a printed key stays short
        // when the measure is taken in the proportion of species that follow one lead only.
        std::size_t suivies = 0;
        for (const auto &b : p.especes)
            suivies += b.size();
        mesure *= static_cast<double>(S.size()) / static_cast<double>(suivies);
        return true;
    }

    // The couplet keying `S` (sorted, two species or more), made if need be; -1 when no question
    // splits them.
    int noeud(const std::vector<int> &S)
    {
        if (const auto it = m_faits.find(S); it != m_faits.end())
            return it->second;
        const Question *meilleure = nullptr;
        Partage retenu, essai;
        for (const bool proposees : {true, false}) {
            double max = -1.0;
            for (const Question &q : m_questions) {
                double mesure = 0.0;
                if (q.proposee != proposees || !partage(q, S, essai, mesure) || mesure <= max)
                    continue;
                max = mesure;
                meilleure = &q;
                retenu = std::move(essai);
            }
            if (meilleure)
                break;
        }
        if (!meilleure) {
            m_faits[S] = -1;
            return -1;
        }
        const int numero = static_cast<int>(m_cle.couplets.size());
        m_faits[S] = numero;
        Couplet c;
        c.objet = meilleure->ligne->Objet.value_or("");
        c.question = Texte_Question(m_m.Base_Donnees, *meilleure->ligne, m_m.Num_Langue).value_or("");
        if (c.question.empty())
            c.question = c.objet;
        m_cle.couplets.push_back(std::move(c));
        std::vector<Branche> branches;
        for (std::size_t i = 0; i < retenu.etats.size(); ++i) {
            const std::vector<int> &suite = retenu.especes[i];
            const int couplet = suite.size() >= 2 ? noeud(suite) : -1;
            // States that lead to the same place make one lead.
            const auto meme = std::find_if(branches.begin(), branches.end(), [&](const Branche &b) {
                return couplet >= 0 ? b.couplet == couplet : b.couplet < 0 && b.especes == suite;
            });
            if (meme != branches.end()) {
                meme->etats.push_back(retenu.etats[i]);
                meme->nom += Texte_Ou_Anglais(m_m.Num_Langue, 1191) + nomEtat(retenu.etats[i]);
                continue;
            }
            Branche b;
            b.etats = {retenu.etats[i]};
            b.nom = nomEtat(retenu.etats[i]);
            b.couplet = couplet;
            if (b.couplet < 0)
                b.especes = suite;
            branches.push_back(std::move(b));
        }
        m_cle.couplets[static_cast<std::size_t>(numero)].branches = std::move(branches);
        return numero;
    }

    std::string nomEtat(int etat) const
    {
        const std::string nom = Nom_Etat_Langue(m_m.Base_Donnees, etat, m_m.Num_Langue);
        return nom.empty() ? std::to_string(etat) : nom;
    }

    const KeyModel &m_m;
    std::vector<Question> m_questions;
    std::size_t m_especes;
    std::map<std::vector<int>, int> m_faits;
    Cle_Dichotomique m_cle;
};

std::string remplace(std::string texte, const std::string &valeur)
{
    if (const auto at = texte.find("%1"); at != std::string::npos)
        texte.replace(at, 2, valeur);
    return texte;
}

std::string lettre(std::size_t i)
{
    return i < 26 ? std::string(1, static_cast<char>('a' + i)) : std::to_string(i + 1);
}

std::string especes(const KeyModel &m, const std::vector<int> &liste)
{
    std::string out;
    for (const int s : liste) {
        const std::string nom = static_cast<std::size_t>(s) < m.Nom_Esp.size() ? m.Nom_Esp[static_cast<std::size_t>(s)] : std::to_string(s);
        out += (out.empty() ? "" : ", ") + std::string("<i>") + Echappe_Html(nom) + "</i>";
    }
    if (liste.size() > 1)
        out = Echappe_Html(Texte_Ou_Anglais(m.Num_Langue, 1189)) + " " + out;
    return out;
}

} // namespace

Cle_Dichotomique Construit_Cle_Dichotomique(const KeyModel &m)
{
    return Constructeur(m).construit();
}

std::string Html_Cle_Dichotomique(const KeyModel &m, const Cle_Dichotomique &cle)
{
    std::string titre = Texte_Ou_Anglais(m.Num_Langue, 1187);
    if (m.Groupe) {
        const bool famille = m.Groupe->rang == Groupe_Especes::Rang::Famille;
        titre = remplace(Texte_Ou_Anglais(m.Num_Langue, famille ? 1911 : 1912),
                         famille ? casseNomPropre(m.Groupe->nom) : m.Groupe->nom);
    }
    std::string compte = Texte_Ou_Anglais(m.Num_Langue, 1190);
    compte = remplace(compte, std::to_string(cle.especes));
    if (const auto at = compte.find("%2"); at != std::string::npos)
        compte.replace(at, 2, std::to_string(cle.couplets.size()));
    std::string out = Entete_Html(m, titre);
    out += "<style>\n.couplet { margin: 0 0 10px 0; page-break-inside: avoid; }\n"
           ".couplet h2 { margin-top: 12px; }\n.lead { margin: 2px 0 2px 24px; }\n"
           ".lead .n { display: inline-block; min-width: 3.5em; font-weight: bold; color: #2d5a27; }\n</style>\n";
    out += "<h1>" + Echappe_Html(titre) + "</h1>\n<p>" + Echappe_Html(compte) + "</p>\n";
    if (!cle.sansCouplet.empty())
        out += "<p>" + especes(m, cle.sansCouplet) + "</p>\n";
    for (std::size_t n = 0; n < cle.couplets.size(); ++n) {
        const Couplet &c = cle.couplets[n];
        const std::string numero = std::to_string(n + 1);
        out += "<div class=\"couplet\" id=\"c" + numero + "\">\n<h2>" + numero + ". " + Echappe_Html(c.question) + "</h2>\n";
        for (std::size_t i = 0; i < c.branches.size(); ++i) {
            const Branche &b = c.branches[i];
            out += "<p class=\"lead\"><span class=\"n\">" + numero + lettre(i) + "</span> " + Echappe_Html(b.nom) + " \u2192 ";
            if (b.couplet >= 0) {
                const std::string suite = std::to_string(b.couplet + 1);
                out += "<a href=\"#c" + suite + "\">" + Echappe_Html(remplace(Texte_Ou_Anglais(m.Num_Langue, 1188), suite)) + "</a>";
            } else {
                out += especes(m, b.especes);
            }
            out += "</p>\n";
        }
        out += "</div>\n";
    }
    return out + "</body>\n</html>\n";
}

} // namespace tarvenko
