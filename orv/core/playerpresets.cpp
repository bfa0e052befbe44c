// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/core/playerpresets.h"

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

} // namespace orv::core
