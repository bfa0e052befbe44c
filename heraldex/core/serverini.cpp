// SPDX-License-Identifier: GPL-3.0-or-later
#include "heraldex/core/serverini.h"

#include "platform/profile.h"

namespace heraldex::core {

namespace {
constexpr qsizetype kIniValueLimit = 2047;
}

QString IniRead(QStringView section, QStringView key, const QString &file)
{
    if (file.isEmpty())
        return {};
    return platform::profile::readString(file, section, key).left(kIniValueLimit);
}

platform::Status IniWrite(QStringView section, QStringView key, const QString &value, const QString &file)
{
    if (file.isEmpty())
        return platform::Error{1, QStringLiteral("No INI file is set.")};
    return platform::profile::writeString(file, section, key, value);
}

ServerIniValues ReadServerIni(const QString &file)
{
    if (IniRead(kWebServerSection, u"bEnabled", file).toUpper() == u"FALSE") {
        // A read-only file keeps its setting; the window still shows what it holds.
        (void)IniWrite(kWebServerSection, u"bEnabled", QStringLiteral("TRUE"), file);
    }
    ServerIniValues values;
    values.port = IniRead(kWebServerSection, u"ListenPort", file);
    if (values.port.isEmpty())
        values.port = kDefaultListenPort.toString();
    values.adminName = IniRead(kServerAdminSection, u"AdminUsername", file);
    values.password = IniRead(kServerAdminSection, u"AdminPassword", file);
    return values;
}

platform::Status WriteServerIni(const QString &file, const ServerIniValues &values)
{
    if (auto written = IniWrite(kServerAdminSection, u"AdminUsername", values.adminName, file); !written)
        return written;
    if (auto written = IniWrite(kServerAdminSection, u"AdminPassword", values.password, file); !written)
        return written;
    return IniWrite(kWebServerSection, u"ListenPort", values.port, file);
}

} // namespace heraldex::core
