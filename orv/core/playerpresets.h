// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>
#include <QStringList>

namespace orv::core {

constexpr int kMaxPresets = 255;
constexpr int kMaxNicknameLength = 20;

// The identity and command texts the launcher takes from the current player preset.
struct PlayerPreset
{
    QString nickname;
    QString password;
    QString team;      // "None", "Red", "Blue", "Green", "Gold" or empty when none is chosen
    QString skin;      // Unreal
    QString skinClass; // Unreal
    QString skinT;     // Unreal Tournament
    QString skinClassT;
    QString faceT;
    QString voiceT;
    QString addCmd1;
    QString addCmd2;
    QString serverCmd1;
    QString serverCmd2;
};

// A nickname as a single key name: every character's code in decimal followed by "#",
// so "Player" gives "80#108#97#121#101#114#" and a backslash cannot open a sub-key.
QString encodeNickname(QStringView nickname);
// The inverse, for listing stored presets; nullopt for text that is not such a name.
std::optional<QString> decodeNickname(QStringView encoded);
// The preset storage's section of a nickname: "Players\" + the encoded nickname.
QString presetSection(QStringView nickname);

// The player a game was set up with: the [DefaultPlayer] section of its User.ini.
struct GamePlayer
{
    QString name;
    int team = 255; // 255 none, 0 red, 1 blue, 2 green, 3 gold
    QString playerClass;
    QString skin;
    QString face;
    QString voice;
};
// Reads it; nullopt when the file cannot be read or has no such section.
std::optional<GamePlayer> readGamePlayer(const QString &userIniPath);

enum class PresetAdd { Add, Duplicate, Full, NoName };
// Whether a nickname may join the preset list; names compare exactly as written.
PresetAdd checkPresetAdd(const QStringList &presets, const QString &nickname);

} // namespace orv::core
