// SPDX-License-Identifier: GPL-3.0-or-later
// Local discovery with a real broadcast to 255.255.255.255. Such a broadcast leaves through
// the default route, so the test builds two network namespaces joined by a veth pair:
// this process moves into one (where the veth end is the default route) and the servers
// run in the other.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include "tests/orv/net/discoveryfixture.h"
#include "tests/support/netnamespace.h"

namespace {

using testsupport::NamespacePair;

TEST(LocalDiscoveryBroadcast, FindsServersOfBothGamesOnTheNetwork)
{
    NamespacePair net;
    const QString problem = net.create();
    if (!problem.isEmpty())
        GTEST_SKIP() << "Network namespaces cannot be made here (needs root or CAP_NET_ADMIN): "
                     << problem.toStdString();

    // Two UT servers on one host, and an Unreal server on another, on the games' usual
    // beacon ports: nothing else lives in these namespaces.
    QProcess helper;
    helper.start(QStringLiteral("ip"),
                 {QStringLiteral("netns"), QStringLiteral("exec"), net.servers(), QStringLiteral(ORV_NET_BEACON_HELPER),
                  QStringLiteral("--server"), QStringLiteral("10.77.0.2,ut,8777,7777,7778"), QStringLiteral("--server"),
                  QStringLiteral("10.77.0.2,ut,8777,7787,7788"), QStringLiteral("--server"),
                  QStringLiteral("10.77.0.3,Unreal,7775,7777,7778")});
    ASSERT_TRUE(helper.waitForStarted(5000));
    ASSERT_TRUE(helper.waitForReadyRead(10000)) << helper.readAllStandardError().toStdString();
    ASSERT_EQ(helper.readLine().trimmed(), QByteArray("ready")) << helper.readAllStandardError().toStdString();

    const QString entered = net.enterClient();
    ASSERT_TRUE(entered.isEmpty()) << entered.toStdString();
    {
        nettest::DiscoveryRig rig; // default beacon ports and broadcast address
        ASSERT_TRUE(rig.discover());
        QStringList found = rig.localLines();
        found.sort();
        EXPECT_EQ(found, (QStringList{QStringLiteral("10.77.0.2 7777 7778"), QStringLiteral("10.77.0.2 7787 7788"),
                                      QStringLiteral("10.77.0.3 7777 7778")}))
            << rig.log.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(rig.log.contains(QStringLiteral("Send request to :255.255.255.255 to port:8777")));
    }
    net.leave();
    helper.closeWriteChannel();
    if (!helper.waitForFinished(3000))
        helper.kill();
    helper.waitForFinished(3000);
}

} // namespace
