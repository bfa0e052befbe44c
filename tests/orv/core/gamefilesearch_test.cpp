// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "orv/core/gamefilesearch.h"
#include "tests/support/testpaths.h"

using namespace orv::core;

TEST(ExecutableSearch, FindsNamesInAnyCaseFilesBeforeSubfolders)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    for (const char *file : {"z/UNREAL.EXE", "Unreal.exe.bak", "a/deeper/unrealtournament.exe", "a/UnrealEd.Exe",
                             "a/readme.txt", ".wine/drive_c/UnrealTournament/System/UnrealTournament.exe"})
        ASSERT_TRUE(testsupport::writeFile(root + u'/' + QString::fromLatin1(file), "MZ"));
    const QStringList found = findFiles({root}, gameExecutableNames());
    EXPECT_EQ(found,
              QStringList({root + "/.wine/drive_c/UnrealTournament/System/UnrealTournament.exe",
                           root + "/a/UnrealEd.Exe", root + "/a/deeper/unrealtournament.exe", root + "/z/UNREAL.EXE"}));
}

TEST(ExecutableSearch, LinkLoopsAndRepeatedFoldersEnd)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    ASSERT_TRUE(testsupport::writeFile(root + "/games/System/Unreal.exe", "MZ"));
    // A link back to the root, a link to a sibling and a link to itself.
    ASSERT_TRUE(QFile::link(root, root + "/games/System/up"));
    ASSERT_TRUE(QFile::link(root + "/games", root + "/alias"));
    ASSERT_TRUE(QFile::link(root + "/self", root + "/self"));
    // The same root twice is walked once; a missing root is no error.
    const QStringList found = findFiles({root, root + "/games", root + "/missing"}, gameExecutableNames());
    EXPECT_EQ(found, QStringList({root + "/games/System/Unreal.exe"}));
}

TEST(ExecutableSearch, CancelStopsTheWalk)
{
    QTemporaryDir dir;
    ASSERT_TRUE(testsupport::writeFile(dir.filePath("Unreal.exe"), "MZ"));
    std::atomic_bool cancel = true;
    EXPECT_TRUE(findFiles({dir.path()}, gameExecutableNames(), &cancel).isEmpty());
}

TEST(ExecutableSearch, FindsGoToTheirFieldsLastOneWins)
{
    struct Case
    {
        const char *label;
        QStringList found;
        std::array<QString, 4> expected; // empty: field left alone
    };
    const Case cases[] = {
        {"two editors: both fields get the last",
         {"/a/UnrealEd.exe", "/b/System/UNREALED.EXE"},
         {QString(), "/b/System/UNREALED.EXE", QString(), "/b/System/UNREALED.EXE"}},
        {"names are matched whole, the path keeps its case",
         {"/Games/Unreal.exe.d/UnrealTournament.exe", "/Games/Unreal/System/Unreal.EXE"},
         {"/Games/Unreal/System/Unreal.EXE", QString(), "/Games/Unreal.exe.d/UnrealTournament.exe", QString()}},
        {"nothing", {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        const FoundGamePaths paths = assignFoundPaths(c.found);
        EXPECT_EQ(paths.any(), !c.found.isEmpty());
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(paths.paths[i].value_or(QString()), c.expected[static_cast<size_t>(i)]) << i;
    }
}

TEST(ExecutableSearch, DefaultRootsExistAndDoNotNest)
{
    const QStringList roots = defaultSearchRoots();
    for (const QString &root : roots) {
        EXPECT_TRUE(QFileInfo(root).isDir()) << root.toStdString();
        for (const QString &other : roots)
            EXPECT_TRUE(root == other || !root.startsWith(other + u'/')) << root.toStdString();
    }
}
