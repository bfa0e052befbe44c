// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/pingbatch.h"

#include <array>

#include <QHostAddress>
#include <QSocketNotifier>

#include "orv/engine/ping.h"

#ifdef Q_OS_UNIX
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/ip_icmp.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace orv::engine {

namespace {

constexpr quint16 kFailed = 9999;
constexpr size_t kIcmpHeader = 8;
// Replies read per wake-up; the rest wait for the next turn of the event loop.
constexpr int kRepliesPerTurn = 256;

quint16 checksum(const unsigned char *data, size_t size)
{
    quint32 sum = 0;
    for (size_t i = 0; i + 1 < size; i += 2)
        sum += static_cast<quint32>(data[i] << 8 | data[i + 1]);
    if (size % 2)
        sum += static_cast<quint32>(data[size - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<quint16>(~sum);
}

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

    std::array<unsigned char, kIcmpHeader + kPingDataBytes> packet{};
    packet[0] = ICMP_ECHO;
    packet[4] = static_cast<unsigned char>(m_identifier >> 8);
    packet[5] = static_cast<unsigned char>(m_identifier & 0xFF);
    packet[6] = static_cast<unsigned char>(seq >> 8);
    packet[7] = static_cast<unsigned char>(seq & 0xFF);
    for (size_t i = kIcmpHeader; i < packet.size(); ++i)
        packet[i] = static_cast<unsigned char>(i);
    const quint16 sum = checksum(packet.data(), packet.size());
    packet[2] = static_cast<unsigned char>(sum >> 8);
    packet[3] = static_cast<unsigned char>(sum & 0xFF);

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
        size_t offset = 0;
        if (m_raw) {
            // A raw socket sees every ICMP packet of the host, each with its IP header.
            if (got < 20)
                continue;
            offset = static_cast<size_t>(reply[0] & 0x0F) * 4;
        }
        if (static_cast<size_t>(got) < offset + kIcmpHeader)
            continue;
        const unsigned char *icmp = reply.data() + offset;
        if (icmp[0] != ICMP_ECHOREPLY)
            continue;
        const auto replyId = static_cast<quint16>(icmp[4] << 8 | icmp[5]);
        const auto replySeq = static_cast<quint16>(icmp[6] << 8 | icmp[7]);
        // A datagram ICMP socket gets only its own replies, under an identifier the kernel
        // chose; a raw one must check it.
        if (m_raw && replyId != m_identifier)
            continue;
        const auto it = m_requests.find(replySeq);
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
