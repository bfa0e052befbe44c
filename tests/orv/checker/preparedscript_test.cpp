// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/preparedscript.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "orv/checker/scriptfile.h"
#include "orv/engine/replydecoder.h"
#include "orv/engine/replystore.h"
#include "tests/support/testpaths.h"

using namespace orv::checker;
using orv::engine::ServerInfo;

namespace {

QString s(const char *text)
{
    return QString::fromLatin1(text);
}

// A real three-datagram status answer of a UT server with eleven players, decoded as the
// query engine stores and decodes it.
ServerInfo capturedServer()
{
    orv::engine::ReplyStore store;
    const QByteArray key = orv::engine::ReplyStore::serverKey(s("75.102.41.52"), s("7777"), s("7778"));
    for (int part = 1; part <= 3; ++part)
        store.appendAnswer(key, testsupport::readData(
                                    QStringLiteral("status/ut99_gameq_unrealkillers_instagib_ctf_%1.bin").arg(part)));
    ServerInfo info = orv::engine::DecodeServerInfo(store, s("75.102.41.52"), s("7777"), s("7778"));
    info.ping = 120;
    return info;
}

EvaluationContext contextFor(const char *address)
{
    EvaluationContext c;
    c.address = s(address);
    c.passNumber = 1;
    return c;
}

} // namespace

TEST(PreparedScript, EvaluatesScriptsAgainstACapturedServer)
{
    const ServerInfo info = capturedServer();
    ASSERT_EQ(info.numplayers, s("11"));
    struct Case
    {
        const char *name;
        QStringList lines;
        bool right;
        const char *marks;
    };
    const Case cases[] = {
        {"default script", {s("-,Ping,<,300")}, true, "+"},
        {"player by folded name", {s("-,PlayerName,=,pacman"), s("and"), s("-,Ping,<,300")}, true, "++"},
        {"map contains", {s("-,MapName,?,w00t"), s("and not"), s("-,Tournament,=,true")}, true, "+-"},
        {"full server", {s("-,NumPlayers,>=,13"), s("or"), s("-,Maxplayers,<,12")}, false, "--"},
        {"gamever", {s("-,GameVer,?,451")}, true, "+"},
        {"block",
         {s("{"), s("-,GameType,=,aclctfgame"), s("and"), s("-,TimeLimit,=,15"), s("}"), s("or"), s("-,IP,=,10.0.0.1")},
         true,
         "++-"},
        {"spectator team", {s("-,PlayerTeam,=,255")}, true, "+"},
    };
    for (const Case &c : cases) {
        auto evaluation = checkServer(c.lines, info, contextFor("75.102.41.52"));
        ASSERT_TRUE(evaluation) << c.name;
        EXPECT_EQ(evaluation.value().right, c.right) << c.name;
        EXPECT_EQ(evaluation.value().expressionMarks, s(c.marks)) << c.name;
    }
}

TEST(PreparedScript, RefusesScriptsThatFailTheCheck)
{
    const ServerInfo info = ServerInfo::defaults(s("10.0.0.5"), s("7777"), s("7778"));
    auto empty = checkServer({}, info, contextFor("10.0.0.5"));
    ASSERT_FALSE(empty);
    EXPECT_EQ(empty.error().status, ScriptCheckStatus::Empty);

    auto twoExpressions = checkServer({s("-,Ping,<,300"), s("-,Ping,>,1")}, info, contextFor("10.0.0.5"));
    ASSERT_FALSE(twoExpressions);
    EXPECT_EQ(twoExpressions.error().scriptError, 5);
    EXPECT_EQ(twoExpressions.error().message, s("Between expressions needed to put operator"));
}

TEST(PreparedScript, ReadsAFileOnceForManyServers)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString good = dir.filePath(QStringLiteral("good.ovs"));
    ASSERT_TRUE(testsupport::writeFile(good, "-,NumPlayers,>,0\r\nand\r\n-,Ping,<,300"));
    auto prepared = PreparedScript::fromFile(good);
    ASSERT_TRUE(prepared);

    ServerInfo busy = ServerInfo::defaults(s("127.0.0.2"), s("7777"), s("7778"));
    busy.numplayers = s("4");
    busy.ping = 80;
    ServerInfo empty = busy;
    empty.numplayers = s("0");
    EXPECT_TRUE(prepared.value().evaluate(busy, contextFor("127.0.0.2")).right);
    const Evaluation e = prepared.value().evaluate(empty, contextFor("127.0.0.3"));
    EXPECT_FALSE(e.right);
    EXPECT_EQ(e.expressionMarks, s("-+"));

    const QString bad = dir.filePath(QStringLiteral("bad.ovs"));
    ASSERT_TRUE(testsupport::writeFile(bad, "-,Ping,<,300\r\nand\r\n"));
    auto refused = PreparedScript::fromFile(bad);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().code, 108);
    EXPECT_EQ(refused.error().message, s("At The End of script can be only expression or end of block (line 2)"));

    const QString binary = dir.filePath(QStringLiteral("binary.ovs"));
    ASSERT_TRUE(testsupport::writeFile(binary, QByteArray("\0\1\2\3", 4)));
    auto notScript = PreparedScript::fromFile(binary);
    ASSERT_FALSE(notScript);
    EXPECT_EQ(notScript.error().code, static_cast<int>(scriptfile::ReadError::Binary));
}
