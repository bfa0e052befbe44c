// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/addresslist.h"

#include <algorithm>

#include "orv/engine/textutil.h"
#include "platform/textfile.h"

namespace orv::engine {

QString AddressWords::toLine() const
{
    return address + QLatin1Char(' ') + gamePort + QLatin1Char(' ') + queryPort;
}

AddressWords AddressList::parseLine(const QString &line)
{
    QString rest = line;
    AddressWords server;
    server.address = SplitHead(rest, QLatin1Char(' '));
    server.gamePort = SplitHead(rest, QLatin1Char(' '));
    server.queryPort = SplitHead(rest, QLatin1Char(' '));
    return server;
}

bool AddressList::isServerLine(const QString &line)
{
    return !line.isEmpty() && line.at(0) != QLatin1Char(' ');
}

void AddressList::sortIgnoringCase()
{
    std::stable_sort(m_lines.begin(), m_lines.end(),
                     [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
}

bool AddressList::FindAddress(const QString &address, const QString &gamePort, const QString &queryPort) const
{
    for (const QString &line : m_lines) {
        if (!isServerLine(line) || !line.startsWith(address))
            continue;
        const AddressWords s = parseLine(line);
        if (s.address == address && s.gamePort == gamePort && s.queryPort == queryPort)
            return true;
    }
    return false;
}

bool AddressList::contains(const ServerAddress &server) const
{
    // Lines this program writes hold the plain numbers, so the text is tried first and a
    // line is parsed only when its text differs.
    const QString plain = server.toLine();
    for (const QString &line : m_lines) {
        if (!isServerLine(line))
            continue;
        const AddressWords words = parseLine(line);
        if (words.toLine() == plain || words.toServer() == server)
            return true;
    }
    return false;
}

std::unordered_set<ServerAddress> AddressList::servers() const
{
    std::unordered_set<ServerAddress> found;
    for (const QString &line : m_lines) {
        if (!isServerLine(line))
            continue;
        if (const auto server = parseLine(line).toServer())
            found.insert(*server);
    }
    return found;
}

platform::Result<AddressList> AddressList::load(const QString &path)
{
    auto bytes = platform::textfile::readAll(path);
    if (!bytes)
        return bytes.error();
    // Byte for byte: a list holds addresses, and whatever else a line holds is kept as it is
    // when the list is saved again.
    QStringList lines;
    for (const QByteArray &line : platform::textfile::splitLines(bytes.value()))
        lines.append(QString::fromLatin1(line));
    return AddressList(std::move(lines));
}

platform::Status AddressList::save(const QString &path) const
{
    QList<QByteArray> lines;
    lines.reserve(m_lines.size());
    for (const QString &line : m_lines)
        lines.append(line.toLatin1());
    return platform::textfile::writeAtomically(path, platform::textfile::joinLines(lines));
}

} // namespace orv::engine
