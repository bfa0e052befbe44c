// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/replydecoder.h"

#include <random>

#include <QFile>

#include <gtest/gtest.h>

#include "orv/engine/textutil.h"
#include "tests/support/testpaths.h"

using namespace orv::engine;

namespace {

QString L1(const char *text)
{
    return QString::fromLatin1(text);
}

// A store holding one answer's datagrams for the given server, in the given order.
ReplyStore storeOf(const QString &address, const QString &gamePort, const QString &queryPort,
                   const QList<QByteArray> &datagrams)
{
    ReplyStore store;
    const QByteArray key = ReplyStore::serverKey(address, gamePort, queryPort);
    for (const QByteArray &d : datagrams)
        store.appendAnswer(key, d);
    return store;
}

ServerInfo decodeOne(const QByteArray &datagram, const ValueReplacer &replacer = {})
{
    const ReplyStore store = storeOf(L1("10.0.0.5"), L1("7777"), L1("7778"), {datagram});
    return DecodeServerInfo(store, L1("10.0.0.5"), L1("7777"), L1("7778"), replacer);
}

QList<QByteArray> captured(const char *stem, int parts)
{
    QList<QByteArray> datagrams;
    for (int i = 1; i <= parts; ++i)
        datagrams.append(testsupport::readData(QStringLiteral("status/%1_%2.bin").arg(L1(stem)).arg(i)));
    return datagrams;
}

} // namespace

TEST(DecodeServerInfo, CapturedInstagibAnswerDecodesAsAnotherLibraryAsserts)
{
    const QList<QByteArray> parts = captured("ut99_gameq_unrealkillers_instagib_ctf", 3);
    // Arrival order must not matter for the values of distinct keys.
    const ReplyStore store = storeOf(L1("75.102.41.52"), L1("7777"), L1("7778"), {parts[2], parts[0], parts[1]});
    const ServerInfo info = DecodeServerInfo(store, L1("75.102.41.52"), L1("7777"), L1("7778"));

    EXPECT_EQ(info.hostname, L1("zp|    [=======]    [PURE]    [INSTAGIB]    [US]    [=======] by "
                                "www.unrealkillers.com"));
    EXPECT_EQ(info.gamename, L1("ut"));
    EXPECT_EQ(info.mapname, L1("CTF-w00tabulousFixed"));
    EXPECT_EQ(info.gametype, L1("ACLCTFGame"));
    EXPECT_EQ(info.numplayers, L1("11"));
    EXPECT_EQ(info.maxplayers, L1("13"));
    EXPECT_EQ(info.hostport, L1("7777"));
    EXPECT_EQ(info.infoport, L1("7778"));
    // maptitle is 39 characters on the wire; the field holds 20.
    EXPECT_EQ(info.maptitle, L1("W00tabulous !@Fixed "));
    EXPECT_EQ(info.adminname, L1("SAM"));
    EXPECT_EQ(info.adminemail, L1("admin@unrealkillers.com"));
    EXPECT_EQ(info.friendlyfire, L1("0%"));
    EXPECT_EQ(info.tournament, L1("False"));
    EXPECT_EQ(info.ping, 9999);

    const auto players = listedPlayers(info);
    ASSERT_EQ(players.size(), 11u);
    EXPECT_EQ(players[0].name, L1("akatotosh<3"));
    EXPECT_EQ(players[0].frags, L1("1"));
    EXPECT_EQ(players[0].ping, L1(" 152"));
    EXPECT_EQ(players[0].team, L1("1"));
    EXPECT_EQ(players[0].mesh, L1("Female Commando"));
    EXPECT_EQ(players[0].skin, L1("FCommandoSkins.cmdo"));
    EXPECT_EQ(players[0].face, L1("FCommandoSkins.Ivana"));
    // Latin-1 bytes 0xA0 and 0xB1 survive as the characters they stand for.
    EXPECT_EQ(players[2].name,
              QString(QStringLiteral("Resident") + QChar(0xA0) + QStringLiteral("Evil") + QChar(0xB1)));
    // A spectator's empty face reads as "None".
    EXPECT_EQ(players[2].face, L1("None"));
    EXPECT_EQ(players[2].team, L1("255"));
    EXPECT_EQ(players[10].name, L1("KindBud"));
    EXPECT_EQ(players[10].frags, L1("1439"));
    // Slots past numplayers keep their defaults.
    EXPECT_EQ(info.players[11].name, L1("Information not comp"));
}

