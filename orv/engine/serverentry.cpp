// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/serverentry.h"

#include "orv/engine/textutil.h"

namespace orv::engine {

namespace {

// Columns 2 to 22 in order; column 3 (players) is built from two fields.
QString ServerInfo::*const kInfoColumns[] = {
    &ServerInfo::gamename,        nullptr,
    &ServerInfo::mapname,         &ServerInfo::maptitle,
    &ServerInfo::gametype,        &ServerInfo::timelimit,
    &ServerInfo::fraglimit,       &ServerInfo::goalteamscore,
    &ServerInfo::multiplayerbots, &ServerInfo::botskill,
    &ServerInfo::mutators,        &ServerInfo::gamestyle,
    &ServerInfo::tournament,      &ServerInfo::maxteams,
    &ServerInfo::balanceteams,    &ServerInfo::playersbalanceteams,
    &ServerInfo::friendlyfire,    &ServerInfo::changelevels,
    &ServerInfo::worldlog,        &ServerInfo::adminname,
    &ServerInfo::adminemail,
};

const QString kEmpty;

} // namespace

const QString &ServerEntry::column(int column) const
{
    if (column == 0)
        return caption;
    if (column < 0 || column >= kServerColumns)
        return kEmpty;
    return subItems[static_cast<size_t>(column - 1)];
}

void ServerEntry::setColumn(int column, const QString &text)
{
    if (column == 0)
        caption = text;
    else if (column > 0 && column < kServerColumns)
        subItems[static_cast<size_t>(column - 1)] = text;
}

AddressWords ServerEntry::words() const
{
    return {column(kColumnAddress), column(kColumnGamePort), column(kColumnQueryPort)};
}

void ServerEntry::setWords(const AddressWords &words)
{
    setColumn(kColumnAddress, words.address);
    setColumn(kColumnGamePort, words.gamePort);
    setColumn(kColumnQueryPort, words.queryPort);
    address = words.toServer();
}

ServerEntry ServerEntry::rebuilt(const AddressWords &server, bool favorite)
{
    ServerEntry entry;
    entry.caption = server.address;
    entry.state = RowState::Listed;
    entry.setColumn(kColumnPing, QStringLiteral("9999"));
    for (int c = 2; c <= 22; ++c)
        entry.setColumn(c, QStringLiteral("N/A"));
    entry.setWords(server);
    entry.icon = iconFor(RowIcon::NoPing, favorite);
    return entry;
}

void ServerEntry::fillFrom(const ServerInfo &info)
{
    setColumn(kColumnPing, QString::number(info.ping));
    for (int c = 2; c <= 22; ++c) {
        QString ServerInfo::*member = kInfoColumns[c - 2];
        if (member)
            setColumn(c, info.*member);
    }
    setColumn(3, info.numplayers + QStringLiteral(" / ") + info.maxplayers);
    setColumn(kColumnGamePort, info.hostport);
    setColumn(kColumnQueryPort, info.infoport);
    if (address) {
        if (const auto reported = parsePortNumber(info.hostport))
            address->gamePort = *reported;
        setColumn(kColumnGamePort, address->gamePortText());
    }
}

bool ServerEntry::isAnswered() const
{
    const int state = icon % kFavoriteIconOffset;
    return icon >= 0 && icon < 2 * kFavoriteIconOffset && state <= static_cast<int>(RowIcon::Bad);
}

int iconFor(RowIcon icon, bool favorite)
{
    return static_cast<int>(icon) + (favorite ? kFavoriteIconOffset : 0);
}

int withFavoriteMark(int icon, bool favorite)
{
    if (favorite)
        return icon >= 0 && icon < kFavoriteIconOffset ? icon + kFavoriteIconOffset : icon;
    return icon >= kFavoriteIconOffset && icon < 2 * kFavoriteIconOffset ? icon - kFavoriteIconOffset : icon;
}

} // namespace orv::engine
