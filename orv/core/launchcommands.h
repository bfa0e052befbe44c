// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "orv/core/playerpresets.h"
#include "platform/result.h"

namespace orv::core {

// The command lines the launcher builds, free of windows so they can be checked alone.
namespace launch {

// The team number of a team colour: "None" 255, "Red" 0, "Blue" 1, "Green" 2, "Gold" 3,
// anything else (no colour chosen) 0.
int teamNumber(const QString &team);
// The option pairs of a preset in the game's order ("?Name=Bob?Team=255…").
QString optionPairs(const PlayerPreset &preset, bool ut);
// address "?port=" game port, then the option pairs.
QString connectionUrl(const QString &address, const QString &gamePort, const PlayerPreset &preset, bool ut);
// The game's arguments: the URL as one argument (none when empty), then the user's extra
// text split as a command line. Nothing in the URL can become a further argument.
QStringList gameArguments(const QString &url, const QString &extraText);
// The command text the log shows: executable, URL and extra text separated by blanks.
QString commandText(const QString &executable, const QString &url, const QString &extraText);
// Why a server's address and game port cannot go into a URL, or nullopt when they can:
// the port must be a whole number 0-65535 and the address a single word that does not
// start with "-" (a game would read that as a switch).
std::optional<QString> badServerTarget(const QString &address, const QString &gamePort);

QString clipboardAddress(const QString &address, const QString &gamePort);
QString unrealUrl(const QString &address);
QString mailUrl(const QString &email);
// The web address "Go to address" opens: "http://" + address. The Windows shell also took
// "http:\\" + address, which no browser here opens.
QString webUrl(const QString &address);

// A server link as web pages give it: unreal://ADDRESS[:PORT][/...][?password=...].
struct UnrealLink
{
    QString address;
    QString gamePort = QStringLiteral("7777");
    std::optional<QString> password;
};
// Reads a link; the error says what is wrong with it. The address is a host name or an
// IPv4 address, the port a number 1-65535; a password that could smuggle further options
// into the game's URL ("?", blanks) is refused.
platform::Result<UnrealLink> parseUnrealLink(const QString &text);

// A program to start, as the launcher starts it: no shell ever reads it.
struct GameCommand
{
    QString program;
    QStringList arguments;
    QString workingFolder;
    // Variables set for the program on top of the launcher's own environment.
    QList<std::pair<QString, QString>> environment;

    // The command as the user would type it, for messages and the log.
    QString text() const;
};

// The Wine prefix a Windows program lies in (the folder whose "drive_c" holds it), or
// empty when its path has no drive_c.
QString winePrefixOf(const QString &path);
// A file's path as a Windows program running under Wine reads it: through the prefix's
// drive letters (its dosdevices links, "C:" for drive_c), else through "Z:", the root.
QString windowsPath(const QString &path, const QString &prefix);

// The command that starts a game file with its arguments. A native program starts itself;
// a Windows program (".exe") starts through wine, with WINEPREFIX set when it lies in a
// prefix's drive_c. Both run in the game file's folder. commandLine, when not empty, is
// the user's wrapper: its words are split as a command line and the word "%command%"
// stands for the game and its arguments; without that word they come after it.
GameCommand buildGameCommand(const QString &gameFile, const QStringList &arguments, const QString &commandLine);

// Why the command cannot start, or nullopt when it can: a program named by path must be an
// executable file, one named by name must be found on PATH.
std::optional<QString> commandProblem(const GameCommand &command);
// Starts the command detached, after commandProblem(); the error names the command.
platform::Status startGameCommand(const GameCommand &command);

} // namespace launch

} // namespace orv::core
