// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>

#include <QMenu>
#include <QObject>
#include <QString>
#include <QStringList>

#include "orv/core/launchcommands.h"

namespace orv::engine {
class QueryEngine;
struct ServerEntry;
} // namespace orv::engine

namespace orv::frontend {

class SoundBank;
class TMainForm;
class TUnrealOptionsForm;

// Where a game executable stands, for the launch commands' checks.
enum class GameFileState { Ok, Missing, Folder, NotExecutable };
GameFileState gameFileState(const QString &path);

// What the browser does once it has started a game or server.
enum class WhenGameStarts { Minimize, Terminate, KeepRunning };

// What the launcher asks of the program around it: the settings it reads, the dialogs it
// shows and the desktop it starts programs on. StandardLauncherHost gives the program's
// defaults; the browser overrides the settings from its option windows, tests the dialogs.
class LauncherHost
{
public:
    virtual ~LauncherHost() = default;

    virtual WhenGameStarts whenStart() const = 0;
    virtual bool continueRefresh() const = 0; // "Continue refresh when game is started"
    virtual QString beaconSign2() const = 0;  // the Unreal Tournament beacon sign
    virtual QString startSound() const = 0;   // the sounds window's "Startgame"
    virtual bool checkerRunning() const = 0;  // CheckerRunning of the server checker

    virtual bool askYesNo(const QString &text) = 0; // error question, Yes/No
    virtual void warn(const QString &text) = 0;     // warning, OK
    // The desktop shortcut's name, offered with a default; nullopt when cancelled.
    virtual std::optional<QString> askLinkName(const QString &name) = 0;
    // An INI file chosen from a start folder; empty when cancelled.
    virtual QString chooseIniFile(const QString &folder) = 0;
    virtual bool openUrl(const QString &url) = 0;
    virtual void setClipboard(const QString &text) = 0;
    // Starts a game, editor or server detached; an error names the command that failed.
    virtual platform::Status startCommand(const orv::core::launch::GameCommand &command) = 0;
    // Where desktop shortcuts go (empty: the user's desktop).
    virtual QString desktopFolder() const { return {}; }
};

// The program's defaults: the engine's options, message boxes over the main window, the
// desktop's clipboard and web browser, real program starts.
class StandardLauncherHost : public LauncherHost
{
public:
    StandardLauncherHost(TMainForm &form, orv::engine::QueryEngine &engine);

    WhenGameStarts whenStart() const override { return WhenGameStarts::Minimize; }
    bool continueRefresh() const override;
    QString beaconSign2() const override;
    QString startSound() const override { return QStringLiteral("prepare.wav"); }
    bool checkerRunning() const override { return false; }
    bool askYesNo(const QString &text) override;
    void warn(const QString &text) override;
    std::optional<QString> askLinkName(const QString &name) override;
    QString chooseIniFile(const QString &folder) override;
    bool openUrl(const QString &url) override;
    void setClipboard(const QString &text) override;
    platform::Status startCommand(const orv::core::launch::GameCommand &command) override;

protected:
    TMainForm &m_form;
    orv::engine::QueryEngine &m_engine;
};

// The launch commands of the main window ("Unreal via Net", "Run Single", "Run Server",
// "Run game editor", the shortcut, clipboard and address commands). It connects itself to
// the actions of the main window and reads the game options window when a command runs.
class GameLauncher : public QObject
{
    Q_OBJECT

public:
    GameLauncher(TMainForm &form, orv::engine::QueryEngine &engine, TUnrealOptionsForm &options, SoundBank &sounds,
                 QObject *parent = nullptr);
    ~GameLauncher() override;

    // The host the launcher asks; nullptr returns to the standard one. Not owned.
    void setHost(LauncherHost *host);
    LauncherHost &host() const { return *m_host; }

    // The main window ends without its exit sound after "Terminate" following a game
    // launch; the browser asks this for the exit sound.
    bool isExitSoundSuppressed() const { return m_exitSoundSuppressed; }

    // The commands' work, as their actions run it.
    void A_UnrealviaNet();
    void A_UnrealviaNetandINI();
    void A_Unreal();
    void A_Safe();
    void A_Server();
    void A_Editor();
    void A_ShortCut();
    void A_ToClipboard();
    void A_ToClipboardUURL();
    void A_PNameToClipboard();
    void A_AdminMail();
    void A_GotoAddress();

    // Joins a server as "Unreal via Net" does, for the given game, with the current preset
    // (its password replaced by password when that is given). applyWhenStart false leaves
    // the main window alone (a link handled while it was never shown). True when the game
    // started.
    bool joinServer(const QString &address, const QString &gamePort, bool ut,
                    const std::optional<QString> &password = std::nullopt, bool applyWhenStart = true);

    // Makes the nickname current, loads its preset and runs "Unreal via Net" (the main
    // window's "Unreal via Net + Preset" items).
    void runWithPreset(const QString &nickname);
    // Fills the main window's "Unreal via Net + Preset" menu with one item per preset, in
    // the presets' order, and keeps it so as presets are added, deleted and loaded.
    void fillPresetMenu();
    QMenu *presetMenu() const;

    // The text of the last launch, as status panel 1 and the log show it.
    QString lastStatus() const { return m_lastStatus; }

signals:
    // The game options window should be shown (the user chose to reselect a game path).
    void optionsWindowRequested();

private:
    const orv::engine::ServerEntry *selectedRow() const;
    // url is the text the log shows; urlArguments, when given, are the arguments it stands for.
    bool launch(const QString &url, const std::optional<QStringList> &urlArguments = std::nullopt,
                bool applyWhen = true);
    // Starts a game file of the current game with the game's "Command" wrapper; a failure
    // is logged and shown with the command that failed.
    bool startProgram(const QString &executable, const QStringList &arguments, bool ut);
    bool checkExecutable(const QString &path);
    bool writeShortcut(const QString &executable, const QString &url, const QString &extra,
                       const std::optional<QStringList> &urlArguments);
    void applyWhenStart(bool fromGame);
    void setStatus(const QString &text);

    TMainForm &m_form;
    orv::engine::QueryEngine &m_engine;
    TUnrealOptionsForm &m_options;
    SoundBank &m_sounds;
    std::unique_ptr<StandardLauncherHost> m_standardHost;
    LauncherHost *m_host = nullptr;
    bool m_shortcutMode = false;
    bool m_exitSoundSuppressed = false;
    QString m_lastStatus;
};

} // namespace orv::frontend
