// SPDX-License-Identifier: GPL-3.0-or-later
// Game servers that misbehave on purpose, run against the refresh of a list and against the
// checker's path (one exchange without a row, then the script's evaluation): the refresh
// ends within its time-outs, memory stays bounded, nothing crashes and every row shows what
// its answer allows.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QRegularExpression>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include "orv/checker/preparedscript.h"
#include "orv/demo/fakegameserver.h"
#include "orv/engine/queryengine.h"
#include "orv/engine/serverlistmodel.h"
#include "orv/words/rowwords.h"
#include "tests/support/enginewait.h"

// Under AddressSanitizer, freed memory waits in a quarantine (256 MB by default) and would
// count as growth of the peak below; a small one keeps the peak near what the program holds.
#if defined(__SANITIZE_ADDRESS__)
#define ORV_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORV_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef ORV_ADDRESS_SANITIZER
extern "C" const char *__asan_default_options()
{
    return "quarantine_size_mb=8";
}
#endif

using namespace orv::engine;
using orv::demo::FakeGameServer;
using orv::demo::ServerBehaviour;
using orv::words::rowCaption;

namespace {

// Generous: the fake servers and their floods share the test's one thread, and a sanitizer
// build on a loaded machine answers much slower than a user's program.
constexpr int kTimeoutMs = 1000;
const QString kIncomplete = QStringLiteral("( Information not complete. )");

QString L1(const char *text)
{
    return QString::fromLatin1(text);
}

// Peak resident memory of this process so far, in kB.
qint64 peakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = status.readAll();
    const qsizetype at = text.indexOf("VmHWM:");
    if (at < 0)
        return -1;
    const qsizetype end = text.indexOf('\n', at);
    return text.mid(at + 6, end - at - 6).replace("kB", "").trimmed().toLongLong();
}

QByteArray pad(QByteArray datagram, int size)
{
    // Fills a "\pad\" value so the datagram is exactly size bytes long.
    datagram += "\\pad\\";
    if (datagram.size() < size)
        datagram += QByteArray(size - datagram.size(), 'p');
    return datagram;
}

struct Hostile
{
    const char *name;
    ServerBehaviour behaviour;
    // The caption the row must show: "@" is the server's address (the name of a server that
    // sent none); a trailing "*" means "the caption starts with this".
    const char *caption;
    int icon; // -1: any answered state
    // What the checker's exchange reports: as many datagrams arrived as were expected.
    bool complete;
    // Datagrams another address sends to the client's query port as each request arrives.
    int floodFromElsewhere = 0;
    // Nothing listens on the query port: the request meets an ICMP port-unreachable.
    bool closed = false;
};

QList<QByteArray> manyDatagrams(int count)
{
    QList<QByteArray> datagrams{"\\hostname\\Many"};
    for (int i = 1; i + 1 < count; ++i)
        datagrams.append("\\player_" + QByteArray::number(i) + "\\P" + QByteArray::number(i));
    datagrams.append("\\final\\\\queryid\\7." + QByteArray::number(count));
    return datagrams;
}

ServerBehaviour raw(QList<QByteArray> datagrams)
{
    ServerBehaviour b;
    b.rawDatagrams = std::move(datagrams);
    return b;
}

ServerBehaviour flood(int count, QByteArray datagram, QHostAddress from = {})
{
    ServerBehaviour b;
    b.floodCount = count;
    b.floodDatagram = std::move(datagram);
    b.replyFromAddress = std::move(from);
    return b;
}

ServerBehaviour otherPort()
{
    ServerBehaviour b;
    b.replyFromOtherPort = true;
    return b;
}

ServerBehaviour twice()
{
    ServerBehaviour b;
    b.repeatCount = 1;
    return b;
}

ServerBehaviour delayed(int ms)
{
    ServerBehaviour b;
    b.delayMs = ms;
    return b;
}

