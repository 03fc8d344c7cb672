// tarvenko-big-kb: writes a large knowledge base for measuring the program at scale. It keeps the
// bundled key's structure (its characters, the first six layers of its drawing with their colours
// and click zones, the bars and the contradiction displays) and adds generated characters of 2 to
// 12 states until the key has the number of states asked for, and generated species: genera of
// related species sharing most of their states, some variable (two states of one character), some
// to which a character does not apply, with families and common names in three languages. The
// same arguments always give the same bytes.
#include <QGuiApplication>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/kbbuilder/kb_builder.h"
#include "tools/sample/base.h"
#include "tools/sample/dessin.h"
#include "tools/sample/ecriture.h"
#include "tools/sample/grilles.h"
#include "tools/sample/sources.h"

namespace fs = std::filesystem;
using namespace tarvenko::sample;

namespace {

// Layers of the bundled drawing kept: landscape, trunk, crown, bark, leaves, one leaf detail.
constexpr int kCouches = 6;
// Species of one genus, at most.
constexpr int kParGenre = 8;

// splitmix64: a generator whose sequence is fixed by its seed on every platform, unlike the
// standard library's distributions.
class Hasard {
public:
    explicit Hasard(std::uint64_t graine) : m_etat(graine) {}
    std::uint64_t suivant()
    {
        std::uint64_t z = (m_etat += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // In [0, n).
    int moins(int n) { return static_cast<int>(suivant() % static_cast<std::uint64_t>(n)); }
    // In [a, b].
    int entre(int a, int b) { return a + moins(b - a + 1); }
    // True with probability p percent.
    bool pourcent(int p) { return moins(100) < p; }

private:
    std::uint64_t m_etat;
};

const char *const kSyllabes[] = {"ca", "lo", "mi", "ra", "te", "ven", "dro", "phy", "sa", "nu",
                                 "ber", "cor", "li", "pa", "to", "ser", "gal", "mo", "rhu", "xan"};
constexpr int kNbSyllabes = static_cast<int>(std::size(kSyllabes));

const char *const kEpithetes[] = {
    "alba",      "nigra",     "rubra",     "glauca",     "pendula",   "montana",   "sylvestris", "vulgaris",
    "major",     "minor",     "orientalis", "occidentalis", "borealis", "australis", "littoralis", "campestris",
    "lanceolata", "cordata",  "ovata",     "rotundifolia", "latifolia", "angustifolia", "hirsuta", "glabra",
    "tomentosa", "aurea",     "lutea",     "viridis",    "incana",    "elegans",   "robusta",    "nana",
    "gigantea",  "spinosa",   "mollis",    "serrata",    "dentata",   "pubescens", "fragrans",   "odorata"};
constexpr int kNbEpithetes = static_cast<int>(std::size(kEpithetes));

std::string capitale(std::string s)
{
    if (!s.empty() && s[0] >= 'a' && s[0] <= 'z')
        s[0] = static_cast<char>(s[0] - 'a' + 'A');
    return s;
}

// A name made of syllables that is different for every number below kNbSyllabes^3.
std::string mot(int n)
{
    std::string m;
    for (int i = 0; i < 3; ++i) {
        m += kSyllabes[n % kNbSyllabes];
        n /= kNbSyllabes;
    }
    return m;
}

// Five letters, different for every species number (the documents are named after it).
std::string code(int n)
{
    constexpr std::uint64_t k26p5 = 26ULL * 26 * 26 * 26 * 26;
    std::uint64_t v = (static_cast<std::uint64_t>(n) * 7919ULL + 104729ULL) % k26p5;
    std::string c(5, 'a');
    for (int i = 4; i >= 0; --i) {
        c[static_cast<std::size_t>(i)] = static_cast<char>('a' + v % 26);
        v /= 26;
    }
    c[0] = static_cast<char>(c[0] - 'a' + 'A');
    return c;
}

// One character of the generated key: its first state number and its number of states.
struct Caractere {
    int index = 0;
    int nb = 0;
};

// States of one species for one character: none (the character does not apply), one, or two.
using Etats = std::vector<int>;

Etats tire(Hasard &h, const Caractere &c)
{
    if (h.pourcent(8))
        return {};
    Etats e{c.index + h.moins(c.nb)};
    if (c.nb > 2 && h.pourcent(15)) {
        const int autre = c.index + h.moins(c.nb);
        if (autre != e[0])
            e.push_back(autre);
    }
    return e;
}

// The question picture of a generated character: one numbered cell per state.
Toile grilleGeneree(const std::string &question, int lignes, int colonnes, int nb, std::uint64_t teinte)
{
    Toile t(kGrilleL, kGrilleH);
    t.styleSeul(rgb(255, 255, 255));
    t.rectangle(0, 0, kGrilleL, kGrilleH);
    const double w = static_cast<double>(kGrilleL) / colonnes, hc = static_cast<double>(kGrilleH) / lignes;
    for (int k = 0; k < nb; ++k) {
        const double x = w * (k % colonnes), y = hc * (k / colonnes);
        t.style(rgb(250, 250, 244), rgb(200, 200, 190), 4);
        t.rectangle(x + 8, y + 8, x + w - 8, y + hc - 8);
        const auto v = static_cast<int>((teinte >> (k % 8) * 8) & 0xFF);
        t.style(rgb(60 + v / 2, 120 + (k * 37) % 120, 60 + (255 - v) / 2), rgb(40, 40, 40), 3);
        t.ellipse({x + w / 2, y + hc * 0.42}, w * 0.3, hc * 0.28);
        t.texte({x + w / 2, y + hc - 24}, question + " " + std::to_string(k + 1), std::min(hc * 0.09, 64.0),
                rgb(20, 20, 20));
    }
    return t;
}

struct Options {
    int especes = 2000;
    int etats = 2000;
    std::uint64_t graine = 1;
    std::string sources = TARVENKO_SAMPLE_SOURCES;
    fs::path sortie;
};

void genere(const Options &o)
{
    Sources s = litSources(o.sources);
    std::erase_if(s.calques, [](const Calque &c) { return c.couche >= kCouches; });

    int etatsEchantillon = 0;
    for (const LigneObjet &l : s.objets)
        etatsEchantillon += static_cast<int>(l.etats.size());
    if (o.etats < etatsEchantillon + 2)
        throw std::runtime_error("--states must be at least " + std::to_string(etatsEchantillon + 2) +
                                 " (the bundled key's characters and one more)");

    for (const char *sous : {"data", "robot", "descripteurs", "documents"})
        fs::remove_all(o.sortie / sous);
    const fs::path data = o.sortie / "data";
    fs::create_directories(data);
    fs::create_directories(o.sortie / "documents");
    ecritImages(s, o.sortie);

    Hasard h(o.graine);
    tarvenko::tools::KbBuilder kb(data.string());

    // The bundled key's characters: every row of its object table has states of its own, but for
    // the later rows of an object that ask its first row's states again.
    declareStructure(kb, s);
    int nbEtats = 0;
    std::vector<Caractere> caracteres;
    for (const LigneObjet &l : s.objets) {
        if (!l.partage.empty())
            continue;
        caracteres.push_back({nbEtats, static_cast<int>(l.etats.size())});
        nbEtats += static_cast<int>(l.etats.size());
    }
    if (nbEtats != kb.nbEtats())
        throw std::runtime_error("the bundled key's states are not numbered row after row");

    for (int numero = 1; nbEtats < o.etats; ++numero) {
        const int reste = o.etats - nbEtats;
        int nb = std::min(h.entre(2, 12), reste);
        if (reste - nb == 1)
            nb = nb == 12 ? 11 : nb + 1; // never leave a single state for the last character
        int colonnes = nb;
        for (int c = 1; c <= nb; ++c)
            if (nb % c == 0 && c * c >= nb) {
                colonnes = c;
                break;
            }
        char numeroTexte[16];
        std::snprintf(numeroTexte, sizeof numeroTexte, "%04d", numero);
        const std::string cle = std::string("XCAR") + numeroTexte;
        const std::string question = "Character " + std::to_string(numero);
        tarvenko::tools::KbBuilder::Objet b;
        b.objet = cle;
        for (int k = 1; k <= nb; ++k) {
            b.etats.push_back(cle + "_" + std::to_string(k));
            b.tips.push_back(question + ", form " + std::to_string(k));
        }
        b.lignes = static_cast<std::int16_t>(nb / colonnes);
        b.colonnes = static_cast<std::int16_t>(colonnes);
        b.cadre = static_cast<std::int16_t>(numero % static_cast<int>(s.groupes.size()));
        b.tipText = question + ": which form?";
        b.popup = "xcar" + std::string(numeroTexte) + ".wmf";
        const int index = kb.objet(b);
        caracteres.push_back({index, nb});
        nbEtats += nb;
        grilleGeneree(question, b.lignes, b.colonnes, nb, h.suivant())
            .sauve((o.sortie / "descripteurs" / b.popup).string());
    }

    // Species, by genus: each genus draws its states, each of its species changes a quarter.
    const int genres = (o.especes + kParGenre - 1) / kParGenre;
    if (genres > kNbSyllabes * kNbSyllabes * kNbSyllabes)
        throw std::runtime_error("too many species");
    std::vector<std::pair<std::string, std::string>> communs[3];
    int espece = 0;
    for (int g = 0; g < genres && espece < o.especes; ++g) {
        const std::string genre = capitale(mot(g));
        const std::string famille = capitale(mot(g / 6 + 4000)) + "ACEAE";
        std::vector<Etats> type;
        for (const Caractere &c : caracteres)
            type.push_back(tire(h, c));
        const int premiereEpithete = h.moins(kNbEpithetes);
        for (int k = 0; k < kParGenre && espece < o.especes; ++k, ++espece) {
            const std::string epithete = kEpithetes[(premiereEpithete + k * 3) % kNbEpithetes];
            const std::string nom = genre + " " + epithete;
            std::string majuscules = famille;
            for (char &c : majuscules)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            kb.espece(nom, majuscules, code(espece), nom + ": 1 habit, 2 leaf.");
            for (std::size_t i = 0; i < caracteres.size(); ++i)
                for (const int e : h.pourcent(25) ? tire(h, caracteres[i]) : type[i])
                    kb.a(static_cast<std::size_t>(espece), e);
            if (h.pourcent(80))
                communs[0].emplace_back(capitale(epithete) + " " + mot(g), nom);
            if (h.pourcent(10))
                communs[0].emplace_back(capitale(mot(g)) + " tree", nom); // shared by the genus
            if (h.pourcent(70))
                communs[1].emplace_back("Arbre " + mot(g) + " " + epithete, nom);
            if (h.pourcent(50))
                communs[2].emplace_back("Árbol " + mot(g) + " " + epithete, nom);
        }
    }
    for (std::size_t l = 0; l < std::size(kLangues); ++l)
        kb.langue(kLangues[l].first, communs[l]);
    kb.ecrit();
}

bool entier(const char *texte, long long min, long long max, long long &valeur)
{
    const std::string t(texte);
    const auto [fin, erreur] = std::from_chars(t.data(), t.data() + t.size(), valeur);
    return erreur == std::errc{} && fin == t.data() + t.size() && valeur >= min && valeur <= max;
}

int usage()
{
    std::cerr << "usage: tarvenko-big-kb [--species N] [--states M] [--seed S] [--sources DIR] OUTPUT\n"
                 "Writes a generated key of N species (1 to 32767) and M states (up to 32767) into\n"
                 "OUTPUT/{data,robot,descripteurs,documents}.\n";
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    Options o;
    std::vector<std::string> libres;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        long long v = 0;
        if ((a == "--species" || a == "--states" || a == "--seed" || a == "--sources") && i + 1 == argc)
            return usage();
        if (a == "--species") {
            if (!entier(argv[++i], 1, 32767, v))
                return usage();
            o.especes = static_cast<int>(v);
        } else if (a == "--states") {
            // Numbers of states and species are 16-bit in the key's files.
            if (!entier(argv[++i], 1, 32767, v))
                return usage();
            o.etats = static_cast<int>(v);
        } else if (a == "--seed") {
            if (!entier(argv[++i], 0, INT64_MAX, v))
                return usage();
            o.graine = static_cast<std::uint64_t>(v);
        } else if (a == "--sources") {
            o.sources = argv[++i];
        } else if (a.starts_with("--")) {
            return usage();
        } else {
            libres.push_back(a);
        }
    }
    if (libres.size() != 1)
        return usage();
    o.sortie = libres[0];
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    try {
        genere(o);
    } catch (const std::exception &e) {
        std::cerr << "tarvenko-big-kb: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
