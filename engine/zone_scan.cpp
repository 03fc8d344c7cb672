#include "engine/zone_scan.h"

#include <cmath>

#include "engine/conditions.h"

namespace tarvenko {

PointReference Vers_Reference(double x, double y, double largeur, double hauteur)
{
    const auto plancher = [](double v) { return static_cast<std::int32_t>(std::floor(v)); };
    return {plancher(Largeur_Reference / largeur * x), plancher(Hauteur_Reference / hauteur * y)};
}

ResultatZone Cherche_Zone(const KeyModel &m, std::int32_t Zone_X, std::int32_t Zone_Y, const Couleur_Sous_Souris &couleur)
{
    ResultatZone result;
    const Tables &t = m.Base_Donnees;
    int cadreCourant = -1;
    for (const ClicZoneRow &row : t.Clic_Zone.rows) {
        if (!row.Cadre || !row.X1 || !row.X2 || !row.Y1 || !row.Y2)
            continue;
        if (Verifie_Conditions(m, row.C).etat != VerdictConditions::Etat::Remplies)
            continue;
        const int cadre = *row.Cadre;
        if (cadre == cadreCourant)
            continue;
        const bool testCadre = row.Test_Cadre.value_or(false);
        if (!testCadre)
            cadreCourant = cadre;
        if (!(*row.X1 < Zone_X && Zone_X < *row.X2 && *row.Y1 < Zone_Y && Zone_Y < *row.Y2))
            continue;
        if (testCadre) {
            const bool connu = cadre >= 0 && static_cast<std::size_t>(cadre) < m.Cadre_Fait.size();
            if (!connu || m.Cadre_Fait[static_cast<std::size_t>(cadre)] == 0)
                continue;
        }
        result.objet = row.Nom.value_or("");
        result.cible = t.objet(result.objet);
        if (result.cible)
            return result;
        result.zoneSansObjet = true;
        break;
    }
    result.parCouleur = true;
    result.objet = couleur ? couleur() : std::string();
    result.cible = result.objet.empty() ? nullptr : t.objet(result.objet);
    return result;
}

} // namespace tarvenko
