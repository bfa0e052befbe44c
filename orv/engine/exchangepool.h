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
#include "orv/engine/queryexchange.h"
#include "orv/engine/replystore.h"
#include "platform/result.h"

class QUdpSocket;

namespace orv::engine {

// Many query exchanges in flight at once over one UDP socket. Each exchange follows the same
// rules as QueryExchange (its own time-out, attempts and packet counting, the same log
// lines), but the wait is a state of the exchange instead of a nested event loop: answers
// are matched to their exchange by the sender's address and port, and one timer serves the
// earliest deadline. Datagrams from any other sender are dropped uncounted.
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
    using StoreProvider = QueryExchange::StoreProvider;

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
        quint32 address = 0;
        quint16 port = 0;
        int attempt = 0;
        int received = 0;
        // From sending the request to the first datagram of the answer, for the ping of a
        // server when no echo can be sent.
        QElapsedTimer sentAt;
        std::optional<qint64> roundTrip;
        qint64 expected = QueryExchange::kInitialExpected;
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
