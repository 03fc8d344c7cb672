#include "tools/sample/ecriture.h"

#include <QString>

#include <set>

#include "tools/sample/dessin.h"
#include "tools/sample/grilles.h"
#include "tools/sample/pages.h"
#include "tools/sample/rendu.h"

namespace fs = std::filesystem;

namespace tarvenko::sample {

namespace {

QString q(const fs::path &p) { return QString::fromStdString(p.string()); }

// "icones\feuille.ico" as a path below `dossier`.
fs::path sousDossier(const fs::path &dossier, std::string relatif)
{
    for (char &c : relatif)
        if (c == '\\')
            c = '/';
    return dossier / relatif;
}

} // namespace

void ecritTexte(const fs::path &chemin, const std::string &texte)
{
    ecritFichier(q(chemin), std::vector<std::uint8_t>(texte.begin(), texte.end()));
}

std::string deuxChiffres(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

void ecritImages(const Sources &s, const fs::path &sortie)
{
    const ThemePalette theme(s.palette);
    const fs::path data = sortie / "data", robot = sortie / "robot", descripteurs = sortie / "descripteurs";
    for (const fs::path &d : {data, robot / "contra", descripteurs, data / "icones"})
        fs::create_directories(d);

    Toile nuancier(100 * static_cast<int>(s.palette.size()), 100);
    dessineNuancier(nuancier, theme.couleurs());
    nuancier.sauve((data / "couleur.wmf").string());

    std::set<fs::path> faits;
    for (const Calque &c : s.calques) {
        const fs::path chemin = robot / deuxChiffres(c.couche) / c.fichier;
        if (!faits.insert(chemin).second)
            continue;
        fs::create_directories(chemin.parent_path());
        Toile t(kLargeur, kHauteur);
        dessineCalque(t, theme, c.dessin, s.titresCartes("en"));
        t.sauve(chemin.string());
        // A file with words in it is written again in each language, beside the English one.
        for (const char *langue : kLanguesGrilles) {
            Toile traduite(kLargeur, kHauteur);
            dessineCalque(traduite, theme, c.dessin, s.titresCartes(langue));
            if (traduite.octets() != t.octets())
                traduite.sauve((chemin.parent_path() / nomLangue(c.fichier, langue)).string());
        }
    }
    for (const Contradiction &c : s.contradictions) {
        if (c.bouton == -1) {
            Toile t(kLargeur, kHauteur);
            dessineSurcouche(t, c.x1, c.x2, c.y1, c.y2);
            t.sauve((robot / "contra" / (c.popup + ".wmf")).string());
        } else {
            const Bouton &b = s.boutons.at(static_cast<std::size_t>(c.bouton - 1));
            ecritIcone(icone(b.dessin, true), q(robot / "contra" / (c.popup + ".ico")));
        }
    }
    for (const Bouton &b : s.boutons)
        ecritIcone(icone(b.dessin), q(sousDossier(data, b.fichier)));

    for (const LigneObjet &o : s.objets) {
        const LigneObjet &etats = o.partage.empty() ? o : s.ligne(o.partage);
        grille(etats).sauve((descripteurs / o.popup).string());
        for (const char *langue : kLanguesGrilles)
            grille(etats, langue).sauve((descripteurs / nomLangue(o.popup, langue)).string());
    }

    for (const char *l : kLanguesDocuments)
        ecritTexte(data / ("error_" + std::string(l) + ".html"), pageErreur(s, l));
}

} // namespace tarvenko::sample
