// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/gamespyclient.h"

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
    case GameSpyFailure::ChallengeTimeOut:
        return QStringLiteral("time-out: no challenge from the master");
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
    , m_connectTimer(new QTimer(this))
    , m_challengeTimer(new QTimer(this))
    , m_idleTimer(new QTimer(this))
    , m_totalTimer(new QTimer(this))
{
    for (QTimer *t : {m_connectTimer, m_idleTimer, m_totalTimer}) {
        t->setSingleShot(true);
        connect(t, &QTimer::timeout, this, [this] { finish(GameSpyFailure::TimeOut); });
    }
    m_challengeTimer->setSingleShot(true);
    m_challengeTimer->setTimerType(Qt::PreciseTimer);
    connect(m_challengeTimer, &QTimer::timeout, this, [this] { finish(GameSpyFailure::ChallengeTimeOut); });
}

GameSpyClient::~GameSpyClient()
{
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        delete m_socket;
    }
}

void GameSpyClient::setTimeouts(int connectMs, int idleMs, int totalMs)
{
    m_limits.connectMs = connectMs;
    m_limits.idleMs = idleMs;
    m_limits.totalMs = totalMs;
}

void GameSpyClient::cancel()
{
    if (m_socket && m_phase != Phase::Done)
        finish(GameSpyFailure::Cancelled);
}

bool GameSpyClient::start(const QString &host, quint16 port, MasterGame game)
{
    if (m_socket)
        return false;
    m_game = game;
    m_result = GameSpyResult();
    m_phase = Phase::Connecting;
    m_buffer.clear();
    m_listStart = -1;
    m_finalScan = 0;
    m_loopbackMaster = QHostAddress(host).isLoopback();

    m_socket = new QTcpSocket(this);
    // The HTTP proxy option is for web lists; masters are always reached directly.
    m_socket->setProxy(QNetworkProxy::NoProxy);
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        m_connectTimer->stop();
        m_loopbackMaster = m_loopbackMaster || m_socket->peerAddress().isLoopback();
        m_phase = Phase::Challenge;
        m_idleTimer->start(m_limits.idleMs);
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &GameSpyClient::onReadyRead);
    connect(m_socket, &QTcpSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError error) { onError(static_cast<int>(error)); });
    connect(m_socket, &QTcpSocket::disconnected, this, &GameSpyClient::onDisconnected);

    if (m_limits.connectMs > 0)
        m_connectTimer->start(m_limits.connectMs);
    if (m_limits.challengeMs > 0)
        m_challengeTimer->start(m_limits.challengeMs);
    if (m_limits.totalMs > 0)
        m_totalTimer->start(m_limits.totalMs);
    m_socket->connectToHost(host, port);
    return true;
}

void GameSpyClient::onReadyRead()
{
    if (m_phase == Phase::Done || !m_socket)
        return;
    const QByteArray block = m_socket->read(m_limits.maxAnswer + 1 - m_buffer.size());
    m_buffer += block;
    m_result.received = m_buffer.size();
    if (m_buffer.size() > m_limits.maxAnswer) {
        finish(GameSpyFailure::TooLarge);
        return;
    }
    if (!block.isEmpty()) {
        m_idleTimer->start(m_limits.idleMs);
        emit progress(m_buffer.size());
    }
    if (m_phase == Phase::Challenge) {
        const GameSpyChallenge challenge = parseGameSpyChallenge(m_buffer);
        if (challenge.state == GameSpyChallenge::State::NeedMore)
            return;
        if (challenge.state == GameSpyChallenge::State::Refused) {
            finish(m_buffer.contains(kEcho) ? GameSpyFailure::AuthenticationRefused : GameSpyFailure::NoChallenge);
            return;
        }
        m_challengeTimer->stop();
        m_socket->write(gameSpyRequest(m_game, challenge.challenge));
        m_phase = Phase::List;
        m_listStart = m_buffer.indexOf(kSecure) + kSecure.size() + kGameSpyChallengeLength;
        m_finalScan = m_listStart;
    }
    // The challenge message may end with its own "\final\", in the same segment as the
    // challenge or a later one: it is not the end of the list.
    QByteArrayView list = QByteArrayView(m_buffer).sliced(m_listStart);
    if (m_finalScan == m_listStart) {
        if (kFinal.startsWith(list))
            return;
        if (list.startsWith(kFinal)) {
            m_listStart += kFinal.size();
            m_finalScan = m_listStart;
            list = list.sliced(kFinal.size());
        }
    }
    // Only the new bytes (and a mark's length before them) are searched, so an answer
    // that arrives byte by byte costs no more than one that arrives at once.
    const qsizetype from = qMax<qsizetype>(0, m_finalScan - m_listStart - kFinal.size());
    m_finalScan = m_buffer.size();
    const qsizetype end = list.indexOf(kFinal, from);
    const qsizetype echo = list.indexOf(kEcho, from);
    if (echo >= 0 && (end < 0 || echo < end))
        finish(GameSpyFailure::AuthenticationRefused);
    else if (end >= 0)
        finish(GameSpyFailure::None);
}

void GameSpyClient::onError(int code)
{
    if (m_phase == Phase::Done || !m_socket)
        return;
    switch (static_cast<QAbstractSocket::SocketError>(code)) {
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
        m_result.detail = m_socket->errorString();
        finish(GameSpyFailure::NetworkError);
        return;
    }
}

void GameSpyClient::onDisconnected()
{
    if (m_phase == Phase::Done || !m_socket)
        return;
    // The last bytes may still be queued.
    if (m_socket->bytesAvailable() > 0)
        onReadyRead();
    if (m_phase == Phase::Done)
        return;
    // A master that refuses the answer just closes, or says "\echo\" first.
    const bool listed = m_phase == Phase::List && QByteArrayView(m_buffer).sliced(m_listStart).contains("\\ip\\");
    if (m_phase == Phase::List && !listed)
        finish(GameSpyFailure::AuthenticationRefused);
    else if (m_phase == Phase::List)
        finish(GameSpyFailure::Incomplete);
    else
        finish(m_buffer.contains(kEcho) ? GameSpyFailure::AuthenticationRefused : GameSpyFailure::NoChallenge);
}

void GameSpyClient::finish(GameSpyFailure failure)
{
    if (m_phase == Phase::Done || !m_socket)
        return;
    m_phase = Phase::Done;
    for (QTimer *t : {m_connectTimer, m_challengeTimer, m_idleTimer, m_totalTimer})
        t->stop();
    m_result.failure = failure;
    if (failure == GameSpyFailure::None) {
        m_result.list = parseGameSpyList(QByteArrayView(m_buffer).sliced(m_listStart), m_loopbackMaster);
        if (m_result.list.refused || !m_result.list.complete) {
            m_result.failure = GameSpyFailure::AuthenticationRefused;
            m_result.list = GameSpyList();
        }
    }
    // finish() may run inside one of the socket's own signals: it goes later.
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    m_buffer.clear();
    const GameSpyResult result = std::move(m_result);
    m_result = GameSpyResult();
    emit finished(result);
}

} // namespace orv::net
