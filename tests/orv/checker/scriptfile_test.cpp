// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/scriptfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "tests/support/testpaths.h"

using namespace orv::checker;

namespace {

QStringList lines(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *t : texts)
        list.append(QString::fromLatin1(t));
    return list;
}

} // namespace

TEST(ScriptFile, ReadsEveryLineEnd)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        QStringList expected;
    };
    const Case cases[] = {
        {"crlf", "-,Ping,<,300\r\nand\r\n-,NumPlayers,>,5\r\n", lines({"-,Ping,<,300", "and", "-,NumPlayers,>,5"})},
        {"lf", "-,Ping,<,300\nand\n-,NumPlayers,>,5\n", lines({"-,Ping,<,300", "and", "-,NumPlayers,>,5"})},
        {"cr", "-,Ping,<,300\rand\r-,NumPlayers,>,5\r", lines({"-,Ping,<,300", "and", "-,NumPlayers,>,5"})},
        {"no final break", "-,Ping,<,300\r\nor\n-,Ping,>,9", lines({"-,Ping,<,300", "or", "-,Ping,>,9"})},
        {"blank line kept", "-,Ping,<,300\r\n\r\nand\r\n", lines({"-,Ping,<,300", "", "and"})},
        {"empty file", "", QStringList()},
        // Unknown commands are kept: the check ignores them and the evaluation passes
        // them through, so the user sees them in the list.
        {"unknown command", "-,Ping,<,300\r\nxor\r\n", lines({"-,Ping,<,300", "xor"})},
        {"tab kept", "-,HostName,?,a\tb\r\n", lines({"-,HostName,?,a\tb"})},
    };
    for (const Case &c : cases) {
        auto parsed = scriptfile::parse(c.bytes);
        ASSERT_TRUE(parsed) << c.name;
        EXPECT_EQ(parsed.value(), c.expected) << c.name;
    }
}

TEST(ScriptFile, KeepsEightBitTextByteForByte)
{
    const QByteArray bytes("-,HostName,?,\xe9t\xe9 \xa0\xff\r\n");
    auto parsed = scriptfile::parse(bytes);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed.value().size(), 1);
    EXPECT_EQ(parsed.value().at(0).at(13), QChar(0xe9));
    EXPECT_EQ(scriptfile::serialize(parsed.value()), bytes);
}

TEST(ScriptFile, RuleTextInUtf8IsReadAndWrittenAsUtf8)
{
    // A rule naming a player whose name code page 1252 lacks: the file is UTF-8.
    const QByteArray bytes("-,Player,=,\xd0\xa1\xd0\xb5\xd1\x80\xd0\xb3\xd0\xb5\xd0\xb9 \xe2\x82\xac\r\n");
    auto parsed = scriptfile::parse(bytes);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed.value().at(0), QString::fromUtf8("-,Player,=,Сергей €"));
    EXPECT_EQ(scriptfile::serialize(parsed.value()), bytes);
    // Code page 1252 text stays 8-bit, its euro sign included.
    EXPECT_EQ(scriptfile::serialize({QString::fromUtf8("-,HostName,=,€uro")}), QByteArray("-,HostName,=,\x80uro\r\n"));
}

TEST(ScriptFile, RefusesBadFilesWithAMessage)
{
    QByteArray manyLines;
    for (int i = 0; i < 100000; ++i)
        manyLines += "and\r\n";
    QByteArray atLimit;
    for (int i = 0; i < scriptfile::kMaxLines; ++i)
        atLimit += "-\r\n";

    struct Case
    {
        const char *name;
        QByteArray bytes;
        scriptfile::ReadError error; // 0-like Unreadable means accepted when ok is true
        bool ok;
    };
    const Case cases[] = {
        {"100000 lines", manyLines, scriptfile::ReadError::TooManyLines, false},
        {"lines at the limit", atLimit, scriptfile::ReadError::TooManyLines, true},
        {"one more line", atLimit + "-", scriptfile::ReadError::TooManyLines, false},
        {"100 KB line", "-,HostName,=," + QByteArray(100 * 1024, 'a') + "\r\n", scriptfile::ReadError::LineTooLong,
         false},
        {"line at the limit", QByteArray(scriptfile::kMaxLineBytes, 'a'), scriptfile::ReadError::LineTooLong, true},
        {"zero byte",
         QByteArray("-,Ping,<,3\0"
                    "00\r\n",
                    14),
         scriptfile::ReadError::Binary, false},
        {"binary",
         QByteArray("\x7f"
                    "ELF\x02\x01\x01\x00",
                    8),
         scriptfile::ReadError::Binary, false},
        {"escape", "-,HostName,=,\x1b[31m\r\n", scriptfile::ReadError::Binary, false},
        {"over a megabyte", QByteArray(scriptfile::kMaxFileBytes + 1, 'a'), scriptfile::ReadError::Unreadable, false},
    };
    for (const Case &c : cases) {
        auto parsed = scriptfile::parse(c.bytes);
        EXPECT_EQ(parsed.hasValue(), c.ok) << c.name;
        if (!c.ok && !parsed) {
            EXPECT_EQ(parsed.error().code, static_cast<int>(c.error)) << c.name;
            EXPECT_FALSE(parsed.error().message.isEmpty()) << c.name;
        }
    }
    // The message says which line is at fault.
    auto binary = scriptfile::parse(QByteArray("and\r\nor\r\n-\x01\r\n"));
    ASSERT_FALSE(binary);
    EXPECT_TRUE(binary.error().message.contains(QStringLiteral("Line 3"))) << binary.error().message.toStdString();
}

TEST(ScriptFile, WritesCrLfAfterEveryLineAndReadsItBack)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("default.ovs"));
    const QStringList script = lines({"{", "-,Ping,<,300", "and", "-,HostName,?,my server", "}"});
    ASSERT_TRUE(scriptfile::write(path, script));
    EXPECT_EQ(testsupport::readFile(path), QByteArray("{\r\n-,Ping,<,300\r\nand\r\n-,HostName,?,my server\r\n}\r\n"));
    auto back = scriptfile::read(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back.value(), script);

    // An existing file is replaced whole.
    ASSERT_TRUE(scriptfile::write(path, lines({"-,Ping,<,1"})));
    EXPECT_EQ(testsupport::readFile(path), QByteArray("-,Ping,<,1\r\n"));
}

TEST(ScriptFile, ReportsMissingAndOversizedFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto missing = scriptfile::read(dir.filePath(QStringLiteral("nothing.ovs")));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code, static_cast<int>(scriptfile::ReadError::Unreadable));

    const QString big = dir.filePath(QStringLiteral("big.ovs"));
    ASSERT_TRUE(testsupport::writeFile(big, QByteArray(scriptfile::kMaxFileBytes + 10, '-')));
    auto oversized = scriptfile::read(big);
    ASSERT_FALSE(oversized);
    EXPECT_TRUE(oversized.error().message.contains(QString::number(scriptfile::kMaxFileBytes)));
}
