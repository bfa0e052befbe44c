// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wavinfo.h"

namespace platform {

namespace {

quint32 le32(QByteArrayView b, qsizetype at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 |
           quint32(quint8(b[at + 3])) << 24;
}

quint16 le16(QByteArrayView b, qsizetype at)
{
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

} // namespace

std::optional<WavInfo> parseWavHeader(QByteArrayView bytes)
{
    if (bytes.size() < 12 || bytes.first(4) != "RIFF" || bytes.sliced(8, 4) != "WAVE")
        return std::nullopt;
    WavInfo info;
    bool haveFormat = false;
    qsizetype pos = 12;
    while (pos + 8 <= bytes.size()) {
        const QByteArrayView id = bytes.sliced(pos, 4);
        const quint32 size = le32(bytes, pos + 4);
        const qsizetype body = pos + 8;
        const qsizetype available = bytes.size() - body;
        if (id == "fmt ") {
            if (size < 16 || available < 16)
                return std::nullopt;
            info.formatTag = le16(bytes, body);
            info.channels = le16(bytes, body + 2);
            info.sampleRate = int(le32(bytes, body + 4));
            info.byteRate = le32(bytes, body + 8);
            info.bitsPerSample = le16(bytes, body + 14);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat || info.channels == 0 || info.sampleRate <= 0)
                return std::nullopt;
            info.dataBytes = quint32(qMin<qint64>(size, available));
            return info;
        }
        // Chunks are padded to an even size.
        const qint64 next = qint64(body) + size + (size & 1);
        if (next > bytes.size())
            break;
        pos = qsizetype(next);
    }
    return std::nullopt;
}

} // namespace platform
