// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <vector>

#include <QString>
#include <QStringList>
#include <QStringView>

#include "orv/engine/serverentry.h"

namespace orv::engine {
class ServerListModel;
}

namespace orv::core {

// Columns the filters look at (the view's column order).
constexpr int kFilterColumnGame = 2;
constexpr int kFilterColumnPlayers = 3;
constexpr int kFilterColumnMap = 4;
constexpr int kFilterColumnGameType = 6;

// The keep test of one filter over server rows: a game (by its beacon sign, letter case
// ignored), servers with players, or one exact value of a column.
struct RowFilter
{
    enum class Kind { Game, PlayersPresent, Value };

    Kind kind = Kind::Value;
    int column = kFilterColumnMap;
    QString text;

    static RowFilter game(const QString &beaconSign);
    static RowFilter playersPresent();
    static RowFilter value(int column, const QString &caption);

    bool keeps(const orv::engine::ServerEntry &row) const;
};

// True when a "Players" text ("3 / 16") names at least one player. "N/A" and a count that
// is not a whole number count as no players, so such rows are hidden by the players filter.
bool hasPlayersPresent(QStringView playersText);

// Told the position of each row as a pass or a reset goes through the rows.
using FilterProgress = std::function<void(int position)>;

// Moves every row that fails the filter from rows to the end of hidden. Both keep their
// previous order. Returns the number of rows moved.
int filterRows(std::vector<orv::engine::ServerEntry> &rows, std::vector<orv::engine::ServerEntry> &hidden,
               const RowFilter &filter, const FilterProgress &progress = {});

// The same over a view: its rows are replaced in one step, so the view repaints once.
int filterView(orv::engine::ServerListModel &view, std::vector<orv::engine::ServerEntry> &hidden,
               const RowFilter &filter, const FilterProgress &progress = {});

// Puts every hidden row back after the rows, in hidden order, and empties hidden. Returns
// the number of rows returned.
int restoreRows(std::vector<orv::engine::ServerEntry> &rows, std::vector<orv::engine::ServerEntry> &hidden,
                const FilterProgress &progress = {});

// The same over a view: its rows are replaced in one step.
int restoreHidden(orv::engine::ServerListModel &view, std::vector<orv::engine::ServerEntry> &hidden,
                  const FilterProgress &progress = {});

// The text of a row's column as the lists show it, the Country column (the code of the
// row's address) included.
QString columnText(const orv::engine::ServerEntry &row, int column);

// The distinct values of a column for a value menu, in row order: "N/A" and empty texts are
// left out, and
// a value equal to an earlier one apart from letter case and '&' markers is left out too.
QStringList distinctColumnValues(const std::vector<orv::engine::ServerEntry> &rows, int column);

} // namespace orv::core
