// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QObject>

#include "orv/checker/replacementtable.h"
#include "orv/engine/queryengine.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/settingsproblems.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "platform/desktop/sound.h"
#include "platform/registrystore.h"

class QApplication;

namespace orv::checker::ui {
class TRepeatForm;
class TRepeatListForm;
class TSReplaceFrom;
} // namespace orv::checker::ui

namespace orv::tools {
class TClansForm;
class TINIForm;
} // namespace orv::tools

namespace orv::frontend {
class Favorites;
class Filters;
class GameLauncher;
class ServerSources;
class TAboutForm;
class TBuldingListForm;
class TDebugForm;
class TFindForm;
class TFormStorage;
class TOptionsForm;
class TServersForm;
class TSoundsForm;
class TSplashForm;
class TUnrealOptionsForm;
} // namespace orv::frontend

namespace orv::browser {

class BrowserLauncherHost;

// The browser as one object: builds the settings store, the engine, the sound service and
// every window in their fixed order, wires them together and does the work the main
// window's commands ask of the other windows. Destroying it lets every window save its
// settings in one write of the store.
class BrowserApp : public QObject, private orv::frontend::MainFormServices
{
    Q_OBJECT

public:
    // The application-wide look: pictures, theme and program icon. Once per process,
    // before the first BrowserApp.
    static void prepareApplication(QApplication &app);

    // splash, when given, shows the progress of the windows' creation.
    explicit BrowserApp(orv::frontend::TSplashForm *splash = nullptr);
    ~BrowserApp() override;

    // Shows the main window, which starts the start sequence (settings, first-run
    // question, the list opened by itself).
    void show();
    // Brings the main window to the front, as a second start of the program asks.
    void activate();

    // Follows an unreal:// link: asks the server which game it runs, then joins it as
    // "Unreal via Net" does, with the current player preset and the link's password. With
    // windowShown false the program was started for the link alone: the settings load
    // without the first-run questions and the main window stays hidden. A game that is not
    // set up is searched for; only when none is found do the game options open. Returns
    // the exit status: 0 when the game started, 1 otherwise (the reason was reported).
    int openLink(const QString &link, bool windowShown);
    // Where the link's messages go (default: standard error and a message box).
    void setLinkMessageSink(std::function<void(const QString &)> sink) { m_linkMessage = std::move(sink); }

    orv::frontend::TMainForm &mainForm() { return *m_mainForm; }
    const orv::engine::QueryEngine &engine() const { return m_engine; }
    const orv::frontend::SettingsProblems &settingsProblems() const { return m_settingsProblems; }
    orv::frontend::SoundBank &sounds() { return m_sounds; }

signals:
    // The main window has closed and the program ends.
    void finished();

private:
    void buildWindows(orv::frontend::TSplashForm *splash);
    void connectWindows();
    void applyOptions();
    void reportSettingsProblem(const platform::Status &status);

    // Held from the program's end until every window has saved its settings, so the saves
    // of program end cost one write of the store; a failure of that write is reported.
    class ClosingSaves
    {
    public:
        ClosingSaves(platform::RegistryStore &store, orv::frontend::SettingsProblems &problems)
            : m_store(store)
            , m_problems(problems)
        {}
        ~ClosingSaves();
        ClosingSaves(const ClosingSaves &) = delete;
        ClosingSaves &operator=(const ClosingSaves &) = delete;
        void begin() { m_batch.emplace(m_store); }

    private:
        platform::RegistryStore &m_store;
        orv::frontend::SettingsProblems &m_problems;
        std::optional<platform::RegistryStore::Batch> m_batch;
    };

    // MainFormServices
    void buildInternetList(std::function<void(bool built)> done) override;
    void discoverLocal(std::function<void()> done) override;
    void showFavorites() override;
    void showWindow(orv::frontend::BrowserWindow window) override;
    orv::frontend::AutoOpen autoOpenChoice() const override;
    bool minimizeToTray() const override;
    void firstRun() override;
    void loadOtherSettings() override;
    int playerIcon(const orv::engine::ServerInfo &info, const orv::engine::PlayerEntry &player) const override;
    QString exitSound() const override;
    QString refreshCompleteSound() const override;

    // Declared in the order of creation; destroyed the other way round.
    platform::SoundService m_soundService;
    orv::frontend::SoundBank m_sounds{m_soundService};
    orv::engine::QueryEngine m_engine;
    // The user's replacements of reported values, applied by the decoder from the first
    // reply on; loaded with the string replacer's settings at start-up.
    orv::checker::ReplacementTable m_replacementTable;
    orv::frontend::SettingsProblems m_settingsProblems;
    platform::RegistryStore m_settings{platform::RegistryRoot::CurrentUser};
    ClosingSaves m_closingSaves{m_settings, m_settingsProblems};

    std::unique_ptr<orv::frontend::TMainForm> m_mainForm;
    orv::frontend::Filters *m_filters = nullptr;     // owned by the main window
    orv::frontend::Favorites *m_favorites = nullptr; // owned by the main window
    std::unique_ptr<orv::frontend::TServersForm> m_serversWindow;
    std::unique_ptr<orv::frontend::TAboutForm> m_about;
    std::unique_ptr<orv::frontend::TOptionsForm> m_options;
    std::unique_ptr<orv::frontend::ServerSources> m_sources;
    std::unique_ptr<orv::tools::TClansForm> m_clans;
    std::unique_ptr<orv::frontend::TUnrealOptionsForm> m_gameOptions;
    std::unique_ptr<orv::tools::TINIForm> m_iniEditor;
    std::unique_ptr<orv::frontend::TDebugForm> m_logWindow;
    std::unique_ptr<orv::frontend::TBuldingListForm> m_buildingList;
    std::unique_ptr<orv::frontend::TFindForm> m_findForm;
    std::unique_ptr<orv::checker::ui::TRepeatForm> m_repeatForm;
    std::unique_ptr<orv::frontend::TSoundsForm> m_soundsWindow;
    orv::frontend::TFormStorage *m_soundsStorage = nullptr; // owned by the sounds window
    std::unique_ptr<orv::checker::ui::TRepeatListForm> m_repeatListForm;
    std::unique_ptr<orv::checker::ui::TSReplaceFrom> m_stringReplacer;
    std::unique_ptr<BrowserLauncherHost> m_launcherHost;
    std::unique_ptr<orv::frontend::GameLauncher> m_launcher;
    std::function<void(const QString &)> m_linkMessage;
    bool m_settingsLoaded = false;
};

} // namespace orv::browser
