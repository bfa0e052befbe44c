// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QUdpSocket>

#include "orv/engine/queryengine.h"
#include "orv/net/localdiscovery.h"
#include "tests/orv/net/netwait.h"

namespace nettest {

// A UDP port that no socket on this machine holds right now.
inline quint16 freeUdpPort()
{
    QUdpSocket probe;
    if (!probe.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress))
        return 0;
    return probe.localPort();
}

// An engine with short waits, no ICMP, and the discovery's log collected.
struct DiscoveryRig
{
    DiscoveryRig()
    {
        engine.setPinger([](const QString &) -> quint16 { return 0; });
        orv::engine::EngineOptions options;
        options.localServTimeOut = 400;
        options.internetServTimeOut = 1000;
        engine.setOptions(options);
        QObject::connect(&discovery, &orv::net::LocalDiscovery::logLine, &discovery,
                         [this](const QString &line) { log.append(line); });
    }

    // A discovery to its end; false when it was refused or did not end in time.
    bool discover()
    {
        bool done = false;
        const auto connection =
            QObject::connect(&discovery, &orv::net::LocalDiscovery::finished, &discovery, [&done] { done = true; });
        const bool started = discovery.DiscoverLocal();
        const bool ended = started && netwait::until([&done] { return done; });
        QObject::disconnect(connection);
        return ended;
    }

    QStringList localLines() { return engine.addresses(orv::engine::ServerPage::Local).lines(); }

    orv::engine::QueryEngine engine;
    orv::net::LocalDiscovery discovery{engine};
    QStringList log;
};

} // namespace nettest
