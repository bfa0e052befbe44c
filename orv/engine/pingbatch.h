// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <unordered_map>

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

namespace orv::engine {

// Echo requests to many hosts at once over one ICMP socket, each reply matched to its
// request by identifier, sequence number and sender, so a slow or silent host never delays
// the others. Every request is answered through its callback from the event loop with the
// round-trip time in milliseconds, or 9999 after the ping time-out.
//
// Where no ICMP socket can be opened, or the address is not a dotted IPv4 address, the
// request falls back to the blocking measurement given (PingHost by default), called from
// the event loop.
class PingBatch : public QObject
{
    Q_OBJECT

public:
    using Done = std::function<void(quint16 ping)>;
    using Fallback = std::function<quint16(const QString &address)>;

    explicit PingBatch(QObject *parent = nullptr);
    ~PingBatch() override;

    void setFallback(Fallback fallback) { m_fallback = std::move(fallback); }
    void ping(const QString &address, Done done);
    // Whether echoes can be sent from here at all (an ICMP socket opens); opens it if so.
    bool canEcho() { return ensureSocket(); }
    int pending() const { return static_cast<int>(m_requests.size() + m_fallbackQueue.size()); }
    // Drops every request without calling back and closes the socket.
    void abortAll();

private:
    struct Request
    {
        quint32 address = 0;
        qint64 sentMs = 0;
        Done done;
    };

    bool ensureSocket();
    void readReplies();
    void expire();
    void runFallbacks();
    void armTimer();

    Fallback m_fallback;
    int m_fd = -1;
    bool m_raw = false;
    bool m_socketFailed = false;
    QSocketNotifier *m_notifier = nullptr;
    quint16 m_identifier = 0;
    quint16 m_sequence = 0;
    QElapsedTimer m_clock;
    QTimer m_timer;
    std::unordered_map<quint16, Request> m_requests;
    std::vector<std::pair<QString, Done>> m_fallbackQueue;
};

} // namespace orv::engine
