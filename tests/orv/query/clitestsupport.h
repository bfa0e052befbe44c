// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QHostAddress>
#include <QString>
#include <QTextStream>

#include <gtest/gtest.h>

#include "orv/demo/fakegameserver.h"
#include "orv/query/querycli.h"

// What the query tool's tests share: running the tool in-process and fake servers to ask.
namespace clitest {

inline QString L1(const char *text)
{
    return QString::fromLatin1(text);
}

struct CliRun
{
    int status = -1;
    QString out;
    QString err;
};

inline CliRun run(const QStringList &arguments)
{
    CliRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.status = orv::query::runQueryCli(arguments, out, err);
    return r;
}

// A fake UT server on 127.0.0.<host> with two players, on a free query port.
inline std::unique_ptr<orv::demo::FakeGameServer> fakeServer(int host, const QByteArray &name,
                                                             const orv::demo::ServerBehaviour &behaviour = {},
                                                             const QByteArray &map = "CTF-Face")
{
    auto server = std::make_unique<orv::demo::FakeGameServer>();
    server->setBehaviour(behaviour);
    bool listening = false;
    for (int attempt = 0; attempt < 20 && !listening; ++attempt)
        listening = server->listen(QHostAddress(QStringLiteral("127.0.0.%1").arg(host)), 0);
    EXPECT_TRUE(listening);
    orv::demo::ServerDescription d;
    d.hostName = name;
    d.hostPort = server->queryPort() - 1;
    d.mapName = map;
    d.players = {{"Alpha", 12, 40, 0}, {"Bravo", 30, 80, 1}};
    server->setDescription(d);
    return server;
}

// ADDRESS:GAMEPORT of a fake server, as the tool takes it.
inline QString serverArgument(const orv::demo::FakeGameServer &s)
{
    return s.address().toString() + QLatin1Char(':') + QString::number(s.queryPort() - 1);
}

} // namespace clitest
