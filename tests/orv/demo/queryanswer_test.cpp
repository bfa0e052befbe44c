// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/demo/queryanswer.h"

#include <QList>

#include <gtest/gtest.h>

#include "tests/orv/demo/wirepairs.h"
#include "tests/support/testpaths.h"

using namespace orv::demo;
using demotest::answerPairs;
using demotest::valueOf;
using demotest::wirePairs;

namespace {

PlayerDescription player(const QByteArray &name, int frags, int ping, int team, const QByteArray &mesh,
                         const QByteArray &skin, const QByteArray &face)
{
    PlayerDescription p;
    p.name = name;
    p.frags = frags;
    p.ping = ping;
    p.team = team;
    p.mesh = mesh;
    p.skin = skin;
    p.face = face;
    return p;
}

// The server of a captured three-datagram answer of a real UT server, rebuilt value by value.
ServerDescription capturedInstagibServer()
{
    ServerDescription s;
    s.hostName = "zp|    [=======]    [PURE]    [INSTAGIB]    [US]    [=======] by www.unrealkillers.com";
    s.hostPort = 7777;
    s.mapTitle = "W00tabulous !@Fixed [Fixed by: Nugglan]";
    s.mapName = "CTF-w00tabulousFixed";
    s.gameType = "ACLCTFGame";
    s.maxPlayers = 13;
    s.mutators = "SmartCTF 4E, Rextended CTF v2-4, XC Enhanced spectator";
    s.rules = {{"timelimit", "15"},
               {"goalteamscore", "0"},
               {"minplayers", "0"},
               {"changelevels", "True"},
               {"maxteams", "2"},
               {"balanceteams", "True"},
               {"playersbalanceteams", "True"},
               {"friendlyfire", "0%"},
               {"tournament", "False"},
               {"gamestyle", "Hardcore"}};
    s.adminName = "SAM";
    s.adminEmail = "admin@unrealkillers.com";
    s.players = {
        player("akatotosh<3", 1, 152, 1, "Female Commando", "FCommandoSkins.cmdo", "FCommandoSkins.Ivana"),
        player("EnDleSs", 21, 152, 0, "Male Soldier", "SoldierSkins.hkil", "SoldierSkins.tensor"),
        player("Resident\xA0"
               "Evil\xB1",
               719, 86, 255, "Spectator", "None", ""),
        player("pacmaN", 210, 122, 0, "Male Soldier", "SoldierSkins.Gard", "SoldierSkins.Radkin"),
        player("ImperatorAnd1", 88, 162, 1, "Male Soldier", "SoldierSkins.sldr", "SoldierSkins.Brock"),
        player("hmmmm", 780, 141, 0, "Male Commando", "CommandoSkins.cmdo", "CommandoSkins.Blake"),
        player("Ninja|Eddo*--", 449, 75, 1, "Male Commando", "CommandoSkins.cmdo", "CommandoSkins.Blake"),
        player("MOOG", 564, 118, 1, "Female Soldier", "SGirlSkins.Garf", "SGirlSkins.Isis"),
        player("Kacper", 574, 170, 1, "Male Commando", "CommandoSkins.daco", "CommandoSkins.Ramirez"),
        player("Nap", 1162, 171, 0, "Male Soldier", "SoldierSkins.Blkt", "SoldierSkins.Malcom"),
        player("KindBud", 1439, 39, 1, "Female Soldier", "SGirlSkins.Garf", "SGirlSkins.Isis"),
    };
    return s;
}

ServerDescription serverWithPlayers(int count, const QByteArray &game = "ut")
{
    ServerDescription s;
    s.gameName = game;
    s.maxPlayers = 32;
    s.rules = {{"timelimit", "20"}, {"fraglimit", "30"}};
    for (int i = 0; i < count; ++i)
        s.players.append(player("Player" + QByteArray::number(i), i, 40 + i, 255, "Male Commando", "CommandoSkins.cmdo",
                                "CommandoSkins.Blake"));
    return s;
}

} // namespace

