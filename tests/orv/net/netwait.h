// SPDX-License-Identifier: GPL-3.0-or-later
// Waiting in tests for the network layer's event-driven work to end.
#pragma once

#include <functional>
#include <optional>

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include "orv/engine/serverlist.h"
#include "orv/net/filedownloader.h"
#include "orv/net/internetlistbuilder.h"

namespace netwait {

// Runs the test's event loop until done() holds or ms have passed; done() at the end.
inline bool until(const std::function<bool()> &done, int ms = 60000)
{
    if (done())
        return true;
    const QDeadlineTimer deadline(ms);
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired())
            loop.quit();
    });
    tick.start(2);
    loop.exec();
    return done();
}

// A download to its end: false when it was refused or failed.
inline bool download(orv::net::FileDownloader &downloader, const QString &url, const QString &target,
                     std::optional<orv::net::MasterGame> game = std::nullopt)
{
    std::optional<bool> result;
    const auto connection = QObject::connect(&downloader, &orv::net::FileDownloader::finished, &downloader,
                                             [&result](bool ok) { result = ok; });
    const bool started = downloader.startDownload(url, target, game);
    if (started)
        until([&result] { return result.has_value(); });
    QObject::disconnect(connection);
    return started && result.value_or(false);
}

// A build to its end, its list put where the browser puts it: into internet.addresses, and
// after a download the view emptied.
inline std::optional<orv::net::BuildOutcome> build(orv::net::InternetListBuilder &builder,
                                                   const orv::net::InternetListOptions &options,
                                                   orv::engine::ServerList &internet)
{
    std::optional<orv::net::BuildOutcome> outcome;
    const bool started =
        builder.BuildInternetList(options, [&](orv::net::BuildOutcome o, const orv::engine::AddressList *loaded) {
            if (loaded)
                internet.addresses = *loaded;
            if (o == orv::net::BuildOutcome::Downloaded && internet.view)
                internet.view->clear();
            outcome = o;
        });
    if (started)
        until([&outcome] { return outcome.has_value(); });
    return outcome;
}

} // namespace netwait
