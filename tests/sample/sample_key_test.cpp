// The shipped knowledge base holds together: every reference resolves, the counts match the
// tables and files, the dependencies end, and the key is large and varied enough to be useful.
#include <filesystem>
#include <functional>
#include <set>

#include "sample_base.h"
#include "engine/question_list.h"
#include "knowledge/key_texts.h"
#include "knowledge/text.h"
#include "knowledge/file_lookup.h"

namespace tarvenko::test {
namespace {

namespace fs = std::filesystem;

class SampleKey : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_m = new KeyModel(chargeEchantillon()); }
    static void TearDownTestSuite() { delete s_m; }
    static KeyModel &m() { return *s_m; }
    static bool existe(const std::string &chemin) { return cheminExiste(chemin); }
    static inline KeyModel *s_m = nullptr;
};

TEST_F(SampleKey, stateRangesTileTheStatesWithoutOverlap)
{
    std::vector<int> couverture(static_cast<std::size_t>(m().Nb_Etats_Desc), 0);
    for (const Caractere &c : caracteres(m())) {
        ASSERT_GE(c.premier, 0);
        ASSERT_LE(c.premier + c.nombre, m().Nb_Etats_Desc) << c.ligne->Objet.value_or("");
        for (int k = c.premier; k < c.premier + c.nombre; ++k)
            ++couverture[static_cast<std::size_t>(k)];
    }
    for (std::size_t k = 0; k < couverture.size(); ++k)
        EXPECT_EQ(couverture[k], 1) << "state " << k;
    // Rows of one object either share their states or have their own.
    for (const ObjetRow &o : m().Base_Donnees.Objets_Fic.rows)
        EXPECT_EQ(o.Lignes.value_or(0) * o.Colonnes.value_or(0), o.Nb_Car.value_or(-1)) << *o.Objet << ": one cell per state";
}

TEST_F(SampleKey, descriptorNumbersAreDistinctAndBelowTheRowCount)
{
    std::set<int> vus;
    const int n = static_cast<int>(m().Base_Donnees.Objets_Fic.size());
    for (const ObjetRow &o : m().Base_Donnees.Objets_Fic.rows) {
        ASSERT_TRUE(o.Desc_Num.has_value());
        EXPECT_LT(*o.Desc_Num, n);
        EXPECT_TRUE(vus.insert(*o.Desc_Num).second) << *o.Objet;
        EXPECT_LT(o.Cadre.value_or(-1), m().Nb_Cadre);
    }
}

TEST_F(SampleKey, everyReferenceResolves)
{
    const Tables &t = m().Base_Donnees;
    const auto etatConnu = [&](const std::string &id) { return t.caractereParId(id) != nullptr; };
    const auto objetConnu = [&](const std::string &o) { return t.objet(o) != nullptr; };
    const auto conditions = [&](const Contraintes &c, const std::string &ou) {
        bool fin = false;
        for (const auto &v : c) {
            ASSERT_TRUE(v.has_value()) << ou;
            if (*v == "Fin") {
                fin = true;
                break;
            }
            EXPECT_TRUE(etatConnu(*v)) << ou << ": " << *v;
        }
        EXPECT_TRUE(fin) << ou << ": no Fin";
    };
    for (const HierarchieRow &h : t.Hierarchie.rows)
        conditions(h.C, "Hierarchie " + std::to_string(h.Numero));
    for (const ClicZoneRow &z : t.Clic_Zone.rows) {
        conditions(z.C, "Clic_Zone " + std::to_string(z.Numero));
        EXPECT_TRUE(objetConnu(z.Nom.value_or(""))) << *z.Nom;
    }
    for (const DescendanceRow &d : t.Descendance.rows) {
        EXPECT_TRUE(etatConnu(d.ID_CARAC.value_or(""))) << d.Numero;
        EXPECT_TRUE(objetConnu(d.Objet.value_or(""))) << d.Numero;
    }
    for (const CouleurRow &c : t.Couleurs.rows)
        EXPECT_TRUE(objetConnu(c.Code_Couleur.value_or(""))) << c.Num_Couleur;
    for (const ButDeterRow &b : t.But_Deter.rows) {
        const std::string cle = b.Key.value_or("");
        EXPECT_TRUE(cle == "Search" || cle == "Results" || objetConnu(cle)) << cle;
        EXPECT_TRUE(existe(m().Chemin_Data + b.File.value_or("?"))) << *b.File;
    }
    for (const ButQuestRow &b : t.But_Quest.rows)
        EXPECT_TRUE(existe(m().Chemin_Data + b.File.value_or("?"))) << *b.File;
    for (const ContradictionRow &c : t.Contradictions.rows) {
        EXPECT_TRUE(objetConnu(c.Objet)) << c.Objet;
        const std::string fichier = m().Chemin_Robot + "contra\\" + c.Popup.value_or("?") + (c.Bouton.value_or(0) == -1 ? ".wmf" : ".ico");
        EXPECT_TRUE(existe(fichier)) << fichier;
        if (c.Bouton.value_or(-1) != -1) {
            EXPECT_NE(t.butDeter(*c.Bouton), nullptr) << c.Objet;
        }
    }
    for (const ObjetRow &o : t.Objets_Fic.rows) {
        if (o.Contrainte) {
            EXPECT_TRUE(etatConnu(*o.Contrainte)) << *o.Objet;
        }
        EXPECT_TRUE(existe(dossierEchantillon() + "descripteurs/" + o.Popup.value_or("?"))) << *o.Popup;
    }
    for (const HierarchieRow &h : t.Hierarchie.rows) {
        const std::string dossier = (*h.Robot_Num < 10 ? "0" : "") + std::to_string(*h.Robot_Num);
        EXPECT_TRUE(existe(m().Chemin_Robot + dossier + "/" + h.Nom.value_or("?"))) << *h.Nom;
        EXPECT_LT(*h.Robot_Num, m().Nb_Robot);
    }
    EXPECT_TRUE(existe(m().Chemin_Data + "couleur.wmf"));
    for (const char *l : {"en", "es", "fr"})
        EXPECT_TRUE(existe(m().Chemin_Data + "error_" + l + ".html")) << l;
}

