// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "platform/desktopentry.h"
#include "platform/paths.h"
#include "platform/textfile.h"

namespace platform::shell {

namespace {

QString wineProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("wine"));
}

// A launcher's file name from its display name: no folder separators, no control characters.
QString launcherFileName(const QString &name)
{
    QString base;
    for (QChar c : name) {
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20 || c == QChar(0x7f))
            base += u'_';
        else
            base += c;
    }
    base = base.trimmed();
    while (base.startsWith(u'.'))
        base.remove(0, 1);
    if (base.isEmpty())
        base = QStringLiteral("launcher");
    return base + QStringLiteral(".desktop");
}

} // namespace

bool openUrl(const QString &url)
{
    const QUrl parsed(url.trimmed(), QUrl::StrictMode);
    if (!parsed.isValid() || parsed.scheme().isEmpty())
        return false;
    return QDesktopServices::openUrl(parsed);
}

bool needsWine(const QString &program)
{
#ifdef Q_OS_WIN
    Q_UNUSED(program);
    return false;
#else
    return program.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive);
#endif
}

Status startDetached(const QString &program, const QStringList &arguments, const QString &workingDir)
{
    if (program.trimmed().isEmpty())
        return Error{1, QStringLiteral("No program to start.")};
    QString dir = workingDir;
    if (dir.isEmpty()) {
        const QFileInfo info(program);
        if (program.contains(u'/') || program.contains(u'\\'))
            dir = info.absolutePath();
    }
    QString executable = program;
    QStringList args = arguments;
    if (needsWine(program)) {
        const QString wine = wineProgram();
        if (wine.isEmpty())
            return Error{2, QStringLiteral("Cannot start %1: Wine is not installed.").arg(program)};
        executable = wine;
        args.prepend(program);
    }
    QProcess process;
    process.setProgram(executable);
    process.setArguments(args);
    if (!dir.isEmpty())
        process.setWorkingDirectory(dir);
    if (!process.startDetached())
        return Error{3, QStringLiteral("Cannot start %1: %2").arg(program, process.errorString())};
    return {};
}

Result<QString> createDesktopLauncher(const QString &name, const QString &target, const QStringList &arguments,
                                      const QString &iconPath, const QString &folder)
{
    const QString dir = folder.isEmpty() ? paths::desktopFolder() : folder;
    if (!QDir().mkpath(dir))
        return Error{1, QStringLiteral("The folder %1 cannot be created.").arg(dir)};
    QStringList command;
    if (needsWine(target)) {
        const QString wine = wineProgram();
        if (wine.isEmpty())
            return Error{2, QStringLiteral("Cannot make a launcher for %1: Wine is not installed.").arg(target)};
        command << wine;
    }
    command << target << arguments;
    const QString workingDir = QFileInfo(target).absolutePath();

    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Version=1.0\n"
                                  "Type=Application\n");
    text += QStringLiteral("Name=") + desktopentry::escapeString(name) + u'\n';
    text += QStringLiteral("Exec=") + desktopentry::escapeString(desktopentry::quoteExec(command)) + u'\n';
    if (target.contains(u'/'))
        text += QStringLiteral("Path=") + desktopentry::escapeString(workingDir) + u'\n';
    if (!iconPath.isEmpty())
        text += QStringLiteral("Icon=") + desktopentry::escapeString(iconPath) + u'\n';
    text += QStringLiteral("Terminal=false\n");

    const QString path = QDir(dir).filePath(launcherFileName(name));
    if (Status written = textfile::writeAtomically(path, text.toUtf8()); !written)
        return written.error();
    // Desktops only start launchers that are executable.
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    return path;
}

} // namespace platform::shell
