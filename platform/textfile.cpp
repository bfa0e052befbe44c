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

QString fromAnsi(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes);
}

QByteArray toAnsi(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        out[i] = u < 256 ? static_cast<char>(u) : '?';
    }
    return out;
}

Result<QStringList> readLines(const QString &path, qint64 maxSize)
{
    auto bytes = readAll(path, maxSize);
    if (!bytes)
        return bytes.error();
    QStringList lines;
    const QList<QByteArray> raw = splitLines(*bytes);
    lines.reserve(raw.size());
    for (const QByteArray &line : raw)
        lines.append(fromAnsi(line));
    return lines;
}

Status writeLines(const QString &path, const QStringList &lines)
{
    QList<QByteArray> raw;
    raw.reserve(lines.size());
    for (const QString &line : lines)
        raw.append(toAnsi(line));
    return writeAtomically(path, joinLines(raw));
}

} // namespace platform::textfile
