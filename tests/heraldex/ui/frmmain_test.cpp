// SPDX-License-Identifier: GPL-3.0-or-later
#include "heraldex/ui/frmmain.h"

#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/desktop/sound.h"
#include "platform/registrystore.h"
#include "tests/heraldex/core/fakewebadmin.h"
#include "tests/heraldex/core/webadminpage.h"
#include "tests/support/testpaths.h"

using heraldex::ui::frmMain;
using testsupport::FakeWebAdmin;
using testsupport::readFile;
using testsupport::writeFile;
namespace page = testsupport::webadmin;

namespace {

const QString kHeraldex = QStringLiteral("Software\\Heraldex");
const QString kChecklist = QStringLiteral("Software\\Heraldex\\checklist");

const QStringList kFields = {QStringLiteral("txtINIfile"),    QStringLiteral("txtIPAddress"),
                             QStringLiteral("txtPortNumber"), QStringLiteral("txtAdminName"),
                             QStringLiteral("txtPassword"),   QStringLiteral("txtFriendWav"),
                             QStringLiteral("txtEnemyWav")};
const QStringList kPlayerControls = {
    QStringLiteral("cmdShowCurrent"), QStringLiteral("cmdRemoveAll"), QStringLiteral("cmdAddName"),
    QStringLiteral("cmdAddIP"),       QStringLiteral("cmdAddBoth"),   QStringLiteral("lstPlayers"),
    QStringLiteral("lstAdd"),         QStringLiteral("optFriend"),    QStringLiteral("optEnemy")};

const QByteArray kServerIni = "[Engine.GameEngine]\r\n"
                              "ServerPackages=BotPack\r\n"
                              "ServerPackages=BotPack\r\n"
                              "[UWeb.WebServer]\r\n"
                              "bEnabled=False\r\n"
                              "; admin page\r\n"
                              "[UTServerAdmin.UTServerAdmin]\r\n"
                              "AdminUsername=boss\r\n"
                              "AdminPassword=s3cret\r\n";

class FrmMainTest : public ::testing::Test, public heraldex::ui::UserDialogs
{
protected:
    FrmMainTest()
        : store(platform::RegistryRoot::LocalMachine, dir.filePath(QStringLiteral("machine.reg")))
        , server("boss", "s3cret")
    {}

    void SetUp() override { ASSERT_TRUE(server.start()); }

    void open()
    {
        form = std::make_unique<frmMain>(store, sound);
        form->setDialogs(this);
        form->poller().client().setTimeout(std::chrono::milliseconds(1500));
        form->showClient().setTimeout(std::chrono::milliseconds(1500));
    }

    // Settings of a server that the fake web admin answers, as a user would have saved them.
    void storeWorkingSettings()
    {
        const QString ini = dir.filePath(QStringLiteral("UnrealTournament.ini"));
        ASSERT_TRUE(writeFile(ini, "[UWeb.WebServer]\r\nListenPort=" + server.portText().toLatin1() +
                                       "\r\n[UTServerAdmin.UTServerAdmin]\r\nAdminUsername=boss\r\n"
                                       "AdminPassword=s3cret\r\n"));
        ASSERT_TRUE(store.setString(kHeraldex, u"UTIniFile", ini));
        ASSERT_TRUE(store.setString(kHeraldex, u"UTServerAddress", QStringLiteral("127.0.0.1")));
        ASSERT_TRUE(store.setString(kHeraldex, u"Friend", QStringLiteral("/sounds/friend.wav")));
        ASSERT_TRUE(store.setString(kHeraldex, u"Enemy", QStringLiteral("/sounds/foe.wav")));
    }

    // The user's side of the window's dialogs.
    void message(QMessageBox::Icon, const QString &text) override { messages.append(text); }
    std::optional<QString> inputBox(const QString &prompt) override
    {
        prompts.append(prompt);
        return answer;
    }
    QString openFile(const QString &start, const QString &) override
    {
        fileStarts.append(start);
        return fileChoice;
    }
    bool playSound(const QString &wav) override
    {
        played.append(wav);
        return true;
    }

