#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace tarvenko {

class Navigateur;

// The images of the last document that completed. The wrapping itself is done in the page by
// the image script; reports are raised only once ImgParse has taken the document, so a collection
// made for any page other than a drawing page stays silent.
class cImgs final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(cImgs)

public:
    explicit cImgs(QObject *parent = nullptr) : QObject(parent) {}

    // Takes the document the browser shows; nothing without one.
    void ImgParse(Navigateur *document);
    bool analyse() const { return !m_Doc.isNull(); }

    void ImgClicked(const QString &href, qint32 x, qint32 y, qint32 scrollLeft, qint32 scrollTop);
    void ImgMouseDown(const QString &href, qint32 x, qint32 y, qint32 scrollLeft, qint32 scrollTop);
    void ImgMouseMove(const QString &href, qint32 x, qint32 y, qint32 scrollLeft, qint32 scrollTop);

Q_SIGNALS:
    void Clicked(const QString &href, qint32 x, qint32 y, qint32 scrollLeft, qint32 scrollTop);
    void MouseDown(const QString &href, qint32 x, qint32 y, qint32 scrollLeft, qint32 scrollTop);
    void MouseMove(const QString &href, qint32 x, qint32 y, qint32 scrollLeft, qint32 scrollTop);

private:
    QPointer<Navigateur> m_Doc;
};

} // namespace tarvenko
