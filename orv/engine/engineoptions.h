// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace orv::engine {

// The general options the engine reads, with their defaults. Numeric options are kept as
// the texts the user typed: a text that is not a number is handled where it is used.
struct EngineOptions
{
    QString internetServTimeOut = QStringLiteral("600"); // milliseconds per attempt
    QString serverTry = QStringLiteral("1");             // attempts for incomplete answers
    bool allowNotfull = true;                            // accept incomplete answers
    QString queriesAtOnce = QStringLiteral("1");         // servers in flight in a list refresh
    bool usePing = true;
    bool alwaysRefresh = true;
    bool contRefr = false;
    QString localServTimeOut = QStringLiteral("400");
    QString beaconSign1 = QStringLiteral("Unreal");
    QString beaconSign2 = QStringLiteral("ut");
    QString beaconPort = QStringLiteral("7776");
    QString serverBeaconPort = QStringLiteral("7775");
    QString beaconPort2 = QStringLiteral("9777");
    QString serverBeaconPort2 = QStringLiteral("8777");
};

// The servers a list refresh keeps in flight: 1 to 256, and 1 for a text that is no number.
int queriesAtOnce(const EngineOptions &options);

} // namespace orv::engine
