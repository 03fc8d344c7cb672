#pragma once

#include <QString>
#include <QStringList>

namespace tarvenko {

struct Contexte;
class frmMain;

// The entry procedure: settles the language, shows the splash while the main window loads the
// knowledge base (`cle`, when given, in place of the installation's), then shows the main window
// over the desktop's work area. Returns the main window, or nullptr when the program must end
// (the context's `fin` has been called).
frmMain *Main(Contexte &ctx, const QString &ligneCommande, const QString &cle = QString());

// The program's arguments: "--key PATH" (or "--key=PATH") names the key to open; the others,
// joined by blanks, are the command line of an identification file, as before.
struct Arguments_Programme {
    QString cle;
    QString ligneCommande;
};
Arguments_Programme Lit_Arguments(const QStringList &arguments);

// The application's names for the settings store and the desktop. No display name is set: the
// platform would add it after every window title, and the main window's title already begins
// with the program's name ("Tarvenko [file] \u2014 Tarvenko").
void Identite_Application();

} // namespace tarvenko
