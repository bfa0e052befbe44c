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
// through Latin-1, CR LF line ends written, CR, LF and CR LF accepted on reading.
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

QString fromAnsi(QByteArrayView bytes);
// Characters outside Latin-1 become '?'.
QByteArray toAnsi(QStringView text);

// Convenience: lines of a text file as strings, and the reverse, with the rules above.
Result<QStringList> readLines(const QString &path, qint64 maxSize = kDefaultMaxSize);
Status writeLines(const QString &path, const QStringList &lines);

} // namespace platform::textfile
