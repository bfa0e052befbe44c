// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Small text helpers shared by the address lists, the reply decoder and the options.
namespace orv::engine {

// Returns the text before the first delimiter (all of it when there is none). The
// variable keeps the rest, starting at the delimiter itself, with leading blanks removed;
// with the delimiter ' ' the delimiter therefore goes with the blanks.
QString SplitHead(QString &text, QChar delimiter);

// The text with every occurrence of the character removed.
QString RemoveChar(QStringView text, QChar character);

// The n-th (from 1) maximal run of characters outside the delimiter set; empty when
// there are fewer words.
QString NthWord(int n, QStringView text, QStringView delimiters);

// Every occurrence replaced, scanning left to right and continuing after each replacement.
QString ReplaceAll(QStringView text, QStringView find, QStringView replacement);

// One value of a server's answer as it is shown: UTF-8 when its bytes are valid UTF-8 with a
// multi-byte sequence (patched servers), code page 1252 otherwise (older servers), with
// control characters (below 0x20, 0x7F and the C1 range) dropped.
QString decodeServerText(QByteArrayView bytes);
// A whole datagram for the log: each backslash-separated value decoded on its own, since one
// answer may mix UTF-8 and code page 1252 values.
QString decodeDatagramText(QByteArrayView bytes);
// Code page 1252; characters it lacks become '?'.
QByteArray encodeServerText(QStringView text);

// The first width characters of the text; a character outside the basic plane counts as
// one and is never cut in half.
QString leftChars(const QString &text, int width);

// A whole decimal number with an optional sign, as the 8-bit texts of servers and
// option boxes hold them. Empty when the text is not such a number or does not fit.
std::optional<qint64> parseWholeNumber(QStringView text);

// A port number 1 to 65535 written as a whole number; empty for anything else.
std::optional<quint16> parsePortNumber(QStringView text);

} // namespace orv::engine
