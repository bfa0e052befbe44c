// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include "platform/result.h"

namespace platform {
class RegistryStore;
}

namespace heraldex::core {

// Read only: where the game is installed.
inline constexpr QStringView kGameKey = u"Software\\Unreal Technology\\Installed Apps\\UnrealTournament";
inline constexpr QStringView kGameFolderValue = u"Folder";

inline constexpr QStringView kServerAddressValue = u"UTServerAddress";
inline constexpr QStringView kIniFileValue = u"UTIniFile";
inline constexpr QStringView kFriendValue = u"Friend";
inline constexpr QStringView kEnemyValue = u"Enemy";

// The announcer's registry routines, all on the machine-wide root of the store.
class RegistryAccess
{
public:
    explicit RegistryAccess(platform::RegistryStore &store);

    platform::Status RegMakeKey(QStringView keyPath);
    platform::Status RegPutValue(QStringView keyPath, QStringView valueName, const QString &value);
    platform::Status RegPutValue(QStringView keyPath, QStringView valueName, quint32 value);
    // The text of the value, empty when the key or the value is missing or not text.
    QString RegGetValue(QStringView keyPath, QStringView valueName);
    QString LastRegValue() const { return m_lastRegValue; }

private:
    platform::RegistryStore &m_store;
    QString m_lastRegValue;
};

} // namespace heraldex::core
