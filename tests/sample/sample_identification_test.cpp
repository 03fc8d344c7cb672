// The key identifies: every two species are told apart by some character, a species described by
// its most telling characters comes first alone at 100 %, and a person who answers the questions
// the key proposes reaches a single leading species in a few questions.
#include <iostream>
#include <numeric>

#include "engine/discriminant.h"
#include "sample_base.h"

namespace tarvenko::test {
namespace {

class SampleIdentification : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_m = new KeyModel(chargeEchantillon()); }
    static void TearDownTestSuite() { delete s_m; }
    // A fresh identification on the loaded key.
    static KeyModel neuf()
    {
        KeyModel m = *s_m;
        Nettoye(m);
        Lit_Jokers(m);
        Affiche_Especes(m);
        return m;
    }
    static inline KeyModel *s_m = nullptr;
};

TEST_F(SampleIdentification, everyPairOfSpeciesIsSeparatedBySomeCharacter)
{
    const KeyModel m = neuf();
    const auto cars = caracteres(m);
    std::vector<std::string> inseparables;
    for (int a = 0; a < m.Nb_Esp; ++a)
        for (int b = a + 1; b < m.Nb_Esp; ++b) {
            bool ok = false;
            for (const Caractere &c : cars)
                ok = ok || separe(m, a, b, c);
            if (!ok)
                inseparables.push_back(m.Nom_Esp[static_cast<std::size_t>(a)] + " / " + m.Nom_Esp[static_cast<std::size_t>(b)]);
        }
    EXPECT_TRUE(inseparables.empty()) << ::testing::PrintToString(inseparables);
}

// The eight characters that rule out most of the other species, greedily, each answered with the
// species' state that rules out most.
std::vector<int> huitMeilleursEtats(const KeyModel &m, int s)
{
    std::vector<bool> restant(static_cast<std::size_t>(m.Nb_Esp), true);
    restant[static_cast<std::size_t>(s)] = false;
    std::vector<int> choisis;
    std::set<int> utilises;
    const auto cars = caracteres(m);
    for (int tour = 0; tour < 8; ++tour) {
        int meilleur = -1, elimines = -1;
        for (std::size_t c = 0; c < cars.size(); ++c) {
            if (utilises.count(static_cast<int>(c)))
                continue;
            for (int etat : etatsDe(m, s, cars[c])) {
                int n = 0;
                for (int x = 0; x < m.Nb_Esp; ++x)
                    n += restant[static_cast<std::size_t>(x)] && m.matrice(x, etat) == 0;
                if (n > elimines) {
                    elimines = n;
                    meilleur = etat;
                }
            }
        }
        if (meilleur < 0)
            break;
        for (std::size_t c = 0; c < cars.size(); ++c)
            if (meilleur >= cars[c].premier && meilleur < cars[c].premier + cars[c].nombre)
                utilises.insert(static_cast<int>(c));
        choisis.push_back(meilleur);
        for (int x = 0; x < m.Nb_Esp; ++x)
            if (m.matrice(x, meilleur) == 0)
                restant[static_cast<std::size_t>(x)] = false;
    }
    std::sort(choisis.begin(), choisis.end()); // parents (lower objects) before their dependants
    return choisis;
}

TEST_F(SampleIdentification, eightMostTellingCharactersPutTheSpeciesFirstAlone)
{
    for (int s = 0; s < s_m->Nb_Esp; ++s) {
        KeyModel m = neuf();
        const std::vector<int> etats = huitMeilleursEtats(m, s);
        for (int e : etats)
            repond(m, e);
        Affiche_Especes(m);
        const std::string &nom = m.Nom_Esp[static_cast<std::size_t>(s)];
        EXPECT_EQ(m.Classement[1][0], s) << nom;
        EXPECT_EQ(m.Pourcent_Esp[0], 100) << nom;
        EXPECT_EQ(m.Nb_Esp_Max, 1) << nom << " shares the lead";
    }
}

TEST_F(SampleIdentification, answeringTheProposedQuestionsReachesTheSpecies)
{
    std::vector<int> questions;
    std::vector<std::string> echecs;
    for (int s = 0; s < s_m->Nb_Esp; ++s) {
        KeyModel m = neuf();
        int n = 0;
        for (int tour = 0; tour < 60 && m.Nb_Esp_Max != 1; ++tour) {
            const ResultatRecherche r = Cherche_Discriminant(m);
            if (r.issue != ResultatRecherche::Issue::Question)
                break;
            const Descripteur &d = m.Descripteur_Courant;
            int reponse = -1;
            for (int k = d.Index_Car; k < d.Index_Car + d.Nb_Car && reponse < 0; ++k)
                if (m.matrice(s, k) != 0)
                    reponse = k;
            if (reponse < 0) {
                // The character does not apply to the specimen: pass the question.
                m.Question_Passee = true;
                m.Joker[static_cast<std::size_t>(d.Desc_Num)] = false;
                continue;
            }
            m.Descripteur_Courant.Selection = static_cast<std::int16_t>(reponse - d.Index_Car);
            Valid_Descripteur(m);
            Affiche_Especes(m);
            ++n;
        }
        if (m.Nb_Esp_Max != 1 || m.Classement[1][0] != s)
            echecs.push_back(m.Nom_Esp[static_cast<std::size_t>(s)]);
        questions.push_back(n);
    }
    EXPECT_TRUE(echecs.empty()) << ::testing::PrintToString(echecs);
    const double moyenne = std::accumulate(questions.begin(), questions.end(), 0.0) / static_cast<double>(questions.size());
    const int pire = *std::max_element(questions.begin(), questions.end());
    std::cout << "questions to a single species: mean " << moyenne << ", worst " << pire << '\n';
    RecordProperty("mean_questions", std::to_string(moyenne));
    RecordProperty("worst_questions", pire);
    EXPECT_LE(moyenne, 5.0);
}

} // namespace
} // namespace tarvenko::test
