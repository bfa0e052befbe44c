// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace heraldex::core {

// One player row of the web admin's "current players" page: the name as shown (with
// every "&nbsp;" removed) and the text of the row's address cell.
struct PlayerRow
{
    QString name;
    QString ip;
    friend bool operator==(const PlayerRow &, const PlayerRow &) = default;
};

// The joint between a human player's ban check box and the left-aligned name cell. Bots
// have no check boxes, so they never carry it.
inline constexpr QStringView kPlayerMarker = u"value=\"ban\"></div></td><td><div align=\"left\">";
inline constexpr QStringView kCentredCell = u"align=\"center\">";
inline constexpr QStringView kCellEnd = u"</div>";
inline constexpr QStringView kRowEnd = u"</tr>";
inline constexpr QStringView kTableRowStart = u"<tr><td";

// True when the page holds a player table at all. A page that could not be downloaded is
// empty and has none.
bool hasPlayerTable(QStringView page);

// Cuts the player rows out of the page, in page order. All searches are case-sensitive
// and move forward only, so the work is linear in the page size.
//
// A row whose name cell or address cell is cut off by the end of the page is dropped; a
// row with fewer than four centred cells before its "</tr>" (or, when it is not closed,
// before the next player's marker) keeps its name with an empty address, so a damaged row
// never borrows the next player's cells.
QList<PlayerRow> parsePlayerRows(QStringView page);

} // namespace heraldex::core
