// tarvenko-key: the identification key on the command line, for scripts, teaching and tests.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <stdexcept>

#include <QCoreApplication>

#include "knowledge/key_location.h"
#include "knowledge/key_opening.h"
#include "knowledge/numeric.h"
#include "knowledge/text.h"
#include "platform/cache_folder.h"
#include "knowledge/file_lookup.h"
#include "platform/qt_text.h"
#include "platform/settings_store.h"
#include "tools/key/key_output.h"
#include "tools/key/key_session.h"

namespace {

using namespace tarvenko;

constexpr const char *kUsage =
    "usage: tarvenko-key [--key PATH | --data DIR [--base FILE]] [--answer ID_CARAC]...\n"
    "                    [--value OBJET=NUMBER]... [--open FILE.ryk] [--threshold N]\n"
    "                    [--species NAME] [--lang en|es|fr] [--tolerance N]\n"
    "                    [--family NAME | --genus NAME] [--json]\n"
    "       tarvenko-key [--key PATH | --data DIR [--base FILE]] --differences NAME NAME...\n"
    "                    [--lang en|es|fr] [--json | --html]\n"
    "\n"
    "Runs an identification: opens FILE.ryk if given, validates each answer in order, gives each\n"
    "numeric character its value, then prints the species list as the window shows it, the\n"
    "Legende text, one \"value: OBJET NUMBER UNIT\" line per numeric answer, the proposed\n"
    "question (\"question: OBJET MEASURE STATES...\", \"question: OBJET MEASURE number MIN MAX\n"
    "UNIT\" or \"question: none\"), its text (\"question text: TEXT\") and one \"state: ID_CARAC\n"
    "NAME\" line per state, in the language of --lang where the key has it, and, with --species,\n"
    "one \"contradiction: OBJET STATE\" line per answer that species contradicts. --json prints\n"
    "one object with the fields lines, mismatches (per line, the answers its species contradicts),\n"
    "tolerance_leaves_none, nb_esp_max, legende, question (with text and state_texts),\n"
    "contradictions and values.\n"
    "--tolerance N leaves out the species with more than N mismatches; a \"tolerance:\" line says\n"
    "when none is left. --family and --genus (the first word of the species' names) keep the\n"
    "identification within a group, as an identification file may also do.\n"
    "--differences compares two to five species: per question where they differ (no state in\n"
    "common, ranges that do not overlap), heaviest first, each species' states or range; --html\n"
    "prints it as the page the window shows.\n"
    "--key names a knowledge base as the window opens one: its database file, or a folder holding\n"
    "it (directly or in its data folder), an SDD file (.sdd.xml) or a DELTA dataset (a folder\n"
    "holding specs, chars and items), converted once into the program's cache folder.\n"
    "Defaults come from the program's settings (Logiciel/Data, Logiciel/Base, Options/Valeur,\n"
    "Options/Langue), else the bundled demonstration key. An Access (Jet) database is read from\n"
    "its SQLite conversion, made once into the program's cache folder.\n";

class ErreurUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Arguments {
    std::map<std::string, std::string> valeurs; // the single-valued options
    std::vector<std::string> reponses;
    std::vector<std::string> valeursNum; // OBJET=NUMBER, as given
    std::vector<std::string> differences; // species to compare
    bool json = false;
    bool html = false;
    bool aide = false;

