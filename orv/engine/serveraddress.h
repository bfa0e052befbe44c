// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <compare>
#include <functional>
#include <optional>

#include <QString>
#include <QStringView>

namespace orv::engine {

// A game server as the engine knows it: an IPv4 address, the port players join on and the
// UDP port that answers queries, as numbers. Text is made of it only where a person or a
// file reads it (list lines, log lines, windows), and parsed into it only where one wrote it.
struct ServerAddress
{
    quint32 ip = 0;
    quint16 gamePort = 0;
    quint16 queryPort = 0;

    // Four decimal fields 0-255 separated by full stops, nothing else; the form answers are
    // matched against, so a host name is no server address.
    static std::optional<quint32> parseIpv4(QStringView text);
    // The address and two ports 1-65535 as a list line writes them; empty when any of the
    // three is not such a value.
    static std::optional<ServerAddress> fromText(QStringView address, QStringView gamePort, QStringView queryPort);

    QString addressText() const;
    QString gamePortText() const { return QString::number(gamePort); }
    QString queryPortText() const { return QString::number(queryPort); }
    // "address gameport queryport", the line form of the address lists.
    QString toLine() const;

    ServerAddress withGamePort(quint16 port) const { return {ip, port, queryPort}; }

    friend auto operator<=>(const ServerAddress &, const ServerAddress &) = default;
};

} // namespace orv::engine

template <> struct std::hash<orv::engine::ServerAddress>
{
    size_t operator()(const orv::engine::ServerAddress &a) const noexcept
    {
        return std::hash<quint64>()(quint64(a.ip) << 32 | quint64(a.gamePort) << 16 | a.queryPort);
    }
};
