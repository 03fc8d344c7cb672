#pragma once

#include <QString>

namespace tarvenko {

struct Contexte;
class frmMain;

// The entry procedure: settles the language, shows the splash while the main window loads the
// knowledge base, then shows the main window over the desktop's work area. Returns the main
// window, or nullptr when the program must end (the context's `fin` has been called).
frmMain *Main(Contexte &ctx, const QString &ligneCommande);

// The application's names for the settings store and the desktop. No display name is set: the
// platform would add it after every window title, and the main window's title already begins
// with the program's name ("Tarvenko [file] \u2014 Tarvenko").
void Identite_Application();

} // namespace tarvenko
