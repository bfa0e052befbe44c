// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QTextStream;

namespace orv::query {

// orv-query --masters ut|unreal SOURCE... [--write FILE]: fetches master sources the way
// the browser does and prints the merged list in address-list form, sorted and without
// duplicates; one status line per source goes to err. Exit status 0 when some source
// answered, 1 when none did, 2 for bad arguments.
bool isMastersCommand(const QStringList &arguments);
int runMastersCli(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace orv::query
