// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/sound.h"

#include <QAudioDevice>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

#include "platform/wavinfo.h"

Q_LOGGING_CATEGORY(lcSound, "platform.sound")

namespace platform {

namespace {

constexpr qint64 kMaxWavBytes = 32 * 1024 * 1024;
// Extra time a waiting play allows beyond the sound's own length (loading, device start).
constexpr qint64 kWaitMarginMs = 3000;
constexpr qint64 kMaxWaitMs = 5 * 60 * 1000;

} // namespace

struct SoundService::Impl
{
    bool enabled = true;
    QPointer<QSoundEffect> effect;
    qint64 lastDurationMs = 0;
};

SoundService::SoundService(QObject *parent)
    : QObject(parent)
    , m_impl(std::make_unique<Impl>())
{}

SoundService::~SoundService()
{
    stop();
}

bool SoundService::isEnabled() const
{
    return m_impl->enabled;
}

void SoundService::setEnabled(bool enabled)
{
    m_impl->enabled = enabled;
    if (!enabled)
        stop();
}

bool SoundService::hasAudioOutput() const
{
    return !QMediaDevices::audioOutputs().isEmpty();
}

void SoundService::stop()
{
    if (m_impl->effect) {
        m_impl->effect->stop();
        m_impl->effect->deleteLater();
        m_impl->effect.clear();
    }
}

// Checks everything that can be checked before Qt Multimedia is involved, so a missing
// file, a file that is no WAV or a machine without sound output costs nothing.
static std::optional<qint64> playableDuration(const QString &wavPath)
{
    QFile file(wavPath);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxWavBytes)
        return std::nullopt;
    const std::optional<WavInfo> info = parseWavHeader(file.readAll());
    if (!info)
        return std::nullopt;
    return info->durationMs();
}

bool SoundService::play(const QString &wavPath)
{
    if (!m_impl->enabled || wavPath.isEmpty())
        return false;
    const std::optional<qint64> duration = playableDuration(wavPath);
    if (!duration) {
        qCDebug(lcSound) << "not a playable WAV file:" << wavPath;
        return false;
    }
    if (!hasAudioOutput())
        return false;
    stop();
    auto *effect = new QSoundEffect(this);
    effect->setSource(QUrl::fromLocalFile(QFileInfo(wavPath).absoluteFilePath()));
    effect->setLoopCount(1);
    effect->play();
    m_impl->effect = effect;
    m_impl->lastDurationMs = *duration;
    return true;
}

QString SoundService::problem(const QString &wavPath) const
{
    if (!m_impl->enabled)
        return QStringLiteral("sounds are switched off");
    if (wavPath.isEmpty() || !QFileInfo(wavPath).isFile())
        return QStringLiteral("there is no such file");
    if (!playableDuration(wavPath))
        return QStringLiteral("it is not a WAV file that can be played");
    if (!hasAudioOutput())
        return QStringLiteral("there is no sound output");
    return {};
}

bool SoundService::playAndWait(const QString &wavPath)
{
    if (!play(wavPath))
        return false;
    QPointer<QSoundEffect> effect = m_impl->effect;
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    // Never wait for ever: a device that never reports the end still lets us go on.
    guard.start(int(qMin(m_impl->lastDurationMs + kWaitMarginMs, kMaxWaitMs)));
    connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    bool started = effect->isPlaying();
    connect(effect, &QSoundEffect::playingChanged, &loop, [&] {
        if (!effect || !effect->isPlaying()) {
            if (started)
                loop.quit();
        } else {
            started = true;
        }
    });
    connect(effect, &QSoundEffect::statusChanged, &loop, [&] {
        if (!effect || effect->status() == QSoundEffect::Error)
            loop.quit();
    });
    // Another play() or stop() during the wait ends it too.
    connect(effect, &QObject::destroyed, &loop, &QEventLoop::quit);
    if (effect->status() != QSoundEffect::Error)
        loop.exec();
    return effect && effect->status() != QSoundEffect::Error;
}

bool SoundService::playLooped(const QString &wavPath)
{
    if (!play(wavPath))
        return false;
    m_impl->effect->setLoopCount(QSoundEffect::Infinite);
    if (!m_impl->effect->isPlaying())
        m_impl->effect->play();
    return true;
}

} // namespace platform
