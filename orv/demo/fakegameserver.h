// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QObject>

#include "orv/demo/serverdescription.h"

class QTimer;
class QUdpSocket;

namespace orv::demo {

// How a fake server misbehaves. The defaults answer at once, in order, completely.
struct ServerBehaviour
{
    // Never answer (the request is still counted).
    bool dead = false;
    // Wait before the first datagram, and between datagrams.
    int delayMs = 0;
    int gapMs = 0;
    // Send the datagrams of an answer last first.
    bool reversed = false;
    // Packet numbers (1-based) that are built but never sent: the answer stays incomplete.
    QList<int> dropPackets;
    // When not empty, these datagrams are sent verbatim, in this order, instead of an answer
    // built from the description.
    QList<QByteArray> rawDatagrams;
    // Extra datagrams sent before the answer: floodCount copies of floodDatagram.
    int floodCount = 0;
    QByteArray floodDatagram = "\\flood\\1";
    // Each datagram of the answer is sent this many extra times.
    int repeatCount = 0;
    // Answer from a second socket on an ephemeral port, or (when set) from another address,
    // instead of from the query port.
    bool replyFromOtherPort = false;
    QHostAddress replyFromAddress;
    // Limit of the pairs in one datagram of a built answer (the query id trailer comes on top).
    int maxDatagramSize = 1000;
};

// A simulated game server on a loopback address: answers backslash queries on its query port
// the way an Unreal or UT server does, or misbehaves as its ServerBehaviour says. Lives on the
// thread that created it and answers from the event loop.
class FakeGameServer : public QObject
{
    Q_OBJECT

public:
    explicit FakeGameServer(QObject *parent = nullptr);
    ~FakeGameServer() override;

    // Binds address:queryPort with address sharing, because a client binds the same port number
    // on its own side. Port 0 picks a port that no socket on this machine uses on any address.
    // Returns false when the socket cannot be bound.
    bool listen(const QHostAddress &address, quint16 queryPort = 0);
    void close();
    bool isListening() const;

    QHostAddress address() const { return m_address; }
    quint16 queryPort() const { return m_queryPort; }
    // The description's hostport.
    quint16 gamePort() const;

    const ServerDescription &description() const { return m_description; }
    void setDescription(const ServerDescription &description) { m_description = description; }
    ServerDescription &mutableDescription() { return m_description; }

    const ServerBehaviour &behaviour() const { return m_behaviour; }
    void setBehaviour(const ServerBehaviour &behaviour) { m_behaviour = behaviour; }

    // Requests received since listen() (also those of a dead server), and datagrams sent.
    int requestCount() const { return m_requestCount; }
    int datagramsSent() const { return m_datagramsSent; }
    QByteArray lastRequest() const { return m_lastRequest; }
    // The port the last request came from: where the client listens for the answer.
    quint16 lastPeerPort() const { return m_lastPeerPort; }
    // The query number of the next answer; it grows by one per answer, as on real servers.
    int nextQueryId() const { return m_nextQueryId; }
    void setNextQueryId(int id) { m_nextQueryId = id; }

    // Sends one datagram nobody asked for, from the query port (a stray answer, a flood
    // between exchanges). Returns false when it could not be sent.
    bool sendDatagram(const QByteArray &datagram, const QHostAddress &peer, quint16 peerPort);

    // Picks a UDP port that is free on every local address and whose port - 1 is usable as a
    // game port. Returns 0 when none could be found.
    static quint16 pickFreeQueryPort();

signals:
    void requestReceived(const QByteArray &request);
    // The whole answer to one request has been handed to the network.
    void answerSent(int datagrams);

private:
    struct Outgoing
    {
        QHostAddress peer;
        quint16 peerPort = 0;
        QByteArray datagram;
        qint64 dueMs = 0;
        // Set on the last datagram of an answer: the size of that answer.
        int endsAnswerOf = 0;
    };

    void readRequests();
    void answer(const QHostAddress &peer, quint16 peerPort, const QByteArray &request);
    void sendDue();
    QUdpSocket *replySocket();

    ServerDescription m_description;
    ServerBehaviour m_behaviour;
    QHostAddress m_address;
    quint16 m_queryPort = 0;
    QUdpSocket *m_socket = nullptr;
    QUdpSocket *m_otherSocket = nullptr;
    QTimer *m_sendTimer = nullptr;
    QElapsedTimer m_clock;
    QList<Outgoing> m_outgoing;
    int m_requestCount = 0;
    int m_datagramsSent = 0;
    int m_nextQueryId = 1;
    QByteArray m_lastRequest;
    quint16 m_lastPeerPort = 0;
};

} // namespace orv::demo
