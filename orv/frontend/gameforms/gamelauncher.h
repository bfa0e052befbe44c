// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>

#include <QMenu>
#include <QObject>
#include <QPointer>
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

// The settings and dialogs the launcher asks for. The browser fills them from the general
// options and the sounds window; tests replace the dialogs.
struct LauncherHooks
{
    std::function<WhenGameStarts()> whenStart;
    std::function<bool()> continueRefresh;                              // "Continue refresh when game is started"
    std::function<QString()> beaconSign2;                               // the Unreal Tournament beacon sign
    std::function<QString()> startSound;                                // the sounds window's "Startgame"
    std::function<bool()> checkerRunning;                               // CheckerRunning of the server checker
    std::function<bool(const QString &)> askYesNo;                      // error question, Yes/No
    std::function<void(const QString &)> warn;                          // warning, OK
    std::function<std::optional<QString>(const QString &)> askLinkName; // default name
    std::function<QString(const QString &)> chooseIniFile;              // start folder; empty when cancelled
    std::function<bool(const QString &)> openUrl;
    std::function<void(const QString &)> setClipboard;
    // Starts a program detached; by default platform::shell::startDetached, whose failure
    // is logged and shown.
    std::function<bool(const QString &program, const QStringList &args)> startProgram;
    QString desktopFolder; // empty: the user's desktop
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

    void setHooks(LauncherHooks hooks);
    const LauncherHooks &hooks() const { return m_hooks; }

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

    // Makes the nickname current, loads its preset and runs "Unreal via Net" (the main
    // window's "Unreal via Net + Preset" items).
    void runWithPreset(const QString &nickname);
    // Fills the main window's "Unreal via Net + Preset" menu with one item per preset, in
    // the presets' order, and keeps it so as presets are added, deleted and loaded.
    void fillPresetMenu();
    QMenu *presetMenu() const { return m_presetMenu; }

    // The text of the last launch, as status panel 1 and the log show it.
    QString lastStatus() const { return m_lastStatus; }

signals:
    // The game options window should be shown (the user chose to reselect a game path).
    void optionsWindowRequested();

private:
    const orv::engine::ServerEntry *selectedRow() const;
    // url is the text the log shows; urlArguments, when given, are the arguments it stands for.
    bool launch(const QString &url, const std::optional<QStringList> &urlArguments = std::nullopt);
    bool startProgram(const QString &executable, const QStringList &arguments);
    bool checkExecutable(const QString &path);
    bool writeShortcut(const QString &executable, const QString &url, const QString &extra,
                       const std::optional<QStringList> &urlArguments);
    void applyWhenStart(bool fromGame);
    void setStatus(const QString &text);

    TMainForm &m_form;
    orv::engine::QueryEngine &m_engine;
    TUnrealOptionsForm &m_options;
    SoundBank &m_sounds;
    QPointer<QMenu> m_presetMenu;
    LauncherHooks m_hooks;
    bool m_shortcutMode = false;
    bool m_exitSoundSuppressed = false;
    QString m_lastStatus;
};

} // namespace orv::frontend
