// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>

#include <QByteArrayView>
#include <QString>

#include "orv/engine/replystore.h"
#include "orv/engine/serverinfo.h"

// Decoding of the backslash-separated key/value answers of game servers.
namespace orv::engine {

// Maps a reported value to the text to use instead (the user's replacement table);
// applied to every value before it is stored.
using ValueReplacer = std::function<QString(const QString &)>;
using LogSink = std::function<void(const QString &)>;

// At most this many words of one datagram are examined.
constexpr int kMaxWordsPerDatagram = 255;

// The packet number that an answer's final datagram announces: the word after the last
// word "queryid" (exact case), the part after its first full stop with every full stop
// removed, read as a whole number. Empty when that is not a number.
std::optional<qint64> finalPacketNumber(QByteArrayView datagram);

// True when the datagram text contains "\final\".
bool isFinalDatagram(QByteArrayView datagram);

// Builds the ServerInfo of one server from the lines of the store that belong to it, in
// order of receipt. Every word is tried as a key with its successor as the value; an empty
// value reads as "None". The replacer, when given, maps every value before it is stored.
ServerInfo DecodeServerInfo(const ReplyStore &store, const QString &address, const QString &gamePort,
                            const QString &queryPort, const ValueReplacer &replacer = {}, const LogSink &log = {});
ServerInfo DecodeServerInfo(const ReplyStore &store, const ServerAddress &server, const ValueReplacer &replacer = {},
                            const LogSink &log = {});

// Applies one stored datagram part (starting at the '>') to the record; the core of
// DecodeServerInfo, exposed for the decoders of other answers.
void applyDatagram(ServerInfo &info, QByteArrayView datagramPart, const ValueReplacer &replacer = {});

} // namespace orv::engine
