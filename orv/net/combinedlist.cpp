// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/combinedlist.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace orv::net {

QByteArray CombinedList::folded(const QString &line)
{
    // A byte string that orders and compares like the line's simple case folding, which is
    // what QString::compare(..., Qt::CaseInsensitive) compares: each folded UTF-16 unit
    // below 0xFF is one byte, any other is 0xFF and its two bytes. The code is prefix-free
    // and keeps the units' order, so plain byte comparison gives the case-blind order.
    QByteArray key(line.size() * 3, Qt::Uninitialized);
    char *out = key.data();
    for (const QChar c : line) {
        char16_t u = c.unicode();
        if (u < 0x80) {
            if (u >= 'A' && u <= 'Z')
                u = static_cast<char16_t>(u + ('a' - 'A'));
        } else {
            u = c.toCaseFolded().unicode();
        }
        if (u < 0xFF) {
            *out++ = static_cast<char>(u);
        } else {
            *out++ = static_cast<char>(0xFF);
            *out++ = static_cast<char>(u >> 8);
            *out++ = static_cast<char>(u & 0xFF);
        }
    }
    key.truncate(out - key.constData());
    return key;
}

bool CombinedList::add(const QString &line)
{
    QByteArray key = folded(line);
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
    std::vector<std::pair<std::string_view, qsizetype>> order;
    order.reserve(static_cast<size_t>(m_keys.size()));
    for (qsizetype i = 0; i < m_keys.size(); ++i) {
        const QByteArray &key = m_keys.at(i);
        order.emplace_back(std::string_view(key.constData(), static_cast<size_t>(key.size())), i);
    }
    // Keys are unique, so the order is total and the index never decides.
    std::sort(order.begin(), order.end());
    QStringList sorted;
    sorted.reserve(m_lines.size());
    for (const auto &entry : order)
        sorted.append(m_lines.at(entry.second));
    return sorted;
}

} // namespace orv::net
