// SPDX-License-Identifier: GPL-3.0-or-later
// Local discovery with a real broadcast to 255.255.255.255. Such a broadcast leaves through
// the default route, so the test builds two network namespaces joined by a veth pair:
// this process moves into one (where the veth end is the default route) and the servers
// run in the other.
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include "tests/orv/net/discoveryfixture.h"

namespace {

QString runIp(const QStringList &args)
{
    QProcess ip;
    ip.start(QStringLiteral("ip"), args);
    if (!ip.waitForFinished(10000))
        return QStringLiteral("ip ") + args.join(QLatin1Char(' ')) + QStringLiteral(": does not finish");
    if (ip.exitStatus() != QProcess::NormalExit || ip.exitCode() != 0)
        return QStringLiteral("ip ") + args.join(QLatin1Char(' ')) + QStringLiteral(": ") +
               QString::fromLocal8Bit(ip.readAllStandardError()).trimmed();
    return {};
}

// Two namespaces "<prefix>c" (client) and "<prefix>s" (servers) with a veth pair between
// them, 10.77.0.1/24 on the client end and 10.77.0.2/24 and 10.77.0.3/24 on the server end.
// Removed again on destruction; this process returns to its own namespace first.
class NamespacePair
{
public:
    NamespacePair()
        : m_prefix(QStringLiteral("orvnet%1").arg(QCoreApplication::applicationPid()))
    {}

    ~NamespacePair()
    {
        leave();
        (void)runIp({QStringLiteral("netns"), QStringLiteral("del"), client()});
        (void)runIp({QStringLiteral("netns"), QStringLiteral("del"), servers()});
        if (m_ownNamespace >= 0)
            close(m_ownNamespace);
    }

    QString client() const { return m_prefix + QLatin1Char('c'); }
    QString servers() const { return m_prefix + QLatin1Char('s'); }

    // Empty on success, else why the namespaces cannot be made here.
    QString create()
    {
        const QString vc = QStringLiteral("ov%1c").arg(QCoreApplication::applicationPid());
        const QString vs = QStringLiteral("ov%1s").arg(QCoreApplication::applicationPid());
        const QList<QStringList> steps = {
            {QStringLiteral("netns"), QStringLiteral("add"), client()},
            {QStringLiteral("netns"), QStringLiteral("add"), servers()},
            {QStringLiteral("link"), QStringLiteral("add"), vc, QStringLiteral("netns"), client(),
             QStringLiteral("type"), QStringLiteral("veth"), QStringLiteral("peer"), QStringLiteral("name"), vs,
             QStringLiteral("netns"), servers()},
            {QStringLiteral("-n"), client(), QStringLiteral("addr"), QStringLiteral("add"),
             QStringLiteral("10.77.0.1/24"), QStringLiteral("dev"), vc},
            {QStringLiteral("-n"), servers(), QStringLiteral("addr"), QStringLiteral("add"),
             QStringLiteral("10.77.0.2/24"), QStringLiteral("dev"), vs},
            {QStringLiteral("-n"), servers(), QStringLiteral("addr"), QStringLiteral("add"),
             QStringLiteral("10.77.0.3/24"), QStringLiteral("dev"), vs},
            {QStringLiteral("-n"), client(), QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("lo"),
             QStringLiteral("up")},
            {QStringLiteral("-n"), servers(), QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("lo"),
             QStringLiteral("up")},
            {QStringLiteral("-n"), client(), QStringLiteral("link"), QStringLiteral("set"), vc, QStringLiteral("up")},
            {QStringLiteral("-n"), servers(), QStringLiteral("link"), QStringLiteral("set"), vs, QStringLiteral("up")},
            {QStringLiteral("-n"), client(), QStringLiteral("route"), QStringLiteral("add"), QStringLiteral("default"),
             QStringLiteral("dev"), vc},
            {QStringLiteral("-n"), servers(), QStringLiteral("route"), QStringLiteral("add"), QStringLiteral("default"),
             QStringLiteral("dev"), vs},
        };
        for (const QStringList &step : steps) {
            const QString problem = runIp(step);
            if (!problem.isEmpty())
                return problem;
        }
        return {};
    }

    // Moves this process (its calling thread, which is the one Qt's sockets live on) into
    // the client namespace.
    QString enterClient()
    {
        m_ownNamespace = open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
        const QByteArray path = "/run/netns/" + client().toLatin1();
        const int fd = open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (m_ownNamespace < 0 || fd < 0)
            return QStringLiteral("cannot open the namespace files");
        const int rc = setns(fd, CLONE_NEWNET);
        close(fd);
        if (rc != 0)
            return QStringLiteral("setns failed");
        m_entered = true;
        return {};
    }

    void leave()
    {
        if (m_entered && m_ownNamespace >= 0)
            (void)setns(m_ownNamespace, CLONE_NEWNET);
        m_entered = false;
    }

private:
    QString m_prefix;
    int m_ownNamespace = -1;
    bool m_entered = false;
};

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
        rig.discovery.DiscoverLocal();
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
