#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "knowledge/key_model.h"
#include "platform/qt_text.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"
#include "resources/string_table.h"
#include "shell/cles_recentes.h"
#include "shell/contexte.h"
#include "shell/demarrage.h"
#include "shell/frm_main.h"
#include "shell/localisation.h"
#include "shell/registre.h"
#include "support/fenetre_test.h"
#include "support/petite_cle.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "tools/kbbuilder/kb_builder.h"
#include "views/vue_liste_especes.h"

using namespace tarvenko;

namespace {

struct Harness : test::FenetreTest {
    // A small key in the test's folder and machine settings that point at it.
    tools::KbBuilder key()
    {
        tools::KbBuilder kb(root.dossier());
        kb.espece("Quercus robur", "FAGACEAE", "QUERO").espece("Fagus sylvatica", "FAGACEAE", "FAGSY");
        kb.objet({.objet = "FEUILLE", .etats = {"LOBEE", "ENTIERE"}});
        kb.a("Quercus robur", "LOBEE").a("Fagus sylvatica", "ENTIERE");
        machine(QStringLiteral("Logiciel/Data"), qs(root.dossier()));
        machine(QStringLiteral("Logiciel/Base"), QString::fromLatin1(tools::KbBuilder::kNomBase));
        return kb;
    }
};

} // namespace

