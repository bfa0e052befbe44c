// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

#include "orv/net/internetlistbuilder.h"

namespace orv::net {

// The master-list URLs a fresh installation starts with. No plain-text master list of
// these games is known to be served anywhere today (the community masters speak another
// protocol), so the defaults name the file names the lists use on the program's own site
// under a host of the reserved ".invalid" domain: they never reach anybody's server, and
// they show the user which kind of address to put in their place ("address:port" per
// line, plain text over HTTP).
QList<MasterUrl> defaultUnrealMasterUrls();
QList<MasterUrl> defaultUtMasterUrls();

} // namespace orv::net
