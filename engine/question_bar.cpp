#include "engine/question_bar.h"

#include "engine/contradictions.h"
#include "engine/numeric_characters.h"

namespace tarvenko {

ClicBarreQuestion Clic_Barre_Question(KeyModel &m, int position, const Charge_Image &charge)
{
    ClicBarreQuestion result;
    if (position == Position_Valider) {
        result.action = ClicBarreQuestion::Action::Validation;
        result.incoherences = Valid_Descripteur(m);
        result.rafraichissement = Actualise_Identification(m, charge);
        if (result.rafraichissement.calques.echec)
            return result;
        result.rechargeBarre = Efface_Contradictions(m);
    } else if (position == Position_Passer) {
        result.action = ClicBarreQuestion::Action::Passage;
        m.Question_Passee = true;
        const int desc = m.Descripteur_Courant.Desc_Num;
        if (desc >= 0 && static_cast<std::size_t>(desc) < m.Joker.size())
            m.Joker[static_cast<std::size_t>(desc)] = false;
        // A numeric question has no states and no Desc_Num: its own flag keeps it out instead.
        if (m.Descripteur_Courant.Nb_Car == 0) {
            if (const int c = Caractere_Num_De(m, m.Descripteur_Courant.Objet);
                c >= 0 && static_cast<std::size_t>(c) < m.Joker_Num.size())
                m.Joker_Num[static_cast<std::size_t>(c)] = false;
        }
        result.recherche = Cherche_Discriminant(m);
    }
    return result;
}

} // namespace tarvenko
