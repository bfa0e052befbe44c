// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTreeView>

#include <gtest/gtest.h>

#include "orv/engine/queryengine.h"
#include "orv/engine/serverentry.h"
#include "orv/frontend/mainwindow/iconprovider.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/mainformstorage.h"
#include "orv/frontend/mainwindow/playersmodel.h"
#include "orv/frontend/mainwindow/serverview.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "platform/desktop/sound.h"
#include "platform/registrystore.h"

using namespace orv::frontend;
using orv::engine::ServerPage;

namespace {

// A main window over a real engine whose Internet view holds the given rows.
struct MainFixture
{
    platform::SoundService service;
    SoundBank sounds{service};
    orv::engine::QueryEngine engine;
    std::unique_ptr<TMainForm> form;

    MainFixture()
    {
        IconProvider::initResources();
        sounds.setEnabled(false);
        form = std::make_unique<TMainForm>(engine, sounds);
    }

    void setRows(ServerPage page, const QList<QStringList> &rows)
    {
        std::vector<orv::engine::ServerEntry> entries;
        for (const QStringList &texts : rows) {
            orv::engine::ServerEntry entry;
            entry.caption = texts.value(0);
            for (int column = 1; column < texts.size(); ++column)
                entry.setColumn(column, texts[column]);
            entry.setWords(entry.words()); // the server that columns 23 to 25 name
            entry.icon = 0;
            entries.push_back(entry);
        }
        engine.setRows(page, std::move(entries));
    }

    QStringList column(ServerPage page, int column)
    {
        QStringList texts;
        for (const auto &row : engine.view(page).rows())
            texts.append(row.column(column));
        return texts;
    }
};

} // namespace

TEST(MainForm, CaptionCarriesTheVersion)
{
    EXPECT_EQ(TMainForm::captionFor(QStringLiteral("1.0.0.78")), QStringLiteral("Orvane v.1.0.0.78"));
    EXPECT_EQ(TMainForm::captionFor(QString()), QStringLiteral("Orvane"));
}

TEST(MainForm, ColumnClicksFlipTheDirectionAndMoveTheMarker)
{
    MainFixture f;
    f.setRows(ServerPage::Internet,
              {{"a", "120", "", "", "DM-Deck16"}, {"b", "45", "", "", "CTF-Face"}, {"c", "9999", "", "", "DM-Abyss"}});
    ServerView *view = f.form->view(ServerPage::Internet);

    // The first click on any column after start sorts descending and shows image 10.
    f.form->columnClicked(4);
    EXPECT_EQ(f.column(ServerPage::Internet, 4), QStringList({"DM-Deck16", "DM-Abyss", "CTF-Face"}));
    EXPECT_EQ(view->header()->markerColumn(), 4);
    EXPECT_EQ(view->header()->markerImage(), IconProvider::kDescendingMarker);
    EXPECT_EQ(view->tag(), 4);

    f.form->columnClicked(4);
    EXPECT_EQ(f.column(ServerPage::Internet, 4), QStringList({"CTF-Face", "DM-Abyss", "DM-Deck16"}));
    EXPECT_EQ(view->header()->markerImage(), IconProvider::kAscendingMarker);

    // Ping sorts as text: "120" before "45", "9999" last.
    f.form->columnClicked(1);
    f.form->columnClicked(1);
    EXPECT_EQ(f.column(ServerPage::Internet, 1), QStringList({"120", "45", "9999"}));
    EXPECT_EQ(view->header()->markerColumn(), 1);
}

TEST(MainForm, PageChangeSetsTheModeAndEmptiesThePlayers)
{
    MainFixture f;
    EXPECT_EQ(f.form->modeText(), QStringLiteral("Not selected"));
    f.form->changePage(ServerPage::Favorites);
    EXPECT_EQ(f.form->modeText(), QStringLiteral("Favorites"));
    EXPECT_EQ(f.form->currentPage(), ServerPage::Favorites);
    EXPECT_EQ(f.engine.currentPage(), ServerPage::Favorites);
    f.form->changePage(ServerPage::Local);
    EXPECT_EQ(f.form->modeText(), QStringLiteral("Local"));
    EXPECT_EQ(f.form->playersModel()->rowCount(), 0);
}

