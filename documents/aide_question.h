#pragma once

#include <QString>

#include <cstdint>
#include <string>

namespace tarvenko {

// The help of a question: a page of the document collection, beside the species pages, whose
// code is made from the question's Objet. A key converted from DELTA names its characters "C"
// and their number ("C12"); their help pages are "c0012" (c\c0012\c0012_en.html). Any other
// Objet has no help page: its code is empty.
std::string Code_Aide_Question(const std::string &Objet);

// The page of help of question `Objet` in the interface language `Num_Langue` (0 English,
// 1 Spanish, 2 French), else in English: a local file, resolved, that exists. Empty when the
// question has none, and always with documents on a web server (Distribution "http"), where
// nothing tells whether a page exists before it is asked for.
QString Page_Aide_Question(const QString &Distribution, const QString &Adresse_Documents, const std::string &Objet,
                           std::int16_t Num_Langue);

} // namespace tarvenko
