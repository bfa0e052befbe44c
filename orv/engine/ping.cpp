// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/ping.h"

#include <array>
#include <cerrno>
#include <cstring>

#include <QElapsedTimer>
#include <QHostAddress>
#include <QHostInfo>

#include "orv/engine/icmpecho.h"

#ifdef Q_OS_UNIX
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace orv::engine {

PingClassKind PingClass(quint16 ping)
{
    if (ping <= 150)
        return PingClassKind::Good;
    if (ping <= 300)
        return PingClassKind::Normal;
    if (ping <= 600)
        return PingClassKind::Bad;
    return PingClassKind::None;
}

namespace {

constexpr quint16 kFailed = 9999;

} // namespace

quint16 PingHost(const QString &address)
{
    return EchoHost(address).value_or(kFailed);
}

#ifdef Q_OS_UNIX

namespace {

std::optional<quint32> resolveIPv4(const QString &address)
{
    QHostAddress host;
    if (host.setAddress(address) && host.protocol() == QAbstractSocket::IPv4Protocol)
        return host.toIPv4Address();
    if (address.isEmpty())
        return std::nullopt;
    const QHostInfo info = QHostInfo::fromName(address);
    for (const QHostAddress &a : info.addresses()) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol)
            return a.toIPv4Address();
    }
    return std::nullopt;
}

class SocketGuard
{
public:
    explicit SocketGuard(int fd)
        : m_fd(fd)
    {}
    ~SocketGuard()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    SocketGuard(const SocketGuard &) = delete;
    SocketGuard &operator=(const SocketGuard &) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

std::optional<quint16> EchoHost(const QString &address)
{
    const auto target = resolveIPv4(address);
    if (!target)
        return kFailed;

    // An ICMP datagram socket needs no privilege where net.ipv4.ping_group_range allows
    // it; the kernel then owns the identifier and hands us only our own replies.
    bool raw = false;
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd < 0) {
        fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        raw = true;
    }
    if (fd < 0)
        return std::nullopt;
    SocketGuard guard(fd);

    const int ttl = kPingTtl;
    ::setsockopt(fd, IPPROTO_IP, IP_TTL, &ttl, sizeof ttl);

    static quint16 sequence = 0;
    const quint16 seq = ++sequence;
    const auto identifier = static_cast<quint16>(::getpid() & 0xFFFF);

    const icmp::EchoRequest packet = icmp::echoRequest(identifier, seq);

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(*target);

    QElapsedTimer clock;
    clock.start();
    if (::sendto(fd, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to) < 0)
        return std::nullopt;

    std::array<unsigned char, 1500> reply{};
    for (;;) {
        const qint64 left = kPingTimeoutMs - clock.elapsed();
        if (left <= 0)
            return kFailed;
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return kFailed;
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t got =
            ::recvfrom(fd, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr *>(&from), &fromSize);
        if (got < 0)
            continue;
        const qint64 elapsed = clock.elapsed();
        // A raw socket sees every ICMP packet of the host, our own request on loopback included.
        const auto echo = icmp::parseEchoReply(reply.data(), static_cast<size_t>(got), raw);
        if (!echo || from.sin_addr.s_addr != to.sin_addr.s_addr)
            continue;
        if (echo->sequence != seq || (raw && echo->identifier != identifier))
            continue;
        return static_cast<quint16>(elapsed & 0xFFFF);
    }
}

#else

std::optional<quint16> EchoHost(const QString &)
{
    return std::nullopt;
}

#endif

} // namespace orv::engine
