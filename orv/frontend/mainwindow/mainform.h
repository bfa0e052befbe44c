// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>

#include <QAction>
#include <QMainWindow>
#include <QPointer>

#include "orv/engine/serverlist.h"
#include "orv/frontend/mainwindow/mainactions.h"
#include "orv/frontend/mainwindow/mainstatus.h"

class QMenu;
class QPushButton;
class QTabWidget;
class QTimer;

namespace orv::engine {
class QueryEngine;
}

namespace orv::frontend {

class MainMenus;
class MainTray;
class PlayersModel;
class ServerView;
class SoundBank;
class TDebugForm;

// The other windows the main window's commands open.
enum class BrowserWindow { About, GeneralOptions, UnrealOptions, INIEditor, Clans, Find, Filter };

// Which list the browser opens by itself a second after it starts.
enum class AutoOpen { Nothing, Internet, Local, Favorites };

// Work that other windows of the browser do for the main window's commands; the program's
// composition root implements it. Without services the commands do only their own part.
class MainFormServices
{
public:
    virtual ~MainFormServices() = default;

    // Fills the Internet address list and then calls done, with false when it failed with
    // an error shown to the user (no list could be loaded): the Internet page is then not
    // opened. done is not called when a build already runs.
    virtual void buildInternetList(std::function<void(bool built)> done) { done(true); }
    // Fills the Local address list and then calls done (not when a discovery already runs).
    virtual void discoverLocal(std::function<void()> done) { done(); }
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
// selected server, the command buttons, the status bar and the tray icons. Its layout is
// built in mainformlayout.cpp; the status texts (MainStatus), the pop-up menus (MainMenus)
// and the tray icons (MainTray) are parts of their own. Other windows drive it through
// the intent methods below, not through its widgets.
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

    // A command's action, to place it in another window's menu; its state and its work
    // go through the command methods below.
    QAction *action(MainAction command) const { return m_actions[static_cast<size_t>(command)]; }
    // Every command in the order of MainAction.
    QList<QAction *> commandActions() const { return {m_actions.begin(), m_actions.end()}; }

    // Commands.
    void setCommandEnabled(MainAction command, bool enabled);
    void triggerCommand(MainAction command);
    // As if the command's button were pressed: its click sound, then the command. A command
    // without a button is only triggered.
    void clickCommand(MainAction command);
    // Runs the work in the context of the receiver whenever the command is given.
    template <typename Work> QMetaObject::Connection onCommand(MainAction command, const QObject *receiver, Work &&work)
    {
        return connect(action(command), &QAction::triggered, receiver, std::forward<Work>(work));
    }
    // The player presets of "Unreal via Net + Preset" in the servers menu; choosing one
    // runs the work with its name in the context of the receiver.
    void fillPresetMenu(const QStringList &presets, const QObject *receiver,
                        const std::function<void(const QString &)> &run);

    // The server lists and the players list.
    orv::engine::ServerPage currentPage() const;
    // The selected row of a page's list, or of the list shown; -1 for none.
    int currentRow(orv::engine::ServerPage page) const;
    int currentRow() const;
    void selectRow(orv::engine::ServerPage page, int row);
    void clearPlayers();
    // The first row of the players list with this name (case ignored), or -1.
    int findPlayer(const QString &name) const;
    // Selects a row of the players list and gives the list the focus.
    void selectPlayer(int row);
    // The name of the selected player, if one is selected.
    std::optional<QString> currentPlayerName() const;
    // The fonts of the server lists and of the players list.
    void setServersListFont(const QFont &font);
    QFont serversListFont() const;
    void setPlayersListFont(const QFont &font);
    QFont playersListFont() const;

    // The window's widgets. Other windows use the intent methods above; these stay for the
    // launcher's preset menu (presetMenu) and for the tests.
    ServerView *view(orv::engine::ServerPage page) const;
    ServerView *currentView() const;
    ServerView *playersList() const { return m_playersView; }
    PlayersModel *playersModel() const { return m_players; }
    // The window's button for a command, or null when the command has no button.
    QPushButton *commandButton(MainAction command) const { return m_buttons[static_cast<size_t>(command)]; }
    // "Unreal via Net + Preset" of the servers menu.
    QMenu *presetMenu() const;

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
    // The servers menu, built as it is when it opens.
    QMenu *serversMenu() const;
    void prepareServersMenu();
    void toggleColumn(int column);
    bool isTrayActive() const;
    // The tray icons' busy animation and their hint, for the engine's and the checker's runs.
    void setTrayBusy(bool busy);
    void setTrayHint(const QString &hint);
    // Hides the tray icons and shows the window again in front.
    void restoreFromTray();
    bool isFirstRun() const { return m_firstRun; }
    void setFirstRun(bool firstRun) { m_firstRun = firstRun; }
    // Takes each list's sort column from its view's stored tag and shows the marker.
    void applyStoredSortColumns();
    bool gameSwitchUT() const { return m_gameSwitchUT; }
    void setGameSwitchUT(bool ut) { m_gameSwitchUT = ut; }

    // Row pictures of report views: 16 pixels, or the 32-pixel ones in the small slot too.
    void setSmallImages(bool small);

    // The program's caption once the window shows: "Orvane v." + version.
    static QString captionFor(const QString &version);
    // A page's caption, on its tab and in the mode label.
    static QString pageCaption(orv::engine::ServerPage page);

signals:
    void pageChanged(orv::engine::ServerPage page);
    // The window has accepted its close, and with it the program ends.
    void closed();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // Keeps the whole window, frame included, at least 800 x 580 and on the screen.
    void fitFrameToScreen();
    static constexpr QSize kMinimumWindowSize{800, 580};
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    static QIcon noPlayerIcon(int);
    // In mainformlayout.cpp.
    void buildLayout();
    void wireActions();
    void wireEngine();
    QPushButton *makeCommandButton(QWidget *parent, MainAction command, const QString &clickSound, const QSize &size);
    void selectionChanged(orv::engine::ServerPage page);
    void showPlayersOf(int row);
    void showTeams(const orv::engine::ServerInfo &info);
    void runOnCurrentRow(const std::function<void(int)> &work);
    void firstShow();
    void autoOpenTick();

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
    std::unique_ptr<MainStatus> m_status;
    std::unique_ptr<MainMenus> m_menus;
    std::unique_ptr<MainTray> m_tray;
    QTimer *m_idleTimer = nullptr;
    QTimer *m_autoOpenTimer = nullptr;

    bool m_shownOnce = false;
    // The frame size the window was last fitted to the screen with.
    QSize m_fittedFrame;
    bool m_firstRun = true;
    bool m_exitSoundPending = true;
    bool m_autoOpenPending = true;
    bool m_gameSwitchUT = false;
};

} // namespace orv::frontend
