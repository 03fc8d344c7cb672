#include "engine/key_check.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "engine/answering.h"
#include "knowledge/file_lookup.h"
#include "knowledge/text.h"

namespace tarvenko {

namespace {

using Genre = Constat::Genre;

// A question as the checks see it: an object's states (all its rows), or a numeric character.
struct Question {
    std::string objet;
    std::vector<int> etats;
    const ObjetRow *ligne = nullptr; // first row; null for a numeric character
    int numerique = -1;
};

class Verification {
public:
    Verification(const KeyModel &m, std::size_t budget)
        : m_m(m), m_especes(static_cast<std::size_t>(std::max<int>(m.Nb_Esp, 0))), m_budget(budget)
    {
        const Tables &t = m.Base_Donnees;
        const IndexTexte &index = t.Objets_Fic_Objet;
        for (std::size_t i = 0; i < index.order.size();) {
            const std::string &cle = index.keys[i];
            Question q;
            q.ligne = &t.Objets_Fic.rows[index.order[i]];
            q.objet = q.ligne->Objet.value_or(cle);
            for (; i < index.order.size() && index.keys[i] == cle; ++i) {
                const PlageEtats p = Etats_De(t.Objets_Fic.rows[index.order[i]]);
                for (int k = std::max(p.premier, 0); k < p.premier + p.nombre && k < m.Nb_Etats_Desc; ++k)
                    if (std::find(q.etats.begin(), q.etats.end(), k) == q.etats.end())
                        q.etats.push_back(k);
            }
            m_questions.push_back(std::move(q));
        }
        for (std::size_t c = 0; c < m.Caracteres_Num.size(); ++c) {
            Question q;
            q.objet = m.Caracteres_Num[c].Objet;
            q.numerique = static_cast<int>(c);
            m_questions.push_back(std::move(q));
        }
    }

    std::vector<Constat> verifie()
    {
        m_donnees.assign(m_especes, 0);
        for (int k = 0; k < m_m.Nb_Etats_Desc; ++k)
            for (std::size_t s = 0; s < m_especes; ++s)
                m_donnees[s] |= possede(s, k);
        for (const Caractere_Num &c : m_m.Caracteres_Num)
            for (std::size_t s = 0; s < m_especes; ++s)
                m_donnees[s] |= connue(c, s);
        especesInseparables();
        questionsSansPartage();
        etatsSansEspece();
        especesSansDonnees();
        questionsJamaisProposees();
        cycles();
        images();
        pages();
        return std::move(m_constats);
    }

private:
    void ajoute(Genre g, bool grave, std::string sujet, std::string texte)
    {
        m_constats.push_back({g, grave, std::move(sujet), std::move(texte)});
    }

    bool possede(std::size_t s, int etat) const
    {
        const std::size_t cellule = s + static_cast<std::size_t>(etat) * m_especes;
        return cellule < m_m.Matrice.size() && m_m.Matrice[cellule] == 1;
    }

    bool connue(const Caractere_Num &c, std::size_t s) const { return s < c.connue.size() && c.connue[s]; }

    const std::string &nom(std::size_t s) const
    {
        static const std::string vide;
        return s < m_m.Nom_Esp.size() ? m_m.Nom_Esp[s] : vide;
    }

