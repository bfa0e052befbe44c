// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/masterlist.h"

#include <limits>

#include <QFile>

#include "platform/textfile.h"

namespace orv::net {

namespace {

// A whole 32-bit number with an optional sign, every ':' in it skipped; nullopt for
// anything else.
std::optional<qint64> portOf(QByteArrayView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == ':')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    qint64 value = 0;
    bool digits = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ':')
            continue;
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        digits = true;
        if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
            return std::nullopt;
    }
    if (!digits)
        return std::nullopt;
    value = negative ? -value : value;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<QList<QByteArray>> convertMasterLines(const QList<QByteArray> &lines)
{
    QList<QByteArray> converted;
    converted.reserve(lines.size());
    for (const QByteArray &line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0) {
            converted.append(line);
            continue;
        }
        // The address is the text before the first ':'; the port is the rest with every
        // ':' removed. A sign is allowed where the whole rest is read as one number, as
        // "10.0.0.5:-1" is. Ports are read as the 32-bit whole numbers they are written
        // back as; anything else (blanks, letters, an IPv6 literal's groups) refuses the
        // whole list.
        const auto port = portOf(QByteArrayView(line).sliced(colon));
        if (!port)
            return std::nullopt;
        QByteArray out;
        out.reserve(colon + 24);
        out.append(QByteArrayView(line).first(colon));
        out.append(' ');
        out.append(QByteArray::number(*port));
        out.append(' ');
        out.append(QByteArray::number(*port + 1));
        converted.append(std::move(out));
    }
    return converted;
}

namespace {

// The downloaded copy is a scratch file that the next download replaces, so it is
// rewritten in place rather than through a synced temporary file.
platform::Status rewrite(const QString &file, const QList<QByteArray> &lines)
{
    QFile out(file);
    const QByteArray bytes = platform::textfile::joinLines(lines);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size() || !out.flush())
        return platform::Error{1, QStringLiteral("Cannot write ") + file + QStringLiteral(": ") + out.errorString()};
    return {};
}

void mergeLines(const QList<QByteArray> &lines, CombinedList &combined)
{
    combined.reserve(combined.size() + lines.size());
    for (const QByteArray &line : lines)
        combined.add(platform::textfile::fromAnsi(line));
}

} // namespace

platform::Status ConvertMasterList(const QString &file)
{
    const auto bytes = platform::textfile::readAll(file);
    if (!bytes)
        return bytes.error();
    const auto converted = convertMasterLines(platform::textfile::splitLines(*bytes));
    if (!converted)
        return {};
    return rewrite(file, *converted);
}

platform::Status MergeMasterList(const QString &file, CombinedList &combined)
{
    const auto bytes = platform::textfile::readAll(file);
    if (!bytes)
        return bytes.error();
    mergeLines(platform::textfile::splitLines(*bytes), combined);
    return {};
}

platform::Status ConvertAndMergeMasterList(const QString &file, CombinedList &combined)
{
    const auto bytes = platform::textfile::readAll(file);
    if (!bytes)
        return bytes.error();
    QList<QByteArray> lines = platform::textfile::splitLines(*bytes);
    if (auto converted = convertMasterLines(lines)) {
        if (auto written = rewrite(file, *converted); !written)
            return written;
        lines = std::move(*converted);
    }
    mergeLines(lines, combined);
    return {};
}

} // namespace orv::net
