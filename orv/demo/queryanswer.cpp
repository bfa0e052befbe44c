// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/demo/queryanswer.h"

#include <algorithm>

namespace orv::demo {

namespace {

QByteArray number(int value)
{
    return QByteArray::number(value);
}

QByteArray trueFalse(bool value)
{
    return value ? QByteArrayLiteral("True") : QByteArrayLiteral("False");
}

PairGroup basicSection(const ServerDescription &server)
{
    return {{"gamename", server.gameName},
            {"gamever", server.gameVersion},
            {"minnetver", server.minNetVersion},
            {"location", server.location}};
}

// Servers repeat gamever and minnetver in the info section; clients must cope with it.
PairGroup infoSection(const ServerDescription &server)
{
    return {{"hostname", server.hostName},
            {"hostport", number(server.hostPort)},
            {"maptitle", server.mapTitle},
            {"mapname", server.mapName},
            {"gametype", server.gameType},
            {"numplayers", number(server.numPlayers())},
            {"maxplayers", number(server.maxPlayers)},
            {"gamemode", server.gameMode},
            {"gamever", server.gameVersion},
            {"minnetver", server.minNetVersion},
            {"worldlog", "false"},
            {"wantworldlog", "false"}};
}

PairGroup rulesSection(const ServerDescription &server)
{
    PairGroup pairs;
    if (!server.mutators.isEmpty())
        pairs.append({"mutators", server.mutators});
    pairs.append({"listenserver", trueFalse(server.listenServer)});
    pairs.append({"password", trueFalse(server.password)});
    pairs.append(server.rules);
    if (!server.adminName.isEmpty())
        pairs.append({"AdminName", server.adminName});
    if (!server.adminEmail.isEmpty())
        pairs.append({"AdminEMail", server.adminEmail});
    return pairs;
}

// Each player is a group of its own so that a record never straddles two datagrams. Pings go
// out with a leading blank, as the real servers format them.
QList<PairGroup> playersSection(const ServerDescription &server)
{
    QList<PairGroup> groups;
    groups.reserve(server.players.size());
    const bool unreal = server.isUnreal();
    for (qsizetype i = 0; i < server.players.size(); ++i) {
        const PlayerDescription &player = server.players.at(i);
        const QByteArray suffix = '_' + QByteArray::number(i);
        PairGroup group{{"player" + suffix, player.name},
                        {"frags" + suffix, number(player.frags)},
                        {"ping" + suffix, ' ' + number(player.ping)},
                        {"team" + suffix, number(player.team)},
                        {"mesh" + suffix, player.mesh},
                        {"skin" + suffix, player.skin}};
        if (!unreal) {
            group.append({"face" + suffix, player.face});
            group.append({"ngsecret" + suffix, player.ngSecret ? "true" : "false"});
        }
        groups.append(group);
    }
    return groups;
}

// One group per team: teamname_N, teamscore_N and teamsize_N.
QList<PairGroup> teamsSection(const ServerDescription &server)
{
    QList<PairGroup> groups;
    for (qsizetype i = 0; i < server.teams.size(); ++i) {
        const QByteArray suffix = '_' + QByteArray::number(i);
        const auto size = std::count_if(server.players.cbegin(), server.players.cend(),
                                        [i](const PlayerDescription &p) { return p.team == i; });
        groups.append(PairGroup{{"teamname" + suffix, server.teams.at(i).name},
                                {"teamscore" + suffix, server.teams.at(i).score},
                                {"teamsize" + suffix, number(static_cast<int>(size))}});
    }
    return groups;
}

QByteArray encode(const PairGroup &group)
{
    QByteArray out;
    for (const auto &[key, value] : group) {
        out += '\\';
        out += key;
        out += '\\';
        out += value;
    }
    return out;
}

} // namespace

QList<PairGroup> answerGroups(const ServerDescription &server, QByteArrayView request)
{
    QList<PairGroup> groups;
    const QList<QByteArray> words = QByteArray(request.data(), request.size()).split('\\');
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QByteArray word = words.at(i).toLower();
        if (word == "basic" || word == "status")
            groups.append(basicSection(server));
        if (word == "info" || word == "status")
            groups.append(infoSection(server));
        if (word == "rules" || word == "status")
            groups.append(rulesSection(server));
        if (word == "players" || word == "status")
            groups.append(playersSection(server));
        if ((word == "status" && server.teamsIn == TeamsIn::Status) ||
            (word == "teams" && server.teamsIn != TeamsIn::Nowhere))
            groups.append(teamsSection(server));
        if (word == "echo") {
            // The echoed text is the next word, which is consumed.
            const QByteArray text = i + 1 < words.size() ? words.at(i + 1) : QByteArray();
            groups.append(PairGroup{{"echo", text}});
            ++i;
        }
    }
    return groups;
}

QList<QByteArray> packAnswer(const QList<PairGroup> &groups, int queryId, int maxSize)
{
    QList<QByteArray> bodies;
    QByteArray current;
    for (const PairGroup &group : groups) {
        const QByteArray encoded = encode(group);
        if (encoded.isEmpty())
            continue;
        // The limit counts the pairs only; the trailer comes on top, as on real servers.
        if (!current.isEmpty() && current.size() + encoded.size() > maxSize) {
            bodies.append(current);
            current.clear();
        }
        current += encoded;
    }
    if (!current.isEmpty())
        bodies.append(current);

    QList<QByteArray> datagrams;
    datagrams.reserve(bodies.size());
    for (qsizetype i = 0; i < bodies.size(); ++i) {
        QByteArray datagram = bodies.at(i);
        datagram += "\\queryid\\" + QByteArray::number(queryId) + '.' + QByteArray::number(i + 1);
        if (i + 1 == bodies.size())
            datagram += "\\final\\";
        datagrams.append(datagram);
    }
    return datagrams;
}

QList<QByteArray> buildAnswer(const ServerDescription &server, QByteArrayView request, int queryId, int maxSize)
{
    return packAnswer(answerGroups(server, request), queryId, maxSize);
}

} // namespace orv::demo
