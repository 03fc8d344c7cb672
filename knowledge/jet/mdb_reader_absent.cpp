// Built when libmdb was not found: Jet files are recognised but cannot be read.
#include "knowledge/jet/mdb_reader.h"

namespace tarvenko::jet {

struct LecteurJet::Etat {};

LecteurJet::LecteurJet() : m_etat(std::make_unique<Etat>()) {}
LecteurJet::~LecteurJet() = default;

bool LecteurJet::disponible() { return false; }

bool LecteurJet::ouvre(const std::string &, std::string &erreur)
{
    erreur = "this build of Tarvenko has no Access (Jet) reader (it was built without mdbtools' libmdb)";
    return false;
}

int LecteurJet::versionJet() const { return 0; }
int LecteurJet::pageDeCode() const { return 0; }

bool LecteurJet::catalogue(std::vector<ObjetJet> &, std::string &erreur)
{
    erreur = "no Access (Jet) reader";
    return false;
}

bool LecteurJet::litTable(const std::string &, TableJet &, std::string &erreur)
{
    erreur = "no Access (Jet) reader";
    return false;
}

bool LecteurJet::parcourt(const std::string &, const std::function<bool(const std::vector<ValeurJet> &)> &,
                          std::string &erreur)
{
    erreur = "no Access (Jet) reader";
    return false;
}

bool LecteurJet::ordreIndex(const std::string &, const std::string &, std::vector<std::size_t> &, std::string &erreur)
{
    erreur = "no Access (Jet) reader";
    return false;
}

} // namespace tarvenko::jet
