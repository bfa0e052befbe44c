// SPDX-License-Identifier: GPL-3.0-or-later
// What today's servers send: values in UTF-8 or code page 1252 side by side, and teams.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include "tests/orv/query/clitestsupport.h"

using namespace orv::query;
using orv::demo::FakeGameServer;
using namespace clitest;

namespace {

QList<QJsonObject> jsonLines(const QString &text)
{
    QList<QJsonObject> objects;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        objects.append(QJsonDocument::fromJson(line.toUtf8()).object());
    return objects;
}

QString u8(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

TEST(QueryText, EachValueDecodedOnItsOwnAndControlsDropped)
{
    auto server = fakeServer(2, "Se\xC3\xB1or Sniper's Caf\xC3\xA9");
    auto d = server->description();
    d.mapTitle = "\x93"
                 "Deck\x94 \x80"
                 "16";                                                 // code page 1252: curly quotes, euro sign
    d.adminName = "J\xF6rg\x01\x7F";                                   // code page 1252 with control characters
    d.mutators = "Insta\xC3\x9F, \xE2\x80\x9CLow\x1FGrav\xE2\x80\x9D"; // UTF-8
    // A long Cyrillic name is cut to 20 characters, not bytes; a character outside the
    // basic plane at the cut is kept whole.
    d.players = {{"\xD0\xA1\xD0\xB5\xD1\x80\xD0\xB3\xD0\xB5\xD0\xB9", 5, 40, 0},
                 {QByteArray(22, '\xD0').replace("\xD0", "\xD0\x96"), 3, 40, 1},
                 {QByteArray(19, 'a') + "\xF0\x9F\x98\x80" + "bc", 1, 40, 1},
                 {"Bj\xF6rn\x0A", 0, 40, 0}};
    server->setDescription(d);

    const CliRun r = run({L1("--json"), L1("--no-ping"), serverArgument(*server)});
    ASSERT_EQ(r.status, kExitAllComplete) << qPrintable(r.err);
    const QList<QJsonObject> lines = jsonLines(r.out);
    ASSERT_EQ(lines.size(), 1);
    const QJsonObject info = lines[0][L1("info")].toObject();
    EXPECT_EQ(lines[0][L1("caption")].toString(), u8("Señor Sniper's Café"));
    EXPECT_EQ(info[L1("maptitle")].toString(), u8("“Deck” €16"));
    EXPECT_EQ(info[L1("adminname")].toString(), u8("Jörg"));
    EXPECT_EQ(info[L1("mutators")].toString(), u8("Instaß, “LowGrav”"));
    const QJsonArray players = lines[0][L1("players")].toArray();
    ASSERT_EQ(players.size(), 4);
    EXPECT_EQ(players[0].toObject()[L1("name")].toString(), u8("Сергей"));
    EXPECT_EQ(players[1].toObject()[L1("name")].toString(), QString(20, QChar(0x0416)));
    EXPECT_EQ(players[2].toObject()[L1("name")].toString(), QString(19, QLatin1Char('a')) + u8("😀"));
    EXPECT_EQ(players[3].toObject()[L1("name")].toString(), u8("Björn"));

    // The table shows the same decoded texts.
    const CliRun table = run({L1("--no-ping"), serverArgument(*server)});
    EXPECT_TRUE(table.out.contains(u8("Señor Sniper's Café"))) << qPrintable(table.out);
    EXPECT_TRUE(table.out.contains(u8("    Сергей "))) << qPrintable(table.out);
}

TEST(QueryText, TeamsFromStatusFromTeamsQueryOrNone)
{
    using orv::demo::TeamsIn;
    const auto teamServer = [](int host, const QByteArray &version, TeamsIn where) {
        auto server = fakeServer(host, "Teams " + version);
        auto d = server->description();
        d.gameVersion = version;
        d.rules = {{"maxteams", "2"}};
        d.teams = {{"Red", "12.000000"}, {"\xD0\xA1\xD0\xB8\xD0\xBD\xD0\xB8\xD0\xB5", "12.500000"}};
        d.teamsIn = where;
        server->setDescription(d);
        return server;
    };
    for (const char *parallel : {"1", "3"}) {
        SCOPED_TRACE(parallel);
        auto appended = teamServer(3, "451", TeamsIn::Status);
        auto patched = teamServer(4, "469", TeamsIn::TeamsQuery);
        auto older = teamServer(5, "451", TeamsIn::TeamsQuery); // would answer, is never asked
        const CliRun r = run({L1("--json"), L1("--no-ping"), L1("--parallel"), L1(parallel), serverArgument(*appended),
                              serverArgument(*patched), serverArgument(*older)});
        ASSERT_EQ(r.status, kExitAllComplete) << qPrintable(r.err);
        const QList<QJsonObject> lines = jsonLines(r.out);
        ASSERT_EQ(lines.size(), 3);
        for (int i = 0; i < 2; ++i) {
            const QJsonArray teams = lines[i][L1("teams")].toArray();
            ASSERT_EQ(teams.size(), 2) << i;
            EXPECT_EQ(QJsonDocument(teams[0].toObject()).toJson(QJsonDocument::Compact),
                      QByteArray(R"({"name":"Red","score":12,"size":1})"));
            EXPECT_EQ(teams[1].toObject()[L1("name")].toString(), u8("Синие"));
            EXPECT_EQ(teams[1].toObject()[L1("score")].toDouble(), 12.5);
            EXPECT_EQ(lines[i][L1("players")].toArray().size(), 2) << "team keys are no player slots";
        }
        EXPECT_TRUE(lines[2][L1("teams")].isArray());
        EXPECT_TRUE(lines[2][L1("teams")].toArray().isEmpty());
        EXPECT_EQ(appended->requestCount(), 1);
        EXPECT_EQ(patched->requestCount(), 2);
        EXPECT_EQ(older->requestCount(), 1);
    }

    // A patched server that does not answer the follow-up keeps its complete status answer.
    auto silent = teamServer(6, "469", TeamsIn::Nowhere);
    const CliRun r = run({L1("--no-ping"), L1("--timeout"), L1("200"), serverArgument(*silent)});
    EXPECT_EQ(r.status, kExitAllComplete);
    EXPECT_EQ(silent->requestCount(), 2);
    EXPECT_TRUE(r.out.contains(L1(" complete "))) << qPrintable(r.out);

    auto summary = teamServer(7, "451", TeamsIn::Status);
    const CliRun table = run({L1("--no-ping"), serverArgument(*summary)});
    EXPECT_TRUE(table.out.contains(u8("    teams: Red 12 (1) : Синие 12.5 (1)"))) << qPrintable(table.out);
}
