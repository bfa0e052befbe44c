// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <utility>

#include <QByteArray>
#include <QList>

namespace orv::demo {

// One key/value pair as it goes on the wire. Both halves are raw bytes: servers of that era
// send their names and titles in the Windows code page 1252, patched UT servers (469 and
// later) in UTF-8.
using WirePair = std::pair<QByteArray, QByteArray>;

// One player of a simulated server, as a real server reports it in its "players" section.
struct PlayerDescription
{
    QByteArray name;
    int frags = 0;
    int ping = 50;
    // 0 red, 1 blue, 2 green, 3 gold; 255 for spectators and for games without teams.
    int team = 255;
    QByteArray mesh = "Male Commando";
    QByteArray skin = "CommandoSkins.cmdo";
    QByteArray face = "CommandoSkins.Blake";
    // Only UT servers send the "ngsecret" flag and the face; Unreal servers leave both out.
    bool ngSecret = true;
};

// One team of a team game. Its size is counted from the players at answer time.
struct TeamDescription
{
    QByteArray name;
    // As servers format it: "12.000000".
    QByteArray score;
};

// Where a server reports its teams: nowhere, after the players of its status answer (the
// common query extension), or only in its answer to "\teams\" (UT 469 and later).
enum class TeamsIn { Nowhere, Status, TeamsQuery };

// Everything a simulated game server reports about itself. The answer builder turns it into
// the "basic", "info", "rules" and "players" sections in the order real servers use.
struct ServerDescription
{
    // "ut" for Unreal Tournament, "unreal" for Unreal.
    QByteArray gameName = "ut";
    QByteArray gameVersion = "451";
    QByteArray minNetVersion = "432";
    QByteArray location = "0";

    QByteArray hostName = "Demo Server";
    int hostPort = 7777;
    QByteArray mapTitle = "Deck 16";
    QByteArray mapName = "DM-Deck16][";
    QByteArray gameType = "DeathMatchPlus";
    int maxPlayers = 16;
    // The "numplayers" value; by default the number of players below. Set it to report a
    // count that disagrees with the player records, as some modified servers do.
    std::optional<int> reportedNumPlayers;
    QByteArray gameMode = "openplaying";

    // Rules section: "mutators", "listenserver" and "password" come first, then the game
    // type's own rules (timelimit, fraglimit, goalteamscore, …) in the order given, then
    // "AdminName" and "AdminEMail". An empty mutator list leaves the key out.
    QByteArray mutators;
    bool listenServer = false;
    bool password = false;
    QList<WirePair> rules;
    QByteArray adminName;
    QByteArray adminEmail;

    QList<PlayerDescription> players;
    QList<TeamDescription> teams;
    TeamsIn teamsIn = TeamsIn::Nowhere;

    int numPlayers() const { return reportedNumPlayers.value_or(static_cast<int>(players.size())); }
    bool isUnreal() const { return gameName.compare("unreal", Qt::CaseInsensitive) == 0; }
};

} // namespace orv::demo