    // The blocks of S that question q leaves together: per state, the species that have it, and
    // every species without data with each; per point of the line, the species whose range holds
    // it. Two species are in one block exactly when q does not separate them.
    std::vector<std::vector<int>> blocs(const Question &q, const std::vector<int> &S) const
    {
        std::vector<std::vector<int>> out;
        std::vector<int> inconnues;
        if (q.numerique < 0) {
            std::vector<std::vector<int>> parEtat(q.etats.size());
            for (const int s : S) {
                bool a = false;
                for (std::size_t i = 0; i < q.etats.size(); ++i)
                    if (possede(static_cast<std::size_t>(s), q.etats[i])) {
                        parEtat[i].push_back(s);
                        a = true;
                    }
                if (!a)
                    inconnues.push_back(s);
            }
            for (auto &b : parEtat)
                if (!b.empty())
                    out.push_back(std::move(b));
        } else {
            const Caractere_Num &c = m_m.Caracteres_Num[static_cast<std::size_t>(q.numerique)];
            struct Borne {
                double valeur;
                bool entre;
                int espece;
            };
            std::vector<Borne> bornes;
            for (const int s : S) {
                const auto u = static_cast<std::size_t>(s);
                if (!connue(c, u)) {
                    inconnues.push_back(s);
                    continue;
                }
                bornes.push_back({c.minimum[u], true, s});
                bornes.push_back({c.maximum[u], false, s});
            }
            std::sort(bornes.begin(), bornes.end(), [](const Borne &a, const Borne &b) {
                return a.valeur != b.valeur ? a.valeur < b.valeur : a.entre > b.entre;
            });
            // The set of ranges in force just before one leaves is a largest set: one block.
            std::set<int> actives;
            bool entree = false;
            for (const Borne &b : bornes) {
                if (b.entre) {
                    actives.insert(b.espece);
                    entree = true;
                    continue;
                }
                if (entree)
                    out.emplace_back(actives.begin(), actives.end());
                entree = false;
                actives.erase(b.espece);
            }
        }
        if (out.empty())
            return {S};
        for (auto &b : out) {
            b.insert(b.end(), inconnues.begin(), inconnues.end());
            std::sort(b.begin(), b.end());
        }
        return out;
    }

    // Splits S by the questions from `depuis` on; what no question splits is inseparable.
    void partage(const std::vector<int> &S, std::size_t depuis, std::set<std::pair<int, int>> &paires)
    {
        if (S.size() < 2 || m_abandon)
            return;
        for (std::size_t q = depuis; q < m_questions.size(); ++q) {
            m_travail += S.size();
            if (m_travail > m_budget) {
                m_abandon = true;
                return;
            }
            std::vector<std::vector<int>> b = blocs(m_questions[q], S);
            // A block holding all of S: the question separates none of them.
            if (std::any_of(b.begin(), b.end(), [&](const std::vector<int> &x) { return x.size() == S.size(); }))
                continue;
            std::sort(b.begin(), b.end());
            b.erase(std::unique(b.begin(), b.end()), b.end());
            for (const std::vector<int> &x : b)
                partage(x, q + 1, paires);
            return;
        }
        for (std::size_t i = 0; i < S.size(); ++i)
            for (std::size_t j = i + 1; j < S.size(); ++j)
                paires.emplace(S[i], S[j]);
    }

    void especesInseparables()
    {
        // A species without data is told as such, not as inseparable from every other.
        std::vector<int> toutes;
        for (std::size_t s = 0; s < m_especes; ++s)
            if (m_donnees[s])
                toutes.push_back(static_cast<int>(s));
        std::set<std::pair<int, int>> paires;
        partage(toutes, 0, paires);
        if (m_abandon)
            ajoute(Genre::EspecesInseparables, false, "",
                   "the search for species no answer separates stopped after " + std::to_string(m_budget) +
                       " steps (too many species without data): the pairs below are those found so far");
        for (const auto &[a, b] : paires)
            ajoute(Genre::EspecesInseparables, true, nom(static_cast<std::size_t>(a)) + " / " + nom(static_cast<std::size_t>(b)),
                   "no answer separates " + nom(static_cast<std::size_t>(a)) + " from " + nom(static_cast<std::size_t>(b)));
    }

