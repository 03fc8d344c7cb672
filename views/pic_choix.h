#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/drawn_grid.h"
#include "layout/disposition.h"
#include "platform/metafile/metafile.h"

namespace tarvenko {

struct KeyModel;
class ListeEtatsView;

// Geometry of the grid of state pictures: `lignes` rows by `colonnes` columns over a box.

// The cell under a point of a box of the given size: floor of the position over the cell size,
// so a point on a boundary belongs to the cell to the right or below.
int Case_Sous(double x, double y, double largeur, double hauteur, int colonnes, int lignes);

// The outline of cell k in twips, for a box of W x H twips and a pen `epaisseur` pixels wide: in
// the last column and row the outline is pulled in so that the whole pen stays inside the box.
RectTwips Rectangle_Case(int k, double W, double H, int colonnes, int lignes, int epaisseur, double twipsParPixelX,
                         double twipsParPixelY);

// The new selection after a click on cell k: a click on the chosen cell withdraws the choice
// (-1), any other cell becomes the choice. A cell beyond the character's states is ignored.
std::int16_t Choisit_Case(std::int16_t selection, int k, int nbCar);

// The cell reached from cell k by an arrow key (dx, dy: -1, 0 or 1) in a grid of `colonnes`
// columns whose first `nbCar` cells hold states: k itself at an edge or before a cell without a
// state.
int Case_Voisine(int k, int dx, int dy, int colonnes, int nbCar);

// One cell of a grid the program draws itself: the state's name and, where the key gives one,
// its picture.
struct CaseDessinee {
    QString nom;
    QImage image;                     // a picture Qt reads
    std::optional<Metafile> metafile; // or a metafile
};

// The cells of the question open in `m` (its Descripteur_Courant): each state's TipText (its
// ID_CARAC when it has none) and the picture Images_Etats names, read from Chemin_Descripteurs.
// A picture that cannot be read leaves the cell with its name alone.
std::vector<CaseDessinee> Cases_Dessinees(const KeyModel &m);

// Whether a drawn grid of `cases` cells over a box of `largeur` x `hauteur` pixels names its
// states legibly: every cell at least 64 pixels wide and 32 high. A question with more states is
// shown as a list (ListeEtatsView) in the grid's place.
bool Grille_Lisible(int cases, int lignes, int colonnes, double largeur, double hauteur);

// Draws a grid of such cells over `zone`: in each cell, within a margin, the picture scaled to
// fit without changing its shape and the name below it, or the name alone, larger, centred.
// Nothing is drawn under the cells, so the caller chooses their background.
void Dessine_Grille(QPainter &painter, const QRectF &zone, DispositionGrille grille, const std::vector<CaseDessinee> &cases,
                    const QFont &police);

// The box Pic_Choix: the picture of a character's states as a grid, the chosen cell outlined in
// blue, each cell's state named in its tool tip. From the keyboard, the arrows move a dashed
// outline between the cells, Space or Enter choose the cell under it as a click does, Enter on
// the chosen cell validates and Escape leaves. Its accessible name is the state under the
// keyboard's outline and whether it is chosen, in the interface language.
class PicChoixView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PicChoixView)

public:
    static constexpr int kEpaisseur = 3; // pen width of the outline, in pixels

    explicit PicChoixView(QWidget *parent = nullptr);

    // The model whose Descripteur_Courant gives the grid and holds the selection.
    void setModele(KeyModel *m);
    void setImage(Metafile picture);
    const Metafile &picture() const { return m_picture; }
    // The picture at the box's size and the screen's full resolution, played once per picture,
    // size or device pixel ratio; a click that moves the outline repaints from it.
    const QImage &imageLisse();
    // A question without a picture of its own: the program draws its grid from these cells, one
    // per state, laid out by Disposition_Grille for the box's size.
    void setGrilleDessinee(std::vector<CaseDessinee> cases);
    bool grilleDessinee() const { return m_dessinee; }
    // The drawn grid's states as a list, shown instead of the grid while the box is too small to
    // name them legibly (Grille_Lisible); hidden otherwise.
    ListeEtatsView *listeEtats() const { return m_listeEtats; }
    bool enListe() const { return m_enListe; }
    // The rows and columns the clicks, the outline and the keys go by: the question's, or those
    // of the drawn grid at the box's present size.
    DispositionGrille grille() const;
    // The drawn grid over `zone` of another device (a printed page), the chosen cell marked.
    void dessineGrille(QPainter &painter, const QRectF &zone) const;

    // Name of the state under a point (the Caracteres TipText), empty outside the states.
    QString Bulle_Case(double x, double y) const;
    // Name of the state of cell k, empty outside the states.
    QString Bulle(int k) const;

    // The cell under the keyboard's outline (-1: none).
    int caseClavier() const { return m_case; }
    // Names the cell under the outline for screen readers, in the interface language (again
    // after the language changed).
    void nommeCase();

Q_SIGNALS:
    void selectionChanged(std::int16_t selection);
    // The keyboard's outline moved to a cell; `bulle` names its state.
    void caseClavierChanged(int k, const QString &bulle);
    // Enter on the chosen cell, and Escape.
    void valide();
    void quitte();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void nouvelleQuestion();
    // Shows the list or the grid, whichever the box's size calls for.
    void placeListe(bool nouvelle);
    void placeCase(int k);
    void choisit(int k);

    KeyModel *m_modele = nullptr;
    Metafile m_picture;
    bool m_dessinee = false;
    std::vector<CaseDessinee> m_cases;
    QImage m_image;
    bool m_imageValide = false;
    int m_Choix_X = 0;
    int m_Choix_Y = 0;
    bool m_appui = false;
    int m_case = -1; // the cell under the keyboard's outline
    ListeEtatsView *m_listeEtats = nullptr;
    bool m_enListe = false;
};

} // namespace tarvenko
