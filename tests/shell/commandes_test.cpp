// The commands of the main window: new, open and save of an identification file.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <QPushButton>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>

#include <filesystem>

#include "commands/fichier_identification.h"
#include "knowledge/key_model.h"
#include "knowledge/palette.h"
#include "layout/arrange_fenetre.h"
#include "platform/dialog_service.h"
#include "platform/qt_text.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"
#include "resources/string_table.h"
#include "shell/contexte.h"
#include "shell/frm_main.h"
#include "shell/localisation.h"
#include "support/petite_cle.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "tools/kbbuilder/kb_builder.h"
#include "tools/wmf/wmf_writer.h"
#include "views/barres.h"
#include "views/pic_choix.h"
#include "views/robot_view.h"

using namespace tarvenko;
using tools::WmfRect;
using tools::WmfWriter;

namespace {

using Harness = test::PetiteCle;

// The text of a PDF, laid out as on its pages; empty without pdftotext.
QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral(PDFTOTEXT), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(20000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write the test file");
}

// The four bookkeeping states, as the menus, the Save button and the caption show them.
enum class Etat { New, NewChanged, Saved, SavedChanged };

void checkState(const Harness &h, Etat etat, const QString &path = QString())
{
    const bool changed = etat == Etat::NewChanged || etat == Etat::SavedChanged;
    const bool saved = etat == Etat::Saved || etat == Etat::SavedChanged;
    QCOMPARE(h.window->Modifie(), changed);
    QCOMPARE(h.menu("mnuFileSave")->isEnabled(), etat == Etat::SavedChanged);
    QCOMPARE(h.menu("mnuFileSaveAs")->isEnabled(), etat != Etat::New);
    QCOMPARE(h.saveButton()->isEnabled(), changed);
    QCOMPARE(qs(h.model.Fichier_Courant), saved ? path : QString());
    QCOMPARE(h.window->windowTitle(), saved ? h.title() + QStringLiteral(" [") + path + QStringLiteral("]") : h.title());
}

// Etat_Choisi then Cadre_Fait, 16-bit little-endian.
QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values) {
        out.append(char(v & 0xFF));
        out.append(char((v >> 8) & 0xFF));
    }
    return out;
}

// Takes what would be handed to the desktop's openers, and only counts it.
class Bureau final : public QObject {
    Q_OBJECT

public:
    Bureau()
    {
        for (const QString &scheme : schemes())
            QDesktopServices::setUrlHandler(scheme, this, "ouvre");
    }
    ~Bureau() override
    {
        for (const QString &scheme : schemes())
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QList<QUrl> ouverts;

public Q_SLOTS:
    void ouvre(const QUrl &url) { ouverts << url; }

private:
    static QStringList schemes()
    {
        return {QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("mailto")};
    }
};

QWidget *fenetre(const char *name)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name))
            return w;
    return nullptr;
}

// Clicks the link whose text is `texte`, as a reader would.
void cliqueLien(QTextBrowser *browser, const QString &texte)
{
    QTextCursor cursor = browser->document()->find(texte);
    QVERIFY2(!cursor.isNull(), qPrintable(texte));
    cursor.setPosition(cursor.selectionStart() + 1);
    QVERIFY(cursor.charFormat().isAnchor());
    const QPoint p = browser->cursorRect(cursor).center();
    QTest::mousePress(browser->viewport(), Qt::LeftButton, {}, p);
    QTest::mouseRelease(browser->viewport(), Qt::LeftButton, {}, p);
}

// Another key beside the small one, in `dossier` below the test folder: two species of its own,
// one leaf question, the same drawing. Returns its folder (holding data/, robot/, descripteurs/).
QString ecritAutreCle(const Harness &h, const char *dossier = "autre")
{
    namespace fs = std::filesystem;
    const std::string racine = h.root.dossier() + dossier + "/";
    for (const char *f : {"data", "robot/00", "descripteurs"})
        fs::create_directories(racine + f);
    test::writeDrawing(racine + "robot/00/arbre.wmf");
    test::writeGrid(racine + "descripteurs/feuille.wmf");
    tools::KbBuilder kb(racine + "data/");
    kb.espece("Acer campestre", "SAPINDACEAE", "ACECA").espece("Tilia cordata", "MALVACEAE", "TILCO");
    kb.objet({.objet = "FEUILLE", .etats = {"LOBEE", "ENTIERE"}, .tips = {"Lobed", "Entire"}, .lignes = 1,
              .colonnes = 2, .cadre = 0, .tipText = "Leaf", .popup = "feuille.wmf"});
    kb.a("Acer campestre", "LOBEE").a("Tilia cordata", "ENTIERE");
    kb.hierarchie(0, "arbre.wmf", {});
    kb.couleur("FEUILLE").couleur("FEUILLE");
    kb.butDeter("Leaf", "leaf.ico", "Leaf", "FEUILLE").butDeter("Search", "search.ico", "Propose a question", "Search");
    kb.butQuest("OK", "ok.ico", "Validate").butQuest("Back", "back.ico", "Leave").butQuest("Pass", "pass.ico", "Pass");
    kb.ecrit();
    return QString::fromStdString(racine).chopped(1);
}

QStringList cles(const Harness &h)
{
    QStringList out;
    for (int i = 1; i <= 6; ++i) {
        const QString cle = h.settings.valeurUtilisateur(QStringLiteral("Cles"), QStringLiteral("Recente%1").arg(i), QString());
        if (!cle.isEmpty())
            out << cle;
    }
    return out;
}

// The File menu's entries of recent keys, as shown.
QStringList entreesRecentes(const Harness &h)
{
    QStringList out;
    for (QAction *a : h.window->findChild<QMenu *>(QStringLiteral("mnuFile"))->actions())
        if (a->objectName().startsWith(QLatin1String("mnuFileKey")))
            out << a->text();
    return out;
}

} // namespace

class CommandesTest : public QObject {
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private Q_SLOTS:
    void savingAndOpeningGoThroughTheFourStates()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        QVERIFY(h.saveButton());
        checkState(h, Etat::New);

        h.answer(1, 1); // needle leaves
        checkState(h, Etat::NewChanged);
        const QStringList ranked = h.lines();

