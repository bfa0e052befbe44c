// SPDX-License-Identifier: GPL-3.0-or-later
// orv-query --local on a network of its own: the client runs in one network namespace,
// beacon responders and game servers in the other, so the broadcast reaches only them.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include "tests/support/netnamespace.h"

TEST(QueryCliLocal, PrintsTheServersThatAnswerTheBeacon)
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/orv-query");
    if (!QFile::exists(program))
        GTEST_SKIP() << "orv-query is not built beside the tests";
    testsupport::NamespacePair net;
    const QString problem = net.create();
    if (!problem.isEmpty())
        GTEST_SKIP() << "Network namespaces cannot be made here (needs root or CAP_NET_ADMIN): "
                     << problem.toStdString();

    QProcess servers;
    servers.start(QStringLiteral("ip"), {QStringLiteral("netns"), QStringLiteral("exec"), net.servers(),
                                         QStringLiteral(ORV_NET_BEACON_HELPER), QStringLiteral("--server"),
                                         QStringLiteral("10.77.0.2,ut,8777,7777,7778"), QStringLiteral("--server"),
                                         QStringLiteral("10.77.0.3,Unreal,7775,7790,7791")});
    ASSERT_TRUE(servers.waitForStarted(5000));
    ASSERT_TRUE(servers.waitForReadyRead(10000)) << servers.readAllStandardError().toStdString();
    ASSERT_EQ(servers.readLine().trimmed(), QByteArray("ready")) << servers.readAllStandardError().toStdString();

    QProcess query;
    query.start(QStringLiteral("ip"),
                {QStringLiteral("netns"), QStringLiteral("exec"), net.client(), program, QStringLiteral("--local")});
    ASSERT_TRUE(query.waitForFinished(20000));
    EXPECT_EQ(query.exitCode(), 0) << query.readAllStandardError().toStdString();
    QStringList lines = QString::fromLatin1(query.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.sort();
    EXPECT_EQ(lines, QStringList({QStringLiteral("10.77.0.2 7777 7778"), QStringLiteral("10.77.0.3 7790 7791")}));

    servers.closeWriteChannel();
    if (!servers.waitForFinished(3000))
        servers.kill();
    servers.waitForFinished(3000);
}
