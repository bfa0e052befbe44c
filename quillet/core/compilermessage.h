// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>
#include <QStringView>

namespace quillet::core {

enum class MessageKind { Error, Warning };

// A line of the script compiler that names a place in a script:
// "C:\UT\MyPkg\Classes\A.uc(12) : Error, Bad expression", "..\MyPkg\Classes\A.uc(3) : Warning, ...".
struct CompilerMessage
{
    MessageKind kind = MessageKind::Error;
    QString file; // as the compiler wrote it
    int line = 0; // counted from 1
};

// The message a line of compiler output carries; nullopt for every other line.
std::optional<CompilerMessage> parseCompilerMessage(QStringView line);

// The script file a compiler message names, as a path on this system: absolute paths
// (Windows drive paths go into the Wine prefix), paths relative to the build's folder or to
// the game folder above it, and a bare "Name.uc" found in a package's Classes folder. Letter
// case is matched loosely, as the games' Windows heritage needs. Empty when nothing exists.
QString resolveScriptPath(const QString &named, const QString &buildDir);

} // namespace quillet::core