TEST_F(SampleKey, countsMatchTheTablesAndTheFiles)
{
    const Tables &t = m().Base_Donnees;
    EXPECT_EQ(m().Nb_Esp, static_cast<int>(t.Flore.size()));
    EXPECT_EQ(m().Nb_Etats_Desc, static_cast<int>(t.Caracteres.size()));
    EXPECT_EQ(m().Nb_Couleurs, static_cast<int>(t.Couleurs.size()));
    EXPECT_EQ(m().Nb_But_Deter, static_cast<int>(t.But_Deter.size()));
    EXPECT_EQ(m().Nb_But_Quest, 3); // validate, leave, pass
    EXPECT_EQ(fs::file_size(m().Chemin_Data + "POIDS.DAT"), 2u * static_cast<std::size_t>(m().Nb_Etats_Desc));
    EXPECT_EQ(fs::file_size(m().Chemin_Data + "MATRICE.DAT"),
              2u * static_cast<std::size_t>(m().Nb_Esp) * static_cast<std::size_t>(m().Nb_Etats_Desc));
    for (int b = 1; b <= m().Nb_But_Deter; ++b)
        EXPECT_NE(t.butDeter(b), nullptr) << b;
    EXPECT_EQ(t.butDeter(m().Nb_But_Deter - 1)->Key, "Search");
    EXPECT_EQ(t.butDeter(m().Nb_But_Deter)->Key, "Results");
    // Every layer has a last row without conditions, so that every answer gives it a picture.
    for (int r = 0; r < m().Nb_Robot; ++r) {
        const HierarchieRow *dernier = nullptr;
        for (const HierarchieRow &h : t.Hierarchie.rows)
            if (h.Robot_Num == r)
                dernier = &h;
        ASSERT_NE(dernier, nullptr) << "layer " << r;
        EXPECT_EQ(dernier->C.at(0), "Fin") << "layer " << r;
    }
}

TEST_F(SampleKey, constrainedObjectEndsWithAnUnconstrainedRow)
{
    EXPECT_GT(m().Version_Database, 300);
    std::map<std::string, std::vector<const ObjetRow *>> parObjet;
    for (const ObjetRow &o : m().Base_Donnees.Objets_Fic.rows)
        parObjet[*o.Objet].push_back(&o);
    int contraints = 0;
    for (const auto &[objet, lignes] : parObjet) {
        const auto ordre = m().Base_Donnees.objets(objet);
        EXPECT_FALSE(ordre.back()->Contrainte.has_value()) << objet;
        contraints += lignes.size() > 1;
    }
    EXPECT_GE(contraints, 1);
}

