// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/query/querycli.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <gtest/gtest.h>

#include "orv/demo/fakegameserver.h"
#include "tests/orv/query/clitestsupport.h"
#include "tests/support/testpaths.h"

using namespace orv::query;
using orv::demo::FakeGameServer;
using orv::demo::ServerBehaviour;
using namespace clitest;

namespace {

QList<QJsonObject> jsonLines(const QString &text)
{
    QList<QJsonObject> objects;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(line.toUtf8(), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << qPrintable(line);
        objects.append(doc.object());
    }
    return objects;
}

} // namespace

TEST(QueryCliArguments, ServerFormsAndBadArgumentsTable)
{
    const auto s = parseServer(L1("10.0.0.5"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->gamePort, 7777);
    EXPECT_EQ(s->queryPort, 7778);
    const auto g = parseServer(L1("10.0.0.5:7000"));
    ASSERT_TRUE(g);
    EXPECT_EQ(g->queryPort, 7001);
    const auto q = parseServer(L1("10.0.0.5:7000:9000"));
    ASSERT_TRUE(q);
    EXPECT_EQ(q->queryPort, 9000);

    const QStringList bad[] = {
        {},
        {L1("--timeout")},
        {L1("--timeout"), L1("soon"), L1("10.0.0.5")},
        {L1("--tries"), L1("0"), L1("10.0.0.5")},
        {L1("--request"), L1("rules"), L1("10.0.0.5")},
        {L1("--bogus"), L1("10.0.0.5")},
        {L1("host.example")},
        {L1("10.0.0.5:x")},
        {L1("10.0.0.5:65535")}, // no query port left
        {L1("10.0.0.5:1:2:3")},
        {L1("--write"), L1("10.0.0.5")},
        {L1("--list"), L1("a.lst"), L1("10.0.0.5")},
    };
    for (const QStringList &args : bad) {
        const CliRun r = run(args);
        EXPECT_EQ(r.status, kExitBadArguments) << qPrintable(args.join(L1(" ")));
        EXPECT_TRUE(r.err.contains(L1("Usage: orv-query"))) << qPrintable(args.join(L1(" ")));
    }

    const auto options = parseArguments({L1("--timeout"), L1("900"), L1("--tries"), L1("3"), L1("--strict"),
                                         L1("--no-ping"), L1("--request"), L1("info"), L1("--json"), L1("10.0.0.5")});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->engine.internetServTimeOut, 900);
    EXPECT_EQ(options->engine.serverTry, 3);
    EXPECT_FALSE(options->engine.allowNotfull);
    EXPECT_FALSE(options->engine.usePing);
    EXPECT_EQ(options->request, QByteArray("\\info\\"));
    EXPECT_TRUE(options->json);
}

