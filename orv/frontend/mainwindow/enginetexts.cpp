// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/enginetexts.h"

namespace orv::frontend {

namespace {

QString progressText(qsizetype position, qsizetype total)
{
    return QString::number(position) + QStringLiteral(" of ") + QString::number(total);
}

} // namespace

QString engineStatusText(const orv::engine::EngineStatus &status)
{
    using Kind = orv::engine::EngineStatus::Kind;
    switch (status.kind) {
    case Kind::Listed:
        return QStringLiteral("0 / ") + QString::number(status.total);
    case Kind::Progress:
        return progressText(status.position, status.total);
    case Kind::Requesting:
        return QStringLiteral("Request info from server:") + status.address;
    case Kind::Dead:
        return QStringLiteral("Error :") + status.address + QStringLiteral(" = ") + QStringLiteral("Server is dead.");
    case Kind::Answered:
        return QStringLiteral("Complete :") + status.address + QStringLiteral(" = ") + status.hostname;
    }
    return {};
}

QString refreshCaption(bool running)
{
    return running ? QStringLiteral("Stop refresh") : QStringLiteral("Refresh");
}

QString refreshTrayHint(qsizetype position, qsizetype total)
{
    return QStringLiteral("Refresh server:") + progressText(position, total);
}

QString idleTrayHint()
{
    return QStringLiteral("Orvane (Click twice to restore window)");
}

QString checkRefusedDuringRefreshText()
{
    return QStringLiteral("A refresh is running: check the servers when it has ended.");
}

QString refreshRefusedDuringCheckText()
{
    return QStringLiteral("The server checker is running: refresh when it has stopped.");
}

} // namespace orv::frontend
