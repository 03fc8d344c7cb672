#pragma once

#include <QByteArrayView>
#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

#include <memory>
#include <optional>

class QPainter;

namespace tarvenko {

namespace detail {
struct MetafileData;
}

// A Windows metafile (WMF, plain or with the 22-byte placeable header) parsed into records once
// and played as often as needed onto any painter: a widget, an image, a printer, a PDF. Copies
// share the parsed records, so the drawing, the question view, the printer and the clipboard can
// all hold the same picture.
//
// Playing stretches the picture's frame over a target rectangle. The frame is the file's window
// extent when it sets one, else the placeable bounding box (window origin (left, top), extent
// (|right| + |left|, |bottom| + |top|)), else the bounds of what the records draw.
class Metafile {
public:
    // Edges of filled areas. Exact: no antialiasing, so that every filled pixel has exactly its
    // brush colour and colours can be read back; Smooth: antialiased, for the screen only.
    enum class Edges { Exact, Smooth };

    // Files larger than this are refused rather than parsed.
    static constexpr qsizetype kMaxFileSize = 16 * 1024 * 1024;

    // An empty picture: plays nothing.
    Metafile();

    // Parses a whole file's bytes. Nothing, with the reason in `error`, when the data is not a
    // metafile (no valid header); a damaged record ends the picture there (see problem()).
    static std::optional<Metafile> fromData(QByteArrayView data, QString *error = nullptr);
    // Reads and parses a file; the error names the file.
    static std::optional<Metafile> load(const QString &path, QString *error = nullptr);

    bool isEmpty() const;
    // Why the picture was cut short or records were skipped; empty for a sound file.
    QString problem() const;
    int recordCount() const;
    bool isPlaceable() const;
    // The frame in reference device units (origin 0, 0 unless it comes from drawn bounds).
    QRectF frame() const;
    // Plays exactly as `autre` does: the same records with the same words (the same file read
    // twice, for one).
    bool memeDessin(const Metafile &autre) const;

    // Plays the records onto `painter`, the frame stretched over `target` (in the painter's
    // current coordinates). The painter's state is restored afterwards.
    void play(QPainter &painter, const QRectF &target, Edges edges = Edges::Exact) const;

    // An image of `size` filled with `background`, the picture played over all of it without
    // antialiasing: the colours of filled areas are exact.
    QImage toImage(QSize size, QColor background = Qt::white) const;

private:
    explicit Metafile(std::shared_ptr<const detail::MetafileData> data);

    std::shared_ptr<const detail::MetafileData> m_data;
};

// The picture of a metafile file, plain or placeable, ready to be played stretched over a page
// or a box; nothing, with the reason naming the file in `erreur`, when it cannot be read.
inline std::optional<Metafile> Charge_Metafichier(const QString &chemin, QString *erreur = nullptr)
{
    return Metafile::load(chemin, erreur);
}

} // namespace tarvenko