TEST(QueryAnswer, ReproducesCapturedThreeDatagramAnswerByteForByte)
{
    const QList<QByteArray> built = buildAnswer(capturedInstagibServer(), "\\status\\", 20);
    ASSERT_EQ(built.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QByteArray captured =
            testsupport::readData(QStringLiteral("status/ut99_gameq_unrealkillers_instagib_ctf_%1.bin").arg(i + 1));
        EXPECT_EQ(built.at(i).toStdString(), captured.toStdString()) << "datagram " << i + 1;
    }
}

TEST(QueryAnswer, SplitsLikeRealServersDo)
{
    // The settings and each player's record as groups, in the order of the captured answer.
    for (const char *capture : {"ut99_gameq_unrealkillers_instagib_ctf", "ut99_gameq_unrealkillers_siege"}) {
        QList<QByteArray> captured;
        for (int i = 1; i <= 3; ++i)
            captured.append(
                testsupport::readData(QStringLiteral("status/%1_%2.bin").arg(QLatin1String(capture)).arg(i)));
        QList<PairGroup> groups(1);
        QByteArray currentPlayer;
        for (const auto &pair : answerPairs(captured)) {
            const qsizetype underscore = pair.first.lastIndexOf('_');
            if (underscore < 0) {
                groups.first().append(pair);
                continue;
            }
            if (pair.first.mid(underscore) != currentPlayer) {
                currentPlayer = pair.first.mid(underscore);
                groups.append(PairGroup());
            }
            groups.last().append(pair);
        }
        const QByteArray id = valueOf(wirePairs(captured.constFirst()), "queryid");
        const QList<QByteArray> packed = packAnswer(groups, id.left(id.indexOf('.')).toInt());
        ASSERT_EQ(packed.size(), captured.size()) << capture;
        for (qsizetype i = 0; i < packed.size(); ++i)
            EXPECT_EQ(packed.at(i).toStdString(), captured.at(i).toStdString()) << capture << " datagram " << i + 1;
    }
}

TEST(QueryAnswer, SplitsLongAnswersAtTheLimitWithNumberedTrailers)
{
    const ServerDescription server = serverWithPlayers(32);
    for (const int limit : {300, 600, 1000}) {
        const QList<QByteArray> datagrams = buildAnswer(server, "\\status\\", 85, limit);
        ASSERT_GE(datagrams.size(), 3) << limit;
        for (qsizetype i = 0; i < datagrams.size(); ++i) {
            const QByteArray &d = datagrams.at(i);
            EXPECT_LE(d.indexOf("\\queryid\\"), limit) << "limit " << limit << " datagram " << i + 1;
            const QByteArray trailer = "\\queryid\\85." + QByteArray::number(i + 1);
            const bool last = i + 1 == datagrams.size();
            EXPECT_TRUE(d.endsWith(last ? trailer + "\\final\\" : trailer)) << d.right(30).constData();
            EXPECT_EQ(d.contains("\\final\\"), last);
        }
        // Nothing lost or reordered by the split, and no player record straddles two datagrams.
        const auto pairs = answerPairs(datagrams);
        EXPECT_EQ(pairs, answerPairs(buildAnswer(server, "\\status\\", 85, 100000)));
        for (const QByteArray &d : datagrams) {
            const auto own = wirePairs(d);
            for (const auto &[key, value] : own) {
                if (key.startsWith("player_")) {
                    EXPECT_FALSE(valueOf(own, "ngsecret_" + key.mid(7)).isNull()) << key.constData();
                }
            }
        }
    }
}

