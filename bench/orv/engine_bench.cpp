// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>
#include <vector>

#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>

#include <benchmark/benchmark.h>

#include "orv/demo/fakegameserver.h"
#include "orv/engine/countrylookup.h"
#include "orv/engine/queryengine.h"
#include "orv/engine/replydecoder.h"
#include "tests/support/enginewait.h"

using namespace orv::engine;

namespace {

QByteArray capture(const char *name)
{
    QFile file(QStringLiteral(ORV_TEST_DATA_DIR "/status/%1").arg(QString::fromLatin1(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Decoding one server from a store of 100,000 datagram lines of 33,334 servers, the target's
// three datagrams spread through it.
void BM_DecodeOneServerIn100kLineStore(benchmark::State &state)
{
    const QByteArray parts[3] = {capture("ut99_gameq_unrealkillers_instagib_ctf_1.bin"),
                                 capture("ut99_gameq_unrealkillers_instagib_ctf_2.bin"),
                                 capture("ut99_gameq_unrealkillers_instagib_ctf_3.bin")};
    if (parts[0].isEmpty()) {
        state.SkipWithError("captured answer not found");
        return;
    }
    const QString address = QStringLiteral("75.102.41.52");
    ReplyStore store;
    constexpr int kLines = 100000;
    const QByteArray target = ReplyStore::serverKey(address, QStringLiteral("7777"), QStringLiteral("7778"));
    for (int i = 0, placed = 0; i < kLines; ++i) {
        if (placed < 3 && i == (placed + 1) * (kLines / 4)) {
            store.appendAnswer(target, parts[placed++]);
            continue;
        }
        const int server = i / 3;
        const QString other =
            QStringLiteral("10.%1.%2.%3").arg(server >> 16).arg((server >> 8) & 255).arg(server & 255);
        store.appendAnswer(ReplyStore::serverKey(other, QStringLiteral("7777"), QStringLiteral("7778")), parts[i % 3]);
    }
    for (auto _ : state) {
        ServerInfo info = DecodeServerInfo(store, address, QStringLiteral("7777"), QStringLiteral("7778"));
        benchmark::DoNotOptimize(info);
    }
    state.counters["store_lines"] = static_cast<double>(store.size());
}
BENCHMARK(BM_DecodeOneServerIn100kLineStore)->Unit(benchmark::kMicrosecond);

// A whole refresh of 300 answering loopback servers with ping off. The servers run in this
// process and answer at once, so the time per server is the refresh's own overhead plus
// the fake server's work and the loopback round trip.
void BM_RefreshOverheadPerServer300Loopback(benchmark::State &state)
{
    constexpr int kServers = 300;
    std::vector<std::unique_ptr<orv::demo::FakeGameServer>> servers;
    AddressList addresses;
    for (int i = 0; i < kServers; ++i) {
        auto server = std::make_unique<orv::demo::FakeGameServer>();
        const quint32 ip = QHostAddress(QStringLiteral("127.0.0.2")).toIPv4Address() + static_cast<quint32>(i);
        if (!server->listen(QHostAddress(ip), 0)) {
            state.SkipWithError("cannot start the fake servers");
            return;
        }
        orv::demo::ServerDescription d;
        d.hostName = "Bench " + QByteArray::number(i);
        d.hostPort = server->queryPort() - 1;
        for (int p = 0; p < 12; ++p)
            d.players.append({"Player" + QByteArray::number(p), p * 3, 40 + p, p % 2});
        server->setDescription(d);
        addresses.append(QStringLiteral("%1 %2 %3")
                             .arg(QHostAddress(ip).toString())
                             .arg(server->queryPort() - 1)
                             .arg(server->queryPort()));
        servers.push_back(std::move(server));
    }
    QueryEngine engine;
    EngineOptions options;
    options.usePing = false;
    options.internetServTimeOut = 2000;
    engine.setOptions(options);
    engine.setFavoritesFile(QStringLiteral("/nonexistent/favorites.lst"));
    int dead = 0;
    for (auto _ : state) {
        engine.setAddresses(ServerPage::Internet, addresses);
        engine.RebuildList(ServerPage::Internet);
        testsupport::waitForRefresh(engine, 600000);
        for (const ServerEntry &row : engine.view(ServerPage::Internet).rows())
            dead += row.icon == static_cast<int>(RowIcon::Dead) ? 1 : 0;
    }
    if (dead > 0)
        state.SkipWithError("some fake servers did not answer");
    state.SetItemsProcessed(state.iterations() * kServers);
    state.counters["per_server"] = benchmark::Counter(static_cast<double>(state.iterations() * kServers),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RefreshOverheadPerServer300Loopback)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// One country lookup in the installed IP location database, each address a new one (so the
// lookup's small cache does not answer). The goal is a few microseconds.
void BM_CountryLookupUncached(benchmark::State &state)
{
    CountryLookup lookup;
    if (!lookup.isAvailable()) {
        state.SkipWithError("no IP location database installed");
        return;
    }
    quint32 address = 0x01000001; // 1.0.0.1, then through the whole address space
    qsizetype found = 0;
    for (auto _ : state) {
        address += 40503; // a stride that visits many networks
        found += lookup.countryOf(address).size();
    }
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CountryLookupUncached)->Unit(benchmark::kMicrosecond);

} // namespace
