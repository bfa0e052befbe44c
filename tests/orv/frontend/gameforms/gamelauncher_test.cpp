// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <optional>

#include <gtest/gtest.h>

#include "orv/engine/queryengine.h"
#include "orv/engine/serverentry.h"
#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/gameforms/gamelauncher.h"
#include "orv/frontend/gameforms/gameoptionsform.h"
#include "orv/frontend/mainwindow/iconprovider.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/serverview.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "platform/desktop/sound.h"
#include "platform/registrystore.h"
#include "tests/support/testpaths.h"

using namespace orv::frontend;
using namespace orv::core;
using orv::engine::ServerPage;

namespace {

struct LauncherFixture;

// The launcher's host with every dialog and program start recorded instead of shown or run.
class RecordingHost : public StandardLauncherHost
{
public:
    RecordingHost(LauncherFixture &f, TMainForm &form, orv::engine::QueryEngine &engine)
        : StandardLauncherHost(form, engine)
        , m_f(f)
    {}
    WhenGameStarts whenStart() const override;
    bool continueRefresh() const override { return true; }
    QString beaconSign2() const override { return QStringLiteral("ut"); }
    bool askYesNo(const QString &text) override;
    void warn(const QString &text) override;
    std::optional<QString> askLinkName(const QString &) override;
    QString chooseIniFile(const QString &folder) override;
    bool openUrl(const QString &url) override;
    void setClipboard(const QString &text) override;
    platform::Status startCommand(const launch::GameCommand &command) override;
    QString desktopFolder() const override;

private:
    LauncherFixture &m_f;
};

// A main window over a real engine, the game options and the launcher.
struct LauncherFixture
{
    QTemporaryDir dir;
    platform::RegistryStore store{platform::RegistryRoot::CurrentUser, dir.filePath("registry.json")};
    platform::SoundService service;
    SoundBank sounds{service};
    orv::engine::QueryEngine engine;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TUnrealOptionsForm> options;
    std::unique_ptr<GameLauncher> launcher;
    std::unique_ptr<RecordingHost> host;
    QStringList questions;
    QStringList warnings;
    QStringList opened;
    QStringList clipboard;
    QStringList iniFolders;
    QString iniChoice;
    QList<std::pair<QString, QStringList>> started;
    QList<launch::GameCommand> commands;
    std::optional<QString> linkName = QStringLiteral("My server");
    WhenGameStarts whenStart = WhenGameStarts::KeepRunning;
    bool realStarts = false;

    LauncherFixture()
    {
        IconProvider::initResources();
        sounds.setEnabled(false);
        form = std::make_unique<TMainForm>(engine, sounds);
        options = std::make_unique<TUnrealOptionsForm>(store, sounds);
        options->setDataFolder(dir.path());
        options->setMessageShower([](TUnrealOptionsForm::MessageKind, const QString &) {});
        launcher = std::make_unique<GameLauncher>(*form, engine, *options, sounds);
        host = std::make_unique<RecordingHost>(*this, *form, engine);
        launcher->setHost(host.get());
    }

    void useRealStarts() { realStarts = true; }

    void setRow(const QString &game, const QString &address, const QString &port, int icon = 0)
    {
        orv::engine::ServerEntry entry;
        entry.caption = QStringLiteral("Some server");
        entry.setColumn(2, game);
        entry.setColumn(22, QStringLiteral("admin@example.org"));
        entry.setColumn(orv::engine::kColumnAddress, address);
        entry.setColumn(orv::engine::kColumnGamePort, port);
        entry.icon = icon;
        engine.setRows(ServerPage::Internet, {entry});
        form->changePage(ServerPage::Internet);
        form->view(ServerPage::Internet)->selectRow(0);
    }

    QString fakeGame(const char *name, const QByteArray &script, QFile::Permissions extra = QFile::ExeOwner)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        testsupport::writeFile(path, script);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | extra);
        return path;
    }
};

