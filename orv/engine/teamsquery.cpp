// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/teamsquery.h"

#include "orv/engine/replydecoder.h"
#include "orv/engine/textutil.h"

namespace orv::engine {

namespace {

// The leading whole number of a text ("469", "469c"); empty when it starts otherwise.
std::optional<qint64> leadingNumber(const QString &text)
{
    qsizetype digits = 0;
    while (digits < text.size() && text.at(digits).isDigit() && text.at(digits).unicode() < 0x80)
        ++digits;
    return parseWholeNumber(QStringView(text).first(digits));
}

} // namespace

bool asksForTeams(const ServerInfo &status)
{
    if (status.teamCount > 0)
        return false;
    const auto version = leadingNumber(status.gamever);
    const auto teams = parseWholeNumber(status.maxteams.trimmed());
    return version && *version >= 469 && teams && *teams > 1;
}

bool asksForTeams(const ReplyStore &store, const ServerAddress &server)
{
    return asksForTeams(DecodeServerInfo(store, server));
}

} // namespace orv::engine
