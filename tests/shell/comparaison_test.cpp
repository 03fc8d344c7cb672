// Comparing species chosen in the list, the tree or the Compare with dialog; identifying within a
// family or a genus from the context menus, kept through Save and Open; the dichotomous key on
// paper.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>
#include <QTextFrame>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWebEngineHistory>
#include <QWebEnginePage>

#include "commands/rapport.h"
#include "documents/navigateur.h"
#include "knowledge/key_model.h"
#include "platform/qt_text.h"
#include "shell/frm_main.h"
#include "shell/localisation.h"
#include "support/petite_cle.h"
#include "views/arbre_especes.h"
#include "views/legende_statut.h"

using namespace tarvenko;

namespace {

QString texte(int n) { return texteOuAnglais(0, n); }

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

struct Harness : test::PetiteCle {
    Harness()
    {
        key().ecrit();
        // A page for each species, that Back can return to.
        machine(QStringLiteral("Documents/Adresse"), file("documents/"));
        machine(QStringLiteral("Options/Distribution"), QStringLiteral("hd"));
        for (const char *code : {"quero", "fagsy", "pinsy"}) {
            const QString dossier = file("documents/") + QLatin1Char(code[0]) + QLatin1Char('/') + QLatin1String(code);
            QDir().mkpath(dossier);
            QFile page(dossier + QLatin1Char('/') + QLatin1String(code) + QStringLiteral("_en.html"));
            if (!page.open(QIODevice::WriteOnly) || page.write("<html><body>page</body></html>") <= 0)
                qFatal("cannot write the species pages");
        }
        open();
        QObject::connect(web()->page(), &QWebEnginePage::loadStarted, web(), [this] { m_chargement = -1; });
        QObject::connect(web()->page(), &QWebEnginePage::loadFinished, web(), [this](bool ok) { m_chargement = ok; });
    }

    Navigateur *web() const { return child<Navigateur>("WebTexte"); }
    QTreeWidget *arbre() const { return child<QTreeWidget>("Tree_esp"); }
    QString legende() const { return child<QLabel>("Legende")->text(); }
    int m_chargement = 0; // the last load: -1 under way, 1 read, 0 failed or refused

