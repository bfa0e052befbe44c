// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace testsupport {

// A file below tests/data.
QString dataPath(const QString &relative);
// The whole file below tests/data; fails the current test when it cannot be read.
QByteArray readData(const QString &relative);
// Writes bytes to a file, creating its folder; returns false on failure.
bool writeFile(const QString &path, const QByteArray &bytes);
// The whole file, or an empty array.
QByteArray readFile(const QString &path);

} // namespace testsupport
