// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/demo/fakebeaconresponder.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

namespace orv::demo {

namespace {

constexpr QAbstractSocket::BindMode kSharedBind = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;

} // namespace

FakeBeaconResponder::FakeBeaconResponder(QObject *parent)
    : QObject(parent)
{}

FakeBeaconResponder::~FakeBeaconResponder() = default;

bool FakeBeaconResponder::listen(const QHostAddress &ownAddress, quint16 beaconPort, bool receiveBroadcasts)
{
    close();
    // The socket on the own address receives requests sent to this server directly and sends
    // every answer, so the asker sees the server's address as the sender.
    auto *own = new QUdpSocket(this);
    if (!own->bind(ownAddress, beaconPort, kSharedBind)) {
        delete own;
        return false;
    }
    m_own = own;
    connect(m_own, &QUdpSocket::readyRead, this, [this] { readFrom(m_own); });
    // Broadcasts are delivered only to sockets bound to the wildcard address.
    if (receiveBroadcasts) {
        auto *wildcard = new QUdpSocket(this);
        if (!wildcard->bind(QHostAddress::AnyIPv4, beaconPort, kSharedBind)) {
            delete wildcard;
            close();
            return false;
        }
        m_wildcard = wildcard;
        connect(m_wildcard, &QUdpSocket::readyRead, this, [this] { readFrom(m_wildcard); });
    }
    m_address = ownAddress;
    m_port = beaconPort;
    return true;
}

void FakeBeaconResponder::close()
{
    delete m_own;
    m_own = nullptr;
    delete m_wildcard;
    m_wildcard = nullptr;
}

void FakeBeaconResponder::setPorts(quint16 gamePort, quint16 queryPort)
{
    m_gamePort = gamePort;
    m_queryPort = queryPort;
}

void FakeBeaconResponder::readFrom(QUdpSocket *socket)
{
    while (socket && socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket->receiveDatagram(2048);
        if (!datagram.isValid())
            continue;
        const QByteArray request = datagram.data();
        ++m_requestCount;
        emit requestReceived(request);
        if (m_silent || !m_own)
            continue;
        QByteArray answer;
        if (!m_rawAnswer.isEmpty())
            answer = m_rawAnswer;
        else if (request == "REPORTQUERY")
            answer = m_sign + ' ' + QByteArray::number(m_queryPort);
        else if (request == "REPORT")
            answer = m_sign + ' ' + QByteArray::number(m_gamePort);
        if (!answer.isEmpty())
            m_own->writeDatagram(answer, datagram.senderAddress(), static_cast<quint16>(datagram.senderPort()));
    }
}

} // namespace orv::demo
