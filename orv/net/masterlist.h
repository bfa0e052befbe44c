// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QByteArray>
#include <QList>
#include <QString>

#include "orv/net/combinedlist.h"
#include "platform/result.h"

// Master lists as web servers publish them: plain 8-bit text, one "address:port" per line.
namespace orv::net {

// Converts the lines of a downloaded master list to address-list form: a line with a ':'
// becomes "address gameport gameport+1", where the address is the text before the first
// ':' and the port is the rest with every ':' removed. Lines without ':' pass unchanged,
// so lists already in address-list form survive. When one port is not a whole number
// (a trailing blank, an IPv6 literal, text), nothing is converted: nullopt tells the
// caller to keep the list exactly as downloaded.
std::optional<QList<QByteArray>> convertMasterLines(const QList<QByteArray> &lines);

// Rewrites the file in place with the converted lines and CR LF line ends; leaves it
// untouched when convertMasterLines refuses it. Fails only when the file cannot be read
// or written.
platform::Status ConvertMasterList(const QString &file);

// Adds the lines of the file that the combined list does not hold yet (letter case
// ignored), in file order.
platform::Status MergeMasterList(const QString &file, CombinedList &combined);

// ConvertMasterList, then MergeMasterList, reading the file once.
platform::Status ConvertAndMergeMasterList(const QString &file, CombinedList &combined);

} // namespace orv::net
