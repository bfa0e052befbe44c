// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/queryengine.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "fakeservers.h"
#include "orv/words/rowwords.h"
#include "tests/support/enginewait.h"

using namespace orv::engine;
using orv::demo::FakeGameServer;
using orv::demo::ServerBehaviour;

namespace {

QString L1(const char *text)
{
    return QString::fromLatin1(text);
}

// An engine with fast options, a fixed fake ping and no favorites file, plus a record of
// what it reported.
struct Engine
{
    QueryEngine engine;
    EngineOptions opts;
    QStringList log;
    QStringList panel0;
    QList<bool> running;

    explicit Engine(quint16 pingValue = 120)
    {
        opts.internetServTimeOut = 300;
        engine.setOptions(opts);
        engine.setPinger([pingValue](const QString &) { return pingValue; });
        engine.setFavoritesFile(L1("/nonexistent/favorites.lst"));
        QObject::connect(&engine, &QueryEngine::logLine, &engine, [this](const QString &l) { log.append(l); });
        QObject::connect(&engine, &QueryEngine::statusChanged, &engine, [this](const EngineStatus &s) {
            if (s.kind == EngineStatus::Kind::Listed)
                panel0.append(L1("listed ") + QString::number(s.total));
            else if (s.kind == EngineStatus::Kind::Progress)
                panel0.append(QString::number(s.position) + L1(" of ") + QString::number(s.total));
        });
        QObject::connect(&engine, &QueryEngine::refreshRunningChanged, &engine, [this](bool r) { running.append(r); });
    }
    // Changes the options and sets them on the engine, as the options window does.
    void setOptions(const std::function<void(EngineOptions &)> &change)
    {
        change(opts);
        engine.setOptions(opts);
    }
    // Rebuilds the page (refreshing it, as the options say) and waits for the run to end.
    void rebuild(ServerPage page)
    {
        engine.RebuildList(page);
        EXPECT_TRUE(testsupport::waitForRefresh(engine));
    }
    const AddressList &internet() { return engine.addresses(ServerPage::Internet); }
    const ServerListModel &view() { return engine.view(ServerPage::Internet); }
    void appendLine(const QString &line)
    {
        AddressList lines = internet();
        lines.append(line);
        engine.setAddresses(ServerPage::Internet, lines);
    }
    const ServerEntry &rowOf(const FakeGameServer *server, quint16 gamePort = 0)
    {
        ServerAddress a = FakeServers::addressOf(server);
        if (gamePort != 0)
            a.gamePort = gamePort;
        const auto row = view().FindRow(a);
        EXPECT_TRUE(row.has_value());
        static const ServerEntry none;
        return row ? view().row(*row) : none;
    }
    // Calls the action once, the first time a query starts listening.
    void onFirstListen(std::function<void()> action)
    {
        auto done = std::make_shared<bool>(false);
        QObject::connect(&engine, &QueryEngine::logLine, &engine, [done, action](const QString &l) {
            if (!*done && l.startsWith(L1("Listen port"))) {
                *done = true;
                action();
            }
        });
    }
};

void addLines(QueryEngine &engine, ServerPage page, std::initializer_list<const FakeGameServer *> servers)
{
    AddressList lines = engine.addresses(page);
    for (const FakeGameServer *s : servers)
        lines.append(FakeServers::addressOf(s).toLine());
    engine.setAddresses(page, lines);
}

// The row's first column as the lists show it.
QString shownCaption(const ServerEntry &row)
{
    return orv::words::rowCaption(row);
}

bool isRebuildRow(const ServerEntry &row)
{
    return row.state == RowState::Listed && row.caption == row.column(kColumnAddress) && row.column(1) == L1("9999") &&
           row.icon == 3 && row.column(2) == L1("N/A");
}

} // namespace

