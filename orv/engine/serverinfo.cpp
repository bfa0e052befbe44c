// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/serverinfo.h"

#include <algorithm>
#include <cmath>

#include <QHash>
#include <QStringList>

#include "orv/engine/textutil.h"

namespace orv::engine {

namespace {

const QString kNotAvailable = QStringLiteral("N/A");
const QString kNotComplete = QStringLiteral("Information not complete.");

constexpr ServerInfoField kFields[] = {
    {"gamename", &ServerInfo::gamename, 16, true},
    {"hostname", &ServerInfo::hostname, 128, true},
    {"shortname", &ServerInfo::shortname, 128, true},
    {"mapname", &ServerInfo::mapname, 20, true},
    {"gametype", &ServerInfo::gametype, 20, true},
    {"numplayers", &ServerInfo::numplayers, 2, true},
    {"maxplayers", &ServerInfo::maxplayers, 2, true},
    {"gamemode", &ServerInfo::gamemode, 20, true},
    {"gamever", &ServerInfo::gamever, 4, true},
    {"mingamever", &ServerInfo::mingamever, 4, true},
    {"hostport", &ServerInfo::hostport, 6, true},
    {"infoport", &ServerInfo::infoport, 6, false},
    {"minnetver", &ServerInfo::minnetver, 4, true},
    {"maptitle", &ServerInfo::maptitle, 20, true},
    {"timelimit", &ServerInfo::timelimit, 3, true},
    {"fraglimit", &ServerInfo::fraglimit, 10, true},
    {"multiplayerbots", &ServerInfo::multiplayerbots, 5, true},
    {"changelevels", &ServerInfo::changelevels, 5, true},
    {"adminname", &ServerInfo::adminname, 50, true},
    {"adminemail", &ServerInfo::adminemail, 50, true},
    {"goalteamscore", &ServerInfo::goalteamscore, 10, true},
    {"worldlog", &ServerInfo::worldlog, 5, true},
    {"listenserver", &ServerInfo::listenserver, 5, true},
    {"tournament", &ServerInfo::tournament, 5, true},
    {"mutators", &ServerInfo::mutators, 128, true},
    {"gamestyle", &ServerInfo::gamestyle, 20, true},
    {"botskill", &ServerInfo::botskill, 20, true},
    {"maxteams", &ServerInfo::maxteams, 10, true},
    {"balanceteams", &ServerInfo::balanceteams, 5, true},
    {"playersbalanceteams", &ServerInfo::playersbalanceteams, 5, true},
    {"friendlyfire", &ServerInfo::friendlyfire, 10, true},
};

constexpr PlayerField kPlayerFields[] = {
    {"player", &PlayerEntry::name, 20}, {"frags", &PlayerEntry::frags, 10}, {"ping", &PlayerEntry::ping, 10},
    {"team", &PlayerEntry::team, 10},   {"skin", &PlayerEntry::skin, 30},   {"mesh", &PlayerEntry::mesh, 30},
    {"face", &PlayerEntry::face, 30},
};

constexpr TeamField kTeamFields[] = {
    {"teamname", &TeamEntry::name, 30},
    {"teamscore", &TeamEntry::score, 16},
    {"teamsize", &TeamEntry::size, 4},
};

// Every word of every datagram is looked up as a key, so the lookup is a hash probe on the
// word's own bytes rather than a scan of the table.
template <typename Field, size_t N>
QHash<QByteArray, const Field *> indexByName(const Field (&fields)[N], const char *Field::*name)
{
    QHash<QByteArray, const Field *> index;
    for (const Field &f : fields)
        index.insert(QByteArray(f.*name), &f);
    return index;
}

} // namespace

const ServerInfoField *findServerInfoField(QByteArrayView lowerKey)
{
    static const auto index = indexByName(kFields, &ServerInfoField::key);
    if (lowerKey.size() < 7 || lowerKey.size() > 19)
        return nullptr;
    return index.value(QByteArray::fromRawData(lowerKey.data(), lowerKey.size()), nullptr);
}

const PlayerField *findPlayerField(QByteArrayView lowerBase)
{
    static const auto index = indexByName(kPlayerFields, &PlayerField::base);
    if (lowerBase.size() < 4 || lowerBase.size() > 6)
        return nullptr;
    return index.value(QByteArray::fromRawData(lowerBase.data(), lowerBase.size()), nullptr);
}

const TeamField *findTeamField(QByteArrayView lowerBase)
{
    if (lowerBase.size() < 8 || lowerBase.size() > 9 || !lowerBase.startsWith(QByteArrayView("team")))
        return nullptr;
    for (const TeamField &f : kTeamFields) {
        if (lowerBase == QByteArrayView(f.base))
            return &f;
    }
    return nullptr;
}

std::span<const TeamEntry> listedTeams(const ServerInfo &info)
{
    return std::span<const TeamEntry>(info.teams.data(),
                                      static_cast<size_t>(std::clamp(info.teamCount, 0, kTeamSlots)));
}

std::optional<double> teamScoreValue(const QString &score)
{
    bool ok = false;
    const double value = score.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString teamSummary(const ServerInfo &info)
{
    QStringList parts;
    for (const TeamEntry &team : listedTeams(info)) {
        const auto score = teamScoreValue(team.score);
        QString part = team.name.isEmpty() ? QStringLiteral("?") : team.name;
        part += QLatin1Char(' ') + (score ? QString::number(*score, 'g', 12) : QStringLiteral("-"));
        if (!team.size.isEmpty())
            part += QStringLiteral(" (") + team.size + QLatin1Char(')');
        parts.append(part);
    }
    return parts.join(QStringLiteral(" : "));
}

PlayerEntry::PlayerEntry()
    : name(kNotComplete.left(20))
    , frags(QStringLiteral("0"))
    , ping(QStringLiteral("9999"))
    , team(kNotAvailable)
    , skin(kNotAvailable)
    , mesh(kNotAvailable)
    , face(kNotAvailable)
{}

ServerInfo ServerInfo::defaults(const QString &address, const QString &gamePort, const QString &queryPort)
{
    static const ServerInfo base = [] {
        ServerInfo info;
        for (const ServerInfoField &f : kFields)
            info.*(f.member) = kNotAvailable;
        for (QString ServerInfo::*empty : {&ServerInfo::shortname, &ServerInfo::gamemode, &ServerInfo::gamever,
                                           &ServerInfo::mingamever, &ServerInfo::minnetver, &ServerInfo::listenserver})
            info.*empty = QString();
        info.numplayers = QStringLiteral("0");
        info.maxplayers = QStringLiteral("0");
        return info;
    }();
    ServerInfo info = base;
    info.hostname = leftChars(address, 128);
    info.hostport = leftChars(gamePort, 6);
    info.infoport = leftChars(queryPort, 6);
    return info;
}

bool ServerInfo::setField(QByteArrayView lowerKey, const QString &value)
{
    const ServerInfoField *f = findServerInfoField(lowerKey);
    if (!f || !f->fromReply)
        return false;
    this->*(f->member) = leftChars(value, f->width);
    return true;
}

const QString *ServerInfo::field(QByteArrayView lowerKey) const
{
    const ServerInfoField *f = findServerInfoField(lowerKey);
    return f ? &(this->*(f->member)) : nullptr;
}

std::span<const ServerInfoField> serverInfoFields()
{
    return kFields;
}

std::span<const PlayerField> playerFields()
{
    return kPlayerFields;
}

std::span<const PlayerEntry> listedPlayers(const ServerInfo &info)
{
    const auto n = parseWholeNumber(info.numplayers);
    if (!n || *n <= 0)
        return {};
    const auto count = static_cast<size_t>(std::min<qint64>(*n, kPlayerSlots));
    return std::span<const PlayerEntry>(info.players.data(), count);
}

QString teamWord(const QString &team)
{
    if (team == QLatin1String("0"))
        return QStringLiteral("red");
    if (team == QLatin1String("1"))
        return QStringLiteral("blue");
    if (team == QLatin1String("2"))
        return QStringLiteral("green");
    if (team == QLatin1String("3"))
        return QStringLiteral("gold");
    return QStringLiteral("none");
}

GameKind GameKindOf(const QString &gamename, const QString &beaconSign1, const QString &beaconSign2)
{
    if (gamename.compare(beaconSign1, Qt::CaseInsensitive) == 0)
        return GameKind::Unreal;
    if (gamename.compare(beaconSign2, Qt::CaseInsensitive) == 0)
        return GameKind::UT;
    return GameKind::Other;
}

} // namespace orv::engine