    void questionsSansPartage()
    {
        for (const Question &q : m_questions) {
            bool premier = true, pareils = true;
            // A question of one state is told as one the search never proposes.
            if (q.numerique < 0 && q.etats.size() < 2)
                continue;
            if (q.numerique < 0) {
                std::vector<int> reference, etats;
                for (std::size_t s = 0; s < m_especes && pareils; ++s) {
                    etats.clear();
                    for (const int k : q.etats)
                        if (possede(s, k))
                            etats.push_back(k);
                    if (etats.empty())
                        continue;
                    if (premier)
                        reference = etats;
                    pareils = etats == reference;
                    premier = false;
                }
            } else {
                const Caractere_Num &c = m_m.Caracteres_Num[static_cast<std::size_t>(q.numerique)];
                std::pair<double, double> reference;
                for (std::size_t s = 0; s < m_especes && pareils; ++s) {
                    if (!connue(c, s))
                        continue;
                    const std::pair<double, double> p(c.minimum[s], c.maximum[s]);
                    if (premier)
                        reference = p;
                    pareils = p == reference;
                    premier = false;
                }
            }
            if (pareils)
                ajoute(Genre::QuestionSansPartage, true, q.objet,
                       premier ? "no species has data for question " + q.objet
                               : "every species has the same " + std::string(q.numerique < 0 ? "states" : "range") +
                                     " for question " + q.objet);
        }
    }

    std::string idEtat(int k) const
    {
        const CaractereRow *car = m_m.Base_Donnees.caractere(k);
        return car && car->ID_CARAC ? *car->ID_CARAC : std::to_string(k);
    }

    void etatsSansEspece()
    {
        for (int k = 0; k < m_m.Nb_Etats_Desc; ++k) {
            bool a = false;
            for (std::size_t s = 0; s < m_especes && !a; ++s)
                a = possede(s, k);
            if (!a)
                ajoute(Genre::EtatSansEspece, true, idEtat(k), "no species has state " + idEtat(k));
        }
    }

    void especesSansDonnees()
    {
        for (std::size_t s = 0; s < m_especes; ++s)
            if (!m_donnees[s])
                ajoute(Genre::EspeceSansDonnees, true, nom(s), "species " + nom(s) + " has no data");
    }

    void questionsJamaisProposees()
    {
        const Tables &t = m_m.Base_Donnees;
        for (const Question &q : m_questions) {
            if (q.numerique >= 0) {
                if (!m_m.Caracteres_Num[static_cast<std::size_t>(q.numerique)].Joker)
                    ajoute(Genre::QuestionJamaisProposee, false, q.objet,
                           "the search never proposes question " + q.objet + " (Joker is off)");
                continue;
            }
            if (q.etats.size() < 2) {
                ajoute(Genre::QuestionJamaisProposee, true, q.objet,
                       "question " + q.objet + " has fewer than two states: the search can never propose it");
                continue;
            }
            bool joker = false, numero = true;
            for (const ObjetRow *row : t.objets(q.objet)) {
                const int d = row->Desc_Num.value_or(-1);
                const bool valide = d >= 0 && static_cast<std::size_t>(d) < t.Objets_Fic.size();
                numero = numero && valide;
                joker = joker || (valide && row->Joker.value_or(false));
            }
            if (!numero)
                ajoute(Genre::QuestionJamaisProposee, true, q.objet,
                       "question " + q.objet + " has a Desc_Num outside the rows of Objets_Fic: the search can never propose it");
            else if (!joker)
                ajoute(Genre::QuestionJamaisProposee, false, q.objet,
                       "the search never proposes question " + q.objet + " (Joker is off)");
        }
    }

