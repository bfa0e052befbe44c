// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/icmpecho.h"

namespace orv::engine::icmp {

namespace {

constexpr unsigned char kEchoReplyType = 0;
constexpr unsigned char kEchoRequestType = 8;
constexpr size_t kMinIpHeader = 20;

quint16 checksum(const unsigned char *data, size_t size)
{
    quint32 sum = 0;
    for (size_t i = 0; i + 1 < size; i += 2)
        sum += static_cast<quint32>(data[i] << 8 | data[i + 1]);
    if (size % 2)
        sum += static_cast<quint32>(data[size - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<quint16>(~sum);
}

} // namespace

EchoRequest echoRequest(quint16 identifier, quint16 sequence)
{
    EchoRequest packet{};
    packet[0] = kEchoRequestType;
    packet[4] = static_cast<unsigned char>(identifier >> 8);
    packet[5] = static_cast<unsigned char>(identifier & 0xFF);
    packet[6] = static_cast<unsigned char>(sequence >> 8);
    packet[7] = static_cast<unsigned char>(sequence & 0xFF);
    for (size_t i = kHeaderSize; i < packet.size(); ++i)
        packet[i] = static_cast<unsigned char>(i);
    const quint16 sum = checksum(packet.data(), packet.size());
    packet[2] = static_cast<unsigned char>(sum >> 8);
    packet[3] = static_cast<unsigned char>(sum & 0xFF);
    return packet;
}

std::optional<EchoReply> parseEchoReply(const unsigned char *data, size_t size, bool withIpHeader)
{
    size_t offset = 0;
    if (withIpHeader) {
        if (size < kMinIpHeader)
            return std::nullopt;
        offset = static_cast<size_t>(data[0] & 0x0F) * 4;
    }
    if (size < offset + kHeaderSize)
        return std::nullopt;
    const unsigned char *message = data + offset;
    if (message[0] != kEchoReplyType)
        return std::nullopt;
    return EchoReply{static_cast<quint16>(message[4] << 8 | message[5]),
                     static_cast<quint16>(message[6] << 8 | message[7])};
}

} // namespace orv::engine::icmp
