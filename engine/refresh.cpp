#include "engine/refresh.h"

namespace tarvenko {

Rafraichissement Actualise_Identification(KeyModel &m, const Charge_Image &charge)
{
    Rafraichissement result;
    result.devientModifie = !m.Modifie;
    m.Modifie = true;
    result.calques = Choisit_Calques(m, charge);
    if (result.calques.echec)
        return result;
    result.liste = Affiche_Especes(m);
    return result;
}

} // namespace tarvenko
