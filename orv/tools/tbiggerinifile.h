// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include "orv/tools/tbiginifile.h"

namespace orv::tools {

// One row of the INI editor's grid: a section line's key and the value shown for it.
struct IniRow
{
    QByteArray key;
    QByteArray value;
    bool hasKey = false; // false for comments and any other line without "="
    friend bool operator==(const IniRow &, const IniRow &) = default;
};

// The INI store as the editor and the clans directory read it: whole sections as lines,
// single values, the grid rows of a section, and renaming the key of one line.
class TBiggerIniFile : public TBigIniFile
{
public:
    using TBigIniFile::TBigIniFile;

    // A copy of every line of the first section so named (without regard to case).
    QList<QByteArray> sectionLines(QByteArrayView section) const;

    // The value of the first line whose key matches without regard to case, or empty.
    static QByteArray valueOf(const QList<QByteArray> &lines, QByteArrayView key);

    // One row per line of the section: the line's key and the value of the first line with
    // that key (empty for lines without "=").
    QList<IniRow> sectionRows(QByteArrayView section) const;

    // Gives line lineIndex of the section (named exactly so) the key newKey and keeps its
    // value. Refused when the line has no "=", when newKey is empty, holds "=" or a line
    // break, or when another line of the section already has that key: the grid addresses
    // lines by key, so two lines with one key would make one of them unreachable.
    bool renameKey(QByteArrayView section, int lineIndex, QByteArrayView newKey);
};

} // namespace orv::tools
