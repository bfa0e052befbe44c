// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <random>

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include "orv/demo/fakegameserver.h"

class QTimer;

namespace orv::demo {

class FakeBeaconResponder;
class FakeGameSpyMaster;
class FakeMasterServer;

struct DemoNetworkOptions
{
    int servers = 24;
    // Server i listens on firstAddress + i (127.0.0.2, 127.0.0.3, …).
    QHostAddress firstAddress = QHostAddress(QStringLiteral("127.0.0.2"));
    // The master-list web server on 127.0.0.1; 0 lets the system choose.
    quint16 httpPort = 0;
    // The GameSpy-protocol master of the UT servers on 127.0.0.1; 0 lets the system choose.
    quint16 gameSpyPort = 0;
    // Answer LAN beacons on the games' usual beacon ports (7775 Unreal, 8777 UT).
    bool beacons = true;
    // Same seed, same network: names, maps, players and misbehaviours are drawn from it.
    quint32 seed = 1999;
    // Players join and leave on this period (0: never).
    int churnIntervalMs = 4000;
};

// Which misbehaviour a demo server was given.
enum class DemoServerKind {
    Normal,
    Slow,
    OutOfOrder,
    Incomplete,
    Dead,
};

// A believable little Internet of Unreal and UT servers on loopback: game servers of many
// kinds (some slow, some answering out of order, some incomplete, some dead, some passworded
// or full) whose players come and go, LAN beacons, a web server that serves their
// master lists as "address:port" lines at "/ut-servers.txt" and "/unreal-servers.txt", and
// a GameSpy-protocol master that lists the UT servers.
class DemoNetwork : public QObject
{
    Q_OBJECT

public:
    struct Server
    {
        FakeGameServer *game = nullptr;
        FakeBeaconResponder *beacon = nullptr;
        DemoServerKind kind = DemoServerKind::Normal;
    };

    explicit DemoNetwork(QObject *parent = nullptr);
    ~DemoNetwork() override;

    // Builds and starts everything. On failure returns false with a reason in *error, and
    // leaves nothing listening.
    bool start(const DemoNetworkOptions &options, QString *error = nullptr);
    void stop();

    const QList<Server> &servers() const { return m_servers; }
    FakeMasterServer *masterServer() const { return m_master; }
    QUrl utListUrl() const;
    QUrl unrealListUrl() const;
    FakeGameSpyMaster *gameSpyMaster() const { return m_gameSpy; }
    // "gamespy://127.0.0.1:PORT".
    QString gameSpyUrl() const;

    // The master-list texts that the web server serves: one "address:gameport" line per server
    // of that game, dead ones included (masters list servers that have gone away, too).
    QByteArray utMasterList() const;
    QByteArray unrealMasterList() const;
    // Every server as address list lines "address gameport queryport", sorted ignoring letter
    // case, each ended by CR LF: the form of a saved server list.
    QByteArray addressList() const;

    // One step of players joining, leaving, scoring and changing ping. The churn timer calls it.
    void churn();

    // A believable server description drawn from rng: Unreal or UT, its game types, maps,
    // mutators and players. Exposed so tests and benchmarks can make realistic answers.
    static ServerDescription randomDescription(std::mt19937 &rng, bool unreal, int gamePort);

private:
    QByteArray masterList(bool unreal) const;
    void publishLists();

    QList<Server> m_servers;
    FakeMasterServer *m_master = nullptr;
    FakeGameSpyMaster *m_gameSpy = nullptr;
    QTimer *m_churnTimer = nullptr;
    std::mt19937 m_rng;
};

} // namespace orv::demo
