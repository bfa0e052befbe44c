// SPDX-License-Identifier: GPL-3.0-or-later
// The list refresh with several servers in flight: each server goes through the same steps
// as in the refresh one at a time (row set to "Processing..", exchange, ping, row update,
// reported game port written back), driven by the event loop instead of waited for in turn.
#include <QCoreApplication>

#include "orv/engine/exchangepool.h"
#include "orv/engine/parallelrun.h"
#include "orv/engine/pingbatch.h"
#include "orv/engine/teamsquery.h"
#include "orv/engine/textutil.h"

namespace orv::engine {

void QueryEngine::refreshListParallel(ServerPage page, int atOnce)
{
    AddressList &addresses = addressesOf(page);
    m_refreshActive = true;
    QCoreApplication::processEvents();
    if (!m_refreshActive)
        return;

    auto run = std::make_unique<ParallelRun>();
    run->page = page;
    run->atOnce = atOnce;
    run->count = addresses.size();
    m_parallel = std::move(run);
    fillParallelRun();
    ParallelRun *current = m_parallel.get();
    if (current && !current->idle())
        current->loop.exec();

    const bool stopped = !m_refreshActive;
    m_parallel.reset();
    // Nothing is in flight any more: the socket and the echo socket close with the run.
    m_pool->abortAll();
    m_pingBatch->abortAll();
    if (!stopped) {
        m_refreshActive = false;
        QCoreApplication::processEvents();
    }
    runDeferred();
}

void QueryEngine::fillParallelRun()
{
    ParallelRun *run = m_parallel.get();
    if (!run)
        return;
    AddressList &addresses = addressesOf(run->page);
    while (m_refreshActive && static_cast<int>(run->asking.size() + run->pinging.size()) < run->atOnce) {
        qsizetype n = -1;
        // A held-back line goes first once its address and port are free.
        for (auto it = run->heldBack.begin(); it != run->heldBack.end(); ++it) {
            if (!m_pool->isInFlight(AddressList::parseLine(addresses.lines().at(*it)))) {
                n = *it;
                run->heldBack.erase(it);
                break;
            }
        }
        if (n < 0) {
            if (run->next >= run->count || run->next >= addresses.size())
                break;
            n = run->next++;
        }
        const QString line = addresses.lines().at(n);
        if (!AddressList::isServerLine(line)) {
            finishParallelServer(n);
            continue;
        }
        const ServerAddress server = AddressList::parseLine(line);
        if (m_pool->isInFlight(server)) {
            run->heldBack.push_back(n);
            continue;
        }
        // As in QueryServer: the row is found before sending, and a server without one is
        // skipped unasked.
        ServerListModel *view = currentList().view;
        const auto row = view->FindRow(server.address, server.gamePort, server.queryPort);
        if (!row) {
            finishParallelServer(n);
            continue;
        }
        ServerEntry entry = view->row(*row);
        ParallelRun::Flight flight{n, line, server, entry.caption, {}};
        entry.caption = QStringLiteral("Processing..");
        view->setRow(*row, std::move(entry));
        const auto id = m_pool->start(server, QByteArray(kStatusRequest), options());
        if (!id) {
            run->heldBack.push_back(n);
            continue;
        }
        run->asking.emplace(*id, std::move(flight));
    }
    if (run->idle() && (!m_refreshActive || (run->heldBack.empty() && run->next >= run->count)))
        run->loop.quit();
}

void QueryEngine::onParallelExchangeFinished(quint64 id, const platform::Result<ExchangeResult> &result)
{
    ParallelRun *run = m_parallel.get();
    if (!run)
        return;
    const auto it = run->asking.find(id);
    if (it == run->asking.end())
        return;
    ParallelRun::Flight flight = std::move(it->second);
    run->asking.erase(it);

    // Teams follow-up: a patched server playing a team game tells its teams only when asked.
    // Its answer, if any, joins the status answer in the store; the server goes on with the
    // status exchange's result either way.
    const platform::Result<ExchangeResult> outcome =
        flight.askingTeams ? platform::Result<ExchangeResult>(flight.exchange) : result;
    if (!flight.askingTeams && result && !isDeadAnswer(result.value(), options()) &&
        asksForTeams(currentList().replies, flight.server)) {
        flight.exchange = result.value();
        flight.askingTeams = true;
        if (const auto teamsId = m_pool->start(flight.server, QByteArray(kTeamsRequest), options())) {
            run->asking.emplace(*teamsId, std::move(flight));
            return;
        }
    }

    if (!outcome) {
        // Skipped as in the one-at-a-time refresh: the row gets its caption back and the
        // line stays as it was.
        ServerListModel *view = list(run->page).view;
        const ServerAddress &s = flight.server;
        if (const auto row = view->FindRow(s.address, s.gamePort, s.queryPort)) {
            ServerEntry restored = view->row(*row);
            restored.caption = flight.captionBefore;
            view->setRow(*row, std::move(restored));
        }
        finishParallelServer(flight.line);
        fillParallelRun();
        return;
    }
    flight.exchange = outcome.value();

    const auto update = [this](ParallelRun::Flight done, std::optional<quint16> measured) {
        ParallelRun *current = m_parallel.get();
        if (!current)
            return;
        ServerQuery query;
        query.server = done.server;
        query.exchange = done.exchange;
        query.complete = query.exchange.received == query.exchange.expected;
        int updatedRow = -1;
        if (rowUpdate(current->page, done.server, done.exchange, query, updatedRow, measured)) {
            emit serverQueried(query, updatedRow);
            AddressList &addresses = addressesOf(current->page);
            if (done.line < addresses.size() && addresses.lines().at(done.line) == done.lineText)
                addresses.lines()[done.line] = done.server.address + QLatin1Char(' ') + query.reportedPort +
                                               QLatin1Char(' ') + done.server.queryPort;
        }
        if (m_parallel.get() != current)
            return;
        finishParallelServer(done.line);
        fillParallelRun();
    };

    // An answering server is pinged before its row is filled, as one at a time; the echo
    // goes out beside the other servers' exchanges. A ping set by the caller is its own
    // measurement and is taken as it is; where no echo can be sent the row takes the
    // exchange's round trip, as one at a time.
    const EngineOptions now = options();
    if (isDeadAnswer(flight.exchange, now) || !now.usePing || m_pinger || !m_pingBatch->canEcho()) {
        update(std::move(flight), std::nullopt);
        return;
    }
    const quint64 token = run->nextPing++;
    const QString address = flight.server.address;
    run->pinging.emplace(token, std::move(flight));
    m_pingBatch->ping(address, [this, token, update](quint16 measured) {
        ParallelRun *current = m_parallel.get();
        if (!current)
            return;
        const auto found = current->pinging.find(token);
        if (found == current->pinging.end())
            return;
        ParallelRun::Flight done = std::move(found->second);
        current->pinging.erase(found);
        update(std::move(done), measured);
    });
}

void QueryEngine::finishParallelServer(qsizetype line)
{
    ParallelRun *run = m_parallel.get();
    if (!run)
        return;
    Q_UNUSED(line);
    ++run->finished;
    EngineStatus progress;
    progress.kind = EngineStatus::Kind::Progress;
    progress.position = run->finished;
    progress.total = run->count;
    emit statusChanged(progress);
    emit refreshProgress(run->finished, run->count);
}

void QueryEngine::stopParallelRun()
{
    ParallelRun *run = m_parallel.get();
    if (!run)
        return;
    m_pool->abortAll();
    m_pingBatch->abortAll();
    // Rows still being asked or pinged keep their values from before, not "Processing..".
    ServerListModel *view = list(run->page).view;
    const auto restore = [view](const ParallelRun::Flight &flight) {
        const ServerAddress &s = flight.server;
        if (const auto row = view->FindRow(s.address, s.gamePort, s.queryPort)) {
            ServerEntry entry = view->row(*row);
            if (entry.caption == QStringLiteral("Processing..")) {
                entry.caption = flight.captionBefore;
                view->setRow(*row, std::move(entry));
            }
        }
    };
    for (const auto &[id, flight] : run->asking)
        restore(flight);
    for (const auto &[token, flight] : run->pinging)
        restore(flight);
    run->asking.clear();
    run->pinging.clear();
    run->heldBack.clear();
    run->next = run->count;
    run->loop.quit();
}

} // namespace orv::engine
