// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include "platform/result.h"

namespace orv::tools {

// One section of an INI file: the name between its brackets and its lines, verbatim.
struct IniSection
{
    QByteArray name;
    QList<QByteArray> lines;
};
using TSectionList = QList<IniSection>;

// An INI file held whole in memory as sections of verbatim lines, for files too large or
// too irregular for a key/value map. Blank lines, lines in front of the first section and
// repeated sections are not kept; everything else keeps its bytes and its order.
//
// Looking a section up by name starts just after the section found last and wraps around,
// so walking the sections in file order costs one comparison per section.
class TBigIniFile
{
public:
    explicit TBigIniFile(QString fileName);

    // Reads the file named at construction. A missing file gives an empty store; a file
    // that exists but cannot be read is an error and leaves the store empty.
    platform::Status load();
    // The same loading rules over bytes already in memory.
    void loadFromBytes(QByteArrayView bytes);

    const QString &fileName() const { return m_fileName; }
    const TSectionList &sections() const { return m_sections; }
    QByteArrayList sectionNames() const;

    // The section of that name, or nullptr.
    const IniSection *findSection(QByteArrayView name, Qt::CaseSensitivity cs) const;

    // Sets key=value in the section named exactly so (appended when missing): replaces the
    // first line whose key matches without regard to case, or appends the line. The key is
    // written as given. Refuses (returns false, changes nothing) an empty key, a key with
    // "=" in it and line breaks in either part, which would change the file's structure.
    bool write(QByteArrayView section, QByteArrayView key, QByteArrayView value);

    // Set by a write that added a line or changed a line's text.
    bool isChanged() const { return m_changed; }

    // The file text: each section with lines as "[name]", its lines and one blank line,
    // every line ended by CR LF.
    QByteArray toBytes() const;
    // The text the store was loaded from with the store's lines put in place of the lines
    // they were loaded from: lines the store does not keep (blank lines, lines in front of
    // the first section, repeated sections) and unchanged lines keep their bytes and line
    // ends; lines added to a section follow its last line, new sections come at the end.
    // The text must be the one the store was loaded from (writes only replace or add lines).
    QByteArray mergedInto(QByteArrayView loadedText) const;
    // Rewrites the file (atomically) when something changed, then clears the flag.
    platform::Status update();
    // What closing the store does to its file: the same as update().
    platform::Status close() { return update(); }

    // Name comparisons made by section look-ups so far; lets tests and benchmarks check
    // that an in-order walk stays linear.
    qint64 lookupComparisons() const { return m_lookupComparisons; }

protected:
    int findSectionIndex(QByteArrayView name, Qt::CaseSensitivity cs) const;
    IniSection *mutableSection(int index) { return &m_sections[index]; }
    void markChanged() { m_changed = true; }

private:
    QString m_fileName;
    TSectionList m_sections;
    bool m_changed = false;
    mutable int m_cursor = -1;
    mutable qint64 m_lookupComparisons = 0;
};

} // namespace orv::tools