    void cycles()
    {
        const Tables &t = m_m.Base_Donnees;
        // Question -> the questions its answers clear.
        std::map<std::string, std::set<std::string>> suites;
        std::map<std::string, std::string> noms;
        for (const DescendanceRow &row : t.Descendance.rows) {
            if (!row.ID_CARAC || !row.Objet)
                continue;
            const CaractereRow *car = t.caractereParId(*row.ID_CARAC);
            const ObjetRow *parent = car ? Objet_De_Etat(m_m, car->NUM) : nullptr;
            if (!parent || !parent->Objet)
                continue;
            const std::string a = minusculesAscii(*parent->Objet), b = minusculesAscii(*row.Objet);
            noms.emplace(a, *parent->Objet);
            noms.emplace(b, *row.Objet);
            suites[a].insert(b);
        }
        // Tarjan's strongly connected components: each one of two questions or more, or a
        // question clearing itself, is a cycle.
        std::map<std::string, int> index, bas;
        std::vector<std::string> pile;
        std::set<std::string> surPile;
        int compteur = 0;
        std::function<void(const std::string &)> visite = [&](const std::string &v) {
            index[v] = bas[v] = compteur++;
            pile.push_back(v);
            surPile.insert(v);
            for (const std::string &w : suites[v]) {
                if (!index.count(w)) {
                    visite(w);
                    bas[v] = std::min(bas[v], bas[w]);
                } else if (surPile.count(w)) {
                    bas[v] = std::min(bas[v], index[w]);
                }
            }
            if (bas[v] != index[v])
                return;
            std::vector<std::string> composante;
            std::string w;
            do {
                w = pile.back();
                pile.pop_back();
                surPile.erase(w);
                composante.push_back(noms[w]);
            } while (w != v);
            if (composante.size() > 1 || suites[v].count(v)) {
                std::sort(composante.begin(), composante.end());
                std::string sujet;
                for (const std::string &n : composante)
                    sujet += (sujet.empty() ? "" : " / ") + n;
                ajoute(Genre::CycleDependances, true, sujet, "Descendance goes round in a circle through " + sujet);
            }
        };
        std::vector<std::string> sommets;
        for (const auto &[v, w] : suites)
            sommets.push_back(v);
        for (const std::string &v : sommets)
            if (!index.count(v))
                visite(v);
    }

    void image(const std::string &chemin, const std::string &qui)
    {
        if (!m_vus.insert(chemin).second || cheminExiste(chemin))
            return;
        ajoute(Genre::ImageManquante, true, resoutChemin(chemin), "missing picture " + resoutChemin(chemin) + " (" + qui + ")");
    }

    // A layer's picture named without its ending: some file of the folder starts with the name.
    bool commePrefixe(const std::string &dossier, const std::string &nom) const
    {
        std::error_code ec;
        const std::string prefixe = minusculesAscii(nom);
        for (const auto &entree : std::filesystem::directory_iterator(resoutChemin(dossier), ec))
            if (minusculesAscii(entree.path().filename().string()).rfind(prefixe, 0) == 0)
                return true;
        return false;
    }

    void images()
    {
        const Tables &t = m_m.Base_Donnees;
        for (const ObjetRow &row : t.Objets_Fic.rows)
            if (row.Popup && !row.Popup->empty())
                image(m_m.Chemin_Descripteurs + *row.Popup, "question " + row.Objet.value_or(""));
        for (const ImageEtatRow &row : t.Images_Etats.rows)
            if (row.Image && !row.Image->empty())
                image(m_m.Chemin_Descripteurs + *row.Image, "state " + row.ID_CARAC);
        for (const HierarchieRow &row : t.Hierarchie.rows) {
            if (!row.Nom || row.Nom->empty() || !row.Robot_Num)
                continue;
            const int r = *row.Robot_Num;
            const std::string dossier = m_m.Chemin_Robot + (r < 10 ? "0" : "") + std::to_string(r) + "\\";
            const std::string &n = *row.Nom;
            if (n.size() >= 3 && minusculesAscii(n.substr(n.size() - 3)) == "wmf")
                image(dossier + n, "drawing layer " + std::to_string(r));
            else if (!commePrefixe(dossier, n) && m_vus.insert(dossier + n).second)
                ajoute(Genre::ImageManquante, true, resoutChemin(dossier + n),
                       "missing picture " + resoutChemin(dossier + n) + "... (drawing layer " + std::to_string(r) + ")");
        }
        for (const ContradictionRow &row : t.Contradictions.rows) {
            if (!row.Popup || !row.Bouton)
                continue;
            if (*row.Bouton == -1)
                image(m_m.Chemin_Robot + "CONTRA\\" + *row.Popup + ".wmf", "contradiction of " + row.Objet);
            else
                image(m_m.Chemin_Robot + "contra\\" + *row.Popup + ".ico", "contradiction of " + row.Objet);
        }
        for (const ButDeterRow &row : t.But_Deter.rows)
            if (row.File && !row.File->empty())
                image(m_m.Chemin_Data + *row.File, "button " + row.Caption.value_or(""));
        for (const ButQuestRow &row : t.But_Quest.rows)
            if (row.File && !row.File->empty())
                image(m_m.Chemin_Data + *row.File, "button " + row.Caption.value_or(""));
        if (m_m.Nb_Robot > 0)
            image(m_m.Chemin_Data + "couleur.wmf", "colour chart of the drawing");
    }

