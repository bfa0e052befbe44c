// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include "orv/net/gamespy.h"

class QEventLoop;

namespace orv::net {

// Why a master gave no list.
enum class GameSpyFailure {
    None,
    ConnectionRefused,
    HostNotFound,
    TimeOut,
    AuthenticationRefused, // "\echo\", or the master closed instead of listing
    NoChallenge,           // the first message held no challenge
    TooLarge,
    Incomplete, // the connection ended before "\final\"
    Cancelled,
    NetworkError,
};

struct GameSpyResult
{
    GameSpyFailure failure = GameSpyFailure::None;
    // The socket's own words for a NetworkError.
    QString detail;
    // Complete and checked when failure is None.
    GameSpyList list;
    qint64 received = 0;
};

// The reason as the download log shows it: "connection refused", "time-out", ...
QString gameSpyFailureText(const GameSpyResult &result);

// Runs one exchange with a master: connect, answer the challenge, ask for the list and read
// it up to "\final\". Waits in a nested event loop like the HTTP download, so windows and
// Cancel keep working. Every limit is enforced: a master that does not connect, falls
// silent, takes too long or sends too much is given up.
class GameSpyClient : public QObject
{
    Q_OBJECT

public:
    static constexpr int kConnectTimeoutMs = 10 * 1000;
    static constexpr int kIdleTimeoutMs = 10 * 1000;
    static constexpr int kTotalTimeoutMs = 30 * 1000;
    static constexpr qint64 kMaxAnswerSize = 4 * 1024 * 1024;

    explicit GameSpyClient(QObject *parent = nullptr);
    ~GameSpyClient() override;

    void setTimeouts(int connectMs, int idleMs, int totalMs);
    void setMaxAnswerSize(qint64 bytes) { m_maxAnswer = bytes; }

    GameSpyResult fetch(const QString &host, quint16 port, MasterGame game);
    // Ends a running fetch with Cancelled; harmless when none runs.
    void cancel();

signals:
    // Bytes received so far in this exchange.
    void progress(qint64 received);

private:
    int m_connectMs = kConnectTimeoutMs;
    int m_idleMs = kIdleTimeoutMs;
    int m_totalMs = kTotalTimeoutMs;
    qint64 m_maxAnswer = kMaxAnswerSize;
    bool m_cancelled = false;
    QEventLoop *m_loop = nullptr;
};

} // namespace orv::net
