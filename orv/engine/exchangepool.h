// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "orv/engine/addresslist.h"
#include "orv/engine/engineoptions.h"
#include "orv/engine/replystore.h"
#include "orv/engine/serveraddress.h"
#include "platform/result.h"

class QHostAddress;
class QUdpSocket;

namespace orv::engine {

// The sender of a datagram as dotted text, also when the stack reports an IPv4-mapped
// IPv6 address; answers are matched to their server by this text.
QString senderText(const QHostAddress &sender);
// The log line that opens each attempt of a query: "Send request to :address GPort:…".
QString sendRequestLine(const AddressWords &target, int attempt);

enum class QueryOutcome { Complete, Incomplete, NoAnswer };

struct ExchangeResult
{
    QueryOutcome outcome = QueryOutcome::NoAnswer;
    int received = 0; // of the last attempt
    int expected = 40;
    int attempts = 0;
    // Of the last attempt: milliseconds from sending the request to the first answer
    // datagram; none without an answer.
    std::optional<qint64> roundTripMs;
};

// Error codes of a query that could not be started.
enum class ExchangeError : int { Busy = 1 };

// The query exchanges with game servers, any number in flight at once over one UDP socket.
// Each exchange sends the request, collects the answer datagrams into the reply store until
// the final one's packet count is reached or the time-out passes, and retries incomplete
// answers as the options say. The wait is a state of the exchange, never a nested event
// loop: answers are matched to their exchange by the sender's address and port, and one
// timer serves the earliest deadline. Datagrams from any other sender are dropped uncounted.
//
// The socket lives while exchanges are in flight and is closed when the last one ends, so
// exchanges asked one after another each get a fresh socket: whatever a server sends after
// its exchange has ended never queues up in front of the next server's answer.
//
// Only one exchange per address and query port can be in flight, since answers are told
// apart by exactly that pair; start() refuses a second one. An answer from another port of
// the server's address (a server behind a port mapping) still counts for it while it is the
// only exchange in flight with that address, as it would if it were asked alone.
class ExchangePool : public QObject
{
    Q_OBJECT

public:
    using Id = quint64;
    // The store that is current when a datagram arrives receives it.
    using StoreProvider = std::function<ReplyStore *()>;

    // Datagrams longer than this are ignored; the counters stop at kMaxDatagrams.
    static constexpr int kMaxDatagramSize = 1024;
    static constexpr int kMaxDatagrams = 255;
    static constexpr int kInitialExpected = 40;

    explicit ExchangePool(QObject *parent = nullptr);
    ~ExchangePool() override;

    void setStoreProvider(StoreProvider provider) { m_storeProvider = std::move(provider); }

    // Starts the exchange with the server and returns its id, or nothing when an exchange
    // with the same address and query port is in flight. The result is reported by
    // finished() from the event loop, never from inside start().
    std::optional<Id> start(const ServerAddress &server, const QByteArray &request, const EngineOptions &options);
    // True when an exchange with this address and query port is in flight.
    bool isInFlight(const ServerAddress &server) const;
    int inFlight() const { return static_cast<int>(m_exchanges.size()); }
    // Ends one exchange in flight without reporting it.
    void abort(Id id);
    // Ends every exchange in flight at once, without reporting them, and closes the socket.
    void abortAll();

signals:
    void logLine(const QString &line);
    void requesting(const QString &address);
    void finished(orv::engine::ExchangePool::Id id, const platform::Result<orv::engine::ExchangeResult> &result);

private:
    struct Exchange
    {
        Id id = 0;
        ServerAddress target;
        QByteArray key;
        QByteArray request;
        EngineOptions options;
        int attempt = 0;
        int received = 0;
        // From sending the request to the first datagram of the answer, for the ping of a
        // server when no echo can be sent.
        QElapsedTimer sentAt;
        std::optional<qint64> roundTrip;
        qint64 expected = kInitialExpected;
        bool receptionStopped = false;
        bool waiting = false;
        QDeadlineTimer deadline;
    };

    static quint64 endpointKey(quint32 address, quint16 port) { return quint64(address) << 16 | port; }
    bool ensureSocket();
    void beginAttempt(Exchange &exchange);
    void readPending();
    void accept(Exchange &exchange, const QByteArray &text);
    // The attempt is over: decides on a retry or reports the exchange (later, from the loop).
    void endAttempt(quint64 endpoint);
    void report(quint64 endpoint, platform::Result<ExchangeResult> result);
    // Forgets the exchange; the socket closes with the last one.
    void remove(quint64 endpoint);
    void closeSocket();
    void onTimer();
    void armTimer();

    StoreProvider m_storeProvider;
    QUdpSocket *m_socket = nullptr;
    QTimer m_timer;
    Id m_nextId = 1;
    std::unordered_map<quint64, Exchange> m_exchanges;
    // The endpoints in flight per address.
    std::unordered_map<quint32, std::vector<quint64>> m_byAddress;
};

} // namespace orv::engine