TEST(RefreshList, ThreeServersOneDeadWithFavoritesAndReportedPort)
{
    FakeServers fakes;
    ServerBehaviour dead;
    dead.dead = true;
    auto *first = fakes.add(2, "First Server", {}, 7000);
    auto *silent = fakes.add(3, "never", dead);
    auto *third = fakes.add(4, "Third Server");
    Engine e(120);
    addLines(e.engine, ServerPage::Favorites, {silent, third});
    addLines(e.engine, ServerPage::Internet, {third, silent, first});

    e.rebuild(ServerPage::Internet);

    ASSERT_EQ(e.view().size(), 3);
    // The view is sorted by ping text at the end: the dead row's "9999" goes last.
    EXPECT_EQ(e.view().row(2).column(kColumnAddress), L1("127.0.0.3"));
    const ServerEntry &r1 = e.rowOf(first, 7000);
    EXPECT_EQ(shownCaption(r1), L1("First Server"));
    EXPECT_EQ(r1.icon, 0);
    EXPECT_EQ(r1.column(1), L1("120"));
    EXPECT_EQ(r1.column(3), L1("2 / 16"));
    EXPECT_EQ(r1.column(24), L1("7000"));
    // Its answers follow the row to the reported port, so showing its players finds them.
    EXPECT_EQ(e.engine.DecodeServerInfo(*r1.address).hostname, L1("First Server"));
    const ServerEntry &r2 = e.rowOf(silent);
    EXPECT_EQ(shownCaption(r2), L1("Server is dead."));
    EXPECT_EQ(r2.icon, 9);               // dead favorite
    EXPECT_EQ(r2.column(1), L1("9999")); // a dead row keeps its other values
    const ServerEntry &r3 = e.rowOf(third);
    EXPECT_EQ(shownCaption(r3), L1("Third Server"));
    EXPECT_EQ(r3.icon, 5); // answering favorite, ping 120
    EXPECT_EQ(e.panel0.last(), L1("3 of 3"));
    EXPECT_EQ(e.panel0.first(), L1("listed 3"));
    EXPECT_TRUE(e.running.first());
    EXPECT_FALSE(e.running.last());
    EXPECT_FALSE(e.engine.isRefreshActive());

    // The reported game port goes back into the list; the dead server keeps its own.
    const ServerAddress a1 = FakeServers::addressOf(first);
    EXPECT_EQ(e.internet().lines().at(0), a1.withGamePort(7000).toLine());
    EXPECT_EQ(e.internet().lines().at(1), FakeServers::addressOf(silent).toLine());
    EXPECT_TRUE(e.log.contains(L1("Host:127.0.0.2 Ping=120")));
}

// Lines that name no server (a host name, a missing port) are listed and dead when reached,
// unasked and without waiting a time-out; a server reporting a game port that is no port
// keeps the one it was asked on, in its row and in its line.
TEST(RefreshList, LinesNamingNoServerAndReportedPortsThatAreNoPorts)
{
    FakeServers fakes;
    ServerBehaviour odd;
    odd.rawDatagrams = {"\\hostname\\Odd Port\\hostport\\77x77\\final\\\\queryid\\1.1"};
    auto *oddPort = fakes.add(2, "unused", odd);
    Engine e(120);
    e.setOptions([](EngineOptions &o) { o.internetServTimeOut = 5000; });
    addLines(e.engine, ServerPage::Internet, {oddPort});
    e.appendLine(L1("host.example 7777 7778"));
    e.appendLine(L1("10.0.0.5"));
    e.rebuild(ServerPage::Internet);

    const ServerListModel &view = e.view();
    ASSERT_EQ(view.size(), 3);
    for (const char *line : {"host.example 7777 7778", "10.0.0.5"}) {
        const auto row = view.FindUnaddressedRow(AddressList::parseLine(L1(line)));
        ASSERT_TRUE(row) << line;
        EXPECT_EQ(shownCaption(view.row(*row)), L1("Server is dead.")) << line;
        EXPECT_EQ(view.row(*row).icon, 4) << line;
    }
    EXPECT_TRUE(e.log.contains(L1("Send request to :host.example GPort:7777 IPort:7778 Try:1")));
    EXPECT_TRUE(e.log.contains(L1("Send request to :10.0.0.5 GPort: IPort: Try:1")));
    EXPECT_EQ(e.log.count(L1("Error when UDP send data")), 2);
    EXPECT_FALSE(e.log.contains(L1("Server timeout!"))); // nothing was waited for
    EXPECT_EQ(e.panel0.last(), L1("3 of 3"));

    const ServerEntry &answered = e.rowOf(oddPort);
    EXPECT_EQ(shownCaption(answered), L1("Odd Port"));
    EXPECT_EQ(answered.column(kColumnGamePort), FakeServers::addressOf(oddPort).gamePortText());
    EXPECT_TRUE(e.internet().lines().contains(FakeServers::addressOf(oddPort).toLine()));

    // Refresh Current on such a row: dead at once, and the run is over.
    const int hostRow = *view.FindUnaddressedRow(AddressList::parseLine(L1("host.example 7777 7778")));
    e.log.clear();
    e.engine.RefreshSelected(hostRow);
    EXPECT_FALSE(e.engine.isRefreshActive());
    EXPECT_EQ(e.log, (QStringList{L1("Send request to :host.example GPort:7777 IPort:7778 Try:1"),
                                  L1("Error when UDP send data")}));
}

