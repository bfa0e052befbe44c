// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QObject>
#include <QString>

namespace platform {

// Plays WAV files. Without an audio output it stays silent, returns at once and never
// hangs; while disabled it does nothing at all.
class SoundService : public QObject
{
    Q_OBJECT

public:
    explicit SoundService(QObject *parent = nullptr);
    ~SoundService() override;

    bool isEnabled() const;
    void setEnabled(bool enabled);
    bool hasAudioOutput() const;

    // Starts the sound and returns; a new sound replaces the one playing.
    // False when the file cannot be played (missing, not a WAV, no output, disabled).
    bool play(const QString &wavPath);
    // Why play() would refuse the file, in words for the user ("there is no sound
    // output"); empty when it would play it.
    QString problem(const QString &wavPath) const;
    // Plays the sound and returns when it has ended, processing events meanwhile.
    bool playAndWait(const QString &wavPath);
    // Plays the sound again and again until stop() or another play().
    bool playLooped(const QString &wavPath);
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace platform
