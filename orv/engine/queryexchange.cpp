// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/queryexchange.h"

#include <limits>

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QUdpSocket>

#include "orv/engine/replydecoder.h"
#include "orv/engine/textutil.h"

namespace orv::engine {

namespace {

// Datagrams handled per turn of the event loop; the rest wait for the next turn, so a
// flood cannot keep the time-out timer from firing. The socket's notifier is level
// triggered, so whatever is left makes it fire again on the next turn. No timer may drain
// the rest in between: a readyRead that then finds nothing to read makes QUdpSocket hold
// back every later notification until a datagram is read, and the server's answer that
// arrives afterwards would never be seen.
constexpr int kDatagramsPerTurn = 128;

} // namespace

QString senderText(const QHostAddress &sender)
{
    bool isV4 = false;
    const quint32 v4 = sender.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : sender.toString();
}

QueryExchange::QueryExchange(QObject *parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    // A coarse timer may fire up to 5% early; the time-out is part of the protocol.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &QueryExchange::onTimeout);
}

QueryExchange::~QueryExchange()
{
    if (m_loop)
        m_loop->quit();
}

platform::Result<ExchangeResult> QueryExchange::run(const ServerAddress &server, const QByteArray &request,
                                                    const EngineOptions &options)
{
    if (m_busy)
        return platform::Error{static_cast<int>(ExchangeError::Busy), QStringLiteral("A query is already running.")};
    m_busy = true;
    m_target = server;
    m_key = ReplyStore::serverKey(server.address, server.gamePort, server.queryPort);

    ExchangeResult result;
    for (int attempt = 1;; ++attempt) {
        runAttempt(attempt, request, options);
        result.attempts = attempt;
        result.received = m_received;
        result.roundTripMs = m_roundTrip;
        result.expected = static_cast<int>(std::min<qint64>(m_expected, std::numeric_limits<int>::max()));
        const bool complete = m_received == m_expected;
        if (complete || m_received == 0)
            break;
        if (attempt >= options.serverTry || options.allowNotfull)
            break;
    }
    if (result.received == result.expected)
        result.outcome = QueryOutcome::Complete;
    else if (result.received == 0)
        result.outcome = QueryOutcome::NoAnswer;
    else
        result.outcome = QueryOutcome::Incomplete;
    m_busy = false;
    return result;
}

void QueryExchange::runAttempt(int attempt, const QByteArray &request, const EngineOptions &options)
{
    const ServerAddress &t = m_target;
    emit logLine(QStringLiteral("Send request to :") + t.address + QStringLiteral(" GPort:") + t.gamePort +
                 QStringLiteral(" IPort:") + t.queryPort + QStringLiteral(" Try:") + QString::number(attempt));
    emit requesting(t.address);

    m_done = false;
    m_received = 0;
    m_expected = kInitialExpected;
    m_receptionStopped = false;
    m_roundTrip.reset();

    // One socket both sends from the query port and listens on it: closing and re-binding
    // between the two would lose answers that arrive at once, as loopback ones do.
    auto *socket = new QUdpSocket(this);
    // Queries go straight to the server; asking the system's proxy configuration for every
    // new socket would cost more than the whole exchange on a fast network.
    socket->setProxy(QNetworkProxy::NoProxy);
    m_socket = socket;
    const auto port = parsePortNumber(t.queryPort);
    QHostAddress server;
    const bool addressOk = server.setAddress(t.address) && server.protocol() == QAbstractSocket::IPv4Protocol;
    const bool bound =
        port && socket->bind(QHostAddress::AnyIPv4, *port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
    m_sentAt.start();
    if (!bound || !addressOk || socket->writeDatagram(request, server, *port) != request.size())
        emit logLine(QStringLiteral("Error when UDP send data"));

    emit logLine(QStringLiteral("Listen port:") + t.queryPort);
    const int timeout = options.internetServTimeOut;
    if (!bound || timeout < 0) {
        emit logLine(QStringLiteral("Error when UDP listen data"));
        m_socket = nullptr;
        delete socket;
        m_done = true;
        return;
    }
    connect(socket, &QUdpSocket::readyRead, this, &QueryExchange::readPending);
    m_deadline = QDeadlineTimer(timeout, Qt::PreciseTimer);
    m_timer.start(timeout);
    readPending();
    if (!m_done) {
        QEventLoop loop;
        m_loop = &loop;
        loop.exec();
        m_loop = nullptr;
    }
    m_timer.stop();
    m_socket = nullptr;
    socket->close();
    delete socket;
}

void QueryExchange::readPending()
{
    QUdpSocket *socket = m_socket;
    if (!socket || m_done)
        return;
    int handled = 0;
    while (socket->hasPendingDatagrams()) {
        if (m_deadline.hasExpired()) {
            onTimeout();
            return;
        }
        if (++handled > kDatagramsPerTurn)
            return;
        // Check the size first: a longer datagram would be cut silently by the read.
        const qint64 size = socket->pendingDatagramSize();
        if (size < 0 || size > kMaxDatagramSize) {
            char discard = 0;
            socket->readDatagram(&discard, 1);
            continue;
        }
        QByteArray buffer(kMaxDatagramSize, '\0');
        QHostAddress sender;
        const qint64 got = socket->readDatagram(buffer.data(), buffer.size(), &sender);
        if (got < 0)
            continue;
        if (m_receptionStopped || m_received >= kMaxDatagrams || senderText(sender) != m_target.address)
            continue;
        buffer.truncate(got);
        const qsizetype zero = buffer.indexOf('\0');
        if (zero >= 0)
            buffer.truncate(zero);
        acceptDatagram(buffer);
        if (m_done || !m_socket)
            return;
    }
}

void QueryExchange::acceptDatagram(const QByteArray &text)
{
    if (ReplyStore *store = m_storeProvider ? m_storeProvider() : nullptr)
        store->appendAnswer(m_key, text);
    if (m_received == 0) {
        m_roundTrip = m_sentAt.elapsed();
        emit logLine(QStringLiteral("---------- Query Begin ------------"));
    }
    emit logLine(QStringLiteral("Recived : ") + m_target.address + QStringLiteral(" >") + decodeDatagramText(text));
    ++m_received;

    if (isFinalDatagram(text)) {
        const auto packets = finalPacketNumber(text);
        if (!packets) {
            // A final datagram without a readable packet count: stop listening and let the
            // attempt end at its time-out with what has arrived.
            m_receptionStopped = true;
            if (m_socket)
                m_socket->abort();
            return;
        }
        m_expected = *packets;
    }
    if (m_received == m_expected) {
        emit logLine(QStringLiteral("---------- Query Complete ------------"));
        finishAttempt();
    }
}

void QueryExchange::finishAttempt()
{
    m_done = true;
    m_timer.stop();
    if (m_loop)
        m_loop->quit();
}

void QueryExchange::onTimeout()
{
    if (m_done)
        return;
    emit logLine(QStringLiteral("Server timeout!"));
    finishAttempt();
}

void QueryExchange::stop()
{
    if (m_busy && !m_done)
        finishAttempt();
}

} // namespace orv::engine
