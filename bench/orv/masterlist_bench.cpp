// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include <random>

#include <QTemporaryDir>

#include "orv/engine/addresslist.h"
#include "orv/net/combinedlist.h"
#include "orv/net/masterlist.h"
#include "platform/textfile.h"

namespace {

// Four master lists of 25,000 "address:port" lines each, 100,000 lines in all; about a
// quarter of each list's servers also appear on another list, in other letter case where
// the address is a name, as lists of different masters overlap.
QList<QByteArray> makeLists()
{
    std::mt19937 rng(1999);
    QList<QByteArray> lists;
    for (int list = 0; list < 4; ++list) {
        QByteArray text;
        for (int i = 0; i < 25000; ++i) {
            const unsigned server = (rng() % 4 == 0) ? rng() % 20000 : 20000 + list * 25000 + i;
            const int port = 7777 + static_cast<int>(server % 7) * 10;
            if (server % 5 == 0)
                text += (list % 2 ? "UT" : "ut") + QByteArray::number(server) +
                        ".Example.net:" + QByteArray::number(port) + "\r\n";
            else
                text += "10." + QByteArray::number((server >> 16) & 0xff) + '.' +
                        QByteArray::number((server >> 8) & 0xff) + '.' + QByteArray::number(server & 0xff) + ':' +
                        QByteArray::number(port) + "\r\n";
        }
        lists.append(text);
    }
    return lists;
}

// The download round of the Internet list after the transfers: convert each downloaded
// file in place, merge it, then save the sorted combined list as the cache.
void BM_ConvertAndMergeFiles(benchmark::State &state)
{
    const QList<QByteArray> lists = makeLists();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("internet.lst"));
    const QString cache = dir.filePath(QStringLiteral("cache.lst"));
    qsizetype merged = 0;
    for (auto _ : state) {
        orv::net::CombinedList combined;
        for (const QByteArray &text : lists) {
            state.PauseTiming();
            (void)platform::textfile::writeAtomically(file, text);
            state.ResumeTiming();
            if (!orv::net::ConvertAndMergeMasterList(file, combined))
                state.SkipWithError("cannot convert or merge");
        }
        const orv::engine::AddressList result(combined.sortedLines());
        if (!result.save(cache))
            state.SkipWithError("cannot save");
        merged = result.size();
    }
    state.counters["lines_in"] = 100000;
    state.counters["lines_out"] = static_cast<double>(merged);
}
BENCHMARK(BM_ConvertAndMergeFiles)->Unit(benchmark::kMillisecond);

// The same work without the files.
void BM_ConvertAndMergeInMemory(benchmark::State &state)
{
    QList<QList<QByteArray>> lists;
    for (const QByteArray &text : makeLists())
        lists.append(platform::textfile::splitLines(text));
    for (auto _ : state) {
        orv::net::CombinedList combined;
        for (const QList<QByteArray> &lines : lists) {
            const auto converted = orv::net::convertMasterLines(lines);
            for (const QByteArray &line : *converted)
                combined.add(platform::textfile::fromAnsi(line));
        }
        benchmark::DoNotOptimize(combined.sortedLines());
    }
}
BENCHMARK(BM_ConvertAndMergeInMemory)->Unit(benchmark::kMillisecond);

} // namespace
