// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/demo/fakegamespymaster.h"

#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "orv/net/gamespy.h"

namespace orv::demo {

struct FakeGameSpyMaster::Connection
{
    QByteArray challenge;
    QByteArray received;
    QByteArray game;
    bool validated = false;
    QByteArray pending;
    bool closeAfterPending = false;
    QTimer *timer = nullptr;
};

namespace {

// The text after "\key\" up to the next backslash.
QByteArray valueOf(const QByteArray &message, QByteArrayView key)
{
    const QByteArray marker = '\\' + key.toByteArray() + '\\';
    const qsizetype at = message.indexOf(marker);
    if (at < 0)
        return {};
    const qsizetype start = at + marker.size();
    const qsizetype end = message.indexOf('\\', start);
    return message.mid(start, end < 0 ? -1 : end - start);
}

std::optional<net::MasterGame> gameNamed(const QByteArray &name)
{
    if (name == net::gameSpyGameName(net::MasterGame::Unreal))
        return net::MasterGame::Unreal;
    if (name == net::gameSpyGameName(net::MasterGame::UnrealTournament))
        return net::MasterGame::UnrealTournament;
    return std::nullopt;
}

} // namespace

FakeGameSpyMaster::FakeGameSpyMaster(QObject *parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &FakeGameSpyMaster::acceptConnections);
}

FakeGameSpyMaster::~FakeGameSpyMaster()
{
    close();
}

bool FakeGameSpyMaster::listen(const QHostAddress &address, quint16 port)
{
    return m_server->listen(address, port);
}

void FakeGameSpyMaster::close()
{
    m_server->close();
    for (auto &[socket, connection] : m_connections) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    m_connections.clear();
}

quint16 FakeGameSpyMaster::port() const
{
    return m_server->serverPort();
}

QString FakeGameSpyMaster::url() const
{
    return QStringLiteral("gamespy://%1:%2").arg(m_server->serverAddress().toString()).arg(port());
}

void FakeGameSpyMaster::setServers(const QByteArray &game, const QList<GameSpyListedServer> &servers)
{
    m_servers.insert(game, servers);
}

void FakeGameSpyMaster::acceptConnections()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        ++m_connectionCount;
        auto connection = std::make_unique<Connection>();
        static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        for (int i = 0; i < net::kGameSpyChallengeLength; ++i)
            connection->challenge.append(kLetters[QRandomGenerator::global()->bounded(26)]);
        m_connections.emplace(socket, std::move(connection));
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readClient(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            const auto it = m_connections.find(socket);
            if (it == m_connections.end())
                return;
            m_connections.erase(it);
            socket->deleteLater();
        });
        if (m_behaviour.silent)
            continue;
        QByteArray hello = "\\basic\\\\secure\\" + m_connections[socket]->challenge;
        if (m_behaviour.finalAfterChallenge)
            hello += "\\final\\";
        send(socket, hello, false);
    }
}

void FakeGameSpyMaster::readClient(QTcpSocket *socket)
{
    const auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    Connection &c = *it->second;
    c.received += socket->readAll();
    if (m_behaviour.silent)
        return;

    if (!c.validated) {
        const qsizetype end = c.received.indexOf("\\final\\");
        if (end < 0)
            return;
        const QByteArray message = c.received.left(end);
        c.received.remove(0, end + 7);
        c.game = valueOf(message, "gamename");
        const auto game = gameNamed(c.game);
        const QByteArray expected =
            game ? net::gameSpyValidate(c.challenge, m_behaviour.keyOverride.isEmpty() ? net::gameSpyGameKey(*game)
                                                                                       : m_behaviour.keyOverride)
                 : QByteArray();
        if (!game || valueOf(message, "validate") != expected) {
            ++m_refused;
            send(socket, m_behaviour.echoOnRefusal ? QByteArray("\\echo\\wrong validate\\final\\") : QByteArray(),
                 true);
            return;
        }
        c.validated = true;
        ++m_accepted;
    }
    const qsizetype end = c.received.indexOf("\\final\\");
    if (end < 0 || !c.received.contains("\\list\\"))
        return;
    const QByteArray request = c.received.left(end);
    c.received.clear();
    const QByteArray game = valueOf(request, "gamename");
    if (m_behaviour.floodBytes > 0) {
        QByteArray flood;
        flood.reserve(m_behaviour.floodBytes);
        while (flood.size() < m_behaviour.floodBytes)
            flood += "\\ip\\10.1.2.3:7778";
        send(socket, flood, false);
        return;
    }
    send(socket, listFor(game.isEmpty() ? c.game : game) + "\\final\\", m_behaviour.closeAfterList);
}

QByteArray FakeGameSpyMaster::listFor(const QByteArray &game) const
{
    const QList<GameSpyListedServer> servers = m_servers.value(game);
    QByteArray list;
    for (qsizetype i = 0; i < servers.size(); ++i) {
        if (i == servers.size() / 2)
            list += m_behaviour.extraEntries;
        list += "\\ip\\" + servers[i].address + ':' + QByteArray::number(servers[i].queryPort);
    }
    if (servers.isEmpty())
        list += m_behaviour.extraEntries;
    return list;
}

void FakeGameSpyMaster::send(QTcpSocket *socket, const QByteArray &bytes, bool closeAfter)
{
    Connection &c = *m_connections.at(socket);
    c.pending += bytes;
    c.closeAfterPending = c.closeAfterPending || closeAfter;
    if (m_behaviour.chunkSize <= 0) {
        sendNextChunk(socket);
        return;
    }
    if (!c.timer) {
        c.timer = new QTimer(socket);
        c.timer->setInterval(m_behaviour.chunkDelayMs);
        connect(c.timer, &QTimer::timeout, this, [this, socket] { sendNextChunk(socket); });
    }
    c.timer->start();
}

void FakeGameSpyMaster::sendNextChunk(QTcpSocket *socket)
{
    const auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    Connection &c = *it->second;
    const qsizetype size =
        m_behaviour.chunkSize > 0 ? qMin<qsizetype>(m_behaviour.chunkSize, c.pending.size()) : c.pending.size();
    if (size > 0) {
        socket->write(c.pending.left(size));
        c.pending.remove(0, size);
        socket->flush();
    }
    if (!c.pending.isEmpty())
        return;
    if (c.timer)
        c.timer->stop();
    if (c.closeAfterPending)
        socket->disconnectFromHost();
}

} // namespace orv::demo
