#include "engine/drawing_layers.h"

#include "engine/conditions.h"
#include "knowledge/file_lookup.h"
#include "knowledge/key_texts.h"
#include "knowledge/text.h"

namespace tarvenko {

namespace {

std::string droite(const std::string &text, std::size_t n) { return text.size() <= n ? text : text.substr(text.size() - n); }

// The first Hierarchie row of layer r whose conditions hold; unknown states are reported.
const HierarchieRow *ligneDuCalque(const KeyModel &m, int r, std::vector<std::string> &messages)
{
    for (const HierarchieRow &row : m.Base_Donnees.Hierarchie.rows) {
        if (!row.Robot_Num || *row.Robot_Num != r)
            continue;
        const VerdictConditions verdict = Verifie_Conditions(m, row.C);
        if (verdict.etat == VerdictConditions::Etat::Remplies)
            return &row;
        if (verdict.etat == VerdictConditions::Etat::EtatInconnu)
            messages.push_back(Message_Etat_Inconnu(verdict.code));
    }
    return nullptr;
}

} // namespace

std::string Dossier_Calque(const KeyModel &m, int r)
{
    return m.Chemin_Robot + (r < 10 ? "0" : "") + std::to_string(r) + "\\";
}

std::vector<std::optional<std::string>> Fichiers_Calques(const KeyModel &m, std::vector<std::string> &messages)
{
    std::vector<std::optional<std::string>> fichiers(static_cast<std::size_t>(std::max<int>(m.Nb_Robot, 0)));
    std::string suffixe;
    for (int r = 0; r < m.Nb_Robot; ++r) {
        const HierarchieRow *row = ligneDuCalque(m, r, messages);
        if (!row)
            continue;
        const std::string nom = row->Nom.value_or("");
        std::string fichier = Dossier_Calque(m, r) + nom;
        if (minusculesAscii(droite(nom, 3)) == "wmf") {
            if (r == 0)
                suffixe = droite(nom, 6);
        } else {
            fichier += suffixe;
        }
        fichiers[static_cast<std::size_t>(r)] = std::move(fichier);
    }
    return fichiers;
}

std::string Chemin_Calque(const KeyModel &m, const std::string &fichier)
{
    return resoutCheminLangue(fichier, Code_Langue(m.Num_Langue));
}

ResultatCalques Choisit_Calques(KeyModel &m, const Charge_Image &charge)
{
    ResultatCalques result;
    if (m.Robots.size() < static_cast<std::size_t>(std::max<int>(m.Nb_Robot, 0)))
        m.Robots.resize(static_cast<std::size_t>(m.Nb_Robot));
    const auto fichiers = Fichiers_Calques(m, result.messages);
    for (std::size_t r = 0; r < fichiers.size(); ++r) {
        if (!fichiers[r])
            continue;
        Robot &calque = m.Robots[r];
        const std::string cle = majusculesChemin(*fichiers[r]);
        // An answer leaves most layers as they were: only a new file or a new language is looked
        // up on the disk again.
        if (cle == calque.Fichier && calque.Langue == m.Num_Langue)
            continue;
        std::string chemin = Chemin_Calque(m, *fichiers[r]);
        if (cle == calque.Fichier && chemin == calque.Chemin) {
            calque.Langue = m.Num_Langue; // no picture of its own in that language
            continue;
        }
        std::shared_ptr<const Picture> image = charge ? charge(chemin) : nullptr;
        if (!image) {
            result.echec = chemin;
            return result;
        }
        calque.Image = std::move(image);
        calque.Fichier = cle;
        calque.Chemin = std::move(chemin);
        calque.Langue = m.Num_Langue;
        result.recharges.push_back(static_cast<int>(r));
    }
    return result;
}

bool Ajoute_Calque(KeyModel &m, int position, const std::string &chemin, const Charge_Image &charge)
{
    if (position < 1)
        return false;
    m.Robots.resize(static_cast<std::size_t>(position));
    Robot &calque = m.Robots[static_cast<std::size_t>(position - 1)];
    calque.Chemin = resoutChemin(chemin);
    calque.Image = charge ? charge(calque.Chemin) : nullptr;
    calque.Fichier = majusculesChemin(chemin);
    calque.Langue = m.Num_Langue;
    return calque.Image != nullptr;
}

} // namespace tarvenko
