// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QCheckBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "orv/checker/ui/repeatform.h"
#include "orv/checker/ui/repeatlistform.h"
#include "orv/demo/fakegameserver.h"
#include "orv/engine/queryengine.h"
#include "orv/engine/serverentry.h"
#include "orv/frontend/mainwindow/enginetexts.h"
#include "orv/frontend/mainwindow/iconprovider.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/serverview.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "platform/desktop/sound.h"
#include "platform/registrystore.h"
#include "tests/support/enginewait.h"

using namespace orv::checker;
using namespace orv::checker::ui;
using orv::engine::ServerPage;

namespace {

RepeatServer repeatServer(const char *name, const char *line)
{
    const auto server = orv::engine::AddressList::parseLine(QString::fromLatin1(line)).toServer();
    return {QString::fromLatin1(name), server.value_or(orv::engine::ServerAddress{})};
}

QString L1(const char *text)
{
    return QString::fromLatin1(text);
}

// A main window whose Internet page shows three servers, with the checker windows attached.
struct HandoverFixture : ::testing::Test
{
    QTemporaryDir dir;
    platform::RegistryStore store{platform::RegistryRoot::CurrentUser, dir.filePath(L1("HKEY_CURRENT_USER.reg"))};
    platform::SoundService service;
    orv::frontend::SoundBank sounds{service};
    orv::engine::QueryEngine engine;
    std::unique_ptr<orv::frontend::TMainForm> main;
    std::unique_ptr<TRepeatForm> checker;
    std::unique_ptr<TRepeatListForm> selection;

    void SetUp() override
    {
        orv::frontend::IconProvider::initResources();
        sounds.setEnabled(false);
        main = std::make_unique<orv::frontend::TMainForm>(engine, sounds);
        checker = std::make_unique<TRepeatForm>(engine, store, sounds);
        selection = std::make_unique<TRepeatListForm>(engine, store, sounds);
        checker->attachTo(*main, *selection);
        std::vector<orv::engine::ServerEntry> rows;
        const char *names[] = {"Zulu", "Mike", "Alpha"};
        for (int i = 0; i < 3; ++i) {
            orv::engine::ServerEntry e;
            e.caption = QString::fromLatin1(names[i]);
            e.setWords({QStringLiteral("10.0.0.%1").arg(i + 1), L1("7777"), L1("7778")});
            e.icon = 0;
            rows.push_back(e);
        }
        engine.setRows(ServerPage::Internet, std::move(rows));
        main->changePage(ServerPage::Internet);
    }
};

} // namespace

TEST_F(HandoverFixture, CheckSelectedServerTakesTheSelectedRowAndShowsTheChecker)
{
    main->currentView()->selectRow(1);
    main->updateActions();
    QAction *repeatSelected = main->action(orv::frontend::MainAction::RepeatSelected);
    ASSERT_TRUE(repeatSelected && repeatSelected->isEnabled());
    checker->setServers({repeatServer("Old", "10.9.9.9 1 2")});
    repeatSelected->trigger();
    EXPECT_EQ(checker->servers(), QList<RepeatServer>{repeatServer("Mike", "10.0.0.2 7777 7778")});
    EXPECT_TRUE(checker->isVisible());
}

TEST_F(HandoverFixture, SelectionWindowCopiesTheShownListAndReturnsChosenRowsInOrder)
{
    selection->fillFromShownList();
    QTreeWidget *list = selection->repeatList();
    ASSERT_EQ(list->topLevelItemCount(), 3);
    list->topLevelItem(2)->setSelected(true);
    list->topLevelItem(0)->setSelected(true);
    selection->acceptSelection();
    // The main lists' columns at their first widths.
    EXPECT_EQ(list->columnWidth(0), 200);
    EXPECT_EQ(list->columnWidth(1), 70);
    const QList<RepeatServer> chosen = selection->chosenServers();
    ASSERT_EQ(chosen.size(), 2);
    EXPECT_EQ(chosen[0].name, L1("Zulu"));
    EXPECT_EQ(chosen[1], repeatServer("Alpha", "10.0.0.3 7777 7778"));
    // The checker keeps its servers sorted by name.
    checker->setServers(chosen);
    EXPECT_EQ(checker->servers().first().name, L1("Alpha"));
}

TEST_F(HandoverFixture, RunGameSelectsTheServerInTheShownListOnlyWhenItIsThere)
{
    RunSettings settings;
    settings.whenRuleRight.fill(CheckState::Unchecked);
    settings.whenRuleRight[static_cast<size_t>(RuleRightAction::RunGame)] = CheckState::Checked;
    main->currentView()->selectRow(0);
    checker->checkerRun().performActions(settings, repeatServer("x", "10.0.0.9 7777 7778"));
    EXPECT_EQ(main->currentView()->currentRow(), 0);
    checker->checkerRun().performActions(settings, repeatServer("x", "10.0.0.3 7777 7778"));
    EXPECT_EQ(main->currentView()->currentRow(), 2);
}