WhenGameStarts RecordingHost::whenStart() const
{
    return m_f.whenStart;
}
bool RecordingHost::askYesNo(const QString &text)
{
    m_f.questions.append(text);
    return false;
}
void RecordingHost::warn(const QString &text)
{
    m_f.warnings.append(text);
}
std::optional<QString> RecordingHost::askLinkName(const QString &)
{
    return m_f.linkName;
}
QString RecordingHost::chooseIniFile(const QString &folder)
{
    m_f.iniFolders.append(folder);
    return m_f.iniChoice;
}
bool RecordingHost::openUrl(const QString &url)
{
    m_f.opened.append(url);
    return true;
}
void RecordingHost::setClipboard(const QString &text)
{
    m_f.clipboard.append(text);
}
platform::Status RecordingHost::startCommand(const launch::GameCommand &command)
{
    if (m_f.realStarts)
        return StandardLauncherHost::startCommand(command);
    m_f.started.append({command.program, command.arguments});
    m_f.commands.append(command);
    return {};
}
QString RecordingHost::desktopFolder() const
{
    return m_f.dir.filePath("Desktop");
}

} // namespace

TEST(GameLauncher, ViaNetUsesTheRowsGameAndRestoresTheSwitch)
{
    LauncherFixture f;
    const QString ut = f.fakeGame("ut", "#!/bin/sh\n");
    const QString unreal = f.fakeGame("unreal", "#!/bin/sh\n");
    f.options->setGamePath(1, unreal);
    f.options->setGamePath(3, ut);
    f.options->commandField(QStringLiteral("Addcmd2"))->setText(QStringLiteral("-log"));
    f.options->setNickname(QStringLiteral("Bob"));

    struct Case
    {
        const char *game;
        QString executable;
    };
    for (const Case &c : {Case{"UT", ut}, Case{"Unreal", unreal}}) {
        SCOPED_TRACE(c.game);
        f.started.clear();
        f.setRow(QString::fromLatin1(c.game), QStringLiteral("192.0.2.10"), QStringLiteral("7777"));
        f.form->setGameSwitchUT(false);
        f.form->updateActions();
        f.form->action(MainAction::UnrealviaNet)->trigger();
        ASSERT_EQ(f.started.size(), 1);
        EXPECT_EQ(f.started[0].first, c.executable);
        EXPECT_TRUE(f.started[0].second.first().startsWith(QStringLiteral("192.0.2.10?port=7777?Name=Bob")));
        EXPECT_FALSE(f.form->gameSwitchUT());
    }
    EXPECT_EQ(f.started[0].second.size(), 1); // Unreal has no extra text
    EXPECT_TRUE(f.launcher->lastStatus().startsWith(QStringLiteral("Run game. Command [") + unreal));

    // A row that never answered starts nothing, and a bad game port is refused.
    f.started.clear();
    f.setRow(QStringLiteral("UT"), QStringLiteral("192.0.2.10"), QStringLiteral("7777"), 3);
    f.launcher->A_UnrealviaNet();
    f.setRow(QStringLiteral("UT"), QStringLiteral("192.0.2.10"), QStringLiteral("7777 -foo"));
    f.launcher->A_UnrealviaNet();
    EXPECT_TRUE(f.started.isEmpty());
    EXPECT_EQ(f.warnings.size(), 1);
}

TEST(GameLauncher, BrokenGamePathsAskAndStartNothing)
{
    LauncherFixture f;
    f.setRow(QStringLiteral("UT"), QStringLiteral("192.0.2.10"), QStringLiteral("7777"));
    const QString plain = f.fakeGame("notexec", "data", {});
    for (const QString &path : {QString(), f.dir.path(), f.dir.filePath("missing"), plain}) {
        SCOPED_TRACE(path.toStdString());
        f.questions.clear();
        f.options->setGamePath(3, path);
        f.launcher->A_UnrealviaNet();
        EXPECT_EQ(f.questions, QStringList({"Game executable file not found! You want to reselect it ?"}));
    }
    EXPECT_TRUE(f.started.isEmpty());
    EXPECT_EQ(gameFileState(f.dir.path()), GameFileState::Folder);
    EXPECT_EQ(gameFileState(plain), GameFileState::NotExecutable);

    // The editor is silently skipped when missing.
    f.options->setGamePath(2, f.dir.path());
    f.launcher->A_Editor();
    EXPECT_TRUE(f.started.isEmpty());
}

