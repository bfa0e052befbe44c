// SPDX-License-Identifier: GPL-3.0-or-later
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include "orv/demo/fakegameserver.h"
#include "orv/query/querycli.h"
#include "tests/orv/query/clitestsupport.h"
#include "tests/support/testpaths.h"

using namespace orv::query;
using orv::demo::FakeGameServer;
using orv::demo::ServerBehaviour;
using namespace clitest;

namespace {

// A server whose name tells its map, so the output lines can be told apart.
std::unique_ptr<FakeGameServer> server(int host, const QByteArray &map, const ServerBehaviour &behaviour = {})
{
    return fakeServer(host, "Check " + map, behaviour, map);
}

struct CheckFixture : ::testing::Test
{
    QTemporaryDir dir;

    QString script(const char *name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(testsupport::writeFile(path, bytes));
        return path;
    }
};

} // namespace

TEST_F(CheckFixture, BadArgumentsAndScriptErrorsExitWithTwo)
{
    const QString good = script("good.ovs", "-,Ping,<,300\r\n");
    struct Bad
    {
        QStringList args;
        const char *message;
    };
    const Bad bad[] = {
        {{L1("--pass"), L1("2"), L1("10.0.0.5")}, "--pass needs --check"},
        {{L1("--check"), good}, "no server given"},
        {{L1("--check"), good, L1("--pass"), L1("0"), L1("10.0.0.5")}, "--pass needs a pass number"},
        {{L1("--check"), good, L1("--request"), L1("info"), L1("10.0.0.5")}, "status query"},
        {{L1("--check"), good, L1("--list"), L1("x.lst")}, "--check needs servers"},
        {{L1("--check"), dir.filePath(L1("missing.ovs")), L1("10.0.0.5")}, "missing.ovs"},
        {{L1("--check"), script("unbalanced.ovs", "{\r\n-,Ping,<,3\r\n"), L1("10.0.0.5")}, "Some block is not closed"},
        {{L1("--check"), script("empty.ovs", ""), L1("10.0.0.5")}, "Where a script?"},
        {{L1("--check"), script("binary.ovs", QByteArray("-,Ping\0,<,3", 11)), L1("10.0.0.5")}, "binary.ovs"},
        // Lines the evaluation does not know would read as false and leave the rule right.
        {{L1("--check"), script("blank.ovs", "-,Ping,>,99999\r\n\r\n-,Ping,>,99998\r\n"), L1("127.0.0.2")},
         "Line 2 is empty."},
        {{L1("--check"), script("upper.ovs", "-,Ping,>,99999\r\nAND\r\n-,Ping,>,99998\r\n"), L1("127.0.0.2")},
         "Line 2: \"AND\" is not a command"},
        {{L1("--check"), script("arg.ovs", "-,ping,>,99999\r\n"), L1("127.0.0.2")}, "Line 1: \"ping\" is not an"},
        {{L1("--check"), script("rule.ovs", "-,Ping,=<,99999\r\n"), L1("127.0.0.2")}, "Line 1: \"=<\" is not a rule"},
    };
    for (const Bad &b : bad) {
        const CliRun r = run(b.args);
        EXPECT_EQ(r.status, kExitBadArguments) << qPrintable(b.args.join(u' '));
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(b.message))) << qPrintable(r.err);
        EXPECT_TRUE(r.out.isEmpty()) << qPrintable(r.out);
    }
}

TEST_F(CheckFixture, OneLinePerServerWithVerdictAndMarks)
{
    ServerBehaviour dead;
    dead.dead = true;
    auto face = server(2, "CTF-Face");
    auto deck = server(3, "DM-Deck16");
    auto silent = server(4, "DM-Gothic", dead);
    // Map is ctf-face, or more than five players: "+-" for Face, "--" for Deck.
    const QString path = script("rule.ovs", "-,MapName,=,ctf-face\r\nor\r\n-,NumPlayers,>,5\r\n");
    const CliRun r = run({L1("--check"), path, L1("--timeout"), L1("300"), serverArgument(*face), serverArgument(*deck),
                          serverArgument(*silent)});
    EXPECT_EQ(r.status, kExitRuleRight) << qPrintable(r.err);
    EXPECT_EQ(r.out, L1("127.0.0.2 right +-\n127.0.0.3 not right --\n127.0.0.4 incomplete\n"));

    // None right: exit 1.
    const CliRun none = run({L1("--check"), path, serverArgument(*deck)});
    EXPECT_EQ(none.status, kExitRuleNeverRight);
}

TEST_F(CheckFixture, PassNumberAndPingReachTheRuleAndJsonCarriesTheVerdict)
{
    auto face = server(5, "CTF-Face");
    const QString loop = script("loop.ovs", "-,LoopNumber,=,3\r\nand\r\n-,Ping,=,9999");
    struct Case
    {
        QStringList extra;
        const char *result;
        const char *marks;
        int status;
    };
    const Case cases[] = {
        {{L1("--pass"), L1("3"), L1("--no-ping")}, "right", "++", kExitRuleRight},
        {{L1("--no-ping")}, "not right", "-+", kExitRuleNeverRight},
        {{L1("--pass"), L1("3"), L1("--no-ping"), L1("--strict")}, "right", "++", kExitRuleRight},
    };
    for (const Case &c : cases) {
        const CliRun r =
            run(QStringList{L1("--check"), loop, L1("--json")} + c.extra + QStringList{serverArgument(*face)});
        EXPECT_EQ(r.status, c.status) << qPrintable(c.extra.join(u' '));
        const QJsonObject o = QJsonDocument::fromJson(r.out.trimmed().toUtf8()).object();
        EXPECT_EQ(o.value(L1("address")).toString(), L1("127.0.0.5"));
        EXPECT_EQ(o.value(L1("result")).toString(), QString::fromLatin1(c.result));
        EXPECT_EQ(o.value(L1("marks")).toString(), QString::fromLatin1(c.marks));
    }
}