TEST(DecodeServerInfo, CapturedSiegeAndUtzoneAnswers)
{
    const ReplyStore siegeStore =
        storeOf(L1("75.102.40.198"), L1("7777"), L1("7778"), captured("ut99_gameq_unrealkillers_siege", 3));
    const ServerInfo siege = DecodeServerInfo(siegeStore, L1("75.102.40.198"), L1("7777"), L1("7778"));
    EXPECT_TRUE(siege.hostname.startsWith(L1("zp| *    *    *    -=[SIEGE]=- |uK| The One Night Stand")));
    EXPECT_EQ(siege.mapname, L1("CTF-[4]-'uK-Bathroom")); // 23 characters cut to 20
    EXPECT_EQ(siege.gametype, L1("SiegeGI"));
    EXPECT_EQ(siege.numplayers, L1("14"));
    EXPECT_EQ(siege.maxplayers, L1("23"));
    EXPECT_EQ(siege.maxteams, L1("4"));
    EXPECT_EQ(siege.timelimit, L1("80"));
    EXPECT_EQ(listedPlayers(siege).size(), 14u);
    EXPECT_EQ(listedPlayers(siege)[13].name, L1("HIGH[+]*C4)v(1L0*"));

    const ReplyStore utzoneStore = storeOf(L1("95.156.230.70"), L1("11337"), L1("11338"),
                                           {testsupport::readData(L1("status/ut99_gameq_utzone_ictf.bin"))});
    const ServerInfo utzone = DecodeServerInfo(utzoneStore, L1("95.156.230.70"), L1("11337"), L1("11338"));
    EXPECT_EQ(utzone.hostname, L1(" * * *  UTzone.de  * * *  iCTF #1     [ P U R E NN INSTAGIB ] by DNW"));
    EXPECT_EQ(utzone.hostport, L1("11337"));
    EXPECT_EQ(utzone.infoport, L1("11338"));
    EXPECT_EQ(utzone.mapname, L1("CTF-Klondike_LE15"));
    EXPECT_EQ(utzone.numplayers, L1("0"));
    EXPECT_EQ(utzone.maxplayers, L1("10"));
    EXPECT_EQ(utzone.botskill, L1("Average"));
    EXPECT_TRUE(listedPlayers(utzone).empty());
}

TEST(DecodeServerInfo, InfoAnswerOfAnotherGameOnTheSameEngine)
{
    const ServerInfo info = decodeOne(testsupport::readData(L1("status/tacops_jepperscore_info.bin")));
    EXPECT_EQ(info.hostname, L1("|OoPS| Clan TO:AoT v315 Public Server-240"));
    EXPECT_EQ(info.gametype, L1("s_SWATGame"));
    EXPECT_EQ(info.numplayers, L1("20"));
    EXPECT_EQ(info.gamename, L1("N/A")); // an \info\ answer carries no game name
}

TEST(DecodeServerInfo, DefaultsWithoutAnyAnswer)
{
    const ReplyStore empty;
    const ServerInfo info = DecodeServerInfo(empty, L1("10.0.0.5"), L1("7777"), L1("7778"));
    EXPECT_EQ(info.hostname, L1("10.0.0.5"));
    EXPECT_EQ(info.hostport, L1("7777"));
    EXPECT_EQ(info.infoport, L1("7778"));
    EXPECT_EQ(info.gamename, L1("N/A"));
    EXPECT_EQ(info.numplayers, L1("0"));
    EXPECT_EQ(info.shortname, QString());
    EXPECT_EQ(info.ping, 9999);
    EXPECT_EQ(info.players[31].ping, L1("9999"));
    EXPECT_EQ(info.players[31].team, L1("N/A"));
}

TEST(DecodeServerInfo, KeyRulesTable)
{
    struct Case
    {
        const char *name;
        QByteArray datagram;
        QByteArray key;
        QString expected;
    };
    const QString hostname200(200, QLatin1Char('h'));
    const Case cases[] = {
        {"empty value reads None", "\\hostname\\\\mapname\\DM-Deck16\\", "hostname", L1("None")},
        {"value after empty value", "\\hostname\\\\mapname\\DM-Deck16\\", "mapname", L1("DM-Deck16")},
        {"keys ignore letter case", "\\HostName\\Big Server\\", "hostname", L1("Big Server")},
        {"hostname cut to 128", "\\hostname\\" + QByteArray(200, 'h'), "hostname", hostname200.left(128)},
        {"timelimit cut to 3", "\\timelimit\\1000", "timelimit", L1("100")},
        {"later pair wins", "\\mapname\\A\\mapname\\B", "mapname", L1("B")},
        {"value spelling a key is also a key", "\\hostname\\mapname\\CTF-Face\\", "mapname", L1("CTF-Face")},
        {"last word has an empty value", "\\gametype", "gametype", QString()},
        {"high bytes are Latin-1", "\\mapname\\DM-\xe9\xff", "mapname", QString(L1("DM-") + QChar(0xE9) + QChar(0xFF))},
        {"huge number stays text", "\\fraglimit\\-99999999999999999999", "fraglimit", L1("-999999999")},
        {"infoport has no key", "\\infoport\\1", "infoport", L1("7778")},
    };
    for (const Case &c : cases) {
        const ServerInfo info = decodeOne(c.datagram);
        const QString *field = info.field(QByteArrayView(c.key));
        ASSERT_NE(field, nullptr) << c.name;
        EXPECT_EQ(*field, c.expected) << c.name;
    }
}

