// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>

#include "orv/engine/serveraddress.h"

namespace orv::engine {

// The datagrams received for one server list, one 8-bit text line per datagram in the
// order of receipt: "address:gameport:queryport>text" for query answers and
// "address:text" for beacon answers.
//
// The lines are indexed by their text before the first '>', so that the lines of one
// server are found without scanning the whole store; within one server the order of
// receipt is kept.
class ReplyStore
{
public:
    // "address:gameport:queryport", the part of a query-answer line before the '>'.
    static QByteArray serverKey(const QString &address, const QString &gamePort, const QString &queryPort);
    static QByteArray serverKey(const ServerAddress &server);

    void append(QByteArray line);
    // Appends "key>text" for a query answer.
    void appendAnswer(const QByteArray &key, QByteArrayView text);
    void clear();
    // Deletes every line whose text before its first '>' is the key.
    void RemoveReplies(const QByteArray &key);
    // Gives every line of one key another key, in place, so that the lines stay in their
    // order of receipt among those already held under the new key.
    void renameKey(const QByteArray &from, const QByteArray &to);

    qsizetype size() const { return static_cast<qsizetype>(m_lines.size()); }
    bool isEmpty() const { return m_lines.empty(); }
    const QByteArray &line(qsizetype index) const { return m_lines[static_cast<size_t>(index)]; }
    QList<QByteArray> lines() const;
    // Replaces the whole store, for diagnosis from a saved log.
    void setLines(const QList<QByteArray> &lines);

    // The lines whose text before the first '>' is the key, in order of receipt.
    QList<QByteArrayView> linesOf(const QByteArray &key) const;

private:
    static QByteArrayView keyOf(const QByteArray &line);
    void rebuildIndex();

    std::vector<QByteArray> m_lines;
    QHash<QByteArray, std::vector<qsizetype>> m_index;
};

} // namespace orv::engine
