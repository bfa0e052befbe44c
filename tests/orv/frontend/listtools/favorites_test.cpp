// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

#include "orv/frontend/listtools/favorites.h"
#include "tests/orv/frontend/listtools/listtoolsfixture.h"
#include "tests/support/testpaths.h"

using namespace orv::frontend;
using listtoolstest::Fixture;
using orv::engine::ServerPage;

namespace {

struct Message
{
    QMessageBox::Icon kind;
    QString text;
};

// The Favorites command's work, as the program wires it.
struct FavoritesServices : MainFormServices
{
    Favorites *favorites = nullptr;
    void showFavorites() override { favorites->showFavorites(); }
};

// The favorites over a fixture, with their messages collected instead of shown.
struct FavoritesFixture : Fixture
{
    Favorites favorites{*form, engine};
    FavoritesServices services;
    std::vector<Message> messages;

    FavoritesFixture()
    {
        favorites.setFileName(favoritesPath());
        favorites.setMessageSink([this](QMessageBox::Icon kind, const QString &text) {
            messages.push_back({kind, text});
        });
        services.favorites = &favorites;
        form->setServices(&services);
    }

    QByteArray file() const { return testsupport::readFile(favoritesPath()); }
    void writeFavorites(const QByteArray &bytes) { ASSERT_TRUE(testsupport::writeFile(favoritesPath(), bytes)); }
    QString lastMessage() const { return messages.empty() ? QString() : messages.back().text; }
};

} // namespace

TEST(Favorites, AddingTheSelectedServerTwiceRefusesTheSecondAttempt)
{
    FavoritesFixture f;
    f.setRows(ServerPage::Internet, {{"Alpha", "192.0.2.10", "7777", "7778", 1}, {"Beta", "192.0.2.11"}});
    f.select(ServerPage::Internet, 0);

    f.form->action(MainAction::AddToFavorites)->trigger();
    EXPECT_EQ(f.file(), QByteArray("192.0.2.10 7777 7778\r\n"));
    EXPECT_EQ(f.icons(ServerPage::Internet), std::vector<int>({6, 0}));
    ASSERT_EQ(f.captions(ServerPage::Favorites), QStringList({"Alpha"}));
    EXPECT_EQ(f.engine.view(ServerPage::Favorites).row(0).icon, 6);
    EXPECT_TRUE(f.messages.empty());

    f.favorites.addSelected();
    ASSERT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(f.messages[0].kind, QMessageBox::Critical);
    EXPECT_EQ(f.messages[0].text, QStringLiteral("This server is exist in Favorites list!"));
    EXPECT_EQ(f.file(), QByteArray("192.0.2.10 7777 7778\r\n"));
    EXPECT_EQ(f.captions(ServerPage::Favorites), QStringList({"Alpha"}));
    EXPECT_EQ(f.icons(ServerPage::Internet), std::vector<int>({6, 0}));
}

TEST(Favorites, AddingKeepsTheLinesAlreadyInTheFileWhenNothingWasLoadedYet)
{
    FavoritesFixture f;
    f.writeFavorites("192.0.2.50 7777 7778\r\n\r\n10.9.9.9   7000    7001\r\n");
    f.setRows(ServerPage::Internet, {{"Alpha", "192.0.2.10"}});
    f.select(ServerPage::Internet, 0);
    f.favorites.addSelected();
    EXPECT_EQ(f.file(), QByteArray("192.0.2.50 7777 7778\r\n\r\n10.9.9.9   7000    7001\r\n192.0.2.10 7777 7778\r\n"));
}

TEST(Favorites, OnlyServersOfThePagesAddressListAreAdded)
{
    FavoritesFixture f;
    f.setRows(ServerPage::Internet, {{"Alpha", "192.0.2.10"}});
    f.engine.setAddresses(ServerPage::Internet, orv::engine::AddressList({QStringLiteral("192.0.2.99 7777 7778")}));
    f.select(ServerPage::Internet, 0);
    f.favorites.addSelected();
    EXPECT_FALSE(QFile::exists(f.favoritesPath()));
    EXPECT_EQ(f.icons(ServerPage::Internet), std::vector<int>({0}));
    EXPECT_EQ(f.engine.view(ServerPage::Favorites).size(), 0);
}

