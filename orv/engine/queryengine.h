// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QString>

#include "orv/engine/engineoptions.h"
#include "orv/engine/exchangepool.h"
#include "orv/engine/favoritesstore.h"
#include "orv/engine/replydecoder.h"
#include "orv/engine/serverinfo.h"
#include "orv/engine/serverlist.h"
#include "orv/engine/serverlists.h"
#include "platform/result.h"

namespace orv::engine {

// What the status bar shows about the engine's work, as data: panel 0 counts the list
// (Listed, Progress), panel 1 follows the server being asked (Requesting, Dead, Answered).
// The front end words it.
struct EngineStatus
{
    enum class Kind { Listed, Progress, Requesting, Dead, Answered };

    Kind kind = Kind::Listed;
    QString address;        // Requesting, Dead, Answered
    QString hostname;       // Answered
    qsizetype position = 0; // Progress: the line being asked, counted from 1
    qsizetype total = 0;    // Listed, Progress: the lines of the list

    int panel() const { return kind == Kind::Listed || kind == Kind::Progress ? 0 : 1; }
};

// One query of a server, as a value: the decoded record (pinged), whether every packet
// the server announced arrived, the exchange's own result and the game port to keep for
// the server: the one it reported when that is a port number, else the one asked on.
struct ServerQuery
{
    ServerAddress server;
    ServerInfo info;
    bool complete = false;
    ExchangeResult exchange;
    quint16 reportedPort = 0;
};

// The query engine of the browser: the three server lists and the favorites (ServerLists),
// the query exchanges and the refresh of whole lists or of one server. Everything runs on the
// user-interface thread and nothing waits: a refresh is a run driven by the exchanges'
// results, started by a command that returns at once and reported through signals, and it
// is stopped from any command by clearing RefreshActive (stopRefresh()).
//
// The engine owns its lists: callers read them through const views and change them through
// the named operations below. It knows nothing of windows: the options are set on it as
// one value whenever the user applies a change, and it reports log lines, the status as data, the refresh state and
// progress, and the exit request through signals.
class ExchangePool;
class PingBatch;

class QueryEngine : public QObject, public ServerLists
{
    Q_OBJECT

public:
    // The echo round trip of an answering server in milliseconds (9999 when no echo came
    // back); std::nullopt where no echo can be sent at all, and the ping is then the round
    // trip of the server's query exchange.
    using Pinger = std::function<std::optional<quint16>(const QString &address)>;

    static constexpr const char *kStatusRequest = "\\status\\";
    static constexpr const char *kInfoRequest = "\\info\\";

    explicit QueryEngine(QObject *parent = nullptr);
    ~QueryEngine() override;

    // Showing another page stops a running refresh.
    void setCurrentPage(ServerPage page);

    // Collaborators and options.
    const EngineOptions &options() const { return m_options; }
    // The options window sets them whenever the user applies a change; a refresh in
    // progress uses them from the next server on.
    void setOptions(const EngineOptions &options) { m_options = options; }
    // The words of the rows' first column and of the column headers, for every list.
    void setRowWording(ServerListModel::RowWording rowCaption, ServerListModel::ColumnWording columnCaption);
    // Replaces the ICMP echo of EchoHost().
    void setPinger(Pinger pinger) { m_pinger = std::move(pinger); }
    // The user's replacement of reported values, applied while no checker run is going on,
    // and during one only when it asks for it.
    void setValueReplacer(ValueReplacer replacer) { m_replacer = std::move(replacer); }
    void setCheckerRunning(bool running, bool replaceInChecker);
    bool isCheckerRunning() const { return m_checkerRunning; }

    // What a query of one server gave, reported from the event loop.
    using QueryDone = std::function<void(const platform::Result<ServerQuery> &result)>;
    // One server asked without touching any row, as the checker, the local discovery and a
    // game link ask: its earlier answer in the current list's store is replaced, and the
    // answer is decoded and pinged (whatever the options say) into the reported value.
    // done is called once, later, from the event loop; never when context is destroyed
    // first or the query is cancelled. A query of a server already being asked the same way
    // fails with ExchangeError::Busy.
    void QueryServer(const ServerAddress &server, const QByteArray &request, QObject *context, QueryDone done);
    // Ends the queries asked for context without reporting them (the checker's Stop).
    void cancelQueries(const QObject *context);
    // Decodes one server from the reply store of the current list.
    ServerInfo DecodeServerInfo(const ServerAddress &server);

