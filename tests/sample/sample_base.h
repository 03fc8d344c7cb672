#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/answering.h"
#include "engine/scoring.h"
#include "knowledge/loader.h"
#include "tools/kbbuilder/kb_builder.h"

namespace tarvenko::test {

// The knowledge base the build ships, loaded the way start-up loads it.
inline std::string dossierEchantillon() { return TARVENKO_SAMPLE_DIR "/"; }

inline KeyModel chargeEchantillon()
{
    KeyModel m;
    m.Chemin_Data = dossierEchantillon() + "data/";
    m.Chemin_Base = m.Chemin_Data + tools::KbBuilder::kNomBase;
    m.Chemin_Robot = dossierEchantillon() + "robot/";
    const ResultatChargement r = Charge_Connaissances(m);
    EXPECT_EQ(r.etat, ResultatChargement::Etat::Ok) << r.chemin;
    return m;
}

// One character: a distinct state range of Objets_Fic (the rows of a constrained object that
// share their states count once).
struct Caractere {
    const ObjetRow *ligne = nullptr;
    int premier = 0;
    int nombre = 0;
};

inline std::vector<Caractere> caracteres(const KeyModel &m)
{
    std::vector<Caractere> out;
    std::set<std::pair<int, int>> vus;
    for (const ObjetRow &o : m.Base_Donnees.Objets_Fic.rows) {
        const std::pair<int, int> plage{o.Index_Car.value_or(0), o.Nb_Car.value_or(0)};
        if (vus.insert(plage).second)
            out.push_back({&o, plage.first, plage.second});
    }
    return out;
}

inline std::vector<int> etatsDe(const KeyModel &m, int espece, const Caractere &c)
{
    std::vector<int> e;
    for (int k = c.premier; k < c.premier + c.nombre; ++k)
        if (m.matrice(espece, k) != 0)
            e.push_back(k);
    return e;
}

// Whether a character tells two species apart: one shows states and the other shows none of them.
inline bool separe(const KeyModel &m, int a, int b, const Caractere &c)
{
    const auto ea = etatsDe(m, a, c), eb = etatsDe(m, b, c);
    if (ea.empty() && eb.empty())
        return false;
    for (int x : ea)
        if (std::find(eb.begin(), eb.end(), x) != eb.end())
            return false;
    return true;
}

// Records state `etat` as a person validating it in its question would.
inline void repond(KeyModel &m, int etat)
{
    const ObjetRow *row = Objet_De_Etat(m, etat);
    ASSERT_NE(row, nullptr) << etat;
    Ouvre_Descripteur(m, *row, row->Objet.value_or(""));
    m.Descripteur_Courant.Selection = static_cast<std::int16_t>(etat - *row->Index_Car);
    Valid_Descripteur(m);
}

} // namespace tarvenko::test
