// tarvenko-sample-preview: renders what the program shows of a knowledge base to PNG files, for
// looking at the drawing and the question pictures without the program's window.
//   tarvenko-sample-preview ROOT drawing OUT.png [ID_CARAC...]   the drawing after these answers
//   tarvenko-sample-preview ROOT grid POPUP OUT.png               a question picture
//   tarvenko-sample-preview ROOT picture FILE.wmf OUT.png W H     any metafile
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <iostream>

#include "engine/answering.h"
#include "engine/drawing_layers.h"
#include "knowledge/loader.h"
#include "platform/metafile/metafile.h"
#include "platform/metafile/metafile_picture.h"
#include "tools/kbbuilder/kb_builder.h"

using namespace tarvenko;

namespace {

int dessin(const std::string &racine, const std::string &sortie, const std::vector<std::string> &reponses)
{
    KeyModel m;
    m.Chemin_Data = racine + "/data/";
    m.Chemin_Base = m.Chemin_Data + tools::KbBuilder::kNomBase;
    m.Chemin_Robot = racine + "/robot/";
    if (Charge_Connaissances(m).etat != ResultatChargement::Etat::Ok) {
        std::cerr << "cannot load " << racine << '\n';
        return 1;
    }
    for (const std::string &r : reponses) {
        const CaractereRow *c = m.Base_Donnees.caractereParId(r);
        if (!c) {
            std::cerr << "unknown state " << r << '\n';
            return 1;
        }
        const ObjetRow *o = Objet_De_Etat(m, c->NUM);
        Ouvre_Descripteur(m, *o, o->Objet.value_or(""));
        m.Descripteur_Courant.Selection = static_cast<std::int16_t>(c->NUM - *o->Index_Car);
        Valid_Descripteur(m);
    }
    const auto charge = [](const std::string &chemin) -> std::shared_ptr<const Picture> {
        std::string p = chemin;
        for (char &ch : p)
            if (ch == '\\')
                ch = '/';
        return MetafilePicture::load(QString::fromStdString(p));
    };
    const ResultatCalques r = Choisit_Calques(m, charge);
    if (r.echec) {
        std::cerr << "cannot load " << *r.echec << '\n';
        return 1;
    }
    QImage image(1200, 900, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    for (const Robot &robot : m.Robots)
        if (const auto *mf = dynamic_cast<const MetafilePicture *>(robot.Image.get()))
            mf->metafile().play(p, QRectF(0, 0, 1200, 900));
    p.end();
    return image.save(QString::fromStdString(sortie)) ? 0 : 1;
}

int image(const std::string &chemin, const std::string &sortie, int w, int h)
{
    const auto mf = Metafile::load(QString::fromStdString(chemin));
    if (!mf) {
        std::cerr << "cannot read " << chemin << '\n';
        return 1;
    }
    if (w == 0) {
        w = 1200;
        h = static_cast<int>(1200 * mf->frame().height() / mf->frame().width());
    }
    return mf->toImage(QSize(w, h)).save(QString::fromStdString(sortie)) ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() >= 3 && a[1] == "drawing")
        return dessin(a[0], a[2], std::vector<std::string>(a.begin() + 3, a.end()));
    if (a.size() == 4 && a[1] == "grid")
        return image(a[0] + "/descripteurs/" + a[2], a[3], 0, 0);
    if (a.size() == 6 && a[1] == "picture")
        return image(a[2], a[3], std::stoi(a[4]), std::stoi(a[5]));
    std::cerr << "usage: tarvenko-sample-preview ROOT drawing OUT.png [ID_CARAC...]\n"
                 "       tarvenko-sample-preview ROOT grid POPUP OUT.png\n"
                 "       tarvenko-sample-preview ROOT picture FILE.wmf OUT.png WIDTH HEIGHT\n";
    return 2;
}
