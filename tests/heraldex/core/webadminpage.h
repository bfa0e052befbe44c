// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Builds "current players" pages the way the game's web admin assembles them: one table
// header, then rows concatenated without separators.
namespace testsupport::webadmin {

// A human player (or, with the suffix "&nbsp;(Spectator)", a spectator).
inline QString humanRow(int id, const QString &name, const QString &ip, const QString &team = QStringLiteral("Red"),
                        int ping = 52, int score = 7)
{
    return QStringLiteral("<tr><td width=\"1%\"><div align=\"center\"><input type=\"checkbox\" name=\"KickPlayer%1\" "
                          "value=\"kick\"></div></td><td width=\"1%\"><div align=\"center\"><input type=\"checkbox\" "
                          "name=\"BanPlayer%1\" value=\"ban\"></div></td>")
               .arg(id) +
           QStringLiteral("<td><div align=\"left\">%1</div></td><td width=\"1%\"><div align=\"center\">%2&nbsp;</div>"
                          "</td><td width=\"1%\"><div align=\"center\">%3</div></td><td width=\"1%\"><div "
                          "align=\"center\">%4</div></td><td width=\"1%\"><div align=\"center\">%5</div></td></tr>")
               .arg(name, team, QString::number(ping), QString::number(score), ip);
}

inline QString botRow(const QString &name, const QString &team = QStringLiteral("Blue"))
{
    return QStringLiteral("<tr><td width=\"1%\" colspan=2>&nbsp;</td>") +
           QStringLiteral("<td><div align=\"left\">%1&nbsp;(Bot)</div></td><td width=\"1%\"><div align=\"center\">"
                          "%2&nbsp;</div></td><td width=\"1%\"><div align=\"center\">0</div></td><td width=\"1%\">"
                          "<div align=\"center\">3</div></td><td width=\"1%\"><div align=\"center\"></div></td></tr>")
               .arg(name, team);
}

inline QString noPlayersRow()
{
    return QStringLiteral("<tr align=\"center\"><td colspan=\"5\">** No Players Connected **</td></tr>");
}

// The page around the rows: a header row, then the rows.
inline QString page(const QString &rows)
{
    return QStringLiteral("<html><head><title>Current Players</title></head><body><form method=\"post\" "
                          "action=\"current_players\"><table width=\"100%\" border=\"1\"><tr><td width=\"1%\">"
                          "<b>Kick</b></td><td width=\"1%\"><b>Ban</b></td><td><b>Name</b></td><td width=\"1%\">"
                          "<b>Team</b></td><td width=\"1%\"><b>Ping</b></td><td width=\"1%\"><b>Score</b></td>"
                          "<td width=\"1%\"><b>IP</b></td></tr>") +
           rows + QStringLiteral("</table></form></body></html>");
}

} // namespace testsupport::webadmin
