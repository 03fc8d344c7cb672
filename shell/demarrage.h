#pragma once

#include <QString>

namespace tarvenko {

struct Contexte;
class frmMain;

// The entry procedure: settles the language, shows the splash while the main window loads the
// knowledge base, then shows the main window over the desktop's work area. Returns the main
// window, or nullptr when the program must end (the context's `fin` has been called).
frmMain *Main(Contexte &ctx, const QString &ligneCommande);

} // namespace tarvenko
