// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <optional>

#include <QString>
#include <QStringList>

// The search of the disks for the games' executables, without the window that waits for it.
namespace orv::core {

// The game files the automatic search looks for, in lower case.
const QStringList &gameExecutableNames();

// The folders searched on this system: the user's home folder, /opt, /usr/local/games,
// /mnt, /media and the drive_c of Wine prefixes outside the home folder ($WINEPREFIX).
// Only folders that exist are listed, and none that lies inside another.
QStringList defaultSearchRoots();

// Walks each root and its sub-folders (the files of a folder before its sub-folders, both
// in name order) and returns the files whose name, ignoring case, is one of names. Links
// to folders are not followed and no folder is entered twice, so link loops and bind
// mounts end. cancel, when given, stops the walk early.
QStringList findFiles(const QStringList &roots, const QStringList &names, const std::atomic_bool *cancel = nullptr);

// Where the finds go: GamePath1 to GamePath4 (index 0-3); unset fields stay as they are.
// Files are matched by name, ignoring case, and later finds overwrite earlier ones.
struct FoundGamePaths
{
    std::optional<QString> paths[4];
    bool any() const;
};
FoundGamePaths assignFoundPaths(const QStringList &found);

} // namespace orv::core