TEST(RefreshList, PingOffIncompleteAndRebuildOnlyTable)
{
    FakeServers fakes;
    ServerBehaviour half;
    half.rawDatagrams = {"\\hostname\\Half\\numplayers\\1\\queryid\\4.1"};
    auto *full = fakes.add(2, "Full");
    auto *partial = fakes.add(3, "unused", half);

    {
        Engine e(120);
        e.setOptions([&](EngineOptions &o) { o.usePing = false; });
        addLines(e.engine, ServerPage::Internet, {full, partial});
        e.rebuild(ServerPage::Internet);
        EXPECT_EQ(e.rowOf(full).column(1), L1("0"));
        EXPECT_EQ(e.rowOf(full).icon, 0);
        EXPECT_TRUE(e.log.contains(L1("Host:127.0.0.2 Ping=9999")));
        EXPECT_EQ(shownCaption(e.rowOf(partial)), L1("Half( Information not complete. )"));
    }
    {
        Engine e(700);
        e.setOptions([&](EngineOptions &o) { o.allowNotfull = false; });
        e.setOptions([&](EngineOptions &o) { o.serverTry = 2; });
        addLines(e.engine, ServerPage::Internet, {full, partial});
        e.rebuild(ServerPage::Internet);
        EXPECT_EQ(e.rowOf(full).icon, 3); // ping 700 is class none
        EXPECT_EQ(shownCaption(e.rowOf(partial)), L1("Server is dead."));
        EXPECT_EQ(e.rowOf(partial).icon, 4);
    }
    {
        const int before = full->requestCount();
        Engine e;
        e.setOptions([&](EngineOptions &o) { o.alwaysRefresh = false; });
        addLines(e.engine, ServerPage::Internet, {full, partial});
        e.appendLine(QString());
        e.appendLine(L1(" 10.0.0.1 1 2"));
        e.rebuild(ServerPage::Internet);
        EXPECT_EQ(full->requestCount(), before);
        ASSERT_EQ(e.view().size(), 2);
        EXPECT_TRUE(isRebuildRow(e.view().row(0)));
        EXPECT_EQ(e.panel0.last(), L1("listed 4"));
        EXPECT_EQ(e.internet().size(), 2); // skipped lines are dropped, spacing normalised
    }
}

TEST(RefreshList, EmptyListLeavesTheViewAsItWas)
{
    FakeServers fakes;
    auto *server = fakes.add(2, "Kept");
    Engine e;
    addLines(e.engine, ServerPage::Internet, {server});
    e.rebuild(ServerPage::Internet);
    ASSERT_EQ(e.view().size(), 1);
    e.engine.setAddresses(ServerPage::Internet, {});
    e.rebuild(ServerPage::Internet);
    ASSERT_EQ(e.view().size(), 1);
    EXPECT_EQ(shownCaption(e.view().row(0)), L1("Kept"));
}

