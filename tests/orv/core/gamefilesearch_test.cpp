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

// Fake home folders as players have them: the search from the home's roots finds each
// game, native builds before Windows ones, and puts them in the right fields.
TEST(ExecutableSearch, FindsNativeAndWineGamesInAHomeFolder)
{
    struct Case
    {
        const char *label;
        QStringList files;                    // below the home folder
        std::array<const char *, 4> expected; // below the home folder; nullptr: not set
    };
    const Case cases[] = {
        {"native UT and Unreal in the XDG data folder, beside a Windows UT in a Wine prefix",
         {".local/share/OldUnreal/UnrealTournament/System64/ut-bin-amd64",
          ".local/share/OldUnreal/UnrealTournament/System/ut-bin-x86",
          ".local/share/OldUnreal/UnrealGold/System64/unreal-bin-amd64",
          ".wine/drive_c/UnrealTournament/System/UnrealTournament.exe"},
         {".local/share/OldUnreal/UnrealGold/System64/unreal-bin-amd64", nullptr,
          ".local/share/OldUnreal/UnrealTournament/System64/ut-bin-amd64", nullptr}},
        {"Windows games in another prefix: each editor goes to the game beside it",
         {"Games/unreal-gold/drive_c/UnrealGold/System/Unreal.exe",
          "Games/unreal-gold/drive_c/UnrealGold/System/UnrealEd.exe", "Games/ut/drive_c/UT/System/UnrealTournament.exe",
          "Games/ut/drive_c/UT/System/UnrealEd.exe"},
         {"Games/unreal-gold/drive_c/UnrealGold/System/Unreal.exe",
          "Games/unreal-gold/drive_c/UnrealGold/System/UnrealEd.exe", "Games/ut/drive_c/UT/System/UnrealTournament.exe",
          "Games/ut/drive_c/UT/System/UnrealEd.exe"}},
        {"nothing", {"Documents/readme.txt", ".local/share/OldUnreal/notes.txt"}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        QTemporaryDir home;
        for (const QString &file : c.files)
            ASSERT_TRUE(testsupport::writeFile(home.filePath(file), "#!/bin/sh\n"));
        const QStringList roots = searchRootsFor(home.path(), QString(), home.filePath("nodata"), QString(), {});
        const FoundGamePaths paths = assignFoundPaths(findFiles(roots, gameExecutableNames()));
        for (size_t i = 0; i < 4; ++i) {
            const QString expected = c.expected[i] ? home.filePath(QString::fromLatin1(c.expected[i])) : QString();
            EXPECT_EQ(paths.paths[i].value_or(QString()), expected) << i;
        }
    }
}

// Libraries and prefixes outside the home folder come from Steam's and Lutris's own lists.
TEST(ExecutableSearch, RootsIncludeSteamLibrariesAndLutrisPrefixesElsewhere)
{
    QTemporaryDir home;
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QDir().mkpath(elsewhere.filePath("SteamLibrary/steamapps/common")));
    ASSERT_TRUE(QDir().mkpath(elsewhere.filePath("wine/ut99")));
    ASSERT_TRUE(QDir().mkpath(elsewhere.filePath("data/OldUnreal")));
    ASSERT_TRUE(testsupport::writeFile(home.filePath(".local/share/Steam/steamapps/libraryfolders.vdf"),
                                       "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" +
                                           QFile::encodeName(elsewhere.filePath("SteamLibrary")) + "\"\n\t}\n}\n"));
    ASSERT_TRUE(testsupport::writeFile(home.filePath(".config/lutris/games/ut99-1.yml"),
                                       "game:\n  exe: drive_c/UT/System/UnrealTournament.exe\n  prefix: " +
                                           QFile::encodeName(elsewhere.filePath("wine/ut99")) + "\n"));
    const QStringList roots = searchRootsFor(home.path(), QString(), elsewhere.filePath("data"), QString(), {});
    const auto canonical = [](const QString &path) { return QFileInfo(path).canonicalFilePath(); };
    EXPECT_EQ(roots, QStringList({canonical(home.path()), canonical(elsewhere.filePath("data/OldUnreal")),
                                  canonical(elsewhere.filePath("SteamLibrary/steamapps")),
                                  canonical(elsewhere.filePath("wine/ut99"))}));
}

TEST(ExecutableSearch, UserIniFolderOfNativeGames)
{
    QTemporaryDir home;
    ASSERT_TRUE(QDir().mkpath(home.filePath(".utpg/System")));
    const QString ut = home.filePath("UT/System64/ut-bin-amd64");
    const QString unreal = home.filePath("Unreal/System64/unreal-bin-amd64");
    EXPECT_EQ(userIniFolder(ut, home.path()), home.filePath(".utpg/System"));
    // Without a folder of its own, the game's folder.
    EXPECT_EQ(userIniFolder(unreal, home.path()), home.filePath("Unreal/System64"));
    ASSERT_TRUE(QDir().mkpath(home.filePath(".Unreal/System")));
    EXPECT_EQ(userIniFolder(unreal, home.path()), home.filePath(".Unreal/System"));
    EXPECT_EQ(userIniFolder(home.filePath("UT/System/UnrealTournament.exe"), home.path()), home.filePath("UT/System"));
}
