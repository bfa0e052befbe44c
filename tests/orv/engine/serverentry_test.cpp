// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/serverentry.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include "orv/engine/ping.h"
#include "orv/engine/serverlistmodel.h"
#include "orv/words/rowwords.h"

using namespace orv::engine;

namespace {
QString L1(const char *text)
{
    return QString::fromLatin1(text);
}
const AddressWords kServer{QStringLiteral("10.0.0.5"), QStringLiteral("7777"), QStringLiteral("7778")};
} // namespace

TEST(ServerEntry, RebuiltRowValues)
{
    const ServerEntry row = ServerEntry::rebuilt(kServer, false);
    EXPECT_EQ(row.column(0), L1("10.0.0.5"));
    EXPECT_EQ(row.column(1), L1("9999"));
    for (int c = 2; c <= 22; ++c)
        EXPECT_EQ(row.column(c), L1("N/A")) << c;
    EXPECT_EQ(row.column(23), L1("10.0.0.5"));
    EXPECT_EQ(row.column(24), L1("7777"));
    EXPECT_EQ(row.column(25), L1("7778"));
    EXPECT_EQ(row.icon, 3);
    EXPECT_EQ(ServerEntry::rebuilt(kServer, true).icon, 8);
    EXPECT_EQ(row.words(), kServer);
    EXPECT_EQ(row.address, (ServerAddress{0x0A000005, 7777, 7778}));
}

TEST(ServerEntry, FillFromDecodedRecordKeepsCaptionAndAddress)
{
    ServerEntry row = ServerEntry::rebuilt(kServer, false);
    ServerInfo info = ServerInfo::defaults(L1("10.0.0.5"), L1("7777"), L1("7778"));
    info.gamename = L1("ut");
    info.numplayers = L1("3");
    info.maxplayers = L1("16");
    info.mapname = L1("DM-Deck16");
    info.maptitle = L1("Deck 16");
    info.gametype = L1("DeathMatchPlus");
    info.mutators = L1("InstaGib");
    info.adminemail = L1("a@b");
    info.hostport = L1("7000");
    info.ping = 42;
    row.fillFrom(info);
    const std::pair<int, const char *> expected[] = {
        {0, "10.0.0.5"},       {1, "42"},        {2, "ut"},   {3, "3 / 16"},    {4, "DM-Deck16"}, {5, "Deck 16"},
        {6, "DeathMatchPlus"}, {12, "InstaGib"}, {22, "a@b"}, {23, "10.0.0.5"}, {24, "7000"},     {25, "7778"},
    };
    for (const auto &[column, text] : expected)
        EXPECT_EQ(row.column(column), L1(text)) << column;
}

TEST(ServerEntry, IconsAndPingClasses)
{
    struct Case
    {
        quint16 ping;
        PingClassKind kind;
    };
    const Case cases[] = {{0, PingClassKind::Good},     {150, PingClassKind::Good}, {151, PingClassKind::Normal},
                          {300, PingClassKind::Normal}, {301, PingClassKind::Bad},  {600, PingClassKind::Bad},
                          {601, PingClassKind::None},   {9999, PingClassKind::None}};
    for (const Case &c : cases)
        EXPECT_EQ(PingClass(c.ping), c.kind) << c.ping;

    ServerEntry row;
    for (int icon = 0; icon <= 9; ++icon) {
        row.icon = icon;
        const bool answered = icon == 0 || icon == 1 || icon == 2 || icon == 5 || icon == 6 || icon == 7;
        EXPECT_EQ(row.isAnswered(), answered) << icon;
    }
    EXPECT_EQ(iconFor(RowIcon::Dead, true), 9);
    EXPECT_EQ(iconFor(RowIcon::Good, true), 5);
}

