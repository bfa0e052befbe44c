// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/combinedlist.h"

#include <algorithm>
#include <string_view>
#include <utility>
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
    m_folded.insert(key);
    m_keys.append(std::move(key));
    m_lines.append(line);
    return true;
}

void CombinedList::reserve(qsizetype lines)
{
    m_lines.reserve(lines);
    m_keys.reserve(lines);
    m_folded.reserve(lines);
}

void CombinedList::addAll(const QStringList &lines)
{
    reserve(m_lines.size() + lines.size());
    for (const QString &line : lines)
        add(line);
}

bool CombinedList::contains(const QString &line) const
{
    return m_folded.contains(folded(line));
}

QStringList CombinedList::sortedLines() const
{
    // Ordering the folded texts by UTF-16 code units is what a case-blind comparison does;
    // plain views keep the comparisons cheap.
    std::vector<std::pair<std::u16string_view, qsizetype>> order;
    order.reserve(static_cast<size_t>(m_keys.size()));
    for (qsizetype i = 0; i < m_keys.size(); ++i) {
        const QString &key = m_keys.at(i);
        order.emplace_back(
            std::u16string_view(reinterpret_cast<const char16_t *>(key.utf16()), static_cast<size_t>(key.size())), i);
    }
    std::sort(order.begin(), order.end());
    QStringList sorted;
    sorted.reserve(m_lines.size());
    for (const auto &entry : order)
        sorted.append(m_lines.at(entry.second));
    return sorted;
}

} // namespace orv::net
