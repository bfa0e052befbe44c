// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

#include "orv/frontend/listtools/filters.h"
#include "orv/frontend/mainwindow/splashform.h"
#include "tests/orv/frontend/listtools/listtoolsfixture.h"

using namespace orv::frontend;
using listtoolstest::Fixture;
using orv::engine::ServerPage;

namespace {

struct FiltersFixture : Fixture
{
    TBuldingListForm progress{form.get()};
    Filters filters{*form, engine, &progress};

    FiltersFixture()
    {
        setRows(ServerPage::Internet, {
                                          {"u1", "192.0.2.1", "7777", "7778", 0, "unreal", "3 / 16", "DM-Deck16"},
                                          {"t1", "192.0.2.2", "7777", "7778", 1, "UT", "0 / 16", "CTF-Face"},
                                          {"n1", "192.0.2.3", "7777", "7778", 3, "N/A", "N/A", "N/A"},
                                          {"t2", "192.0.2.4", "7777", "7778", 0, "ut", "5 / 16", "DM-Deck16"},
                                          {"u2", "192.0.2.5", "7777", "7778", 2, "Unreal", "1 / 8", "CTF-Face"},
                                          {"t3", "192.0.2.6", "7777", "7778", 6, "ut", "2 / 16", "CTF-Face"},
                                      });
    }

    QAction *item(QMenu *menu, const QString &value)
    {
        for (QAction *action : menu->actions()) {
            if (action->data().toString() == value)
                return action;
        }
        return nullptr;
    }

    QStringList menuValues(QMenu *menu)
    {
        QStringList values;
        for (QAction *action : menu->actions())
            values.append(action->data().toString());
        return values;
    }

    QStringList hiddenCaptions()
    {
        QStringList out;
        for (const auto &row : engine.hiddenRows())
            out.append(row.caption);
        return out;
    }
};

} // namespace

TEST(Filters, GameFiltersCompareTheBeaconSignsIgnoringCase)
{
    const struct
    {
        MainAction command;
        QStringList visible;
    } cases[] = {
        {MainAction::FilterUnreal, {"u1", "u2"}},
        {MainAction::FilterUnrealTournamet, {"t1", "t2", "t3"}},
        {MainAction::Aliveplayers, {"u1", "t2", "u2", "t3"}},
    };
    for (const auto &c : cases) {
        FiltersFixture f;
        f.form->action(c.command)->trigger();
        EXPECT_EQ(f.captions(ServerPage::Internet), c.visible) << qPrintable(f.form->action(c.command)->objectName());
        EXPECT_EQ(f.captions(ServerPage::Internet).size() + f.engine.hiddenRows().size(), 6u);
        EXPECT_FALSE(f.progress.isVisible());
    }
}

TEST(Filters, ReiterativeFiltersAddUpAndPlainOnesStartFromTheFullList)
{
    FiltersFixture f;
    ASSERT_TRUE(f.filters.isReiterative());
    f.filters.filterGame(true);
    f.filters.openMenu(QPoint(0, 0));
    f.filters.menu()->close();
    EXPECT_EQ(f.menuValues(f.filters.mapMenu()), QStringList({"CTF-Face", "DM-Deck16"}));
    f.item(f.filters.mapMenu(), QStringLiteral("CTF-Face"))->trigger();
    EXPECT_EQ(f.captions(ServerPage::Internet), QStringList({"t1", "t3"}));
    EXPECT_EQ(f.hiddenCaptions(), QStringList({"u1", "n1", "u2", "t2"}));

    FiltersFixture plain;
    plain.filters.reiterativeAction()->setChecked(false);
    plain.filters.openMenu(QPoint(0, 0));
    plain.filters.menu()->close();
    plain.filters.filterGame(true);
    plain.filters.openMenu(QPoint(0, 0));
    plain.filters.menu()->close();
    // With rows hidden the menus keep the values of the full list.
    EXPECT_EQ(plain.menuValues(plain.filters.mapMenu()), QStringList({"DM-Deck16", "CTF-Face"}));
    plain.item(plain.filters.mapMenu(), QStringLiteral("CTF-Face"))->trigger();
    // The reset put the hidden rows after the visible ones before the map filter ran.
    EXPECT_EQ(plain.captions(ServerPage::Internet), QStringList({"t1", "t3", "u2"}));
}

TEST(Filters, MapMenuHoldsOneItemPerSpellingAndFiltersExactly)
{
    FiltersFixture f;
    f.setRows(ServerPage::Internet, {{"a", "192.0.2.1", "7777", "7778", 0, "ut", "N/A", "DM-Deck16"},
                                     {"b", "192.0.2.2", "7777", "7778", 0, "ut", "N/A", "dm-deck16"},
                                     {"c", "192.0.2.3", "7777", "7778", 0, "ut", "N/A", "N/A"},
                                     {"d", "192.0.2.4", "7777", "7778", 0, "ut", "N/A", "R&D"}});
    f.filters.openMenu(QPoint(0, 0));
    f.filters.menu()->close();
    EXPECT_EQ(f.menuValues(f.filters.mapMenu()), QStringList({"DM-Deck16", "R&D"}));
    // Captions are shown as they are: the '&' is no accelerator.
    EXPECT_EQ(f.item(f.filters.mapMenu(), QStringLiteral("R&D"))->text(), QStringLiteral("R&&D"));
    f.item(f.filters.mapMenu(), QStringLiteral("DM-Deck16"))->trigger();
    EXPECT_EQ(f.captions(ServerPage::Internet), QStringList({"a"}));
}

