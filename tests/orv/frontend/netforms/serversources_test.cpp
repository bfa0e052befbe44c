// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/netforms/serversources.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "orv/demo/fakegameserver.h"
#include "orv/demo/fakegamespymaster.h"
#include "orv/demo/fakemasterserver.h"
#include "orv/engine/queryengine.h"
#include "orv/frontend/netforms/optionsform.h"
#include "orv/frontend/netforms/radiogroup.h"
#include "orv/frontend/netforms/serversform.h"
#include "orv/frontend/netforms/webwaitform.h"
#include "orv/frontend/netforms/whatlistform.h"
#include "orv/net/masterfetch.h"
#include "platform/registrystore.h"
#include "tests/orv/net/netwait.h"
#include "tests/support/enginewait.h"

using orv::demo::FakeMasterServer;
using orv::demo::HttpRoute;
using orv::frontend::ServerSources;
using orv::net::ListChoice;

namespace {

TEST(WhatListForm, ButtonsGiveTheirChoiceAndClosingCancels)
{
    orv::frontend::TWhatListForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("What list download?"));
    const struct
    {
        const char *button;
        ListChoice choice;
    } cases[] = {{"UnrealButton", ListChoice::Unreal},
                 {"UTButton", ListChoice::UnrealTournament},
                 {"MergeButton", ListChoice::MergeLists},
                 {"CloseButton", ListChoice::Cancel},
                 {nullptr, ListChoice::Cancel}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.button ? c.button : "window closed");
        QTimer::singleShot(0, &form, [&form, &c] {
            if (c.button)
                form.findChild<QPushButton *>(QString::fromLatin1(c.button))->click();
            else
                form.close();
        });
        EXPECT_EQ(form.ask(), c.choice);
    }
}

// The Internet page's road through the windows: options and URL lists read from their
// controls, the download followed by the wait window, the list filled.
class ServerSourcesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_server.listen());
        m_sources.downloader().setPauseMs(0);
        m_sources.downloader().setTempFolder(m_dir.path());
        m_sources.builder().setCacheFile(m_dir.filePath(QStringLiteral("internet.lst")));
        m_sources.builder().setMessageShower(
            [this](orv::net::MessageKind, const QString &text) { m_messages.append(text); });
        // Only this test's servers, never the shipped masters: every default is unchecked.
        for (QListWidget *list : {m_servers.UServersList(), m_servers.UTServersList()}) {
            for (int row = 0; row < list->count(); ++row)
                list->item(row)->setCheckState(Qt::Unchecked);
        }
    }

    // The Internet command's build to its end.
    std::optional<orv::net::BuildOutcome> build()
    {
        std::optional<orv::net::BuildOutcome> outcome;
        if (m_sources.BuildInternetList([&outcome](orv::net::BuildOutcome o) { outcome = o; }))
            netwait::until([&outcome] { return outcome.has_value(); });
        return outcome;
    }

    void addUrl(bool ut, const QByteArray &path)
    {
        if (ut)
            m_servers.Color95Button2Click();
        else
            m_servers.Color95Button1Click();
        m_servers.AddText()->setText(m_server.url(path).toString());
        m_servers.addbuttonClick();
        QListWidget *list = ut ? m_servers.UTServersList() : m_servers.UServersList();
        list->item(list->count() - 1)->setCheckState(Qt::Checked);
    }

    QTemporaryDir m_dir;
    platform::RegistryStore m_store{platform::RegistryRoot::CurrentUser, m_dir.filePath(QStringLiteral("hkcu.reg"))};
    FakeMasterServer m_server;
    orv::engine::QueryEngine m_engine;
    orv::frontend::TOptionsForm m_options{m_store};
    orv::frontend::TServersForm m_servers{m_store};
    ServerSources m_sources{m_engine, m_options, m_servers};
    QStringList m_messages;
};

