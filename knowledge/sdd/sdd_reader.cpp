#include <libxml/xmlreader.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "knowledge/sdd/sdd_document.h"
#include "knowledge/text.h"

namespace tarvenko::sdd {

namespace {

constexpr const char *kEspaceUbif = "http://rs.tdwg.org/UBIF/2006/";

// The parts of the file an element can open; what a Label or a reference means depends on it.
enum class Zone { Autre, Taxon, NoeudTaxon, Caractere, Etat, Unite, Concept, Noeud, CharNode, Regle, Description,
                  Categoriel, Quantitatif, Texte, Media };

std::string attribut(xmlTextReaderPtr r, const char *nom)
{
    xmlChar *v = xmlTextReaderGetAttribute(r, reinterpret_cast<const xmlChar *>(nom));
    if (!v)
        return {};
    std::string out(reinterpret_cast<const char *>(v));
    xmlFree(v);
    return out;
}

// White space at both ends gone and every inner run made one space: labels are often wrapped
// and indented in the file.
std::string nettoie(const std::string &s)
{
    std::string out;
    bool blanc = false;
    for (const char c : s) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            blanc = !out.empty();
            continue;
        }
        if (blanc)
            out += ' ';
        blanc = false;
        out += c;
    }
    return out;
}

class Lecteur {
public:
    Lecteur(xmlTextReaderPtr r, Document &d) : m_r(r), m_d(d) {}

    bool lit(std::string &erreur);

    // The parser's first complaint, kept for the message.
    static void erreurXml(void *moi, const char *message, xmlParserSeverities gravite, xmlTextReaderLocatorPtr ou)
    {
        auto *l = static_cast<Lecteur *>(moi);
        if (gravite != XML_PARSER_SEVERITY_ERROR && gravite != XML_PARSER_SEVERITY_VALIDITY_ERROR)
            return;
        if (l->m_erreurXml.empty())
            l->m_erreurXml = nettoie(message ? message : "") + " (line " + std::to_string(xmlTextReaderLocatorLineNumber(ou)) + ")";
    }

private:
    void debut(const std::string &nom, bool vide);
    void fin(const std::string &nom);
    void instruction();
    bool probleme(std::string texte)
    {
        if (m_probleme.empty())
            m_probleme = std::move(texte) + " (line " + std::to_string(xmlGetLineNo(xmlTextReaderCurrentNode(m_r))) + ")";
        return false;
    }
    int cherche(const std::unordered_map<std::string, int> &table, const std::string &ref, const char *genre)
    {
        const auto it = table.find(ref);
        if (it != table.end())
            return it->second;
        m_d.ignore(std::string("reference to an unknown ") + genre);
        return -1;
    }
    const std::string &parent(std::size_t recul = 1) const
    {
        static const std::string rien;
        return m_pile.size() > recul ? m_pile[m_pile.size() - 1 - recul] : rien;
    }
    Zone zone() const { return m_zones.empty() ? Zone::Autre : m_zones.back(); }

    xmlTextReaderPtr m_r;
    Document &m_d;
    std::vector<std::string> m_pile;
    std::vector<Zone> m_zones; // one per element, the innermost zone it lies in
    std::string m_texte;
    std::string m_probleme;
    std::string m_erreurXml;
    bool m_racineVue = false;
    int m_datasets = 0;  // Dataset elements met; only the first is read
    bool m_ignore = false; // inside a later Dataset
    int m_arbre = -1;
    bool m_onlyIf = false;
    std::string m_langueLabel; // xml:lang of the Label being read, inherited or its own
    std::unordered_map<std::string, bool> m_ids;
    struct Renvoi {
        enum Genre { MediaEtat, MediaCaractere, MediaDescription, ParentTaxon, ParentNoeud } genre;
        std::size_t index;
        std::string ref;
    };
    std::vector<Renvoi> m_renvois;
    void resoutRenvois();
    std::unordered_map<std::string, int> m_taxons, m_noeudsTaxons, m_caracteres, m_etats, m_medias, m_concepts,
        m_noeuds;
};