TEST_F(SampleKey, dependenciesHaveNoCycle)
{
    // state -> objects that depend on it -> their states -> ...
    std::map<std::string, std::vector<std::string>> enfants;
    for (const DescendanceRow &d : m().Base_Donnees.Descendance.rows)
        enfants[*d.ID_CARAC].push_back(*d.Objet);
    std::map<std::string, int> etat; // 1 on the path, 2 done
    std::function<bool(const std::string &)> sansBoucle = [&](const std::string &id) {
        if (etat[id] == 1)
            return false;
        if (etat[id] == 2)
            return true;
        etat[id] = 1;
        for (const std::string &o : enfants[id]) {
            const ObjetRow *row = m().Base_Donnees.objet(o);
            for (int k = *row->Index_Car; k < *row->Index_Car + *row->Nb_Car; ++k)
                if (!sansBoucle(*m().Base_Donnees.caractere(k)->ID_CARAC))
                    return false;
        }
        etat[id] = 2;
        return true;
    };
    for (const CaractereRow &c : m().Base_Donnees.Caracteres.rows)
        EXPECT_TRUE(sansBoucle(*c.ID_CARAC)) << *c.ID_CARAC;
    // Broad-leaf details depend on broad leaves, needle details on needles, cone details on cones.
    const auto parent = [&](const std::string &objet) {
        std::set<std::string> p;
        for (const DescendanceRow &d : m().Base_Donnees.Descendance.rows)
            if (d.Objet == objet)
                p.insert(*d.ID_CARAC);
        return p;
    };
    EXPECT_EQ(parent("MARGE"), std::set<std::string>{"FT_LARGE"});
    EXPECT_EQ(parent("COMPOSITION"), std::set<std::string>{"FT_LARGE"});
    EXPECT_EQ(parent("AIGUILLES"), std::set<std::string>{"FT_AIGUILLE"});
    EXPECT_EQ(parent("CONE_FORME"), std::set<std::string>{"FR_CONE"});
}

TEST_F(SampleKey, isLargeAndVariedEnough)
{
    std::set<std::string> familles;
    for (const FloreRow &f : m().Base_Donnees.Flore.rows) {
        familles.insert(*f.Famille);
        EXPECT_EQ(f.Code.value_or("").size(), 5u) << f.Espece;
        EXPECT_TRUE(f.Legende.has_value()) << f.Espece;
    }
    EXPECT_GE(m().Nb_Esp, 100);
    EXPECT_GE(familles.size(), 30u);
    EXPECT_GE(caracteres(m()).size(), 25u);
    EXPECT_GE(m().Nb_Etats_Desc, 120);
    EXPECT_GE(m().Nb_Robot, 6);
    // Every species has a leaf type, a fruit, a bark and a crown, and common names in each language.
    const auto etats = [&](const std::string &objet) {
        const ObjetRow *o = m().Base_Donnees.objet(objet);
        return Caractere{o, *o->Index_Car, *o->Nb_Car};
    };
    for (int s = 0; s < m().Nb_Esp; ++s)
        for (const char *o : {"FEUILLE", "FRUIT", "ECORCE", "PORT", "PERSISTANCE", "HABITAT"})
            EXPECT_FALSE(etatsDe(m(), s, etats(o)).empty()) << m().Nom_Esp[static_cast<std::size_t>(s)] << " " << o;
    ASSERT_EQ(m().Base_Donnees.Communs_Langues.size(), 3u);
    for (const auto &[vue, noms] : m().Base_Donnees.Vernaculaire) {
        std::set<std::string> especes;
        for (const VernaculaireRow &n : noms)
            especes.insert(n.Espece.value_or(""));
        EXPECT_EQ(especes.size(), static_cast<std::size_t>(m().Nb_Esp)) << vue;
    }
    // Reliable characters weigh more than variable ones.
    const auto poids = [&](const std::string &objet) { return m().Poids[static_cast<std::size_t>(*m().Base_Donnees.objet(objet)->Index_Car)]; };
    EXPECT_GT(poids("FEUILLE"), poids("PORT"));
    EXPECT_GT(poids("FRUIT"), poids("HAUTEUR"));
}

