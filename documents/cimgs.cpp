#include "documents/cimgs.h"

#include "documents/navigateur.h"

namespace tarvenko {

void cImgs::ImgParse(Navigateur *document)
{
    if (document)
        m_Doc = document;
}

void cImgs::ImgClicked(const QString &href, qint32 x, qint32 y, qint32 scrollLeft, qint32 scrollTop)
{
    if (m_Doc)
        Q_EMIT Clicked(href, x, y, scrollLeft, scrollTop);
}

void cImgs::ImgMouseDown(const QString &href, qint32 x, qint32 y, qint32 scrollLeft, qint32 scrollTop)
{
    if (m_Doc)
        Q_EMIT MouseDown(href, x, y, scrollLeft, scrollTop);
}

void cImgs::ImgMouseMove(const QString &href, qint32 x, qint32 y, qint32 scrollLeft, qint32 scrollTop)
{
    if (m_Doc)
        Q_EMIT MouseMove(href, x, y, scrollLeft, scrollTop);
}

} // namespace tarvenko