// Hosts 127.0.0.40 and up, one per server, so no other suite's servers share them.
std::vector<Hostile> hostileServers()
{
    // Without a final datagram an answer counts as complete once 40 datagrams are in, so a
    // flood ends the exchange early with the server's address as its name; a packet number
    // below the count received ends it at the time-out, without the "not complete" mark.
    return {
        {"control", {}, "Hostile control", -1, true},
        {"flood from the target", flood(100, "\\flood\\1"), "@", -1, true},
        {"flood of 2000 from the target", flood(2000, QByteArray(900, 'f')), "@", -1, true},
        {"flood from another address",
         flood(2000, "\\hostname\\Impostor\\final\\\\queryid\\1.1", QHostAddress(QStringLiteral("127.0.0.39"))),
         "Server is dead.", 4, false},
        {"answer amid a flood from another address", delayed(80), "Hostile answer amid a flood from another address",
         -1, true, 100},
        {"datagram of 1024 bytes", raw({pad("\\hostname\\Big\\final\\\\queryid\\1.1", 1024)}), "Big", -1, true},
        {"datagram of 65507 bytes", raw({pad("\\hostname\\Huge\\final\\\\queryid\\1.1", 65507)}), "Server is dead.", 4,
         false},
        {"300 datagrams in one answer", raw(manyDatagrams(300)), "Many", -1, true},
        {"final in every datagram",
         raw({"\\hostname\\Every\\final\\\\queryid\\2.1", "\\mapname\\DM-A\\final\\\\queryid\\2.2",
              "\\numplayers\\3\\final\\\\queryid\\2.3"}),
         "Every", -1, true},
        {"no final ever", raw({"\\hostname\\NoFinal\\queryid\\3.1", "\\mapname\\DM-B\\queryid\\3.2"}),
         "NoFinal( Information not complete. )", -1, false},
        {"queryid 1.", raw({"\\hostname\\QidDot\\final\\\\queryid\\1."}), "QidDot( Information not complete. )", -1,
         false},
        {"queryid .", raw({"\\hostname\\QidOnlyDot\\final\\\\queryid\\."}), "QidOnlyDot( Information not complete. )",
         -1, false},
        {"queryid 9999999999.1", raw({"\\hostname\\QidLong\\final\\\\queryid\\9999999999.1"}), "QidLong", -1, true},
        {"queryid 1.-5", raw({"\\hostname\\QidNegative\\final\\\\queryid\\1.-5"}), "QidNegative", -1, false},
        {"key and value of 10000 bytes",
         raw({"\\" + QByteArray(10000, 'k') + "\\" + QByteArray(10000, 'v') + "\\final\\\\queryid\\1.1"}),
         "Server is dead.", 4, false},
        {"value of 1000 bytes", raw({"\\hostname\\" + QByteArray(990, 'v') + "\\final\\\\queryid\\1.1"}), "vvvvvvvvvv*",
         -1, true},
        {"NUL cuts the datagram", raw({QByteArray("\\hostname\\Cut\\mapname\\DM\0\\final\\\\queryid\\1.1", 42)}),
         "Cut( Information not complete. )", -1, false},
        {"0xFF bytes",
         raw({"\\hostname\\A\xff"
              "B\\final\\\\queryid\\1.1"}),
         "A\xff"
         "B",
         -1, true},
        {"answer from another port", otherPort(), "Hostile answer from another port", -1, true},
        {"every datagram twice", twice(), "Hostile every datagram twice", -1, true},
        {"closed port", {}, "Server is dead.", 4, false, 0, true},
    };
}

struct Fleet
{
    std::vector<std::unique_ptr<FakeGameServer>> servers;
    std::vector<Hostile> kinds = hostileServers();
    // Sends from 127.0.0.39: datagrams that look like a whole answer, to the port the
    // client queries from. Everything
    // here runs on one thread, so the flood lands at once; it is kept within what the
    // system queues for one socket, and the real answer follows it a little later.
    QUdpSocket impostor;
    int impostorSent = 0;

