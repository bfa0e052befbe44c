// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/core/scriptfile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/quillet/core/enforcedpermissions.h"
#include "tests/support/testpaths.h"

#include <sys/stat.h>
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

TEST(ScriptFile, PrepareWritesBackOnlyWhatTheConversionChanged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tabs.uc"));
    const QByteArray original("class A;\r\n\t\tvar int X;\r\n\xe9\r\n");
    ASSERT_TRUE(testsupport::writeFile(path, original));
    const auto prepared = prepareScriptFile(path, 4);
    ASSERT_TRUE(prepared.hasValue());
    const QByteArray expected("class A;\r\n        var int X;\r\n\xe9\r\n");
    EXPECT_EQ(prepared.value().text, expected);
    EXPECT_FALSE(prepared.value().readOnly);
    EXPECT_EQ(testsupport::readFile(path), expected);

    // Nothing to convert: the file is not written at all (an atomic write would give it a
    // new inode).
    const auto inode = [&path] {
        struct stat info = {};
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : ino_t(0);
    };
    const ino_t before = inode();
    ASSERT_NE(before, ino_t(0));
    ASSERT_TRUE(prepareScriptFile(path, 4).hasValue());
    EXPECT_EQ(inode(), before);
}

TEST(ScriptFile, ReadOnlyFilesAreOnlyViewed)
{
    QTemporaryDir dir;
    const auto missing = prepareScriptFile(dir.filePath(QStringLiteral("missing.uc")), 2);
    ASSERT_FALSE(missing.hasValue());
    EXPECT_EQ(missing.error().code, static_cast<int>(ScriptFileError::CannotOpen));
    const auto directory = prepareScriptFile(dir.path(), 2);
    ASSERT_FALSE(directory.hasValue());
    EXPECT_EQ(directory.error().code, static_cast<int>(ScriptFileError::CannotOpen));

    // No write permission for anybody: read-only for root too, although root could write.
    const QString path = dir.filePath(QStringLiteral("ReadOnly.uc"));
    ASSERT_TRUE(testsupport::writeFile(path, "\tx\r\n"));
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    EXPECT_TRUE(isReadOnlyFile(path));
    const auto readOnly = prepareScriptFile(path, 2);
    ASSERT_TRUE(readOnly.hasValue());
    EXPECT_TRUE(readOnly.value().readOnly);
    EXPECT_EQ(readOnly.value().text, QByteArray("  x\r\n"));
    EXPECT_EQ(testsupport::readFile(path), QByteArray("\tx\r\n"));
    const auto saved = writeScriptFile(path, "y");
    ASSERT_FALSE(saved.hasValue());
    EXPECT_EQ(saved.error().code, static_cast<int>(ScriptFileError::CannotCreate));
    EXPECT_EQ(testsupport::readFile(path), QByteArray("\tx\r\n"));
}

TEST(ScriptFile, OwnFileInAReadOnlyFolderIsWrittenInPlace)
{
    // The folder takes no temporary file, the file itself is writable: opening converts it
    // and saving replaces its text, both written straight into the file.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/Writable.uc"));
    ASSERT_TRUE(testsupport::writeFile(path, "\tx\r\n"));
    const QString folder = QFileInfo(path).path();
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    {
        const quillet::testing::EnforcedPermissions enforced;
        ASSERT_FALSE(QFile(dir.filePath(QStringLiteral("sub/new.uc"))).open(QIODevice::WriteOnly));
        const auto prepared = prepareScriptFile(path, 2);
        ASSERT_TRUE(prepared.hasValue());
        EXPECT_FALSE(prepared.value().readOnly);
        EXPECT_EQ(testsupport::readFile(path), QByteArray("  x\r\n"));
        EXPECT_TRUE(writeScriptFile(path, "y").hasValue());
        EXPECT_EQ(testsupport::readFile(path), QByteArray("y\r\n"));
        // A file that cannot be made either way says why.
        const auto refused = writeScriptFile(dir.filePath(QStringLiteral("sub/new.uc")), "z");
        ASSERT_FALSE(refused.hasValue());
        EXPECT_EQ(refused.error().code, static_cast<int>(ScriptFileError::CannotCreate));
        EXPECT_FALSE(refused.error().message.isEmpty());
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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
