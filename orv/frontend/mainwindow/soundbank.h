// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace platform {
class SoundService;
}

namespace orv::frontend {

// The browser's sounds by name ("beep.wav", a user's path): finds the file and plays it
// through the platform's sound service. Nothing happens while sounds are switched off,
// and a name found nowhere plays nothing, without an error.
class SoundBank : public QObject
{
    Q_OBJECT

public:
    explicit SoundBank(platform::SoundService &service, QObject *parent = nullptr);

    // Folders searched after the name as given: by default the program folder, then the
    // sounds installed with the program.
    void setSearchFolders(const QStringList &folders) { m_folders = folders; }
    QStringList searchFolders() const { return m_folders; }

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    // The file a name stands for: the name as a path, else the name in each search folder
    // (letter case ignored, since sound names are written in Windows habits); empty when
    // it is nowhere.
    QString resolve(const QString &name) const;

    void play(const QString &name);
    void playAndWait(const QString &name);
    // Plays whether sounds are switched on or off, leaving the switch as it is (an alarm).
    // A sound that cannot be played is reported through alarmNotPlayed().
    void playIgnoringMute(const QString &name);
    // Plays the sound again and again until stop(), another sound or sounds switched off.
    void playLooped(const QString &name);
    void stop();
    // A button's click or menu sound.
    void click(const QString &name) { play(name); }

signals:
    // A file was handed to the sound service (the file the name was found as), or whatever
    // played was stopped.
    void started(const QString &path);
    void stopped();
    // An alarm was asked for and stays silent: the name was found nowhere, or its file
    // cannot be played; reason says why in words for the user.
    void alarmNotPlayed(const QString &name, const QString &reason);

private:
    // Plays a sound found by name; false when it was found nowhere or cannot be played.
    bool playFound(const QString &name);

    // The file a sound name is found as, announced through started(); empty when missing.
    QString announce(const QString &name);

    platform::SoundService &m_service;
    QStringList m_folders;
    bool m_enabled = true;
};

} // namespace orv::frontend
