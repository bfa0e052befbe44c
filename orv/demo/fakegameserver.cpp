// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/demo/fakegameserver.h"

#include <algorithm>

#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

#include "orv/demo/queryanswer.h"

namespace orv::demo {

namespace {

constexpr QAbstractSocket::BindMode kSharedBind = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;
// Requests are short; anything longer than a datagram's maximum is cut by the system anyway.
constexpr qint64 kMaxRequest = 65536;

} // namespace

FakeGameServer::FakeGameServer(QObject *parent)
    : QObject(parent)
    , m_sendTimer(new QTimer(this))
{
    m_sendTimer->setSingleShot(true);
    m_sendTimer->setTimerType(Qt::PreciseTimer);
    connect(m_sendTimer, &QTimer::timeout, this, &FakeGameServer::sendDue);
    m_clock.start();
}

FakeGameServer::~FakeGameServer() = default;

bool FakeGameServer::listen(const QHostAddress &address, quint16 queryPort)
{
    close();
    if (queryPort == 0)
        queryPort = pickFreeQueryPort();
    if (queryPort == 0)
        return false;
    auto *socket = new QUdpSocket(this);
    if (!socket->bind(address, queryPort, kSharedBind)) {
        delete socket;
        return false;
    }
    m_socket = socket;
    m_address = address;
    m_queryPort = queryPort;
    m_requestCount = 0;
    m_datagramsSent = 0;
    connect(m_socket, &QUdpSocket::readyRead, this, &FakeGameServer::readRequests);
    return true;
}

void FakeGameServer::close()
{
    m_sendTimer->stop();
    m_outgoing.clear();
    delete m_socket;
    m_socket = nullptr;
    delete m_otherSocket;
    m_otherSocket = nullptr;
}

bool FakeGameServer::isListening() const
{
    return m_socket != nullptr;
}

quint16 FakeGameServer::gamePort() const
{
    return static_cast<quint16>(m_description.hostPort);
}

quint16 FakeGameServer::pickFreeQueryPort()
{
    // A socket bound to the wildcard address without sharing conflicts with every socket on
    // that port, whatever its address, so the port the system hands out is free everywhere.
    for (int attempt = 0; attempt < 50; ++attempt) {
        QUdpSocket probe;
        if (!probe.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress))
            return 0;
        const quint16 port = probe.localPort();
        if (port > 1025)
            return port;
    }
    return 0;
}

bool FakeGameServer::sendDatagram(const QByteArray &datagram, const QHostAddress &peer, quint16 peerPort)
{
    if (!m_socket || m_socket->writeDatagram(datagram, peer, peerPort) < 0)
        return false;
    ++m_datagramsSent;
    return true;
}

void FakeGameServer::readRequests()
{
    while (m_socket && m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram(kMaxRequest);
        if (!datagram.isValid())
            continue;
        ++m_requestCount;
        m_lastRequest = datagram.data();
        m_lastPeerPort = static_cast<quint16>(datagram.senderPort());
        emit requestReceived(m_lastRequest);
        if (!m_behaviour.dead)
            answer(datagram.senderAddress(), static_cast<quint16>(datagram.senderPort()), m_lastRequest);
    }
}

void FakeGameServer::answer(const QHostAddress &peer, quint16 peerPort, const QByteArray &request)
{
    QList<QByteArray> datagrams;
    if (!m_behaviour.rawDatagrams.isEmpty()) {
        datagrams = m_behaviour.rawDatagrams;
    } else {
        datagrams = buildAnswer(m_description, request, m_nextQueryId, m_behaviour.maxDatagramSize);
        if (datagrams.isEmpty())
            return;
        ++m_nextQueryId;
        QList<QByteArray> kept;
        for (qsizetype i = 0; i < datagrams.size(); ++i) {
            if (!m_behaviour.dropPackets.contains(static_cast<int>(i + 1)))
                kept.append(datagrams.at(i));
        }
        datagrams = kept;
    }
    if (m_behaviour.reversed)
        std::reverse(datagrams.begin(), datagrams.end());

    QList<QByteArray> sequence;
    for (int i = 0; i < m_behaviour.floodCount; ++i)
        sequence.append(m_behaviour.floodDatagram);
    for (const QByteArray &datagram : std::as_const(datagrams)) {
        for (int copy = 0; copy <= m_behaviour.repeatCount; ++copy)
            sequence.append(datagram);
    }
    if (sequence.isEmpty())
        return;

    // Keep answers to back-to-back requests in order: a new answer never starts before the
    // previous one has been sent.
    qint64 due = m_clock.elapsed() + std::max(0, m_behaviour.delayMs);
    if (!m_outgoing.isEmpty())
        due = std::max(due, m_outgoing.constLast().dueMs);
    const int floods = m_behaviour.floodCount;
    for (qsizetype i = 0; i < sequence.size(); ++i) {
        Outgoing out;
        out.peer = peer;
        out.peerPort = peerPort;
        out.datagram = sequence.at(i);
        const qsizetype answerIndex = std::max<qsizetype>(0, i - floods);
        out.dueMs = due + answerIndex * std::max(0, m_behaviour.gapMs);
        if (i + 1 == sequence.size())
            out.endsAnswerOf = static_cast<int>(sequence.size());
        m_outgoing.append(out);
    }
    sendDue();
}

void FakeGameServer::sendDue()
{
    const qint64 now = m_clock.elapsed();
    while (!m_outgoing.isEmpty() && m_outgoing.constFirst().dueMs <= now) {
        const Outgoing out = m_outgoing.takeFirst();
        QUdpSocket *socket = replySocket();
        if (socket && socket->writeDatagram(out.datagram, out.peer, out.peerPort) >= 0)
            ++m_datagramsSent;
        if (out.endsAnswerOf > 0)
            emit answerSent(out.endsAnswerOf);
    }
    if (!m_outgoing.isEmpty())
        m_sendTimer->start(static_cast<int>(std::max<qint64>(0, m_outgoing.constFirst().dueMs - now)));
}

QUdpSocket *FakeGameServer::replySocket()
{
    const bool otherAddress = !m_behaviour.replyFromAddress.isNull() && m_behaviour.replyFromAddress != m_address;
    if (!m_behaviour.replyFromOtherPort && !otherAddress)
        return m_socket;
    const QHostAddress from = otherAddress ? m_behaviour.replyFromAddress : m_address;
    if (m_otherSocket && m_otherSocket->localAddress() == from)
        return m_otherSocket;
    delete m_otherSocket;
    m_otherSocket = new QUdpSocket(this);
    // Answers from another address go out from the query port too, unless asked otherwise, so
    // that only the sender address differs.
    const quint16 port = m_behaviour.replyFromOtherPort ? 0 : m_queryPort;
    if (!m_otherSocket->bind(from, port, kSharedBind)) {
        delete m_otherSocket;
        m_otherSocket = nullptr;
    }
    return m_otherSocket;
}

} // namespace orv::demo
