#include "engine/determination_bar.h"

#include "engine/answering.h"

namespace tarvenko {

namespace {

bool contrainteTenue(const KeyModel &m, const ObjetRow &row)
{
    if (!row.Contrainte || row.Contrainte->empty())
        return true;
    const CaractereRow *car = m.Base_Donnees.caractereParId(*row.Contrainte);
    if (!car)
        return true;
    return car->NUM >= 0 && static_cast<std::size_t>(car->NUM) < m.Etat_Choisi.size() &&
           m.Etat_Choisi[static_cast<std::size_t>(car->NUM)] == 1;
}

} // namespace

const ObjetRow *Ligne_Contrainte(const KeyModel &m, const std::string &objet)
{
    const std::vector<const ObjetRow *> rows = m.Base_Donnees.objets(objet);
    if (rows.empty())
        return nullptr;
    if (m.Version_Database <= 300)
        return rows.front();
    for (const ObjetRow *row : rows) {
        if (contrainteTenue(m, *row))
            return row;
    }
    // Data without a closing unconstrained row: stay on the object rather than walk into the next.
    return rows.back();
}

ClicBarreDeter Clic_Barre_Deter(KeyModel &m, const std::string &tag)
{
    m.Descripteur_Courant.Objet = tag;
    ClicBarreDeter result;
    result.ligne = Ligne_Contrainte(m, tag);
    if (!result.ligne) {
        if (tag == "Search")
            result.action = ClicBarreDeter::Action::Recherche;
        else if (tag == "Results")
            result.action = ClicBarreDeter::Action::Resultats;
        return result;
    }
    result.action = ClicBarreDeter::Action::Question;
    Ouvre_Descripteur(m, *result.ligne, tag);
    return result;
}

} // namespace tarvenko
