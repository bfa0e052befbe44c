// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <utility>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>

#include "orv/engine/serveraddress.h"

class QTimer;
class QUdpSocket;

namespace orv::engine {
class QueryEngine;
}

namespace orv::net {

// Finds the dedicated servers of the local network: broadcasts "REPORTQUERY" to the
// servers' beacon port of each game, listens for "<sign> <query port>" answers for the
// beacon wait time, asks each answering server for its "\info\" to learn its game port,
// and fills the Local list of the engine. The beacon answers go into the reply store of
// the engine's current list, where every new answer re-examines the earlier answers of the
// same sender. The waits are timers: DiscoverLocal() returns at once and finished() follows
// when both games' listening times are over.
class LocalDiscovery : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *kBeaconRequest = "REPORTQUERY";
    static constexpr const char *kBroadcastAddress = "255.255.255.255";
    // Longer answers are dropped unread, as a 1024-byte receive buffer would refuse them.
    static constexpr int kMaxAnswerSize = 1024;

    explicit LocalDiscovery(engine::QueryEngine &engine, QObject *parent = nullptr);
    ~LocalDiscovery() override;

    // Where the request goes; tests point it at a namespace's broadcast or a loopback address.
    void setBroadcastAddress(const QString &address) { m_broadcastAddress = address; }

    // Empties the current list's reply store and the Local list, then queries both games,
    // one after the other. Ignored (false) while a discovery is already running.
    bool DiscoverLocal();
    bool isDiscovering() const { return m_step != Step::Idle; }

    bool isListening() const;

signals:
    void logLine(const QString &line);
    // Both listening times are over; the Local list holds what answered.
    void finished();

private:
    enum class Step { Idle, FirstGame, SecondGame };

    // One broadcast; its listening time runs on the wait timer. False when nothing listens.
    bool BeaconQuery(const QString &address, const QString &serverPort, const QByteArray &request,
                     const QString &localPort);
    void listenTimeOver();
    void nextStep();
    // The receive handler of the beacon socket.
    void WSocket2DataAvailable();
    // Reads one queued datagram and handles it as an answer.
    void handleNextDatagram();
    void handleAnswer(const QString &sender, const QByteArray &text);
    void askNextServer();
    void closeSocket();

    engine::QueryEngine &m_engine;
    QString m_broadcastAddress = QString::fromLatin1(kBroadcastAddress);
    QPointer<QUdpSocket> m_socket;
    QTimer *m_wait = nullptr;
    QDeadlineTimer m_deadline;
    // The answering servers still to be asked for their "\info\" (address, query port),
    // one at a time.
    std::deque<engine::ServerAddress> m_infoQueue;
    bool m_infoBusy = false;
    // The listening time ended while servers were still being asked.
    bool m_overWhileAsking = false;
    Step m_step = Step::Idle;
};

} // namespace orv::net
