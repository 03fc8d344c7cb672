#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>

namespace tarvenko {

struct KeyModel;

// Shows the schematic drawing: the layers of the key model's Robots, bottom first, each stretched
// over the whole box, and (for the large drawing) the Nb_Contradictions overlays above them. Only
// the left button clicks. The
// layers are played once into an image of the box's size without antialiasing; painting shows
// that image, and the colour under the mouse is read from it, so what is read is what is seen.
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

    // Colour of a pixel of the drawing as shown, red in the low byte; white outside.
    std::int32_t couleur(int x, int y);
    // The drawing as shown, at the box's size.
    const QImage &image();

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
    void rend();

    const KeyModel *m_modele = nullptr;
    bool m_avecSurcouches = true;
    bool m_valide = false;
    bool m_appuiDedans = false;
    QImage m_image;
};

} // namespace tarvenko
