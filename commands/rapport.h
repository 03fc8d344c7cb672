#pragma once

#include <QDateTime>

#include <memory>

class QPrinter;
class QTextDocument;

namespace tarvenko {

struct KeyModel;

// The identification on paper: the key, the date, the answers by question and state names, the
// ranked species with their percentages and the drawing as the answers made it. The text stays
// text in a PDF; the drawing is played from its metafiles, so it stays sharp at any size.
std::unique_ptr<QTextDocument> Document_Rapport(const KeyModel &m, const QDateTime &quand);

// Prints the report; false when the printer could not be opened. A printer set to write a PDF
// file writes it.
bool Imprime_Rapport(QPrinter &printer, const KeyModel &m, const QDateTime &quand);

// The single-access key built from the matrix (engine/dichotomous_key.h), in the interface
// language, as a document to print; and printed, false when the printer could not be opened.
std::unique_ptr<QTextDocument> Document_Cle_Dichotomique(const KeyModel &m);
bool Imprime_Cle_Dichotomique(QPrinter &printer, const KeyModel &m);

} // namespace tarvenko
