#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base_de_test.h"
#include "engine/refresh.h"
#include "knowledge/text.h"

using namespace tarvenko;
using tarvenko::test::BaseDeTest;
using tarvenko::test::ChargeurEspion;

namespace {

// Layer 0 is a trunk chosen by the leaf type; layers 1 and 3 are named without extension and take
// the trunk's numbered ending; layer 2 is drawn only for smooth bark.
class Calques : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto &kb = base.kb;
        kb.espece("Alpha", "F", "ALPHA");
        kb.objet({.objet = "FEUILLE", .etats = {"F_AIG", "F_LARGE"}});
        kb.objet({.objet = "ECORCE", .etats = {"E_LISSE", "E_RUGUEUSE"}});
        kb.hierarchie(0, "tronc01.wmf", {"F_AIG"});
        kb.hierarchie(0, "Tronc02.WMF", {});
        kb.hierarchie(1, "couronne", {});
        kb.hierarchie(2, "lisse.wmf", {"E_LISSE"});
        kb.hierarchie(3, "fleur", {});
    }

    Rafraichissement rafraichit() { return Actualise_Identification(base.m, chargeur.fonction()); }
    std::string dossier(const char *calque) const { return base.dir.dossier() + "robot\\" + calque + "\\"; }

    BaseDeTest base;
    ChargeurEspion chargeur;
};

