#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>
#include <string>

#include "knowledge/key_model.h"
#include "platform/settings_store.h"

namespace tarvenko {

// Machine values standing in for an installation when none exists: the sample knowledge base
// found next to the program (installed under share/tarvenko, or the build tree's copy).
SettingsStore::Valeurs Valeurs_Sans_Installation();

// The interface language at start-up: the user's Options/Langue, else the machine's, else the
// system's language (Spanish 1, French 2, any other 0).
std::int16_t Langue_Demarrage(const SettingsStore &store, const QLocale &systeme = QLocale::system());

// Paths and options: the machine values, then the user's overrides.
void Lit_Registre(KeyModel &m, const SettingsStore &store);

// Full path of the colour chart "couleur.wmf": the user's Logiciel/Data, else the machine's data
// folder, else the default installation folder.
std::string Chemin_Nuancier(const SettingsStore &store);

} // namespace tarvenko
