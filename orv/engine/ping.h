// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>

namespace orv::engine {

enum class PingClassKind { Good = 0, Normal = 1, Bad = 2, None = 3 };

// Echo settings of the ping measurement.
constexpr int kPingDataBytes = 56;
constexpr int kPingTimeoutMs = 600;
constexpr int kPingTtl = 64;

// One ICMP echo request to the host; the round-trip time in milliseconds (low 16 bits), or
// 9999 when no reply came back in time or the name cannot be resolved. std::nullopt when no
// echo can be sent at all: on Linux when neither an unprivileged ICMP datagram socket
// (net.ipv4.ping_group_range) nor a raw socket (root or CAP_NET_RAW) may be opened, and on
// every other system, where no echo is implemented. Blocks for at most the time-out.
std::optional<quint16> EchoHost(const QString &address);

// EchoHost, with 9999 also where no echo can be sent. The query engine instead falls back
// on the round trip of the server's query exchange.
quint16 PingHost(const QString &address);

// good 0-150, normal 151-300, bad 301-600, none above (9999 included).
PingClassKind PingClass(quint16 ping);

} // namespace orv::engine