void Lecteur::debut(const std::string &nom, bool vide)
{
    const Zone englobante = zone();
    Zone z = englobante;
    m_pile.push_back(nom);
    m_texte.clear();
    if (!m_racineVue) {
        m_racineVue = true;
        const xmlChar *ns = xmlTextReaderConstNamespaceUri(m_r);
        if (nom != "Datasets" || !ns || std::strcmp(reinterpret_cast<const char *>(ns), kEspaceUbif) != 0)
            probleme("not an SDD file: the root element is <" + nom + ">, not <Datasets> of " + kEspaceUbif);
    }
    if (nom == "Dataset" && m_pile.size() == 2) {
        m_ignore = m_datasets++ > 0;
        if (!m_ignore) {
            const xmlChar *langue = xmlTextReaderConstXmlLang(m_r);
            if (langue && std::strlen(reinterpret_cast<const char *>(langue)) >= 2)
                m_d.langue = minusculesAscii(std::string(reinterpret_cast<const char *>(langue), 2));
        }
    }
    if (m_ignore) {
        m_zones.push_back(z);
        if (vide)
            fin(nom);
        return;
    }
    if (nom == "Label") {
        const xmlChar *langue = xmlTextReaderConstXmlLang(m_r);
        m_langueLabel = langue && std::strlen(reinterpret_cast<const char *>(langue)) >= 2
                            ? minusculesAscii(std::string(reinterpret_cast<const char *>(langue), 2))
                            : std::string();
    }
    if (const std::string id = attribut(m_r, "id"); !id.empty()) {
        if (!m_ids.emplace(id, true).second)
            probleme("the id \"" + id + "\" is given twice, the second time to a <" + nom + ">");
    }
    const std::string &p = parent();
    if (nom == "TaxonName" && p == "TaxonNames") {
        z = Zone::Taxon;
        m_taxons[attribut(m_r, "id")] = static_cast<int>(m_d.taxons.size());
        m_d.taxons.push_back({attribut(m_r, "id"), {}});
    } else if (nom == "Node" && englobante == Zone::Autre && parent(2) == "TaxonHierarchy") {
        z = Zone::NoeudTaxon;
        m_noeudsTaxons[attribut(m_r, "id")] = static_cast<int>(m_d.noeudsTaxons.size());
        m_d.noeudsTaxons.push_back({attribut(m_r, "id")});
    } else if ((nom == "CategoricalCharacter" || nom == "QuantitativeCharacter" || nom == "TextCharacter") &&
               p == "Characters") {
        z = Zone::Caractere;
        Caractere c;
        c.genre = nom[0] == 'C' ? Genre::Categoriel : nom[0] == 'Q' ? Genre::Quantitatif : Genre::Texte;
        c.id = attribut(m_r, "id");
        m_caracteres[c.id] = static_cast<int>(m_d.caracteres.size());
        m_d.caracteres.push_back(std::move(c));
    } else if (nom == "StateDefinition" && englobante == Zone::Caractere) {
        z = Zone::Etat;
        Etat e;
        e.id = attribut(m_r, "id");
        m_etats[e.id] = static_cast<int>(m_d.etats.size());
        m_d.caracteres.back().etats.push_back(static_cast<int>(m_d.etats.size()));
        m_d.etats.push_back(std::move(e));
    } else if (nom == "MeasurementUnit" && englobante == Zone::Caractere) {
        z = Zone::Unite;
    } else if (nom == "DescriptiveConcept" && p == "DescriptiveConcepts") {
        z = Zone::Concept;
        m_concepts[attribut(m_r, "id")] = static_cast<int>(m_d.concepts.size());
        m_d.concepts.push_back({attribut(m_r, "id"), {}});
    } else if (nom == "CharacterTree") {
        ++m_arbre;
    } else if ((nom == "Node" || nom == "CharNode") && p == "Nodes" && parent(2) == "CharacterTree") {
        z = nom == "Node" ? Zone::Noeud : Zone::CharNode;
        NoeudArbre n;
        n.arbre = m_arbre;
        n.id = attribut(m_r, "id");
        if (!n.id.empty())
            m_noeuds[n.id] = static_cast<int>(m_d.noeuds.size());
        m_d.noeuds.push_back(std::move(n));
    } else if ((nom == "InapplicableIf" || nom == "OnlyApplicableIf") && englobante == Zone::CharNode) {
        z = Zone::Regle;
        m_onlyIf = nom == "OnlyApplicableIf";
    } else if (nom == "CodedDescription" && p == "CodedDescriptions") {
        z = Zone::Description;
        m_d.descriptions.push_back({});
        m_d.descriptions.back().id = attribut(m_r, "id");
    } else if (englobante == Zone::Description && p == "SummaryData" &&
               (nom == "Categorical" || nom == "Quantitative" || nom == "TextChar")) {
        Description &d = m_d.descriptions.back();
        const int c = cherche(m_caracteres, attribut(m_r, "ref"), "character");
        const Genre attendu = nom == "Categorical" ? Genre::Categoriel : nom == "Quantitative" ? Genre::Quantitatif : Genre::Texte;
        if (c >= 0 && m_d.caracteres[static_cast<std::size_t>(c)].genre != attendu) {
            m_d.ignore("coding of a character of another kind");
        } else if (c >= 0) {
            z = attendu == Genre::Categoriel ? Zone::Categoriel : attendu == Genre::Quantitatif ? Zone::Quantitatif : Zone::Texte;
            if (z == Zone::Categoriel)
                d.categoriels.push_back({c, {}, false});
            else if (z == Zone::Quantitatif)
                d.quantitatifs.push_back({c, {}, false});
            else
                d.textes.push_back({c, {}});
        }
    } else if (nom == "MediaObject" && p == "MediaObjects") {
        z = Zone::Media;
        m_medias[attribut(m_r, "id")] = static_cast<int>(m_d.medias.size());
        m_d.medias.push_back({attribut(m_r, "id"), {}, {}, {}});
    }
    m_zones.push_back(z);

    // References and values carried by attributes.
    // Media objects and parent nodes may come after their first use: resolved at the end.
    if (nom == "MediaObject" && p == "Representation" && z != Zone::Media) {
        if (z == Zone::Etat)
            m_renvois.push_back({Renvoi::MediaEtat, m_d.etats.size() - 1, attribut(m_r, "ref")});
        else if (z == Zone::Caractere)
            m_renvois.push_back({Renvoi::MediaCaractere, m_d.caracteres.size() - 1, attribut(m_r, "ref")});
        else if (z == Zone::Description)
            m_renvois.push_back({Renvoi::MediaDescription, m_d.descriptions.size() - 1, attribut(m_r, "ref")});
    } else if (z == Zone::NoeudTaxon && nom == "Parent") {
        m_renvois.push_back({Renvoi::ParentTaxon, m_d.noeudsTaxons.size() - 1, attribut(m_r, "ref")});
    } else if (z == Zone::NoeudTaxon && nom == "TaxonName") {
        m_d.noeudsTaxons.back().taxon = cherche(m_taxons, attribut(m_r, "ref"), "taxon name");
    } else if ((z == Zone::Noeud || z == Zone::CharNode) && nom == "Parent") {
        m_renvois.push_back({Renvoi::ParentNoeud, m_d.noeuds.size() - 1, attribut(m_r, "ref")});
    } else if (z == Zone::Noeud && nom == "DescriptiveConcept") {
        m_d.noeuds.back().idee = cherche(m_concepts, attribut(m_r, "ref"), "descriptive concept");
    } else if (z == Zone::CharNode && nom == "Character") {
        m_d.noeuds.back().caractere = cherche(m_caracteres, attribut(m_r, "ref"), "character");
    } else if (z == Zone::Regle && nom == "State") {
        if (const int e = cherche(m_etats, attribut(m_r, "ref"), "state"); e >= 0)
            m_d.noeuds.back().regles.emplace_back(m_onlyIf, e);
    } else if (z == Zone::Description && nom == "TaxonName" && p == "Scope") {
        m_d.descriptions.back().taxon = cherche(m_taxons, attribut(m_r, "ref"), "taxon name");
    } else if (z == Zone::Categoriel && nom == "State" && p == "Categorical") {
        Description::Categoriel &c = m_d.descriptions.back().categoriels.back();
        const int e = cherche(m_etats, attribut(m_r, "ref"), "state");
        const auto &etats = m_d.caracteres[static_cast<std::size_t>(c.caractere)].etats;
        if (e >= 0 && std::find(etats.begin(), etats.end(), e) == etats.end())
            m_d.ignore("state coded for a character it does not belong to");
        else if (e >= 0)
            c.etats.push_back(e);
    } else if ((z == Zone::Categoriel || z == Zone::Quantitatif) && nom == "Status") {
        if (z == Zone::Categoriel)
            m_d.descriptions.back().categoriels.back().statut = true;
        else
            m_d.descriptions.back().quantitatifs.back().statut = true;
    } else if (z == Zone::Quantitatif && nom == "Measure") {
        char *finNombre = nullptr;
        const std::string texte = attribut(m_r, "value");
        const double v = std::strtod(texte.c_str(), &finNombre);
        if (texte.empty() || *finNombre != '\0')
            m_d.ignore("measure that is not a number");
        else
            m_d.descriptions.back().quantitatifs.back().mesures.emplace_back(attribut(m_r, "type"), v);
    } else if (z == Zone::Media && nom == "Source") {
        m_d.medias.back().source = attribut(m_r, "href");
    }
    if (vide)
        fin(nom);
}

