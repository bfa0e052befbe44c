// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/masterlist.h"

#include <limits>

#include "orv/engine/textutil.h"
#include "platform/textfile.h"

namespace orv::net {

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
        const QByteArray address = line.left(colon);
        QByteArray portText = line.mid(colon);
        portText.replace(":", "");
        // Ports are read as the 32-bit whole numbers they are written back as; anything
        // else (blanks, letters, an IPv6 literal's groups) refuses the whole list.
        const auto port = engine::parseWholeNumber(QString::fromLatin1(portText));
        if (!port || *port < std::numeric_limits<qint32>::min() || *port > std::numeric_limits<qint32>::max())
            return std::nullopt;
        converted.append(address + ' ' + QByteArray::number(*port) + ' ' + QByteArray::number(*port + 1));
    }
    return converted;
}

platform::Status ConvertMasterList(const QString &file)
{
    const auto bytes = platform::textfile::readAll(file);
    if (!bytes)
        return bytes.error();
    const auto converted = convertMasterLines(platform::textfile::splitLines(*bytes));
    if (!converted)
        return {};
    return platform::textfile::writeAtomically(file, platform::textfile::joinLines(*converted));
}

platform::Status MergeMasterList(const QString &file, CombinedList &combined)
{
    const auto bytes = platform::textfile::readAll(file);
    if (!bytes)
        return bytes.error();
    for (const QByteArray &line : platform::textfile::splitLines(*bytes))
        combined.add(platform::textfile::fromAnsi(line));
    return {};
}

} // namespace orv::net
