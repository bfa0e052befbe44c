// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include "orv/engine/addresslist.h"
#include "orv/engine/engineoptions.h"
#include "orv/engine/replystore.h"
#include "platform/result.h"

class QEventLoop;
class QUdpSocket;

namespace orv::engine {

// The sender of a datagram as dotted text, also when the stack reports an IPv4-mapped
// IPv6 address; answers are matched to their server by this text.
QString senderText(const QHostAddress &sender);

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

// Error codes of QueryExchange::run.
enum class ExchangeError : int { Busy = 1 };

// The UDP exchange with one game server: send the request from the query port, collect
// the answer datagrams into the reply store until the final one's packet count is reached
// or the time-out passes, and retry incomplete answers as the options say.
//
// The wait runs a nested event loop on the calling (user-interface) thread, so commands,
// timers and other sockets keep working meanwhile. There is one exchange at a time: a
// second run() while one waits is refused with ExchangeError::Busy.
class QueryExchange : public QObject
{
    Q_OBJECT

public:
    // Datagrams longer than this are ignored; the counters stop at kMaxDatagrams.
    static constexpr int kMaxDatagramSize = 1024;
    static constexpr int kMaxDatagrams = 255;
    static constexpr int kInitialExpected = 40;

    // The store that is current when a datagram arrives receives it.
    using StoreProvider = std::function<ReplyStore *()>;

    explicit QueryExchange(QObject *parent = nullptr);
    ~QueryExchange() override;

    void setStoreProvider(StoreProvider provider) { m_storeProvider = std::move(provider); }

    bool isBusy() const { return m_busy; }
    const ServerAddress &target() const { return m_target; }

    platform::Result<ExchangeResult> run(const ServerAddress &server, const QByteArray &request,
                                         const EngineOptions &options);

    // Ends the current attempt's wait as a time-out does, without its log line.
    void stop();

signals:
    void logLine(const QString &line);
    // An attempt's request is about to go to this server.
    void requesting(const QString &address);

private:
    void runAttempt(int attempt, const QByteArray &request, const EngineOptions &options);
    void readPending();
    void acceptDatagram(const QByteArray &text);
    void finishAttempt();
    void onTimeout();

    StoreProvider m_storeProvider;
    ServerAddress m_target;
    QByteArray m_key;
    bool m_busy = false;
    bool m_done = true;
    bool m_receptionStopped = false;
    int m_received = 0;
    qint64 m_expected = kInitialExpected;
    QDeadlineTimer m_deadline;
    QElapsedTimer m_sentAt;
    std::optional<qint64> m_roundTrip;
    QTimer m_timer;
    QPointer<QUdpSocket> m_socket;
    QEventLoop *m_loop = nullptr;
};

} // namespace orv::engine
