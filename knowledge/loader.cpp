#include "knowledge/loader.h"

#include <algorithm>

#include "knowledge/numeric.h"
#include "knowledge/text.h"
#include "resources/string_table.h"

namespace tarvenko {

std::optional<std::int16_t> Lit_Parametre(const Tables &tables, std::string_view name)
{
    const ParametreRow *row = tables.parametre(name);
    if (!row || !row->Etat)
        return std::nullopt;
    return enEntier16(valeurNumerique(*row->Etat));
}

namespace {

void litParametre(const KeyModel &m, std::string_view name, std::int16_t &target)
{
    if (const auto value = Lit_Parametre(m.Base_Donnees, name))
        target = *value;
}

template <typename T>
std::vector<T> sized(int count, T value = T())
{
    return std::vector<T>(count > 0 ? static_cast<std::size_t>(count) : 0, value);
}

} // namespace

void Lit_Parametres_Palette(KeyModel &m)
{
    litParametre(m, "Nb_Couleurs", m.Nb_Couleurs);
    m.Version_Database = 300;
    litParametre(m, "Version_Database", m.Version_Database);
}

void Lit_Codes_Couleur(KeyModel &m)
{
    m.Couleur_Valeur = sized<std::int32_t>(m.Nb_Couleurs);
    m.Couleur_Octets = sized<Couleur_Octet>(m.Nb_Couleurs);
    m.Couleur_Distance = sized<double>(m.Nb_Couleurs);
    m.Code_Couleur = sized<std::string>(m.Nb_Couleurs);
    for (int i = 1; i <= m.Nb_Couleurs; ++i) {
        const CouleurRow *row = m.Base_Donnees.couleur(i);
        if (row && row->Code_Couleur)
            m.Code_Couleur[static_cast<std::size_t>(i - 1)] = *row->Code_Couleur;
    }
}

void Lit_Parametres(KeyModel &m)
{
    litParametre(m, "Nb_Esp", m.Nb_Esp);
    litParametre(m, "Nb_Etats_Desc", m.Nb_Etats_Desc);
    litParametre(m, "Nb_Cadre", m.Nb_Cadre);
    litParametre(m, "Nb_Robot", m.Nb_Robot);
    litParametre(m, "Nb_But_Car", m.Nb_But_Car);
    litParametre(m, "Nb_But_Deter", m.Nb_But_Deter);
    litParametre(m, "Nb_But_Quest", m.Nb_But_Quest);
    litParametre(m, "Nb_Contraintes", m.Nb_Contraintes);
}

void Dimensionne_Modele(KeyModel &m)
{
    m.Nom_Esp = sized<std::string>(m.Nb_Esp);
    m.Score_Esp = sized<std::int64_t>(m.Nb_Esp);
    m.Pourcent_Esp = sized<std::int64_t>(m.Nb_Esp);
    // The matrix is sized by reading MATRICE.DAT: counts far beyond the file would otherwise
    // take up to 2 GB here before the file is found too short.
    m.Matrice.clear();
    ++m.Generation_Donnees;
    m.Poids = sized<std::int16_t>(m.Nb_Etats_Desc);
    m.Etat_Choisi = sized<std::int16_t>(m.Nb_Etats_Desc);
    m.Cadre_Fait = sized<std::int16_t>(m.Nb_Cadre);
    m.Robots = sized<Robot>(m.Nb_Robot);
    m.Classement[0] = sized<std::int64_t>(m.Nb_Esp);
    m.Classement[1] = sized<std::int64_t>(m.Nb_Esp);
    for (std::size_t r = 0; r < m.Classement[1].size(); ++r)
        m.Classement[1][r] = static_cast<std::int64_t>(r);
}

void Lit_Jokers(KeyModel &m)
{
    m.Joker_Num.assign(m.Caracteres_Num.size(), true);
    for (std::size_t c = 0; c < m.Caracteres_Num.size(); ++c)
        m.Joker_Num[c] = m.Caracteres_Num[c].Joker;
    const auto &rows = m.Base_Donnees.Objets_Fic.rows;
    m.Joker.assign(rows.size(), false);
    for (const ObjetRow &row : rows) {
        // A Desc_Num outside the array or an unreadable flag skips that row.
        if (!row.Desc_Num || !row.Joker || *row.Desc_Num < 0 || static_cast<std::size_t>(*row.Desc_Num) >= m.Joker.size())
            continue;
        m.Joker[static_cast<std::size_t>(*row.Desc_Num)] = *row.Joker;
    }
}

std::vector<std::string> Lit_Noms_Especes(KeyModel &m)
{
    std::vector<std::string> lines;
    std::size_t s = 0;
    for (const FloreRow &row : m.Base_Donnees.Flore.rows) {
        if (s < m.Nom_Esp.size())
            m.Nom_Esp[s] = row.Espece;
        lines.push_back("100% - " + row.Espece);
        ++s;
    }
    return lines;
}

int Lit_Caracteres_Num(KeyModel &m)
{
    const Tables &t = m.Base_Donnees;
    const std::size_t especes = m.Nom_Esp.size();
    int ignores = 0;
    m.Caracteres_Num.clear();
    ++m.Generation_Donnees;
    for (const CaractereNumRow &row : t.Caracteres_Num.rows) {
        const std::optional<std::int16_t> poids =
            row.Poids.valeur ? enEntier16(*row.Poids.valeur) : std::optional<std::int16_t>();
        // Keys differing only in case are one key: the second is a duplicate.
        const bool double_ = !m.Caracteres_Num.empty() && clesEgales(m.Caracteres_Num.back().Objet, row.Objet);
        if (row.Objet.empty() || double_ || !row.Unite || !poids) {
            ++ignores;
            continue;
        }
        Caractere_Num c;
        c.Objet = row.Objet;
        for (std::size_t l = 0; l < c.Nom.size(); ++l)
            c.Nom[l] = row.Nom[l].value_or("");
        c.Unite = *row.Unite;
        c.Poids = *poids;
        c.Cadre = row.Cadre.value_or(-1);
        c.Joker = row.Joker.value_or(true);
        c.connue.assign(especes, 0);
        c.minimum.assign(especes, 0.0);
        c.maximum.assign(especes, 0.0);
        c.bas.assign(especes, 0.0);
        c.haut.assign(especes, 0.0);
        m.Caracteres_Num.push_back(std::move(c));
    }

    for (const PlageNumRow &row : t.Plages_Num.rows) {
        Caractere_Num *c = nullptr;
        if (row.Objet) {
            const auto it = std::lower_bound(m.Caracteres_Num.begin(), m.Caracteres_Num.end(), *row.Objet,
                                             [](const Caractere_Num &a, const std::string &b) {
                                                 return compareCles(a.Objet, b) < 0 && !clesEgales(a.Objet, b);
                                             });
            if (it != m.Caracteres_Num.end() && clesEgales(it->Objet, *row.Objet))
                c = &*it;
        }
        const FloreRow *flore = row.Espece ? t.espece(*row.Espece) : nullptr;
        const auto s = flore ? static_cast<std::size_t>(flore - t.Flore.rows.data()) : especes;
        const auto &min = row.Minimum.valeur, &max = row.Maximum.valeur;
        if (!c || s >= especes || !min || !max || *min > *max || c->connue[s]) {
            ++ignores;
            continue;
        }
        c->connue[s] = 1;
        c->minimum[s] = c->bas[s] = *min;
        c->maximum[s] = c->haut[s] = *max;
        // An extreme value lies outside the usual range; one that does not is skipped alone.
        if (!row.Extreme_Min.nul) {
            if (row.Extreme_Min.valeur && *row.Extreme_Min.valeur <= *min)
                c->bas[s] = *row.Extreme_Min.valeur;
            else
                ++ignores;
        }
        if (!row.Extreme_Max.nul) {
            if (row.Extreme_Max.valeur && *row.Extreme_Max.valeur >= *max)
                c->haut[s] = *row.Extreme_Max.valeur;
            else
                ++ignores;
        }
    }
    m.Valeur_Num.assign(m.Caracteres_Num.size(), std::nullopt);
    m.Joker_Num.clear();
    for (const Caractere_Num &c : m.Caracteres_Num)
        m.Joker_Num.push_back(c.Joker);
    return ignores;
}

void Nomme_Racines_Arbre(KeyModel &m)
{
    for (const Racine_Arbre &racine : Racines_Arbre) {
        if (NoeudArbre *node = m.Arbre.noeud(racine.cle))
            node->Text = Texte_Ou_Anglais(m.Num_Langue, racine.texte);
    }
}

void Construit_Arbre(KeyModel &m)
{
    Arbre_Especes &tree = m.Arbre;
    tree.clear();
    m.Arbre_A_Construire = false;
    std::size_t noeuds = 3 + 2 * m.Base_Donnees.Flore.rows.size();
    for (const auto &[langue, rows] : m.Base_Donnees.Vernaculaire)
        noeuds += 2 * rows.size();
    tree.reserve(noeuds);
    for (const Racine_Arbre &racine : Racines_Arbre) {
        if (tree.ajoute("", racine.cle, Texte_Ou_Anglais(m.Num_Langue, racine.texte), "livre_ferme"))
            tree.dernier().Sorted = true;
    }

    for (const FloreRow &row : m.Base_Donnees.Flore.rows) {
        if (!row.Famille || !row.Code)
            continue;
        const std::string &famille = *row.Famille;
        if (tree.ajoute("Familles", famille, casseNomPropre(famille), "livre_ferme")) {
            NoeudArbre &node = tree.dernier();
            node.Tag = "Fam";
            node.Sorted = true;
        }
        if (tree.ajoute(famille, *row.Code, row.Espece, "page"))
            tree.dernier().Tag = "Esp";
        if (tree.ajoute("Espèces", *row.Code + "S", row.Espece, "page"))
            tree.dernier().Tag = "Esp" + famille;
    }

    for (const CommunsLanguesRow *langue : m.Base_Donnees.languesOrdonnees()) {
        if (!langue->Langue)
            continue;
        const std::string key = "S" + *langue->Langue;
        if (tree.ajoute("Communs", key, *langue->Langue, "livre_ferme")) {
            NoeudArbre &node = tree.dernier();
            node.Tag = key;
            node.Sorted = true;
        }
        const auto query = m.Base_Donnees.Vernaculaire.find(nomVernaculaire(*langue->Langue));
        if (query == m.Base_Donnees.Vernaculaire.end())
            continue;
        for (const VernaculaireRow &row : query->second) {
            if (!row.Nom || !row.Code)
                continue;
            if (tree.ajoute(key, *row.Nom, *row.Nom, "livre_ferme")) {
                NoeudArbre &node = tree.dernier();
                node.Tag = "Com";
                node.Sorted = true;
            }
            const std::string speciesKey = *row.Code + *row.Nom;
            if (tree.ajoute(*row.Nom, speciesKey, row.Espece.value_or(""), "page"))
                tree.dernier().Tag = "Csp" + *row.Code + row.Famille.value_or("");
        }
    }
}

Arbre_Especes &Arbre_Des_Especes(KeyModel &m)
{
    if (m.Arbre_A_Construire)
        Construit_Arbre(m);
    return m.Arbre;
}

} // namespace tarvenko