// What a person sees on a real tree must be among the states the species is coded with, or the
// specimen scores low; each row was checked against floras. `non` rows are states a flora rules out.
TEST_F(SampleKey, whatTheTreesShowInTheFieldIsCoded)
{
    struct Fait {
        const char *espece, *etat;
        bool oui = true;
    };
    const Fait faits[] = {
        // The whole leaf, stalk included.
        {"Acer campestre", "TF_3"}, {"Acer pseudoplatanus", "TF_4"}, {"Acer platanoides", "TF_4"}, {"Populus tremula", "TF_3"},
        {"Tilia cordata", "TF_3"}, {"Crataegus monogyna", "TF_2"}, {"Ginkgo biloba", "TF_3"}, {"Liquidambar styraciflua", "TF_4"},
        {"Liriodendron tulipifera", "TF_4"}, {"Acer negundo", "TF_4"}, {"Cercis siliquastrum", "TF_3"}, {"Laburnum anagyroides", "TF_3"},
        // The seed catkin is what is measured once it is the answer.
        {"Populus nigra", "FS_3"}, {"Populus tremula", "FS_4"}, {"Salix caprea", "FS_3"}, {"Salix alba", "FS_2"},
        // Flowers.
        {"Prunus padus", "FL_ROSACEE"}, {"Prunus laurocerasus", "FL_ROSACEE"}, {"Crataegus monogyna", "FL_GRAPPE"},
        {"Sorbus aria", "FL_GRAPPE"}, {"Sorbus torminalis", "FL_GRAPPE"}, {"Prunus avium", "FL_GRAPPE"},
        {"Arbutus unedo", "FL_GRAPPE"}, {"Arbutus unedo", "FL_DISCRETE", false},
        // Bark and colours.
        {"Betula pendula", "EC_SILLONNEE"}, {"Populus alba", "EC_SILLONNEE"}, {"Pinus halepensis", "EK_ROUGE"}, {"Pinus halepensis", "EK_BRUN"},
        {"Prunus spinosa", "FC_NOIR"}, {"Juniperus communis", "FC_NOIR"}, {"Juniperus communis", "FC_VERT"}, {"Cercis siliquastrum", "FC_NOIR"},
        // Conifers.
        {"Cedrus atlantica", "AI_ISOLEES"}, {"Cedrus libani", "AI_ISOLEES"}, {"Picea abies", "TA_1"}, {"Cedrus atlantica", "TA_1"},
        {"Sequoiadendron giganteum", "CP_PENDANT"}, {"Sequoiadendron giganteum", "FC_VERT"}, {"Cupressus sempervirens", "FS_3"},
        {"Cedrus libani", "PO_CONIQUE"},
        // Leaves.
        {"Eucalyptus globulus", "PE_LONG"}, {"Quercus suber", "MA_ENTIERE"}, {"Quercus ilex", "MA_DENTEE"}, {"Ailanthus altissima", "MA_DENTEE"},
        {"Salix babylonica", "FI_PALE"}, {"Salix babylonica", "FI_BLANCHE", false},
        // Colours, sections and bases that only some trees show.
        {"Pinus sylvestris", "EK_ORANGE"}, {"Platanus × hispanica", "EK_CREME"}, {"Populus tremula", "EK_VERT"}, {"Populus alba", "RA_FEUTRE"}, {"Salix babylonica", "RA_JAUNE"}, {"Larix decidua", "RA_JAUNE"},
        {"Pinus strobus", "AF_TRIANGLE"}, {"Juniperus communis", "AT_ARTICULEE"}, {"Juniperus communis", "AT_DECURRENTE", false},
        // Every answer a reasonable person gives.
        {"Alnus glutinosa", "FR_CONE"}, {"Alnus glutinosa", "FR_CHATON"}, {"Populus nigra", "FR_CAPSULE"}, {"Salix alba", "FR_CHATON"},
        {"Araucaria araucana", "FT_AIGUILLE"}, {"Araucaria araucana", "FT_LARGE"}, {"Acer pseudoplatanus", "BO_VERT"}, {"Fraxinus excelsior", "BO_NOIR"},
    };
    for (const Fait &f : faits) {
        const auto it = std::find(m().Nom_Esp.begin(), m().Nom_Esp.end(), f.espece);
        ASSERT_NE(it, m().Nom_Esp.end()) << f.espece;
        const CaractereRow *etat = m().Base_Donnees.caractereParId(f.etat);
        ASSERT_NE(etat, nullptr) << f.etat;
        EXPECT_EQ(m().matrice(static_cast<int>(it - m().Nom_Esp.begin()), etat->NUM) != 0, f.oui) << f.espece << " " << f.etat;
    }
}

