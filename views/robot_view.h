#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

namespace tarvenko {

struct KeyModel;
class Picture;

// Shows the schematic drawing: the layers of the key model's Robots, bottom first, each stretched
// over the whole box, and (for the large drawing) the Nb_Contradictions overlays above them. Only
// the left button clicks. The layers are played once per size or answer into two images: the one
// painted, antialiased and at the screen's full resolution, rendered when the box is painted; and
// the one the colour under the mouse is read from, at the box's size in pixels without
// antialiasing, rendered only when a click or a hover asks for a colour, so every pixel read has
// exactly the colour of a part and never a blend of two.
class RobotView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RobotView)

public:
    explicit RobotView(QWidget *parent = nullptr);

    // The model whose Robots are drawn; `avecSurcouches` false draws the Nb_Robot layers only
    // (the thumbnail).
    void setModele(const KeyModel *m, bool avecSurcouches);
    // The layers changed: render again at the next paint.
    void invalide();

    // Colour of the part under a pixel of the box, red in the low byte; white outside.
    std::int32_t couleur(int x, int y);
    // The drawing as shown: the box's size times the device pixel ratio, which it carries.
    const QImage &image();
    // The drawing as the hit test reads it: the box's size, without antialiasing.
    const QImage &imageExacte();

Q_SIGNALS:
    void pressed(Qt::MouseButton button, QPointF position);
    void clicked();
    void moved(Qt::MouseButtons buttons, QPointF position);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    using Couches = std::vector<std::shared_ptr<const Picture>>;
    // Where the next rendering of the shown image may start again: the image of the layers an
    // answer left alone last time (an answer mostly changes the upper layers and the overlays).
    struct Reprise {
        QSize pixels;
        QImage base;      // `couches` played over white
        Couches couches;  // the layers under the one that changed last time
        Couches derniere; // the layers of the image last rendered
    };
    // `reprise`: the cache of `image`, or none.
    void rend(QImage &image, QSize taille, qreal ratio, bool lisse, Reprise *reprise) const;

    const KeyModel *m_modele = nullptr;
    bool m_avecSurcouches = true;
    bool m_valide = false;
    bool m_exacteValide = false;
    bool m_appuiDedans = false;
    QImage m_image;
    QImage m_exacte;
    Reprise m_reprise;
};

} // namespace tarvenko
