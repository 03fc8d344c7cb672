#include "knowledge/key_opening.h"

#include <filesystem>

#include "knowledge/delta/delta_cache.h"
#include "knowledge/delta/delta_jeu.h"
#include "knowledge/jet/jet_cache.h"
#include "knowledge/jet/jet_file.h"
#include "knowledge/key_model.h"
#include "knowledge/sdd/sdd_cache.h"
#include "knowledge/sdd/sdd_import.h"

namespace tarvenko {

const std::vector<ConvertisseurCle> &Convertisseurs_Cle()
{
    // Each reader as {name, recognise, convert into the cache}, tried in this order.
    static const std::vector<ConvertisseurCle> convertisseurs{
        {"SDD", sdd::estSdd, sdd::convertitCle},
        {"DELTA", delta::estDossierDelta,
         [](const std::string &chemin, const std::string &dossierCache, std::string &erreur) -> std::optional<std::string> {
             std::string dossier;
             if (!delta::Prepare_Cle(chemin, dossierCache, dossier, erreur))
                 return std::nullopt;
             return dossier;
         }},
    };
    return convertisseurs;
}

std::optional<EmplacementCle> Trouve_Cle(const std::string &chemin, const std::string &dossierCache, ErreurCle &erreur,
                                         const std::vector<ConvertisseurCle> &convertisseurs)
{
    for (const ConvertisseurCle &c : convertisseurs) {
        if (!c.reconnait || !c.reconnait(chemin))
            continue;
        std::string raison;
        const std::optional<std::string> dossier = c.convertit(chemin, dossierCache, raison);
        if (!dossier) {
            erreur = {ProblemeCle::Conversion, c.nom + ": " + raison};
            return std::nullopt;
        }
        std::optional<EmplacementCle> e = Localise_Cle(*dossier, erreur);
        if (!e) {
            // What the converter wrote is no key: its fault, not the user's path.
            erreur = {ProblemeCle::Conversion, c.nom + ": " + erreur.texte};
            return std::nullopt;
        }
        // Named after what the user opened, not after its folder in the cache.
        const std::filesystem::path source(chemin);
        e->nom = (source.has_filename() ? source : source.parent_path()).stem().string();
        return e;
    }

    std::optional<EmplacementCle> e = Localise_Cle(chemin, erreur);
    if (!e)
        return std::nullopt;
    const std::string base = e->dossier + e->base;
    if (jet::estJet(jet::formatDe(base))) {
        std::string aOuvrir;
        ErreurBase probleme;
        if (!jet::Prepare_Base(base, dossierCache, aOuvrir, probleme)) {
            erreur = {ProblemeCle::Conversion, probleme.message};
            return std::nullopt;
        }
    }
    return e;
}

void Applique_Emplacement(KeyModel &m, const EmplacementCle &e)
{
    m.Chemin_Data = e.dossier;
    m.Chemin_Base = e.dossier + e.base;
    m.Chemin_Robot = e.robot.empty() ? e.dossier : e.robot;
    m.Chemin_Descripteurs = e.descripteurs.empty() ? e.dossier : e.descripteurs;
    m.Adresse_Documents = e.documents.empty() ? e.dossier : e.documents;
    m.Distribution = "hd";
}

} // namespace tarvenko
