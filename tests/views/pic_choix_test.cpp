#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QTest>

#include "knowledge/key_model.h"
#include "tests_vues.h"
#include "views/liste_etats.h"
#include "views/pic_choix.h"

using namespace tarvenko;

namespace {

// Length of the run of pixels of `couleur` that ends at (x, y), walking by (dx, dy).
int bande(const QImage &image, int x, int y, int dx, int dy, QRgb couleur)
{
    int n = 0;
    for (; image.valid(x, y) && image.pixel(x, y) == couleur; x += dx, y += dy)
        ++n;
    return n;
}

// The last pixel of `couleur` met going from (x, y) by (dx, dy), or none.
std::optional<QPoint> dernier(const QImage &image, int x, int y, int dx, int dy, QRgb couleur)
{
    std::optional<QPoint> trouve;
    for (; image.valid(x, y); x += dx, y += dy) {
        if (image.pixel(x, y) == couleur)
            trouve = QPoint(x, y);
    }
    return trouve;
}

// The bounding box of the pixels of `couleur` in `zone`.
QRect etendue(const QImage &image, const QRect &zone, QRgb couleur)
{
    QRect r;
    for (int y = zone.top(); y <= zone.bottom(); ++y)
        for (int x = zone.left(); x <= zone.right(); ++x)
            if (image.pixel(x, y) == couleur)
                r |= QRect(x, y, 1, 1);
    return r;
}

} // namespace

