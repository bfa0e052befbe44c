// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/exchangepool.h"

#include <algorithm>
#include <limits>
#include <vector>

#include <QHostAddress>
#include <QNetworkProxy>
#include <QUdpSocket>

#include "orv/engine/replydecoder.h"
#include "orv/engine/textutil.h"

namespace orv::engine {

namespace {

// Datagrams handled per wake-up; the socket's notifier is level triggered, so whatever is
// left is read on the next turn of the event loop, after the timers have had their say.
constexpr int kDatagramsPerTurn = 512;
// Answers of many servers can arrive in one burst; a deep receive queue keeps the system
// from dropping them while the user-interface thread is busy, and keeps a flood from one
// sender from crowding out the answers of the others.
constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;

} // namespace

QString sendRequestLine(const AddressWords &target, int attempt)
{
    return QStringLiteral("Send request to :") + target.address + QStringLiteral(" GPort:") + target.gamePort +
           QStringLiteral(" IPort:") + target.queryPort + QStringLiteral(" Try:") + QString::number(attempt);
}

QString senderText(const QHostAddress &sender)
{
    bool isV4 = false;
    const quint32 v4 = sender.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : sender.toString();
}

ExchangePool::ExchangePool(QObject *parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ExchangePool::onTimer);
}

ExchangePool::~ExchangePool() = default;

bool ExchangePool::ensureSocket()
{
    if (m_socket)
        return true;
    auto *socket = new QUdpSocket(this);
    socket->setProxy(QNetworkProxy::NoProxy);
    if (!socket->bind(QHostAddress::AnyIPv4, 0)) {
        delete socket;
        return false;
    }
    socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, kReceiveBufferBytes);
    connect(socket, &QUdpSocket::readyRead, this, &ExchangePool::readPending);
    m_socket = socket;
    return true;
}

bool ExchangePool::isInFlight(const ServerAddress &server) const
{
    return m_exchanges.count(endpointKey(server.ip, server.queryPort)) != 0;
}

std::optional<ExchangePool::Id> ExchangePool::start(const ServerAddress &server, const QByteArray &request,
                                                    const EngineOptions &options)
{
    const quint64 endpoint = endpointKey(server.ip, server.queryPort);
    if (m_exchanges.count(endpoint))
        return std::nullopt;
    Exchange exchange;
    exchange.id = m_nextId++;
    exchange.target = server;
    exchange.key = ReplyStore::serverKey(server);
    exchange.request = request;
    exchange.options = options;
    const Id id = exchange.id;
    Exchange &stored = m_exchanges.emplace(endpoint, std::move(exchange)).first->second;
    m_byAddress[server.ip].push_back(endpoint);
    beginAttempt(stored);
    armTimer();
    return id;
}

void ExchangePool::beginAttempt(Exchange &e)
{
    ++e.attempt;
    e.received = 0;
    e.expected = kInitialExpected;
    e.receptionStopped = false;
    e.roundTrip.reset();
    e.sentAt.start();

    const bool socketOk = ensureSocket();
    const ServerAddress &target = e.target;
    const bool sent =
        socketOk && m_socket->writeDatagram(e.request, QHostAddress(target.ip), target.queryPort) == e.request.size();
    const int timeout = e.options.internetServTimeOut;
    const bool listening = socketOk && timeout >= 0;
    e.waiting = listening;
    // Without a socket to listen on, the exchange ends at once, reported from the timer so
    // that start() never reports.
    e.deadline = listening ? QDeadlineTimer(timeout, Qt::PreciseTimer) : QDeadlineTimer(0);

    // Reported last: a receiver may abort the exchange, and nothing of it is touched after.
    const ServerAddress t = e.target;
    const int attempt = e.attempt;
    emit logLine(sendRequestLine(AddressWords::of(t), attempt));
    emit requesting(t.addressText());
    if (!sent)
        emit logLine(QStringLiteral("Error when UDP send data"));
    emit logLine(QStringLiteral("Listen port:") + t.queryPortText());
    if (!listening)
        emit logLine(QStringLiteral("Error when UDP listen data"));
}

void ExchangePool::readPending()
{
    QUdpSocket *socket = m_socket;
    if (!socket)
        return;
    std::vector<quint64> ended;
    int handled = 0;
    while (socket->hasPendingDatagrams() && ++handled <= kDatagramsPerTurn) {
        // Check the size first: a longer datagram would be cut silently by the read.
        const qint64 size = socket->pendingDatagramSize();
        if (size < 0 || size > kMaxDatagramSize) {
            char discard = 0;
            socket->readDatagram(&discard, 1);
            continue;
        }
        QByteArray buffer(kMaxDatagramSize, '\0');
        QHostAddress sender;
        quint16 senderPort = 0;
        const qint64 got = socket->readDatagram(buffer.data(), buffer.size(), &sender, &senderPort);
        if (got < 0)
            continue;
        bool isV4 = false;
        const quint32 v4 = sender.toIPv4Address(&isV4);
        if (!isV4)
            continue;
        quint64 endpoint = endpointKey(v4, senderPort);
        auto it = m_exchanges.find(endpoint);
        if (it == m_exchanges.end()) {
            const auto same = m_byAddress.find(v4);
            if (same == m_byAddress.end() || same->second.size() != 1)
                continue;
            endpoint = same->second.front();
            it = m_exchanges.find(endpoint);
        }
        Exchange &e = it->second;
        if (!e.waiting || e.receptionStopped || e.received >= kMaxDatagrams)
            continue;
        if (e.deadline.hasExpired()) {
            // Late: the attempt is over, whether or not the timer has fired yet.
            emit logLine(QStringLiteral("Server timeout!"));
            e.waiting = false;
            ended.push_back(endpoint);
            continue;
        }
        buffer.truncate(got);
        const qsizetype zero = buffer.indexOf('\0');
        if (zero >= 0)
            buffer.truncate(zero);
        accept(e, buffer);
        if (!e.waiting && !e.receptionStopped)
            ended.push_back(endpoint);
    }
    for (const quint64 endpoint : ended) {
        if (m_socket != socket)
            return; // aborted by a receiver of finished()
        endAttempt(endpoint);
    }
    armTimer();
}

