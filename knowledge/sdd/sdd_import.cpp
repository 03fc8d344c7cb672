#include "knowledge/sdd/sdd_import.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <array>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <cmath>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <unordered_map>

#include "knowledge/output_folder.h"
#include "knowledge/sdd/sdd_pages.h"
#include "knowledge/text.h"
#include "tools/kbbuilder/kb_builder.h"

namespace tarvenko::sdd {

namespace fs = std::filesystem;

namespace {

using tools::KbBuilder;

// Species codes name the page folders: five characters, "t" and the description's number.
std::string codeEspece(std::size_t n)
{
    static const char chiffres[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string code = "t0000";
    for (int i = 4; i > 0 && n > 0; --i, n /= 36)
        code[static_cast<std::size_t>(i)] = chiffres[n % 36];
    return code;
}

bool estAdresseWeb(const std::string &source)
{
    const auto fin = source.find("://");
    if (fin == std::string::npos || fin == 0)
        return false;
    for (std::size_t i = 0; i < fin; ++i) {
        const char c = source[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))
            return false;
    }
    return minusculesAscii(source.substr(0, fin)) != "file";
}

// "%20" and friends of a relative address, as a file name on disk.
std::string decodeUrl(const std::string &s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

void ecritFichier(const fs::path &chemin, const std::string &contenu)
{
    fs::create_directories(chemin.parent_path());
    std::ofstream f(chemin, std::ios::binary);
    f << contenu;
    f.close();
    if (!f)
        throw std::runtime_error("cannot write " + chemin.string());
}

// Copies the local pictures the key shows into one folder, each file once, under a name safe
// for every file system.
class Copieur {
public:
    Copieur(const Document &d, fs::path dossier) : m_d(d), m_dossier(std::move(dossier)) {}

    // The copied file's name, or nothing (a web address, or a file that is not there).
    std::optional<std::string> copie(int media, Bilan &bilan)
    {
        if (const auto it = m_faits.find(media); it != m_faits.end())
            return it->second;
        const Media &m = m_d.medias[static_cast<std::size_t>(media)];
        std::optional<std::string> nom;
        if (!m.source.empty() && !estAdresseWeb(m.source)) {
            std::string chemin = m.source.rfind("file://", 0) == 0 ? m.source.substr(7) : m.source;
            chemin = decodeUrl(chemin);
            fs::path source(chemin);
            if (source.is_relative())
                source = fs::absolute(m_d.fichier).parent_path() / source;
            std::error_code ec;
            if (fs::is_regular_file(source, ec)) {
                std::string sur;
                for (char c : source.filename().string())
                    sur += (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_') ? c : '_';
                sur = std::to_string(m_faits.size()) + "_" + sur;
                fs::create_directories(m_dossier);
                fs::copy_file(source, m_dossier / sur, fs::copy_options::overwrite_existing, ec);
                if (ec)
                    throw std::runtime_error("cannot copy " + source.string() + ": " + ec.message());
                nom = sur;
                ++bilan.images;
            } else {
                m_manquants.push_back(m.source);
            }
        }
        m_faits[media] = nom;
        return nom;
    }
    const std::vector<std::string> &manquants() const { return m_manquants; }

private:
    const Document &m_d;
    fs::path m_dossier;
    std::map<int, std::optional<std::string>> m_faits;
    std::vector<std::string> m_manquants;
};

std::array<std::string, 3> nomsParLangue(const std::string &nom, const std::string &langue,
                                         const Traductions &labels = {})
{
    // English is the name shown when the interface language has none, so it always has one.
    std::array<std::string, 3> noms{nom, "", ""};
    if (langue == "es")
        noms[1] = nom;
    else if (langue == "fr")
        noms[2] = nom;
    const char *codes[] = {"en", "es", "fr"};
    for (std::size_t l = 0; l < noms.size(); ++l) {
        const auto it = labels.find(codes[l]);
        if (it != labels.end())
            noms[l] = it->second;
    }
    return noms;
}

} // namespace

Identifiants identifiants(const Document &d, std::vector<std::string> *renommages)
{
    const auto renomme = [&](const std::vector<const std::string *> &ids, const char *genre) {
        std::vector<std::string> out;
        std::unordered_map<std::string, int> vus; // folded id -> ids met so far
        std::set<std::string> pris;               // folded ids given out
        for (const std::string *id : ids) {
            const std::string plie = minusculesAscii(*id);
            int &n = vus[plie];
            std::string nouveau = *id;
            // A repeat, or an id that a suffix given earlier already took.
            if (++n > 1 || pris.count(plie)) {
                for (int k = std::max(n, 2);; ++k) {
                    nouveau = *id + "~" + std::to_string(k);
                    if (!pris.count(minusculesAscii(nouveau)))
                        break;
                }
                if (renommages)
                    renommages->push_back(std::string(genre) + " \"" + *id + "\" -> \"" + nouveau + "\"");
            }
            pris.insert(minusculesAscii(nouveau));
            out.push_back(std::move(nouveau));
        }
        return out;
    };
    std::vector<const std::string *> c, e;
    for (const Caractere &x : d.caracteres)
        c.push_back(&x.id);
    for (const Etat &x : d.etats)
        e.push_back(&x.id);
    return {renomme(c, "character"), renomme(e, "state")};
}

void Ecrit_Cle(const Document &d, const std::string &dossier, Bilan &bilan)
{
    const fs::path racine(dossier);
    bilan.fichier = d.fichier;
    bilan.langue = d.langue;
    bilan.titre = d.titre;
    const Identifiants ids = identifiants(d, &bilan.renommages);
    // The question's key: the id, or the key a Tarvenko export gave a row of a question.
    std::vector<std::string> objetDe(d.caracteres.size());
    for (std::size_t c = 0; c < d.caracteres.size(); ++c)
        objetDe[c] = d.caracteres[c].objet.empty() ? ids.caracteres[c] : d.caracteres[c].objet;

    KbBuilder kb((racine / "data").string());
    // The grid of every question is drawn by the program: no drawing, no bars.
    kb.nbRobot(0);

    // Groups: the node of a character tree a character hangs from, the first tree that gives one.
    std::vector<int> cadreDe(d.caracteres.size(), -1);
    std::map<int, int> cadreDeNoeud;
    for (const NoeudArbre &n : d.noeuds) {
        if (n.caractere < 0 || n.parent < 0 || cadreDe[static_cast<std::size_t>(n.caractere)] >= 0)
            continue;
        auto [it, nouveau] = cadreDeNoeud.emplace(n.parent, static_cast<int>(cadreDeNoeud.size()));
        if (nouveau) {
            const NoeudArbre &g = d.noeuds[static_cast<std::size_t>(n.parent)];
            std::string nom = g.label;
            if (nom.empty() && g.idee >= 0)
                nom = d.concepts[static_cast<std::size_t>(g.idee)].second;
            if (nom.empty())
                nom = g.id;
            kb.nomCadre(it->second, nomsParLangue(nom, d.langue, g.labels));
        }
        cadreDe[static_cast<std::size_t>(n.caractere)] = it->second;
    }
    bilan.groupes = static_cast<int>(cadreDeNoeud.size());

    // Questions and their states; state pictures copied beside the question pictures.
    Copieur images(d, racine / "descripteurs");
    std::vector<int> premierEtat(d.caracteres.size(), -1);
    for (std::size_t c = 0; c < d.caracteres.size(); ++c) {
        const Caractere &car = d.caracteres[c];
        if (car.genre == Genre::Texte) {
            ++bilan.textes;
            continue;
        }
        if (car.genre == Genre::Quantitatif) {
            ++bilan.quantitatifs;
            KbBuilder::Numerique n;
            n.objet = objetDe[c];
            n.poids = static_cast<std::int16_t>(car.poids);
            n.noms = nomsParLangue(car.label.empty() ? car.id : car.label, d.langue, car.labels);
            n.unite = car.unite;
            n.cadre = static_cast<std::int16_t>(cadreDe[c]);
            kb.numerique(n);
            continue;
        }
        if (car.etats.empty()) {
            bilan.ignores.push_back({"categorical character without states (" + car.id + ")", 1});
            continue;
        }
        ++bilan.categoriels;
        KbBuilder::Objet o;
        o.objet = objetDe[c];
        if (!car.contrainte.empty())
            o.contrainte = car.contrainte;
        o.tipText = car.label.empty() ? car.id : car.label;
        o.cadre = static_cast<std::int16_t>(cadreDe[c]);
        const int n = static_cast<int>(car.etats.size());
        const int colonnes = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
        o.colonnes = static_cast<std::int16_t>(colonnes);
        o.lignes = static_cast<std::int16_t>((n + colonnes - 1) / colonnes);
        for (const int e : car.etats) {
            const Etat &etat = d.etats[static_cast<std::size_t>(e)];
            o.etats.push_back(ids.etats[static_cast<std::size_t>(e)]);
            o.tips.push_back(etat.label.empty() ? etat.id : etat.label);
        }
        premierEtat[c] = kb.objet(o);
        // The labels in other languages, for the window in those languages (Textes_Langues).
        for (const auto &[langue, label] : car.labels)
            kb.questionLangue(o.objet, langue, label);
        for (const int e : car.etats)
            for (const auto &[langue, label] : d.etats[static_cast<std::size_t>(e)].labels)
                kb.etatLangue(ids.etats[static_cast<std::size_t>(e)], langue, label);
        for (const auto &[contrainte, label] : car.reprises) {
            KbBuilder::Objet reprise;
            reprise.objet = o.objet;
            reprise.ligneSupplementaire = true;
            if (!contrainte.empty())
                reprise.contrainte = contrainte;
            reprise.tipText = label;
            reprise.cadre = o.cadre;
            reprise.lignes = o.lignes;
            reprise.colonnes = o.colonnes;
            kb.objet(reprise);
        }
        bilan.etats += n;
        for (const int e : car.etats) {
            const Etat &etat = d.etats[static_cast<std::size_t>(e)];
            if (etat.poids != 1)
                kb.poids(ids.etats[static_cast<std::size_t>(e)], static_cast<std::int16_t>(etat.poids));
            for (const int m : etat.medias)
                if (const auto nom = images.copie(m, bilan)) {
                    kb.imageEtat(ids.etats[static_cast<std::size_t>(e)], *nom);
                    break;
                }
        }
    }
    if (d.descriptions.size() > 32767)
        throw std::runtime_error("the file has " + std::to_string(d.descriptions.size()) +
                                 " descriptions, more than a key holds (32767)");
    if (bilan.etats > 32767)
        throw std::runtime_error("the file has " + std::to_string(bilan.etats) + " states, more than a key holds (32767)");

    // Dependencies: a character only applicable under some states depends on each of them; one
    // inapplicable under some states depends on the other states of their character.
    std::set<std::pair<int, int>> regles; // (state, character)
    std::vector<int> caractereDeEtat(d.etats.size(), -1);
    for (std::size_t c = 0; c < d.caracteres.size(); ++c)
        for (const int e : d.caracteres[c].etats)
            caractereDeEtat[static_cast<std::size_t>(e)] = static_cast<int>(c);
    for (const NoeudArbre &n : d.noeuds) {
        if (n.caractere < 0 || n.regles.empty())
            continue;
        const Caractere &dependant = d.caracteres[static_cast<std::size_t>(n.caractere)];
        if (dependant.genre == Genre::Texte || (dependant.genre == Genre::Categoriel && premierEtat[static_cast<std::size_t>(n.caractere)] < 0))
            continue;
        std::map<int, std::set<int>> inapplicables; // character -> its states that rule it out
        for (const auto &[seulementSi, e] : n.regles) {
            if (caractereDeEtat[static_cast<std::size_t>(e)] == n.caractere)
                continue;
            if (seulementSi)
                regles.emplace(e, n.caractere);
            else
                inapplicables[caractereDeEtat[static_cast<std::size_t>(e)]].insert(e);
        }
        for (const auto &[c, exclus] : inapplicables)
            for (const int e : d.caracteres[static_cast<std::size_t>(c)].etats)
                if (!exclus.count(e))
                    regles.emplace(e, n.caractere);
    }
    std::vector<std::pair<int, int>> ordonnees(regles.begin(), regles.end());
    std::sort(ordonnees.begin(), ordonnees.end(), [](auto a, auto b) { return a.second != b.second ? a.second < b.second : a.first < b.first; });
    for (const auto &[e, c] : ordonnees) {
        if (premierEtat[static_cast<std::size_t>(caractereDeEtat[static_cast<std::size_t>(e)])] < 0)
            continue;
        kb.descendance(ids.etats[static_cast<std::size_t>(e)], objetDe[static_cast<std::size_t>(c)]);
        ++bilan.descendances;
    }

    // Families from the taxon hierarchy: the parent node's taxon.
    std::vector<int> noeudDeTaxon(d.taxons.size(), -1);
    for (std::size_t i = 0; i < d.noeudsTaxons.size(); ++i) {
        const int t = d.noeudsTaxons[i].taxon;
        if (t >= 0 && noeudDeTaxon[static_cast<std::size_t>(t)] < 0)
            noeudDeTaxon[static_cast<std::size_t>(t)] = static_cast<int>(i);
    }
    const auto famille = [&](const Description &desc) {
        if (desc.taxon >= 0) {
            const int n = noeudDeTaxon[static_cast<std::size_t>(desc.taxon)];
            if (n >= 0) {
                const int p = d.noeudsTaxons[static_cast<std::size_t>(n)].parent;
                if (p >= 0 && d.noeudsTaxons[static_cast<std::size_t>(p)].taxon >= 0)
                    return d.taxons[static_cast<std::size_t>(d.noeudsTaxons[static_cast<std::size_t>(p)].taxon)].second;
            }
        }
        return d.titre;
    };

    // Species, matrix, ranges, pages.
    std::map<std::string, int> memesNoms; // folded label -> descriptions that had it
    std::set<std::string> nomsPris;        // folded names given out
    Copieur photos(d, racine / "documents" / "media");
    for (std::size_t s = 0; s < d.descriptions.size(); ++s) {
        const Description &desc = d.descriptions[s];
        std::string nom = desc.label;
        if (nom.empty() && desc.taxon >= 0)
            nom = d.taxons[static_cast<std::size_t>(desc.taxon)].second;
        if (nom.empty())
            nom = desc.id;
        // A repeated label gets " (2)", " (3)"..., never a name another taxon already has.
        const std::string label = nom;
        for (int n = std::max(2, ++memesNoms[minusculesAscii(label)]); nomsPris.count(minusculesAscii(nom)); ++n)
            nom = label + " (" + std::to_string(n) + ")";
        nomsPris.insert(minusculesAscii(nom));
        const std::string code = codeEspece(s);
        kb.espece(nom, famille(desc), code);
        ++bilan.taxons;

        std::vector<char> code_(d.caracteres.size(), 0); // characters coded with known states
        for (const Description::Categoriel &c : desc.categoriels) {
            ++bilan.codages;
            const int premier = premierEtat[static_cast<std::size_t>(c.caractere)];
            if (premier >= 0 && c.aucun) {
                code_[static_cast<std::size_t>(c.caractere)] = 1;
                continue;
            }
            if (premier < 0 || c.statut || c.etats.empty())
                continue;
            code_[static_cast<std::size_t>(c.caractere)] = 1;
            const auto &etats = d.caracteres[static_cast<std::size_t>(c.caractere)].etats;
            for (const int e : c.etats)
                kb.a(s, premier + static_cast<int>(std::find(etats.begin(), etats.end(), e) - etats.begin()));
        }
        // Unknown data never counts against a taxon: every state of an uncoded character.
        for (std::size_t c = 0; c < d.caracteres.size(); ++c)
            if (premierEtat[c] >= 0 && !code_[c])
                for (std::size_t i = 0; i < d.caracteres[c].etats.size(); ++i)
                    kb.a(s, premierEtat[c] + static_cast<int>(i));
        for (const Description::Quantitatif &q : desc.quantitatifs) {
            ++bilan.codages;
            std::optional<double> bas, haut;
            for (const auto &[type, v] : q.mesures)
                if (type == "Min" || type == "UMethLower" || type == "Mean" || type == "UMethUpper" || type == "Max") {
                    bas = bas ? std::min(*bas, v) : v;
                    haut = haut ? std::max(*haut, v) : v;
                }
            if (q.statut || !bas)
                continue;
            kb.plage(objetDe[static_cast<std::size_t>(q.caractere)], nom, *bas, *haut);
            ++bilan.plages;
        }
        bilan.codages += static_cast<int>(desc.textes.size());

        const fs::path page = racine / "documents" / code.substr(0, 1) / code;
        std::vector<ImagePage> vues;
        for (const int m : desc.medias) {
            const Media &media = d.medias[static_cast<std::size_t>(m)];
            const std::string legende = media.label.empty() ? nom : media.label;
            if (const auto copie = photos.copie(m, bilan))
                vues.push_back({"../../media/" + *copie, legende, true});
            else if (estAdresseWeb(media.source)) {
                vues.push_back({media.source, legende, false});
                ++bilan.liens;
            }
        }
        const std::string html = pageTaxon(d, desc, nom, vues);
        // The window opens the "_en" page first whatever the language; the file's own language
        // gets its page too, so that a page of that language links to itself.
        ecritFichier(page / (code + "_en.html"), html);
        if (d.langue != "en" && d.langue.size() == 2)
            ecritFichier(page / (code + "_" + d.langue + ".html"), html);
    }
    std::vector<std::string> manquants = images.manquants();
    manquants.insert(manquants.end(), photos.manquants().begin(), photos.manquants().end());
    if (!manquants.empty())
        bilan.ignores.push_back({"local picture not found (the first: " + manquants.front() + ")",
                                 static_cast<int>(manquants.size())});
    for (const Ignore &i : d.ignores)
        bilan.ignores.push_back(i);

    fs::create_directories(racine / "descripteurs");
    kb.ecrit();
    for (const char *langue : {"en", "fr", "es"})
        ecritFichier(racine / "data" / (std::string("error_") + langue + ".html"),
                     "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head><body><p>" +
                         echappeHtml(d.titre) + "</p></body></html>\n");
}

bool estSdd(const std::string &chemin)
{
    std::error_code ec;
    if (!fs::is_regular_file(chemin, ec))
        return false;
    if (minusculesAscii(fs::path(chemin).extension().string()) == ".xml")
        return true;
    std::ifstream f(chemin, std::ios::binary);
    char debut[64] = {};
    f.read(debut, sizeof debut);
    std::string s(debut, static_cast<std::size_t>(f.gcount()));
    if (s.rfind("\xEF\xBB\xBF", 0) == 0)
        s.erase(0, 3);
    const auto p = s.find_first_not_of(" \t\r\n");
    return p != std::string::npos && s.compare(p, 5, "<?xml") == 0;
}

bool convertitVers(const std::string &source, const std::string &dossier, Bilan &bilan, std::string &erreur,
                   bool remplace)
{
    std::error_code ec;
    const fs::path cible = fs::absolute(dossier, ec);
    if (!remplace && fs::exists(cible, ec)) {
        erreur = dossier + " already exists";
        return false;
    }
    Document d;
    if (!Lit_Document(source, d, erreur))
        return false;
    static std::atomic<int> compteur{0};
    const fs::path temporaire =
        cible.parent_path() / ("." + cible.filename().string() + ".part-" + std::to_string(::getpid()) + "-" +
                               std::to_string(compteur++));
    bilan = Bilan{};
    try {
        fs::remove_all(temporaire);
        fs::create_directories(temporaire);
        Ecrit_Cle(d, temporaire.string(), bilan);
        Installe_Dossier(temporaire, cible);
    } catch (const std::exception &e) {
        fs::remove_all(temporaire, ec);
        erreur = source + ": " + e.what();
        return false;
    }
    return true;
}

std::string texteBilan(const Bilan &b)
{
    std::string t = "SDD file: " + b.fichier + (b.titre.empty() ? "" : " (" + b.titre + ")") + ", language " + b.langue + "\n";
    t += "taxa: " + std::to_string(b.taxons) + "\n";
    t += "characters: " + std::to_string(b.categoriels) + " categorical, " + std::to_string(b.quantitatifs) +
         " quantitative, " + std::to_string(b.textes) + " text\n";
    t += "states: " + std::to_string(b.etats) + "\n";
    t += "codings: " + std::to_string(b.codages) + " (numeric ranges: " + std::to_string(b.plages) + ")\n";
    t += "pictures: " + std::to_string(b.images) + " copied, " + std::to_string(b.liens) + " web addresses kept as links\n";
    t += "groups: " + std::to_string(b.groupes) + ", dependencies: " + std::to_string(b.descendances) + "\n";
    for (const std::string &r : b.renommages)
        t += "renamed: " + r + "\n";
    for (const Ignore &i : b.ignores)
        t += "skipped: " + std::to_string(i.nombre) + " x " + i.raison + "\n";
    return t;
}

} // namespace tarvenko::sdd