TEST(MainForm, ServersMenuFollowsThePageAndTheColumns)
{
    MainFixture f;
    f.setRows(ServerPage::Internet, {{"a", "45"}});
    f.form->prepareServersMenu();
    QMenu *menu = f.form->serversMenu();
    auto submenu = [menu](const QString &title) -> QAction * {
        for (QAction *a : menu->actions()) {
            if (a->menu() && a->text() == title)
                return a;
        }
        return nullptr;
    };
    ASSERT_NE(submenu(QStringLiteral("Add to Favorites by Ping")), nullptr);
    EXPECT_TRUE(submenu(QStringLiteral("Add to Favorites by Ping"))->isVisible());

    QMenu *columns = submenu(QStringLiteral("Show / hide columns"))->menu();
    ASSERT_EQ(columns->actions().size(), orv::engine::kServerColumns + 1); // and "Country"
    EXPECT_EQ(columns->actions().last()->text(), QStringLiteral("Country"));
    EXPECT_TRUE(columns->actions().last()->isChecked());
    EXPECT_FALSE(columns->actions()[0]->isEnabled()); // the visible first column cannot be hidden
    EXPECT_TRUE(columns->actions()[1]->isChecked());  // "Ping" shows at start
    EXPECT_FALSE(columns->actions()[5]->isChecked()); // "Map title" is hidden at start

    // Hiding every column but the first still lists all 27; a hidden one comes back at 70.
    QHeaderView *header = f.form->currentView()->report()->header();
    for (int column = 1; column <= orv::engine::kColumnCountry; ++column)
        header->resizeSection(column, 0);
    f.form->prepareServersMenu();
    ASSERT_EQ(columns->actions().size(), orv::engine::kServerColumns + 1);
    columns->actions()[7]->trigger();
    EXPECT_EQ(header->sectionSize(7), 70);
    columns->actions()[7]->trigger();
    EXPECT_EQ(header->sectionSize(7), 0);

    f.form->changePage(ServerPage::Favorites);
    f.form->prepareServersMenu();
    EXPECT_FALSE(submenu(QStringLiteral("Add to Favorites by Ping"))->isVisible());
}

TEST(MainForm, ViewStyleCyclesThroughThreeStates)
{
    MainFixture f;
    ServerView *list = f.form->currentView();
    ServerView *players = f.form->playersList();
    const auto state = [&] { return std::pair(list->viewStyle(), players->viewStyle()); };
    using S = ViewStyle;
    ASSERT_EQ(state(), std::pair(S::Report, S::Report));
    f.form->cycleViewStyle();
    EXPECT_EQ(state(), std::pair(S::Icon, S::Icon));
    f.form->cycleViewStyle();
    EXPECT_EQ(state(), std::pair(S::Report, S::Icon));
    f.form->cycleViewStyle();
    EXPECT_EQ(state(), std::pair(S::Report, S::Report));
    // Any other combination stays as it is.
    players->setViewStyle(S::List);
    f.form->cycleViewStyle();
    EXPECT_EQ(state(), std::pair(S::Report, S::List));
}

TEST(MainForm, EnablingRulesFollowRowsAndSelection)
{
    MainFixture f;
    auto enabled = [&](MainAction command) { return f.form->action(command)->isEnabled(); };
    auto visible = [&](MainAction command) { return f.form->action(command)->isVisible(); };
    f.form->updateActions();
    EXPECT_FALSE(enabled(MainAction::RefreshC));
    EXPECT_FALSE(enabled(MainAction::Find));
    EXPECT_FALSE(enabled(MainAction::Filter));
    EXPECT_FALSE(enabled(MainAction::UnrealviaNet));
    EXPECT_FALSE(visible(MainAction::AddToFavorites));

    f.setRows(ServerPage::Internet, {{"a", "45"}, {"b", "70"}});
    f.form->updateActions();
    EXPECT_TRUE(enabled(MainAction::Find));
    EXPECT_TRUE(enabled(MainAction::Filter));
    EXPECT_TRUE(enabled(MainAction::RepeatMultiple));
    EXPECT_FALSE(enabled(MainAction::RefreshC));

    f.form->currentView()->selectRow(0);
    f.form->updateActions();
    EXPECT_TRUE(enabled(MainAction::RefreshC));
    EXPECT_TRUE(enabled(MainAction::UnrealviaNet)); // icon 0: answered
    EXPECT_TRUE(visible(MainAction::AddToFavorites));
    EXPECT_FALSE(visible(MainAction::DelFromFavorites));
    EXPECT_FALSE(visible(MainAction::ClearFavorites));
}

