#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>

#include "layout/disposition.h"
#include "platform/metafile/metafile.h"

namespace tarvenko {

struct KeyModel;

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

    // Name of the state under a point (the Caracteres TipText), empty outside the states.
    QString Bulle_Case(double x, double y) const;
    // Name of the state of cell k, empty outside the states.
    QString Bulle(int k) const;

    // The cell under the keyboard's outline (-1: none).
    int caseClavier() const { return m_case; }

Q_SIGNALS:
    void selectionChanged(std::int16_t selection);
    // The keyboard's outline moved to a cell; `bulle` names its state.
    void caseClavierChanged(int k, const QString &bulle);
    // Enter on the chosen cell, and Escape.
    void valide();
    void quitte();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // The picture at the box's size and the screen's full resolution, played once per picture,
    // size or device pixel ratio; a click that moves the outline repaints from it.
    const QImage &imageLisse();

    void placeCase(int k);
    void choisit(int k);
    void nommeCase();

    KeyModel *m_modele = nullptr;
    Metafile m_picture;
    QImage m_image;
    bool m_imageValide = false;
    int m_Choix_X = 0;
    int m_Choix_Y = 0;
    bool m_appui = false;
    int m_case = -1; // the cell under the keyboard's outline
};

} // namespace tarvenko
