// SPDX-License-Identifier: GPL-3.0-or-later
// orv-demoservers: runs a demo network of Unreal and UT servers on loopback until it is
// stopped, so the browser has something to show without Internet access.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>
#include <QTimer>

#include "orv/demo/demonetwork.h"
#include "orv/demo/fakegameserver.h"
#include "platform/commandline.h"
#include "platform/textfile.h"

namespace {

QString kindText(orv::demo::DemoServerKind kind)
{
    using orv::demo::DemoServerKind;
    switch (kind) {
    case DemoServerKind::Normal:
        return {};
    case DemoServerKind::Slow:
        return QStringLiteral("slow");
    case DemoServerKind::OutOfOrder:
        return QStringLiteral("out of order");
    case DemoServerKind::Incomplete:
        return QStringLiteral("incomplete");
    case DemoServerKind::Dead:
        return QStringLiteral("dead");
    }
    return {};
}

bool writeList(const QString &fileName, const QByteArray &text, QString *error)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orv-demoservers"));
    QCoreApplication::setApplicationVersion(platform::commandline::projectVersion());

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated Unreal and Unreal Tournament servers on loopback addresses, with LAN beacons and "
                       "a web server that serves their master lists, and a GameSpy-protocol master of the UT servers. "
                       "Runs until it is stopped."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption serversOption(QStringLiteral("servers"), QStringLiteral("Number of game servers."),
                                           QStringLiteral("N"), QStringLiteral("24"));
    const QCommandLineOption httpPortOption(QStringLiteral("http-port"),
                                            QStringLiteral("Port of the master-list web server on 127.0.0.1."),
                                            QStringLiteral("P"), QStringLiteral("28080"));
    const QCommandLineOption gameSpyPortOption(
        QStringLiteral("gamespy-port"),
        QStringLiteral("Port of the GameSpy-protocol master of the UT servers on 127.0.0.1."), QStringLiteral("P"),
        QStringLiteral("28900"));
    const QCommandLineOption firstAddressOption(QStringLiteral("first-address"),
                                                QStringLiteral("Loopback address of the first server."),
                                                QStringLiteral("ADDRESS"), QStringLiteral("127.0.0.2"));
    const QCommandLineOption writeListOption(
        QStringLiteral("write-list"),
        QStringLiteral("Write every server as a saved server list (address gameport queryport) to FILE."),
        QStringLiteral("FILE"));
    const QCommandLineOption seedOption(
        QStringLiteral("seed"), QStringLiteral("Seed of the names, maps and players (same seed, same network)."),
        QStringLiteral("S"), QStringLiteral("1999"));
    const QCommandLineOption noBeaconsOption(QStringLiteral("no-beacons"),
                                             QStringLiteral("Do not answer LAN beacons (UDP 7775 and 8777)."));
    const QCommandLineOption quitAfterOption(QStringLiteral("quit-after"),
                                             QStringLiteral("Stop after SECONDS instead of running until stopped."),
                                             QStringLiteral("SECONDS"));
    parser.addOptions({serversOption, httpPortOption, gameSpyPortOption, firstAddressOption, writeListOption,
                       seedOption, noBeaconsOption, quitAfterOption});
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const auto usageError = [&err](const QString &message) {
        err << "orv-demoservers: " << message << Qt::endl;
        return 2;
    };

    orv::demo::DemoNetworkOptions options;
    bool ok = false;
    options.servers = parser.value(serversOption).toInt(&ok);
    if (!ok || options.servers < 1 || options.servers > 5000)
        return usageError(QStringLiteral("--servers takes a number from 1 to 5000."));
    options.httpPort = parser.value(httpPortOption).toUShort(&ok);
    if (!ok)
        return usageError(QStringLiteral("--http-port takes a port number (0 lets the system choose)."));
    options.gameSpyPort = parser.value(gameSpyPortOption).toUShort(&ok);
    if (!ok)
        return usageError(QStringLiteral("--gamespy-port takes a port number (0 lets the system choose)."));
    options.firstAddress = QHostAddress(parser.value(firstAddressOption));
    if (options.firstAddress.protocol() != QAbstractSocket::IPv4Protocol ||
        (options.firstAddress.toIPv4Address() >> 24) != 127)
        return usageError(QStringLiteral("--first-address takes a loopback address such as 127.0.0.2."));
    options.seed = parser.value(seedOption).toUInt(&ok);
    if (!ok)
        return usageError(QStringLiteral("--seed takes a whole number."));
    options.beacons = !parser.isSet(noBeaconsOption);
    int quitAfter = 0;
    if (parser.isSet(quitAfterOption)) {
        quitAfter = parser.value(quitAfterOption).toInt(&ok);
        if (!ok || quitAfter < 1)
            return usageError(QStringLiteral("--quit-after takes a number of seconds."));
    }

    orv::demo::DemoNetwork network;
    QString error;
    if (!network.start(options, &error)) {
        err << "orv-demoservers: " << error << Qt::endl;
        return 1;
    }

    if (parser.isSet(writeListOption)) {
        const QString fileName = parser.value(writeListOption);
        if (!writeList(fileName, network.addressList(), &error)) {
            err << "orv-demoservers: cannot write " << fileName << ": " << error << Qt::endl;
            return 1;
        }
        out << "Server list written to " << fileName << Qt::endl;
    }

    out << "Demo network: " << network.servers().size() << " game servers from " << options.firstAddress.toString()
        << Qt::endl;
    out << "UT master list:     " << network.utListUrl().toString() << Qt::endl;
    out << "Unreal master list: " << network.unrealListUrl().toString() << Qt::endl;
    out << "UT master server:   " << network.gameSpyUrl() << Qt::endl;
    for (const auto &server : network.servers()) {
        const auto &description = server.game->description();
        QString line = QStringLiteral("  %1:%2 (query %3)  %4 %5  %6")
                           .arg(server.game->address().toString())
                           .arg(server.game->gamePort())
                           .arg(server.game->queryPort())
                           .arg(QString::fromLatin1(description.gameName), -6)
                           .arg(QString::fromLatin1(description.gameType), -15)
                           .arg(platform::textfile::fromEightBit(description.hostName));
        const QString kind = kindText(server.kind);
        if (!kind.isEmpty())
            line += QStringLiteral("  [%1]").arg(kind);
        if (description.password)
            line += QStringLiteral("  [password]");
        out << line << Qt::endl;
    }
    out << "Running; stop with Ctrl+C." << Qt::endl;

    if (quitAfter > 0)
        QTimer::singleShot(quitAfter * 1000, &app, &QCoreApplication::quit);
    return QCoreApplication::exec();
}
