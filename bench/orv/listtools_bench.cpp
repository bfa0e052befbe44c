// SPDX-License-Identifier: GPL-3.0-or-later
#include <vector>

#include <benchmark/benchmark.h>

#include "orv/core/playersearch.h"
#include "orv/core/rowfilter.h"
#include "orv/engine/replystore.h"
#include "orv/engine/serverentry.h"
#include "orv/engine/serverlistmodel.h"

using namespace orv::engine;
using namespace orv::core;

namespace {

// A full view: 65,535 answered rows, a third of them Unreal, with 40 maps and players on
// every other server.
std::vector<ServerEntry> fullView()
{
    std::vector<ServerEntry> rows;
    rows.reserve(ServerListModel::kMaxRows);
    for (int i = 0; i < ServerListModel::kMaxRows; ++i) {
        const AddressWords server{QStringLiteral("10.%1.%2.%3").arg(i >> 16).arg((i >> 8) & 255).arg(i & 255),
                                  QStringLiteral("7777"), QStringLiteral("7778")};
        ServerEntry entry = ServerEntry::rebuilt(server, false);
        // Every text of its own, as decoded answers give them.
        for (int column = 0; column < kServerColumns; ++column)
            entry.setColumn(column, QString::fromLatin1("value %1-%2").arg(column).arg(i));
        entry.caption = QStringLiteral("Server number %1 | Best Deathmatch in town").arg(i);
        entry.setColumn(kFilterColumnGame, QString::fromLatin1(i % 3 == 0 ? "unreal" : "ut"));
        entry.setColumn(kFilterColumnPlayers, QStringLiteral("%1 / 16").arg(i % 2 == 0 ? 0 : i % 16));
        entry.setColumn(kFilterColumnMap, QStringLiteral("DM-Map%1").arg(i % 40));
        entry.setColumn(kColumnAddress, server.address);
        entry.icon = i % 3;
        rows.push_back(std::move(entry));
    }
    return rows;
}

// One filter pass over a full view, as the Unreal Tournament filter runs it: the view's
// rows copied out, partitioned, and set back in one step; then the reset.
void BM_FilterPassOverFullView(benchmark::State &state)
{
    ServerListModel view;
    view.setRows(fullView());
    std::vector<ServerEntry> hidden;
    const RowFilter filter = RowFilter::game(QStringLiteral("ut"));
    for (auto _ : state) {
        const int moved = filterView(view, hidden, filter, [](int) {});
        benchmark::DoNotOptimize(moved);
        state.PauseTiming();
        restoreHidden(view, hidden);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * ServerListModel::kMaxRows);
}
BENCHMARK(BM_FilterPassOverFullView)->Unit(benchmark::kMillisecond);

void BM_ResetOfHalfAView(benchmark::State &state)
{
    ServerListModel view;
    view.setRows(fullView());
    std::vector<ServerEntry> hidden;
    const RowFilter filter = RowFilter::playersPresent();
    for (auto _ : state) {
        state.PauseTiming();
        filterView(view, hidden, filter);
        state.ResumeTiming();
        benchmark::DoNotOptimize(restoreHidden(view, hidden, [](int) {}));
    }
}
BENCHMARK(BM_ResetOfHalfAView)->Unit(benchmark::kMillisecond);

// "Build players list" over 100,000 reply lines of 33,334 servers: each answer's players
// spread over its datagrams as real servers send them, names repeating across servers.
void BM_BuildPlayersListFrom100kLines(benchmark::State &state)
{
    ReplyStore replies;
    constexpr int kLines = 100000;
    for (int i = 0; i < kLines; ++i) {
        const int server = i / 3;
        QByteArray line =
            "10." + QByteArray::number((server >> 8) & 255) + '.' + QByteArray::number(server & 255) + ".1:7777:7778>";
        if (i % 3 == 0) {
            line += "\\hostname\\Server " + QByteArray::number(server) +
                    "\\gamename\\ut\\mapname\\DM-Deck16][\\numplayers\\8\\maxplayers\\16";
        } else {
            for (int p = 0; p < 4; ++p) {
                const int slot = (i % 3 - 1) * 4 + p;
                line += "\\player_" + QByteArray::number(slot) + "\\Player" +
                        QByteArray::number((server * 7 + slot) % 50000) + "\\frags_" + QByteArray::number(slot) + '\\' +
                        QByteArray::number(slot * 3) + "\\ping_" + QByteArray::number(slot) + "\\120\\team_" +
                        QByteArray::number(slot) + "\\0\\mesh_" + QByteArray::number(slot) + "\\Male Commando\\skin_" +
                        QByteArray::number(slot) + "\\CommandoSkins.cmdo";
            }
            if (i % 3 == 2)
                line += "\\queryid\\" + QByteArray::number(server) + ".3\\final\\";
        }
        replies.append(line);
    }
    qsizetype names = 0;
    for (auto _ : state) {
        QStringList list = playersearch::playerNames(replies, [](qsizetype) {});
        playersearch::sortNames(list);
        names = list.size();
        benchmark::DoNotOptimize(list);
    }
    state.counters["names"] = static_cast<double>(names);
}
BENCHMARK(BM_BuildPlayersListFrom100kLines)->Unit(benchmark::kMillisecond);

void BM_FindPlayerIn100kLines(benchmark::State &state)
{
    ReplyStore replies;
    for (int i = 0; i < 100000; ++i)
        replies.append("10.0." + QByteArray::number(i / 256 % 256) + '.' + QByteArray::number(i % 256) +
                       ":7777:7778>\\player_0\\Someone" + QByteArray::number(i) + "\\frags_0\\3\\ping_0\\80");
    for (auto _ : state)
        benchmark::DoNotOptimize(playersearch::serversWithPlayer(replies, QStringLiteral("someone99999")));
}
BENCHMARK(BM_FindPlayerIn100kLines)->Unit(benchmark::kMillisecond);

} // namespace
