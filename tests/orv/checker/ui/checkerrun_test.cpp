// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/checkerrun.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include "orv/checker/ui/repeatform.h"
#include "orv/demo/fakegameserver.h"
#include "orv/engine/queryengine.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "platform/desktop/sound.h"
#include "platform/registrystore.h"
#include "tests/support/enginewait.h"

using namespace orv::checker;
using namespace orv::checker::ui;
using orv::demo::FakeGameServer;
using orv::demo::ServerBehaviour;

namespace {

QString L1(const char *text)
{
    return QString::fromLatin1(text);
}

std::unique_ptr<FakeGameServer> fakeServer(int host, const QByteArray &name, const ServerBehaviour &behaviour = {})
{
    auto server = std::make_unique<FakeGameServer>();
    server->setBehaviour(behaviour);
    bool listening = false;
    for (int attempt = 0; attempt < 20 && !listening; ++attempt)
        listening = server->listen(QHostAddress(QStringLiteral("127.0.0.%1").arg(host)), 0);
    EXPECT_TRUE(listening);
    orv::demo::ServerDescription d;
    d.hostName = name;
    d.hostPort = server->queryPort() - 1;
    d.mapName = "DM-Deck16][";
    d.players = {{"Alpha", 12, 40, 0}, {"Bravo", 30, 80, 1}};
    server->setDescription(d);
    return server;
}

RepeatServer repeatServer(const FakeGameServer &s, const QString &name)
{
    return {name, testsupport::fakeServerAddress(s.address(), s.queryPort())};
}

// A checker window over a real engine, with its message boxes and log recorded.
struct CheckerFixture : ::testing::Test
{
    QTemporaryDir dir;
    platform::RegistryStore store{platform::RegistryRoot::CurrentUser, dir.filePath(L1("HKEY_CURRENT_USER.reg"))};
    platform::SoundService service;
    orv::frontend::SoundBank sounds{service};
    orv::engine::QueryEngine engine;
    std::unique_ptr<TRepeatForm> form;
    QStringList messages;
    QStringList log;

    void SetUp() override
    {
        orv::engine::EngineOptions options;
        options.internetServTimeOut = 400;
        engine.setOptions(options);
        engine.setPinger([](const QString &) { return quint16(20); });
        form = std::make_unique<TRepeatForm>(engine, store, sounds);
        form->setMessageSink([this](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
            messages.append(text);
            return QMessageBox::Ok;
        });
        QObject::connect(form.get(), &TRepeatForm::logLine, form.get(),
                         [this](const QString &line) { log.append(line); });
        form->findChild<QCheckBox *>(L1("MinimizeWin"))->setChecked(false);
    }

    // Presses Go and waits for the run to end.
    void goAndWait()
    {
        form->go();
        EXPECT_TRUE(QTest::qWaitFor([this] { return !form->isRunning(); }, 60000));
    }

    void setDelay(int ms) { form->findChild<QSpinBox *>(L1("RepeatDelay"))->setValue(ms); }

    void checkActions(std::initializer_list<RuleRightAction> actions)
    {
        QListWidget *list = form->findChild<QListWidget *>(L1("WhenRuleRight"));
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setCheckState(Qt::Unchecked);
        for (RuleRightAction a : actions)
            list->item(static_cast<int>(a))->setCheckState(Qt::Checked);
    }

    qsizetype indexOf(const QString &line) const { return log.indexOf(line); }
};

} // namespace

TEST_F(CheckerFixture, RuleRightAtFirstReplyQueriesOnceAndActs)
{
    auto server = fakeServer(2, "Alpha Server");
    const RepeatServer s = repeatServer(*server, L1("Alpha Server"));
    form->setScriptLines({L1("-,MapName,=,dm-deck16][")});
    form->setServers({s});
    checkActions({RuleRightAction::ShowNotice, RuleRightAction::AddToFavorites});
    goAndWait();

    EXPECT_EQ(server->requestCount(), 1);
    EXPECT_FALSE(form->isRunning());
    const qsizetype start = indexOf(L1("Check start with preset:Default"));
    const qsizetype named = indexOf(L1("Check server:") + s.server.addressText() + L1(" Named:Alpha Server"));
    const qsizetype delay = indexOf(L1("Check delay:500"));
    const qsizetype stopped = indexOf(L1("Repeat stoped"));
    ASSERT_GE(start, 0) << qPrintable(log.join(u'|'));
    EXPECT_LT(start, named);
    EXPECT_LT(named, delay);
    EXPECT_LT(delay, stopped);
    EXPECT_EQ(messages, QStringList{L1("Warning! check the Orvane NOW!")});
    EXPECT_EQ(form->script().rows().at(0).mark, L1("+"));
    EXPECT_EQ(engine.favorites().lines(), QStringList{s.server.toLine()});
    EXPECT_EQ(form->windowTitle(), L1("Server Checker"));

    // The same server right again: the favorites keep one line for it.
    goAndWait();
    EXPECT_EQ(engine.favorites().size(), 1);
}

