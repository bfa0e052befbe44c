// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/registrystore.h"

namespace orv::frontend {

// The root key names the REGEDIT4 writer knows.
QStringList registryRootNames();

// The key and everything below it as a REGEDIT4 file (CR LF, 8-bit text): "REGEDIT4",
// then per key, depth first in the store's order, an empty line, "[<root>\<path>]" and
// one line per value. Strings and expandable strings are quoted with backslash and
// double quote escaped, 32-bit integers are "dword:" and 8 upper-case hex digits, binary
// data is "hex:" with a line continuation after the comma following byte 25, 50, 75 …,
// and any other type is written as "".
QByteArray exportRegEdit4(const platform::RegistryStore &store, const QString &keyPath, const QString &rootName);

} // namespace orv::frontend
