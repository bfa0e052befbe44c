// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/queryengine.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

#include "orv/engine/ping.h"
#include "orv/engine/textutil.h"
#include "platform/paths.h"

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
{
    static const char *const captions[kServerPages] = {"Internet", "Local", "Favorites"};
    for (size_t i = 0; i < m_lists.size(); ++i) {
        m_lists[i].caption = QString::fromLatin1(captions[i]);
        m_lists[i].view = new ServerListModel(this);
    }
    m_exchange->setStoreProvider([this] { return &currentList().replies; });
    connect(m_exchange, &QueryExchange::logLine, this, &QueryEngine::logLine);
    connect(m_exchange, &QueryExchange::statusChanged, this, &QueryEngine::statusChanged);
}

QueryEngine::~QueryEngine() = default;

void QueryEngine::setCurrentPage(ServerPage page)
{
    if (page == m_currentPage)
        return;
    m_refreshActive = false;
    m_currentPage = page;
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

quint16 QueryEngine::ping(const QString &address) const
{
    return m_pinger ? m_pinger(address) : PingHost(address);
}

ServerInfo QueryEngine::DecodeServerInfo(const QString &address, const QString &gamePort, const QString &queryPort)
{
    return orv::engine::DecodeServerInfo(currentList().replies, address, gamePort, queryPort, activeReplacer(),
                                         [this](const QString &line) { emit logLine(line); });
}

platform::Result<QString> QueryEngine::QueryServer(const QString &address, const QString &gamePort,
                                                   const QString &queryPort, const QByteArray &request, bool updateRow)
{
    if (m_exchange->isBusy())
        return platform::Error{static_cast<int>(ExchangeError::Busy), QStringLiteral("A query is already running.")};
    const ServerAddress server{address, gamePort, queryPort};
    const ServerPage page = m_currentPage;
    QString captionBefore;
    if (updateRow) {
        ServerListModel *view = list(page).view;
        const auto row = view->FindRow(address, gamePort, queryPort);
        if (!row)
            return platform::Error{kNoRowError, QStringLiteral("The server is not in the view.")};
        ServerEntry entry = view->row(*row);
        captionBefore = entry.caption;
        entry.caption = QStringLiteral("Processing..");
        view->setRow(*row, std::move(entry));
    } else {
        // The server checker asks the same servers again and again; without this the store
        // would grow for as long as it runs. The new answer replaces the old one, as after
        // Refresh Current.
        currentList().replies.RemoveReplies(ReplyStore::serverKey(address, gamePort, queryPort));
    }

    auto exchange = m_exchange->run(server, request, m_options);
    if (!exchange) {
        // The server is skipped; its row must not keep claiming that it is being processed.
        if (updateRow) {
            ServerListModel *view = list(page).view;
            if (const auto row = view->FindRow(address, gamePort, queryPort)) {
                ServerEntry entry = view->row(*row);
                entry.caption = captionBefore;
                view->setRow(*row, std::move(entry));
            }
        }
        runDeferred();
        return exchange.error();
    }
    m_lastExchange = exchange.value();

    QString reported;
    bool rowFound = true;
    int updatedRow = -1;
    if (updateRow) {
        rowFound = rowUpdate(page, server, m_lastExchange, reported, updatedRow);
    } else {
        m_lastInfo = DecodeServerInfo(address, gamePort, queryPort);
        m_lastInfo.ping = ping(address);
        m_queryComplete = m_lastExchange.received == m_lastExchange.expected;
        reported = m_lastInfo.hostport;
    }
    if (rowFound)
        emit serverQueried(server, reported, updatedRow);
    runDeferred();
    if (!rowFound)
        return platform::Error{kNoRowError, QStringLiteral("The server left the view during the query.")};
    return reported;
}

bool QueryEngine::rowUpdate(ServerPage page, const ServerAddress &server, const ExchangeResult &exchange,
                            QString &reportedPort, int &updatedRow)
{
    // The row was found before sending, but the view may have been rebuilt or re-sorted
    // while the exchange waited: find it again, and skip it when it is gone.
    ServerListModel *view = list(page).view;
    const auto row = view->FindRow(server.address, server.gamePort, server.queryPort);
    if (!row)
        return false;
    updatedRow = *row;
    ServerEntry entry = view->row(*row);

    const bool dead = exchange.received == 0 || (exchange.received != exchange.expected && !m_options.allowNotfull);
    if (dead) {
        entry.caption = kDead;
        emit statusChanged(1, QStringLiteral("Error :") + server.address + QStringLiteral(" = ") + kDead);
        entry.icon = iconFor(RowIcon::Dead, favorites().FindAddress(server.address, server.gamePort, server.queryPort));
        reportedPort = server.gamePort;
        view->setRow(*row, std::move(entry));
        return true;
    }

    ServerInfo info = DecodeServerInfo(server.address, server.gamePort, server.queryPort);
    quint16 measured = kNoPing;
    if (m_options.usePing) {
        measured = ping(server.address);
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
    reportedPort = info.hostport;
    emit statusChanged(1, QStringLiteral("Complete :") + server.address + QStringLiteral(" = ") + info.hostname);
    m_lastInfo = std::move(info);
    view->setRow(*row, std::move(entry));
    return true;
}

void QueryEngine::RebuildList(AddressList &addresses)
{
    m_hiddenRows.clear();
    emit filterEnabledChanged(false);

    if (m_refreshActive) {
        m_refreshActive = false;
        sortView(m_currentPage);
        emit filterEnabledChanged(true);
        emit refreshCaptionChanged(QStringLiteral("Refresh"));
        emit trayAnimationChanged(false);
        pumpEvents();
    } else if (!addresses.isEmpty()) {
        reloadFavorites();
        const ServerPage page = m_currentPage;
        ServerList &current = list(page);
        emit refreshCaptionChanged(QStringLiteral("Stop refresh"));
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
        emit statusChanged(0, QStringLiteral("0 / ") + QString::number(addresses.size()));

        QStringList normalised;
        normalised.reserve(current.view->size());
        for (const ServerEntry &entry : current.view->rows())
            normalised.append(entry.server().toLine());
        addresses.setLines(std::move(normalised));

        if (m_options.alwaysRefresh) {
            emit trayAnimationChanged(true);
            m_refreshDeferred = false;
            RefreshList(addresses);
            emit trayHintChanged(QStringLiteral("Orvane (Click twice to restore window)"));
            emit trayAnimationChanged(false);
            // A deferred refresh finishes (exit, sound) when it has really run.
            if (!m_refreshDeferred)
                finishRefreshRun();
        }
        sortView(page);
    }
    emit refreshCaptionChanged(QStringLiteral("Refresh"));
    emit filterEnabledChanged(true);
}

void QueryEngine::finishRefreshRun()
{
    if (m_exitPending)
        emit exitRequested();
    if (m_trayActive && m_trayActive() && m_soundPlayer)
        m_soundPlayer(QStringLiteral("whawhaw.wav"));
}

void QueryEngine::RefreshList(AddressList &addresses)
{
    if (addresses.isEmpty())
        return;
    if (m_exchange->isBusy()) {
        // Asked from inside another exchange's wait (a page opened during Refresh Current,
        // say): the socket and counters are taken, so refresh once that exchange is over.
        for (ServerPage page : {ServerPage::Internet, ServerPage::Local, ServerPage::Favorites}) {
            if (&list(page).addresses == &addresses) {
                m_refreshDeferred = true;
                m_deferred.push_back([this, page] { refreshDeferred(page); });
                return;
            }
        }
        return;
    }
    m_refreshActive = true;
    pumpEvents();
    const qsizetype count = addresses.size();
    const QString total = QString::number(count);
    for (qsizetype n = 0; n < count; ++n) {
        if (!m_refreshActive)
            return;
        if (n >= addresses.size())
            break;
        const QString line = addresses.lines().at(n);
        if (!AddressList::isServerLine(line))
            continue;
        const QString panel = QString::number(n + 1) + QStringLiteral(" of ") + total;
        emit statusChanged(0, panel);
        emit trayHintChanged(QStringLiteral("Refresh server:") + panel);
        const ServerAddress server = AddressList::parseLine(line);
        const auto reported =
            QueryServer(server.address, server.gamePort, server.queryPort, QByteArray(kStatusRequest), true);
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
    emit refreshCaptionChanged(QStringLiteral("Stop refresh"));
    emit trayAnimationChanged(true);
    RefreshList(list(page).addresses);
    emit trayHintChanged(QStringLiteral("Orvane (Click twice to restore window)"));
    emit trayAnimationChanged(false);
    finishRefreshRun();
    sortView(page);
    emit refreshCaptionChanged(QStringLiteral("Refresh"));
}

void QueryEngine::RefreshSelected(int row)
{
    ServerListModel *view = currentList().view;
    if (row < 0 || row >= view->size())
        return;
    const ServerAddress server = view->row(row).server();
    if (m_exchange->isBusy()) {
        // Queue it behind the exchange in progress. A list refresh stops after that
        // server, exactly as it would after a Refresh Current run at once.
        m_refreshActive = false;
        m_deferred.push_back([this, server] { refreshSelectedNow(server); });
        return;
    }
    refreshSelectedNow(server);
}

void QueryEngine::refreshSelectedNow(const ServerAddress &server)
{
    m_refreshActive = true;
    currentList().replies.RemoveReplies(ReplyStore::serverKey(server.address, server.gamePort, server.queryPort));
    (void)QueryServer(server.address, server.gamePort, server.queryPort, QByteArray(kStatusRequest), true);
    emit playersListCleared();
    emit selectedServerRefreshed(server);
    m_refreshActive = false;
}

void QueryEngine::refreshAction()
{
    const bool remembered = m_options.alwaysRefresh;
    m_options.alwaysRefresh = true;
    RebuildList(currentList().addresses);
    m_options.alwaysRefresh = remembered;
}

void QueryEngine::requestClose()
{
    if (!m_refreshActive)
        return;
    m_refreshActive = false;
    m_exitPending = true;
    const auto timeout = parseWholeNumber(m_options.internetServTimeOut);
    if (timeout && *timeout > 0)
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(*timeout, 60000)));
}

void QueryEngine::sortView(ServerPage page)
{
    ServerList &l = list(page);
    l.view->sort(l.sortColumn, l.sortOrder);
}

void QueryEngine::reloadFavorites()
{
    const QString path = m_favoritesFile.isEmpty() ? platform::paths::programFolder() + QStringLiteral("/favorites.lst")
                                                   : m_favoritesFile;
    if (!QFileInfo::exists(path))
        return;
    if (auto loaded = AddressList::load(path))
        favorites() = std::move(loaded.value());
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
