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

// Game servers and our list files speak 8-bit text; every byte maps to one character.
QString decodeServerText(QByteArrayView bytes);
QByteArray encodeServerText(QStringView text);

// A whole decimal number with an optional sign, as the 8-bit texts of servers and
// option boxes hold them. Empty when the text is not such a number or does not fit.
std::optional<qint64> parseWholeNumber(QStringView text);

// A port number 1 to 65535 written as a whole number; empty for anything else.
std::optional<quint16> parsePortNumber(QStringView text);

} // namespace orv::engine
