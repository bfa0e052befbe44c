// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <chrono>
#include <memory>
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

// What the window asks of the user and plays to them: message boxes, questions, file
// choices and sounds. The window brings its own; tests put in one that answers for the user.
class UserDialogs
{
public:
    virtual ~UserDialogs() = default;
    virtual void message(QMessageBox::Icon icon, const QString &text) = 0;
    // nullopt when the user cancels.
    virtual std::optional<QString> inputBox(const QString &prompt) = 0;
    // Empty when the user cancels.
    virtual QString openFile(const QString &startFolder, const QString &filter) = 0;
    // Plays a WAV file and returns when it has ended.
    virtual bool playSound(const QString &wavPath) = 0;
};

// The announcer's one window: the server's web admin settings, the checklist of friends
// and foes, and the tray icon under which it polls the server while minimised.
class frmMain : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kPollInterval = 32768;

    frmMain(platform::RegistryStore &machineStore, platform::SoundService &sound, QWidget *parent = nullptr);
    ~frmMain() override;

    // Puts other dialogs in place of the window's own (which come back with nullptr); the
    // window does not own them.
    void setDialogs(UserDialogs *dialogs);

    core::PlayerPoller &poller() { return m_poller; }
    core::ServerPageClient &showClient() { return m_showClient; }
    QSystemTrayIcon *trayIcon() const { return m_tray; }
    QMenu *mPopupSys() const { return m_mPopupSys; }
    QString saveButtonCaption() const;
    // Why the players page could not be read, in the user's words; empty for no error.
    static QString pageErrorText(core::PageError error, int httpStatus, std::chrono::milliseconds timeout);

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
    void onPollFinished(const QList<core::Announcement> &announcements, core::PageError error);
    void onShowPage(const QString &page, core::PageError error);
    void updateTrayHint();
    std::array<QString, FieldCount> fieldTexts() const;
    core::ServerLogin login() const;
    core::EntryKind selectedKind() const;

    platform::RegistryStore &m_store;
    platform::SoundService &m_sound;
    core::RegistryAccess m_registry;
    core::Checklist m_checklist;
    core::PlayerPoller m_poller;
    core::ServerPageClient m_showClient;
    std::unique_ptr<UserDialogs> m_ownDialogs;
    UserDialogs *m_dialogs = nullptr;
    // The last poll that got no page: when, and why. The tray hint names it.
    QString m_lastFailure;
    QString m_lastFailureTime;
    QString m_lastSuccessTime;

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