    std::optional<std::string> valeur(const std::string &nom) const
    {
        const auto it = valeurs.find(nom);
        return it == valeurs.end() ? std::nullopt : std::optional(it->second);
    }
};

Arguments litArguments(int argc, char **argv)
{
    static const char *const avecValeur[] = {"--data",      "--base",    "--key",  "--answer", "--value",
                                                "--open",      "--threshold", "--species", "--lang",
                                                "--tolerance", "--family",    "--genus"};
    Arguments a;
    for (int i = 1; i < argc; ++i) {
        std::string nom = argv[i];
        std::optional<std::string> valeur;
        if (const auto egal = nom.find('='); nom.rfind("--", 0) == 0 && egal != std::string::npos) {
            valeur = nom.substr(egal + 1);
            nom.resize(egal);
        }
        if (nom == "--differences") {
            if (valeur)
                a.differences.push_back(*valeur);
            while (i + 1 < argc && std::string(argv[i + 1]).rfind("--", 0) != 0)
                a.differences.push_back(argv[++i]);
            continue;
        }
        if (nom == "--json" || nom == "--html" || nom == "--help" || nom == "-h") {
            if (valeur)
                throw ErreurUsage(nom + " takes no value");
            (nom == "--json" ? a.json : nom == "--html" ? a.html : a.aide) = true;
            continue;
        }
        if (std::find(std::begin(avecValeur), std::end(avecValeur), nom) == std::end(avecValeur))
            throw ErreurUsage("unknown option " + nom);
        if (!valeur) {
            if (i + 1 >= argc)
                throw ErreurUsage(nom + " needs a value");
            valeur = argv[++i];
        }
        if (nom == "--answer")
            a.reponses.push_back(*valeur);
        else if (nom == "--value")
            a.valeursNum.push_back(*valeur);
        else
            a.valeurs[nom] = *valeur;
    }
    return a;
}

std::optional<std::int16_t> entier(const std::string &texte)
{
    const std::optional<double> n = texteEnNombre(texte);
    if (!n || *n != std::floor(*n))
        return std::nullopt;
    return enEntier16(*n);
}

// A per-user value if present (not -1), else the machine value, else nothing.
std::optional<std::int16_t> option(const SettingsStore &s, const char *nom)
{
    const QString user = s.valeurUtilisateur(QStringLiteral("Options"), QString::fromLatin1(nom), QStringLiteral("-1"));
    if (const auto n = enEntier16(valeurNumerique(us(user))); n && *n != -1)
        return n;
    if (const auto machine = s.valeurMachine(QStringLiteral("Options"), QString::fromLatin1(nom)))
        return enEntier16(valeurNumerique(us(*machine)));
    return std::nullopt;
}

bool estBase(const std::filesystem::directory_entry &entry)
{
    const std::string ext = minusculesAscii(entry.path().extension().string());
    return entry.is_regular_file() && (ext == ".db" || ext == ".mdb" || ext == ".sqlite" || ext == ".sqlite3");
}

std::string choisitBase(const std::string &dossier, const SettingsStore &s)
{
    if (const auto base = s.valeurMachine(QStringLiteral("Logiciel"), QStringLiteral("Base"));
        base && !base->isEmpty() && cheminExiste(dossier + "/" + us(*base)))
        return us(*base);
    std::vector<std::string> bases;
    std::error_code ec;
    for (const auto &entry : std::filesystem::directory_iterator(resoutChemin(dossier), ec)) {
        if (estBase(entry))
            bases.push_back(entry.path().filename().string());
    }
    if (bases.size() == 1)
        return bases.front();
    throw key::Erreur(bases.empty() ? "no database file in " + dossier
                                    : "several database files in " + dossier + ": choose one with --base");
}

// OBJET=NUMBER; the key is what precedes the last '=', since no number holds one.
Reponse_Num valeurNumerique(const std::string &texte)
{
    const auto egal = texte.rfind('=');
    const std::optional<double> n = egal == std::string::npos ? std::nullopt : texteEnNombre(texte.substr(egal + 1));
    if (egal == 0 || !n || !std::isfinite(*n))
        throw ErreurUsage("--value needs OBJET=NUMBER, not '" + texte + "'");
    return {texte.substr(0, egal), *n};
}

key::Demande demande(const Arguments &a)
{
    const SettingsStore settings({{QStringLiteral("Logiciel/Data"), QStringLiteral(TARVENKO_SAMPLE_DATA)},
                                  {QStringLiteral("Logiciel/Base"), QStringLiteral("Tarvenko.db")}});
    key::Demande d;
    if (const auto cle = a.valeur("--key")) {
        if (a.valeur("--data") || a.valeur("--base"))
            throw ErreurUsage("--key names the knowledge base: leave out --data and --base");
        std::string erreur;
        // A key of another format (SDD, DELTA) is converted once into the cache, as the window
        // does, and its key folder opened from there.
        std::string chemin = *cle;
        for (const ConvertisseurCle &c : Convertisseurs_Cle()) {
            if (!c.reconnait(chemin))
                continue;
            const std::optional<std::string> dossier = c.convertit(*cle, dossierCacheBases(), erreur);
            if (!dossier)
                throw key::Erreur(erreur);
            chemin = *dossier;
            break;
        }
        const std::optional<EmplacementCle> e = Localise_Cle(chemin, erreur);
        if (!e)
            throw key::Erreur(erreur);
        d.dossier = e->dossier;
        d.base = e->base;
    } else {
        if (const auto data = a.valeur("--data"))
            d.dossier = *data;
        else if (const auto machine = settings.valeurMachine(QStringLiteral("Logiciel"), QStringLiteral("Data")))
            d.dossier = us(*machine);
        else
            d.dossier = TARVENKO_SAMPLE_DATA;
        d.base = a.valeur("--base").value_or("");
        if (d.base.empty())
            d.base = choisitBase(d.dossier, settings);
    }
    for (const std::string &v : a.valeursNum)
        d.valeurs.push_back(valeurNumerique(v));

    if (const auto seuil = a.valeur("--threshold")) {
        const auto n = entier(*seuil);
        if (!n)
            throw ErreurUsage("--threshold needs a whole number, not '" + *seuil + "'");
        d.seuil = *n;
    } else {
        d.seuil = option(settings, "Valeur").value_or(0);
    }
    if (const auto langue = a.valeur("--lang")) {
        static const std::map<std::string, std::int16_t> langues = {{"en", 0}, {"es", 1}, {"fr", 2}};
        const auto it = langues.find(*langue);
        if (it == langues.end())
            throw ErreurUsage("--lang is en, es or fr, not '" + *langue + "'");
        d.langue = it->second;
    } else {
        d.langue = option(settings, "Langue").value_or(0);
    }
    if (const auto tolerance = a.valeur("--tolerance")) {
        const auto n = entier(*tolerance);
        if (!n || *n < 0)
            throw ErreurUsage("--tolerance needs a whole number from 0, not '" + *tolerance + "'");
        d.tolerance = *n;
    }
    if (a.valeur("--family") && a.valeur("--genus"))
        throw ErreurUsage("--family and --genus: one group at a time");
    if (const auto famille = a.valeur("--family"))
        d.groupe = Groupe_Especes{Groupe_Especes::Rang::Famille, *famille};
    if (const auto genre = a.valeur("--genus"))
        d.groupe = Groupe_Especes{Groupe_Especes::Rang::Genre, *genre};
    if (!a.differences.empty() && (a.differences.size() < 2 || a.differences.size() > 5))
        throw ErreurUsage("--differences compares two to five species");
    d.differences = a.differences;
    d.fichier = a.valeur("--open");
    d.espece = a.valeur("--species");
    d.reponses = a.reponses;
    d.dossierCache = dossierCacheBases();
    return d;
}

} // namespace

int main(int argc, char **argv)
{
    // The program's names: an Access knowledge base shares the program's cache of conversions.
    QCoreApplication::setOrganizationName(QStringLiteral("Tarvenko"));
    QCoreApplication::setApplicationName(QStringLiteral("Tarvenko"));
    try {
        const Arguments arguments = litArguments(argc, argv);
        if (arguments.aide) {
            std::cout << kUsage;
            return 0;
        }
        if (arguments.html && (arguments.json || arguments.differences.empty()))
            throw ErreurUsage("--html prints the page of --differences, and not with --json");
        const key::Rapport rapport = key::Execute(demande(arguments));
        for (const std::string &avertissement : rapport.avertissements)
            std::cerr << "tarvenko-key: " << avertissement << '\n';
        std::cout << (arguments.html   ? rapport.pageComparaison
                      : arguments.json ? key::Sortie_Json(rapport)
                                       : key::Sortie_Texte(rapport))
                  << std::flush;
        return 0;
    } catch (const ErreurUsage &e) {
        std::cerr << "tarvenko-key: " << e.what() << "\n\n" << kUsage;
        return 2;
    } catch (const std::exception &e) {
        std::cerr << "tarvenko-key: " << e.what() << '\n';
        return 1;
    }
}
