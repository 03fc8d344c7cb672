// Identifications are never lost: a save that fails, at any moment, says so and keeps the
// identification and the file it had.
#include <QAction>
#include <QFile>
#include <QTest>

#include <cerrno>
#include <cstring>

#include "commands/fichier_identification.h"
#include "knowledge/key_model.h"
#include "platform/qt_text.h"
#include "resources/string_table.h"
#include "shell/frm_main.h"
#include "shell/localisation.h"
#include "support/petite_cle.h"

using namespace tarvenko;

namespace {

using Harness = test::PetiteCle;

// A disk that is full: every write fails.
ssize_t disquePlein(int, const void *, std::size_t)
{
    errno = ENOSPC;
    return -1;
}

const AppelsFichier &appelsDisquePlein()
{
    static const AppelsFichier appels = [] {
        AppelsFichier a = appelsSysteme();
        a.write = disquePlein;
        return a;
    }();
    return appels;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString texte(int n) { return texteOuAnglais(0, n); }

// An identification saved in `ident.ryk`, then changed again: the state Saved, changed.
struct Enregistree : Harness {
    QString path = file("ident.ryk");
    QByteArray surDisque;

    Enregistree()
    {
        key().ecrit();
        open();
        answer(1, 1);
        dialogs.fichiers.push_back(path);
        window->Exec_Save();
        surDisque = readAll(path);
        if (surDisque.isEmpty() || window->Modifie())
            qFatal("the first save failed");
        answer(3, 0);
        ctx.fichiers = &appelsDisquePlein();
        dialogs.messages.clear();
    }
    // The failure was told, the file is as it was, and the identification still to be saved.
    void verifiePreservee(const std::vector<std::int16_t> &answers) const
    {
        QVERIFY(!dialogs.messages.empty());
        const QString failure = dialogs.messages.back().text;
        QVERIFY2(failure.startsWith(path + texte(1074)), qPrintable(failure));
        QVERIFY2(failure.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))), qPrintable(failure));
        QCOMPARE(readAll(path), surDisque);
        QCOMPARE(model.Etat_Choisi, answers);
        QVERIFY(window->Modifie());
        QVERIFY(menu("mnuFileSave")->isEnabled());
        QCOMPARE(qs(model.Fichier_Courant), path);
    }
};

} // namespace

class SauvegardeTest : public QObject {
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private Q_SLOTS:
    void aFailedSaveWhenClosingKeepsTheProgramOpen()
    {
        Enregistree h;
        const std::vector<std::int16_t> answers = h.model.Etat_Choisi;
        h.dialogs.reponses = {ReponseMessage::Yes, ReponseMessage::Yes}; // quit, then save
        QVERIFY(!h.window->close());
        QVERIFY(h.window->isVisible());
        QCOMPARE(h.dialogs.messages.size(), std::size_t{3}); // quit?, save?, the failure
        h.verifiePreservee(answers);

        // Once the disk has room again, the same close saves and ends.
        h.ctx.fichiers = nullptr;
        h.dialogs.reponses = {ReponseMessage::Yes, ReponseMessage::Yes};
        QVERIFY(h.window->close());
        QVERIFY(readAll(h.path) != h.surDisque);
    }

    void aFailedSaveStopsNewAndOpen()
    {
        Enregistree h;
        const std::vector<std::int16_t> answers = h.model.Etat_Choisi;
        const QStringList lines = h.lines();

        h.dialogs.reponses = {ReponseMessage::Yes}; // save first
        h.menu("mnuFileNew")->trigger();
        h.verifiePreservee(answers);
        QCOMPARE(h.lines(), lines);

        h.dialogs.reponses = {ReponseMessage::Yes};
        const std::size_t asked = h.dialogs.demandesFichier.size();
        h.menu("mnuFileOpen")->trigger();
        h.verifiePreservee(answers);
        QCOMPARE(h.dialogs.demandesFichier.size(), asked); // no Open dialog after the failure
    }

    void aFailedSilentSaveKeepsEverything()
    {
        Enregistree h;
        const std::vector<std::int16_t> answers = h.model.Etat_Choisi;
        h.menu("mnuFileSave")->trigger();
        QCOMPARE(h.dialogs.messages.size(), std::size_t{1});
        h.verifiePreservee(answers);
    }

    void closingDuringASaveWaitsForIt()
    {
        Harness h;
        h.key().ecrit();
        h.open();
        h.answer(1, 1);
        // The window is closed while the Save dialog is open.
        bool fermee = true;
        h.dialogs.pendantFichier = [&] { fermee = h.window->close(); };
        h.dialogs.fichiers.push_back(h.file("ident.ryk"));
        h.menu("mnuFileSaveAs")->trigger();
        QVERIFY(!fermee);
        QVERIFY(h.dialogs.messages.empty()); // not even the quit question in the middle of the save
        QVERIFY(h.window->isVisible());
        QVERIFY(!h.window->Modifie());
        QCOMPARE(readAll(h.file("ident.ryk")).size(), qsizetype(2 * (h.model.Etat_Choisi.size() + h.model.Cadre_Fait.size())));

        // Afterwards the window closes as usual.
        h.dialogs.pendantFichier = nullptr;
        h.dialogs.reponses = {ReponseMessage::Yes};
        QVERIFY(h.window->close());
    }
};

QTEST_MAIN(SauvegardeTest)
#include "sauvegarde_test.moc"
