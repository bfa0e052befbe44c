// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "orv/tools/tbiginifile.h"
#include "tests/support/testpaths.h"

using orv::tools::IniSection;
using orv::tools::TBigIniFile;

namespace {

QList<QByteArrayList> sectionsOf(const TBigIniFile &store)
{
    QList<QByteArrayList> out;
    for (const IniSection &section : store.sections())
        out.append(QByteArrayList{section.name} + section.lines);
    return out;
}

TBigIniFile loaded(QByteArrayView bytes)
{
    TBigIniFile store(QStringLiteral("unused.ini"));
    store.loadFromBytes(bytes);
    return store;
}

} // namespace

TEST(TBigIniFile, LoadingKeepsLinesVerbatimAndDropsWhatItShould)
{
    struct Case
    {
        const char *name;
        QByteArray input;
        QList<QByteArrayList> sections; // name first, then the lines
    };
    const Case cases[] = {
        {"empty", "", {}},
        {"crlf", "[A]\r\nk=v\r\n", {{"A", "k=v"}}},
        {"lf and cr", "[A]\nk=v\rj=w", {{"A", "k=v", "j=w"}}},
        {"blank lines and ctrl-z skipped", "[A]\r\n\r\n  \r\nk=v\r\n\x1a\r\n", {{"A", "k=v"}}},
        {"lines before the first section dropped", "; hello\r\nk=v\r\n[A]\r\nx=1", {{"A", "x=1"}}},
        {"names and lines untrimmed", "[ A ]\r\n Key = Value \r\n", {{" A ", " Key = Value "}}},
        {"repeated section dropped without regard to case",
         "[Engine.Engine]\r\na=1\r\n[B]\r\nb=1\r\n[ENGINE.engine]\r\na=2\r\nc=3\r\n[C]\r\nc=1",
         {{"Engine.Engine", "a=1"}, {"B", "b=1"}, {"C", "c=1"}}},
        {"section line needs both brackets", "[A]\r\n[B\r\nB]\r\n", {{"A", "[B", "B]"}}},
        {"empty section kept in the list", "[A]\r\n[B]\r\nk=v", {{"A"}, {"B", "k=v"}}},
        {"comments kept", "[A]\r\n; note\r\n// other\r\n", {{"A", "; note", "// other"}}},
        {"nul bytes kept", QByteArray("[A]\r\nk=\0v\r\n", 10), {{"A", QByteArray("k=\0v", 4)}}},
    };
    for (const Case &c : cases) {
        const TBigIniFile store = loaded(c.input);
        EXPECT_EQ(sectionsOf(store), c.sections) << c.name;
        EXPECT_FALSE(store.isChanged()) << c.name;
    }
}

TEST(TBigIniFile, LoadReadsFilesAndTreatsAMissingFileAsEmpty)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.ini"));
    TBigIniFile missing(path);
    ASSERT_TRUE(missing.load());
    EXPECT_TRUE(missing.sections().isEmpty());

    ASSERT_TRUE(testsupport::writeFile(path, "[A]\r\nk=v\r\n"));
    TBigIniFile present(path);
    ASSERT_TRUE(present.load());
    EXPECT_EQ(present.sectionNames(), QByteArrayList{"A"});

    // A folder where the file should be exists but cannot be read as a file.
    TBigIniFile unreadable(dir.path());
    EXPECT_FALSE(unreadable.load());
}

TEST(TBigIniFile, WriteFollowsTheCaseRulesAndSetsTheFlagOnlyOnChange)
{
    struct Case
    {
        const char *name;
        QByteArray section, key, value;
        bool accepted;
        bool changed;
        QList<QByteArrayList> after;
    };
    const QByteArray input = "[Game]\r\nKey = Value\r\nLevel=1\r\nLevel=2\r\n; c\r\n";
    const Case cases[] = {
        {"replace first match, key as given",
         "Game",
         "LEVEL",
         "5",
         true,
         true,
         {{"Game", "Key = Value", "LEVEL=5", "Level=2", "; c"}}},
        {"same text leaves the flag clear",
         "Game",
         "Level",
         "1",
         true,
         false,
         {{"Game", "Key = Value", "Level=1", "Level=2", "; c"}}},
        {"key with its blanks", "Game", "Key ", "X", true, true, {{"Game", "Key =X", "Level=1", "Level=2", "; c"}}},
        {"missing key appended",
         "Game",
         "New",
         "",
         true,
         true,
         {{"Game", "Key = Value", "Level=1", "Level=2", "; c", "New="}}},
        {"section matched with case: other case appends a section",
         "GAME",
         "Level",
         "9",
         true,
         true,
         {{"Game", "Key = Value", "Level=1", "Level=2", "; c"}, {"GAME", "Level=9"}}},
        {"empty key refused", "Game", "", "x", false, false, {{"Game", "Key = Value", "Level=1", "Level=2", "; c"}}},
        {"line break in value refused",
         "Game",
         "Level",
         "1\r\n[Evil]",
         false,
         false,
         {{"Game", "Key = Value", "Level=1", "Level=2", "; c"}}},
        {"equals sign in key refused",
         "Game",
         "a=b",
         "x",
         false,
         false,
         {{"Game", "Key = Value", "Level=1", "Level=2", "; c"}}},
    };
    for (const Case &c : cases) {
        TBigIniFile store = loaded(input);
        EXPECT_EQ(store.write(c.section, c.key, c.value), c.accepted) << c.name;
        EXPECT_EQ(store.isChanged(), c.changed) << c.name;
        EXPECT_EQ(sectionsOf(store), c.after) << c.name;
    }
}

