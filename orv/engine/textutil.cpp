// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/textutil.h"

#include <limits>

#include "platform/textfile.h"

namespace orv::engine {

QString SplitHead(QString &text, QChar delimiter)
{
    const qsizetype pos = text.indexOf(delimiter);
    if (pos < 0) {
        QString head = text;
        text.clear();
        return head;
    }
    QString head = text.left(pos);
    qsizetype restStart = pos;
    while (restStart < text.size() && text.at(restStart) == QLatin1Char(' '))
        ++restStart;
    text = text.mid(restStart);
    return head;
}

QString RemoveChar(QStringView text, QChar character)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        if (c != character)
            result.append(c);
    }
    return result;
}

QString NthWord(int n, QStringView text, QStringView delimiters)
{
    if (n < 1)
        return {};
    int word = 0;
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (i < size) {
        while (i < size && delimiters.contains(text.at(i)))
            ++i;
        if (i >= size)
            break;
        const qsizetype start = i;
        while (i < size && !delimiters.contains(text.at(i)))
            ++i;
        if (++word == n)
            return text.mid(start, i - start).toString();
    }
    return {};
}

QString ReplaceAll(QStringView text, QStringView find, QStringView replacement)
{
    if (find.isEmpty())
        return text.toString();
    QString result;
    result.reserve(text.size());
    qsizetype from = 0;
    for (;;) {
        const qsizetype pos = text.indexOf(find, from);
        if (pos < 0)
            break;
        result.append(text.mid(from, pos - from));
        result.append(replacement);
        from = pos + find.size();
    }
    result.append(text.mid(from));
    return result;
}

namespace {

constexpr bool isControl(char16_t u)
{
    return u < 0x20 || (u >= 0x7F && u < 0xA0);
}

} // namespace

QString decodeServerText(QByteArrayView bytes)
{
    // Most values are plain printable ASCII: no decoding choice and nothing to drop.
    bool plain = true;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b >= 0x7F) {
            plain = false;
            break;
        }
    }
    if (plain)
        return QString::fromLatin1(bytes.data(), bytes.size());
    QString text = platform::textfile::fromEightBit(bytes);
    text.removeIf([](QChar c) { return isControl(c.unicode()); });
    return text;
}

QString decodeDatagramText(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = bytes.indexOf('\\', start);
        text.append(decodeServerText(bytes.sliced(start, (end < 0 ? bytes.size() : end) - start)));
        if (end < 0)
            break;
        text.append(QLatin1Char('\\'));
        start = end + 1;
    }
    return text;
}

QByteArray encodeServerText(QStringView text)
{
    return platform::textfile::toAnsi(text);
}

QString leftChars(const QString &text, int width)
{
    if (text.size() <= width)
        return text;
    qsizetype units = 0;
    for (int n = 0; n < width && units < text.size(); ++n)
        units += text.at(units).isHighSurrogate() && units + 1 < text.size() ? 2 : 1;
    return text.left(units);
}

std::optional<qint64> parseWholeNumber(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i >= text.size())
        return std::nullopt;
    qint64 value = 0;
    constexpr qint64 kLimit = std::numeric_limits<qint64>::max() / 10 - 10;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        if (value > kLimit)
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
    }
    return negative ? -value : value;
}

std::optional<quint16> parsePortNumber(QStringView text)
{
    const auto n = parseWholeNumber(text);
    if (!n || *n < 1 || *n > 65535)
        return std::nullopt;
    return static_cast<quint16>(*n);
}

} // namespace orv::engine
