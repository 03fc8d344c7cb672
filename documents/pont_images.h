#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "documents/navigateur.h"

namespace tarvenko {

// The one object a drawing page's image script can reach, through the web channel: it takes the
// images' reports and nothing else. Numbers are checked, since a script sends what it likes.
class PontImages final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PontImages)

public:
    using Rapport = std::function<void(GenreImage, const QString &, qint32, qint32, qint32, qint32)>;
    PontImages(Rapport rapport, std::function<void()> pret, QObject *parent);

    Q_INVOKABLE void ImgClicked(const QString &href, double x, double y, double scrollLeft, double scrollTop);
    Q_INVOKABLE void ImgMouseDown(const QString &href, double x, double y, double scrollLeft, double scrollTop);
    Q_INVOKABLE void ImgMouseMove(const QString &href, double x, double y, double scrollLeft, double scrollTop);
    Q_INVOKABLE void pret();

    // A number from a script as a page position: rounded, non-numbers as 0, kept within 32 bits.
    static qint32 position(double value);

private:
    void rapporte(GenreImage genre, const QString &href, double x, double y, double scrollLeft, double scrollTop);

    Rapport m_rapport;
    std::function<void()> m_pret;
};

} // namespace tarvenko
