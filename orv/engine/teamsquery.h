// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "orv/engine/addresslist.h"
#include "orv/engine/replystore.h"
#include "orv/engine/serverinfo.h"

// The follow-up question a refresh puts to patched UT servers about their teams.
namespace orv::engine {

// The request that patched UT servers (469 and later) answer with teamname_N, teamscore_N
// and teamsize_N.
inline constexpr char kTeamsRequest[] = "\\teams\\";

// Whether a server whose status answer decoded to this record is asked kTeamsRequest once in
// the same refresh: it sent no team data, reports game version 469 or later and plays a
// team game (maxteams above 1). Older servers are never asked.
bool asksForTeams(const ServerInfo &status);

// Whether the server's stored answer (its lines in the store) asks for the teams request.
bool asksForTeams(const ReplyStore &store, const ServerAddress &server);

} // namespace orv::engine