#include "knowledge/data_files.h"
#include "knowledge/file_lookup.h"

namespace tarvenko {

std::string Message_Base_Inaccessible(const std::string &path, int numero)
{
    // Basic's Str puts a blank before a positive number, a minus sign before a negative one.
    std::string text = path;
    text.append(", Erreur N°");
    if (numero >= 0)
        text.push_back(' ');
    text.append(std::to_string(numero));
    return text;
}

ResultatChargement Charge_Connaissances(KeyModel &m, const std::function<void(KeyModel &)> &echantillonnePalette,
                                        const PrepareBase &prepare)
{
    using Etat = ResultatChargement::Etat;
    ResultatChargement result;
    std::string base = resoutChemin(m.Chemin_Base);
    if ((prepare && !prepare(std::string(base), base, result.erreur)) || !Charge_Tables(base, m.Base_Donnees, result.erreur)) {
        result.etat = Etat::BaseInaccessible;
        result.chemin = m.Chemin_Base;
        return result;
    }
    Lit_Parametres_Palette(m);
    Lit_Codes_Couleur(m);
    if (echantillonnePalette)
        echantillonnePalette(m);
    Lit_Parametres(m);
    Dimensionne_Modele(m);
    Lit_Jokers(m);

    switch (Lit_Poids(m)) {
    case LectureDat::OuvertureImpossible: return {Etat::PoidsInaccessible, {}, Chemin_Poids(m), {}, 0};
    case LectureDat::LectureImpossible: return {Etat::PoidsIllisible, {}, Chemin_Poids(m), {}, 0};
    case LectureDat::Ok: break;
    }
    result.lignesListe = Lit_Noms_Especes(m);
    // The tree of another key, or of this one in another language, must not outlive the load.
    m.Arbre.clear();
    m.Arbre_A_Construire = true;
    result.valeursIgnorees = Lit_Caracteres_Num(m);
    const LectureDat matrice = Lit_Matrice(m);
    ++m.Generation_Donnees;
    switch (matrice) {
    case LectureDat::OuvertureImpossible: return {Etat::MatriceInaccessible, {}, Chemin_Matrice(m), {}, 0};
    case LectureDat::LectureImpossible: return {Etat::MatriceIllisible, {}, Chemin_Matrice(m), {}, 0};
    case LectureDat::Ok: break;
    }
    return result;
}

} // namespace tarvenko
