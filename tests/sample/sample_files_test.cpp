// The shipped files: regenerated from the sources they are byte for byte the same; the drawing's
// colours and zones lead to the right questions; the GIF writer round-trips; the documents link up.
#include <QGuiApplication>
#include <QColor>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string_view>

#include "engine/drawing_layers.h"
#include "engine/zone_scan.h"
#include "knowledge/palette.h"
#include "platform/metafile/metafile.h"
#include "platform/metafile/metafile_picture.h"
#include "platform/metafile/palette_sampling.h"
#include "knowledge/file_lookup.h"
#include "knowledge/key_texts.h"
#include "sample_base.h"
#include "support/temp_dir.h"
#include "tools/sample/dessin.h"
#include "tools/sample/grilles.h"
#include "tools/sample/pages.h"
#include "tools/sample/rendu.h"

namespace tarvenko::test {
namespace {

namespace fs = std::filesystem;

// Text rendering needs the application object.
class AvecApplication : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char nom[] = "tarvenko_sample_tests";
        static char *argv[] = {nom, nullptr};
        if (!QGuiApplication::instance())
            m_app = std::make_unique<QGuiApplication>(argc, argv);
    }
    // Before the end of the program: Qt must not outlive its own static data.
    void TearDown() override { m_app.reset(); }
    std::unique_ptr<QGuiApplication> m_app;
};
const auto *const kEnvironnement = ::testing::AddGlobalTestEnvironment(new AvecApplication);

