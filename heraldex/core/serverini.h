// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include "platform/result.h"

namespace heraldex::core {

inline constexpr QStringView kWebServerSection = u"UWeb.WebServer";
inline constexpr QStringView kServerAdminSection = u"UTServerAdmin.UTServerAdmin";
inline constexpr QStringView kDefaultListenPort = u"8888";

// The web admin settings of a game server's INI file, as the window shows them.
struct ServerIniValues
{
    QString port;
    QString adminName;
    QString password;
};

// One key of the INI file; empty when the file, section or key is missing. Values longer
// than the 2047 characters the game's own readers take are cut to that length.
QString IniRead(QStringView section, QStringView key, const QString &file);
// Changes only that key's line; every other line of the file stays as it was.
platform::Status IniWrite(QStringView section, QStringView key, const QString &value, const QString &file);

// Reads the web admin settings, switching the game's web server on in the file when it
// is switched off there ("bEnabled=False"). The port is "8888" when the file has none.
ServerIniValues ReadServerIni(const QString &file);

// Writes admin name, password and port, in that order; stops at the first failure.
platform::Status WriteServerIni(const QString &file, const ServerIniValues &values);

} // namespace heraldex::core
