#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/answering.h"
#include "engine/scoring.h"
#include "knowledge/key_location.h"
#include "knowledge/loader.h"
#include "support/temp_dir.h"

namespace tarvenko::test {

// The public DELTA datasets of the shared test data.
inline std::string jeuDelta(const std::string &nom) { return std::string(TARVENKO_DELTA_SAMPLES) + "/" + nom; }

#define EXIGE_JEUX_DELTA()                                                                                     \
    do {                                                                                                       \
        if (!std::filesystem::exists(::tarvenko::test::jeuDelta("grass-genera/specs")))                       \
            GTEST_SKIP() << "the DELTA datasets are not in " TARVENKO_DELTA_SAMPLES;                          \
    } while (false)

inline void ecritFichier(const std::filesystem::path &chemin, const std::string &texte)
{
    std::filesystem::create_directories(chemin.parent_path());
    std::ofstream(chemin, std::ios::binary) << texte;
}

// A key folder written by the converter, loaded as the window loads its key.
inline bool chargeCle(const std::string &dossierCle, KeyModel &m)
{
    std::string erreur;
    const auto e = Localise_Cle(dossierCle, erreur);
    EXPECT_TRUE(e.has_value()) << erreur;
    if (!e)
        return false;
    m = KeyModel{};
    m.Chemin_Data = e->dossier;
    m.Chemin_Base = e->dossier + e->base;
    m.Chemin_Descripteurs = e->descripteurs;
    const ResultatChargement r = Charge_Connaissances(m);
    EXPECT_EQ(r.etat, ResultatChargement::Etat::Ok) << r.chemin;
    return r.etat == ResultatChargement::Etat::Ok;
}

// The state number of `idCarac` ("C12S3") in a loaded key, -1 when it has none.
inline int etatDe(const KeyModel &m, const std::string &idCarac)
{
    const auto s = idCarac.rfind('S');
    const ObjetRow *row = m.Base_Donnees.objet(idCarac.substr(0, s));
    if (!row || !row->Index_Car)
        return -1;
    return *row->Index_Car + std::stoi(idCarac.substr(s + 1)) - 1;
}

inline int especeDe(const KeyModel &m, const std::string &nom)
{
    for (std::size_t i = 0; i < m.Nom_Esp.size(); ++i)
        if (m.Nom_Esp[i] == nom)
            return static_cast<int>(i);
    ADD_FAILURE() << "no species " << nom;
    return -1;
}

// Answers a state as a person validating it in the grid would, then ranks again.
inline void repond(KeyModel &m, const std::string &idCarac)
{
    const int etat = etatDe(m, idCarac);
    const ObjetRow *row = Objet_De_Etat(m, etat);
    ASSERT_NE(row, nullptr) << idCarac;
    Ouvre_Descripteur(m, *row, row->Objet.value_or(""));
    m.Descripteur_Courant.Selection = static_cast<std::int16_t>(etat - *row->Index_Car);
    Valid_Descripteur(m);
    Affiche_Especes(m);
}

// The species ranked first, and its percentage.
inline std::string premiere(const KeyModel &m) { return m.Nom_Esp[static_cast<std::size_t>(m.Classement[1][0])]; }

} // namespace tarvenko::test