TEST(RefreshList, RefreshPressedDuringARefreshStopsItAtOnce)
{
    FakeServers fakes;
    auto *a = fakes.add(2, "A");
    auto *b = fakes.add(3, "B");
    auto *c = fakes.add(4, "C");
    Engine e;
    addLines(e.engine, ServerPage::Internet, {a, b, c});
    e.onFirstListen([&e] {
        e.engine.refreshAction();
        EXPECT_FALSE(e.engine.isRefreshActive());
    });
    e.rebuild(ServerPage::Internet);

    EXPECT_TRUE(isRebuildRow(e.rowOf(a))); // the exchange in progress was dropped
    EXPECT_TRUE(isRebuildRow(e.rowOf(b)));
    EXPECT_TRUE(isRebuildRow(e.rowOf(c)));
    EXPECT_EQ(b->requestCount(), 0);
    EXPECT_EQ(c->requestCount(), 0);
    EXPECT_FALSE(e.running.last());
    EXPECT_FALSE(e.engine.isRefreshActive());
}

TEST(RefreshList, RefreshCurrentDuringARefreshEndsTheRefreshAndRunsAtOnce)
{
    FakeServers fakes;
    auto *a = fakes.add(2, "A");
    auto *b = fakes.add(3, "B");
    auto *c = fakes.add(4, "C");
    Engine e;
    addLines(e.engine, ServerPage::Internet, {a, b, c});
    QList<ServerAddress> shown;
    QObject::connect(&e.engine, &QueryEngine::selectedServerRefreshed, &e.engine,
                     [&shown](const ServerAddress &s) { shown.append(s); });
    e.onFirstListen([&e] { e.engine.RefreshSelected(2); });
    e.rebuild(ServerPage::Internet);

    EXPECT_TRUE(isRebuildRow(e.rowOf(a)));
    EXPECT_EQ(shownCaption(e.rowOf(c)), L1("C"));
    EXPECT_EQ(c->requestCount(), 1);
    EXPECT_EQ(b->requestCount(), 0);
    EXPECT_TRUE(isRebuildRow(e.rowOf(b)));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first(), FakeServers::addressOf(c));
    EXPECT_FALSE(e.engine.isRefreshActive());
}

TEST(RefreshList, RefreshSelectedReplacesOnlyThatServersReplies)
{
    FakeServers fakes;
    auto *a = fakes.add(2, "A");
    auto *b = fakes.add(3, "B");
    Engine e;
    addLines(e.engine, ServerPage::Internet, {a, b});
    e.rebuild(ServerPage::Internet);
    const ReplyStore &store = e.engine.replies(ServerPage::Internet);
    const qsizetype before = store.size();
    a->mutableDescription().hostName = "A renamed";
    e.engine.RefreshSelected(0);
    ASSERT_TRUE(testsupport::waitForRefresh(e.engine));
    EXPECT_EQ(store.size(), before); // old lines of A removed, new ones added
    EXPECT_EQ(shownCaption(e.rowOf(a)), L1("A renamed"));
    const ServerAddress sa = FakeServers::addressOf(a);
    EXPECT_EQ(e.engine.DecodeServerInfo(sa).hostname, L1("A renamed"));
    EXPECT_FALSE(e.engine.isRefreshActive());
}

TEST(RefreshList, PageOpenedDuringARefreshStopsItAndIsRefreshed)
{
    FakeServers fakes;
    auto *a = fakes.add(2, "A");
    auto *b = fakes.add(3, "B");
    auto *c = fakes.add(4, "Favorite C");
    Engine e;
    addLines(e.engine, ServerPage::Internet, {a, b});
    addLines(e.engine, ServerPage::Favorites, {c});
    e.onFirstListen([&e] {
        e.engine.setCurrentPage(ServerPage::Favorites);
        e.rebuild(ServerPage::Favorites);
    });
    e.rebuild(ServerPage::Internet);

    EXPECT_TRUE(isRebuildRow(e.rowOf(a)));
    EXPECT_EQ(b->requestCount(), 0); // the Internet refresh stopped with the page change
    const ServerListModel &favorites = e.engine.view(ServerPage::Favorites);
    ASSERT_EQ(favorites.size(), 1);
    EXPECT_EQ(shownCaption(favorites.row(0)), L1("Favorite C"));
    EXPECT_EQ(favorites.row(0).icon, 5);
    EXPECT_EQ(c->requestCount(), 1);
    EXPECT_FALSE(e.engine.isRefreshActive());
    EXPECT_FALSE(e.running.last());
}

