#include <cmath>
#include <cstdlib>
#include <fstream>

#include "commands/fichier_identification.h"
#include "fuzz_targets.h"
#include "lecteur.h"

namespace tarvenko::fuzz {

int Cible_Identification(const std::uint8_t *data, std::size_t size)
{
    Lecteur lecteur(data, size);
    const auto nbEtats = static_cast<std::size_t>(lecteur.choix(300));
    const auto nbCadres = static_cast<std::size_t>(lecteur.choix(40));
    const std::string chemin = Dossier_Travail() + "fuzz.ryk";
    {
        std::ofstream out(chemin, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(lecteur.reste()), static_cast<std::streamsize>(lecteur.tailleReste()));
    }
    Identification lue;
    lue.Etat_Choisi = {7}; // must stay as it is unless the whole file is sound
    const LectureIdentification resultat = Lit_Identification(chemin, nbEtats, nbCadres, lue);
    if (resultat != LectureIdentification::Ok) {
        if (lue.Etat_Choisi != std::vector<std::int16_t>{7} || !lue.Cadre_Fait.empty())
            std::abort(); // a refused file changed the identification
        return 0;
    }
    if (lue.Etat_Choisi.size() != nbEtats || lue.Cadre_Fait.size() != nbCadres)
        std::abort();
    for (std::int16_t v : lue.Etat_Choisi)
        if (v != 0 && v != 1)
            std::abort();
    for (std::int16_t v : lue.Cadre_Fait)
        if (v != 0 && v != -1)
            std::abort();
    for (const Reponse_Num &r : lue.Reponses_Num)
        if (r.Objet.empty() || !std::isfinite(r.Valeur))
            std::abort();
    // Written back, the answers give the bytes they were read from.
    const std::vector<unsigned char> octets = Octets_Identification(lue.Etat_Choisi, lue.Cadre_Fait, lue.Reponses_Num);
    if (octets.size() > lecteur.tailleReste() || !std::equal(octets.begin(), octets.end(), lecteur.reste()))
        std::abort();
    return 0;
}

std::vector<std::vector<std::uint8_t>> Graines_Identification()
{
    std::vector<std::vector<std::uint8_t>> graines;
    // A key of 3 states and 2 groups, states 0 and 2 chosen, group 1 answered.
    const std::vector<unsigned char> sain = Octets_Identification({1, 0, 1}, {0, -1});
    graines.push_back({3, 2});
    graines.back().insert(graines.back().end(), sain.begin(), sain.end());
    // The same file with bytes past the arrays, then cut short, then with a value no answer gives.
    graines.push_back(graines.back());
    graines.back().insert(graines.back().end(), {0xAB, 0xCD, 0xEF});
    graines.push_back({3, 2, 1, 0, 0});
    graines.push_back({3, 2, 1, 0, 2, 0, 1, 0, 0, 0, 0xFF, 0xFF});
    // Numeric answers after the arrays.
    const std::vector<unsigned char> avecNombres = Octets_Identification({1, 0, 1}, {0, -1}, {{"LONGUEUR", 12.5}});
    graines.push_back({3, 2});
    graines.back().insert(graines.back().end(), avecNombres.begin(), avecNombres.end());
    // Nothing at all for a key without states.
    graines.push_back({0, 0});
    return graines;
}

} // namespace tarvenko::fuzz