TEST(GameLauncher, StartsTheRealProgramWithExactArguments)
{
    LauncherFixture f;
    f.useRealStarts();
    const QString out = f.dir.filePath("args.txt");
    const QString game =
        f.fakeGame("game.sh", QByteArray("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > ") +
                                  QFile::encodeName(out) + "\n");
    f.options->setGamePath(1, game);
    f.options->commandField(QStringLiteral("Addcmd1"))->setText(QStringLiteral("-log INI=\"a b.ini\""));
    f.options->setNickname(QStringLiteral("Bo b\";rm -rf x"));
    f.setRow(QStringLiteral("Unreal"), QStringLiteral("127.0.0.2"), QStringLiteral("7777"));
    f.launcher->A_UnrealviaNet();
    for (int i = 0; i < 200 && QFile(out).size() == 0; ++i)
        QThread::msleep(20);
    const QStringList lines = QString::fromUtf8(testsupport::readFile(out)).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines, QStringList({"127.0.0.2?port=7777?Name=Bo b\";rm -rf x?Team=255", "-log", "INI=a b.ini"}));
    EXPECT_TRUE(f.warnings.isEmpty());
}

TEST(GameLauncher, SingleSafeAndServerCommands)
{
    LauncherFixture f;
    const QString game = f.fakeGame("game", "#!/bin/sh\n");
    f.options->setGamePath(3, game);
    f.options->commandField(QStringLiteral("Addcmd2"))->setText(QStringLiteral("-log"));
    f.options->commandField(QStringLiteral("ServerCmd2"))
        ->setText(QStringLiteral("DM-Deck16?game=Botpack.DeathMatchPlus -server"));
    f.form->setGameSwitchUT(true);
    f.launcher->A_Unreal();
    f.launcher->A_Safe();
    f.launcher->A_Server();
    ASSERT_EQ(f.started.size(), 3);
    EXPECT_EQ(f.started[0].second, QStringList({"-log"}));
    EXPECT_EQ(f.started[1].second, QStringList({"-safe", "-log"}));
    EXPECT_EQ(f.started[2].second, QStringList({"DM-Deck16?game=Botpack.DeathMatchPlus", "-server"}));
}

TEST(GameLauncher, TerminateEndsQuietlyOnlyAfterAGame)
{
    for (bool server : {false, true}) {
        SCOPED_TRACE(server ? "server" : "game");
        LauncherFixture f;
        f.options->setGamePath(1, f.fakeGame("game", "#!/bin/sh\n"));
        f.whenStart = WhenGameStarts::Terminate;
        f.form->show();
        if (server)
            f.launcher->A_Server();
        else
            f.launcher->A_Unreal();
        EXPECT_FALSE(f.form->isVisible());
        EXPECT_EQ(f.launcher->isExitSoundSuppressed(), !server);
    }
}