    // Refresh scheduling. Every command returns at once; the run that it starts ends by
    // itself (refreshRunningChanged(false) for the whole list) or when it is stopped.
    // RebuildList rebuilds the current view from the page's addresses, and refreshes it when
    // the options say so.
    void RebuildList(ServerPage page) { rebuildList(page, options().alwaysRefresh); }
    // Asks every server line of the page, "Queries at once" of them in flight; a run in
    // progress is stopped first.
    void RefreshList(ServerPage page);
    // Refresh Current: the server of the row is asked again and its players shown. A list
    // refresh in progress is stopped first.
    void RefreshSelected(int row);
    // The Refresh command: rebuild the current page with refreshing forced on; pressed
    // while a refresh runs, it stops it.
    void refreshAction();
    bool isRefreshActive() const { return m_refreshActive; }
    // Ends the run in progress at once: the exchanges and echoes in flight are dropped and
    // their rows get back what they showed before.
    void stopRefresh();
    bool isExitPending() const { return m_exitPending; }
    // The main window's close request: a running refresh is stopped at once and ExitPending
    // is set, so that a checking run ends without its actions; the caller goes on closing.
    void requestClose();

signals:
    void logLine(const QString &line);
    void statusChanged(const orv::engine::EngineStatus &status);
    // A rebuild or refresh of a list began (true) or ended (false); the Refresh command
    // stops it while it runs.
    void refreshRunningChanged(bool running);
    // The server at position (from 1) of total is being asked in a list refresh.
    void refreshProgress(qsizetype position, qsizetype total);
    // A list refresh has gone through its servers (or was stopped).
    void refreshPassEnded();
    // The tray's busy state: on while a list is refreshed.
    void busyChanged(bool busy);
    void filterEnabledChanged(bool enabled);
    void playersListCleared();
    // Refresh Current has finished with this server: the front end shows its players.
    void selectedServerRefreshed(const orv::engine::ServerAddress &server);
    // A list refresh has run to its end or was stopped; the front end may sound it.
    void refreshRunFinished();
    // A refresh run of any kind (RefreshList, RebuildList, Refresh Current) is over, stopped
    // or not, and everything it reports has been reported.
    void refreshRunEnded();
    // A query has finished: what it gave and the row it updated in the current view (-1
    // without a row update). After a row refresh of a server that did not answer, the
    // record is empty and its ping kNoPing.
    void serverQueried(const orv::engine::ServerQuery &query, int row);
    // A row whose line names no server was reached by a refresh and is now dead, unasked.
    void unaddressedRowDead(const orv::engine::AddressWords &words, int row);

private:
    // measuredPing: the ping taken already (a concurrent refresh pings on its own), or
    // nothing to ping here when the options ask for it.
    bool rowUpdate(ServerPage page, const ServerAddress &server, const ExchangeResult &exchange, ServerQuery &query,
                   int &updatedRow, std::optional<quint16> measuredPing = std::nullopt);
    // A row whose line names no server cannot be asked: the attempt is logged as a send
    // that failed, and the row is dead at once.
    void markUnaddressed(ServerPage page, const AddressWords &words);
    // The row turns dead: its state, icon and the status line say so.
    void markDead(ServerListModel *view, int row, const QString &address, bool favorite);
    static bool isDeadAnswer(const ExchangeResult &exchange, const EngineOptions &options);
    ValueReplacer activeReplacer() const;
    // The echo's round trip, or the exchange's own where no echo can be sent.
    quint16 ping(const QString &address, const ExchangeResult &exchange) const;
    void rebuildList(ServerPage page, bool refresh);
    void refreshSelectedNow(const ServerAddress &server);
    int queriesAtOnce() const;
    void onInfoExchangeFinished(quint64 id, const platform::Result<ExchangeResult> &result);

    // The refresh run (refreshrun.cpp): the page's lines, or the servers named, asked with
    // up to atOnce in flight. ended runs once when the run is over, stopped or not.
    struct RefreshRun;
    void startRefreshRun(ServerPage page, int atOnce, std::vector<ServerAddress> servers,
                         std::function<void(bool stopped)> ended);
    void fillRefreshRun();
    // The run with this number is still the one in progress.
    bool isRunAlive(quint64 generation) const;
    void onRefreshExchangeFinished(quint64 id, const platform::Result<ExchangeResult> &result);
    void finishRefreshServer();
    void emitRefreshProgress(qsizetype position, qsizetype total);
    // Ends the run: what is in flight is dropped and its rows get back their captions, then
    // the run's ending is reported.
    void endRefreshRun(bool stopped);

    EngineOptions m_options;
    Pinger m_pinger;
    ValueReplacer m_replacer;
    bool m_checkerRunning = false;
    bool m_replaceInChecker = false;

    bool m_refreshActive = false;
    bool m_exitPending = false;

    // The refresh run's exchanges, and those of single queries (checker, discovery, links):
    // two sockets, so that stopping a refresh never touches a query asked for another window.
    ExchangePool *m_pool = nullptr;
    ExchangePool *m_infoPool = nullptr;
    struct InfoQuery
    {
        ServerAddress server;
        QPointer<QObject> context;
        QueryDone done;
    };
    std::unordered_map<quint64, InfoQuery> m_infoQueries;
    PingBatch *m_pingBatch = nullptr;
    std::unique_ptr<RefreshRun> m_run;
    quint64 m_runGeneration = 0;
};

} // namespace orv::engine
