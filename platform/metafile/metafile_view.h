#pragma once

#include <QImage>
#include <QWidget>

#include "platform/metafile/metafile.h"

namespace tarvenko {

// Shows a metafile stretched over the whole client area, without antialiasing, so that what is
// on screen has exactly the colours of the picture (the splash's colour chart is sampled from it).
class MetafileView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MetafileView)

public:
    explicit MetafileView(QWidget *parent = nullptr);

    void setMetafile(Metafile metafile);
    const Metafile &metafile() const { return m_metafile; }

    // The client area as it is painted, at its size in pixels, background included.
    QImage renderExact() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Metafile m_metafile;
};

} // namespace tarvenko
