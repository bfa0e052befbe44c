// SPDX-License-Identifier: GPL-3.0-or-later
// orv-query --masters: master sources of both kinds fetched and merged like the browser's.
#include <iostream>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "orv/demo/fakegamespymaster.h"
#include "orv/demo/fakemasterserver.h"
#include "tests/orv/query/clitestsupport.h"

using clitest::run;

namespace {

TEST(QueryMasters, MergesEverySourceAndSaysHowEachWent)
{
    orv::demo::FakeGameSpyMaster master;
    ASSERT_TRUE(master.listen());
    master.setServers("ut", {{"127.0.0.3", 7778}, {"127.0.0.2", 7778}});
    orv::demo::FakeMasterServer web;
    ASSERT_TRUE(web.listen());
    web.setBody("/ut.txt", "127.0.0.2:7777\r\n127.0.0.4:7000\r\n");
    const QString http = web.url("/ut.txt").toString();
    const QString dead = QStringLiteral("gamespy://127.0.0.1:1");

    const auto r = run({"--masters", "ut", master.url(), http, dead});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("127.0.0.2 7777 7778\n127.0.0.3 7777 7778\n127.0.0.4 7000 7001\n"));
    EXPECT_EQ(r.err,
              master.url() + " ok 2 servers\n" + http + " ok 2 servers\n" + dead + " failed: connection refused\n");

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("internet.lst"));
    const auto written = run({"--masters", "ut", master.url(), "--write", file});
    EXPECT_EQ(written.status, 0);
    EXPECT_TRUE(written.out.isEmpty());
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("127.0.0.2 7777 7778\r\n127.0.0.3 7777 7778\r\n"));

    // No source answered.
    EXPECT_EQ(run({"--masters", "unreal", dead}).status, 1);
}

// Five sources, two of which accept and stay silent: every source is asked at once, the
// silent ones are given up when no challenge came, and the merged list and the report are
// those of one source after another.
TEST(QueryMasters, AsksEverySourceAtOnceAndGivesUpSilentMasters)
{
    orv::demo::FakeGameSpyMaster first;
    orv::demo::FakeGameSpyMaster second;
    orv::demo::FakeGameSpyMaster silent1;
    orv::demo::FakeGameSpyMaster silent2;
    for (orv::demo::FakeGameSpyMaster *m : {&first, &second, &silent1, &silent2})
        ASSERT_TRUE(m->listen());
    first.setServers("ut", {{"127.0.0.3", 7778}, {"127.0.0.2", 7778}});
    second.setServers("ut", {{"127.0.0.6", 7778}});
    orv::demo::GameSpyMasterBehaviour quiet;
    quiet.silent = true;
    silent1.setBehaviour(quiet);
    silent2.setBehaviour(quiet);
    orv::demo::FakeMasterServer web;
    ASSERT_TRUE(web.listen());
    web.setBody("/ut.txt", "127.0.0.2:7777\r\n127.0.0.4:7000\r\n");
    const QString http = web.url("/ut.txt").toString();

    QElapsedTimer clock;
    clock.start();
    const auto r = run({"--masters", "ut", first.url(), silent1.url(), http, silent2.url(), second.url()});
    const qint64 elapsed = clock.elapsed();
    // For the record only: the whole fetch costs about the challenge wait, not two silences.
    std::cout << "[ timing   ] five sources, two silent: " << elapsed << " ms\n";
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("127.0.0.2 7777 7778\n127.0.0.3 7777 7778\n127.0.0.4 7000 7001\n"
                                    "127.0.0.6 7777 7778\n"));
    const QString silent = QStringLiteral(" failed: time-out: no challenge from the master\n");
    EXPECT_EQ(r.err, first.url() + " ok 2 servers\n" + silent1.url() + silent + http + " ok 2 servers\n" +
                         silent2.url() + silent + second.url() + " ok 1 servers\n");
    EXPECT_EQ(silent1.connectionCount(), 1);
    EXPECT_EQ(silent2.connectionCount(), 1);
}

TEST(QueryMasters, RefusesBadArguments)
{
    const QList<QStringList> cases = {
        {"--masters"},
        {"--masters", "quake", "gamespy://127.0.0.1"},
        {"--masters", "ut"},
        {"--masters", "ut", "127.0.0.1:28900"},
        {"--masters", "ut", "gamespy://127.0.0.1", "--write"},
    };
    for (const QStringList &arguments : cases) {
        const auto r = run(arguments);
        EXPECT_EQ(r.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

} // namespace
