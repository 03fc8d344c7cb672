#include "knowledge/key_location.h"

#include <filesystem>
#include <vector>

#include "knowledge/text.h"
#include "knowledge/file_lookup.h"

namespace tarvenko {

namespace {

namespace fs = std::filesystem;

bool estBase(const fs::path &p)
{
    const std::string ext = minusculesAscii(p.extension().string());
    return ext == ".db" || ext == ".mdb" || ext == ".sqlite" || ext == ".sqlite3";
}

std::vector<fs::path> bases(const fs::path &dossier)
{
    std::vector<fs::path> out;
    std::error_code ec;
    for (const auto &entry : fs::directory_iterator(dossier, ec)) {
        if (entry.is_regular_file(ec) && estBase(entry.path()))
            out.push_back(entry.path());
    }
    return out;
}

std::string avecSeparateur(const fs::path &p)
{
    std::string s = p.string();
    if (s.empty() || s.back() != '/')
        s += '/';
    return s;
}

// A folder beside the data folder, in any letter case.
std::string voisin(const fs::path &data, const char *nom)
{
    const fs::path parent = data.parent_path();
    if (parent.empty())
        return {};
    const std::string trouve = resoutChemin((parent / nom).string());
    std::error_code ec;
    return fs::is_directory(trouve, ec) ? avecSeparateur(trouve) : std::string();
}

} // namespace

std::optional<EmplacementCle> Localise_Cle(const std::string &chemin, std::string &erreur)
{
    ErreurCle e;
    std::optional<EmplacementCle> trouve = Localise_Cle(chemin, e);
    if (!trouve)
        erreur = e.texte;
    return trouve;
}

std::optional<EmplacementCle> Localise_Cle(const std::string &chemin, ErreurCle &erreur)
{
    std::error_code ec;
    const fs::path donne(resoutChemin(chemin));
    fs::path fichier;
    if (fs::is_regular_file(donne, ec)) {
        if (!estBase(donne)) {
            erreur = {ProblemeCle::PasUneBase, chemin + " is not a database file"};
            return std::nullopt;
        }
        fichier = donne;
    } else if (fs::is_directory(donne, ec)) {
        std::vector<fs::path> trouves = bases(donne);
        if (trouves.empty())
            trouves = bases(resoutChemin((donne / "data").string()));
        if (trouves.size() != 1) {
            erreur = trouves.empty()
                         ? ErreurCle{ProblemeCle::SansBase, "no knowledge base in " + chemin}
                         : ErreurCle{ProblemeCle::PlusieursBases,
                                     "several database files in " + trouves.front().parent_path().string()};
            return std::nullopt;
        }
        fichier = trouves.front();
    } else {
        erreur = {ProblemeCle::Introuvable, "no such file or folder: " + chemin};
        return std::nullopt;
    }
    const fs::path data = fs::absolute(fichier, ec).parent_path();
    EmplacementCle e;
    e.dossier = avecSeparateur(data);
    e.base = fichier.filename().string();
    e.robot = voisin(data, "robot");
    e.descripteurs = voisin(data, "descripteurs");
    e.documents = voisin(data, "documents");
    e.nom = minusculesAscii(data.filename().string()) == "data" && !data.parent_path().filename().empty()
                ? data.parent_path().filename().string()
                : fichier.stem().string();
    return e;
}

} // namespace tarvenko