TEST(RefreshList, CloseDuringARefreshStopsItAtOnce)
{
    FakeServers fakes;
    auto *a = fakes.add(2, "A");
    auto *b = fakes.add(3, "B");
    Engine e;
    addLines(e.engine, ServerPage::Internet, {a, b});
    e.onFirstListen([&e] {
        e.engine.requestClose();
        EXPECT_FALSE(e.engine.isRefreshActive());
    });
    e.rebuild(ServerPage::Internet);
    EXPECT_TRUE(e.engine.isExitPending());
    EXPECT_EQ(b->requestCount(), 0);
    EXPECT_FALSE(e.running.last());
}

TEST(QueryServer, WithoutRowUpdateDecodesPingsAndReportsCompleteness)
{
    FakeServers fakes;
    auto *server = fakes.add(2, "Checked", {}, 7100);
    Engine e(55);
    e.setOptions([&](EngineOptions &o) { o.usePing = false; }); // measured anyway without a row
    const ServerAddress a = FakeServers::addressOf(server);
    auto queried = testsupport::queryAndWait(e.engine, a);
    ASSERT_TRUE(queried);
    EXPECT_EQ(queried->reportedPort, 7100);
    EXPECT_EQ(queried->server, a);
    EXPECT_TRUE(queried->complete);
    EXPECT_EQ(queried->exchange.outcome, QueryOutcome::Complete);
    EXPECT_EQ(queried->info.hostname, L1("Checked"));
    EXPECT_EQ(queried->info.ping, 55);
    EXPECT_EQ(queried->info.players[1].name, L1("Bravo"));

    // Asked again and again (as the server checker does), the store keeps one answer.
    const ReplyStore &store = e.engine.replies(ServerPage::Internet);
    const qsizetype oneAnswer = store.size();
    ASSERT_GT(oneAnswer, 0);
    for (int i = 0; i < 3; ++i)
        (void)testsupport::queryAndWait(e.engine, a);
    EXPECT_EQ(store.size(), oneAnswer);

    // Asked while the same query of the same server is in flight, the second is refused.
    std::optional<bool> first;
    std::optional<bool> second;
    e.engine.QueryServer(a, QByteArray("\\status\\"), &e.engine, [&](const auto &r) { first = r.hasValue(); });
    e.engine.QueryServer(a, QByteArray("\\status\\"), &e.engine, [&](const auto &r) { second = r.hasValue(); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return first && second; }, 5000));
    EXPECT_EQ(first, std::optional<bool>(true));
    EXPECT_EQ(second, std::optional<bool>(false));
}

// Where no echo can be sent, an answering server's ping is the round trip of its query,
// which is shorter than the time-out: the row counts as answered (the launch commands need
// that) instead of unreachable. A server that never answers has no round trip.
TEST(QueryServer, WithoutAnEchoThePingIsTheQueryRoundTrip)
{
    FakeServers fakes;
    auto *server = fakes.add(2, "No Echo");
    ServerBehaviour dead;
    dead.dead = true;
    auto *silent = fakes.add(3, "never", dead);
    Engine e;
    e.engine.setPinger([](const QString &) { return std::optional<quint16>(); });

    addLines(e.engine, ServerPage::Internet, {server});
    e.rebuild(ServerPage::Internet);
    const ServerEntry &row = e.rowOf(server);
    EXPECT_TRUE(row.isAnswered());
    EXPECT_LT(row.column(1).toInt(), 300);
    EXPECT_TRUE(e.log.contains(L1("Host:127.0.0.2 Ping=") + row.column(1)));

    const auto queried = testsupport::queryAndWait(e.engine, FakeServers::addressOf(server));
    ASSERT_TRUE(queried);
    ASSERT_TRUE(queried->exchange.roundTripMs.has_value());
    EXPECT_EQ(queried->info.ping, *queried->exchange.roundTripMs);
    EXPECT_LT(queried->info.ping, 300);
    const auto unanswered = testsupport::queryAndWait(e.engine, FakeServers::addressOf(silent));
    ASSERT_TRUE(unanswered);
    EXPECT_EQ(unanswered->info.ping, kNoPing);
}

