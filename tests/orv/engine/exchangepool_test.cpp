// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/exchangepool.h"

#include <QElapsedTimer>
#include <QEventLoop>

#include <gtest/gtest.h>

#include "fakeservers.h"
#include "orv/engine/queryengine.h"
#include "orv/engine/replydecoder.h"

using namespace orv::engine;
using orv::demo::ServerBehaviour;

namespace {

QString L1(const char *text)
{
    return QString::fromLatin1(text);
}

EngineOptions fastOptions(int timeout = 300)
{
    EngineOptions o;
    o.internetServTimeOut = timeout;
    o.usePing = false;
    return o;
}

// Exchanges with the servers, the datagrams collected in their own store.
struct Exchange
{
    ExchangePool pool;
    ReplyStore store;
    QStringList log;
    std::optional<platform::Result<ExchangeResult>> last;

    Exchange()
    {
        pool.setStoreProvider([this] { return &store; });
        QObject::connect(&pool, &ExchangePool::logLine, &pool, [this](const QString &l) { log.append(l); });
        QObject::connect(&pool, &ExchangePool::finished, &pool,
                         [this](ExchangePool::Id, const platform::Result<ExchangeResult> &r) { last = r; });
    }
    // One exchange, waited for.
    ExchangeResult run(const ServerAddress &server, const EngineOptions &options)
    {
        last.reset();
        const auto id = pool.start(server, QByteArray("\\status\\"), options);
        EXPECT_TRUE(id.has_value());
        QEventLoop loop;
        QObject::connect(&pool, &ExchangePool::finished, &loop, &QEventLoop::quit);
        if (id)
            loop.exec();
        EXPECT_TRUE(last && last->hasValue());
        return last && last->hasValue() ? last->value() : ExchangeResult{};
    }
};

} // namespace

TEST(ExchangePool, OutOfOrderMultiDatagramAnswerCompletesWithoutWaiting)
{
    FakeServers fakes;
    ServerBehaviour b;
    b.reversed = true;
    b.maxDatagramSize = 120; // several datagrams
    auto *server = fakes.add(2, "Reversed");
    server->setBehaviour(b);
    Exchange x;
    const ExchangeResult r = x.run(FakeServers::addressOf(server), fastOptions(5000));
    EXPECT_EQ(r.outcome, QueryOutcome::Complete);
    EXPECT_GE(r.received, 3);
    EXPECT_EQ(r.received, r.expected);
    EXPECT_EQ(x.store.size(), r.received);
    EXPECT_FALSE(x.log.contains(L1("Server timeout!")));
    EXPECT_TRUE(x.log.contains(L1("---------- Query Complete ------------")));
    EXPECT_EQ(server->lastRequest(), QByteArray("\\status\\"));
    const ServerAddress a = FakeServers::addressOf(server);
    EXPECT_EQ(DecodeServerInfo(x.store, a).hostname, L1("Reversed"));
}

TEST(ExchangePool, SilentServerIsAskedOnceAndWaitsTheWholeTimeOut)
{
    FakeServers fakes;
    ServerBehaviour b;
    b.dead = true;
    auto *server = fakes.add(2, "Dead", b);
    EngineOptions o = fastOptions(300);
    o.allowNotfull = false;
    o.serverTry = 3;
    Exchange x;
    QElapsedTimer clock;
    clock.start();
    const ExchangeResult r = x.run(FakeServers::addressOf(server), o);
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_EQ(r.outcome, QueryOutcome::NoAnswer);
    EXPECT_EQ(r.attempts, 1);
    EXPECT_EQ(server->requestCount(), 1);
    EXPECT_TRUE(x.log.contains(L1("Server timeout!")));
}

TEST(ExchangePool, IncompleteAnswersAreRetriedOnlyWhenNotAllowed)
{
    struct Case
    {
        bool allowNotfull;
        int serverTry;
        int attempts;
    };
    for (const Case &c : {Case{false, 3, 3}, Case{true, 3, 1}, Case{false, 1, 1}}) {
        FakeServers fakes;
        ServerBehaviour b;
        b.maxDatagramSize = 150;
        b.dropPackets = {2};
        auto *server = fakes.add(2, "Half", b);
        server->mutableDescription().players.clear();
        server->mutableDescription().rules = {{"timelimit", "20"}, {"fraglimit", "30"}};
        EngineOptions o = fastOptions(200);
        o.allowNotfull = c.allowNotfull;
        o.serverTry = c.serverTry;
        Exchange x;
        const ExchangeResult r = x.run(FakeServers::addressOf(server), o);
        EXPECT_EQ(r.outcome, QueryOutcome::Incomplete) << c.serverTry;
        EXPECT_EQ(r.attempts, c.attempts) << c.allowNotfull << c.serverTry;
        EXPECT_EQ(server->requestCount(), c.attempts);
        EXPECT_LT(r.received, r.expected);
        // Every attempt's datagrams stay in the store.
        EXPECT_EQ(x.store.size(), c.attempts * r.received);
    }
}