class ShellTest : public QObject {
    Q_OBJECT

public:
    // The embedded browser needs contexts shared before the application exists.
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private Q_SLOTS:
    void theProgramsNameIsNotAddedAgainToTheTitle()
    {
        // With a display name of its own the desktop would show "Tarvenko [file] \u2014 Tarvenko"; without
        // one it follows the application name, which the title already begins with.
        const QString avant = QCoreApplication::applicationName();
        Identite_Application();
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Tarvenko"));
        QCoreApplication::setApplicationName(QStringLiteral("autre"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("autre"));
        QCoreApplication::setApplicationName(avant);
    }

    void localisation_data()
    {
        QTest::addColumn<int>("langue");
        QTest::addColumn<QString>("save");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("newButton");
        QTest::addColumn<QString>("newTip");
        QTest::newRow("English") << 0 << "&Save" << "&File" << "New Ident." << "New identification";
        QTest::newRow("French") << 2 << "&Enregistrer une identification" << qs(*Texte(2, 1000)) << qs(*Texte(2, 1053))
                                << qs(*Texte(2, 1023));
        QTest::newRow("Spanish") << 1 << qs(*Texte(1, 1003)) << qs(*Texte(1, 1000)) << qs(*Texte(1, 1053))
                                 << qs(*Texte(1, 1023));
    }
    void localisation()
    {
        QFETCH(int, langue);
        QFETCH(QString, save);
        QFETCH(QString, file);
        QFETCH(QString, newButton);
        QFETCH(QString, newTip);
        Harness h;
        frmMain window(h.ctx);
        const int designedSize = window.font().pointSize();
        Applique_Langue(&window, static_cast<std::int16_t>(langue));
        QCOMPARE(window.findChild<QAction *>(QStringLiteral("mnuFileSave"))->text(), save);
        QCOMPARE(window.findChild<QMenu *>(QStringLiteral("mnuFile"))->title(), file);
        QAction *newButtonAction = window.boutonBarre(1);
        QCOMPARE(newButtonAction->text(), newButton);
        QCOMPARE(newButtonAction->toolTip(), newTip);
        // Only French sets a font size (8 points); the others keep the designed one.
        QCOMPARE(window.font().pointSize(), langue == 2 ? 8 : designedSize);
    }

    // Each menu can be worked from the keyboard in every language: every entry has an accelerator
    // and no two entries of one menu (or two menus of the bar) share one.
    void menusKeepDistinctAccelerators_data()
    {
        QTest::addColumn<int>("langue");
        QTest::newRow("English") << 0;
        QTest::newRow("Spanish") << 1;
        QTest::newRow("French") << 2;
    }
    void menusKeepDistinctAccelerators()
    {
        QFETCH(int, langue);
        Harness h;
        frmMain window(h.ctx);
        Applique_Langue(&window, static_cast<std::int16_t>(langue));
        const auto verifie = [](const QString &nom, const QList<QAction *> &entrees) {
            QMap<QChar, QString> pris;
            for (const QAction *entree : entrees) {
                if (entree->isSeparator())
                    continue;
                const QString texte = entree->text();
                const qsizetype et = texte.indexOf(QLatin1Char('&'));
                QVERIFY2(et >= 0 && et + 1 < texte.size() && texte[et + 1] != QLatin1Char('&'),
                         qPrintable(nom + QStringLiteral(": no accelerator in ") + texte));
                const QChar touche = texte[et + 1].toUpper();
                QVERIFY2(!pris.contains(touche),
                         qPrintable(nom + QStringLiteral(": ") + pris.value(touche) + QStringLiteral(" and ") + texte));
                pris.insert(touche, texte);
            }
        };
        auto *barre = window.findChild<QMenuBar *>(QStringLiteral("menuBar"));
        verifie(QStringLiteral("menu bar"), barre->actions());
        for (QAction *menu : barre->actions())
            verifie(menu->text(), menu->menu()->actions());
    }

    void localisationLeavesUnnumberedCaptions()
    {
        QWidget window;
        window.setProperty("tag", QStringLiteral("1045"));
        auto *emptyTag = new QLabel(QStringLiteral("designed"), &window);
        auto *textTag = new QPushButton(QStringLiteral("button"), &window);
        textTag->setProperty("tag", QStringLiteral("Ok"));
        auto *numbered = new QPushButton(QStringLiteral("1043"), &window);
        numbered->setProperty("tag", QStringLiteral("1043"));
        numbered->setToolTip(QStringLiteral("1044"));
        Applique_Langue(&window, 0);
        QCOMPARE(window.windowTitle(), QStringLiteral("About Tarvenko V.1.0"));
        QCOMPARE(emptyTag->text(), QStringLiteral("designed"));
        QCOMPARE(textTag->text(), QStringLiteral("button"));
        QCOMPARE(numbered->text(), QStringLiteral("Cancel"));
        QCOMPARE(numbered->toolTip(), QStringLiteral("OK"));
    }

    void languageFallsBackToTheSystem_data()
    {
        QTest::addColumn<QLocale>("system");
        QTest::addColumn<int>("expected");
        QTest::newRow("Spanish system") << QLocale(QLocale::Spanish, QLocale::Spain) << 1;
        QTest::newRow("French system") << QLocale(QLocale::French, QLocale::Canada) << 2;
        QTest::newRow("German system") << QLocale(QLocale::German, QLocale::Germany) << 0;
    }
    void languageFallsBackToTheSystem()
    {
        QFETCH(QLocale, system);
        QFETCH(int, expected);
        Harness h;
        h.machine(QStringLiteral("Logiciel/Data"), QStringLiteral("/kb/")); // installed, but no Options key
        QCOMPARE(int(Langue_Demarrage(h.settings, system)), expected);
        // What an installation writes: the other options, and no language.
        h.machine(QStringLiteral("Options/Curseur"), QStringLiteral("True"));
        h.machine(QStringLiteral("Options/Valeur"), QStringLiteral("0"));
        QCOMPARE(int(Langue_Demarrage(h.settings, system)), expected);
    }

    void languageSettingsWinOverTheSystem()
    {
        Harness h;
        const QLocale german(QLocale::German);
        h.machine(QStringLiteral("Options/Langue"), QStringLiteral("1"));
        QCOMPARE(int(Langue_Demarrage(h.settings, german)), 1);
        h.user(QStringLiteral("Options/Langue"), QStringLiteral("2"));
        QCOMPARE(int(Langue_Demarrage(h.settings, german)), 2);
        h.user(QStringLiteral("Options/Langue"), QStringLiteral("-1")); // absent
        QCOMPARE(int(Langue_Demarrage(h.settings, german)), 1);
    }

    void userSettingsOverrideTheMachine()
    {
        Harness h;
        h.machine(QStringLiteral("Logiciel/Data"), QStringLiteral("/kb/data/"));
        h.machine(QStringLiteral("Logiciel/Base"), QStringLiteral("Arbres.db"));
        h.machine(QStringLiteral("Options/Distribution"), QStringLiteral("hd"));
        h.machine(QStringLiteral("Options/Curseur"), QStringLiteral("True"));
        h.machine(QStringLiteral("Options/Valeur"), QStringLiteral("55"));
        h.machine(QStringLiteral("Documents/Adresse"), QStringLiteral("/kb/docs/"));
        h.model.Question_Passee = true;

        Lit_Registre(h.model, h.settings);
        QCOMPARE(qs(h.model.Chemin_Base), QStringLiteral("/kb/data/Arbres.db"));
        QCOMPARE(qs(h.model.Distribution), QStringLiteral("hd"));
        QCOMPARE(h.model.Seuil_Affichage, std::int16_t{55});
        QVERIFY(h.model.Curseur_Dynamique);
        QVERIFY(!h.model.Question_Passee);

        h.user(QStringLiteral("Options/Distribution"), QStringLiteral("http"));
        h.user(QStringLiteral("Options/Curseur"), QStringLiteral("False"));
        h.user(QStringLiteral("Options/Valeur"), QStringLiteral("-1"));
        h.user(QStringLiteral("Documents/Adresse"), QStringLiteral("http://example.org/arbres/"));
        Lit_Registre(h.model, h.settings);
        QCOMPARE(qs(h.model.Distribution), QStringLiteral("http"));
        QVERIFY(!h.model.Curseur_Dynamique);
        QCOMPARE(h.model.Seuil_Affichage, std::int16_t{55}); // "-1" counts as absent
        QCOMPARE(qs(h.model.Adresse_Documents), QStringLiteral("http://example.org/arbres/"));

        h.user(QStringLiteral("Options/Valeur"), QStringLiteral("0"));
        Lit_Registre(h.model, h.settings);
        QCOMPARE(h.model.Seuil_Affichage, std::int16_t{0});
    }

    void aMachineFileHoldingSomeValuesKeepsTheFallbackOfTheOthers()
    {
        Harness h;
        h.key().ecrit();
        // The key's paths become the stand-in values, as the sample beside a program that was
        // never installed; the machine file then holds only the language.
        SettingsStore::Valeurs fallback;
        {
            QSettings machine(QSettings::IniFormat, QSettings::SystemScope, QStringLiteral("Tarvenko"),
                              QStringLiteral("Tarvenko"));
            for (const QString &key : machine.allKeys())
                fallback.insert(key, machine.value(key).toString());
            machine.clear();
            machine.setValue(QStringLiteral("Options/Langue"), QStringLiteral("2"));
        }
        QVERIFY(fallback.contains(QStringLiteral("Logiciel/Base")));
        h.settings = SettingsStore(fallback);
        QCOMPARE(int(Langue_Demarrage(h.settings, QLocale(QLocale::German))), 2);
        frmMain window(h.ctx);
        QVERIFY(window.Form_Load(QString()));
        QVERIFY(!h.exitCode);
        QCOMPARE(h.dialogs.textes(), QStringList());
        QCOMPARE(h.model.Nb_Esp, std::int16_t{2});
    }

    void commandLineLosesOnePairOfQuotes()
    {
        QCOMPARE(Nettoie_Ligne_Commande(QStringLiteral("\"/home/ann/oak walk.ryk\"")), QStringLiteral("/home/ann/oak walk.ryk"));
        QCOMPARE(Nettoie_Ligne_Commande(QStringLiteral("/home/ann/oak.ryk")), QStringLiteral("/home/ann/oak.ryk"));
    }

    void loadingFillsTheSpeciesList()
    {
        Harness h;
        h.key().ecrit();
        frmMain window(h.ctx);
        QVERIFY(window.Form_Load(QString()));
        QVERIFY(!h.exitCode);
        QVERIFY(h.dialogs.messages.empty());
        const auto *list = window.findChild<VueListeEspeces *>(QStringLiteral("Liste_Esp"));
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->ligne(0), QStringLiteral(" 0% - Fagus sylvatica")); // ranked once with no answer
        QVERIFY(!window.Modifie());
        QVERIFY(!window.findChild<QAction *>(QStringLiteral("mnuFileSave"))->isEnabled());
        QVERIFY(!window.findChild<QAction *>(QStringLiteral("mnuFileSaveAs"))->isEnabled());
        QVERIFY(!window.boutonBarre(3)->isEnabled()); // Save
        QVERIFY(window.boutonBarre(5)->isEnabled()); // Copy: the drawing is shown
        QCOMPARE(qs(h.model.Titre_Fenetre), window.windowTitle());
    }

