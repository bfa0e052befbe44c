// SPDX-License-Identifier: GPL-3.0-or-later
// Runs beacon responders and game servers for the discovery tests, inside a network
// namespace that the test made. Each --server a,sign,beaconPort,gamePort,queryPort adds one
// server at address a. Prints "ready" once everything listens, and ends when its standard
// input closes (the test's process handle goes away) or after --quit-after milliseconds.
#include <cstdio>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>

#include "orv/demo/fakebeaconresponder.h"
#include "orv/demo/fakegameserver.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    int quitAfter = 60000;
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--quit-after")) {
            quitAfter = args.at(i + 1).toInt();
            continue;
        }
        if (args.at(i) != QLatin1String("--server"))
            continue;
        const QStringList f = args.at(i + 1).split(QLatin1Char(','));
        if (f.size() != 5) {
            std::fprintf(stderr, "bad --server %s\n", qPrintable(args.at(i + 1)));
            return 2;
        }
        const QHostAddress address(f.at(0));
        auto *game = new orv::demo::FakeGameServer(&app);
        game->mutableDescription().hostPort = f.at(3).toInt();
        game->mutableDescription().hostName = "Namespace server " + f.at(0).toLatin1();
        auto *beacon = new orv::demo::FakeBeaconResponder(&app);
        beacon->setSign(f.at(1).toLatin1());
        beacon->setPorts(static_cast<quint16>(f.at(3).toUInt()), static_cast<quint16>(f.at(4).toUInt()));
        if (!game->listen(address, static_cast<quint16>(f.at(4).toUInt())) ||
            !beacon->listen(address, static_cast<quint16>(f.at(2).toUInt()))) {
            std::fprintf(stderr, "cannot listen for %s\n", qPrintable(args.at(i + 1)));
            return 3;
        }
    }
    QTimer::singleShot(quitAfter, &app, &QCoreApplication::quit);
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&app] {
        char c = 0;
        if (std::fread(&c, 1, 1, stdin) != 1)
            app.quit();
    });
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
