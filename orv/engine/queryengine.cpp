// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/queryengine.h"

#include <algorithm>

#include <QCoreApplication>

#include "orv/engine/exchangepool.h"
#include "orv/engine/parallelrun.h"
#include "orv/engine/ping.h"
#include "orv/engine/pingbatch.h"
#include "orv/engine/teamsquery.h"
#include "orv/engine/textutil.h"

namespace orv::engine {

namespace {

constexpr int kNoRowError = 10;

const QString kDead = QStringLiteral("Server is dead.");

void pumpEvents()
{
    QCoreApplication::processEvents();
}

} // namespace

QueryEngine::QueryEngine(QObject *parent)
    : QObject(parent)
    , m_exchange(new QueryExchange(this))
    , m_pool(new ExchangePool(this))
    , m_pingBatch(new PingBatch(this))
{
    static const char *const captions[kServerPages] = {"Internet", "Local", "Favorites"};
    for (size_t i = 0; i < m_lists.size(); ++i) {
        m_lists[i].caption = QString::fromLatin1(captions[i]);
        m_lists[i].view = new ServerListModel(this);
    }
    m_exchange->setStoreProvider([this] { return &currentList().replies; });
    connect(m_exchange, &QueryExchange::logLine, this, &QueryEngine::logLine);
    const auto requesting = [this](const QString &address) {
        EngineStatus status;
        status.kind = EngineStatus::Kind::Requesting;
        status.address = address;
        emit statusChanged(status);
    };
    connect(m_exchange, &QueryExchange::requesting, this, requesting);
    m_pool->setStoreProvider([this] { return &currentList().replies; });
    connect(m_pool, &ExchangePool::logLine, this, &QueryEngine::logLine);
    connect(m_pool, &ExchangePool::requesting, this, requesting);
    connect(m_pool, &ExchangePool::finished, this, &QueryEngine::onParallelExchangeFinished);
}

QueryEngine::~QueryEngine() = default;

AddressList &QueryEngine::addressesOf(ServerPage page)
{
    return page == ServerPage::Favorites ? m_favorites.addresses() : list(page).addresses;
}

const AddressList &QueryEngine::addressesOf(ServerPage page) const
{
    return page == ServerPage::Favorites ? m_favorites.addresses() : list(page).addresses;
}

void QueryEngine::setAddresses(ServerPage page, AddressList addresses)
{
    addressesOf(page) = std::move(addresses);
}

bool QueryEngine::addAddress(ServerPage page, const ServerAddress &server)
{
    AddressList &addresses = addressesOf(page);
    if (addresses.FindAddress(server.address, server.gamePort, server.queryPort))
        return false;
    addresses.append(server.toLine());
    return true;
}

void QueryEngine::clearReplies(ServerPage page)
{
    list(page).replies.clear();
}

void QueryEngine::appendReply(ServerPage page, const QByteArray &line)
{
    list(page).replies.append(line);
}

void QueryEngine::setReplies(ServerPage page, QList<QByteArray> lines)
{
    list(page).replies.setLines(std::move(lines));
}

void QueryEngine::setRows(ServerPage page, std::vector<ServerEntry> rows)
{
    list(page).view->setRows(std::move(rows));
}

void QueryEngine::setRow(ServerPage page, int row, ServerEntry entry)
{
    ServerListModel *view = list(page).view;
    if (row >= 0 && row < view->size())
        view->setRow(row, std::move(entry));
}

bool QueryEngine::appendRow(ServerPage page, ServerEntry entry)
{
    return list(page).view->appendRow(std::move(entry));
}

void QueryEngine::removeRow(ServerPage page, int row)
{
    ServerListModel *view = list(page).view;
    if (row >= 0 && row < view->size())
        view->removeRowAt(row);
}

void QueryEngine::clearRows(ServerPage page)
{
    list(page).view->clear();
}

void QueryEngine::setFavoriteMark(ServerPage page, int row, bool favorite)
{
    ServerListModel *view = list(page).view;
    if (row < 0 || row >= view->size())
        return;
    ServerEntry entry = view->row(row);
    entry.icon = withFavoriteMark(entry.icon, favorite);
    view->setRow(row, std::move(entry));
}

int QueryEngine::moveHiddenRows(ServerPage page, const RowPass &pass)
{
    ServerListModel *view = list(page).view;
    std::vector<ServerEntry> rows = view->rows();
    const int moved = pass(rows, m_hiddenRows);
    if (moved > 0)
        view->setRows(std::move(rows));
    return moved;
}

void QueryEngine::sortBy(ServerPage page, int column, Qt::SortOrder order)
{
    ServerList &l = list(page);
    l.sortColumn = column;
    l.sortOrder = order;
    sortView(page);
}

void QueryEngine::setCurrentPage(ServerPage page)
{
    if (page == m_currentPage)
        return;
    m_refreshActive = false;
    stopParallelRun();
    m_currentPage = page;
}

void QueryEngine::stopRefresh()
{
    m_refreshActive = false;
    stopParallelRun();
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

ServerInfo QueryEngine::DecodeServerInfo(const QString &address, const QString &gamePort, const QString &queryPort)
{
    return orv::engine::DecodeServerInfo(currentList().replies, address, gamePort, queryPort, activeReplacer(),
                                         [this](const QString &line) { emit logLine(line); });
}

platform::Result<QString> QueryEngine::QueryServer(const QString &address, const QString &gamePort,
                                                   const QString &queryPort, const QByteArray &request)
{
    if (m_exchange->isBusy())
        return platform::Error{static_cast<int>(ExchangeError::Busy), QStringLiteral("A query is already running.")};
    const ServerAddress server{address, gamePort, queryPort};
    const ServerPage page = m_currentPage;
    ServerListModel *view = list(page).view;
    const auto row = view->FindRow(address, gamePort, queryPort);
    if (!row)
        return platform::Error{kNoRowError, QStringLiteral("The server is not in the view.")};
    ServerEntry entry = view->row(*row);
    const QString captionBefore = entry.caption;
    entry.caption = QStringLiteral("Processing..");
    view->setRow(*row, std::move(entry));

    auto exchange = m_exchange->run(server, request, options());
    if (!exchange) {
        // The server is skipped; its row must not keep claiming that it is being processed.
        ServerListModel *after = list(page).view;
        if (const auto again = after->FindRow(address, gamePort, queryPort)) {
            ServerEntry restored = after->row(*again);
            restored.caption = captionBefore;
            after->setRow(*again, std::move(restored));
        }
        runDeferred();
        return exchange.error();
    }

    // Teams follow-up: a patched server playing a team game tells its teams only when asked.
    // Its answer joins the status answer in the store; without one nothing changes.
    if (request == kStatusRequest && !isDeadAnswer(exchange.value(), options()) &&
        asksForTeams(currentList().replies, server))
        static_cast<void>(m_exchange->run(server, QByteArray(kTeamsRequest), options()));

    ServerQuery query;
    query.server = server;
    query.exchange = exchange.value();
    query.complete = query.exchange.received == query.exchange.expected;
    int updatedRow = -1;
    const bool rowFound = rowUpdate(page, server, query.exchange, query, updatedRow);
    if (rowFound)
        emit serverQueried(query, updatedRow);
    runDeferred();
    if (!rowFound)
        return platform::Error{kNoRowError, QStringLiteral("The server left the view during the query.")};
    return query.reportedPort;
}

platform::Result<ServerQuery> QueryEngine::queryServerInfo(const ServerAddress &server, const QByteArray &request)
{
    if (m_exchange->isBusy())
        return platform::Error{static_cast<int>(ExchangeError::Busy), QStringLiteral("A query is already running.")};
    // The server checker asks the same servers again and again; without this the store
    // would grow for as long as it runs. The new answer replaces the old one, as after
    // Refresh Current.
    currentList().replies.RemoveReplies(ReplyStore::serverKey(server.address, server.gamePort, server.queryPort));

    auto exchange = m_exchange->run(server, request, options());
    if (!exchange) {
        runDeferred();
        return exchange.error();
    }
    ServerQuery query;
    query.server = server;
    query.exchange = exchange.value();
    query.info = DecodeServerInfo(server.address, server.gamePort, server.queryPort);
    query.info.ping = ping(server.address, query.exchange);
    query.complete = query.exchange.received == query.exchange.expected;
    query.reportedPort = query.info.hostport;
    emit serverQueried(query, -1);
    runDeferred();
    return query;
}

bool QueryEngine::rowUpdate(ServerPage page, const ServerAddress &server, const ExchangeResult &exchange,
                            ServerQuery &query, int &updatedRow, std::optional<quint16> measuredPing)
{
    // The row was found before sending, but the view may have been rebuilt or re-sorted
    // while the exchange waited: find it again, and skip it when it is gone.
    ServerListModel *view = list(page).view;
    const auto row = view->FindRow(server.address, server.gamePort, server.queryPort);
    if (!row)
        return false;
    updatedRow = *row;
    ServerEntry entry = view->row(*row);

    const EngineOptions now = options();
    if (isDeadAnswer(exchange, now)) {
        entry.caption = kDead;
        EngineStatus status;
        status.kind = EngineStatus::Kind::Dead;
        status.address = server.address;
        emit statusChanged(status);
        entry.icon = iconFor(RowIcon::Dead, favorites().FindAddress(server.address, server.gamePort, server.queryPort));
        query.reportedPort = server.gamePort;
        view->setRow(*row, std::move(entry));
        return true;
    }

    ServerInfo info = DecodeServerInfo(server.address, server.gamePort, server.queryPort);
    quint16 measured = kNoPing;
    if (now.usePing) {
        measured = measuredPing ? *measuredPing : ping(server.address, exchange);
        info.ping = measured;
    } else {
        info.ping = 0;
    }
    emit logLine(QStringLiteral("Host:") + server.address + QStringLiteral(" Ping=") + QString::number(measured));

    entry.caption = info.hostname;
    if (exchange.received < exchange.expected)
        entry.caption += QStringLiteral("( Information not complete. )");
    const bool favorite = favorites().FindAddress(server.address, info.hostport, server.queryPort);
    entry.icon = iconFor(static_cast<RowIcon>(PingClass(info.ping)), favorite);
    entry.fillFrom(info);
    query.reportedPort = info.hostport;
    // The row now names the server by the game port it reported; its answers follow, so
    // that showing the row's players finds them.
    list(page).replies.renameKey(ReplyStore::serverKey(server.address, server.gamePort, server.queryPort),
                                 ReplyStore::serverKey(server.address, info.hostport, server.queryPort));
    EngineStatus status;
    status.kind = EngineStatus::Kind::Answered;
    status.address = server.address;
    status.hostname = info.hostname;
    emit statusChanged(status);
    query.info = std::move(info);
    view->setRow(*row, std::move(entry));
    return true;
}

bool QueryEngine::isDeadAnswer(const ExchangeResult &exchange, const EngineOptions &options)
{
    return exchange.received == 0 || (exchange.received != exchange.expected && !options.allowNotfull);
}

void QueryEngine::rebuildList(ServerPage source, bool refresh)
{
    AddressList &addresses = addressesOf(source);
    m_hiddenRows.clear();
    emit filterEnabledChanged(false);

    if (m_refreshActive) {
        m_refreshActive = false;
        stopParallelRun();
        sortView(m_currentPage);
        emit filterEnabledChanged(true);
        emit refreshRunningChanged(false);
        emit busyChanged(false);
        pumpEvents();
    } else if (!addresses.isEmpty()) {
        reloadFavorites();
        const ServerPage page = m_currentPage;
        ServerList &current = list(page);
        emit refreshRunningChanged(true);
        current.view->clear();
        emit playersListCleared();
        current.replies.clear();
        addresses.sortIgnoringCase();

        std::vector<ServerEntry> rows;
        rows.reserve(static_cast<size_t>(addresses.size()));
        for (const QString &line : addresses.lines()) {
            if (!AddressList::isServerLine(line))
                continue;
            const ServerAddress server = AddressList::parseLine(line);
            rows.push_back(ServerEntry::rebuilt(
                server, favorites().FindAddress(server.address, server.gamePort, server.queryPort)));
        }
        current.view->setRows(std::move(rows));
        EngineStatus listed;
        listed.kind = EngineStatus::Kind::Listed;
        listed.total = addresses.size();
        emit statusChanged(listed);

        QStringList normalised;
        normalised.reserve(current.view->size());
        for (const ServerEntry &entry : current.view->rows())
            normalised.append(entry.server().toLine());
        addresses.setLines(std::move(normalised));

        if (refresh) {
            emit busyChanged(true);
            m_refreshDeferred = false;
            RefreshList(source);
            emit refreshPassEnded();
            emit busyChanged(false);
            // A deferred refresh finishes (exit, sound) when it has really run.
            if (!m_refreshDeferred)
                finishRefreshRun();
        }
        sortView(page);
    }
    emit refreshRunningChanged(false);
    emit filterEnabledChanged(true);
}

void QueryEngine::finishRefreshRun()
{
    if (m_exitPending)
        emit exitRequested();
    emit refreshRunFinished();
}

void QueryEngine::RefreshList(ServerPage page)
{
    AddressList &addresses = addressesOf(page);
    if (addresses.isEmpty())
        return;
    if (m_exchange->isBusy() || m_parallel) {
        // Asked from inside another exchange's wait (a page opened during Refresh Current,
        // say): the socket and counters are taken, so refresh once that exchange is over.
        m_refreshDeferred = true;
        m_deferred.push_back([this, page] { refreshDeferred(page); });
        return;
    }
    if (const int atOnce = std::clamp(options().queriesAtOnce, kQueriesAtOnceRange.least, kQueriesAtOnceRange.most);
        atOnce > 1) {
        refreshListParallel(page, atOnce);
        return;
    }
    m_refreshActive = true;
    pumpEvents();
    const qsizetype count = addresses.size();
    for (qsizetype n = 0; n < count; ++n) {
        if (!m_refreshActive)
            return;
        if (n >= addresses.size())
            break;
        const QString line = addresses.lines().at(n);
        if (!AddressList::isServerLine(line))
            continue;
        EngineStatus progress;
        progress.kind = EngineStatus::Kind::Progress;
        progress.position = n + 1;
        progress.total = count;
        emit statusChanged(progress);
        emit refreshProgress(n + 1, count);
        const ServerAddress server = AddressList::parseLine(line);
        const auto reported =
            QueryServer(server.address, server.gamePort, server.queryPort, QByteArray(kStatusRequest));
        // The list may have been rebuilt during the wait; only the line that was asked
        // about is rewritten.
        if (reported && n < addresses.size() && addresses.lines().at(n) == line)
            addresses.lines()[n] =
                server.address + QLatin1Char(' ') + reported.value() + QLatin1Char(' ') + server.queryPort;
    }
    m_refreshActive = false;
    pumpEvents();
}

void QueryEngine::refreshDeferred(ServerPage page)
{
    if (page != m_currentPage)
        return;
    emit refreshRunningChanged(true);
    emit busyChanged(true);
    RefreshList(page);
    emit refreshPassEnded();
    emit busyChanged(false);
    finishRefreshRun();
    sortView(page);
    emit refreshRunningChanged(false);
}

void QueryEngine::RefreshSelected(int row)
{
    ServerListModel *view = currentList().view;
    if (row < 0 || row >= view->size())
        return;
    const ServerAddress server = view->row(row).server();
    if (m_exchange->isBusy() || m_parallel) {
        // Queue it behind the exchange in progress. A list refresh stops after that
        // server, exactly as it would after a Refresh Current run at once; one with
        // several servers in flight stops them all.
        m_refreshActive = false;
        stopParallelRun();
        m_deferred.push_back([this, server] { refreshSelectedNow(server); });
        return;
    }
    refreshSelectedNow(server);
}

void QueryEngine::refreshSelectedNow(const ServerAddress &server)
{
    m_refreshActive = true;
    currentList().replies.RemoveReplies(ReplyStore::serverKey(server.address, server.gamePort, server.queryPort));
    (void)QueryServer(server.address, server.gamePort, server.queryPort, QByteArray(kStatusRequest));
    emit playersListCleared();
    emit selectedServerRefreshed(server);
    m_refreshActive = false;
}

void QueryEngine::refreshAction()
{
    rebuildList(m_currentPage, true);
}

void QueryEngine::requestClose()
{
    if (!m_refreshActive)
        return;
    m_refreshActive = false;
    stopParallelRun();
    m_exitPending = true;
}

void QueryEngine::sortView(ServerPage page)
{
    ServerList &l = list(page);
    l.view->sort(l.sortColumn, l.sortOrder);
}

void QueryEngine::reloadFavorites()
{
    // The favorite marks of the rebuilt rows follow the file as it is now; a file that
    // cannot be read leaves the favorites as they were.
    (void)m_favorites.reload();
}

void QueryEngine::runDeferred()
{
    if (m_exchange->isBusy())
        return;
    while (!m_deferred.empty()) {
        auto work = std::move(m_deferred.front());
        m_deferred.erase(m_deferred.begin());
        work();
    }
}

} // namespace orv::engine
