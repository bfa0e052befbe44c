// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/ping.h"

#include <sys/socket.h>
#include <unistd.h>

#include <netinet/in.h>

#include <gtest/gtest.h>

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