void ExchangePool::accept(Exchange &e, const QByteArray &text)
{
    if (ReplyStore *store = m_storeProvider ? m_storeProvider() : nullptr)
        store->appendAnswer(e.key, text);
    if (e.received == 0) {
        e.roundTrip = e.sentAt.elapsed();
        emit logLine(QStringLiteral("---------- Query Begin ------------"));
    }
    emit logLine(QStringLiteral("Recived : ") + e.target.addressText() + QStringLiteral(" >") +
                 decodeDatagramText(text));
    ++e.received;

    if (isFinalDatagram(text)) {
        const auto packets = finalPacketNumber(text);
        if (!packets) {
            // A final datagram without a readable packet count: nothing more is taken from
            // this server, and the attempt ends at its time-out with what has arrived.
            e.receptionStopped = true;
            return;
        }
        e.expected = *packets;
    }
    if (e.received == e.expected) {
        emit logLine(QStringLiteral("---------- Query Complete ------------"));
        e.waiting = false;
    }
}

void ExchangePool::endAttempt(quint64 endpoint)
{
    const auto it = m_exchanges.find(endpoint);
    if (it == m_exchanges.end())
        return;
    Exchange &e = it->second;
    e.waiting = false;
    ExchangeResult result;
    result.attempts = e.attempt;
    result.received = e.received;
    result.roundTripMs = e.roundTrip;
    result.expected = static_cast<int>(std::min<qint64>(e.expected, std::numeric_limits<int>::max()));
    const bool complete = e.received == e.expected;
    if (!complete && e.received != 0) {
        if (e.attempt < e.options.serverTry && !e.options.allowNotfull) {
            beginAttempt(e);
            return;
        }
    }
    if (complete)
        result.outcome = QueryOutcome::Complete;
    else if (result.received == 0)
        result.outcome = QueryOutcome::NoAnswer;
    else
        result.outcome = QueryOutcome::Incomplete;
    report(endpoint, result);
}

void ExchangePool::report(quint64 endpoint, platform::Result<ExchangeResult> result)
{
    const Id id = m_exchanges.at(endpoint).id;
    remove(endpoint);
    emit finished(id, result);
}

void ExchangePool::remove(quint64 endpoint)
{
    const auto it = m_exchanges.find(endpoint);
    if (it == m_exchanges.end())
        return;
    if (const auto same = m_byAddress.find(it->second.target.ip); same != m_byAddress.end()) {
        std::erase(same->second, endpoint);
        if (same->second.empty())
            m_byAddress.erase(same);
    }
    m_exchanges.erase(it);
    if (m_exchanges.empty()) {
        m_timer.stop();
        closeSocket();
    }
}

void ExchangePool::abort(Id id)
{
    const auto it =
        std::find_if(m_exchanges.begin(), m_exchanges.end(), [id](const auto &entry) { return entry.second.id == id; });
    if (it != m_exchanges.end())
        remove(it->first);
}

void ExchangePool::onTimer()
{
    std::vector<std::pair<quint64, bool>> due; // endpoint, timed out while listening
    for (const auto &[endpoint, e] : m_exchanges) {
        if (e.deadline.hasExpired())
            due.emplace_back(endpoint, e.waiting);
    }
    QUdpSocket *socket = m_socket;
    for (const auto &[endpoint, timedOut] : due) {
        if (m_socket != socket)
            return;
        if (timedOut)
            emit logLine(QStringLiteral("Server timeout!"));
        endAttempt(endpoint);
    }
    armTimer();
}

void ExchangePool::armTimer()
{
    if (m_exchanges.empty()) {
        m_timer.stop();
        return;
    }
    qint64 earliest = std::numeric_limits<qint64>::max();
    for (const auto &[endpoint, e] : m_exchanges)
        earliest = std::min(earliest, e.deadline.remainingTime());
    m_timer.start(static_cast<int>(std::clamp<qint64>(earliest, 0, std::numeric_limits<int>::max())));
}

void ExchangePool::abortAll()
{
    m_exchanges.clear();
    m_byAddress.clear();
    m_timer.stop();
    closeSocket();
}

void ExchangePool::closeSocket()
{
    if (!m_socket)
        return;
    m_socket->disconnect(this);
    m_socket->close();
    // May be called from inside the socket's own notification.
    m_socket->deleteLater();
    m_socket = nullptr;
}

} // namespace orv::engine