std::string lit(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::map<std::string, fs::path> fichiers(const fs::path &racine)
{
    std::map<std::string, fs::path> f;
    for (const auto &e : fs::recursive_directory_iterator(racine))
        if (e.is_regular_file())
            f[fs::relative(e.path(), racine).generic_string()] = e.path();
    return f;
}

TEST(SampleFiles, regeneratingFromTheSourcesGivesTheShippedFilesByteForByte)
{
    TempDir dir;
    const std::string commande = std::string("\"") + TARVENKO_SAMPLE_KB_PROGRAM + "\" \"" + TARVENKO_SAMPLE_SOURCES_DIR + "\" \"" +
                                 dir.dossier() + "kb\" 2>/dev/null";
    ASSERT_EQ(std::system(commande.c_str()), 0) << commande;
    const auto attendus = fichiers(dossierEchantillon()), obtenus = fichiers(dir.dossier() + "kb");
    std::vector<std::string> noms, nomsObtenus;
    for (const auto &[n, p] : attendus)
        noms.push_back(n);
    for (const auto &[n, p] : obtenus)
        nomsObtenus.push_back(n);
    ASSERT_EQ(noms, nomsObtenus);
    for (const auto &[n, p] : attendus)
        EXPECT_TRUE(lit(p) == lit(obtenus.at(n))) << n << " differs from what the sources give";
}

// The drawing as the program shows it at a given size, after some answers, with the palette
// sampled from the colour chart the way start-up samples it.
struct Dessin {
    KeyModel m = chargeEchantillon();
    QImage image;

    Dessin(const std::vector<std::string> &reponses, int w, int h, int langue = 0)
    {
        m.Num_Langue = static_cast<std::int16_t>(langue);
        for (const std::string &r : reponses)
            repond(m, m.Base_Donnees.caractereParId(r)->NUM);
        const auto charge = [](const std::string &chemin) -> std::shared_ptr<const Picture> {
            return MetafilePicture::load(QString::fromStdString(resoutChemin(chemin)));
        };
        EXPECT_FALSE(Choisit_Calques(m, charge).echec.has_value());
        image = QImage(w, h, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        for (const Robot &r : m.Robots)
            if (const auto *mf = dynamic_cast<const MetafilePicture *>(r.Image.get()))
                mf->metafile().play(p, QRectF(0, 0, w, h));
        p.end();
        const auto nuancier = Metafile::load(QString::fromStdString(m.Chemin_Data + "couleur.wmf"));
        Echantillonne_Palette(m, nuancier->toImage(QSize(40 * m.Nb_Couleurs, 30)));
    }

    // What a click at a point of the 2400 x 1800 space opens: a zone, else the colour under it.
    std::string clic(int x, int y)
    {
        const int px = x * image.width() / Largeur_Reference, py = y * image.height() / Hauteur_Reference;
        const ResultatZone r = Cherche_Zone(m, x, y, [&] { return Cherche_Couleur(m, couleurEcran(image.pixel(px, py))); });
        return r.cible ? r.objet : std::string("(nothing)");
    }
};

TEST(SampleDrawing, partsOpenTheirQuestionsAtAnySize)
{
    for (const auto &[w, h] : {std::pair{800, 600}, std::pair{1440, 1080}}) {
        Dessin d({}, w, h);
        EXPECT_EQ(d.clic(690, 600), "PORT") << w;      // the crown
        EXPECT_EQ(d.clic(690, 1500), "ECORCE") << w;   // the trunk
        EXPECT_EQ(d.clic(235, 1500), "ECORCE") << w;   // the bark detail, bark not answered yet
        EXPECT_EQ(d.clic(900, 60), "HABITAT") << w;    // the sky
        EXPECT_EQ(d.clic(1100, 1700), "HABITAT") << w; // the meadow
        EXPECT_EQ(d.clic(1290, 800), "HAUTEUR") << w;  // the height scale
        EXPECT_EQ(d.clic(1800, 800), "FEUILLE") << w;  // the leaf card
        EXPECT_EQ(d.clic(1455, 75), "PERSISTANCE") << w;
        EXPECT_EQ(d.clic(1450, 1760), "FRUIT") << w;   // the fruit card
        EXPECT_EQ(d.clic(1750, 1520), "FRUIT_COULEUR") << w;
        EXPECT_EQ(d.clic(1640, 1705), "FRUIT_TAILLE") << w;
        EXPECT_EQ(d.clic(2300, 1000), "RAMEAU") << w;  // the twig card
        EXPECT_EQ(d.clic(2140, 1208), "BOURGEON") << w;
    }
}

// The rectangle of a card's title band in pixels of an image w x h, `marge` pixels wider all round.
QRect enPixels(const sample::BandeTitre &b, int w, int h, int marge)
{
    const auto x = [&](double v) { return static_cast<int>(v * w / sample::kLargeur); };
    const auto y = [&](double v) { return static_cast<int>(v * h / sample::kHauteur); };
    return QRect(QPoint(x(b.x1), y(b.y1)), QPoint(x(b.x2), y(b.y2))).adjusted(-marge, -marge, marge, marge);
}

// The landscape files hold the cards' titles: in French and Spanish they are other files, which
// differ from the English ones in the titles and nowhere else.
TEST(SampleDrawing, theLandscapeInFrenchAndSpanishDiffersFromTheEnglishOnlyInTheCardsTitles)
{
    const sample::Sources s = sample::litSources(TARVENKO_SAMPLE_SOURCES_DIR);
    const int w = 1200, h = 900;
    int fichiers = 0;
    for (const sample::Calque &c : s.calques) {
        if (c.couche != 0)
            continue;
        ++fichiers;
        const std::string anglais = dossierEchantillon() + "robot/00/" + c.fichier;
        const auto original = Metafile::load(QString::fromStdString(anglais));
        ASSERT_TRUE(original.has_value()) << anglais;
        const QImage en = original->toImage(QSize(w, h));
        for (const char *langue : {"fr", "es"}) {
            const std::string chemin = resoutCheminLangue(anglais, langue);
            ASSERT_NE(chemin, anglais) << c.fichier << " has no file in " << langue;
            const auto traduit = Metafile::load(QString::fromStdString(chemin));
            ASSERT_TRUE(traduit.has_value()) << chemin;
            const QImage image = traduit->toImage(QSize(w, h));
            std::map<std::string, int> changes;
            int ailleurs = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    if (image.pixel(x, y) == en.pixel(x, y))
                        continue;
                    const auto bandes = sample::bandesTitres();
                    const auto b = std::find_if(bandes.begin(), bandes.end(),
                                                [&](const sample::BandeTitre &t) { return enPixels(t, w, h, 1).contains(x, y); });
                    if (b == bandes.end())
                        ++ailleurs;
                    else
                        ++changes[b->carte];
                }
            EXPECT_EQ(ailleurs, 0) << chemin;
            for (const char *carte : {"leaf", "fruit", "twig"})
                EXPECT_GT(changes[carte], 100) << chemin << ": the " << carte << " card keeps its English title";
        }
    }
    EXPECT_EQ(fichiers, 7);
}

// In every language the title is written in a shade that opens the card's own question, and
// inside its band.
TEST(SampleDrawing, theCardsTitlesOpenTheirCardsQuestionsInEachLanguage)
{
    const sample::Sources s = sample::litSources(TARVENKO_SAMPLE_SOURCES_DIR);
    const std::map<std::string, std::string> objets = {{"leaf", "FEUILLE"}, {"fruit", "FRUIT"}, {"twig", "RAMEAU"}};
    for (int langue : {0, 1, 2}) {
        Dessin d({}, 1200, 900, langue);
        for (const sample::BandeTitre &b : sample::bandesTitres()) {
            const std::string titre = s.titresCartes(std::string(Code_Langue(langue))).at(b.carte);
            EXPECT_GE(sample::hauteurTitre(b, titre), 0.7 * sample::kTitre) << titre;
            const QRect r = enPixels(b, 1200, 900, 0);
            std::map<std::string, int> ouvre;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    ++ouvre[d.clic(x * Largeur_Reference / 1200, y * Hauteur_Reference / 900)];
            EXPECT_EQ(ouvre.size(), 1u) << titre << ": " << ::testing::PrintToString(ouvre);
            EXPECT_EQ(ouvre.begin()->first, objets.at(b.carte)) << titre;
        }
    }
}

TEST(SampleDrawing, answersBringTheirOwnParts)
{
    Dessin large({"FT_LARGE", "CO_SIMPLE", "EC_ECAILLES"}, 1200, 900);
    EXPECT_EQ(large.clic(1700, 430), "FORME");    // the blade, between two veins
    EXPECT_EQ(large.clic(1770, 760), "PETIOLE");  // its stalk
    EXPECT_EQ(large.clic(2250, 135), "MARGE");    // the four details beside it
    EXPECT_EQ(large.clic(2250, 345), "BASE");
    EXPECT_EQ(large.clic(2250, 555), "DISPOSITION");
    EXPECT_EQ(large.clic(2250, 765), "LOBES");
    EXPECT_EQ(large.clic(1550, 75), "TEXTURE");
    EXPECT_EQ(large.clic(235, 1500), "ECORCE_COULEUR"); // bark answered: the detail asks its colour

    Dessin aiguilles({"FT_AIGUILLE", "AI_PAR2", "FR_CONE"}, 1200, 900);
    EXPECT_EQ(aiguilles.clic(2250, 135), "AIG_FORME");
    EXPECT_EQ(aiguilles.clic(2250, 345), "AIG_ATTACHE");
    EXPECT_EQ(aiguilles.clic(2250, 555), "TAILLE");
    EXPECT_EQ(aiguilles.clic(2250, 765), "FEUILLE"); // no lobes on needles
    EXPECT_EQ(aiguilles.clic(690, 300), "PORT");
    EXPECT_EQ(aiguilles.clic(1650, 1200), "CONE_FORME");
    // The constrained object asks the needle length under needles, the leaf length otherwise.
    EXPECT_EQ(*aiguilles.m.Base_Donnees.objet("TAILLE")->Contrainte, "FT_AIGUILLE");
}

TEST(SampleDrawing, theSprayOfNeedlesOrScalesOpensTheirQuestionsWhereverItIsClicked)
{
    // Every pixel that the leaf card's picture paints (1440-2100 x 130-870) over the card.
    const std::vector<std::vector<std::string>> reponses = {
        {"FT_AIGUILLE"}, {"FT_AIGUILLE", "AI_ISOLEES"}, {"FT_AIGUILLE", "AI_PAR2"}, {"FT_AIGUILLE", "AI_PAR3"},
        {"FT_AIGUILLE", "AI_PAR5"}, {"FT_AIGUILLE", "AI_TOUFFES"}, {"FT_AIGUILLE", "AI_VERTICILLE"},
        {"FT_ECAILLE"}, {"FT_ECAILLE", "SC_PLATES"}, {"FT_ECAILLE", "SC_RONDES"}, {"FT_ECAILLE", "SC_PLUMEUSES"}};
    for (const auto &r : reponses) {
        Dessin d(r, 1200, 900); // two reference units a pixel
        const int groupe = d.m.Base_Donnees.objet("AIGUILLES")->Cadre.value_or(-2);
        const QRgb carte = d.image.pixel(1420 / 2, 500 / 2);
        std::map<std::string, int> ailleurs;
        int peints = 0;
        for (int y = 130; y < 870; y += 2)
            for (int x = 1440; x < 2100; x += 2) {
                if (d.image.pixel(x / 2, y / 2) == carte)
                    continue;
                ++peints;
                const std::string o = d.clic(x, y);
                const ObjetRow *row = d.m.Base_Donnees.objet(o);
                if (!row || row->Cadre != groupe)
                    ++ailleurs[o];
            }
        EXPECT_GT(peints, 2000) << r.back();
        EXPECT_TRUE(ailleurs.empty()) << r.back() << ": " << ::testing::PrintToString(ailleurs);
    }
    // The twig that carries the needles is part of the spray.
    Dessin d({"FT_AIGUILLE", "AI_PAR3"}, 1200, 900);
    EXPECT_EQ(d.clic(1770, 522), "AIGUILLES");
}

TEST(SampleDrawing, paletteColoursAreFarApartAndTheChartShowsThemInOrder)
{
    KeyModel m = chargeEchantillon();
    const auto nuancier = Metafile::load(QString::fromStdString(m.Chemin_Data + "couleur.wmf"));
    ASSERT_TRUE(nuancier.has_value());
    Echantillonne_Palette(m, nuancier->toImage(QSize(10 * m.Nb_Couleurs, 10)));
    for (std::size_t i = 0; i < m.Couleur_Valeur.size(); ++i)
        for (std::size_t j = i + 1; j < m.Couleur_Valeur.size(); ++j) {
            const auto a = m.Couleur_Octets[i], b = m.Couleur_Octets[j];
            const double d = std::hypot(std::hypot(a.red - b.red, a.green - b.green), a.blue - b.blue);
            EXPECT_GE(d, 40.0) << m.Code_Couleur[i] << " and " << m.Code_Couleur[j];
        }
}

// The picture of one state of a question grid, drawn alone on a grid-sized page, at half size.
QImage imageEtat(const sample::LigneObjet &o, std::size_t k)
{
    sample::Toile t(sample::kGrilleL, sample::kGrilleH);
    const sample::CaseGrille c = sample::caseGrille(o, k);
    t.boite(c.imageX, c.imageY, c.cote, c.cote);
    sample::dessineEtat(t, sample::ThemeNaturel{}, o.ligne, o.etats[k].cle);
    return sample::rend(t, sample::kGrilleL / 2, sample::kGrilleH / 2);
}

TEST(SampleGrids, everyStatePictureStaysInsideItsCardAboveItsName)
{
    const sample::Sources s = sample::litSources(TARVENKO_SAMPLE_SOURCES_DIR);
    for (const sample::LigneObjet &o : s.objets)
        for (std::size_t k = 0; k < o.etats.size(); ++k) {
            const QImage image = imageEtat(o, k);
            QRect dessin;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                        dessin |= QRect(x, y, 1, 1);
            const sample::CaseGrille c = sample::caseGrille(o, k);
            // In pixels of the half-size page: the frame's line, and the top of the name's capitals.
            const QRectF carte(QPointF(c.x1 / 2, c.y1 / 2), QPointF(c.x2 / 2, (c.nom.y - 0.75 * c.texte) / 2));
            const std::string quoi = o.ligne + " " + o.etats[k].cle;
            ASSERT_FALSE(dessin.isEmpty()) << quoi;
            EXPECT_TRUE(carte.contains(QRectF(dessin))) << quoi << ": drawn over " << dessin.left() << "," << dessin.top() << " - "
                                                        << dessin.right() << "," << dessin.bottom() << ", card " << carte.left()
                                                        << "," << carte.top() << " - " << carte.right() << "," << carte.bottom();
        }
}

// Every state's name as the grids of each language draw it: inside its card and below its
// picture, and at no less than three fifths of the cell's type height, so that it stays legible.
TEST(SampleGrids, everyStateNameFitsItsCellInEachLanguage)
{
    const sample::Sources s = sample::litSources(TARVENKO_SAMPLE_SOURCES_DIR);
    for (const sample::LigneObjet &o : s.objets) {
        if (!o.partage.empty())
            continue;
        for (const char *langue : {"en", "fr", "es"}) {
            sample::Toile t(sample::kGrilleL, sample::kGrilleH);
            for (std::size_t k = 0; k < o.etats.size(); ++k)
                sample::dessineNom(t, sample::caseGrille(o, k), o.etats[k].nom.at(langue));
            // At half size, names alone on the page.
            const QImage image = sample::rend(t, sample::kGrilleL / 2, sample::kGrilleH / 2);
            const double cellW = static_cast<double>(sample::kGrilleL) / o.colonnes / 2;
            const double cellH = static_cast<double>(sample::kGrilleH) / o.lignes / 2;
            for (std::size_t k = 0; k < o.etats.size(); ++k) {
                const std::string &nom = o.etats[k].nom.at(langue);
                const std::string quoi = o.ligne + " " + langue + " \"" + nom + "\"";
                const sample::CaseGrille c = sample::caseGrille(o, k);
                // Whatever is drawn in the cell's share of the page.
                const int x0 = static_cast<int>(cellW * static_cast<double>(k % static_cast<std::size_t>(o.colonnes)));
                const int y0 = static_cast<int>(cellH * static_cast<double>(k / static_cast<std::size_t>(o.colonnes)));
                QRect dessin;
                for (int y = y0; y < std::min(image.height(), y0 + static_cast<int>(cellH)); ++y)
                    for (int x = x0; x < std::min(image.width(), x0 + static_cast<int>(cellW)); ++x)
                        if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                            dessin |= QRect(x, y, 1, 1);
                ASSERT_FALSE(dessin.isEmpty()) << quoi;
                const QRectF place(QPointF(c.x1 / 2, (c.imageY + c.cote) / 2), QPointF(c.x2 / 2, c.y2 / 2));
                EXPECT_TRUE(place.contains(QRectF(dessin)))
                    << quoi << ": drawn over " << dessin.left() << "," << dessin.top() << " - " << dessin.right() << ","
                    << dessin.bottom() << ", room " << place.left() << "," << place.top() << " - " << place.right() << ","
                    << place.bottom();
                EXPECT_GE(sample::placeNom(c, nom).taille, 0.6 * c.texte) << quoi;
            }
        }
    }
}

// The program shows the grid of the interface language where the key has one: the bundled key has
// them in French and Spanish, beside every English one.
TEST(SampleGrids, everyQuestionHasItsGridInFrenchAndSpanish)
{
    const KeyModel m = chargeEchantillon();
    for (const ObjetRow &o : m.Base_Donnees.Objets_Fic.rows) {
        const std::string grille = dossierEchantillon() + "descripteurs/" + o.Popup.value_or("?");
        for (const char *langue : {"fr", "es"}) {
            const std::string chemin = resoutCheminLangue(grille, langue);
            EXPECT_NE(chemin, resoutChemin(grille)) << grille << " " << langue;
            const auto picture = Metafile::load(QString::fromStdString(chemin));
            EXPECT_TRUE(picture && !picture->isEmpty()) << chemin;
        }
    }
}

TEST(SampleGrids, fruitSizePicturesShowNoParticularKindOfFruit)
{
    // The size is asked of cones and berries as much as of apples: its pictures share no colour
    // with the pictures of the kinds of fruit.
    const sample::Sources s = sample::litSources(TARVENKO_SAMPLE_SOURCES_DIR);
    const auto couleurs = [&](const std::string &ligne) {
        std::set<QRgb> c;
        const sample::LigneObjet &o = s.ligne(ligne);
        for (std::size_t k = 0; k < o.etats.size(); ++k) {
            const QImage image = imageEtat(o, k);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    c.insert(image.pixel(x, y) & 0xFFFFFF);
        }
        c.erase(0xFFFFFF);
        return c;
    };
    const std::set<QRgb> genres = couleurs("FRUIT"), tailles = couleurs("FRUIT_TAILLE");
    std::vector<std::string> communes;
    for (QRgb c : tailles)
        if (genres.count(c))
            communes.push_back(QColor(c).name().toStdString());
    EXPECT_TRUE(communes.empty()) << ::testing::PrintToString(communes);
}

TEST(SampleGif, encodedImagesDecodeToTheSamePixels)
{
    std::mt19937 alea(7);
    for (const auto &[w, h, couleurs] : {std::tuple{1, 1, 1}, std::tuple{37, 23, 3}, std::tuple{640, 480, 200}, std::tuple{300, 200, 256}}) {
        QImage image(w, h, QImage::Format_RGB32);
        std::vector<QRgb> table;
        for (int i = 0; i < couleurs; ++i)
            table.push_back(qRgb(static_cast<int>(alea() % 256), static_cast<int>(alea() % 256), static_cast<int>(alea() % 256)));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) { // runs and noise, so that the code table fills and restarts
                const auto bruit = alea() % 5 == 0 ? alea() % static_cast<unsigned>(couleurs) : 0u;
                image.setPixel(x, y, table[(static_cast<unsigned>(x / 7 + y * 3) + bruit) % static_cast<unsigned>(couleurs)]);
            }
        const auto octets = sample::gif(image);
        QImage lu;
        ASSERT_TRUE(lu.loadFromData(reinterpret_cast<const uchar *>(octets.data()), static_cast<int>(octets.size()), "GIF")) << w << "x" << h;
        ASSERT_EQ(lu.size(), image.size());
        const QImage a = image.convertToFormat(QImage::Format_RGB32), b = lu.convertToFormat(QImage::Format_RGB32);
        int differents = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                differents += (a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF);
        EXPECT_EQ(differents, 0) << w << "x" << h << ", " << couleurs << " colours";
    }
}

