// SPDX-License-Identifier: GPL-3.0-or-later
// bench-fakefleet: many fake game servers in one process for the refresh benchmark. Every
// server has its own UDP port on one address and answers a query after a fixed delay; the
// last --silent servers never answer. One poll() serves every socket and every readable
// socket is drained per wake-up, so the fleet is never what the measurement waits for.
//
//   bench-fakefleet --address A --first-port P --count N --silent S --delay-ms D --list FILE
//
// Query ports are P, P+2, P+4, …; the list holds "A gameport queryport" per server. The
// program runs until it is killed.
#include <deque>
#include <vector>

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "orv/demo/queryanswer.h"
#include "orv/demo/serverdescription.h"

namespace {

struct Pending
{
    qint64 dueMs;
    size_t server;
    sockaddr_in peer;
    QByteArray request;
};

QString argument(const QStringList &args, const QString &name, const QString &fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QByteArray address = argument(args, QStringLiteral("--address"), QStringLiteral("127.0.0.2")).toLatin1();
    const int firstPort = argument(args, QStringLiteral("--first-port"), QStringLiteral("20000")).toInt();
    const int count = argument(args, QStringLiteral("--count"), QStringLiteral("300")).toInt();
    const int silent = argument(args, QStringLiteral("--silent"), QStringLiteral("30")).toInt();
    const int delayMs = argument(args, QStringLiteral("--delay-ms"), QStringLiteral("80")).toInt();
    const QString listFile = argument(args, QStringLiteral("--list"), QString());

    std::vector<pollfd> fds;
    std::vector<int> queryIds;
    std::vector<orv::demo::ServerDescription> descriptions;
    QByteArray list;
    for (int i = 0; i < count; ++i) {
        const int port = firstPort + 2 * i;
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(static_cast<uint16_t>(port));
        if (fd < 0 || ::inet_pton(AF_INET, address.constData(), &local.sin_addr) != 1 ||
            ::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) {
            qCritical("cannot bind %s:%d", address.constData(), port);
            return 1;
        }
        fds.push_back({fd, POLLIN, 0});
        orv::demo::ServerDescription d;
        d.hostName = "Bench server " + QByteArray::number(i);
        d.hostPort = port - 1;
        d.players = {{"Alpha", 12, 40, 0}, {"Bravo", 30, 80, 1}};
        descriptions.push_back(d);
        queryIds.push_back(1);
        list += address + ' ' + QByteArray::number(port - 1) + ' ' + QByteArray::number(port) + "\r\n";
    }
    if (!listFile.isEmpty()) {
        QFile file(listFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(list) != list.size())
            return 1;
        file.close();
    }

    QElapsedTimer clock;
    clock.start();
    std::deque<Pending> pending; // the delay is the same for all, so this stays in due order
    char buffer[2048];
    for (;;) {
        int wait = -1;
        if (!pending.empty())
            wait = static_cast<int>(std::max<qint64>(0, pending.front().dueMs - clock.elapsed()));
        if (::poll(fds.data(), fds.size(), wait) < 0)
            continue;
        for (size_t i = 0; i < fds.size(); ++i) {
            if (!(fds[i].revents & POLLIN))
                continue;
            for (;;) {
                sockaddr_in peer{};
                socklen_t peerSize = sizeof peer;
                const ssize_t got =
                    ::recvfrom(fds[i].fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr *>(&peer), &peerSize);
                if (got < 0)
                    break;
                if (static_cast<int>(i) >= count - silent)
                    continue;
                pending.push_back({clock.elapsed() + delayMs, i, peer, QByteArray(buffer, got)});
            }
        }
        const qint64 now = clock.elapsed();
        while (!pending.empty() && pending.front().dueMs <= now) {
            const Pending p = pending.front();
            pending.pop_front();
            const auto datagrams = orv::demo::buildAnswer(descriptions[p.server], p.request, queryIds[p.server]++);
            for (const QByteArray &datagram : datagrams)
                ::sendto(fds[p.server].fd, datagram.constData(), static_cast<size_t>(datagram.size()), 0,
                         reinterpret_cast<const sockaddr *>(&p.peer), sizeof p.peer);
        }
    }
}