// The grid of state pictures: which cell a press falls in, where a cell's outline goes, and
// how a click changes the choice.
class GrilleEtatsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aPressFallsInTheCellUnderIt_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<double>("largeur");
        QTest::addColumn<double>("hauteur");
        QTest::addColumn<int>("colonnes");
        QTest::addColumn<int>("lignes");
        QTest::addColumn<int>("cellule");
        QTest::newRow("top left corner") << 0.0 << 0.0 << 300.0 << 200.0 << 3 << 2 << 0;
        QTest::newRow("just before a column boundary") << 99.9 << 0.0 << 300.0 << 200.0 << 3 << 2 << 0;
        QTest::newRow("on a column boundary: the cell to the right") << 100.0 << 0.0 << 300.0 << 200.0 << 3 << 2 << 1;
        QTest::newRow("on a row boundary: the cell below") << 0.0 << 100.0 << 300.0 << 200.0 << 3 << 2 << 3;
        QTest::newRow("on both boundaries: right and below") << 200.0 << 100.0 << 300.0 << 200.0 << 3 << 2 << 5;
        QTest::newRow("last pixel of the box") << 299.0 << 199.0 << 300.0 << 200.0 << 3 << 2 << 5;
        QTest::newRow("uneven cells: 33 of 33.3") << 33.0 << 0.0 << 100.0 << 50.0 << 3 << 1 << 0;
        QTest::newRow("uneven cells: 34 of 33.3") << 34.0 << 0.0 << 100.0 << 50.0 << 3 << 1 << 1;
        QTest::newRow("uneven cells: 67 of 66.7") << 67.0 << 0.0 << 100.0 << 50.0 << 3 << 1 << 2;
        QTest::newRow("one cell") << 150.0 << 100.0 << 300.0 << 200.0 << 1 << 1 << 0;
        QTest::newRow("right edge: outside") << 300.0 << 0.0 << 300.0 << 200.0 << 3 << 2 << -1;
        QTest::newRow("bottom edge: outside") << 0.0 << 200.0 << 300.0 << 200.0 << 3 << 2 << -1;
        QTest::newRow("left of the box") << -0.5 << 10.0 << 300.0 << 200.0 << 3 << 2 << -1;
        QTest::newRow("above the box") << 10.0 << -0.5 << 300.0 << 200.0 << 3 << 2 << -1;
        QTest::newRow("no columns") << 10.0 << 10.0 << 300.0 << 200.0 << 0 << 2 << -1;
        QTest::newRow("a box of no size") << 0.0 << 0.0 << 0.0 << 200.0 << 3 << 2 << -1;
    }
    void aPressFallsInTheCellUnderIt()
    {
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(double, largeur);
        QFETCH(double, hauteur);
        QFETCH(int, colonnes);
        QFETCH(int, lignes);
        QFETCH(int, cellule);
        QCOMPARE(Case_Sous(x, y, largeur, hauteur, colonnes, lignes), cellule);
    }

    void outlinesTileTheBoxAndKeepThePenInside_data()
    {
        QTest::addColumn<int>("largeurPixels");
        QTest::addColumn<int>("hauteurPixels");
        QTest::addColumn<int>("colonnes");
        QTest::addColumn<int>("lignes");
        QTest::addColumn<int>("epaisseur");
        QTest::addColumn<double>("twipsParPixel");
        QTest::newRow("2 x 2, pen of 3, 96 dpi") << 400 << 300 << 2 << 2 << 3 << 15.0;
        QTest::newRow("3 x 4 over odd sizes, 96 dpi") << 301 << 203 << 3 << 4 << 3 << 15.0;
        QTest::newRow("7 x 3, 120 dpi") << 500 << 211 << 7 << 3 << 3 << 12.0;
        QTest::newRow("one cell, pen of 1") << 120 << 80 << 1 << 1 << 1 << 15.0;
        QTest::newRow("one row, wide pen") << 640 << 90 << 5 << 1 << 6 << 15.0;
        QTest::newRow("one column, 144 dpi") << 90 << 640 << 1 << 5 << 3 << 10.0;
    }
    void outlinesTileTheBoxAndKeepThePenInside()
    {
        QFETCH(int, largeurPixels);
        QFETCH(int, hauteurPixels);
        QFETCH(int, colonnes);
        QFETCH(int, lignes);
        QFETCH(int, epaisseur);
        QFETCH(double, twipsParPixel);
        const double W = largeurPixels * twipsParPixel;
        const double H = hauteurPixels * twipsParPixel;
        const double pen = (epaisseur - 1) * twipsParPixel; // what the pen adds beyond its path
        for (int k = 0; k < colonnes * lignes; ++k) {
            const RectTwips c = Rectangle_Case(k, W, H, colonnes, lignes, epaisseur, twipsParPixel, twipsParPixel);
            const int colonne = k % colonnes;
            const int ligne = k / colonnes;
            const QByteArray cellule = "cell " + QByteArray::number(k);
            const char *ou = cellule.constData();
            QVERIFY2(c.left >= 0 && c.top >= 0 && c.width > 0 && c.height > 0, ou);
            if (colonne == 0)
                QVERIFY2(c.left == 0, ou);
            if (ligne == 0)
                QVERIFY2(c.top == 0, ou);
            if (colonne < colonnes - 1) {
                // Neighbours share their boundary.
                const RectTwips droite = Rectangle_Case(k + 1, W, H, colonnes, lignes, epaisseur, twipsParPixel, twipsParPixel);
                QVERIFY2(c.left + c.width == droite.left, ou);
            } else {
                // The last column is pulled in just enough for the whole pen width.
                QVERIFY2(c.left + c.width + pen <= W, ou);
                QVERIFY2(c.left + c.width + pen > W - twipsParPixel, ou);
            }
            if (ligne < lignes - 1) {
                const RectTwips dessous = Rectangle_Case(k + colonnes, W, H, colonnes, lignes, epaisseur, twipsParPixel, twipsParPixel);
                QVERIFY2(c.top + c.height == dessous.top, ou);
            } else {
                QVERIFY2(c.top + c.height + pen <= H, ou);
                QVERIFY2(c.top + c.height + pen > H - twipsParPixel, ou);
            }
        }
    }

    void theOutlineOfTheLastCellIsDrawnWhole_data()
    {
        QTest::addColumn<QSize>("taille");
        QTest::addColumn<int>("colonnes");
        QTest::addColumn<int>("lignes");
        QTest::newRow("2 x 2") << QSize(400, 300) << 2 << 2;
        QTest::newRow("3 x 4 over odd sizes") << QSize(301, 203) << 3 << 4;
        QTest::newRow("one cell") << QSize(120, 81) << 1 << 1;
    }
    void theOutlineOfTheLastCellIsDrawnWhole()
    {
        QFETCH(QSize, taille);
        QFETCH(int, colonnes);
        QFETCH(int, lignes);
        KeyModel m;
        Descripteur &d = m.Descripteur_Courant;
        d.Colonnes = static_cast<std::int16_t>(colonnes);
        d.Lignes = static_cast<std::int16_t>(lignes);
        d.Nb_Car = static_cast<std::int16_t>(colonnes * lignes);
        d.Selection = static_cast<std::int16_t>(colonnes * lignes - 1);
        PicChoixView box;
        box.setModele(&m);
        box.resize(taille);
        const QImage image = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(image.size(), taille);

        const QRgb bleu = qRgb(0, 0, 255);
        const int milieuX = taille.width() - taille.width() / colonnes / 2;
        const int milieuY = taille.height() - taille.height() / lignes / 2;
        // The right and bottom sides show the pen's full width: none of it falls outside the box.
        const std::optional<QPoint> droite = dernier(image, 0, milieuY, 1, 0, bleu);
        const std::optional<QPoint> bas = dernier(image, milieuX, 0, 0, 1, bleu);
        QVERIFY(droite && bas);
        QCOMPARE(bande(image, droite->x(), milieuY, -1, 0, bleu), PicChoixView::kEpaisseur);
        QCOMPARE(bande(image, milieuX, bas->y(), 0, -1, bleu), PicChoixView::kEpaisseur);
    }

    void aClickChoosesMovesOrWithdrawsTheChoice_data()
    {
        QTest::addColumn<int>("selection");
        QTest::addColumn<int>("cellule");
        QTest::addColumn<int>("nbCar");
        QTest::addColumn<int>("attendu");
        QTest::newRow("first choice") << -1 << 2 << 5 << 2;
        QTest::newRow("the chosen cell again: withdrawn") << 2 << 2 << 5 << -1;
        QTest::newRow("another cell: the choice moves") << 2 << 4 << 5 << 4;
        QTest::newRow("cell 0 after a withdrawal") << -1 << 0 << 5 << 0;
        QTest::newRow("a cell beyond the states: ignored") << 2 << 5 << 5 << 2;
        QTest::newRow("beyond the states, nothing chosen") << -1 << 6 << 5 << -1;
        QTest::newRow("outside the grid: ignored") << 3 << -1 << 5 << 3;
    }
    void aClickChoosesMovesOrWithdrawsTheChoice()
    {
        QFETCH(int, selection);
        QFETCH(int, cellule);
        QFETCH(int, nbCar);
        QFETCH(int, attendu);
        QCOMPARE(int(Choisit_Case(static_cast<std::int16_t>(selection), cellule, nbCar)), attendu);
    }

    void arrowKeysStayOnTheStates_data()
    {
        QTest::addColumn<int>("depuis");
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("dy");
        QTest::addColumn<int>("vers");
        // Three columns, seven states: the last row holds one state, cells 7 and 8 none.
        QTest::newRow("right") << 0 << 1 << 0 << 1;
        QTest::newRow("right at the edge") << 2 << 1 << 0 << 2;
        QTest::newRow("left at the edge") << 3 << -1 << 0 << 3;
        QTest::newRow("down") << 1 << 0 << 1 << 4;
        QTest::newRow("down onto the last state") << 3 << 0 << 1 << 6;
        QTest::newRow("down onto a cell without a state") << 4 << 0 << 1 << 4;
        QTest::newRow("right onto a cell without a state") << 6 << 1 << 0 << 6;
        QTest::newRow("up at the top") << 2 << 0 << -1 << 2;
        QTest::newRow("up") << 6 << 0 << -1 << 3;
    }
    void arrowKeysStayOnTheStates()
    {
        QFETCH(int, depuis);
        QFETCH(int, dx);
        QFETCH(int, dy);
        QTEST(Case_Voisine(depuis, dx, dy, 3, 7), "vers");
    }
    void aDrawnGridKeepsThePicturesShapeAndMarksTheChoice()
    {
        KeyModel m;
        Descripteur &d = m.Descripteur_Courant;
        d.Nb_Car = 3; // no layout of its own: two rows of two in a 4:3 box
        QImage large(80, 40, QImage::Format_RGB32);
        large.fill(qRgb(0, 200, 0));
        QImage haute(20, 60, QImage::Format_RGB32);
        haute.fill(qRgb(200, 0, 0));
        PicChoixView box;
        box.setModele(&m);
        box.resize(400, 300);
        box.setGrilleDessinee({{QStringLiteral("Wide"), large, {}}, {QStringLiteral("Tall"), haute, {}},
                               {QStringLiteral("Named only"), {}, {}}});
        QCOMPARE(box.grille().lignes, 2);
        QCOMPARE(box.grille().colonnes, 2);
        QCOMPARE(box.Bulle_Case(300, 50), QStringLiteral("Tall")); // tips name the cells as drawn
        QCOMPARE(box.Bulle_Case(300, 225), QString());

        QImage image = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect vert = etendue(image, image.rect(), qRgb(0, 200, 0));
        const QRect rouge = etendue(image, image.rect(), qRgb(200, 0, 0));
        // Each picture in its own cell, as large as the cell allows and in its own shape.
        QVERIFY2(QRect(0, 0, 200, 150).contains(vert) && vert.width() > 120, qPrintable(QDebug::toString(vert)));
        QVERIFY2(QRect(200, 0, 200, 150).contains(rouge) && rouge.height() > 60, qPrintable(QDebug::toString(rouge)));
        QVERIFY(std::abs(double(vert.width()) / vert.height() - 2.0) < 0.1);
        QVERIFY(std::abs(double(rouge.width()) / rouge.height() - 1.0 / 3) < 0.05);
        const QRgb fond = qRgb(225, 233, 255);
        QVERIFY(etendue(image, image.rect(), fond).isNull());

        // A click goes by the drawn layout, not by the question's missing one.
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(100, 225));
        QCOMPARE(d.Selection, std::int16_t{2});
        image = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(image.pixel(220, 170), qRgb(255, 255, 255)); // cell 3: no state, white
        QCOMPARE(image.pixel(20, 170), fond);                   // the chosen cell's ground
        QCOMPARE(image.pixel(1, 225), qRgb(0, 0, 255));         // and its outline
        QCOMPARE(image.pixel(20, 20), qRgb(255, 255, 255));
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(300, 225)); // a cell without a state
        QCOMPARE(d.Selection, std::int16_t{2});
    }
    void aGridTooSmallToNameItsStatesIsALegibleSize_data()
    {
        QTest::addColumn<int>("cases");
        QTest::addColumn<int>("lignes");
        QTest::addColumn<int>("colonnes");
        QTest::addColumn<double>("largeur");
        QTest::addColumn<double>("hauteur");
        QTest::addColumn<bool>("lisible");
        QTest::newRow("no state") << 0 << 0 << 0 << 10.0 << 10.0 << true;
        QTest::newRow("cells just large enough") << 4 << 2 << 2 << 128.0 << 64.0 << true;
        QTest::newRow("a pixel too narrow") << 4 << 2 << 2 << 127.0 << 64.0 << false;
        QTest::newRow("a pixel too low") << 4 << 2 << 2 << 128.0 << 63.0 << false;
        QTest::newRow("no layout") << 4 << 0 << 0 << 900.0 << 700.0 << false;
    }
    void aGridTooSmallToNameItsStatesIsALegibleSize()
    {
        QFETCH(int, cases);
        QFETCH(int, lignes);
        QFETCH(int, colonnes);
        QFETCH(double, largeur);
        QFETCH(double, hauteur);
        QTEST(Grille_Lisible(cases, lignes, colonnes, largeur, hauteur), "lisible");
    }
    // A question of hundreds of states is answered from a list with a search box, the grid
    // coming back when the box grows large enough for it.
    void manyStatesAreChosenFromAList()
    {
        KeyModel m;
        Descripteur &d = m.Descripteur_Courant;
        d.Nb_Car = 600;
        d.Selection = 250;
        std::vector<CaseDessinee> cases;
        for (int k = 0; k < d.Nb_Car; ++k)
            cases.push_back({QStringLiteral("Host %1 %2").arg(k).arg(k % 2 ? QStringLiteral("Acer") : QStringLiteral("Érable")), {}, {}});
        PicChoixView box;
        box.setModele(&m);
        box.resize(900, 600);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.setGrilleDessinee(cases);
        QVERIFY(box.enListe());
        ListeEtatsView *liste = box.listeEtats();
        QVERIFY(liste->isVisible());
        QCOMPARE(liste->liste()->model()->rowCount(), 600);
        QCOMPARE(liste->choisi(), 250); // the answer given is shown chosen
        box.setFocus();
        QVERIFY(liste->recherche()->hasFocus());

        QSignalSpy valide(&box, &PicChoixView::valide);
        QSignalSpy quitte(&box, &PicChoixView::quitte);
        QTest::keyClicks(liste->recherche(), QStringLiteral("erable 12"));
        QCOMPARE(liste->liste()->model()->rowCount(), 11); // 12, 112, 120 ... 512: even hosts only
        QCOMPARE(d.Selection, std::int16_t{250});           // the choice outlives the search
        QTest::keyClick(liste->recherche(), Qt::Key_Return);  // the choice is not in view: the first found
        QCOMPARE(d.Selection, std::int16_t{12});
        QCOMPARE(valide.count(), 0);
        QTest::keyClick(liste->recherche(), Qt::Key_Down);
        QVERIFY(liste->liste()->hasFocus());
        QCOMPARE(d.Selection, std::int16_t{12});
        QTest::keyClick(liste->liste(), Qt::Key_Down);
        QCOMPARE(d.Selection, std::int16_t{112}); // the keys choose as they move
        QCOMPARE(valide.count(), 0);
        QTest::keyClick(liste->liste(), Qt::Key_Return);
        QCOMPARE(valide.count(), 1);
        QTest::keyClick(liste->liste(), Qt::Key_Escape);
        QCOMPARE(quitte.count(), 1);

        // Escape in the box clears it first; then leaves.
        liste->recherche()->setFocus();
        QTest::keyClicks(liste->recherche(), QStringLiteral("zzz"));
        QCOMPARE(liste->liste()->model()->rowCount(), 0);
        QTest::keyClick(liste->recherche(), Qt::Key_Escape);
        QCOMPARE(liste->liste()->model()->rowCount(), 600);
        QCOMPARE(quitte.count(), 1);

        // A few states: the grid again; the list hidden.
        d.Nb_Car = 3;
        d.Selection = -1;
        box.setGrilleDessinee({cases.begin(), cases.begin() + 3});
        QVERIFY(!box.enListe());
        QVERIFY(!liste->isVisible());
        // Many states in a box that grows: the grid once the cells are legible.
        d.Nb_Car = 40;
        box.setGrilleDessinee({cases.begin(), cases.begin() + 40});
        box.resize(300, 200);
        QVERIFY(box.enListe());
        box.resize(1600, 1200);
        QVERIFY(!box.enListe());
    }
};

std::unique_ptr<QObject> tests_vues::grilleEtats() { return std::make_unique<GrilleEtatsTest>(); }

#include "pic_choix_test.moc"