TEST(QueryCli, JsonLinesForCompleteAndDeadServers)
{
    ServerBehaviour dead;
    dead.dead = true;
    auto up = fakeServer(2, "Up \xe9");
    auto down = fakeServer(3, "Down", dead);
    const CliRun r =
        run({L1("--json"), L1("--no-ping"), L1("--timeout"), L1("200"), serverArgument(*up), serverArgument(*down)});
    EXPECT_EQ(r.status, kExitSomeIncomplete);
    const QList<QJsonObject> lines = jsonLines(r.out);
    ASSERT_EQ(lines.size(), 2);

    const QJsonObject &a = lines[0];
    EXPECT_EQ(a[L1("address")].toString(), L1("127.0.0.2"));
    EXPECT_EQ(a[L1("gameport")].toString(), QString::number(up->queryPort() - 1));
    EXPECT_EQ(a[L1("queryport")].toString(), QString::number(up->queryPort()));
    EXPECT_EQ(a[L1("outcome")].toString(), L1("complete"));
    EXPECT_EQ(a[L1("received")].toInt(), a[L1("expected")].toInt());
    EXPECT_EQ(a[L1("caption")].toString(), QString(L1("Up ") + QChar(0xE9)));
    EXPECT_EQ(a[L1("icon")].toInt(), 0);
    EXPECT_EQ(a[L1("reportedport")].toString(), QString::number(up->queryPort() - 1));
    const QJsonObject info = a[L1("info")].toObject();
    EXPECT_EQ(info[L1("mapname")].toString(), L1("CTF-Face"));
    EXPECT_EQ(info[L1("infoport")].toString(), QString::number(up->queryPort()));
    EXPECT_EQ(info[L1("ping")].toInt(), 0);
    EXPECT_TRUE(info.contains(L1("friendlyfire")));
    const QJsonArray players = a[L1("players")].toArray();
    ASSERT_EQ(players.size(), 2);
    EXPECT_EQ(players[1].toObject()[L1("name")].toString(), L1("Bravo"));
    EXPECT_EQ(players[1].toObject()[L1("frags")].toString(), L1("30"));
    EXPECT_EQ(players[1].toObject()[L1("team")].toString(), L1("1"));

    const QJsonObject &b = lines[1];
    EXPECT_EQ(b[L1("outcome")].toString(), L1("dead"));
    EXPECT_EQ(b[L1("received")].toInt(), 0);
    EXPECT_EQ(b[L1("expected")].toInt(), 40);
    EXPECT_EQ(b[L1("caption")].toString(), L1("Server is dead."));
    EXPECT_EQ(b[L1("icon")].toInt(), 4);
    EXPECT_EQ(b[L1("info")].toObject()[L1("hostname")].toString(), L1("127.0.0.3"));
    EXPECT_EQ(b[L1("info")].toObject()[L1("ping")].toInt(), 9999);
    EXPECT_TRUE(b[L1("players")].toArray().isEmpty());
}

TEST(QueryCli, TableAndExitStatusZeroWhenAllComplete)
{
    auto up = fakeServer(4, "Table Server");
    const CliRun r = run({L1("--no-ping"), serverArgument(*up)});
    EXPECT_EQ(r.status, kExitAllComplete);
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4); // header, server, two players
    EXPECT_TRUE(lines[0].startsWith(L1("SERVER")));
    EXPECT_TRUE(lines[1].contains(L1("complete")));
    EXPECT_TRUE(lines[1].endsWith(L1("Table Server")));
    EXPECT_TRUE(lines[1].contains(L1("2 / 16")));
    EXPECT_TRUE(lines[3].contains(L1("Bravo")));
    EXPECT_TRUE(lines[3].contains(L1("Blue team")));
}

TEST(QueryCli, StrictIncompleteServerIsDeadButReportsIncomplete)
{
    ServerBehaviour half;
    half.rawDatagrams = {"\\hostname\\Half\\numplayers\\3\\queryid\\9.1"};
    auto server = fakeServer(5, "unused", half);
    const CliRun r = run({L1("--json"), L1("--no-ping"), L1("--strict"), L1("--tries"), L1("2"), L1("--timeout"),
                          L1("150"), serverArgument(*server)});
    EXPECT_EQ(r.status, kExitSomeIncomplete);
    const QList<QJsonObject> lines = jsonLines(r.out);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0][L1("outcome")].toString(), L1("incomplete"));
    EXPECT_EQ(lines[0][L1("caption")].toString(), L1("Server is dead."));
    EXPECT_EQ(server->requestCount(), 2);
    // The decode of what arrived is still given, missing players with default names.
    EXPECT_EQ(lines[0][L1("info")].toObject()[L1("hostname")].toString(), L1("Half"));
    const QJsonArray players = lines[0][L1("players")].toArray();
    ASSERT_EQ(players.size(), 3);
    EXPECT_EQ(players[0].toObject()[L1("name")].toString(), L1("Information not comp"));
}