TEST(MainForm, EveryCommandHasItsCaptionAndShortcut)
{
    MainFixture f;
    struct Expect
    {
        MainAction command;
        const char *name;
        const char *caption;
        const char *shortcut;
    };
    const Expect expected[] = {
        {MainAction::Internet, "A_Internet", "Internet", "F2"},
        {MainAction::Refresh, "A_Refresh", "Refresh", "F5"},
        {MainAction::RefreshC, "A_RefreshC", "Refresh Current", "Ctrl+R"},
        {MainAction::Exit, "A_Exit", "Exit", "Alt+X"},
        {MainAction::ToClipboard, "A_ToClipboard", "Copy IP and Port  to clipboard", "Ctrl+C"},
        {MainAction::DelFromFavorites, "A_DelFromFavorites", "Delete from faforites", "Ctrl+D"},
        {MainAction::AddCustomToFavorites, "A_AddCustomToFavorites", "Add Custom server to Favorites", "Ctrl+Alt+C"},
        {MainAction::Safe, "A_Safe", "Run Unreal in \"SAFE\" mode", ""},
    };
    for (const Expect &e : expected) {
        QAction *action = f.form->action(e.command);
        ASSERT_NE(action, nullptr) << e.name;
        EXPECT_EQ(action->objectName(), QString::fromLatin1(e.name));
        EXPECT_EQ(action->text(), QString::fromUtf8(e.caption)) << e.name;
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(e.shortcut))) << e.name;
    }
    EXPECT_EQ(f.form->commandActions().size(), 42);
}

TEST(MainFormStorage, FirstRunIsDecidedOnceByTheExactText)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("HKEY_CURRENT_USER.reg"));
    const auto startOnce = [&file] {
        platform::RegistryStore store(platform::RegistryRoot::CurrentUser, file);
        MainFixture f;
        attachMainFormStorages(*f.form, store);
        f.form->show();
        QCoreApplication::processEvents();
        const bool firstRun = f.form->isFirstRun();
        f.form->close();
        return firstRun;
    };
    EXPECT_TRUE(startOnce());  // nothing stored yet
    EXPECT_FALSE(startOnce()); // "NewOptions" is "false" now
    {
        platform::RegistryStore store(platform::RegistryRoot::CurrentUser, file);
        ASSERT_TRUE(store.setString(u"SOFTWARE\\Orvane\\Main form state", u"NewOptions", QStringLiteral("TRUE")));
    }
    EXPECT_FALSE(startOnce()); // only the exact text "true" means a first run
    {
        platform::RegistryStore store(platform::RegistryRoot::CurrentUser, file);
        ASSERT_TRUE(store.setString(u"SOFTWARE\\Orvane\\Main form state", u"NewOptions", QStringLiteral("true")));
    }
    EXPECT_TRUE(startOnce());
}

TEST(MainFormStorage, SortColumnAndViewStyleComeBackFromTheStore)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("HKEY_CURRENT_USER.reg"));
    {
        platform::RegistryStore store(platform::RegistryRoot::CurrentUser, file);
        MainFixture f;
        attachMainFormStorages(*f.form, store);
        f.form->show();
        QCoreApplication::processEvents();
        f.form->columnClicked(4);
        f.form->playersList()->setViewStyle(ViewStyle::Icon);
        f.form->close();
    }
    platform::RegistryStore store(platform::RegistryRoot::CurrentUser, file);
    const auto tag = store.readString(u"SOFTWARE\\Orvane\\Main form state", u"InternetList_Tag");
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->value_or(QString()), QStringLiteral("4"));
    MainFixture f;
    attachMainFormStorages(*f.form, store);
    f.form->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(f.engine.sortColumn(ServerPage::Internet), 4);
    EXPECT_EQ(f.form->view(ServerPage::Internet)->header()->markerColumn(), 4);
    EXPECT_EQ(f.form->playersList()->viewStyle(), ViewStyle::Icon);
}