TEST(ServerListModel, FindRowSetRowAndSingleRowChange)
{
    ServerListModel model;
    std::vector<ServerEntry> rows;
    for (int i = 0; i < 5; ++i)
        rows.push_back(ServerEntry::rebuilt({QStringLiteral("10.0.0.%1").arg(i), L1("7777"), L1("7778")}, false));
    rows.push_back(ServerEntry::rebuilt({L1("10.0.0.2"), L1("7777"), L1("7790")}, false));
    model.setRows(std::move(rows));
    model.setWording(orv::words::rowCaption, orv::words::serverColumnCaption);
    EXPECT_EQ(model.rowCount(), 6);
    EXPECT_EQ(model.columnCount(), 27);
    EXPECT_EQ(model.headerData(25, Qt::Horizontal).toString(), L1("Info port"));
    EXPECT_EQ(model.headerData(26, Qt::Horizontal).toString(), L1("Country"));
    EXPECT_EQ(model.data(model.index(0, 26)).toString(), QString()); // a private address
    EXPECT_EQ(model.FindRow({0x0A000002, 7777, 7790}), 5);
    EXPECT_EQ(model.FindRow({0x0A000002, 7777, 7778}), 2);
    EXPECT_EQ(model.FindRow({0x0A000009, 7777, 7778}), std::nullopt);

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    ServerEntry e = model.row(3);
    e.state = RowState::Processing;
    e.icon = 4;
    model.setRow(3, e);
    ASSERT_EQ(changed.count(), 1);
    const auto first = changed.at(0).at(0).value<QModelIndex>();
    const auto last = changed.at(0).at(1).value<QModelIndex>();
    EXPECT_EQ(first.row(), 3);
    EXPECT_EQ(last.row(), 3);
    EXPECT_EQ(last.column(), 26);
    EXPECT_EQ(model.data(model.index(3, 0)).toString(), L1("Processing.."));
    EXPECT_EQ(model.data(model.index(3, 0), ServerListModel::IconIndexRole).toInt(), 4);
}

TEST(ServerListModel, SortComparesTextsByteForByte)
{
    ServerListModel model;
    std::vector<ServerEntry> rows;
    for (const char *ping : {"45", "9999", "120", "0"}) {
        ServerEntry e = ServerEntry::rebuilt({L1(ping), L1("1"), L1("2")}, false);
        e.setColumn(1, L1(ping));
        rows.push_back(e);
    }
    model.setRows(std::move(rows));
    model.sort(1, Qt::AscendingOrder);
    QStringList order;
    for (const ServerEntry &e : model.rows())
        order.append(e.column(1));
    EXPECT_EQ(order, (QStringList{L1("0"), L1("120"), L1("45"), L1("9999")}));
    model.sort(1, Qt::DescendingOrder);
    EXPECT_EQ(model.row(0).column(1), L1("9999"));
    EXPECT_EQ(model.row(3).column(1), L1("0"));
}

TEST(GameKindOf, BeaconSignsIgnoringCase)
{
    const QString s1 = L1("Unreal");
    const QString s2 = L1("ut");
    EXPECT_EQ(GameKindOf(L1("UT"), s1, s2), GameKind::UT);
    EXPECT_EQ(GameKindOf(L1("unreal"), s1, s2), GameKind::Unreal);
    EXPECT_EQ(GameKindOf(L1("N/A"), s1, s2), GameKind::Other);
    EXPECT_EQ(GameKindOf(L1("ut2004"), s1, s2), GameKind::Other);
}

TEST(ListedPlayers, FollowsNumplayersUpTo32)
{
    ServerInfo info = ServerInfo::defaults(L1("a"), L1("1"), L1("2"));
    const std::pair<const char *, size_t> cases[] = {{"0", 0}, {"-3", 0}, {"x", 0}, {"5", 5}, {"40", 32}, {"32", 32}};
    for (const auto &[numplayers, count] : cases) {
        info.numplayers = L1(numplayers);
        EXPECT_EQ(listedPlayers(info).size(), count) << numplayers;
    }
    EXPECT_EQ(orv::words::teamLabel(L1("3")), L1("Gold team"));
    EXPECT_EQ(orv::words::teamLabel(L1("255")), L1("None"));
    EXPECT_EQ(teamWord(L1("0")), L1("red"));
}
