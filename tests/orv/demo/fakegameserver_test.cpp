// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/demo/fakegameserver.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include "orv/demo/queryanswer.h"
#include "tests/orv/demo/wirepairs.h"

using namespace orv::demo;
using demotest::answerPairs;
using demotest::valueOf;
using demotest::wirePairs;

namespace {

const QHostAddress kServerAddress(QStringLiteral("127.0.0.2"));

ServerDescription manyPlayers(int count)
{
    ServerDescription s;
    s.hostName = "Caf\xE9 Frag #2";
    s.maxPlayers = 32;
    for (int i = 0; i < count; ++i) {
        PlayerDescription p;
        p.name = "Player" + QByteArray::number(i);
        p.frags = i * 3;
        s.players.append(p);
    }
    return s;
}

// The client side of an exchange: bound like the browser binds, on the server's query port.
struct Client
{
    QUdpSocket socket;
    QList<QNetworkDatagram> received;

    bool bind(quint16 port)
    {
        return socket.bind(QHostAddress::AnyIPv4, port,
                           QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
    }
    void drain()
    {
        while (socket.hasPendingDatagrams())
            received.append(socket.receiveDatagram());
    }
    // Waits until count datagrams have arrived, or the time is up.
    bool waitFor(qsizetype count, int timeoutMs = 2000)
    {
        return QTest::qWaitFor(
            [&] {
                drain();
                return received.size() >= count;
            },
            timeoutMs);
    }
    // Collects whatever arrives during the given time.
    void collect(int ms)
    {
        QTest::qWait(ms);
        drain();
    }
    QList<QByteArray> payloads() const
    {
        QList<QByteArray> out;
        for (const QNetworkDatagram &d : received)
            out.append(d.data());
        return out;
    }
};

// The packet number of "\queryid\<id>.<n>", or 0 for a datagram without one.
int packetNumber(const QByteArray &datagram)
{
    const QByteArray id = valueOf(wirePairs(datagram), "queryid");
    return id.isNull() ? 0 : id.mid(id.indexOf('.') + 1).toInt();
}

} // namespace

TEST(FakeGameServer, AnswersStatusToAClientBoundOnTheSameQueryPort)
{
    FakeGameServer server;
    ASSERT_TRUE(server.listen(kServerAddress));
    server.setDescription(manyPlayers(14));
    Client client;
    ASSERT_TRUE(client.bind(server.queryPort()));

    client.socket.writeDatagram("\\status\\", kServerAddress, server.queryPort());
    const QList<QByteArray> expected = buildAnswer(server.description(), "\\status\\", server.nextQueryId());
    ASSERT_GE(expected.size(), 2);
    client.waitFor(expected.size());
    client.collect(50);

    ASSERT_EQ(client.received.size(), expected.size());
    for (const QNetworkDatagram &d : client.received) {
        EXPECT_EQ(d.senderAddress().toIPv4Address(), kServerAddress.toIPv4Address());
        EXPECT_EQ(d.senderPort(), server.queryPort());
    }
    EXPECT_EQ(client.payloads(), expected);
    EXPECT_EQ(valueOf(answerPairs(client.payloads()), "hostname"), QByteArray("Caf\xE9 Frag #2"));
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_EQ(server.lastRequest(), "\\status\\");
    EXPECT_EQ(server.datagramsSent(), expected.size());
}

TEST(FakeGameServer, MisbehavesAsConfigured)
{
    struct Case
    {
        const char *name;
        ServerBehaviour behaviour;
        // Packet numbers in arrival order; 0 for a datagram without a query id.
        QList<int> packets;
    };
    const auto with = [](auto change) {
        ServerBehaviour b;
        b.maxDatagramSize = 400;
        change(b);
        return b;
    };
    const QList<Case> cases = {
        {"in order", with([](ServerBehaviour &) {}), {1, 2, 3, 4}},
        {"reversed", with([](ServerBehaviour &b) { b.reversed = true; }), {4, 3, 2, 1}},
        {"dropped",
         with([](ServerBehaviour &b) {
             b.dropPackets = {2, 4};
         }),
         {1, 3}},
        {"repeated", with([](ServerBehaviour &b) { b.repeatCount = 1; }), {1, 1, 2, 2, 3, 3, 4, 4}},
        {"flooded", with([](ServerBehaviour &b) { b.floodCount = 3; }), {0, 0, 0, 1, 2, 3, 4}},
        {"raw",
         with([](ServerBehaviour &b) {
             b.rawDatagrams = {"\\a\\b\\queryid\\7.2", "\\final\\"};
         }),
         {2, 0}},
        {"dead", with([](ServerBehaviour &b) { b.dead = true; }), {}},
        {"spaced", with([](ServerBehaviour &b) { b.gapMs = 30; }), {1, 2, 3, 4}},
    };
    for (const Case &c : cases) {
        FakeGameServer server;
        ASSERT_TRUE(server.listen(kServerAddress)) << c.name;
        server.setDescription(manyPlayers(5));
        server.setBehaviour(c.behaviour);
        ASSERT_EQ(buildAnswer(server.description(), "\\status\\", 1, 400).size(), 4) << "fixture";
        Client client;
        ASSERT_TRUE(client.bind(server.queryPort()));
        client.socket.writeDatagram("\\status\\", kServerAddress, server.queryPort());
        client.waitFor(c.packets.size());
        client.collect(100);

        QList<int> packets;
        for (const QByteArray &d : client.payloads())
            packets.append(packetNumber(d));
        EXPECT_EQ(packets, c.packets) << c.name;
        EXPECT_EQ(server.requestCount(), 1) << c.name;
    }
}

TEST(FakeGameServer, WaitsBeforeAnswering)
{
    FakeGameServer server;
    ASSERT_TRUE(server.listen(kServerAddress));
    ServerBehaviour behaviour;
    behaviour.delayMs = 300;
    server.setBehaviour(behaviour);
    Client client;
    ASSERT_TRUE(client.bind(server.queryPort()));
    QElapsedTimer clock;
    clock.start();
    client.socket.writeDatagram("\\info\\", kServerAddress, server.queryPort());
    client.waitFor(1, 3000);
    ASSERT_EQ(client.received.size(), 1);
    EXPECT_GE(clock.elapsed(), 290);
}

TEST(FakeGameServer, AnswersFromAnotherPortOrAddressWhenAsked)
{
    const QHostAddress other(QStringLiteral("127.0.0.3"));
    struct Case
    {
        const char *name;
        bool otherPort;
        QHostAddress from;
        QHostAddress expectedSender;
        bool samePort;
    };
    const QList<Case> cases = {
        {"other port", true, QHostAddress(), kServerAddress, false},
        {"other address", false, other, other, true},
    };
    for (const Case &c : cases) {
        FakeGameServer server;
        ASSERT_TRUE(server.listen(kServerAddress)) << c.name;
        ServerBehaviour behaviour;
        behaviour.replyFromOtherPort = c.otherPort;
        behaviour.replyFromAddress = c.from;
        server.setBehaviour(behaviour);
        Client client;
        ASSERT_TRUE(client.bind(server.queryPort()));
        client.socket.writeDatagram("\\info\\", kServerAddress, server.queryPort());
        client.waitFor(1);
        ASSERT_EQ(client.received.size(), 1) << c.name;
        const QNetworkDatagram &d = client.received.constFirst();
        EXPECT_EQ(d.senderAddress().toIPv4Address(), c.expectedSender.toIPv4Address()) << c.name;
        EXPECT_EQ(d.senderPort() == server.queryPort(), c.samePort) << c.name;
    }
}

TEST(FakeGameServer, SendsUnaskedDatagramsFromItsQueryPort)
{
    FakeGameServer server;
    ASSERT_TRUE(server.listen(kServerAddress));
    Client client;
    ASSERT_TRUE(client.socket.bind(QHostAddress::AnyIPv4, 0));
    ASSERT_TRUE(server.sendDatagram("\\hostname\\stray", QHostAddress::LocalHost, client.socket.localPort()));
    ASSERT_TRUE(client.waitFor(1));
    EXPECT_EQ(client.received.constFirst().data(), "\\hostname\\stray");
    EXPECT_EQ(client.received.constFirst().senderPort(), server.queryPort());
    EXPECT_EQ(server.requestCount(), 0);
    server.close();
    EXPECT_FALSE(server.sendDatagram("x", QHostAddress::LocalHost, client.socket.localPort()));
}

TEST(FakeGameServer, NumbersEachAnswerWithTheNextQueryId)
{
    FakeGameServer server;
    ASSERT_TRUE(server.listen(kServerAddress));
    server.setNextQueryId(41);
    Client client;
    ASSERT_TRUE(client.bind(server.queryPort()));
    client.socket.writeDatagram("\\info\\", kServerAddress, server.queryPort());
    client.waitFor(1);
    client.socket.writeDatagram("\\info\\", kServerAddress, server.queryPort());
    client.waitFor(2);
    ASSERT_EQ(client.received.size(), 2);
    EXPECT_EQ(valueOf(wirePairs(client.received.at(0).data()), "queryid"), "41.1");
    EXPECT_EQ(valueOf(wirePairs(client.received.at(1).data()), "queryid"), "42.1");
    // Requests that get no answer use no number.
    client.socket.writeDatagram("\\bogus\\", kServerAddress, server.queryPort());
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.requestCount() == 3; }, 2000));
    EXPECT_EQ(server.nextQueryId(), 43);
}

TEST(FakeGameServer, ServersOnDifferentAddressesShareAQueryPort)
{
    FakeGameServer first;
    ASSERT_TRUE(first.listen(kServerAddress));
    FakeGameServer second;
    ASSERT_TRUE(second.listen(QHostAddress(QStringLiteral("127.0.0.3")), first.queryPort()));
    ServerDescription other;
    other.hostName = "Second";
    second.setDescription(other);

    Client client;
    ASSERT_TRUE(client.bind(first.queryPort()));
    client.socket.writeDatagram("\\info\\", QHostAddress(QStringLiteral("127.0.0.3")), first.queryPort());
    client.waitFor(1);
    ASSERT_EQ(client.received.size(), 1);
    EXPECT_EQ(valueOf(wirePairs(client.received.at(0).data()), "hostname"), "Second");
    EXPECT_EQ(first.requestCount(), 0);
    EXPECT_EQ(second.requestCount(), 1);
}