    template <typename T> T *child(const QString &name)
    {
        T *widget = form->findChild<T *>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QLineEdit *field(const char *name) { return child<QLineEdit>(QString::fromLatin1(name)); }
    QPushButton *button(const char *name) { return child<QPushButton>(QString::fromLatin1(name)); }
    QListWidget *list(const char *name) { return child<QListWidget>(QString::fromLatin1(name)); }
    QStringList items(const char *name)
    {
        QStringList texts;
        for (int i = 0; i < list(name)->count(); ++i)
            texts.append(list(name)->item(i)->text());
        return texts;
    }
    std::optional<QString> reg(const QString &key, const char *value)
    {
        const auto text = store.readString(key, QString::fromLatin1(value));
        return text ? text.value() : std::nullopt;
    }
    bool playerControlsEnabled(bool enabled)
    {
        bool all = true;
        for (const QString &name : kPlayerControls) {
            const QWidget *w = child<QWidget>(name);
            if (!w || w->isEnabled() != enabled) {
                ADD_FAILURE() << name.toStdString() << " is not " << (enabled ? "enabled" : "disabled");
                all = false;
            }
        }
        return all;
    }
    void serve(const QString &rows) { server.setPage(page::page(rows)); }
    bool show()
    {
        QSignalSpy spy(form.get(), &frmMain::showHandled);
        form->cmdShowCurrent_Click();
        return spy.wait(10000);
    }
    bool poll()
    {
        QSignalSpy spy(form.get(), &frmMain::pollHandled);
        form->Timer_Timer();
        return spy.wait(10000);
    }
    void pressOnChecklist(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(list("lstAdd"), &press);
    }

    QTemporaryDir dir;
    platform::RegistryStore store;
    platform::SoundService sound;
    FakeWebAdmin server;
    std::unique_ptr<frmMain> form;
    QStringList messages;
    QStringList prompts;
    std::optional<QString> answer;
    QStringList fileStarts;
    QString fileChoice;
    QStringList played;
};

} // namespace

TEST_F(FrmMainTest, FirstStartLeavesEverythingEmptyAndThePlayerControlsOff)
{
    open();
    for (const QString &name : kFields)
        EXPECT_TRUE(child<QLineEdit>(name)->text().isEmpty()) << name.toStdString();
    EXPECT_TRUE(playerControlsEnabled(false));
    EXPECT_EQ(form->saveButtonCaption(), QStringLiteral("Current Settings"));
    EXPECT_FALSE(button("cmdSaveSettings")->isEnabled());
    EXPECT_TRUE(child<QRadioButton>(QStringLiteral("optFriend"))->isChecked());
    EXPECT_FALSE(store.keyExists(kHeraldex)); // starting writes nothing
}

TEST_F(FrmMainTest, StartReadsTheStoreAndTheServerIni)
{
    const QString ini = dir.filePath(QStringLiteral("server.ini"));
    ASSERT_TRUE(writeFile(ini, kServerIni));
    ASSERT_TRUE(store.setString(kHeraldex, u"UTIniFile", ini));
    ASSERT_TRUE(store.setString(kHeraldex, u"UTServerAddress", QStringLiteral("192.0.2.1")));
    ASSERT_TRUE(store.setString(kHeraldex, u"Friend", QStringLiteral("f.wav")));
    ASSERT_TRUE(store.setString(kHeraldex, u"Enemy", QStringLiteral("e.wav")));
    ASSERT_TRUE(store.setString(kChecklist + QStringLiteral("\\Frd_Nick"), u"Annouce", QStringLiteral("YES")));
    ASSERT_TRUE(store.setString(kChecklist + QStringLiteral("\\Foe_10.0.0.5"), u"Annouce", QStringLiteral("NO")));
    open();

    EXPECT_EQ(field("txtINIfile")->text(), ini);
    EXPECT_EQ(field("txtIPAddress")->text(), QStringLiteral("192.0.2.1"));
    EXPECT_EQ(field("txtPortNumber")->text(), QStringLiteral("8888"));
    EXPECT_EQ(field("txtAdminName")->text(), QStringLiteral("boss"));
    EXPECT_EQ(field("txtPassword")->text(), QStringLiteral("s3cret"));
    EXPECT_EQ(field("txtPassword")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(field("txtFriendWav")->text(), QStringLiteral("f.wav"));
    EXPECT_EQ(field("txtEnemyWav")->text(), QStringLiteral("e.wav"));
    EXPECT_EQ(items("lstAdd"), (QStringList{QStringLiteral("Foe_10.0.0.5"), QStringLiteral("Frd_Nick")}));
    EXPECT_TRUE(playerControlsEnabled(true));
    EXPECT_EQ(form->saveButtonCaption(), QStringLiteral("Current Settings"));
    EXPECT_FALSE(button("cmdSaveSettings")->isEnabled());

    // The web server was switched on in the file; the default port was not written.
    QByteArray expected = kServerIni;
    expected.replace("bEnabled=False", "bEnabled=TRUE");
    EXPECT_EQ(readFile(ini), expected);
}

TEST_F(FrmMainTest, PartlyStoredSettingsStartWithSaveEnabled)
{
    ASSERT_TRUE(store.setString(kHeraldex, u"UTServerAddress", QStringLiteral("127.0.0.1")));
    ASSERT_TRUE(store.setString(kHeraldex, u"Friend", QStringLiteral("/sounds/friend.wav")));
    open();
    EXPECT_TRUE(playerControlsEnabled(false));
    EXPECT_EQ(form->saveButtonCaption(), QStringLiteral("Save Settings"));
    EXPECT_TRUE(button("cmdSaveSettings")->isEnabled());

    // Completed and saved, there is nothing left to save.
    field("txtPortNumber")->setText(QStringLiteral("8888"));
    field("txtAdminName")->setText(QStringLiteral("boss"));
    field("txtPassword")->setText(QStringLiteral("s3cret"));
    button("cmdSaveSettings")->click();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(form->saveButtonCaption(), QStringLiteral("Current Settings"));
    EXPECT_FALSE(button("cmdSaveSettings")->isEnabled());
}

TEST_F(FrmMainTest, SaveWithAnEmptyFieldWritesNothing)
{
    const QString ini = dir.filePath(QStringLiteral("server.ini"));
    ASSERT_TRUE(writeFile(ini, kServerIni));
    open();
    field("txtINIfile")->setText(ini);
    field("txtIPAddress")->setText(QStringLiteral("192.0.2.1"));
    field("txtPortNumber")->setText(QStringLiteral("7777"));
    field("txtAdminName")->setText(QStringLiteral("boss"));
    EXPECT_EQ(form->saveButtonCaption(), QStringLiteral("Save Settings"));
    form->cmdSaveSettings_Click();
    EXPECT_EQ(messages, QStringList{QStringLiteral("Please enter all fields!")});
    EXPECT_FALSE(reg(kHeraldex, "UTIniFile").has_value());
    EXPECT_FALSE(reg(kHeraldex, "UTServerAddress").has_value());
    EXPECT_EQ(readFile(ini), kServerIni);
    EXPECT_EQ(form->saveButtonCaption(), QStringLiteral("Save Settings"));
}

TEST_F(FrmMainTest, SaveWritesTheStoreAndOnlyThreeIniKeys)
{
    const QString ini = dir.filePath(QStringLiteral("server.ini"));
    ASSERT_TRUE(writeFile(ini, kServerIni));
    open();
    field("txtINIfile")->setText(ini);
    field("txtIPAddress")->setText(QStringLiteral("192.0.2.1"));
    field("txtPortNumber")->setText(QStringLiteral("7777"));
    field("txtAdminName")->setText(QStringLiteral("new:admin@x"));
    field("txtPassword")->setText(QStringLiteral("pa/ss"));
    field("txtFriendWav")->setText(QStringLiteral("f.wav"));
    field("txtEnemyWav")->setText(QStringLiteral("e.wav"));
    form->cmdSaveSettings_Click();

    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(reg(kHeraldex, "UTServerAddress"), std::optional<QString>(QStringLiteral("192.0.2.1")));
    EXPECT_EQ(reg(kHeraldex, "UTIniFile"), std::optional<QString>(ini));
    EXPECT_EQ(reg(kHeraldex, "Friend"), std::optional<QString>(QStringLiteral("f.wav")));
    EXPECT_EQ(reg(kHeraldex, "Enemy"), std::optional<QString>(QStringLiteral("e.wav")));
    EXPECT_TRUE(store.keyExists(kChecklist));
    QByteArray expected = kServerIni;
    expected.replace("; admin page\r\n", "; admin page\r\nListenPort=7777\r\n")
        .replace("AdminUsername=boss", "AdminUsername=new:admin@x")
        .replace("AdminPassword=s3cret", "AdminPassword=pa/ss");
    EXPECT_EQ(readFile(ini).toStdString(), expected.toStdString());
    EXPECT_EQ(form->saveButtonCaption(), QStringLiteral("Current Settings"));
    EXPECT_FALSE(button("cmdSaveSettings")->isEnabled());
    EXPECT_TRUE(playerControlsEnabled(true));
}

TEST_F(FrmMainTest, SaveThatCannotWriteTheIniSaysSoAndKeepsTheEditsPending)
{
    const QString blocked = dir.filePath(QStringLiteral("folder.ini"));
    ASSERT_TRUE(QDir().mkpath(blocked));
    open();
    field("txtINIfile")->setText(blocked);
    field("txtIPAddress")->setText(QStringLiteral("192.0.2.1"));
    field("txtPortNumber")->setText(QStringLiteral("7777"));
    field("txtAdminName")->setText(QStringLiteral("boss"));
    field("txtPassword")->setText(QStringLiteral("pw"));
    form->cmdSaveSettings_Click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().contains(blocked));
    EXPECT_EQ(form->saveButtonCaption(), QStringLiteral("Save Settings"));
    EXPECT_TRUE(button("cmdSaveSettings")->isEnabled());
}

TEST_F(FrmMainTest, SaveButtonFollowsPendingEdits)
{
    storeWorkingSettings();
    open();
    QLineEdit *address = field("txtIPAddress");
    QLineEdit *port = field("txtPortNumber");

    address->setText(QStringLiteral("127.0.0.10"));
    EXPECT_EQ(form->saveButtonCaption(), QStringLiteral("Save Settings"));
    EXPECT_TRUE(button("cmdSaveSettings")->isEnabled());
    address->setText(QStringLiteral("127.0.0.1"));
    EXPECT_EQ(form->saveButtonCaption(), QStringLiteral("Current Settings"));
    EXPECT_FALSE(button("cmdSaveSettings")->isEnabled());

    // Undoing one field's edit leaves another field's edit pending.
    address->setText(QStringLiteral("127.0.0.10"));
    const QString oldPort = port->text();
    port->setText(oldPort + QLatin1Char('1'));
    port->setText(oldPort);
    EXPECT_EQ(form->saveButtonCaption(), QStringLiteral("Save Settings"));
}

TEST_F(FrmMainTest, BrowsingFillsTheFieldsAndCancelChangesNothing)
{
    const QString ini = dir.filePath(QStringLiteral("chosen.ini"));
    ASSERT_TRUE(writeFile(ini, kServerIni));
    open();
    form->Command1_Click();
    ASSERT_EQ(fileStarts.size(), 1);
    EXPECT_EQ(fileStarts.first(), QDir::homePath()); // no game folder recorded
    EXPECT_TRUE(field("txtINIfile")->text().isEmpty());

    ASSERT_TRUE(store.setString(u"Software\\Unreal Technology\\Installed Apps\\UnrealTournament", u"Folder",
                                QStringLiteral("/games/UT")));
    fileChoice = ini;
    form->Command1_Click();
    EXPECT_EQ(fileStarts.last(), QStringLiteral("/games/UT/System"));
    EXPECT_EQ(field("txtINIfile")->text(), ini);
    EXPECT_EQ(field("txtAdminName")->text(), QStringLiteral("boss"));
    EXPECT_EQ(field("txtPortNumber")->text(), QStringLiteral("8888"));
    EXPECT_EQ(form->saveButtonCaption(), QStringLiteral("Save Settings"));

    fileChoice = QStringLiteral("/sounds/hello.wav");
    form->cmdBrowseEnemy_Click();
    EXPECT_EQ(field("txtEnemyWav")->text(), fileChoice);
    fileChoice.clear();
    form->CmdBrowseFriend_Click();
    EXPECT_TRUE(field("txtFriendWav")->text().isEmpty());
    form->cmdPlayEnemy_Click();
    EXPECT_EQ(played, QStringList{QStringLiteral("/sounds/hello.wav")});
}

TEST_F(FrmMainTest, PollingRunsOnlyWhileMinimisedOrRestoredFromTheTray)
{
    open();
    QTimer *timer = form->findChild<QTimer *>(QStringLiteral("Timer"));
    ASSERT_NE(timer, nullptr);
    form->show();
    EXPECT_FALSE(timer->isActive());

    form->setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 32768);
    QCoreApplication::processEvents();
    // Without a tray the window must stay reachable, so it is not hidden.
    EXPECT_EQ(form->isVisible(), !QSystemTrayIcon::isSystemTrayAvailable());

