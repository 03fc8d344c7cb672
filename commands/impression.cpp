#include "commands/impression.h"

#include <QPainter>
#include <QPrinter>

#include "engine/drawing_layers.h"
#include "knowledge/key_model.h"
#include "platform/metafile/metafile.h"
#include "platform/qt_text.h"

namespace tarvenko {

namespace {

// The whole sheet in device pixels, as the page the pictures are stretched over.
QRectF pagePixels(QPrinter &printer) { return printer.pageLayout().fullRectPixels(printer.resolution()); }

} // namespace

bool Imprime_Metafichier(QPainter &painter, const QRectF &page, const QString &chemin)
{
    const auto picture = Metafile::load(chemin);
    if (!picture)
        return false;
    picture->play(painter, page, Metafile::Edges::Smooth);
    return true;
}

IssueImpression Imprime_Dessin(QPrinter &printer, const KeyModel &m, const std::function<bool(int k)> &avance)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setFullPage(true);
    std::vector<std::string> messages;
    const auto fichiers = Fichiers_Calques(m, messages);
    QPainter painter;
    if (!painter.begin(&printer))
        return IssueImpression::Echec;
    const QRectF page = pagePixels(printer);
    for (std::size_t k = 0; k < fichiers.size(); ++k) {
        if (!fichiers[k])
            continue;
        if (avance && !avance(static_cast<int>(k))) {
            printer.abort();
            painter.end();
            printer.setPageOrientation(QPageLayout::Portrait);
            return IssueImpression::Abandonne;
        }
        Imprime_Metafichier(painter, page, qs(Chemin_Calque(m, *fichiers[k])));
    }
    painter.end();
    printer.setPageOrientation(QPageLayout::Portrait);
    return IssueImpression::Imprime;
}

bool Imprime_Question(QPrinter &printer, const QString &chemin)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const bool printed = Imprime_Metafichier(painter, pagePixels(printer), chemin);
    painter.end();
    printer.setPageOrientation(QPageLayout::Portrait);
    return printed;
}

QSize Taille_Image_Dessin(int dpiX, int dpiY)
{
    // 300 dpi prints the picture pixel for pixel; other resolutions keep its physical size.
    return {2200 * dpiX / 300, 3300 * dpiY / 300};
}

bool Imprime_Image_Dessin(QPrinter &printer, const QImage &image)
{
    if (image.isNull())
        return false;
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QSize size = Taille_Image_Dessin(printer.resolution(), printer.resolution());
    painter.drawImage(QRect(QPoint(0, 0), size), image);
    painter.end();
    return true;
}

} // namespace tarvenko
