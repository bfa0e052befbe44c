// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace orv::net {

// The proxy options as the user typed them: a host and a port text, used only when
// enabled and the host is not empty.
struct ProxySettings
{
    bool enabled = false;
    QString host;
    QString port;

    bool isUsed() const { return enabled && !host.isEmpty(); }
};

} // namespace orv::net
