#include "engine/species_groups.h"

#include <algorithm>

#include "knowledge/text.h"

namespace tarvenko {

std::string Famille_Espece(const KeyModel &m, std::size_t s)
{
    const auto &rows = m.Base_Donnees.Flore.rows;
    return s < rows.size() ? rows[s].Famille.value_or("") : std::string();
}

std::string Genre_Espece(const KeyModel &m, std::size_t s)
{
    if (s >= m.Nom_Esp.size())
        return {};
    const std::string &nom = m.Nom_Esp[s];
    const auto debut = nom.find_first_not_of(' ');
    if (debut == std::string::npos)
        return {};
    const auto fin = nom.find(' ', debut);
    if (fin == std::string::npos || nom.find_first_not_of(' ', fin) == std::string::npos)
        return {};
    return nom.substr(debut, fin - debut);
}

bool Genres_Connus(const KeyModel &m)
{
    if (m.Nom_Esp.empty())
        return false;
    for (std::size_t s = 0; s < m.Nom_Esp.size(); ++s) {
        if (Genre_Espece(m, s).empty())
            return false;
    }
    return true;
}

std::vector<std::uint8_t> Especes_Du_Groupe(const KeyModel &m, const Groupe_Especes &groupe)
{
    const std::size_t especes = m.Nb_Esp > 0 ? static_cast<std::size_t>(m.Nb_Esp) : 0;
    std::vector<std::uint8_t> dedans(especes, 0);
    if (groupe.nom.empty() || (groupe.rang == Groupe_Especes::Rang::Genre && !Genres_Connus(m)))
        return dedans;
    for (std::size_t s = 0; s < especes; ++s) {
        const std::string nom = groupe.rang == Groupe_Especes::Rang::Famille ? Famille_Espece(m, s) : Genre_Espece(m, s);
        dedans[s] = !nom.empty() && clesEgales(nom, groupe.nom);
    }
    return dedans;
}

bool Identifie_Dans_Groupe(KeyModel &m, const std::optional<Groupe_Especes> &groupe)
{
    if (!groupe) {
        m.Groupe.reset();
        m.Especes_En_Jeu.clear();
        return true;
    }
    std::vector<std::uint8_t> dedans = Especes_Du_Groupe(m, *groupe);
    const auto premiere = std::find(dedans.begin(), dedans.end(), std::uint8_t{1});
    if (premiere == dedans.end())
        return false;
    // The name as the key writes it, whatever case it was asked in: the legend shows it.
    const auto s = static_cast<std::size_t>(premiere - dedans.begin());
    m.Groupe = Groupe_Especes{groupe->rang,
                              groupe->rang == Groupe_Especes::Rang::Famille ? Famille_Espece(m, s) : Genre_Espece(m, s)};
    m.Especes_En_Jeu = std::move(dedans);
    return true;
}

} // namespace tarvenko
