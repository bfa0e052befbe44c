// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The two versions of each file kind the crash-safety test saves in turn. They differ in
// size, so a file cut short or half overwritten matches neither.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace hardening {

enum class Version { A, B };

inline QStringList addressLines(int count, Version version)
{
    QStringList lines;
    const int extra = version == Version::B ? count / 3 : 0;
    for (int i = 0; i < count + extra; ++i)
        lines.append(QStringLiteral("10.%1.%2.%3 %4 %5")
                         .arg(i / 65536)
                         .arg((i / 256) % 256)
                         .arg(i % 256)
                         .arg(version == Version::A ? 7777 : 8888)
                         .arg(version == Version::A ? 7778 : 8889));
    return lines;
}

inline QString settingsText(Version version)
{
    return version == Version::A ? QString(20000, QLatin1Char('a')) : QString(45000, QLatin1Char('b'));
}

inline QByteArray iniValue(Version version)
{
    return version == Version::A ? QByteArray(3000, 'a') : QByteArray(9000, 'b');
}

inline QByteArray scriptText(Version version)
{
    QByteArray text;
    const int lines = version == Version::A ? 2000 : 3500;
    for (int i = 0; i < lines; ++i)
        text += version == Version::A ? "var int Count; // first version\r\n" : "var float Rate; // second\r\n";
    return text;
}

// An INI file of some size around the key the saves change.
inline QByteArray baseIni()
{
    QByteArray text = "[Engine.GameInfo]\r\nServerName=start\r\nMaxPlayers=16\r\n"
                      "[Engine.GameReplicationInfo]\r\nServerName=start\r\nShortName=UT\r\n";
    for (int section = 0; section < 60; ++section) {
        text += "[Pad.Section" + QByteArray::number(section) + "]\r\n";
        for (int key = 0; key < 20; ++key)
            text += "Key" + QByteArray::number(key) + "=Value " + QByteArray::number(section * 100 + key) + "\r\n";
    }
    return text;
}

} // namespace hardening