TEST_F(Calques, layersAreChosenFromTheAnswersAndCarryTheWmfEnding)
{
    base.charge();
    const Rafraichissement r = rafraichit();

    EXPECT_EQ(r.calques.recharges, (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(base.m.Robots[0].Fichier, majusculesChemin(dossier("00") + "Tronc02.WMF"));
    EXPECT_EQ(base.m.Robots[1].Fichier, majusculesChemin(dossier("01") + "couronne02.WMF"));
    EXPECT_EQ(base.m.Robots[2].Image, nullptr) << "no row holds: the layer keeps what it had";
    EXPECT_EQ(ChargeurEspion::chemin(base.m.Robots[1]), base.dir.dossier() + "robot/01/couronne02.WMF")
        << "the loader gets a path of this disk";

    base.choisit("F_AIG");
    const Rafraichissement apres = rafraichit();
    EXPECT_EQ(apres.calques.recharges, (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(base.m.Robots[1].Fichier, majusculesChemin(dossier("01") + "couronne01.wmf"));
}

TEST_F(Calques, layersAreReloadedOnlyWhenTheirFileChanges)
{
    base.charge();
    rafraichit();
    const std::size_t chargements = chargeur.demandes.size();

    EXPECT_TRUE(rafraichit().calques.recharges.empty());
    base.choisit("E_RUGUEUSE");
    EXPECT_TRUE(rafraichit().calques.recharges.empty());
    EXPECT_EQ(chargeur.demandes.size(), chargements);

    base.choisit("E_LISSE");
    EXPECT_EQ(rafraichit().calques.recharges, (std::vector<int>{2})) << "only layer 0 gives its ending";
    base.choisit("E_LISSE", 0);
    EXPECT_TRUE(rafraichit().calques.recharges.empty());
    EXPECT_NE(base.m.Robots[2].Image, nullptr) << "a layer whose rows are all rejected keeps its picture";
}

TEST_F(Calques, anUnknownStateIsReportedAndItsRowRejected)
{
    base.kb.hierarchie(4, "inconnu.wmf", {"F_AIG", "NULLE_PART"});
    base.kb.hierarchie(4, "repli.wmf", {});
    base.charge();
    base.choisit("F_AIG");
    const Rafraichissement r = rafraichit();
    EXPECT_EQ(r.calques.messages,
              (std::vector<std::string>{"Erreur : l'état du Caractère 'NULLE_PART' n'existe pas dans la Table 'Caractères'"}));
    EXPECT_EQ(base.m.Robots[4].Fichier, majusculesChemin(dossier("04") + "repli.wmf"));
}

TEST_F(Calques, aRowWithoutFinWithinItsColumnsIsRejected)
{
    base.kb.nbContraintes(1);
    base.kb.hierarchie(4, "plein.wmf", {"F_AIG"}); // C_0 holds the state, no column left for "Fin"
    base.charge();
    base.choisit("F_AIG");
    rafraichit();
    EXPECT_EQ(base.m.Robots[0].Fichier, majusculesChemin(dossier("00") + "Tronc02.WMF"));
    EXPECT_EQ(base.m.Robots[4].Image, nullptr);
}

TEST_F(Calques, aPictureThatCannotBeLoadedStopsTheRefreshWithItsPath)
{
    base.charge();
    chargeur.absent = "couronne";
    base.m.Nb_Esp_Max = -5;
    const Rafraichissement r = rafraichit();
    ASSERT_TRUE(r.calques.echec.has_value());
    EXPECT_EQ(*r.calques.echec, base.dir.dossier() + "robot/01/couronne02.WMF");
    EXPECT_EQ(base.m.Nb_Esp_Max, -5) << "the species are not scored";
    EXPECT_TRUE(r.devientModifie);
}

TEST_F(Calques, theRefreshMarksTheIdentificationModifiedOnce)
{
    base.charge();
    EXPECT_TRUE(rafraichit().devientModifie);
    EXPECT_TRUE(base.m.Modifie);
    EXPECT_FALSE(rafraichit().devientModifie);
}

// Layer 0 has its picture in French and, written in capitals on the disk, in Spanish beside the
// key's own; layer 1 has none but its own.
class CalquesLangues : public ::testing::Test {
protected:
    void SetUp() override
    {
        base.kb.espece("Alpha", "F", "ALPHA");
        base.kb.objet({.objet = "FEUILLE", .etats = {"F_AIG", "F_LARGE"}});
        base.kb.hierarchie(0, "fond.wmf", {});
        base.kb.hierarchie(1, "tronc.wmf", {});
        for (const char *nom : {"00/fond.wmf", "00/fond_fr.wmf", "00/FOND_ES.WMF", "01/tronc.wmf"}) {
            std::filesystem::create_directories((base.dir.path() / "robot" / nom).parent_path());
            std::ofstream((base.dir.path() / "robot" / nom).string()) << "picture";
        }
        base.charge();
    }

    std::vector<std::string> fichiersLus() const
    {
        return {ChargeurEspion::chemin(base.m.Robots[0]), ChargeurEspion::chemin(base.m.Robots[1])};
    }
    std::string sur(const char *nom) const { return base.dir.dossier() + "robot/" + nom; }

    BaseDeTest base;
    ChargeurEspion chargeur;
};

TEST_F(CalquesLangues, eachLayerIsReadInTheInterfaceLanguageWhereTheKeyHasIt)
{
    const struct {
        int langue;
        const char *fond;
    } cas[] = {{0, "00/fond.wmf"}, {1, "00/FOND_ES.WMF"}, {2, "00/fond_fr.wmf"}, {7, "00/fond.wmf"}, {-1, "00/fond.wmf"}};
    for (const auto &c : cas) {
        base.m.Robots.clear();
        base.m.Num_Langue = static_cast<std::int16_t>(c.langue);
        EXPECT_FALSE(Choisit_Calques(base.m, chargeur.fonction()).echec.has_value());
        EXPECT_EQ(fichiersLus(), (std::vector<std::string>{sur(c.fond), sur("01/tronc.wmf")})) << "language " << c.langue;
        EXPECT_EQ(base.m.Robots[0].Fichier, majusculesChemin(base.dir.dossier() + "robot\\00\\fond.wmf"))
            << "the layer still goes by the key's name";
        EXPECT_EQ(Chemin_Calque(base.m, base.dir.dossier() + "robot\\00\\fond.wmf"), sur(c.fond));
    }
}

TEST_F(CalquesLangues, aLanguageSwitchReloadsOnlyTheLayersThatHaveAPictureInIt)
{
    Choisit_Calques(base.m, chargeur.fonction());
    const auto tronc = base.m.Robots[1].Image;

    base.m.Num_Langue = 2;
    chargeur.demandes.clear();
    EXPECT_EQ(Choisit_Calques(base.m, chargeur.fonction()).recharges, (std::vector<int>{0}));
    EXPECT_EQ(chargeur.demandes, (std::vector<std::string>{sur("00/fond_fr.wmf")}));
    EXPECT_EQ(base.m.Robots[1].Image, tronc);

    // Answers in the same language look nothing up again.
    base.choisit("F_AIG");
    EXPECT_TRUE(Choisit_Calques(base.m, chargeur.fonction()).recharges.empty());

    base.m.Num_Langue = 0;
    EXPECT_EQ(Choisit_Calques(base.m, chargeur.fonction()).recharges, (std::vector<int>{0}));
    EXPECT_EQ(fichiersLus(), (std::vector<std::string>{sur("00/fond.wmf"), sur("01/tronc.wmf")}));
    EXPECT_EQ(chargeur.demandes.size(), 2u);
}

TEST_F(Calques, aKeyWithoutPicturesInOtherLanguagesIsReadAsBeforeAfterASwitch)
{
    base.charge();
    rafraichit();
    const std::size_t chargements = chargeur.demandes.size();
    for (int langue : {2, 1, 0}) {
        base.m.Num_Langue = static_cast<std::int16_t>(langue);
        EXPECT_TRUE(Choisit_Calques(base.m, chargeur.fonction()).recharges.empty()) << langue;
    }
    EXPECT_EQ(chargeur.demandes.size(), chargements);
    EXPECT_EQ(ChargeurEspion::chemin(base.m.Robots[1]), base.dir.dossier() + "robot/01/couronne02.WMF");
}

TEST(DossierCalque, layerNumbersHaveAtLeastTwoDigits)
{
    KeyModel m;
    m.Chemin_Robot = "C:\\Robot\\";
    EXPECT_EQ(Dossier_Calque(m, 0), "C:\\Robot\\00\\");
    EXPECT_EQ(Dossier_Calque(m, 7), "C:\\Robot\\07\\");
    EXPECT_EQ(Dossier_Calque(m, 12), "C:\\Robot\\12\\");
    EXPECT_EQ(Dossier_Calque(m, 123), "C:\\Robot\\123\\");
}

} // namespace
