#pragma once

#include <QWidget>

#include <cstdint>
#include <memory>

#include "documents/zoom.h"

class QImage;
class QPainter;

namespace Ui {
class frmZoom;
}

namespace tarvenko {

// Paints the part of the full-size drawing that starts at (Zoom_X, Zoom_Y) over a client area of
// `client` pixels, unscaled. Nothing without a drawing or with a client area of no height.
void Dessine_Zoom(QPainter &painter, const QImage &Image_Dessin, const EtatZoom &z, QSize client, double tppX,
                  double tppY);

// The four-times zoom over a drawing page: shows the full-size drawing around the point under the
// mouse, and can be panned by dragging inside it.
class frmZoom final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmZoom)

public:
    frmZoom(EtatZoom &etat, const QImage &Image_Dessin, QWidget *parent = nullptr);
    ~frmZoom() override;

    // Repaints the zoom from the shared state.
    void Dessine_Zoom();
    // The client area in twips and the screen's twips per pixel.
    MesureZoom mesure() const;

    // Last mouse position in the window, twips.
    std::int32_t Appui_X = 0;
    std::int32_t Appui_Y = 0;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    std::unique_ptr<Ui::frmZoom> m_ui;
    EtatZoom &m_etat;
    const QImage &m_dessin;
};

} // namespace tarvenko
