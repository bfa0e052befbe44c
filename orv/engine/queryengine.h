// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>
#include <vector>

#include <QObject>
#include <QString>

#include "orv/engine/engineoptions.h"
#include "orv/engine/queryexchange.h"
#include "orv/engine/replydecoder.h"
#include "orv/engine/serverinfo.h"
#include "orv/engine/serverlist.h"
#include "platform/result.h"

namespace orv::engine {

// The query engine of the browser: the three server lists, the single query exchange and
// the refresh of whole lists or of one server. Everything runs on the user-interface
// thread; waits run nested event loops, so a refresh is stopped from any command by
// clearing RefreshActive (stopRefresh()).
//
// The engine knows nothing of windows: the caller passes the options in, and the engine
// reports log lines, status-bar texts, the refresh command's caption, the tray state and
// the exit request through signals, and plays sounds through a callback.
class QueryEngine : public QObject
{
    Q_OBJECT

public:
    using Pinger = std::function<quint16(const QString &address)>;
    using SoundPlayer = std::function<void(const QString &fileName)>;
    using TrayQuery = std::function<bool()>;

    static constexpr const char *kStatusRequest = "\\status\\";
    static constexpr const char *kInfoRequest = "\\info\\";

    explicit QueryEngine(QObject *parent = nullptr);
    ~QueryEngine() override;

    // Lists and pages.
    ServerList &list(ServerPage page) { return m_lists[static_cast<size_t>(page)]; }
    ServerList &currentList() { return list(m_currentPage); }
    ServerPage currentPage() const { return m_currentPage; }
    // Showing another page stops a running refresh.
    void setCurrentPage(ServerPage page);
    AddressList &favorites() { return list(ServerPage::Favorites).addresses; }
    // Rows a filter removed from the current view; emptied whenever a view is rebuilt.
    std::vector<ServerEntry> &hiddenRows() { return m_hiddenRows; }

    // Collaborators and options.
    const EngineOptions &options() const { return m_options; }
    void setOptions(const EngineOptions &options) { m_options = options; }
    void setPinger(Pinger pinger) { m_pinger = std::move(pinger); }
    void setSoundPlayer(SoundPlayer player) { m_soundPlayer = std::move(player); }
    void setTrayActiveQuery(TrayQuery query) { m_trayActive = std::move(query); }
    // The favorites file reloaded before each rebuild; by default "favorites.lst" in the
    // program folder.
    void setFavoritesFile(const QString &path) { m_favoritesFile = path; }
    // The user's replacement of reported values, applied while no checker run is going on,
    // and during one only when it asks for it.
    void setValueReplacer(ValueReplacer replacer) { m_replacer = std::move(replacer); }
    void setCheckerRunning(bool running, bool replaceInChecker);

    // The exchange of one server. With updateRow, the server's row in the current view is
    // set to "Processing.." and updated afterwards; without a row the call fails before
    // anything is sent. Without updateRow the server is decoded into lastInfo(), pinged
    // whatever the options say, and queryComplete() is set. Returns the reported game port.
    // Fails while another exchange waits (ExchangeError::Busy) and when an incomplete
    // answer meets an attempts option that is not a number.
    platform::Result<QString> QueryServer(const QString &address, const QString &gamePort, const QString &queryPort,
                                          const QByteArray &request, bool updateRow);
    // Decodes one server from the reply store of the current list.
    ServerInfo DecodeServerInfo(const QString &address, const QString &gamePort, const QString &queryPort);

    const ServerInfo &lastInfo() const { return m_lastInfo; }
    bool queryComplete() const { return m_queryComplete; }
    const ExchangeResult &lastExchange() const { return m_lastExchange; }
    bool isExchangeBusy() const { return m_exchange->isBusy(); }
    // The checker's Stop: ends the current attempt's wait early.
    void stopExchange() { m_exchange->stop(); }

    // Refresh scheduling.
    void RebuildList(AddressList &addresses);
    void RefreshList(AddressList &addresses);
    void RefreshSelected(int row);
    // The Refresh command: rebuild the current page with refreshing forced on; pressed
    // while a refresh runs, it stops it.
    void refreshAction();
    bool isRefreshActive() const { return m_refreshActive; }
    void stopRefresh() { m_refreshActive = false; }
    bool isExitPending() const { return m_exitPending; }
    // The main window's close request: a running refresh is stopped, ExitPending is set
    // and the caller waits one time-out before closing; exitRequested() follows when the
    // refresh has unwound.
    void requestClose();

    // Sorts a list's view by its sort column and direction.
    void sortView(ServerPage page);

signals:
    void logLine(const QString &line);
    void statusChanged(int panel, const QString &text);
    void refreshCaptionChanged(const QString &caption);
    void filterEnabledChanged(bool enabled);
    void trayAnimationChanged(bool animated);
    void trayHintChanged(const QString &hint);
    void playersListCleared();
    // Refresh Current has finished with this server: the front end shows its players.
    void selectedServerRefreshed(const orv::engine::ServerAddress &server);
    void exitRequested();
    // A QueryServer call has finished: the server as asked, the game port it reported and
    // the row it updated in the current view (-1 without a row update).
    void serverQueried(const orv::engine::ServerAddress &server, const QString &reportedPort, int row);

private:
    bool rowUpdate(ServerPage page, const ServerAddress &server, const ExchangeResult &exchange, QString &reportedPort,
                   int &updatedRow);
    ValueReplacer activeReplacer() const;
    quint16 ping(const QString &address) const;
    void reloadFavorites();
    void runDeferred();
    void refreshDeferred(ServerPage page);
    void refreshSelectedNow(const ServerAddress &server);
    void finishRefreshRun();

    std::array<ServerList, kServerPages> m_lists;
    ServerPage m_currentPage = ServerPage::Internet;
    std::vector<ServerEntry> m_hiddenRows;
    EngineOptions m_options;
    QueryExchange *m_exchange = nullptr;
    Pinger m_pinger;
    SoundPlayer m_soundPlayer;
    TrayQuery m_trayActive;
    QString m_favoritesFile;
    ValueReplacer m_replacer;
    bool m_checkerRunning = false;
    bool m_replaceInChecker = false;

    ServerInfo m_lastInfo;
    bool m_queryComplete = false;
    ExchangeResult m_lastExchange;
    bool m_refreshActive = false;
    bool m_exitPending = false;
    bool m_refreshDeferred = false;
    // Work asked for while an exchange waited; it runs once that exchange has ended.
    std::vector<std::function<void()>> m_deferred;
};

} // namespace orv::engine
