// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include "platform/result.h"

// The private-profile functions that programs use on a game's INI file: read one key of
// one section, read a whole section, write one key. Files are 8-bit text (Latin-1 at the
// QString boundary). Section and key names compare without regard to case.
namespace platform::profile {

// The value of the first key of that name in the first section of that name, with
// blanks around it removed (and one pair of enclosing double quotes). defaultValue when
// the file, the section or the key is missing.
QString readString(const QString &iniPath, QStringView section, QStringView key, const QString &defaultValue = {});

// Every "key=value" line of the section in file order (comments and blank lines left out).
QStringList readSection(const QString &iniPath, QStringView section);

// Changes only that key's line (the first one of that name in the section), or appends
// the key at the end of its section, or appends the section with the key at the end of
// the file. Every other byte (repeated keys, comments, blank lines, CR LF, order) stays as
// it was; the file is replaced atomically. A missing file is created.
Status writeString(const QString &iniPath, QStringView section, QStringView key, const QString &value);

} // namespace platform::profile
