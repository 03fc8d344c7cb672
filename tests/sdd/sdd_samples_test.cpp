// The published SDD samples converted and read back: every count, matrix cell, range and
// dependency is checked against a second reading of the XML with libxml2's tree and XPath.
#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "engine/answering.h"
#include "engine/scoring.h"
#include "knowledge/sdd/sdd_pages.h"
#include "knowledge/text.h"
#include "sdd/sdd_support.h"

namespace tarvenko::test {
namespace {

const char *const kEchantillons[] = {
    "milichia_revision-sdd.xml", "Key_test.sdd.xml", "genetta.sdd.xml",     "genetta-num.sdd.xml",
    "feuillesSDD.xml",           "feuillesImagesURL.xml", "insect_aquatique.sdd.xml", "ant.sdd.xml",
    "BC_Gadiformes_du_monde.sdd.xml",
};

const std::string kJeu = "/u:Datasets/u:Dataset[1]";

// Each sample converted once for the whole program, with its summary and its key loaded.
struct Converti {
    std::string dossier;
    sdd::Bilan bilan;
    KeyModel m;
};

const Converti &converti(const std::string &nom)
{
    static TempDir racine;
    static std::map<std::string, std::unique_ptr<Converti>> faits;
    auto &c = faits[nom];
    if (!c) {
        c = std::make_unique<Converti>();
        c->dossier = racine.dossier() + nom + ".cle";
        std::string erreur;
        EXPECT_TRUE(sdd::convertitVers(echantillonSdd(nom), c->dossier, c->bilan, erreur)) << erreur;
        EXPECT_EQ(chargeCle(c->m, c->dossier).etat, ResultatChargement::Etat::Ok) << nom;
    }
    return *c;
}

// The species names the key must show, in document order: the labels, " (2)" on a repeat.
std::vector<std::string> nomsAttendus(const LectureXPath &x)
{
    std::vector<std::string> noms;
    std::map<std::string, int> vus;
    for (xmlNodePtr d : x.noeuds(kJeu + "/u:CodedDescriptions/u:CodedDescription")) {
        std::string nom = x.texte("u:Representation/u:Label", d);
        if (const int n = ++vus[minusculesAscii(nom)]; n > 1)
            nom += " (" + std::to_string(n) + ")";
        noms.push_back(nom);
    }
    return noms;
}

int especeDe(const KeyModel &m, const std::string &nom)
{
    const auto it = std::find(m.Nom_Esp.begin(), m.Nom_Esp.end(), nom);
    EXPECT_NE(it, m.Nom_Esp.end()) << nom;
    return static_cast<int>(it - m.Nom_Esp.begin());
}

TEST(SddSamples, countsEqualASecondReadingOfTheFile)
{
    EXIGE_ECHANTILLONS_SDD();
    for (const char *nom : kEchantillons) {
        SCOPED_TRACE(nom);
        const LectureXPath x(echantillonSdd(nom));
        ASSERT_TRUE(x.ok());
        const Converti &c = converti(nom);
        const std::string car = kJeu + "/u:Characters/";
        EXPECT_EQ(c.m.Nb_Esp, x.compte(kJeu + "/u:CodedDescriptions/u:CodedDescription"));
        EXPECT_EQ(c.m.Base_Donnees.Objets_Fic.size(), x.compte(car + "u:CategoricalCharacter[u:States/u:StateDefinition]"));
        EXPECT_EQ(c.m.Nb_Etats_Desc, x.compte(car + "u:CategoricalCharacter/u:States/u:StateDefinition"));
        EXPECT_EQ(c.m.Caracteres_Num.size(), x.compte(car + "u:QuantitativeCharacter"));
        EXPECT_EQ(c.bilan.textes, x.compte(car + "u:TextCharacter"));
        EXPECT_EQ(c.bilan.codages, x.compte(kJeu + "/u:CodedDescriptions/u:CodedDescription/u:SummaryData/*"));
        std::vector<std::string> noms = nomsAttendus(x), lus = c.m.Nom_Esp;
        std::sort(noms.begin(), noms.end());
        std::sort(lus.begin(), lus.end());
        EXPECT_EQ(lus, noms);
    }
}

TEST(SddSamples, matrixHoldsTheCodedStatesAndEveryStateOfUnknownData)
{
    EXIGE_ECHANTILLONS_SDD();
    for (const char *nom : kEchantillons) {
        SCOPED_TRACE(nom);
        const LectureXPath x(echantillonSdd(nom));
        const KeyModel &m = converti(nom).m;
        const std::vector<std::string> noms = nomsAttendus(x);
        const auto descriptions = x.noeuds(kJeu + "/u:CodedDescriptions/u:CodedDescription");
        int cellulesUn = 0;
        for (std::size_t i = 0; i < descriptions.size(); ++i) {
            const int s = especeDe(m, noms[i]);
            for (const ObjetRow &o : m.Base_Donnees.Objets_Fic.rows) {
                const std::string id = *o.Objet;
                const auto codage = x.noeuds("u:SummaryData/u:Categorical[@ref='" + id + "']", descriptions[i]);
                std::set<std::string> coches;
                if (!codage.empty() && x.noeuds("u:Status", codage.front()).empty())
                    for (xmlNodePtr e : x.noeuds("u:State", codage.front()))
                        coches.insert(LectureXPath::attribut(e, "ref"));
                for (int e = *o.Index_Car; e < *o.Index_Car + *o.Nb_Car; ++e) {
                    const std::string etat = *m.Base_Donnees.caractere(e)->ID_CARAC;
                    const int attendu = coches.empty() || coches.count(etat) ? 1 : 0;
                    ASSERT_EQ(m.matrice(s, e), attendu) << noms[i] << " " << id << " " << etat;
                    cellulesUn += attendu;
                }
            }
        }
        EXPECT_GT(cellulesUn, 0);
    }
}

TEST(SddSamples, rangesRunFromTheSmallestToTheLargestMeasure)
{
    EXIGE_ECHANTILLONS_SDD();
    int plages = 0;
    for (const char *nom : kEchantillons) {
        SCOPED_TRACE(nom);
        const LectureXPath x(echantillonSdd(nom));
        const KeyModel &m = converti(nom).m;
        const std::vector<std::string> noms = nomsAttendus(x);
        const auto descriptions = x.noeuds(kJeu + "/u:CodedDescriptions/u:CodedDescription");
        for (const Caractere_Num &c : m.Caracteres_Num) {
            for (std::size_t i = 0; i < descriptions.size(); ++i) {
                const auto s = static_cast<std::size_t>(especeDe(m, noms[i]));
                const auto mesures = x.noeuds("u:SummaryData/u:Quantitative[@ref='" + c.Objet + "'][not(u:Status)]/u:Measure"
                                              "[@type='Min' or @type='Max' or @type='Mean' or @type='UMethLower' or @type='UMethUpper']",
                                              descriptions[i]);
                ASSERT_EQ(c.connue[s] != 0, !mesures.empty()) << noms[i] << " " << c.Objet;
                if (mesures.empty())
                    continue;
                std::vector<double> v;
                for (xmlNodePtr n : mesures)
                    v.push_back(std::stod(LectureXPath::attribut(n, "value")));
                EXPECT_EQ(c.minimum[s], *std::min_element(v.begin(), v.end())) << noms[i];
                EXPECT_EQ(c.maximum[s], *std::max_element(v.begin(), v.end())) << noms[i];
                ++plages;
            }
        }
    }
    EXPECT_GT(plages, 35);
}

TEST(SddSamples, dependencyRulesBecomeDescendanceRows)
{
    EXIGE_ECHANTILLONS_SDD();
    int regles = 0;
    for (const char *nom : kEchantillons) {
        SCOPED_TRACE(nom);
        const LectureXPath x(echantillonSdd(nom));
        const KeyModel &m = converti(nom).m;
        std::set<std::pair<std::string, std::string>> attendues, lues;
        for (xmlNodePtr n : x.noeuds(kJeu + "/u:CharacterTrees/u:CharacterTree/u:Nodes/u:CharNode[u:DependencyRules]")) {
            const std::string dependant = LectureXPath::attribut(x.noeuds("u:Character", n).front(), "ref");
            for (xmlNodePtr e : x.noeuds("u:DependencyRules/u:OnlyApplicableIf/u:State", n))
                attendues.emplace(LectureXPath::attribut(e, "ref"), dependant);
            // Inapplicable under some states: applicable under the others of their character.
            std::set<std::string> exclus;
            for (xmlNodePtr e : x.noeuds("u:DependencyRules/u:InapplicableIf/u:State", n))
                exclus.insert(LectureXPath::attribut(e, "ref"));
            for (const std::string &e : exclus)
                for (xmlNodePtr autre : x.noeuds(kJeu + "/u:Characters/*/u:States[u:StateDefinition/@id='" + e + "']/u:StateDefinition"))
                    if (!exclus.count(LectureXPath::attribut(autre, "id")))
                        attendues.emplace(LectureXPath::attribut(autre, "id"), dependant);
        }
        for (const DescendanceRow &r : m.Base_Donnees.Descendance.rows)
            lues.emplace(*r.ID_CARAC, *r.Objet);
        EXPECT_EQ(lues, attendues);
        regles += static_cast<int>(lues.size());
    }
    EXPECT_GT(regles, 20);
}

TEST(SddSamples, groupsComeFromTheCharacterTree)
{
    EXIGE_ECHANTILLONS_SDD();
    struct Cas {
        const char *fichier, *objet, *groupe;
    };
    const Cas cas[] = {
        {"genetta.sdd.xml", "c9", "Teeth"},   // a group of the second tree, named by its concept
        {"genetta.sdd.xml", "c1", "Skull"},   // in no group in the first tree
        {"Key_test.sdd.xml", "c1", nullptr},  // a tree without groups
    };
    for (const Cas &c : cas) {
        const KeyModel &m = converti(c.fichier).m;
        const ObjetRow *o = m.Base_Donnees.objet(c.objet);
        ASSERT_NE(o, nullptr) << c.objet;
        if (!c.groupe) {
            EXPECT_EQ(*o->Cadre, -1) << c.objet;
            continue;
        }
        ASSERT_GE(*o->Cadre, 0) << c.objet;
        const CadreRow *g = m.Base_Donnees.cadre(*o->Cadre);
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->Nom[0].value_or(""), c.groupe);
    }
}

TEST(SddSamples, everyTaxonHasItsPageNamedByItsCode)
{
    EXIGE_ECHANTILLONS_SDD();
    for (const char *nom : kEchantillons) {
        SCOPED_TRACE(nom);
        const Converti &c = converti(nom);
        for (const FloreRow &f : c.m.Base_Donnees.Flore.rows) {
            const std::string code = *f.Code;
            ASSERT_EQ(code.size(), 5u);
            std::ifstream page(c.dossier + "/documents/" + code.substr(0, 1) + "/" + code + "/" + code + "_en.html");
            ASSERT_TRUE(page) << code;
            const std::string html{std::istreambuf_iterator<char>(page), std::istreambuf_iterator<char>()};
            EXPECT_NE(html.find("<h1>" + echappeHtml(f.Espece) + "</h1>"), std::string::npos) << f.Espece;
        }
    }
}

// Played with the engine: after one answer, the taxa that have the state lead at 100 % and the
// others fall behind.
TEST(SddSamples, anAnswerRanksTheTaxaThatHaveTheStateFirst)
{
    EXIGE_ECHANTILLONS_SDD();
    for (const char *nom : kEchantillons) {
        SCOPED_TRACE(nom);
        KeyModel m = converti(nom).m;
        Nettoye(m);
        // The first state some taxa have and others lack.
        int etat = -1;
        for (int e = 0; e < m.Nb_Etats_Desc && etat < 0; ++e) {
            int avec = 0;
            for (int s = 0; s < m.Nb_Esp; ++s)
                avec += m.matrice(s, e);
            if (avec > 0 && avec < m.Nb_Esp)
                etat = e;
        }
        ASSERT_GE(etat, 0);
        const ObjetRow *o = Objet_De_Etat(m, etat);
        ASSERT_NE(o, nullptr);
        Ouvre_Descripteur(m, *o, *o->Objet);
        m.Descripteur_Courant.Selection = static_cast<std::int16_t>(etat - *o->Index_Car);
        Valid_Descripteur(m);
        Calcule_Scores(m);
        Trie_Scores(m);
        Calcule_Pourcentages(m);
        for (std::size_t r = 0; r < m.Pourcent_Esp.size(); ++r) {
            const int s = static_cast<int>(m.Classement[1][r]);
            EXPECT_EQ(m.Pourcent_Esp[r] == 100, m.matrice(s, etat) == 1) << m.Nom_Esp[static_cast<std::size_t>(s)];
        }
    }
}

} // namespace
} // namespace tarvenko::test
