// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <optional>

#include <QString>
#include <QStringList>

// The search of the disks for the games' executables, without the window that waits for it.
namespace orv::core {

// The game files the automatic search looks for, in lower case: the Windows programs
// (Unreal.exe, UnrealEd.exe, UnrealTournament.exe) and the native Linux builds of the
// community patches (ut-bin-amd64, unreal-bin-amd64 and their x86 and arm64 kin).
const QStringList &gameExecutableNames();

// What a game file is, from its name and folder.
enum class GameKind { Unreal, UT };
struct ExecutableKind
{
    std::optional<GameKind> game; // none: the name and folder do not tell
    bool editor = false;
    bool native = false; // a Linux program rather than a Windows one run through Wine
};
// Classifies a game file: the name decides (ut-bin* and UnrealTournament.exe are UT,
// unreal-bin* and Unreal.exe Unreal); an editor or any other program is placed by the
// game files beside it (siblings: other paths, e.g. the search's finds) and then by its
// folder's name ("...Tournament..." or "UT99" is UT, "...Unreal..." Unreal).
ExecutableKind classifyExecutable(const QString &path, const QStringList &siblings = {});

// The folders searched on this system: the user's home folder (with its Wine prefixes,
// Lutris games and Steam libraries), the OldUnreal folders of the XDG data folders, /opt,
// /usr/local/games, /mnt, /media, $WINEPREFIX's drive_c, the prefixes of Lutris games and
// the Steam library folders, wherever they lie. Only folders that exist are listed, and
// none that lies inside another.
QStringList defaultSearchRoots();
// The same from a given home folder and environment, as tests set them up.
QStringList searchRootsFor(const QString &home, const QString &xdgDataHome, const QString &xdgDataDirs,
                           const QString &winePrefix, const QStringList &systemFolders);

// Walks each root and its sub-folders (the files of a folder before its sub-folders, both
// in name order) and returns the files whose name, ignoring case, is one of names. Links
// to folders are not followed and no folder is entered twice, so link loops and bind
// mounts end. cancel, when given, stops the walk early.
QStringList findFiles(const QStringList &roots, const QStringList &names, const std::atomic_bool *cancel = nullptr);

// The folder of the user's own INI files for a game file: the native UT build keeps them in
// "~/.utpg/System"; the native Unreal build beside itself, or in "~/.Unreal/System" where a
// package set that up. Such a folder is used when it exists; otherwise, and for Windows
// programs, the game's folder.
QString userIniFolder(const QString &gameFile, const QString &home);
QString userIniFolder(const QString &gameFile);

// Where the finds go: GamePath1 to GamePath4 (index 0-3); unset fields stay as they are.
// A native build wins over a Windows program of the same game (and the build for this
// machine's processor over the others); among equals later finds overwrite earlier ones.
// An editor goes to its game's field, or to both when its game cannot be told.
struct FoundGamePaths
{
    std::optional<QString> paths[4];
    bool any() const;
};
FoundGamePaths assignFoundPaths(const QStringList &found);

} // namespace orv::core