// A run started with "Minimize window after start checking" takes the checker down with the
// main window and brings it back with it; Exit during the run ends the run and closes every
// window, so the program ends.
TEST_F(HandoverFixture, MinimizeTakesBothWindowsAndExitEndsTheRunAndTheProgram)
{
    orv::demo::FakeGameServer server;
    ASSERT_TRUE(server.listen(QHostAddress(L1("127.0.0.10")), 0));
    orv::engine::EngineOptions options;
    options.internetServTimeOut = 400;
    engine.setOptions(options);
    engine.setPinger([](const QString &) { return quint16(20); });
    QStringList log;
    QObject::connect(checker.get(), &TRepeatForm::logLine, checker.get(),
                     [&](const QString &line) { log.append(line); });
    checker->setMessageSink([&](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
        log.append(L1("message:") + text);
        return QMessageBox::Ok;
    });
    checker->setServers({{L1("Fake"), testsupport::fakeServerAddress(server.address(), server.queryPort())}});
    checker->setScriptLines({L1("-,MapName,=,no-such-map")});
    checker->findChild<QCheckBox *>(L1("MinimizeWin"))->setChecked(true);
    main->show();
    checker->show();
    QSignalSpy closed(main.get(), &orv::frontend::TMainForm::closed);

    bool bothMinimized = false;
    bool checkerBackWithMain = false;
    QObject::connect(checker.get(), &TRepeatForm::logLine, checker.get(), [&](const QString &line) {
        if (!line.startsWith(L1("Check delay:")) || !closed.isEmpty())
            return;
        bothMinimized = main->isMinimized() && checker->isMinimized();
        main->showNormal();
        checkerBackWithMain = !checker->isMinimized();
        main->action(orv::frontend::MainAction::Exit)->trigger();
    });
    // Only if Exit failed to end the run: a bound so that the test ends either way.
    bool stoppedByFallback = false;
    QTimer::singleShot(8000, checker.get(), [&] {
        stoppedByFallback = checker->isRunning();
        checker->stop();
    });
    checker->go();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !checker->isRunning(); }, 20000));

    EXPECT_TRUE(bothMinimized);
    EXPECT_TRUE(checkerBackWithMain);
    EXPECT_FALSE(stoppedByFallback);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(checker->isRunning());
    EXPECT_FALSE(checker->isVisible());
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_TRUE(log.contains(L1("Repeat stoped")));
}

// Commands that meet: Go during a refresh is refused with a word on the status line and the
// refresh runs to its end (no check is tried, nothing stalls); Refresh during a checking run
// is refused the same way and the run goes on.
TEST_F(HandoverFixture, GoDuringARefreshAndRefreshDuringARunAreRefusedWithAWord)
{
    orv::demo::FakeGameServer first;
    orv::demo::FakeGameServer second;
    ASSERT_TRUE(first.listen(QHostAddress(L1("127.0.0.11")), 0));
    ASSERT_TRUE(second.listen(QHostAddress(L1("127.0.0.12")), 0));
    orv::engine::EngineOptions options;
    options.internetServTimeOut = 400;
    engine.setOptions(options);
    engine.setPinger([](const QString &) { return quint16(20); });
    const auto line = [](const orv::demo::FakeGameServer &s) {
        return s.address().toString() + QLatin1Char(' ') + QString::number(s.queryPort() - 1) + QLatin1Char(' ') +
               QString::number(s.queryPort());
    };
    engine.setAddresses(ServerPage::Internet, orv::engine::AddressList({line(first), line(second)}));
    QStringList log;
    QObject::connect(checker.get(), &TRepeatForm::logLine, checker.get(),
                     [&](const QString &text) { log.append(text); });
    checker->setServers({{L1("Fake"), testsupport::fakeServerAddress(first.address(), first.queryPort())}});
    checker->setScriptLines({L1("-,MapName,=,no-such-map")});
    checker->findChild<QCheckBox *>(L1("MinimizeWin"))->setChecked(false);

    bool goTried = false;
    bool ranDuringRefresh = false;
    QString statusAtGo;
    QObject::connect(&engine, &orv::engine::QueryEngine::logLine, checker.get(), [&](const QString &text) {
        if (goTried || !text.startsWith(L1("Listen port")))
            return;
        goTried = true;
        checker->go();
        ranDuringRefresh = checker->isRunning();
        statusAtGo = main->statusText(orv::frontend::StatusPanel::Message);
    });
    main->action(orv::frontend::MainAction::Refresh)->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !engine.isRefreshActive(); }, 20000));
    ASSERT_TRUE(goTried);
    EXPECT_FALSE(ranDuringRefresh);
    EXPECT_EQ(statusAtGo, orv::frontend::checkRefusedDuringRefreshText());
    EXPECT_TRUE(log.contains(orv::frontend::checkRefusedDuringRefreshText()));
    EXPECT_FALSE(log.contains(L1("A query is already running.")));
    EXPECT_FALSE(engine.isRefreshActive());
    for (const orv::engine::ServerEntry &row : engine.view(ServerPage::Internet).rows())
        EXPECT_EQ(row.caption, L1("Demo Server"));
    EXPECT_EQ(first.requestCount(), 1);
    EXPECT_EQ(second.requestCount(), 1);

    QString statusAtRefresh;
    bool refreshedDuringRun = true;
    QObject::connect(checker.get(), &TRepeatForm::logLine, checker.get(), [&](const QString &text) {
        if (!text.startsWith(L1("Check delay:")) || !statusAtRefresh.isEmpty())
            return;
        main->action(orv::frontend::MainAction::Refresh)->trigger();
        statusAtRefresh = main->statusText(orv::frontend::StatusPanel::Message);
        refreshedDuringRun = engine.isRefreshActive() || second.requestCount() > 1;
        checker->stop();
    });
    checker->go();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !checker->isRunning(); }, 20000));
    EXPECT_EQ(statusAtRefresh, orv::frontend::refreshRefusedDuringCheckText());
    EXPECT_FALSE(refreshedDuringRun);
    EXPECT_EQ(first.requestCount(), 2); // the check asked it once
    EXPECT_FALSE(checker->isRunning());
    EXPECT_TRUE(log.contains(L1("Repeat stoped")));
}
