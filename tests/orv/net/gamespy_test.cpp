// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/gamespy.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "orv/demo/fakegamespymaster.h"
#include "orv/demo/fakemasterserver.h"
#include "orv/engine/serverlist.h"
#include "orv/net/defaultmasterurls.h"
#include "orv/net/filedownloader.h"
#include "orv/net/gamespyclient.h"
#include "orv/net/internetlistbuilder.h"
#include "tests/orv/net/netwait.h"

using namespace orv::net;
using orv::demo::FakeGameSpyMaster;
using orv::demo::GameSpyMasterBehaviour;

namespace {

// An honest master's behaviour with one change.
template <typename Change> GameSpyMasterBehaviour behaving(Change change)
{
    GameSpyMasterBehaviour b;
    change(b);
    return b;
}

TEST(GameSpyValidate, MatchesThePublishedVectorsAndTheGameKeys)
{
    EXPECT_EQ(gameSpyValidate("TXKOAT", "mgNUaC"), QByteArray("LO/WUC4c"));
    EXPECT_EQ(gameSpyValidate("TXKOAT", "QFWxY2"), QByteArray("wwke+FSs"));
    EXPECT_EQ(gameSpyValidate("TXKOAT", "d4kZca"), QByteArray("UpkV3Mfn"));
    EXPECT_EQ(gameSpyGameKey(MasterGame::UnrealTournament), QByteArray("Z5Nfb0"));
    EXPECT_EQ(gameSpyGameKey(MasterGame::Unreal), QByteArray("DAncRK"));

    const QByteArray request = gameSpyRequest(MasterGame::Unreal, "TXKOAT");
    EXPECT_EQ(request, "\\gamename\\unreal\\location\\0\\validate\\" + gameSpyValidate("TXKOAT", "DAncRK") +
                           "\\final\\\\list\\\\gamename\\unreal\\final\\");
}

TEST(GameSpyChallenge, ReadsTheChallengeInEveryShape)
{
    using State = GameSpyChallenge::State;
    const struct
    {
        const char *name;
        QByteArray received;
        State state;
        QByteArray challenge;
    } cases[] = {
        {"with final", "\\basic\\\\secure\\ABCDEF\\final\\", State::Ready, "ABCDEF"},
        {"without final", "\\basic\\\\secure\\QWERTY", State::Ready, "QWERTY"},
        {"cut in the challenge", "\\basic\\\\secure\\QWE", State::NeedMore, {}},
        {"cut in the key", "\\basic\\\\sec", State::NeedMore, {}},
        {"nothing yet", "", State::NeedMore, {}},
        {"echo", "\\echo\\go away\\final\\", State::Refused, {}},
        {"backslash in challenge", "\\basic\\\\secure\\AB\\DEF", State::Refused, {}},
        {"control byte in challenge", QByteArray("\\basic\\\\secure\\AB\0DEF", 21), State::Refused, {}},
        {"endless junk", QByteArray(600, 'x'), State::Refused, {}},
    };
    for (const auto &c : cases) {
        const GameSpyChallenge parsed = parseGameSpyChallenge(c.received);
        EXPECT_EQ(parsed.state, c.state) << c.name;
        EXPECT_EQ(parsed.challenge, c.challenge) << c.name;
    }
}

TEST(GameSpyList, KeepsGoodEntriesAndSkipsEveryBadOne)
{
    const QByteArray answer = "\\ip\\1.2.3.4:7778"
                              "\\ip\\999.1.1.1:7778\\ip\\hello\\junk\\\\\\ip\\5.6.7.8:0"
                              "\\ip\\5.6.7.8:65536\\ip\\5.6.7.8:1\\ip\\01.2.3.4:7778\\ip\\1.2.3:7778"
                              "\\ip\\0.1.2.3:7778\\ip\\224.0.0.1:7778\\ip\\255.255.255.255:7778\\ip\\1.2.3.4.5:7778"
                              "\\ip\\1.2.3.4:+778\\ip\\127.0.0.2:7778"
                              "\\ip\\\\ip\\10.0.0.9:65535\\final\\\\ip\\9.9.9.9:7778";
    const GameSpyList remote = parseGameSpyList(answer, false);
    EXPECT_TRUE(remote.complete);
    EXPECT_FALSE(remote.refused);
    EXPECT_EQ(remote.lines, (QList<QByteArray>{"1.2.3.4 7777 7778", "10.0.0.9 65534 65535"}));
    EXPECT_EQ(remote.skipped, 14);

    // Only a master on loopback may list loopback servers.
    const GameSpyList local = parseGameSpyList(answer, true);
    EXPECT_EQ(local.lines, (QList<QByteArray>{"1.2.3.4 7777 7778", "127.0.0.2 7777 7778", "10.0.0.9 65534 65535"}));

    const GameSpyList cut = parseGameSpyList("\\ip\\1.2.3.4:7778\\ip\\5.6.7.8:77", false);
    EXPECT_FALSE(cut.complete);
    EXPECT_EQ(cut.lines, (QList<QByteArray>{"1.2.3.4 7777 7778"}));
    EXPECT_EQ(cut.skipped, 0);

    EXPECT_TRUE(parseGameSpyList("\\echo\\wrong validate\\final\\", false).refused);
}

TEST(MasterSources, AcceptsWebListsAndGameSpyMastersOnly)
{
    const struct
    {
        const char *text;
        MasterSourceKind kind;
        const char *host;
        quint16 port;
    } cases[] = {
        {"http://127.0.0.1:8080/ut.txt", MasterSourceKind::Http, "", 0},
        {"https://lists.example/unreal.txt", MasterSourceKind::Http, "", 0},
        {"gamespy://master.example", MasterSourceKind::GameSpy, "master.example", 28900},
        {"gamespy://127.0.0.1:28901", MasterSourceKind::GameSpy, "127.0.0.1", 28901},
        {"GAMESPY://master.example:28900/", MasterSourceKind::GameSpy, "master.example", 28900},
        {"gamespy://master.example:0", MasterSourceKind::Invalid, "", 0},
        {"gamespy://master.example:70000", MasterSourceKind::Invalid, "", 0},
        {"gamespy://master.example/list", MasterSourceKind::Invalid, "", 0},
        {"gamespy://user@master.example", MasterSourceKind::Invalid, "", 0},
        {"gamespy://", MasterSourceKind::Invalid, "", 0},
        {"ftp://lists.example/ut.txt", MasterSourceKind::Invalid, "", 0},
        {"master.example:28900", MasterSourceKind::Invalid, "", 0},
        {" http://lists.example/ut.txt", MasterSourceKind::Invalid, "", 0},
        {"", MasterSourceKind::Invalid, "", 0},
    };
    for (const auto &c : cases) {
        const MasterSource source = parseMasterSource(QString::fromLatin1(c.text));
        EXPECT_EQ(source.kind, c.kind) << c.text;
        if (c.kind == MasterSourceKind::GameSpy) {
            EXPECT_EQ(source.host, QString::fromLatin1(c.host)) << c.text;
            EXPECT_EQ(source.port, c.port) << c.text;
        }
    }
}

TEST(DefaultMasters, TheShippedFileGivesTheSixCheckedMasters)
{
    const DefaultMasters shipped = loadDefaultMasters(QStringLiteral(ORV_SOURCE_DIR "/orv/app/data"));
    const auto urls = [](const QList<MasterUrl> &list) {
        QStringList texts;
        for (const MasterUrl &u : list) {
            EXPECT_TRUE(u.checked) << u.url.toStdString();
            texts.append(u.url);
        }
        return texts;
    };
    EXPECT_EQ(urls(shipped.ut),
              (QStringList{"gamespy://master.333networks.com:28900", "gamespy://ut.master.openspy.net:28900",
                           "gamespy://master.oldunreal.com:28900"}));
    EXPECT_EQ(urls(shipped.unreal),
              (QStringList{"gamespy://master.333networks.com:28900", "gamespy://unreal.master.openspy.net:28900",
                           "gamespy://master.errorist.eu:28900"}));

    const DefaultMasters parsed = parseDefaultMasters("gamespy://orphan.example\r\n[ut]\r\n# note\r\n"
                                                      "-http://127.0.0.1/ut.txt\r\nnot a source\r\n[other]\r\n"
                                                      "gamespy://other.example\r\n");
    EXPECT_TRUE(parsed.unreal.isEmpty());
    EXPECT_EQ(parsed.ut, (QList<MasterUrl>{{QStringLiteral("http://127.0.0.1/ut.txt"), false}}));
    EXPECT_TRUE(loadDefaultMasters(QStringLiteral("/nonexistent-folder")).ut.isEmpty());
}

// The download road through a fake master on loopback.
class GameSpyDownloadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_master.listen());
        m_master.setServers("ut", {{"127.0.0.2", 7778}, {"127.0.0.3", 8001}, {"10.0.0.4", 7778}});
        m_master.setServers("unreal", {{"127.0.0.9", 7778}});
        m_downloader.setTempFolder(m_dir.path());
        m_downloader.setPauseMs(0);
        m_downloader.gameSpyClient().setTimeouts(2000, 400, 3000);
        QObject::connect(&m_downloader, &FileDownloader::logLine, &m_downloader,
                         [this](const QString &line) { m_log.append(line); });
    }

    QString target() const { return m_dir.filePath(QStringLiteral("internet.lst")); }
    QByteArray targetText() const
    {
        QFile file(target());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    bool download(MasterGame game = MasterGame::UnrealTournament)
    {
        m_log.clear();
        return netwait::download(m_downloader, m_master.url(), target(), game);
    }

    QTemporaryDir m_dir;
    FakeGameSpyMaster m_master;
    FileDownloader m_downloader;
    QStringList m_log;
};