void Lecteur::fin(const std::string &nom)
{
    const Zone z = zone();
    const std::string texte = nettoie(m_texte);
    m_texte.clear();
    if (!m_ignore) {
        const std::string &p = parent();
        const bool label = nom == "Label" && p == "Representation";
        // A label in another language than the dataset's is a translation; the key's own text is
        // the label in the dataset's language, or the first label when none is.
        const auto place = [&](std::string &propre, Traductions &labels) {
            if (m_langueLabel.empty() || m_langueLabel == m_d.langue) {
                propre = texte;
                return;
            }
            if (m_langueLabel == "en" || m_langueLabel == "es" || m_langueLabel == "fr")
                labels.emplace(m_langueLabel, texte);
            if (propre.empty())
                propre = texte;
        };
        if (z == Zone::Autre && label && parent(2) == "Dataset")
            m_d.titre = texte;
        else if (z == Zone::Taxon && label)
            m_d.taxons.back().second = texte;
        else if (z == Zone::Caractere && label)
            place(m_d.caracteres.back().label, m_d.caracteres.back().labels);
        else if (z == Zone::Etat && label)
            place(m_d.etats.back().label, m_d.etats.back().labels);
        else if (z == Zone::Etat && nom == "Detail" && p == "Representation" && m_d.etats.back().detail.empty())
            m_d.etats.back().detail = texte;
        else if (z == Zone::Unite && nom == "Label" && m_d.caracteres.back().unite.empty())
            m_d.caracteres.back().unite = texte;
        else if (z == Zone::Concept && label)
            m_d.concepts.back().second = texte;
        else if (z == Zone::Noeud && label)
            place(m_d.noeuds.back().label, m_d.noeuds.back().labels);
        else if (z == Zone::Description && label)
            m_d.descriptions.back().label = texte;
        else if (z == Zone::Texte && nom == "Content")
            m_d.descriptions.back().textes.back().contenu = texte;
        else if (z == Zone::Media && label)
            m_d.medias.back().label = texte;
        else if (z == Zone::Media && nom == "Type")
            m_d.medias.back().type = texte;
    }
    if (nom == "Dataset" && m_pile.size() == 2)
        m_ignore = false;
    m_pile.pop_back();
    m_zones.pop_back();
}