TEST(QueryServer, ReplacerAppliesOutsideTheCheckerAndInsideOnlyWhenAsked)
{
    FakeServers fakes;
    auto *server = fakes.add(2, "Deck");
    Engine e;
    e.engine.setValueReplacer([](const QString &v) { return v == L1("DM-Deck16][") ? L1("Deck") : v; });
    const ServerAddress a = FakeServers::addressOf(server);
    const auto mapAfterQuery = [&] {
        const auto queried = testsupport::queryAndWait(e.engine, a);
        return queried ? queried->info.mapname : QString();
    };
    EXPECT_EQ(mapAfterQuery(), L1("Deck"));
    e.engine.setCheckerRunning(true, false);
    EXPECT_EQ(mapAfterQuery(), L1("DM-Deck16]["));
    e.engine.setCheckerRunning(true, true);
    EXPECT_EQ(mapAfterQuery(), L1("Deck"));
}

namespace {

std::vector<std::pair<QString, int>> rowsOf(const ServerListModel &view)
{
    std::vector<std::pair<QString, int>> rows;
    for (const ServerEntry &row : view.rows()) {
        QString text = shownCaption(row);
        for (int column = 1; column <= kColumnQueryPort; ++column)
            text += u'|' + row.column(column);
        rows.emplace_back(text, row.icon);
    }
    return rows;
}

} // namespace

// Complete, dead, incomplete, slow, reversed and favorite servers, and one reporting another
// game port: eight in flight give every row, line and count what one at a time gives.
TEST(RefreshList, ManyInFlightEndWithWhatOneAtATimeGives)
{
    FakeServers fakes;
    std::vector<const FakeGameServer *> servers;
    for (int i = 0; i < 12; ++i) {
        ServerBehaviour b;
        b.dead = i % 5 == 1;
        b.delayMs = (i * 37) % 120;
        b.reversed = i % 3 == 0;
        if (i % 4 == 2)
            b.rawDatagrams = {"\\hostname\\Half " + QByteArray::number(i) + "\\queryid\\4.1"};
        servers.push_back(fakes.add(20 + i, "Server " + QByteArray::number(i), b, i == 7 ? 7000 : 0));
    }
    std::vector<std::vector<std::pair<QString, int>>> views;
    std::vector<QStringList> lines;
    for (const int atOnce : {1, 8}) {
        Engine e(120);
        e.setOptions([&](EngineOptions &o) { o.queriesAtOnce = atOnce; });
        addLines(e.engine, ServerPage::Favorites, {servers[1], servers[4]});
        for (const FakeGameServer *s : servers)
            addLines(e.engine, ServerPage::Internet, {s});
        e.rebuild(ServerPage::Internet);
        views.push_back(rowsOf(e.view()));
        lines.push_back(e.internet().lines());
        EXPECT_EQ(e.panel0.last(), L1("12 of 12")) << atOnce;
        EXPECT_FALSE(e.engine.isRefreshActive());
        EXPECT_FALSE(e.running.last());
    }
    EXPECT_EQ(views[1], views[0]);
    EXPECT_EQ(lines[1], lines[0]);
    EXPECT_TRUE(lines[0].join(u'\n').contains(L1(" 7000 ")));
}