        const QString path = h.file("ident.ryk");
        h.dialogs.fichiers.push_back(path);
        h.menu("mnuFileSaveAs")->trigger();
        QCOMPARE(h.dialogs.demandesFichier.size(), std::size_t{1});
        QCOMPARE(h.dialogs.demandesFichier[0].title, QStringLiteral("Save"));
        QCOMPARE(h.dialogs.demandesFichier[0].filter, texteOuAnglais(0, 1052));
        QCOMPARE(h.dialogs.demandesFichier[0].initialName, QStringLiteral("*.ryk"));
        QCOMPARE(readAll(path), bytesOf({0, 1, 0, 0, -1, 0}));
        checkState(h, Etat::Saved, path);

        h.answer(3, 0); // smooth bark
        checkState(h, Etat::SavedChanged, path);
        h.menu("mnuFileSave")->trigger(); // silent: no dialog
        QCOMPARE(h.dialogs.demandesFichier.size(), std::size_t{1});
        QCOMPARE(readAll(path), bytesOf({0, 1, 1, 0, -1, -1}));
        checkState(h, Etat::Saved, path);
        const QStringList ranked2 = h.lines();
        QVERIFY(ranked2 != ranked);

        h.menu("mnuFileNew")->trigger();
        QVERIFY(h.dialogs.messages.empty()); // nothing to save: no question
        QCOMPARE(h.model.Etat_Choisi, (std::vector<std::int16_t>{0, 0, 0, 0}));
        QCOMPARE(h.model.Cadre_Fait, (std::vector<std::int16_t>{0, 0}));
        checkState(h, Etat::New);

        h.dialogs.fichiers.push_back(path);
        h.menu("mnuFileOpen")->trigger();
        QCOMPARE(h.dialogs.demandesFichier.size(), std::size_t{2});
        QCOMPARE(h.dialogs.demandesFichier[1].title, QStringLiteral("Open"));
        QCOMPARE(h.model.Etat_Choisi, (std::vector<std::int16_t>{0, 1, 1, 0}));
        QCOMPARE(h.model.Cadre_Fait, (std::vector<std::int16_t>{-1, -1}));
        QCOMPARE(h.lines(), ranked2); // re-scored from the file
        checkState(h, Etat::Saved, path); // re-scoring does not count as a change
        QVERIFY(h.child<QLabel>("sbPanel1")->text().isEmpty());
        QCOMPARE(int(h.model.Vue_Courante), 1);