// The value of `nom="..."` in a processing instruction's text.
std::string valeurPseudoAttribut(const std::string &texte, const std::string &nom)
{
    const auto debut = texte.find(nom + "=\"");
    if (debut == std::string::npos)
        return {};
    const auto valeur = debut + nom.size() + 2;
    const auto fin = texte.find('"', valeur);
    return fin == std::string::npos ? std::string() : texte.substr(valeur, fin - valeur);
}

void Lecteur::instruction()
{
    if (m_ignore)
        return;
    const char *cible = reinterpret_cast<const char *>(xmlTextReaderConstLocalName(m_r));
    const xmlChar *v = xmlTextReaderConstValue(m_r);
    const std::string nom = cible ? cible : "", texte = v ? reinterpret_cast<const char *>(v) : "";
    const Zone z = zone();
    if (nom == kPiPoids) {
        char *finNombre = nullptr;
        const long poids = std::strtol(texte.c_str(), &finNombre, 10);
        if (finNombre == texte.c_str() || poids < -32768 || poids > 32767)
            m_d.ignore("weight that is not a 16-bit number");
        else if (z == Zone::Etat)
            m_d.etats.back().poids = static_cast<int>(poids);
        else if (z == Zone::Caractere)
            m_d.caracteres.back().poids = static_cast<int>(poids);
    } else if (nom == kPiLigne && z == Zone::Caractere) {
        m_d.caracteres.back().objet = valeurPseudoAttribut(texte, "objet");
        m_d.caracteres.back().contrainte = valeurPseudoAttribut(texte, "contrainte");
    } else if (nom == kPiReprise && z == Zone::Caractere) {
        m_d.caracteres.back().reprises.emplace_back(decodePseudoAttribut(valeurPseudoAttribut(texte, "contrainte")),
                                                    decodePseudoAttribut(valeurPseudoAttribut(texte, "label")));
    } else if (nom == kPiAucun && z == Zone::Categoriel) {
        m_d.descriptions.back().categoriels.back().aucun = true;
    }
}

