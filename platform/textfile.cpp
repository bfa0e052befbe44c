// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/textfile.h"

#include <algorithm>

#include <QFile>
#include <QSaveFile>

namespace platform::textfile {

Result<QByteArray> readAll(const QString &path, qint64 maxSize)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error{1, file.errorString()};
    if (file.size() > maxSize)
        return Error{2, QStringLiteral("The file is larger than %1 bytes").arg(maxSize)};
    // Read in steps up to one byte past the limit, so a file that grows while we read is
    // caught too. (Asking for maxSize bytes at once would reserve that much memory for
    // every file read, however small.)
    QByteArray bytes;
    bytes.reserve(std::min(file.size(), maxSize) + 1);
    char buffer[64 * 1024];
    for (;;) {
        const qint64 remaining = maxSize - bytes.size();
        const qint64 got =
            file.read(buffer, remaining >= qint64(sizeof buffer) ? qint64(sizeof buffer) : remaining + 1);
        if (got < 0)
            return Error{1, file.errorString()};
        if (got == 0)
            break;
        bytes.append(buffer, got);
        if (bytes.size() > maxSize)
            return Error{2, QStringLiteral("The file is larger than %1 bytes").arg(maxSize)};
    }
    if (file.error() != QFileDevice::NoError)
        return Error{1, file.errorString()};
    return bytes;
}

Status writeAtomically(const QString &path, QByteArrayView bytes)
{
    QSaveFile file(path);
    // Unbuffered: with a buffer, a write cut short by the disk (full, size limit) can slip
    // through commit() and replace the old file with a truncated one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Error{1, file.errorString()};
    if (file.write(bytes.data(), bytes.size()) != bytes.size()) {
        file.cancelWriting();
        return Error{1, file.errorString()};
    }
    if (!file.commit())
        return Error{1, file.errorString()};
    return {};
}

QList<LineSpan> lineSpans(QByteArrayView bytes)
{
    QList<LineSpan> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        const qsizetype contentEnd = i;
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            ++i;
        lines.append({start, contentEnd, i + 1});
        start = i + 1;
    }
    if (start < n)
        lines.append({start, n, n});
    return lines;
}

QList<QByteArray> splitLines(QByteArrayView bytes)
{
    const QList<LineSpan> spans = lineSpans(bytes);
    QList<QByteArray> lines;
    lines.reserve(spans.size());
    for (const LineSpan &l : spans)
        lines.append(bytes.sliced(l.start, l.contentEnd - l.start).toByteArray());
    return lines;
}

QByteArray joinLines(const QList<QByteArray> &lines)
{
    qsizetype total = 0;
    for (const QByteArray &line : lines)
        total += line.size() + 2;
    QByteArray out;
    out.reserve(total);
    for (const QByteArray &line : lines) {
        out.append(line);
        out.append("\r\n", 2);
    }
    return out;
}

namespace {

// Bytes 0x80-0x9F of code page 1252; the unassigned ones keep their own value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The code page 1252 byte of a UTF-16 unit, or -1 when it has none.
int cp1252Byte(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u < 0x100))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == u)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

QString fromAnsi(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        d[i] = QChar(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b));
    }
    return out;
}

QByteArray toAnsi(QStringView text, bool *fits)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    bool all = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = cp1252Byte(text[i].unicode());
        all = all && b >= 0;
        out[i] = b >= 0 ? static_cast<char>(b) : '?';
    }
    if (fits)
        *fits = all;
    return out;
}

bool isMultiByteUtf8(QByteArrayView bytes)
{
    bool multiByte = false;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        char32_t min = 0;
        char32_t c = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            min = 0x80;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            min = 0x800;
            c = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            min = 0x10000;
            c = b & 0x07;
        } else {
            return false;
        }
        if (i + length > n)
            return false;
        for (int k = 1; k < length; ++k) {
            const unsigned char t = p[i + k];
            if ((t & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (t & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are no valid UTF-8.
        if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        multiByte = true;
        i += length;
    }
    return multiByte;
}

QString fromEightBit(QByteArrayView bytes)
{
    return isMultiByteUtf8(bytes) ? QString::fromUtf8(bytes) : fromAnsi(bytes);
}

QByteArray toEightBit(QStringView text)
{
    bool fits = true;
    QByteArray bytes = toAnsi(text, &fits);
    return fits ? bytes : text.toUtf8();
}

Result<QStringList> readLines(const QString &path, qint64 maxSize)
{
    auto bytes = readAll(path, maxSize);
    if (!bytes)
        return bytes.error();
    QStringList lines;
    const QList<QByteArray> raw = splitLines(*bytes);
    lines.reserve(raw.size());
    const bool utf8 = isMultiByteUtf8(*bytes);
    for (const QByteArray &line : raw)
        lines.append(utf8 ? QString::fromUtf8(line) : fromAnsi(line));
    return lines;
}

Status writeLines(const QString &path, const QStringList &lines)
{
    // Code page 1252 while every line fits; a file with a character it lacks is written
    // whole as UTF-8, which readLines recognises.
    QList<QByteArray> raw;
    raw.reserve(lines.size());
    bool allFit = true;
    for (const QString &line : lines) {
        bool fits = true;
        raw.append(toAnsi(line, &fits));
        allFit = allFit && fits;
    }
    if (!allFit) {
        for (qsizetype i = 0; i < lines.size(); ++i)
            raw[i] = lines[i].toUtf8();
    }
    return writeAtomically(path, joinLines(raw));
}

} // namespace platform::textfile
