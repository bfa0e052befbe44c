// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "orv/engine/serverentry.h"

namespace orv::engine {
class QueryEngine;
}

namespace orv::words {

// What a server row shows in its first column: the server's name, or the word for its state
// ("Processing..", "Server is dead.", the name with "( Information not complete. )").
QString rowCaption(const orv::engine::ServerEntry &entry);
// The header caption of a server list's column, the Country column included.
QString serverColumnCaption(int column);
// The name of a player's team number ("Red team" … "Gold team", "None").
QString teamLabel(const QString &team);
// Installs the row and column words on every list of the engine.
void wordRows(orv::engine::QueryEngine &engine);

} // namespace orv::words
