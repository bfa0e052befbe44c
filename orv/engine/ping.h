// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace orv::engine {

enum class PingClassKind { Good = 0, Normal = 1, Bad = 2, None = 3 };

// Echo settings of the ping measurement.
constexpr int kPingDataBytes = 56;
constexpr int kPingTimeoutMs = 600;
constexpr int kPingTtl = 64;

// One ICMP echo request to the host; the round-trip time in milliseconds (low 16 bits),
// or 9999 when no reply came back in time, the name cannot be resolved or no echo can
// be sent. Uses an unprivileged ICMP datagram socket where the system allows it, else a
// raw socket; blocks for at most the time-out.
quint16 PingHost(const QString &address);

// good 0-150, normal 151-300, bad 301-600, none above (9999 included).
PingClassKind PingClass(quint16 ping);

} // namespace orv::engine