// Pressing Refresh while many servers are in flight ends them all at once: no row keeps
// "Processing..", and no answer that comes later changes a row.
TEST(RefreshList, StopWithManyInFlightEndsThemAllAtOnce)
{
    FakeServers fakes;
    ServerBehaviour slow;
    slow.delayMs = 150;
    Engine e;
    e.setOptions([&](EngineOptions &o) { o.queriesAtOnce = 4; });
    std::vector<const FakeGameServer *> servers;
    for (int i = 0; i < 6; ++i) {
        servers.push_back(fakes.add(40 + i, "Slow", slow));
        addLines(e.engine, ServerPage::Internet, {servers.back()});
    }
    int listens = 0;
    QObject::connect(&e.engine, &QueryEngine::logLine, &e.engine, [&](const QString &l) {
        if (l.startsWith(L1("Listen port")) && ++listens == 4)
            QTimer::singleShot(20, &e.engine, [&e] { e.engine.refreshAction(); });
    });
    e.rebuild(ServerPage::Internet);
    ASSERT_EQ(e.view().size(), 6);
    for (const ServerEntry &row : e.view().rows())
        EXPECT_TRUE(isRebuildRow(row)) << qPrintable(row.caption);
    int asked = 0;
    for (const FakeGameServer *s : servers)
        asked += s->requestCount();
    EXPECT_EQ(asked, 4);
    EXPECT_FALSE(e.engine.isRefreshActive());
    QTest::qWait(300); // the answers arrive after the stop
    for (const ServerEntry &row : e.view().rows())
        EXPECT_TRUE(isRebuildRow(row)) << qPrintable(row.caption);
}

// One at a time goes through the same exchanges as several in flight and keeps the order of
// asking in turn: the status names each server before it is asked, a server's lines end
// (its ping line or its time-out) before the next one's request, and only the row being
// asked says "Processing..".
TEST(RefreshList, OneAtATimeAsksInTurnWithItsLinesInOrder)
{
    FakeServers fakes;
    ServerBehaviour dead;
    dead.dead = true;
    auto *a = fakes.add(2, "A");
    auto *b = fakes.add(3, "B", dead);
    auto *c = fakes.add(4, "C");
    Engine e(120);
    e.setOptions([](EngineOptions &o) { o.internetServTimeOut = 150; });
    addLines(e.engine, ServerPage::Internet, {a, b, c});
    QStringList events;
    QList<int> processing;
    QObject::connect(&e.engine, &QueryEngine::statusChanged, &e.engine, [&](const EngineStatus &s) {
        if (s.kind == EngineStatus::Kind::Progress)
            events.append(L1("progress ") + QString::number(s.position));
    });
    QObject::connect(&e.engine, &QueryEngine::logLine, &e.engine, [&](const QString &line) {
        if (line.startsWith(L1("Listen port"))) {
            int rows = 0;
            for (const ServerEntry &row : e.view().rows())
                rows += row.state == RowState::Processing ? 1 : 0;
            processing.append(rows);
        }
        if (line.startsWith(L1("Send request")) || line.startsWith(L1("Host:")) || line == L1("Server timeout!") ||
            line.startsWith(L1("---------- Query Complete")))
            events.append(line);
    });
    e.rebuild(ServerPage::Internet);

    const auto request = [](const FakeGameServer *s) {
        const ServerAddress x = FakeServers::addressOf(s);
        return L1("Send request to :") + x.addressText() + L1(" GPort:") + x.gamePortText() + L1(" IPort:") +
               x.queryPortText() + L1(" Try:1");
    };
    const QString complete = L1("---------- Query Complete ------------");
    const QStringList expected = {
        L1("progress 1"),
        request(a),
        complete,
        L1("Host:127.0.0.2 Ping=120"),
        L1("progress 2"),
        request(b),
        L1("Server timeout!"),
        L1("progress 3"),
        request(c),
        complete,
        L1("Host:127.0.0.4 Ping=120"),
    };
    EXPECT_EQ(events, expected);
    EXPECT_EQ(processing, (QList<int>{1, 1, 1}));
    EXPECT_EQ(shownCaption(e.rowOf(b)), L1("Server is dead."));
    EXPECT_FALSE(e.engine.isRefreshActive());
}
