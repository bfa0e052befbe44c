// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "orv/engine/queryengine.h"

namespace orv::frontend {

// The words the browser shows for the engine's states.

// The status bar panel's text for a status the engine reported.
QString engineStatusText(const orv::engine::EngineStatus &status);
// The Refresh command's caption while a list is (or is not) being rebuilt or refreshed.
QString refreshCaption(bool running);
// The tray's hint while a list refresh asks the server at position (from 1) of total.
QString refreshTrayHint(qsizetype position, qsizetype total);
// The tray's hint while nothing is being refreshed or checked.
QString idleTrayHint();
// The status line's word when Go in the server checker is refused during a refresh, and
// when Refresh is refused during a checking run.
QString checkRefusedDuringRefreshText();
QString refreshRefusedDuringCheckText();

} // namespace orv::frontend
