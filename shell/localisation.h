#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>

class QWidget;

namespace tarvenko {

// Text n of the interface in language Num_Langue (English number n), or nothing when the string
// table has no such entry.
std::optional<QString> texte(std::int16_t Num_Langue, int n);
// The same, read from a number written as text in a window design ("1003"); nothing when the
// text does not start with a number or the entry is missing.
std::optional<QString> texteDe(std::int16_t Num_Langue, const QString &numero);
// Text n, or English where the language has none, for messages that must say something.
QString texteOuAnglais(std::int16_t Num_Langue, int n);

// The locale of an interface language (0 English, 1 Spanish, 2 French; English for any other),
// for what is sorted or written the way its readers expect.
QLocale localeDeLangue(std::int16_t Num_Langue);

// Replaces the English string numbers that a window's design carries by the texts of the language:
// the window title (its "tag" property), the font, then every control in creation order: labels
// from their tag, menus and menu entries from their caption, tool-bar buttons from caption and
// tool tip, tab pages from their tag and tool tip, tree and list column headings from the
// header's tags, any other control from its tag and tool tip when they hold a number above 0.
// A missing entry leaves that one property as designed. It may run again on the same window in
// another language: the numbers it replaced are kept on the controls, and the font starts again
// from the design's.
void Applique_Langue(QWidget *window, std::int16_t Num_Langue);

} // namespace tarvenko
