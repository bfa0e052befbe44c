// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include <QtGlobal>

#include "orv/engine/ping.h"

namespace orv::engine::icmp {

// The ICMP echo messages of the ping measurement, built and read as bytes: no sockets, so
// the one-at-a-time and the side-by-side measurement share them.
constexpr size_t kHeaderSize = 8;
using EchoRequest = std::array<unsigned char, kHeaderSize + kPingDataBytes>;

struct EchoReply
{
    quint16 identifier = 0;
    quint16 sequence = 0;
};

// An echo request with its checksum; the data bytes count up from the header's end.
EchoRequest echoRequest(quint16 identifier, quint16 sequence);

// The identifier and sequence of an echo reply, or nothing for any other message or a
// short read. A raw socket delivers every ICMP packet of the host with its IP header in
// front (withIpHeader); a datagram ICMP socket delivers only the ICMP message.
std::optional<EchoReply> parseEchoReply(const unsigned char *data, size_t size, bool withIpHeader);

} // namespace orv::engine::icmp
