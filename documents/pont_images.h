#pragma once

#include <QJsonValue>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

#include "documents/navigateur.h"

namespace tarvenko {

// The one object a drawing page's image script can reach, through the web channel: it takes the
// images' three reports and nothing else (beyond what every QObject shows, which the program never
// reads). A script sends what it likes, so the arguments arrive as they were sent and are checked
// here: a report whose address is not a text or whose positions are not numbers is dropped.
class PontImages final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PontImages)

public:
    using Rapport = std::function<void(const RapportImage &)>;
    PontImages(Rapport rapport, QObject *parent);

    Q_INVOKABLE void ImgClicked(const QJsonValue &href, const QJsonValue &x, const QJsonValue &y,
                                const QJsonValue &scrollLeft, const QJsonValue &scrollTop);
    Q_INVOKABLE void ImgMouseDown(const QJsonValue &href, const QJsonValue &x, const QJsonValue &y,
                                  const QJsonValue &scrollLeft, const QJsonValue &scrollTop);
    Q_INVOKABLE void ImgMouseMove(const QJsonValue &href, const QJsonValue &x, const QJsonValue &y,
                                  const QJsonValue &scrollLeft, const QJsonValue &scrollTop);

    // A report from its values, or nothing when one of them is not what the image script sends:
    // a text of reasonable length and four finite numbers. Positions are rounded and kept within
    // 32 bits.
    static std::optional<RapportImage> verifie(GenreImage genre, const QJsonValue &href, const QJsonValue &x,
                                               const QJsonValue &y, const QJsonValue &scrollLeft,
                                               const QJsonValue &scrollTop);
    // A number from a script as a page position: rounded, non-numbers as 0, kept within 32 bits.
    static qint32 position(double value);

private:
    void rapporte(GenreImage genre, const QJsonValue &href, const QJsonValue &x, const QJsonValue &y,
                  const QJsonValue &scrollLeft, const QJsonValue &scrollTop);

    Rapport m_rapport;
};

} // namespace tarvenko