TEST(TBigIniFile, UpdateWritesSectionsWithLinesOnlyWhenChanged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.ini"));
    const QByteArray original = "; top\n[A]\nk=v\n\n[Empty]\n[B]\nx=1\n";
    ASSERT_TRUE(testsupport::writeFile(path, original));
    TBigIniFile store(path);
    ASSERT_TRUE(store.load());

    ASSERT_TRUE(store.update());
    EXPECT_EQ(testsupport::readFile(path), original) << "nothing changed, nothing written";

    ASSERT_TRUE(store.write("B", "y", "2"));
    ASSERT_TRUE(store.close());
    EXPECT_FALSE(store.isChanged());
    EXPECT_EQ(testsupport::readFile(path), QByteArray("[A]\r\nk=v\r\n\r\n[B]\r\nx=1\r\ny=2\r\n\r\n"));
}

TEST(TBigIniFile, UpdateReportsAFailedWriteAndKeepsTheFlag)
{
    QTemporaryDir dir;
    TBigIniFile store(dir.filePath(QStringLiteral("missing/folder/a.ini")));
    store.loadFromBytes("[A]\r\n");
    ASSERT_TRUE(store.write("A", "k", "v"));
    EXPECT_FALSE(store.update());
    EXPECT_TRUE(store.isChanged());
}

TEST(TBigIniFile, WalkingSectionsInFileOrderTakesOneComparisonEach)
{
    QByteArray text;
    const int count = 2000;
    for (int i = 0; i < count; ++i)
        text += "[Section" + QByteArray::number(i) + "]\r\nk=" + QByteArray::number(i) + "\r\n";
    TBigIniFile store = loaded(text);

    for (int i = 0; i < count; ++i) {
        const IniSection *found = store.findSection("section" + QByteArray::number(i), Qt::CaseInsensitive);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->lines.constFirst(), "k=" + QByteArray::number(i));
    }
    EXPECT_EQ(store.lookupComparisons(), count);

    // The section just found is found again at once (typing into the shown section).
    const qint64 before = store.lookupComparisons();
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(store.write("Section1999", "k", QByteArray::number(i)));
    EXPECT_LE(store.lookupComparisons() - before, 20);

    // Lookups out of order and misses still find the right section or none.
    EXPECT_EQ(store.findSection("Section7", Qt::CaseSensitive)->lines.constFirst(), "k=7");
    EXPECT_EQ(store.findSection("section7", Qt::CaseSensitive), nullptr);
    EXPECT_EQ(store.findSection("Nowhere", Qt::CaseInsensitive), nullptr);
}

TEST(TBigIniFile, CopesWithHugeLinesAndHugeSections)
{
    QByteArray text = "[Big]\r\nline=" + QByteArray(1024 * 1024, 'x') + "\r\n[Many]\r\n";
    for (int i = 0; i < 100000; ++i)
        text += "Key" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\r\n";
    TBigIniFile store = loaded(text);
    ASSERT_EQ(store.sections().size(), 2);
    EXPECT_EQ(store.sections()[0].lines.constFirst().size(), 5 + 1024 * 1024);
    EXPECT_EQ(store.sections()[1].lines.size(), 100000);
    EXPECT_EQ(store.toBytes().size(), text.size() + 4) << "one blank line after each of the two sections";
    ASSERT_TRUE(store.write("Many", "Key99999", "last"));
    EXPECT_EQ(store.sections()[1].lines.constLast(), "Key99999=last");
}
