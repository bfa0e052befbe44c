// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's lists at their largest: 65,535 rows rebuilt, sorted and updated one
// row at a time, and the time from nothing to a painted main window.
#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include "orv/engine/queryengine.h"
#include "orv/frontend/mainwindow/iconprovider.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/serverview.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "platform/desktop/sound.h"

using orv::engine::ServerPage;

namespace {

orv::engine::AddressList bigList()
{
    orv::engine::AddressList list;
    for (int i = 0; i < orv::engine::ServerListModel::kMaxRows; ++i)
        list.append(QStringLiteral("10.%1.%2.%3 7777 7778").arg(i >> 16).arg((i >> 8) & 255).arg(i & 255));
    return list;
}

struct Window
{
    platform::SoundService service;
    orv::frontend::SoundBank sounds{service};
    orv::engine::QueryEngine engine;
    orv::frontend::TMainForm form{engine, sounds};

    Window()
    {
        orv::engine::EngineOptions options;
        options.alwaysRefresh = false; // rows only: nothing is queried
        engine.setOptions(options);
        form.show();
        QCoreApplication::processEvents();
    }
};

} // namespace

// RebuildList on a shown window: one row per address, the view laid out again.
static void BM_RebuildView(benchmark::State &state)
{
    Window w;
    w.engine.setAddresses(ServerPage::Internet, bigList());
    for (auto _ : state) {
        w.engine.RebuildList(ServerPage::Internet);
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = w.engine.view(ServerPage::Internet).size();
}
BENCHMARK(BM_RebuildView)->Unit(benchmark::kMillisecond)->Iterations(5);

// A column click: flip the direction and sort 65,535 rows by byte order.
static void BM_SortView(benchmark::State &state)
{
    Window w;
    w.engine.setAddresses(ServerPage::Internet, bigList());
    w.engine.RebuildList(ServerPage::Internet);
    for (auto _ : state) {
        w.form.columnClicked(0);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_SortView)->Unit(benchmark::kMillisecond)->Iterations(10);

// One row updated during a refresh: the model reports that row only, so the repaint
// stays a row's worth of work however long the list is.
static void BM_UpdateOneRow(benchmark::State &state)
{
    Window w;
    w.engine.setAddresses(ServerPage::Internet, bigList());
    w.engine.RebuildList(ServerPage::Internet);
    int row = 0;
    for (auto _ : state) {
        orv::engine::ServerEntry entry = w.engine.view(ServerPage::Internet).row(row);
        entry.caption = QStringLiteral("Updated %1").arg(row);
        w.engine.setRow(ServerPage::Internet, row, std::move(entry));
        QCoreApplication::processEvents();
        row = (row + 1) % 20;
    }
}
BENCHMARK(BM_UpdateOneRow)->Unit(benchmark::kMicrosecond);

// From nothing to the first painted main window.
static void BM_StartUpToFirstPaint(benchmark::State &state)
{
    orv::frontend::IconProvider::initResources();
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        Window w;
        w.form.repaint();
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_StartUpToFirstPaint)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
