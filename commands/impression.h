#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include <functional>

class QPainter;
class QPrinter;

namespace tarvenko {

struct KeyModel;

// Plays a metafile file stretched over the whole page; false when it cannot be read (that layer
// prints nothing). A placeable file maps its bounding box onto the page.
bool Imprime_Metafichier(QPainter &painter, const QRectF &page, const QString &chemin);

// How the layered drawing's printout ended.
enum class IssueImpression { Imprime, Abandonne, Echec };

// Prints the layers of the current drawing, as the answers select them, one over the other on one
// landscape page. Before each layer that prints, `avance(k)` reports layer k and returns false to
// abandon: the job is then discarded.
IssueImpression Imprime_Dessin(QPrinter &printer, const KeyModel &m, const std::function<bool(int k)> &avance);

// Prints the question picture landscape, scaled to the page.
bool Imprime_Question(QPrinter &printer, const QString &chemin);

// Size in printer pixels of the full-size drawing of a species page (2200 x 3300 pixels): at 300
// and 600 dpi the picture takes 1 and 2 printer pixels per pixel, and at any other resolution the
// same physical size, so that low resolutions still print it.
QSize Taille_Image_Dessin(int dpiX, int dpiY);
bool Imprime_Image_Dessin(QPrinter &printer, const QImage &image);

} // namespace tarvenko
