// SPDX-License-Identifier: GPL-3.0-or-later
#include "heraldex/core/pageparser.h"

#include <QStringList>

#include <gtest/gtest.h>

#include "tests/heraldex/core/webadminpage.h"
#include "tests/support/testpaths.h"

using heraldex::core::hasPlayerTable;
using heraldex::core::parsePlayerRows;
using heraldex::core::PlayerRow;
namespace page = testsupport::webadmin;

namespace heraldex::core {
// Readable failure messages.
void PrintTo(const PlayerRow &row, std::ostream *os)
{
    *os << '{' << row.name.toStdString() << ", " << row.ip.toStdString() << '}';
}
} // namespace heraldex::core

namespace {

struct ParseCase
{
    const char *label;
    QString page;
    QList<PlayerRow> rows;
};

PlayerRow row(const char *name, const char *ip)
{
    return {QString::fromLatin1(name), QString::fromLatin1(ip)};
}

// A human row with its last cells cut off: the name cell and `cells` centred cells remain.
QString rowWithCentredCells(const QString &name, int cells)
{
    QString text = QStringLiteral("<tr><td width=\"1%\"><div align=\"center\"><input type=\"checkbox\" "
                                  "name=\"BanPlayer9\" value=\"ban\"></div></td><td><div align=\"left\">") +
                   name + QStringLiteral("</div></td>");
    for (int i = 0; i < cells; ++i)
        text += QStringLiteral("<td width=\"1%\"><div align=\"center\">c%1</div></td>").arg(i + 1);
    return text + QStringLiteral("</tr>");
}

std::vector<ParseCase> parseCases()
{
    const QString nick = page::humanRow(1, QStringLiteral("Nick"), QStringLiteral("192.0.2.10"));
    const QString bob = page::humanRow(2, QStringLiteral("Bob"), QStringLiteral("198.51.100.7"));
    const QString empty = page::page(QString());
    const QString head = empty.left(empty.indexOf(QStringLiteral("</table>")));
    return {
        {"one player", page::page(nick), {row("Nick", "192.0.2.10")}},
        {"rows in page order", page::page(nick + bob), {row("Nick", "192.0.2.10"), row("Bob", "198.51.100.7")}},
        {"bots carry no ban box and are skipped",
         page::page(page::botRow(QStringLiteral("Loque")) + bob + page::botRow(QStringLiteral("Xan"))),
         {row("Bob", "198.51.100.7")}},
        {"spectator suffix loses its &nbsp;",
         page::page(page::humanRow(4, QStringLiteral("Eye&nbsp;(Spectator)"), QStringLiteral("203.0.113.4"))),
         {row("Eye(Spectator)", "203.0.113.4")}},
        {"every &nbsp; in a name is removed",
         page::page(page::humanRow(5, QStringLiteral("&nbsp;Big&nbsp;&nbsp;Al&nbsp;"), QStringLiteral("10.0.0.5"))),
         {row("BigAl", "10.0.0.5")}},
        {"markup in a name stays as text",
         page::page(page::humanRow(6, QStringLiteral("<b>Bold</b>"), QStringLiteral("10.0.0.6"))),
         {row("<b>Bold</b>", "10.0.0.6")}},
        {"a closing div in a name ends the name there",
         page::page(page::humanRow(7, QStringLiteral("Cut</div>Off"), QStringLiteral("10.0.0.7"))),
         {row("Cut", "10.0.0.7")}},
        {"the marker is case-sensitive",
         page::page(nick).replace(QStringLiteral("value=\"ban\""), QStringLiteral("value=\"BAN\"")),
         {}},
        {"no players connected", page::page(page::noPlayersRow()), {}},
        {"page truncated inside the second name",
         head + nick + bob.left(bob.indexOf(QStringLiteral("Bob")) + 2),
         {row("Nick", "192.0.2.10")}},
        {"page truncated inside the second address",
         head + nick + bob.left(bob.indexOf(QStringLiteral("198.51")) + 3),
         {row("Nick", "192.0.2.10")}},
        {"fewer than four centred cells keep the name and borrow nothing from the next row",
         page::page(rowWithCentredCells(QStringLiteral("Short"), 3) + bob),
         {row("Short", ""), row("Bob", "198.51.100.7")}},
        {"a row without centred cells at the end of the page",
         page::page(rowWithCentredCells(QStringLiteral("Bare"), 0)),
         {row("Bare", "")}},
        {"a marker with no closing div anywhere",
         QStringLiteral("<tr><td value=\"ban\"></div></td><td><div "
                        "align=\"left\">Lost name"),
         {}},
        // Names reach the page unescaped: a name holding the marker reads as a second row.
        {"a name holding the marker yields a row of its own",
         page::page(page::humanRow(8, QStringLiteral("Evil value=\"ban\"></div></td><td><div align=\"left\">Fake"),
                                   QStringLiteral("10.0.0.8"))),
         {row("Evil value=\"ban\">", ""), row("Fake", "10.0.0.8")}},
    };
}

} // namespace

TEST(PageParser, CutsRowsAsThePageReads)
{
    for (const ParseCase &c : parseCases()) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(parsePlayerRows(c.page), c.rows);
    }
}

TEST(PageParser, PlayerTableNeedsARowStartingWithACell)
{
    EXPECT_FALSE(hasPlayerTable(QString()));
    EXPECT_FALSE(hasPlayerTable(QStringLiteral("<html><body>Unauthorized</body></html>")));
    EXPECT_FALSE(hasPlayerTable(QStringLiteral("<TR><TD>upper case</TD></TR>")));
    EXPECT_TRUE(hasPlayerTable(page::page(QString())));
    EXPECT_TRUE(hasPlayerTable(page::humanRow(1, QStringLiteral("A"), QStringLiteral("B"))));
}

TEST(PageParser, ReadsTheAssembledExampleRowOfTheMarkupNotes)
{
    const QString notes =
        QString::fromLatin1(testsupport::readData(QStringLiteral("webadmin/current_players_row_markup.txt")));
    QString example;
    for (const QString &line : notes.split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("<tr><td width=\"1%\"><div align=\"center\"><input")) &&
            line.contains(QStringLiteral("KickPlayer3")))
            example = line.trimmed();
    }
    ASSERT_FALSE(example.isEmpty());
    EXPECT_EQ(parsePlayerRows(page::page(example)), QList<PlayerRow>{row("Player", "192.0.2.10")});
    // The row builder of these tests produces the very same markup.
    EXPECT_EQ(page::humanRow(3, QStringLiteral("Player"), QStringLiteral("192.0.2.10")), example);
}

TEST(PageParser, HugePagesParseCompletely)
{
    QString rows;
    constexpr int kPlayers = 20000;
    for (int i = 0; i < kPlayers; ++i)
        rows += page::humanRow(i, QStringLiteral("P%1").arg(i), QStringLiteral("10.%1.%2.1").arg(i / 256).arg(i % 256));
    const QList<PlayerRow> parsed = parsePlayerRows(page::page(rows));
    ASSERT_EQ(parsed.size(), kPlayers);
    EXPECT_EQ(parsed.last(), row("P19999", "10.78.31.1"));

    // Markers with no cells at all: every row keeps its name and nothing else.
    QString markers;
    for (int i = 0; i < kPlayers; ++i)
        markers += QStringLiteral("value=\"ban\"></div></td><td><div align=\"left\">n</div>");
    const QList<PlayerRow> bare = parsePlayerRows(markers);
    ASSERT_EQ(bare.size(), kPlayers);
    EXPECT_EQ(bare.first(), row("n", ""));
}
