#pragma once

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

#include "knowledge/key_model.h"
#include "platform/qt_text.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"
#include "shell/contexte.h"
#include "shell/frm_main.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "views/vue_liste_especes.h"

namespace tarvenko::test {

// A program's surroundings for one window test: settings of both scopes in temporary folders,
// scripted dialogs, its own instance lock, a folder for its files, and an end of the program that
// is only recorded.
struct FenetreTest {
    QTemporaryDir machineDir, userDir;
    TempDir root;
    KeyModel model;
    SettingsStore settings;
    ScriptedDialogs dialogs;
    SingleInstance instance{qs(root.fichier("lock"))};
    std::optional<int> exitCode;
    Contexte ctx{model, settings, dialogs, instance, [this](int code) { exitCode = code; }, {}};
    std::unique_ptr<frmMain> window;

    FenetreTest()
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, machineDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, userDir.path());
    }
    FenetreTest(const FenetreTest &) = delete;
    FenetreTest &operator=(const FenetreTest &) = delete;

    void machine(const QString &key, const QString &value)
    {
        QSettings s(QSettings::IniFormat, QSettings::SystemScope, QStringLiteral("Tarvenko"), QStringLiteral("Tarvenko"));
        s.setValue(key, value);
    }
    void user(const QString &key, const QString &value)
    {
        QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tarvenko"), QStringLiteral("Tarvenko"));
        s.setValue(key, value);
    }

    // Loads the main window, shows it at 1000 x 700 and lays it out for the identification view.
    frmMain &open(const QString &ligneCommande = QString())
    {
        window = std::make_unique<frmMain>(ctx);
        if (!window->Form_Load(ligneCommande))
            qFatal("the window did not load");
        model.Vue_Courante = 1;
        window->resize(1000, 700);
        window->show();
        window->Arrange_Fenetre();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("the window was not shown");
        return *window;
    }

    template <typename T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }

    // The species list, read and changed line by line.
    VueListeEspeces *liste() const { return child<VueListeEspeces>("Liste_Esp"); }
    QStringList lines() const
    {
        QStringList out;
        for (int i = 0; i < liste()->count(); ++i)
            out << liste()->ligne(i);
        return out;
    }
    // The first line ending with `fin`, or -1.
    int ligneFinissantPar(const QString &fin) const
    {
        const QStringList l = lines();
        for (int i = 0; i < l.size(); ++i)
            if (l[i].endsWith(fin))
                return i;
        return -1;
    }
    // Replaces line k, or adds a line at the end (k = -1), as a test that makes a line up.
    void ecritLigne(int k, const QString &texte)
    {
        std::vector<std::string> l;
        for (const QString &ligne : lines())
            l.push_back(us(ligne));
        if (k < 0)
            l.push_back(us(texte));
        else
            l.at(static_cast<std::size_t>(k)) = us(texte);
        liste()->setLignes(std::move(l));
    }
};

} // namespace tarvenko::test
