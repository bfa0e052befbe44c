// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/localdiscovery.h"

#include <algorithm>
#include <limits>

#include <QTimer>
#include <QUdpSocket>

#include "orv/engine/queryengine.h"
#include "orv/engine/textutil.h"

namespace orv::net {

namespace {

// Datagrams still queued when the wait ends were sent within it; at most this many of them
// are read then, so a flood cannot stretch the wait without end.
constexpr int kMaxLateAnswers = 64;

} // namespace

LocalDiscovery::LocalDiscovery(engine::QueryEngine &engine, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_wait(new QTimer(this))
{
    m_wait->setSingleShot(true);
    m_wait->setTimerType(Qt::PreciseTimer);
    connect(m_wait, &QTimer::timeout, this, &LocalDiscovery::listenTimeOver);
}

LocalDiscovery::~LocalDiscovery()
{
    closeSocket();
}

bool LocalDiscovery::isListening() const
{
    return !m_socket.isNull();
}

bool LocalDiscovery::DiscoverLocal()
{
    // A command run during the wait must not start a second pass over the same socket.
    if (m_step != Step::Idle)
        return false;
    m_engine.clearReplies(m_engine.currentPage());
    m_engine.setAddresses(engine::ServerPage::Local, {});
    m_step = Step::FirstGame;
    if (!BeaconQuery(m_broadcastAddress, QString::number(m_engine.options().serverBeaconPort),
                     QByteArray(kBeaconRequest), QString::number(m_engine.options().beaconPort)))
        nextStep();
    return true;
}

void LocalDiscovery::nextStep()
{
    if (m_step == Step::FirstGame) {
        m_step = Step::SecondGame;
        if (BeaconQuery(m_broadcastAddress, QString::number(m_engine.options().serverBeaconPort2),
                        QByteArray(kBeaconRequest), QString::number(m_engine.options().beaconPort2)))
            return;
    }
    m_step = Step::Idle;
    // From the event loop, so a caller never sees finished() inside DiscoverLocal().
    QTimer::singleShot(0, this, [this] {
        if (m_step == Step::Idle)
            emit finished();
    });
}

void LocalDiscovery::closeSocket()
{
    if (QUdpSocket *socket = m_socket) {
        m_socket = nullptr;
        socket->close();
        socket->deleteLater();
    }
}

bool LocalDiscovery::BeaconQuery(const QString &address, const QString &serverPort, const QByteArray &request,
                                 const QString &localPort)
{
    emit logLine(QStringLiteral("Send request to :") + address + QStringLiteral(" to port:") + serverPort);
    closeSocket();

    const auto remotePort = engine::parsePortNumber(serverPort);
    const auto ownPort = engine::parsePortNumber(localPort);
    const std::optional<qint64> wait = m_engine.options().localServTimeOut;

    // One socket sends from the local beacon port and then listens on it. Closing it and
    // binding anew between the two would drop the answers that arrive at once. Without
    // address sharing, a port that another program holds makes both halves fail.
    auto *socket = new QUdpSocket(this);
    QHostAddress target;
    const bool targetOk = target.setAddress(address) && target.protocol() == QAbstractSocket::IPv4Protocol;
    const bool bound = ownPort && socket->bind(QHostAddress::AnyIPv4, *ownPort);
    if (!bound || !targetOk || !remotePort || socket->writeDatagram(request, target, *remotePort) != request.size())
        emit logLine(QStringLiteral("Error when UDP send data"));

    emit logLine(QStringLiteral("Listen answers from 0.0.0.0 through port:") + localPort);
    if (!bound || !wait || *wait < 0 || *wait > std::numeric_limits<int>::max()) {
        emit logLine(QStringLiteral("Error when UDP listen data"));
        socket->close();
        socket->deleteLater();
        return false;
    }
    m_socket = socket;
    connect(socket, &QUdpSocket::readyRead, this, &LocalDiscovery::WSocket2DataAvailable);
    m_overWhileAsking = false;
    m_deadline = QDeadlineTimer(static_cast<int>(*wait), Qt::PreciseTimer);
    m_wait->start(static_cast<int>(*wait));
    return true;
}

void LocalDiscovery::listenTimeOver()
{
    // Answers still queued arrived within the wait.
    for (int late = 0; late < kMaxLateAnswers && m_socket && m_socket->hasPendingDatagrams(); ++late)
        handleNextDatagram();
    closeSocket();
    // The answers' "\info\" queries still running: the end comes once they have returned.
    if (m_infoBusy || !m_infoQueue.empty()) {
        m_overWhileAsking = true;
        return;
    }
    emit logLine(QStringLiteral("Listen complete."));
    nextStep();
}

void LocalDiscovery::WSocket2DataAvailable()
{
    while (m_socket && m_socket->hasPendingDatagrams() && !m_deadline.hasExpired())
        handleNextDatagram();
}

void LocalDiscovery::askNextServer()
{
    if (m_infoBusy)
        return;
    if (m_infoQueue.empty()) {
        if (m_overWhileAsking) {
            m_overWhileAsking = false;
            listenTimeOver();
        }
        return;
    }
    const engine::ServerAddress asked = m_infoQueue.front();
    m_infoQueue.pop_front();
    m_infoBusy = true;
    // One server at a time, in the order the answers came; until it says otherwise, the
    // server's game port is taken to be its query port.
    m_engine.QueryServer(asked, QByteArray(engine::QueryEngine::kInfoRequest), this,
                         [this, asked](const platform::Result<engine::ServerQuery> &queried) {
                             const engine::ServerAddress found =
                                 queried ? asked.withGamePort(queried->reportedPort) : asked;
                             if (m_engine.addAddress(engine::ServerPage::Local, engine::AddressWords::of(found)))
                                 emit logLine(QStringLiteral("Server response from: ") + found.addressText());
                             m_infoBusy = false;
                             askNextServer();
                         });
}

void LocalDiscovery::handleNextDatagram()
{
    QByteArray buffer(kMaxAnswerSize, '\0');
    QHostAddress sender;
    if (m_socket->pendingDatagramSize() > kMaxAnswerSize) {
        // Too long for an answer: read it away unread.
        m_socket->readDatagram(buffer.data(), 1);
        return;
    }
    const qint64 got = m_socket->readDatagram(buffer.data(), buffer.size(), &sender);
    if (got < 0)
        return;
    buffer.truncate(got);
    handleAnswer(engine::senderText(sender), buffer);
}

void LocalDiscovery::handleAnswer(const QString &sender, const QByteArray &datagram)
{
    // The answer is read as a C string, as a zero-filled receive buffer gives it.
    QByteArray text = datagram;
    const qsizetype zero = text.indexOf('\0');
    if (zero >= 0)
        text.truncate(zero);

    m_engine.appendReply(m_engine.currentPage(), engine::encodeServerText(sender) + ':' + text);
    emit logLine(QStringLiteral("Recived : ") + sender + QStringLiteral(" >") + engine::decodeDatagramText(text));

    // The lines held now; the queries below add more, and the store may even be emptied
    // by a command run meanwhile, so work on a copy.
    const QList<QByteArray> lines = m_engine.currentReplies().lines();
    const QString sign1 = QLatin1Char(':') + m_engine.options().beaconSign1;
    const QString sign2 = QLatin1Char(':') + m_engine.options().beaconSign2;
    for (const QByteArray &bytes : lines) {
        if (bytes.isEmpty())
            continue;
        QString rest = engine::decodeServerText(bytes);
        if (engine::SplitHead(rest, QLatin1Char(':')) != sender)
            continue;
        const QString sign = engine::SplitHead(rest, QLatin1Char(' '));
        if (sign != sign1 && sign != sign2)
            continue;
        // An answer naming no usable port (port 0, text, a number out of range) names no
        // server that could ever be queried or joined.
        const auto queryPort = engine::parsePortNumber(engine::SplitHead(rest, QLatin1Char(' ')));
        const auto ip = engine::ServerAddress::parseIpv4(sender);
        if (!queryPort || !ip)
            continue;
        // Every new answer of a sender re-examines its earlier ones: one waiting query per
        // server is enough.
        const engine::ServerAddress server{*ip, *queryPort, *queryPort};
        if (std::find(m_infoQueue.begin(), m_infoQueue.end(), server) == m_infoQueue.end())
            m_infoQueue.push_back(server);
    }
    askNextServer();
}

} // namespace orv::net
