// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QByteArrayView>
#include <QtGlobal>

namespace platform {

// What the header of a RIFF WAVE file says about its sound: enough to tell a playable
// file from anything else and to know how long it plays.
struct WavInfo
{
    int formatTag = 0; // 1 = PCM
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    quint32 byteRate = 0;
    quint32 dataBytes = 0;

    qint64 durationMs() const { return byteRate == 0 ? 0 : qint64(dataBytes) * 1000 / byteRate; }
};

// nullopt unless the bytes start a RIFF WAVE file with a "fmt " and a "data" chunk.
// A data chunk that claims more bytes than the file holds counts as far as the file goes.
std::optional<WavInfo> parseWavHeader(QByteArrayView bytes);

} // namespace platform
