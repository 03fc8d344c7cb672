// Part of the catalogue of damaged knowledge bases (tests/engine/damaged_bases_test.cpp), this
// time through the main window: what the user is shown, and whether the program stops.
#include <QListWidget>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "engine/answering.h"
#include "knowledge/loader.h"
#include "resources/string_table.h"
#include "support/petite_cle.h"

using namespace tarvenko;

namespace {

struct Cas {
    std::function<void(tools::KbBuilder &)> abime = [](tools::KbBuilder &) {};
    std::function<void(test::PetiteCle &)> apres = [](test::PetiteCle &) {};
    // The program ends with code 1 after showing exactly this message, or goes on.
    bool fin = false;
    std::function<QString(test::PetiteCle &)> message = {};
    std::function<void(test::PetiteCle &)> verifie = [](test::PetiteCle &) {};
};

const std::map<QString, Cas> &catalogue()
{
    static const std::map<QString, Cas> cas = {
        {QStringLiteral("no Objets_Fic: runs, the search finds nothing to ask"),
         {.abime = [](tools::KbBuilder &kb) { kb.sansTable("Objets_Fic"); },
          .verifie = [](test::PetiteCle &h) {
              QCOMPARE(h.lines().size(), 3);
              h.clickButton("Barre_Deter", 5); // Search
              QCOMPARE(h.dialogs.textes().value(0), qs(*Texte(0, 1075)));
          }}},
        {QStringLiteral("no Parametres: runs on an empty key"),
         {.abime = [](tools::KbBuilder &kb) { kb.sansTable("Parametres"); },
          .verifie = [](test::PetiteCle &h) { QVERIFY(h.lines().isEmpty()); }}},
        {QStringLiteral("Nb_Etats_Desc far beyond POIDS.DAT: 1069, stop"),
         {.abime = [](tools::KbBuilder &kb) { kb.parametre("Nb_Etats_Desc", "32767"); },
          .fin = true,
          .message = [](test::PetiteCle &) { return qs(*Texte(0, 1069)); }}},
        {QStringLiteral("Nb_Esp far beyond MATRICE.DAT: 1070, stop"),
         {.abime = [](tools::KbBuilder &kb) { kb.parametre("Nb_Esp", "32767"); },
          .fin = true,
          .message = [](test::PetiteCle &) { return qs(*Texte(0, 1070)); }}},
        {QStringLiteral("no POIDS.DAT: its path, stop"),
         {.abime = [](tools::KbBuilder &kb) { kb.sansFichier("POIDS.DAT"); },
          .fin = true,
          .message = [](test::PetiteCle &h) { return h.file("data/POIDS.DAT"); }}},
        {QStringLiteral("database that is not one: its path and the error number, stop"),
         {.apres = [](test::PetiteCle &h) { std::ofstream(h.root.dossier() + "data/Tarvenko.db") << std::string(4096, 'x'); },
          .fin = true,
          .message = [](test::PetiteCle &h) { return h.file("data/Tarvenko.db") + QStringLiteral(", Erreur N° 26"); }}},
        {QStringLiteral("missing layer picture: its path, stop"),
         {.abime = [](tools::KbBuilder &kb) { kb.sqlApres("UPDATE Hierarchie SET Nom = 'absent.wmf'"); },
          .fin = true,
          .message = [](test::PetiteCle &h) { return h.file("robot/00/absent.wmf"); }}},
        {QStringLiteral("empty layer picture: its path, stop"),
         {.apres = [](test::PetiteCle &h) { std::ofstream(h.root.dossier() + "robot/00/arbre.wmf", std::ios::trunc); },
          .fin = true,
          .message = [](test::PetiteCle &h) { return h.file("robot/00/arbre.wmf"); }}},
        {QStringLiteral("missing question picture: the program draws the grid"),
         {.apres = [](test::PetiteCle &h) { std::filesystem::remove(h.root.dossier() + "descripteurs/feuille.wmf"); },
          .verifie = [](test::PetiteCle &h) {
              h.clickButton("Barre_Deter", 1);
              QVERIFY(h.dialogs.messages.empty());
              QVERIFY(h.child<PicChoixView>("Pic_Choix")->grilleDessinee());
              h.clickCell(1);
              h.clickButton("Barre_Question", 1);
              QCOMPARE(h.model.Etat_Choisi.at(1), std::int16_t{1});
          }}},
        {QStringLiteral("unreadable question picture: 1077, the program goes on"),
         {.apres = [](test::PetiteCle &h) { std::ofstream(h.root.dossier() + "descripteurs/feuille.wmf") << std::string(64, 'x'); },
          .verifie = [](test::PetiteCle &h) {
              h.clickButton("Barre_Deter", 1);
              QCOMPARE(h.dialogs.textes().value(0), qs(*Texte(0, 1077)));
              h.clickButton("Barre_Question", 3); // leave the question
              h.answer(3, 0);                      // the bark still works
              QCOMPARE(h.model.Etat_Choisi.at(2), std::int16_t{1});
          }}},
        {QStringLiteral("dependency cycle: the loop is reported once, the answer kept"),
         {.abime = [](tools::KbBuilder &kb) { kb.descendance("LARGE", "ECORCE").descendance("LISSE", "FEUILLE"); },
          .verifie = [](test::PetiteCle &h) {
              h.answer(1, 0); // broad leaves
              h.answer(3, 0); // smooth bark
              h.answer(1, 1); // needles: clears the bark, which clears the leaves
              QCOMPARE(h.dialogs.textes(),
                       QStringList{qs(Texte_Incoherence({Incoherence::Genre::Boucle, "LARGE"}))});
              QCOMPARE(h.model.Etat_Choisi.at(1), std::int16_t{1});
              QCOMPARE(h.model.Etat_Choisi.at(2), std::int16_t{0});
          }}},
        {QStringLiteral("unreadable Index_Car: the bark question records nothing"),
         {.abime = [](tools::KbBuilder &kb) { kb.sqlApres("UPDATE Objets_Fic SET Index_Car = 'abc' WHERE Objet = 'ECORCE'"); },
          .verifie = [](test::PetiteCle &h) {
              h.answer(1, 1); // needles
              h.answer(3, 0);
              QCOMPARE(h.model.Etat_Choisi, (std::vector<std::int16_t>{0, 1, 0, 0}));
              QCOMPARE(h.model.Cadre_Fait, (std::vector<std::int16_t>{-1, 0}));
          }}},
    };
    return cas;
}

} // namespace

