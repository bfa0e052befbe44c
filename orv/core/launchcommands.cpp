// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/core/launchcommands.h"

#include "platform/argumentsplit.h"

namespace orv::core {

namespace {

// A skin, class, face or voice field with nothing chosen.
const QString kNotAvailable = QStringLiteral("N/A");

} // namespace

namespace launch {

int teamNumber(const QString &team)
{
    if (team == u"None")
        return 255;
    if (team == u"Red")
        return 0;
    if (team == u"Blue")
        return 1;
    if (team == u"Green")
        return 2;
    if (team == u"Gold")
        return 3;
    return 0;
}

QString optionPairs(const PlayerPreset &preset, bool ut)
{
    QString pairs;
    auto add = [&pairs](const char *key, const QString &value) {
        pairs += u'?';
        pairs += QLatin1String(key);
        pairs += u'=';
        pairs += value;
    };
    auto given = [](const QString &value) { return value != kNotAvailable; };
    const QString team = QString::number(teamNumber(preset.team));
    if (!preset.nickname.isEmpty())
        add("Name", preset.nickname);
    if (ut) {
        if (given(preset.skinClassT))
            add("Class", preset.skinClassT);
        if (given(preset.team))
            add("Team", team);
        if (given(preset.skinT))
            add("Skin", preset.skinT);
        if (given(preset.faceT))
            add("Face", preset.faceT);
        if (given(preset.voiceT))
            add("Voice", preset.voiceT);
    } else {
        if (given(preset.team))
            add("Team", team);
        if (given(preset.skin))
            add("Skin", preset.skin);
        if (given(preset.skinClass))
            add("Class", preset.skinClass);
    }
    if (!preset.password.isEmpty())
        add("Password", preset.password);
    return pairs;
}

QString connectionUrl(const QString &address, const QString &gamePort, const PlayerPreset &preset, bool ut)
{
    return address + QStringLiteral("?port=") + gamePort + optionPairs(preset, ut);
}

QStringList gameArguments(const QString &url, const QString &extraText)
{
    QStringList arguments;
    if (!url.isEmpty())
        arguments.append(url);
    arguments.append(platform::shell::splitCommandLine(extraText));
    return arguments;
}

QString commandText(const QString &executable, const QString &url, const QString &extraText)
{
    return executable + u' ' + url + u' ' + extraText;
}

std::optional<QString> badServerTarget(const QString &address, const QString &gamePort)
{
    bool ok = false;
    const uint port = gamePort.toUInt(&ok);
    if (!ok || port > 65535 || gamePort.startsWith(u'+'))
        return QStringLiteral("The game port \"%1\" is not a port number.").arg(gamePort);
    bool plain = !address.isEmpty() && !address.startsWith(u'-');
    for (QChar c : address)
        plain = plain && !c.isSpace() && c.isPrint();
    if (!plain)
        return QStringLiteral("The address \"%1\" is not a server address.").arg(address);
    return std::nullopt;
}

QString clipboardAddress(const QString &address, const QString &gamePort)
{
    return address + u':' + gamePort;
}

QString unrealUrl(const QString &address)
{
    return QStringLiteral("unreal://") + address + QStringLiteral("/index.unr");
}

QString mailUrl(const QString &email)
{
    return QStringLiteral("mailto:") + email;
}

QString webUrl(const QString &address)
{
    return QStringLiteral("http://") + address;
}

} // namespace launch

} // namespace orv::core
