#pragma once

#include <string>
#include <vector>

#include "tools/sample/sources.h"

namespace tarvenko::sample {

// Languages of the documents: suffix and the name used in links.
struct LangueDocument {
    const char *code; // "en", "fr", "es"
};
inline constexpr const char *kLanguesDocuments[] = {"en", "fr", "es"};

// The species whose pages exist in a language (every species in English).
bool aUnePage(const Sources &s, const Espece &e, const std::string &langue);

// The species most like `e` (fewest characters that tell them apart), best first, with those
// characters (row ids) for each.
struct Voisine {
    const Espece *espece = nullptr;
    std::vector<std::string> differences;
};
std::vector<Voisine> especesVoisines(const Sources &s, const Espece &e, std::size_t combien);
// The rows of objects.csv whose states tell two species apart: one shows states the other lacks
// entirely (a character present in one and absent from the other counts too).
std::vector<std::string> caracteresSeparant(const Sources &s, const Espece &a, const Espece &b);

std::string pageEspece(const Sources &s, const Espece &e, const std::string &langue);
std::string pageDessin(const Sources &s, const Espece &e, const std::string &langue);
std::string pageErreur(const Sources &s, const std::string &langue);

// Position and size of the reduced drawing in a drawing page, in page pixels.
inline constexpr int kDecalageX = 12;
inline constexpr int kDecalageY = 72;

std::string minuscules(std::string texte);

} // namespace tarvenko::sample
