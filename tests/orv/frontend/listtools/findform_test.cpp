// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/listtools/filters.h"
#include "orv/frontend/listtools/findform.h"
#include "orv/frontend/mainwindow/playersmodel.h"
#include "orv/frontend/mainwindow/splashform.h"
#include "platform/registrystore.h"
#include "tests/orv/frontend/listtools/listtoolsfixture.h"

using namespace orv::frontend;
using listtoolstest::Fixture;
using orv::engine::ServerPage;

namespace {

struct FindFixture : Fixture
{
    TBuldingListForm progress{form.get()};
    TFindForm find{*form, engine, sounds, &progress};

    FindFixture()
    {
        setRows(ServerPage::Internet, {{"Alpha", "192.0.2.1", "7777", "7778", 0, "unreal"},
                                       {"Beta", "192.0.2.2", "7777", "7778", 0, "ut"},
                                       {"Gamma", "192.0.2.3", "7000", "7001", 0, "ut"}});
        engine.appendReply(
            ServerPage::Internet,
            "192.0.2.1:7777:7778>\\hostname\\Alpha\\numplayers\\1\\maxplayers\\8\\player_0\\Carol\\frags_0\\"
            "4\\queryid\\11.1\\final\\");
        engine.appendReply(
            ServerPage::Internet,
            "192.0.2.2:7777:7778>\\hostname\\Beta\\numplayers\\2\\maxplayers\\16\\player_0\\Alice\\frags_0\\"
            "1\\player_1\\Bob\\frags_1\\9\\queryid\\12.1\\final\\");
        // A server answer not in the view (removed from the list since).
        engine.appendReply(ServerPage::Internet, "192.0.2.9:7777:7778>\\player_0\\Dave\\frags_0\\1\\final\\");
        // A server whose name mentions Dave outside player data.
        engine.appendReply(ServerPage::Internet, "192.0.2.3:7000:7001>\\hostname\\dave\\numplayers\\0\\final\\");
    }

    void search(const char *name) { find.FindText()->setEditText(QString::fromLatin1(name)); }
    QString selectedCaption()
    {
        const int row = form->view(ServerPage::Internet)->currentRow();
        return row < 0 ? QString() : engine.view(ServerPage::Internet).row(row).caption;
    }
};

} // namespace

TEST(FindForm, FindsTheServerAndSelectsThePlayerIgnoringCase)
{
    FindFixture f;
    f.search("bob");
    EXPECT_TRUE(f.find.FindButton()->isEnabled());
    f.find.FindButton()->click();
    EXPECT_EQ(f.find.FindLabel()->text(), QStringLiteral("Player found."));
    EXPECT_EQ(f.selectedCaption(), QStringLiteral("Beta"));
    const int player = f.form->playersList()->currentRow();
    ASSERT_GE(player, 0);
    EXPECT_EQ(f.form->playersModel()->row(player).caption, QStringLiteral("Bob"));
}

TEST(FindForm, ReportsNotFoundForPartsOfNamesOtherFieldsAndUnlistedServers)
{
    for (const char *name : {"bo", "dave", "Nobody", ""}) {
        FindFixture f;
        f.search(name);
        EXPECT_FALSE(f.find.FindButtonClick()) << name;
        EXPECT_EQ(f.find.FindLabel()->text(), QStringLiteral("Player not found")) << name;
        EXPECT_TRUE(f.selectedCaption().isEmpty()) << name;
    }
}

TEST(FindForm, EmptyStoreAndFilteredRowsFindNothing)
{
    FindFixture f;
    Filters filters(*f.form, f.engine, &f.progress);
    filters.filterGame(false); // Only "Alpha" stays visible.
    f.search("Bob");
    EXPECT_FALSE(f.find.FindButtonClick());
    filters.resetFilter();
    EXPECT_TRUE(f.find.FindButtonClick());

    f.engine.clearReplies(ServerPage::Internet);
    EXPECT_FALSE(f.find.FindButtonClick());
    EXPECT_EQ(f.find.FindLabel()->text(), QStringLiteral("Player not found"));
}

TEST(FindForm, EnterInTheTextBoxFinds)
{
    FindFixture f;
    f.find.show();
    f.search("Carol");
    QTest::keyClick(f.find.FindText()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(f.selectedCaption(), QStringLiteral("Alpha"));
    // The Enter does not add the name to the list.
    EXPECT_EQ(f.find.FindText()->count(), 0);
}

TEST(FindForm, BuildingTheListTwiceKeepsOneOfEachNameSorted)
{
    FindFixture f;
    f.search("zz");
    f.find.SpeedButton1()->click();
    f.find.SpeedButton1()->click();
    QStringList items;
    for (int i = 0; i < f.find.FindText()->count(); ++i)
        items.append(f.find.FindText()->itemText(i));
    EXPECT_EQ(items, QStringList({"Alice", "Bob", "Carol", "Dave"}));
    EXPECT_EQ(f.find.FindLabel()->text(), QStringLiteral("Enter full player nickname\nTotal players :4"));
    // Both lines show whole: the label is tall enough for the text at its width.
    const QLabel *label = f.find.FindLabel();
    EXPECT_LE(label->heightForWidth(label->width()), label->height());
    EXPECT_EQ(f.find.FindText()->currentText(), QStringLiteral("zz"));
    EXPECT_FALSE(f.progress.isVisible());
}

TEST(FindForm, FindButtonFollowsTheTextAndEscapeCloses)
{
    FindFixture f;
    EXPECT_FALSE(f.find.FindButton()->isEnabled());
    f.search("x");
    EXPECT_TRUE(f.find.FindButton()->isEnabled());
    f.search("");
    EXPECT_FALSE(f.find.FindButton()->isEnabled());

    f.find.toggle();
    EXPECT_TRUE(f.find.isVisible());
    QTest::keyClick(&f.find, Qt::Key_Escape);
    EXPECT_FALSE(f.find.isVisible());
    f.find.toggle();
    f.find.toggle();
    EXPECT_FALSE(f.find.isVisible());
}

TEST(FindForm, TextIsStoredInTheFindFormSection)
{
    platform::RegistryStore store(platform::RegistryRoot::CurrentUser);
    {
        FindFixture f;
        TFormStorage *storage = TFindForm::attachStorage(f.find, store);
        f.find.show();
        f.search("Some\\\"Body");
        f.find.move(150, 90);
        f.find.ExitButton()->click();
        EXPECT_TRUE(storage->isSaved());
        EXPECT_EQ(storage->sectionKey(), QStringLiteral("SOFTWARE\\Orvane\\Find form"));
    }
    FindFixture again;
    TFindForm::attachStorage(again.find, store);
    again.find.show();
    EXPECT_EQ(again.find.FindText()->currentText(), QStringLiteral("Some\\\"Body"));
    // The stored position wins over the centred one.
    EXPECT_EQ(again.find.pos(), QPoint(150, 90));
}
