// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/browser/serverlink.h"

#include <cstdio>
#include <optional>

#include <QEventLoop>
#include <QHostAddress>
#include <QHostInfo>

#include <QMessageBox>

#include "orv/browser/browserapp.h"
#include "orv/engine/queryengine.h"
#include "orv/engine/textutil.h"
#include "orv/frontend/gameforms/gamelauncher.h"
#include "orv/frontend/gameforms/gameoptionsform.h"
#include "orv/frontend/netforms/optionsform.h"

namespace orv::browser {

platform::Result<LinkServer> queryLinkServer(orv::engine::QueryEngine &engine,
                                             const orv::core::launch::UnrealLink &link, const QString &beaconSign2)
{
    const QString where = link.address + u':' + link.gamePort;
    std::optional<quint32> ip = orv::engine::ServerAddress::parseIpv4(link.address);
    if (QHostAddress probe; !ip && !probe.setAddress(link.address)) {
        const QHostInfo host = QHostInfo::fromName(link.address);
        for (const QHostAddress &candidate : host.addresses()) {
            if (candidate.protocol() == QAbstractSocket::IPv4Protocol) {
                ip = candidate.toIPv4Address();
                break;
            }
        }
    }
    if (!ip)
        return platform::Error{1, QStringLiteral("The server %1 cannot be found.").arg(where)};
    const auto gamePort = orv::engine::parsePortNumber(link.gamePort);
    if (!gamePort || *gamePort == 65535)
        return platform::Error{1, QStringLiteral("The server %1 cannot be asked: %2")
                                      .arg(where, QStringLiteral("its port leaves no query port"))};
    const orv::engine::ServerAddress asked{*ip, *gamePort, static_cast<quint16>(*gamePort + 1)};
    // A link is answered as one command: the window (or the program started for the link)
    // waits for this one query, as it waits for a message box.
    std::optional<platform::Result<orv::engine::ServerQuery>> answer;
    QEventLoop wait;
    engine.QueryServer(asked, QByteArray(orv::engine::QueryEngine::kStatusRequest), &wait,
                       [&answer, &wait](const platform::Result<orv::engine::ServerQuery> &result) {
                           answer = result;
                           wait.quit();
                       });
    wait.exec();
    const platform::Result<orv::engine::ServerQuery> &queried = *answer;
    if (!queried)
        return platform::Error{1,
                               QStringLiteral("The server %1 cannot be asked: %2").arg(where, queried.error().message)};
    if (queried->exchange.outcome == orv::engine::QueryOutcome::NoAnswer)
        return platform::Error{1, QStringLiteral("The server %1 does not answer.").arg(where)};
    LinkServer server;
    server.address = asked.addressText();
    server.name = queried->info.hostname;
    server.ut = queried->info.gamename.compare(beaconSign2, Qt::CaseInsensitive) == 0;
    // The port the server reports is where its game listens; a link may name the query's.
    server.gamePort = QString::number(queried->reportedPort);
    return server;
}

int BrowserApp::openLink(const QString &text, bool windowShown)
{
    using orv::frontend::GameFileState;
    const auto report = [this, windowShown](const QString &message) {
        m_mainForm->log(message);
        if (m_linkMessage) {
            m_linkMessage(message);
            return;
        }
        const QByteArray bytes = (message + u'\n').toLocal8Bit();
        std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
        QMessageBox::warning(windowShown ? m_mainForm.get() : nullptr, QStringLiteral("Orvane"), message);
    };
    const auto link = orv::core::launch::parseUnrealLink(text);
    if (!link) {
        report(link.error().message);
        return 1;
    }
    // A program started for the link alone reads its settings now, and asks none of the
    // first run's questions.
    if (!m_settingsLoaded)
        loadOtherSettings();
    const auto server = queryLinkServer(m_engine, *link, m_options->engineOptions().beaconSign2);
    if (!server) {
        report(server.error().message);
        return 1;
    }
    const QString gameName = server->ut ? QStringLiteral("Unreal Tournament") : QStringLiteral("Unreal");
    // Nothing set up for that game: the game found on the disks, else the user's choice.
    if (orv::frontend::gameFileState(m_gameOptions->gameExecutable(server->ut)) != GameFileState::Ok) {
        m_gameOptions->searchQuietly();
        if (orv::frontend::gameFileState(m_gameOptions->gameExecutable(server->ut)) != GameFileState::Ok)
            m_gameOptions->exec();
        if (orv::frontend::gameFileState(m_gameOptions->gameExecutable(server->ut)) != GameFileState::Ok) {
            report(QStringLiteral("No %1 game is set up to join %2.").arg(gameName, server->name));
            return 1;
        }
    }
    m_mainForm->log(QStringLiteral("Join %1 (%2) at %3:%4 from a link.")
                        .arg(server->name, gameName, server->address, server->gamePort));
    return m_launcher->joinServer(server->address, server->gamePort, server->ut, link->password, windowShown) ? 0 : 1;
}

} // namespace orv::browser