    void secondInstanceAnsweredNoEndsBeforeReadingData()
    {
        Harness h;
        h.key().ecrit();
        SingleInstance first(qs(h.root.fichier("lock")));
        QVERIFY(!first.autreInstance());
        h.dialogs.reponses = {ReponseMessage::No};
        frmMain window(h.ctx);
        QVERIFY(!window.Form_Load(QString()));
        QCOMPARE(h.exitCode, 0);
        QCOMPARE(h.dialogs.textes(), QStringList{qs(*Texte(0, 1067))});
        QCOMPARE(h.dialogs.messages[0].title, qs(*Texte(0, 1050)));
        QCOMPARE(h.model.Nb_Esp, std::int16_t{0});
    }

    void secondInstanceAnsweredYesLoadsAfterTheHint()
    {
        Harness h;
        h.key().ecrit();
        SingleInstance first(qs(h.root.fichier("lock")));
        QVERIFY(!first.autreInstance());
        h.dialogs.reponses = {ReponseMessage::Yes, ReponseMessage::Ok};
        frmMain window(h.ctx);
        QVERIFY(window.Form_Load(QString()));
        QCOMPARE(h.dialogs.textes(), (QStringList{qs(*Texte(0, 1067)), qs(*Texte(0, 1068))}));
        QCOMPARE(h.model.Nb_Esp, std::int16_t{2});
    }

