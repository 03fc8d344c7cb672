#include "tools/sample/base.h"

#include <stdexcept>

#include "tools/sample/grilles.h"

namespace tarvenko::sample {

namespace {

// The languages of Textes_Langues, and what the numbers of a species' plate show in each (the
// English legend is legende()).
struct LangueTextes {
    const char *code;
    const char *planche;
};
constexpr LangueTextes kLanguesTextes[] = {
    {"fr", ": 1 port, 2 feuille, 3 fruit, 4 écorce, 5 rameau et bourgeon d'hiver, 6 fleurs."},
    {"es", ": 1 porte, 2 hoja, 3 fruto, 4 corteza, 5 ramita y yema de invierno, 6 flores."}};

// The texts the window shows in French and Spanish (table Textes_Langues); English is the key's
// own text.
void declareTextes(tools::KbBuilder &kb, const Sources &s)
{
    for (const auto &[l, planche] : kLanguesTextes) {
        for (std::size_t i = 0; i < s.objets.size(); ++i) {
            const LigneObjet &o = s.objets[i];
            kb.texteLangue(l, "Objets_Fic", std::to_string(i + 1), "TipText", o.question.at(l));
            for (const Etat &e : o.etats)
                kb.etatLangue(e.id, l, e.nom.at(l));
        }
        for (const Espece &e : s.especes)
            kb.texteLangue(l, "Flore", e.nom, "Legende", e.nom + planche);
        int deter = 0, quest = 0;
        for (const Bouton &b : s.boutons) {
            const bool estDeter = b.barre == "deter";
            const std::string numero = std::to_string(estDeter ? ++deter : ++quest);
            const auto &[caption, tip] = b.traductions.at(l);
            kb.texteLangue(l, estDeter ? "But_Deter" : "But_Quest", numero, "Caption", caption);
            kb.texteLangue(l, estDeter ? "But_Deter" : "But_Quest", numero, "TipText", tip);
        }
    }
}

} // namespace

void declareBase(tools::KbBuilder &kb, const Sources &s)
{
    for (const Espece &e : s.especes)
        kb.espece(e.nom, e.famille, e.code, legende(e));
    declareStructure(kb, s);
    declareTextes(kb, s);
    for (const Espece &e : s.especes)
        for (const auto &[ligne, cles] : e.etats)
            for (const std::string &cle : cles)
                for (const Etat &et : s.ligne(ligne).etats)
                    if (et.cle == cle)
                        kb.a(e.nom, et.id);
    for (const auto &[langue, code] : kLangues) {
        std::vector<std::pair<std::string, std::string>> noms;
        for (const Espece &e : s.especes)
            for (const std::string &n : e.communs.at(code))
                noms.emplace_back(n, e.nom);
        kb.langue(langue, noms);
    }
}

void declareStructure(tools::KbBuilder &kb, const Sources &s)
{
    for (const LigneObjet &o : s.objets) {
        tools::KbBuilder::Objet b;
        b.objet = o.objet;
        for (const Etat &e : o.etats) {
            b.etats.push_back(e.id);
            b.tips.push_back(e.nom.at("en"));
        }
        b.lignes = static_cast<std::int16_t>(o.lignes);
        b.colonnes = static_cast<std::int16_t>(o.colonnes);
        b.cadre = static_cast<std::int16_t>(s.groupe(o.groupe));
        b.joker = o.joker;
        b.tipText = o.question.at("en");
        b.popup = o.popup;
        if (!o.quand.empty())
            b.contrainte = o.quand;
        for (const LigneObjet &avant : s.objets) {
            if (&avant == &o)
                break;
            b.ligneSupplementaire = b.ligneSupplementaire || avant.objet == o.objet;
        }
        const std::size_t nbEtats = o.partage.empty() ? o.etats.size() : s.ligne(o.partage).etats.size();
        if (static_cast<std::size_t>(o.lignes * o.colonnes) != nbEtats)
            throw std::runtime_error(o.ligne + ": the grid does not have one cell per state");
        kb.objet(b);
        for (const Etat &e : o.etats)
            kb.poids(e.id, static_cast<std::int16_t>(o.poids));
    }
    for (const LigneObjet &o : s.objets)
        for (const std::string &parent : o.sous)
            kb.descendance(parent, o.objet);

    for (const Calque &c : s.calques)
        kb.hierarchie(static_cast<std::int16_t>(c.couche), c.fichier, c.conditions);
    for (const EntreePalette &p : s.palette)
        kb.couleur(p.objet);
    for (const Zone &z : s.zones)
        kb.clicZone(z.nom, static_cast<std::int16_t>(z.cadre), z.test, z.x1, z.x2, z.y1, z.y2, z.conditions);
    for (const Bouton &b : s.boutons) {
        if (b.barre == "deter")
            kb.butDeter(b.legende, b.fichier, b.bulle, b.cle);
        else
            kb.butQuest(b.legende, b.fichier, b.bulle);
    }
    for (const Contradiction &c : s.contradictions)
        kb.contradiction(c.objet, static_cast<std::int16_t>(c.bouton), c.popup);
    kb.nbCadre(static_cast<int>(s.groupes.size()));
    // The groups' names, for the list of the questions (English, Spanish, French).
    for (std::size_t g = 0; g < s.groupes.size(); ++g) {
        const auto nom = [&](const char *langue) {
            const auto it = s.groupes[g].nom.find(langue);
            return it == s.groupes[g].nom.end() ? std::string() : it->second;
        };
        kb.nomCadre(static_cast<int>(g), {nom("en"), nom("es"), nom("fr")});
    }
}

} // namespace tarvenko::sample
