// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include "orv/engine/serverlist.h"

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

// Work that other windows of the browser do for the main window's commands. main() wires
// what exists; a command whose work is missing stays disabled.
struct MainFormHooks
{
    std::function<bool()> buildInternetList;   // fills the Internet address list; false when nothing came
    std::function<void()> discoverLocal;       // fills the Local address list
    std::function<void()> showFavorites;       // loads favorites.lst into the Favorites list
    std::function<void(const QString &name)> showWindow;  // "GeneralOptions", "UnrealOptions", "INIEditor", "Clans", …
    std::function<int()> autoOpenChoice;       // 0 nothing, 1 internet, 2 local, 3 favorites
    std::function<bool()> minimizeToTray;
    std::function<void()> firstRun;            // the first-run message's follow-up: game options
    std::function<void()> loadOtherSettings;   // start-up load of the other windows' settings
    std::function<int(const orv::engine::ServerInfo &, const orv::engine::PlayerEntry &)> playerIcon;
    std::function<QString()> exitSound;
};

// The browser's main window: the three server lists on their pages, the players of the
// selected server, the command buttons, the status bar and the tray icons.
class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    TMainForm(orv::engine::QueryEngine &engine, SoundBank &sounds, QWidget *parent = nullptr);
    ~TMainForm() override;

    void setHooks(MainFormHooks hooks) { m_hooks = std::move(hooks); }
    // Pictures of the players list (skin pictures of the game options); none by default.
    void setPlayerIcons(std::function<QIcon(int index)> icons);
    void setLogWindow(TDebugForm *log);

    QAction *action(const QString &name) const { return m_actions.value(name); }
    const QHash<QString, QAction *> &actions() const { return m_actions; }

    ServerView *view(orv::engine::ServerPage page) const;
    ServerView *currentView() const;
    ServerView *playersList() const { return m_playersView; }
    PlayersModel *playersModel() const { return m_players; }
    orv::engine::ServerPage currentPage() const;
    QString modeText() const;
    QString statusText(int panel) const;

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

Q_SIGNALS:
    void pageChanged(orv::engine::ServerPage page);

protected:
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
    QPushButton *commandButton(QWidget *parent, const QString &actionName, const QString &clickSound,
                               const QSize &size);
    void selectionChanged(orv::engine::ServerPage page);
    void showPlayersOf(int row);
    void runOnCurrentRow(const std::function<void(int)> &work);
    void firstShow();
    void autoOpenTick();
    void toTray();
    void restoreFromTray();
    void setStatus(int panel, const QString &text);

    orv::engine::QueryEngine &m_engine;
    SoundBank &m_sounds;
    MainFormHooks m_hooks;
    QPointer<TDebugForm> m_log;

    QHash<QString, QAction *> m_actions;
    QTabWidget *m_pages = nullptr;
    std::array<ServerView *, orv::engine::kServerPages> m_views{};
    ServerView *m_playersView = nullptr;
    PlayersModel *m_players = nullptr;
    std::function<QIcon(int)> m_playerIcons;
    QLabel *m_mode = nullptr;
    QLabel *m_status0 = nullptr;
    QLabel *m_status1 = nullptr;
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
