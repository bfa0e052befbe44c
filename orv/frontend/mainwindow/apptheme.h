// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QApplication;

namespace orv::frontend {

// How the browser's hints show: on a light blue ground, 100 ms after the mouse rests on a
// control, for 3.5 seconds.
inline constexpr int kHintWakeUpMs = 100;
inline constexpr int kHintShowMs = 3500;

// The browser's look: dark windows with lime text, on every platform alike, so dialogs,
// menus and message boxes match the main window; and the hints' colour and timing.
void applyTheme(QApplication &app);

} // namespace orv::frontend
