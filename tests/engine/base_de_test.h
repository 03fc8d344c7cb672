#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/answering.h"
#include "engine/drawing_layers.h"
#include "knowledge/loader.h"
#include "support/temp_dir.h"
#include "tools/kbbuilder/kb_builder.h"

namespace tarvenko::test {

// A knowledge base stated by a test, written to a temporary folder and loaded into a key model
// the way start-up loads it.
class BaseDeTest {
public:
    BaseDeTest() : kb(dir.dossier() + "data") {}

    // Writes and loads the base; the model starts with nothing answered.
    KeyModel &charge()
    {
        kb.ecrit();
        m = KeyModel{};
        m.Chemin_Data = kb.dossier();
        m.Chemin_Base = kb.dossier() + tools::KbBuilder::kNomBase;
        m.Chemin_Robot = dir.dossier() + "robot\\";
        const ResultatChargement r = Charge_Connaissances(m);
        EXPECT_EQ(r.etat, ResultatChargement::Etat::Ok) << r.chemin;
        return m;
    }

    int etat(const std::string &idCarac) const { return kb.etat(idCarac); }
    std::int16_t choisi(const std::string &idCarac) const { return m.Etat_Choisi.at(static_cast<std::size_t>(etat(idCarac))); }
    void choisit(const std::string &idCarac, std::int16_t value = 1) { m.Etat_Choisi.at(static_cast<std::size_t>(etat(idCarac))) = value; }

    int espece(const std::string &nom) const
    {
        const auto it = std::find(m.Nom_Esp.begin(), m.Nom_Esp.end(), nom);
        EXPECT_NE(it, m.Nom_Esp.end()) << nom;
        return static_cast<int>(it - m.Nom_Esp.begin());
    }

    // Opens the question of `objet` as a click on its drawing part would, picks `selection`.
    void ouvre(const std::string &objet, std::int16_t selection)
    {
        const ObjetRow *row = m.Base_Donnees.objet(objet);
        ASSERT_NE(row, nullptr) << objet;
        Ouvre_Descripteur(m, *row, objet);
        m.Descripteur_Courant.Selection = selection;
    }

    // Answers with a state as a person validating it would.
    std::vector<Incoherence> repond(const std::string &idCarac)
    {
        const ObjetRow *row = Objet_De_Etat(m, etat(idCarac));
        EXPECT_NE(row, nullptr) << idCarac;
        Ouvre_Descripteur(m, *row, row->Objet.value_or(""));
        m.Descripteur_Courant.Selection = static_cast<std::int16_t>(etat(idCarac) - *row->Index_Car);
        return Valid_Descripteur(m);
    }

    TempDir dir;
    tools::KbBuilder kb;
    KeyModel m;
};

// A picture loader that remembers every path it was asked for; paths containing `absent` fail.
class ChargeurEspion {
public:
    struct Image final : Picture {
        explicit Image(std::string p) : chemin(std::move(p)) {}
        std::string chemin;
    };

    Charge_Image fonction()
    {
        return [this](const std::string &chemin) -> std::shared_ptr<const Picture> {
            demandes.push_back(chemin);
            if (!absent.empty() && chemin.find(absent) != std::string::npos)
                return nullptr;
            return std::make_shared<Image>(chemin);
        };
    }

    static std::string chemin(const Robot &robot)
    {
        const auto *image = dynamic_cast<const Image *>(robot.Image.get());
        return image ? image->chemin : std::string();
    }

    std::vector<std::string> demandes;
    std::string absent;
};

} // namespace tarvenko::test
