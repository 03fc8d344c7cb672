#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "engine/contradictions.h"
#include "engine/discriminant.h"
#include "engine/scoring.h"
#include "fuzz_targets.h"
#include "knowledge/data_files.h"
#include "knowledge/loader.h"
#include "lecteur.h"

namespace tarvenko::fuzz {

namespace {

void ecrit(const std::string &chemin, const std::uint8_t *data, std::size_t size)
{
    std::ofstream out(chemin, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
}

} // namespace

int Cible_Fichiers_Dat(const std::uint8_t *data, std::size_t size)
{
    Lecteur lecteur(data, size);
    KeyModel m;
    // Any 16-bit counts, as table Parametres may give them.
    m.Nb_Esp = lecteur.mot();
    m.Nb_Etats_Desc = lecteur.mot();
    // How the rest is shared between the two files.
    const auto part = static_cast<std::size_t>(static_cast<std::uint16_t>(lecteur.mot()));
    const std::size_t partPoids = std::min(part, lecteur.tailleReste());
    m.Chemin_Data = Dossier_Travail();
    ecrit(m.Chemin_Data + "POIDS.DAT", lecteur.reste(), partPoids);
    ecrit(m.Chemin_Data + "MATRICE.DAT", lecteur.reste() + partPoids, lecteur.tailleReste() - partPoids);

    Dimensionne_Modele(m);
    if (Lit_Poids(m) != LectureDat::Ok || Lit_Matrice(m) != LectureDat::Ok)
        return 0;
    const std::size_t etats = m.Nb_Etats_Desc > 0 ? static_cast<std::size_t>(m.Nb_Etats_Desc) : 0;
    const std::size_t especes = m.Nb_Esp > 0 ? static_cast<std::size_t>(m.Nb_Esp) : 0;
    if (m.Poids.size() != etats || m.Matrice.size() != etats * especes)
        std::abort();

    // Score every state chosen, then every other one, and rank.
    for (std::size_t e = 0; e < m.Etat_Choisi.size(); ++e)
        m.Etat_Choisi[e] = static_cast<std::int16_t>(e % 2 == 0);
    const ListeEspeces liste = Affiche_Especes(m);
    if (liste.lignes.size() > especes || m.Classement[1].size() != especes)
        std::abort();
    Cherche_Discriminant(m);
    Cherche_Contradictions(m, 0);
    Cherche_Contradictions(m, m.Nb_Esp - 1);
    return 0;
}

std::vector<std::vector<std::uint8_t>> Graines_Fichiers_Dat()
{
    const auto mot = [](std::vector<std::uint8_t> &out, int v) {
        const auto word = static_cast<std::uint16_t>(v);
        out.push_back(static_cast<std::uint8_t>(word & 0xFF));
        out.push_back(static_cast<std::uint8_t>(word >> 8));
    };
    std::vector<std::vector<std::uint8_t>> graines;
    // 3 species, 2 states: weights 1 and 2, matrix state by state.
    std::vector<std::uint8_t> g;
    mot(g, 3);
    mot(g, 2);
    mot(g, 4); // POIDS.DAT: 4 bytes
    for (int v : {1, 2})
        mot(g, v);
    for (int v : {1, 0, 1, 0, 1, 1})
        mot(g, v);
    graines.push_back(g);
    // Heavy weights and negative values.
    g.clear();
    mot(g, 2);
    mot(g, 2);
    mot(g, 4);
    for (int v : {32767, -32768, 1, -1, 32767, 0})
        mot(g, v);
    graines.push_back(g);
    // Counts far beyond the files, and negative counts.
    g.clear();
    mot(g, 32767);
    mot(g, 32767);
    mot(g, 2);
    mot(g, 1);
    graines.push_back(g);
    g.clear();
    mot(g, -3);
    mot(g, -1);
    graines.push_back(g);
    return graines;
}

} // namespace tarvenko::fuzz
