// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <memory>

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;

namespace orv::demo {

// How the master behaves towards every client; the defaults are an honest master.
struct GameSpyMasterBehaviour
{
    // End the challenge message with "\final\".
    bool finalAfterChallenge = true;
    // Send every message in pieces of chunkSize bytes, chunkDelayMs apart (0: at once).
    int chunkSize = 0;
    int chunkDelayMs = 0;
    // Accept connections and never send anything.
    bool silent = false;
    // Check answers against this key instead of the game's (so every answer is wrong).
    QByteArray keyOverride;
    // A wrong answer gets "\echo\…" before the close; otherwise the master just closes.
    bool echoOnRefusal = true;
    // Bytes put into the middle of the list (garbage among the good entries).
    QByteArray extraEntries;
    // Instead of the list, send this many bytes of entries without an end.
    qint64 floodBytes = 0;
    // Close after the list; otherwise keep the connection open.
    bool closeAfterList = true;
};

// One server as the master lists it: its address and query port.
struct GameSpyListedServer
{
    QByteArray address;
    quint16 queryPort = 0;
};

// A master server on loopback that speaks the GameSpy list protocol: a fresh random
// challenge per connection, the answer checked with the key of the game the client names,
// and the servers of that game listed as "\ip\A.B.C.D:QUERYPORT" up to "\final\". For the
// demo network and the download tests.
class FakeGameSpyMaster : public QObject
{
    Q_OBJECT

public:
    explicit FakeGameSpyMaster(QObject *parent = nullptr);
    ~FakeGameSpyMaster() override;

    bool listen(const QHostAddress &address = QHostAddress::LocalHost, quint16 port = 0);
    void close();
    quint16 port() const;
    // "gamespy://127.0.0.1:PORT".
    QString url() const;

    // Servers per game name ("ut", "unreal").
    void setServers(const QByteArray &game, const QList<GameSpyListedServer> &servers);
    void setBehaviour(const GameSpyMasterBehaviour &behaviour) { m_behaviour = behaviour; }

    int connectionCount() const { return m_connectionCount; }
    int acceptedCount() const { return m_accepted; }
    int refusedCount() const { return m_refused; }
    int openConnections() const { return static_cast<int>(m_connections.size()); }

private:
    struct Connection;

    void acceptConnections();
    void readClient(QTcpSocket *socket);
    void send(QTcpSocket *socket, const QByteArray &bytes, bool closeAfter);
    void sendNextChunk(QTcpSocket *socket);
    QByteArray listFor(const QByteArray &game) const;

    QTcpServer *m_server = nullptr;
    GameSpyMasterBehaviour m_behaviour;
    QHash<QByteArray, QList<GameSpyListedServer>> m_servers;
    std::map<QTcpSocket *, std::unique_ptr<Connection>> m_connections;
    int m_connectionCount = 0;
    int m_accepted = 0;
    int m_refused = 0;
};

} // namespace orv::demo
