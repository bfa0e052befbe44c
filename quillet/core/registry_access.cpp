// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/core/registry_access.h"

#include <QCoreApplication>

namespace quillet::core {

namespace {

platform::Error invalidType(const QString &name)
{
    return platform::Error{1, QCoreApplication::translate("Registry_Access", "Invalid data type for '%1'").arg(name)};
}

} // namespace

Registry_Access::Registry_Access(platform::RegistryStore &store)
    : m_store(store)
{}

platform::Result<int> Registry_Access::RegReadInteger(const QString &key, const QString &name) const
{
    const std::optional<platform::RegistryValue> value = m_store.value(key, name);
    if (!value)
        return 0;
    if (value->type != platform::RegistryValueType::DWord)
        return invalidType(name);
    return static_cast<int>(value->dword);
}

platform::Result<QString> Registry_Access::RegReadString(const QString &key, const QString &name) const
{
    const std::optional<platform::RegistryValue> value = m_store.value(key, name);
    if (!value)
        return QString();
    if (value->type != platform::RegistryValueType::String && value->type != platform::RegistryValueType::ExpandString)
        return invalidType(name);
    return value->text;
}

bool Registry_Access::RegWriteInteger(const QString &key, const QString &name, int value)
{
    return m_store.setDWord(key, name, static_cast<quint32>(value)).hasValue();
}

bool Registry_Access::RegWriteString(const QString &key, const QString &name, const QString &value)
{
    return m_store.setString(key, name, value).hasValue();
}

bool Registry_Access::RegKeyExists(const QString &key) const
{
    return m_store.keyExists(key);
}

} // namespace quillet::core
