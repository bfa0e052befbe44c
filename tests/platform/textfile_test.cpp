// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/textfile.h"
#include "tests/platform/filesizelimit.h"
#include "tests/support/testpaths.h"

using namespace platform;

TEST(TextFile, SplitLinesAcceptsEveryLineEnd)
{
    struct Case
    {
        const char *name;
        QByteArray input;
        QList<QByteArray> lines;
    };
    const Case cases[] = {
        {"empty", "", {}},
        {"no break", "a", {"a"}},
        {"crlf", "a\r\nb\r\n", {"a", "b"}},
        {"lf", "a\nb", {"a", "b"}},
        {"cr only", "a\rb\r", {"a", "b"}},
        {"mixed", "a\r\n\nb\rc", {"a", "", "b", "c"}},
        {"lf cr is two breaks", "a\n\rb", {"a", "", "b"}},
        {"blank lines kept", "\r\n\r\n", {"", ""}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(textfile::splitLines(c.input), c.lines) << c.name;
}

TEST(TextFile, BytesSurviveTheCodePageRoundTrip)
{
    QByteArray all;
    for (int i = 1; i < 256; ++i)
        all.append(static_cast<char>(i));
    EXPECT_EQ(textfile::toAnsi(textfile::fromAnsi(all)), all);
    // 0x80-0x9F are code page 1252's signs, not Latin-1 controls.
    EXPECT_EQ(textfile::fromAnsi("\x80\x93x\x94\x99"), QStringLiteral("\u20ac\u201cx\u201d\u2122"));
    bool fits = true;
    EXPECT_EQ(textfile::toAnsi(QStringLiteral("a\u20acb\u0416"), &fits), QByteArray("a\x80"
                                                                                    "b?"));
    EXPECT_FALSE(fits);
}

TEST(TextFile, UnrecordedEncodingIsUtf8OnlyWhenValidWithMultiByteSequences)
{
    EXPECT_EQ(textfile::fromEightBit("Se\xc3\xb1or"), QStringLiteral("Se\u00f1or"));
    EXPECT_EQ(textfile::fromEightBit("Se\xf1or"), QStringLiteral("Se\u00f1or"));
    EXPECT_EQ(textfile::fromEightBit("plain"), QStringLiteral("plain"));
    // Overlong forms, surrogates and cut sequences are no UTF-8.
    for (const char *notUtf8 : {"\xc0\xaf", "\xed\xa0\x80", "ab\xe2\x82", "\xf5\x80\x80\x80"})
        EXPECT_FALSE(textfile::isMultiByteUtf8(notUtf8)) << notUtf8;
    EXPECT_TRUE(textfile::isMultiByteUtf8("\xf0\x9f\x98\x80"));

    // A file whose lines all fit the code page stays 8-bit; one that does not is UTF-8.
    EXPECT_EQ(textfile::toEightBit(QStringLiteral("caf\u00e9 \u20ac")), QByteArray("caf\xe9 \x80"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.txt"));
    const QStringList lines{QStringLiteral("caf\u00e9"), QStringLiteral("\u0421\u0435\u0440\u0433\u0435\u0439")};
    ASSERT_TRUE(textfile::writeLines(path, lines));
    EXPECT_EQ(testsupport::readFile(path), lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
    EXPECT_EQ(textfile::readLines(path).value(), lines);
}

TEST(TextFile, WritesCrLfAndReadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.txt"));
    ASSERT_TRUE(textfile::writeLines(path, {QStringLiteral("1.2.3.4 7777 7778"), QStringLiteral("caf\u00e9 ")}));
    EXPECT_EQ(testsupport::readFile(path), QByteArray("1.2.3.4 7777 7778\r\ncaf\xe9 \r\n"));
    const auto lines = textfile::readLines(path);
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, QStringList({QStringLiteral("1.2.3.4 7777 7778"), QStringLiteral("caf\u00e9 ")}));
}

TEST(TextFile, ReadRefusesFilesOverTheLimit)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big"));
    ASSERT_TRUE(testsupport::writeFile(path, QByteArray(1001, 'x')));
    EXPECT_FALSE(textfile::readAll(path, 1000));
    EXPECT_TRUE(textfile::readAll(path, 1001));
    EXPECT_FALSE(textfile::readAll(dir.filePath(QStringLiteral("missing"))));
}

TEST(TextFile, AtomicWriteReplacesWholeOrFails)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.lst"));
    ASSERT_TRUE(testsupport::writeFile(path, "old\r\n"));
    ASSERT_TRUE(textfile::writeAtomically(path, "new\r\n"));
    EXPECT_EQ(testsupport::readFile(path), QByteArray("new\r\n"));
    // No stray temporary file stays beside the target.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.lst")});
    EXPECT_FALSE(textfile::writeAtomically(dir.filePath(QStringLiteral("no/such/folder/x.lst")), "x"));
}

// A disk that fills up in the middle of the write must not leave a truncated file behind
// a success: the old file stays and the caller hears about it.
TEST(TextFile, AtomicWriteCutShortReportsFailureAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("favorites.lst"));
    ASSERT_TRUE(platform::textfile::writeAtomically(path, "127.0.0.2 7777 7778\r\n"));
    platform::Status written;
    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.isActive());
        written = platform::textfile::writeAtomically(path, QByteArray(20000, 'x'));
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(testsupport::readFile(path), QByteArray("127.0.0.2 7777 7778\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("favorites.lst")});
}