class DamagedBasesWindowTest : public QObject {
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private Q_SLOTS:
    void damagedKeys_data()
    {
        QTest::addColumn<QString>("entree");
        for (const auto &[name, cas] : catalogue())
            QTest::newRow(name.toUtf8().constData()) << name;
    }

    void damagedKeys()
    {
        QFETCH(QString, entree);
        const Cas &cas = catalogue().at(entree);
        test::PetiteCle h;
        tools::KbBuilder kb = h.key();
        cas.abime(kb);
        kb.ecrit();
        cas.apres(h);
        h.window = std::make_unique<frmMain>(h.ctx);
        const bool loaded = h.window->Form_Load(QString());
        if (cas.fin) {
            QVERIFY(!loaded);
            QCOMPARE(h.exitCode, 1);
            QCOMPARE(h.dialogs.textes(), QStringList{cas.message(h)});
            return;
        }
        QVERIFY(loaded);
        QVERIFY(!h.exitCode);
        QVERIFY(h.dialogs.messages.empty());
        h.model.Vue_Courante = 1;
        h.window->resize(1000, 700);
        h.window->show();
        h.window->Arrange_Fenetre();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        cas.verifie(h);
        QVERIFY(!h.exitCode);
    }
};

QTEST_MAIN(DamagedBasesWindowTest)
#include "damaged_bases_window_test.moc"
