// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/core/rowfilter.h"

#include <QSet>

#include "orv/engine/countrylookup.h"
#include "orv/engine/serverlistmodel.h"
#include "orv/engine/textutil.h"

using orv::engine::ServerEntry;

namespace orv::core {

namespace {

const QString kNotAvailable = QStringLiteral("N/A");

} // namespace

RowFilter RowFilter::game(const QString &beaconSign)
{
    return {Kind::Game, kFilterColumnGame, beaconSign};
}

RowFilter RowFilter::playersPresent()
{
    return {Kind::PlayersPresent, kFilterColumnPlayers, QString()};
}

QString columnText(const ServerEntry &row, int column)
{
    if (column == orv::engine::kColumnCountry)
        return row.address ? orv::engine::CountryLookup::shared().countryOf(row.address->ip) : QString();
    return row.column(column);
}

RowFilter RowFilter::value(int column, const QString &caption)
{
    return {Kind::Value, column, caption};
}

bool RowFilter::keeps(const ServerEntry &row) const
{
    switch (kind) {
    case Kind::Game:
        return row.column(column).compare(text, Qt::CaseInsensitive) == 0;
    case Kind::PlayersPresent:
        return hasPlayersPresent(row.column(column));
    case Kind::Value:
        return columnText(row, column) == text;
    }
    return true;
}

bool hasPlayersPresent(QStringView playersText)
{
    if (playersText == kNotAvailable)
        return false;
    const qsizetype blank = playersText.indexOf(QLatin1Char(' '));
    const QStringView count = blank < 0 ? playersText : playersText.left(blank);
    const auto number = orv::engine::parseWholeNumber(count);
    return number && *number >= 1;
}

int filterRows(std::vector<ServerEntry> &rows, std::vector<ServerEntry> &hidden, const RowFilter &filter,
               const FilterProgress &progress)
{
    // Kept rows move up in place; only the moved ones need new room.
    size_t kept = 0;
    const int count = static_cast<int>(rows.size());
    for (int i = 0; i < count; ++i) {
        if (progress)
            progress(i);
        ServerEntry &row = rows[static_cast<size_t>(i)];
        if (filter.keeps(row)) {
            if (kept != static_cast<size_t>(i))
                rows[kept] = std::move(row);
            ++kept;
        } else {
            hidden.push_back(std::move(row));
        }
    }
    const int moved = count - static_cast<int>(kept);
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(kept), rows.end());
    return moved;
}

int filterView(orv::engine::ServerListModel &view, std::vector<ServerEntry> &hidden, const RowFilter &filter,
               const FilterProgress &progress)
{
    std::vector<ServerEntry> rows = view.rows();
    const int moved = filterRows(rows, hidden, filter, progress);
    if (moved > 0)
        view.setRows(std::move(rows));
    return moved;
}

int restoreRows(std::vector<ServerEntry> &rows, std::vector<ServerEntry> &hidden, const FilterProgress &progress)
{
    rows.reserve(rows.size() + hidden.size());
    const int count = static_cast<int>(hidden.size());
    for (int i = 0; i < count; ++i) {
        if (progress)
            progress(i);
        rows.push_back(std::move(hidden[static_cast<size_t>(i)]));
    }
    hidden.clear();
    return count;
}

int restoreHidden(orv::engine::ServerListModel &view, std::vector<ServerEntry> &hidden, const FilterProgress &progress)
{
    if (hidden.empty())
        return 0;
    std::vector<ServerEntry> rows = view.rows();
    const int count = restoreRows(rows, hidden, progress);
    view.setRows(std::move(rows));
    return count;
}

QStringList distinctColumnValues(const std::vector<ServerEntry> &rows, int column)
{
    QStringList values;
    QSet<QString> seen;
    for (const ServerEntry &row : rows) {
        const QString text = columnText(row, column);
        if (text == kNotAvailable || text.isEmpty())
            continue;
        QString key = text;
        key.remove(QLatin1Char('&'));
        key = key.toCaseFolded();
        if (seen.contains(key))
            continue;
        seen.insert(key);
        values.append(text);
    }
    return values;
}

} // namespace orv::core
