// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/combinedlist.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace orv::net {

QString CombinedList::folded(const QString &line)
{
    // QString::compare(..., Qt::CaseInsensitive) compares the simple case foldings of the
    // characters, so equal folded texts are exactly the lines that compare equal.
    return line.toCaseFolded();
}

bool CombinedList::add(const QString &line)
{
    QString key = folded(line);
    if (m_folded.contains(key))
        return false;
    m_folded.insert(std::move(key));
    m_lines.append(line);
    return true;
}

void CombinedList::addAll(const QStringList &lines)
{
    m_lines.reserve(m_lines.size() + lines.size());
    for (const QString &line : lines)
        add(line);
}

bool CombinedList::contains(const QString &line) const
{
    return m_folded.contains(folded(line));
}

QStringList CombinedList::sortedLines() const
{
    // Fold once per line rather than once per comparison.
    std::vector<QString> keys;
    keys.reserve(static_cast<size_t>(m_lines.size()));
    for (const QString &line : m_lines)
        keys.push_back(folded(line));
    std::vector<qsizetype> order(keys.size());
    std::iota(order.begin(), order.end(), qsizetype(0));
    std::stable_sort(order.begin(), order.end(), [&keys](qsizetype a, qsizetype b) {
        return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)];
    });
    QStringList sorted;
    sorted.reserve(m_lines.size());
    for (const qsizetype i : order)
        sorted.append(m_lines.at(i));
    return sorted;
}

} // namespace orv::net