TEST(Favorites, DeletingComparesAddressAndInfoPortButNotTheGamePort)
{
    FavoritesFixture f;
    f.writeFavorites("192.0.2.10 7777 7778\r\n192.0.2.10 7790 7778\r\n192.0.2.12 7777 7778\r\n");
    f.setRows(ServerPage::Internet,
              {{"Old", "192.0.2.10", "7777", "7778", 5}, {"New", "192.0.2.10", "7790", "7778", 7}});
    f.setRows(ServerPage::Local, {{"Lan", "192.0.2.10", "7790", "7778", 8}});
    f.setRows(ServerPage::Favorites,
              {{"FavNew", "192.0.2.10", "7790", "7778", 5}, {"Other", "192.0.2.12", "7777", "7778", 5}});
    f.engine.setAddresses(ServerPage::Favorites, {});
    f.form->changePage(ServerPage::Favorites);
    f.select(ServerPage::Favorites, 0);

    f.form->action(MainAction::DelFromFavorites)->trigger();
    EXPECT_EQ(f.file(), QByteArray("192.0.2.10 7790 7778\r\n192.0.2.12 7777 7778\r\n"));
    EXPECT_EQ(f.captions(ServerPage::Favorites), QStringList({"Other"}));
    // On the Favorites page the marks of the same server go in the other lists too.
    EXPECT_EQ(f.icons(ServerPage::Internet), std::vector<int>({5, 2}));
    EXPECT_EQ(f.icons(ServerPage::Local), std::vector<int>({3}));
}

TEST(Favorites, DeletingOnTheInternetPageChangesOnlyThatRowsMark)
{
    FavoritesFixture f;
    f.writeFavorites("192.0.2.10 7777 7778\r\n");
    f.setRows(ServerPage::Internet, {{"Alpha", "192.0.2.10", "7777", "7778", 6}});
    f.setRows(ServerPage::Favorites, {{"Alpha", "192.0.2.10", "7777", "7778", 6}});
    f.select(ServerPage::Internet, 0);
    f.favorites.deleteSelected();
    EXPECT_EQ(f.file(), QByteArray());
    EXPECT_TRUE(QFile::exists(f.favoritesPath()));
    EXPECT_EQ(f.icons(ServerPage::Internet), std::vector<int>({1}));
    EXPECT_EQ(f.captions(ServerPage::Favorites), QStringList({"Alpha"}));

    // Nothing matches any more: nothing changes.
    f.favorites.deleteSelected();
    EXPECT_EQ(f.icons(ServerPage::Internet), std::vector<int>({1}));
}

TEST(Favorites, AddByPingTakesUnmarkedRowsOfThatClassOnly)
{
    const struct
    {
        MainAction command;
        int added;
        QByteArray file;
        std::vector<int> icons;
    } cases[] = {
        {MainAction::GoodPing,
         2,
         "192.0.2.1 7777 7778\r\n192.0.2.2 7777 7778\r\n192.0.2.4 7777 7778\r\n",
         {5, 1, 5, 5, 2, 0}},
        {MainAction::NormalPing, 1, "192.0.2.1 7777 7778\r\n192.0.2.3 7777 7778\r\n", {0, 6, 0, 5, 2, 0}},
        {MainAction::Badping, 1, "192.0.2.1 7777 7778\r\n192.0.2.6 7777 7778\r\n", {0, 1, 0, 5, 7, 0}},
    };
    for (const auto &c : cases) {
        FavoritesFixture f;
        f.writeFavorites("192.0.2.1 7777 7778\r\n");
        // Row 6 is already a favorite though its row has no mark: it is not added again.
        f.setRows(ServerPage::Internet, {{"a", "192.0.2.2"},
                                         {"b", "192.0.2.3", "7777", "7778", 1},
                                         {"c", "192.0.2.4"},
                                         {"d", "192.0.2.5", "7777", "7778", 5},
                                         {"e", "192.0.2.6", "7777", "7778", 2},
                                         {"f", "192.0.2.1"}});
        f.form->updateActions();
        f.form->action(c.command)->trigger();
        ASSERT_EQ(f.messages.size(), 1u) << qPrintable(f.form->action(c.command)->objectName());
        EXPECT_EQ(f.messages[0].kind, QMessageBox::Information);
        EXPECT_EQ(f.messages[0].text, QStringLiteral("Added %1 servers to favorite list.").arg(c.added));
        // The lines already in the file first, then the added servers in row order.
        EXPECT_EQ(f.file(), c.file) << qPrintable(f.form->action(c.command)->objectName());
        EXPECT_EQ(f.icons(ServerPage::Internet), c.icons) << qPrintable(f.form->action(c.command)->objectName());
    }
}

