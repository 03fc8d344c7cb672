#pragma once

#include <QString>
#include <QStringList>

namespace tarvenko {

class SettingsStore;

// The keys the user opened last, listed in the File menu and kept in the user's settings
// ("Cles/Recente1" ... "Cles/Recente6", most recent first).
inline constexpr int kNbClesRecentes = 6;
QStringList Lit_Cles_Recentes(const SettingsStore &store);
void Ecrit_Cles_Recentes(SettingsStore &store, const QStringList &cles);
// `chemin` first, any earlier entry for the same place dropped, at most kNbClesRecentes.
QStringList Ajoute_Cle_Recente(QStringList cles, const QString &chemin);
// The list without the entries for the place `chemin`.
QStringList Retire_Cle_Recente(QStringList cles, const QString &chemin);

// The key the program opens at start in place of the installation's ("Cles/Derniere"): the
// last one the user opened from the window; empty while that is the installation's.
QString Lit_Cle_Demarrage(const SettingsStore &store);
void Ecrit_Cle_Demarrage(SettingsStore &store, const QString &chemin);

// The menu entry of recent key `numero` (from 1): "&1 " and the path, the home folder written
// "~" and the middle of a long path left out, so that the folder and the key's name stay.
QString Texte_Cle_Recente(int numero, const QString &chemin, const QString &maison);

} // namespace tarvenko