// A leaf length is only asked, and only kept, while the leaf type it measures is the answer.
TEST_F(SampleKey, lengthsDependOnTheLeafTypeTheyMeasure)
{
    std::map<std::string, std::set<std::string>> parents;
    for (const DescendanceRow &d : m().Base_Donnees.Descendance.rows)
        parents[*d.Objet].insert(*d.ID_CARAC);
    EXPECT_EQ(parents["TAILLE"], std::set<std::string>{"FT_AIGUILLE"});
    EXPECT_EQ(parents["TAILLE_FEU"], std::set<std::string>{"FT_LARGE"});
    // A leaf length answered under broad leaves does not stay to count against scale-leaved trees.
    KeyModel k = m();
    Nettoye(k);
    const auto num = [&](const char *id) { return k.Base_Donnees.caractereParId(id)->NUM; };
    repond(k, num("FT_LARGE"));
    repond(k, num("TF_2"));
    repond(k, num("FT_ECAILLE"));
    EXPECT_EQ(k.Etat_Choisi[static_cast<std::size_t>(num("TF_2"))], 0);
}

} // namespace
} // namespace tarvenko::test

namespace tarvenko::test {
namespace {

// The question list of the bundled key: every group named in the three languages, every question once.
TEST_F(SampleKey, theQuestionListNamesEveryGroupInEachLanguage)
{
    KeyModel &k = m();
    const std::int16_t langue = k.Num_Langue;
    for (const auto &[l, premier] : {std::pair<std::int16_t, const char *>{0, "Leaves"}, {1, "Hojas"}, {2, "Feuilles"}}) {
        k.Num_Langue = l;
        const std::vector<GroupeQuestions> liste = Liste_Questions(k);
        ASSERT_FALSE(liste.empty());
        EXPECT_EQ(liste.front().nom, premier);
        std::set<std::string> objets;
        for (const GroupeQuestions &g : liste) {
            EXPECT_EQ(g.nom.empty(), g.cadre < 0) << "group " << g.cadre << " in language " << l;
            for (const EntreeQuestion &q : g.questions)
                EXPECT_TRUE(objets.insert(q.objet).second) << q.objet << " listed twice";
        }
        std::set<std::string> cles;
        for (const ObjetRow &row : k.Base_Donnees.Objets_Fic.rows)
            cles.insert(row.Objet.value_or(""));
        EXPECT_EQ(objets, cles);
    }
    k.Num_Langue = langue;
}

TEST_F(SampleKey, theWindowsTextsAreInFrenchAndSpanishToo)
{
    const Tables &t = m().Base_Donnees;
    for (const int langue : {1, 2}) {
        for (const ObjetRow &o : t.Objets_Fic.rows)
            EXPECT_NE(Texte_Langue(t, langue, "Objets_Fic", std::to_string(o.Numero), "TipText"), nullptr) << *o.Objet;
        for (const CaractereRow &c : t.Caracteres.rows)
            EXPECT_NE(Texte_Langue(t, langue, "Caracteres", std::to_string(c.NUM), "TipText"), nullptr) << *c.ID_CARAC;
        for (const ButDeterRow &b : t.But_Deter.rows)
            for (const char *champ : {"Caption", "TipText"})
                EXPECT_NE(Texte_Langue(t, langue, "But_Deter", std::to_string(b.Numero), champ), nullptr) << *b.Caption;
        for (const ButQuestRow &b : t.But_Quest.rows)
            for (const char *champ : {"Caption", "TipText"})
                EXPECT_NE(Texte_Langue(t, langue, "But_Quest", std::to_string(b.Numero), champ), nullptr) << *b.Caption;
        for (const FloreRow &f : t.Flore.rows)
            EXPECT_NE(Texte_Langue(t, langue, "Flore", f.Espece, "Legende"), nullptr) << f.Espece;
        for (int g = 0; g < m().Nb_Cadre; ++g)
            EXPECT_NE(Nom_Cadre_Langue(t, g, langue), Nom_Cadre_Langue(t, g, 0)) << g;
    }
    const ObjetRow *feuille = t.objet("FEUILLE");
    ASSERT_NE(feuille, nullptr);
    EXPECT_EQ(Texte_Question(t, *feuille, 2), "Type de feuille : aiguilles, écailles ou limbe large ?");
    EXPECT_EQ(Texte_Question(t, *feuille, 1), "Tipo de hoja: acículas, escamas o limbo ancho?");
    EXPECT_EQ(Texte_Question(t, *feuille, 0), "Leaf type: needles, scales or a broad blade?");
    EXPECT_EQ(Nom_Etat_Langue(t, t.caractereParId("FT_AIGUILLE")->NUM, 2), "Aiguilles");
}

} // namespace
} // namespace tarvenko::test
