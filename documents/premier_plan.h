#pragma once

class QWidget;

namespace tarvenko {

// Puts a window into the topmost band (above every window that is not topmost) or back into the
// normal band, keeping its place and size. A visible window stays visible and is activated.
void Premier_Plan(QWidget *Fenetre, bool Actif);

} // namespace tarvenko
