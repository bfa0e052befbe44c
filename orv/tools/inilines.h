// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Small helpers over the raw 8-bit lines of a game INI file. Keys compare without regard
// to case the way the games do it: ASCII letters only, every other byte as it is.
namespace orv::tools::inilines {

// A line's key is its text before the first "=", blanks included; a line without "=" has
// an empty key.
QByteArrayView lineKey(QByteArrayView line);
// The text after the first "=", or nothing when the line has none.
QByteArrayView lineValue(QByteArrayView line);
bool hasKey(QByteArrayView line);

// Empty, or nothing but blanks, tabs and Ctrl-Z (the old DOS end-of-file mark that some
// editors leave at the end of a file).
bool isBlank(QByteArrayView line);
bool isSectionLine(QByteArrayView line);

bool equalsIgnoreCase(QByteArrayView a, QByteArrayView b);
QByteArray toLowerAscii(QByteArrayView text);

// Length of a leading "digits." prefix of the line's key (the dot included), or 0.
qsizetype numberPrefixLength(QByteArrayView line);

// Calls f(content, terminator) for every line; the terminator is "\r\n", "\r", "\n" or
// empty for a last line without one. Only the bytes in front of the terminator are content.
template <typename F> void forEachLine(QByteArrayView text, F &&f)
{
    const char *data = text.data();
    const qsizetype n = text.size();
    qsizetype start = 0;
    while (start < n) {
        qsizetype i = start;
        while (i < n && data[i] != '\r' && data[i] != '\n')
            ++i;
        qsizetype end = i;
        if (i < n) {
            if (data[i] == '\r' && i + 1 < n && data[i + 1] == '\n')
                end = i + 2;
            else
                end = i + 1;
        }
        f(QByteArrayView(data + start, i - start), QByteArrayView(data + i, end - i));
        start = end;
    }
}

} // namespace orv::tools::inilines
