// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/internetlistbuilder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "orv/demo/fakemasterserver.h"
#include "orv/engine/serverlist.h"
#include "orv/net/filedownloader.h"
#include "orv/net/masterfetch.h"
#include "tests/orv/net/netwait.h"
#include "tests/support/testpaths.h"

using orv::demo::FakeMasterServer;
using orv::demo::HttpRoute;
using orv::net::BuildOutcome;
using orv::net::InternetListBuilder;
using orv::net::InternetListOptions;
using orv::net::ListChoice;
using orv::net::ListLoad;
using orv::net::ListMerge;
using orv::net::MasterUrl;
using orv::net::MessageKind;

namespace {

class InternetListBuilderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_server.listen());
        QDir().mkpath(m_dir.filePath(QStringLiteral("tmp")));
        m_downloader.setTempFolder(m_dir.filePath(QStringLiteral("tmp")));
        m_downloader.setPauseMs(0);
        m_builder.setCacheFile(cache());
        m_builder.setChoiceAsker([this] {
            ++m_asked;
            return m_choice;
        });
        m_builder.setMessageShower([this](MessageKind kind, const QString &text) { m_messages.append({kind, text}); });
        QObject::connect(&m_builder, &InternetListBuilder::logLine, &m_builder,
                         [this](const QString &line) { m_log.append(line); });

        m_server.setBody("/unreal/servers.txt", "10.0.0.5:7777\r\n10.0.0.2:7777\r\n");
        m_server.setBody("/unreal/servers.lst", "10.0.0.99:7777\r\n");
        m_server.setBody("/ut/UnrealTournament.txt", "10.0.0.5:7777\r\n10.0.0.3:7777\r\n");
        m_options.unrealUrls = {{url("/unreal/servers.txt"), true}, {url("/unreal/servers.lst"), false}};
        m_options.utUrls = {{url("/ut/UnrealTournament.txt"), true}};
    }

    QString cache() const { return m_dir.filePath(QStringLiteral("internet.lst")); }
    QString url(const char *path) const { return m_server.url(path).toString(); }
    QStringList requestedPaths() const
    {
        QStringList paths;
        for (const auto &request : m_server.requests())
            paths.append(QString::fromLatin1(request.path));
        return paths;
    }

    QTemporaryDir m_dir;
    FakeMasterServer m_server;
    orv::net::FileDownloader m_downloader;
    InternetListBuilder m_builder{m_downloader};
    InternetListOptions m_options;
    orv::engine::ServerList m_internet;
    ListChoice m_choice = ListChoice::MergeLists;
    int m_asked = 0;
    QList<std::pair<MessageKind, QString>> m_messages;
    QStringList m_log;
};

TEST_F(InternetListBuilderTest, MergesBothGamesIntoASortedCacheWithoutDuplicates)
{
    m_options.merge = ListMerge::MergeLists;
    m_internet.addresses.append(QStringLiteral("old 1 2"));
    EXPECT_EQ(netwait::build(m_builder, m_options, m_internet), BuildOutcome::Downloaded);
    EXPECT_EQ(m_asked, 0);
    EXPECT_TRUE(m_messages.isEmpty());
    // Both sources are asked at once, so their requests come in either order.
    QStringList paths = requestedPaths();
    paths.sort();
    EXPECT_EQ(paths, (QStringList{QStringLiteral("/unreal/servers.txt"), QStringLiteral("/ut/UnrealTournament.txt")}));
    EXPECT_EQ(testsupport::readFile(cache()),
              QByteArray("10.0.0.2 7777 7778\r\n10.0.0.3 7777 7778\r\n10.0.0.5 7777 7778\r\n"));
    EXPECT_EQ(m_internet.addresses.lines(),
              (QStringList{QStringLiteral("10.0.0.2 7777 7778"), QStringLiteral("10.0.0.3 7777 7778"),
                           QStringLiteral("10.0.0.5 7777 7778")}));
}

TEST_F(InternetListBuilderTest, TheChoiceWindowPicksTheUrlSets)
{
    struct Case
    {
        ListChoice choice;
        QStringList paths;
        BuildOutcome outcome;
    };
    const QList<Case> cases = {
        {ListChoice::UnrealTournament, {QStringLiteral("/ut/UnrealTournament.txt")}, BuildOutcome::Downloaded},
        {ListChoice::Unreal, {QStringLiteral("/unreal/servers.txt")}, BuildOutcome::Downloaded},
        {ListChoice::MergeLists,
         {QStringLiteral("/unreal/servers.txt"), QStringLiteral("/ut/UnrealTournament.txt")},
         BuildOutcome::Downloaded},
        {ListChoice::Cancel, {}, BuildOutcome::Cancelled},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.choice));
        FakeMasterServer server;
        ASSERT_TRUE(server.listen());
        const auto swap = [&server](const QString &u) {
            QUrl moved(u);
            moved.setPort(server.port());
            return moved.toString();
        };
        InternetListOptions options = m_options;
        for (MasterUrl &u : options.unrealUrls)
            u.url = swap(u.url);
        for (MasterUrl &u : options.utUrls)
            u.url = swap(u.url);
        server.setBody("/unreal/servers.txt", "10.0.0.5:7777\r\n");
        server.setBody("/ut/UnrealTournament.txt", "10.0.0.6:7777\r\n");
        m_choice = c.choice;
        m_internet.addresses.setLines({QStringLiteral("kept 1 2")});
        EXPECT_EQ(netwait::build(m_builder, options, m_internet), c.outcome);
        QStringList paths;
        for (const auto &request : server.requests())
            paths.append(QString::fromLatin1(request.path));
        paths.sort(); // asked at once: in either order
        EXPECT_EQ(paths, c.paths);
        if (c.outcome == BuildOutcome::Cancelled) {
            EXPECT_EQ(m_internet.addresses.lines(), QStringList{QStringLiteral("kept 1 2")});
        }
    }
    EXPECT_EQ(m_asked, 4);
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(InternetListBuilderTest, SavedFileModeWithoutCacheShowsTheErrorAndDownloadsNothing)
{
    m_options.reloadList = ListLoad::SavedFile;
    m_internet.addresses.setLines({QStringLiteral("kept 1 2")});
    EXPECT_EQ(netwait::build(m_builder, m_options, m_internet), BuildOutcome::Failed);
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_EQ(m_messages.first().first, MessageKind::Error);
    EXPECT_EQ(m_messages.first().second, QStringLiteral("Local file not found! Dowonload it from web."));
    EXPECT_EQ(m_server.requestCount(), 0);
    EXPECT_EQ(m_asked, 0);
    EXPECT_EQ(m_internet.addresses.lines(), QStringList{QStringLiteral("kept 1 2")});

    ASSERT_TRUE(testsupport::writeFile(cache(), "10.0.0.1 7777 7778\r\n"));
    m_messages.clear();
    EXPECT_EQ(netwait::build(m_builder, m_options, m_internet), BuildOutcome::LoadedFromCache);
    EXPECT_TRUE(m_messages.isEmpty());
    EXPECT_TRUE(m_log.contains(QStringLiteral("Load servers list from local file.")));
    EXPECT_EQ(m_internet.addresses.lines(), QStringList{QStringLiteral("10.0.0.1 7777 7778")});
}

