// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/singleinstance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSize>

namespace orv::frontend {

namespace {

const QByteArray kActivate = QByteArrayLiteral("activate\n");

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

SingleInstance::SingleInstance(const QString &name, QObject *parent)
    : QObject(parent)
    , m_socketName(socketName(name))
{
    if (activatePrimary(500))
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
                if (!client->canReadLine())
                    return;
                if (client->readLine(64) == kActivate)
                    emit activationRequested();
                client->disconnectFromServer();
            });
        }
    });
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::activatePrimary(int timeoutMs) const
{
    // A listening instance accepts the connection at once (the system queues it), so a
    // successful connect is the proof that it runs; the request is read when its event
    // loop next turns, which never blocks this start.
    QLocalSocket socket;
    socket.connectToServer(m_socketName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kActivate);
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return true;
}

} // namespace orv::frontend
