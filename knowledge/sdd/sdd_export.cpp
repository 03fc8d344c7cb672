#include "knowledge/sdd/sdd_export.h"

#include <libxml/xmlwriter.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <vector>

#include "knowledge/file_lookup.h"
#include "knowledge/key_texts.h"
#include "knowledge/text.h"
#include "knowledge/sdd/sdd_document.h"

namespace tarvenko::sdd {

namespace fs = std::filesystem;

namespace {

// libxml2's writer, every call checked: the first failure ends the export.
class Ecrivain {
public:
    explicit Ecrivain(const std::string &chemin) : m_w(xmlNewTextWriterFilename(chemin.c_str(), 0), xmlFreeTextWriter)
    {
        if (!m_w)
            throw std::runtime_error("cannot create " + chemin);
        xmlTextWriterSetIndent(m_w.get(), 1);
        xmlTextWriterSetIndentString(m_w.get(), x(" "));
        verifie(xmlTextWriterStartDocument(m_w.get(), "1.0", "UTF-8", nullptr));
    }
    void ouvre(const char *nom) { verifie(xmlTextWriterStartElement(m_w.get(), x(nom))); }
    void ferme() { verifie(xmlTextWriterEndElement(m_w.get())); }
    void attribut(const char *nom, const std::string &valeur)
    {
        verifie(xmlTextWriterWriteAttribute(m_w.get(), x(nom), x(valeur.c_str())));
    }
    void element(const char *nom, const std::string &texte)
    {
        verifie(xmlTextWriterWriteElement(m_w.get(), x(nom), x(texte.c_str())));
    }
    void vide(const char *nom, const char *attr, const std::string &valeur)
    {
        ouvre(nom);
        attribut(attr, valeur);
        ferme();
    }
    void instruction(const char *cible, const std::string &texte)
    {
        verifie(xmlTextWriterWritePI(m_w.get(), x(cible), x(texte.c_str())));
    }
    // A Label in another language than the dataset's.
    void element(const char *nom, const std::string &langue, const std::string &texte)
    {
        ouvre(nom);
        attribut("xml:lang", langue);
        verifie(xmlTextWriterWriteString(m_w.get(), x(texte.c_str())));
        ferme();
    }
    void label(const std::string &texte)
    {
        ouvre("Representation");
        element("Label", texte);
        ferme();
    }
    void termine()
    {
        verifie(xmlTextWriterEndDocument(m_w.get()));
        verifie(xmlTextWriterFlush(m_w.get()));
        m_w.reset();
    }

private:
    static const xmlChar *x(const char *s) { return reinterpret_cast<const xmlChar *>(s); }
    static void verifie(int r)
    {
        if (r < 0)
            throw std::runtime_error("write error");
    }
    std::unique_ptr<xmlTextWriter, void (*)(xmlTextWriterPtr)> m_w;
};

// The question's or the state's texts in Spanish and French (Textes_Langues), as Labels of their
// language beside the English one, which an import reads back as the key's texts in them.
void labelsLangues(Ecrivain &w, const Tables &t, const char *genre, const std::string &cle)
{
    for (const int langue : {1, 2})
        if (const std::string *texte = Texte_Langue(t, langue, genre, cle, "TipText"))
            w.element("Label", std::string(Code_Langue(langue)), *texte);
}

std::string nomLangues(const NomsLangues &noms, const std::string &defaut)
{
    for (const auto &n : noms)
        if (n && !n->empty())
            return *n;
    return defaut;
}

std::string nomLangues(const std::array<std::string, 3> &noms, const std::string &defaut)
{
    for (const auto &n : noms)
        if (!n.empty())
            return n;
    return defaut;
}

std::string nombre(double v)
{
    char tampon[40];
    std::snprintf(tampon, sizeof tampon, "%.17g", v);
    return tampon;
}

// One question row exported as a character: its id and its states.
struct Ligne {
    const ObjetRow *row;
    std::string id;
    int premier, nombre;
    bool principale; // the first row of its key
};

void ecrit(const KeyModel &m, Ecrivain &w, const fs::path &dossierSortie, const std::string &titre, BilanExport &bilan)
{
    const Tables &b = m.Base_Donnees;
    // Questions: one character per row of Objets_Fic whose states no earlier row gave.
    std::vector<Ligne> lignes;
    std::set<int> etatsPris;
    std::map<std::string, int> rangs;
    // Further rows that ask the states of their question's first row again, kept with that row.
    std::map<std::string, std::vector<const ObjetRow *>> reprises;
    std::map<std::string, const ObjetRow *> premieres;
    for (const ObjetRow &row : b.Objets_Fic.rows) {
        if (!row.Objet || !row.Index_Car || !row.Nb_Car || *row.Nb_Car <= 0)
            continue;
        const int n = ++rangs[*row.Objet];
        bool libre = true;
        for (int e = *row.Index_Car; e < *row.Index_Car + *row.Nb_Car; ++e)
            libre = libre && e < m.Nb_Etats_Desc && !etatsPris.count(e) && b.caractere(e) && b.caractere(e)->ID_CARAC;
        const auto premiere = premieres.find(*row.Objet);
        if (!libre && premiere != premieres.end() && premiere->second->Index_Car == row.Index_Car &&
            premiere->second->Nb_Car == row.Nb_Car) {
            reprises[*row.Objet].push_back(&row);
            continue;
        }
        if (!libre) {
            ++bilan.lignesOmises;
            continue;
        }
        for (int e = *row.Index_Car; e < *row.Index_Car + *row.Nb_Car; ++e)
            etatsPris.insert(e);
        if (n == 1)
            premieres.emplace(*row.Objet, &row);
        lignes.push_back({&row, n == 1 ? *row.Objet : *row.Objet + "~row" + std::to_string(n), *row.Index_Car, *row.Nb_Car, n == 1});
    }

    // Pictures of the states, addressed from the file's folder.
    std::map<int, std::string> medias; // state -> media id
    std::vector<std::pair<std::string, std::string>> sources;
    for (const Ligne &l : lignes)
        for (int e = l.premier; e < l.premier + l.nombre; ++e) {
            const ImageEtatRow *image = b.imageEtat(*b.caractere(e)->ID_CARAC);
            if (!image || !image->Image || image->Image->empty() || m.Chemin_Descripteurs.empty())
                continue;
            const fs::path fichier = resoutChemin(m.Chemin_Descripteurs + *image->Image);
            std::error_code ec;
            const fs::path relatif = fs::relative(fs::absolute(fichier), dossierSortie, ec);
            const std::string id = "m" + std::to_string(sources.size() + 1);
            medias[e] = id;
            sources.emplace_back(id, ec ? fichier.generic_string() : relatif.generic_string());
        }

    std::vector<std::string> familles;
    std::map<std::string, int> numeroFamille;
    for (const std::string &nom : m.Nom_Esp) {
        const FloreRow *f = b.espece(nom);
        const std::string famille = f && f->Famille ? *f->Famille : "";
        if (!famille.empty() && numeroFamille.emplace(famille, static_cast<int>(familles.size())).second)
            familles.push_back(famille);
    }

    w.ouvre("Datasets");
    w.attribut("xmlns", "http://rs.tdwg.org/UBIF/2006/");
    w.attribut("xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance");
    w.attribut("xsi:schemaLocation", "http://rs.tdwg.org/UBIF/2006/ http://rs.tdwg.org/UBIF/2006/Schema/1.1/SDD.xsd");
    w.ouvre("TechnicalMetadata");
    w.attribut("created", "2000-01-01T00:00:00");
    w.ouvre("Generator");
    w.attribut("name", "Tarvenko");
    w.attribut("version", "1");
    w.ferme();
    w.ferme();
    w.ouvre("Dataset");
    w.attribut("xml:lang", "en");
    w.label(titre.empty() ? fs::path(m.Chemin_Data).parent_path().parent_path().filename().string() : titre);

    w.ouvre("TaxonNames");
    for (std::size_t f = 0; f < familles.size(); ++f) {
        w.ouvre("TaxonName");
        w.attribut("id", "f" + std::to_string(f));
        w.label(familles[f]);
        w.ferme();
    }
    for (std::size_t s = 0; s < m.Nom_Esp.size(); ++s) {
        w.ouvre("TaxonName");
        w.attribut("id", "t" + std::to_string(s));
        w.label(m.Nom_Esp[s]);
        w.ferme();
    }
    w.ferme();
    w.ouvre("TaxonHierarchies");
    w.ouvre("TaxonHierarchy");
    w.attribut("id", "th");
    w.label("Families");
    w.element("TaxonHierarchyType", "UnspecifiedTaxonomy");
    w.ouvre("Nodes");
    for (std::size_t f = 0; f < familles.size(); ++f) {
        w.ouvre("Node");
        w.attribut("id", "nf" + std::to_string(f));
        w.vide("TaxonName", "ref", "f" + std::to_string(f));
        w.ferme();
    }
    for (std::size_t s = 0; s < m.Nom_Esp.size(); ++s) {
        w.ouvre("Node");
        w.attribut("id", "nt" + std::to_string(s));
        const FloreRow *f = b.espece(m.Nom_Esp[s]);
        if (f && f->Famille && numeroFamille.count(*f->Famille))
            w.vide("Parent", "ref", "nf" + std::to_string(numeroFamille[*f->Famille]));
        w.vide("TaxonName", "ref", "t" + std::to_string(s));
        w.ferme();
    }
    w.ferme();
    w.ferme();
    w.ferme();

    // Groups, named as the key names them.
    std::set<int> cadres;
    for (const Ligne &l : lignes)
        if (l.row->Cadre && *l.row->Cadre >= 0)
            cadres.insert(*l.row->Cadre);
    for (const Caractere_Num &c : m.Caracteres_Num)
        if (c.Cadre >= 0)
            cadres.insert(c.Cadre);
    if (!cadres.empty()) {
        w.ouvre("DescriptiveConcepts");
        for (const int c : cadres) {
            w.ouvre("DescriptiveConcept");
            w.attribut("id", "dc" + std::to_string(c));
            const CadreRow *row = b.cadre(c);
            w.label(row ? nomLangues(row->Nom, "Group " + std::to_string(c + 1)) : "Group " + std::to_string(c + 1));
            w.ferme();
        }
        w.ferme();
    }

    w.ouvre("Characters");
    for (const Ligne &l : lignes) {
        w.ouvre("CategoricalCharacter");
        w.attribut("id", l.id);
        w.ouvre("Representation");
        w.element("Label", l.row->TipText && !l.row->TipText->empty() ? *l.row->TipText : *l.row->Objet);
        labelsLangues(w, b, "Objets_Fic", std::to_string(l.row->Numero));
        w.ferme();
        if (!l.principale || (l.row->Contrainte && !l.row->Contrainte->empty()))
            w.instruction(kPiLigne, "objet=\"" + *l.row->Objet + "\" contrainte=\"" + l.row->Contrainte.value_or("") + "\"");
        if (l.principale)
            for (const ObjetRow *r : reprises[*l.row->Objet])
                w.instruction(kPiReprise, "contrainte=\"" + encodePseudoAttribut(r->Contrainte.value_or("")) + "\" label=\"" +
                                              encodePseudoAttribut(r->TipText.value_or("")) + "\"");
        w.ouvre("States");
        for (int e = l.premier; e < l.premier + l.nombre; ++e) {
            const CaractereRow *etat = b.caractere(e);
            w.ouvre("StateDefinition");
            w.attribut("id", *etat->ID_CARAC);
            w.ouvre("Representation");
            w.element("Label", etat->TipText && !etat->TipText->empty() ? *etat->TipText : *etat->ID_CARAC);
            labelsLangues(w, b, "Caracteres", std::to_string(etat->NUM));
            if (medias.count(e))
                w.vide("MediaObject", "ref", medias[e]);
            w.ferme();
            const std::int16_t poids = m.Poids[static_cast<std::size_t>(e)];
            if (poids != 1)
                w.instruction(kPiPoids, std::to_string(poids));
            w.ferme();
            ++bilan.etats;
        }
        w.ferme();
        w.ferme();
        ++bilan.caracteres;
    }
    for (const Caractere_Num &c : m.Caracteres_Num) {
        w.ouvre("QuantitativeCharacter");
        w.attribut("id", c.Objet);
        w.label(nomLangues(c.Nom, c.Objet));
        if (c.Poids != 1)
            w.instruction(kPiPoids, std::to_string(c.Poids));
        if (!c.Unite.empty()) {
            w.ouvre("MeasurementUnit");
            w.element("Label", c.Unite);
            w.ferme();
        }
        w.ferme();
        ++bilan.quantitatifs;
    }
    w.ferme();

    // One tree: the groups, then every character under its group with the states it needs.
    std::map<std::string, std::vector<std::string>> dependances; // Objet -> ID_CARAC
    for (const DescendanceRow &r : b.Descendance.rows)
        if (r.ID_CARAC && r.Objet && b.caractereParId(*r.ID_CARAC) && etatsPris.count(b.caractereParId(*r.ID_CARAC)->NUM)) {
            dependances[minusculesAscii(*r.Objet)].push_back(*b.caractereParId(*r.ID_CARAC)->ID_CARAC);
            ++bilan.descendances;
        }
    w.ouvre("CharacterTrees");
    w.ouvre("CharacterTree");
    w.attribut("id", "ct");
    w.label("Groups and dependencies");
    w.ouvre("Nodes");
    for (const int c : cadres) {
        w.ouvre("Node");
        w.attribut("id", "g" + std::to_string(c));
        w.vide("DescriptiveConcept", "ref", "dc" + std::to_string(c));
        w.ferme();
    }
    const auto noeud = [&](const std::string &id, const std::string &objet, int cadre, bool principale) {
        w.ouvre("CharNode");
        if (cadre >= 0)
            w.vide("Parent", "ref", "g" + std::to_string(cadre));
        const auto it = dependances.find(minusculesAscii(objet));
        if (principale && it != dependances.end()) {
            w.ouvre("DependencyRules");
            w.ouvre("OnlyApplicableIf");
            for (const std::string &e : it->second)
                w.vide("State", "ref", e);
            w.ferme();
            w.ferme();
        }
        w.vide("Character", "ref", id);
        w.ferme();
    };
    for (const Ligne &l : lignes)
        noeud(l.id, *l.row->Objet, l.row->Cadre.value_or(-1), l.principale);
    for (const Caractere_Num &c : m.Caracteres_Num)
        noeud(c.Objet, c.Objet, c.Cadre, true);
    w.ferme();
    w.ferme();
    w.ferme();

    w.ouvre("CodedDescriptions");
    for (int s = 0; s < m.Nb_Esp; ++s) {
        w.ouvre("CodedDescription");
        w.attribut("id", "d" + std::to_string(s));
        w.label(m.Nom_Esp[static_cast<std::size_t>(s)]);
        w.ouvre("Scope");
        w.vide("TaxonName", "ref", "t" + std::to_string(s));
        w.ferme();
        w.ouvre("SummaryData");
        for (const Ligne &l : lignes) {
            w.ouvre("Categorical");
            w.attribut("ref", l.id);
            bool aucun = true;
            for (int e = l.premier; e < l.premier + l.nombre; ++e)
                if (m.matrice(s, e) != 0) {
                    w.vide("State", "ref", *b.caractere(e)->ID_CARAC);
                    aucun = false;
                }
            if (aucun) {
                // Not applicable to other programs; none of the states, exactly, to ours.
                w.instruction(kPiAucun, "");
                w.vide("Status", "code", "NotApplicable");
            }
            w.ferme();
            ++bilan.codages;
        }
        for (const Caractere_Num &c : m.Caracteres_Num) {
            const auto i = static_cast<std::size_t>(s);
            if (i >= c.connue.size() || !c.connue[i])
                continue;
            w.ouvre("Quantitative");
            w.attribut("ref", c.Objet);
            // The range an answer is compared with is what ranks; the usual one goes inside it.
            const std::pair<const char *, double> mesures[] = {
                {"Min", c.bas[i]}, {"UMethLower", c.minimum[i]}, {"UMethUpper", c.maximum[i]}, {"Max", c.haut[i]}};
            for (const auto &[type, v] : mesures) {
                w.ouvre("Measure");
                w.attribut("type", type);
                w.attribut("value", nombre(v));
                w.ferme();
            }
            w.ferme();
            ++bilan.codages;
        }
        w.ferme();
        w.ferme();
        ++bilan.especes;
    }
    w.ferme();

    if (!sources.empty()) {
        w.ouvre("MediaObjects");
        for (const auto &[id, source] : sources) {
            w.ouvre("MediaObject");
            w.attribut("id", id);
            w.label(fs::path(source).stem().string());
            w.element("Type", "Image");
            w.vide("Source", "href", source);
            w.ferme();
            ++bilan.images;
        }
        w.ferme();
    }
    w.ferme();
    w.ferme();
    w.termine();
}

} // namespace

bool Ecrit_Sdd(const KeyModel &m, const std::string &chemin, BilanExport &bilan, std::string &erreur,
               const std::string &titre)
{
    const fs::path cible = fs::absolute(chemin);
    const fs::path temporaire = cible.string() + ".part-" + std::to_string(::getpid());
    bilan = BilanExport{};
    try {
        Ecrivain w(temporaire.string());
        ecrit(m, w, cible.parent_path(), titre, bilan);
        fs::rename(temporaire, cible);
    } catch (const std::exception &e) {
        std::error_code ec;
        fs::remove(temporaire, ec);
        erreur = chemin + ": " + e.what();
        return false;
    }
    return true;
}

} // namespace tarvenko::sdd