TEST(Favorites, AddByPingOnTheFavoritesPageAddsNothingAndAnEmptyListIsRefused)
{
    FavoritesFixture f;
    f.setRows(ServerPage::Favorites, {{"a", "192.0.2.2", "7777", "7778", 5}, {"b", "192.0.2.3", "7777", "7778", 6}});
    f.form->changePage(ServerPage::Favorites);
    EXPECT_EQ(f.favorites.addByPing(0), 0);
    EXPECT_EQ(f.lastMessage(), QStringLiteral("Added 0 servers to favorite list."));

    f.form->changePage(ServerPage::Local);
    EXPECT_EQ(f.favorites.addByPing(0), 0);
    EXPECT_EQ(f.messages.back().kind, QMessageBox::Critical);
    EXPECT_EQ(f.lastMessage(), QStringLiteral("Nothing to add to favorites!"));
    EXPECT_FALSE(QFile::exists(f.favoritesPath()));
}

TEST(Favorites, DeleteAllLeavesAnEmptyFileAndAnEmptyPage)
{
    FavoritesFixture f;
    f.writeFavorites("192.0.2.10 7777 7778\r\n192.0.2.11 7777 7778\r\n");
    f.form->action(MainAction::Favorites)->trigger();
    ASSERT_EQ(f.engine.view(ServerPage::Favorites).size(), 2);

    f.form->action(MainAction::ClearFavorites)->trigger();
    EXPECT_TRUE(QFile::exists(f.favoritesPath()));
    EXPECT_EQ(f.file(), QByteArray());
    EXPECT_EQ(f.engine.view(ServerPage::Favorites).size(), 0);
    EXPECT_TRUE(f.engine.favorites().isEmpty());
}

TEST(Favorites, ShowReadsSeveralBlanksAndSurvivesGarbageLines)
{
    FavoritesFixture f;
    QByteArray bytes = "192.0.2.10    7777   7778\r\n\r\n";
    bytes += QByteArray("\x01\x02\xff\x00zz", 6) + "\r\n";
    bytes += QByteArray(100000, 'x') + "\r\n";
    bytes += "lonely\r\n   \r\n";
    f.writeFavorites(bytes);

    f.form->action(MainAction::Favorites)->trigger();
    EXPECT_EQ(f.form->currentPage(), ServerPage::Favorites);
    const orv::engine::ServerListModel *view = &f.engine.view(ServerPage::Favorites);
    ASSERT_EQ(view->size(), 4);
    const orv::engine::ServerEntry *server = nullptr;
    for (const auto &row : view->rows()) {
        if (row.caption == QStringLiteral("192.0.2.10"))
            server = &row;
    }
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(server->words(), (orv::engine::AddressWords{"192.0.2.10", "7777", "7778"}));
    EXPECT_EQ(server->icon, 8);

    // Adding and deleting still work over such a list.
    f.setRows(ServerPage::Internet, {{"Alpha", "192.0.2.20"}});
    f.form->changePage(ServerPage::Internet);
    f.select(ServerPage::Internet, 0);
    f.favorites.addSelected();
    EXPECT_TRUE(f.file().endsWith("192.0.2.20 7777 7778\r\n"));
    EXPECT_TRUE(f.file().contains(QByteArray(100000, 'x')));
    f.favorites.deleteSelected();
    EXPECT_FALSE(f.file().contains("192.0.2.20"));
}

