// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/core/scriptfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/support/testpaths.h"

#include <unistd.h>

using namespace quillet::core;

TEST(ScriptFile, ConvertsEachTabToExactlyNBlanks)
{
    const std::vector<std::tuple<QByteArray, int, QByteArray>> cases = {
        {"\t\tx", 4, "        x"}, {"a\tb", 2, "a  b"},
        {"ab\tc", 4, "ab    c"}, // no tab stops
        {"no tabs", 3, "no tabs"}, {"\t", 1, " "},
        {"a\tb", 0, "a\tb"}, // nothing stored yet: TABs are kept, not removed
        {"a\tb", -1, "a\tb"},      {QByteArray("\0\t\xff", 3), 2, QByteArray("\0  \xff", 4)},
    };
    for (const auto &[input, spaces, expected] : cases)
        EXPECT_EQ(convertTabs(input, spaces), expected) << input.toStdString() << " / " << spaces;
}

TEST(ScriptFile, PrepareWritesTheConvertedTextBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tabs.uc"));
    const QByteArray original("class A;\r\n\t\tvar int X;\r\n\xe9\r\n");
    ASSERT_TRUE(testsupport::writeFile(path, original));
    const auto prepared = prepareScriptFile(path, 4);
    ASSERT_TRUE(prepared.hasValue());
    const QByteArray expected("class A;\r\n        var int X;\r\n\xe9\r\n");
    EXPECT_EQ(prepared.value(), expected);
    EXPECT_EQ(testsupport::readFile(path), expected);
}

TEST(ScriptFile, PrepareReportsUnreadableAndUnwritableFiles)
{
    QTemporaryDir dir;
    const auto missing = prepareScriptFile(dir.filePath(QStringLiteral("missing.uc")), 2);
    ASSERT_FALSE(missing.hasValue());
    EXPECT_EQ(missing.error().code, static_cast<int>(ScriptFileError::CannotOpen));

    const auto directory = prepareScriptFile(dir.path(), 2);
    ASSERT_FALSE(directory.hasValue());
    EXPECT_EQ(directory.error().code, static_cast<int>(ScriptFileError::CannotOpen));

    if (::geteuid() == 0) {
        // Permissions do not stop root; /proc is readable but no file can be created there.
        const auto procFile = prepareScriptFile(QStringLiteral("/proc/version"), 2);
        ASSERT_FALSE(procFile.hasValue());
        EXPECT_EQ(procFile.error().code, static_cast<int>(ScriptFileError::CannotCreate));
        return;
    }
    const QString path = dir.filePath(QStringLiteral("ReadOnly.uc"));
    ASSERT_TRUE(testsupport::writeFile(path, "\tx\r\n"));
    // A read-only folder: the atomic write-back cannot place its temporary file.
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const auto readOnly = prepareScriptFile(path, 2);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_FALSE(readOnly.hasValue());
    EXPECT_EQ(readOnly.error().code, static_cast<int>(ScriptFileError::CannotCreate));
    EXPECT_EQ(testsupport::readFile(path), QByteArray("\tx\r\n"));
}

TEST(ScriptFile, WriteUsesCrLfLineEnds)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Out.uc"));
    ASSERT_TRUE(writeScriptFile(path, "a\nb\r\nc\rd").hasValue());
    EXPECT_EQ(testsupport::readFile(path), QByteArray("a\r\nb\r\nc\r\nd\r\n"));
    ASSERT_FALSE(writeScriptFile(dir.filePath(QStringLiteral("no/such/folder/x.uc")), "x").hasValue());
}

TEST(ScriptFile, UnsavedNamesHaveNoFolder)
{
    EXPECT_TRUE(isUnsavedName(QStringLiteral("Untitled2.uc")));
    EXPECT_FALSE(isUnsavedName(QStringLiteral("/tmp/Untitled2.uc")));
    EXPECT_FALSE(isUnsavedName(QStringLiteral("C:\\x\\A.uc")));
}
