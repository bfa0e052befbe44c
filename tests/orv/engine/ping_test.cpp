// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/ping.h"

#include <grp.h>
#include <map>

#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <netinet/in.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include "orv/engine/pingbatch.h"

using namespace orv::engine;

namespace {

// True when this process may send ICMP echoes at all (datagram or raw socket).
bool canPing()
{
    for (int type : {SOCK_DGRAM, SOCK_RAW}) {
        const int fd = ::socket(AF_INET, type, IPPROTO_ICMP);
        if (fd >= 0) {
            ::close(fd);
            return true;
        }
    }
    return false;
}

} // namespace

TEST(PingHost, LoopbackAddressesAnswerWithinTheTimeOut)
{
    if (!canPing())
        GTEST_SKIP() << "this system allows no ICMP socket";
    for (const char *address : {"127.0.0.1", "127.0.0.2", "127.0.0.77"}) {
        const quint16 ping = PingHost(QString::fromLatin1(address));
        EXPECT_LE(ping, kPingTimeoutMs) << address;
        EXPECT_EQ(PingClass(ping), PingClassKind::Good) << address;
    }
}

TEST(PingHost, UnusableTargetsGive9999)
{
    EXPECT_EQ(PingHost(QString()), 9999);
    // An IPv6 address has no IPv4 echo.
    EXPECT_EQ(PingHost(QStringLiteral("::1")), 9999);
}

// EchoHost says when no echo can be sent at all, so that its caller can measure otherwise;
// 9999 would mark every server unreachable. Run as root, the check drops to an unprivileged
// user in a child process, as the programs usually run.
TEST(EchoHost, NoEchoExactlyWhereNoIcmpSocketMayBeOpened)
{
    const auto consistent = [] { return canPing() == EchoHost(QStringLiteral("127.0.0.1")).has_value(); };
    if (::geteuid() != 0) {
        EXPECT_TRUE(consistent());
        return;
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const gid_t nogroup = 65534;
        if (::setgroups(1, &nogroup) != 0 || ::setgid(nogroup) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        ::_exit(consistent() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// Echoes to several hosts at once: each request is answered once, by its own reply, and a
// target that cannot be pinged answers 9999 without holding up the others.
TEST(PingBatch, ConcurrentEchoesAreMatchedToTheirRequests)
{
    if (!canPing())
        GTEST_SKIP() << "this system allows no ICMP socket";
    PingBatch batch;
    batch.setFallback([](const QString &) { return quint16(9999); });
    std::map<QString, std::vector<quint16>> answers;
    const QStringList targets{QStringLiteral("127.0.0.2"), QStringLiteral("127.0.0.3"), QStringLiteral("127.0.0.90"),
                              QStringLiteral("127.0.0.2"), QStringLiteral("::1")};
    for (const QString &target : targets)
        batch.ping(target, [&answers, target](quint16 ping) { answers[target].push_back(ping); });
    EXPECT_EQ(batch.pending(), targets.size());
    QElapsedTimer clock;
    clock.start();
    while (batch.pending() > 0 && clock.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_EQ(answers.size(), 4u);
    EXPECT_EQ(answers[QStringLiteral("127.0.0.2")].size(), 2u);
    for (const auto &[target, pings] : answers) {
        for (const quint16 ping : pings) {
            if (target == u"::1")
                EXPECT_EQ(ping, 9999);
            else
                EXPECT_EQ(PingClass(ping), PingClassKind::Good) << qPrintable(target);
        }
    }
}
