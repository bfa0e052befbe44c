// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "orv/core/launchcommands.h"
#include "platform/result.h"

namespace orv::engine {
class QueryEngine;
}

namespace orv::browser {

// What a server told about itself when a link was followed.
struct LinkServer
{
    QString address; // the IPv4 address asked
    QString gamePort;
    QString name;
    bool ut = false;
};

// Asks the server of a link which game it runs and on which game port: one query of the
// server on the link's game port + 1. beaconSign2 is the Unreal Tournament game name. A
// host name is looked up first. Fails with a message for the user when the server cannot
// be asked or does not answer.
platform::Result<LinkServer> queryLinkServer(orv::engine::QueryEngine &engine,
                                             const orv::core::launch::UnrealLink &link, const QString &beaconSign2);

} // namespace orv::browser