    void unusableKnowledgeBasesEndWithTheirMessage_data()
    {
        QTest::addColumn<QString>("spoil");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing database") << "database" << "path, Erreur N° 14";
        QTest::newRow("short weights") << "weights" << qs(*Texte(0, 1069));
        QTest::newRow("missing matrix") << "matrix" << "path of MATRICE.DAT";
    }
    void unusableKnowledgeBasesEndWithTheirMessage()
    {
        QFETCH(QString, spoil);
        QFETCH(QString, expected);
        Harness h;
        tools::KbBuilder kb = h.key();
        if (spoil == QLatin1String("weights"))
            kb.parametre("Nb_Etats_Desc", "3");
        if (spoil == QLatin1String("matrix"))
            kb.sansFichier("MATRICE.DAT");
        kb.ecrit();
        if (spoil == QLatin1String("database"))
            h.machine(QStringLiteral("Logiciel/Base"), QStringLiteral("absent.db"));
        frmMain window(h.ctx);
        QVERIFY(!window.Form_Load(QString()));
        QCOMPARE(h.exitCode, 1);
        QCOMPARE(h.dialogs.messages.size(), std::size_t{1});
        const QString shown = h.dialogs.messages[0].text;
        if (spoil == QLatin1String("database"))
            QCOMPARE(shown, qs(h.root.dossier()) + QStringLiteral("absent.db, Erreur N° 14"));
        else if (spoil == QLatin1String("matrix"))
            QCOMPARE(shown, qs(h.root.dossier()) + QStringLiteral("MATRICE.DAT"));
        else {
            QCOMPARE(shown, expected);
            QCOMPARE(h.dialogs.messages[0].title, qs(*Texte(0, 1050)));
        }
    }

