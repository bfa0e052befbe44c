// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/soundbank.h"

#include <QDir>
#include <QFileInfo>

#include "platform/desktop/sound.h"
#include "platform/paths.h"

namespace orv::frontend {

SoundBank::SoundBank(platform::SoundService &service, QObject *parent)
    : QObject(parent)
    , m_service(service)
    , m_folders{platform::paths::programFolder(), platform::paths::shippedDataFolder()}
{}

void SoundBank::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled) {
        m_service.stop();
        emit stopped();
    }
}

QString SoundBank::resolve(const QString &name) const
{
    if (name.trimmed().isEmpty())
        return {};
    const QFileInfo direct(name);
    if (direct.isFile())
        return direct.absoluteFilePath();
    // Only a bare file name is looked up in the folders; a path that does not exist stays missing.
    const QString fileName = QFileInfo(name).fileName();
    for (const QString &folder : m_folders) {
        if (folder.isEmpty())
            continue;
        const QDir dir(folder);
        if (QFileInfo(dir.filePath(fileName)).isFile())
            return dir.filePath(fileName);
        const QStringList entries = dir.entryList(QDir::Files);
        for (const QString &entry : entries) {
            if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
                return dir.filePath(entry);
        }
    }
    return {};
}

void SoundBank::play(const QString &name)
{
    if (m_enabled)
        (void)playFound(name);
}

bool SoundBank::playFound(const QString &name)
{
    const QString path = announce(name);
    return !path.isEmpty() && m_service.play(path);
}

void SoundBank::playIgnoringMute(const QString &name)
{
    if (playFound(name))
        return;
    const QString path = resolve(name);
    QString reason = path.isEmpty() ? QStringLiteral("there is no such file") : m_service.problem(path);
    if (reason.isEmpty())
        reason = QStringLiteral("the sound output refused it");
    emit alarmNotPlayed(name, reason);
}

void SoundBank::playAndWait(const QString &name)
{
    if (!m_enabled)
        return;
    if (const QString path = announce(name); !path.isEmpty())
        m_service.playAndWait(path);
}

void SoundBank::playLooped(const QString &name)
{
    if (!m_enabled)
        return;
    if (const QString path = announce(name); !path.isEmpty())
        m_service.playLooped(path);
}

QString SoundBank::announce(const QString &name)
{
    const QString path = resolve(name);
    if (!path.isEmpty())
        emit started(path);
    return path;
}

void SoundBank::stop()
{
    m_service.stop();
    emit stopped();
}

} // namespace orv::frontend
