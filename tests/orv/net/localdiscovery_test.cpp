// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/localdiscovery.h"

#include <QTimer>

#include <gtest/gtest.h>

#include "orv/demo/fakebeaconresponder.h"
#include "orv/demo/fakegameserver.h"
#include "tests/orv/net/discoveryfixture.h"

using orv::demo::FakeBeaconResponder;
using orv::demo::FakeGameServer;

namespace {

// Beacon requests go straight to one loopback address here; the namespace test covers
// the real broadcast.
class LocalDiscoveryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_unrealBeacon = nettest::freeUdpPort();
        m_utBeacon = nettest::freeUdpPort();
        ASSERT_NE(m_unrealBeacon, 0);
        ASSERT_NE(m_utBeacon, 0);
        ASSERT_NE(m_unrealBeacon, m_utBeacon);
        auto options = m_rig.engine.options();
        options.serverBeaconPort = m_unrealBeacon;
        options.serverBeaconPort2 = m_utBeacon;
        options.beaconPort = nettest::freeUdpPort();
        options.beaconPort2 = nettest::freeUdpPort();
        m_rig.engine.setOptions(options);
        m_rig.discovery.setBroadcastAddress(kHost);
    }

    // A game server on kHost reporting gamePort, and a beacon of the given game for it.
    FakeGameServer *addServer(const QByteArray &sign, quint16 beaconPort, int gamePort)
    {
        auto *game = new FakeGameServer(&m_owner);
        game->mutableDescription().hostPort = gamePort;
        EXPECT_TRUE(game->listen(QHostAddress(kHost), FakeGameServer::pickFreeQueryPort()));
        auto *beacon = new FakeBeaconResponder(&m_owner);
        beacon->setSign(sign);
        beacon->setPorts(static_cast<quint16>(gamePort), game->queryPort());
        EXPECT_TRUE(beacon->listen(QHostAddress(kHost), beaconPort, false));
        return game;
    }

    FakeBeaconResponder *addRawBeacon(quint16 beaconPort, const QByteArray &answer)
    {
        auto *beacon = new FakeBeaconResponder(&m_owner);
        beacon->setRawAnswer(answer);
        EXPECT_TRUE(beacon->listen(QHostAddress(kHost), beaconPort, false));
        return beacon;
    }

    const QString kHost = QStringLiteral("127.0.0.2");
    QObject m_owner;
    nettest::DiscoveryRig m_rig;
    quint16 m_unrealBeacon = 0;
    quint16 m_utBeacon = 0;
};

TEST_F(LocalDiscoveryTest, AnsweringServerIsListedWithTheGamePortItReports)
{
    FakeGameServer *game = addServer("ut", m_utBeacon, 7000);
    const QString q = QString::number(game->queryPort());
    m_rig.engine.appendReply(m_rig.engine.currentPage(), "stale line");
    m_rig.engine.setAddresses(orv::engine::ServerPage::Local,
                              orv::engine::AddressList({QStringLiteral("10.9.9.9 1 2")}));

    ASSERT_TRUE(m_rig.discover());

    EXPECT_EQ(m_rig.localLines(), QStringList{kHost + QStringLiteral(" 7000 ") + q});
    EXPECT_EQ(game->lastRequest(), QByteArray("\\info\\"));
    EXPECT_TRUE(m_rig.log.contains(QStringLiteral("Recived : ") + kHost + QStringLiteral(" >ut ") + q));
    EXPECT_TRUE(m_rig.log.contains(QStringLiteral("Server response from: ") + kHost));
    EXPECT_EQ(m_rig.log.count(QStringLiteral("Listen complete.")), 2);
    EXPECT_EQ(m_rig.log.first(), QStringLiteral("Send request to :") + kHost + QStringLiteral(" to port:") +
                                     QString::number(m_unrealBeacon));
    // The store was emptied first and now holds the beacon answer before the query answer.
    const auto lines = m_rig.engine.currentReplies().lines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), (kHost + QStringLiteral(":ut ") + q).toLatin1());
    EXPECT_FALSE(lines.contains("stale line"));
}

TEST_F(LocalDiscoveryTest, ServerAnsweringBothBeaconsIsListedOnce)
{
    FakeGameServer *game = addServer("ut", m_utBeacon, 7000);
    auto *unreal = new FakeBeaconResponder(&m_owner);
    unreal->setSign("Unreal");
    unreal->setPorts(7000, game->queryPort());
    ASSERT_TRUE(unreal->listen(QHostAddress(kHost), m_unrealBeacon, false));

    ASSERT_TRUE(m_rig.discover());
    EXPECT_EQ(m_rig.localLines(), QStringList{kHost + QStringLiteral(" 7000 ") + QString::number(game->queryPort())});
    EXPECT_EQ(m_rig.log.count(QStringLiteral("Server response from: ") + kHost), 1);
}

