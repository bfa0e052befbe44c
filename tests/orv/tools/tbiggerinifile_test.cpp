// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "orv/tools/tbiggerinifile.h"

using orv::tools::IniRow;
using orv::tools::TBiggerIniFile;

namespace {

TBiggerIniFile loaded(QByteArrayView bytes)
{
    TBiggerIniFile store(QStringLiteral("unused.ini"));
    store.loadFromBytes(bytes);
    return store;
}

} // namespace

TEST(TBiggerIniFile, RowsShowEachKeyWithTheFirstValueOfThatKey)
{
    const TBiggerIniFile store = loaded("[S]\r\nKey = Value\r\n; comment\r\nA=1\r\na=2\r\n=odd\r\nB=x=y\r\n");
    const QList<IniRow> expected = {
        {"Key ", " Value", true}, {{}, {}, false},
        {"A", "1", true},         {"a", "1", true}, // keys match without regard to case: the first value is shown
        {"", "odd", true},        {"B", "x=y", true},
    };
    EXPECT_EQ(store.sectionRows("s"), expected);
    EXPECT_TRUE(store.sectionRows("missing").isEmpty());
}

TEST(TBiggerIniFile, SectionLinesAndValueOf)
{
    const TBiggerIniFile store = loaded("[Clan]\r\nName=Foo\r\nname=Bar\r\n; x=1\r\n");
    const QList<QByteArray> lines = store.sectionLines("CLAN");
    EXPECT_EQ(lines, (QList<QByteArray>{"Name=Foo", "name=Bar", "; x=1"}));
    EXPECT_EQ(TBiggerIniFile::valueOf(lines, "NAME"), "Foo");
    EXPECT_EQ(TBiggerIniFile::valueOf(lines, "; x"), "1");
    EXPECT_EQ(TBiggerIniFile::valueOf(lines, "Missing"), "");
    EXPECT_TRUE(store.sectionLines("Other").isEmpty());
}

TEST(TBiggerIniFile, RenameKeyKeepsTheValueAndRefusesCollisions)
{
    struct Case
    {
        const char *name;
        int line;
        QByteArray newKey;
        bool accepted;
        QList<QByteArray> after;
    };
    const QByteArray input = "[S]\r\nMap=DM-Deck16\r\n; note\r\nPort=7777\r\n";
    const Case cases[] = {
        {"renamed", 0, "LocalMap", true, {"LocalMap=DM-Deck16", "; note", "Port=7777"}},
        {"collides with another key", 0, "port", false, {"Map=DM-Deck16", "; note", "Port=7777"}},
        {"same key in another case is fine", 2, "PORT", true, {"Map=DM-Deck16", "; note", "PORT=7777"}},
        {"comment lines have no key", 1, "X", false, {"Map=DM-Deck16", "; note", "Port=7777"}},
        {"empty key", 0, "", false, {"Map=DM-Deck16", "; note", "Port=7777"}},
        {"line out of range", 7, "X", false, {"Map=DM-Deck16", "; note", "Port=7777"}},
    };
    for (const Case &c : cases) {
        TBiggerIniFile store = loaded(input);
        EXPECT_EQ(store.renameKey("S", c.line, c.newKey), c.accepted) << c.name;
        EXPECT_EQ(store.sectionLines("S"), c.after) << c.name;
        EXPECT_EQ(store.isChanged(), c.accepted) << c.name;
    }
}
