// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <vector>

#include <QHostAddress>
#include <QString>

#include "orv/demo/fakegameserver.h"
#include "orv/engine/addresslist.h"

// Fake game servers on 127.0.0.2 and up for the exchange and refresh tests. Each picks a
// query port that is free on every local address, so tests running in parallel never meet.
class FakeServers
{
public:
    // Starts a server on 127.0.0.<host>; its game port is the query port - 1 unless
    // hostPort is given, which only changes what it reports.
    orv::demo::FakeGameServer *add(int host, const QByteArray &hostName,
                                   const orv::demo::ServerBehaviour &behaviour = {}, int reportedHostPort = 0);

    // A started server, its game port one below its query port.
    static orv::engine::ServerAddress addressOf(const orv::demo::FakeGameServer *server);

private:
    std::vector<std::unique_ptr<orv::demo::FakeGameServer>> m_servers;
};