TEST(DecodeServerInfo, PlayerSlotsTable)
{
    struct Case
    {
        const char *name;
        QByteArray datagram;
        int slot; // 1-based, 0 when nothing may change
        QString expectedName;
    };
    const Case cases[] = {
        {"player_0 fills slot 1", "\\player_0\\Alpha", 1, L1("Alpha")},
        {"player_31 fills slot 32", "\\player_31\\Omega", 32, L1("Omega")},
        {"player_40 is ignored", "\\player_40\\Nobody", 0, {}},
        {"negative suffix is ignored", "\\player_-1\\Nobody", 0, {}},
        {"twenty-digit suffix is ignored", "\\player_18446744073709551617\\Nobody", 0, {}},
        {"underscores inside the suffix are dropped", "\\player_1_2\\Twelve", 13, L1("Twelve")},
        {"missing suffix is no player key", "\\player_\\Nobody", 0, {}},
        {"letters in suffix are no player key", "\\player_x\\Nobody", 0, {}},
        {"base ignores letter case", "\\PLAYER_2\\Caps", 3, L1("Caps")},
        {"name cut to 20", "\\player_0\\" + QByteArray(30, 'n'), 1, QString(20, QLatin1Char('n'))},
    };
    for (const Case &c : cases) {
        const ServerInfo info = decodeOne(c.datagram);
        if (c.slot == 0) {
            for (const PlayerEntry &p : info.players)
                EXPECT_EQ(p.name, L1("Information not comp")) << c.name;
        } else {
            EXPECT_EQ(info.players[static_cast<size_t>(c.slot - 1)].name, c.expectedName) << c.name;
        }
    }
}

TEST(DecodeServerInfo, SingleFinalDatagramFillsPlayerAndFrags)
{
    const QByteArray d = "\\player_0\\Alpha\\frags_0\\12\\final\\\\queryid\\3.1";
    const ServerInfo info = decodeOne(d);
    EXPECT_EQ(info.players[0].name, L1("Alpha"));
    EXPECT_EQ(info.players[0].frags, L1("12"));
    EXPECT_EQ(finalPacketNumber(d), 1);
    EXPECT_TRUE(isFinalDatagram(d));
}

TEST(DecodeServerInfo, OnlyTheFirst255WordsOfADatagramCount)
{
    QByteArray d;
    // 127 filler pairs are 254 words; the 255th word is a key whose value is word 256.
    for (int i = 0; i < 127; ++i)
        d += "\\x" + QByteArray::number(i) + "\\y";
    const ServerInfo early = decodeOne(d + "\\a\\b\\mapname\\Late");
    EXPECT_EQ(early.mapname, L1("N/A"));
    // The same pair early in the datagram is decoded.
    const ServerInfo seen = decodeOne("\\mapname\\Early" + d);
    EXPECT_EQ(seen.mapname, L1("Early"));
}

TEST(DecodeServerInfo, LinesOfOtherServersAndPortsAreSkipped)
{
    ReplyStore store;
    store.appendAnswer(ReplyStore::serverKey(L1("10.0.0.5"), L1("7777"), L1("7778")), "\\hostname\\Mine");
    store.appendAnswer(ReplyStore::serverKey(L1("10.0.0.5"), L1("7777"), L1("7779")), "\\hostname\\OtherPort");
    store.appendAnswer(ReplyStore::serverKey(L1("10.0.0.50"), L1("7777"), L1("7778")), "\\hostname\\Prefix");
    store.append("10.0.0.5:ut 7778"); // a beacon answer line
    const ServerInfo info = DecodeServerInfo(store, L1("10.0.0.5"), L1("7777"), L1("7778"));
    EXPECT_EQ(info.hostname, L1("Mine"));
}

