#pragma once

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QMap>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace tarvenko::test {

// A small web server on 127.0.0.1 serving the files of a folder, for documents "on a web server"
// without a network. Paths put on hold get their answer only when released, so a test can keep
// a page loading as long as it needs.
class ServeurHttp final : public QObject {
public:
    explicit ServeurHttp(QString dossier) : m_dossier(std::move(dossier))
    {
        connect(&m_serveur, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_serveur.nextPendingConnection()) {
                s->setParent(this);
                connect(s, &QTcpSocket::readyRead, this, [this, s] { lis(s); });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
        m_serveur.listen(QHostAddress::LocalHost);
    }

    // The address of the folder, with its final "/".
    QString adresse() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_serveur.serverPort()); }
    void retiens(const QString &chemin) { m_retenus.insert(chemin); }
    void libere(const QString &chemin)
    {
        m_retenus.remove(chemin);
        for (const QPointer<QTcpSocket> &s : m_enAttente.values(chemin)) {
            if (s)
                reponds(s, chemin);
        }
        m_enAttente.remove(chemin);
    }
    const QStringList &demandes() const { return m_demandes; }

private:
    void lis(QTcpSocket *s)
    {
        if (!s->canReadLine())
            return;
        const QList<QByteArray> ligne = s->readLine().split(' ');
        while (s->bytesAvailable())
            s->readAll();
        const QString chemin = ligne.size() > 1 ? QUrl::fromPercentEncoding(ligne[1]) : QString();
        m_demandes << chemin;
        if (m_retenus.contains(chemin))
            m_enAttente.insert(chemin, s);
        else
            reponds(s, chemin);
    }

    void reponds(QTcpSocket *s, const QString &chemin)
    {
        QFile file(QDir(m_dossier).filePath(chemin.mid(1)));
        QByteArray corps, statut = "200 OK", type = "application/octet-stream";
        if (chemin.contains(QLatin1String("..")) || !file.open(QIODevice::ReadOnly)) {
            statut = "404 Not Found";
            corps = "<html><body>Not found</body></html>";
            type = "text/html";
        } else {
            corps = file.readAll();
            if (chemin.endsWith(QLatin1String(".html")))
                type = "text/html";
            else if (chemin.endsWith(QLatin1String(".png")))
                type = "image/png";
            else if (chemin.endsWith(QLatin1String(".gif")))
                type = "image/gif";
        }
        s->write("HTTP/1.1 " + statut + "\r\nContent-Type: " + type + "\r\nContent-Length: " +
                 QByteArray::number(corps.size()) + "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + corps);
        s->disconnectFromHost();
    }

    QString m_dossier;
    QTcpServer m_serveur;
    QSet<QString> m_retenus;
    QMultiMap<QString, QPointer<QTcpSocket>> m_enAttente;
    QStringList m_demandes;
};

} // namespace tarvenko::test