TEST(SampleDocuments, everySpeciesHasItsPagesDrawingAndPlate)
{
    const KeyModel m = chargeEchantillon();
    int traduites = 0;
    for (const FloreRow &f : m.Base_Donnees.Flore.rows) {
        std::string code = *f.Code;
        for (char &c : code)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const fs::path dossier = fs::path(dossierEchantillon()) / "documents" / code.substr(0, 1) / code;
        const std::string page = lit(dossier / (code + "_en.html"));
        ASSERT_FALSE(page.empty()) << code;
        EXPECT_NE(page.find("href=\"dessin_" + code + "_en.html\""), std::string::npos) << code;
        const std::string dessin = lit(dossier / ("dessin_" + code + "_en.html"));
        EXPECT_NE(dessin.find("left: 12px; top: 72px; width: 550px; height: 825px"), std::string::npos) << code;
        EXPECT_NE(dessin.find("src=\"" + code + ".gif\""), std::string::npos) << code;
        EXPECT_EQ(QImageReader(QString::fromStdString((dossier / (code + ".gif")).string())).size(), QSize(2200, 3300)) << code;
        if (fs::exists(dossier / (code + "_fr.html")) && fs::exists(dossier / (code + "_es.html"))) {
            ++traduites;
            for (const char *l : {"en", "fr", "es"}) {
                const std::string p = lit(dossier / (code + "_" + l + ".html"));
                for (const char *autre : {"en", "fr", "es"}) {
                    if (std::string(autre) != l) {
                        EXPECT_NE(p.find(code + "_" + autre + ".html"), std::string::npos) << code << " " << l << " -> " << autre;
                    }
                }
            }
        }
    }
    EXPECT_GE(traduites, 12);
}

