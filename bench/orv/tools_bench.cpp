// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "orv/tools/inieditsession.h"
#include "orv/tools/tbiggerinifile.h"

using orv::tools::IniEditSession;
using orv::tools::TBiggerIniFile;

namespace {

// About 1 MB of game-like INI text: sections of ordinary keys, runs of repeated
// ServerPackages=/ServerActors= keys and indexed keys, with CR LF line ends.
QByteArray gameLikeIni(qsizetype targetSize)
{
    QByteArray text;
    text.reserve(targetSize + 4096);
    for (int s = 0; text.size() < targetSize; ++s) {
        text += "[Package" + QByteArray::number(s) + ".Settings]\r\n";
        for (int k = 0; k < 12; ++k)
            text += "Setting" + QByteArray::number(k) + "=Value number " + QByteArray::number(s * 12 + k) + "\r\n";
        for (int k = 0; k < 6; ++k)
            text += "ServerPackages=Package" + QByteArray::number(k) + "\r\n";
        for (int k = 0; k < 4; ++k)
            text += "ServerActors=IpDrv.UdpBeacon" + QByteArray::number(k) + "\r\n";
        for (int k = 0; k < 4; ++k)
            text += "ListFactories[" + QByteArray::number(k) + "]=UBrowser.UBrowserGSpyFact,Region=0\r\n";
        text += "\r\n";
    }
    return text;
}

struct BenchFiles
{
    QTemporaryDir dir;
    QString ini = dir.filePath(QStringLiteral("UnrealTournament.ini"));
    QString temp = dir.filePath(QStringLiteral("OrvaneSvc.TempIni"));
    QByteArray text = gameLikeIni(1024 * 1024);

    BenchFiles()
    {
        QFile file(ini);
        if (file.open(QIODevice::WriteOnly))
            file.write(text);
    }
};

} // namespace

// Opening a 1 MB file the way the editor does: the numbered working copy, then the store on it.
static void BM_OpenIni1MB(benchmark::State &state)
{
    BenchFiles files;
    IniEditSession session(files.temp);
    for (auto _ : state) {
        if (!session.open(files.ini)) {
            state.SkipWithError("open failed");
            break;
        }
        state.PauseTiming();
        session.discard();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * files.text.size());
}
BENCHMARK(BM_OpenIni1MB)->Unit(benchmark::kMillisecond);

// Saving it after one edit: the store rewrites the working copy, the numbers come off and the
// file is replaced.
static void BM_SaveIni1MB(benchmark::State &state)
{
    BenchFiles files;
    IniEditSession session(files.temp);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!session.open(files.ini) ||
            !session.writeValue("Package7.Settings", "Setting3", "changed " + QByteArray::number(++round))) {
            state.SkipWithError("open failed");
            break;
        }
        state.ResumeTiming();
        if (!session.save()) {
            state.SkipWithError("save failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * files.text.size());
}
BENCHMARK(BM_SaveIni1MB)->Unit(benchmark::kMillisecond);

// Reading every section in file order, as the clans directory does; the time and the
// comparisons per section stay flat as the number of sections grows.
static void BM_WalkSectionsInOrder(benchmark::State &state)
{
    const int count = int(state.range(0));
    QByteArray text;
    QByteArrayList names;
    for (int i = 0; i < count; ++i) {
        names.append("Clan" + QByteArray::number(i));
        text += "[" + names.constLast() + "]\r\nName=Clan " + QByteArray::number(i) + "\r\nMembers=3\r\n";
    }
    TBiggerIniFile store(QStringLiteral("clans.lst"));
    store.loadFromBytes(text);
    const qint64 before = store.lookupComparisons();
    for (auto _ : state) {
        for (const QByteArray &name : names)
            benchmark::DoNotOptimize(store.sectionLines(name));
    }
    state.counters["comparisons_per_section"] =
        double(store.lookupComparisons() - before) / double(state.iterations() * count);
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_WalkSectionsInOrder)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
