// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include "orv/net/gamespy.h"

class QTcpSocket;
class QTimer;

namespace orv::net {

// Why a master gave no list.
enum class GameSpyFailure {
    None,
    ConnectionRefused,
    HostNotFound,
    TimeOut,
    ChallengeTimeOut,      // connected (or still connecting) but no challenge in time
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
// it up to "\final\". Driven by the socket's signals and timers; finished() reports the
// outcome. Every limit is enforced: a master that does not connect, sends no challenge
// soon after the connection is asked for, falls silent, takes too long or sends too much
// is given up. Several clients run side by side, one per master.
class GameSpyClient : public QObject
{
    Q_OBJECT

public:
    static constexpr int kConnectTimeoutMs = 10 * 1000;
    // From the start of the connection to the challenge: a master that accepts and stays
    // silent is given up early, as honest masters send their challenge at once.
    static constexpr int kChallengeTimeoutMs = 3 * 1000;
    static constexpr int kIdleTimeoutMs = 10 * 1000;
    static constexpr int kTotalTimeoutMs = 30 * 1000;
    static constexpr qint64 kMaxAnswerSize = 4 * 1024 * 1024;

    explicit GameSpyClient(QObject *parent = nullptr);
    ~GameSpyClient() override;

    struct Limits
    {
        int connectMs = kConnectTimeoutMs;
        int challengeMs = kChallengeTimeoutMs;
        int idleMs = kIdleTimeoutMs;
        int totalMs = kTotalTimeoutMs;
        qint64 maxAnswer = kMaxAnswerSize;
    };

    void setTimeouts(int connectMs, int idleMs, int totalMs);
    void setChallengeTimeout(int ms) { m_limits.challengeMs = ms; }
    void setMaxAnswerSize(qint64 bytes) { m_limits.maxAnswer = bytes; }
    const Limits &limits() const { return m_limits; }
    void setLimits(const Limits &limits) { m_limits = limits; }

    // Starts an exchange; false (and nothing happens) while one runs. finished() follows
    // once (connect to it before starting).
    bool start(const QString &host, quint16 port, MasterGame game);
    bool isRunning() const { return m_socket != nullptr; }
    // Ends a running exchange with Cancelled; harmless when none runs.
    void cancel();

signals:
    // Bytes received so far in this exchange.
    void progress(qint64 received);
    void finished(const orv::net::GameSpyResult &result);

private:
    enum class Phase { Connecting, Challenge, List, Done };

    void onReadyRead();
    void onError(int error);
    void onDisconnected();
    void finish(GameSpyFailure failure);

    Limits m_limits;
    MasterGame m_game = MasterGame::UnrealTournament;
    Phase m_phase = Phase::Done;
    GameSpyResult m_result;
    QByteArray m_buffer;        // everything received
    qsizetype m_listStart = -1; // where the list begins in the buffer
    qsizetype m_finalScan = 0;  // where the search for the end marks goes on
    bool m_loopbackMaster = false;
    QTcpSocket *m_socket = nullptr;
    QTimer *m_connectTimer = nullptr;
    QTimer *m_challengeTimer = nullptr;
    QTimer *m_idleTimer = nullptr;
    QTimer *m_totalTimer = nullptr;
};

} // namespace orv::net
