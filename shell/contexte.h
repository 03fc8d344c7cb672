#pragma once

#include <functional>

class QWidget;
class QString;

namespace tarvenko {

struct AppelsFichier;
struct KeyModel;
class SettingsStore;
class DialogService;
class SingleInstance;

// What the windows of the program share, created once by the entry procedure and handed to each
// window: the key model, the settings, the dialogs and the instance check. Tests build their own
// with scripted dialogs and temporary settings.
struct Contexte {
    KeyModel &modele;
    SettingsStore &reglages;
    DialogService &dialogues;
    SingleInstance &instance;
    // Ends the program at once with an exit code, without any further clean-up.
    std::function<void(int)> fin;
    // Samples the colour palette from the colour chart shown in the splash window.
    std::function<void(KeyModel &)> echantillonnePalette;
    // The system calls identification files are written with; the system's own when null.
    const AppelsFichier *fichiers = nullptr;
};

// Shows the text with an OK button under the application's title, then ends the program at once.
void Erreur_Fatale(Contexte &ctx, QWidget *parent, const QString &text);

} // namespace tarvenko
