// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <unordered_map>

#include <QEventLoop>
#include <QString>

#include "orv/engine/addresslist.h"
#include "orv/engine/queryengine.h"
#include "orv/engine/queryexchange.h"

namespace orv::engine {

// The state of a list refresh with several servers in flight: which lines are still to be
// asked, which are being asked (by exchange id) or pinged, and the one event loop the
// refresh waits in.
struct QueryEngine::ParallelRun
{
    struct Flight
    {
        qsizetype line = 0;
        QString lineText;
        ServerAddress server;
        QString captionBefore;
        ExchangeResult exchange;
        // The status exchange is over and the teams follow-up is being asked.
        bool askingTeams = false;
    };

    ServerPage page = ServerPage::Internet;
    int atOnce = 1;
    qsizetype count = 0;
    qsizetype next = 0;
    qsizetype finished = 0;
    // Lines held back while the same address and query port are in flight.
    std::deque<qsizetype> heldBack;
    std::unordered_map<quint64, Flight> asking;
    // Pinged servers, by a number of their own.
    std::unordered_map<quint64, Flight> pinging;
    quint64 nextPing = 1;
    QEventLoop loop;

    bool idle() const { return asking.empty() && pinging.empty(); }
};

} // namespace orv::engine
