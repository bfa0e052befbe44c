// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace orv::net {

// The lines merged from several master lists: each text at most once, letter case
// ignored, handed out sorted by text ignoring letter case. A hash set of the folded texts
// makes every merge linear in the lines added, whatever the size of the list so far.
class CombinedList
{
public:
    // Appends the line unless an equal one (ignoring letter case) is held already.
    // Returns whether it was appended.
    bool add(const QString &line);
    void addAll(const QStringList &lines);
    // Room for this many lines in all.
    void reserve(qsizetype lines);

    bool isEmpty() const { return m_lines.isEmpty(); }
    qsizetype size() const { return m_lines.size(); }
    bool contains(const QString &line) const;
    // The lines sorted by text ignoring letter case.
    QStringList sortedLines() const;

private:
    static QByteArray folded(const QString &line);

    QStringList m_lines;
    // The folded key of each line, in the same order.
    QList<QByteArray> m_keys;
    QSet<QByteArray> m_folded;
};

} // namespace orv::net
