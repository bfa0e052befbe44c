// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/core/buildcommand.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "platform/argumentsplit.h"

namespace quillet::core {

namespace {

bool isDrivePath(const QString &path)
{
    return path.size() >= 3 && path.at(0).isLetter() && path.at(0).unicode() < 128 && path.at(1) == u':' &&
           (path.at(2) == u'\\' || path.at(2) == u'/');
}

QString folderOf(const QString &path)
{
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    if (cut < 0)
        return {};
    if (cut == 0)
        return path.left(1);
    return path.left(cut);
}

// A path as one word of a command line.
QString quoted(QString path)
{
    if (!path.contains(u' ') && !path.contains(u'"'))
        return path;
    path.replace(QStringLiteral("\""), QStringLiteral("\\\""));
    return u'"' + path + u'"';
}

} // namespace

QString nativeProgramPath(const QString &path)
{
#ifdef Q_OS_WIN
    return path;
#else
    if (isDrivePath(path)) {
        QString prefix = qEnvironmentVariable("WINEPREFIX");
        if (prefix.isEmpty())
            prefix = QDir::homePath() + QStringLiteral("/.wine");
        QString rest = path.mid(3);
        rest.replace(u'\\', u'/');
        return prefix + QStringLiteral("/dosdevices/") + path.at(0).toLower() + QStringLiteral(":/") + rest;
    }
    QString converted = path;
    converted.replace(u'\\', u'/');
    return converted;
#endif
}

std::optional<BuildCommand> parseBuildCommand(const QString &command)
{
    const QString trimmed = command.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;

    QString programText;
    QString parameters;
    qsizetype exe = trimmed.indexOf(QStringLiteral(".exe"));
    if (exe < 0)
        exe = trimmed.indexOf(QStringLiteral(".exe"), 0, Qt::CaseInsensitive);
    if (exe >= 0) {
        programText = trimmed.left(exe + 4).trimmed();
        // A quoted program path: the quotes are not part of the file name.
        if (programText.startsWith(u'"')) {
            programText.remove(0, 1);
            if (trimmed.mid(exe + 4).startsWith(u'"'))
                ++exe;
        }
        parameters = trimmed.mid(exe + 4).trimmed();
    } else {
        QStringList words = platform::shell::splitCommandLine(trimmed);
        if (words.isEmpty() || words.first().trimmed().isEmpty())
            return std::nullopt;
        programText = words.takeFirst();
        BuildCommand build;
        build.program = nativeProgramPath(programText);
        build.arguments = words;
        build.workingDir = folderOf(build.program);
        return build;
    }
    // ".exe" alone names no program.
    if (programText.size() <= 4)
        return std::nullopt;

    BuildCommand build;
    build.program = nativeProgramPath(programText);
    build.arguments = parameters.isEmpty() ? QStringList() : platform::shell::splitCommandLine(parameters);
    build.workingDir = folderOf(build.program);
    return build;
}

QString defaultBuildCommand(const QString &utSysDir)
{
    const QString typed =
        utSysDir.trimmed().isEmpty() ? QStringLiteral("C:\\UnrealTournament\\System") : utSysDir.trimmed();
    const QString systemDir = QDir::cleanPath(nativeProgramPath(typed));
    const QString gameDir = QFileInfo(systemDir).path();
    // The configured folder first, then the game's other system folders, 64-bit first.
    QStringList folders{systemDir};
    for (const QString &name : {QStringLiteral("System64"), QStringLiteral("SystemARM64"), QStringLiteral("System")}) {
        const QString folder = gameDir + u'/' + name;
        if (!folders.contains(folder))
            folders.append(folder);
    }
    const QStringList compilers{QStringLiteral("ucc-bin-amd64"), QStringLiteral("ucc-bin-arm64"),
                                QStringLiteral("ucc-bin"), QStringLiteral("ucc-bin-x86")};
    for (const QString &folder : folders) {
        for (const QString &compiler : compilers) {
            const QFileInfo info(folder + u'/' + compiler);
            if (info.isFile() && info.isExecutable())
                return quoted(info.absoluteFilePath()) + QStringLiteral(" make");
        }
    }
    // A Windows install (or nothing found): the compiler in the configured folder, through Wine.
    QString exe = QStringLiteral("UCC.exe");
    const QStringList present = QDir(systemDir).entryList({QStringLiteral("ucc.exe")}, QDir::Files);
    if (!present.isEmpty())
        exe = present.first();
    QString folder = typed;
    while (folder.endsWith(u'\\') || folder.endsWith(u'/'))
        folder.chop(1);
    const QChar separator = isDrivePath(typed) || typed.contains(u'\\') ? u'\\' : u'/';
    return folder + separator + exe + QStringLiteral(" make");
}

QString directoryOfFile(const QString &filePath)
{
    const qsizetype cut = std::max(filePath.lastIndexOf(u'/'), filePath.lastIndexOf(u'\\'));
    if (cut < 0)
        return {};
    // Keep the separator of a root: "/" and "C:\".
    if (cut == 0 || (cut == 2 && filePath.at(1) == u':'))
        return filePath.left(cut + 1);
    return filePath.left(cut);
}

} // namespace quillet::core
