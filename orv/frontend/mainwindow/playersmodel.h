// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>
#include <vector>

#include <QAbstractTableModel>

#include "orv/engine/serverinfo.h"

namespace orv::frontend {

// The players of the selected server: name, frags, team label, ping, skin, mesh and face,
// with the picture index the skin tables give each player.
class PlayersModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int kColumns = 7;
    // The picture index of a row, as the engine's server lists offer theirs.
    static constexpr int kIconIndexRole = Qt::UserRole + 1;

    struct Row
    {
        QString caption;
        std::array<QString, kColumns - 1> subItems;
        int icon = 0;
        QString teamWord;
    };
    // Looks up a player's picture; -1 or an out-of-range index draws none.
    using SkinLookup = std::function<int(const orv::engine::ServerInfo &, const orv::engine::PlayerEntry &)>;

    explicit PlayersModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void clear();
    // Rows for slots 1 to min(numplayers, 32) of the decoded server.
    void showPlayers(const orv::engine::ServerInfo &info, const SkinLookup &lookup);
    // The best player first: more frags before fewer. Rows whose frags are not a whole
    // number keep their order and go last.
    void sortByFrags();

    const Row &row(int index) const { return m_rows[static_cast<size_t>(index)]; }

private:
    std::vector<Row> m_rows;
};

} // namespace orv::frontend
