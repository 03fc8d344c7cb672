#pragma once

#include <QString>

namespace tarvenko {

// Names of the document collection. Lengths count characters, as the collection's names were
// designed; the comparisons that the text does not call case-blind are exact.

// Language of the page being read: the three characters before a final ".html" when they are "_"
// and two letters ("…_es.html" gives "_es"); "_en" for any other address ("bark.html", a PDF).
// The next species opens in the same language.
QString Suffixe_Page(const QString &adresse);

// The page of species Code_Page in language Suffixe_Langue. With the documents on the local disk
// (Distribution "hd") it is a file path written the Windows way, to be resolved; otherwise a web
// address, "http://" put before one written without its scheme. `separateur` goes between the
// local folders: "\" from the list, "/" from the tree.
struct PageEspece {
    bool locale = false;
    QString chemin; // local file, not yet resolved, or web address
};
PageEspece Page_Espece(const QString &Distribution, const QString &Adresse_Documents, const QString &Code_Page,
                       const QString &Suffixe_Langue, QChar separateur);

// The language a species' page opens in: `suffixeInterface`, the interface language's, when the
// key has the page in it, else "_en". A page on the local disk is looked for; a page on a web
// server cannot be looked at before it is asked for, and opens in the interface language.
QString Suffixe_Existant(const QString &Distribution, const QString &Adresse_Documents, const QString &Code_Page,
                         const QString &suffixeInterface, QChar separateur);

// The page shown instead of a missing local page, in the language `Suffixe_Langue` when the key
// has it in that language, else in English.
QString Page_Erreur_Existante(const QString &Chemin_Data, const QString &Suffixe_Langue);

// A web address as a browser takes what is typed in its address box: one without a scheme
// ("www.example.org/flora/") is "http://" followed by it.
QString Adresse_Web(const QString &adresse);

// The page shown instead of a local page that is missing.
QString Page_Erreur(const QString &Chemin_Data, const QString &Suffixe_Langue);

// The full-size drawing of a species, beside its pages: <initial>\<code>\<code>.gif, lower-cased.
QString Fichier_Dessin(const QString &Adresse_Documents, const QString &Code_Page);

// A drawing page, as told once a document has loaded: the first 12 of the last 20 characters of
// the location, lower-cased, are "dessin_" and the code ("…dessin_abcde_en.html"), and the
// documents are on the local disk. Pages from a web server are never drawing pages.
bool Est_Page_Dessin(const QString &adresse, const QString &Code_Page, const QString &Distribution);

// The code of the species whose drawing page this is, lower-cased, by the same rule with any code
// in place of Code_Page; empty for any other page. Pages reached through a page's own links (its
// similar species) are drawing pages of their own species.
QString Code_Page_Dessin(const QString &adresse, const QString &Distribution);

// A local file inside the folder `dossier` or one of its sub-folders, once both are followed to
// what they are on the disk (links, "..", a trailing separator). False for a file that does not
// exist.
bool Dans_Dossier(const QString &fichier, const QString &dossier);

// The test made before a navigation: more than 16 characters, the last 17 beginning with
// "dessin" ("…dessin_abcde.html").
bool Annonce_Dessin(const QString &adresse);

// The species' own page, where Back has nothing to go back to within the species: the location's
// file name, in any case, is the code, the suffix and ".html".
bool Est_Page_Propre(const QString &adresse, const QString &Code_Page, const QString &Suffixe_Langue);

} // namespace tarvenko
