// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QByteArray>
#include <QEventLoop>
#include <QHostAddress>
#include <QTimer>

#include "orv/engine/queryengine.h"

namespace testsupport {

// A fake server on its address and query port, its game port one below, as the demo
// servers report it.
inline orv::engine::ServerAddress fakeServerAddress(const QHostAddress &address, quint16 queryPort)
{
    return {address.toIPv4Address(), static_cast<quint16>(queryPort - 1), queryPort};
}

// Runs the event loop until the engine's refresh run has ended, at most timeoutMs; true when
// no run is left.
inline bool waitForRefresh(const orv::engine::QueryEngine &engine, int timeoutMs = 60000)
{
    if (!engine.isRefreshActive())
        return true;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&engine, &orv::engine::QueryEngine::refreshRunEnded, &loop, [&engine, &loop] {
        // A run may start the next one as it ends (a page opened during a refresh).
        if (!engine.isRefreshActive())
            loop.quit();
    });
    limit.start(timeoutMs);
    loop.exec();
    return !engine.isRefreshActive();
}

// Asks one server without a row, as the checker does, and waits for the answer.
inline platform::Result<orv::engine::ServerQuery> queryAndWait(orv::engine::QueryEngine &engine,
                                                               const orv::engine::ServerAddress &server,
                                                               const QByteArray &request = "\\status\\")
{
    std::optional<platform::Result<orv::engine::ServerQuery>> answer;
    QEventLoop loop;
    engine.QueryServer(server, request, &loop, [&](const platform::Result<orv::engine::ServerQuery> &result) {
        answer = result;
        loop.quit();
    });
    loop.exec();
    return *answer;
}

} // namespace testsupport
