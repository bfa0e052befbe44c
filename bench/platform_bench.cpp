// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include "platform/textfile.h"

// Splitting the text of a large list file into lines.
static void BM_SplitLines(benchmark::State &state)
{
    QByteArray text;
    for (int i = 0; i < 100000; ++i)
        text += "203.0.113." + QByteArray::number(i % 250) + " 7777 7778\r\n";
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::textfile::splitLines(text));
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_SplitLines)->Unit(benchmark::kMillisecond);
