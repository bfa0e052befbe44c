// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>
#include <QStringView>

namespace orv::engine {

// The bounds of the numeric options; a text outside them is refused where it is typed.
struct OptionRange
{
    int least = 1;
    int most = 1;
};
constexpr OptionRange kTimeOutRange{1, 600000}; // milliseconds
constexpr OptionRange kServerTryRange{1, 100};
constexpr OptionRange kQueriesAtOnceRange{1, 256};
constexpr OptionRange kPortRange{1, 65535};

// The general options the engine works with, with their defaults. They are set as one value
// whenever the user applies a change; the texts of the option boxes are parsed where they
// are typed (parseOption), so everything here is a number in its range.
struct EngineOptions
{
    int internetServTimeOut = 600; // milliseconds per attempt
    int serverTry = 1;             // attempts for incomplete answers
    bool allowNotfull = true;      // accept incomplete answers
    int queriesAtOnce = 1;         // servers in flight in a list refresh
    bool usePing = true;
    bool alwaysRefresh = true;
    bool contRefr = false;
    int localServTimeOut = 400; // milliseconds the beacon answers are awaited
    QString beaconSign1 = QStringLiteral("Unreal");
    QString beaconSign2 = QStringLiteral("ut");
    quint16 beaconPort = 7776;
    quint16 serverBeaconPort = 7775;
    quint16 beaconPort2 = 9777;
    quint16 serverBeaconPort2 = 8777;

    friend bool operator==(const EngineOptions &, const EngineOptions &) = default;
};

// A whole decimal number within the range, as an option box or the command line holds it
// (blanks around it are allowed); empty for anything else.
std::optional<int> parseOption(QStringView text, OptionRange range);

} // namespace orv::engine
