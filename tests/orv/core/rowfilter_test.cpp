// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "orv/core/rowfilter.h"
#include "orv/engine/serverentry.h"
#include "orv/engine/serverlistmodel.h"

using orv::engine::ServerEntry;
using namespace orv::core;

namespace {

// A row named after its caption, with game, players, map and game type.
ServerEntry row(const char *caption, const char *game, const char *players = "N/A", const char *map = "N/A",
                const char *gameType = "N/A")
{
    ServerEntry entry;
    entry.caption = QString::fromLatin1(caption);
    entry.setColumn(kFilterColumnGame, QString::fromLatin1(game));
    entry.setColumn(kFilterColumnPlayers, QString::fromLatin1(players));
    entry.setColumn(kFilterColumnMap, QString::fromLatin1(map));
    entry.setColumn(kFilterColumnGameType, QString::fromLatin1(gameType));
    return entry;
}

QStringList captions(const std::vector<ServerEntry> &rows)
{
    QStringList out;
    for (const ServerEntry &entry : rows)
        out.append(entry.caption);
    return out;
}

} // namespace

TEST(RowFilter, PlayersTextCountsOnlyWholeNumbersOfAtLeastOne)
{
    const struct
    {
        const char *text;
        bool present;
    } cases[] = {
        {"3 / 16", true}, {"0 / 16", false}, {"N/A", false},     {"1", true},      {"12/16", false},
        {"", false},      {"x / 16", false}, {"-2 / 16", false}, {"+4 / 8", true}, {"99999999999999999999 / 1", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(hasPlayersPresent(QString::fromLatin1(c.text)), c.present) << c.text;
}

TEST(RowFilter, KeepTestsFollowTheirColumnAndCaseRules)
{
    const ServerEntry unreal = row("a", "unreal", "3 / 16", "DM-Deck16", "DeathMatchGame");
    const ServerEntry ut = row("b", "UT", "0 / 16", "dm-deck16", "CTFGame");
    const ServerEntry unknown = row("c", "N/A");
    // Game filters ignore letter case; value filters compare exactly.
    EXPECT_TRUE(RowFilter::game(QStringLiteral("Unreal")).keeps(unreal));
    EXPECT_FALSE(RowFilter::game(QStringLiteral("Unreal")).keeps(ut));
    EXPECT_FALSE(RowFilter::game(QStringLiteral("Unreal")).keeps(unknown));
    EXPECT_TRUE(RowFilter::game(QStringLiteral("ut")).keeps(ut));
    EXPECT_TRUE(RowFilter::playersPresent().keeps(unreal));
    EXPECT_FALSE(RowFilter::playersPresent().keeps(ut));
    EXPECT_TRUE(RowFilter::value(kFilterColumnMap, QStringLiteral("DM-Deck16")).keeps(unreal));
    EXPECT_FALSE(RowFilter::value(kFilterColumnMap, QStringLiteral("DM-Deck16")).keeps(ut));
    EXPECT_TRUE(RowFilter::value(kFilterColumnGameType, QStringLiteral("CTFGame")).keeps(ut));
}

TEST(RowFilter, PassKeepsOrderOnBothSidesAndAppendsToHidden)
{
    std::vector<ServerEntry> rows = {row("1", "ut"), row("2", "unreal"), row("3", "ut"), row("4", "unreal"),
                                     row("5", "unreal")};
    std::vector<ServerEntry> hidden = {row("0", "earlier")};
    std::vector<int> positions;
    const int moved =
        filterRows(rows, hidden, RowFilter::game(QStringLiteral("ut")), [&](int p) { positions.push_back(p); });
    EXPECT_EQ(moved, 3);
    EXPECT_EQ(captions(rows), QStringList({"1", "3"}));
    EXPECT_EQ(captions(hidden), QStringList({"0", "2", "4", "5"}));
    EXPECT_EQ(positions, std::vector<int>({0, 1, 2, 3, 4}));
}

TEST(RowFilter, ViewPassAndRestoreReturnRowsAfterTheVisibleOnes)
{
    orv::engine::ServerListModel view;
    view.setRows(
        {row("a", "ut", "2 / 8"), row("b", "unreal", "0 / 8"), row("c", "ut", "N/A"), row("d", "unreal", "5 / 8")});
    view.setRow(1, [] {
        ServerEntry marked = row("b", "unreal", "0 / 8", "DM-Morpheus");
        marked.icon = 7;
        return marked;
    }());
    std::vector<ServerEntry> hidden;

    // Two filters in a row add up.
    EXPECT_EQ(filterView(view, hidden, RowFilter::game(QStringLiteral("Unreal"))), 2);
    EXPECT_EQ(filterView(view, hidden, RowFilter::playersPresent()), 1);
    EXPECT_EQ(captions(view.rows()), QStringList({"d"}));
    EXPECT_EQ(captions(hidden), QStringList({"a", "c", "b"}));

    // A moved row keeps everything it had.
    EXPECT_EQ(hidden[2].icon, 7);
    EXPECT_EQ(hidden[2].column(kFilterColumnMap), QStringLiteral("DM-Morpheus"));

    EXPECT_EQ(restoreHidden(view, hidden), 3);
    EXPECT_TRUE(hidden.empty());
    EXPECT_EQ(captions(view.rows()), QStringList({"d", "a", "c", "b"}));
    EXPECT_EQ(view.row(3).icon, 7);
    EXPECT_EQ(restoreHidden(view, hidden), 0);
}

TEST(RowFilter, FilterThatKeepsEverythingLeavesTheViewUntouched)
{
    orv::engine::ServerListModel view;
    view.setRows({row("a", "ut"), row("b", "UT")});
    int resets = 0;
    QObject::connect(&view, &QAbstractItemModel::modelReset, &view, [&] { ++resets; });
    std::vector<ServerEntry> hidden;
    EXPECT_EQ(filterView(view, hidden, RowFilter::game(QStringLiteral("ut"))), 0);
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(view.size(), 2);
}

TEST(RowFilter, ValueMenuSkipsNotAvailableAndCaseOrMarkerDuplicates)
{
    const std::vector<ServerEntry> rows = {
        row("1", "ut", "", "DM-Deck16"), row("2", "ut", "", "dm-deck16"), row("3", "ut", "", "N/A"),
        row("4", "ut", "", "CTF-Face"),  row("5", "ut", "", "CTF-&Face"), row("6", "ut", "", "DM-Deck16"),
        row("7", "ut", "", "n/a"),
    };
    // "n/a" is a value a server might report; only the exact "N/A" placeholder is left out.
    EXPECT_EQ(distinctColumnValues(rows, kFilterColumnMap), QStringList({"DM-Deck16", "CTF-Face", "n/a"}));
    EXPECT_TRUE(distinctColumnValues({}, kFilterColumnMap).isEmpty());
}