TEST_F(LocalDiscoveryTest, ServerSilentToInfoIsListedWithItsQueryPort)
{
    FakeGameServer *game = addServer("ut", m_utBeacon, 7000);
    orv::demo::ServerBehaviour dead;
    dead.dead = true;
    game->setBehaviour(dead);
    const QString q = QString::number(game->queryPort());
    ASSERT_TRUE(m_rig.discover());
    EXPECT_EQ(game->requestCount(), 1);
    EXPECT_EQ(m_rig.localLines(), QStringList{kHost + QLatin1Char(' ') + q + QLatin1Char(' ') + q});
}

TEST_F(LocalDiscoveryTest, BadBeaconAnswersAddNothingAndQueryNothing)
{
    const quint16 q = FakeGameServer::pickFreeQueryPort();
    FakeGameServer game;
    ASSERT_TRUE(game.listen(QHostAddress(kHost), q));
    const QByteArray port = QByteArray::number(q);
    struct Case
    {
        const char *name;
        QByteArray answer;
    };
    const QList<Case> cases = {
        {"garbage", "\x01\xff garbage \x7f"},
        {"sign in other letter case", "UT " + port},
        {"port zero", "ut 0"},
        {"port not a number", "ut seven"},
        {"port out of range", "ut 70000"},
        {"no port", "ut"},
        {"too long for the receive buffer", "ut " + port + ' ' + QByteArray(2000, 'x')},
        {"query answer look-alike", ":" + port + ":" + port + ">\\hostport\\7000"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeBeaconResponder *beacon = addRawBeacon(m_utBeacon, c.answer);
        ASSERT_TRUE(m_rig.discover());
        EXPECT_EQ(beacon->requestCount(), 1);
        EXPECT_TRUE(m_rig.localLines().isEmpty());
        EXPECT_EQ(game.requestCount(), 0);
        beacon->close();
        delete beacon;
    }
}

TEST_F(LocalDiscoveryTest, NothingAnsweringLeavesTheListEmpty)
{
    ASSERT_TRUE(m_rig.discover());
    EXPECT_TRUE(m_rig.localLines().isEmpty());
    EXPECT_EQ(m_rig.log.count(QStringLiteral("Listen complete.")), 2);
    EXPECT_FALSE(m_rig.log.contains(QStringLiteral("Error when UDP send data")));
    EXPECT_FALSE(m_rig.discovery.isListening());
}

TEST_F(LocalDiscoveryTest, BusyBeaconPortIsLogged)
{
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress));
    auto options = m_rig.engine.options();
    options.beaconPort = holder.localPort();
    m_rig.engine.setOptions(options);
    addServer("ut", m_utBeacon, 7000);

    ASSERT_TRUE(m_rig.discover());
    // Unreal: the port is held, so sending and listening fail; UT is found. (A wait time
    // that is no number is refused where it is typed.)
    EXPECT_EQ(m_rig.log.count(QStringLiteral("Error when UDP send data")), 1);
    EXPECT_EQ(m_rig.log.count(QStringLiteral("Error when UDP listen data")), 1);
    EXPECT_EQ(m_rig.localLines().size(), 1);
}

} // namespace

namespace {

TEST_F(LocalDiscoveryTest, SecondDiscoveryDuringTheWaitIsIgnored)
{
    FakeGameServer *game = addServer("ut", m_utBeacon, 7000);
    int nested = 0;
    QObject::connect(
        &m_rig.discovery, &orv::net::LocalDiscovery::logLine, &m_rig.discovery, [this, &nested](const QString &line) {
            if (line.startsWith(QStringLiteral("Listen answers")) && nested++ == 0)
                QTimer::singleShot(50, &m_rig.discovery, [this] { EXPECT_FALSE(m_rig.discovery.DiscoverLocal()); });
        });
    ASSERT_TRUE(m_rig.discover());
    EXPECT_EQ(m_rig.log.count(QStringLiteral("Listen complete.")), 2);
    EXPECT_EQ(m_rig.localLines(), QStringList{kHost + QStringLiteral(" 7000 ") + QString::number(game->queryPort())});
}

} // namespace