    void closingAsksAndCanBeCancelled()
    {
        Harness h;
        h.key().ecrit();
        frmMain window(h.ctx);
        QVERIFY(window.Form_Load(QString()));
        window.show();

        h.dialogs.reponses = {ReponseMessage::No};
        QVERIFY(!window.close());
        QCOMPARE(h.dialogs.textes(), QStringList{qs(*Texte(0, 1071))});

        h.dialogs.messages.clear();
        h.model.Modifie = true;
        h.dialogs.reponses = {ReponseMessage::Yes, ReponseMessage::Cancel};
        QVERIFY(!window.close());
        QCOMPARE(h.dialogs.textes(), (QStringList{qs(*Texte(0, 1071)), qs(*Texte(0, 1072))}));
        QVERIFY(window.isVisible());

        h.dialogs.messages.clear();
        h.dialogs.reponses = {ReponseMessage::Yes, ReponseMessage::No};
        QVERIFY(window.close());
    }

    void theWindowOpensMaximizedWithItsFrameInsideTheWorkArea()
    {
        Harness h;
        h.key().ecrit();
        test::writeGrid(h.root.dossier() + "couleur.wmf"); // the splash's colour chart
        std::unique_ptr<frmMain> window(Main(h.ctx, QString()));
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_VERIFY(window->isMaximized());
        const QRect area = window->screen()->availableGeometry();
        QTRY_VERIFY2(area.contains(window->frameGeometry()), qPrintable(QDebug::toString(window->frameGeometry())));
        QVERIFY(window->frameGeometry() != window->geometry()); // the platform draws a frame
    }
    // A key without a drawing has no colour chart; one whose parts are told apart by colour
    // cannot go without it.
    void theColourChartIsNeededOnlyByAKeyWithColours_data()
    {
        QTest::addColumn<bool>("couleurs");
        QTest::newRow("no colours: the window opens") << false;
        QTest::newRow("colours: the chart's path, stop") << true;
    }
    void theColourChartIsNeededOnlyByAKeyWithColours()
    {
        QFETCH(bool, couleurs);
        Harness h;
        tools::KbBuilder kb = h.key();
        if (couleurs)
            kb.couleur("FEUILLE");
        kb.ecrit();
        std::unique_ptr<frmMain> window(Main(h.ctx, QString()));
        if (!couleurs) {
            QVERIFY(window);
            QVERIFY(h.dialogs.messages.empty());
            QVERIFY(!h.exitCode);
            QCOMPARE(h.model.Nb_Esp, std::int16_t{2});
            return;
        }
        QVERIFY(!window);
        QCOMPARE(h.exitCode, std::optional<int>(1));
        QCOMPARE(h.dialogs.textes(), QStringList{qs(*Texte(0, 1077)) + QStringLiteral(" Fichier : ") + qs(h.root.fichier("couleur.wmf"))});
    }

