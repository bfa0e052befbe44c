// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/registryformat.h"

#include <QStringDecoder>

namespace platform::regformat {

namespace {

constexpr int kBytesPerLine = 25;

QString decodeFileText(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    // A file saved by a text editor in an 8-bit code page is still readable.
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

// Reads a double-quoted text starting at pos (at the opening quote); pos ends after the
// closing quote. False when the closing quote is missing.
bool readQuoted(QStringView line, qsizetype &pos, QString &out)
{
    out.clear();
    ++pos;
    while (pos < line.size()) {
        const QChar c = line.at(pos);
        if (c == u'"') {
            ++pos;
            return true;
        }
        if (c == u'\\' && pos + 1 < line.size()) {
            const QChar next = line.at(pos + 1);
            if (next == u'\\' || next == u'"') {
                out.append(next);
                pos += 2;
                continue;
            }
        }
        out.append(c);
        ++pos;
    }
    return false;
}

bool parseHexBytes(QStringView text, QByteArray &out)
{
    out.clear();
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return true;
    for (QStringView part : trimmed.split(u',')) {
        part = part.trimmed();
        if (part.isEmpty() || part.size() > 2)
            return false;
        bool ok = false;
        const uint byte = part.toUInt(&ok, 16);
        if (!ok)
            return false;
        out.append(char(byte));
    }
    return true;
}

QString textFromHex(const QByteArray &bytes)
{
    QByteArray body = bytes;
    if (body.endsWith('\0'))
        body.chop(1);
    return QString::fromUtf8(body);
}

// Parses the data after "=". Empty optional plus a message when it is not valid.
bool parseData(QStringView data, ParsedValue &entry, QString &problem)
{
    if (data.startsWith(u'"')) {
        qsizetype pos = 0;
        QString text;
        if (!readQuoted(data, pos, text)) {
            problem = QStringLiteral("the text has no closing double quote");
            return false;
        }
        if (!data.mid(pos).trimmed().isEmpty()) {
            problem = QStringLiteral("unexpected text after the value");
            return false;
        }
        entry.value = RegistryValue::fromString(text);
        return true;
    }
    if (data == u"-") {
        entry.deleteValue = true;
        return true;
    }
    if (data.startsWith(u"dword:", Qt::CaseInsensitive)) {
        const QStringView digits = data.mid(6).trimmed();
        bool ok = false;
        const uint number = digits.toUInt(&ok, 16);
        if (!ok || digits.isEmpty() || digits.size() > 8) {
            problem = QStringLiteral("\"%1\" is not a dword").arg(data);
            return false;
        }
        entry.value = RegistryValue::fromDWord(number);
        return true;
    }
    if (data.startsWith(u"hex", Qt::CaseInsensitive)) {
        qsizetype colon = data.indexOf(u':');
        if (colon < 0) {
            problem = QStringLiteral("\"%1\" is not a hex value").arg(data);
            return false;
        }
        const QStringView head = data.first(colon);
        int kind = 3;
        if (head.size() > 3) {
            if (!head.endsWith(u')') || head.at(3) != u'(') {
                problem = QStringLiteral("\"%1\" is not a hex value").arg(head);
                return false;
            }
            bool ok = false;
            kind = head.mid(4, head.size() - 5).toInt(&ok, 16);
            if (!ok) {
                problem = QStringLiteral("\"%1\" is not a hex value").arg(head);
                return false;
            }
        }
        QByteArray bytes;
        if (!parseHexBytes(data.mid(colon + 1), bytes)) {
            problem = QStringLiteral("bad hex bytes");
            return false;
        }
        switch (kind) {
        case 1:
            entry.value = RegistryValue::fromString(textFromHex(bytes));
            break;
        case 2:
            entry.value = RegistryValue::fromString(textFromHex(bytes));
            entry.value.type = RegistryValueType::ExpandString;
            break;
        case 3:
            entry.value = RegistryValue::fromBinary(bytes);
            break;
        case 4:
            if (bytes.size() != 4) {
                problem = QStringLiteral("a hex(4) value needs 4 bytes");
                return false;
            }
            entry.value = RegistryValue::fromDWord(quint32(quint8(bytes[0])) | quint32(quint8(bytes[1])) << 8 |
                                                   quint32(quint8(bytes[2])) << 16 | quint32(quint8(bytes[3])) << 24);
            break;
        default:
            entry.value = RegistryValue::fromBinary(bytes);
            entry.value.type = RegistryValueType::Other;
            break;
        }
        return true;
    }
    problem = QStringLiteral("\"%1\" is not a value").arg(data.left(40));
    return false;
}

void appendHex(QByteArray &out, const QByteArray &bytes)
{
    static const char digits[] = "0123456789abcdef";
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = quint8(bytes[i]);
        out += digits[b >> 4];
        out += digits[b & 15];
        if (i + 1 < bytes.size()) {
            out += ',';
            if ((i + 1) % kBytesPerLine == 0)
                out += "\\\n  ";
        }
    }
}

bool hasControlCharacters(QStringView text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    return false;
}

} // namespace

QString escapeText(QStringView text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        if (c == u'\\' || c == u'"')
            out.append(u'\\');
        out.append(c);
    }
    return out;
}

