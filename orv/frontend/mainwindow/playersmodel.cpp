// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/playersmodel.h"

#include <algorithm>
#include <optional>

#include "orv/engine/textutil.h"
#include "orv/words/rowwords.h"

namespace orv::frontend {

namespace {

const char *const kCaptions[PlayersModel::kColumns] = {"Player nickname", "Frags", "Team", "Ping", "Skin", "Mesh",
                                                       "Face (UT)"};

} // namespace

PlayersModel::PlayersModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

int PlayersModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int PlayersModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant PlayersModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row &r = row(index.row());
    if (role == Qt::DisplayRole)
        return index.column() == 0 ? r.caption : r.subItems[static_cast<size_t>(index.column() - 1)];
    if (role == kIconIndexRole && index.column() == 0 && r.icon >= 0)
        return r.icon;
    return {};
}

QVariant PlayersModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumns)
        return QString::fromLatin1(kCaptions[section]);
    return {};
}

void PlayersModel::clear()
{
    if (m_rows.empty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void PlayersModel::showPlayers(const orv::engine::ServerInfo &info, const SkinLookup &lookup)
{
    beginResetModel();
    m_rows.clear();
    for (const orv::engine::PlayerEntry &player : orv::engine::listedPlayers(info)) {
        Row r;
        r.caption = player.name;
        r.teamWord = orv::engine::teamWord(player.team);
        r.icon = lookup ? lookup(info, player) : 0;
        r.subItems = {player.frags, orv::words::teamLabel(player.team), player.ping, player.skin, player.mesh,
                      player.face};
        m_rows.push_back(std::move(r));
    }
    endResetModel();
}

void PlayersModel::sortByFrags()
{
    auto frags = [](const Row &r) { return orv::engine::parseWholeNumber(r.subItems[0]); };
    beginResetModel();
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const Row &a, const Row &b) {
        const std::optional<qint64> fa = frags(a);
        const std::optional<qint64> fb = frags(b);
        if (fa && fb)
            return *fa > *fb;
        return fa.has_value() && !fb.has_value();
    });
    endResetModel();
}

} // namespace orv::frontend
