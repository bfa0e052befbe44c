// SPDX-License-Identifier: GPL-3.0-or-later
#include "heraldex/core/registryaccess.h"

#include "platform/registrystore.h"

namespace heraldex::core {

RegistryAccess::RegistryAccess(platform::RegistryStore &store)
    : m_store(store)
{}

platform::Status RegistryAccess::RegMakeKey(QStringView keyPath)
{
    return m_store.createKey(keyPath);
}

platform::Status RegistryAccess::RegPutValue(QStringView keyPath, QStringView valueName, const QString &value)
{
    return m_store.setString(keyPath, valueName, value);
}

platform::Status RegistryAccess::RegPutValue(QStringView keyPath, QStringView valueName, quint32 value)
{
    return m_store.setDWord(keyPath, valueName, value);
}

QString RegistryAccess::RegGetValue(QStringView keyPath, QStringView valueName)
{
    const auto text = m_store.readString(keyPath, valueName);
    m_lastRegValue = text && text.value() ? *text.value() : QString();
    m_lastRegValue.remove(QChar(0));
    return m_lastRegValue;
}

} // namespace heraldex::core
