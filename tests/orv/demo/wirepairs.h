// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

#include "orv/demo/serverdescription.h"

namespace demotest {

// The key/value pairs of one answer datagram, in wire order: "\k1\v1\k2\v2".
inline QList<orv::demo::WirePair> wirePairs(const QByteArray &datagram)
{
    QList<QByteArray> words = datagram.split('\\');
    if (!words.isEmpty() && words.constFirst().isEmpty())
        words.removeFirst();
    // "\final\" ends a datagram with a key whose value is the empty word after it.
    QList<orv::demo::WirePair> pairs;
    for (qsizetype i = 0; i < words.size(); i += 2)
        pairs.append({words.at(i), words.value(i + 1)});
    return pairs;
}

// The value of the first pair with this key, or a null array.
inline QByteArray valueOf(const QList<orv::demo::WirePair> &pairs, const QByteArray &key)
{
    for (const auto &pair : pairs) {
        if (pair.first == key)
            return pair.second;
    }
    return {};
}

// Every pair of a set of datagrams, without the "queryid" and "final" trailers.
inline QList<orv::demo::WirePair> answerPairs(const QList<QByteArray> &datagrams)
{
    QList<orv::demo::WirePair> all;
    for (const QByteArray &datagram : datagrams) {
        for (const auto &pair : wirePairs(datagram)) {
            if (pair.first != "queryid" && pair.first != "final")
                all.append(pair);
        }
    }
    return all;
}

} // namespace demotest