TEST(QueryAnswer, AnswersEachRequestWithItsSections)
{
    const ServerDescription server = serverWithPlayers(2);
    struct Case
    {
        const char *request;
        QList<QByteArray> firstKeys;
        bool hasPlayers;
    };
    const QList<Case> cases = {
        {"\\status\\", {"gamename", "gamever", "minnetver", "location", "hostname"}, true},
        {"\\basic\\", {"gamename", "gamever", "minnetver", "location", "queryid"}, false},
        {"\\info\\", {"hostname", "hostport", "maptitle", "mapname", "gametype"}, false},
        {"\\rules\\", {"listenserver", "password", "timelimit", "fraglimit", "queryid"}, false},
        {"\\players\\", {"player_0", "frags_0", "ping_0", "team_0", "mesh_0"}, true},
        {"\\basic\\\\info\\", {"gamename", "gamever", "minnetver", "location", "hostname"}, false},
        {"\\STATUS\\", {"gamename", "gamever", "minnetver", "location", "hostname"}, true},
    };
    for (const Case &c : cases) {
        const QList<QByteArray> datagrams = buildAnswer(server, c.request, 3);
        ASSERT_FALSE(datagrams.isEmpty()) << c.request;
        const auto pairs = wirePairs(datagrams.constFirst());
        QList<QByteArray> keys;
        for (qsizetype i = 0; i < std::min<qsizetype>(5, pairs.size()); ++i)
            keys.append(pairs.at(i).first);
        EXPECT_EQ(keys, c.firstKeys) << c.request;
        EXPECT_EQ(!valueOf(answerPairs(datagrams), "player_1").isNull(), c.hasPlayers) << c.request;
    }
}

TEST(QueryAnswer, UnknownOrEmptyRequestsGetNoAnswer)
{
    const ServerDescription server = serverWithPlayers(1);
    for (const char *request : {"", "\\", "\\nonsense\\", "REPORTQUERY", "\\secure\\abc"})
        EXPECT_TRUE(buildAnswer(server, request, 1).isEmpty()) << request;
}

TEST(QueryAnswer, EchoesTheEchoValue)
{
    const auto pairs = answerPairs(buildAnswer(serverWithPlayers(0), "\\echo\\hello there", 4));
    EXPECT_EQ(pairs, (QList<WirePair>{{"echo", "hello there"}}));
}

TEST(QueryAnswer, ReportsPlayerDetailsTheWayEachGameDoes)
{
    ServerDescription ut = serverWithPlayers(1);
    ut.players[0].name = "J\xFCrgen";
    const auto utPairs = answerPairs(buildAnswer(ut, "\\players\\", 1));
    EXPECT_EQ(valueOf(utPairs, "player_0"), QByteArray("J\xFCrgen"));
    EXPECT_EQ(valueOf(utPairs, "ping_0"), " 40");
    EXPECT_EQ(valueOf(utPairs, "face_0"), "CommandoSkins.Blake");
    EXPECT_EQ(valueOf(utPairs, "ngsecret_0"), "true");

    const auto unrealPairs = answerPairs(buildAnswer(serverWithPlayers(1, "unreal"), "\\players\\", 1));
    EXPECT_EQ(valueOf(unrealPairs, "skin_0"), "CommandoSkins.cmdo");
    EXPECT_TRUE(valueOf(unrealPairs, "face_0").isNull());
    EXPECT_TRUE(valueOf(unrealPairs, "ngsecret_0").isNull());
}

TEST(QueryAnswer, ReportedPlayerCountMayDisagreeWithTheRecords)
{
    ServerDescription server = serverWithPlayers(3);
    EXPECT_EQ(valueOf(answerPairs(buildAnswer(server, "\\info\\", 1)), "numplayers"), "3");
    server.reportedNumPlayers = 11;
    EXPECT_EQ(valueOf(answerPairs(buildAnswer(server, "\\info\\", 1)), "numplayers"), "11");
}

TEST(QueryAnswer, PacksOversizedGroupsAloneAndSkipsEmptyOnes)
{
    const PairGroup small{{"a", "1"}};
    const PairGroup huge{{"hostname", QByteArray(1500, 'x')}};
    const QList<QByteArray> datagrams = packAnswer({small, {}, huge, small}, 9, 1000);
    ASSERT_EQ(datagrams.size(), 3);
    EXPECT_EQ(datagrams.at(0), "\\a\\1\\queryid\\9.1");
    EXPECT_GT(datagrams.at(1).size(), 1500);
    EXPECT_EQ(datagrams.at(2), "\\a\\1\\queryid\\9.3\\final\\");
    EXPECT_TRUE(packAnswer({}, 9).isEmpty());
}