    // Clicks the line of `nom` in the results view, with Ctrl to add it to the lines chosen.
    void clicLigne(const QString &nom, Qt::KeyboardModifiers touches = {})
    {
        const int k = ligneFinissantPar(nom);
        QVERIFY2(k >= 0, qPrintable(nom));
        const QRect rect = liste()->visualRect(liste()->model()->index(k, 0));
        QTest::mouseClick(liste()->viewport(), Qt::LeftButton, touches, rect.center());
    }
    QTreeWidgetItem *noeud(const QString &cle) const
    {
        for (QTreeWidgetItemIterator it(arbre()); *it; ++it) {
            if ((*it)->data(0, RoleCle).toString() == cle)
                return *it;
        }
        return nullptr;
    }
    // Runs the entry `nom` of the tree's context menu on the node with key `cle`.
    bool menuArbre(const QString &cle, const char *nom)
    {
        QTreeWidgetItem *n = noeud(cle);
        if (!n)
            return false;
        const std::unique_ptr<QMenu> m = window->Menu_Arbre(n);
        auto *action = m->findChild<QAction *>(QLatin1String(nom));
        if (!action || !action->isEnabled())
            return false;
        action->trigger();
        return true;
    }
    // The browser has loaded the page named `fichier`, and it was read (not refused, not the
    // browser's error page).
    bool montre(const QString &fichier)
    {
        return QTest::qWaitFor([&] {
            return QUrl(web()->LocationURL()).fileName() == fichier &&
                   web()->ReadyState() == Navigateur::READYSTATE_COMPLETE && m_chargement == 1;
        }, 10000);
    }
    QAction *bouton(const char *cle) const
    {
        for (QAction *a : child<QToolBar>("tbToolBar")->actions()) {
            if (a->property("Key").toString() == QLatin1String(cle))
                return a;
        }
        return nullptr;
    }
    // The local page the browser was last asked to show, once it has been asked for one of
    // the program's own.
    QString pageDifferences() const
    {
        QString fichier;
        (void)QTest::qWaitFor([&] {
            const QUrl url(web()->LocationURL());
            fichier = url.toLocalFile();
            return QFileInfo(fichier).fileName().startsWith(QLatin1String("differences-"));
        }, 10000);
        return fichier;
    }
};

// The text of a PDF; empty without pdftotext.
QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral(PDFTOTEXT), {pdf, QStringLiteral("-")});
    if (!p.waitForFinished(20000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class ComparaisonTest : public QObject {
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private Q_SLOTS:
    void oneSpeciesChosenIsNotACompare()
    {
        Harness h;
        h.menu("mnuViewResults")->trigger();
        h.clicLigne(QStringLiteral("Quercus robur"));
        h.menu("mnuViewCompare")->trigger();
        QCOMPARE(h.dialogs.textes(), QStringList{texte(1217)});
        QCOMPARE(h.menu("mnuViewCompare")->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
    }

    void ctrlClickedLinesAreComparedInTheBrowser()
    {
        Harness h;
        h.menu("mnuViewResults")->trigger();
        h.clicLigne(QStringLiteral("Quercus robur"));
        h.clicLigne(QStringLiteral("Pinus sylvestris"), Qt::ControlModifier);
        // Opening the page of the line clicked last keeps the other line chosen.
        QCOMPARE(h.liste()->lignesChoisies().size(), 2);
        QCOMPARE(h.window->Especes_Choisies().size(), std::size_t{2});

        h.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        QTest::keyClick(h.window.get(), Qt::Key_D, Qt::ControlModifier);
        const QString page = QString::fromUtf8(readAll(h.pageDifferences()));
        QVERIFY2(page.contains(QLatin1String("Leaf type")), qPrintable(page));
        QVERIFY(page.contains(QLatin1String("Needle")));
        QVERIFY(!page.contains(QLatin1String("Bark"))); // both furrowed
        QVERIFY(h.dialogs.messages.empty());
        // The page is printed as any page of the browser: through the print dialog.
        QVERIFY(h.web()->isVisible());
    }

    void backLeavesTheDifferencesAndForwardComesBack()
    {
        Harness h;
        QAction *arriere = h.bouton("Arriere");
        QAction *avant = h.bouton("Avant");
        h.menu("mnuViewResults")->trigger();
        h.clicLigne(QStringLiteral("Quercus robur"));
        QVERIFY(h.montre(QStringLiteral("quero_en.html")));
        h.clicLigne(QStringLiteral("Fagus sylvatica"), Qt::ControlModifier);
        QVERIFY(h.montre(QStringLiteral("fagsy_en.html")));
        QTRY_VERIFY(!arriere->isEnabled()); // the species' own page

        h.menu("mnuViewCompare")->trigger();
        const QString premiere = QFileInfo(h.pageDifferences()).fileName();
        QVERIFY(h.montre(premiere));
        QTRY_VERIFY(arriere->isEnabled());
        QVERIFY(!avant->isEnabled());

        // Back: the species page the comparison was asked from; Forward: the differences again.
        h.window->Traiter_Fichier(QStringLiteral("Arriere"), QString());
        QVERIFY(h.montre(QStringLiteral("fagsy_en.html")));
        QTRY_VERIFY(avant->isEnabled());
        QTRY_VERIFY(!arriere->isEnabled());
        h.window->Traiter_Fichier(QStringLiteral("Avant"), QString());
        QVERIFY(h.montre(premiere));
        QTRY_VERIFY(!avant->isEnabled());

        // A second comparison: Back goes through the first one, which is still read, then to the
        // species page.
        h.menu("mnuViewCompare")->trigger();
        QCOMPARE(premiere, QStringLiteral("differences-1.html"));
        const QString seconde = QStringLiteral("differences-2.html");
        QVERIFY(h.montre(seconde));
        h.window->Traiter_Fichier(QStringLiteral("Arriere"), QString());
        QVERIFY(h.montre(premiere));
        h.window->Traiter_Fichier(QStringLiteral("Arriere"), QString());
        QVERIFY(h.montre(QStringLiteral("fagsy_en.html")));

        // Another species chosen starts the history again.
        h.clicLigne(QStringLiteral("Pinus sylvestris"));
        QVERIFY(h.montre(QStringLiteral("pinsy_en.html")));
        QTRY_VERIFY(!h.web()->history()->canGoBack());
    }

    void theDifferencesOnShowFollowALanguageSwitch()
    {
        Harness h;
        h.menu("mnuViewResults")->trigger();
        h.clicLigne(QStringLiteral("Quercus robur"));
        h.clicLigne(QStringLiteral("Pinus sylvestris"), Qt::ControlModifier);
        h.menu("mnuViewCompare")->trigger();
        const QString page = QFileInfo(h.pageDifferences()).fileName();
        QVERIFY(h.montre(page));
        QTRY_COMPARE(h.web()->page()->title(), texte(1183));

        h.model.Num_Langue = 2;
        h.window->Change_Langue();
        QTRY_COMPARE(h.web()->page()->title(), texteOuAnglais(2, 1183));
        QVERIFY(h.montre(page)); // the same page, in its place in the history
        QVERIFY(QString::fromUtf8(readAll(h.pageDifferences())).contains(texteOuAnglais(2, 1185)));
    }

    void withNoPageYetBackAndForwardAreOff()
    {
        Harness h;
        h.menu("mnuViewSpecies")->trigger();
        QVERIFY(h.web()->isVisible());
        QTRY_VERIFY(!h.bouton("Arriere")->isEnabled());
        QTRY_VERIFY(!h.bouton("Avant")->isEnabled());
    }

    void speciesChosenInTheTreeAreCompared()
    {
        Harness h;
        h.menu("mnuViewSpecies")->trigger();
        QTreeWidgetItem *chene = h.noeud(QStringLiteral("QUERO"));
        QTreeWidgetItem *hetre = h.noeud(QStringLiteral("FAGSY"));
        QVERIFY(chene && hetre);
        chene->setSelected(true);
        hetre->setSelected(true);
        // The family node chosen too stands for no species.
        h.noeud(QStringLiteral("FAGACEAE"))->setSelected(true);
        QCOMPARE(h.window->Especes_Choisies().size(), std::size_t{2});
        h.menu("mnuViewCompare")->trigger();
        const QString page = QString::fromUtf8(readAll(h.pageDifferences()));
        QVERIFY(page.contains(QLatin1String("Bark")));
        QVERIFY(!page.contains(QLatin1String("Leaf type")));
        QVERIFY(h.arbre()->isVisible()); // the tree's view shows the page
    }

    void compareWithAsksForTheOthers()
    {
        Harness h;
        h.menu("mnuViewCompareWith")->trigger();
        QCOMPARE(h.dialogs.textes(), QStringList{texte(1219)}); // no species page yet
        QVERIFY(h.dialogs.demandesChoix.empty());

        h.menu("mnuViewResults")->trigger();
        h.clicLigne(QStringLiteral("Quercus robur"));
        h.dialogs.choisis.push_back({0});
        h.menu("mnuViewCompareWith")->trigger();
        QCOMPARE(h.dialogs.demandesChoix.size(), std::size_t{1});
        const DemandeChoix &d = h.dialogs.demandesChoix.back();
        QCOMPARE(d.elements, (QStringList{QStringLiteral("Fagus sylvatica"), QStringLiteral("Pinus sylvestris")}));
        QCOMPARE(d.minimum, 1);
        QCOMPARE(d.maximum, 4);
        QVERIFY(d.label.contains(QLatin1String("Quercus robur")));
        const QString page = QString::fromUtf8(readAll(h.pageDifferences()));
        QVERIFY(page.contains(QLatin1String("Quercus robur")) && page.contains(QLatin1String("Fagus sylvatica")));
        QVERIFY(page.contains(QLatin1String("Bark")));

        // Cancelled: the page stays.
        h.menu("mnuViewCompareWith")->trigger();
        QCOMPARE(h.dialogs.demandesChoix.size(), std::size_t{2});
        QCOMPARE(h.pageDifferences(), QUrl(h.web()->LocationURL()).toLocalFile());
    }

    void aFamilyOrAGenusNarrowsTheIdentification()
    {
        Harness h;
        const QString titre = h.window->windowTitle();
        h.menu("mnuViewSpecies")->trigger();
        QVERIFY(h.menuArbre(QStringLiteral("FAGACEAE"), "mnuGroupeFamille"));
        QCOMPARE(h.model.Groupe, (Groupe_Especes{Groupe_Especes::Rang::Famille, "FAGACEAE"}));
        QCOMPARE(h.lines().size(), 2);
        QVERIFY2(h.legende().contains(QLatin1String("within Fagaceae")), qPrintable(h.legende()));
        QCOMPARE(h.window->windowTitle(), titre + QStringLiteral(" - within Fagaceae"));
        QVERIFY(h.window->Modifie());

        // From a species: its genus, where every name of the key has one.
        QVERIFY(h.menuArbre(QStringLiteral("PINSY"), "mnuGroupeGenre"));
        QCOMPARE(h.lines().size(), 1);
        QCOMPARE(h.window->windowTitle(), titre + QStringLiteral(" - within Pinus"));

        QVERIFY(h.menuArbre(QStringLiteral("PINSY"), "mnuGroupeAucun"));
        QVERIFY(!h.model.Groupe);
        QCOMPARE(h.lines().size(), 3);
        QCOMPARE(h.window->windowTitle(), titre);

        // New identification lifts it too.
        QVERIFY(h.menuArbre(QStringLiteral("FAGACEAE"), "mnuGroupeFamille"));
        h.dialogs.reponses = {ReponseMessage::No}; // not saved
        h.menu("mnuFileNew")->trigger();
        QVERIFY(!h.model.Groupe);
        QCOMPARE(h.window->windowTitle(), titre);
        QVERIFY(!h.legende().contains(QLatin1String("Fagaceae")));
    }

    void theLegendOfANarrowedIdentificationFitsItsBox()
    {
        Harness h;
        h.window->resize(1280, 800);
        h.menu("mnuViewSpecies")->trigger();
        QVERIFY(h.menuArbre(QStringLiteral("FAGACEAE"), "mnuGroupeFamille"));
        auto *legende = h.child<LegendeStatut>("Legende");
        auto *boite = h.child<QWidget>("Resultat");
        auto *barre = h.child<QWidget>("sbStatusBar");
        const auto entiere = [&] {
            return legende->fontMetrics().horizontalAdvance(legende->text()) <= legende->contentsRect().width();
        };
        // The box stays on the status bar; where there is room, the messages keep a third of it.
        const auto dansLaBarre = [&](bool place = true) {
            const QRect b(boite->mapTo(h.window.get(), QPoint(0, 0)), boite->size());
            const QRect s(barre->mapTo(h.window.get(), QPoint(0, 0)), barre->size());
            return (!place || b.left() > s.left() + s.width() / 3) && b.right() <= s.right() &&
                   legende->width() == boite->width();
        };
        for (const int langue : {0, 2, 1}) {
            h.model.Num_Langue = static_cast<std::int16_t>(langue);
            h.window->Change_Langue();
            QVERIFY2(legende->text().contains(QLatin1String("Fagaceae")), qPrintable(legende->text()));
            QTRY_VERIFY2(entiere(), qPrintable(QStringLiteral("%1: %2 px in %3").arg(legende->text())
                                                   .arg(legende->fontMetrics().horizontalAdvance(legende->text()))
                                                   .arg(legende->contentsRect().width())));
            QVERIFY(dansLaBarre());
            QCOMPARE(legende->texteAffiche(), legende->text());
            QCOMPARE(legende->toolTip(), legende->text());
        }

        // At the smallest size the window takes, the box keeps its minimum and the legend ends with
        // an ellipsis; the whole of it is in the tip.
        h.window->resize(h.window->minimumSizeHint());
        QTRY_VERIFY(legende->texteAffiche() != legende->text());
        QVERIFY(legende->texteAffiche().endsWith(QChar(0x2026)));
        QCOMPARE(legende->toolTip(), legende->text());
        QTRY_VERIFY(dansLaBarre(false));

        // Among all species again, at the larger size: the shorter legend, whole.
        h.window->resize(1280, 800);
        QVERIFY(h.menuArbre(QStringLiteral("QUERO"), "mnuGroupeAucun"));
        QTRY_VERIFY(entiere());
        QTRY_VERIFY(dansLaBarre());
    }

    void theGroupIsSavedAndOpenedAgain()
    {
        Harness h;
        h.answer(3, 1); // furrowed bark: oak and pine
        h.menu("mnuViewSpecies")->trigger();
        QVERIFY(h.menuArbre(QStringLiteral("FAGACEAE"), "mnuGroupeFamille"));
        const QString path = h.file("group.ryk");
        h.dialogs.fichiers.push_back(path);
        QCOMPARE(h.window->Exec_Save(), frmMain::Sauvegarde::Faite);
        QVERIFY2(readAll(path).contains("RGRP"), "the file does not carry the group");
        QCOMPARE(h.window->windowTitle(), h.title() + QStringLiteral(" - within Fagaceae [") + path + QLatin1Char(']'));

        h.menu("mnuFileNew")->trigger();
        QVERIFY(!h.model.Groupe);
        h.window->Traiter_Fichier(QStringLiteral("Open"), path);
        QCOMPARE(h.model.Groupe, (Groupe_Especes{Groupe_Especes::Rang::Famille, "FAGACEAE"}));
        QCOMPARE(h.lines().size(), 2);
        QVERIFY(h.legende().contains(QLatin1String("within Fagaceae")));
        QCOMPARE(h.window->windowTitle(), h.title() + QStringLiteral(" - within Fagaceae [") + path + QLatin1Char(']'));
        QVERIFY(!h.window->Modifie());

        // Saved among all species again, the file carries no group, and opening it lifts the
        // group on screen.
        QVERIFY(h.menuArbre(QStringLiteral("QUERO"), "mnuGroupeAucun"));
        QCOMPARE(h.window->Exec_Save(), frmMain::Sauvegarde::Faite);
        QVERIFY(!readAll(path).contains("RGRP"));
        QVERIFY(h.menuArbre(QStringLiteral("QUERO"), "mnuGroupeGenre"));
        h.window->Traiter_Fichier(QStringLiteral("Open"), path);
        QVERIFY(!h.model.Groupe);
        QCOMPARE(h.lines().size(), 3);
        QCOMPARE(h.window->windowTitle(), h.title() + QStringLiteral(" [") + path + QLatin1Char(']'));
    }

    void theDichotomousKeyPrintsInTheInterfaceLanguage()
    {
        if (!QFileInfo::exists(QStringLiteral(PDFTOTEXT)))
            QSKIP("pdftotext (poppler-utils) is not installed");
        Harness h;
        h.menu("mnuFilePrintKey")->trigger(); // cancelled
        QCOMPARE(h.dialogs.impressions, 1);
        QVERIFY(h.dialogs.messages.empty());

        h.dialogs.pdf = h.file("key.pdf");
        h.menu("mnuFilePrintKey")->trigger();
        const QString anglais = pdfText(h.dialogs.pdf);
        QVERIFY2(anglais.contains(QLatin1String("Dichotomous key")), qPrintable(anglais));
        QVERIFY(anglais.contains(QLatin1String("3 species, 2 couplets")));
        // Each lead's number stands apart from its state.
        QVERIFY2(anglais.contains(QRegularExpression(QStringLiteral("\\b1a\\s+\\w"))), qPrintable(anglais));
        QVERIFY2(!anglais.contains(QRegularExpression(QStringLiteral("\\b\\d+[ab][A-Z]"))), qPrintable(anglais));
        for (const char *espece : {"Quercus robur", "Fagus sylvatica", "Pinus sylvestris"})
            QVERIFY(anglais.contains(QLatin1String(espece)));

        // No ink for the screen's page colour.
        QCOMPARE(Document_Cle_Dichotomique(h.model)->rootFrame()->frameFormat().background().style(), Qt::NoBrush);

        h.model.Num_Langue = 2;
        h.menu("mnuFilePrintKey")->trigger();
        const QString francais = pdfText(h.dialogs.pdf);
        QVERIFY2(francais.contains(QStringLiteral("Clé dichotomique")), qPrintable(francais));
    }

    void theDichotomousKeyOfANarrowedIdentificationIsTheGroups()
    {
        Harness h;
        h.menu("mnuViewSpecies")->trigger();
        QVERIFY(h.menuArbre(QStringLiteral("FAGACEAE"), "mnuGroupeFamille"));
        const auto texteCle = [&h] { return Document_Cle_Dichotomique(h.model)->toPlainText(); };
        QString cle = texteCle();
        QVERIFY2(cle.contains(QLatin1String("Dichotomous key of the family Fagaceae")), qPrintable(cle));
        QVERIFY2(cle.contains(QLatin1String("2 species, 1 couplets")), qPrintable(cle));
        QVERIFY(cle.contains(QLatin1String("Quercus robur")) && cle.contains(QLatin1String("Fagus sylvatica")));
        QVERIFY(!cle.contains(QLatin1String("Pinus")));

        // A genus of one species: that species, and no couplet.
        QVERIFY(h.menuArbre(QStringLiteral("PINSY"), "mnuGroupeGenre"));
        h.model.Num_Langue = 1;
        cle = texteCle();
        QVERIFY2(cle.contains(QStringLiteral("Clave dicotómica del género Pinus")), qPrintable(cle));
        QVERIFY(cle.contains(QLatin1String("Pinus sylvestris")));
        QVERIFY(!cle.contains(QLatin1String("Quercus")) && !cle.contains(QLatin1String("Fagus")));

        h.model.Num_Langue = 2;
        QVERIFY(h.menuArbre(QStringLiteral("QUERO"), "mnuGroupeFamille"));
        QVERIFY(texteCle().contains(QStringLiteral("Clé dichotomique de la famille des Fagaceae")));

        // Among all species again: the whole key under its own title.
        QVERIFY(h.menuArbre(QStringLiteral("QUERO"), "mnuGroupeAucun"));
        h.model.Num_Langue = 0;
        cle = texteCle();
        QVERIFY(cle.contains(QLatin1String("3 species, 2 couplets")));
        QVERIFY(!cle.contains(QLatin1String(" of the ")));
    }
};

QTEST_MAIN(ComparaisonTest)
#include "comparaison_test.moc"
