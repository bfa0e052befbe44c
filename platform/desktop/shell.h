// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include "platform/argumentsplit.h"
#include "platform/result.h"

// Starting programs and opening addresses, without ever going through a shell.
namespace platform::shell {

// Opens a web address or a "mailto:" address with the desktop's default program.
bool openUrl(const QString &url);

// Starts the program detached with exactly these arguments. On Linux a Windows ".exe" is
// started through wine when wine is installed. workingDir empty: the program's folder.
Status startDetached(const QString &program, const QStringList &arguments, const QString &workingDir = {});

// True when the file would be started through wine on this platform.
bool needsWine(const QString &program);

// Writes a desktop launcher (a .desktop file on Linux) into folder (default: the user's
// desktop folder) and returns its path.
Result<QString> createDesktopLauncher(const QString &name, const QString &target, const QStringList &arguments,
                                      const QString &iconPath, const QString &folder = {});

} // namespace platform::shell