    form->Form_MouseMove(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isMinimized());
    EXPECT_TRUE(timer->isActive());

    form->setWindowState(Qt::WindowMinimized);
    form->mPopRestore_Click();
    EXPECT_FALSE(form->isMinimized());
    EXPECT_FALSE(timer->isActive());
}

TEST_F(FrmMainTest, ExitEndsTheProgram)
{
    open();
    form->show();
    QSignalSpy ended(form.get(), &frmMain::programEnded);
    form->mPopupSys()->findChild<QAction *>(QStringLiteral("mPopExit"))->trigger();
    EXPECT_EQ(ended.size(), 1);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(FrmMainTest, TabOrderFollowsTheForm)
{
    open();
    const QStringList order = {
        QStringLiteral("txtINIfile"),     QStringLiteral("Command1"),        QStringLiteral("txtIPAddress"),
        QStringLiteral("txtPortNumber"),  QStringLiteral("txtAdminName"),    QStringLiteral("txtPassword"),
        QStringLiteral("txtFriendWav"),   QStringLiteral("CmdBrowseFriend"), QStringLiteral("cmdPlayFriend"),
        QStringLiteral("txtEnemyWav"),    QStringLiteral("cmdBrowseEnemy"),  QStringLiteral("cmdPlayEnemy"),
        QStringLiteral("cmdShowCurrent"), QStringLiteral("optFriend"),       QStringLiteral("optEnemy"),
        QStringLiteral("lstPlayers"),     QStringLiteral("cmdAddName"),      QStringLiteral("cmdAddIP"),
        QStringLiteral("cmdAddBoth"),     QStringLiteral("cmdRemoveAll"),    QStringLiteral("lstAdd"),
        QStringLiteral("cmdSaveSettings")};
    QStringList chain;
    QWidget *start = field("txtINIfile");
    QWidget *w = start;
    do {
        if (order.contains(w->objectName()) && !chain.contains(w->objectName()))
            chain.append(w->objectName());
        w = w->nextInFocusChain();
    } while (w && w != start);
    EXPECT_EQ(chain, order);
}

TEST_F(FrmMainTest, ShowListsThePlayersAndCouplesTheSelection)
{
    storeWorkingSettings();
    serve(page::humanRow(1, QStringLiteral("Nick"), QStringLiteral("10.0.0.1")) +
          page::botRow(QStringLiteral("Loque")) +
          page::humanRow(2, QStringLiteral("Big&nbsp;Al"), QStringLiteral("10.0.0.2")) +
          page::humanRow(3, QStringLiteral("Eve"), QStringLiteral("10.0.0.3")));
    open();
    ASSERT_TRUE(show());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(items("lstPlayers"),
              (QStringList{QStringLiteral("Nick"), QStringLiteral("BigAl"), QStringLiteral("Eve")}));
    EXPECT_EQ(items("lstIP"),
              (QStringList{QStringLiteral("10.0.0.1"), QStringLiteral("10.0.0.2"), QStringLiteral("10.0.0.3")}));
    EXPECT_TRUE(played.isEmpty());

    list("lstPlayers")->item(0)->setSelected(true);
    list("lstPlayers")->item(2)->setSelected(true);
    EXPECT_TRUE(list("lstIP")->item(0)->isSelected());
    EXPECT_FALSE(list("lstIP")->item(1)->isSelected());
    EXPECT_TRUE(list("lstIP")->item(2)->isSelected());
    list("lstPlayers")->item(0)->setSelected(false);
    EXPECT_FALSE(list("lstIP")->item(0)->isSelected());

    // Add Both puts the selected names and their addresses on the checklist, once.
    child<QRadioButton>(QStringLiteral("optEnemy"))->setChecked(true);
    form->cmdAddBoth_Click();
    form->cmdAddBoth_Click();
    EXPECT_TRUE(prompts.isEmpty());
    EXPECT_EQ(items("lstAdd"), (QStringList{QStringLiteral("Foe_Eve"), QStringLiteral("Foe_10.0.0.3")}));
    EXPECT_EQ(reg(kChecklist + QStringLiteral("\\Foe_10.0.0.3"), "Annouce"),
              std::optional<QString>(QStringLiteral("YES")));
}

TEST_F(FrmMainTest, ShowWithoutPlayersSaysSoAndReArmsTheChecklist)
{
    storeWorkingSettings();
    ASSERT_TRUE(store.setString(kChecklist + QStringLiteral("\\Frd_Nick"), u"Annouce", QStringLiteral("NO")));
    open();

    serve(page::noPlayersRow());
    ASSERT_TRUE(show());
    EXPECT_EQ(messages, QStringList{QStringLiteral("No players on-line.")});
    EXPECT_EQ(reg(kChecklist + QStringLiteral("\\Frd_Nick"), "Annouce"), std::optional<QString>(QStringLiteral("YES")));

    // A page that cannot be read is no empty server: Show says why and leaves the checklist.
    ASSERT_TRUE(store.setString(kChecklist + QStringLiteral("\\Frd_Nick"), u"Annouce", QStringLiteral("NO")));
    field("txtPassword")->setText(QStringLiteral("wrong"));
    ASSERT_TRUE(show());
    field("txtPassword")->setText(QStringLiteral("s3cret"));
    server.setMode(FakeWebAdmin::Mode::NotFound);
    ASSERT_TRUE(show());
    server.setMode(FakeWebAdmin::Mode::Silent);
    ASSERT_TRUE(show());
    server.stop();
    ASSERT_TRUE(show());
    ASSERT_EQ(messages.size(), 5);
    const QStringList reasons = {QStringLiteral("refused the admin name or password"),
                                 QStringLiteral("HTTP status 404"), QStringLiteral("did not answer within 1.5 seconds"),
                                 QStringLiteral("cannot be reached")};
    for (int i = 0; i < reasons.size(); ++i) {
        EXPECT_TRUE(messages[i + 1].startsWith(QStringLiteral("Cannot read the players on-line.\n")))
            << messages[i + 1].toStdString();
        EXPECT_TRUE(messages[i + 1].contains(reasons[i])) << messages[i + 1].toStdString();
    }
    EXPECT_EQ(reg(kChecklist + QStringLiteral("\\Frd_Nick"), "Annouce"), std::optional<QString>(QStringLiteral("NO")));
    EXPECT_EQ(list("lstPlayers")->count(), 0);
}

TEST_F(FrmMainTest, AddingWithoutASelectionAsksForTheText)
{
    storeWorkingSettings();
    open();
    struct Case
    {
        bool isFriend;
        void (frmMain::*handler)();
        const char *prompt;
        std::optional<QString> answer;
        const char *added;
    };
    const Case cases[] = {
        {true, &frmMain::cmdAddIP_Click, "Enter FRIEND IP Address", QStringLiteral("10.0.0.5"), "Frd_10.0.0.5"},
        {false, &frmMain::cmdAddIP_Click, "Enter FOE IP Address", QStringLiteral("10.0.0.6"), "Foe_10.0.0.6"},
        {true, &frmMain::cmdAddName_Click, "Enter FRIEND Player Name", QStringLiteral("Nick"), "Frd_Nick"},
        {false, &frmMain::cmdAddName_Click, "Enter FOE Player Name", std::nullopt, nullptr},
        {false, &frmMain::cmdAddName_Click, "Enter FOE Player Name", QString(), nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.prompt);
        child<QRadioButton>(QString::fromLatin1(c.isFriend ? "optFriend" : "optEnemy"))->setChecked(true);
        answer = c.answer;
        const QStringList before = items("lstAdd");
        (form.get()->*c.handler)();
        EXPECT_EQ(prompts.last(), QString::fromLatin1(c.prompt));
        if (c.added) {
            EXPECT_EQ(items("lstAdd"), before + QStringList{QString::fromLatin1(c.added)});
            EXPECT_EQ(reg(kChecklist + u'\\' + QString::fromLatin1(c.added), "Annouce"),
                      std::optional<QString>(QStringLiteral("YES")));
        } else {
            EXPECT_EQ(items("lstAdd"), before);
        }
    }
    EXPECT_EQ(store.subKeyNames(kChecklist).size(), 3);
}

TEST_F(FrmMainTest, TextThatCannotBeAKeyIsRefusedWithAMessage)
{
    storeWorkingSettings();
    open();
    answer = QStringLiteral("evil\\..\\..");
    form->cmdAddName_Click();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(list("lstAdd")->count() == 0);
    EXPECT_TRUE(store.subKeyNames(kChecklist).isEmpty());
}

TEST_F(FrmMainTest, DeleteKeyAndRemoveAllTakeEntriesOutOfTheStore)
{
    storeWorkingSettings();
    for (const char *key : {"Foe_A", "Frd_B", "Frd_C", "Frd_D"})
        ASSERT_TRUE(store.setString(kChecklist + u'\\' + QString::fromLatin1(key), u"Annouce", QStringLiteral("YES")));
    open();
    ASSERT_EQ(items("lstAdd").size(), 4);

    list("lstAdd")->item(0)->setSelected(true);
    list("lstAdd")->item(2)->setSelected(true);
    pressOnChecklist(Qt::Key_Delete);
    EXPECT_EQ(items("lstAdd"), (QStringList{QStringLiteral("Frd_B"), QStringLiteral("Frd_D")}));
    EXPECT_EQ(store.subKeyNames(kChecklist), (QStringList{QStringLiteral("Frd_B"), QStringLiteral("Frd_D")}));

    list("lstAdd")->item(1)->setSelected(true);
    pressOnChecklist(Qt::Key_Period, Qt::KeypadModifier);
    EXPECT_EQ(items("lstAdd"), QStringList{QStringLiteral("Frd_B")});

    // Other keys do nothing.
    list("lstAdd")->item(0)->setSelected(true);
    pressOnChecklist(Qt::Key_Backspace);
    EXPECT_EQ(items("lstAdd"), QStringList{QStringLiteral("Frd_B")});

    form->cmdRemoveAll_Click();
    EXPECT_TRUE(items("lstAdd").isEmpty());
    EXPECT_TRUE(store.subKeyNames(kChecklist).isEmpty());
    EXPECT_TRUE(store.keyExists(kChecklist));
}

TEST_F(FrmMainTest, TimerPollPlaysTheSoundsOncePerAppearance)
{
    storeWorkingSettings();
    ASSERT_TRUE(store.setString(kChecklist + QStringLiteral("\\Frd_Nick"), u"Annouce", QStringLiteral("YES")));
    ASSERT_TRUE(store.setString(kChecklist + QStringLiteral("\\Foe_10.0.0.9"), u"Annouce", QStringLiteral("YES")));
    open();
    const QString nick = page::humanRow(1, QStringLiteral("Nick"), QStringLiteral("10.0.0.1"));
    const QString mallory = page::humanRow(2, QStringLiteral("Mallory"), QStringLiteral("10.0.0.9"));

    serve(nick + mallory);
    ASSERT_TRUE(poll());
    EXPECT_EQ(played, (QStringList{QStringLiteral("/sounds/friend.wav"), QStringLiteral("/sounds/foe.wav")}));
    ASSERT_TRUE(poll());
    EXPECT_EQ(played.size(), 2);

    serve(mallory);
    ASSERT_TRUE(poll());
    serve(nick + mallory);
    ASSERT_TRUE(poll());
    EXPECT_EQ(played.size(), 3);
    EXPECT_EQ(played.last(), QStringLiteral("/sounds/friend.wav"));

    // A server that never answers ends the poll by the time-out and re-arms everyone.
    server.setMode(FakeWebAdmin::Mode::Silent);
    ASSERT_TRUE(poll());
    server.setMode(FakeWebAdmin::Mode::Answer);
    ASSERT_TRUE(poll());
    EXPECT_EQ(played.size(), 5);
    EXPECT_TRUE(messages.isEmpty()); // polls never show a message

    // The tray hint names the last failed poll and why it failed.
    EXPECT_EQ(form->trayIcon()->toolTip().section(u'\n', 0, 0), QStringLiteral("Heraldex"));
    EXPECT_TRUE(form->trayIcon()->toolTip().contains(QStringLiteral("did not answer within 1.5 seconds")));
    server.setMode(FakeWebAdmin::Mode::NotFound);
    ASSERT_TRUE(poll());
    const QString hint = form->trayIcon()->toolTip();
    EXPECT_TRUE(
        hint.contains(QRegularExpression(QStringLiteral("Last failed poll \\d\\d:\\d\\d:\\d\\d: .*HTTP status 404"))))
        << hint.toStdString();
    EXPECT_FALSE(hint.contains(QStringLiteral("did not answer")));
}
