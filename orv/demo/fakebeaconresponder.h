// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>

class QUdpSocket;

namespace orv::demo {

// The LAN beacon of a simulated server: answers "REPORTQUERY" with "<sign> <query port>" and
// "REPORT" with "<sign> <game port>", sent to the asker from the server's own address. Besides
// its own address it listens on the wildcard address, so that broadcasts reach it; several
// responders can share one beacon port.
class FakeBeaconResponder : public QObject
{
    Q_OBJECT

public:
    explicit FakeBeaconResponder(QObject *parent = nullptr);
    ~FakeBeaconResponder() override;

    // sign: "ut" or "Unreal" (any text; sent as given). Returns false when a socket cannot be bound.
    bool listen(const QHostAddress &ownAddress, quint16 beaconPort, bool receiveBroadcasts = true);
    void close();

    void setSign(const QByteArray &sign) { m_sign = sign; }
    void setPorts(quint16 gamePort, quint16 queryPort);
    // When set, answer every request with exactly these bytes instead.
    void setRawAnswer(const QByteArray &answer) { m_rawAnswer = answer; }
    void setSilent(bool silent) { m_silent = silent; }

    QHostAddress address() const { return m_address; }
    quint16 beaconPort() const { return m_port; }
    int requestCount() const { return m_requestCount; }

signals:
    void requestReceived(const QByteArray &request);

private:
    void readFrom(QUdpSocket *socket);

    QUdpSocket *m_own = nullptr;
    QUdpSocket *m_wildcard = nullptr;
    QHostAddress m_address;
    quint16 m_port = 0;
    QByteArray m_sign = "ut";
    quint16 m_gamePort = 7777;
    quint16 m_queryPort = 7778;
    QByteArray m_rawAnswer;
    bool m_silent = false;
    int m_requestCount = 0;
};

} // namespace orv::demo
