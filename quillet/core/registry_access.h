// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "platform/registrystore.h"
#include "platform/result.h"

namespace quillet::core {

// The editor's small layer over the settings store: every call works on one key of the
// store it was given (the current user's root) and reads missing keys and values as 0 or
// the empty string. A value of the wrong type is an error "Invalid data type for '<name>'".
class Registry_Access
{
public:
    explicit Registry_Access(platform::RegistryStore &store);

    platform::Result<int> RegReadInteger(const QString &key, const QString &name) const;
    platform::Result<QString> RegReadString(const QString &key, const QString &name) const;
    // Create the key when missing; false when the store could not be written.
    bool RegWriteInteger(const QString &key, const QString &name, int value);
    bool RegWriteString(const QString &key, const QString &name, const QString &value);
    bool RegKeyExists(const QString &key) const;

    platform::RegistryStore &store() { return m_store; }

private:
    platform::RegistryStore &m_store;
};

} // namespace quillet::core
