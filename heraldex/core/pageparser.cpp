// SPDX-License-Identifier: GPL-3.0-or-later
#include "heraldex/core/pageparser.h"

namespace heraldex::core {

bool hasPlayerTable(QStringView page)
{
    return page.contains(kTableRowStart);
}

QList<PlayerRow> parsePlayerRows(QStringView page)
{
    QList<PlayerRow> rows;
    qsizetype marker = page.indexOf(kPlayerMarker);
    while (marker >= 0) {
        // Player names reach the page without escaping, so a name may itself contain the
        // marker; the next search starts one character past this marker, and such a name
        // yields a row of its own, exactly as the page reads.
        const qsizetype next = page.indexOf(kPlayerMarker, marker + 1);
        // Cells are only looked for up to the end of this row, or up to the next player's
        // marker when the row is not closed; bounding every search by the next marker also
        // keeps the whole parse linear on pages full of markers.
        QStringView rowText = page.first(next >= 0 ? next : page.size());

        const qsizetype nameStart = marker + kPlayerMarker.size();
        const qsizetype nameEnd = page.indexOf(kCellEnd, nameStart);
        if (nameEnd < 0)
            break; // the page ends inside the name cell
        if (const qsizetype rowEnd = rowText.indexOf(kRowEnd, nameEnd); rowEnd >= 0)
            rowText = rowText.first(rowEnd);

        PlayerRow row;
        row.name = page.mid(nameStart, nameEnd - nameStart).toString();
        row.name.remove(QStringLiteral("&nbsp;"));

        // Team, ping, score, then the address: the fourth centred cell after the name.
        qsizetype cell = nameEnd;
        int found = 0;
        for (; found < 4; ++found) {
            const qsizetype hit = rowText.indexOf(kCentredCell, found == 0 ? cell : cell + 1);
            if (hit < 0)
                break;
            cell = hit;
        }
        if (found == 4) {
            const qsizetype ipStart = cell + kCentredCell.size();
            const qsizetype ipEnd = page.indexOf(kCellEnd, ipStart);
            if (ipEnd < 0)
                break; // the page ends inside the address cell
            row.ip = page.mid(ipStart, ipEnd - ipStart).toString();
        }
        rows.append(std::move(row));
        marker = next;
    }
    return rows;
}

} // namespace heraldex::core
