// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/gamespyclient.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>

namespace orv::net {

namespace {

constexpr QByteArrayView kFinal = "\\final\\";
constexpr QByteArrayView kEcho = "\\echo\\";
constexpr QByteArrayView kSecure = "\\secure\\";

} // namespace

QString gameSpyFailureText(const GameSpyResult &result)
{
    switch (result.failure) {
    case GameSpyFailure::None:
        return {};
    case GameSpyFailure::ConnectionRefused:
        return QStringLiteral("connection refused");
    case GameSpyFailure::HostNotFound:
        return QStringLiteral("host not found");
    case GameSpyFailure::TimeOut:
        return QStringLiteral("time-out");
    case GameSpyFailure::AuthenticationRefused:
        return QStringLiteral("authentication refused");
    case GameSpyFailure::NoChallenge:
        return QStringLiteral("no challenge from the master");
    case GameSpyFailure::TooLarge:
        return QStringLiteral("answer larger than %1 MB").arg(GameSpyClient::kMaxAnswerSize / (1024 * 1024));
    case GameSpyFailure::Incomplete:
        return QStringLiteral("connection closed before the end of the list");
    case GameSpyFailure::Cancelled:
        return QStringLiteral("Operation canceled");
    case GameSpyFailure::NetworkError:
        return result.detail.isEmpty() ? QStringLiteral("network error") : result.detail;
    }
    return {};
}

GameSpyClient::GameSpyClient(QObject *parent)
    : QObject(parent)
{}

GameSpyClient::~GameSpyClient()
{
    if (m_loop)
        m_loop->quit();
}

void GameSpyClient::setTimeouts(int connectMs, int idleMs, int totalMs)
{
    m_connectMs = connectMs;
    m_idleMs = idleMs;
    m_totalMs = totalMs;
}

void GameSpyClient::cancel()
{
    m_cancelled = true;
    if (m_loop)
        m_loop->quit();
}

GameSpyResult GameSpyClient::fetch(const QString &host, quint16 port, MasterGame game)
{
    GameSpyResult result;
    m_cancelled = false;

    enum class Phase { Connecting, Challenge, List, Done };
    Phase phase = Phase::Connecting;
    QByteArray buffer;        // everything received
    qsizetype listStart = -1; // where the list begins in buffer
    qsizetype finalScan = 0;  // where the search for the end marks goes on
    bool loopbackMaster = QHostAddress(host).isLoopback();

    QTcpSocket socket;
    // The HTTP proxy option is for web lists; masters are always reached directly.
    socket.setProxy(QNetworkProxy::NoProxy);
    QEventLoop loop;
    QTimer connectTimer;
    QTimer idleTimer;
    QTimer totalTimer;
    for (QTimer *t : {&connectTimer, &idleTimer, &totalTimer})
        t->setSingleShot(true);

    const auto finish = [&](GameSpyFailure failure) {
        if (phase == Phase::Done)
            return;
        phase = Phase::Done;
        result.failure = failure;
        loop.quit();
    };
    const auto onTimeOut = [&] { finish(GameSpyFailure::TimeOut); };
    connect(&connectTimer, &QTimer::timeout, &loop, onTimeOut);
    connect(&idleTimer, &QTimer::timeout, &loop, onTimeOut);
    connect(&totalTimer, &QTimer::timeout, &loop, onTimeOut);

    connect(&socket, &QTcpSocket::connected, &loop, [&] {
        connectTimer.stop();
        loopbackMaster = loopbackMaster || socket.peerAddress().isLoopback();
        phase = Phase::Challenge;
        idleTimer.start(m_idleMs);
    });
    connect(&socket, &QTcpSocket::readyRead, &loop, [&] {
        if (phase == Phase::Done)
            return;
        const QByteArray block = socket.read(m_maxAnswer + 1 - buffer.size());
        buffer += block;
        result.received = buffer.size();
        if (buffer.size() > m_maxAnswer) {
            finish(GameSpyFailure::TooLarge);
            return;
        }
        if (!block.isEmpty()) {
            idleTimer.start(m_idleMs);
            emit progress(buffer.size());
        }
        if (phase == Phase::Challenge) {
            const GameSpyChallenge challenge = parseGameSpyChallenge(buffer);
            if (challenge.state == GameSpyChallenge::State::NeedMore)
                return;
            if (challenge.state == GameSpyChallenge::State::Refused) {
                finish(buffer.contains(kEcho) ? GameSpyFailure::AuthenticationRefused : GameSpyFailure::NoChallenge);
                return;
            }
            socket.write(gameSpyRequest(game, challenge.challenge));
            phase = Phase::List;
            listStart = buffer.indexOf(kSecure) + kSecure.size() + kGameSpyChallengeLength;
            finalScan = listStart;
        }
        // The challenge message may end with its own "\final\", in the same segment as the
        // challenge or a later one: it is not the end of the list.
        QByteArrayView list = QByteArrayView(buffer).sliced(listStart);
        if (finalScan == listStart) {
            if (kFinal.startsWith(list))
                return;
            if (list.startsWith(kFinal)) {
                listStart += kFinal.size();
                finalScan = listStart;
                list = list.sliced(kFinal.size());
            }
        }
        // Only the new bytes (and a mark's length before them) are searched, so an answer
        // that arrives byte by byte costs no more than one that arrives at once.
        const qsizetype from = qMax<qsizetype>(0, finalScan - listStart - kFinal.size());
        finalScan = buffer.size();
        const qsizetype end = list.indexOf(kFinal, from);
        const qsizetype echo = list.indexOf(kEcho, from);
        if (echo >= 0 && (end < 0 || echo < end))
            finish(GameSpyFailure::AuthenticationRefused);
        else if (end >= 0)
            finish(GameSpyFailure::None);
    });
    connect(&socket, &QTcpSocket::errorOccurred, &loop, [&](QAbstractSocket::SocketError error) {
        if (phase == Phase::Done)
            return;
        switch (error) {
        case QAbstractSocket::ConnectionRefusedError:
            finish(GameSpyFailure::ConnectionRefused);
            return;
        case QAbstractSocket::HostNotFoundError:
            finish(GameSpyFailure::HostNotFound);
            return;
        case QAbstractSocket::RemoteHostClosedError:
            // Handled by disconnected, after the last bytes were read.
            return;
        case QAbstractSocket::SocketTimeoutError:
            finish(GameSpyFailure::TimeOut);
            return;
        default:
            result.detail = socket.errorString();
            finish(GameSpyFailure::NetworkError);
            return;
        }
    });
    connect(&socket, &QTcpSocket::disconnected, &loop, [&] {
        if (phase == Phase::Done)
            return;
        // A master that refuses the answer just closes, or says "\echo\" first.
        const bool listed = phase == Phase::List && QByteArrayView(buffer).sliced(listStart).contains("\\ip\\");
        if (phase == Phase::List && !listed)
            finish(GameSpyFailure::AuthenticationRefused);
        else if (phase == Phase::List)
            finish(GameSpyFailure::Incomplete);
        else
            finish(buffer.contains(kEcho) ? GameSpyFailure::AuthenticationRefused : GameSpyFailure::NoChallenge);
    });

    if (m_connectMs > 0)
        connectTimer.start(m_connectMs);
    if (m_totalMs > 0)
        totalTimer.start(m_totalMs);
    socket.connectToHost(host, port);
    m_loop = &loop;
    if (phase != Phase::Done && !m_cancelled)
        loop.exec();
    m_loop = nullptr;
    if (phase != Phase::Done)
        finish(m_cancelled ? GameSpyFailure::Cancelled : GameSpyFailure::NetworkError);
    socket.abort();

    if (result.failure == GameSpyFailure::None) {
        result.list = parseGameSpyList(QByteArrayView(buffer).sliced(listStart), loopbackMaster);
        if (result.list.refused || !result.list.complete) {
            result.failure = GameSpyFailure::AuthenticationRefused;
            result.list = GameSpyList();
        }
    }
    return result;
}

} // namespace orv::net
