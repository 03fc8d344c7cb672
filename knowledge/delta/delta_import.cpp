#include "knowledge/delta/delta_import.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

#include "knowledge/delta/delta_jeu.h"
#include "knowledge/delta/delta_texte.h"
#include "knowledge/output_folder.h"
#include "knowledge/text.h"
#include "tools/kbbuilder/kb_builder.h"

namespace tarvenko::delta {

namespace fs = std::filesystem;

std::string objetCaractere(int caractere) { return "C" + std::to_string(caractere); }
std::string idEtat(int caractere, int etat) { return objetCaractere(caractere) + "S" + std::to_string(etat); }

std::string codeItem(std::size_t index)
{
    // Page codes have five characters: "t0001" … "t9999", then "u" and four base-36 digits.
    char code[8];
    if (index < 9999) {
        std::snprintf(code, sizeof code, "t%04zu", index + 1);
        return code;
    }
    static constexpr char chiffres[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string out = "u";
    std::size_t n = index - 9999;
    std::string base;
    for (int k = 0; k < 4; ++k, n /= 36)
        base.insert(base.begin(), chiffres[n % 36]);
    return out + base;
}

namespace {

// A reliability as a weight: rounded half to even, at least 1.
std::int16_t poids(double fiabilite)
{
    const long w = std::lrint(std::min(fiabilite, 1000.0));
    return static_cast<std::int16_t>(std::max(1L, w));
}

std::string capitale(std::string s)
{
    if (!s.empty())
        s[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
    return s;
}

std::string nombreTexte(double v)
{
    char b[32];
    std::snprintf(b, sizeof b, "%g", v);
    return b;
}

// What a character is about, in words: its feature without comments, or, when the whole
// feature is a comment ("<longevity of plants>"), the comment.
std::string sujetSansCommentaires(const Caractere &c)
{
    std::string s = nettoie(c.texte);
    if (s.empty()) {
        s = nettoieQuestion(c.texte);
        if (s.size() >= 2 && s.front() == '(' && s.back() == ')')
            s = s.substr(1, s.size() - 2);
    }
    return s;
}

// The question: the feature with its comments in parentheses, those telling apart two questions
// on one organ.
std::string sujet(const Caractere &c)
{
    const std::string q = nettoieQuestion(c.texte);
    if (q.size() >= 2 && q.front() == '(' && q.back() == ')' && q.find('(', 1) == std::string::npos)
        return q.substr(1, q.size() - 2);
    return q;
}

struct Sortie {
    fs::path racine;
    fs::path data() const { return racine / "data"; }
    fs::path descripteurs() const { return racine / "descripteurs"; }
    fs::path documents() const { return racine / "documents"; }
};

// A picture named in the dataset: beside the directive files or in their "images" folder, in any
// letter case.
std::string image(const std::string &dossier, const std::string &nom)
{
    if (nom.find('/') != std::string::npos || nom.find('\\') != std::string::npos || nom.empty())
        return {};
    if (std::string p = fichierDans(dossier, nom); !p.empty())
        return p;
    for (const char *sous : {"images", "Images", "IMAGES"})
        if (std::string p = fichierDans((fs::path(dossier) / sous).string(), nom); !p.empty())
            return p;
    return {};
}

bool ecritTexte(const fs::path &chemin, const std::string &texte)
{
    std::ofstream out(chemin, std::ios::binary);
    out << texte;
    return static_cast<bool>(out.flush());
}

std::string page(const std::string &titre, const std::string &corps)
{
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + echappeHtml(titre) +
           "</title>\n<style>body{font-family:sans-serif;margin:1em 1.5em;line-height:1.4}"
           "h1{font-size:1.4em}h2{font-size:1.1em;margin-bottom:.2em}img{max-width:100%}"
           "figure{margin:1em 0}figcaption{font-size:.9em;color:#444}</style>\n</head>\n<body>\n" +
           corps + "</body>\n</html>\n";
}

class Conversion {
public:
    Conversion(const Jeu &jeu, Bilan &bilan, Sortie sortie) : m_jeu(jeu), m_bilan(bilan), m_sortie(std::move(sortie)) {}

    void ecrit()
    {
        tools::KbBuilder b(m_sortie.data().string());
        groupes(b);
        especes(b);
        questions(b);
        matrice(b);
        dependances(b);
        b.ecrit();
        pages();
        pagesCaracteres();
        ecritTexte(m_sortie.data() / "error_en.html",
                   page("No page", "<h1>No page</h1>\n<p>This taxon has no page in the key.</p>\n"));
    }

private:
    void groupes(tools::KbBuilder &b)
    {
        // Only headings over questions make groups: a heading of text characters alone would
        // list nothing.
        std::vector<std::string> noms;
        for (const Caractere &c : m_jeu.caracteres) {
            const std::string nom = c.type == Type::TE ? std::string() : nettoie(c.rubrique);
            if (nom.empty()) {
                m_cadres.push_back(-1);
                continue;
            }
            if (noms.empty() || noms.back() != nom)
                noms.push_back(nom);
            m_cadres.push_back(static_cast<int>(noms.size()) - 1);
        }
        for (std::size_t k = 0; k < noms.size(); ++k)
            b.nomCadre(static_cast<int>(k), {noms[k], "", ""});
        b.nbCadre(static_cast<int>(noms.size()));
    }

    void especes(tools::KbBuilder &b)
    {
        std::map<std::string, int> vus;
        const std::string defaut = fs::path(m_jeu.dossier).filename().string();
        for (std::size_t i = 0; i < m_jeu.items.size(); ++i) {
            std::string nom = nettoie(m_jeu.items[i].nom);
            // The program looks species up without regard to case: "Poa" and "POA" are one name.
            if (const int n = ++vus[minusculesAscii(nom)]; n > 1)
                nom += " (" + std::to_string(n) + ")";
            std::string famille = nettoie(m_jeu.items[i].rubrique);
            if (famille.empty())
                famille = defaut.empty() ? "DELTA" : defaut;
            m_noms.push_back(nom);
            b.espece(nom, famille, codeItem(i));
        }
        m_bilan.items = static_cast<int>(m_jeu.items.size());
    }

    void questions(tools::KbBuilder &b)
    {
        m_index.assign(m_jeu.caracteres.size(), -1);
        for (std::size_t k = 0; k < m_jeu.caracteres.size(); ++k) {
            const Caractere &c = m_jeu.caracteres[k];
            const int numero = static_cast<int>(k) + 1;
            ++m_bilan.caracteresParType[nomType(c.type)];
            ++m_bilan.caracteres;
            const std::string question = sujet(c);
            const std::int16_t w = poids(c.fiabilite);
            const bool joker = c.fiabilite > 0;
            const auto cadre = static_cast<std::int16_t>(m_cadres[k]);
            if (estNumerique(c.type)) {
                tools::KbBuilder::Numerique n;
                n.objet = objetCaractere(numero);
                n.noms = {question.empty() ? n.objet : question, "", ""};
                n.unite = c.unite;
                n.poids = w;
                n.cadre = cadre;
                n.joker = joker;
                b.numerique(n);
                continue;
            }
            if (!estMultiEtat(c.type))
                continue;
            tools::KbBuilder::Objet o;
            o.objet = objetCaractere(numero);
            for (int s = 1; s <= c.nbEtats; ++s) {
                o.etats.push_back(idEtat(numero, s));
                const auto i = static_cast<std::size_t>(s - 1);
                const std::string nom = i < c.etats.size() ? nettoie(c.etats[i]) : std::string();
                o.tips.push_back(nom.empty() ? "State " + std::to_string(s) : nom);
                b.poids(o.etats.back(), w);
            }
            // A grid about as wide as it is high.
            const int n = c.nbEtats;
            const int colonnes = n <= 4 ? n : static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
            o.colonnes = static_cast<std::int16_t>(std::max(1, colonnes));
            o.lignes = static_cast<std::int16_t>((n + colonnes - 1) / std::max(1, colonnes));
            o.cadre = cadre;
            o.joker = joker;
            o.tipText = question.empty() ? o.objet : question;
            m_index[k] = b.objet(o);
            m_bilan.etats += n;
            imagesEtats(b, numero, c);
        }
    }

    void imagesEtats(tools::KbBuilder &b, int numero, const Caractere &c)
    {
        // The character's first picture shows its states; later ones only go into pages.
        bool premiere = true;
        for (const std::string &nom : c.images) {
            const std::string source = image(m_jeu.dossier, nom);
            if (source.empty()) {
                ++m_bilan.imagesAbsentes;
                m_bilan.problemes.push_back("cimages: picture " + nom + " of character " + std::to_string(numero) +
                                            " not found");
                continue;
            }
            const std::string fichier = fs::path(source).filename().string();
            if (copie(source, m_sortie.descripteurs() / fichier) && premiere) {
                for (int s = 1; s <= c.nbEtats; ++s)
                    b.imageEtat(idEtat(numero, s), fichier);
                premiere = false;
            }
        }
    }

    // `compte`: whether the picture is one more of the dataset's placed in the key, for the summary.
    bool copie(const std::string &source, const fs::path &cible, bool compte = true)
    {
        std::error_code ec;
        fs::create_directories(cible.parent_path(), ec);
        if (fs::exists(cible, ec))
            return true;
        if (!fs::copy_file(source, cible, ec)) {
            m_bilan.problemes.push_back("cannot copy " + source + ": " + ec.message());
            return false;
        }
        if (compte)
            ++m_bilan.images;
        return true;
    }

    void matrice(tools::KbBuilder &b)
    {
        std::vector<const Attribut *> parCaractere(m_jeu.caracteres.size());
        for (std::size_t i = 0; i < m_jeu.items.size(); ++i) {
            const Item &item = m_jeu.items[i];
            std::fill(parCaractere.begin(), parCaractere.end(), nullptr);
            for (const Attribut &a : item.attributs)
                parCaractere[static_cast<std::size_t>(a.caractere - 1)] = &a;
            for (std::size_t k = 0; k < m_jeu.caracteres.size(); ++k) {
                const Caractere &c = m_jeu.caracteres[k];
                const Attribut *a = parCaractere[k];
                if (estNumerique(c.type)) {
                    if (!a || a->valeur.empty())
                        continue;
                    const Valeur v = interpreteValeur(c, a->valeur);
                    if (v.minimum && v.maximum)
                        b.plage(objetCaractere(static_cast<int>(k) + 1), m_noms[i], *v.minimum, *v.maximum);
                    continue;
                }
                if (m_index[k] < 0)
                    continue;
                std::vector<int> etats;
                bool tous = true;
                if (a && !a->valeur.empty()) {
                    const Valeur v = interpreteValeur(c, a->valeur);
                    tous = v.tous;
                    etats = v.etats;
                } else if (!a && c.implicite && *c.implicite >= 1 && *c.implicite <= c.nbEtats) {
                    tous = false;
                    etats = {*c.implicite};
                }
                if (tous) {
                    for (int s = 0; s < c.nbEtats; ++s)
                        b.a(i, m_index[k] + s);
                } else {
                    for (int s : etats)
                        b.a(i, m_index[k] + s - 1);
                }
            }
        }
    }

    // A dependent character is tied to each state of its controlling character under which it
    // applies: changing the answer away from such a state clears it.
    void dependances(tools::KbBuilder &b)
    {
        std::map<std::pair<int, int>, std::set<int>> inapplicable; // (controlling, dependent) → states
        for (const Dependance &d : m_jeu.dependances)
            for (int x : d.dependants)
                inapplicable[{d.controle, x}].insert(d.etats.begin(), d.etats.end());
        for (const auto &[paire, etats] : inapplicable) {
            const auto [controle, dependant] = paire;
            const Caractere &ctl = m_jeu.caractere(controle);
            const Caractere &dep = m_jeu.caractere(dependant);
            if (!estMultiEtat(ctl.type) || dep.type == Type::TE || dependant == controle)
                continue;
            for (int s = 1; s <= ctl.nbEtats; ++s)
                if (!etats.count(s)) {
                    b.descendance(idEtat(controle, s), objetCaractere(dependant));
                    ++m_bilan.dependances;
                }
        }
    }

    // What an item's attribute says, in words.
    std::string phrase(const Caractere &c, const Attribut &a) const
    {
        const std::string commentaire = nettoie(a.commentaire);
        if (c.type == Type::TE)
            return commentaire;
        const Valeur v = interpreteValeur(c, a.valeur);
        std::string texte;
        if (v.inapplicable)
            return {};
        else if (estNumerique(c.type) && v.minimum)
            texte = *v.minimum == *v.maximum ? nombreTexte(*v.minimum)
                                             : nombreTexte(*v.minimum) + "\u2013" + nombreTexte(*v.maximum);
        else if (estNumerique(c.type) || v.tous) {
            if (nettoie(a.valeur) != "V")
                return {};
            texte = "variable";
        }
        else {
            // States joined as written: '&' reads "and", '/' and ranges read "or".
            const std::string joint = nettoie(a.valeur).find('&') != std::string::npos ? " and " : " or ";
            for (std::size_t k = 0; k < v.etats.size(); ++k) {
                const auto i = static_cast<std::size_t>(v.etats[k] - 1);
                texte += (k ? joint : "") + (i < c.etats.size() ? nettoie(c.etats[i]) : std::to_string(v.etats[k]));
            }
        }
        if (estNumerique(c.type) && v.minimum && !c.unite.empty())
            texte += " " + c.unite;
        if (!commentaire.empty())
            texte = "(" + commentaire + ") " + texte;
        return texte;
    }

    void pages()
    {
        for (std::size_t i = 0; i < m_jeu.items.size(); ++i) {
            const Item &item = m_jeu.items[i];
            const std::string code = codeItem(i);
            const fs::path dossier = m_sortie.documents() / code.substr(0, 1) / code;
            std::error_code ec;
            fs::create_directories(dossier, ec);
            std::string corps = "<h1>" + echappeHtml(m_noms[i]) + "</h1>\n";
            std::string rubrique;
            bool ouvert = false;
            std::vector<std::string> textes;
            for (const Attribut &a : item.attributs) {
                const Caractere &c = m_jeu.caractere(a.caractere);
                const std::string r = nettoie(c.rubrique);
                const std::string dit = phrase(c, a);
                if (dit.empty())
                    continue;
                if (c.type == Type::TE) {
                    std::string titre = capitale(sujetSansCommentaires(c));
                    while (!titre.empty() && (titre.back() == ':' || titre.back() == '.'))
                        titre.pop_back();
                    textes.push_back("<p><b>" + echappeHtml(titre) + ".</b> " +
                                     echappeHtml(dit) + "</p>\n");
                    continue;
                }
                if (!ouvert || r != rubrique) {
                    if (ouvert)
                        corps += "</p>\n";
                    if (!r.empty() && r != rubrique)
                        corps += "<h2>" + echappeHtml(r) + "</h2>\n";
                    corps += "<p>";
                    ouvert = true;
                    rubrique = r;
                }
                corps += echappeHtml(capitale(sujetSansCommentaires(c))) + " " + echappeHtml(dit) + ". ";
            }
            if (ouvert)
                corps += "</p>\n";
            for (const std::string &t : textes)
                corps += t;
            for (const std::string &nom : item.images) {
                const std::string source = image(m_jeu.dossier, nom);
                if (source.empty()) {
                    ++m_bilan.imagesAbsentes;
                    m_bilan.problemes.push_back("timages: picture " + nom + " of " + m_noms[i] + " not found");
                    continue;
                }
                const std::string fichier = fs::path(source).filename().string();
                if (copie(source, dossier / fichier))
                    corps += "<figure><img src=\"" + echappeHtml(fichier) + "\" alt=\"\"></figure>\n";
            }
            ecritTexte(dossier / (code + "_en.html"), page(m_noms[i], corps));
        }
    }

    // The help of a question: its notes and pictures (*CHARACTER NOTES, *CHARACTER IMAGES) and
    // its states, in the documents layout under the code "c0012" for character 12, written
    // only for the characters that have notes or pictures.
    void pagesCaracteres()
    {
        for (std::size_t k = 0; k < m_jeu.caracteres.size(); ++k) {
            const Caractere &c = m_jeu.caracteres[k];
            if ((c.notes.empty() && c.images.empty()) || c.type == Type::TE)
                continue;
            char code[32];
            std::snprintf(code, sizeof code, "c%04zu", k + 1);
            const fs::path dossier = m_sortie.documents() / "c" / code;
            std::error_code ec;
            fs::create_directories(dossier, ec);
            const std::string titre = capitale(sujet(c));
            std::string corps = "<h1>" + echappeHtml(titre) + "</h1>\n";
            if (!c.notes.empty()) {
                // Paragraph marks of the notes become paragraphs.
                std::string notes = c.notes;
                for (std::size_t p; (p = notes.find("\\par{}")) != std::string::npos;)
                    notes.replace(p, 6, "\n\n");
                std::istringstream in(notes);
                std::string paragraphe, ligne;
                const auto ajoute = [&] {
                    if (const std::string t = nettoie(paragraphe); !t.empty())
                        corps += "<p>" + echappeHtml(t) + "</p>\n";
                    paragraphe.clear();
                };
                while (std::getline(in, ligne)) {
                    if (nettoie(ligne).empty())
                        ajoute();
                    else
                        paragraphe += ligne + " ";
                }
                ajoute();
            }
            if (!c.etats.empty()) {
                corps += "<ol>\n";
                for (const std::string &e : c.etats)
                    corps += "<li>" + echappeHtml(nettoie(e)) + "</li>\n";
                corps += "</ol>\n";
            }
            for (const std::string &nom : c.images) {
                const std::string source = image(m_jeu.dossier, nom);
                if (source.empty())
                    continue; // already counted with the states' pictures
                const std::string fichier = fs::path(source).filename().string();
                if (copie(source, dossier / fichier, false))
                    corps += "<figure><img src=\"" + echappeHtml(fichier) + "\" alt=\"\"></figure>\n";
            }
            ecritTexte(dossier / (std::string(code) + "_en.html"), page(titre, corps));
        }
    }

    const Jeu &m_jeu;
    Bilan &m_bilan;
    Sortie m_sortie;
    std::vector<int> m_cadres;
    std::vector<int> m_index; // Index_Car of each multistate character, -1 for the others
    std::vector<std::string> m_noms;
};

std::string suffixeAleatoire()
{
    std::random_device rd;
    char b[16];
    std::snprintf(b, sizeof b, "%08x", static_cast<unsigned>(rd()));
    return b;
}

} // namespace

bool convertitVers(const std::string &source, const std::string &destination, Bilan &bilan, std::string &erreur,
                  bool remplace)
{
    bilan = Bilan{};
    std::error_code ec;
    if (!remplace && fs::exists(destination, ec)) {
        erreur = destination + " already exists";
        return false;
    }
    Jeu jeu;
    if (!litJeu(source, jeu, erreur))
        return false;
    bilan.fichiersLus = jeu.fichiersLus;
    bilan.directivesInutilisees = jeu.directivesInutilisees;
    bilan.attributs = jeu.attributsLus;
    bilan.attributsIgnores = jeu.attributsIgnores;
    bilan.itemsIgnores = jeu.itemsIgnores;
    for (const Probleme &p : jeu.problemes)
        bilan.problemes.push_back(p.message());
    if (jeu.items.empty()) {
        erreur = fichierDans(source, "items") + ": no item described";
        return false;
    }

    const fs::path cible = fs::absolute(destination, ec);
    const fs::path temporaire = cible.parent_path() / (cible.filename().string() + ".part-" + suffixeAleatoire());
    try {
        fs::create_directories(temporaire);
        Conversion(jeu, bilan, Sortie{temporaire}).ecrit();
        Installe_Dossier(temporaire, cible);
    } catch (const std::exception &e) {
        fs::remove_all(temporaire, ec);
        erreur = "cannot write " + destination + ": " + e.what();
        return false;
    }
    return true;
}

std::string texteBilan(const Bilan &b)
{
    std::ostringstream out;
    out << "items: " << b.items;
    if (b.itemsIgnores)
        out << " (" << b.itemsIgnores << " skipped)";
    out << "\ncharacters: " << b.caracteres << " (";
    bool premier = true;
    for (const char *t : {"UM", "OM", "IN", "RN", "TE"}) {
        const auto it = b.caracteresParType.find(t);
        out << (premier ? "" : ", ") << t << " " << (it == b.caracteresParType.end() ? 0 : it->second);
        premier = false;
    }
    out << ")\nstates: " << b.etats << "\nattributes read: " << b.attributs;
    if (b.attributsIgnores)
        out << " (" << b.attributsIgnores << " skipped)";
    out << "\ndependencies: " << b.dependances << "\npictures: " << b.images;
    if (b.imagesAbsentes)
        out << " (" << b.imagesAbsentes << " not found)";
    out << "\nfiles read:";
    for (const std::string &f : b.fichiersLus)
        out << ' ' << f;
    out << '\n';
    for (const auto &[nom, fois] : b.directivesInutilisees)
        out << "not used: " << nom << (fois > 1 ? " (" + std::to_string(fois) + " times)" : std::string()) << '\n';
    for (const std::string &p : b.problemes)
        out << "skipped: " << p << '\n';
    return out.str();
}

} // namespace tarvenko::delta