TEST(GameLauncher, ShortcutModeLastsOneCommand)
{
    LauncherFixture f;
    f.setRow(QStringLiteral("UT"), QStringLiteral("192.0.2.10"), QStringLiteral("7777"), 3);
    // Missing executable: the question, and the next launch is a normal one.
    f.launcher->A_ShortCut();
    EXPECT_EQ(f.questions.size(), 1);
    const QString game = f.fakeGame("UnrealTournament", "#!/bin/sh\n");
    f.options->setGamePath(3, game);
    f.setRow(QStringLiteral("UT"), QStringLiteral("192.0.2.10"), QStringLiteral("7777"));
    f.launcher->A_UnrealviaNet();
    EXPECT_EQ(f.started.size(), 1);
    EXPECT_FALSE(QDir(f.dir.filePath("Desktop")).exists());

    // A shortcut works on a row that never answered, and starts nothing.
    f.setRow(QStringLiteral("UT"), QStringLiteral("192.0.2.10"), QStringLiteral("7777"), 3);
    f.launcher->A_ShortCut();
    EXPECT_EQ(f.started.size(), 1);
    const QByteArray desktop = testsupport::readFile(f.dir.filePath("Desktop/My server.desktop"));
    EXPECT_TRUE(desktop.contains("Name=My server"));
    EXPECT_TRUE(desktop.contains("192.0.2.10?port=7777"));

    // A cancelled name makes nothing.
    f.linkName.reset();
    f.launcher->A_ShortCut();
    EXPECT_EQ(QDir(f.dir.filePath("Desktop")).entryList(QDir::Files).size(), 1);
}

TEST(GameLauncher, ClipboardMailAndAddress)
{
    LauncherFixture f;
    f.setRow(QStringLiteral("UT"), QStringLiteral("192.0.2.10"), QStringLiteral("7777"));
    f.launcher->A_ToClipboard();
    f.launcher->A_ToClipboardUURL();
    f.launcher->A_AdminMail();
    f.launcher->A_GotoAddress();
    EXPECT_EQ(f.clipboard, QStringList({"192.0.2.10:7777", "unreal://192.0.2.10/index.unr"}));
    EXPECT_EQ(f.opened, QStringList({"mailto:admin@example.org", "http://192.0.2.10"}));
}

TEST(GameLauncher, PresetMenuFollowsThePresetsAndLaunchesWithTheChosenOne)
{
    LauncherFixture f;
    ASSERT_NE(f.launcher->presetMenu(), nullptr);
    f.options->setGamePath(3, f.fakeGame("ut", "#!/bin/sh\n"));
    ASSERT_TRUE(f.options->presetStorage()->LoadSettings());
    ASSERT_TRUE(f.options->formStorage()->LoadSettings());
    auto menuTexts = [&f] {
        QStringList texts;
        for (QAction *item : f.launcher->presetMenu()->actions())
            texts.append(item->text());
        return texts;
    };
    f.options->setNickname(QStringLiteral("Bob"));
    f.options->SpeedButton1Click();
    f.options->setNickname(QStringLiteral("Eve"));
    f.options->SpeedButton1Click();
    EXPECT_EQ(menuTexts(), QStringList({"Bob", "Eve"}));

    f.setRow(QStringLiteral("ut"), QStringLiteral("192.0.2.10"), QStringLiteral("7777"));
    f.launcher->presetMenu()->actions()[0]->trigger();
    ASSERT_EQ(f.started.size(), 1);
    EXPECT_TRUE(f.started[0].second.first().contains(QStringLiteral("?Name=Bob")));
    EXPECT_EQ(f.options->nickname(), QStringLiteral("Bob"));

    f.options->SpeedButton2Click();
    EXPECT_EQ(menuTexts(), QStringList({"Eve"}));
}

