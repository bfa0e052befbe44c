// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>
#include <optional>

#include <QList>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QWidget>

#include "heraldex/core/checklist.h"
#include "heraldex/core/playerpoller.h"
#include "heraldex/core/registryaccess.h"
#include "heraldex/core/serverpageclient.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolButton;

namespace platform {
class RegistryStore;
class SoundService;
} // namespace platform

namespace heraldex::ui {

// The announcer's one window: the server's web admin settings, the checklist of friends
// and foes, and the tray icon under which it polls the server while minimised.
class frmMain : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kPollInterval = 32768;

    // The modal pieces of the window, replaceable so that tests can answer them.
    struct Hooks
    {
        std::function<void(QMessageBox::Icon, const QString &)> message;
        // nullopt when the user cancels.
        std::function<std::optional<QString>(const QString &prompt)> inputBox;
        // Empty when the user cancels.
        std::function<QString(const QString &startFolder, const QString &filter)> openFile;
        // Plays a WAV file and returns when it has ended.
        std::function<bool(const QString &wavPath)> playSound;
    };

    frmMain(platform::RegistryStore &machineStore, platform::SoundService &sound, QWidget *parent = nullptr);
    ~frmMain() override;

    // Replaces the hooks that are set in hooks; the others keep their defaults.
    void setHooks(const Hooks &hooks);

    core::PlayerPoller &poller() { return m_poller; }
    core::ServerPageClient &showClient() { return m_showClient; }
    QSystemTrayIcon *trayIcon() const { return m_tray; }
    QMenu *mPopupSys() const { return m_mPopupSys; }
    QString saveButtonCaption() const;

    // Handlers; public so that the tray, the menu and the tests reach them alike.
    void Form_MouseMove(QSystemTrayIcon::ActivationReason reason);
    void mPopRestore_Click();
    void mPopExit_Click();
    void Timer_Timer();
    void cmdSaveSettings_Click();
    void Command1_Click();
    void CmdBrowseFriend_Click();
    void cmdBrowseEnemy_Click();
    void cmdPlayFriend_Click();
    void cmdPlayEnemy_Click();
    void cmdShowCurrent_Click();
    void cmdAddName_Click();
    void cmdAddIP_Click();
    void cmdAddBoth_Click();
    void cmdRemoveAll_Click();
    void lstPlayers_Click();
    bool IsOnChecklist(const QString &text) const;
    void enumregkey(const QString &strKey);

signals:
    // A poll has been handled completely, its sounds included.
    void pollHandled();
    // Show Current Players has filled the lists or said why it could not.
    void showHandled();
    // The window was closed or "Exit" chosen: the program ends.
    void programEnded();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum Field { IniFile, IPAddress, PortNumber, AdminName, Password, FriendWav, EnemyWav, FieldCount };

    void buildWindow();
    void buildTray();
    void setTabOrder();
    void Form_Load();
    void ReadServerIni();
    void MarkSettingsEdited();
    void UpdatePlayerControls();
    void setPlayerControlsEnabled(bool enabled);
    void setSaveState(bool editsPending);
    void setPollInterval(int milliseconds);
    void restoreWindow();
    void browseWav(QLineEdit *field);
    void playWav(const QString &path);
    void addEntries(QListWidget *list, bool addressList);
    void removeEntries(const QStringList &keyNames);
    void lstAdd_KeyDown(int keyCode);
    void onPollFinished(const QList<core::Announcement> &announcements);
    void onShowPage(const QString &page);
    std::array<QString, FieldCount> fieldTexts() const;
    core::ServerLogin login() const;
    core::EntryKind selectedKind() const;

    platform::RegistryStore &m_store;
    platform::SoundService &m_sound;
    core::RegistryAccess m_registry;
    core::Checklist m_checklist;
    core::PlayerPoller m_poller;
    core::ServerPageClient m_showClient;
    Hooks m_hooks;

    // The text a field had when it got the focus, or that a browsed field had before.
    QString m_focusText;
    // The field texts as last loaded or saved; edits are pending while any differs.
    std::array<QString, FieldCount> m_savedTexts;
    bool m_loading = false;
    bool m_handlingPoll = false;
    bool m_centred = false;

    QGroupBox *m_fraAdmin = nullptr;
    QGroupBox *m_fraAnnouce = nullptr;
    std::array<QLineEdit *, FieldCount> m_fields{};
    QLineEdit *m_txtINIfile = nullptr;
    QLineEdit *m_txtIPAddress = nullptr;
    QLineEdit *m_txtPortNumber = nullptr;
    QLineEdit *m_txtAdminName = nullptr;
    QLineEdit *m_txtPassword = nullptr;
    QLineEdit *m_txtFriendWav = nullptr;
    QLineEdit *m_txtEnemyWav = nullptr;
    QPushButton *m_cmdSaveSettings = nullptr;
    QPushButton *m_Command1 = nullptr;
    QPushButton *m_CmdBrowseFriend = nullptr;
    QPushButton *m_cmdBrowseEnemy = nullptr;
    QToolButton *m_cmdPlayFriend = nullptr;
    QToolButton *m_cmdPlayEnemy = nullptr;
    QPushButton *m_cmdShowCurrent = nullptr;
    QListWidget *m_lstPlayers = nullptr;
    QListWidget *m_lstIP = nullptr;
    QListWidget *m_lstAdd = nullptr;
    QRadioButton *m_optFriend = nullptr;
    QRadioButton *m_optEnemy = nullptr;
    QPushButton *m_cmdAddName = nullptr;
    QPushButton *m_cmdAddIP = nullptr;
    QPushButton *m_cmdAddBoth = nullptr;
    QPushButton *m_cmdRemoveAll = nullptr;
    QLabel *m_lblAnnoucing = nullptr;
    QTimer *m_Timer = nullptr;
    QSystemTrayIcon *m_tray = nullptr;
    QMenu *m_mPopupSys = nullptr;
    QAction *m_mPopRestore = nullptr;
    QAction *m_mPopExit = nullptr;
};

} // namespace heraldex::ui
