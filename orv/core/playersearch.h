// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace orv::engine {
class ReplyStore;
}

namespace orv::core {

// Searches of a list's stored replies for players. Reply lines are 8-bit text:
// "address:gameport:queryport>" followed by the datagram's "\key\value" pairs. Names are
// compared as they are shown: each value decoded on its own, letter case ignored.
namespace playersearch {

// The heads ("address:gameport:queryport") of the lines in which some field equals the
// name (letter case ignored) and which carry player data ("\player_"), in store order; a
// head is given once.
QList<QByteArray> serversWithPlayer(const orv::engine::ReplyStore &replies, QStringView name);

// Every player name in the replies, each spelling once, in the order first seen. A word
// is taken as a name when the word before it is "player" up to its first '_'; the words
// are walked one at a time, so a name that itself starts with "player_" makes the word
// after it a name too. progress is told the index of each line as it is reached.
QStringList playerNames(const orv::engine::ReplyStore &replies,
                        const std::function<void(qsizetype line)> &progress = {});

// Sorts names the way the drop-down list shows them: letter case ignored, names equal
// apart from case kept in their order.
void sortNames(QStringList &names);

} // namespace playersearch

} // namespace orv::core