// A native game runs in its own folder, through the user's wrapper when one is set; a
// wrapper or game that cannot start is reported with its command and nothing counts as
// started.
TEST(GameLauncher, NativeGameWrapperAndFailuresOnTheRealSystem)
{
    LauncherFixture f;
    f.useRealStarts();
    const QString out = f.dir.filePath("record.txt");
    const QByteArray record = "#!/bin/sh\n{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > " +
                              QFile::encodeName(out) + ".tmp && mv " + QFile::encodeName(out) + ".tmp " +
                              QFile::encodeName(out) + "\n";
    const QString system64 = f.dir.filePath("UnrealTournament/System64");
    ASSERT_TRUE(QDir().mkpath(system64));
    const QString game = system64 + QStringLiteral("/ut-bin-amd64");
    ASSERT_TRUE(testsupport::writeFile(game, record));
    QFile::setPermissions(game, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString wrapper = f.fakeGame("wrap", "#!/bin/sh\nexec \"$@\" --wrapped\n");
    f.options->setGamePath(3, game);
    f.options->setNickname(QStringLiteral("Bob"));
    f.setRow(QStringLiteral("ut"), QStringLiteral("127.0.0.2"), QStringLiteral("7777"));
    auto waitForRecord = [&out] {
        for (int i = 0; i < 250 && !QFile::exists(out); ++i)
            QThread::msleep(20);
        const QStringList lines = QString::fromUtf8(testsupport::readFile(out)).split(u'\n', Qt::SkipEmptyParts);
        QFile::remove(out);
        return lines;
    };

    f.launcher->A_UnrealviaNet();
    EXPECT_EQ(waitForRecord(), QStringList({system64, "127.0.0.2?port=7777?Name=Bob?Team=255"}));

    f.options->setCommandLine(true, wrapper + QStringLiteral(" %command% -log"));
    f.launcher->A_UnrealviaNet();
    EXPECT_EQ(waitForRecord(), QStringList({system64, "127.0.0.2?port=7777?Name=Bob?Team=255", "-log", "--wrapped"}));
    EXPECT_TRUE(f.warnings.isEmpty());

    // A wrapper that is not installed, then a game file that lost its execute permission.
    f.options->setCommandLine(true, QStringLiteral("no-such-wrapper-here %command%"));
    const QString before = f.launcher->lastStatus();
    f.launcher->A_UnrealviaNet();
    ASSERT_EQ(f.warnings.size(), 1);
    EXPECT_TRUE(f.warnings[0].contains(QStringLiteral("\"no-such-wrapper-here\" cannot be found")));
    EXPECT_TRUE(f.warnings[0].contains(QStringLiteral("Command: no-such-wrapper-here ") + game))
        << f.warnings[0].toStdString();
    EXPECT_EQ(f.launcher->lastStatus(), before); // no "Run game." for a game that never ran
    f.options->setCommandLine(true, QString());
    QFile::setPermissions(game, QFile::ReadOwner | QFile::WriteOwner);
    f.launcher->A_UnrealviaNet();
    EXPECT_EQ(f.questions.size(), 1);
    EXPECT_FALSE(QFile::exists(out));
}

// A Windows game starts through wine in the prefix it lies in, and the INI file it is
// handed is named the way it reads paths.
TEST(GameLauncher, WindowsGameRunsInItsWinePrefix)
{
    LauncherFixture f;
    const QString prefix = f.dir.filePath("games-prefix");
    const QString system = prefix + QStringLiteral("/drive_c/Unreal/System");
    ASSERT_TRUE(QDir().mkpath(system));
    const QString game = system + QStringLiteral("/Unreal.exe");
    ASSERT_TRUE(testsupport::writeFile(game, "MZ"));
    ASSERT_TRUE(testsupport::writeFile(system + QStringLiteral("/My User.ini"), "[DefaultPlayer]\n"));
    f.options->setGamePath(1, game);
    f.setRow(QStringLiteral("unreal"), QStringLiteral("192.0.2.10"), QStringLiteral("7777"));
    f.form->setGameSwitchUT(false);
    f.iniChoice = system + QStringLiteral("/My User.ini");
    f.launcher->A_UnrealviaNetandINI();
    ASSERT_EQ(f.commands.size(), 1);
    const launch::GameCommand &command = f.commands[0];
    EXPECT_EQ(command.program, QStringLiteral("wine"));
    EXPECT_EQ(command.arguments,
              QStringList({game, "192.0.2.10?port=7777", "-userini=C:\\Unreal\\System\\My User.ini"}));
    EXPECT_EQ(command.workingFolder, system);
    EXPECT_EQ(command.environment, (QList<std::pair<QString, QString>>{{"WINEPREFIX", prefix}}));
    EXPECT_EQ(f.iniFolders, QStringList({system}));
}