void Lecteur::resoutRenvois()
{
    for (const Renvoi &r : m_renvois) {
        switch (r.genre) {
        case Renvoi::MediaEtat:
        case Renvoi::MediaCaractere:
        case Renvoi::MediaDescription: {
            const int m = cherche(m_medias, r.ref, "media object");
            auto &medias = r.genre == Renvoi::MediaEtat      ? m_d.etats[r.index].medias
                           : r.genre == Renvoi::MediaCaractere ? m_d.caracteres[r.index].medias
                                                               : m_d.descriptions[r.index].medias;
            if (m >= 0)
                medias.push_back(m);
            break;
        }
        case Renvoi::ParentTaxon:
            m_d.noeudsTaxons[r.index].parent = cherche(m_noeudsTaxons, r.ref, "taxon hierarchy node");
            break;
        case Renvoi::ParentNoeud:
            m_d.noeuds[r.index].parent = cherche(m_noeuds, r.ref, "character tree node");
            break;
        }
    }
}

bool Lecteur::lit(std::string &erreur)
{
    int r = 0;
    while (m_probleme.empty() && (r = xmlTextReaderRead(m_r)) == 1) {
        switch (xmlTextReaderNodeType(m_r)) {
        case XML_READER_TYPE_ELEMENT: {
            const char *nom = reinterpret_cast<const char *>(xmlTextReaderConstLocalName(m_r));
            debut(nom ? nom : "", xmlTextReaderIsEmptyElement(m_r) == 1);
            break;
        }
        case XML_READER_TYPE_END_ELEMENT: {
            const char *nom = reinterpret_cast<const char *>(xmlTextReaderConstLocalName(m_r));
            fin(nom ? nom : "");
            break;
        }
        case XML_READER_TYPE_TEXT:
        case XML_READER_TYPE_CDATA:
        case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
        case XML_READER_TYPE_WHITESPACE:
            if (const xmlChar *v = xmlTextReaderConstValue(m_r))
                m_texte += reinterpret_cast<const char *>(v);
            break;
        case XML_READER_TYPE_PROCESSING_INSTRUCTION:
            instruction();
            break;
        default:
            break;
        }
    }
    if (!m_probleme.empty()) {
        erreur = m_probleme;
        return false;
    }
    if (r != 0 || !m_erreurXml.empty()) {
        erreur = "not well-formed XML: " + (m_erreurXml.empty() ? std::string("unreadable") : m_erreurXml);
        return false;
    }
    if (!m_racineVue) {
        erreur = "no XML element in the file";
        return false;
    }
    if (m_datasets == 0) {
        erreur = "not an SDD file: no <Dataset> in <Datasets>";
        return false;
    }
    resoutRenvois();
    return true;
}

} // namespace

std::string encodePseudoAttribut(const std::string &valeur)
{
    static const char *const kHex = "0123456789ABCDEF";
    std::string s;
    for (const char c : valeur) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '%' || c == '"' || c == '?' || c == '>' || u < 0x20) {
            s += '%';
            s += kHex[u >> 4];
            s += kHex[u & 15];
        } else {
            s += c;
        }
    }
    return s;
}

std::string decodePseudoAttribut(const std::string &valeur)
{
    std::string s;
    for (std::size_t i = 0; i < valeur.size(); ++i) {
        if (valeur[i] == '%' && i + 2 < valeur.size() && std::isxdigit(static_cast<unsigned char>(valeur[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(valeur[i + 2]))) {
            s += static_cast<char>(std::stoi(valeur.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            s += valeur[i];
        }
    }
    return s;
}

bool Lit_Document(const std::string &chemin, Document &d, std::string &erreur)
{
    d = Document{};
    d.fichier = chemin;
    // No network, no entity expansion from outside the file: a key file never needs them.
    const std::unique_ptr<xmlTextReader, void (*)(xmlTextReaderPtr)> r(
        xmlReaderForFile(chemin.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_HUGE),
        xmlFreeTextReader);
    if (!r) {
        erreur = chemin + ": cannot be read";
        return false;
    }
    Lecteur lecteur(r.get(), d);
    xmlTextReaderSetErrorHandler(r.get(), &Lecteur::erreurXml, &lecteur);
    std::string probleme;
    if (!lecteur.lit(probleme)) {
        erreur = chemin + ": " + probleme;
        return false;
    }
    return true;
}

} // namespace tarvenko::sdd
