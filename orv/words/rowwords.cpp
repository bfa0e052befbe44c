// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/words/rowwords.h"

#include <array>

#include "orv/engine/queryengine.h"

namespace orv::words {

using orv::engine::kServerColumns;
using orv::engine::RowState;

namespace {

const std::array<QString, kServerColumns> kCaptions = {
    QStringLiteral("Server name"),
    QStringLiteral("Ping"),
    QStringLiteral("Game"),
    QStringLiteral("Players"),
    QStringLiteral("Map"),
    QStringLiteral("Map title"),
    QStringLiteral("Game type"),
    QStringLiteral("Time limit"),
    QStringLiteral("Frag limit"),
    QStringLiteral("Goal Team Score"),
    QStringLiteral("Multiplayer bots"),
    QStringLiteral("Bot skill"),
    QStringLiteral("Mutators"),
    QStringLiteral("Game style"),
    QStringLiteral("Tournament"),
    QStringLiteral("Max Teams"),
    QStringLiteral("Balance Teams"),
    QStringLiteral("Player Balance Teams"),
    QStringLiteral("Friendly Fire"),
    QStringLiteral("Change level"),
    QStringLiteral("World log"),
    QStringLiteral("Admin name"),
    QStringLiteral("Admin email"),
    QStringLiteral("IP address"),
    QStringLiteral("Game port"),
    QStringLiteral("Info port"),
};

} // namespace

QString rowCaption(const orv::engine::ServerEntry &entry)
{
    switch (entry.state) {
    case RowState::Processing:
        return QStringLiteral("Processing..");
    case RowState::Dead:
        return QStringLiteral("Server is dead.");
    case RowState::Incomplete:
        return entry.caption + QStringLiteral("( Information not complete. )");
    case RowState::Listed:
    case RowState::Answered:
        break;
    }
    return entry.caption;
}

QString serverColumnCaption(int column)
{
    if (column == orv::engine::kColumnCountry)
        return QStringLiteral("Country");
    if (column < 0 || column >= kServerColumns)
        return {};
    return kCaptions[static_cast<size_t>(column)];
}

QString teamLabel(const QString &team)
{
    if (team == QLatin1String("0"))
        return QStringLiteral("Red team");
    if (team == QLatin1String("1"))
        return QStringLiteral("Blue team");
    if (team == QLatin1String("2"))
        return QStringLiteral("Green team");
    if (team == QLatin1String("3"))
        return QStringLiteral("Gold team");
    return QStringLiteral("None");
}

void wordRows(orv::engine::QueryEngine &engine)
{
    engine.setRowWording(&rowCaption, &serverColumnCaption);
}

} // namespace orv::words