TEST_F(InternetListBuilderTest, FailedDownloadsWarnAndTheOldCacheSurvives)
{
    m_options.merge = ListMerge::MergeLists;
    m_server.removeRoute("/unreal/servers.txt");
    m_server.removeRoute("/ut/UnrealTournament.txt");
    ASSERT_TRUE(testsupport::writeFile(cache(), "10.0.0.1 7777 7778\r\n"));

    EXPECT_EQ(netwait::build(m_builder, m_options, m_internet), BuildOutcome::Downloaded);
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_EQ(m_messages.first().first, MessageKind::Warning);
    EXPECT_EQ(m_messages.first().second, QStringLiteral("Nothing dowonloaded! (Load local file)"));
    EXPECT_EQ(testsupport::readFile(cache()), QByteArray("10.0.0.1 7777 7778\r\n"));
    EXPECT_EQ(m_internet.addresses.lines(), QStringList{QStringLiteral("10.0.0.1 7777 7778")});
}

TEST_F(InternetListBuilderTest, NothingDownloadedAndNoCacheReportsTheFileError)
{
    m_options.merge = ListMerge::MergeLists;
    m_options.unrealUrls.clear();
    m_options.utUrls = {{url("/ut/UnrealTournament.txt"), false}};
    m_internet.addresses.setLines({QStringLiteral("kept 1 2")});
    EXPECT_EQ(netwait::build(m_builder, m_options, m_internet), BuildOutcome::Failed);
    ASSERT_EQ(m_messages.size(), 2);
    EXPECT_EQ(m_messages.at(0).first, MessageKind::Warning);
    EXPECT_EQ(m_messages.at(1).first, MessageKind::Error);
    EXPECT_TRUE(m_messages.at(1).second.contains(QStringLiteral("internet.lst")));
    EXPECT_EQ(m_server.requestCount(), 0);
    EXPECT_EQ(m_internet.addresses.lines(), QStringList{QStringLiteral("kept 1 2")});
}

TEST_F(InternetListBuilderTest, CancelledUrlFailsAndTheNextIsStillFetched)
{
    m_options.merge = ListMerge::MergeLists;
    HttpRoute stall;
    stall.body = QByteArray(100, 'x');
    stall.stallAfter = 5;
    m_server.setRoute("/unreal/servers.txt", stall);
    // Cancel comes when the other source is through, as the stalled one still runs.
    orv::net::MasterFetch &fetch = m_builder.fetch();
    QObject::connect(&fetch, &orv::net::MasterFetch::waitStarted, &fetch,
                     [&fetch] { QTimer::singleShot(300, &fetch, [&fetch] { fetch.cancel(); }); });
    QStringList &downloadLog = m_log;

    EXPECT_EQ(netwait::build(m_builder, m_options, m_internet), BuildOutcome::Downloaded);
    EXPECT_TRUE(std::any_of(downloadLog.cbegin(), downloadLog.cend(), [](const QString &l) {
        return l.startsWith(QStringLiteral("Falied : ")) && l.endsWith(QStringLiteral("Operation canceled"));
    }));
    EXPECT_EQ(testsupport::readFile(cache()), QByteArray("10.0.0.3 7777 7778\r\n10.0.0.5 7777 7778\r\n"));
}

TEST_F(InternetListBuilderTest, UnconvertibleListIsMergedAsDownloaded)
{
    m_options.merge = ListMerge::MergeLists;
    m_server.setBody("/unreal/servers.txt", "10.0.0.7:7777 \r\n10.0.0.8:7777\r\n");
    EXPECT_EQ(netwait::build(m_builder, m_options, m_internet), BuildOutcome::Downloaded);
    EXPECT_EQ(testsupport::readFile(cache()), QByteArray("10.0.0.3 7777 7778\r\n10.0.0.5 7777 7778\r\n"
                                                         "10.0.0.7:7777 \r\n10.0.0.8:7777\r\n"));
}

} // namespace
