// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <span>

#include <QByteArrayView>
#include <QString>

namespace orv::engine {

constexpr int kPlayerSlots = 32;
constexpr int kTeamSlots = 16;
constexpr quint16 kNoPing = 9999;

// One player slot of a decoded server; every field is cut to its width.
struct PlayerEntry
{
    QString name;
    QString frags;
    QString ping;
    QString team;
    QString skin;
    QString mesh;
    QString face;

    PlayerEntry();
};

// One team of a team game, from the keys teamname_N, teamscore_N and teamsize_N (N from 0).
// The score stays text as sent ("12.000000"); empty fields were not sent.
struct TeamEntry
{
    QString name;
    QString score;
    QString size;
};

// The decoded values of one server in fixed-width text fields named after the reply keys.
// Numbers stay text, as the servers sent them.
struct ServerInfo
{
    QString gamename;
    QString hostname;
    QString shortname;
    QString mapname;
    QString gametype;
    QString numplayers;
    QString maxplayers;
    QString gamemode;
    QString gamever;
    QString mingamever;
    QString hostport;
    QString infoport;
    quint16 ping = kNoPing;
    QString minnetver;
    QString maptitle;
    QString timelimit;
    QString fraglimit;
    QString multiplayerbots;
    QString changelevels;
    QString adminname;
    QString adminemail;
    QString goalteamscore;
    QString worldlog;
    QString listenserver;
    QString tournament;
    QString mutators;
    QString gamestyle;
    QString botskill;
    QString maxteams;
    QString balanceteams;
    QString playersbalanceteams;
    QString friendlyfire;
    // Slots 1 to 32 live at indexes 0 to 31.
    std::array<PlayerEntry, kPlayerSlots> players;
    // Teams 0 to 15 at their number; teamCount is one more than the highest number sent,
    // 0 when the server sent no team data.
    std::array<TeamEntry, kTeamSlots> teams;
    int teamCount = 0;

    // Every field at its default: hostname the address, hostport the game port asked
    // about, infoport the query port asked on, ping 9999 and 32 default player slots.
    static ServerInfo defaults(const QString &address, const QString &gamePort, const QString &queryPort);

    // Stores the value in the field whose key is given (lower case), cut to its width.
    // False when no text field has that key; infoport has none.
    bool setField(QByteArrayView lowerKey, const QString &value);
    // The text field of that key name (infoport included), or nullptr.
    const QString *field(QByteArrayView lowerKey) const;
};

// The text fields of ServerInfo in table order, with their key names and widths.
struct ServerInfoField
{
    const char *key;
    QString ServerInfo::*member;
    int width;
    bool fromReply; // false for infoport, which no reply key fills
};
std::span<const ServerInfoField> serverInfoFields();
// The field of a key name in lower case (infoport included), or nullptr.
const ServerInfoField *findServerInfoField(QByteArrayView lowerKey);

// Player field of one slot by base key name ("player", "frags", ...); nullptr for others.
struct PlayerField
{
    const char *base;
    QString PlayerEntry::*member;
    int width;
};
std::span<const PlayerField> playerFields();
const PlayerField *findPlayerField(QByteArrayView lowerBase);

// The players a players view lists: slots 1 to min(numplayers, 32); none when numplayers
// is not a whole number or not positive.
std::span<const PlayerEntry> listedPlayers(const ServerInfo &info);

// The teams a server reported, in team-number order; none when it sent no team data.
std::span<const TeamEntry> listedTeams(const ServerInfo &info);
// Team field by base key name ("teamname", "teamscore", "teamsize"); nullptr for others.
struct TeamField
{
    const char *base;
    QString TeamEntry::*member;
    int width;
};
const TeamField *findTeamField(QByteArrayView lowerBase);
// A team score as a number: "12.000000" gives 12, "12.500000" 12.5; empty when not a number.
std::optional<double> teamScoreValue(const QString &score);
// "Red 12 (1) : Blue 7.5 (2)": name, score and size of each team; empty when there are none.
QString teamSummary(const ServerInfo &info);

// Team labels of a player's team number: "0" red ... "3" gold, else none.
QString teamWord(const QString &team);

enum class GameKind { Unreal, UT, Other };

// Unreal when the game name equals the first beacon sign, UT when it equals the second
// (both ignoring letter case), Other otherwise (also "N/A" before the server answered).
GameKind GameKindOf(const QString &gamename, const QString &beaconSign1, const QString &beaconSign2);

} // namespace orv::engine
