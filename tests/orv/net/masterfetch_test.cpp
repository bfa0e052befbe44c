// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/masterfetch.h"

#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "orv/demo/fakegamespymaster.h"
#include "orv/demo/fakemasterserver.h"
#include "orv/net/filedownloader.h"
#include "orv/net/gamespyclient.h"
#include "tests/orv/net/netwait.h"

using orv::demo::FakeGameSpyMaster;
using orv::net::FileDownloader;
using orv::net::MasterFetch;
using orv::net::MasterGame;

namespace {

// Masters on loopback, two of them accepting and staying silent.
class MasterFetchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (FakeGameSpyMaster *m : {&m_first, &m_silent1, &m_second, &m_silent2})
            ASSERT_TRUE(m->listen());
        ASSERT_TRUE(m_web.listen());
        m_first.setServers("ut", {{"127.0.0.3", 7778}, {"127.0.0.2", 7778}});
        m_second.setServers("ut", {{"127.0.0.2", 7778}, {"127.0.0.4", 9001}});
        m_web.setBody("/ut.txt", "127.0.0.5:7777\r\n127.0.0.2:7777\r\n");
        orv::demo::GameSpyMasterBehaviour silent;
        silent.silent = true;
        m_silent1.setBehaviour(silent);
        m_silent2.setBehaviour(silent);
        m_model.setTempFolder(m_dir.path());
        m_model.setPauseMs(0);
        QObject::connect(&m_fetch, &MasterFetch::logLine, &m_fetch, [this](const QString &l) { m_log.append(l); });
        QObject::connect(&m_fetch, &MasterFetch::sourceDone, &m_fetch, [this](qsizetype i) { m_done.append(i); });
    }

    QList<orv::net::MasterFetchSource> sources() const
    {
        const auto ut = MasterGame::UnrealTournament;
        return {{m_first.url(), ut},
                {m_silent1.url(), ut},
                {m_web.url("/ut.txt").toString(), ut},
                {m_second.url(), ut},
                {m_silent2.url(), ut}};
    }
    bool run()
    {
        bool finished = false;
        QObject::connect(&m_fetch, &MasterFetch::finished, &m_fetch, [&finished] { finished = true; });
        return m_fetch.start(sources()) && netwait::until([&finished] { return finished; });
    }

    QTemporaryDir m_dir;
    FakeGameSpyMaster m_first;
    FakeGameSpyMaster m_silent1;
    FakeGameSpyMaster m_second;
    FakeGameSpyMaster m_silent2;
    orv::demo::FakeMasterServer m_web;
    FileDownloader m_model;
    MasterFetch m_fetch{m_model};
    QStringList m_log;
    QList<qsizetype> m_done;
};

