// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>

#include <QDialog>
#include <QHash>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include "orv/checker/checkerrun.h"
#include "orv/checker/checkerscript.h"
#include "orv/checker/runsettings.h"
#include "orv/checker/scriptcheck.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QSpinBox;
class QToolButton;
class QTreeWidget;
class QVBoxLayout;

namespace platform {
class RegistryStore;
}
namespace orv::engine {
class QueryEngine;
}
namespace orv::frontend {
class Favorites;
class GameLauncher;
class SoundBank;
class TFormStorage;
class TMainForm;
} // namespace orv::frontend

namespace orv::checker::ui {

class TRepeatListForm;

// The server checker window: the script editor (the stored lines Prg and the list RepeatPrg
// kept together), the checker presets with their two storages, import and export of script
// files, the servers to check and the run controls. The layout is built in
// repeatformlayout.cpp, the editor and presets work in repeatscript.cpp, the servers and
// the run in repeatrun.cpp.
class TRepeatForm : public QDialog
{
    Q_OBJECT

public:
    // Shows a message box; returns the button pressed. Tests put their own in.
    using MessageSink =
        std::function<QMessageBox::StandardButton(QMessageBox::Icon, const QString &, QMessageBox::StandardButtons)>;

    TRepeatForm(orv::engine::QueryEngine &engine, platform::RegistryStore &store, orv::frontend::SoundBank &sounds,
                QWidget *parent = nullptr);
    ~TRepeatForm() override;

    // Collaborators the browser passes in; each is optional.
    void setFavorites(orv::frontend::Favorites *favorites) { m_favorites = favorites; }
    void setLauncher(orv::frontend::GameLauncher *launcher) { m_launcher = launcher; }
    void setPlayerPresetNames(std::function<QStringList()> names) { m_presetNames = std::move(names); }
    void setReplaceInChecker(std::function<bool()> query);
    void setMessageSink(MessageSink sink) { m_messages = std::move(sink); }
    void setImportDialogs(std::function<QString()> chooseFile, std::function<std::optional<QString>()> askName);
    void setExportDialog(std::function<QString(const QString &presetName)> chooseFile);
    // Connects "Check selected server" and "Check multiple servers" of the main window.
    void attachTo(orv::frontend::TMainForm &form, TRepeatListForm &selection);

    orv::frontend::TFormStorage *formStorage() const { return m_storage1; }
    orv::frontend::TFormStorage *presetStorage() const { return m_storage2; }
    CheckerRun &checkerRun() { return *m_run; }
    QAction *action(const QString &name) const { return m_actions.value(name); }

    // The script and the editor.
    const CheckerScript &script() const { return m_script; }
    void setScriptLines(const QStringList &prg);
    int selectedRow() const;
    void selectRow(int row);
    void setEditorValues(const QString &arg, const QString &rule, const QString &value);
    void updateActions();

signals:
    void logLine(const QString &text);

public:
    // Presets.
    QStringList presetNames() const;
    QString presetText() const;
    void setPresetText(const QString &name);
    void addPreset();
    void deletePreset();
    void switchPreset();
    // The import after its two dialogs: the file and the name the user gave.
    void importScript(const QString &path, const QString &name);
    bool exportScript(const QString &path);

    // The servers to check, kept sorted by name.
    void setServers(const QList<RepeatServer> &servers);
    QList<RepeatServer> servers() const;
    // "Check selected server": the selected row of the main window's shown list.
    void takeSelectedServer(orv::frontend::TMainForm &form);

    RunSettings runSettings() const;
    int repeatDelay() const;
    bool isRunning() const;
    void go();
    void stop();
    // The main window has closed: a run ends at once, without its actions, and the window
    // closes after it so that the program ends.
    void programClosing();

public:
    // Refused during a run, like a close.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The layout, top to bottom: the server and script lists, the expression editor, the
    // run settings, the preset bar and the run buttons.
    void buildLayout();
    void buildLists(QVBoxLayout *root);
    void buildEditor(QVBoxLayout *root);
    void buildRunSettings(QVBoxLayout *root);
    void buildPresetBar(QVBoxLayout *root);
    void buildRunButtons(QVBoxLayout *root);
    void buildActions();
    void buildStorages();
    void edit(const EditOutcome &outcome);
    void showRows();
    void syncPrg();
    void prgRestored();
    void rowActivated();
    void refillPlayerPresets();
    void check();
    void importWithDialogs();
    void exportWithDialog();
    void playAlert();
    // The "!" button beside the alert sound: plays it now and says so when it cannot.
    void testAlert();
    void alertNotPlayed(const QString &name, const QString &reason);
    void logText(const QString &text);
    void showNotice();
    bool addFavorite(const RepeatServer &server);
    bool runGame(const RepeatServer &server, const QString &playerPreset);
    void pointStorage2At(const QString &name);
    // Whether a new preset may take the name; a duplicate name is reported to the user.
    bool acceptsNewPresetName(const QString &name);
    void showScriptCheck(const ScriptCheckResult &result);
    QMessageBox::StandardButton message(QMessageBox::Icon kind, const QString &text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok);

    orv::engine::QueryEngine &m_engine;
    platform::RegistryStore &m_store;
    orv::frontend::SoundBank &m_sounds;
    orv::frontend::Favorites *m_favorites = nullptr;
    orv::frontend::GameLauncher *m_launcher = nullptr;
    orv::frontend::TMainForm *m_form = nullptr;
    std::function<QStringList()> m_presetNames;
    std::function<bool()> m_replaceInChecker;
    MessageSink m_messages;
    std::function<QString()> m_chooseImportFile;
    std::function<std::optional<QString>()> m_askImportName;
    std::function<QString(const QString &)> m_chooseExportFile;

    CheckerScript m_script;
    // The script of the run in progress, as Go checked it.
    CheckerScript m_runScript;
    CheckerRun *m_run = nullptr;
    QHash<QString, QAction *> m_actions;

    QTreeWidget *m_servers = nullptr;   // ServersToRepeat
    QTreeWidget *m_repeatPrg = nullptr; // RepeatPrg
    QListWidget *m_prg = nullptr;       // Prg, hidden
    QComboBox *m_arg = nullptr;         // Arg
    QComboBox *m_rule = nullptr;        // Rule
    QLineEdit *m_value = nullptr;       // Value
    QMenu *m_impExpMenu = nullptr;      // impExpMenu
    QComboBox *m_presets = nullptr;     // RepeatPresets
    QListWidget *m_whenRuleRight = nullptr;
    QCheckBox *m_minimizeWin = nullptr;
    QLineEdit *m_alertSound = nullptr;
    QLineEdit *m_notice = nullptr;
    QComboBox *m_playerPreset = nullptr;
    QSpinBox *m_repeatDelay = nullptr;
    QToolButton *m_goButton = nullptr;
    QPushButton *m_closeButton = nullptr;
    QToolButton *m_addPresetButton = nullptr;
    QToolButton *m_deletePresetButton = nullptr;
    QWidget *m_editor = nullptr; // everything that edits the script or the preset

    orv::frontend::TFormStorage *m_storage1 = nullptr;
    orv::frontend::TFormStorage *m_storage2 = nullptr;
    bool m_storage2Loaded = false;
    bool m_presetListOpened = false;
    bool m_programClosing = false;
    bool m_testingAlert = false;
    QString m_captionBeforeRun;
};

} // namespace orv::checker::ui
