// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Quoting for desktop entry files (the freedesktop.org Desktop Entry format).
namespace platform::desktopentry {

// Escapes a string value: backslash, line break, tab and carriage return.
QString escapeString(QStringView text);

// The Exec command line for these arguments: every argument in double quotes with
// '"', '`', '$' and '\' escaped by a backslash, and '%' doubled so no argument can be
// taken for a field code. The result still goes through escapeString() as a value.
QString quoteExec(const QStringList &arguments);

} // namespace platform::desktopentry
