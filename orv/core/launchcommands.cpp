// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/core/launchcommands.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

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

platform::Result<UnrealLink> parseUnrealLink(const QString &text)
{
    const QString scheme = QStringLiteral("unreal://");
    auto bad = [&text](const QString &why) {
        return platform::Error{1, QStringLiteral("\"%1\" is not a server link: %2").arg(text, why)};
    };
    if (!text.startsWith(scheme, Qt::CaseInsensitive))
        return bad(QStringLiteral("it does not start with unreal://"));
    const QString rest = text.mid(scheme.size());
    qsizetype end = 0;
    while (end < rest.size() && rest[end] != u'/' && rest[end] != u'?')
        ++end;
    const QString hostPort = rest.left(end);
    UnrealLink link;
    const qsizetype colon = hostPort.lastIndexOf(u':');
    link.address = colon < 0 ? hostPort : hostPort.left(colon);
    if (colon >= 0) {
        bool ok = false;
        const uint port = hostPort.mid(colon + 1).toUInt(&ok);
        if (!ok || port < 1 || port > 65535 || !hostPort.mid(colon + 1).at(0).isDigit())
            return bad(QStringLiteral("the port is not a number from 1 to 65535"));
        link.gamePort = QString::number(port);
    }
    bool hostOk = !link.address.isEmpty() && !link.address.startsWith(u'-') && !link.address.startsWith(u'.');
    for (const QChar c : std::as_const(link.address))
        hostOk = hostOk && c.unicode() < 128 && (c.isLetterOrNumber() || c == u'.' || c == u'-');
    if (!hostOk)
        return bad(QStringLiteral("no server address"));
    // Options after the path: "?password=secret", also joined by "&".
    const qsizetype question = rest.indexOf(u'?', end);
    if (question >= 0) {
        const QStringList pairs = rest.mid(question + 1).split(QRegularExpression(QStringLiteral("[?&]")));
        for (const QString &pair : pairs) {
            const qsizetype eq = pair.indexOf(u'=');
            if (eq < 0 || pair.left(eq).compare(QStringLiteral("password"), Qt::CaseInsensitive) != 0)
                continue;
            const QString password = QUrl::fromPercentEncoding(pair.mid(eq + 1).toUtf8());
            for (const QChar c : password) {
                if (c == u'?' || c.isSpace() || !c.isPrint())
                    return bad(QStringLiteral("the password holds characters a game cannot take"));
            }
            link.password = password;
        }
    }
    return link;
}

QString GameCommand::text() const
{
    QStringList words;
    for (const auto &[name, value] : environment)
        words.append(name + u'=' + value);
    words.append(program);
    words.append(arguments);
    // Words with blanks or quotes are shown quoted, the way the Command line reads them back.
    for (QString &word : words) {
        if (word.isEmpty() || word.contains(u' ') || word.contains(u'"') || word.contains(u'\t')) {
            word.replace(u'"', QStringLiteral("\\\""));
            word = u'"' + word + u'"';
        }
    }
    return words.join(u' ');
}

QString winePrefixOf(const QString &path)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const qsizetype at = clean.lastIndexOf(QStringLiteral("/drive_c/"), -1, Qt::CaseInsensitive);
    return at <= 0 ? QString() : clean.left(at);
}

QString windowsPath(const QString &path, const QString &prefix)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString drive;
    QString rest = clean;
    qsizetype bestLength = -1;
    auto consider = [&](const QString &letter, const QString &target) {
        const QString root = QDir::cleanPath(target);
        const bool inside = root == u"/" || clean == root || clean.startsWith(root + u'/');
        if (!inside || root.size() <= bestLength)
            return;
        bestLength = root.size();
        drive = letter;
        rest = root == u"/" ? clean : clean.mid(root.size());
    };
    consider(QStringLiteral("Z:"), QStringLiteral("/"));
    if (!prefix.isEmpty()) {
        consider(QStringLiteral("C:"), QDir(prefix).filePath(QStringLiteral("drive_c")));
        // The prefix's own drive letters, as winecfg set them.
        const QFileInfoList devices = QDir(QDir(prefix).filePath(QStringLiteral("dosdevices")))
                                          .entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        for (const QFileInfo &device : devices) {
            const QString name = device.fileName();
            if (name.size() == 2 && name[0].isLetter() && name[1] == u':' && device.isSymLink())
                consider(name.toUpper(), QFileInfo(device.symLinkTarget()).absoluteFilePath());
        }
    }
    rest.replace(u'/', u'\\');
    if (!rest.startsWith(u'\\'))
        rest.prepend(u'\\');
    return drive + rest;
}

GameCommand buildGameCommand(const QString &gameFile, const QStringList &arguments, const QString &commandLine)
{
    const QFileInfo info(gameFile);
    QStringList game;
    GameCommand command;
    if (gameFile.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive)) {
        game = QStringList{QStringLiteral("wine"), gameFile};
        const QString prefix = winePrefixOf(gameFile);
        if (!prefix.isEmpty())
            command.environment.append({QStringLiteral("WINEPREFIX"), prefix});
    } else {
        game = QStringList{gameFile};
    }
    game.append(arguments);
    command.workingFolder = gameFile.contains(u'/') ? info.absolutePath() : QString();

    QStringList words;
    const QStringList wrapper = platform::shell::splitCommandLine(commandLine);
    bool placed = false;
    for (const QString &word : wrapper) {
        if (word == u"%command%") {
            words.append(game);
            placed = true;
        } else {
            words.append(word);
        }
    }
    if (!placed)
        words.append(game);
    command.program = words.takeFirst();
    command.arguments = words;
    return command;
}

std::optional<QString> commandProblem(const GameCommand &command)
{
    const QString &program = command.program;
    if (program.isEmpty())
        return QStringLiteral("No program to start.");
    if (program.contains(u'/')) {
        const QFileInfo info(program);
        if (!info.exists())
            return QStringLiteral("%1 does not exist.").arg(program);
        if (info.isDir())
            return QStringLiteral("%1 is a folder, not a program.").arg(program);
        if (!info.isExecutable())
            return QStringLiteral("%1 is not executable.").arg(program);
        return std::nullopt;
    }
    if (QStandardPaths::findExecutable(program).isEmpty())
        return QStringLiteral("The program \"%1\" cannot be found.").arg(program);
    return std::nullopt;
}

platform::Status startGameCommand(const GameCommand &command)
{
    auto failed = [&command](const QString &why) {
        return platform::Error{1, QStringLiteral("Cannot start the game: %1\nCommand: %2").arg(why, command.text())};
    };
    if (const auto problem = commandProblem(command))
        return failed(*problem);
    QProcess process;
    process.setProgram(command.program);
    process.setArguments(command.arguments);
    if (!command.workingFolder.isEmpty())
        process.setWorkingDirectory(command.workingFolder);
    if (!command.environment.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const auto &[name, value] : command.environment)
            environment.insert(name, value);
        process.setProcessEnvironment(environment);
    }
    if (!process.startDetached())
        return failed(process.errorString());
    return {};
}

} // namespace launch

} // namespace orv::core
