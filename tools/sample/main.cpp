// tarvenko-sample-kb: writes the bundled knowledge base (trees of Western Europe) from its
// readable sources: the database, POIDS.DAT and MATRICE.DAT, the colour chart, the drawing's
// layers and contradiction overlays, the question pictures, the bar icons, the species plates
// and the HTML documents. Every byte depends only on the sources.
#include <QFile>
#include <QGuiApplication>

#include <filesystem>
#include <iostream>

#include "tools/kbbuilder/kb_builder.h"
#include "tools/sample/base.h"
#include "tools/sample/ecriture.h"
#include "tools/sample/grilles.h"
#include "tools/sample/pages.h"
#include "tools/sample/rendu.h"
#include "tools/sample/sources.h"

namespace fs = std::filesystem;
using namespace tarvenko::sample;

namespace {

QString q(const fs::path &p) { return QString::fromStdString(p.string()); }

void genere(const fs::path &sources, const fs::path &sortie)
{
    const Sources s = litSources(sources.string());

    for (const char *sous : {"data", "robot", "descripteurs", "documents"})
        fs::remove_all(sortie / sous);
    const fs::path data = sortie / "data", documents = sortie / "documents";
    fs::create_directories(data);

    tarvenko::tools::KbBuilder kb(data.string());
    declareBase(kb, s);
    kb.ecrit();
    ecritImages(s, sortie);

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
