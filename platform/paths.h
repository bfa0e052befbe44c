// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Where the programs keep their files on this platform.
namespace platform::paths {

// The browser's "program folder" for the files it writes (favorites.lst, internet.lst,
// clans.lst, skin lists, saved files): $XDG_DATA_HOME/orvane, created when missing.
QString programFolder();

// Folder of the settings store files: $XDG_CONFIG_HOME/orvane-tools, created when missing.
QString configFolder();

// The folder of the running executable; usable before the application object exists.
QString executableFolder();

// Read-only files installed with the programs (skin lists and pictures, sounds): the
// "data" folder beside the executable (the build tree), else ../share/orvane from it (an
// installed <prefix>/bin). Empty when neither exists.
QString shippedDataFolder();

// Copies each named file from shippedDataFolder() into programFolder() when it is
// missing there. Returns the names that were copied.
QStringList copyMissingShippedFiles(const QStringList &fileNames);

// The system's temporary folder.
QString tempFolder();

// The user's home and desktop folders.
QString homeFolder();
QString desktopFolder();

} // namespace platform::paths