// The species sections of one pages_<l>.txt in the order they stand in the file.
std::vector<std::string> sectionsDansLOrdre(const std::string &langue)
{
    std::vector<std::string> codes;
    std::istringstream in(lit(fs::path(TARVENKO_SAMPLE_SOURCES_DIR) / ("pages_" + langue + ".txt")));
    for (std::string ligne; std::getline(in, ligne);)
        if (ligne.size() > 2 && ligne.front() == '[' && ligne.back() == ']' && ligne != "[*]")
            codes.push_back(ligne.substr(1, ligne.size() - 2));
    return codes;
}

TEST(SamplePageTexts, everySpeciesHasEveryEnglishFieldInEachLanguageInTheSpeciesOrder)
{
    const sample::Sources s = sample::litSources(TARVENKO_SAMPLE_SOURCES_DIR);
    std::vector<std::string> ordre;
    for (const sample::Espece &e : s.especes)
        ordre.push_back(e.code);
    for (const char *l : {"en", "fr", "es"}) {
        const sample::Textes &t = s.textes.at(l);
        for (const sample::Espece &e : s.especes) {
            ASSERT_TRUE(t.count(e.code)) << l << ": no page for " << e.code;
            for (const auto &[champ, anglais] : s.textes.at("en").at(e.code)) {
                const auto texte = t.at(e.code).find(champ);
                EXPECT_TRUE(texte != t.at(e.code).end() && !texte->second.empty()) << l << ": " << e.code << " has no " << champ;
            }
        }
        EXPECT_EQ(sectionsDansLOrdre(l), ordre) << l;
    }
}

