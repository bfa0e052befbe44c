// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>

#include <QMainWindow>
#include <QPointer>

#include "orv/engine/serverlist.h"
#include "orv/frontend/mainwindow/mainactions.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSystemTrayIcon;
class QTabWidget;
class QTimer;

namespace orv::engine {
class QueryEngine;
}

namespace orv::frontend {

class PlayersModel;
class ServerView;
class SoundBank;
class TDebugForm;

// The other windows the main window's commands open.
enum class BrowserWindow { About, GeneralOptions, UnrealOptions, INIEditor, Clans, Find, Filter };

// Which list the browser opens by itself a second after it starts.
enum class AutoOpen { Nothing, Internet, Local, Favorites };

// The two panels of the status bar: refresh progress, then the latest message.
enum class StatusPanel { Progress, Message };

// Work that other windows of the browser do for the main window's commands; the program's
// composition root implements it. Without services the commands do only their own part.
class MainFormServices
{
public:
    virtual ~MainFormServices() = default;

    // Fills the Internet address list. False when it failed with an error shown to the
    // user (no list could be loaded): the Internet page is then not opened.
    virtual bool buildInternetList() { return true; }
    // Fills the Local address list.
    virtual void discoverLocal() {}
    // Loads favorites.lst into the Favorites list.
    virtual void showFavorites() {}
    virtual void showWindow(BrowserWindow) {}
    virtual AutoOpen autoOpenChoice() const { return AutoOpen::Nothing; }
    virtual bool minimizeToTray() const { return false; }
    // What follows the first run's welcome message: the game options.
    virtual void firstRun() {}
    // Start-up load of the other windows' settings.
    virtual void loadOtherSettings() {}
    // The index of a player's picture in the players list.
    virtual int playerIcon(const orv::engine::ServerInfo &, const orv::engine::PlayerEntry &) const { return 0; }
    // The sound played as the program ends; empty for none.
    virtual QString exitSound() const { return {}; }
    // The sound that announces the end of a refresh while the window sits in the tray.
    virtual QString refreshCompleteSound() const { return {}; }
};

// The browser's main window: the three server lists on their pages, the players of the
// selected server, the command buttons, the status bar and the tray icons.
class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    TMainForm(orv::engine::QueryEngine &engine, SoundBank &sounds, QWidget *parent = nullptr);
    ~TMainForm() override;

    // The services stay owned by the caller and must outlive the window.
    void setServices(MainFormServices *services) { m_services = services; }
    // Pictures of the players list (skin pictures of the game options); none by default.
    void setPlayerIcons(std::function<QIcon(int index)> icons);
    void setLogWindow(TDebugForm *log);
    // How a close during a refresh waits for the exchange in progress: by default the
    // thread sleeps, handling no events, for the given time.
    void setCloseWait(std::function<void(int milliseconds)> wait) { m_closeWait = std::move(wait); }

    QAction *action(MainAction command) const { return m_actions[static_cast<size_t>(command)]; }
    // Every command in the order of MainAction.
    QList<QAction *> commandActions() const { return {m_actions.begin(), m_actions.end()}; }
    // The window's button for a command, or null when the command has no button.
    QPushButton *commandButton(MainAction command) const { return m_buttons[static_cast<size_t>(command)]; }
    // "Unreal via Net + Preset" of the servers menu, filled by the game launcher.
    QMenu *presetMenu() const { return m_presetMenu; }

    ServerView *view(orv::engine::ServerPage page) const;
    ServerView *currentView() const;
    ServerView *playersList() const { return m_playersView; }
    PlayersModel *playersModel() const { return m_players; }
    orv::engine::ServerPage currentPage() const;
    QString modeText() const;
    QString statusText(StatusPanel panel) const;
    void setStatusText(StatusPanel panel, const QString &text);

    // The log operation every part of the browser writes through.
    void log(const QString &text);