    void argumentsNameTheKeyAndTheFile_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("cle");
        QTest::addColumn<QString>("ligne");
        QTest::newRow("key and file") << QStringList{"--key", "/k", "a.ryk"} << "/k" << "a.ryk";
        QTest::newRow("file then key") << QStringList{"/a", "b.ryk", "--key", "/k"} << "/k" << "/a b.ryk";
        QTest::newRow("joined") << QStringList{"--key=/k b"} << "/k b" << "";
        QTest::newRow("file only, quoted") << QStringList{"\"/x y.ryk\""} << "" << "\"/x y.ryk\"";
        QTest::newRow("key without a path") << QStringList{"--key"} << "" << "";
    }
    void argumentsNameTheKeyAndTheFile()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, cle);
        QFETCH(QString, ligne);
        const Arguments_Programme a = Lit_Arguments(arguments);
        QCOMPARE(a.cle, cle);
        QCOMPARE(a.ligneCommande, ligne);
    }

    void theKeyOnTheCommandLineOpensInPlaceOfTheSettings()
    {
        Harness h;
        h.key().ecrit();
        tools::KbBuilder autre(h.root.dossier() + "autre/data/");
        autre.espece("Acer campestre", "SAPINDACEAE", "ACECA").objet({.objet = "FEUILLE", .etats = {"LOBEE"}});
        autre.ecrit();
        const QString chemin = qs(h.root.dossier() + "autre");
        frmMain window(h.ctx);
        QVERIFY(window.Form_Load(QString(), chemin));
        QVERIFY(h.dialogs.messages.empty());
        QCOMPARE(h.model.Nom_Esp, std::vector<std::string>{"Acer campestre"});
        QCOMPARE(window.windowTitle(), QStringLiteral("Tarvenko \u2014 autre"));
        QCOMPARE(qs(h.model.Titre_Fenetre), window.windowTitle());
        QVERIFY(!window.Modifie());
        // Listed for later, but only for this run: the next plain start opens the settings' key.
        QCOMPARE(h.settings.valeurUtilisateur(QStringLiteral("Cles"), QStringLiteral("Recente1"), QString()), chemin);
        QVERIFY(h.settings.valeurUtilisateur(QStringLiteral("Cles"), QStringLiteral("Derniere"), QString()).isEmpty());
    }

    void aCommandLineKeyThatCannotOpenLeavesTheSettingsKey_data()
    {
        QTest::addColumn<bool>("dessin");
        QTest::addColumn<int>("raison");
        QTest::newRow("nothing there") << false << 1165;
        QTest::newRow("a drawing layer missing") << true << 1077;
    }
    void aCommandLineKeyThatCannotOpenLeavesTheSettingsKey()
    {
        QFETCH(bool, dessin);
        QFETCH(int, raison);
        Harness h;
        h.key().ecrit();
        const QString chemin = qs(h.root.fichier("autre"));
        if (dessin) {
            // A drawing whose layer is not in its folder.
            tools::KbBuilder autre(h.root.dossier() + "autre/data/");
            autre.espece("Acer campestre", "SAPINDACEAE", "ACECA").objet({.objet = "FEUILLE", .etats = {"LOBEE"}});
            autre.hierarchie(0, "arbre.wmf", {});
            autre.ecrit();
        }
        frmMain window(h.ctx);
        QVERIFY(window.Form_Load(QString(), chemin));
        QVERIFY(!h.exitCode);
        QCOMPARE(h.dialogs.messages.size(), std::size_t{1});
        const QString text = h.dialogs.messages[0].text;
        QVERIFY2(text.startsWith(qs(*Texte(0, 1164)).arg(chemin)), qPrintable(text));
        QVERIFY2(text.contains(qs(*Texte(0, raison))), qPrintable(text));
        QVERIFY(text.endsWith(qs(*Texte(0, 1173))));
        QCOMPARE(h.model.Nb_Esp, std::int16_t{2});
        QCOMPARE(window.windowTitle(), QStringLiteral("Tarvenko"));
    }

    void recentKeysAreShownShortAndKeptOnce_data()
    {
        QTest::addColumn<QString>("chemin");
        QTest::addColumn<QString>("texte");
        QTest::newRow("in the home folder") << "/home/ann/keys/oak" << "&3 ~/keys/oak";
        QTest::newRow("elsewhere") << "/srv/keys/oak/" << "&3 /srv/keys/oak";
        QTest::newRow("a folder named like home") << "/home/annex/oak" << "&3 /home/annex/oak";
        QTest::newRow("long") << "/home/ann/a-very-long-folder-name/another-long-folder/keys/northern-oaks"
                              << "&3 ~/\u2026/keys/northern-oaks";
        QTest::newRow("an ampersand") << "/srv/Oak & Ash" << "&3 /srv/Oak && Ash";
    }
    void recentKeysAreShownShortAndKeptOnce()
    {
        QFETCH(QString, chemin);
        QFETCH(QString, texte);
        QCOMPARE(Texte_Cle_Recente(3, chemin, QStringLiteral("/home/ann")), texte);

        QStringList liste;
        for (int i = 0; i < 8; ++i)
            liste = Ajoute_Cle_Recente(liste, QStringLiteral("/k%1").arg(i));
        QCOMPARE(liste.size(), kNbClesRecentes);
        QCOMPARE(liste.first(), QStringLiteral("/k7"));
        liste = Ajoute_Cle_Recente(liste, QStringLiteral("/k4/"));
        QCOMPARE(liste.size(), kNbClesRecentes);
        QCOMPARE(liste.first(), QStringLiteral("/k4/"));
        QCOMPARE(liste.count(QStringLiteral("/k4")), 0);
    }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