QByteArray formatValueLine(const QString &name, const RegistryValue &value)
{
    QByteArray out;
    if (name.isEmpty())
        out += '@';
    else
        out += '"' + escapeText(name).toUtf8() + '"';
    out += '=';
    switch (value.type) {
    case RegistryValueType::String:
        if (hasControlCharacters(value.text)) {
            out += "hex(1):";
            appendHex(out, value.text.toUtf8() + '\0');
        } else {
            out += '"' + escapeText(value.text).toUtf8() + '"';
        }
        break;
    case RegistryValueType::ExpandString:
        out += "hex(2):";
        appendHex(out, value.text.toUtf8() + '\0');
        break;
    case RegistryValueType::DWord:
        out += "dword:" + QByteArray::number(value.dword, 16).rightJustified(8, '0');
        break;
    case RegistryValueType::Binary:
        out += "hex:";
        appendHex(out, value.bytes);
        break;
    case RegistryValueType::Other:
        out += "hex(0):";
        appendHex(out, value.bytes);
        break;
    }
    return out;
}

ParseResult parse(QByteArrayView bytes, QStringView rootName)
{
    ParseResult result;
    const QStringList lines = splitLines(decodeFileText(bytes));
    bool sawHeader = false;
    bool inKey = false;   // a usable key header was seen
    bool skipKey = false; // the current key could not be used; its values are skipped
    QString keyPath;
    const auto problem = [&result](qsizetype lineIndex, const QString &what) {
        result.problems.append(QStringLiteral("line %1: %2").arg(lineIndex + 1).arg(what));
    };

    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qsizetype firstLine = i;
        QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (!sawHeader) {
            sawHeader = true;
            if (line == u"REGEDIT4" || line == u"Windows Registry Editor Version 5.00")
                continue;
            problem(i, QStringLiteral("the file does not start with REGEDIT4"));
        }
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']')) {
                problem(i, QStringLiteral("a key line without its closing bracket"));
                skipKey = true;
                continue;
            }
            QStringView inner = QStringView(line).mid(1, line.size() - 2);
            const bool deletion = inner.startsWith(u'-');
            if (deletion)
                inner = inner.mid(1);
            QStringView rest;
            if (inner.compare(rootName, Qt::CaseInsensitive) == 0) {
                rest = {};
            } else if (inner.size() > rootName.size() && inner.at(rootName.size()) == u'\\' &&
                       inner.first(rootName.size()).compare(rootName, Qt::CaseInsensitive) == 0) {
                rest = inner.mid(rootName.size() + 1);
            } else {
                problem(i, QStringLiteral("the key [%1] is not under %2").arg(inner, rootName));
                skipKey = true;
                continue;
            }
            keyPath = rest.toString();
            skipKey = false;
            ParsedValue entry;
            entry.keyPath = keyPath;
            if (deletion) {
                entry.deleteKey = true;
                skipKey = true;
            } else {
                entry.isKeyOnly = true;
                inKey = true;
            }
            result.values.append(entry);
            continue;
        }
        // A hex value may continue on the following lines after a trailing backslash.
        if (line.endsWith(u'\\') && line.contains(u"=hex", Qt::CaseInsensitive)) {
            while (line.endsWith(u'\\') && i + 1 < lines.size()) {
                line.chop(1);
                line += lines.at(++i).trimmed();
            }
        }
        if (skipKey)
            continue;
        if (!inKey) {
            problem(firstLine, QStringLiteral("a value before the first key"));
            continue;
        }
        ParsedValue entry;
        entry.keyPath = keyPath;
        qsizetype pos = 0;
        if (line.startsWith(u'@')) {
            pos = 1;
        } else if (line.startsWith(u'"')) {
            if (!readQuoted(line, pos, entry.name)) {
                problem(firstLine, QStringLiteral("a value name without its closing double quote"));
                continue;
            }
        } else {
            problem(firstLine, QStringLiteral("\"%1\" is not a value line").arg(line.left(40)));
            continue;
        }
        const QStringView after = QStringView(line).mid(pos).trimmed();
        if (!after.startsWith(u'=')) {
            problem(firstLine, QStringLiteral("a value without \"=\""));
            continue;
        }
        QString what;
        if (!parseData(after.mid(1).trimmed(), entry, what)) {
            problem(firstLine, what);
            continue;
        }
        result.values.append(entry);
    }
    return result;
}

} // namespace platform::regformat