TEST(Favorites, CustomServerOnAnotherPageShowsUpAtTheNextFavoritesCommand)
{
    FavoritesFixture f;
    f.writeFavorites("192.0.2.10 7777 7778\r\n");
    f.form->action(MainAction::Favorites)->trigger();
    ASSERT_EQ(f.engine.view(ServerPage::Favorites).size(), 1);
    f.form->changePage(ServerPage::Internet);
    QCoreApplication::processEvents();

    int asked = 0;
    f.favorites.setCustomServerDialog([&] {
        ++asked;
        return std::optional(orv::engine::AddressWords{"192.0.2.30", "7000", "7001"});
    });
    f.form->action(MainAction::AddCustomToFavorites)->trigger();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(f.file(), QByteArray("192.0.2.10 7777 7778\r\n192.0.2.30 7000 7001\r\n"));
    // The page switches, but its rows stay until the page is rebuilt.
    EXPECT_EQ(f.form->currentPage(), ServerPage::Favorites);
    EXPECT_EQ(f.engine.view(ServerPage::Favorites).size(), 1);
    QCoreApplication::processEvents();

    // On the showing page the line count differs, so it is rebuilt.
    f.form->action(MainAction::Favorites)->trigger();
    EXPECT_EQ(f.captions(ServerPage::Favorites), QStringList({"192.0.2.10", "192.0.2.30"}));

    // The same server again is refused; a cancelled dialog does nothing.
    f.form->action(MainAction::AddCustomToFavorites)->trigger();
    EXPECT_EQ(f.lastMessage(), QStringLiteral("This server is exist in Favorites list!"));
    f.favorites.setCustomServerDialog([] { return std::optional<orv::engine::AddressWords>(); });
    f.favorites.addCustom();
    EXPECT_EQ(f.file(), QByteArray("192.0.2.10 7777 7778\r\n192.0.2.30 7000 7001\r\n"));
}

TEST(Favorites, CustomServerWhoseWordsWouldShiftTheLineIsNotWritten)
{
    FavoritesFixture f;
    for (const orv::engine::AddressWords &bad :
         {orv::engine::AddressWords{"192.0.2.1 7", "7777", "7778"}, orv::engine::AddressWords{"192.0.2.1", "", "7778"},
          orv::engine::AddressWords{"192.0.2.1", "7777", "77\t78"}}) {
        f.favorites.setCustomServerDialog([bad] { return std::optional(bad); });
        f.favorites.addCustom();
    }
    EXPECT_FALSE(QFile::exists(f.favoritesPath()));
    EXPECT_TRUE(f.engine.favorites().isEmpty());
}

TEST(Favorites, UnwritableFileIsReportedAndTheChangeKeptInMemory)
{
    FavoritesFixture f;
    const QString path = f.dir.filePath(QStringLiteral("missing/folder/favorites.lst"));
    f.favorites.setFileName(path);
    f.setRows(ServerPage::Internet, {{"Alpha", "192.0.2.10"}});
    f.select(ServerPage::Internet, 0);
    f.favorites.addSelected();
    ASSERT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(f.messages[0].kind, QMessageBox::Critical);
    EXPECT_EQ(f.messages[0].text, QStringLiteral("Cannot create file ") + path);
    EXPECT_EQ(f.engine.favorites().lines(), QStringList({"192.0.2.10 7777 7778"}));
    EXPECT_EQ(f.icons(ServerPage::Internet), std::vector<int>({5}));
}

TEST(Favorites, ShowingAgainWithMatchingLineCountKeepsTheRows)
{
    FavoritesFixture f;
    f.writeFavorites("192.0.2.10 7777 7778\r\n");
    f.form->action(MainAction::Favorites)->trigger();
    ASSERT_EQ(f.engine.view(ServerPage::Favorites).size(), 1);
    QCoreApplication::processEvents();
    orv::engine::ServerEntry answered = f.engine.view(ServerPage::Favorites).row(0);
    answered.caption = QStringLiteral("Answered");
    f.engine.setRow(ServerPage::Favorites, 0, answered);

    // The page shows and the counts agree: no rebuild.
    f.form->action(MainAction::Favorites)->trigger();
    EXPECT_EQ(f.captions(ServerPage::Favorites), QStringList({"Answered"}));

    // From another page with rows present the command only switches back.
    f.form->changePage(ServerPage::Local);
    QCoreApplication::processEvents();
    f.writeFavorites("192.0.2.10 7777 7778\r\n192.0.2.11 7777 7778\r\n");
    f.form->action(MainAction::Favorites)->trigger();
    EXPECT_EQ(f.form->currentPage(), ServerPage::Favorites);
    EXPECT_EQ(f.captions(ServerPage::Favorites), QStringList({"Answered"}));
}
