// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include "platform/registrystore.h"

// The text form of a RegistryStore file: REGEDIT4 with UTF-8 text. Kept apart from the
// store so the parser can be tested and fuzzed on bytes alone.
namespace platform::regformat {

// One entry of a parsed file, in file order: a key header (isKeyOnly), a key deletion
// ("[-...]"), a value deletion ("name"=-) or a value.
struct ParsedValue
{
    QString keyPath; // below the root, backslash-separated
    bool isKeyOnly = false;
    bool deleteKey = false;
    bool deleteValue = false;
    QString name; // empty for the unnamed value "@"
    RegistryValue value;
};

struct ParseResult
{
    QList<ParsedValue> values;
    // "line N: what was wrong", one per line that could not be used.
    QStringList problems;
};

// Reads what can be read and lists every line that could not be used. Keys under any
// other root than rootName are problems too.
ParseResult parse(QByteArrayView bytes, QStringView rootName);

// One value line without its line end: "name"="text", "name"=dword:0000002a,
// "name"=hex:01,02, "name"=hex(2):... Text with control characters is written as hex(1)
// so that a line break in a value cannot break the file apart.
QByteArray formatValueLine(const QString &name, const RegistryValue &value);

// Backslash and double quote get a backslash in front.
QString escapeText(QStringView text);

} // namespace platform::regformat