TEST(QueryCli, ListFileWritesReportedPortsOnlyWithWrite)
{
    auto server = fakeServer(6, "Listed");
    server->mutableDescription().hostPort = 7000;
    const QString path = QDir::homePath() + L1("/internet.lst");
    const QByteArray original = QStringLiteral("%1 %2 %3\r\n\r\n")
                                    .arg(server->address().toString())
                                    .arg(server->queryPort() - 1)
                                    .arg(server->queryPort())
                                    .toLatin1();
    ASSERT_TRUE(testsupport::writeFile(path, original));

    CliRun r = run({L1("--list"), path, L1("--json"), L1("--no-ping")});
    EXPECT_EQ(r.status, kExitAllComplete);
    EXPECT_EQ(testsupport::readFile(path), original);
    ASSERT_EQ(jsonLines(r.out).size(), 1);
    EXPECT_EQ(jsonLines(r.out)[0][L1("reportedport")].toString(), L1("7000"));

    r = run({L1("--list"), path, L1("--write"), L1("--no-ping")});
    EXPECT_EQ(r.status, kExitAllComplete);
    const QByteArray expected =
        QStringLiteral("%1 7000 %2\r\n\r\n").arg(server->address().toString()).arg(server->queryPort()).toLatin1();
    EXPECT_EQ(testsupport::readFile(path), expected);

    EXPECT_EQ(run({L1("--list"), QDir::homePath() + L1("/missing.lst")}).status, kExitBadArguments);
}

// A line that names no server is reported dead in its place, unasked, and kept as it is.
TEST(QueryCli, ListLineNamingNoServerIsReportedDeadInItsPlace)
{
    auto server = fakeServer(6, "Listed");
    const QString path = QDir::homePath() + L1("/named.lst");
    const QByteArray original = QStringLiteral("host.example 7777 7778\r\n%1 %2 %3\r\n")
                                    .arg(server->address().toString())
                                    .arg(server->queryPort() - 1)
                                    .arg(server->queryPort())
                                    .toLatin1();
    ASSERT_TRUE(testsupport::writeFile(path, original));
    const CliRun r = run({L1("--list"), path, L1("--json"), L1("--no-ping"), L1("--write")});
    EXPECT_EQ(r.status, kExitSomeIncomplete);
    const auto lines = jsonLines(r.out);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0][L1("address")].toString(), L1("host.example"));
    EXPECT_EQ(lines[0][L1("outcome")].toString(), L1("dead"));
    EXPECT_EQ(lines[0][L1("caption")].toString(), L1("Server is dead."));
    EXPECT_EQ(lines[1][L1("outcome")].toString(), L1("complete"));
    EXPECT_EQ(testsupport::readFile(path), original);
}

// A server asked on one game port that reports another keeps its whole answer in every
// output: the answers move to the reported port with the row, and are read from there.
TEST(QueryCli, ServerReportingAnotherGamePortKeepsItsAnswer)
{
    auto server = fakeServer(7, "Moved");
    server->mutableDescription().hostPort = 7000;

    const CliRun json = run({L1("--json"), L1("--no-ping"), serverArgument(*server)});
    EXPECT_EQ(json.status, kExitAllComplete);
    const QList<QJsonObject> lines = jsonLines(json.out);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0][L1("caption")].toString(), L1("Moved"));
    EXPECT_EQ(lines[0][L1("reportedport")].toString(), L1("7000"));
    const QJsonObject info = lines[0][L1("info")].toObject();
    EXPECT_EQ(info[L1("hostname")].toString(), L1("Moved"));
    EXPECT_EQ(info[L1("hostport")].toString(), L1("7000"));
    EXPECT_EQ(info[L1("mapname")].toString(), L1("CTF-Face"));
    EXPECT_EQ(lines[0][L1("players")].toArray().size(), 2);

    const CliRun table = run({L1("--no-ping"), serverArgument(*server)});
    const QStringList rows = table.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 4); // header, server, two players
    EXPECT_TRUE(rows[1].contains(L1("CTF-Face")));
    EXPECT_TRUE(rows[3].contains(L1("Bravo")));

    QTemporaryDir dir;
    const QString script = dir.filePath(L1("moved.ovs"));
    ASSERT_TRUE(testsupport::writeFile(script, "-,MapName,=,ctf-face\r\nand\r\n-,NumPlayers,=,2\r\n"));
    const CliRun check = run({L1("--check"), script, serverArgument(*server)});
    EXPECT_EQ(check.out, L1("127.0.0.7 right ++\n")) << qPrintable(check.err);
}

