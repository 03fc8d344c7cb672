// tarvenko-sample-kb: writes the bundled knowledge base (trees of Western Europe) from its
// readable sources: the database, POIDS.DAT and MATRICE.DAT, the colour chart, the drawing's
// layers and contradiction overlays, the question pictures, the bar icons, the species plates
// and the HTML documents. Every byte depends only on the sources.
#include <QFile>
#include <QGuiApplication>

#include <filesystem>
#include <iostream>
#include <set>

#include "tools/kbbuilder/kb_builder.h"
#include "tools/sample/base.h"
#include "tools/sample/dessin.h"
#include "tools/sample/grilles.h"
#include "tools/sample/pages.h"
#include "tools/sample/rendu.h"
#include "tools/sample/sources.h"

namespace fs = std::filesystem;
using namespace tarvenko::sample;

namespace {

QString q(const fs::path &p) { return QString::fromStdString(p.string()); }

void ecritTexte(const fs::path &p, const std::string &texte)
{
    ecritFichier(q(p), std::vector<std::uint8_t>(texte.begin(), texte.end()));
}

std::string deuxChiffres(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// "icones\feuille.ico" as a path below `dossier`.
fs::path sousDossier(const fs::path &dossier, std::string relatif)
{
    for (char &c : relatif)
        if (c == '\\')
            c = '/';
    return dossier / relatif;
}

void genere(const fs::path &sources, const fs::path &sortie)
{
    const Sources s = litSources(sources.string());
    const ThemePalette theme(s.palette);

    for (const char *sous : {"data", "robot", "descripteurs", "documents"})
        fs::remove_all(sortie / sous);
    const fs::path data = sortie / "data", robot = sortie / "robot", descripteurs = sortie / "descripteurs",
                   documents = sortie / "documents";
    for (const fs::path &d : {data, robot / "contra", descripteurs, documents, data / "icones"})
        fs::create_directories(d);

    tarvenko::tools::KbBuilder kb(data.string());
    declareBase(kb, s);
    kb.ecrit();

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
        dessineCalque(t, theme, c.dessin);
        t.sauve(chemin.string());
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

    for (const LigneObjet &o : s.objets)
        grille(o).sauve((descripteurs / o.popup).string());

    for (const char *l : kLanguesDocuments)
        ecritTexte(data / ("error_" + std::string(l) + ".html"), pageErreur(s, l));
    for (const Espece &e : s.especes) {
        const std::string code = minuscules(e.code);
        const fs::path dossier = documents / code.substr(0, 1) / code;
        fs::create_directories(dossier);
        for (const char *l : kLanguesDocuments) {
            if (!aUnePage(s, e, l))
                continue;
            ecritTexte(dossier / (code + "_" + l + ".html"), pageEspece(s, e, l));
            ecritTexte(dossier / ("dessin_" + code + "_" + l + ".html"), pageDessin(s, e, l));
        }
        ecritFichier(q(dossier / (code + ".gif")), gif(rend(planche(s, e), kPlancheL, kPlancheH)));
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::cerr << "usage: tarvenko-sample-kb SOURCES OUTPUT\n"
                     "Writes the knowledge base of SOURCES (data/sample) into OUTPUT/{data,robot,descripteurs,documents}.\n";
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    try {
        genere(argv[1], argv[2]);
    } catch (const std::exception &e) {
        std::cerr << "tarvenko-sample-kb: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
