// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/core/findinfiles.h"

#include <QByteArrayMatcher>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "quillet/core/buildcommand.h"

namespace quillet::core {

namespace {

constexpr qint64 kLargestScript = 64 * 1024 * 1024;

bool isWordByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_';
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

QByteArray lowered(const QByteArray &bytes)
{
    QByteArray out(bytes.size(), Qt::Uninitialized);
    const char *from = bytes.constData();
    char *to = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        to[i] = lowerAscii(from[i]);
    return out;
}

// Line start and end (without its break) around byte offset at.
std::pair<qsizetype, qsizetype> lineAround(const QByteArray &bytes, qsizetype at)
{
    qsizetype start = at;
    while (start > 0 && bytes[start - 1] != '\n' && bytes[start - 1] != '\r')
        --start;
    qsizetype end = at;
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
        ++end;
    return {start, end};
}

// Counts line breaks (CR LF, LF or CR) in [from, to).
int countBreaks(const QByteArray &bytes, qsizetype from, qsizetype to)
{
    int lines = 0;
    const char *data = bytes.constData();
    for (qsizetype i = from; i < to; ++i) {
        if (data[i] == '\n')
            ++lines;
        else if (data[i] == '\r' && (i + 1 >= bytes.size() || data[i + 1] != '\n'))
            ++lines;
    }
    return lines;
}

// Walks matches given as byte offsets and records one hit per line.
class HitCollector
{
public:
    HitCollector(const QString &file, const QByteArray &bytes, QList<FileHit> &hits)
        : m_file(file)
        , m_bytes(bytes)
        , m_hits(hits)
    {}

    // Records the line of a match at offset; returns where the search goes on (the next line).
    qsizetype add(qsizetype offset)
    {
        m_line += countBreaks(m_bytes, m_counted, offset);
        const auto [start, end] = lineAround(m_bytes, offset);
        m_counted = start;
        m_hits.append({m_file, m_line, m_bytes.mid(start, end - start)});
        return end;
    }

private:
    const QString &m_file;
    const QByteArray &m_bytes;
    QList<FileHit> &m_hits;
    int m_line = 1;
    qsizetype m_counted = 0;
};

void searchPlain(const QString &file, const QByteArray &bytes, const TextPattern &pattern,
                 const QByteArrayMatcher &matcher, QList<FileHit> &hits)
{
    const QByteArray haystack = pattern.matchCase ? bytes : lowered(bytes);
    const qsizetype length = matcher.pattern().size();
    HitCollector collector(file, bytes, hits);
    qsizetype from = 0;
    while (from < haystack.size()) {
        const qsizetype at = matcher.indexIn(haystack, from);
        if (at < 0)
            break;
        if (pattern.wholeWord && ((at > 0 && isWordByte(haystack[at - 1])) ||
                                  (at + length < haystack.size() && isWordByte(haystack[at + length])))) {
            from = at + 1;
            continue;
        }
        from = collector.add(at);
    }
}

void searchRegex(const QString &file, const QByteArray &bytes, const QRegularExpression &expression,
                 QList<FileHit> &hits)
{
    // Latin-1 keeps one character per byte, so offsets carry over to the bytes.
    const QString text = QString::fromLatin1(bytes);
    HitCollector collector(file, bytes, hits);
    qsizetype from = 0;
    while (from <= text.size()) {
        const QRegularExpressionMatch match = expression.match(text, from);
        if (!match.hasMatch())
            break;
        from = collector.add(match.capturedStart()) + 1;
    }
}

} // namespace

QStringList scriptFilesUnder(const QString &folder, bool packageClassesOnly)
{
    QStringList files;
    const auto isScript = [](const QFileInfo &info) {
        return info.isFile() && info.suffix().compare(QLatin1String("uc"), Qt::CaseInsensitive) == 0;
    };
    if (packageClassesOnly) {
        const QDir root(folder);
        for (const QString &package : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            const QDir packageDir(root.filePath(package));
            for (const QString &sub : packageDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
                if (sub.compare(QLatin1String("Classes"), Qt::CaseInsensitive) != 0)
                    continue;
                const QDir classes(packageDir.filePath(sub));
                for (const QFileInfo &info : classes.entryInfoList(QDir::Files, QDir::Name)) {
                    if (isScript(info))
                        files.append(info.filePath());
                }
            }
        }
        return files;
    }
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        if (isScript(info))
            files.append(info.filePath());
    }
    files.sort();
    return files;
}

QList<FileHit> findInFiles(const QStringList &files, const TextPattern &pattern, const std::atomic<bool> *cancel)
{
    QList<FileHit> hits;
    if (pattern.text.isEmpty())
        return hits;
    QRegularExpression expression;
    QByteArrayMatcher matcher;
    if (pattern.regularExpression) {
        QString source = pattern.text;
        if (pattern.wholeWord)
            source = QStringLiteral("\\b(?:%1)\\b").arg(source);
        // ^ and $ work per line, and CR LF ends a line as the scripts are written.
        expression.setPattern(QStringLiteral("(*ANYCRLF)") + source);
        QRegularExpression::PatternOptions options = QRegularExpression::MultilineOption;
        if (!pattern.matchCase)
            options |= QRegularExpression::CaseInsensitiveOption;
        expression.setPatternOptions(options);
        if (!expression.isValid())
            return hits;
        expression.optimize();
    } else {
        const QByteArray needle = pattern.text.toLatin1();
        matcher.setPattern(pattern.matchCase ? needle : lowered(needle));
    }
    for (const QString &path : files) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            break;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestScript)
            continue;
        const QByteArray bytes = file.readAll();
        if (pattern.regularExpression)
            searchRegex(path, bytes, expression, hits);
        else
            searchPlain(path, bytes, pattern, matcher, hits);
    }
    return hits;
}

QString gameFolderOf(const QString &utSysDir)
{
    const QString native = QDir::cleanPath(nativeProgramPath(utSysDir.trimmed()));
    return QFileInfo(native).path();
}

} // namespace quillet::core
