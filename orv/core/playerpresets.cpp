// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/core/playerpresets.h"

#include <QFile>

namespace orv::core {

QString encodeNickname(QStringView nickname)
{
    QString encoded;
    encoded.reserve(nickname.size() * 4);
    // Code points, so that no two different names share a section.
    for (const char32_t code : nickname.toUcs4()) {
        encoded += QString::number(static_cast<quint32>(code));
        encoded += u'#';
    }
    return encoded;
}

std::optional<QString> decodeNickname(QStringView encoded)
{
    if (encoded.isEmpty() || !encoded.endsWith(u'#'))
        return std::nullopt;
    QString name;
    for (QStringView part : encoded.chopped(1).split(u'#')) {
        bool ok = false;
        const uint code = part.toUInt(&ok);
        if (!ok || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) || part.startsWith(u'+'))
            return std::nullopt;
        const char32_t c = code;
        name += QString::fromUcs4(&c, 1);
    }
    return name;
}

QString presetSection(QStringView nickname)
{
    return QStringLiteral("Players\\") + encodeNickname(nickname);
}

PresetAdd checkPresetAdd(const QStringList &presets, const QString &nickname)
{
    if (nickname.isEmpty())
        return PresetAdd::NoName;
    if (presets.size() >= kMaxPresets)
        return PresetAdd::Full;
    if (presets.contains(nickname, Qt::CaseSensitive))
        return PresetAdd::Duplicate;
    return PresetAdd::Add;
}

std::optional<GamePlayer> readGamePlayer(const QString &userIniPath)
{
    QFile file(userIniPath);
    // A User.ini is a few dozen kilobytes; anything far larger is not one.
    if (file.size() > 4 * 1024 * 1024 || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<GamePlayer> player;
    bool inSection = false;
    while (!file.atEnd()) {
        const QString line = QString::fromLatin1(file.readLine(64 * 1024)).trimmed();
        if (line.startsWith(u'[')) {
            inSection = line.compare(QStringLiteral("[DefaultPlayer]"), Qt::CaseInsensitive) == 0;
            if (inSection && !player)
                player.emplace();
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!inSection || eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed().toLower();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == u"name")
            player->name = value;
        else if (key == u"team")
            player->team = value.toInt();
        else if (key == u"class")
            player->playerClass = value;
        else if (key == u"skin")
            player->skin = value;
        else if (key == u"face")
            player->face = value;
        else if (key == u"voice")
            player->voice = value;
    }
    return player;
}

} // namespace orv::core
