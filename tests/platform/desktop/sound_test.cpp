// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/desktop/sound.h"
#include "platform/wavinfo.h"
#include "tests/support/testpaths.h"

namespace {

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (8 * i)) & 0xff);
    return b;
}

QByteArray le16(quint16 v)
{
    return le32(v).left(2);
}

QByteArray fmtChunk(quint16 channels, quint32 rate, quint16 bits)
{
    const quint32 byteRate = rate * channels * bits / 8;
    return "fmt " + le32(16) + le16(1) + le16(channels) + le32(rate) + le32(byteRate) +
           le16(quint16(channels * bits / 8)) + le16(bits);
}

QByteArray riff(const QByteArray &chunks)
{
    return "RIFF" + le32(quint32(4 + chunks.size())) + "WAVE" + chunks;
}

} // namespace

TEST(WavHeader, TellsPlayableFilesAndTheirLength)
{
    const QByteArray oneSecond = QByteArray(22050 * 2, '\0');
    const struct
    {
        const char *name;
        QByteArray bytes;
        std::optional<qint64> durationMs;
    } cases[] = {
        {"pcm mono 16 bit", riff(fmtChunk(1, 22050, 16) + "data" + le32(44100) + oneSecond), 1000},
        {"odd chunk before fmt is padded",
         riff("LIST" + le32(3) + "abc" + '\0' + fmtChunk(2, 8000, 8) + "data" + le32(8000) + QByteArray(8000, '\0')),
         500},
        {"data longer than the file", riff(fmtChunk(1, 1000, 8) + "data" + le32(1000000) + QByteArray(250, '\0')), 250},
        {"not riff", "RIFX" + le32(4) + "WAVE", std::nullopt},
        {"not wave", riff(QByteArray()).replace(8, 4, "AVI "), std::nullopt},
        {"no data chunk", riff(fmtChunk(1, 8000, 8)), std::nullopt},
        {"data before fmt", riff("data" + le32(2) + "xx" + fmtChunk(1, 8000, 8)), std::nullopt},
        {"fmt cut short", riff("fmt " + le32(16) + "abc"), std::nullopt},
        {"zero channels", riff(fmtChunk(0, 8000, 8) + "data" + le32(0)), std::nullopt},
        {"empty", QByteArray(), std::nullopt},
    };
    for (const auto &c : cases) {
        const auto info = platform::parseWavHeader(c.bytes);
        ASSERT_EQ(info.has_value(), c.durationMs.has_value()) << c.name;
        if (info) {
            EXPECT_EQ(info->durationMs(), *c.durationMs) << c.name;
        }
    }
}

// Whatever the machine has, nothing here may block: without an output every call
// returns false at once, and with one a waiting play is bounded by the sound's length.
TEST(SoundService, RefusesWhatItCannotPlayAndNeverHangs)
{
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("friend.wav"));
    ASSERT_TRUE(testsupport::writeFile(wav, riff(fmtChunk(1, 8000, 8) + "data" + le32(800) + QByteArray(800, '\x80'))));
    const QString text = dir.filePath(QStringLiteral("foe.wav"));
    ASSERT_TRUE(testsupport::writeFile(text, "this is not a sound"));

    platform::SoundService sound;
    EXPECT_FALSE(sound.play(dir.filePath(QStringLiteral("missing.wav"))));
    EXPECT_FALSE(sound.play(text));
    EXPECT_FALSE(sound.playAndWait(text));
    EXPECT_FALSE(sound.play(QString()));

    const bool played = sound.playAndWait(wav);
    if (!sound.hasAudioOutput()) {
        EXPECT_FALSE(played);
    }
    sound.stop();

    sound.setEnabled(false);
    EXPECT_FALSE(sound.play(wav));
    EXPECT_FALSE(sound.playAndWait(wav));
    EXPECT_FALSE(sound.playLooped(wav));
}