    Fleet()
    {
        EXPECT_TRUE(impostor.bind(QHostAddress(QStringLiteral("127.0.0.39")), 0));
        for (std::size_t i = 0; i < kinds.size(); ++i) {
            auto server = std::make_unique<FakeGameServer>();
            server->setBehaviour(kinds[i].behaviour);
            orv::demo::ServerDescription d;
            d.hostName = QByteArray("Hostile ") + kinds[i].name;
            server->setDescription(d);
            const QHostAddress address(QStringLiteral("127.0.0.%1").arg(40 + i));
            bool listening = false;
            for (int attempt = 0; attempt < 20 && !listening; ++attempt)
                listening = server->listen(address, 0);
            EXPECT_TRUE(listening) << kinds[i].name;
            d.hostPort = server->queryPort() - 1;
            server->setDescription(d);
            if (kinds[i].closed)
                server->close(); // its address and port stay known
            if (const int count = kinds[i].floodFromElsewhere; count > 0) {
                const FakeGameServer *target = server.get();
                QObject::connect(server.get(), &FakeGameServer::requestReceived, &impostor, [this, count, target] {
                    const quint16 port = target->lastPeerPort();
                    for (int n = 0; n < count; ++n) {
                        if (impostor.writeDatagram("\\hostname\\Impostor\\final\\\\queryid\\1.1",
                                                   QHostAddress(QHostAddress::LocalHost), port) > 0)
                            ++impostorSent;
                    }
                });
            }
            servers.push_back(std::move(server));
        }
    }
    ServerAddress addressOf(std::size_t i) const
    {
        const FakeGameServer &s = *servers[i];
        return testsupport::fakeServerAddress(s.address(), s.queryPort());
    }
};

void configure(QueryEngine &engine, int queriesAtOnce = 1)
{
    EngineOptions o;
    o.queriesAtOnce = queriesAtOnce;
    o.internetServTimeOut = kTimeoutMs;
    o.serverTry = 1;
    o.allowNotfull = true;
    engine.setOptions(o);
    engine.setPinger([](const QString &) { return quint16(40); });
    engine.setFavoritesFile(L1("/nonexistent/favorites.lst"));
}

// One server at a time and 64 in flight: every row shows what its server's answer alone
// allows, whatever the others send meanwhile.
TEST(HostileServers, RefreshEndsInTimeWithBoundedMemoryAndTrueRows)
{
    Fleet fleet;
    const qint64 before = peakRssKb();
    ASSERT_GT(before, 0);

    // Several rounds: memory that grows with every refresh would show as a rising peak.
    for (int round = 0; round < 6; ++round) {
        QueryEngine engine;
        configure(engine, round % 2 ? 64 : 1);
        AddressList list;
        for (std::size_t i = 0; i < fleet.kinds.size(); ++i)
            list.append(fleet.addressOf(i).toLine());
        engine.setAddresses(ServerPage::Internet, list);
        QElapsedTimer clock;
        clock.start();
        engine.RebuildList(ServerPage::Internet); // refreshes: "Always servers refresh list" is on
        EXPECT_TRUE(testsupport::waitForRefresh(engine));
        const qint64 elapsed = clock.elapsed();
        EXPECT_FALSE(engine.isRefreshActive());
        // Every server costs at most one time-out; the rest is slack for a loaded machine.
        EXPECT_LT(elapsed, qint64(fleet.kinds.size()) * kTimeoutMs + 8000) << "round " << round;

        const ServerListModel &view = engine.view(ServerPage::Internet);
        ASSERT_EQ(view.size(), qsizetype(fleet.kinds.size()));
        for (std::size_t i = 0; i < fleet.kinds.size(); ++i) {
            const Hostile &kind = fleet.kinds[i];
            const ServerAddress a = fleet.addressOf(i);
            const auto row = view.FindRow(a);
            ASSERT_TRUE(row.has_value()) << kind.name;
            const ServerEntry &entry = view.row(*row);
            const QString expected = kind.caption == std::string_view("@") ? a.addressText() : L1(kind.caption);
            if (expected.endsWith(u'*') && !expected.startsWith(u'*'))
                EXPECT_TRUE(rowCaption(entry).startsWith(expected.chopped(1)))
                    << kind.name << ": " << qPrintable(rowCaption(entry));
            else if (expected.startsWith(u'*'))
                EXPECT_TRUE(rowCaption(entry).endsWith(expected.mid(1)))
                    << kind.name << ": " << qPrintable(rowCaption(entry));
            else
                EXPECT_EQ(rowCaption(entry), expected) << kind.name;
            if (kind.icon >= 0)
                EXPECT_EQ(entry.icon, kind.icon) << kind.name;
            else
                EXPECT_TRUE(entry.isAnswered()) << kind.name << " icon " << entry.icon;
        }
    }
    EXPECT_GT(fleet.impostorSent, 0);
    const qint64 after = peakRssKb();
    // Generous: the whole answer of every server is a few hundred kB at most.
    EXPECT_LT(after - before, 64 * 1024) << "peak RSS grew from " << before << " kB to " << after << " kB";
    RecordProperty("peak_rss_before_kb", static_cast<int>(before));
    RecordProperty("peak_rss_after_kb", static_cast<int>(after));
}