    void pages()
    {
        const std::string &adresse = m_m.Adresse_Documents;
        const std::string debut = minusculesAscii(adresse.substr(0, 5));
        if (debut == "http:" || debut == "https")
            return;
        if (adresse.empty()) {
            ajoute(Genre::PageManquante, false, "", "the key has no documents folder: species pages are not checked");
            return;
        }
        static const char *const suffixes[] = {"_en", "_es", "_fr"};
        for (const char *suffixe : suffixes) {
            const std::string erreur = m_m.Chemin_Data + "error" + suffixe + ".html";
            if (!cheminExiste(erreur))
                ajoute(Genre::PageManquante, true, resoutChemin(erreur), "missing error page " + resoutChemin(erreur));
        }
        // A missing English page is an error; a missing translation is the author's choice, told
        // once per language.
        const auto &flore = m_m.Base_Donnees.Flore.rows;
        std::vector<std::string> sansTraduction[3];
        for (std::size_t s = 0; s < flore.size(); ++s) {
            const std::string code = minusculesAscii(flore[s].Code.value_or(""));
            if (code.empty()) {
                ajoute(Genre::PageManquante, true, flore[s].Espece, "species " + flore[s].Espece + " has no code to name its page");
                continue;
            }
            for (std::size_t l = 0; l < 3; ++l) {
                const std::string page = adresse + code.substr(0, 1) + "/" + code + "/" + code + suffixes[l] + ".html";
                if (cheminExiste(page))
                    continue;
                if (l == 0)
                    ajoute(Genre::PageManquante, true, resoutChemin(page),
                           "missing page " + resoutChemin(page) + " of " + flore[s].Espece);
                else
                    sansTraduction[l].push_back(flore[s].Espece);
            }
        }
        for (std::size_t l = 1; l < 3; ++l) {
            if (sansTraduction[l].empty())
                continue;
            std::string exemples;
            for (std::size_t i = 0; i < sansTraduction[l].size() && i < 3; ++i)
                exemples += (i ? ", " : "") + sansTraduction[l][i];
            ajoute(Genre::PageManquante, false, std::string(suffixes[l]).substr(1),
                   std::to_string(sansTraduction[l].size()) + " species have no page in " + std::string(suffixes[l]).substr(1) +
                       " (" + exemples + (sansTraduction[l].size() > 3 ? ", ..." : "") + "): the error page is shown instead");
        }
    }

    const KeyModel &m_m;
    std::size_t m_especes;
    std::vector<Question> m_questions;
    std::vector<Constat> m_constats;
    std::set<std::string> m_vus;
    std::vector<std::uint8_t> m_donnees; // per species: has it a state or a range
    std::size_t m_budget;
    std::size_t m_travail = 0;
    bool m_abandon = false;
};

} // namespace

std::string Nom_Genre(Constat::Genre genre)
{
    switch (genre) {
    case Genre::EspecesInseparables: return "inseparable-species";
    case Genre::QuestionSansPartage: return "question-never-splits";
    case Genre::EtatSansEspece: return "state-without-species";
    case Genre::EspeceSansDonnees: return "species-without-data";
    case Genre::QuestionJamaisProposee: return "question-never-proposed";
    case Genre::CycleDependances: return "dependency-cycle";
    case Genre::ImageManquante: return "missing-picture";
    case Genre::PageManquante: return "missing-page";
    }
    return "?";
}

std::vector<Constat> Verifie_Cle(const KeyModel &m, std::size_t budget)
{
    return Verification(m, budget).verifie();
}

} // namespace tarvenko
