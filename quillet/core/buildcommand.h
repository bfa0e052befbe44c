// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>
#include <QStringList>

namespace quillet::core {

// How the build command line is started: program, its arguments and its working folder.
struct BuildCommand
{
    QString program;
    QStringList arguments;
    QString workingDir;

    friend bool operator==(const BuildCommand &, const BuildCommand &) = default;
};

// Splits the stored build command. The program path runs up to and including the first
// ".exe" (so a Windows path with blanks needs no quotes; ".EXE" and other cases are
// accepted too), the rest are its arguments; a command without ".exe" (a native compiler)
// is split like a command line and its first word is the program. The working folder is
// the program's folder. Windows drive paths ("C:\...") are mapped into the Wine prefix
// ($WINEPREFIX or ~/.wine) on other systems, so "C:\UnrealTournament\System\UCC.exe make"
// runs the compiler installed there. nullopt when the command names no program.
std::optional<BuildCommand> parseBuildCommand(const QString &command);

// A path as typed for Windows made usable here: on Windows itself unchanged; elsewhere a
// drive path goes below "<wine prefix>/dosdevices/<drive>:" and backslashes become slashes.
QString nativeProgramPath(const QString &path);

// The build command to offer when none is stored, from what is installed around the
// configured system folder: the native compiler of a native install ("System64/ucc-bin-amd64",
// "SystemARM64/ucc-bin-arm64", "System/ucc-bin"), which runs in its own folder, else
// "UCC.exe make" in the system folder, started through Wine.
QString defaultBuildCommand(const QString &utSysDir);

// The folder of a chosen file as the editor remembers it: without a trailing separator,
// except for a root ("/", "C:\").
QString directoryOfFile(const QString &filePath);

} // namespace quillet::core
