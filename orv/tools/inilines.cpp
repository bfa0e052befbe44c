// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/tools/inilines.h"

namespace orv::tools::inilines {

namespace {

constexpr char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

QByteArrayView lineKey(QByteArrayView line)
{
    const qsizetype eq = line.indexOf('=');
    return eq < 0 ? QByteArrayView() : line.first(eq);
}

QByteArrayView lineValue(QByteArrayView line)
{
    const qsizetype eq = line.indexOf('=');
    return eq < 0 ? QByteArrayView() : line.sliced(eq + 1);
}

bool hasKey(QByteArrayView line)
{
    return line.indexOf('=') >= 0;
}

bool isBlank(QByteArrayView line)
{
    for (const char c : line) {
        if (c != ' ' && c != '\t' && c != '\x1a')
            return false;
    }
    return true;
}

bool isSectionLine(QByteArrayView line)
{
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

bool equalsIgnoreCase(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    const char *pa = a.data();
    const char *pb = b.data();
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (pa[i] != pb[i] && lowerAscii(pa[i]) != lowerAscii(pb[i]))
            return false;
    }
    return true;
}

QByteArray toLowerAscii(QByteArrayView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = lowerAscii(text[i]);
    return out;
}

qsizetype numberPrefixLength(QByteArrayView line)
{
    qsizetype i = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9')
        ++i;
    // Digits stop at the first other byte, so a dot found here always lies inside the key.
    if (i == 0 || i >= line.size() || line[i] != '.')
        return 0;
    return i + 1;
}

} // namespace orv::tools::inilines
