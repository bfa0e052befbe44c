// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/replystore.h"

#include <algorithm>
#include <iterator>

#include "orv/engine/textutil.h"

namespace orv::engine {

QByteArray ReplyStore::serverKey(const QString &address, const QString &gamePort, const QString &queryPort)
{
    QByteArray key = encodeServerText(address);
    key.append(':').append(encodeServerText(gamePort)).append(':').append(encodeServerText(queryPort));
    return key;
}

QByteArray ReplyStore::serverKey(const ServerAddress &server)
{
    return server.addressText().toLatin1() + ':' + QByteArray::number(server.gamePort) + ':' +
           QByteArray::number(server.queryPort);
}

QByteArrayView ReplyStore::keyOf(const QByteArray &line)
{
    const qsizetype pos = line.indexOf('>');
    return pos < 0 ? QByteArrayView(line) : QByteArrayView(line).first(pos);
}

void ReplyStore::append(QByteArray line)
{
    const qsizetype index = size();
    m_index[keyOf(line).toByteArray()].push_back(index);
    m_lines.push_back(std::move(line));
}

void ReplyStore::appendAnswer(const QByteArray &key, QByteArrayView text)
{
    QByteArray line;
    line.reserve(key.size() + 1 + text.size());
    line.append(key).append('>').append(text);
    append(std::move(line));
}

void ReplyStore::clear()
{
    m_lines.clear();
    m_index.clear();
}

void ReplyStore::RemoveReplies(const QByteArray &key)
{
    if (!m_index.contains(key))
        return;
    std::vector<QByteArray> kept;
    kept.reserve(m_lines.size());
    for (QByteArray &line : m_lines) {
        if (keyOf(line) != key)
            kept.push_back(std::move(line));
    }
    m_lines = std::move(kept);
    rebuildIndex();
}

void ReplyStore::renameKey(const QByteArray &from, const QByteArray &to)
{
    const auto it = m_index.constFind(from);
    if (from == to || it == m_index.constEnd())
        return;
    const std::vector<qsizetype> moved = *it;
    m_index.remove(from);
    for (qsizetype index : moved) {
        QByteArray &line = m_lines[static_cast<size_t>(index)];
        line.replace(0, keyOf(line).size(), to);
    }
    std::vector<qsizetype> &target = m_index[to];
    std::vector<qsizetype> merged;
    merged.reserve(target.size() + moved.size());
    std::merge(target.begin(), target.end(), moved.begin(), moved.end(), std::back_inserter(merged));
    target = std::move(merged);
}

QList<QByteArray> ReplyStore::lines() const
{
    return QList<QByteArray>(m_lines.begin(), m_lines.end());
}

void ReplyStore::setLines(const QList<QByteArray> &lines)
{
    m_lines.assign(lines.begin(), lines.end());
    rebuildIndex();
}

QList<QByteArrayView> ReplyStore::linesOf(const QByteArray &key) const
{
    QList<QByteArrayView> result;
    const auto it = m_index.constFind(key);
    if (it == m_index.constEnd())
        return result;
    result.reserve(static_cast<qsizetype>(it->size()));
    for (qsizetype index : *it)
        result.append(QByteArrayView(m_lines[static_cast<size_t>(index)]));
    return result;
}

void ReplyStore::rebuildIndex()
{
    m_index.clear();
    for (size_t i = 0; i < m_lines.size(); ++i)
        m_index[keyOf(m_lines[i]).toByteArray()].push_back(static_cast<qsizetype>(i));
}

} // namespace orv::engine
