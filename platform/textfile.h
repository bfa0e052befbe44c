// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include "platform/result.h"

// 8-bit text files as the games and our own lists use them: bytes kept as they are, shown
// through the Windows code page 1252, CR LF line ends written, CR, LF and CR LF accepted on
// reading.
namespace platform::textfile {

constexpr qint64 kDefaultMaxSize = 64 * 1024 * 1024;

// The whole file, or an error when it cannot be read or is larger than maxSize.
Result<QByteArray> readAll(const QString &path, qint64 maxSize = kDefaultMaxSize);

// Replaces the file atomically: the bytes go to a temporary file beside it, which then
// takes the old file's place. On failure the old file is untouched.
Status writeAtomically(const QString &path, QByteArrayView bytes);

// One line as byte offsets: [start, contentEnd) is the text, [contentEnd, end) its line
// break (empty for a last line without one).
struct LineSpan
{
    qsizetype start = 0;
    qsizetype contentEnd = 0;
    qsizetype end = 0;
};

// The lines of bytes, split at CR LF, LF or CR. A line break at the very end starts no
// further line.
QList<LineSpan> lineSpans(QByteArrayView bytes);
// The same lines as copies of their text.
QList<QByteArray> splitLines(QByteArrayView bytes);
// Joins with CR LF after every line (the last one included).
QByteArray joinLines(const QList<QByteArray> &lines);

// Code page 1252: bytes 0x80-0x9F are its letters and signs (the euro sign, curly quotes,
// ...); its five unassigned bytes map to U+0081, U+008D, U+008F, U+0090 and U+009D, so every
// byte survives a round trip through fromAnsi and toAnsi.
QString fromAnsi(QByteArrayView bytes);
// Characters that code page 1252 lacks become '?'. fits, when given, tells whether none did.
QByteArray toAnsi(QStringView text, bool *fits = nullptr);

// True when the bytes are valid UTF-8 and hold at least one multi-byte sequence: text that
// is almost certainly UTF-8 rather than code page 1252.
bool isMultiByteUtf8(QByteArrayView bytes);
// Text whose encoding is not recorded: UTF-8 when isMultiByteUtf8, code page 1252 otherwise.
QString fromEightBit(QByteArrayView bytes);
// Code page 1252 when every character fits, else UTF-8, which fromEightBit reads back.
QByteArray toEightBit(QStringView text);

// Convenience: lines of a text file as strings, and the reverse, with the rules above.
Result<QStringList> readLines(const QString &path, qint64 maxSize = kDefaultMaxSize);
Status writeLines(const QString &path, const QStringList &lines);

} // namespace platform::textfile
