// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/demo/fakebeaconresponder.h"

#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include "orv/demo/fakegameserver.h"

using namespace orv::demo;

namespace {

QList<QNetworkDatagram> exchange(QUdpSocket &client, const QByteArray &request, const QHostAddress &to, quint16 port,
                                 qsizetype expected)
{
    client.writeDatagram(request, to, port);
    QList<QNetworkDatagram> got;
    const bool enough = QTest::qWaitFor(
        [&] {
            while (client.hasPendingDatagrams())
                got.append(client.receiveDatagram());
            return got.size() >= expected;
        },
        2000);
    EXPECT_TRUE(enough);
    // Anything beyond what was expected would be a fault too.
    QTest::qWait(50);
    while (client.hasPendingDatagrams())
        got.append(client.receiveDatagram());
    return got;
}

} // namespace

TEST(FakeBeaconResponder, AnswersBeaconRequestsFromItsOwnAddress)
{
    const QHostAddress own(QStringLiteral("127.0.0.2"));
    const quint16 beaconPort = FakeGameServer::pickFreeQueryPort();
    ASSERT_NE(beaconPort, 0);
    FakeBeaconResponder responder;
    ASSERT_TRUE(responder.listen(own, beaconPort));
    responder.setSign("ut");
    responder.setPorts(7787, 7788);

    QUdpSocket client;
    ASSERT_TRUE(client.bind(QHostAddress::AnyIPv4, 0));
    struct Case
    {
        QByteArray request;
        QList<QByteArray> answers;
    };
    const QList<Case> cases = {
        {"REPORTQUERY", {"ut 7788"}},
        {"REPORT", {"ut 7787"}},
        {"reportquery", {}},
        {"\\status\\", {}},
    };
    for (const Case &c : cases) {
        const QList<QNetworkDatagram> got = exchange(client, c.request, own, beaconPort, c.answers.size());
        QList<QByteArray> answers;
        for (const QNetworkDatagram &d : got) {
            answers.append(d.data());
            EXPECT_EQ(d.senderAddress().toIPv4Address(), own.toIPv4Address());
        }
        EXPECT_EQ(answers, c.answers) << c.request.constData();
    }
    EXPECT_EQ(responder.requestCount(), cases.size());

    responder.setSilent(true);
    EXPECT_TRUE(exchange(client, "REPORTQUERY", own, beaconPort, 0).isEmpty());
    responder.setSilent(false);
    responder.setRawAnswer("Unreal 7778");
    const auto raw = exchange(client, "REPORTQUERY", own, beaconPort, 1);
    ASSERT_EQ(raw.size(), 1);
    EXPECT_EQ(raw.constFirst().data(), "Unreal 7778");
}

TEST(FakeBeaconResponder, EveryResponderOnThePortAnswersABroadcast)
{
    const quint16 beaconPort = FakeGameServer::pickFreeQueryPort();
    ASSERT_NE(beaconPort, 0);
    FakeBeaconResponder first;
    FakeBeaconResponder second;
    ASSERT_TRUE(first.listen(QHostAddress(QStringLiteral("127.0.0.2")), beaconPort));
    ASSERT_TRUE(second.listen(QHostAddress(QStringLiteral("127.0.0.3")), beaconPort));
    first.setPorts(7777, 7778);
    second.setPorts(7787, 7788);

    QUdpSocket client;
    ASSERT_TRUE(client.bind(QHostAddress::AnyIPv4, 0));
    // The loopback network's own broadcast address stays on this machine.
    const auto got = exchange(client, "REPORTQUERY", QHostAddress(QStringLiteral("127.255.255.255")), beaconPort, 2);
    QStringList answers;
    for (const QNetworkDatagram &d : got)
        answers.append(d.senderAddress().toString() + QLatin1Char(' ') + QString::fromLatin1(d.data()));
    answers.sort();
    EXPECT_EQ(answers, QStringList({QStringLiteral("127.0.0.2 ut 7778"), QStringLiteral("127.0.0.3 ut 7788")}));
}
