#include "platform/metafile/metafile_view.h"

#include <QPaintEvent>
#include <QPainter>

namespace tarvenko {

MetafileView::MetafileView(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void MetafileView::setMetafile(Metafile metafile)
{
    m_metafile = std::move(metafile);
    update();
}

QImage MetafileView::renderExact() const
{
    return m_metafile.toImage(size(), palette().color(backgroundRole()));
}

void MetafileView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_metafile.play(painter, QRectF(rect()), Metafile::Edges::Exact);
}

} // namespace tarvenko
