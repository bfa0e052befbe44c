// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QStringView>

// Text only, no process or desktop access: usable by libraries that must not start anything.
namespace platform::shell {

// Splits user-typed text into arguments the way a command line is split: blanks separate,
// double quotes group, a backslash before a double quote escapes it.
QStringList splitCommandLine(QStringView text);

} // namespace platform::shell
