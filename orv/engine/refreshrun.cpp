// SPDX-License-Identifier: GPL-3.0-or-later
// The refresh run, one server at a time or several in flight: each server goes through the
// same steps (row marked as being asked, exchange, teams follow-up, ping, row update,
// reported game port written back), driven by the exchanges' results. One at a time, the
// servers are asked in the list's order and the status names each as it is asked.
#include "orv/engine/refreshrun.h"

#include "orv/engine/pingbatch.h"
#include "orv/engine/teamsquery.h"
#include "orv/engine/textutil.h"

namespace orv::engine {

namespace {

// A row that was being asked gets back the state it had before.
void restoreState(ServerListModel *view, const RefreshFlight &flight)
{
    if (const auto row = view->FindRow(flight.server)) {
        ServerEntry entry = view->row(*row);
        if (entry.state == RowState::Processing) {
            entry.state = flight.stateBefore;
            view->setRow(*row, std::move(entry));
        }
    }
}

} // namespace

void QueryEngine::startRefreshRun(ServerPage page, int atOnce, std::vector<ServerAddress> servers,
                                  std::function<void(bool stopped)> ended)
{
    if (m_run)
        endRefreshRun(true);
    auto run = std::make_unique<RefreshRun>();
    run->page = page;
    run->atOnce = atOnce;
    run->servers = std::move(servers);
    run->count = run->servers.empty() ? addressesOf(page).size() : qsizetype(run->servers.size());
    run->ended = std::move(ended);
    // Runs are told apart by number: a new run may well reuse the memory of the old one.
    run->generation = ++m_runGeneration;
    m_run = std::move(run);
    m_refreshActive = true;
    fillRefreshRun();
}

bool QueryEngine::isRunAlive(quint64 generation) const
{
    return m_run && m_run->generation == generation;
}

void QueryEngine::fillRefreshRun()
{
    RefreshRun *run = m_run.get();
    if (!run)
        return;
    const quint64 generation = run->generation;
    const bool byLines = run->servers.empty();
    AddressList &addresses = addressesOf(run->page);
    const auto serverAt = [&](qsizetype n) -> std::optional<ServerAddress> {
        return byLines ? AddressList::parseLine(addresses.lines().at(n)).toServer() : run->servers.at(size_t(n));
    };
    while (m_refreshActive && static_cast<int>(run->asking.size() + run->pinging.size()) < run->atOnce) {
        qsizetype n = -1;
        // A held-back line goes first once its address and port are free.
        for (auto it = run->heldBack.begin(); it != run->heldBack.end(); ++it) {
            const auto held = serverAt(*it);
            if (!held || !m_pool->isInFlight(*held)) {
                n = *it;
                run->heldBack.erase(it);
                break;
            }
        }
        if (n < 0) {
            if (run->next >= run->count || (byLines && run->next >= addresses.size()))
                break;
            n = run->next++;
        }
        const QString line = byLines ? addresses.lines().at(n) : QString();
        if (byLines && !AddressList::isServerLine(line)) {
            finishRefreshServer();
            continue;
        }
        const std::optional<ServerAddress> named = serverAt(n);
        if (!named) {
            // A line that names no server: its row is dead without a query.
            if (run->atOnce == 1)
                emitRefreshProgress(n + 1, run->count);
            if (isRunAlive(generation))
                markUnaddressed(run->page, AddressList::parseLine(line));
            if (!isRunAlive(generation))
                return; // ended by a receiver
            finishRefreshServer();
            continue;
        }
        const ServerAddress server = *named;
        if (m_pool->isInFlight(server)) {
            run->heldBack.push_back(n);
            continue;
        }
        // The row is found before sending; a server without one is skipped unasked.
        ServerListModel *view = list(run->page).view;
        const auto row = view->FindRow(server);
        if (!row) {
            finishRefreshServer();
            continue;
        }
        if (run->atOnce == 1) {
            emitRefreshProgress(n + 1, run->count);
            if (!isRunAlive(generation))
                return; // ended by a receiver
        }
        ServerEntry entry = view->row(*row);
        RefreshRun::Flight flight{n, line, server, entry.state, {}};
        entry.state = RowState::Processing;
        view->setRow(*row, std::move(entry));
        const auto id = m_pool->start(server, QByteArray(kStatusRequest), options());
        if (!isRunAlive(generation)) {
            // A receiver of the exchange's first log lines ended the run (a command run from
            // them): the row gets back its state, as the others in flight did.
            restoreState(view, flight);
            return;
        }
        if (!id) {
            restoreState(view, flight);
            run->heldBack.push_back(n);
            continue;
        }
        run->asking.emplace(*id, std::move(flight));
    }
    if (run->idle() && (!m_refreshActive || (run->heldBack.empty() && run->next >= run->count)))
        endRefreshRun(!m_refreshActive);
}

void QueryEngine::onRefreshExchangeFinished(quint64 id, const platform::Result<ExchangeResult> &result)
{
    RefreshRun *run = m_run.get();
    if (!run)
        return;
    const auto it = run->asking.find(id);
    if (it == run->asking.end())
        return;
    RefreshRun::Flight flight = std::move(it->second);
    run->asking.erase(it);

    // Teams follow-up: a patched server playing a team game tells its teams only when asked.
    // Its answer, if any, joins the status answer in the store; the server goes on with the
    // status exchange's result either way.
    const platform::Result<ExchangeResult> outcome =
        flight.askingTeams ? platform::Result<ExchangeResult>(flight.exchange) : result;
    if (!flight.askingTeams && result && !isDeadAnswer(result.value(), options()) &&
        asksForTeams(list(run->page).replies, flight.server)) {
        flight.exchange = result.value();
        flight.askingTeams = true;
        const quint64 generation = run->generation;
        const auto teamsId = m_pool->start(flight.server, QByteArray(kTeamsRequest), options());
        if (!isRunAlive(generation)) {
            restoreState(list(run->page).view, flight);
            return;
        }
        if (teamsId) {
            run->asking.emplace(*teamsId, std::move(flight));
            return;
        }
    }

    if (!outcome) {
        // The server is skipped: its row must not keep claiming that it is being processed,
        // and its line stays as it was.
        restoreState(list(run->page).view, flight);
        finishRefreshServer();
        fillRefreshRun();
        return;
    }
    flight.exchange = outcome.value();

    const auto update = [this, generation = run->generation](RefreshRun::Flight done, std::optional<quint16> measured) {
        if (!isRunAlive(generation))
            return;
        const RefreshRun &current = *m_run;
        ServerQuery query;
        query.server = done.server;
        query.exchange = done.exchange;
        query.complete = query.exchange.received == query.exchange.expected;
        int updatedRow = -1;
        const ServerPage page = current.page;
        const bool byLines = current.servers.empty();
        if (rowUpdate(page, done.server, done.exchange, query, updatedRow, measured)) {
            // The list may have changed meanwhile; only the line that was asked about is
            // rewritten, with the game port the server reported.
            AddressList &addresses = addressesOf(page);
            if (byLines && done.line < addresses.size() && addresses.lines().at(done.line) == done.lineText)
                addresses.lines()[done.line] = done.server.withGamePort(query.reportedPort).toLine();
            emit serverQueried(query, updatedRow);
        }
        if (!isRunAlive(generation))
            return;
        finishRefreshServer();
        fillRefreshRun();
    };

    // An answering server is pinged before its row is filled; the echo goes out beside the
    // other servers' exchanges. A pinger set by the caller is its own measurement and is
    // taken as it is; where no echo can be sent the row takes the exchange's round trip.
    const EngineOptions now = options();
    if (isDeadAnswer(flight.exchange, now) || !now.usePing || m_pinger || !m_pingBatch->canEcho()) {
        update(std::move(flight), std::nullopt);
        return;
    }
    const quint64 token = run->nextPing++;
    const QString address = flight.server.addressText();
    run->pinging.emplace(token, std::move(flight));
    m_pingBatch->ping(address, [this, token, update, generation = run->generation](quint16 measured) {
        if (!isRunAlive(generation))
            return;
        RefreshRun *current = m_run.get();
        const auto found = current->pinging.find(token);
        if (found == current->pinging.end())
            return;
        RefreshRun::Flight done = std::move(found->second);
        current->pinging.erase(found);
        update(std::move(done), measured);
    });
}

void QueryEngine::finishRefreshServer()
{
    RefreshRun *run = m_run.get();
    if (!run)
        return;
    ++run->finished;
    // Several in flight finish in any order: the status counts the servers done.
    if (run->atOnce > 1)
        emitRefreshProgress(run->finished, run->count);
}

void QueryEngine::emitRefreshProgress(qsizetype position, qsizetype total)
{
    EngineStatus progress;
    progress.kind = EngineStatus::Kind::Progress;
    progress.position = position;
    progress.total = total;
    emit statusChanged(progress);
    emit refreshProgress(position, total);
}

void QueryEngine::endRefreshRun(bool stopped)
{
    std::unique_ptr<RefreshRun> run = std::move(m_run);
    if (!run)
        return;
    m_pool->abortAll();
    m_pingBatch->abortAll();
    // Rows still being asked or pinged get back their states from before.
    ServerListModel *view = list(run->page).view;
    for (const auto &entry : run->asking)
        restoreState(view, entry.second);
    for (const auto &entry : run->pinging)
        restoreState(view, entry.second);
    m_refreshActive = false;
    if (run->ended)
        run->ended(stopped);
    emit refreshRunEnded();
}

} // namespace orv::engine