// The engine reports states and counts; the window shows them in its own words.
TEST(MainForm, WordsTheEnginesStatesInTheStatusBarTheRefreshCommandAndTheTray)
{
    MainFixture f;
    using Kind = orv::engine::EngineStatus::Kind;
    struct Case
    {
        Kind kind;
        qsizetype position;
        qsizetype total;
        int panel;
        const char *text;
    };
    const Case cases[] = {
        {Kind::Listed, 0, 4, 0, "0 / 4"},
        {Kind::Progress, 2, 4, 0, "2 of 4"},
        {Kind::Requesting, 0, 0, 1, "Request info from server:127.0.0.2"},
        {Kind::Dead, 0, 0, 1, "Error :127.0.0.2 = Server is dead."},
        {Kind::Answered, 0, 0, 1, "Complete :127.0.0.2 = Deck Server"},
    };
    for (const Case &c : cases) {
        orv::engine::EngineStatus status;
        status.kind = c.kind;
        status.address = QStringLiteral("127.0.0.2");
        status.hostname = QStringLiteral("Deck Server");
        status.position = c.position;
        status.total = c.total;
        emit f.engine.statusChanged(status);
        EXPECT_EQ(f.form->statusText(static_cast<StatusPanel>(c.panel)), QString::fromLatin1(c.text)) << c.text;
    }

    QAction *refresh = f.form->action(MainAction::Refresh);
    emit f.engine.refreshRunningChanged(true);
    EXPECT_EQ(refresh->text(), QStringLiteral("Stop refresh"));
    emit f.engine.refreshRunningChanged(false);
    EXPECT_EQ(refresh->text(), QStringLiteral("Refresh"));

    auto *tray = f.form->findChild<QSystemTrayIcon *>(QStringLiteral("Tray"));
    ASSERT_NE(tray, nullptr);
    emit f.engine.refreshProgress(3, 7);
    EXPECT_EQ(tray->toolTip(), QStringLiteral("Refresh server:3 of 7"));
    emit f.engine.refreshPassEnded();
    EXPECT_EQ(tray->toolTip(), QStringLiteral("Orvane (Click twice to restore window)"));
}

TEST(MainForm, SelectedServerShowsDecodedNamesAndItsTeams)
{
    MainFixture f;
    QStringList row(26);
    row[0] = QStringLiteral("Teams");
    row[23] = QStringLiteral("10.0.0.5");
    row[24] = QStringLiteral("7777");
    row[25] = QStringLiteral("7778");
    f.setRows(ServerPage::Internet, {row, {QStringLiteral("No teams")}});
    // One answer mixing UTF-8 and code page 1252 values, with team keys after the players.
    f.engine.appendReply(
        ServerPage::Internet,
        "10.0.0.5:7777:7778>\\numplayers\\1\\player_0\\\xD0\xA1\xD0\xB5\xD1\x80\xD0\xB3\xD0\xB5\xD0\xB9"
        "\\team_0\\1\\teamname_0\\Red\\teamscore_0\\4.000000\\teamsize_0\\0"
        "\\teamname_1\\\x93"
        "Blue\x94\\teamscore_1\\2.500000\\teamsize_1\\1\\final\\\\queryid\\1.1");
    auto *teams = f.form->findChild<QLabel *>(QStringLiteral("TeamsLine"));
    ASSERT_NE(teams, nullptr);
    f.form->currentView()->selectRow(0);
    ASSERT_EQ(f.form->playersModel()->rowCount(), 1);
    EXPECT_EQ(f.form->playersModel()->data(f.form->playersModel()->index(0, 0)).toString(),
              QString::fromUtf8("Сергей"));
    EXPECT_FALSE(teams->isHidden());
    EXPECT_TRUE(teams->text().contains(QStringLiteral("<b>Red</b> 4 (0)"))) << teams->text().toStdString();
    EXPECT_TRUE(teams->text().contains(QString::fromUtf8("<b>“Blue”</b> 2.5 (1)"))) << teams->text().toStdString();

    f.form->currentView()->selectRow(1);
    EXPECT_TRUE(teams->isHidden());
}
