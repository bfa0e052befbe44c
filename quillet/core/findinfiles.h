// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <functional>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace quillet::core {

// What to look for in every script file.
struct TextPattern
{
    QString text;
    bool matchCase = false;
    bool wholeWord = false;
    bool regularExpression = false;
};

// One line that holds the pattern.
struct FileHit
{
    QString file;
    int line = 0;    // counted from 1
    QByteArray text; // the line's bytes, without its line break
};

// The ".uc" files to search, in a stable order: with packageClassesOnly, those in the
// "Classes" folders of the folder's packages ("*/Classes/", letter case ignored), else every
// ".uc" file below the folder.
QStringList scriptFilesUnder(const QString &folder, bool packageClassesOnly);

// Searches the files' bytes (8-bit text, shown as Latin-1) line by line. A regular
// expression that does not compile gives no hits. Stops early when cancel becomes true.
// Hits come in file order, then line order.
QList<FileHit> findInFiles(const QStringList &files, const TextPattern &pattern,
                           const std::atomic<bool> *cancel = nullptr);

// The game folder above a system folder as stored ("c:\UnrealTournament\System" in the Wine
// prefix, "/games/ut/System64"): the folder whose packages hold the scripts.
QString gameFolderOf(const QString &utSysDir);

} // namespace quillet::core
