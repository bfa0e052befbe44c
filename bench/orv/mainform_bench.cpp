// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's lists at their largest: 65,535 rows rebuilt, sorted and updated one
// row at a time, and the time from nothing to a painted main window.
#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include "orv/engine/queryengine.h"
#include "orv/frontend/mainwindow/iconprovider.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/serverview.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "platform/desktop/sound.h"
#include "tests/support/enginewait.h"

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

namespace {

// Resident memory of this process, in kB.
qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = status.readAll();
    const qsizetype at = text.indexOf("VmRSS:");
    if (at < 0)
        return -1;
    const qsizetype end = text.indexOf('\n', at);
    return text.mid(at + 6, end - at - 6).replace("kB", "").trimmed().toLongLong();
}

} // namespace

// The shown window refreshing 1,000 fake servers on loopback (another process, answers after
// 80 ms, 30 silent), 64 at once, while the user scrolls, sorts and selects. Reports the
// longest time the event loop went without turning (a 2 ms timer measures the gaps), the
// resident-memory growth from before the first refresh to after the last, and how many rows
// answered.
static void BM_RefreshThousandServers64AtOnce(benchmark::State &state)
{
    constexpr int kServers = 1000;
    QTemporaryDir dir;
    const QString listFile = dir.filePath(QStringLiteral("servers.lst"));
    QProcess fleet;
    fleet.start(QStringLiteral(ORV_FAKEFLEET),
                {QStringLiteral("--address"), QStringLiteral("127.0.0.2"), QStringLiteral("--first-port"),
                 QStringLiteral("40001"), QStringLiteral("--count"), QString::number(kServers),
                 QStringLiteral("--silent"), QStringLiteral("30"), QStringLiteral("--delay-ms"), QStringLiteral("80"),
                 QStringLiteral("--list"), listFile});
    QElapsedTimer wait;
    wait.start();
    while (!QFileInfo(listFile).size() && wait.elapsed() < 10000)
        QThread::msleep(20);
    auto loaded = orv::engine::AddressList::load(listFile);
    if (!fleet.waitForStarted() || !loaded) {
        state.SkipWithError("the fake servers did not start");
        return;
    }

    Window w;
    orv::engine::EngineOptions options;
    options.internetServTimeOut = 1000;
    options.queriesAtOnce = 64;
    w.engine.setOptions(options);
    w.engine.setFavoritesFile(dir.filePath(QStringLiteral("favorites.lst")));

    qint64 longestGap = 0;
    qint64 growthKb = 0;
    int answered = 0;
    // Over every iteration: a refresh that kept something per server would show here.
    const qint64 before = residentKb();
    for (auto _ : state) {
        w.engine.setAddresses(ServerPage::Internet, loaded.value());
        QElapsedTimer clock;
        qint64 last = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            longestGap = std::max(longestGap, now - last);
            last = now;
        });
        // What a user does meanwhile: scroll, sort by another column, select a row.
        QTimer user;
        int step = 0;
        QObject::connect(&user, &QTimer::timeout, [&] {
            QTreeView *view = w.form.currentView()->report();
            view->scrollTo(view->model()->index((step * 37) % std::max(1, view->model()->rowCount()), 0));
            if (step % 5 == 0)
                w.form.columnClicked(step % 3);
            view->setCurrentIndex(view->model()->index(step % std::max(1, view->model()->rowCount()), 0));
            ++step;
        });
        clock.start();
        ticker.start(2);
        user.start(50);
        w.engine.refreshAction();
        testsupport::waitForRefresh(w.engine, 600000);
        ticker.stop();
        user.stop();
        growthKb = residentKb() - before;
        answered = 0;
        for (const orv::engine::ServerEntry &row : w.engine.view(ServerPage::Internet).rows())
            answered += row.isAnswered() ? 1 : 0;
    }
    state.counters["longest_block_ms"] = static_cast<double>(longestGap);
    state.counters["rss_growth_kb"] = static_cast<double>(growthKb);
    state.counters["answered"] = answered;
    fleet.kill();
    fleet.waitForFinished();
}
BENCHMARK(BM_RefreshThousandServers64AtOnce)->Unit(benchmark::kMillisecond)->Iterations(3);
