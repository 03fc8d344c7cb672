// tarvenko-check: checks a knowledge base for what its author must fix, or prints it as a
// dichotomous key.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>

#include <QCoreApplication>

#include "engine/dichotomous_key.h"
#include "engine/key_check.h"
#include "knowledge/jet/jet_cache.h"
#include "knowledge/key_location.h"
#include "knowledge/loader.h"
#include "platform/cache_folder.h"
#include "knowledge/escape.h"

namespace {

using namespace tarvenko;

constexpr const char *kUsage =
    "usage: tarvenko-check KEY [--json] [--lang en|es|fr]\n"
    "       tarvenko-check KEY --dichotomous OUT.html [--lang en|es|fr]\n"
    "\n"
    "KEY is a knowledge base's database file, or a folder holding it (directly or in its data\n"
    "folder), with its drawing, question pictures and documents beside it.\n"
    "Reports what the key's author must fix: species no answer can separate, questions that never\n"
    "split the species, states no species has, species without data, questions the search may\n"
    "never propose, dependency cycles, missing pictures and pages. One line per finding,\n"
    "\"error KIND: SUBJECT: TEXT\" or \"warning KIND: ...\"; --json prints one object {\"findings\":\n"
    "[{kind, severity, subject, text}], \"errors\": N, \"warnings\": N}. Exit status 0 when there is\n"
    "no error (warnings allowed), 1 when there is one, 2 for a wrong command line.\n"
    "--dichotomous writes the key as a single-access key, an HTML page, in the interface language\n"
    "of --lang (English by default), instead of checking it.\n";

std::string chaine(const std::string &text) { return chaineJson(text); }

struct ErreurUsage {
    std::string texte;
};

struct Arguments {
    std::string cle;
    bool json = false;
    std::optional<std::string> dichotomique;
    std::int16_t langue = 0;
};

Arguments litArguments(int argc, char **argv)
{
    Arguments a;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto valeur = [&]() -> std::string {
            if (i + 1 >= argc)
                throw ErreurUsage{arg + " needs a value"};
            return argv[++i];
        };
        if (arg == "--json") {
            a.json = true;
        } else if (arg == "--dichotomous") {
            a.dichotomique = valeur();
        } else if (arg == "--lang") {
            static const std::map<std::string, std::int16_t> langues = {{"en", 0}, {"es", 1}, {"fr", 2}};
            const std::string l = valeur();
            const auto it = langues.find(l);
            if (it == langues.end())
                throw ErreurUsage{"--lang is en, es or fr, not '" + l + "'"};
            a.langue = it->second;
        } else if (arg.rfind("--", 0) == 0) {
            throw ErreurUsage{"unknown option " + arg};
        } else if (a.cle.empty()) {
            a.cle = arg;
        } else {
            throw ErreurUsage{"only one KEY, not also '" + arg + "'"};
        }
    }
    if (a.cle.empty())
        throw ErreurUsage{"name the KEY to check"};
    return a;
}

// Loads the key as the window does; the reason on failure.
std::optional<std::string> charge(KeyModel &m, const Arguments &a)
{
    std::string erreur;
    const std::optional<EmplacementCle> e = Localise_Cle(a.cle, erreur);
    if (!e)
        return erreur;
    m.Chemin_Data = e->dossier;
    m.Chemin_Base = e->dossier + e->base;
    m.Chemin_Robot = e->robot;
    m.Chemin_Descripteurs = e->descripteurs;
    m.Adresse_Documents = e->documents;
    m.Distribution = "hd";
    m.Num_Langue = a.langue;
    const ResultatChargement r = Charge_Connaissances(m, {}, jet::preparateur(dossierCacheBases()));
    switch (r.etat) {
    case ResultatChargement::Etat::Ok: return std::nullopt;
    case ResultatChargement::Etat::BaseInaccessible: return "cannot open the knowledge base " + r.chemin + ": " + r.erreur.message;
    case ResultatChargement::Etat::PoidsInaccessible:
    case ResultatChargement::Etat::MatriceInaccessible: return "cannot open " + r.chemin;
    case ResultatChargement::Etat::PoidsIllisible:
    case ResultatChargement::Etat::MatriceIllisible: return r.chemin + " is shorter than the knowledge base requires";
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char **argv)
{
    // An Access knowledge base shares the program's cache of conversions.
    QCoreApplication::setOrganizationName(QStringLiteral("Tarvenko"));
    QCoreApplication::setApplicationName(QStringLiteral("Tarvenko"));
    Arguments a;
    try {
        a = litArguments(argc, argv);
    } catch (const ErreurUsage &e) {
        std::cerr << "tarvenko-check: " << e.texte << "\n\n" << kUsage;
        return 2;
    }
    KeyModel m;
    try {
        if (const auto erreur = charge(m, a)) {
            std::cerr << "tarvenko-check: " << *erreur << '\n';
            return 1;
        }
    } catch (const std::exception &e) {
        std::cerr << "tarvenko-check: " << e.what() << '\n';
        return 1;
    }

    if (a.dichotomique) {
        const std::string html = Html_Cle_Dichotomique(m, Construit_Cle_Dichotomique(m));
        std::ofstream out(*a.dichotomique, std::ios::binary | std::ios::trunc);
        out << html;
        out.close();
        if (!out) {
            std::cerr << "tarvenko-check: cannot write " << *a.dichotomique << '\n';
            return 1;
        }
        return 0;
    }

    const std::vector<Constat> constats = Verifie_Cle(m);
    int erreurs = 0, avertissements = 0;
    for (const Constat &c : constats)
        ++(c.grave ? erreurs : avertissements);
    if (a.json) {
        std::string out = "{\"findings\": [";
        for (std::size_t i = 0; i < constats.size(); ++i) {
            const Constat &c = constats[i];
            out += std::string(i ? ", " : "") + "{\"kind\": " + chaine(Nom_Genre(c.genre)) + ", \"severity\": " +
                   chaine(c.grave ? "error" : "warning") + ", \"subject\": " + chaine(c.sujet) + ", \"text\": " + chaine(c.texte) + "}";
        }
        out += "], \"errors\": " + std::to_string(erreurs) + ", \"warnings\": " + std::to_string(avertissements) + "}\n";
        std::cout << out;
    } else {
        for (const Constat &c : constats)
            std::cout << (c.grave ? "error " : "warning ") << Nom_Genre(c.genre) << ": " << (c.sujet.empty() ? "" : c.sujet + ": ")
                      << c.texte << '\n';
        std::cout << erreurs << " errors, " << avertissements << " warnings\n";
    }
    std::cout << std::flush;
    return erreurs ? 1 : 0;
}
