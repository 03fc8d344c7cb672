#include "tools/sample/sources.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tarvenko::sample {

namespace {

struct Fichier {
    std::string nom;
    std::vector<std::string> entete;
    std::vector<std::pair<int, std::vector<std::string>>> lignes; // line number, fields
};

std::string lit(const std::string &chemin)
{
    std::ifstream in(chemin, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + chemin);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

Fichier litCsv(const std::string &dossier, const std::string &nom)
{
    Fichier f{nom, {}, {}};
    std::istringstream in(lit(dossier + "/" + nom));
    std::string ligne;
    int numero = 0;
    while (std::getline(in, ligne)) {
        ++numero;
        if (!ligne.empty() && ligne.back() == '\r')
            ligne.pop_back();
        if (ligne.empty() || ligne[0] == '#')
            continue;
        auto champs = decoupe(ligne, ';');
        if (f.entete.empty()) {
            f.entete = champs;
            continue;
        }
        if (champs.size() != f.entete.size())
            throw std::runtime_error(nom + ":" + std::to_string(numero) + ": " + std::to_string(champs.size()) +
                                     " fields, the header has " + std::to_string(f.entete.size()));
        f.lignes.emplace_back(numero, std::move(champs));
    }
    return f;
}

// Field access by column name.
struct Acces {
    const Fichier &f;
    const std::vector<std::string> &champs;
    int numero;

    const std::string &operator[](const std::string &colonne) const
    {
        for (std::size_t i = 0; i < f.entete.size(); ++i)
            if (f.entete[i] == colonne)
                return champs[i];
        throw std::runtime_error(f.nom + ": no column " + colonne);
    }
    int entier(const std::string &colonne) const
    {
        try {
            return std::stoi((*this)[colonne]);
        } catch (const std::exception &) {
            throw std::runtime_error(f.nom + ":" + std::to_string(numero) + ": " + colonne + " is not a number");
        }
    }
    [[noreturn]] void erreur(const std::string &texte) const
    {
        throw std::runtime_error(f.nom + ":" + std::to_string(numero) + ": " + texte);
    }
};

template <typename F>
void pourChaque(const Fichier &f, F fn)
{
    for (const auto &[numero, champs] : f.lignes)
        fn(Acces{f, champs, numero});
}

std::vector<std::string> liste(const std::string &texte, char separateur)
{
    std::vector<std::string> out;
    if (texte.empty())
        return out;
    for (auto &v : decoupe(texte, separateur))
        if (!v.empty())
            out.push_back(v);
    return out;
}

// Page texts: "[CODE]" sections of "field = text" lines.
Textes litTextes(const std::string &chemin)
{
    Textes t;
    std::istringstream in(lit(chemin));
    std::string ligne, section;
    int numero = 0;
    while (std::getline(in, ligne)) {
        ++numero;
        if (!ligne.empty() && ligne.back() == '\r')
            ligne.pop_back();
        if (ligne.empty() || ligne[0] == '#')
            continue;
        if (ligne[0] == '[') {
            const auto fin = ligne.find(']');
            if (fin == std::string::npos)
                throw std::runtime_error(chemin + ":" + std::to_string(numero) + ": unclosed section");
            section = ligne.substr(1, fin - 1);
            continue;
        }
        const auto egal = ligne.find(" = ");
        if (egal == std::string::npos || section.empty())
            throw std::runtime_error(chemin + ":" + std::to_string(numero) + ": expected \"field = text\" in a section");
        t[section][ligne.substr(0, egal)] = ligne.substr(egal + 3);
    }
    return t;
}

} // namespace

std::vector<std::string> decoupe(const std::string &ligne, char separateur)
{
    std::vector<std::string> out(1);
    for (char c : ligne) {
        if (c == separateur)
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

std::vector<std::string> Sources::fichiers()
{
    return {"groups.csv", "objects.csv", "states.csv", "species.csv", "matrix.csv", "layers.csv", "zones.csv",
            "palette.csv", "buttons.csv", "contradictions.csv", "cards.csv", "pages_en.txt", "pages_fr.txt", "pages_es.txt"};
}

std::map<std::string, std::string> Sources::titresCartes(const std::string &langue) const
{
    std::map<std::string, std::string> titres;
    for (const Carte &c : cartes) {
        const auto titre = c.titre.find(langue);
        titres[c.cle] = titre != c.titre.end() && !titre->second.empty() ? titre->second : c.titre.at("en");
    }
    return titres;
}

const LigneObjet &Sources::ligne(const std::string &id) const
{
    for (const LigneObjet &o : objets)
        if (o.ligne == id)
            return o;
    throw std::runtime_error("no object row " + id);
}

const Etat &Sources::etat(const std::string &idCarac) const
{
    for (const LigneObjet &o : objets)
        for (const Etat &e : o.etats)
            if (e.id == idCarac)
                return e;
    throw std::runtime_error("no state " + idCarac);
}

int Sources::groupe(const std::string &cle) const
{
    if (cle == "-")
        return -1;
    for (std::size_t i = 0; i < groupes.size(); ++i)
        if (groupes[i].cle == cle)
            return static_cast<int>(i);
    throw std::runtime_error("no group " + cle);
}

Sources litSources(const std::string &dossier)
{
    Sources s;
    const char *langues[] = {"en", "fr", "es"};
    pourChaque(litCsv(dossier, "groups.csv"), [&](const Acces &a) {
        Groupe g{a["key"], {}};
        for (const char *l : langues)
            g.nom[l] = a[l];
        s.groupes.push_back(g);
    });
    pourChaque(litCsv(dossier, "objects.csv"), [&](const Acces &a) {
        LigneObjet o;
        o.ligne = a["row"];
        o.objet = a["objet"];
        o.groupe = a["group"];
        s.groupe(o.groupe);
        o.lignes = a.entier("lines");
        o.colonnes = a.entier("columns");
        o.poids = a.entier("weight");
        o.joker = a["joker"] == "yes";
        o.quand = a["when"];
        o.sous = liste(a["under"], '|');
        o.popup = a["popup"];
        for (const char *l : langues)
            o.question[l] = a[l];
        s.objets.push_back(o);
    });
    pourChaque(litCsv(dossier, "states.csv"), [&](const Acces &a) {
        Etat e{a["row"], a["key"], a["id"], {}};
        for (const char *l : langues)
            e.nom[l] = a[l];
        for (LigneObjet &o : s.objets)
            if (o.ligne == e.ligne) {
                o.etats.push_back(e);
                return;
            }
        a.erreur("no object row " + e.ligne);
    });
    for (LigneObjet &o : s.objets) {
        if (!o.etats.empty())
            continue;
        for (const LigneObjet &premiere : s.objets)
            if (premiere.objet == o.objet && !premiere.etats.empty()) {
                o.partage = premiere.ligne;
                break;
            }
        if (o.partage.empty())
            throw std::runtime_error("objects.csv: " + o.ligne + " has no states and no earlier row of " + o.objet + " to share");
    }
    pourChaque(litCsv(dossier, "species.csv"), [&](const Acces &a) {
        Espece e{a["code"], a["name"], a["family"], {}, {}};
        for (const char *l : langues)
            e.communs[l] = liste(a[l], '|');
        s.especes.push_back(e);
    });
    const Fichier matrice = litCsv(dossier, "matrix.csv");
    pourChaque(matrice, [&](const Acces &a) {
        Espece *e = nullptr;
        for (Espece &x : s.especes)
            if (x.code == a["code"])
                e = &x;
        if (!e)
            a.erreur("unknown species " + a["code"]);
        for (std::size_t i = 1; i < matrice.entete.size(); ++i) {
            const LigneObjet &o = s.ligne(matrice.entete[i]);
            for (const std::string &cle : liste(a.champs[i], '+')) {
                bool connu = false;
                for (const Etat &et : o.etats)
                    connu = connu || et.cle == cle;
                if (!connu)
                    a.erreur("no state " + cle + " in " + o.ligne);
                e->etats[o.ligne].push_back(cle);
            }
        }
    });
    pourChaque(litCsv(dossier, "layers.csv"), [&](const Acces &a) {
        s.calques.push_back({a.entier("layer"), a["file"], a["drawing"], liste(a["conditions"], ' ')});
    });
    pourChaque(litCsv(dossier, "zones.csv"), [&](const Acces &a) {
        s.zones.push_back({a["object"], a.entier("frame"), a["test"] == "yes", a.entier("x1"), a.entier("x2"),
                           a.entier("y1"), a.entier("y2"), liste(a["conditions"], ' ')});
    });
    pourChaque(litCsv(dossier, "palette.csv"), [&](const Acces &a) {
        s.palette.push_back({a["object"], a["part"], a.entier("red"), a.entier("green"), a.entier("blue")});
    });
    pourChaque(litCsv(dossier, "buttons.csv"), [&](const Acces &a) {
        Bouton b{a["bar"], a["caption"], a["file"], a["picture"], a["tip"], a["key"], {}};
        for (const std::string l : {"fr", "es"})
            b.traductions[l] = {a["caption_" + l], a["tip_" + l]};
        s.boutons.push_back(b);
    });
    pourChaque(litCsv(dossier, "contradictions.csv"), [&](const Acces &a) {
        Contradiction k{a["object"], a.entier("button"), a["popup"]};
        if (k.bouton == -1) {
            k.x1 = a.entier("x1");
            k.x2 = a.entier("x2");
            k.y1 = a.entier("y1");
            k.y2 = a.entier("y2");
        }
        s.contradictions.push_back(k);
    });
    pourChaque(litCsv(dossier, "cards.csv"), [&](const Acces &a) {
        if (a["card"] != "leaf" && a["card"] != "fruit" && a["card"] != "twig")
            a.erreur("no card " + a["card"] + " in the drawing");
        s.cartes.push_back({a["card"], {{"en", a["title"]}, {"fr", a["title_fr"]}, {"es", a["title_es"]}}});
    });
    for (const char *l : langues)
        s.textes[l] = litTextes(dossier + "/pages_" + l + ".txt");
    return s;
}

} // namespace tarvenko::sample
