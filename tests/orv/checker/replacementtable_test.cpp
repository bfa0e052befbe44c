// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/replacementtable.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "orv/checker/ruleevaluator.h"
#include "orv/engine/replydecoder.h"
#include "platform/registrystore.h"

using namespace orv::checker;

namespace {

QString s(const char *text)
{
    return QString::fromLatin1(text);
}

struct StoreFixture
{
    QTemporaryDir dir;
    platform::RegistryStore store{platform::RegistryRoot::CurrentUser, dir.filePath(QStringLiteral("user.reg"))};
};

} // namespace

TEST(ReplacementTable, ReplacesWholeValuesWithTheLastMatchingRow)
{
    ReplacementTable table;
    table.setRow(0, s("DM-Deck16"), s("Deck"));
    table.setRow(1, s("CTFGame"), s("Capture the flag"));
    table.setRow(2, s("CTFGame"), s("CTF"));
    table.setRow(3, s("None"), s("(empty)"));
    table.setRow(4, s("Gone"), QString());
    // Row 5 is empty: the rows below it are never read.
    table.setRow(6, s("DM-Morpheus"), s("Morpheus"));
    table.setRow(ReplacementTable::kRows, s("x"), s("y")); // outside the table: ignored

    struct Case
    {
        const char *value;
        const char *expected;
    };
    const Case cases[] = {
        {"DM-Deck16", "Deck"},
        {"dm-deck16", "dm-deck16"},
        {"DM-Deck16 ", "DM-Deck16 "},
        {"CTFGame", "CTF"},
        {"None", "(empty)"},
        {"Gone", ""},
        {"DM-Morpheus", "DM-Morpheus"},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(table.replaceValue(s(c.value)), s(c.expected)) << c.value;

    // Every row compares with the value as received, not with an earlier replacement.
    ReplacementTable chain;
    chain.setRow(0, s("a"), s("b"));
    chain.setRow(1, s("b"), s("c"));
    EXPECT_EQ(chain.replaceValue(s("a")), s("b"));
}

TEST(ReplacementTable, SavesAllRowsAndLoadsUntilTheFirstEmptyCell)
{
    StoreFixture f;
    ASSERT_TRUE(f.dir.isValid());
    ReplacementTable table;
    table.setRow(0, s("DM-Deck16"), s("Deck"));
    table.setRow(1, s("Gone"), QString());
    table.setRow(2, s("CTFGame"), s("CTF"));
    table.setUseInChecker(true);
    ASSERT_TRUE(table.save(f.store));

    const QString key = s("SOFTWARE\\Orvane\\String Replacer");
    EXPECT_EQ(f.store.readString(key, s("Str[0] name")).value(), s("DM-Deck16"));
    EXPECT_EQ(f.store.readString(key, s("Str[0] value")).value(), s("Deck"));
    EXPECT_EQ(f.store.readString(key, s("Str[199] value")).value(), QString());
    EXPECT_EQ(f.store.readString(key, s("UseinRepeat_Checked")).value(), s("True"));
    EXPECT_EQ(f.store.valueNames(key).size(), 2 * ReplacementTable::kRows + 1);

    ReplacementTable loaded;
    loaded.setRow(150, s("stale"), s("cell"));
    loaded.load(f.store);
    EXPECT_EQ(loaded.row(0).from, s("DM-Deck16"));
    EXPECT_EQ(loaded.row(1).from, s("Gone"));
    EXPECT_EQ(loaded.row(1).to, QString());
    // Loading stopped at the empty value: row 2 is gone from the table, and no stale cell stays.
    EXPECT_TRUE(loaded.row(2).from.isEmpty());
    EXPECT_TRUE(loaded.row(150).from.isEmpty());
    EXPECT_TRUE(loaded.useInChecker());
    EXPECT_EQ(loaded.replaceValue(s("CTFGame")), s("CTFGame"));

    // Row 2 stays stored until a save writes the loaded table back.
    EXPECT_EQ(f.store.readString(key, s("Str[2] name")).value(), s("CTFGame"));
    ASSERT_TRUE(loaded.save(f.store));
    EXPECT_EQ(f.store.readString(key, s("Str[2] name")).value(), QString());
}

TEST(ReplacementTable, LoadStopsAtAMissingNameAndSkipsUnreadableRows)
{
    StoreFixture f;
    ASSERT_TRUE(f.dir.isValid());
    const QString key = ReplacementTable::keyPath();
    ASSERT_TRUE(f.store.setString(key, s("Str[0] name"), s("a")));
    ASSERT_TRUE(f.store.setString(key, s("Str[0] value"), s("A")));
    // Row 1 holds a number where text belongs: it is skipped, the next row still loads.
    ASSERT_TRUE(f.store.setDWord(key, s("Str[1] name"), 7));
    ASSERT_TRUE(f.store.setString(key, s("Str[2] name"), s("c")));
    ASSERT_TRUE(f.store.setString(key, s("Str[2] value"), s("C")));
    // Row 3 is missing: rows after it are not read.
    ASSERT_TRUE(f.store.setString(key, s("Str[4] name"), s("e")));
    ASSERT_TRUE(f.store.setString(key, s("Str[4] value"), s("E")));
    ASSERT_TRUE(f.store.setString(key, s("UseinRepeat_Checked"), s("maybe")));

    ReplacementTable table;
    table.setUseInChecker(true);
    table.load(f.store);
    EXPECT_EQ(table.replaceValue(s("a")), s("A"));
    EXPECT_TRUE(table.row(1).from.isEmpty());
    EXPECT_EQ(table.row(2).to, s("C"));
    EXPECT_TRUE(table.row(4).from.isEmpty());
    // An unknown text leaves the box as it was.
    EXPECT_TRUE(table.useInChecker());
    // The skipped row is empty, so the table ends there for replacement.
    EXPECT_EQ(table.replaceValue(s("c")), s("c"));
}

TEST(ReplacementTable, AppliesDuringARunOnlyWhenAsked)
{
    struct Case
    {
        bool running;
        bool useInChecker;
        bool replaced;
    };
    const Case cases[] = {{false, false, true}, {false, true, true}, {true, false, false}, {true, true, true}};
    for (const Case &c : cases) {
        EXPECT_EQ(shouldReplaceValues(c.running, c.useInChecker), c.replaced);

        ReplacementTable table;
        table.setRow(0, s("DM-Deck16"), s("Deck"));
        table.setUseInChecker(c.useInChecker);
        orv::engine::ServerInfo info = orv::engine::ServerInfo::defaults(s("10.0.0.5"), s("7777"), s("7778"));
        orv::engine::applyDatagram(info, ">\\mapname\\DM-Deck16\\final\\", replacerFor(table, c.running));
        EXPECT_EQ(info.mapname, c.replaced ? s("Deck") : s("DM-Deck16"));

        // A rule sees whichever value the decoder stored.
        EvaluationContext context;
        EXPECT_EQ(TestExpression(s("MapName"), s("="), s("deck"), info, context), c.replaced);
        EXPECT_EQ(TestExpression(s("MapName"), s("="), s("dm-deck16"), info, context), !c.replaced);
    }
}

TEST(ReplacementTable, ReplacerReadsTheTableLive)
{
    ReplacementTable table;
    const orv::engine::ValueReplacer replace = table.replacer();
    EXPECT_EQ(replace(s("DM-Deck16")), s("DM-Deck16"));
    table.setRow(0, s("DM-Deck16"), s("Deck"));
    EXPECT_EQ(replace(s("DM-Deck16")), s("Deck"));
}
