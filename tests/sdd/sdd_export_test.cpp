// A key written as SDD and imported again is the same key: species, questions, states,
// dependencies, groups, numeric characters, and the ranking of any answer set.
#include <filesystem>
#include <random>
#include <set>

#include "engine/answering.h"
#include "engine/numeric_characters.h"
#include "engine/scoring.h"
#include "knowledge/key_location.h"
#include "knowledge/key_texts.h"
#include "knowledge/sdd/sdd_export.h"
#include "sdd/sdd_support.h"

namespace tarvenko::test {
namespace {

namespace fs = std::filesystem;

bool chargeDossier(KeyModel &m, const std::string &dossier)
{
    std::string erreur;
    const auto cle = Localise_Cle(dossier, erreur);
    EXPECT_TRUE(cle) << erreur;
    if (!cle)
        return false;
    m = KeyModel{};
    m.Chemin_Data = cle->dossier;
    m.Chemin_Base = cle->dossier + cle->base;
    m.Chemin_Descripteurs = cle->descripteurs.empty() ? "" : cle->descripteurs + "/";
    return Charge_Connaissances(m).etat == ResultatChargement::Etat::Ok;
}

// What a key is made of, in comparable form (state numbers replaced by identifiers).
struct Resume {
    std::map<std::string, std::string> familles;
    std::vector<std::vector<std::string>> questions; // Objet, Contrainte, group mate, states and names
    std::set<std::pair<std::string, std::string>> descendance;
    std::vector<std::string> numeriques;
    std::map<std::string, int> poids;
    bool operator==(const Resume &) const = default;
};

Resume resume(const KeyModel &m)
{
    Resume r;
    for (const FloreRow &f : m.Base_Donnees.Flore.rows)
        r.familles[f.Espece] = f.Famille.value_or("");
    // Groups compared by which questions share one, since their numbers may differ.
    std::map<int, std::string> premierDuGroupe;
    for (const ObjetRow &o : m.Base_Donnees.Objets_Fic.rows) {
        const int cadre = o.Cadre.value_or(-1);
        if (cadre >= 0)
            premierDuGroupe.emplace(cadre, *o.Objet);
        std::vector<std::string> q{*o.Objet, o.Contrainte.value_or(""), cadre >= 0 ? premierDuGroupe[cadre] : "-",
                                   o.TipText.value_or("")};
        // The texts in Spanish and French, of the question's first row (a further row takes them).
        const bool premiereLigne = m.Base_Donnees.objet(*o.Objet) == &o;
        for (const int langue : {1, 2})
            if (premiereLigne)
                q.push_back(Texte_Question(m.Base_Donnees, o, langue).value_or(""));
        for (int e = *o.Index_Car; e < *o.Index_Car + *o.Nb_Car; ++e) {
            const CaractereRow *c = m.Base_Donnees.caractere(e);
            q.push_back(*c->ID_CARAC + "=" + c->TipText.value_or("") + "/" + Nom_Etat_Langue(m.Base_Donnees, e, 1) + "/" +
                        Nom_Etat_Langue(m.Base_Donnees, e, 2));
            r.poids[*c->ID_CARAC] = m.Poids[static_cast<std::size_t>(e)];
        }
        r.questions.push_back(q);
    }
    for (const DescendanceRow &d : m.Base_Donnees.Descendance.rows)
        r.descendance.emplace(*d.ID_CARAC, *d.Objet);
    for (const Caractere_Num &c : m.Caracteres_Num) {
        std::string n = c.Objet + " " + c.Unite + " " + std::to_string(c.Poids);
        for (std::size_t s = 0; s < c.connue.size(); ++s)
            if (c.connue[s])
                n += " " + m.Nom_Esp[s] + ":" + std::to_string(c.bas[s]) + "-" + std::to_string(c.haut[s]);
        r.numeriques.push_back(n);
    }
    return r;
}

// The ranked lines for an answer set given by identifiers and numeric values.
std::vector<std::string> classe(KeyModel &m, const std::vector<std::string> &etats,
                                const std::vector<std::pair<std::string, double>> &valeurs)
{
    Nettoye(m);
    for (const std::string &id : etats)
        m.Etat_Choisi[static_cast<std::size_t>(m.Base_Donnees.caractereParId(id)->NUM)] = 1;
    for (const auto &[objet, v] : valeurs)
        Repond_Num(m, Caractere_Num_De(m, objet), v);
    Calcule_Scores(m);
    Trie_Scores(m);
    Calcule_Pourcentages(m);
    std::vector<std::string> lignes;
    for (std::size_t r = 0; r < m.Pourcent_Esp.size(); ++r)
        lignes.push_back(std::to_string(m.Pourcent_Esp[r]) + " " + m.Nom_Esp[static_cast<std::size_t>(m.Classement[1][r])]);
    return lignes;
}

void allerRetour(const std::string &dossierCle)
{
    TempDir dir;
    KeyModel original, retour;
    ASSERT_TRUE(chargeDossier(original, dossierCle));
    sdd::BilanExport bilanExport;
    std::string erreur;
    ASSERT_TRUE(sdd::Ecrit_Sdd(original, dir.dossier() + "cle.sdd.xml", bilanExport, erreur)) << erreur;
    EXPECT_EQ(bilanExport.lignesOmises, 0);
    sdd::Bilan bilan;
    ASSERT_TRUE(sdd::convertitVers(dir.dossier() + "cle.sdd.xml", dir.dossier() + "retour", bilan, erreur)) << erreur;
    EXPECT_TRUE(bilan.renommages.empty());
    EXPECT_TRUE(bilan.ignores.empty()) << bilan.ignores.front().raison;
    ASSERT_TRUE(chargeDossier(retour, dir.dossier() + "retour"));

    const Resume a = resume(original), b = resume(retour);
    EXPECT_EQ(b.familles, a.familles);
    EXPECT_EQ(b.questions, a.questions);
    EXPECT_EQ(b.descendance, a.descendance);
    EXPECT_EQ(b.numeriques, a.numeriques);
    EXPECT_EQ(b.poids, a.poids);

    std::mt19937 hasard(19);
    std::vector<std::string> ids;
    for (const CaractereRow &c : original.Base_Donnees.Caracteres.rows)
        ids.push_back(*c.ID_CARAC);
    for (int essai = 0; essai < 100; ++essai) {
        std::vector<std::string> etats;
        for (int k = 1 + static_cast<int>(hasard() % 6); k > 0; --k)
            etats.push_back(ids[hasard() % ids.size()]);
        std::vector<std::pair<std::string, double>> valeurs;
        for (const Caractere_Num &c : original.Caracteres_Num)
            if (hasard() % 2 && !c.haut.empty())
                valeurs.emplace_back(c.Objet, static_cast<double>(hasard() % 400) / 10.0);
        ASSERT_EQ(classe(retour, etats, valeurs), classe(original, etats, valeurs)) << "answer set " << essai;
    }
}

TEST(SddExport, theBundledKeyComesBackTheSameAndRanksAsBefore)
{
    if (!fs::exists(std::string(TARVENKO_SAMPLE_DIR) + "/data"))
        GTEST_SKIP() << "the bundled key is not built in " TARVENKO_SAMPLE_DIR;
    allerRetour(TARVENKO_SAMPLE_DIR);
}

TEST(SddExport, publishedKeysComeBackTheSameAndRankAsBefore)
{
    EXIGE_ECHANTILLONS_SDD();
    for (const char *nom : {"Key_test.sdd.xml", "milichia_revision-sdd.xml", "genetta.sdd.xml"}) {
        SCOPED_TRACE(nom);
        TempDir dir;
        sdd::Bilan bilan;
        std::string erreur;
        ASSERT_TRUE(sdd::convertitVers(echantillonSdd(nom), dir.dossier() + "cle", bilan, erreur)) << erreur;
        allerRetour(dir.dossier() + "cle");
    }
}

} // namespace
} // namespace tarvenko::test