        // Save As from Saved asks for a file again and stays Saved.
        const QString other = h.file("other.ryk");
        h.dialogs.fichiers.push_back(other);
        h.menu("mnuFileSaveAs")->trigger();
        QCOMPARE(h.dialogs.demandesFichier.size(), std::size_t{3});
        QCOMPARE(readAll(other), bytesOf({0, 1, 1, 0, -1, -1}));
        checkState(h, Etat::Saved, other);
    }

    void cancellingStopsTheCommand()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        h.answer(1, 0);
        const std::vector<std::int16_t> answers = h.model.Etat_Choisi;

        // The Save dialog cancelled: nothing changes.
        h.menu("mnuFileSave")->setEnabled(false);
        h.window->Traiter_Fichier(QStringLiteral("Save"), QString());
        QCOMPARE(h.dialogs.demandesFichier.size(), std::size_t{1});
        checkState(h, Etat::NewChanged);

        // Cancel in the question before New: the whole command stops.
        h.dialogs.reponses.push_back(ReponseMessage::Cancel);
        h.menu("mnuFileNew")->trigger();
        QCOMPARE(h.dialogs.messages.size(), std::size_t{1});
        QCOMPARE(h.dialogs.messages[0].text, texteOuAnglais(0, 1072));
        QCOMPARE(h.dialogs.messages[0].title, texteOuAnglais(0, 1023));
        QCOMPARE(h.model.Etat_Choisi, answers);
        checkState(h, Etat::NewChanged);

        // Cancel in the question before Open: no Open dialog.
        h.dialogs.reponses.push_back(ReponseMessage::Cancel);
        h.menu("mnuFileOpen")->trigger();
        QCOMPARE(h.dialogs.messages.size(), std::size_t{2});
        QCOMPARE(h.dialogs.messages[1].title, texteOuAnglais(0, 1024));
        QCOMPARE(h.dialogs.demandesFichier.size(), std::size_t{1});
        QCOMPARE(h.model.Etat_Choisi, answers);

        // Yes, then the Save dialog cancelled: New still goes on.
        h.dialogs.reponses.push_back(ReponseMessage::Yes);
        h.menu("mnuFileNew")->trigger();
        QCOMPARE(h.dialogs.demandesFichier.size(), std::size_t{2});
        QCOMPARE(h.model.Etat_Choisi, (std::vector<std::int16_t>{0, 0, 0, 0}));
        checkState(h, Etat::New);
    }

    void yesInTheQuestionSavesBeforeOpening()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        const QString first = h.file("first.ryk");
        writeBytes(first, bytesOf({1, 0, 0, 0, -1, 0}));
        h.answer(3, 1);
        const QString saved = h.file("saved.ryk");
        h.dialogs.reponses.push_back(ReponseMessage::Yes);
        h.dialogs.fichiers = {saved, first};
        h.menu("mnuFileOpen")->trigger();
        QCOMPARE(readAll(saved), bytesOf({0, 0, 0, 1, 0, -1}));
        QCOMPARE(h.model.Etat_Choisi, (std::vector<std::int16_t>{1, 0, 0, 0}));
        checkState(h, Etat::Saved, first);
    }

    void aCommandLinePathOpensInAnyLetterCase()
    {
        Harness h;
        h.key().ecrit();
        const QString onDisk = h.file("Foret.ryk");
        writeBytes(onDisk, bytesOf({0, 1, 0, 1, -1, -1, 7, 7})); // bytes past the arrays are ignored
        const QString typed = h.file("FORET.RYK");
        QVERIFY(!QFileInfo::exists(typed));
        h.open(QStringLiteral("\"") + typed + QStringLiteral("\""));
        QVERIFY(h.dialogs.messages.empty());
        QVERIFY(h.dialogs.demandesFichier.empty());
        QCOMPARE(h.model.Etat_Choisi, (std::vector<std::int16_t>{0, 1, 0, 1}));
        QCOMPARE(h.model.Cadre_Fait, (std::vector<std::int16_t>{-1, -1}));
        QVERIFY(!h.window->Modifie());
        QCOMPARE(QFileInfo(qs(h.model.Fichier_Courant)).canonicalFilePath(), QFileInfo(onDisk).canonicalFilePath());
        checkState(h, Etat::Saved, qs(h.model.Fichier_Courant));

        // The command itself, once the window runs.
        h.answer(1, 0);
        h.dialogs.reponses.push_back(ReponseMessage::Cancel); // never asked: a path opens directly
        h.window->Traiter_Fichier(QStringLiteral("Open"), typed);
        QVERIFY(h.dialogs.messages.empty());
        QCOMPARE(h.model.Etat_Choisi, (std::vector<std::int16_t>{0, 1, 0, 1}));
        QVERIFY(!h.window->Modifie());
    }

    void aCommandLinePathOpensAndSavesTheFileItNames_data()
    {
        // Files made in the test folder, the first being the one the path means.
        QTest::addColumn<QStringList>("onDisk");
        QTest::addColumn<QString>("typed");
        QTest::newRow("accented folder and name") << QStringList{QStringLiteral("Écologie/chêne.ryk")}
                                                  << QStringLiteral("Écologie/chêne.ryk");
        QTest::newRow("Cyrillic folder and name") << QStringList{QStringLiteral("Документы/дуб.ryk")}
                                                  << QStringLiteral("Документы/дуб.ryk");
        QTest::newRow("case pair, the capital one")
            << QStringList{QStringLiteral("Oak.ryk"), QStringLiteral("oak.ryk")} << QStringLiteral("Oak.ryk");
        QTest::newRow("case pair, the small one")
            << QStringList{QStringLiteral("oak.ryk"), QStringLiteral("Oak.ryk")} << QStringLiteral("oak.ryk");
        QTest::newRow("accented, typed in capitals") << QStringList{QStringLiteral("Écologie/Chêne.ryk")}
                                                     << QStringLiteral("ÉCOLOGIE/CHÊNE.RYK");
        QTest::newRow("Cyrillic, typed in capitals") << QStringList{QStringLiteral("Документы/Дуб.ryk")}
                                                     << QStringLiteral("ДОКУМЕНТЫ/ДУБ.RYK");
    }
    void aCommandLinePathOpensAndSavesTheFileItNames()
    {
        QFETCH(QStringList, onDisk);
        QFETCH(QString, typed);
        Harness h;
        h.key().ecrit();
        const QByteArray meant = bytesOf({1, 0, 0, 0, 0, -1}), other = bytesOf({0, 0, 0, 1, -1, 0});
        for (const QString &name : onDisk) {
            const QString path = h.file("") + name;
            std::filesystem::create_directories(std::filesystem::path(us(path)).parent_path());
            writeBytes(path, name == onDisk.front() ? meant : other);
        }
        const QString file = h.file("") + onDisk.front();

        h.open(QStringLiteral("\"") + h.file("") + typed + QStringLiteral("\""));
        QCOMPARE(h.dialogs.textes(), QStringList());
        QCOMPARE(h.model.Etat_Choisi, (std::vector<std::int16_t>{1, 0, 0, 0}));
        QCOMPARE(qs(h.model.Fichier_Courant), file);
        checkState(h, Etat::Saved, file);

        // Save goes back to that same file, and only to it.
        h.answer(1, 1);
        checkState(h, Etat::SavedChanged, file);
        h.menu("mnuFileSave")->trigger();
        QVERIFY(h.dialogs.demandesFichier.empty());
        QByteArray saved;
        for (const auto *values : {&h.model.Etat_Choisi, &h.model.Cadre_Fait})
            for (std::int16_t v : *values)
                saved.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
        QVERIFY(saved != meant);
        QCOMPARE(readAll(file), saved);
        for (const QString &name : onDisk.mid(1))
            QCOMPARE(readAll(h.file("") + name), other);
    }

    void aSecondStartOpensItsFileOnlyWhenTheUserGoesOn_data()
    {
        QTest::addColumn<bool>("goOn");
        QTest::newRow("No: the new start ends") << false;
        QTest::newRow("Yes: the hint, then the file") << true;
    }
    void aSecondStartOpensItsFileOnlyWhenTheUserGoesOn()
    {
        QFETCH(bool, goOn);
        Harness h;
        h.key().ecrit();
        const QString path = h.file("walk in the wood.ryk");
        writeBytes(path, bytesOf({0, 1, 0, 1, -1, -1}));
        // The first instance holds the lock.
        SingleInstance first(qs(h.root.fichier("lock")));
        QVERIFY(!first.autreInstance());

        h.dialogs.reponses = {goOn ? ReponseMessage::Yes : ReponseMessage::No};
        h.window = std::make_unique<frmMain>(h.ctx);
        const bool loaded = h.window->Form_Load(QStringLiteral("\"") + path + QStringLiteral("\""));
        QCOMPARE(loaded, goOn);
        QStringList asked{qs(*Texte(0, 1067))};
        if (goOn)
            asked << qs(*Texte(0, 1068));
        QCOMPARE(h.dialogs.textes(), asked);
        QVERIFY(h.dialogs.demandesFichier.empty());
        if (!goOn) {
            QCOMPARE(h.exitCode, 0);
            QCOMPARE(h.model.Nb_Esp, std::int16_t{0});
            QVERIFY(h.model.Fichier_Courant.empty());
            return;
        }
        QVERIFY(!h.exitCode);
        QCOMPARE(h.model.Etat_Choisi, (std::vector<std::int16_t>{0, 1, 0, 1}));
        QCOMPARE(QFileInfo(qs(h.model.Fichier_Courant)).canonicalFilePath(), QFileInfo(path).canonicalFilePath());
        QVERIFY(!h.window->Modifie());
    }

    void aFailedSaveLeavesTheIdentificationModified()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        h.answer(1, 1);
        const QString bad = h.file("missing-folder/ident.ryk");
        h.dialogs.fichiers.push_back(bad);
        h.window->Exec_Save();
        QCOMPARE(h.dialogs.messages.size(), std::size_t{1});
        QVERIFY(h.dialogs.messages[0].text.startsWith(bad + texteOuAnglais(0, 1074)));
        QVERIFY(!QFileInfo::exists(bad));
        checkState(h, Etat::NewChanged);

        // The same once the identification has a file: the file and the state stay.
        const QString good = h.file("ident.ryk");
        h.dialogs.fichiers.push_back(good);
        h.window->Exec_Save();
        h.answer(3, 0);
        checkState(h, Etat::SavedChanged, good);
        QVERIFY(QFile::remove(good));
        QVERIFY(QDir().mkpath(good)); // a folder where the file was: it cannot be written
        h.window->Exec_Save();
        QCOMPARE(h.dialogs.messages.size(), std::size_t{2});
        checkState(h, Etat::SavedChanged, good);
    }

    void unreadableFilesLeaveTheIdentificationAlone()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        const QString path = h.file("ident.ryk");
        h.answer(1, 1);
        h.dialogs.fichiers.push_back(path);
        h.window->Exec_Save();
        h.answer(3, 1);
        const std::vector<std::int16_t> states = h.model.Etat_Choisi, groups = h.model.Cadre_Fait;
        const QStringList ranked = h.lines();

        const auto refused = [&](const QString &file) {
            h.dialogs.reponses.push_back(ReponseMessage::No); // do not save first
            h.dialogs.fichiers.push_back(file);
            const std::size_t before = h.dialogs.messages.size();
            h.menu("mnuFileOpen")->trigger();
            QCOMPARE(h.dialogs.messages.size(), before + 2); // the question, then the refusal
            QCOMPARE(h.dialogs.messages.back().text, file + texteOuAnglais(0, 1074));
            QCOMPARE(h.model.Etat_Choisi, states);
            QCOMPARE(h.model.Cadre_Fait, groups);
            QCOMPARE(h.lines(), ranked);
            checkState(h, Etat::SavedChanged, path);
        };

        const QString shortFile = h.file("short.ryk");
        writeBytes(shortFile, bytesOf({1, 0, 0}));
        refused(shortFile);

        const QString invalid = h.file("invalid.ryk");
        writeBytes(invalid, bytesOf({2, 0, 0, 0, 0, 0}));
        refused(invalid);

        refused(h.file("nowhere.ryk")); // cannot be opened: Fichier_Courant stays
    }

    void newResetsEverything()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        h.answer(1, 1);
        // What a contradiction check leaves: an overlay past the layers, and a count.
        const std::size_t layers = static_cast<std::size_t>(h.model.Nb_Robot);
        h.model.Robots.resize(layers + 2);
        h.model.Nb_Contradictions = 2;
        const std::vector<bool> jokers = h.model.Joker;
        QVERIFY(!jokers.empty());
        h.model.Joker.clear();
        h.menu("mnuViewResults")->setChecked(true);
        h.menu("mnuViewIdentification")->setChecked(false);
        h.child<QLabel>("sbPanel1")->setText(QStringLiteral("busy"));

        h.dialogs.reponses.push_back(ReponseMessage::No);
        h.window->Traiter_Fichier(QStringLiteral("New"), QString());
        QCOMPARE(h.dialogs.messages.size(), std::size_t{1});
        QCOMPARE(h.model.Robots.size(), layers);
        QCOMPARE(h.model.Nb_Contradictions, std::int16_t{0});
        QCOMPARE(h.model.Joker, jokers);
        QCOMPARE(h.model.Etat_Choisi, (std::vector<std::int16_t>{0, 0, 0, 0}));
        QCOMPARE(h.lines().size(), 3);
        // Nothing answered: the first screen's advice, not the last question's text.
        QVERIFY(h.child<QLabel>("sbPanel1")->text().startsWith(QStringLiteral("Click a part of the tree")));
        QVERIFY(h.menu("mnuViewIdentification")->isChecked());
        QVERIFY(!h.menu("mnuViewResults")->isChecked());
        QVERIFY(!h.menu("mnuViewSpecies")->isChecked());
        QCOMPARE(h.bar("Barre_Deter")->actions().size(), 8);
        checkState(h, Etat::New);
    }

    void copyPutsTheShownPictureOnTheClipboard()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        h.window->Traiter_Fichier(QStringLiteral("Copy"), QString());
        auto *robot = h.child<RobotView>("Robot");
        QCOMPARE(clipboard->image().size(), robot->grab().size());

        h.clickButton("Barre_Deter", 1); // the question's pictures are shown instead
        auto *grid = h.child<PicChoixView>("Pic_Choix");
        QVERIFY(grid->isVisible() && !robot->isVisible());
        clipboard->clear();
        h.window->Traiter_Fichier(QStringLiteral("Copy"), QString());
        QCOMPARE(clipboard->image().size(), grid->grab().size());
        // The question picture goes as its metafile too, byte for byte.
        QFile metafile(h.file("descripteurs/feuille.wmf"));
        QVERIFY(metafile.open(QIODevice::ReadOnly));
        QCOMPARE(clipboard->mimeData()->data(QStringLiteral("image/wmf")), metafile.readAll());

        clipboard->clear();
        h.window->Traiter_Fichier(QStringLiteral("copy"), QString());
        QVERIFY(clipboard->image().isNull());
    }

    void copyIsOfferedWhereThereIsSomethingToCopy()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        QAction *bouton = nullptr;
        for (QAction *a : h.bar("tbToolBar")->actions())
            if (a->property("Key").toString() == QLatin1String("Copy"))
                bouton = a;
        QVERIFY(bouton);
        QAction *menu = h.menu("mnuEditCopy");
        const auto offert = [&] {
            // The button and the menu always agree.
            if (bouton->isEnabled() != menu->isEnabled())
                qWarning("tool bar Copy %d, Edit > Copy %d", bouton->isEnabled(), menu->isEnabled());
            return bouton->isEnabled() && menu->isEnabled();
        };
        QVERIFY(offert()); // the drawing, from the start
        h.clickButton("Barre_Deter", 1);
        QVERIFY(offert()); // the question's pictures
        h.clickButton("Barre_Question", 3); // leave
        h.menu("mnuViewResults")->trigger();
        QVERIFY(!bouton->isEnabled() && !menu->isEnabled()); // a document: nothing is copied
        h.menu("mnuViewIdentification")->trigger();
        QVERIFY(offert());
        h.menu("mnuViewSpecies")->trigger();
        QVERIFY(!bouton->isEnabled() && !menu->isEnabled());
    }

    void theIdentificationPrintsAsAReport()
    {
        if (!QFileInfo::exists(QStringLiteral(PDFTOTEXT)))
            QSKIP("pdftotext (poppler-utils) is not installed");
        Harness h;
        h.key().ecrit();
        h.open();
        h.answer(1, 1); // needle leaves

        const QString pdf = h.file("report.pdf");
        h.dialogs.fichiers.push_back(pdf);
        h.menu("mnuFileExportReport")->trigger();
        QCOMPARE(h.dialogs.demandesFichier.back().filter, texteOuAnglais(0, 1909));
        QCOMPARE(h.dialogs.demandesFichier.back().defaultExtension, QStringLiteral(".pdf"));
        QVERIFY(h.dialogs.messages.empty());
        const QString text = pdfText(pdf);
        // The key, the answer by its question and state names, the leader with its percentage.
        for (const char *expected : {"Tarvenko.db", "Leaf type", "Needle"})
            QVERIFY2(text.contains(QLatin1String(expected)), expected);
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("1\\.\\s+100%\\s+Pinus sylvestris"))), qPrintable(text));
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("0%\\s+Quercus robur"))));
        QVERIFY(!text.contains(QLatin1String("Broad"))); // a state not chosen
        QVERIFY(!text.contains(QLatin1String("Bark")));  // a question not answered

        // Printed, through the print dialog; cancelled, nothing.
        h.dialogs.pdf = h.file("printed.pdf");
        h.menu("mnuFilePrintReport")->trigger();
        QVERIFY(pdfText(h.dialogs.pdf).contains(QLatin1String("Pinus sylvestris")));
        h.dialogs.pdf.clear();
        const int impressions = h.dialogs.impressions;
        h.menu("mnuFilePrintReport")->trigger();
        QCOMPARE(h.dialogs.impressions, impressions + 1);

        // In the language of the interface.
        h.model.Num_Langue = 2;
        const QString francais = h.file("rapport.pdf");
        h.dialogs.fichiers.push_back(francais);
        h.menu("mnuFileExportReport")->trigger();
        QCOMPARE(h.dialogs.demandesFichier.back().filter, texteOuAnglais(2, 1909));
        QVERIFY(pdfText(francais).contains(QStringLiteral("Réponses")));
        h.model.Num_Langue = 0;

        // A file that cannot be written is said.
        h.dialogs.fichiers.push_back(h.file("missing/folder/report.pdf"));
        h.menu("mnuFileExportReport")->trigger();
        QCOMPARE(h.dialogs.messages.size(), std::size_t{1});
    }

    void helpOpensTheHelpFileOrTheGuideOfTheLanguage()
    {
        test::TempDir install, guides;
        KeyModel m;
        m.Chemin_Executables = install.dossier();
        writeBytes(qs(guides.fichier("guide_en.html")), "<html>en</html>");
        writeBytes(qs(guides.fichier("guide_fr.html")), "<html>fr</html>");
        const QStringList dossiers{QStringLiteral("/nonexistent"), qs(guides.dossier())};
        QCOMPARE(Fichier_Aide(m, dossiers), qs(guides.fichier("guide_en.html")));
        m.Num_Langue = 2;
        QCOMPARE(Fichier_Aide(m, dossiers), qs(guides.fichier("guide_fr.html")));
        m.Num_Langue = 1; // no Spanish guide there
        QVERIFY(Fichier_Aide(m, dossiers).isEmpty());

        // An installation keeps its guides in the help folder below Chemin_Executables.
        QVERIFY(QDir().mkpath(qs(install.dossier() + "help")));
        writeBytes(qs(install.fichier("help/guide_es.html")), "<html>es</html>");
        QCOMPARE(Fichier_Aide(m, dossiers), qs(install.fichier("help/guide_es.html")));
        m.Num_Langue = 2; // only in the other folders
        QCOMPARE(Fichier_Aide(m, dossiers), qs(guides.fichier("guide_fr.html")));

        // A compiled help file cannot be shown on this system: the guide goes first.
        writeBytes(qs(install.fichier("help/Plomix.chm")), "ITSF");
        QCOMPARE(Fichier_Aide(m, dossiers), qs(guides.fichier("guide_fr.html")));
        m.Num_Langue = 1;
        QCOMPARE(Fichier_Aide(m, dossiers), qs(install.fichier("help/guide_es.html")));
        // Without a guide of the language, the help file, for a desktop that has a reader for it.
        QVERIFY(QFile::remove(qs(install.fichier("help/guide_es.html"))));
        QCOMPARE(Fichier_Aide(m, dossiers), qs(install.fichier("help/Plomix.chm")));

        // The guides of this program are found for every language.
        for (int langue = 0; langue <= 2; ++langue) {
            KeyModel sans;
            sans.Num_Langue = static_cast<std::int16_t>(langue);
            QVERIFY(!Fichier_Aide(sans, Dossiers_Guide()).isEmpty());
        }
    }

    void helpShowsTheGuideInsideTheProgram()
    {
        Bureau bureau; // a desktop that would open anything: none of it may go there
        Harness h;
        h.key().ecrit();
        QVERIFY(QDir().mkpath(h.file("programme/help")));
        writeBytes(h.file("programme/help/guide_en.html"),
                   "<html><head><title>Guide of the key</title></head><body><p>First page of the guide.</p>"
                   "<p><a href=\"https://example.org/trees\">Website</a> <a href=\"mailto:a@example.org\">Mail us</a> "
                   "<a href=\"suite.html#fin\">Read on</a></p></body></html>");
        writeBytes(h.file("programme/help/suite.html"),
                   "<html><body><p>Second page.</p><p><a name=\"fin\">End</a></p></body></html>");
        h.machine(QStringLiteral("Logiciel/Executables"), h.file("programme/"));
        h.open();
        h.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        const QUrl guide = QUrl::fromLocalFile(h.file("programme/help/guide_en.html"));

        QTest::keyClick(h.window.get(), Qt::Key_F1);
        QCOMPARE(bureau.ouverts, QList<QUrl>());
        QWidget *aide = fenetre("frmAide");
        QVERIFY(aide && aide->isVisible());
        auto *texte = aide->findChild<QTextBrowser *>(QStringLiteral("Texte_Aide"));
        QVERIFY(texte);
        QCOMPARE(texte->source(), guide);
        QVERIFY(texte->toPlainText().contains(QStringLiteral("First page of the guide.")));
        QCOMPARE(aide->windowTitle(), QStringLiteral("Guide of the key"));
        QVERIFY(QTest::qWaitForWindowActive(aide));

        // Addresses of other kinds stay where they are; a page beside the guide opens in place.
        cliqueLien(texte, QStringLiteral("Website"));
        cliqueLien(texte, QStringLiteral("Mail us"));
        QCOMPARE(texte->source(), guide);
        cliqueLien(texte, QStringLiteral("Read on"));
        QCOMPARE(texte->source().adjusted(QUrl::RemoveFragment), QUrl::fromLocalFile(h.file("programme/help/suite.html")));
        QVERIFY(texte->toPlainText().contains(QStringLiteral("Second page.")));

        // F1 in the help window goes back to the start of the guide; Escape closes the window.
        QTest::keyClick(texte, Qt::Key_F1);
        QCOMPARE(texte->source(), guide);
        QTest::keyClick(texte, Qt::Key_Escape);
        QVERIFY(!aide->isVisible());

        // The tool bar's Help shows the same window again.
        h.window->Traiter_Fichier(QStringLiteral("Help"), QString());
        QCOMPARE(fenetre("frmAide"), aide);
        QVERIFY(aide->isVisible());
        QCOMPARE(bureau.ouverts, QList<QUrl>());
    }

    void propertiesShowTheFactsOfTheKey()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        h.menu("mnuFileProperties")->trigger();
        QCOMPARE(h.dialogs.fiches.size(), std::size_t{1});
        const FicheProprietes &fiche = h.dialogs.fiches[0];
        QCOMPARE(fiche.title, QStringLiteral("Properties of the key"));
        using Lignes = std::vector<std::pair<QString, QString>>;
        const Lignes attendues{
            {QStringLiteral("Name:"), QStringLiteral("Tarvenko.db")},
            {QStringLiteral("Folder:"), QDir::toNativeSeparators(QFileInfo(h.file("data/Tarvenko.db")).absolutePath())},
            {QStringLiteral("Format:"), QStringLiteral("SQLite knowledge base")},
            {QStringLiteral("Species:"), QStringLiteral("3")},
            {QStringLiteral("Questions:"), QStringLiteral("2")},
            {QStringLiteral("States:"), QStringLiteral("4")},
            {QStringLiteral("Groups:"), QStringLiteral("2")},
        };
        QCOMPARE(fiche.lignes, attendues);
        // Nothing about the identification changed.
        QVERIFY(!h.window->Modifie());
    }

    void propertiesNameTheFormatOfTheFile_data()
    {
        // The file's first bytes, the language, then the format row and the source row expected.
        QTest::addColumn<QByteArray>("entete");
        QTest::addColumn<int>("langue");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("source");
        const auto jet = [](const char *moteur, char version) {
            QByteArray b("\x00\x01\x00\x00Standard ", 13);
            b += moteur;
            b += QByteArray(" DB\0", 4);
            b.resize(0x14, '\0');
            b += version;
            return b + QByteArray(64, '\0');
        };
        QTest::newRow("SQLite") << QByteArray("SQLite format 3\0", 16) + QByteArray(64, '\0') << 0
                                << QStringLiteral("SQLite knowledge base") << QString();
        QTest::newRow("Access 97") << jet("Jet", 0) << 0 << QStringLiteral("Access 97 (Jet 3) database, converted for reading")
                                   << QStringLiteral("Source:");
        QTest::newRow("Access 2000") << jet("Jet", 1) << 0
                                     << QStringLiteral("Access 2000-2003 (Jet 4) database, converted for reading")
                                     << QStringLiteral("Source:");
        QTest::newRow("Access 2007") << jet("ACE", 2) << 0
                                     << QStringLiteral("Access 2007+ (ACE) database, converted for reading")
                                     << QStringLiteral("Source:");
        QTest::newRow("Access 2000, in French")
            << jet("Jet", 1) << 2 << QStringLiteral("Base de données Access 2000-2003 (Jet 4), convertie pour la lecture")
            << QStringLiteral("Source :");
    }
    void propertiesNameTheFormatOfTheFile()
    {
        QFETCH(QByteArray, entete);
        QFETCH(int, langue);
        QFETCH(QString, format);
        QFETCH(QString, source);
        test::TempDir dir;
        const QString fichier = qs(dir.fichier("Cle.mdb"));
        writeBytes(fichier, entete);
        KeyModel m;
        m.Chemin_Base = us(fichier);
        m.Num_Langue = static_cast<std::int16_t>(langue);
        m.Nb_Esp = 12345;
        const FicheProprietes fiche = Fiche_Proprietes(m);
        QCOMPARE(fiche.lignes.at(2).second, format);
        if (source.isEmpty()) {
            QCOMPARE(fiche.lignes.size(), std::size_t{7});
        } else {
            // The program reads a converted copy: the Access file is named in full.
            QCOMPARE(fiche.lignes.size(), std::size_t{8});
            QCOMPARE(fiche.lignes.at(3), std::make_pair(source, QDir::toNativeSeparators(fichier)));
        }
        // Counts are written as the language writes numbers.
        QCOMPARE(fiche.lignes.at(fiche.lignes.size() - 4).second, langue == 2 ? QStringLiteral("12\u202F345")
                                                                              : QStringLiteral("12,345"));
    }

    void unknownWordsDoNothing()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        h.answer(1, 1);
        const std::vector<std::int16_t> answers = h.model.Etat_Choisi;
        for (const char *word : {"new", "NEW", "open", "save", "", "Nouveau", "Arret"})
            h.window->Traiter_Fichier(QString::fromLatin1(word), h.file("x.ryk"));
        QVERIFY(h.dialogs.messages.empty());
        QVERIFY(h.dialogs.demandesFichier.empty());
        QCOMPARE(h.model.Etat_Choisi, answers);
        checkState(h, Etat::NewChanged);
    }

    void numbersAreSavedOpenedAndClearedByNew()
    {
        Harness h;
        h.keyWithHeight().ecrit();
        h.open();
        h.answerNumber(QStringLiteral("35"));
        const QStringList ranked = h.lines();
        QCOMPARE(ranked.value(0), QStringLiteral(" 100% - Quercus robur"));

        const QString path = h.file("ident.ryk");
        h.dialogs.fichiers.push_back(path);
        h.menu("mnuFileSaveAs")->trigger();
        Identification lue;
        QCOMPARE(Lit_Identification(us(path), 4, 2, lue), LectureIdentification::Ok);
        QCOMPARE(lue.Reponses_Num, (std::vector<Reponse_Num>{{"HAUTEUR", 35.0}}));
        checkState(h, Etat::Saved, path);

        h.menu("mnuFileNew")->trigger();
        QVERIFY(!h.model.Valeur_Num.at(0));
        QVERIFY(h.model.Joker_Num.at(0));
        QVERIFY(h.lines() != ranked);

        h.dialogs.fichiers.push_back(path);
        h.menu("mnuFileOpen")->trigger();
        QCOMPARE(h.model.Valeur_Num.at(0), std::optional<double>(35.0));
        QCOMPARE(h.lines(), ranked);
        checkState(h, Etat::Saved, path);

        // A file without numbers, opened over an identification that has one, leaves none.
        const QString sansNombre = h.file("states.ryk");
        QFile f(sansNombre);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytesOf({0, 0, 0, 0, 0, 0}));
        f.close();
        h.dialogs.fichiers.push_back(sansNombre);
        h.menu("mnuFileOpen")->trigger();
        QVERIFY(!h.model.Valeur_Num.at(0));
        QVERIFY(h.lines() != ranked);
    }
    // A grid the program draws is copied as the picture on show, and printed with its names.
    void aDrawnGridIsCopiedAndPrinted()
    {
        Harness h;
        tools::KbBuilder kb = h.key();
        kb.sqlApres("UPDATE Objets_Fic SET Popup = NULL WHERE Objet = 'FEUILLE'");
        kb.ecrit();
        h.open();
        h.clickButton("Barre_Deter", 1);
        auto *grid = h.child<PicChoixView>("Pic_Choix");
        QVERIFY(grid->grilleDessinee());
        h.clickCell(1);
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        h.window->Traiter_Fichier(QStringLiteral("Copy"), QString());
        QCOMPARE(clipboard->image(), grid->grab().toImage().convertToFormat(clipboard->image().format()));
        QVERIFY(!clipboard->mimeData()->hasFormat(QStringLiteral("image/wmf")));

        if (!QFileInfo::exists(QStringLiteral(PDFTOTEXT)))
            QSKIP("pdftotext (poppler-utils) is not installed");
        h.dialogs.pdf = h.file("grid.pdf");
        h.window->Traiter_Fichier(QStringLiteral("Print"), QString());
        const QString text = pdfText(h.dialogs.pdf);
        QVERIFY2(text.contains(QLatin1String("Broad")) && text.contains(QLatin1String("Needle")), qPrintable(text));
        QCOMPARE(h.model.Descripteur_Courant.Selection, std::int16_t{1}); // printing chose nothing
    }

    void openKeyReplacesTheWholeKey()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        const QString autre = ecritAutreCle(h);
        h.answer(1, 1);
        h.dialogs.reponses.push_back(ReponseMessage::No); // do not save first
        h.dialogs.fichiers.push_back(autre);
        h.menu("mnuFileOpenKey")->trigger();

        QCOMPARE(h.dialogs.messages.size(), std::size_t{1});
        QCOMPARE(h.dialogs.messages[0].text, texteOuAnglais(0, 1072));
        QCOMPARE(h.dialogs.messages[0].title, QStringLiteral("Open a key"));
        QCOMPARE(h.dialogs.demandesFichier.back().title, QStringLiteral("Open a key"));
        QCOMPARE(h.dialogs.demandesFichier.back().filter, texteOuAnglais(0, 1162));
        QCOMPARE(h.model.Nom_Esp, (std::vector<std::string>{"Acer campestre", "Tilia cordata"}));
        QCOMPARE(h.lines().size(), 2);
        QVERIFY(h.lines()[0].endsWith(QLatin1String("Acer campestre")));
        QCOMPARE(h.window->windowTitle(), QStringLiteral("Tarvenko \u2014 autre"));
        QCOMPARE(h.title(), h.window->windowTitle());
        QCOMPARE(h.model.Chemin_Data, us(autre) + "/data/");
        QCOMPARE(h.model.Etat_Choisi, (std::vector<std::int16_t>{0, 0}));
        QCOMPARE(int(h.model.Vue_Courante), 1);
        QCOMPARE(h.bar("Barre_Deter")->actions().size(), 4);
        checkState(h, Etat::New);

        // The new key is played as any other.
        h.answer(1, 1); // entire leaves
        QCOMPARE(h.model.Etat_Choisi, (std::vector<std::int16_t>{0, 1}));
        QVERIFY(h.lines()[0].endsWith(QLatin1String("Tilia cordata")));
        checkState(h, Etat::NewChanged);
    }

    void aPathWithoutAKeyLeavesTheKeyInUse_data()
    {
        QTest::addColumn<QString>("dossier");
        QTest::addColumn<int>("raison");
        QTest::newRow("nothing there") << QStringLiteral("absent") << 1165;
        QTest::newRow("a folder without a key") << QStringLiteral("vide") << 1166;
        QTest::newRow("a damaged base") << QStringLiteral("abimee") << 1170;
        QTest::newRow("no MATRICE.DAT") << QStringLiteral("sans-matrice") << 1170;
        QTest::newRow("a drawing layer missing") << QStringLiteral("sans-dessin") << 1077;
    }
    void aPathWithoutAKeyLeavesTheKeyInUse()
    {
        QFETCH(QString, dossier);
        QFETCH(int, raison);
        Harness h;
        h.key().ecrit();
        h.open();
        const QString chemin = h.file(qPrintable(dossier));
        if (dossier == QLatin1String("vide")) {
            QVERIFY(QDir().mkpath(chemin + QStringLiteral("/data")));
        } else if (dossier == QLatin1String("abimee")) {
            QVERIFY(QDir().mkpath(chemin + QStringLiteral("/data")));
            writeBytes(chemin + QStringLiteral("/data/Tarvenko.db"), "not a database, only words");
        } else if (dossier == QLatin1String("sans-matrice")) {
            ecritAutreCle(h, "sans-matrice");
            QVERIFY(QFile::remove(chemin + QStringLiteral("/data/MATRICE.DAT")));
        } else if (dossier == QLatin1String("sans-dessin")) {
            ecritAutreCle(h, "sans-dessin");
            QVERIFY(QFile::remove(chemin + QStringLiteral("/robot/00/arbre.wmf")));
        }
        h.answer(1, 1);
        const QStringList ranked = h.lines();
        const std::vector<std::string> names = h.model.Nom_Esp;
        const QString title = h.window->windowTitle();

        h.dialogs.reponses.push_back(ReponseMessage::No);
        h.dialogs.fichiers.push_back(chemin);
        h.menu("mnuFileOpenKey")->trigger();
        QCOMPARE(h.dialogs.messages.size(), std::size_t{2}); // the question, then why not
        const QString text = h.dialogs.messages.back().text;
        QVERIFY2(text.startsWith(texteOuAnglais(0, 1164).arg(chemin)), qPrintable(text));
        QVERIFY2(text.contains(texteOuAnglais(0, raison)), qPrintable(text));
        QVERIFY(text.endsWith(texteOuAnglais(0, 1172)));
        QCOMPARE(h.model.Nom_Esp, names);
        QCOMPARE(h.lines(), ranked);
        QCOMPARE(h.window->windowTitle(), title);
        QVERIFY(cles(h).isEmpty());
        checkState(h, Etat::NewChanged);

        // ... and still works.
        h.answer(3, 0); // smooth bark
        QCOMPARE(h.model.Etat_Choisi, (std::vector<std::int16_t>{0, 1, 1, 0}));
        QVERIFY(h.lines() != ranked);
    }

    void cancelInTheSaveQuestionKeepsTheKey()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        const QString autre = ecritAutreCle(h);
        h.answer(1, 1);
        const QStringList ranked = h.lines();
        h.dialogs.reponses.push_back(ReponseMessage::Cancel);
        h.dialogs.fichiers.push_back(autre);
        h.menu("mnuFileOpenKey")->trigger();
        QVERIFY(h.dialogs.demandesFichier.empty()); // no file asked for
        QCOMPARE(h.model.Nom_Esp.size(), std::size_t{3});
        QCOMPARE(h.lines(), ranked);
        checkState(h, Etat::NewChanged);
    }

    void recentKeysAreStoredShownAndForgottenWhenGone()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        QVERIFY(entreesRecentes(h).isEmpty());
        const QString installee = QFileInfo(h.file("data/Tarvenko.db")).canonicalFilePath();
        const QString autre = ecritAutreCle(h);
        h.dialogs.fichiers.push_back(autre);
        h.menu("mnuFileOpenKey")->trigger();
        QCOMPARE(cles(h), (QStringList{autre, installee}));
        QCOMPARE(entreesRecentes(h).size(), 2);
        QVERIFY(entreesRecentes(h)[0].startsWith(QLatin1String("&1 ")));
        QVERIFY(entreesRecentes(h)[0].endsWith(QLatin1String("/autre")));
        QVERIFY(entreesRecentes(h)[1].startsWith(QLatin1String("&2 ")));

        // The next start opens the key opened last.
        h.window.reset();
        h.open();
        QCOMPARE(h.model.Nom_Esp.size(), std::size_t{2});
        QCOMPARE(h.window->windowTitle(), QStringLiteral("Tarvenko \u2014 autre"));
        QCOMPARE(entreesRecentes(h).size(), 2);

        // Back to the installation's key from the list: the settings' key at the next start too.
        h.child<QAction>("mnuFileKey2")->trigger();
        QCOMPARE(h.model.Nom_Esp.size(), std::size_t{3});
        QCOMPARE(h.window->windowTitle(), QStringLiteral("Tarvenko"));
        QCOMPARE(cles(h), (QStringList{installee, autre}));
        QVERIFY(h.settings.valeurUtilisateur(QStringLiteral("Cles"), QStringLiteral("Derniere"), QString()).isEmpty());

        // A key gone from the disk is told, and leaves the list.
        QVERIFY(QDir(autre).removeRecursively());
        const std::size_t before = h.dialogs.messages.size();
        h.child<QAction>("mnuFileKey2")->trigger();
        QCOMPARE(h.dialogs.messages.size(), before + 1);
        QVERIFY(h.dialogs.messages.back().text.contains(texteOuAnglais(0, 1165)));
        QCOMPARE(h.model.Nom_Esp.size(), std::size_t{3});
        QCOMPARE(cles(h), QStringList{installee});
        QCOMPARE(entreesRecentes(h).size(), 1);
    }

    void theKeyDialogTakesAFileOrTheFolderShown_data()
    {
        QTest::addColumn<QString>("geste");
        QTest::addColumn<QString>("attendu"); // below the test folder; "-" for nothing
        QTest::newRow("the folder button") << "folder" << "oak";
        QTest::newRow("a file") << "file" << "oak/Tarvenko.db";
        QTest::newRow("cancel") << "cancel" << "-";
    }
    void theKeyDialogTakesAFileOrTheFolderShown()
    {
        QFETCH(QString, geste);
        QFETCH(QString, attendu);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("oak")));
        writeBytes(dir.filePath(QStringLiteral("oak/Tarvenko.db")), "x");
        QtDialogService dialogues;
        bool vu = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            vu = true;
            dialog->setDirectory(dir.filePath(QStringLiteral("oak")));
            if (geste == QLatin1String("folder")) {
                auto *bouton = dialog->findChild<QPushButton *>(QStringLiteral("boutonDossier"));
                QVERIFY(bouton);
                QCOMPARE(bouton->text(), QStringLiteral("Open this &folder"));
                bouton->click();
            } else if (geste == QLatin1String("file")) {
                dialog->selectFile(dir.filePath(QStringLiteral("oak/Tarvenko.db")));
                static_cast<QDialog *>(dialog)->accept(); // as the Open button does
            } else {
                dialog->reject();
            }
        });
        const std::optional<QString> choisi = dialogues.fichierOuDossier(
            nullptr, DemandeFichier{QStringLiteral("Open a key"), texteOuAnglais(0, 1162), {}, {}, dir.path()},
            texteOuAnglais(0, 1163));
        QVERIFY(vu);
        if (attendu == QLatin1String("-"))
            QVERIFY(!choisi);
        else
            QCOMPARE(choisi.value_or(QString()), QDir(dir.path()).filePath(attendu));
    }
};

QTEST_MAIN(CommandesTest)
#include "commandes_test.moc"