const QByteArray kUtLines = "127.0.0.2 7777 7778\r\n127.0.0.3 8000 8001\r\n10.0.0.4 7777 7778\r\n";

TEST_F(GameSpyDownloadTest, HonestMastersGiveTheListHoweverItArrives)
{
    const struct
    {
        const char *name;
        GameSpyMasterBehaviour behaviour;
    } cases[] = {
        {"at once", behaving([](auto &) {})},
        {"challenge without final, byte by byte", behaving([](auto &b) {
             b.finalAfterChallenge = false;
             b.chunkSize = 1;
         })},
        {"with final, byte by byte", behaving([](auto &b) { b.chunkSize = 1; })},
        {"keeps the connection open", behaving([](auto &b) { b.closeAfterList = false; })},
    };
    for (const auto &c : cases) {
        m_master.setBehaviour(c.behaviour);
        QFile::remove(target());
        EXPECT_TRUE(download()) << c.name << ": " << m_log.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(targetText(), kUtLines) << c.name;
        EXPECT_TRUE(m_log.contains(QStringLiteral("Download complete."))) << c.name;
    }
    // The game of the list decides what is asked for.
    m_master.setBehaviour({});
    EXPECT_TRUE(download(MasterGame::Unreal));
    EXPECT_EQ(targetText(), QByteArray("127.0.0.9 7777 7778\r\n"));
    EXPECT_EQ(m_master.refusedCount(), 0);
}

