// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/scriptfile.h"

#include <QCoreApplication>

#include "platform/textfile.h"

namespace orv::checker::scriptfile {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("orv::checker::scriptfile", text);
}

platform::Error readError(ReadError code, const QString &message)
{
    return platform::Error{static_cast<int>(code), message};
}

} // namespace

platform::Result<QStringList> parse(QByteArrayView bytes)
{
    if (bytes.size() > kMaxFileBytes)
        return readError(ReadError::Unreadable,
                         tr("The script file is larger than %1 bytes.").arg(QString::number(kMaxFileBytes)));

    const QList<QByteArray> lines = platform::textfile::splitLines(bytes);
    if (lines.size() > kMaxLines)
        return readError(ReadError::TooManyLines, tr("The script file has %1 lines; at most %2 can be imported.")
                                                      .arg(QString::number(lines.size()), QString::number(kMaxLines)));

    // A script is code page 1252 text, or UTF-8 when the whole file is valid UTF-8 (a rule
    // that names a player whose name code page 1252 lacks).
    const bool utf8 = platform::textfile::isMultiByteUtf8(bytes);
    QStringList result;
    result.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        const QString lineNumber = QString::number(i + 1);
        if (line.size() > kMaxLineBytes)
            return readError(ReadError::LineTooLong, tr("Line %1 of the script file is longer than %2 characters.")
                                                         .arg(lineNumber, QString::number(kMaxLineBytes)));
        for (const char c : line) {
            const auto byte = static_cast<unsigned char>(c);
            if ((byte < 0x20 && byte != '\t') || byte == 0x7f)
                return readError(
                    ReadError::Binary,
                    tr("Line %1 of the script file holds binary data; it is not a script.").arg(lineNumber));
        }
        result.append(utf8 ? QString::fromUtf8(line) : platform::textfile::fromAnsi(line));
    }
    return result;
}

platform::Result<QStringList> read(const QString &path)
{
    auto bytes = platform::textfile::readAll(path, kMaxFileBytes);
    if (!bytes) {
        // The text file layer reports a file over the limit with code 2.
        if (bytes.error().code == 2)
            return readError(ReadError::Unreadable,
                             tr("The script file is larger than %1 bytes.").arg(QString::number(kMaxFileBytes)));
        return readError(ReadError::Unreadable, bytes.error().message);
    }
    return parse(bytes.value());
}

namespace {

// The lines as the file holds them: code page 1252 while every line fits; otherwise the
// whole file is UTF-8, which parse() recognises, so no rule text is lost.
QList<QByteArray> encodeLines(const QStringList &lines)
{
    QList<QByteArray> encoded;
    encoded.reserve(lines.size());
    bool allFit = true;
    for (const QString &line : lines) {
        bool fits = true;
        encoded.append(platform::textfile::toAnsi(line, &fits));
        allFit = allFit && fits;
    }
    if (!allFit) {
        for (qsizetype i = 0; i < lines.size(); ++i)
            encoded[i] = lines[i].toUtf8();
    }
    return encoded;
}

} // namespace

QByteArray serialize(const QStringList &lines)
{
    return platform::textfile::joinLines(encodeLines(lines));
}

platform::Status write(const QString &path, const QStringList &lines)
{
    return platform::textfile::writeAtomically(path, serialize(lines));
}

WriteCheck checkWrite(const QStringList &lines)
{
    WriteCheck check;
    if (lines.size() > kMaxLines) {
        check.refusal = tr("The script has %1 lines; a script file can be imported with at most %2.")
                            .arg(QString::number(lines.size()), QString::number(kMaxLines));
        return check;
    }
    const QList<QByteArray> encoded = encodeLines(lines);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        const QString lineNumber = QString::number(i + 1);
        // The file's line length counts bytes: one a character in code page 1252, up to
        // four in a UTF-8 file.
        if (encoded.at(i).size() > kMaxLineBytes) {
            check.refusal = tr("Line %1 of the script takes %2 bytes in a script file; a script file can be "
                               "imported only with lines of at most %3 characters. Shorten its value.")
                                .arg(lineNumber, QString::number(encoded.at(i).size()), QString::number(kMaxLineBytes));
            return check;
        }
        for (const QChar c : line) {
            const char16_t u = c.unicode();
            if ((u < 0x20 && u != u'\t') || u == 0x7f) {
                check.refusal = tr("Line %1 of the script holds a line break or another control character, which a "
                                   "script file cannot keep.")
                                    .arg(lineNumber);
                return check;
            }
        }
    }
    return check;
}

} // namespace orv::checker::scriptfile
