// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/demo/demonetwork.h"

#include <set>

#include <QEventLoop>
#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkDatagram>
#include <QNetworkReply>
#include <QTest>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include "orv/demo/fakemasterserver.h"
#include "orv/demo/queryanswer.h"
#include "tests/orv/demo/wirepairs.h"

using namespace orv::demo;
using demotest::answerPairs;
using demotest::valueOf;
using demotest::wirePairs;

namespace {

// Each test that starts a network uses its own address range, so suites running side by side
// never bind the same address and port.
DemoNetworkOptions quietOptions(const char *firstAddress, int servers)
{
    DemoNetworkOptions options;
    options.servers = servers;
    options.firstAddress = QHostAddress(QString::fromLatin1(firstAddress));
    options.beacons = false;
    options.churnIntervalMs = 0;
    return options;
}

QByteArray download(const QUrl &url)
{
    QNetworkAccessManager manager;
    QNetworkReply *reply = manager.get(QNetworkRequest(url));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const QByteArray body = reply->error() == QNetworkReply::NoError ? reply->readAll() : QByteArray();
    delete reply;
    return body;
}

int teamsOf(const ServerDescription &server)
{
    for (const auto &[key, value] : server.rules) {
        if (key == "maxteams")
            return value.toInt();
    }
    return 0;
}

} // namespace

TEST(DemoNetwork, RunsEveryKindOfServerAndServesTheirMasterLists)
{
    DemoNetwork network;
    QString error;
    ASSERT_TRUE(network.start(quietOptions("127.0.10.2", 12), &error)) << error.toStdString();
    ASSERT_EQ(network.servers().size(), 12);

    std::set<DemoServerKind> kinds;
    std::set<QByteArray> games;
    for (const DemoNetwork::Server &server : network.servers()) {
        kinds.insert(server.kind);
        games.insert(server.game->description().gameName);
    }
    EXPECT_EQ(kinds.size(), 5u);
    EXPECT_EQ(games, (std::set<QByteArray>{"ut", "unreal"}));

    const QByteArray ut = download(network.utListUrl());
    const QByteArray unreal = download(network.unrealListUrl());
    EXPECT_EQ(ut, network.utMasterList());
    EXPECT_EQ(unreal, network.unrealMasterList());
    QList<QByteArray> lines = (ut + unreal).split('\n');
    lines.removeAll(QByteArray());
    ASSERT_EQ(lines.size(), 12);
    for (const DemoNetwork::Server &server : network.servers()) {
        const QByteArray line =
            server.game->address().toString().toLatin1() + ':' + QByteArray::number(server.game->gamePort());
        EXPECT_TRUE(lines.contains(line)) << line.constData();
        EXPECT_EQ(server.game->queryPort(), server.game->gamePort() + 1);
        EXPECT_EQ((server.game->description().isUnreal() ? unreal : ut).count(line + '\n'), 1);
    }

    const QList<QByteArray> saved = network.addressList().split('\n');
    ASSERT_EQ(saved.size(), 13);
    EXPECT_TRUE(saved.constLast().isEmpty());
    for (qsizetype i = 0; i + 1 < saved.size(); ++i) {
        EXPECT_TRUE(saved.at(i).endsWith('\r'));
        EXPECT_EQ(saved.at(i).trimmed().split(' ').size(), 3);
        if (i > 0) {
            EXPECT_LE(saved.at(i - 1).compare(saved.at(i), Qt::CaseInsensitive), 0);
        }
    }
}

TEST(DemoNetwork, ServersAnswerAsTheirKindSays)
{
    DemoNetwork network;
    QString error;
    ASSERT_TRUE(network.start(quietOptions("127.0.11.2", 12), &error)) << error.toStdString();

    QUdpSocket client;
    ASSERT_TRUE(client.bind(QHostAddress::AnyIPv4, 0));
    for (const DemoNetwork::Server &server : network.servers())
        client.writeDatagram("\\status\\", server.game->address(), server.game->queryPort());
    // The slowest server starts within half a second and sends a few datagrams after that.
    QHash<quint32, QList<QByteArray>> bySender;
    for (int waited = 0; waited < 1500; waited += 50) {
        QTest::qWait(50);
        while (client.hasPendingDatagrams()) {
            const QNetworkDatagram d = client.receiveDatagram();
            bySender[d.senderAddress().toIPv4Address()].append(d.data());
        }
    }

    for (const DemoNetwork::Server &server : network.servers()) {
        const QList<QByteArray> got = bySender.value(server.game->address().toIPv4Address());
        const QString where = server.game->address().toString();
        if (server.kind == DemoServerKind::Dead) {
            EXPECT_TRUE(got.isEmpty()) << where.toStdString();
            continue;
        }
        ASSERT_FALSE(got.isEmpty()) << where.toStdString();
        int finalNumber = 0;
        for (const QByteArray &d : got) {
            if (d.contains("\\final\\")) {
                const QByteArray id = valueOf(wirePairs(d), "queryid");
                finalNumber = id.mid(id.indexOf('.') + 1).toInt();
            }
        }
        ASSERT_GT(finalNumber, 0) << where.toStdString();
        const bool complete = got.size() == finalNumber;
        EXPECT_EQ(complete, server.kind != DemoServerKind::Incomplete) << where.toStdString();
        const bool lastFirst = got.constFirst().contains("\\final\\") && got.size() > 1;
        EXPECT_EQ(lastFirst, server.kind == DemoServerKind::OutOfOrder) << where.toStdString();
        const auto pairs = answerPairs(got);
        EXPECT_EQ(valueOf(pairs, "hostname"), server.game->description().hostName);
        EXPECT_EQ(valueOf(pairs, "hostport"), QByteArray::number(server.game->gamePort()));
    }
}