// French sets a no-break space (U+00A0 or the narrow U+202F) before ; : ? ! so that they never
// start a line.
TEST(SamplePageTexts, frenchDoublePunctuationFollowsANoBreakSpace)
{
    const sample::Sources s = sample::litSources(TARVENKO_SAMPLE_SOURCES_DIR);
    const auto finitPar = [](const std::string &t, std::size_t fin, std::string_view suffixe) {
        return fin >= suffixe.size() && std::string_view(t).substr(fin - suffixe.size(), suffixe.size()) == suffixe;
    };
    for (const auto &[code, champs] : s.textes.at("fr")) {
        for (const auto &[champ, texte] : champs) {
            for (std::size_t i = texte.find_first_of(";:?!"); i != std::string::npos; i = texte.find_first_of(";:?!", i + 1)) {
                EXPECT_TRUE(finitPar(texte, i, "\xC2\xA0") || finitPar(texte, i, "\xE2\x80\xAF"))
                    << code << " " << champ << ": " << texte.substr(i >= 24 ? i - 24 : 0, 25);
            }
        }
    }
}

// The question texts of the key follow the same rules: French double punctuation after a
// no-break space, a Spanish question opened by "¿".
TEST(SamplePageTexts, questionsArePunctuatedAsTheirLanguageWantsIt)
{
    const sample::Sources s = sample::litSources(TARVENKO_SAMPLE_SOURCES_DIR);
    for (const sample::LigneObjet &o : s.objets) {
        const std::string &fr = o.question.at("fr");
        for (std::size_t i = fr.find_first_of(";:?!"); i != std::string::npos; i = fr.find_first_of(";:?!", i + 1))
            EXPECT_TRUE(i >= 2 && (fr.compare(i - 2, 2, "\xC2\xA0") == 0 || (i >= 3 && fr.compare(i - 3, 3, "\xE2\x80\xAF") == 0)))
                << o.ligne << ": " << fr;
        const std::string &es = o.question.at("es");
        std::size_t ouvre = 0, ferme = 0;
        for (std::size_t i = es.find("\xC2\xBF"); i != std::string::npos; i = es.find("\xC2\xBF", i + 1))
            ++ouvre;
        for (char c : es)
            ferme += c == '?';
        EXPECT_EQ(ouvre, ferme) << o.ligne << ": " << es;
        for (const char *l : {"en", "es"})
            EXPECT_EQ(o.question.at(l).find(" :"), std::string::npos) << o.ligne << ": " << o.question.at(l);
    }
}