TEST(QueryCliArguments, HelpAndVersionGoToStandardOutputWithStatusZero)
{
    const struct
    {
        QStringList arguments;
        const char *start;
    } cases[] = {
        {{L1("--help")}, "Usage: orv-query"},
        {{L1("-h")}, "Usage: orv-query"},
        // Answered even where the other arguments are wrong.
        {{L1("--timeout"), L1("0"), L1("--help")}, "Usage: orv-query"},
        {{L1("--version")}, "orv-query "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(L1(" ")).toStdString());
        const CliRun r = run(c.arguments);
        EXPECT_EQ(r.status, 0);
        EXPECT_TRUE(r.out.startsWith(L1(c.start))) << r.out.toStdString();
        EXPECT_TRUE(r.err.isEmpty());
    }
    EXPECT_TRUE(run({L1("--help")}).out.contains(L1("--check FILE.ovs")));
    EXPECT_TRUE(run({L1("--version")}).out.contains(L1("\nShipped data: ")));
}

TEST(QueryCliProgram, RunsWithoutADisplayAndAnswersOverUdp)
{
    const QString program = QCoreApplication::applicationDirPath() + L1("/orv-query");
    if (!QFile::exists(program))
        GTEST_SKIP() << "orv-query is not built beside the tests";
    auto up = fakeServer(7, "Process");

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(L1("DISPLAY"));
    env.remove(L1("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    // The fake server answers from this process's event loop, so wait without blocking it.
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    process.start(program, {L1("--json"), L1("--no-ping"), serverArgument(*up)});
    loop.exec();
    ASSERT_EQ(process.state(), QProcess::NotRunning);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    const QList<QJsonObject> lines = jsonLines(QString::fromUtf8(process.readAllStandardOutput()));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0][L1("caption")].toString(), L1("Process"));

    QProcess bad;
    bad.start(program, {L1("--nonsense")});
    ASSERT_TRUE(bad.waitForFinished(10000));
    EXPECT_EQ(bad.exitCode(), 2);
}

// Forty servers, among them silent ones, incomplete ones, slow ones and some whose answers
// come last first: with many in flight the tool prints, server for server, what it prints
// asking one at a time, and writes the same reported ports back.
TEST(QueryCli, ParallelPrintsWhatOneAtATimePrints)
{
    std::vector<std::unique_ptr<FakeGameServer>> servers;
    QString listText;
    for (int i = 0; i < 40; ++i) {
        ServerBehaviour b;
        if (i % 7 == 3)
            b.dead = true;
        if (i % 5 == 1)
            b.dropPackets = {2};
        if (i % 6 == 2)
            b.reversed = true;
        b.delayMs = (i * 13) % 90;
        b.maxDatagramSize = 120; // several datagrams per answer
        auto server = fakeServer(160 + i, "Parallel " + QByteArray::number(i), b);
        if (i % 4 == 0)
            server->mutableDescription().hostPort = 6000 + i;
        listText += QStringLiteral("%1 %2 %3\r\n")
                        .arg(server->address().toString())
                        .arg(server->queryPort() - 1)
                        .arg(server->queryPort());
        servers.push_back(std::move(server));
    }
    const QString sequentialPath = QDir::homePath() + L1("/sequential.lst");
    const QString parallelPath = QDir::homePath() + L1("/parallel.lst");
    ASSERT_TRUE(testsupport::writeFile(sequentialPath, listText.toLatin1()));
    ASSERT_TRUE(testsupport::writeFile(parallelPath, listText.toLatin1()));

    const QStringList common{L1("--no-ping"), L1("--timeout"), L1("300"), L1("--write")};
    const CliRun one = run(QStringList{L1("--list"), sequentialPath} + common);
    const CliRun many = run(QStringList{L1("--list"), parallelPath, L1("--parallel"), L1("64")} + common);
    EXPECT_EQ(one.status, kExitSomeIncomplete);
    EXPECT_EQ(many.status, one.status);
    EXPECT_EQ(many.out, one.out);
    EXPECT_TRUE(one.out.contains(L1("dead")));
    EXPECT_TRUE(one.out.contains(L1("incomplete")));
    EXPECT_GT(one.out.count(L1("complete ")), 20);
    EXPECT_EQ(testsupport::readFile(parallelPath), testsupport::readFile(sequentialPath));
    EXPECT_NE(testsupport::readFile(parallelPath), listText.toLatin1()); // reported ports were written
}