// A server that reports another game port than the one asked: its answers move to the
// reported port, after any older ones held there, and nothing is left under the asked one.
TEST(ReplyStore, RenamedKeyJoinsTheNewKeyInOrderOfReceipt)
{
    const QByteArray asked = ReplyStore::serverKey(L1("10.0.0.5"), L1("7777"), L1("7778"));
    const QByteArray reported = ReplyStore::serverKey(L1("10.0.0.5"), L1("7000"), L1("7778"));
    ReplyStore store;
    store.appendAnswer(reported, "\\hostname\\Old\\mapname\\DM-Old");
    store.appendAnswer(asked, "\\hostname\\New");
    store.appendAnswer(ReplyStore::serverKey(L1("10.0.0.6"), L1("7777"), L1("7778")), "\\hostname\\Other");
    store.appendAnswer(asked, "\\mapname\\DM-New");
    store.renameKey(asked, reported);

    const ServerInfo moved = DecodeServerInfo(store, L1("10.0.0.5"), L1("7000"), L1("7778"));
    EXPECT_EQ(moved.hostname, L1("New"));
    EXPECT_EQ(moved.mapname, L1("DM-New"));
    EXPECT_EQ(DecodeServerInfo(store, L1("10.0.0.5"), L1("7777"), L1("7778")).hostname, L1("10.0.0.5"));
    EXPECT_EQ(store.size(), 4);
    EXPECT_EQ(store.line(3), reported + ">\\mapname\\DM-New");
}

TEST(DecodeServerInfo, ReplacerSeesEveryValueAndNoneForEmptyOnes)
{
    QStringList seen;
    const ValueReplacer replacer = [&seen](const QString &value) {
        seen.append(value);
        if (value == L1("None"))
            return L1("(empty)");
        if (value == L1("DM-Deck16"))
            return L1("Deck");
        return value;
    };
    const ServerInfo info = decodeOne("\\hostname\\\\mapname\\DM-Deck16\\gametype\\dm-deck16", replacer);
    EXPECT_EQ(info.hostname, L1("(empty)"));
    EXPECT_EQ(info.mapname, L1("Deck"));
    EXPECT_EQ(info.gametype, L1("dm-deck16")); // letter case counts
    EXPECT_TRUE(seen.contains(L1("DM-Deck16")));
}

TEST(FinalPacketNumber, Table)
{
    struct Case
    {
        QByteArray datagram;
        std::optional<qint64> expected;
    };
    const Case cases[] = {
        {"\\queryid\\85.2\\final\\", 2},
        {"\\final\\\\queryid\\7.3", 3},
        {"\\queryid\\1.1\\queryid\\2.4\\final\\", 4}, // the last queryid counts
        {"\\queryid\\9.1.2\\final\\", 12},            // later full stops are removed
        {"\\QueryId\\9.1\\final\\", std::nullopt},    // exact letter case
        {"\\queryid\\91\\final\\", std::nullopt},     // no full stop
        {"\\queryid\\9.x\\final\\", std::nullopt},
        {"\\final\\", std::nullopt},
        {"\\queryid\\9.99999999999999999999999\\final\\", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(finalPacketNumber(c.datagram), c.expected) << c.datagram.constData();
}

TEST(DecodeServerInfo, EmptyValuesPairLikeTheTextReplacementOnRandomDatagrams)
{
    // The decoder splits without building the replaced text; compare it with the plain
    // definition: replace "\\" by "\None\", split at "\", pair every word with the next.
    const QByteArray tokens[] = {"\\", "\\", "\\", "mapname", "gametype", "x", "None"};
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        QByteArray datagram;
        const int length = static_cast<int>(rng() % 12);
        for (int i = 0; i < length; ++i)
            datagram += tokens[rng() % std::size(tokens)];

        const QString replaced = ReplaceAll(QString::fromLatin1(">" + datagram), u"\\\\", u"\\None\\");
        QString mapname = L1("N/A");
        QString gametype = L1("N/A");
        for (int k = 1;; ++k) {
            const QString word = NthWord(k, replaced, u"\\");
            if (word.isEmpty())
                break;
            const QString value = NthWord(k + 1, replaced, u"\\").left(20); // both fields hold 20
            if (word == L1("mapname"))
                mapname = value;
            else if (word == L1("gametype"))
                gametype = value;
        }
        const ServerInfo info = decodeOne(datagram);
        ASSERT_EQ(info.mapname, mapname) << datagram.constData();
        ASSERT_EQ(info.gametype, gametype) << datagram.constData();
    }
}

TEST(DecodeServerInfo, RandomBytesNeverOverflowAFieldWidth)
{
    const QByteArray keys[] = {"\\hostname\\", "\\player_", "\\mapname\\", "\\timelimit\\", "\\face_31\\", "\\\\", "_"};
    std::mt19937 rng(11);
    for (int round = 0; round < 500; ++round) {
        QByteArray datagram;
        while (datagram.size() < 1024) {
            if (rng() % 3 == 0)
                datagram += keys[rng() % std::size(keys)];
            else
                datagram += static_cast<char>(rng() % 256);
        }
        const ServerInfo info = decodeOne(datagram);
        for (const ServerInfoField &f : serverInfoFields())
            ASSERT_LE((info.*(f.member)).size(), f.width) << f.key;
        for (const PlayerEntry &p : info.players) {
            for (const PlayerField &f : playerFields())
                ASSERT_LE((p.*(f.member)).size(), f.width) << f.base;
        }
    }
}