TEST_F(GameSpyDownloadTest, MisbehavingMastersFailWithAReasonAndKeepTheOldTarget)
{
    const struct
    {
        const char *name;
        GameSpyMasterBehaviour behaviour;
        const char *reason;
    } cases[] = {
        {"wrong validate, echo", behaving([](auto &b) { b.keyOverride = "xxxxxx"; }), "authentication refused"},
        {"wrong validate, close", behaving([](auto &b) {
             b.keyOverride = "xxxxxx";
             b.echoOnRefusal = false;
         }),
         "authentication refused"},
        {"never speaks", behaving([](auto &b) { b.silent = true; }), "time-out"},
        {"floods", behaving([](auto &b) { b.floodBytes = GameSpyClient::kMaxAnswerSize + 4096; }),
         "answer larger than 4 MB"},
        {"dribbles past the total time", behaving([](auto &b) {
             b.chunkSize = 1;
             b.chunkDelayMs = 100;
         }),
         "time-out"},
    };
    for (const auto &c : cases) {
        m_master.setBehaviour(c.behaviour);
        {
            QFile old(target());
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("old\r\n");
        }
        EXPECT_FALSE(download()) << c.name;
        EXPECT_TRUE(m_log.contains(QStringLiteral("Falied : ") + QLatin1String(c.reason)))
            << c.name << ": " << m_log.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(m_downloader.lastFailure(), QLatin1String(c.reason)) << c.name;
        EXPECT_EQ(targetText(), QByteArray("old\r\n")) << c.name;
    }

    const quint16 closed = m_master.port();
    m_master.close();
    EXPECT_FALSE(netwait::download(m_downloader, QStringLiteral("gamespy://127.0.0.1:%1").arg(closed), target(),
                                   MasterGame::UnrealTournament));
    EXPECT_EQ(m_downloader.lastFailure(), QStringLiteral("connection refused"));
}

