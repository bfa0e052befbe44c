// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/queryengine.h"

#include <algorithm>
#include <unordered_set>

#include <QTimer>

#include "orv/engine/ping.h"
#include "orv/engine/pingbatch.h"
#include "orv/engine/refreshrun.h"
#include "orv/engine/textutil.h"

namespace orv::engine {

namespace {} // namespace

QueryEngine::QueryEngine(QObject *parent)
    : QObject(parent)
    , ServerLists(this)
    , m_pool(new ExchangePool(this))
    , m_infoPool(new ExchangePool(this))
    , m_pingBatch(new PingBatch(this))
{
    const auto requesting = [this](const QString &address) {
        EngineStatus status;
        status.kind = EngineStatus::Kind::Requesting;
        status.address = address;
        emit statusChanged(status);
    };
    for (ExchangePool *pool : {m_pool, m_infoPool}) {
        pool->setStoreProvider([this] { return &currentList().replies; });
        connect(pool, &ExchangePool::logLine, this, &QueryEngine::logLine);
        connect(pool, &ExchangePool::requesting, this, requesting);
    }
    connect(m_pool, &ExchangePool::finished, this, &QueryEngine::onRefreshExchangeFinished);
    connect(m_infoPool, &ExchangePool::finished, this, &QueryEngine::onInfoExchangeFinished);
}

QueryEngine::~QueryEngine() = default;

void QueryEngine::setCurrentPage(ServerPage page)
{
    if (page == currentPage())
        return;
    stopRefresh();
    changeCurrentPage(page);
}

void QueryEngine::stopRefresh()
{
    if (m_run)
        endRefreshRun(true);
    m_refreshActive = false;
}

void QueryEngine::setRowWording(ServerListModel::RowWording rowCaption, ServerListModel::ColumnWording columnCaption)
{
    for (const ServerPage page : {ServerPage::Internet, ServerPage::Local, ServerPage::Favorites})
        list(page).view->setWording(rowCaption, columnCaption);
}

void QueryEngine::setCheckerRunning(bool running, bool replaceInChecker)
{
    m_checkerRunning = running;
    m_replaceInChecker = replaceInChecker;
}

ValueReplacer QueryEngine::activeReplacer() const
{
    if (m_checkerRunning && !m_replaceInChecker)
        return {};
    return m_replacer;
}

quint16 QueryEngine::ping(const QString &address, const ExchangeResult &exchange) const
{
    if (const auto echo = m_pinger ? m_pinger(address) : EchoHost(address))
        return *echo;
    // No echo can be sent from here (no ICMP on this system, or no permission for it): the
    // time the server took to answer its query stands in, so an answering server is not
    // shown as unreachable.
    return exchange.roundTripMs ? static_cast<quint16>(*exchange.roundTripMs & 0xFFFF) : kNoPing;
}

ServerInfo QueryEngine::DecodeServerInfo(const ServerAddress &server)
{
    return orv::engine::DecodeServerInfo(currentList().replies, server, activeReplacer(),
                                         [this](const QString &line) { emit logLine(line); });
}

void QueryEngine::QueryServer(const ServerAddress &server, const QByteArray &request, QObject *context, QueryDone done)
{
    const auto id = m_infoPool->start(server, request, options());
    if (id && !m_infoPool->isInFlight(server))
        return; // cancelled by a receiver of its first log lines
    if (!id) {
        QTimer::singleShot(0, context, [done = std::move(done)] {
            done(platform::Error{static_cast<int>(ExchangeError::Busy), QStringLiteral("A query is already running.")});
        });
        return;
    }
    // The server checker asks the same servers again and again; without this the store
    // would grow for as long as it runs. The new answer replaces the old one, as after
    // Refresh Current.
    currentList().replies.RemoveReplies(ReplyStore::serverKey(server));
    m_infoQueries.emplace(*id, InfoQuery{server, context, std::move(done)});
}

void QueryEngine::cancelQueries(const QObject *context)
{
    for (auto it = m_infoQueries.begin(); it != m_infoQueries.end();) {
        if (it->second.context == context || !it->second.context) {
            m_infoPool->abort(it->first);
            it = m_infoQueries.erase(it);
        } else {
            ++it;
        }
    }
}

void QueryEngine::onInfoExchangeFinished(quint64 id, const platform::Result<ExchangeResult> &result)
{
    const auto it = m_infoQueries.find(id);
    if (it == m_infoQueries.end())
        return;
    InfoQuery asked = std::move(it->second);
    m_infoQueries.erase(it);
    if (!asked.context)
        return;
    if (!result) {
        asked.done(result.error());
        return;
    }
    const ServerAddress &server = asked.server;
    ServerQuery query;
    query.server = server;
    query.exchange = result.value();
    query.info = DecodeServerInfo(server);
    query.info.ping = ping(server.addressText(), query.exchange);
    query.complete = query.exchange.received == query.exchange.expected;
    query.reportedPort = parsePortNumber(query.info.hostport).value_or(server.gamePort);
    emit serverQueried(query, -1);
    asked.done(query);
}

bool QueryEngine::rowUpdate(ServerPage page, const ServerAddress &server, const ExchangeResult &exchange,
                            ServerQuery &query, int &updatedRow, std::optional<quint16> measuredPing)
{
    // The row was found before sending, but the view may have been rebuilt or re-sorted
    // while the exchange waited: find it again, and skip it when it is gone.
    ServerListModel *view = list(page).view;
    const auto row = view->FindRow(server);
    if (!row)
        return false;
    updatedRow = *row;

    const EngineOptions now = options();
    if (isDeadAnswer(exchange, now)) {
        markDead(view, *row, server.addressText(), favorites().contains(server));
        query.reportedPort = server.gamePort;
        return true;
    }

    ServerEntry entry = view->row(*row);
    const QString address = server.addressText();
    ServerInfo info = DecodeServerInfo(server);
    quint16 measured = kNoPing;
    if (now.usePing) {
        measured = measuredPing ? *measuredPing : ping(address, exchange);
        info.ping = measured;
    } else {
        info.ping = 0;
    }
    emit logLine(QStringLiteral("Host:") + address + QStringLiteral(" Ping=") + QString::number(measured));

    entry.caption = info.hostname;
    entry.state = exchange.received < exchange.expected ? RowState::Incomplete : RowState::Answered;
    entry.fillFrom(info);
    // The row now names the server by the game port it reported (when that is a port); its
    // answers follow, so that showing the row's players finds them.
    const ServerAddress reported = entry.address.value_or(server);
    entry.icon = iconFor(static_cast<RowIcon>(PingClass(info.ping)), favorites().contains(reported));
    query.reportedPort = reported.gamePort;
    list(page).replies.renameKey(ReplyStore::serverKey(server), ReplyStore::serverKey(reported));
    EngineStatus status;
    status.kind = EngineStatus::Kind::Answered;
    status.address = address;
    status.hostname = info.hostname;
    emit statusChanged(status);
    query.info = std::move(info);
    view->setRow(*row, std::move(entry));
    return true;
}

void QueryEngine::markDead(ServerListModel *view, int row, const QString &address, bool favorite)
{
    ServerEntry entry = view->row(row);
    entry.state = RowState::Dead;
    entry.icon = iconFor(RowIcon::Dead, favorite);
    view->setRow(row, std::move(entry));
    EngineStatus status;
    status.kind = EngineStatus::Kind::Dead;
    status.address = address;
    emit statusChanged(status);
}

void QueryEngine::markUnaddressed(ServerPage page, const AddressWords &words)
{
    ServerListModel *view = list(page).view;
    const auto row = view->FindUnaddressedRow(words);
    if (!row)
        return;
    emit logLine(sendRequestLine(words, 1));
    emit logLine(QStringLiteral("Error when UDP send data"));
    markDead(view, *row, words.address, favorites().FindAddress(words));
    emit unaddressedRowDead(words, *row);
}

bool QueryEngine::isDeadAnswer(const ExchangeResult &exchange, const EngineOptions &options)
{
    return exchange.received == 0 || (exchange.received != exchange.expected && !options.allowNotfull);
}

void QueryEngine::rebuildList(ServerPage source, bool refresh)
{
    AddressList &addresses = addressesOf(source);
    hiddenRowsOf().clear();
    emit filterEnabledChanged(false);

    if (m_refreshActive) {
        // Pressed while a refresh runs, the command stops it; the run's own ending puts the
        // window back (sorted list, filter on, Refresh caption).
        const bool listRun = m_run && m_run->servers.empty();
        stopRefresh();
        if (listRun)
            return;
    } else if (!addresses.isEmpty()) {
        reloadFavorites();
        const ServerPage page = currentPage();
        ServerList &current = list(page);
        emit refreshRunningChanged(true);
        current.view->clear();
        emit playersListCleared();
        current.replies.clear();
        addresses.sortIgnoringCase();

        std::vector<ServerEntry> rows;
        rows.reserve(static_cast<size_t>(addresses.size()));
        const std::unordered_set<ServerAddress> favoriteServers = favorites().servers();
        for (const QString &line : addresses.lines()) {
            if (!AddressList::isServerLine(line))
                continue;
            const AddressWords words = AddressList::parseLine(line);
            ServerEntry entry = ServerEntry::rebuilt(words, false);
            const bool favorite =
                entry.address ? favoriteServers.count(*entry.address) != 0 : favorites().FindAddress(words);
            entry.icon = iconFor(RowIcon::NoPing, favorite);
            rows.push_back(std::move(entry));
        }
        current.view->setRows(std::move(rows));
        EngineStatus listed;
        listed.kind = EngineStatus::Kind::Listed;
        listed.total = addresses.size();
        emit statusChanged(listed);

        QStringList normalised;
        normalised.reserve(current.view->size());
        for (const ServerEntry &entry : current.view->rows())
            normalised.append(entry.words().toLine());
        addresses.setLines(std::move(normalised));

        if (refresh) {
            emit busyChanged(true);
            startRefreshRun(source, queriesAtOnce(), {}, [this, page](bool) {
                emit refreshPassEnded();
                emit busyChanged(false);
                emit refreshRunFinished();
                sortView(page);
                emit refreshRunningChanged(false);
                emit filterEnabledChanged(true);
            });
            return;
        }
        sortView(page);
    }
    emit refreshRunningChanged(false);
    emit filterEnabledChanged(true);
}

int QueryEngine::queriesAtOnce() const
{
    return std::clamp(options().queriesAtOnce, kQueriesAtOnceRange.least, kQueriesAtOnceRange.most);
}

void QueryEngine::RefreshList(ServerPage page)
{
    if (addressesOf(page).isEmpty())
        return;
    startRefreshRun(page, queriesAtOnce(), {}, {});
}

void QueryEngine::RefreshSelected(int row)
{
    ServerListModel *view = currentList().view;
    if (row < 0 || row >= view->size())
        return;
    const ServerEntry &entry = view->row(row);
    if (entry.address) {
        refreshSelectedNow(*entry.address);
        return;
    }
    // Nothing can be asked: the row is dead at once and no players are shown.
    stopRefresh();
    markUnaddressed(currentPage(), entry.words());
    emit playersListCleared();
    emit refreshRunEnded();
}

void QueryEngine::refreshSelectedNow(const ServerAddress &server)
{
    currentList().replies.RemoveReplies(ReplyStore::serverKey(server));
    startRefreshRun(currentPage(), 1, {server}, [this, server](bool stopped) {
        emit playersListCleared();
        if (!stopped)
            emit selectedServerRefreshed(server);
    });
}

void QueryEngine::refreshAction()
{
    rebuildList(currentPage(), true);
}

void QueryEngine::requestClose()
{
    if (!m_refreshActive)
        return;
    m_exitPending = true;
    stopRefresh();
}

} // namespace orv::engine
