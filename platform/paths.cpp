// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform::paths {

namespace {

QString xdgFolder(const char *variable, const QString &fallbackBelowHome)
{
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return value;
    return QDir(homeFolder()).filePath(fallbackBelowHome);
}

QString ensured(const QString &folder)
{
    QDir().mkpath(folder);
    return folder;
}

} // namespace

QString homeFolder()
{
    const QString home = qEnvironmentVariable("HOME");
    return home.isEmpty() ? QDir::homePath() : home;
}

QString programFolder()
{
#ifdef Q_OS_WIN
    return ensured(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
#else
    return ensured(QDir(xdgFolder("XDG_DATA_HOME", QStringLiteral(".local/share"))).filePath(QStringLiteral("orvane")));
#endif
}

QString configFolder()
{
#ifdef Q_OS_WIN
    return ensured(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
#else
    return ensured(
        QDir(xdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config"))).filePath(QStringLiteral("orvane-tools")));
#endif
}

QString executableFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
#ifdef Q_OS_LINUX
    // Before the application object exists (--version is answered first): the kernel's
    // link to the running executable.
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.exists())
        return QFileInfo(self.canonicalFilePath()).absolutePath();
#endif
    return {};
}

QString shippedDataFolder()
{
    const QString appDir = executableFolder();
    if (!appDir.isEmpty()) {
        const QStringList candidates{QDir(appDir).filePath(QStringLiteral("data")),
                                     QDir(appDir).filePath(QStringLiteral("../share/orvane"))};
        for (const QString &candidate : candidates) {
            if (QFileInfo(candidate).isDir())
                return QDir::cleanPath(candidate);
        }
    }
    return {};
}

QStringList copyMissingShippedFiles(const QStringList &fileNames)
{
    QStringList copied;
    const QString from = shippedDataFolder();
    if (from.isEmpty())
        return copied;
    const QDir target(programFolder());
    for (const QString &name : fileNames) {
        const QString destination = target.filePath(name);
        if (QFileInfo::exists(destination))
            continue;
        const QString source = QDir(from).filePath(name);
        if (QFileInfo::exists(source) && QFile::copy(source, destination)) {
            // Shipped files are installed read-only; the user's copy must be writable.
            QFile::setPermissions(destination, QFile::permissions(destination) | QFileDevice::WriteOwner);
            copied.append(name);
        }
    }
    return copied;
}

QString tempFolder()
{
    return QDir::tempPath();
}

QString desktopFolder()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return desktop.isEmpty() ? QDir(homeFolder()).filePath(QStringLiteral("Desktop")) : desktop;
}

} // namespace platform::paths