TEST(HostileServers, CheckerPathDecodesAndEvaluatesEveryAnswer)
{
    Fleet fleet;
    QueryEngine engine;
    configure(engine);
    // A script that reads several fields, numbers among them.
    const QStringList script{L1("-,NumPlayers,>,-1"), L1("and"), L1("-,HostName,<>,nobody"), L1("or"),
                             L1("-,Maxplayers,<,100000")};
    const qint64 before = peakRssKb();
    for (std::size_t i = 0; i < fleet.kinds.size(); ++i) {
        const Hostile &kind = fleet.kinds[i];
        const ServerAddress a = fleet.addressOf(i);
        QElapsedTimer clock;
        clock.start();
        const auto queried = testsupport::queryAndWait(engine, a);
        EXPECT_LT(clock.elapsed(), kTimeoutMs + 3000) << kind.name;
        ASSERT_TRUE(queried.hasValue()) << kind.name;
        const ServerInfo &info = queried->info;
        EXPECT_EQ(queried->complete, kind.complete) << kind.name;
        const QString caption = L1(kind.caption);
        if (caption == u"@")
            EXPECT_EQ(info.hostname, a.addressText()) << kind.name;
        else if (caption == u"Server is dead.")
            EXPECT_EQ(info.hostname, a.addressText()) << kind.name; // nothing arrived: the defaults
        else if (caption.endsWith(u'*'))
            EXPECT_TRUE(info.hostname.startsWith(caption.chopped(1))) << kind.name;
        else
            EXPECT_EQ(info.hostname + (caption.endsWith(kIncomplete) ? kIncomplete : QString()), caption) << kind.name;

        orv::checker::EvaluationContext context;
        context.address = a.addressText();
        context.time = QTime(20, 0);
        context.locale = QLocale::c();
        const auto evaluation = orv::checker::checkServer(script, info, context);
        ASSERT_TRUE(evaluation.hasValue()) << kind.name;
        EXPECT_EQ(evaluation.value().expressionMarks.size(), 3) << kind.name;
    }
    const qint64 after = peakRssKb();
    EXPECT_LT(after - before, 64 * 1024) << "peak RSS grew from " << before << " kB to " << after << " kB";
}

} // namespace

namespace {

// More datagrams from another address than one read turn handles (128 a turn), then the
// target's own answer well after them: the engine must still be listening for it.
TEST(HostileServers, AnswerAfterALongFloodFromAnotherAddressArrives)
{
    FakeGameServer server;
    ServerBehaviour b;
    b.delayMs = 200;
    server.setBehaviour(b);
    orv::demo::ServerDescription d;
    d.hostName = "Patient";
    server.setDescription(d);
    ASSERT_TRUE(server.listen(QHostAddress(QStringLiteral("127.0.0.38")), 0));
    QUdpSocket impostor;
    ASSERT_TRUE(impostor.bind(QHostAddress(QStringLiteral("127.0.0.37")), 0));
    const quint16 port = server.queryPort();
    QObject::connect(&server, &FakeGameServer::requestReceived, &impostor, [&impostor, port] {
        for (int n = 0; n < 300; ++n)
            impostor.writeDatagram("\\hostname\\Impostor\\final\\\\queryid\\1.1", QHostAddress(QHostAddress::LocalHost),
                                   port);
    });
    QueryEngine engine;
    configure(engine);
    const auto queried = testsupport::queryAndWait(
        engine, testsupport::fakeServerAddress(QHostAddress(QStringLiteral("127.0.0.38")), port));
    ASSERT_TRUE(queried.hasValue());
    EXPECT_TRUE(queried->complete);
    EXPECT_EQ(queried->info.hostname, L1("Patient"));
}

} // namespace
