// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <functional>
#include <unordered_map>
#include <vector>

#include <QString>

#include "orv/engine/addresslist.h"
#include "orv/engine/exchangepool.h"
#include "orv/engine/queryengine.h"

namespace orv::engine {

// One server of a refresh run on its way: asked, then maybe pinged.
struct RefreshFlight
{
    qsizetype line = 0;
    QString lineText;
    ServerAddress server;
    RowState stateBefore = RowState::Listed;
    ExchangeResult exchange;
    // The status exchange is over and the teams follow-up is being asked.
    bool askingTeams = false;
};

// The state of a refresh run: which lines (or named servers) are still to be asked, which
// are being asked (by exchange id) or pinged, and what happens when the run is over.
struct QueryEngine::RefreshRun
{
    using Flight = RefreshFlight;

    ServerPage page = ServerPage::Internet;
    int atOnce = 1;
    qsizetype count = 0;
    qsizetype next = 0;
    qsizetype finished = 0;
    // Asked instead of the page's lines (Refresh Current); their lines are not rewritten.
    std::vector<ServerAddress> servers;
    // Lines held back while the same address and query port are in flight.
    std::deque<qsizetype> heldBack;
    std::unordered_map<quint64, Flight> asking;
    // Pinged servers, by a number of their own.
    std::unordered_map<quint64, Flight> pinging;
    quint64 nextPing = 1;
    std::function<void(bool stopped)> ended;
    quint64 generation = 0;

    bool idle() const { return asking.empty() && pinging.empty(); }
};

} // namespace orv::engine