TEST_F(ServerSourcesTest, AskedChoiceFetchesOnlyThatGamesCheckedUrls)
{
    m_server.setBody("/unreal.txt", "10.0.0.1:7777\r\n");
    m_server.setBody("/ut.txt", "10.0.0.2:7777\r\n");
    addUrl(false, "/unreal.txt");
    addUrl(true, "/ut.txt");
    QTimer::singleShot(0, m_sources.whatListForm(), [this] {
        m_sources.whatListForm()->findChild<QPushButton *>(QStringLiteral("UTButton"))->click();
    });
    EXPECT_EQ(build(), orv::net::BuildOutcome::Downloaded);
    ASSERT_EQ(m_server.requestCount(), 1);
    EXPECT_EQ(m_server.requests().first().path, QByteArray("/ut.txt"));
    EXPECT_EQ(m_engine.addresses(orv::engine::ServerPage::Internet).lines(),
              QStringList{QStringLiteral("10.0.0.2 7777 7778")});
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(ServerSourcesTest, WaitWindowFollowsTheDownloadAndItsCancelWorks)
{
    HttpRoute stall;
    stall.body = QByteArray(2000, 'x');
    stall.stallAfter = 500;
    m_server.setRoute("/stall.txt", stall);
    m_server.setBody("/ok.txt", "10.0.0.3:7000\r\n");
    addUrl(false, "/stall.txt");
    QTest::mouseClick(m_options.findChild<orv::frontend::TRadioGroup *>(QStringLiteral("Merge"))->button(0),
                      Qt::LeftButton);

    orv::frontend::TmyWEBWaitForm *wait = m_sources.waitForm();
    orv::net::MasterFetch &fetch = m_sources.builder().fetch();
    bool seenVisible = false;
    int maximum = -1;
    QString label;
    // The window follows the one source's bytes; Cancel ends it.
    auto follow = QObject::connect(&fetch, &orv::net::MasterFetch::progressChanged, wait, [&](qint64 value) {
        if (value < 500 || !wait->isVisible() || seenVisible)
            return;
        seenVisible = true;
        maximum = wait->ProgressBar1()->maximum();
        label = wait->ProgressL()->text();
        QTimer::singleShot(50, wait, [wait] { QTest::mouseClick(wait->CancelButton(), Qt::LeftButton); });
    });
    EXPECT_EQ(build(), orv::net::BuildOutcome::Failed);
    EXPECT_TRUE(seenVisible);
    EXPECT_EQ(maximum, 2000);
    EXPECT_TRUE(label.endsWith(QStringLiteral("/stall.txt")));
    EXPECT_FALSE(wait->isVisible());
    EXPECT_EQ(m_messages.first(), orv::net::InternetListBuilder::kNothingDownloaded);
    QObject::disconnect(follow);

    // Two sources at once: the window counts the sources that are through, and Cancel ends
    // the one still running while the other's list is kept.
    addUrl(false, "/ok.txt");
    seenVisible = false;
    QObject::connect(&fetch, &orv::net::MasterFetch::progressChanged, wait, [&](qint64 value) {
        if (value != 1 || !wait->isVisible() || seenVisible)
            return;
        seenVisible = true;
        maximum = wait->ProgressBar1()->maximum();
        label = wait->ProgressL()->text();
        QTimer::singleShot(50, wait, [wait] { QTest::mouseClick(wait->CancelButton(), Qt::LeftButton); });
    });
    EXPECT_EQ(build(), orv::net::BuildOutcome::Downloaded);
    EXPECT_TRUE(seenVisible);
    EXPECT_EQ(maximum, 2);
    EXPECT_EQ(label, QStringLiteral("Dowonload: 1 of 2 sources done"));
    EXPECT_FALSE(wait->isVisible());
    EXPECT_FALSE(fetch.result(0).downloaded);
    EXPECT_TRUE(fetch.result(0).failure.endsWith(QStringLiteral(" Operation canceled")));
    EXPECT_EQ(m_engine.addresses(orv::engine::ServerPage::Internet).lines(),
              QStringList{QStringLiteral("10.0.0.3 7000 7001")});
}

// A master lists a server by its query port; the refresh learns the real game port, and the
// saved list keeps it for the next start from the file.
TEST_F(ServerSourcesTest, AMastersServerKeepsItsReportedGamePortInTheSavedList)
{
    orv::demo::FakeGameServer game;
    ASSERT_TRUE(game.listen(QHostAddress(QStringLiteral("127.0.0.2"))));
    game.mutableDescription().hostPort = 7000;
    orv::demo::FakeGameSpyMaster master;
    ASSERT_TRUE(master.listen());
    master.setServers("ut", {{"127.0.0.2", game.queryPort()}});
    m_servers.Color95Button2Click();
    m_servers.AddText()->setText(master.url());
    m_servers.addbuttonClick();
    m_servers.UTServersList()->item(m_servers.UTServersList()->count() - 1)->setCheckState(Qt::Checked);
    QTest::mouseClick(m_options.findChild<orv::frontend::TRadioGroup *>(QStringLiteral("Merge"))->button(0),
                      Qt::LeftButton);

    ASSERT_EQ(build(), orv::net::BuildOutcome::Downloaded);
    const QString q = QString::number(game.queryPort());
    const QString listed = QStringLiteral("127.0.0.2 ") + QString::number(game.queryPort() - 1) + QLatin1Char(' ') + q;
    ASSERT_EQ(m_engine.addresses(orv::engine::ServerPage::Internet).lines(), QStringList{listed});

    orv::engine::EngineOptions options = m_options.engineOptions();
    options.usePing = false;
    m_engine.setOptions(options);
    m_engine.setCurrentPage(orv::engine::ServerPage::Internet);
    m_engine.RebuildList(orv::engine::ServerPage::Internet);
    ASSERT_TRUE(testsupport::waitForRefresh(m_engine));
    const QString reported = QStringLiteral("127.0.0.2 7000 ") + q;
    EXPECT_EQ(m_engine.addresses(orv::engine::ServerPage::Internet).lines(), QStringList{reported});
    auto saved = orv::engine::AddressList::load(m_dir.filePath(QStringLiteral("internet.lst")));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved.value().lines(), QStringList{reported});
}

} // namespace
