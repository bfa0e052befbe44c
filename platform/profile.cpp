// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/profile.h"

#include <optional>

#include <QFileInfo>
#include <QList>

#include "platform/textfile.h"

namespace platform::profile {

namespace {

using textfile::LineSpan;
using textfile::lineSpans;

QByteArrayView trimmedBlanks(QByteArrayView text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    return text.sliced(b, e - b);
}

bool equalsIgnoringCase(QByteArrayView a, QStringView b)
{
    return QString::fromLatin1(a).compare(b, Qt::CaseInsensitive) == 0;
}

// The section name when the line is a "[name]" header.
std::optional<QByteArrayView> sectionName(QByteArrayView line)
{
    const QByteArrayView t = trimmedBlanks(line);
    if (!t.startsWith('['))
        return std::nullopt;
    const qsizetype close = t.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return trimmedBlanks(t.sliced(1, close - 1));
}

// The position of "=" when the line is a "key=value" line (not a comment).
qsizetype equalsPosition(QByteArrayView line)
{
    const QByteArrayView t = trimmedBlanks(line);
    if (t.isEmpty() || t.startsWith(';'))
        return -1;
    return line.indexOf('=');
}

struct Document
{
    QByteArray bytes;
    QList<LineSpan> lines;

    QByteArrayView text(const LineSpan &l) const
    {
        return QByteArrayView(bytes).sliced(l.start, l.contentEnd - l.start);
    }

    // Line indexes [headerLine, endLine) of the first section of that name.
    std::optional<std::pair<qsizetype, qsizetype>> findSection(QStringView section) const
    {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const auto name = sectionName(text(lines[i]));
            if (!name || !equalsIgnoringCase(*name, section))
                continue;
            qsizetype end = i + 1;
            while (end < lines.size() && !sectionName(text(lines[end])))
                ++end;
            return std::pair{i, end};
        }
        return std::nullopt;
    }

    qsizetype findKey(qsizetype from, qsizetype to, QStringView key) const
    {
        for (qsizetype i = from; i < to; ++i) {
            const QByteArrayView line = text(lines[i]);
            const qsizetype eq = equalsPosition(line);
            if (eq >= 0 && equalsIgnoringCase(trimmedBlanks(line.first(eq)), key))
                return i;
        }
        return -1;
    }

    // The line break most lines of the file use; CR LF for a file without any.
    QByteArray dominantLineEnd() const
    {
        int crlf = 0;
        int lf = 0;
        int cr = 0;
        for (const LineSpan &l : lines) {
            const QByteArrayView brk = QByteArrayView(bytes).sliced(l.contentEnd, l.end - l.contentEnd);
            if (brk == "\r\n")
                ++crlf;
            else if (brk == "\n")
                ++lf;
            else if (brk == "\r")
                ++cr;
        }
        if (lf > crlf && lf >= cr)
            return "\n";
        if (cr > crlf && cr > lf)
            return "\r";
        return "\r\n";
    }
};

Document load(const QString &iniPath)
{
    Document doc;
    if (Result<QByteArray> bytes = textfile::readAll(iniPath))
        doc.bytes = std::move(bytes.value());
    doc.lines = lineSpans(doc.bytes);
    return doc;
}

bool hasLineBreak(QStringView text)
{
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0));
}

} // namespace

QString readString(const QString &iniPath, QStringView section, QStringView key, const QString &defaultValue)
{
    const Document doc = load(iniPath);
    const auto range = doc.findSection(section);
    if (!range)
        return defaultValue;
    const qsizetype index = doc.findKey(range->first + 1, range->second, key);
    if (index < 0)
        return defaultValue;
    const QByteArrayView line = doc.text(doc.lines[index]);
    QByteArrayView value = trimmedBlanks(line.sliced(line.indexOf('=') + 1));
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        value = value.sliced(1, value.size() - 2);
    return textfile::fromAnsi(value);
}

QStringList readSection(const QString &iniPath, QStringView section)
{
    QStringList result;
    const Document doc = load(iniPath);
    const auto range = doc.findSection(section);
    if (!range)
        return result;
    for (qsizetype i = range->first + 1; i < range->second; ++i) {
        const QByteArrayView line = doc.text(doc.lines[i]);
        if (equalsPosition(line) >= 0)
            result.append(textfile::fromAnsi(trimmedBlanks(line)));
    }
    return result;
}

Status writeString(const QString &iniPath, QStringView section, QStringView key, const QString &value)
{
    // A line break in any part would add lines (or sections) the caller never meant to write.
    if (hasLineBreak(section) || section.contains(u']') || section.trimmed().isEmpty())
        return Error{1, QStringLiteral("Invalid section name \"%1\"").arg(section)};
    if (hasLineBreak(key) || key.contains(u'=') || key.trimmed().isEmpty() || key.trimmed().startsWith(u';') ||
        key.trimmed().startsWith(u'['))
        return Error{1, QStringLiteral("Invalid key name \"%1\"").arg(key)};
    if (hasLineBreak(value))
        return Error{1, QStringLiteral("The value for \"%1\" contains a line break").arg(key)};

    const QFileInfo info(iniPath);
    if (info.exists() && !info.isFile())
        return Error{2, QStringLiteral("%1 is not a file").arg(iniPath)};
    Document doc;
    if (info.exists()) {
        Result<QByteArray> bytes = textfile::readAll(iniPath);
        if (!bytes)
            return bytes.error();
        doc.bytes = std::move(bytes.value());
        doc.lines = lineSpans(doc.bytes);
    }
    const QByteArray eol = doc.dominantLineEnd();
    const QByteArray valueBytes = textfile::toAnsi(value);
    const QByteArray keyBytes = textfile::toAnsi(key);

    QByteArray out = doc.bytes;
    const auto range = doc.findSection(section);
    if (range) {
        const qsizetype index = doc.findKey(range->first + 1, range->second, key);
        if (index >= 0) {
            const LineSpan &l = doc.lines[index];
            const qsizetype eq = doc.text(l).indexOf('=');
            out.replace(l.start + eq + 1, l.contentEnd - (l.start + eq + 1), valueBytes);
        } else {
            // After the last non-blank line of the section, so blank lines that separate
            // it from the next section stay where they are.
            qsizetype last = range->first;
            for (qsizetype i = range->first + 1; i < range->second; ++i)
                if (!trimmedBlanks(doc.text(doc.lines[i])).isEmpty())
                    last = i;
            const LineSpan &l = doc.lines[last];
            QByteArray insert;
            const bool lastHasBreak = l.end > l.contentEnd;
            if (!lastHasBreak)
                insert += eol;
            insert += keyBytes + '=' + valueBytes;
            if (lastHasBreak)
                insert += eol;
            out.insert(l.end, insert);
        }
    } else {
        if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r'))
            out += eol;
        out += '[' + textfile::toAnsi(section) + ']' + eol + keyBytes + '=' + valueBytes + eol;
    }
    if (out == doc.bytes && info.exists())
        return {};
    return textfile::writeAtomically(iniPath, out);
}

} // namespace platform::profile
