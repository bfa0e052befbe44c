// SPDX-License-Identifier: GPL-3.0-or-later
// Server answers: the packet number of "queryid", the final-datagram test and the decoding
// of a whole stored answer (several datagrams, possibly interleaved with another server's).

#include "fuzz/fuzzinput.h"
#include "orv/engine/replydecoder.h"
#include "orv/engine/replystore.h"

using namespace orv::engine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView input = fuzzinput::bytes(data, size);
    const QString address = QStringLiteral("127.0.0.2");
    const QString gamePort = QStringLiteral("7777");
    const QString queryPort = QStringLiteral("7778");
    const QByteArray key = ReplyStore::serverKey(address, gamePort, queryPort);
    const QByteArray otherKey = ReplyStore::serverKey(QStringLiteral("127.0.0.3"), gamePort, queryPort);

    ReplyStore store;
    int index = 0;
    for (const QByteArrayView datagram : fuzzinput::parts(input)) {
        (void)finalPacketNumber(datagram);
        (void)isFinalDatagram(datagram);
        store.appendAnswer(index++ % 3 == 2 ? otherKey : key, datagram);
    }
    const ServerInfo info =
        DecodeServerInfo(store, address, gamePort, queryPort, [](const QString &value) { return value.trimmed(); });
    (void)info;

    ServerInfo direct = ServerInfo::defaults(address, gamePort, queryPort);
    applyDatagram(direct, input);
    return 0;
}