    // Command work that tests and other windows drive directly.
    void changePage(orv::engine::ServerPage page);
    void columnClicked(int column);
    void cycleViewStyle();
    void updateActions();
    // The pop-up menus of the window, built as they are when they open.
    QMenu *serversMenu();
    QMenu *moreMenu() const { return m_moreMenu; }
    void prepareServersMenu();
    void toggleColumn(int column);
    bool isTrayActive() const;
    // The tray icons' busy animation and their hint, for the engine's and the checker's runs.
    void setTrayBusy(bool busy);
    void setTrayHint(const QString &hint);
    bool isFirstRun() const { return m_firstRun; }
    void setFirstRun(bool firstRun) { m_firstRun = firstRun; }
    // Takes each list's sort column from its view's stored tag and shows the marker.
    void applyStoredSortColumns();
    bool gameSwitchUT() const { return m_gameSwitchUT; }
    void setGameSwitchUT(bool ut) { m_gameSwitchUT = ut; }

    // Row pictures of report views: 16 pixels, or the 32-pixel ones in the small slot too.
    void setSmallImages(bool small);
    void setServersListFont(const QFont &font);

    // The program's caption once the window shows: "Orvane v." + version.
    static QString captionFor(const QString &version);

signals:
    void pageChanged(orv::engine::ServerPage page);
    // The window has accepted its close, and with it the program ends.
    void closed();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildLayout();
    void buildMenus();
    void wireActions();
    void wireEngine();
    void setupTray();
    QPushButton *makeCommandButton(QWidget *parent, MainAction command, const QString &clickSound, const QSize &size);
    void selectionChanged(orv::engine::ServerPage page);
    void showPlayersOf(int row);
    void showTeams(const orv::engine::ServerInfo &info);
    void runOnCurrentRow(const std::function<void(int)> &work);
    void firstShow();
    void autoOpenTick();
    void toTray();
    void restoreFromTray();

    orv::engine::QueryEngine &m_engine;
    SoundBank &m_sounds;
    MainFormServices *m_services = nullptr;
    QPointer<TDebugForm> m_log;

    MainActions m_actions{};
    std::array<QPushButton *, kMainActionCount> m_buttons{};
    QObject *m_largeImages = nullptr;
    QObject *m_smallImages = nullptr;
    QTabWidget *m_pages = nullptr;
    std::array<ServerView *, orv::engine::kServerPages> m_views{};
    ServerView *m_playersView = nullptr;
    PlayersModel *m_players = nullptr;
    QLabel *m_teamsLine = nullptr;
    std::function<QIcon(int)> m_playerIcons;
    std::function<void(int)> m_closeWait;
    QLabel *m_mode = nullptr;
    QLabel *m_status0 = nullptr;
    QLabel *m_status1 = nullptr;
    // The latest status message; a command's hint covers it while a menu item is hovered.
    QString m_statusMessage;
    bool m_showingStatusTip = false;
    QMenu *m_serversMenu = nullptr;
    QMenu *m_moreMenu = nullptr;
    QMenu *m_playersMenu = nullptr;
    QMenu *m_repeaterMenu = nullptr;
    QMenu *m_columnsMenu = nullptr;
    QMenu *m_byPingMenu = nullptr;
    QMenu *m_presetMenu = nullptr;
    QAction *m_restoreAction = nullptr;
    QList<QAction *> m_trayOnlyItems;
    QSystemTrayIcon *m_tray = nullptr;
    QSystemTrayIcon *m_tray2 = nullptr;
    QTimer *m_trayTimer = nullptr;
    QTimer *m_tray2Timer = nullptr;
    QTimer *m_idleTimer = nullptr;
    QTimer *m_autoOpenTimer = nullptr;
    int m_trayFrame = 0;
    int m_tray2Frame = 0;
    bool m_trayAnimated = false;

    bool m_shownOnce = false;
    bool m_firstRun = true;
    bool m_exitSoundPending = true;
    bool m_autoOpenPending = true;
    bool m_gameSwitchUT = false;
    bool m_closing = false;
};

} // namespace orv::frontend