TEST(DemoNetwork, DrawsBelievableServersFromTheSeed)
{
    std::mt19937 a(7);
    std::mt19937 b(7);
    EXPECT_EQ(buildAnswer(DemoNetwork::randomDescription(a, false, 7777), "\\status\\", 1),
              buildAnswer(DemoNetwork::randomDescription(b, false, 7777), "\\status\\", 1));

    std::mt19937 rng(2024);
    for (int i = 0; i < 300; ++i) {
        const bool unreal = i % 3 == 0;
        const ServerDescription s = DemoNetwork::randomDescription(rng, unreal, 7777 + i);
        EXPECT_EQ(s.isUnreal(), unreal);
        EXPECT_EQ(s.hostPort, 7777 + i);
        EXPECT_FALSE(s.hostName.isEmpty());
        EXPECT_FALSE(s.mapName.isEmpty());
        EXPECT_LE(s.numPlayers(), s.maxPlayers);
        const int teams = teamsOf(s);
        std::set<QByteArray> names;
        for (const PlayerDescription &p : s.players) {
            EXPECT_TRUE(names.insert(p.name).second) << p.name.constData();
            EXPECT_TRUE(p.team == 255 || (p.team >= 0 && p.team < teams)) << p.team;
            if (p.mesh == "Spectator") {
                EXPECT_EQ(p.team, 255);
                EXPECT_TRUE(p.face.isEmpty());
            }
        }
        // Clients drop datagrams longer than 1024 bytes; a believable server never sends one.
        for (const QByteArray &d : buildAnswer(s, "\\status\\", 99999))
            EXPECT_LE(d.size(), 1024);
    }
}

TEST(DemoNetwork, PlayersComeAndGoWithinTheLimits)
{
    DemoNetwork network;
    QString error;
    ASSERT_TRUE(network.start(quietOptions("127.0.12.2", 10), &error)) << error.toStdString();
    QList<int> before;
    for (const DemoNetwork::Server &server : network.servers())
        before.append(server.game->description().numPlayers());
    for (int step = 0; step < 40; ++step)
        network.churn();
    int changed = 0;
    for (qsizetype i = 0; i < network.servers().size(); ++i) {
        const DemoNetwork::Server &server = network.servers().at(i);
        const ServerDescription &s = server.game->description();
        EXPECT_LE(s.numPlayers(), s.maxPlayers);
        std::set<QByteArray> names;
        for (const PlayerDescription &p : s.players)
            EXPECT_TRUE(names.insert(p.name).second) << p.name.constData();
        if (server.kind == DemoServerKind::Dead) {
            EXPECT_EQ(s.numPlayers(), before.at(i));
        } else if (s.numPlayers() != before.at(i)) {
            ++changed;
        }
    }
    EXPECT_GT(changed, 0);
}

TEST(DemoNetwork, RefusesAddressesOutsideLoopback)
{
    const QList<std::pair<const char *, int>> cases = {
        {"10.0.0.2", 3}, {"127.0.0.1", 3}, {"127.255.255.250", 10}, {"::1", 1}, {"127.0.13.2", 0},
    };
    for (const auto &[address, servers] : cases) {
        DemoNetwork network;
        QString error;
        EXPECT_FALSE(network.start(quietOptions(address, servers), &error)) << address;
        EXPECT_FALSE(error.isEmpty()) << address;
        EXPECT_TRUE(network.servers().isEmpty()) << address;
        EXPECT_EQ(network.masterServer(), nullptr) << address;
    }
}
