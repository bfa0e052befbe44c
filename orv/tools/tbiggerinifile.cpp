// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/tools/tbiggerinifile.h"

#include <QHash>

#include "orv/tools/inilines.h"

namespace orv::tools {

using namespace inilines;

QList<QByteArray> TBiggerIniFile::sectionLines(QByteArrayView section) const
{
    const IniSection *found = findSection(section, Qt::CaseInsensitive);
    return found ? found->lines : QList<QByteArray>();
}

QByteArray TBiggerIniFile::valueOf(const QList<QByteArray> &lines, QByteArrayView key)
{
    for (const QByteArray &line : lines) {
        if (hasKey(line) && equalsIgnoreCase(lineKey(line), key))
            return lineValue(line).toByteArray();
    }
    return {};
}

QList<IniRow> TBiggerIniFile::sectionRows(QByteArrayView section) const
{
    QList<IniRow> rows;
    const IniSection *found = findSection(section, Qt::CaseInsensitive);
    if (!found)
        return rows;
    // First value per folded key, so a section of many keys is shown in linear time.
    QHash<QByteArray, qsizetype> firstLine;
    firstLine.reserve(found->lines.size());
    rows.reserve(found->lines.size());
    for (qsizetype i = 0; i < found->lines.size(); ++i) {
        const QByteArray &line = found->lines[i];
        if (!hasKey(line)) {
            rows.append(IniRow{{}, {}, false});
            continue;
        }
        const QByteArrayView key = lineKey(line);
        const auto it = firstLine.constFind(toLowerAscii(key));
        const QByteArray &source = it == firstLine.constEnd() ? line : found->lines[*it];
        if (it == firstLine.constEnd())
            firstLine.insert(toLowerAscii(key), i);
        rows.append(IniRow{key.toByteArray(), lineValue(source).toByteArray(), true});
    }
    return rows;
}

bool TBiggerIniFile::renameKey(QByteArrayView section, int lineIndex, QByteArrayView newKey)
{
    if (newKey.isEmpty() || newKey.indexOf('=') >= 0 || newKey.indexOf('\r') >= 0 || newKey.indexOf('\n') >= 0)
        return false;
    const int index = findSectionIndex(section, Qt::CaseSensitive);
    if (index < 0)
        return false;
    QList<QByteArray> &lines = mutableSection(index)->lines;
    if (lineIndex < 0 || lineIndex >= lines.size() || !hasKey(lines[lineIndex]))
        return false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i != lineIndex && hasKey(lines[i]) && equalsIgnoreCase(lineKey(lines[i]), newKey))
            return false;
    }
    QByteArray renamed = newKey.toByteArray();
    renamed.append('=').append(lineValue(lines[lineIndex]));
    if (renamed != lines[lineIndex]) {
        lines[lineIndex] = std::move(renamed);
        markChanged();
    }
    return true;
}

} // namespace orv::tools