// The text a reader sees of a page: tags dropped, the entities the generator writes as their
// characters.
std::string texteVisible(const std::string &html)
{
    std::string t;
    bool balise = false;
    for (char c : html.substr(html.find("<body>"))) {
        if (c == '<')
            balise = true;
        else if (c == '>')
            balise = false;
        else if (!balise)
            t += c;
    }
    for (const auto &[entite, texte] : {std::pair<std::string, std::string>{"&mdash;", "\xE2\x80\x94"}, {"&middot;", "\xC2\xB7"},
                                        {"&amp;", "&"}, {"&#39;", "'"}, {"&quot;", "\""}, {"&lt;", "<"}, {"&gt;", ">"}}) {
        for (std::size_t p; (p = t.find(entite)) != std::string::npos;)
            t.replace(p, entite.size(), texte);
    }
    return t;
}

// Every species page as a reader of its language reads it: French double punctuation after a
// no-break space, none before a colon or semicolon in English and Spanish, every Spanish "?"
// opened by "¿", the family named in the page's language.
TEST(SamplePageTexts, speciesPagesArePunctuatedAsTheirLanguageWantsIt)
{
    const sample::Sources s = sample::litSources(TARVENKO_SAMPLE_SOURCES_DIR);
    for (const sample::Espece &e : s.especes) {
        std::string latin = e.famille.substr(0, 1);
        for (std::size_t i = 1; i < e.famille.size(); ++i)
            latin += static_cast<char>(std::tolower(static_cast<unsigned char>(e.famille[i])));
        for (const char *l : sample::kLanguesDocuments) {
            if (!sample::aUnePage(s, e, l))
                continue;
            const std::string langue = l;
            const std::string t = texteVisible(sample::pageEspece(s, e, langue));
            for (std::size_t i = t.find_first_of(";:?!"); i != std::string::npos; i = t.find_first_of(";:?!", i + 1)) {
                const bool insecable = i >= 2 && (t.compare(i - 2, 2, "\xC2\xA0") == 0 || (i >= 3 && t.compare(i - 3, 3, "\xE2\x80\xAF") == 0));
                const std::string autour = t.substr(i >= 30 ? i - 30 : 0, 40);
                if (langue == "fr") {
                    EXPECT_TRUE(insecable) << e.code << " fr: " << autour;
                } else {
                    EXPECT_TRUE(t[i - 1] != ' ' && !insecable) << e.code << " " << l << ": " << autour;
                }
            }
            if (langue == "es") {
                std::istringstream lignes(t);
                for (std::string ligne; std::getline(lignes, ligne);) {
                    std::size_t ouvre = 0, ferme = 0;
                    for (std::size_t i = ligne.find("\xC2\xBF"); i != std::string::npos; i = ligne.find("\xC2\xBF", i + 1))
                        ++ouvre;
                    for (char c : ligne)
                        ferme += c == '?';
                    EXPECT_EQ(ouvre, ferme) << e.code << " es: " << ligne;
                }
            }
            if (langue != "en") {
                EXPECT_EQ(t.find(latin), std::string::npos) << e.code << " " << l << ": the family left in Latin, " << latin;
            }
        }
    }
    // One page read whole, in each language.
    const sample::Espece &chene = *std::find_if(s.especes.begin(), s.especes.end(), [](const auto &e) { return e.code == "QUERO"; });
    const std::string fr = texteVisible(sample::pageEspece(s, chene, "fr"));
    EXPECT_NE(fr.find("Chêne pédonculé \xE2\x80\x94 famille des Fagacées"), std::string::npos) << fr;
    EXPECT_NE(fr.find("Type de feuille\xC2\xA0: limbe large"), std::string::npos) << fr;
    EXPECT_NE(fr.find("Milieu\xC2\xA0: bois, haies\xC2\xA0; parcs, rues\xC2\xA0; sols humides"), std::string::npos) << fr;
    const std::string es = texteVisible(sample::pageEspece(s, chene, "es"));
    EXPECT_NE(es.find("familia de las Fagáceas"), std::string::npos) << es;
    EXPECT_NE(es.find("Disposición de las hojas: alternas"), std::string::npos) << es;
    const std::string en = texteVisible(sample::pageEspece(s, chene, "en"));
    EXPECT_NE(en.find("Leaf type: broad blade"), std::string::npos) << en;
}

} // namespace
} // namespace tarvenko::test