TEST(Filters, OneRowLeftDisablesTheFiltersWhileReiterative)
{
    FiltersFixture f;
    f.filters.filterGame(false);
    f.filters.filterValue(4, QStringLiteral("DM-Deck16"));
    ASSERT_EQ(f.captions(ServerPage::Internet), QStringList({"u1"}));
    f.filters.openMenu(QPoint(0, 0));
    f.filters.menu()->close();
    EXPECT_FALSE(f.form->action(MainAction::FilterUnreal)->isEnabled());
    EXPECT_FALSE(f.form->action(MainAction::FilterUnrealTournamet)->isEnabled());
    EXPECT_FALSE(f.form->action(MainAction::Aliveplayers)->isEnabled());
    EXPECT_FALSE(f.filters.mapMenu()->menuAction()->isEnabled());
    EXPECT_FALSE(f.filters.gameTypeMenu()->menuAction()->isEnabled());
    EXPECT_TRUE(f.form->action(MainAction::ResetFilter)->isEnabled());

    // Without the mark the hidden rows keep them enabled.
    f.filters.reiterativeAction()->setChecked(false);
    f.filters.prepareMenu();
    EXPECT_TRUE(f.form->action(MainAction::FilterUnreal)->isEnabled());
    EXPECT_TRUE(f.filters.mapMenu()->menuAction()->isEnabled());
}

TEST(Filters, ResetReturnsHiddenRowsAfterTheVisibleOnesAndDisablesItself)
{
    FiltersFixture f;
    f.form->updateActions();
    EXPECT_FALSE(f.form->action(MainAction::ResetFilter)->isEnabled());
    f.filters.filterGame(false);
    EXPECT_TRUE(f.form->action(MainAction::ResetFilter)->isEnabled());

    f.form->action(MainAction::ResetFilter)->trigger();
    EXPECT_TRUE(f.engine.hiddenRows().empty());
    EXPECT_EQ(f.captions(ServerPage::Internet), QStringList({"u1", "u2", "t1", "n1", "t2", "t3"}));
    EXPECT_FALSE(f.form->action(MainAction::ResetFilter)->isEnabled());
    // The rows came back whole: state icons included.
    EXPECT_EQ(f.icons(ServerPage::Internet), std::vector<int>({0, 2, 1, 3, 0, 6}));
}

TEST(Filters, SwitchingPagesRestoresTheRowsOfThePageLeft)
{
    FiltersFixture f;
    f.setRows(ServerPage::Local, {{"l1", "192.0.2.40"}, {"l2", "192.0.2.41", "7777", "7778", 0, "unreal"}});
    f.filters.filterGame(false);
    ASSERT_EQ(f.captions(ServerPage::Internet).size(), 2);
    f.form->updateActions();

    f.form->changePage(ServerPage::Local);
    EXPECT_EQ(f.captions(ServerPage::Internet).size(), 6);
    EXPECT_TRUE(f.engine.hiddenRows().empty());
    EXPECT_EQ(f.captions(ServerPage::Local), QStringList({"l1", "l2"}));

    // A filter on the new page hides that page's rows only.
    f.filters.filterGame(false);
    EXPECT_EQ(f.captions(ServerPage::Local), QStringList({"l2"}));
    EXPECT_EQ(f.filters.hiddenPage(), ServerPage::Local);
}

TEST(Filters, SelectedServerStaysSelectedWhenKept)
{
    FiltersFixture f;
    f.select(ServerPage::Internet, 3); // t2
    f.filters.filterGame(true);
    const int row = f.form->view(ServerPage::Internet)->currentRow();
    ASSERT_GE(row, 0);
    EXPECT_EQ(f.engine.view(ServerPage::Internet).row(row).caption, QStringLiteral("t2"));

    f.filters.filterPlayersPresent();
    f.filters.resetFilter();
    const int after = f.form->view(ServerPage::Internet)->currentRow();
    ASSERT_GE(after, 0);
    EXPECT_EQ(f.engine.view(ServerPage::Internet).row(after).caption, QStringLiteral("t2"));
}

TEST(Filters, RebuildDropsHiddenRowsWithoutRestoringThem)
{
    FiltersFixture f;
    f.filters.filterGame(false);
    f.engine.RebuildList(ServerPage::Internet);
    EXPECT_TRUE(f.engine.hiddenRows().empty());
    // A reset now has nothing to bring back.
    f.filters.resetFilter();
    EXPECT_EQ(f.engine.view(ServerPage::Internet).size(), 6);
}
