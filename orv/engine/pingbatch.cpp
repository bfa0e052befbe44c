// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/pingbatch.h"

#include <array>

#include <QHostAddress>
#include <QSocketNotifier>

#include "orv/engine/icmpecho.h"
#include "orv/engine/ping.h"

#ifdef Q_OS_UNIX
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace orv::engine {

namespace {

constexpr quint16 kFailed = 9999;
// Replies read per wake-up; the rest wait for the next turn of the event loop.
constexpr int kRepliesPerTurn = 256;

} // namespace

PingBatch::PingBatch(QObject *parent)
    : QObject(parent)
    , m_fallback(&PingHost)
{
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        expire();
        runFallbacks();
        armTimer();
    });
#ifdef Q_OS_UNIX
    // Not the identifier of the one-at-a-time measurement, so neither takes the other's
    // replies for its own.
    m_identifier = static_cast<quint16>((::getpid() + 0x5A5A) & 0xFFFF);
#endif
}

PingBatch::~PingBatch()
{
    abortAll();
}

bool PingBatch::ensureSocket()
{
#ifdef Q_OS_UNIX
    if (m_fd >= 0)
        return true;
    if (m_socketFailed)
        return false;
    m_raw = false;
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_ICMP);
    if (fd < 0) {
        fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_ICMP);
        m_raw = true;
    }
    if (fd < 0) {
        m_socketFailed = true;
        return false;
    }
    const int ttl = kPingTtl;
    ::setsockopt(fd, IPPROTO_IP, IP_TTL, &ttl, sizeof ttl);
    m_fd = fd;
    m_notifier = new QSocketNotifier(static_cast<qintptr>(fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PingBatch::readReplies);
    return true;
#else
    return false;
#endif
}

void PingBatch::ping(const QString &address, Done done)
{
    QHostAddress host;
    const bool dotted = host.setAddress(address) && host.protocol() == QAbstractSocket::IPv4Protocol;
    if (!dotted || !ensureSocket()) {
        m_fallbackQueue.emplace_back(address, std::move(done));
        m_timer.start(0);
        return;
    }
#ifdef Q_OS_UNIX
    // Skip sequence numbers still waiting for their reply.
    quint16 seq = ++m_sequence;
    while (m_requests.count(seq))
        seq = ++m_sequence;

    const icmp::EchoRequest packet = icmp::echoRequest(m_identifier, seq);

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(host.toIPv4Address());
    Request request;
    request.address = host.toIPv4Address();
    request.sentMs = m_clock.elapsed();
    if (::sendto(m_fd, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to) < 0) {
        // Reported as a lost echo, from the event loop.
        request.sentMs = -kPingTimeoutMs;
    }
    request.done = std::move(done);
    m_requests.emplace(seq, std::move(request));
    armTimer();
#endif
}

void PingBatch::readReplies()
{
#ifdef Q_OS_UNIX
    std::array<unsigned char, 1500> reply{};
    std::vector<std::pair<Done, quint16>> answered;
    for (int n = 0; n < kRepliesPerTurn && m_fd >= 0; ++n) {
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t got =
            ::recvfrom(m_fd, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr *>(&from), &fromSize);
        if (got < 0)
            break;
        const qint64 now = m_clock.elapsed();
        const auto echo = icmp::parseEchoReply(reply.data(), static_cast<size_t>(got), m_raw);
        if (!echo)
            continue;
        // A datagram ICMP socket gets only its own replies, under an identifier the kernel
        // chose; a raw one sees every reply of the host and must check it.
        if (m_raw && echo->identifier != m_identifier)
            continue;
        const auto it = m_requests.find(echo->sequence);
        if (it == m_requests.end() || it->second.address != ntohl(from.sin_addr.s_addr))
            continue;
        const qint64 elapsed = now - it->second.sentMs;
        if (elapsed > kPingTimeoutMs)
            continue; // left for the time-out
        answered.emplace_back(std::move(it->second.done), static_cast<quint16>(elapsed & 0xFFFF));
        m_requests.erase(it);
    }
    armTimer();
    for (auto &[done, ping] : answered)
        done(ping);
#endif
}

void PingBatch::expire()
{
    const qint64 now = m_clock.elapsed();
    std::vector<Done> lost;
    for (auto it = m_requests.begin(); it != m_requests.end();) {
        if (now - it->second.sentMs >= kPingTimeoutMs) {
            lost.push_back(std::move(it->second.done));
            it = m_requests.erase(it);
        } else {
            ++it;
        }
    }
    for (Done &done : lost)
        done(kFailed);
}

void PingBatch::runFallbacks()
{
    auto queue = std::move(m_fallbackQueue);
    m_fallbackQueue.clear();
    for (auto &[address, done] : queue)
        done(m_fallback ? m_fallback(address) : kFailed);
}

void PingBatch::armTimer()
{
    if (!m_fallbackQueue.empty()) {
        m_timer.start(0);
        return;
    }
    if (m_requests.empty()) {
        m_timer.stop();
        return;
    }
    qint64 earliest = kPingTimeoutMs;
    const qint64 now = m_clock.elapsed();
    for (const auto &[seq, request] : m_requests)
        earliest = std::min(earliest, request.sentMs + kPingTimeoutMs - now);
    m_timer.start(static_cast<int>(std::max<qint64>(earliest, 0)));
}

void PingBatch::abortAll()
{
    m_requests.clear();
    m_fallbackQueue.clear();
    m_timer.stop();
    if (m_notifier) {
        // May run inside the notifier's own signal.
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
#ifdef Q_OS_UNIX
    if (m_fd >= 0)
        ::close(m_fd);
#endif
    m_fd = -1;
}

} // namespace orv::engine
