#pragma once

#include <string>
#include <vector>

#include "knowledge/sdd/sdd_document.h"
#include "knowledge/escape.h"

namespace tarvenko::sdd {

// A picture of a taxon's page: a copied file (relative address from the page) or a web address
// kept as a link, never fetched.
struct ImagePage {
    std::string adresse, legende;
    bool locale = false;
};

// The HTML page of one coded description, in the file's language: the name, a description in
// sentences built from its codings, its text characters and its pictures.
std::string pageTaxon(const Document &d, const Description &desc, const std::string &nom,
                      const std::vector<ImagePage> &images);

// The sentence part alone ("Leaves opposite; blade palmately lobed; petiole 2–5 cm.").
std::string phrasesDescription(const Document &d, const Description &desc);

} // namespace tarvenko::sdd
