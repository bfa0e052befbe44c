// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/defaultmasterurls.h"

namespace orv::net {

QList<MasterUrl> defaultUnrealMasterUrls()
{
    return {{QStringLiteral("http://masterlist.orvane.invalid/unreal/servers.txt"), true},
            {QStringLiteral("http://masterlist.orvane.invalid/unreal/servers.lst"), false}};
}

QList<MasterUrl> defaultUtMasterUrls()
{
    return {{QStringLiteral("http://masterlist.orvane.invalid/ut/UnrealTournament.txt"), true}};
}

} // namespace orv::net
