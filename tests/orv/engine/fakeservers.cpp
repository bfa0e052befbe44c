// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakeservers.h"
#include "tests/support/enginewait.h"

#include <gtest/gtest.h>

using orv::demo::FakeGameServer;

FakeGameServer *FakeServers::add(int host, const QByteArray &hostName, const orv::demo::ServerBehaviour &behaviour,
                                 int reportedHostPort)
{
    auto server = std::make_unique<FakeGameServer>();
    server->setBehaviour(behaviour);
    const QHostAddress address(QStringLiteral("127.0.0.%1").arg(host));
    bool listening = false;
    for (int attempt = 0; attempt < 20 && !listening; ++attempt)
        listening = server->listen(address, 0);
    EXPECT_TRUE(listening) << "no free query port on " << qPrintable(address.toString());
    orv::demo::ServerDescription d;
    d.hostName = hostName;
    d.hostPort = reportedHostPort ? reportedHostPort : server->queryPort() - 1;
    d.mapName = "DM-Deck16][";
    d.players = {{"Alpha", 12, 40, 0}, {"Bravo", 3, 80, 1}};
    server->setDescription(d);
    m_servers.push_back(std::move(server));
    return m_servers.back().get();
}

orv::engine::ServerAddress FakeServers::addressOf(const FakeGameServer *server)
{
    return testsupport::fakeServerAddress(server->address(), server->queryPort());
}
