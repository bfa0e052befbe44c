// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/singleinstance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSize>

namespace orv::frontend {

namespace {

const QByteArray kActivate = QByteArrayLiteral("activate\n");
const QByteArray kLink = QByteArrayLiteral("link ");
// A link longer than this is no server link; the line is dropped.
constexpr qint64 kMaxLine = 4096;

} // namespace

QString SingleInstance::socketName(const QString &name)
{
    // One name per user and per settings folder, so tests with private folders never meet
    // the user's real instance.
    const QByteArray who = qgetenv("USER") + '|' + qgetenv("XDG_CONFIG_HOME") + '|' + qgetenv("HOME");
    return name + QLatin1Char('-') +
           QString::fromLatin1(QCryptographicHash::hash(who, QCryptographicHash::Sha1).toHex().left(16));
}

bool SingleInstance::displayLargeEnough(const QSize &screen)
{
    return screen.width() >= 800 && screen.height() >= 600;
}

SingleInstance::SingleInstance(const QString &name, const QString &link, QObject *parent)
    : QObject(parent)
    , m_socketName(socketName(name))
{
    if (link.isEmpty() ? activatePrimary(500) : sendLink(link, 500))
        return;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketName)) {
        // A socket file left behind by a crashed instance: nobody answered it above.
        QLocalServer::removeServer(m_socketName);
        if (!m_server->listen(m_socketName))
            return;
    }
    m_primary = true;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = m_server->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (!client->canReadLine()) {
                    if (client->bytesAvailable() > kMaxLine)
                        client->disconnectFromServer();
                    return;
                }
                const QByteArray line = client->readLine(kMaxLine + 1);
                // Done with the client before anything runs: a receiver may run event loops
                // (a query, a message box) in which the client goes away.
                client->disconnectFromServer();
                if (line == kActivate)
                    emit activationRequested();
                else if (line.startsWith(kLink) && line.endsWith('\n'))
                    emit linkReceived(QString::fromUtf8(line.mid(kLink.size()).chopped(1)));
            });
        }
    });
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::activatePrimary(int timeoutMs) const
{
    return sendLine(kActivate, timeoutMs);
}

bool SingleInstance::sendLink(const QString &link, int timeoutMs) const
{
    QString oneLine = link;
    oneLine.remove(u'\n');
    oneLine.remove(u'\r');
    return sendLine(kLink + oneLine.toUtf8() + '\n', timeoutMs);
}

bool SingleInstance::sendLine(const QByteArray &line, int timeoutMs) const
{
    // A listening instance accepts the connection at once (the system queues it), so a
    // successful connect is the proof that it runs; the request is read when its event
    // loop next turns, which never blocks this start.
    QLocalSocket socket;
    socket.connectToServer(m_socketName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(line);
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return true;
}

} // namespace orv::frontend