TEST_F(MasterFetchTest, AsksEverySourceAtOnceAndReportsThemInTheirOrder)
{
    // Long silence limits: only the short wait for the challenge gives the silent ones up.
    m_model.gameSpyClient().setTimeouts(5000, 5000, 10000);
    m_model.gameSpyClient().setChallengeTimeout(300);
    // When the first silent master is given up, the last one was asked already.
    int lastSilentAsked = -1;
    QObject::connect(&m_fetch, &MasterFetch::sourceDone, &m_fetch, [&](qsizetype i) {
        if (i == 1)
            lastSilentAsked = m_silent2.connectionCount();
    });
    ASSERT_TRUE(run());
    EXPECT_EQ(lastSilentAsked, 1);
    EXPECT_EQ(m_done, (QList<qsizetype>{0, 1, 2, 3, 4}));

    const QString silentReason = QStringLiteral("time-out: no challenge from the master");
    const QList<orv::net::MasterFetchSource> asked = sources();
    for (qsizetype i = 0; i < asked.size(); ++i) {
        const orv::net::MasterFetchResult &r = m_fetch.result(i);
        EXPECT_EQ(r.url, asked[i].url);
        const bool silent = i == 1 || i == 4;
        EXPECT_EQ(r.downloaded, !silent) << i;
        if (silent) {
            EXPECT_EQ(r.failure, silentReason);
        }
    }
    EXPECT_EQ(m_fetch.result(0).lines, (QStringList{"127.0.0.2 7777 7778", "127.0.0.3 7777 7778"}));
    EXPECT_EQ(m_fetch.result(2).lines, (QStringList{"127.0.0.2 7777 7778", "127.0.0.5 7777 7778"}));
    EXPECT_EQ(m_fetch.result(3).lines, (QStringList{"127.0.0.2 7777 7778", "127.0.0.4 9000 9001"}));

    // The log reads as if the sources had been asked one after another: each source's own
    // lines, from its "Dowonload" line to its end, before the next source's.
    QStringList starts;
    QStringList ends;
    for (const QString &line : std::as_const(m_log)) {
        if (line.startsWith(QStringLiteral("Dowonload ")))
            starts.append(line.section(QLatin1Char(' '), 1, 1));
        else if (line == QStringLiteral("Download complete.") || line.startsWith(QStringLiteral("Falied : ")))
            ends.append(line);
    }
    QStringList urls;
    for (const auto &s : asked)
        urls.append(s.url);
    EXPECT_EQ(starts, urls) << m_log.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(ends, (QStringList{"Download complete.", "Falied : " + silentReason, "Download complete.",
                                 "Download complete.", "Falied : " + silentReason}));
    for (qsizetype i = 1; i < m_log.size(); ++i) {
        if (m_log[i].startsWith(QStringLiteral("Dowonload "))) {
            EXPECT_FALSE(m_log[i - 1].startsWith(QStringLiteral("Dowonload "))) << m_log[i].toStdString();
        }
    }
}

TEST_F(MasterFetchTest, AMasterThatSentItsChallengeKeepsTheLongerLimits)
{
    // The challenge takes longer than the challenge limit would allow the whole list.
    orv::demo::GameSpyMasterBehaviour slow;
    slow.chunkSize = 4;
    slow.chunkDelayMs = 60;
    m_first.setBehaviour(slow);
    m_model.gameSpyClient().setTimeouts(5000, 2000, 10000);
    m_model.gameSpyClient().setChallengeTimeout(700);
    bool finished = false;
    QObject::connect(&m_fetch, &MasterFetch::finished, &m_fetch, [&finished] { finished = true; });
    ASSERT_TRUE(m_fetch.start({{m_first.url(), MasterGame::UnrealTournament}}));
    ASSERT_TRUE(netwait::until([&finished] { return finished; }));
    EXPECT_TRUE(m_fetch.result(0).downloaded) << m_log.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(m_fetch.result(0).lines.size(), 2);
}

TEST_F(MasterFetchTest, CancelEndsEverySource)
{
    m_model.gameSpyClient().setTimeouts(5000, 5000, 10000);
    m_model.gameSpyClient().setChallengeTimeout(5000);
    orv::demo::HttpRoute stall;
    stall.body = QByteArray(1000, 'x');
    stall.stallAfter = 10;
    m_web.setRoute("/ut.txt", stall);
    orv::demo::GameSpyMasterBehaviour silent;
    silent.silent = true;
    m_first.setBehaviour(silent);
    m_second.setBehaviour(silent);
    QTimer::singleShot(200, &m_fetch, [this] { m_fetch.cancel(); });
    ASSERT_TRUE(run());
    for (qsizetype i = 0; i < m_fetch.sourceCount(); ++i) {
        EXPECT_FALSE(m_fetch.result(i).downloaded) << i;
        EXPECT_TRUE(m_fetch.result(i).failure.endsWith(QStringLiteral("Operation canceled")))
            << i << ": " << m_fetch.result(i).failure.toStdString();
    }
    EXPECT_FALSE(m_fetch.isRunning());
    // A refused second start while one runs, and a new one afterwards, work as usual.
    EXPECT_TRUE(m_fetch.start({}));
    EXPECT_FALSE(m_fetch.start({}));
}

} // namespace