TEST_F(GameSpyDownloadTest, GarbageAmongGoodEntriesCostsOnlyItself)
{
    m_master.setBehaviour(
        behaving([](auto &b) { b.extraEntries = "\\ip\\300.1.1.1:7778\\ip\\\xff\xfe\\\\ip\\1.1.1.1:99999\\junk\\"; }));
    EXPECT_TRUE(download());
    EXPECT_EQ(targetText(), kUtLines);
    EXPECT_TRUE(m_log.contains(QStringLiteral("Skipped 3 malformed entries")));
}

TEST_F(GameSpyDownloadTest, CancelEndsAMasterDownload)
{
    m_master.setBehaviour(behaving([](auto &b) { b.silent = true; }));
    m_downloader.gameSpyClient().setTimeouts(5000, 5000, 5000);
    bool finished = false;
    QObject::connect(&m_downloader, &FileDownloader::waitFinished, &m_downloader, [&finished] { finished = true; });
    QTimer::singleShot(100, &m_downloader, [this] { m_downloader.cancel(); });
    EXPECT_FALSE(download());
    EXPECT_TRUE(finished);
    EXPECT_TRUE(m_log.contains(QStringLiteral("Falied : Operation canceled")));
    EXPECT_FALSE(m_downloader.isBusy());
}

TEST_F(GameSpyDownloadTest, BuildInternetListMixesBothKindsAndKeepsTheCacheWhenAllFail)
{
    orv::demo::FakeMasterServer web;
    ASSERT_TRUE(web.listen());
    web.setBody("/unreal.txt", "10.0.0.5:7777\r\n");
    InternetListBuilder builder(m_downloader);
    const QString cache = m_dir.filePath(QStringLiteral("cache.lst"));
    builder.setCacheFile(cache);
    QStringList messages;
    builder.setMessageShower([&messages](MessageKind, const QString &text) { messages.append(text); });
    QObject::connect(&builder, &InternetListBuilder::logLine, &builder,
                     [this](const QString &line) { m_log.append(line); });
    InternetListOptions options;
    options.merge = ListMerge::MergeLists;
    options.unrealUrls = {{web.url("/unreal.txt").toString(), true}};
    options.utUrls = {{m_master.url(), true}};
    orv::engine::ServerList internet;

    ASSERT_EQ(netwait::build(builder, options, internet), BuildOutcome::Downloaded);
    EXPECT_EQ(internet.addresses.lines(),
              (QStringList{"10.0.0.4 7777 7778", "10.0.0.5 7777 7778", "127.0.0.2 7777 7778", "127.0.0.3 8000 8001"}));
    QFile saved(cache);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray before = saved.readAll();
    saved.close();

    // Now every source fails, one of them after half a list: the cache stays whole.
    web.removeRoute("/unreal.txt");
    m_master.setBehaviour(behaving([](auto &b) { b.silent = true; }));
    options.utUrls.prepend({QStringLiteral("gamespy://127.0.0.1:1"), true});
    messages.clear();
    m_log.clear();
    ASSERT_EQ(netwait::build(builder, options, internet), BuildOutcome::Downloaded);
    EXPECT_EQ(messages, QStringList{InternetListBuilder::kNothingDownloaded});
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), before);
    EXPECT_EQ(internet.addresses.size(), 4);
    EXPECT_TRUE(m_log.contains(QStringLiteral("gamespy://127.0.0.1:1 failed: connection refused")))
        << m_log.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(m_log.contains(m_master.url() + QStringLiteral(" failed: time-out")));
    EXPECT_TRUE(m_log.contains(web.url("/unreal.txt").toString() + QStringLiteral(" failed: 404 Not Found")));
}

} // namespace
