// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "orv/core/playerpresets.h"

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

} // namespace launch

} // namespace orv::core