TEST(ExchangePool, HostileDatagramsTable)
{
    struct Case
    {
        const char *name;
        QList<QByteArray> datagrams;
        QueryOutcome outcome;
        int received;
        int storedLines;
        QString hostname; // decoded afterwards
    };
    const QByteArray exact1024 = "\\hostname\\Exact" + QByteArray(1024 - 15, 'x');
    const QString exactName = (L1("Exact") + QString(1024 - 15, QLatin1Char('x'))).left(128);
    const Case cases[] = {
        {"longer than 1024 bytes is ignored",
         {"\\hostname\\Huge" + QByteArray(1500, 'x'), "\\hostname\\Ok\\queryid\\1.1\\final\\"},
         QueryOutcome::Complete,
         1,
         1,
         L1("Ok")},
        {"exactly 1024 bytes is kept", {exact1024, "\\queryid\\1.2\\final\\"}, QueryOutcome::Complete, 2, 2, exactName},
        {"text ends at the first NUL byte",
         {QByteArray("\\hostname\\Ab\0cd\\queryid\\1.1\\final\\", 34)},
         QueryOutcome::Incomplete,
         1,
         1,
         L1("Ab")},
        {"unreadable packet count stops reception",
         {"\\hostname\\X\\queryid\\1.x\\final\\", "\\hostname\\Later\\queryid\\1.1\\final\\"},
         QueryOutcome::Incomplete,
         1,
         1,
         L1("X")},
        {"more datagrams than announced never complete",
         {"\\hostname\\Twice\\queryid\\1.1", "\\hostname\\Twice\\queryid\\1.1", "\\queryid\\1.2\\final\\"},
         QueryOutcome::Incomplete,
         3,
         3,
         L1("Twice")},
        {"packet count of zero never completes",
         {"\\hostname\\Zero\\queryid\\1.0\\final\\"},
         QueryOutcome::Incomplete,
         1,
         1,
         L1("Zero")},
        {"huge packet count does not wrap",
         {"\\hostname\\Wrap\\queryid\\1.257\\final\\"},
         QueryOutcome::Incomplete,
         1,
         1,
         L1("Wrap")},
    };
    for (const Case &c : cases) {
        FakeServers fakes;
        ServerBehaviour b;
        b.rawDatagrams = c.datagrams;
        auto *server = fakes.add(3, "unused", b);
        Exchange x;
        const ServerAddress a = FakeServers::addressOf(server);
        const ExchangeResult r = x.run(a, fastOptions(250));
        EXPECT_EQ(r.outcome, c.outcome) << c.name;
        EXPECT_EQ(r.received, c.received) << c.name;
        EXPECT_EQ(x.store.size(), c.storedLines) << c.name;
        EXPECT_EQ(DecodeServerInfo(x.store, a).hostname, c.hostname) << c.name;
    }
}

TEST(ExchangePool, FloodStopsCountingAt255AndEndsAtTheTimeOut)
{
    FakeServers fakes;
    ServerBehaviour b;
    // Each flood datagram claims to end an answer of 300 packets: with 8-bit counters that
    // wrap, the count would be reached at 44.
    b.floodCount = 2000;
    b.floodDatagram = "\\flood\\1\\queryid\\1.300\\final\\";
    auto *server = fakes.add(2, "Flood", b);
    Exchange x;
    QElapsedTimer clock;
    clock.start();
    const ExchangeResult r = x.run(FakeServers::addressOf(server), fastOptions(400));
    EXPECT_EQ(r.received, 255);
    EXPECT_EQ(r.outcome, QueryOutcome::Incomplete);
    EXPECT_EQ(x.store.size(), 255);
    EXPECT_GE(clock.elapsed(), 400);
}

TEST(ExchangePool, AnswersFromAnotherSenderAreNeitherStoredNorCounted)
{
    FakeServers fakes;
    ServerBehaviour b;
    b.replyFromAddress = QHostAddress(QStringLiteral("127.0.0.9"));
    auto *server = fakes.add(5, "Spoofed", b);
    Exchange x;
    const ExchangeResult r = x.run(FakeServers::addressOf(server), fastOptions(250));
    EXPECT_EQ(r.outcome, QueryOutcome::NoAnswer);
    EXPECT_EQ(x.store.size(), 0);
    EXPECT_GE(server->datagramsSent(), 1);
}

TEST(ExchangePool, SecondExchangeWithTheSameServerIsRefusedAndTheFirstIsIntact)
{
    FakeServers fakes;
    ServerBehaviour slow;
    slow.delayMs = 150;
    auto *first = fakes.add(2, "First", slow);
    Exchange x;
    std::optional<bool> refused;
    QObject::connect(&x.pool, &ExchangePool::logLine, &x.pool, [&](const QString &line) {
        if (line.startsWith(L1("Listen port")) && !refused)
            refused = !x.pool.start(FakeServers::addressOf(first), QByteArray("\\status\\"), fastOptions());
    });
    const ExchangeResult r = x.run(FakeServers::addressOf(first), fastOptions(3000));
    EXPECT_EQ(refused, std::optional<bool>(true));
    EXPECT_EQ(r.outcome, QueryOutcome::Complete);
    EXPECT_EQ(first->requestCount(), 1);
}

TEST(ExchangePool, AbortEndsOneExchangeUnreportedAndLeavesTheOthers)
{
    FakeServers fakes;
    ServerBehaviour dead;
    dead.dead = true;
    auto *silent = fakes.add(2, "Dead", dead);
    auto *answering = fakes.add(3, "Answering");
    Exchange x;
    const auto aborted = x.pool.start(FakeServers::addressOf(silent), QByteArray("\\status\\"), fastOptions(30000));
    ASSERT_TRUE(aborted);
    x.pool.abort(*aborted);
    EXPECT_FALSE(x.pool.isInFlight(FakeServers::addressOf(silent)));
    QElapsedTimer clock;
    clock.start();
    const ExchangeResult r = x.run(FakeServers::addressOf(answering), fastOptions(3000));
    EXPECT_EQ(r.outcome, QueryOutcome::Complete);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_FALSE(x.log.contains(L1("Server timeout!")));
}