TEST_F(CheckerFixture, StopDuringTheDelayEndsTheRunWithoutActions)
{
    auto server = fakeServer(2, "Alpha Server");
    form->setScriptLines({L1("-,MapName,=,ctf-face")});
    form->setServers({repeatServer(*server, L1("Alpha Server"))});
    setDelay(100000);
    checkActions({RuleRightAction::ShowNotice});
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, form.get(), [this] {
        if (form->checkerRun().isWaitingForDelay())
            form->stop();
    });
    poll.start(20);
    goAndWait();
    poll.stop();

    EXPECT_EQ(server->requestCount(), 1);
    EXPECT_EQ(form->script().rows().at(0).mark, L1("-"));
    ASSERT_FALSE(log.isEmpty());
    EXPECT_EQ(log.last(), L1("Repeat stoped"));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(form->isRunning());
}

TEST_F(CheckerFixture, StopDuringAQueryEndsTheWaitAndEvaluatesNothing)
{
    ServerBehaviour dead;
    dead.dead = true;
    auto server = fakeServer(3, "Silent", dead);
    orv::engine::EngineOptions options = engine.options();
    options.internetServTimeOut = 60000;
    engine.setOptions(options);
    form->setScriptLines({L1("-,Ping,<,300")});
    form->setServers({repeatServer(*server, L1("Silent"))});
    checkActions({RuleRightAction::ShowNotice});
    form->show();
    bool visibleDuringRun = false;
    QTimer::singleShot(200, form.get(), [this, &visibleDuringRun] {
        // The window stays open while the run goes on, whatever tries to close it.
        form->close();
        form->reject();
        visibleDuringRun = form->isVisible();
        form->stop();
    });
    goAndWait();
    EXPECT_TRUE(visibleDuringRun);

    EXPECT_EQ(server->requestCount(), 1);
    EXPECT_TRUE(form->script().rows().at(0).mark.isEmpty());
    // The query in progress is dropped: the run ends without waiting for it.
    EXPECT_LT(indexOf(L1("Check server:") + server->address().toString() + L1(" Named:Silent")),
              indexOf(L1("Repeat stoped")));
    EXPECT_EQ(indexOf(L1("Check delay:500")), -1);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(CheckerFixture, RunsUntilTheRuleBecomesRightOnALaterPassInNameOrder)
{
    auto zulu = fakeServer(4, "Zulu");
    auto alpha = fakeServer(5, "Alpha");
    form->setScriptLines({L1("-,LoopNumber,=,2"), L1("and"), L1("-,HostName,=,zulu")});
    form->setServers({repeatServer(*zulu, L1("Zulu")), repeatServer(*alpha, L1("Alpha"))});
    ASSERT_EQ(form->servers().first().name, L1("Alpha"));
    setDelay(100);
    checkActions({});
    goAndWait();

    // Pass 1: both servers; pass 2: Alpha (not right), then Zulu (right).
    EXPECT_EQ(alpha->requestCount(), 2);
    EXPECT_EQ(zulu->requestCount(), 2);
    EXPECT_EQ(form->checkerRun().passNumber(), 3);
    const qsizetype firstAlpha = indexOf(L1("Check server:127.0.0.5 Named:Alpha"));
    const qsizetype firstZulu = indexOf(L1("Check server:127.0.0.4 Named:Zulu"));
    EXPECT_LT(firstAlpha, firstZulu);
}

TEST_F(CheckerFixture, GoRefusesAScriptThatFailsTheCheckAndAnEmptyServerList)
{
    auto server = fakeServer(6, "Alpha");
    form->setServers({repeatServer(*server, L1("Alpha"))});
    form->setScriptLines({L1("}"), L1("-,Ping,<,300"), L1("{")});
    goAndWait();
    EXPECT_EQ(server->requestCount(), 0);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(log.isEmpty());

    form->setScriptLines({L1("-,Ping,<,300")});
    form->setServers({});
    goAndWait();
    EXPECT_EQ(messages.size(), 2);
    EXPECT_TRUE(log.isEmpty());
}

// Calls act(n) at the n-th "Check delay:" line of a run, counted from 1.
static void atEachDelay(TRepeatForm &form, std::function<void(int)> act)
{
    auto count = std::make_shared<int>(0);
    QObject::connect(&form, &TRepeatForm::logLine, &form, [count, act = std::move(act)](const QString &line) {
        if (line.startsWith(L1("Check delay:")))
            act(++*count);
    });
}

TEST_F(CheckerFixture, PresetsStayLockedDuringARunAndAnEmptyScriptIsNeverRight)
{
    auto server = fakeServer(7, "Alpha");
    form->setScriptLines({L1("-,MapName,=,ctf-face")});
    form->setServers({repeatServer(*server, L1("Alpha"))});
    checkActions({RuleRightAction::ShowNotice, RuleRightAction::AddToFavorites});
    setDelay(100);
    form->addPreset();
    messages.clear();
    QToolButton *deletePreset = nullptr;
    for (QToolButton *button : form->findChildren<QToolButton *>())
        if (button->toolTip() == L1("Delete preset"))
            deletePreset = button;
    ASSERT_TRUE(deletePreset);
    atEachDelay(*form, [&](int n) {
        if (n == 1)
            deletePreset->click();
        else
            form->stop();
    });
    goAndWait();

    EXPECT_EQ(server->requestCount(), 2);
    EXPECT_TRUE(messages.isEmpty()) << qPrintable(messages.join(u'|'));
    EXPECT_EQ(engine.favorites().size(), 0);
    EXPECT_EQ(form->presetNames(), QStringList{L1("Default")});
    EXPECT_EQ(form->script().prg(), QStringList{L1("-,MapName,=,ctf-face")});
}

TEST_F(CheckerFixture, SettingsChangedDuringARunCountFromThenOn)
{
    auto server = fakeServer(8, "Alpha");
    form->setScriptLines({L1("-,LoopNumber,>,1")}); // right on the second pass
    form->setServers({repeatServer(*server, L1("Alpha"))});
    checkActions({});
    setDelay(100);
    atEachDelay(*form, [&](int n) {
        if (n != 1)
            return;
        setDelay(150);
        checkActions({RuleRightAction::ShowNotice});
        form->findChild<QLineEdit *>(L1("Notice"))->setText(L1("Now!"));
    });
    goAndWait();

    EXPECT_GE(indexOf(L1("Check delay:100")), 0);
    EXPECT_GE(indexOf(L1("Check delay:150")), 0);
    EXPECT_EQ(messages, QStringList{L1("Now!")});
}

TEST_F(CheckerFixture, AlertSoundsWhileProgramSoundsAreOff)
{
    auto server = fakeServer(9, "Alpha");
    const QString alert = dir.filePath(L1("alarm.wav"));
    QFile file(alert);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    sounds.setEnabled(false);
    QStringList played;
    QObject::connect(&sounds, &orv::frontend::SoundBank::started, form.get(),
                     [&](const QString &path) { played.append(path); });
    QObject::connect(&sounds, &orv::frontend::SoundBank::stopped, form.get(), [&] { played.append(L1("stopped")); });
    form->findChild<QLineEdit *>(L1("AlertSound"))->setText(u'"' + alert + u'"');
    form->setScriptLines({L1("-,MapName,=,dm-deck16][")});
    form->setServers({repeatServer(*server, L1("Alpha"))});
    checkActions({RuleRightAction::PlaySound});
    goAndWait();

    EXPECT_EQ(played, QStringList{QFileInfo(alert).absoluteFilePath()});
    EXPECT_FALSE(sounds.isEnabled());
}
